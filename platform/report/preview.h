#pragma once
// The report window: shows the pages as they are laid out ("Generando página N de M..." below
// them until the last one), turns and zooms them, and prints the same pages through the print
// dialog. Esc closes it and stops the layout.

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
    QPrinter* printer() { return &printer_; }
    int currentPage() const { return current_; }
    void showPage(int page);
    QString status() const;

    // The print dialog, then the pages to the printer it chose.
    void printPages();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    class View;
    void step();
    void updateLabels();

    std::unique_ptr<Pages> pages_;
    QPrinter printer_;
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
