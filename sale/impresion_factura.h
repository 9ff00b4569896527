#pragma once
// The paper invoice and the quotation, printed through the report templates Factura and
// Cotizacion of the data folder. Both read their lines through the branch file's saved queries
// (CDetalleVentaFac, CDetalleVentaCot) and hand the template the lines with their totals.

#include "platform/db/database.h"
#include "platform/report/report.h"
#include "platform/ui/prompts.h"

#include <QString>
#include <QVariantMap>

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
// ImporteDescuento, HayDescuento, MuestraSubtotal, IVA, TasaIVA, Total, ImporteLetra. `descuento` is the general discount in
// percent; the tax rate is the document's IVAP, else the branch's.
QVariantMap DatosDocumento(const db::Rows& filas, double descuento, bool desglosaIVA);

// Prints invoice `numero` (the number shown, with the branch's prefix) of document
// `numeroDocumento`. "No se encontro datos de la factura." when it has no lines. True when the
// report ran.
bool ImprimeTicket(qint64 numero, qint64 numeroDocumento, const DestinoImpresion& destino = {},
                   ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);

// Shows quotation `numeroDocumento` with the screen's general discount as typed (percent).
bool ImprimeCotizacion(qint64 numeroDocumento, const QString& descuento,
                       const DestinoImpresion& destino = {},
                       ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);

}  // namespace venta
