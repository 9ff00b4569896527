#pragma once
#include <QString>
#include <QTimer>

namespace reporttest {
// Text of a PDF file through pdftotext (layout kept); "" when it cannot be read.
QString pdfText(const QString& pdf);
// Page count and first page size in points through pdfinfo.
int pdfPages(const QString& pdf);
double pdfPageWidthPt(const QString& pdf);
// A line-joined, blank-squeezed copy of the text, for finding phrases split by the layout.
QString squeezed(const QString& text);

// While it lives, presses Esc on the report's progress dialog whenever one shows; `label`, when
// given, gets the dialog's text.
class EscOnProgress {
public:
    explicit EscOnProgress(QString* label = nullptr);

private:
    QTimer timer_;
};
}
