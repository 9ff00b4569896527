#pragma once
// The screen's pending lines once a document kept in its own tables (credit note, inventory entry or
// exit, credit sale) has copied them: they are removed in the save's own transaction, so no failure
// after the commit can leave them pending for the screen to bring back and save or sell again.

#include "platform/db/database.h"

#include <vector>

namespace venta {

// Deletes the DetalleVenta rows of `lineas` (IdLinea). Inside the caller's open write transaction.
bool QuitaLineasGuardadas(db::Database& bd, const std::vector<qint64>& lineas,
                          db::Error* error = nullptr);

}  // namespace venta
