#include "shell/ligas.h"

#include "platform/db/database.h"

#include <QFileInfo>

namespace shell {

const QStringList& TablasLigadas() {
    static const QStringList t = {
        QStringLiteral("Producto"),     QStringLiteral("Proveedores"),      QStringLiteral("Formasdepago"),
        QStringLiteral("Empresa"),      QStringLiteral("Cliente"),          QStringLiteral("Categoria"),
        QStringLiteral("CatalogoDerechos"), QStringLiteral("Personal"),     QStringLiteral("Sucursales"),
        QStringLiteral("TipoProducto"), QStringLiteral("DescribeMov"),      QStringLiteral("Vendedores")};
    return t;
}

std::vector<FallaLiga> LigaTablasCentrales(const QString& rutaSucursal, const QString& rutaCentral,
                                           const QString& clave,
                                           const std::function<void(const QString&)>& avance) {
    std::vector<FallaLiga> fallas;
    db::OpenOptions op;
    op.password = clave;
    op.centralPath = rutaCentral;
    op.createViews = false;
    db::Error e;
    auto bd = db::Database::open(rutaSucursal, op, &e);
    if (!bd) {
        fallas.push_back({QString(), e.message});
        return fallas;
    }
    // Links name the central file by its file name; the layer finds it beside the data folder's
    // branch files, so a moved data folder keeps working.
    const QString fuente = QFileInfo(rutaCentral).fileName();
    for (const QString& t : TablasLigadas()) {
        if (avance) avance(t);
        if (!bd->createLink(t, fuente, &e)) fallas.push_back({t, e.message});
    }
    return fallas;
}

}  // namespace shell
