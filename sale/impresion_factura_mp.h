#pragma once
// The invoice on the receipt printer (the branch's "9. Imprimir Factura a MiniPrinter"): the same
// invoice values laid out by the template FacturaMP on a 76 mm roll, sent to the ticket printer,
// then the drawer pulse. A raw queue or a port gets the page as an ESC/POS raster image with the
// branch's cut and the pulse in the same job; a queue with a driver gets the page, then the pulse
// as a raw job.

#include "sale/impresion_factura.h"

namespace venta {

// Prints invoice `numero` (the number shown) of document `numeroDocumento` through
// Reports/FacturaMP.html on the ticket printer (Printer3, or the printer `destino` names; a PDF
// destination writes the file instead). "No se encontro datos de la factura." when the invoice
// has no lines. True when the report ran.
bool ImprimeTicket2(qint64 numero, qint64 numeroDocumento, const DestinoImpresion& destino = {},
                    ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr,
                    const QString& letra = QStringLiteral("F"));

}  // namespace venta
