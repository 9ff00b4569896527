#pragma once
// The cash cut printout: one job on the receipt printer with the company and branch, the cut's tickets
// and invoices document by document (the sales-by-cut report), its cash movements and a summary of
// sales, movements and final balance. Built in the shared ticket buffer, sent once at the end; the
// builders leave the text in the buffer so tests read it without a printer. Printing writes nothing.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace caja {

struct CorteImpreso {
    qint64 idCorte = 0;  // 0 = the pending cut
    // The summary's figures: those of the screen for the pending cut, the stored ones for a cut.
    qint64 ventasCentavos = 0;
    qint64 movimientosCentavos = 0;
    qint64 finalCentavos = 0;
    QDateTime impreso;  // the moment printed on every section
};

// The figures of a stored cut: the sum of the sales it took, the balance of its active movements and
// its stored ImporteCorte. nullopt when the cut is not there or a read failed.
std::optional<CorteImpreso> FigurasCorteGuardado(db::Database& bd, qint64 idCorte, db::Error* error = nullptr);

// Each appends its part to the ticket buffer.
void EncabezadoCorte();
// Tickets (T) or invoices (F and E) of the cut, one block per document.
bool ReporteVentasCorte(db::Database& bd, qint64 idCorte, bool tickets, const QDateTime& impreso,
                        db::Error* error = nullptr);
bool ReporteMovimientosCorte(db::Database& bd, qint64 idCorte, const QDateTime& impreso, db::Error* error = nullptr);
void ResumenCorte(const CorteImpreso& corte);

// Empties the buffer and appends the whole printout (header, tickets, invoices, movements, summary).
bool ConstruyeCorte(db::Database& bd, const CorteImpreso& corte, db::Error* error = nullptr);
// Builds the printout and sends it as one job ("Corte" through the spooler); the buffer is emptied
// afterwards, whether it went or not. False when nothing was sent; the person is told once, naming
// the cut (a stored one: how to print it again).
bool ImprimeCorte(db::Database& bd, const CorteImpreso& corte, ui::Prompts& avisos);

}  // namespace caja
