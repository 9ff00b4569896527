#pragma once
// The money every printout shows of a sold document, in whole cents: what each line printed is
// worth before and after the document's general discount, the discount, the tax when it is shown
// apart, and the total. The total is always the one stored with the document (what the customer
// paid); the line amounts are that money spread over the lines, so the lines a printout shows
// always add up to the figures under them. Rounding is spread, never recomputed per line: each
// line takes its exact amount cut to the cent, and the cents left over go, one each, to the lines
// that lost most in the cut (the later line on a tie).

#include "platform/db/database.h"

#include <QtGlobal>

#include <optional>
#include <vector>

namespace printing {

// Spreads `total` cents over lines in proportion to `pesos` (their exact amounts, in cents): when
// the weights already add up to the total (to the cent) each line keeps its own amount and only
// the rounding moves; otherwise every weight is scaled to the total first. The result adds up to
// `total` exactly. Weights that add up to nothing give the whole total to the last line.
std::vector<qint64> Reparte(qint64 total, const std::vector<double>& pesos);

// One sold line as stored.
struct LineaVendida {
    double cantidad = 0;
    double precioUnit = 0;   // tax included
    double descuento = 0;    // the line's own discount, percent
    bool iva = false;        // the line bears tax
};
// The lines of `filas` (Cantidad, PrecioUnit, Descuento and, when present, Iva).
std::vector<LineaVendida> LineasVendidas(const db::Rows& filas);

// The printed money of one document.
struct ImportesDocumento {
    // Per line, in the order given.
    std::vector<qint64> bruto;   // quantity x price, as a line shows it before its own discount
    std::vector<qint64> neto;    // after the line's own discount (before tax when the tax is shown
                                 // apart); they add up to `subtotal`
    std::vector<qint64> pagado;  // the line's share of what was paid, tax included; they add up to
                                 // `total`
    qint64 subtotal = 0;   // the lines' amount before the general discount
    qint64 descuento = 0;  // the general discount: subtotal - descuento + iva = total
    qint64 iva = 0;        // 0 unless the tax is shown apart
    qint64 total = 0;      // what was paid
};

// `descuentoGeneral` is the document's general discount in percent; `totalGuardado` its stored
// total (Venta.Total), else the lines less the discount. With `tasa` >= 0 the tax is shown apart:
// `neto` and `subtotal` are before tax and `iva` holds the tax of what was paid.
ImportesDocumento ImportesDe(const std::vector<LineaVendida>& lineas, double descuentoGeneral,
                             std::optional<double> totalGuardado, int tasa = -1);

// A document's money from its line rows as the sales queries give them: LineasVendidas' columns,
// the general discount in DescFact and the stored total in `columnaTotal` (the same on every row).
ImportesDocumento ImportesDeFilas(const db::Rows& lineas, const QString& columnaTotal);
// The row after the last one of the document that starts at `desde`: the rows of one document are
// consecutive and share Numero and TipoDocto.
size_t FinDocumento(const db::Rows& filas, size_t desde);

// The totals alone, in cents (subtotal - descuento + iva = total), for a document whose lines add
// up to `gravado` (those bearing tax) and `exento` (tax included, after their own discounts).
struct DesgloseTotal {
    qint64 subtotal = 0;
    qint64 descuento = 0;
    qint64 iva = 0;
    qint64 total = 0;
    qint64 subtotalGravado = 0;  // with the tax shown apart: the part of `subtotal` of the taxed lines
};
DesgloseTotal DesglosaTotal(double total, double gravado, double exento, double descuento, int tasa);

}  // namespace printing
