#include "shell/conexion.h"

#include "shell/estado.h"
#include "shell/rutas.h"

#include <memory>

namespace shell {

namespace {

struct Abierta {
    std::unique_ptr<db::Database> bd;
    QString ruta;
};

Abierta& codigos() {
    static Abierta a;
    return a;
}
Abierta& sucursal() {
    static Abierta a;
    return a;
}

db::Database* abre(Abierta& a, const QString& ruta, const db::OpenOptions& op, db::Error* error) {
    if (a.bd && a.ruta == ruta && a.bd->isOpen()) return a.bd.get();
    a.bd.reset();
    a.ruta.clear();
    if (ruta.isEmpty()) {
        if (error) *error = {db::ErrorKind::NotFound, 0, QStringLiteral("No hay carpeta de datos.")};
        return nullptr;
    }
    db::Error e;
    auto bd = db::Database::open(ruta, op, &e);
    if (!bd) {
        if (error) *error = e;
        return nullptr;
    }
    a.bd = std::move(bd);
    a.ruta = ruta;
    if (error) *error = {};
    return a.bd.get();
}

}  // namespace

QString ClaveArchivos() { return QStringLiteral("pastizal"); }

QString RutaBDCodigos() {
    return BuscaRuta(UnirRuta(G().CarpetaDatos, QStringLiteral("Base de datos/BDcodigos.db")));
}

QString RutaDatos() {
    return BuscaRuta(UnirRuta(G().CarpetaDatos, QStringLiteral("Base de datos/Datos.db")));
}

QString RutaBDSucursal(int sucursal) {
    const QString corto = sucursal >= 0 && sucursal <= 10 ? G().DescripcionC[sucursal] : QString();
    return BuscaRuta(UnirRuta(G().CarpetaDatos,
                              QStringLiteral("Base de datos/Sucursales/%1/BDSucursal.db").arg(corto)));
}

QString RutaReportes() { return BuscaRuta(UnirRuta(G().CarpetaDatos, QStringLiteral("Reports"))); }

db::Database* BDCodigos(db::Error* error) {
    db::OpenOptions op;
    op.password = ClaveArchivos();
    op.attachLinks = false;
    return abre(codigos(), RutaBDCodigos(), op, error);
}

db::Database* BDSucursal(db::Error* error) {
    db::OpenOptions op;
    op.password = ClaveArchivos();
    op.centralPath = RutaBDCodigos();
    return abre(sucursal(), RutaBDSucursal(G().SucursalActual), op, error);
}

std::function<std::unique_ptr<db::Database>(db::Error*)> LectorBDSucursal() {
    db::OpenOptions op;
    op.password = ClaveArchivos();
    op.centralPath = RutaBDCodigos();
    op.readOnly = true;
    const QString ruta = RutaBDSucursal(G().SucursalActual);
    return [ruta, op](db::Error* error) -> std::unique_ptr<db::Database> {
        if (ruta.isEmpty()) {
            if (error) *error = {db::ErrorKind::NotFound, 0, QStringLiteral("No hay carpeta de datos.")};
            return nullptr;
        }
        return db::Database::open(ruta, op, error);
    };
}

void CierraConexiones() {
    sucursal().bd.reset();
    sucursal().ruta.clear();
    codigos().bd.reset();
    codigos().ruta.clear();
}

}  // namespace shell
