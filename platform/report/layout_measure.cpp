// The items filled in measured on the workers: a chunk of items as rows of a table, a long item
// line by line.
#include "platform/report/layout.h"

namespace report {

using namespace detail;

bool PageLayout::measureLines(int item, const std::shared_ptr<Lines>& sp) {
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

bool PageLayout::measureRest(int item, const std::shared_ptr<Lines>& sp, int from) {
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

bool PageLayout::measureWhole(int item) {
    h[static_cast<size_t>(item)] = height(html[static_cast<size_t>(item)], width);
    return true;
}

bool PageLayout::measureChunk(const Chunk& c) {
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

}  // namespace report
