#include "sale/genericos.h"

#include "catalogs/productos.h"

namespace venta {

std::optional<ProductoCreado> CreaProducto(db::Database& bd, const QString& nombre,
                                           const QString& descripcion, double precio, int iva,
                                           db::Error* error)
{
    const auto clave = catalogos::SiguienteClaveProducto(bd, error);
    if (!clave)
        return std::nullopt;
    ProductoCreado p;
    p.clave = *clave;
    for (qint64 n = p.clave;; ++n) {
        const QString codigo = QStringLiteral("CB") + QString::number(n);
        const auto usado = bd.scalar(
            QStringLiteral("SELECT count(*) FROM Producto WHERE CodigodeBarras = ?"),
            QVariantList{codigo}, error);
        if (!usado)
            return std::nullopt;
        if (usado->toInt() == 0) {
            p.codigo = codigo;
            break;
        }
    }
    if (!bd.exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, "
                                "Descripcion, PrecioUnit, PrecioCosto, TipoSustituto, IVA, Moneda, "
                                "Unidad, Categoria) VALUES (?, ?, ?, ?, ?, 0, ' ', ?, 1, 'PZA', 1)"),
                 QVariantList{p.clave, p.codigo, nombre + QLatin1Char(' '), descripcion, precio, iva},
                 error))
        return std::nullopt;
    return p;
}

std::optional<std::vector<ProductoCreado>> AgregaGenericos(db::Database& bd,
                                                           const std::vector<Linea>& lineas,
                                                           int iva, db::Error* error)
{
    std::vector<ProductoCreado> creados;
    {
        db::WriteTransaction t(bd);
        if (!t.begin({}, error))
            return std::nullopt;
        for (const Linea& l : lineas) {
            if (l.nombre != QLatin1String("VARIOS"))
                continue;
            auto p = CreaProducto(bd, l.descripcion2, l.observacion, l.precioUnit, iva, error);
            if (!p)
                return std::nullopt;
            creados.push_back(*p);
        }
        if (!t.commit(error))
            return std::nullopt;
    }
    // New products get their stock rows in the branch; a failure here is reported through `error`
    // but the products stay made.
    if (bd.runAction(QStringLiteral("ValidaExistencia"), {}, error))
        bd.runAction(QStringLiteral("AsignaE0"), {}, error);
    return creados;
}

}  // namespace venta
