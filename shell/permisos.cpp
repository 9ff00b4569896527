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

const std::vector<std::pair<QString, int>>& OtrasOpcionesConPermiso() {
    static const std::vector<std::pair<QString, int>> opciones = [] {
        const std::pair<const char*, int> tabla[] = {
            {"mDevoluciones", 40}, {"Vcredito", 51}, {"nFacturarVentas", 50},
            // Credit prices are prices of the product catalogue.
            {"PreciosCredito", 2}, {"Cuentas", kPermisoCuentas},
            {"ATraspaso", 14}, {"Ptraspasos", 14},
            // The statement lists the customer's credit sales.
            {"Estadosdecuenta", 51}, {"openFactE", 18},
            // Report entries beside the one the catalogue names: the grant their click checks.
            {"ventadiarias2", 22}, {"impSeriesVenta", 22}, {"rMasVendidos", 23}, {"vProdImporte", 23},
            {"ExistenciasUbicacionCat", 24},
            {"CajonDinero", kPermisoCajon},
            // Copies of the data to and from another computer go with the export and the import.
            {"mPcmovil", 33}, {"tomipc", 33}, {"frommi", 34}};
        std::vector<std::pair<QString, int>> v;
        for (const auto& [nombre, id] : tabla) v.emplace_back(QString::fromLatin1(nombre), id);
        return v;
    }();
    return opciones;
}

int PermisoDeOpcion(const QString& item) {
    for (const auto& [id, nombre] : OpcionesPorPermiso())
        if (nombre == item) return id;
    for (const auto& [nombre, id] : OtrasOpcionesConPermiso())
        if (nombre == item) return id;
    return -1;
}

std::vector<std::pair<QString, bool>> EstadoMenu(const std::array<bool, 256>& permisos) {
    std::vector<std::pair<QString, bool>> v;
    for (const auto& [id, nombre] : OpcionesPorPermiso()) v.emplace_back(nombre, permisos[size_t(id)]);
    for (const auto& [nombre, id] : OtrasOpcionesConPermiso()) v.emplace_back(nombre, permisos[size_t(id)]);
    return v;
}

bool AseguraPermisosFijos(db::Database& bd) {
    struct Fijo {
        int id;
        const char* nombre;
        const char* descripcion;
        const char* padre;
    };
    static const Fijo fijos[] = {
        {kPermisoCuentas, "Cuentas", "Cuentas de dinero de la sucursal", "Catalogos"},
        {kPermisoCajon, "CajonDinero", "Abrir el cajón de dinero", "Herramientas"},
    };
    db::Error e;
    // An empty catalogue is a first run: it is set up by hand and stays empty until then.
    auto hay = bd.selectOne(QStringLiteral("SELECT COUNT(*) AS Todos, SUM(IdPermiso IN (?, ?)) AS Fijos "
                                           "FROM Permisos"),
                            {kPermisoCuentas, kPermisoCajon}, &e);
    if (!hay) return false;
    if (hay->integer(QStringLiteral("Todos")) == 0 || hay->integer(QStringLiteral("Fijos")) == 2) return true;
    db::WriteTransaction t(bd);
    if (!t.begin({}, &e)) return false;
    for (const Fijo& f : fijos) {
        auto existe = bd.scalar(QStringLiteral("SELECT COUNT(*) FROM Permisos WHERE IdPermiso = ?"), {f.id}, &e);
        if (!existe) return false;
        if (existe->toInt() > 0) continue;
        // A row of that name someone made by hand keeps it; the fixed row is then named by its id.
        auto mismoNombre = bd.scalar(QStringLiteral("SELECT COUNT(*) FROM Permisos WHERE NombrePermiso = ?"),
                                     {QString::fromLatin1(f.nombre)}, &e);
        if (!mismoNombre) return false;
        const QString nombre =
            mismoNombre->toInt() > 0 ? QStringLiteral("Permiso%1").arg(f.id) : QString::fromLatin1(f.nombre);
        if (!bd.exec(QStringLiteral("INSERT INTO Permisos (IdPermiso, NombrePermiso, DescripcionPermiso, "
                                    "PermisoPadre) VALUES (?, ?, ?, ?)"),
                     {f.id, nombre, QString::fromUtf8(f.descripcion), QString::fromLatin1(f.padre)}, &e) ||
            !bd.exec(QStringLiteral("INSERT OR IGNORE INTO UsuarioPermiso (IdUsuario, IdPermiso) "
                                    "SELECT IdUsuario, ? FROM UsuarioPermiso WHERE IdPermiso = 9"),
                     {f.id}, &e))
            return false;
    }
    return t.commit(&e);
}

void LimpiaPermisos() { G().PermisosUsuario.fill(false); }

void DeshabilitaMenus() {
    for (const auto& [nombre, activo] : EstadoMenu({})) HabilitaMenu(nombre, activo);
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
    // A catalogue made before the later fixed rows: without them nobody could be given those items.
    // A failure here leaves the items off, the login goes on.
    AseguraPermisosFijos(*bd);

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
