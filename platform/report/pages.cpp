#include "platform/report/pages.h"

#include "platform/report/mustache.h"
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

std::unique_ptr<QTextDocument> layDoc(const QString& html, qreal width, qreal pageHeight = 0) {
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

int rowTags(const QString& html) {
    static thread_local const QRegularExpression tr(QStringLiteral("<tr[\\s>]"),
                                                    QRegularExpression::CaseInsensitiveOption);
    return static_cast<int>(html.count(tr));
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

// A document laid out for painting, and the thread that laid it out (see Pages::Impl::cache).
struct Painted {
    QThread* thread = nullptr;
    std::shared_ptr<QTextDocument> doc;
};

// Lines (items and the lists inside them) up to which the body is laid out whole.
constexpr qsizetype kWholeUpTo = 1500;

}  // namespace

struct Pages::Impl {
    // What one page holds: the items [first, last) of the repeated section, after the body's
    // opening (prefix) or the table's opening again, before the body's end (suffix) or the
    // table's close. `slice` >= 0: that part of a unit laid out across several pages.
    struct PagePlan {
        int first = 0, last = 0;
        bool prefix = false, suffix = false;
        int slice = -1;
    };
    struct Chunk {
        int a = 0, b = 0;
        std::atomic<bool> done{false};
        bool ok = true;
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
    mstch::map base;
    QVariantList list;
    int n = 0;
    std::vector<QString> html;
    std::vector<qreal> h;
    std::vector<int> rows;
    qreal tPrefix = 0, tReopen = 0, eClose = 0, sSuffix = 0;  // written by the first / last chunk

    std::deque<Chunk> chunks;
    size_t nextChunk = 0;
    int measured = 0;
    QThreadPool pool;
    std::atomic<bool> stop{false};

    std::vector<PagePlan> pages;
    int cursor = 0;
    bool done = false;

    // A text document keeps pointers into the font engines of the thread that laid it out, and
    // those engines lose their font faces when that thread ends (a pool's worker ends after a while
    // idle). So the documents that get painted are laid out on the thread that paints them, and
    // kept for that thread only; the workers fill and measure the lines, and the documents they
    // make for that end with the task. Laying a page out again where it is painted costs no more
    // than painting it does, and no document ever crosses threads or outlives its fonts.
    //
    // The last header and footer laid out, by their text.
    mutable std::pair<QString, Painted> repeated[2];

    // Page documents already built, around the page in use.
    mutable std::mutex cacheMutex;
    mutable std::map<int, Painted> cache;

    explicit Impl(const Rendered& rendered) : r(rendered) {
        pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, 4));
    }

    ~Impl() {
        stop = true;
        pool.clear();
        pool.waitForDone();
        std::lock_guard<std::mutex> lock(cacheMutex);
        cache.clear();
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
            const QVariant v = r.context.value(s.name);
            if (v.typeId() != QMetaType::QVariantList || opened.value(s.name) != 1)
                continue;
            const qsizetype count = v.toList().size();
            if (count > bestSize) {
                best = &s;
                bestSize = count;
            }
        }
        if (!best)
            return false;
        list = r.context.value(best->name).toList();
        n = static_cast<int>(list.size());
        // A report of a few pages is laid out in one piece, as it always was.
        qsizetype weight = 0;
        for (const QVariant& item : std::as_const(list)) {
            weight += 1;
            if (item.typeId() == QMetaType::QVariantMap) {
                const QVariantMap m = item.toMap();
                for (auto it = m.begin(); it != m.end(); ++it)
                    if (it.value().typeId() == QMetaType::QVariantList)
                        weight += it.value().toList().size();
            }
        }
        if (weight <= kWholeUpTo)
            return false;
        QVariantMap others = r.context;
        // The rest of the template still sees a list that is not empty.
        others.insert(best->name, QVariantList{QVariantMap()});
        base = detail::toMap(others);
        const QString t = r.bodyTemplate;
        prefix = detail::fill(t.left(best->openStart), base);
        suffix = detail::fill(t.mid(best->closeEnd), base);
        itemsTemplate = ("{{#__items}}" + t.mid(best->openEnd, best->closeStart - best->openEnd) + kItemMark +
                         "{{/__items}}")
                            .toStdString();
        // Lines that are rows of a table the prefix opened.
        const qsizetype open = prefix.lastIndexOf(QLatin1String("<table"), -1, Qt::CaseInsensitive);
        if (open >= 0 && prefix.indexOf(QLatin1String("</table"), open, Qt::CaseInsensitive) < 0) {
            // The table's own tag and its heading rows (<thead>), which the text layout repeats
            // at the top of every page the table continues on.
            inTable = true;
            const qsizetype tagEnd = prefix.indexOf(QLatin1Char('>'), open);
            reopen = prefix.mid(open, tagEnd + 1 - open);
            const qsizetype head = prefix.indexOf(QLatin1String("<thead"), tagEnd, Qt::CaseInsensitive);
            const qsizetype headEnd = prefix.indexOf(QLatin1String("</thead>"), tagEnd, Qt::CaseInsensitive);
            if (head >= 0 && headEnd > head)
                reopen += prefix.mid(head, headEnd + 8 - head);
            close = QStringLiteral("</table>");
        }
        html.resize(static_cast<size_t>(n));
        h.assign(static_cast<size_t>(n), 0);
        rows.assign(static_cast<size_t>(n), 0);
        int a = 0;
        int step = 48;
        while (a < n) {
            const int b = std::min(n, a + step);
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
        c.done.store(true, std::memory_order_release);
    }

    bool fillChunk(const Chunk& c) {
        mstch::map root = base;
        mstch::array items;
        for (int i = c.a; i < c.b; ++i)
            items.push_back(detail::toNode(list.at(i)));
        root["__items"] = std::move(items);
        const std::string out = mstch::render(itemsTemplate, root);
        size_t from = 0;
        for (int i = c.a; i < c.b; ++i) {
            const size_t at = out.find(kItemMark, from);
            if (at == std::string::npos)
                return false;
            html[static_cast<size_t>(i)] = QString::fromStdString(out.substr(from, at - from));
            rows[static_cast<size_t>(i)] = rowTags(html[static_cast<size_t>(i)]);
            from = at + 1;
        }
        return true;
    }

    bool measureChunk(const Chunk& c) {
        if (!inTable) {
            for (int i = c.a; i < c.b && !stop; ++i)
                h[static_cast<size_t>(i)] = height(html[static_cast<size_t>(i)], width);
            if (c.a == 0)
                tPrefix = height(prefix, width);
            if (c.b == n)
                sSuffix = height(suffix, width);
            return true;
        }
        // The chunk's rows, then its last item once more, so every item has a row after it.
        auto tops = [&](const QString& pre, int a, int b, const QString& post, std::vector<qreal>* out,
                        qreal* docH) {
            QString s = pre;
            int itemRows = 0;
            for (int i = a; i < b; ++i) {
                s += html[static_cast<size_t>(i)];
                itemRows += rows[static_cast<size_t>(i)];
            }
            s += html[static_cast<size_t>(b - 1)];
            itemRows += rows[static_cast<size_t>(b - 1)];
            s += post;
            auto doc = layDoc(s, width);
            QTextTable* t = lastTable(doc.get());
            if (!t)
                return false;
            int row = t->rows() - itemRows;
            if (row < 0)
                return false;
            out->clear();
            for (int i = a; i <= b; ++i) {
                const int k = i < b ? i : b - 1;
                if (row >= t->rows())
                    return false;
                out->push_back(rowTop(doc.get(), t, row));
                row += rows[static_cast<size_t>(k)];
                if (rows[static_cast<size_t>(k)] <= 0)
                    return false;
            }
            *docH = doc->size().height();
            return true;
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
        pages.clear();
        for (int i = 0; i < count; ++i) {
            PagePlan s;
            s.slice = i;
            pages.push_back(s);
        }
        done = true;
    }

    void addPage(int first, int last, bool withSuffix) {
        PagePlan s;
        s.first = first;
        s.last = last;
        s.prefix = pages.empty();
        s.suffix = withSuffix;
        pages.push_back(s);
        cursor = last;
        if (withSuffix)
            done = true;
    }

    // An item taller than a page, on pages of its own.
    void addSlices(int item) {
        auto doc = layDoc(html[static_cast<size_t>(item)], width, bodyH);
        const int count = std::max(1, doc->pageCount());
        for (int k = 0; k < count; ++k) {
            PagePlan s;
            s.first = item;
            s.last = item + 1;
            s.slice = k;
            pages.push_back(s);
        }
        cursor = item + 1;
    }

    // Closes the next page when the items it needs are measured; false when it must wait.
    bool packOne() {
        // The opening's heights come with the first chunk, written by its worker.
        if (cursor >= measured && cursor < n)
            return false;
        const bool first = pages.empty();
        qreal y = first ? tPrefix : tReopen;
        int e = cursor;
        while (true) {
            if (e == n) {
                if (y + sSuffix <= bodyH || e - cursor <= 1) {
                    addPage(cursor, n, true);
                } else {
                    addPage(cursor, n - 1, false);  // the last item goes with the end
                }
                return true;
            }
            if (e >= measured)
                return false;
            if (y + h[static_cast<size_t>(e)] + eClose > bodyH) {
                if (e > cursor) {
                    addPage(cursor, e, false);
                } else if (inTable) {
                    addPage(cursor, e + 1, e + 1 == n);  // a row taller than a page stands alone
                } else if (first && !prefix.trimmed().isEmpty()) {
                    addPage(cursor, cursor, false);  // the opening alone, the item on its own pages
                } else {
                    addSlices(e);
                    if (cursor == n) {
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
            y += h[static_cast<size_t>(e)];
            ++e;
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
        for (int i = s.first; i < s.last; ++i)
            out += html[static_cast<size_t>(i)];
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
            return layDoc(html[static_cast<size_t>(s.first)], width, bodyH);
        return layDoc(pageHtml(s), width);
    }

    std::shared_ptr<QTextDocument> document(int page) const {
        QThread* const here = QThread::currentThread();
        {
            std::lock_guard<std::mutex> lock(cacheMutex);
            auto it = cache.find(page);
            if (it != cache.end() && it->second.thread == here) {
                auto doc = it->second.doc;
                trim(page);
                return doc;
            }
        }
        auto doc = build(pages[static_cast<size_t>(page)]);
        std::lock_guard<std::mutex> lock(cacheMutex);
        cache[page] = Painted{here, doc};
        trim(page);
        return doc;
    }

    // Keeps the few pages around the one in use.
    void trim(int page) const {
        for (auto it = cache.begin(); it != cache.end();) {
            if (it->first < page - 2 || it->first > page + 8)
                it = cache.erase(it);
            else
                ++it;
        }
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

int Pages::count() const { return static_cast<int>(d->pages.size()); }

int Pages::expected() const {
    const int ready = count();
    if (d->done || d->n == 0)
        return std::max(1, ready);
    const int left = d->n - d->cursor;
    double perPage = 0;
    if (ready > 0 && d->cursor > 0) {
        perPage = double(d->cursor) / ready;
    } else if (d->measured > 0) {
        qreal sum = 0;
        for (int i = 0; i < d->measured; ++i)
            sum += d->h[static_cast<size_t>(i)];
        perPage = sum > 0 ? d->bodyH / (sum / d->measured) : 1;
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
        auto& [lastHtml, laid] = d->repeated[slot];
        if (lastHtml != html || !laid.doc || laid.thread != QThread::currentThread()) {
            lastHtml = html;
            laid = Painted{QThread::currentThread(), layDoc(html, d->width)};
        }
        const auto& doc = laid.doc;
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

void Pages::preparePrinter(QPrinter* printer) const {
    printer->setFullPage(false);
    printer->setPageSize(d->size);
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(d->margins, QPageLayout::Millimeter);
}

}  // namespace report
