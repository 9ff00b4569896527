#pragma once
// A report's page types, below everything that lays out, paints, prints or shows them: the page
// a template asks for and the template read and split, with what its parts see.

#include <QMarginsF>
#include <QString>
#include <QVariantMap>

namespace report {

enum class PageKind { Letter, Legal, A4, Roll76 };

struct PageSetup {
    PageKind kind = PageKind::Letter;
    QMarginsF marginsMm{12, 15, 12, 15};  // left, top, right, bottom (QMarginsF order)
};

// The template read and split: page setup, header and footer templates (filled per page), the
// body's template and what it sees.
struct Rendered {
    QString bodyTemplate;
    QString headerTemplate;
    QString footerTemplate;
    PageSetup page;
    QString title;
    QVariantMap context;  // what the body sees
    QVariantMap values;   // what the header and footer see (besides the page numbers)
    // The body filled in whole.
    QString body() const;
};

}  // namespace report
