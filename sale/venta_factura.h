#pragma once
// Closing a counter sale as invoices (the sell command) and what both closes share: the sale as
// the screen hands it over, the screen's hooks (payment dialog, client catalogue, status bar,
// printing), the split into invoices of RegxFactura lines and the credit notes used as payment.
//
// Every write of one sale (folios, headers, line stamps, stock, credit notes, cash movement, print
// requests, generic products) is one transaction; printing starts after it committed.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "sale/documentos.h"
#include "sale/lineas.h"
#include "sale/pago.h"
#include "sale/totales.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace venta {

// The sale on the screen at the moment it is closed.
struct VentaEnPantalla {
    QString modo;              // ModoVenta; only "F" sells
    QString clienteVenta;      // the client's name; "" = no client chosen
    QString clienteDocumento;  // the client's key (RFC), stored in the header
    std::vector<qint64> ids;                // IdLinea of the screen's lines, in screen order
    std::vector<LineaTotal> totales;        // the same lines as the totals read them
    std::vector<QString> nombres;           // product name (NOMBRE) of each line
    double descuento = 0;                   // general discount, percent
    double totalVenta = 0;                  // the total the screen shows
    QString observacion;                    // the document's observation (invoice ObsVenta)
};

// What a close needs of the screen around it. Every hook may be left empty.
struct AccionesCierre {
    ui::Prompts* prompts = nullptr;  // null: ui::defaultPrompts()
    // Shows the payment dialog modally; true when the payment was accepted (the dialog has written
    // the payment slots of G()). Empty: the sale is accepted with the default payment.
    std::function<bool()> dialogoPago;
    // Opens the client catalogue (the client button).
    std::function<void()> eligeCliente;
    // Status bar panel text.
    std::function<void(int panel, const QString& texto)> estado;
    // The wait for the branch file (Esc ends it).
    db::LockWait espera;
    // The generic-product step (generic lines become catalogue products), run inside the save.
    std::function<bool(db::Database&, db::Error*)> agregaGenericos;
    // Prints invoice `numero` (default: the invoice template) and ticket `numero` (default: the
    // receipt printer with the drawer).
    std::function<bool(qint64 numero)> imprimeFactura;
    std::function<bool(qint64 numero)> imprimeTicket;

    ui::Prompts& avisos() const { return prompts ? *prompts : ui::defaultPrompts(); }
    void muestraEstado(int panel, const QString& texto) const
    {
        if (estado)
            estado(panel, texto);
    }
};

struct ResultadoCierre {
    bool guardado = false;
    std::vector<qint64> numeros;  // the documents stored, in order
    QString letra;                // "T", "F" or "E"
    QString rem;                  // folio label of the last document
    qint64 NumeroDocumento() const { return numeros.empty() ? -1 : numeros.back(); }
};

// Positions [first, last] of the lines of each invoice: windows of `regxFactura` lines (0 = one
// invoice for all). No lines, no invoice.
std::vector<std::pair<int, int>> VentanasFactura(int numLineas, int regxFactura);

// The payment of a sale closed without the dialog: payment 1 of form 1 for the whole total, no
// other payment (an amount left from the sale before never reaches the header or the ticket).
void PagoSinDialogo(double total);
// The payment step of a close: the payment dialog when the branch takes several payments and the
// screen gave one (payment 1 preset to form 1), else PagoSinDialogo(total). True when accepted.
bool CobraVenta(double total, AccionesCierre& acciones);
// Saves a close's documents in one transaction together with the generic-product step (when
// `genericos` and the screen gave one) and the credit notes paid with (the payment slots of G()),
// with the status texts. A failure is told to the person: a credit note's own reason, else
// MensajeSinFolio(ocurrio, ...). On success `r` gets guardado, numeros and letra.
sale::Guardado GuardaCierre(db::Database& bd, sale::PorGuardar& guardar, bool genericos,
                            const QString& ocurrio, AccionesCierre& acciones, ResultadoCierre& r);
// The payment data of a new document: no seller, condition 0, nothing received, slots cleared.
void LimpiaPagoVenta();

// Marks each credit note paid with in slots 0-3 as applied (status 1 -> 2, exactly one row) and
// records its cash movement. Inside the sale's write transaction; false with the reason in `error`
// when a note is not open any more (applied meanwhile, cancelled or missing).
bool AplicaNotasCredito(db::Database& bd, const PagosVenta& pagos, int usuario, db::Error* error);

// The generic-product step inside a sale's save: every "VARIOS" line becomes a catalogue product
// (its model as the name, its description, its price, the screen's tax percent), then the branch's
// stock queries ValidaExistencia and AsignaE0 run. False with the reason in `error`.
bool CreaGenericos(db::Database& bd, const std::vector<Linea>& lineas, int iva, db::Error* error);

// The message of a save that took no number: `ocurrio` is how the calling path spells "Ocurrió";
// a failure other than an abandoned wait adds its reason on a second line.
QString MensajeSinFolio(const QString& ocurrio, const sale::Guardado& hecho);

// The sell command: permission 52, the checks, the payment dialog, invoices of RegxFactura lines
// with consecutive folios, stock, credit notes, then each invoice queued or printed. `tipo` 4 =
// paper invoice, 7 = electronic. Messages go through the prompts.
ResultadoCierre VendeFactura(db::Database& bd, const VentaEnPantalla& venta, int tipo,
                             AccionesCierre& acciones);

}  // namespace venta
