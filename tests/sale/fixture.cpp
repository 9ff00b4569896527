#include "fixture.h"

namespace saletest {

bool CreaEsquema(db::Database& base, QString* error)
{
    db::Error e;
    const bool ok =
        base.execScript(QStringLiteral(
            "CREATE TABLE Producto (ClaveProducto INTEGER PRIMARY KEY, CodigodeBarras TEXT NOT NULL "
            "UNIQUE, Nombre TEXT DEFAULT '', Descripcion TEXT DEFAULT '', Descripcion2 TEXT DEFAULT "
            "'', Ubicacion TEXT DEFAULT '', IVA INTEGER NOT NULL DEFAULT 16, PrecioUnit REAL, "
            "Precio1 REAL, Precio2 REAL, Precio3 REAL, Descuento REAL DEFAULT 0, LDesc REAL DEFAULT "
            "0, Moneda INTEGER DEFAULT 1, TipoSustituto TEXT, Unidad TEXT);"
            "CREATE TABLE Existencia (ClaveProducto INTEGER PRIMARY KEY, Existencia REAL);"
            "CREATE TABLE DetalleVenta (IdLinea INTEGER PRIMARY KEY, Numero INTEGER NOT NULL DEFAULT "
            "0, TipoDocto TEXT, ClaveProducto INTEGER, Cantidad REAL, PrecioUnit REAL, Descuento "
            "REAL DEFAULT 0, Iva INTEGER DEFAULT 0, Moneda INTEGER, Terminal TEXT, Observacion TEXT, "
            "Descripcion2 TEXT, Estatus INTEGER, Devolucion INTEGER)"),
                        &e)
        && base.createQuery(QStringLiteral("ProductoCB"), QStringLiteral("select"),
                            QStringLiteral("SELECT Moneda, Descuento, IVA AS Iva, ClaveProducto, "
                                           "CodigodeBarras, Nombre, Descripcion, PrecioUnit FROM "
                                           "Producto ORDER BY CodigodeBarras"),
                            &e)
        && base.createQuery(QStringLiteral("ProductoSE"), QStringLiteral("select"),
                            QStringLiteral("SELECT Moneda, Descuento, IVA AS Iva, ClaveProducto, "
                                           "CodigodeBarras, Nombre, Descripcion, PrecioUnit, "
                                           "replace(Nombre, ' ', '') AS PSEF FROM Producto"),
                            &e)
        && base.createQuery(QStringLiteral("ProductoCE"), QStringLiteral("select"),
                            QStringLiteral("SELECT Producto.*, Existencia.Existencia FROM Producto "
                                           "LEFT JOIN Existencia ON Existencia.ClaveProducto = "
                                           "Producto.ClaveProducto"),
                            &e);
    if (!ok && error)
        *error = e.message;
    return ok;
}

bool AgregaProducto(db::Database& base, const Producto& p, QString* error)
{
    db::Error e;
    const bool ok =
        base.exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, "
                                 "Descripcion, PrecioUnit, IVA, Moneda, Descuento, Precio1, Precio2, "
                                 "Precio3, LDesc) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
                  {p.clave, p.codigo, p.nombre, p.descripcion, p.precio, p.iva, p.moneda,
                   p.descuento, p.precio1, p.precio2, p.precio3, p.lDesc},
                  &e)
        && base.exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (?,?)"),
                     {p.clave, p.existencia}, &e);
    if (!ok && error)
        *error = e.message;
    return ok;
}

BaseSucursal::BaseSucursal()
{
    path_ = dir_.filePath(QStringLiteral("BDSucursal.db"));
    db::Error e;
    db_ = db::Database::create(path_, {}, &e);
    if (db_ && !CreaEsquema(*db_))
        db_.reset();
    // Reopen so the saved queries get their views.
    if (db_) {
        db_.reset();
        db_ = open();
    }
}

std::unique_ptr<db::Database> BaseSucursal::open() const
{
    return db::Database::open(path_, QString());
}

}  // namespace saletest
