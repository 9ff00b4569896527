// The measured items packed into pages in order, and each page's html and document for the thread
// that paints it.
#include "platform/report/layout.h"

namespace report {

using namespace detail;

void PageLayout::useWhole() {
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

void PageLayout::addPage(Pos from, Pos to, bool withSuffix) {
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

void PageLayout::addSlices(int item) {
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

int PageLayout::linesFitting(const Lines& l, int ready, int k, qreal y) const {
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

bool PageLayout::packOne() {
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

bool PageLayout::takeChunks() {
    while (nextChunk < chunks.size() && chunks[nextChunk].done.load(std::memory_order_acquire)) {
        if (!chunks[nextChunk].ok)
            return false;
        measured = chunks[nextChunk].b;
        ++nextChunk;
    }
    return true;
}

QString PageLayout::pageHtml(const PagePlan& s) const {
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

std::shared_ptr<QTextDocument> PageLayout::build(const PagePlan& s) const {
    if (whole)
        return wholeDoc;
    if (s.slice >= 0)
        return layDoc(itemHtml(s.first), width, bodyH);
    return layDoc(pageHtml(s), width);
}

std::shared_ptr<QTextDocument> PageLayout::document(int page) const {
    auto& kept = paintingHere().pages;
    // Keeps the few pages around the one in use.
    for (auto it = kept.begin(); it != kept.end();)
        it = it->first < page - 2 || it->first > page + 8 ? kept.erase(it) : std::next(it);
    auto& doc = kept[page];
    if (!doc)
        doc = build(pages[static_cast<size_t>(page)]);
    return doc;
}

}  // namespace report
