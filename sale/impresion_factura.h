#pragma once
// The paper invoice and the quotation, printed through the report templates Factura and
// Cotizacion of the data folder. Both read their lines through the branch file's saved queries
// (CDetalleVentaFac, CDetalleVentaCot) and hand the template the lines with their totals.

#include "platform/db/database.h"
#include "platform/report/formulas.h"
#include "platform/report/report.h"
#include "platform/ui/prompts.h"
#include "printing/importes.h"

#include <QString>
#include <QVariantMap>

#include <optional>

class QWidget;

namespace venta {

// The customer has a taxpayer id of its own (12 characters or more, not the counter-sale key
// "XAXX010101000"): the document shows the tax apart.
bool DesglosaIVA(const QString& claveCliente);

// Where the document goes. The invoice's printer is the branch's report printer (Printer1) unless
// one is named here.
struct DestinoImpresion {
    report::Destination destino = report::Destination::Preview;
    QString impresora;
    QString archivoPdf;
};

// Lines and totals of a document for its template, from the rows of its query: `lineas` (Cantidad,
// Codigo, Descripcion, PrecioUnit, Importe; before tax when the tax is shown apart), Subtotal,
// ImporteDescuento, HayDescuento, MuestraSubtotal, IVA, TasaIVA, Total, ImporteLetra. `descuento` is
// the general discount in percent; the tax rate is the document's IVAP, else `tasaPredeterminada`.
// Total is `totalGuardado` (the document's Venta.Total, what was charged) when given, else the sum
// of the line amounts less the discount; every printed figure comes from the printouts' shared
// money (printing::ImportesDe), so the lines add up to Subtotal and Subtotal - ImporteDescuento +
// IVA is Total to the cent.
QVariantMap DatosDocumento(const db::Rows& filas, double descuento, bool desglosaIVA,
                           int tasaPredeterminada, std::optional<double> totalGuardado);
// The same with the branch's tax rate and the total rebuilt from the lines.
QVariantMap DatosDocumento(const db::Rows& filas, double descuento, bool desglosaIVA);

// The printed totals of a document, in cents: subtotal - descuento + iva = total. `total` rounded
// to the cent is split given the line amounts before the general discount, tax included: `gravado`
// of the lines that bear tax, `exento` of those that do not; `descuento` the general discount in
// percent. With `tasa` >= 0 the tax is shown apart (base = taxed part of the total / (1 + tasa/100),
// rounded; the tax is what is left); with `tasa` < 0 no tax is shown.
using printing::DesgloseTotal;
using printing::DesglosaTotal;

// The invoice's named values 0-7 (number with the prefix, date, customer, address, city, RFC,
// DesglosaIVA, Ajuste) from its rows, and its lines and totals for the template.
void FormulasFactura(qint64 numero, const db::Rows& filas, report::Formulas& f);
void DatosFactura(const db::Rows& filas, QVariantMap& datos);

// Prints invoice `numero` (the number shown, with the branch's prefix) of document
// `numeroDocumento`. "No se encontro datos de la factura." when it has no lines. True when the
// report ran. With FacturaaTicket on, the invoice goes to the receipt printer (ImprimeTicket2).
// `letra` is the invoice's letter: F paper, E electronic.
bool ImprimeTicket(qint64 numero, qint64 numeroDocumento, const DestinoImpresion& destino = {},
                   ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr,
                   const QString& letra = QStringLiteral("F"));
// The invoice just stored (number `numero`, letter `letra`) printed by ImprimeTicket; a failure is
// said once: "La factura F3 quedó grabada, pero no se imprimió: <why>. Reimprímala con Reimprimir
// factura (F3)." (the way to print it again for paper invoices, which that item reprints).
bool ImprimeFacturaGrabada(qint64 numero, const QString& letra, const DestinoImpresion& destino,
                           ui::Prompts& prompts, QWidget* parent = nullptr);

// Shows quotation `numeroDocumento` with the screen's general discount as typed (percent).
bool ImprimeCotizacion(qint64 numeroDocumento, const QString& descuento,
                       const DestinoImpresion& destino = {},
                       ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);

}  // namespace venta
