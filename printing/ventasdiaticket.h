#pragma once
// The day's sales as a listing on the receipt printer: one block per document (its lines, their
// discounts and the document's total), cancelled documents marked, and the total of the valid
// ones. Tickets and invoices are listed apart.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QDate>
#include <QDateTime>

namespace printing {

// Composes the listing of the rows (lines of the day's documents as the branch's document-line
// query gives them) into the ticket buffer, after what the buffer holds. Documents are told apart
// by number and letter, so invoice 5 and electronic invoice 5 are two.
void ArmaReporteVentasDia(const db::Rows& filas, bool tickets, const QDate& dia, const QDateTime& impreso);

// Reads the day's tickets (true) or invoices, composes the listing from an empty buffer with the
// ticket printer's codes and sends it by the branch's sending way. No paper cut, no drawer.
bool ReporteVentasDiaTicket(bool tickets, const QDate& dia, ui::Prompts& prompts);
// The day is the report parameter "Fecha". With ParTickets 1 the tickets go first, as a job of
// their own; the invoices follow in every case.
bool rptVentasTicket(ui::Prompts& prompts);

}  // namespace printing
