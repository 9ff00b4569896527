#include "catalogs/existencias_sucursales.h"

#include "platform/db/database.h"
#include "shell/texto.h"

#include <QFileInfo>

namespace catalogos {

QString EntradaExistencia(double existencia, const QString& nombre)
{
    return shell::Formato(existencia, QStringLiteral("####0")) + QStringLiteral("\t ") + nombre;
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
        const QString ruta = s.carpetaDatos + QStringLiteral("/Base de datos/Sucursales/") + nombre
                             + QStringLiteral("/BDSucursal.db");
        if (!QFileInfo(ruta).isFile())
            continue;
        db::OpenOptions op;
        op.password = s.clave;
        op.attachLinks = false;  // the stock table is the branch's own
        op.createViews = false;
        auto bd = db::Database::open(ruta, op);
        if (!bd || !bd->exec(QStringLiteral("PRAGMA query_only = ON")))
            continue;
        auto fila = bd->selectOne(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto=?"),
                                  {claveProducto});
        if (fila && !fila->empty())
            lista << EntradaExistencia(fila->real(QStringLiteral("Existencia")), nombre);
    }
    return lista;
}

}  // namespace catalogos
