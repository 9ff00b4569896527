#pragma once
// Laid-out pages to a printer or a PDF file: the pages a template's layout made, painted on the
// printer's pages (in parts, by several threads, for a long report) and sent to its queue whole.

class QPrinter;
class QWidget;
class QString;

namespace report {

class Pages;
struct Rendered;

// Lays the filled template out on the printer's pages and paints them. Returns the page count.
int paint(const Rendered& rendered, QPrinter* printer);

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

// Sets the printer's page size and margins for the template (a roll is sized to its content).
void preparePrinter(const Rendered& rendered, QPrinter* printer);

}  // namespace report
