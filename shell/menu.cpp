#include "shell/menu.h"

#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/permisos.h"
#include "shell/rutas.h"

#include <QFileInfo>
#include <QHash>

namespace shell {

namespace {

std::function<bool()>& pulsoCajon() {
    static std::function<bool()> f;
    return f;
}

const char kSinArchivosSucursal[] = "No se encontraron los archivos de datos para la sucursal.";

struct Revision {
    int permiso = -1;       // -1: none
    bool mensaje = false;   // the "no access" message on refusal
    bool archivo = false;   // the branch file must exist first
};

const QHash<QString, Revision>& revisiones() {
    static const QHash<QString, Revision> r = {
        {QStringLiteral("Clientes"), {3, false}},      {QStringLiteral("Proveedores"), {4, true}},
        {QStringLiteral("Categorias"), {5, true}},     {QStringLiteral("Formaspago"), {7, true}},
        {QStringLiteral("TiposCompra"), {8, true}},    {QStringLiteral("Usuarios"), {9, false}},
        {QStringLiteral("TipoProducto"), {10, true}},  {QStringLiteral("PEInventario"), {14, false}},
        {QStringLiteral("ATraspaso"), {14, true}},     {QStringLiteral("mCajonDinero"), {19, true}},
        {QStringLiteral("datosempresa"), {30, false}}, {QStringLiteral("DSucursal"), {31, false, true}},
        {QStringLiteral("CancelarF"), {-1, false, true}},
        {QStringLiteral("Exportardatos"), {33, false}}, {QStringLiteral("Importardatos"), {34, false}},
    };
    return r;
}

}  // namespace

const QStringList& OpcionesMenu() {
    static const QStringList l = {
        "Productos", "Clientes", "Proveedores", "Categorias", "Sucursales", "Formaspago", "TiposCompra",
        "Usuarios", "TipoProducto", "PreciosCredito", "Cuentas", "Salir",
        "Facturar", "Vcredito", "Cotizaciones", "NotaCredito", "PEInventario", "nFacturarVentas", "CancelarF",
        "mDevoluciones", "EFolioF", "RFactura", "openFactE", "ATraspaso", "Ptraspasos", "Estadosdecuenta",
        "mCajonDinero", "mCortesCaja",
        "ventadiaria", "ventadiarias2", "VentaMensual", "rMasVendidos", "vProdImporte", "rVEmpleado",
        "impSeriesVenta", "RExistencias", "ExistenciasUbicacionCat", "ExistCosto", "EReorden", "ESInventario",
        "datosempresa", "DSucursal",
        "Exportardatos", "Importardatos", "CajonDinero", "mPcmovil", "tomipc", "frommi",
        "TSesion", "CClave"};
    return l;
}

QString OpcionDeToolbar(const QString& tooltip) {
    static const QHash<QString, QString> m = {
        {QStringLiteral("Catalogo de proveedores."), QStringLiteral("Proveedores")},
        {QStringLiteral("Catalogo de clientes."), QStringLiteral("Clientes")},
        {QStringLiteral("Catalogo de productos."), QStringLiteral("Productos")},
        {QStringLiteral("Catalogo de empleados."), QStringLiteral("Usuarios")},
        {QStringLiteral("Terminar sesión."), QStringLiteral("TSesion")},
        {QStringLiteral("Salir del sistema."), QStringLiteral("Salir")},
    };
    return m.value(tooltip);
}

bool ExisteBDSucursal() {
    const auto& g = G();
    if (g.SucursalActual < 0 || g.SucursalActual > 10 || g.DescripcionC[g.SucursalActual].isEmpty()) return false;
    return QFileInfo(RutaBDSucursal(g.SucursalActual)).isFile();
}

bool RevisaOpcion(const QString& item) {
    ui::Prompts& p = ui::defaultPrompts();
    const auto& g = G();
    if (item == QLatin1String("Productos")) {
        const bool hay = g.SucursalActual >= 0 && g.SucursalActual <= 10 && !g.DescripcionC[g.SucursalActual].isEmpty();
        if (!hay)
            p.message(QStringLiteral("No se encontró datos de la sucursal, debe de dar de alta por lo menos una sucursal."),
                      ui::Icon::None);
        return hay;
    }
    if (item == QLatin1String("Sucursales")) {
        // The message shows when the permission is missing; a first run passes all the same.
        const bool permiso = TienePermiso(6, true);
        return permiso || g.SinPermisos != 0;
    }
    if (item == QLatin1String("Usuarios") && g.SinPermisos != 0)
        return true;  // first run: the permission catalogue and the grants are set up here
    auto it = revisiones().constFind(item);
    if (it == revisiones().constEnd()) return true;
    if (it->archivo && !ExisteBDSucursal()) {
        p.message(QString::fromUtf8(kSinArchivosSucursal), ui::Icon::Critical);
        return false;
    }
    return it->permiso < 0 || TienePermiso(it->permiso, it->mensaje);
}

bool PuedeEscribir(const QString& item, ui::Prompts& p) {
    const bool inicio = G().SinPermisos != 0 &&
                        (item == QLatin1String("Usuarios") || item == QLatin1String("Sucursales"));
    return inicio || PuedeEscribir(PermisoDeOpcion(item), p);
}

bool PuedeEscribir(int permiso, ui::Prompts& p) {
    if (permiso < 0 || TienePermiso(permiso, false)) return true;
    p.message(QString::fromUtf8(kSinAcceso), ui::Icon::Critical);
    return false;
}

void AsignaPulsoCajon(std::function<bool()> pulso) { pulsoCajon() = std::move(pulso); }
bool HayPulsoCajon() { return bool(pulsoCajon()); }

int CajonDinero() {
    if (!pulsoCajon()) return 0;
    int enviados = 0;
    for (int i = 0; i < G().NTimesCajon; ++i) {
        if (!pulsoCajon()()) break;
        ++enviados;
    }
    return enviados;
}

}  // namespace shell
