#include "fixture.h"

#include "apps/setup/datasetup.h"

namespace saletest {

bool AgregaProducto(db::Database& base, const Producto& p, QString* error)
{
    db::Error e;
    bool ok = base.exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, "
                                       "Descripcion, PrecioUnit, IVA, Moneda, Descuento, Precio1, "
                                       "Precio2, Precio3, LDesc) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
                        QVariantList{p.clave, p.codigo, p.nombre, p.descripcion,
                                     p.precio.isNull() ? QVariant(0.0) : p.precio, p.iva, p.moneda,
                                     p.descuento, p.precio1, p.precio2, p.precio3, p.lDesc},
                        &e);
    if (ok && !p.existencia.isNull())
        ok = base.exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) "
                                      "VALUES (?,?)"),
                       QVariantList{p.clave, p.existencia}, &e);
    if (!ok && error)
        *error = e.message;
    return ok;
}

void VaciaCatalogo(db::Database& base)
{
    base.exec(QStringLiteral("DELETE FROM DetalleVenta"));
    base.exec(QStringLiteral("DELETE FROM Existencia"));
    base.exec(QStringLiteral("DELETE FROM Producto"));
}

std::optional<QString> CreaCarpetaDatos(const QString& carpeta, QString* error)
{
    datasetup::Options o;
    o.dataFolder = carpeta;
    if (!datasetup::createDataFolder(o, error))
        return std::nullopt;
    auto central = db::Database::open(datasetup::rutaBDCodigos(carpeta), datasetup::claveArchivos());
    if (!central) {
        if (error)
            *error = QStringLiteral("no abre el archivo central");
        return std::nullopt;
    }
    return central->scalar(QStringLiteral("SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))
        .value_or(QVariant())
        .toString();
}

BaseSucursal::BaseSucursal()
{
    const auto corto = CreaCarpetaDatos(dir_.path(), &error_);
    if (!corto)
        return;
    corto_ = *corto;
    path_ = datasetup::rutaSucursal(dir_.path(), corto_);
    db_ = open();
    if (!db_)
        error_ = QStringLiteral("no abre la sucursal ") + path_;
}

std::unique_ptr<db::Database> BaseSucursal::open() const
{
    return db::Database::open(path_, datasetup::claveArchivos());
}

}  // namespace saletest
