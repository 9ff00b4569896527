#pragma once
// Credit sales (sale screen mode "VC"): the checks in their order, the credit plan of every line
// read before anything is taken, then folio (counter 5), the DVentaCredito lines, the VentaCredito
// header and the payment documents of every line in one write transaction, which also removes the
// screen's pending lines. No stock moves.

#include "catalogs/credito.h"
#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace venta {

struct DatosVentaCredito {
    std::vector<qint64> lineas;  // IdLinea of the screen's lines, in order
    double FormaPago = 0;        // payment-form code of the sale; 0 = the list's empty first entry
    QString AvalDocumento;       // guarantor key; "" = none
    QString ClienteVenta;        // "" while no client was chosen
    QString ClienteDocumento;    // client key (RFC) stored with the sale
    QString Descuento;           // the discount the field took (percent, a number's text; "" = 0)
    double Total = 0;            // TotalVenta
    qint64 Empleado = 0;
    int Terminal = 0;
    int IVAP = 0;
    QDate Fecha;                 // invalid: today
};

enum class FallaVC {
    Ninguna,
    SinLineas,
    SinFormaPago,  // the screen then puts the focus on the sell button
    SinAval,       // ... on the code field
    SinCliente,    // ... on the client button
    SinPlan,       // a line's product has no credit plan; nothing written
    NoGuardada,    // folio or database failure; nothing written
};

struct ResultadoVC {
    qint64 NumeroDocumento = -1;
    FallaVC falla = FallaVC::Ninguna;
    std::vector<int> documentos;  // documents generated for each line, in order
};

struct PlanCredito {
    double PrecioCredito = 0;
    double Anticipo = 0;
    double ImportePago = 0;
    int Periododepago = 0;
};

// The plan of a product in CPreciosCredito of the central file; an empty optional in *plan when the
// product has none. False on a database error.
bool LeePlanCredito(db::Database& central, qint64 producto, std::optional<PlanCredito>* plan,
                    db::Error* error = nullptr);

// GuardaVCredito. `central` holds the credit plans. After the commit "Se generaron n documentos."
// is shown for each line, as the plan form does.
ResultadoVC GuardaVCredito(db::Database& bd, db::Database& central, const DatosVentaCredito& datos,
                           ui::Prompts& prompts, const db::LockWait& espera);

}  // namespace venta
