#include "catalogs/existencias_sucursales.h"

#include "shell/texto.h"

#include <QFileInfo>

namespace catalogos {

QString EntradaExistencia(double existencia, const QString& nombre)
{
    return shell::Formato(existencia, QStringLiteral("####0")) + QStringLiteral("\t ") + nombre;
}

std::unique_ptr<db::Database> AbreSucursalLectura(const QString& ruta, const QString& clave)
{
    if (!QFileInfo(ruta).isFile())
        return nullptr;
    db::OpenOptions op;
    op.password = clave;
    op.attachLinks = false;  // what is read is the branch's own
    op.createViews = false;
    auto bd = db::Database::open(ruta, op);
    if (!bd || !bd->exec(QStringLiteral("PRAGMA query_only = ON")))
        return nullptr;
    return bd;
}

QStringList ExistenciasOtrasSucursales(const SucursalesExistencia& s, qint64 claveProducto)
{
    QStringList lista;
    if (claveProducto <= 0)
        return lista;
    const int ultima = std::min(s.numSucursales, 10);
    for (int n = 1; n <= ultima; ++n) {
        const QString& nombre = s.nombres[size_t(n)];
        if (n == s.actual || nombre.isEmpty())
            continue;
        auto bd = AbreSucursalLectura(s.carpetaDatos + QStringLiteral("/Base de datos/Sucursales/") + nombre
                                          + QStringLiteral("/BDSucursal.db"),
                                      s.clave);
        if (!bd)
            continue;
        auto fila = bd->selectOne(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto=?"),
                                  {claveProducto});
        if (fila && !fila->empty())
            lista << EntradaExistencia(fila->real(QStringLiteral("Existencia")), nombre);
    }
    return lista;
}

}  // namespace catalogos
