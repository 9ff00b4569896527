#pragma once
// Credit notes (sale screen mode "N"): the checks and questions, then folio (counter 3), the note's
// lines, its header and, when asked, the goods back into stock, all in one write transaction that
// also removes the screen's pending lines; and
// the note shown through the invoice template.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "sale/impresion_factura.h"

#include <QDate>
#include <QString>

#include <vector>

class QWidget;

namespace venta {

struct DatosNotaCredito {
    QString ClienteVenta;         // "" while no client was chosen
    QString ClienteDocumento;     // client key (RFC) stored with the note
    std::vector<qint64> lineas;   // IdLinea of the screen's lines, in order
    QString Descuento;            // the discount the field took (percent, a number's text)
    double Total = 0;             // TotalVenta
    qint64 Empleado = 0;
    int Terminal = 0;
    int IVAP = 0;
    QDate Fecha;                  // invalid: today
    int Solicitud = 0;            // print-server request queued with the note (9 with FacturaE); 0 none
};

enum class FallaNota {
    Ninguna,
    SinCliente,          // the screen then opens the client catalogue
    SinLineas,
    Cancelada,           // Cancel on the stock question
    ReferenciaNoValida,
    NoGuardada,          // folio or database failure; nothing written
};

struct ResultadoNota {
    qint64 NumeroDocumento = -1;
    FallaNota falla = FallaNota::Ninguna;
    bool alInventario = false;
    QString Observaciones;
    qint64 FactRef = 0;
};

// GuardaNotaCredito. Every refusal, cancel or failure leaves NumeroDocumento -1 and nothing
// written; the person has been told why.
ResultadoNota GuardaNotaCredito(db::Database& bd, const DatosNotaCredito& datos,
                                ui::Prompts& prompts, const db::LockWait& espera);

// ImprimeNCredito: note `numero` on the invoice template (Factura). True when the report ran.
bool ImprimeNCredito(qint64 numero, const DestinoImpresion& destino = {},
                     ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);

}  // namespace venta
