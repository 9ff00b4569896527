#pragma once
// The branch stock rule every writer of `Existencia` follows (sales, inventory documents, the
// product catalogue's hand correction).

#include "platform/db/database.h"

#include <QVariant>

namespace shell {

// Changes the stock of one product by `delta`, or sets it to `delta` when `sumar` is false; an empty
// stock counts as 0, a missing Existencia row is created, negative stock is allowed. `nuevo` gets
// the stock written.
bool CambiaExistencia(db::Database& bd, const QVariant& claveProducto, double delta, bool sumar,
                      double* nuevo = nullptr, db::Error* error = nullptr);

}  // namespace shell
