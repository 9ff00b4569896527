#include "platform/report/layout.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPaintDevice>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextFrame>

#include <climits>

namespace report::detail {
namespace {

// Only its resolution matters: documents are laid out against it on any thread, then painted on a
// printer, a PDF or the screen.
class LayoutDevice final : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
        case PdmHeight:
            return 100000;
        case PdmWidthMM:
        case PdmHeightMM:
            return static_cast<int>(100000 * 25.4 / kDpi);
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return kDpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 0;
        }
    }
};

LayoutDevice* device() {
    // Never destroyed: a worker that is still measuring while the program ends must not meet a
    // device already gone.
    static LayoutDevice* const d = new LayoutDevice;
    return d;
}

}  // namespace

qreal mm(qreal v) { return v / 25.4 * kDpi; }

std::atomic<qint64> laidOut{0};

std::unique_ptr<QTextDocument> layDoc(const QString& html, qreal width, qreal pageHeight) {
    laidOut.fetch_add(html.size(), std::memory_order_relaxed);
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(device());
    doc->setDocumentMargin(0);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(9);
    doc->setDefaultFont(f);
    doc->setHtml(html);
    doc->setTextWidth(width);
    if (pageHeight > 0)
        doc->setPageSize(QSizeF(width, pageHeight));
    doc->size();  // the layout happens here, on the calling thread
    return doc;
}

qreal height(const QString& html, qreal width) {
    if (html.trimmed().isEmpty())
        return 0;
    return layDoc(html, width)->size().height();
}

// Counted by hand: a regular expression's count starts each match over the whole text, which
// makes a group of many thousand rows cost the square of its rows.
int rowTags(QStringView html) {
    int count = 0;
    for (qsizetype at = 0; (at = html.indexOf(QLatin1String("<tr"), at, Qt::CaseInsensitive)) >= 0;) {
        at += 3;
        if (at < html.size() && (html[at] == QLatin1Char('>') || html[at].isSpace()))
            ++count;
    }
    return count;
}

QTextTable* lastTable(QTextDocument* doc) {
    QTextTable* t = nullptr;
    for (QTextFrame* f : doc->rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(f))
            t = table;
    return t;
}

qreal rowTop(QTextDocument* doc, QTextTable* t, int row) {
    const QTextTableCell c = t->cellAt(row, 0);
    return doc->documentLayout()->blockBoundingRect(c.firstCursorPosition().block()).top();
}

std::vector<Section> topSections(const QString& t, QMap<QString, int>* opened) {
    static const QRegularExpression tag(QStringLiteral("\\{\\{\\s*([#^/])\\s*([^}\\s]+)\\s*\\}\\}"));
    std::vector<Section> out;
    int depth = 0;
    Section cur;
    for (auto it = tag.globalMatch(t); it.hasNext();) {
        const auto m = it.next();
        const QChar kind = m.captured(1).at(0);
        if (kind == QLatin1Char('/')) {
            if (depth > 0)
                --depth;
            if (depth == 0) {
                if (cur.openStart >= 0 && m.captured(2) == cur.name) {
                    cur.closeStart = m.capturedStart();
                    cur.closeEnd = m.capturedEnd();
                    out.push_back(cur);
                }
                cur = Section();
            }
            continue;
        }
        if (kind == QLatin1Char('#'))
            (*opened)[m.captured(2)] += 1;
        if (depth == 0 && kind == QLatin1Char('#')) {
            cur = Section();
            cur.name = m.captured(2);
            cur.openStart = m.capturedStart();
            cur.openEnd = m.capturedEnd();
        }
        ++depth;
    }
    return out;
}

quint64 threadKey() {
    static std::atomic<quint64> next{1};
    thread_local const quint64 key = next++;
    return key;
}

std::atomic<int> wholeUpTo{1500};

QString openTable(QStringView html) {
    const qsizetype open = html.lastIndexOf(QLatin1String("<table"), -1, Qt::CaseInsensitive);
    if (open < 0 || html.indexOf(QLatin1String("</table"), open, Qt::CaseInsensitive) >= 0)
        return {};
    const qsizetype tagEnd = html.indexOf(QLatin1Char('>'), open);
    if (tagEnd < 0)
        return {};
    QString out = html.mid(open, tagEnd + 1 - open).toString();
    const qsizetype head = html.indexOf(QLatin1String("<thead"), tagEnd, Qt::CaseInsensitive);
    const qsizetype headEnd = html.indexOf(QLatin1String("</thead>"), tagEnd, Qt::CaseInsensitive);
    if (head >= 0 && headEnd > head)
        out += html.mid(head, headEnd + 8 - head);
    return out;
}

}  // namespace report::detail
