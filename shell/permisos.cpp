#include "shell/permisos.h"

#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/login.h"

#include <memory>

namespace shell {

namespace {

std::unique_ptr<db::Database>& monitor() {
    static std::unique_ptr<db::Database> bd;
    return bd;
}

void niega(bool mensaje) {
    if (mensaje) ui::defaultPrompts().message(QString::fromUtf8(kSinAcceso), ui::Icon::Critical);
}

}  // namespace

bool TienePermiso(int id, bool mensaje) {
    if (id >= 0 && id <= 255 && G().PermisosUsuario[size_t(id)]) return true;
    niega(mensaje);
    return false;
}

bool TieneDerecho(int posicion, bool mensaje) {
    const QString& d = G().Derechos;
    if (posicion >= 1 && posicion <= d.size() && d.at(posicion - 1) == QLatin1Char('1')) return true;
    niega(mensaje);
    return false;
}

const std::vector<std::pair<int, QString>>& OpcionesPorPermiso() {
    static const std::vector<std::pair<int, QString>> opciones = [] {
        const char* const nombres[] = {
            "Catalogos",   "Productos",     "Clientes",      "Proveedores",  "Categorias", "Sucursales",
            "Formaspago",  "TiposCompra",   "Usuarios",      "TipoProducto", "Procesos",   "Facturar",
            "Cotizaciones", "PEInventario", "NotaCredito",   "CancelarF",    "EFolioF",    "RFactura",
            "mCajonDinero", "mCortesCaja",  "Reportes",      "ventadiaria",  "VentaMensual", "RExistencias",
            "EReorden",    "ExistCosto",    "ESInventario",  "rVEmpleado",   "Parametros", "datosempresa",
            "DSucursal",   "Herramientas",  "Exportardatos", "Importardatos"};
        std::vector<std::pair<int, QString>> v;
        for (int i = 0; i < 34; ++i) v.emplace_back(i + 1, QString::fromLatin1(nombres[i]));
        return v;
    }();
    return opciones;
}

std::vector<std::pair<QString, bool>> EstadoMenu(const std::array<bool, 256>& permisos) {
    std::vector<std::pair<QString, bool>> v;
    for (const auto& [id, nombre] : OpcionesPorPermiso()) v.emplace_back(nombre, permisos[size_t(id)]);
    v.emplace_back(QStringLiteral("mDevoluciones"), permisos[40]);
    v.emplace_back(QStringLiteral("Vcredito"), permisos[51]);
    v.emplace_back(QStringLiteral("nFacturarVentas"), permisos[50]);
    return v;
}

void LimpiaPermisos() { G().PermisosUsuario.fill(false); }

void DeshabilitaMenus() {
    for (const auto& op : OpcionesPorPermiso()) HabilitaMenu(op.second, false);
}

void AplicaPermisosMenu() {
    for (const auto& [nombre, activo] : EstadoMenu(G().PermisosUsuario)) HabilitaMenu(nombre, activo);
}

void HabilitaMenusInicio() {
    HabilitaMenu(QStringLiteral("Catalogos"), true);
    HabilitaMenu(QStringLiteral("Sucursales"), true);
    HabilitaMenu(QStringLiteral("Usuarios"), true);
}

void LeerPermisosUsr(int idUsuario, const QString& permisosIguala) {
    auto& g = G();
    g.SinPermisos = 0;
    auto falla = [&] {
        // Nothing read is trusted: no flag stays on. The protected administrator keeps the way to
        // the set-up menus so the catalogue can be repaired.
        LimpiaPermisos();
        ui::defaultPrompts().message(QStringLiteral("No se encontraron los datos de permisos."), ui::Icon::None);
        g.SinPermisos = idUsuario == 1 ? 3 : 0;
    };
    db::Error e;
    db::Database* bd = BDCodigos(&e);
    if (!bd) return falla();

    QVariantList ids{idUsuario};
    g.ClaveIguala = 0;
    if (!permisosIguala.isEmpty()) {
        auto otros = UsuariosConNombre(*bd, permisosIguala, &e);
        if (!otros) return falla();
        // A name that matches no user adds nothing.
        if (!otros->empty() && !otros->front().isNull(QStringLiteral("ClavePersonal"))) {
            g.ClaveIguala = int(otros->front().integer(QStringLiteral("ClavePersonal")));
            ids << g.ClaveIguala;
        }
    }
    const QString sql = ids.size() == 2
                            ? QStringLiteral("SELECT IdPermiso FROM consUsuarioPermiso WHERE IdUsuario = ? OR IdUsuario = ?")
                            : QStringLiteral("SELECT IdPermiso FROM consUsuarioPermiso WHERE IdUsuario = ?");
    auto filas = bd->select(sql, ids, &e);
    if (!filas) return falla();
    if (filas->empty()) {
        auto hay = bd->scalar(QStringLiteral("SELECT COUNT(*) FROM Permisos"), {}, &e);
        if (!hay) return falla();
        if (hay->toLongLong() == 0) g.SinPermisos = 3;
        return;
    }
    for (const db::Row& f : *filas) {
        if (f.isNull(QStringLiteral("IdPermiso"))) continue;
        const qint64 id = f.integer(QStringLiteral("IdPermiso"));
        if (id >= 0 && id <= 255) g.PermisosUsuario[size_t(id)] = true;
    }
}

QString NombreEquipo40(const QString& nombre) { return nombre.left(40).leftJustified(40, QLatin1Char(' ')); }

bool AbreMonitor() {
    CierraMonitor();
    const QString ruta = RutaDatos();
    db::OpenOptions op;
    op.attachLinks = false;
    op.createViews = false;
    db::Error e;
    auto bd = db::Database::open(ruta, op, &e);
    if (!bd || !bd->tableExists(QStringLiteral("MonitorSistema"))) return false;
    monitor() = std::move(bd);
    return true;
}

void CierraMonitor() { monitor().reset(); }

bool MonitorAbierto() { return monitor() != nullptr; }

bool RegistraMonitor(const QString& proceso, const QString& mensaje) {
    if (!monitor()) return false;
    const auto& g = G();
    return monitor()->exec(
        QStringLiteral("INSERT INTO MonitorSistema (Equipo, Proceso, Usuario, Mensaje, Vivo) VALUES (?, ?, ?, ?, 4)"),
        {NombreEquipo40(g.NombreEquipo), proceso, g.ClaveUsuario, mensaje});
}

}  // namespace shell
