#include "platform/report/pages.h"

#include "platform/report/mustache.h"
#include "platform/report/records.h"
#include "platform/report/report.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPageLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <deque>
#include <map>
#include <mutex>
#include <set>

namespace report {
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
            return static_cast<int>(100000 * 25.4 / Pages::kDpi);
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return Pages::kDpi;
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

qreal mm(qreal v) { return v / 25.4 * Pages::kDpi; }

std::atomic<qint64> layoutWork{0};

std::unique_ptr<QTextDocument> layDoc(const QString& html, qreal width, qreal pageHeight = 0) {
    layoutWork.fetch_add(html.size(), std::memory_order_relaxed);
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

// Top-level {{#name}} ... {{/name}} sections of a template.
struct Section {
    QString name;
    qsizetype openStart = -1, openEnd = 0, closeStart = 0, closeEnd = 0;
};

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

constexpr char kItemMark = '\x1e';
constexpr char kLineMark = '\x1d';

// The calling thread, by a number no other thread ever gets (a thread's address may be taken
// again by a later one, whose fonts are not the ones an earlier thread laid its pages out with).
quint64 threadKey() {
    static std::atomic<quint64> next{1};
    thread_local const quint64 key = next++;
    return key;
}

// Lines (items and the lists inside them) up to which the body is laid out whole.
std::atomic<int> wholeUpTo{1500};

// An item (a group, a document) of at least this many lines may be broken between two of them;
// a shorter one always stays whole on a page.
constexpr int kSplitFrom = 12;
// Lines kept on each side of such a break: a group's heading never ends a page alone and its
// closing total never starts one.
constexpr int kKeep = 2;
// An item that fits on a page moves whole to the next one when it would leave at most this part
// of the page empty; on a page with more room left it is broken there instead.
constexpr qreal kMovesWithin = 0.25;
// An item with this many lines is filled and measured apart from the items around it, so the
// pages before its end are ready before it is whole.
constexpr int kOwnChunk = 256;

// The still open table of `html` as it opens again on a next page: its tag and its <thead>;
// empty when every table is closed.
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

// Where each of `count` consecutive rows starts in the last table of
// pre + pieces + (the last piece again) + post, and where a row after them would start; each
// piece holds `rowsOf(i)` rows. False when the rows are not where they should be.
template <typename Piece, typename RowsOf>
bool rowTops(const QString& pre, int count, Piece piece, RowsOf rowsOf, const QString& post, qreal width,
             std::vector<qreal>* out, qreal* docH) {
    QString s = pre;
    int itemRows = 0;
    for (int i = 0; i < count; ++i) {
        s += piece(i);
        itemRows += rowsOf(i);
    }
    s += piece(count - 1);
    itemRows += rowsOf(count - 1);
    s += post;
    auto doc = layDoc(s, width);
    QTextTable* t = lastTable(doc.get());
    if (!t)
        return false;
    int row = t->rows() - itemRows;
    if (row < 0)
        return false;
    out->clear();
    for (int i = 0; i <= count; ++i) {
        const int k = i < count ? i : count - 1;
        if (row >= t->rows())
            return false;
        out->push_back(rowTop(doc.get(), t, row));
        row += rowsOf(k);
        if (rowsOf(k) <= 0)
            return false;
    }
    *docH = doc->size().height();
    return true;
}

}  // namespace

struct Pages::Impl {
    // A place in the body: before item `item` (line < 0) or before line `line` of that item, its
    // heading already on an earlier page.
    struct Pos {
        int item = 0, line = -1;
    };
    // What one page holds: from (first, firstLine) up to (last, lastLine) of the repeated section,
    // after the body's opening (prefix) or the table's opening again, before the body's end
    // (suffix) or the table's close. `slice` >= 0: that part of a unit laid out across several
    // pages.
    struct PagePlan {
        int first = 0, last = 0;
        int firstLine = -1, lastLine = -1;
        bool prefix = false, suffix = false;
        int slice = -1;
    };
    // An item long enough to be broken between its lines: the lines are the rows of a table its
    // heading opens.
    struct Lines {
        std::vector<int> cut;  // in the item's html: line k is [cut[k], cut[k + 1]); the tail follows
        std::vector<qreal> h;  // each line's height, sized up front: read while it is measured
        std::vector<int> rows;
        std::atomic<int> ready{0};  // lines measured; head, tReopen and eClose are set before the first
        QString reopen;             // the lines' table opened again on a next page
        qreal head = 0, tail = 0, tReopen = 0, eClose = 0;
        int count() const { return static_cast<int>(cut.size()) - 1; }
    };
    struct Chunk {
        int a = 0, b = 0;
        std::atomic<bool> done{false};
        bool ok = true;
        std::vector<std::pair<int, std::shared_ptr<Lines>>> filledLong;  // filled, not yet measured
    };

    Rendered r;
    QPageSize size;
    QMarginsF margins;
    qreal width = 0, pageH = 0, headerH = 0, footerH = 0, bodyH = 0, gap = 0;
    mstch::map values;

    // The body as one unit (no long section, a roll, or lines that did not measure).
    bool whole = false;
    QString wholeHtml;
    std::shared_ptr<QTextDocument> wholeDoc;

    // The body as prefix + items + suffix.
    QString prefix, suffix, reopen, close;
    bool inTable = false;
    std::string itemsTemplate;
    std::string longHead, longLine, longTail;  // a long item's template: before, each line, after its lines
    QString linesName;  // the list inside each item that long items are broken along
    mstch::map base;    // the values the items' template reads besides the item's own
    QVariant list;      // the items: a QVariantList or Records
    int n = 0;
    std::vector<QString> html;
    std::vector<qreal> h;
    std::vector<int> rows;
    std::vector<qsizetype> upTo;  // lines before each item, the lines inside the items included
    qreal tPrefix = 0, tReopen = 0, eClose = 0, sSuffix = 0;  // written by the first / last chunk
    // Set (release) once the first chunk's worker has written tPrefix, tReopen and eClose: the packer
    // may stream a long first item before that chunk is whole, and must not read them before.
    std::atomic<bool> openingReady{false};

    // Long items, published once their first lines are measured.
    mutable std::mutex linesMutex;
    std::map<int, std::shared_ptr<Lines>> longItems;

    std::deque<Chunk> chunks;
    size_t nextChunk = 0;
    int measured = 0;
    QThreadPool pool;
    std::atomic<bool> stop{false};

    std::vector<PagePlan> pages;
    Pos cursor;
    bool done = false;

    // A text document keeps pointers into the font engines of the thread that laid it out, and
    // those engines lose their font faces when that thread ends (a pool's worker ends after a while
    // idle). So the documents that get painted are laid out on the thread that paints them, and
    // kept for that thread only; the workers fill and measure the lines, and the documents they
    // make for that end with the task. Laying a page out again where it is painted costs no more
    // than painting it does, and no document ever crosses threads or outlives its fonts.
    //
    // What one thread laid out for painting: its last header and footer, by their text, and the
    // page documents around the page it paints. Only that thread reads or changes its own.
    struct Painting {
        std::pair<QString, std::shared_ptr<QTextDocument>> repeated[2];
        std::map<int, std::shared_ptr<QTextDocument>> pages;
    };
    mutable std::mutex cacheMutex;
    mutable std::map<quint64, Painting> painting;  // by threadKey()

    Painting& paintingHere() const {
        std::lock_guard<std::mutex> lock(cacheMutex);
        return painting[threadKey()];  // a map's entries stay where they are
    }

    explicit Impl(const Rendered& rendered) : r(rendered) {
        pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, 4));
    }

    ~Impl() {
        stop = true;
        pool.clear();
        pool.waitForDone();
        std::lock_guard<std::mutex> lock(cacheMutex);
        painting.clear();
    }

    QString headerFooter(const QString& tmpl, int page, int count) const {
        if (tmpl.trimmed().isEmpty())
            return {};
        mstch::map m = values;
        m["pagina"] = page;
        m["paginas"] = count;
        return detail::fill(tmpl, m);
    }

    void setUpPage() {
        const PageSetup& p = r.page;
        margins = p.marginsMm;
        switch (p.kind) {
        case PageKind::A4:
            size = QPageSize(QPageSize::A4);
            break;
        case PageKind::Legal:
            size = QPageSize(QPageSize::Legal);
            break;
        case PageKind::Letter:
        case PageKind::Roll76:
            size = QPageSize(QPageSize::Letter);
            break;
        }
        if (p.kind == PageKind::Roll76) {
            // One page as long as the content, laid out at the roll's width.
            width = mm(76 - margins.left() - margins.right());
            const qreal content = height(wholeHtml, width) + height(headerFooter(r.headerTemplate, 1, 1), width) +
                                  height(headerFooter(r.footerTemplate, 1, 1), width);
            const qreal total =
                std::max(50.0, std::ceil(content / Pages::kDpi * 25.4 + margins.top() + margins.bottom() + 2));
            size = QPageSize(QSizeF(76, total), QPageSize::Millimeter, QStringLiteral("Rollo 76 mm"),
                             QPageSize::ExactMatch);
        }
        const QPageLayout layout(size, QPageLayout::Portrait, margins, QPageLayout::Millimeter);
        const QRect paint = layout.paintRectPixels(Pages::kDpi);
        width = paint.width();
        pageH = paint.height();
        gap = mm(2);
        auto measure = [&](const QString& tmpl) {
            const QString html = headerFooter(tmpl, 999, 999);
            return html.isEmpty() ? 0.0 : height(html, width) + gap;
        };
        headerH = measure(r.headerTemplate);
        footerH = measure(r.footerTemplate);
        bodyH = std::max(pageH - headerH - footerH, pageH / 4);
    }

    // Splits the body at its longest top-level section; false when it has none worth splitting.
    bool split() {
        QMap<QString, int> opened;
        const auto sections = topSections(r.bodyTemplate, &opened);
        const Section* best = nullptr;
        qsizetype bestSize = 0;
        for (const Section& s : sections) {
            const qsizetype count = listSize(r.context.value(s.name));
            if (count < 0 || opened.value(s.name) != 1)
                continue;
            if (count > bestSize) {
                best = &s;
                bestSize = count;
            }
        }
        if (!best)
            return false;
        list = r.context.value(best->name);
        n = static_cast<int>(listSize(list));
        // A report of a few pages is laid out in one piece, as it always was.
        qsizetype weight = n;
        std::map<QString, qsizetype> inside;  // lines of each list inside the items
        const QStringList innerNames = listNames(list);
        for (const QString& name : innerNames)
            for (int i = 0; i < n; ++i)
                if (const qsizetype size = listSizeAt(list, i, name); size >= 0) {
                    weight += size;
                    inside[name] += size;
                }
        if (weight <= wholeUpTo.load())
            return false;
        const QString t = r.bodyTemplate;
        const QString itemTemplate = t.mid(best->openEnd, best->closeStart - best->openEnd);
        QVariantMap others = r.context;
        // The rest of the template still sees a list that is not empty.
        others.insert(best->name, QVariantList{QVariantMap()});
        {
            const mstch::map all = detail::toMap(others);
            prefix = detail::fill(t.left(best->openStart), all);
            suffix = detail::fill(t.mid(best->closeEnd), all);
        }
        // Each chunk of items sees only the outer values its template reads and the items do not
        // hold themselves: no copy of the other lists per chunk.
        QVariantMap read;
        for (const QString& name : detail::namesRead(itemTemplate)) {
            if (!others.contains(name))
                continue;
            bool everyItemHasIt = true;
            for (int i = 0; i < n && everyItemHasIt; ++i)
                everyItemHasIt = listHas(list, i, name);
            if (!everyItemHasIt)
                read.insert(name, others.value(name));
        }
        base = detail::toMap(read);
        // Lines that are rows of a table the prefix opened.
        reopen = openTable(prefix);
        if (!reopen.isEmpty()) {
            // The table's own tag and its heading rows (<thead>), which the text layout repeats
            // at the top of every page the table continues on.
            inTable = true;
            close = QStringLiteral("</table>");
        }
        QString body = itemTemplate;
        if (!inTable) {
            // The items' longest inner list, marked before it and after each of its lines.
            QMap<QString, int> innerOpened;
            qsizetype most = 0;
            for (const Section& s : topSections(itemTemplate, &innerOpened)) {
                const auto it = inside.find(s.name);
                if (innerOpened.value(s.name) == 1 && it != inside.end() && it->second > most) {
                    most = it->second;
                    body = itemTemplate.left(s.openStart) + QLatin1Char(kLineMark) +
                           itemTemplate.mid(s.openStart, s.closeStart - s.openStart) + QLatin1Char(kLineMark) +
                           itemTemplate.mid(s.closeStart);
                    linesName = s.name;
                    longHead = itemTemplate.left(s.openStart).toStdString();
                    longLine = ("{{#__lines}}" + itemTemplate.mid(s.openEnd, s.closeStart - s.openEnd) + kLineMark +
                                "{{/__lines}}")
                                   .toStdString();
                    longTail = itemTemplate.mid(s.closeEnd).toStdString();
                }
            }
        }
        itemsTemplate = ("{{#__items}}" + body + kItemMark + "{{/__items}}").toStdString();
        html.resize(static_cast<size_t>(n));
        h.assign(static_cast<size_t>(n), 0);
        rows.assign(static_cast<size_t>(n), 0);
        auto linesOfItem = [&](int i) -> qsizetype {
            if (linesName.isEmpty())
                return 0;
            return std::max<qsizetype>(0, listSizeAt(list, i, linesName));
        };
        upTo.assign(static_cast<size_t>(n) + 1, 0);
        for (int i = 0; i < n; ++i)
            upTo[static_cast<size_t>(i) + 1] = upTo[static_cast<size_t>(i)] + 1 + linesOfItem(i);
        int a = 0;
        int step = 48;
        while (a < n) {
            int b = a + 1;
            if (linesIn(a) < kOwnChunk)
                while (b < n && b - a < step && linesIn(b) < kOwnChunk)
                    ++b;
            chunks.emplace_back();
            chunks.back().a = a;
            chunks.back().b = b;
            a = b;
            step = 256;
        }
        for (Chunk& c : chunks)
            pool.start([this, &c] { runChunk(c); });
        return true;
    }

    void runChunk(Chunk& c) {
        if (!stop)
            c.ok = fillChunk(c) && measureChunk(c);
        if (c.ok && !stop)
            letGoOfHtml(c);
        c.done.store(true, std::memory_order_release);
    }

    bool fillChunk(Chunk& c) {
        if (c.b == c.a + 1 && linesIn(c.a) >= kOwnChunk)
            return fillLong(c);
        std::vector<QString> items;
        std::vector<std::shared_ptr<Lines>> lines;
        if (!fillItems(c.a, c.b, &items, &lines))
            return false;
        for (int i = c.a; i < c.b; ++i)
            keep(c, i, std::move(items[static_cast<size_t>(i - c.a)]), std::move(lines[static_cast<size_t>(i - c.a)]));
        return true;
    }

    // Items a..b-1 filled, each one's html with the marks of its lines taken out, and where its
    // lines are in it (when `lines` is given); false when the filled template is not as expected.
    bool fillItems(int a, int b, std::vector<QString>* out, std::vector<std::shared_ptr<Lines>>* lines) const {
        mstch::map root = base;
        mstch::array items;
        for (int i = a; i < b; ++i)
            items.push_back(detail::itemNode(list, i));
        root["__items"] = std::move(items);
        const std::string filled = mstch::render(itemsTemplate, root);
        root.clear();
        size_t from = 0;
        for (int i = a; i < b; ++i) {
            const size_t at = filled.find(kItemMark, from);
            if (at == std::string::npos)
                return false;
            QString item = QString::fromStdString(filled.substr(from, at - from));
            from = at + 1;
            auto itemLines = std::make_shared<Lines>();
            if (!linesName.isEmpty()) {
                // The marks out, where they were kept as the lines' bounds.
                QString clean;
                clean.reserve(item.size());
                qsizetype k = 0;
                for (qsizetype m; (m = item.indexOf(QLatin1Char(kLineMark), k)) >= 0; k = m + 1) {
                    clean += QStringView(item).mid(k, m - k);
                    itemLines->cut.push_back(static_cast<int>(clean.size()));
                }
                clean += QStringView(item).mid(k);
                clean.squeeze();
                item = std::move(clean);
            }
            out->push_back(std::move(item));
            if (lines)
                lines->push_back(std::move(itemLines));
        }
        return true;
    }

    // The item's html: an item not broken between its lines is filled again when a page shows it
    // rather than kept (at a shop's year the html of every item was much of a report's memory).
    QString itemHtml(int i) const {
        const QString& kept = html[static_cast<size_t>(i)];
        if (!kept.isEmpty())
            return kept;
        std::vector<QString> one;
        return fillItems(i, i + 1, &one, nullptr) ? one.front() : QString();
    }

    // Items a..b-1 one after another, those not kept filled together.
    void appendItems(QString& out, int a, int b) const {
        std::vector<QString> filled;
        for (int i = a; i < b;) {
            if (!html[static_cast<size_t>(i)].isEmpty()) {
                out += html[static_cast<size_t>(i)];
                ++i;
                continue;
            }
            int j = i + 1;
            while (j < b && html[static_cast<size_t>(j)].isEmpty())
                ++j;
            filled.clear();
            if (fillItems(i, j, &filled, nullptr))
                for (const QString& item : filled)
                    out += item;
            i = j;
        }
    }

    // Once a chunk is measured, the html of its items that are not broken between their lines.
    void letGoOfHtml(const Chunk& c) {
        if (c.b == c.a + 1 && linesIn(c.a) >= kOwnChunk)
            return;  // filled line by line, kept as it was measured
        auto next = c.filledLong.begin();
        for (int i = c.a; i < c.b; ++i) {
            if (next != c.filledLong.end() && next->first == i) {
                ++next;
                continue;
            }
            html[static_cast<size_t>(i)] = QString();
        }
    }

    // One item of thousands of lines filled a few hundred lines at a time: never the whole of it
    // as template values at once.
    bool fillLong(Chunk& c) {
        const int i = c.a;
        QVariantMap item = listItem(list, i);
        const QVariant all = item.value(linesName);
        const qsizetype lineCount = std::max<qsizetype>(0, listSize(all));
        item.insert(linesName, QVariantList{QVariantMap()});
        mstch::map root = base;
        for (auto& [name, value] : detail::toMap(item))
            root[name] = std::move(value);
        auto lines = std::make_shared<Lines>();
        QString out = QString::fromStdString(mstch::render(longHead, root));
        lines->cut.push_back(static_cast<int>(out.size()));
        for (qsizetype a = 0; a < lineCount && !stop; a += 256) {
            mstch::array batch;
            for (qsizetype k = a; k < std::min(lineCount, a + 256); ++k)
                batch.push_back(detail::itemNode(all, k));
            root["__lines"] = std::move(batch);
            const QString piece = QString::fromStdString(mstch::render(longLine, root));
            qsizetype k = 0;
            for (qsizetype m; (m = piece.indexOf(QLatin1Char(kLineMark), k)) >= 0; k = m + 1) {
                out += QStringView(piece).mid(k, m - k);
                lines->cut.push_back(static_cast<int>(out.size()));
            }
        }
        root.erase("__lines");
        out += QString::fromStdString(mstch::render(longTail, root));
        keep(c, i, std::move(out), std::move(lines));
        return !stop;
    }

    // The item's html, and its lines when it is long enough to be broken between them.
    void keep(Chunk& c, int i, QString item, std::shared_ptr<Lines> lines) {
        if (lines->count() >= kSplitFrom) {
            lines->reopen = openTable(QStringView(item).left(lines->cut.front()));
            for (int l = 0; l < lines->count(); ++l)
                lines->rows.push_back(rowTags(QStringView(item).mid(lines->cut[l], lines->cut[l + 1] - lines->cut[l])));
            const bool rowsEach = std::all_of(lines->rows.begin(), lines->rows.end(), [](int n) { return n > 0; });
            if (!lines->reopen.isEmpty() && rowsEach) {
                lines->h.assign(static_cast<size_t>(lines->count()), 0);
                c.filledLong.emplace_back(i, std::move(lines));
            }
        }
        html[static_cast<size_t>(i)] = std::move(item);
        rows[static_cast<size_t>(i)] = rowTags(html[static_cast<size_t>(i)]);
    }

    qsizetype linesIn(int item) const {
        return upTo[static_cast<size_t>(item) + 1] - upTo[static_cast<size_t>(item)] - 1;
    }

    QStringView line(int item, const Lines& l, int k) const {
        return QStringView(html[static_cast<size_t>(item)]).mid(l.cut[k], l.cut[k + 1] - l.cut[k]);
    }

    // A long item line by line, its first lines published before the rest are measured. Lines
    // that do not measure as rows leave the item whole; false when that shows after publishing.
    bool measureLines(int item, const std::shared_ptr<Lines>& sp) {
        Lines& l = *sp;
        const QString& s = html[static_cast<size_t>(item)];
        const int count = l.count();
        const int first = std::min(count, 48);
        std::vector<qreal> t;
        qreal docH = 0;
        auto piece = [&](int k) { return line(item, l, k); };
        auto rowsOf = [&](int k) { return l.rows[static_cast<size_t>(k)]; };
        if (!rowTops(s.left(l.cut.front()), first, piece, rowsOf, QStringLiteral("</table>"), width, &t, &docH))
            return measureWhole(item);
        for (int k = 0; k < first; ++k)
            l.h[static_cast<size_t>(k)] = t[static_cast<size_t>(k + 1)] - t[static_cast<size_t>(k)];
        l.head = t.front();
        l.eClose = docH - t.back() - l.h[static_cast<size_t>(first - 1)];
        if (!rowTops(l.reopen, 1, piece, rowsOf, QStringLiteral("</table>"), width, &t, &docH))
            return measureWhole(item);
        l.tReopen = t.front();
        l.ready.store(first, std::memory_order_release);
        {
            std::lock_guard<std::mutex> lock(linesMutex);
            longItems[item] = sp;
        }
        if (!measureRest(item, sp, first) || stop)
            return false;
        const int last = count - 1;
        QString lastAndTail = l.reopen;
        lastAndTail += line(item, l, last);
        lastAndTail += QStringView(s).mid(l.cut.back());
        auto doc = layDoc(lastAndTail, width);
        l.tail = doc->size().height() - l.tReopen - l.h[static_cast<size_t>(last)];
        qreal sum = 0;
        for (qreal v : l.h)
            sum += v;
        h[static_cast<size_t>(item)] = l.head + sum + l.tail;
        return true;
    }

    // The lines from `from` on, in pieces taken by this thread and by workers with nothing else
    // to do (one long group is the whole report at times); `ready` follows the pieces done in
    // order.
    struct Pieces {
        std::atomic<int> next{0};
        std::mutex m;
        std::condition_variable cv;
        std::vector<char> state;  // 0 to do, 1 measured, 2 failed
        int inOrder = 0, left = 0;
    };
    bool measureRest(int item, const std::shared_ptr<Lines>& sp, int from) {
        constexpr int kPiece = 256;
        const int count = sp->count();
        auto w = std::make_shared<Pieces>();
        w->left = (count - from + kPiece - 1) / kPiece;
        w->state.assign(static_cast<size_t>(w->left), 0);
        const int total = w->left;
        auto take = [this, item, sp, w, from, count, total] {
            for (int p; (p = w->next.fetch_add(1)) < total;) {
                const int a = from + p * kPiece, b = std::min(count, a + kPiece);
                std::vector<qreal> t;
                qreal docH = 0;
                bool ok = !stop && rowTops(
                                       sp->reopen, b - a, [&](int k) { return line(item, *sp, a + k); },
                                       [&](int k) { return sp->rows[static_cast<size_t>(a + k)]; },
                                       QStringLiteral("</table>"), width, &t, &docH);
                if (ok)
                    for (int k = a; k < b; ++k)
                        sp->h[static_cast<size_t>(k)] = t[static_cast<size_t>(k - a + 1)] - t[static_cast<size_t>(k - a)];
                std::lock_guard<std::mutex> lock(w->m);
                w->state[static_cast<size_t>(p)] = ok ? 1 : 2;
                while (w->inOrder < total && w->state[static_cast<size_t>(w->inOrder)] == 1)
                    ++w->inOrder;
                sp->ready.store(std::min(count, from + w->inOrder * kPiece), std::memory_order_release);
                --w->left;
                w->cv.notify_all();
            }
        };
        // Helpers go before the chunks still queued; those after the last piece find nothing.
        for (int k = 0; k < std::min(total - 1, pool.maxThreadCount() - 1); ++k)
            pool.start(take, 2);
        take();
        std::unique_lock<std::mutex> lock(w->m);
        w->cv.wait(lock, [&] { return w->left == 0; });
        return w->inOrder == total;
    }

    bool measureWhole(int item) {
        h[static_cast<size_t>(item)] = height(html[static_cast<size_t>(item)], width);
        return true;
    }

    std::shared_ptr<Lines> linesOf(int item) const {
        std::lock_guard<std::mutex> lock(linesMutex);
        const auto it = longItems.find(item);
        return it == longItems.end() ? nullptr : it->second;
    }

    bool measureChunk(const Chunk& c) {
        if (!inTable) {
            if (c.a == 0) {
                tPrefix = height(prefix, width);
                openingReady.store(true, std::memory_order_release);
            }
            auto next = c.filledLong.begin();
            for (int i = c.a; i < c.b && !stop; ++i) {
                if (next != c.filledLong.end() && next->first == i) {
                    if (!measureLines(i, next->second))
                        return false;
                    ++next;
                } else {
                    measureWhole(i);
                }
            }
            if (c.b == n)
                sSuffix = height(suffix, width);
            return true;
        }
        auto piece = [&](int i) { return QStringView(html[static_cast<size_t>(i)]); };
        auto rowsOf = [&](int i) { return rows[static_cast<size_t>(i)]; };
        auto tops = [&](const QString& pre, int a, int b, const QString& post, std::vector<qreal>* out,
                        qreal* docH) {
            return rowTops(
                pre, b - a, [&](int k) { return piece(a + k); }, [&](int k) { return rowsOf(a + k); }, post,
                width, out, docH);
        };
        std::vector<qreal> t;
        qreal docH = 0;
        if (!tops(c.a == 0 ? prefix : reopen, c.a, c.b, close, &t, &docH))
            return false;
        for (int i = c.a; i < c.b; ++i)
            h[static_cast<size_t>(i)] = t[static_cast<size_t>(i - c.a + 1)] - t[static_cast<size_t>(i - c.a)];
        if (c.a == 0) {
            tPrefix = t.front();
            eClose = docH - t.back() - h[static_cast<size_t>(c.b - 1)];
            std::vector<qreal> t2;
            qreal d2 = 0;
            if (!tops(reopen, 0, 1, close, &t2, &d2))
                return false;
            tReopen = t2.front();
            openingReady.store(true, std::memory_order_release);
        }
        if (c.b == n) {
            std::vector<qreal> t3;
            qreal d3 = 0;
            if (!tops(reopen, n - 1, n, QString(), &t3, &d3))
                return false;
            // The same item twice, then the suffix (which closes the table).
            const qreal afterOne = t3.back();
            auto doc = layDoc(reopen + html[static_cast<size_t>(n - 1)] + suffix, width);
            sSuffix = doc->size().height() - afterOne;
        }
        return true;
    }

    // The body in one piece, paginated by the text layout itself.
    void useWhole() {
        whole = true;
        if (wholeHtml.isEmpty())
            wholeHtml = r.body();
        const bool roll = r.page.kind == PageKind::Roll76;
        wholeDoc = layDoc(wholeHtml, width, roll ? 0 : bodyH);
        const int count = roll ? 1 : std::max(1, wholeDoc->pageCount());
        {
            // Pages built before are of the other plan: none of them may be shown again.
            std::lock_guard<std::mutex> lock(cacheMutex);
            painting.clear();
        }
        pages.clear();
        for (int i = 0; i < count; ++i) {
            PagePlan s;
            s.slice = i;
            pages.push_back(s);
        }
        done = true;
    }

    void addPage(Pos from, Pos to, bool withSuffix) {
        PagePlan s;
        s.first = from.item;
        s.firstLine = from.line;
        s.last = to.item;
        s.lastLine = to.line;
        s.prefix = pages.empty();
        s.suffix = withSuffix;
        pages.push_back(s);
        cursor = to;
        if (withSuffix)
            done = true;
    }

    // An item taller than a page, on pages of its own.
    void addSlices(int item) {
        auto doc = layDoc(itemHtml(item), width, bodyH);
        const int count = std::max(1, doc->pageCount());
        for (int k = 0; k < count; ++k) {
            PagePlan s;
            s.first = item;
            s.last = item + 1;
            s.slice = k;
            pages.push_back(s);
        }
        cursor = {item + 1, -1};
    }

    // The lines of a long item that fit from `y` on, from line `k`; -1 when more must be measured.
    int linesFitting(const Lines& l, int ready, int k, qreal y) const {
        while (k < l.count()) {
            if (k >= ready)
                return -1;
            if (y + l.h[static_cast<size_t>(k)] + l.eClose > bodyH)
                break;
            y += l.h[static_cast<size_t>(k)];
            ++k;
        }
        return k;
    }

    // Closes the next page when the items it needs are measured; false when it must wait.
    bool packOne() {
        // The opening's heights come with the first chunk, written by its worker.
        if (n > 0 && !openingReady.load(std::memory_order_acquire))
            return false;
        const bool first = pages.empty();
        const Pos start = cursor;
        qreal y = first ? tPrefix : tReopen;
        int e = cursor.item;
        if (cursor.line >= 0) {
            // The rest of a long item that began on an earlier page.
            const auto l = linesOf(e);
            const int count = l->count();
            const int ready = e < measured ? count : l->ready.load(std::memory_order_acquire);
            y += l->tReopen;
            int k = linesFitting(*l, ready, cursor.line, y);
            if (k < 0)
                return false;
            k = std::max(k, cursor.line + 1);
            if (k == count) {
                if (e >= measured)
                    return false;  // its tail is not measured yet
                for (int i = cursor.line; i < count; ++i)
                    y += l->h[static_cast<size_t>(i)];
                if (y + l->tail <= bodyH || count - cursor.line <= kKeep) {
                    y += l->tail;
                    ++e;
                } else {
                    k = std::max(cursor.line + 1, count - kKeep);  // the closing total with its last lines
                }
            } else if (count - k < kKeep) {
                k = std::max(cursor.line + 1, count - kKeep);
            }
            if (e == cursor.item) {
                addPage(start, {e, k}, false);
                return true;
            }
        }
        while (true) {
            if (e == n) {
                if (y + sSuffix <= bodyH || e - start.item <= 1) {
                    addPage(start, {n, -1}, true);
                } else {
                    addPage(start, {n - 1, -1}, false);  // the last item goes with the end
                }
                return true;
            }
            const bool ready = e < measured;
            if (ready && y + h[static_cast<size_t>(e)] + eClose <= bodyH) {
                y += h[static_cast<size_t>(e)];
                ++e;
                continue;
            }
            // Item e does not fit in what is left of the page (or is still being measured).
            const bool empty = e == start.item;
            const auto l = inTable || linesName.isEmpty() ? nullptr : (ready || e == measured ? linesOf(e) : nullptr);
            if (!ready && !l)
                return false;
            if (l) {
                const int count = l->count();
                const int have = ready ? count : l->ready.load(std::memory_order_acquire);
                if (!ready) {
                    // Still being measured: wait until it is known to be taller than a page.
                    qreal part = tReopen + l->head;
                    for (int k = 0; k < have && part <= bodyH; ++k)
                        part += l->h[static_cast<size_t>(k)];
                    if (part <= bodyH)
                        return false;
                }
                const bool fitsAPage = ready && tReopen + h[static_cast<size_t>(e)] <= bodyH;
                const bool moves = !empty && fitsAPage && bodyH - y <= bodyH * kMovesWithin;
                if (!moves) {
                    int k = linesFitting(*l, have, 0, y + l->head);
                    if (k < 0)
                        return false;
                    k = std::min(k, count - kKeep);
                    if (empty)
                        k = std::max(k, 1);
                    if (k >= kKeep || empty) {
                        addPage(start, {e, k}, false);
                        return true;
                    }
                }
            }
            if (!ready)
                return false;
            if (!empty) {
                addPage(start, {e, -1}, false);
                return true;
            }
            if (inTable) {
                addPage(start, {e + 1, -1}, e + 1 == n);  // a row taller than a page stands alone
            } else if (first && !prefix.trimmed().isEmpty()) {
                addPage(start, {e, -1}, false);  // the opening alone, the item on its own pages
            } else {
                addSlices(e);
                if (cursor.item == n) {
                    PagePlan s;
                    s.first = s.last = n;
                    s.suffix = true;
                    if (!suffix.trimmed().isEmpty())
                        pages.push_back(s);
                    done = true;
                }
            }
            return true;
        }
    }

    // Takes in the chunks measured in order; false when one failed.
    bool takeChunks() {
        while (nextChunk < chunks.size() && chunks[nextChunk].done.load(std::memory_order_acquire)) {
            if (!chunks[nextChunk].ok)
                return false;
            measured = chunks[nextChunk].b;
            ++nextChunk;
        }
        return true;
    }

    QString pageHtml(const PagePlan& s) const {
        QString out;
        if (s.prefix)
            out += prefix;
        else if (inTable)
            out += reopen;
        int i = s.first;
        const bool endsInside = s.lastLine >= 0;
        if (s.firstLine >= 0) {
            const auto l = linesOf(i);
            const QString& item = html[static_cast<size_t>(i)];
            const bool endsHere = endsInside && s.last == i;
            const int to = l->cut[static_cast<size_t>(endsHere ? s.lastLine : l->count())];
            out += l->reopen;
            out += QStringView(item).mid(l->cut[static_cast<size_t>(s.firstLine)],
                                         to - l->cut[static_cast<size_t>(s.firstLine)]);
            if (endsHere)
                return out + QStringLiteral("</table>");
            out += QStringView(item).mid(l->cut.back());
            ++i;
        }
        appendItems(out, i, s.last);
        if (endsInside) {
            const auto l = linesOf(s.last);
            out += QStringView(html[static_cast<size_t>(s.last)]).left(l->cut[static_cast<size_t>(s.lastLine)]);
            return out + QStringLiteral("</table>");
        }
        if (s.suffix)
            out += suffix;
        else if (inTable)
            out += close;
        return out;
    }

    // On the thread that paints the page.
    std::shared_ptr<QTextDocument> build(const PagePlan& s) const {
        if (whole)
            return wholeDoc;
        if (s.slice >= 0)
            return layDoc(itemHtml(s.first), width, bodyH);
        return layDoc(pageHtml(s), width);
    }

    std::shared_ptr<QTextDocument> document(int page) const {
        auto& kept = paintingHere().pages;
        // Keeps the few pages around the one in use.
        for (auto it = kept.begin(); it != kept.end();)
            it = it->first < page - 2 || it->first > page + 8 ? kept.erase(it) : std::next(it);
        auto& doc = kept[page];
        if (!doc)
            doc = build(pages[static_cast<size_t>(page)]);
        return doc;
    }
};

Pages::Pages(const Rendered& rendered) : d(std::make_unique<Impl>(rendered)) {
    const bool roll = rendered.page.kind == PageKind::Roll76;
    d->values = detail::toMap(rendered.values);
    if (roll)
        d->wholeHtml = rendered.body();
    d->setUpPage();
    if (roll || !d->split())
        d->useWhole();
}

Pages::~Pages() = default;

bool Pages::layOut(int ms) {
    if (d->done)
        return true;
    QElapsedTimer t;
    t.start();
    while (!d->done) {
        if (!d->takeChunks()) {
            // Lines that do not measure as rows: the whole body laid out by the text layout.
            d->stop = true;
            d->pool.clear();
            d->pool.waitForDone();
            d->useWhole();
            return true;
        }
        if (!d->packOne()) {
            if (ms > 0 && t.elapsed() >= ms)
                return false;
            QThread::msleep(2);
        }
        if (ms > 0 && t.elapsed() >= ms)
            return d->done;
    }
    return true;
}

bool Pages::finished() const { return d->done; }

qint64 Pages::layoutWork() { return report::layoutWork.load(); }

void Pages::setWholeUpTo(int lines) { wholeUpTo.store(lines); }

int Pages::count() const { return static_cast<int>(d->pages.size()); }

int Pages::expected() const {
    const int ready = count();
    if (d->done || d->n == 0)
        return std::max(1, ready);
    // Counted in lines, the lines inside the items included: one long group is most of a report.
    const auto upTo = [&](int item) { return double(d->upTo[static_cast<size_t>(item)]); };
    const double at = upTo(d->cursor.item) + std::max(0, d->cursor.line);
    const double left = upTo(d->n) - at;
    double perPage = 0;
    if (ready > 0 && at > 0) {
        perPage = at / ready;
    } else if (d->measured > 0) {
        qreal sum = 0;
        for (int i = 0; i < d->measured; ++i)
            sum += d->h[static_cast<size_t>(i)];
        perPage = sum > 0 ? d->bodyH / (sum / upTo(d->measured)) : 1;
    }
    return ready + std::max(1, static_cast<int>(std::ceil(left / std::max(1.0, perPage))));
}

QPageSize Pages::pageSize() const { return d->size; }

QMarginsF Pages::marginsMm() const { return d->margins; }

QSize Pages::pixelSize(qreal dpi) const { return d->size.sizePixels(static_cast<int>(dpi)); }

void Pages::paint(int page, QPainter* painter, qreal dpi) const {
    if (page < 0 || page >= count())
        return;
    const Impl::PagePlan& s = d->pages[static_cast<size_t>(page)];
    const int total = expected();
    painter->save();
    painter->scale(dpi / kDpi, dpi / kDpi);
    auto drawAt = [&](int slot, const QString& html, qreal y) {
        if (html.isEmpty())
            return;
        // A header without the page number is the same on every page: laid out once.
        auto& [lastHtml, doc] = d->paintingHere().repeated[slot];
        if (lastHtml != html || !doc) {
            lastHtml = html;
            doc = layDoc(html, d->width);
        }
        painter->save();
        painter->translate(0, y);
        doc->drawContents(painter);
        painter->restore();
    };
    drawAt(0, d->headerFooter(d->r.headerTemplate, page + 1, total), 0);
    const auto body = d->document(page);
    painter->save();
    const qreal from = s.slice >= 0 ? s.slice * d->bodyH : 0;
    const qreal bodyHeight = d->r.page.kind == PageKind::Roll76 ? body->size().height() : d->bodyH;
    painter->translate(0, d->headerH - from);
    body->drawContents(painter, QRectF(0, from, d->width, bodyHeight));
    painter->restore();
    drawAt(1, d->headerFooter(d->r.footerTemplate, page + 1, total), d->pageH - d->footerH + d->gap);
    painter->restore();
}

QImage Pages::image(int page, qreal dpi) const {
    QImage img(pixelSize(dpi), QImage::Format_RGB32);
    img.setDotsPerMeterX(static_cast<int>(dpi / 0.0254));
    img.setDotsPerMeterY(static_cast<int>(dpi / 0.0254));
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QPageLayout layout(d->size, QPageLayout::Portrait, d->margins, QPageLayout::Millimeter);
    p.translate(layout.paintRectPixels(static_cast<int>(dpi)).topLeft());
    paint(page, &p, dpi);
    return img;
}

bool Pages::paintsOnAnyThread() const { return d->done && !d->whole; }

void Pages::releaseThread() const {
    Impl::Painting gone;
    {
        std::lock_guard<std::mutex> lock(d->cacheMutex);
        const auto it = d->painting.find(threadKey());
        if (it == d->painting.end())
            return;
        gone = std::move(it->second);
        d->painting.erase(it);
    }
    // `gone` is destroyed here, on the thread that laid it out, outside the lock.
}

void Pages::preparePrinter(QPrinter* printer) const {
    printer->setFullPage(false);
    printer->setPageSize(d->size);
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(d->margins, QPageLayout::Millimeter);
}

}  // namespace report
