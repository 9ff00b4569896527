#pragma once
// The day invoice for the general public: tickets of one day are chosen (Venta.FE 1, written at
// once, so every terminal sees the same choice) and then gathered into one invoice (FE 2) that
// takes the next paper or electronic invoice number. The send is one write transaction: folio,
// header, the copied lines, the marks and the print request; a ticket gathered, removed or
// cancelled elsewhere meanwhile rolls it all back. The invoice never moves stock (its tickets did)
// and is stored with IdCorte -1 so that no cash cut counts it beside its tickets.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "sale/impresion_factura.h"

#include <QDate>
#include <QString>

#include <vector>

namespace caja {

// The counter-sale taxpayer id every day invoice is made out to.
QString RFCPublicoGeneral();

// CargaTicketsLibres / CargaTicketsSeleccionados: the active tickets of the calendar day, free
// (FE 0 or Null) or chosen (FE 1), newest first; each row has IdNumero, Fecha, Tipo, Total, Numero.
std::optional<db::Rows> CargaTicketsLibres(db::Database& bd, const QDate& dia, db::Error* error = nullptr);
std::optional<db::Rows> CargaTicketsSeleccionados(db::Database& bd, const QDate& dia, db::Error* error = nullptr);

// "Corresponde a tickets del dia YYYY-MM-DD", the invoice's observation.
QString ObservacionDia(const QDate& dia);
// The tickets' totals summed in cents.
qint64 TotalCentavos(const db::Rows& tickets);

// One ticket moved between the lists, only from the state it is expected in: free -> chosen,
// chosen -> free (always 0). False when the ticket was not in that state (nothing written).
bool SeleccionaTicket(db::Database& bd, qint64 numero, db::Error* error = nullptr);
bool QuitaTicket(db::Database& bd, qint64 numero, db::Error* error = nullptr);

struct FacturaDiaEnviada {
    bool ok = false;
    bool sinFolio = false;   // the number could not be taken (busy, Esc or the counter)
    bool cambiaron = false;  // a listed ticket is no longer chosen and active: nothing written
    qint64 Numero = -1;
    QString Letra;
    db::Error error;
};

// Whether ticket `numero` is gathered into a day invoice that is still active (not cancelled).
// Such a ticket is changed by nothing but that invoice's own cancellation: cancel, delete and
// return all refuse it with MensajeEnFacturaDia().
std::optional<bool> TicketEnFacturaDiaActiva(db::Database& bd, qint64 numero, db::Error* error = nullptr);
QString MensajeEnFacturaDia();
// Gives the tickets held by day invoice `numero` of letter `letra` back to the free list (FE 0),
// except a ticket another active day invoice still holds; with `olvida` its links go too (the
// invoice is being deleted). Runs inside the caller's write transaction, before the header goes.
bool LiberaTicketsFacturaDia(db::Database& bd, qint64 numero, const QString& letra, bool olvida,
                             db::Error* error = nullptr);

// GeneraFacturaDia: the invoice of exactly the chosen tickets `numeros` of day `dia`. Its header
// carries the tickets' general discounts as one percentage, so that the printed lines less the
// discount give the total.
FacturaDiaEnviada GeneraFacturaDia(db::Database& bd, const QDate& dia, const std::vector<qint64>& numeros,
                                   const db::LockWait& espera);

// cmdEnviarfactura: nothing without chosen tickets; the send; then the messages and the print (the
// print server's queue, or the invoice template as the sell command prints). True when stored.
bool cmdEnviarfactura(db::Database& bd, const QDate& dia, const std::vector<qint64>& numeros, ui::Prompts& prompts,
                      const db::LockWait& espera, const venta::DestinoImpresion& destino = {});

}  // namespace caja
