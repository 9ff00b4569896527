#pragma once
// Generic lines ("VARIOS": the cashier typed their description and model) become catalogue
// products after a sale.

#include "platform/db/database.h"
#include "sale/lineas.h"

#include <QString>

#include <vector>

namespace venta {

struct ProductoCreado {
    qint64 clave = 0;
    QString codigo;
};

// One product: key = highest + 1 and barcode "CB" & key, or the next free "CB" code when that one is
// in use, both taken inside the caller's write transaction. Name gets one trailing blank.
std::optional<ProductoCreado> CreaProducto(db::Database& bd, const QString& nombre,
                                           const QString& descripcion, double precio, int iva,
                                           db::Error* error = nullptr);

// Every "VARIOS" line becomes a product (one write transaction for all of them); then the branch's
// stock queries ValidaExistencia and AsignaE0 run. Returns the products made; nullopt when nothing
// was written (a database error).
std::optional<std::vector<ProductoCreado>> AgregaGenericos(db::Database& bd,
                                                           const std::vector<Linea>& lineas,
                                                           int iva, db::Error* error = nullptr);

}  // namespace venta
