#include "sale/detalles.h"

#include "shell/estado.h"

namespace venta {

int CargaDetalles(db::Database& codigos, db::Error* error)
{
    const auto filas = codigos.select(
        QStringLiteral("SELECT Tabla, NCampoTabla, Describe FROM ParDescDetalles ORDER BY Orden ASC"),
        QVariantList{}, error);
    if (!filas)
        return -1;
    EstadoGlobal& g = G();
    int leidas = 0;
    for (const db::Row& r : *filas) {
        if (g.NumDefDetalles >= int(g.DefDetalles.size()))
            break;
        auto& def = g.DefDetalles[size_t(g.NumDefDetalles)];
        def[0] = r.text(QStringLiteral("Tabla"));
        def[1] = r.text(QStringLiteral("NCampoTabla"));
        def[2] = r.text(QStringLiteral("Describe"));
        ++g.NumDefDetalles;
        ++leidas;
    }
    return leidas;
}

QString TextoDetalles(const db::Row& linea, bool detallesActivos)
{
    if (!detallesActivos)
        return {};
    const EstadoGlobal& g = G();
    QStringList partes;
    for (int i = 0; i < g.NumDefDetalles && i < int(g.DefDetalles.size()); ++i) {
        const auto& def = g.DefDetalles[size_t(i)];
        partes << def[2].toUpper() + QStringLiteral(": ") + linea.text(def[1]);
    }
    return partes.join(QStringLiteral("\r\n"));
}

}  // namespace venta
