#include "platform/report/pages.h"

#include "platform/report/layout.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace report {

using namespace detail;

static_assert(Pages::kDpi == detail::kDpi);

Pages::Pages(const Rendered& rendered) : d(std::make_unique<PageLayout>(rendered)) {
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

qint64 Pages::layoutWork() { return laidOut.load(); }

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
    const PageLayout::PagePlan& s = d->pages[static_cast<size_t>(page)];
    const int total = expected();
    painter->save();
    painter->scale(dpi / Pages::kDpi, dpi / Pages::kDpi);
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
    PageLayout::Painting gone;
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
