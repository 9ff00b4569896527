// The page set up, the body split at its repeated section and the items filled in on the workers.
#include "platform/report/layout.h"

#include <QPageLayout>

#include <cmath>

namespace report {

using namespace detail;

void PageLayout::setUpPage() {
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
            std::max(50.0, std::ceil(content / kDpi * 25.4 + margins.top() + margins.bottom() + 2));
        size = QPageSize(QSizeF(76, total), QPageSize::Millimeter, QStringLiteral("Rollo 76 mm"),
                         QPageSize::ExactMatch);
    }
    const QPageLayout layout(size, QPageLayout::Portrait, margins, QPageLayout::Millimeter);
    const QRect paint = layout.paintRectPixels(kDpi);
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

bool PageLayout::split() {
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
    // The first chunk holds about two pages of lines and is measured alone, so the first page
    // waits for nothing else; the rest are measured once it is done.
    int a = 0;
    while (a < n) {
        const bool first = chunks.empty();
        int b = a + 1;
        if (linesIn(a) < kOwnChunk)
            while (b < n && linesIn(b) < kOwnChunk &&
                   (first ? upTo[static_cast<size_t>(b)] - upTo[static_cast<size_t>(a)] < kFirstLines : b - a < 256))
                ++b;
        chunks.emplace_back();
        chunks.back().a = a;
        chunks.back().b = b;
        a = b;
    }
    pool.start([this] { runChunk(chunks.front()); });
    return true;
}

void PageLayout::runChunk(Chunk& c) {
    if (!stop)
        c.ok = fillChunk(c) && measureChunk(c);
    if (c.ok && !stop)
        letGoOfHtml(c);
    c.done.store(true, std::memory_order_release);
    if (&c == &chunks.front() && !stop)
        for (size_t k = 1; k < chunks.size(); ++k)
            pool.start([this, k] { runChunk(chunks[k]); });
}

bool PageLayout::fillChunk(Chunk& c) {
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

bool PageLayout::fillItems(int a, int b, std::vector<QString>* out, std::vector<std::shared_ptr<Lines>>* lines) const {
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

QString PageLayout::itemHtml(int i) const {
    const QString& kept = html[static_cast<size_t>(i)];
    if (!kept.isEmpty())
        return kept;
    std::vector<QString> one;
    return fillItems(i, i + 1, &one, nullptr) ? one.front() : QString();
}

void PageLayout::appendItems(QString& out, int a, int b) const {
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

void PageLayout::letGoOfHtml(const Chunk& c) {
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

bool PageLayout::fillLong(Chunk& c) {
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

void PageLayout::keep(Chunk& c, int i, QString item, std::shared_ptr<Lines> lines) {
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

}  // namespace report
