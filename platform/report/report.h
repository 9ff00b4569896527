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
//
// This run is the top of the report layer, which goes one way, each part on those below it: the
// page types (rendered.h); the layout into pages (pages.h); the print of those pages (print.h);
// the report window that shows and prints them (preview.h); and this run, which reads the
// template and opens the windows or prints.

#include "platform/db/database.h"
#include "platform/report/formulas.h"
#include "platform/report/memory.h"
#include "platform/report/print.h"
#include "platform/report/rendered.h"
#include "platform/report/totals.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QVariantMap>

class QDialog;
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

// The path as it is on disk, each folder and the file matched without regard to case; "" when
// there is no such file.
QString findFile(const QString& path);

// Every name the template at `path` reads, anywhere in it and inside each of its sections (empty
// when it cannot be read): the fields a report's lines need to carry (see OnlyFields).
FieldsRead fieldsRead(const QString& path);

// "No se encontro el archivo: " + path.
QString missingFileMessage(const QString& path);

// Reads the template and checks that it fills in. False with a message when the template is
// missing, cannot be read or does not parse.
bool render(const Request& request, Rendered* out, QString* error = nullptr);

// The queue a report's print dialog opens on: the given one when it is a queue of this machine,
// else the system's default printer ("" when there is none).
QString printerFor(const QString& name);

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
