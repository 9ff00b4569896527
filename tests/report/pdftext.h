#pragma once
#include <QString>

namespace reporttest {
// Text of a PDF file through pdftotext (layout kept); "" when it cannot be read.
QString pdfText(const QString& pdf);
// Page count and first page size in points through pdfinfo.
int pdfPages(const QString& pdf);
double pdfPageWidthPt(const QString& pdf);
// A line-joined, blank-squeezed copy of the text, for finding phrases split by the layout.
QString squeezed(const QString& text);
}
