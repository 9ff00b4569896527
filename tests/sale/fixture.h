#pragma once
// A data folder made by the setup tool (central file and branch 1) with products seeded directly,
// for the sale-screen tests and the search benchmark.

#include "platform/db/database.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <optional>

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
    QVariant existencia = 5.0;  // Null: the branch has no stock row for it
    double lDesc = 0;
};

bool AgregaProducto(db::Database& base, const Producto& p, QString* error = nullptr);
// Empties the products, stock and sale lines.
void VaciaCatalogo(db::Database& base);

// Makes a data folder in `carpeta` with the setup tool; the short name of its branch 1, or nullopt
// with the reason in `error`.
std::optional<QString> CreaCarpetaDatos(const QString& carpeta, QString* error);

// A temporary data folder; db() is the branch file with the central tables linked; open() gives a
// second handle on it (another terminal).
class BaseSucursal {
public:
    BaseSucursal();
    bool ok() const { return db_ != nullptr; }
    QString error() const { return error_; }
    db::Database& db() { return *db_; }
    QString carpeta() const { return dir_.path(); }
    QString path() const { return path_; }
    QString sucursal() const { return corto_; }
    std::unique_ptr<db::Database> open() const;

private:
    QTemporaryDir dir_;
    QString path_, corto_, error_;
    std::unique_ptr<db::Database> db_;
};

}  // namespace saletest
