#pragma once
// A filled template laid out into pages once; the preview, the printer and the PDF paint these
// same pages.
//
// The body's longest repeated section (the report's lines) is filled and measured in pieces on
// worker threads while the pages are packed in order, so the first pages are ready long before a
// report of many thousands of lines is whole. Lines that are rows of a table opened before the
// section continue on the next page under the table's opening (its heading rows) again. The header
// and footer are filled per page from the named values and the page numbers only.
//
// An item (a group, a document) that does not fit in what is left of a page moves whole to the
// next one when it has fewer than 12 lines, or when it fits on a page and would leave at most a
// quarter of the page empty; otherwise, when its lines are rows of a table it opens, it is broken
// between two lines, with its heading and two lines before the break and its last two lines and
// closing total after it, and its table opened again on the next page.
//
// The workers only fill and measure; each page is laid out for painting on the thread that paints
// it, so a page stays paintable for the whole life of these pages whatever became of the threads
// that measured it, and several threads may paint pages at once. Destroying the pages stops the
// workers and waits for them.

#include <QImage>
#include <QMarginsF>
#include <QPageSize>
#include <QSizeF>

#include <memory>

class QPainter;
class QPrinter;

namespace report {

struct Rendered;
namespace detail {
struct PageLayout;
}

class Pages {
public:
    // The dots per inch of the layout; painting on another resolution scales it.
    static constexpr int kDpi = 1200;

    explicit Pages(const Rendered& rendered);
    ~Pages();
    Pages(const Pages&) = delete;
    Pages& operator=(const Pages&) = delete;

    // Packs more pages for about `ms` milliseconds (0: until every page is laid out); true once
    // every page is laid out.
    bool layOut(int ms = 0);
    bool finished() const;
    int count() const;     // pages laid out so far
    int expected() const;  // the whole count once finished, an estimate before

    QPageSize pageSize() const;  // a roll is as long as its content
    QMarginsF marginsMm() const;
    // The page's size at `dpi`, margins included.
    QSize pixelSize(qreal dpi) const;

    // Paints the page (0-based) with the painter's origin at the printable area's corner, at `dpi`
    // dots per inch. The page count in the footer is the expected one until layout finishes.
    void paint(int page, QPainter* painter, qreal dpi) const;
    // The whole page on white at `dpi`, margins included.
    QImage image(int page, qreal dpi) const;
    // Once layout is finished: whether threads other than the one that made these pages may paint
    // them (several at once); false when the body was laid out in one piece.
    bool paintsOnAnyThread() const;
    // Forgets what the calling thread laid out to paint: a thread that painted pages calls it
    // before it ends.
    void releaseThread() const;

    // The text laid out so far by every report, in characters: the layout's work, which tests and
    // benchmarks check grows with the rows alone.
    static qint64 layoutWork();
    // Reports of up to `lines` lines (items and the lists inside them) are laid out whole by the
    // text layout; 1,500 unless changed (tests and benchmarks compare both ways).
    static void setWholeUpTo(int lines);

    // Sets the printer's page size and margins to these pages'.
    void preparePrinter(QPrinter* printer) const;

private:
    std::unique_ptr<detail::PageLayout> d;
};

}  // namespace report
