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
// The template sees: every named value by its name; the rows as `filas` (each row's fields by
// name); `hay_filas`; `titulo`; whatever the caller puts in `data` (groups, totals); and in the
// header and footer also `pagina` and `paginas`. Amounts (reals) come formatted "###,##0.00" and
// dates "dd/mm/yyyy"; {{name}} escapes the text for HTML.

#include "platform/db/database.h"
#include "platform/report/formulas.h"

#include <QList>
#include <QMarginsF>
#include <QString>
#include <QVariantMap>

class QPrinter;
class QPrintPreviewDialog;
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

// The template filled in: body, header and footer HTML (header and footer still carry the page
// number tags, filled per page).
struct Rendered {
    QString body;
    QString headerTemplate;
    QString footerTemplate;
    PageSetup page;
    QString title;
    QVariantMap context;  // the values the header and footer see
};

// The path as it is on disk, each folder and the file matched without regard to case; "" when
// there is no such file.
QString findFile(const QString& path);

// "No se encontro el archivo: " + path.
QString missingFileMessage(const QString& path);

// Reads the template and fills it in. False with a message when the template is missing or
// cannot be read.
bool render(const Request& request, Rendered* out, QString* error = nullptr);

// Lays the filled template out on the printer's pages and paints them. Returns the page count.
int paint(const Rendered& rendered, QPrinter* printer);

// Sets the printer's page size and margins for the template (a roll is sized to its content).
void preparePrinter(const Rendered& rendered, QPrinter* printer);

// Runs the report to its destination. A preview window opens without blocking (several may be
// open at once) and closes by itself. False with a Spanish message on failure.
bool run(const Request& request, QString* error = nullptr, QWidget* parent = nullptr);

// Preview windows currently open.
QList<QPrintPreviewDialog*> openPreviews();

}  // namespace report
