#pragma once
// What the sale screen's line prompts accept: every amount a person types is read by the one
// strict reader and then held to its field's limits (a refusal names the field); the rules of the
// discount, quantity and unit-price prompts, the line and generic-product texts, and the dollar
// exchange rate.

#include "platform/db/database.h"
#include "shell/texto.h"

#include <QString>

#include <optional>

namespace venta {

// The strict reader of typed amounts lives with the other text routines.
using shell::LeeNumero;

// The outcome of a prompt's answer: nothing to do, store `valor`/`texto`, or show `mensaje`
// (and store when `escribe` is also set).
struct Ajuste {
    bool escribe = false;
    double valor = 0;
    QString texto;
    QString mensaje;
};

// Line discount percent (F8). `lDesc` is the product's highest discount (0 = none); a percent
// above `maxDescuentoFact` without permission 41 is refused with a message.
Ajuste DescuentoLinea(const QString& respuesta, double lDesc, int maxDescuentoFact, bool permiso41);
// Quantity (F7). In mode "E" the sign says entry or exit and needs permission 48 / 49.
Ajuste CantidadLinea(const QString& respuesta, bool modoE, bool permiso48, bool permiso49);
// Unit price (F10): above 0, or anything in mode "E".
Ajuste PrecioUnitLinea(const QString& respuesta, bool modoE);

// Texts of the line prompts.
Ajuste ObservacionLinea(const QString& respuesta);   // 120 characters, "" becomes " "
Ajuste PrecioVentaES(const QString& respuesta);      // mode "E": the new sale price, read as a number
Ajuste DescripcionGenerico(const QString& respuesta);  // 60 characters
Ajuste ModeloGenerico(const QString& respuesta);       // 44 characters

// The dollar exchange rate typed in the options list: stored in Monedas row 2 (bound value) when it
// is a number above 0 and up to 99.99. Returns the new rate when the update wrote the row; nullopt
// when the answer was refused (then `mensaje` says why; an empty answer says nothing) or the update
// failed (then `error` tells which).
std::optional<double> ActualizaTipoCambio(db::Database& codigos, const QString& respuesta,
                                          db::Error* error = nullptr, QString* mensaje = nullptr);

}  // namespace venta
