#pragma once
// Credit price plans, one per product, in `PreciosCredito` of the central file: the list the form
// shows (read through CPreciosCredito, which adds the product's description), a plan added by the
// product's barcode, and the four amounts typed into the grid, each checked before it is written.
// The payment documents a plan gives are in credito.h.

#include "platform/db/database.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace catalogos {

// The plans, ordered by product; only that product's plan when `producto` is given.
std::optional<db::Rows> ConsultaPrecios(db::Database& codigos, std::optional<qint64> producto,
                                        db::Error* error = nullptr);

enum class AltaPlan { Agregado, SinCodigo, YaExiste, Fallo };
struct ResultadoAlta {
    AltaPlan resultado = AltaPlan::Fallo;
    qint64 producto = 0;  // the plan's product (the new one or the one that existed)
    QString mensaje;      // for the person; "" when added
};
// cmdInsertar: the product whose barcode is exactly `codigo` (ProductoCB) gets a plan with the
// default amounts; a product that has one keeps it.
ResultadoAlta InsertaPlan(db::Database& codigos, const QString& codigo);

// The grid columns a person may type into.
const QStringList& CamposEditablesPlan();

struct CambioPlan {
    bool ok = false;
    // The values typed are good but the plan they make lacks something (see GrabaPlan): nothing
    // was written, and what was typed may stand while the rest is typed.
    bool incompleto = false;
    QString campo;        // the field refused, or the one missing
    QVariant valor;       // CambiaPlan: what was stored (amounts to the cent, the period a whole number)
    QVariantMap valores;  // GrabaPlan: the plan's four fields as stored
    QString mensaje;      // why not
};
// The typed cells (field -> text) of product `producto`'s plan, over what is stored, written
// together in one transaction. Amounts: digits and one "." only (no sign, no thousands separator),
// kept to the cent; the period: a whole number. A plan whose credit price exceeds its down payment
// needs an instalment amount above 0, or its documents could not be scheduled: until then it is
// incomplete.
CambioPlan GrabaPlan(db::Database& codigos, qint64 producto, const QMap<QString, QString>& tecleado);
// One typed cell alone (GrabaPlan of that cell).
CambioPlan CambiaPlan(db::Database& codigos, qint64 producto, const QString& campo, const QString& texto);

}  // namespace catalogos
