#pragma once
// The detail text of a sale line: the columns listed in ParDescDetalles, each as its label in
// capitals, ": " and the line's value, one per line.

#include "platform/db/database.h"

#include <QString>

namespace venta {

// Reads ParDescDetalles (by Orden) into the shared DefDetalles / NumDefDetalles, at most 51 rows.
// Returns the rows read; -1 on a database error.
int CargaDetalles(db::Database& codigos, db::Error* error = nullptr);

// The detail text of a line (a CdetalleVenta row); "" when details are off. A column the line does
// not have shows only its label.
QString TextoDetalles(const db::Row& linea, bool detallesActivos);

}  // namespace venta
