#pragma once
// Sending a ticket to the receipt printer. Three paths, chosen by the branch parameters the way
// TerminaPrint does: a raw spooler job (MetodoImpresion not 0), a write to the printer's port
// (a code set other than 0), or the printer object (plain text on a 76 x 279 mm page).
// Receipt printers are raw devices: a port that is a device URI is reached through the spooler,
// and the printer object renders a page only on a queue with a driver (a raw queue gets the text
// as bytes). The other way too: a queue that takes pages (a driver queue, also when reached by its
// device URI) gets a text to read drawn as the printer-object path draws it, whatever the method
// and code set; only control codes alone (a drawer pulse) go to it as raw bytes. A ticket printer
// named by a port instead of a queue always takes the port path.
// Every path reports failure to the person and to the caller; nothing is retried.

#include "platform/print/salida.h"
#include "platform/ui/prompts.h"

#include <QString>

#include <functional>
#include <optional>

// Starts a ticket job on the buffer: looks up the ticket printer (Printer3) and makes it current,
// keeps its port in PuertoTicket, loads the code set and appends its initialise code. Does not
// clear the buffer.
void IniciaPrint();
// True when no ticket printer is named, the named one is installed and takes jobs now, or the
// name is a port; otherwise says so. Asked before a printout is laid out and again when it goes.
bool ImpresoraTicketDisponible(ui::Prompts& avisos);
// A listing (many lines for the roll) needs a receipt printer the branch set: a named ticket
// printer, or the port of a code set. Without one it would end on whatever printer is current
// (the report printer, a roll-sized job of hundreds of pages): says so and false.
bool HayImpresoraListados(ui::Prompts& avisos);
// Sends the buffer; it keeps its text.
bool TerminaPrint(ui::Prompts& avisos);
// Sends any text by the path TerminaPrint would choose; `documento` names the spooler job.
// `crudo`: the text is control codes only (a drawer pulse) and is never drawn on a page; where
// TerminaPrint would take the printer object it goes as a raw job.
bool EnviaPorRutaTicket(const QString& texto, ui::Prompts& avisos,
                        const QString& documento = QStringLiteral("Ticket"), bool crudo = false);

// Port path when `alPuerto` is true, printer-object path otherwise. A missing port means "LPT1:";
// an empty one is set to "LPT1:" in the caller's variable. One trailing ':' is dropped before the
// port is mapped to its device file (a device URI goes as a raw job on its queue). Without
// `alPuerto` the page is set to 76 x 279 mm, or the text goes raw when the queue has no driver.
bool ImprimeEnPuerto(const QString& texto, QString* puerto, std::optional<bool> alPuerto,
                     ui::Prompts& avisos);
// Spooler path: one raw job named `documento` on the current printer.
bool ImprimeDirecto(const QString& documento, const QString& texto, ui::Prompts& avisos);

// The reason the last failed send gave, as its message said it ("" before any failure).
QString UltimoFalloImpresion();
// Runs a print holding back the warnings of its sending paths (other messages pass), so that a
// failure is said once: `aviso` gets the reason as a clause (no control codes, no final period)
// and gives the message shown ("" shows none); with `unoBasta`, a print that failed with no reason
// of a sending path after telling the person itself (a ticket that does not exist) gets no second
// message. After a success the held warnings are shown as they came.
bool ImprimeConUnAviso(ui::Prompts& avisos, const std::function<bool(ui::Prompts&)>& imprime,
                       const std::function<QString(const QString& motivo)>& aviso, bool unoBasta = true);

// The message of a failed print (platform/print): what it names and how it reads.
using print::DocumentoImpreso;
using print::MensajeNoImpreso;
using print::MotivoBreve;
// ImprimeConUnAviso saying MensajeNoImpreso on failure; a document just stored (`grabado`) is
// always told, also after a message of the print's own.
bool ImprimeAvisando(ui::Prompts& avisos, const DocumentoImpreso& d, const std::function<bool(ui::Prompts&)>& imprime);

// The printer object: by default a QPrinter on the current printer. A test (or a preview) may put
// another output in its place; nullptr restores the QPrinter. The function receives the text
// as it would be drawn and the font size in points.
using SalidaImpresor = std::function<print::Resultado(const QString& texto, int puntos)>;
void EstableceSalidaImpresor(SalidaImpresor salida);
