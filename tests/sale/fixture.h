#pragma once
// A branch file with the product, stock and sale-line tables and the product look-up queries, for
// the sale-screen tests and the search benchmark.

#include "platform/db/database.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

namespace saletest {

struct Producto {
    qint64 clave;
    QString codigo;
    QString nombre;
    QString descripcion;
    QVariant precio = 10.0;
    int iva = 16;
    QVariant moneda = 1;
    QVariant descuento = 0.0;
    QVariant precio1 = {}, precio2 = {}, precio3 = {};
    QVariant existencia = 5.0;
    double lDesc = 0;
};

// Creates the tables and queries in an open file.
bool CreaEsquema(db::Database& base, QString* error = nullptr);
bool AgregaProducto(db::Database& base, const Producto& p, QString* error = nullptr);

// A temporary branch file; open() gives a second handle on the same file (another terminal).
class BaseSucursal {
public:
    BaseSucursal();
    bool ok() const { return db_ != nullptr; }
    db::Database& db() { return *db_; }
    QString path() const { return path_; }
    std::unique_ptr<db::Database> open() const;

private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<db::Database> db_;
};

}  // namespace saletest
