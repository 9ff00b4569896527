#pragma once
// The layout of a report's pages, below the pages that answer for it (pages.h) and not part of the
// layer's interface: layout.cpp lays text out, layout_fill.cpp fills the body's items,
// layout_measure.cpp measures them and layout_pack.cpp packs them into pages.

#include "platform/report/mustache.h"
#include "platform/report/records.h"
#include "platform/report/rendered.h"

#include <QMap>
#include <QMarginsF>
#include <QPageSize>
#include <QString>
#include <QStringView>
#include <QTextDocument>
#include <QTextTable>
#include <QThread>
#include <QThreadPool>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace report {
namespace detail {

// The dots per inch of the layout (Pages::kDpi).
constexpr int kDpi = 1200;

// Millimetres in the layout's dots.
qreal mm(qreal v);

// The text laid out so far, in characters (Pages::layoutWork()).
extern std::atomic<qint64> laidOut;

// The html laid out at `width` (and paginated at `pageHeight` when given) against the layout's
// resolution, on the calling thread.
std::unique_ptr<QTextDocument> layDoc(const QString& html, qreal width, qreal pageHeight = 0);
// The height of the html laid out at `width`; 0 for blank html.
qreal height(const QString& html, qreal width);
// The table rows the html opens (<tr> tags).
int rowTags(QStringView html);
// The document's last top-level table (null when it has none) and where its row starts.
QTextTable* lastTable(QTextDocument* doc);
qreal rowTop(QTextDocument* doc, QTextTable* t, int row);

// Top-level {{#name}} ... {{/name}} sections of a template.
struct Section {
    QString name;
    qsizetype openStart = -1, openEnd = 0, closeStart = 0, closeEnd = 0;
};
// The template's top-level sections; `opened` counts how often each name opens a section.
std::vector<Section> topSections(const QString& t, QMap<QString, int>* opened);

constexpr char kItemMark = '\x1e';
constexpr char kLineMark = '\x1d';

// The calling thread, by a number no other thread ever gets (a thread's address may be taken
// again by a later one, whose fonts are not the ones an earlier thread laid its pages out with).
quint64 threadKey();

// Lines (items and the lists inside them) up to which the body is laid out whole.
extern std::atomic<int> wholeUpTo;

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
// The lines of the first chunk: about two pages.
constexpr int kFirstLines = 120;

// The still open table of `html` as it opens again on a next page: its tag and its <thead>;
// empty when every table is closed.
QString openTable(QStringView html);

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

// What Pages keeps of a filled template while it lays it out and paints it (pages.h says how).
struct PageLayout {
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
        return painting[detail::threadKey()];  // a map's entries stay where they are
    }

    explicit PageLayout(const Rendered& rendered) : r(rendered) {
        pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, 4));
    }

    ~PageLayout() {
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

    void setUpPage();
    // Splits the body at its longest top-level section; false when it has none worth splitting.
    bool split();
    void runChunk(Chunk& c);

    bool fillChunk(Chunk& c);
    // Items a..b-1 filled, each one's html with the marks of its lines taken out, and where its
    // lines are in it (when `lines` is given); false when the filled template is not as expected.
    bool fillItems(int a, int b, std::vector<QString>* out, std::vector<std::shared_ptr<Lines>>* lines) const;
    // The item's html: an item not broken between its lines is filled again when a page shows it
    // rather than kept (at a shop's year the html of every item was much of a report's memory).
    QString itemHtml(int i) const;
    // Items a..b-1 one after another, those not kept filled together.
    void appendItems(QString& out, int a, int b) const;
    // Once a chunk is measured, the html of its items that are not broken between their lines.
    void letGoOfHtml(const Chunk& c);
    // One item of thousands of lines filled a few hundred lines at a time: never the whole of it
    // as template values at once.
    bool fillLong(Chunk& c);
    // The item's html, and its lines when it is long enough to be broken between them.
    void keep(Chunk& c, int i, QString item, std::shared_ptr<Lines> lines);
    qsizetype linesIn(int item) const {
        return upTo[static_cast<size_t>(item) + 1] - upTo[static_cast<size_t>(item)] - 1;
    }

    QStringView line(int item, const Lines& l, int k) const {
        return QStringView(html[static_cast<size_t>(item)]).mid(l.cut[k], l.cut[k + 1] - l.cut[k]);
    }

    // A long item line by line, its first lines published before the rest are measured. Lines
    // that do not measure as rows leave the item whole; false when that shows after publishing.
    bool measureLines(int item, const std::shared_ptr<Lines>& sp);
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
    bool measureRest(int item, const std::shared_ptr<Lines>& sp, int from);
    bool measureWhole(int item);

    std::shared_ptr<Lines> linesOf(int item) const {
        std::lock_guard<std::mutex> lock(linesMutex);
        const auto it = longItems.find(item);
        return it == longItems.end() ? nullptr : it->second;
    }

    bool measureChunk(const Chunk& c);
    // The body in one piece, paginated by the text layout itself.
    void useWhole();
    void addPage(Pos from, Pos to, bool withSuffix);

    // An item taller than a page, on pages of its own.
    void addSlices(int item);
    // The lines of a long item that fit from `y` on, from line `k`; -1 when more must be measured.
    int linesFitting(const Lines& l, int ready, int k, qreal y) const;
    // Closes the next page when the items it needs are measured; false when it must wait.
    bool packOne();
    // Takes in the chunks measured in order; false when one failed.
    bool takeChunks();
    QString pageHtml(const PagePlan& s) const;

    // On the thread that paints the page.
    std::shared_ptr<QTextDocument> build(const PagePlan& s) const;
    std::shared_ptr<QTextDocument> document(int page) const;
};

}  // namespace detail
}  // namespace report
