#pragma once
// The report window: shows the pages as they are laid out ("Generando página N..." below them
// until the last one, the page count once known), turns and zooms them, and prints the same pages through the print
// dialog. Esc closes it and stops the layout. While it prints, Esc and the close box stop the
// print instead and the window closes once the print has returned: nothing the print uses goes
// away under it, and a stopped print leaves the rest of the pages still coming.

#include <QDialog>
#include <QImage>
#include <QPrinter>

#include <memory>

class QLabel;
class QScrollArea;
class QTimer;
class QToolBar;

namespace report {

class Pages;

class Preview : public QDialog {
    Q_OBJECT
public:
    // `printerName`: the queue the print dialog opens on ("" = none, a PDF file).
    Preview(std::unique_ptr<Pages> pages, const QString& printerName, QWidget* parent = nullptr);
    ~Preview() override;

    Pages& pages() { return *pages_; }
    QPrinter* printer() { return printer_.get(); }
    bool printing() const { return printing_; }
    int currentPage() const { return current_; }
    void showPage(int page);
    QString status() const;

    // The print dialog, then the pages to the printer it chose.
    void printPages();

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    class View;
    void step();
    void updateLabels();

    // Shared with a print in progress, which keeps them for as long as it runs.
    std::shared_ptr<Pages> pages_;
    std::shared_ptr<QPrinter> printer_;
    bool printing_ = false;
    std::shared_ptr<bool> stopPrint_ = std::make_shared<bool>(false);
    bool closeAfterPrint_ = false;
    int current_ = 0;
    qreal zoom_ = 1.0;
    View* view_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer* timer_ = nullptr;
    QAction* print_ = nullptr;
};

}  // namespace report
