#include "platform/report/preview.h"

#include "platform/report/pages.h"
#include "platform/report/print.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace report {

// One page on a grey ground, drawn at the window's zoom.
class Preview::View : public QWidget {
public:
    explicit View(Preview* owner) : QWidget(owner), owner_(owner) {}

    qreal dpi() const { return logicalDpiX() * owner_->zoom_; }

    void refresh() {
        image_ = QImage();
        const QSize s = owner_->pages_->pixelSize(dpi());
        setFixedSize(s + QSize(2 * kBorder, 2 * kBorder));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        if (owner_->pages_->count() == 0)
            return;
        if (image_.isNull())
            image_ = owner_->pages_->image(owner_->current_, dpi());
        p.fillRect(QRect(QPoint(kBorder + 4, kBorder + 4), image_.size()), QColor(0x40, 0x40, 0x40));
        p.drawImage(kBorder, kBorder, image_);
    }

private:
    static constexpr int kBorder = 12;
    Preview* owner_;
    QImage image_;
};

Preview::Preview(std::unique_ptr<Pages> pages, const QString& printerName, QWidget* parent)
    : QDialog(parent), pages_(std::move(pages)), printer_(std::make_shared<QPrinter>(QPrinter::HighResolution)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowModality(Qt::NonModal);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    printer_->setPrinterName(printerName);

    auto* bar = new QToolBar(this);
    print_ = bar->addAction(QStringLiteral("Imprimir..."), this, [this] { printPages(); });
    print_->setObjectName(QStringLiteral("imprimir"));
    bar->addSeparator();
    bar->addAction(QStringLiteral("|<"), this, [this] { showPage(0); })->setToolTip(QStringLiteral("Primera página"));
    bar->addAction(QStringLiteral("<"), this, [this] { showPage(current_ - 1); })
        ->setToolTip(QStringLiteral("Página anterior"));
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("pagina"));
    pageLabel_->setMinimumWidth(pageLabel_->fontMetrics().horizontalAdvance(QStringLiteral("Página 00000 de 00000")));
    pageLabel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(pageLabel_);
    bar->addAction(QStringLiteral(">"), this, [this] { showPage(current_ + 1); })
        ->setToolTip(QStringLiteral("Página siguiente"));
    bar->addAction(QStringLiteral(">|"), this, [this] { showPage(pages_->count() - 1); })
        ->setToolTip(QStringLiteral("Última página"));
    bar->addSeparator();
    bar->addAction(QStringLiteral("Acercar"), this, [this] {
        zoom_ = std::min(4.0, zoom_ * 1.25);
        view_->refresh();
    });
    bar->addAction(QStringLiteral("Alejar"), this, [this] {
        zoom_ = std::max(0.25, zoom_ / 1.25);
        view_->refresh();
    });

    view_ = new View(this);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(view_);
    scroll_->setAlignment(Qt::AlignHCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("estado"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(scroll_, 1);
    layout->addWidget(status_);
    resize(900, 860);

    // A page of the window is about a screen wide at 100 %.
    zoom_ = 1.0;
    timer_ = new QTimer(this);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, [this] { step(); });
    // The first page before the window shows, the rest while it is on screen.
    while (pages_->count() == 0 && !pages_->layOut(50)) {
    }
    view_->refresh();
    updateLabels();
    if (!pages_->finished())
        timer_->start();
}

Preview::~Preview() = default;

void Preview::step() {
    const int before = pages_->count();
    const bool finished = pages_->layOut(40);
    if (finished) {
        timer_->stop();
        view_->refresh();  // the page count in the footer is final now
    } else if (before == 0 && pages_->count() > 0) {
        view_->refresh();
    }
    updateLabels();
}

QString Preview::status() const { return status_->text(); }

void Preview::updateLabels() {
    // "de M" once the layout knows the count, never an estimate that changes as it runs.
    if (pages_->finished()) {
        pageLabel_->setText(QStringLiteral("Página %1 de %2").arg(current_ + 1).arg(pages_->count()));
        status_->clear();
    } else {
        pageLabel_->setText(QStringLiteral("Página %1").arg(current_ + 1));
        status_->setText(QStringLiteral("Generando página %1...").arg(pages_->count() + 1));
    }
    status_->setVisible(!pages_->finished());
}

void Preview::showPage(int page) {
    page = std::clamp(page, 0, std::max(0, pages_->count() - 1));
    if (page == current_)
        return;
    current_ = page;
    view_->refresh();
    scroll_->verticalScrollBar()->setValue(0);
    updateLabels();
}

void Preview::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_PageDown:
        showPage(current_ + 1);
        return;
    case Qt::Key_PageUp:
        showPage(current_ - 1);
        return;
    case Qt::Key_Home:
        if (e->modifiers() & Qt::ControlModifier) {
            showPage(0);
            return;
        }
        break;
    case Qt::Key_End:
        if (e->modifiers() & Qt::ControlModifier) {
            showPage(pages_->count() - 1);
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(e);
}

void Preview::reject() {
    if (printing_) {
        *stopPrint_ = true;
        return;
    }
    QDialog::reject();
}

void Preview::closeEvent(QCloseEvent* e) {
    if (printing_) {
        // The print runs in this window's call stack: it stops, and the window closes after it.
        *stopPrint_ = true;
        closeAfterPrint_ = true;
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void Preview::printPages() {
    if (printing_)
        return;
    printing_ = true;
    print_->setEnabled(false);
    *stopPrint_ = false;
    closeAfterPrint_ = false;
    const QPointer<Preview> self(this);
    const std::shared_ptr<Pages> pages = pages_;
    const std::shared_ptr<QPrinter> printer = printer_;
    const std::shared_ptr<bool> stop = stopPrint_;
    printer->setDocName(windowTitle());
    bool accepted = false;
    {
        // On the heap and watched: its event loop must not be the one that frees it.
        QPointer<QPrintDialog> dialog = new QPrintDialog(printer.get(), this);
        dialog->setMinMax(1, std::max(1, pages->expected()));
        accepted = dialog->exec() == QDialog::Accepted && self && !*stopPrint_;
        delete dialog;
    }
    QString error;
    const bool ok = !accepted || !self || print(*pages, printer.get(), &error, this, stop.get());
    if (!self)
        return;
    printing_ = false;
    print_->setEnabled(true);
    if (!ok && !error.isEmpty())
        QMessageBox::critical(this, windowTitle(), error);
    // A stopped print leaves the rest of the layout to this window.
    if (pages->finished())
        timer_->stop();
    else
        timer_->start();
    view_->refresh();
    updateLabels();
    if (closeAfterPrint_)
        close();
}

}  // namespace report
