#pragma once
// One report run: a template file, the rows of a query, named values, a window title and where it
// goes (a preview window, a printer, a PDF file).
//
// Templates are HTML with Mustache tags, laid out by QTextDocument. Besides the body a template may
// hold, anywhere in the file:
//   <!--page size="Letter" margins="15,12,15,12"-->  size Letter, Legal, A4 or Roll76 (a 76 mm roll,
//                                                   one page as long as the content); margins in
//                                                   millimetres: top, right, bottom, left
//   <!--header--> ... <!--/header-->                 repeated at the top of every page
//   <!--footer--> ... <!--/footer-->                 repeated at the bottom of every page
// The body sees: every named value by its name; the rows as `filas` (each row's fields by name);
// `hay_filas`; `titulo`; whatever the caller puts in `data` (groups, totals). The header and footer
// see the named values, `titulo`, `hay_filas` and the single values of `data` (no lists), with
// `pagina` and `paginas`. Amounts (reals) come formatted "###,##0.00" and dates "dd/mm/yyyy";
// {{name}} escapes the text for HTML.

#include "platform/db/database.h"
#include "platform/report/formulas.h"
#include "platform/report/totals.h"

#include <QList>
#include <QMarginsF>
#include <QSet>
#include <QString>
#include <QVariantMap>

class QDialog;
class QPrinter;
class QWidget;

namespace report {

enum class Destination { Preview, Printer, Pdf };

struct Request {
    QString templatePath;  // letter case of the folders and the file does not matter
    QString title;         // window title (and the print job's name)
    Formulas formulas;
    db::Rows rows;
    QVariantMap data;  // more values for the template: groups, totals
    Destination destination = Destination::Preview;
    QString printer;   // printer (CUPS queue) name; "" = the default printer
    QString pdfPath;   // for Destination::Pdf
    int copies = 1;
};

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

// The path as it is on disk, each folder and the file matched without regard to case; "" when
// there is no such file.
QString findFile(const QString& path);

// Every name the template at `path` reads, anywhere in it and inside each of its sections (empty
// when it cannot be read): the fields a report's lines need to carry (see OnlyFields).
FieldsRead fieldsRead(const QString& path);

// Hands the memory the allocator holds free back to the system: a report's reading leaves much of
// it, in pieces, and a closed window all of its own.
void giveBackMemory();

// "No se encontro el archivo: " + path.
QString missingFileMessage(const QString& path);

// Reads the template and checks that it fills in. False with a message when the template is
// missing, cannot be read or does not parse.
bool render(const Request& request, Rendered* out, QString* error = nullptr);

// Lays the filled template out on the printer's pages and paints them. Returns the page count.
int paint(const Rendered& rendered, QPrinter* printer);

class Pages;
// Lays out and paints every page on the printer (the pages in its print range), showing
// "Generando página N..." while the pages are laid out and "Generando página N de M..." while they
// are painted, once it takes more than half a second; Esc stops it. A printer queue gets the job
// only once every page is painted, so a stopped run sends nothing. `*stop` set true (by the window
// that started it) stops it too, as does the parent window going away; with `stop` given the
// progress keeps no window from its input, so that window's close box reaches it while it prints.
// False with a Spanish message on failure; false with an empty message when stopped.
// A run of 24 pages or more is painted by several threads at once, each into a part of the file,
// the parts joined in order.
bool print(Pages& pages, QPrinter* printer, QString* error, QWidget* parent = nullptr,
           const bool* stop = nullptr);
// From how many pages on print() paints in parts; 24 unless changed (tests take every report
// through the parts).
void setPaintInPartsFrom(int pages);

// The queue a report's print dialog opens on: the given one when it is a queue of this machine,
// else the system's default printer ("" when there is none).
QString printerFor(const QString& name);

// Sets the printer's page size and margins for the template (a roll is sized to its content).
void preparePrinter(const Rendered& rendered, QPrinter* printer);

// Runs the report to its destination. A preview window opens without blocking (several may be
// open at once) with its first pages while the rest are laid out, and closes by itself; its print
// dialog opens on `printer` (see printerFor). False with a Spanish message on failure; false with
// an empty message when the person stopped it.
bool run(const Request& request, QString* error = nullptr, QWidget* parent = nullptr);

// Preview windows currently open. Each one opens a little below and to the right of the one
// opened before it, and those still open when the program quits are closed first, their layout
// stopped and waited for.
QList<QDialog*> openPreviews();

}  // namespace report
