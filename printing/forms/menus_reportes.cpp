#include "printing/forms/menus_reportes.h"

#include "platform/report/totals.h"
#include "printing/forms/frmSolicParametros.h"
#include "printing/reporte_parametros.h"
#include "printing/reportes_existencias.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

#include <QDate>

namespace printing {
namespace {

const char kDescImprimira[] = "Indica hacia donde se mostrara la informacion del reporte.";

// The two stock reports that may go to the receipt printer instead of the window.
ResultadoReporte ExistenciasConEleccion(ReporteExistencias tipo, const QString& archivo, ui::Prompts& prompts,
                                        QWidget* parent) {
    bool listado = false;
    SolicitudReporte s;
    s.archivo = archivo;
    s.titulo = QStringLiteral("Existencias de productos.");
    s.permiso = 24;
    s.sql = SeleccionExistencias(tipo);
    s.datos = [tipo](const db::Rows& filas, QVariantMap& d) {
        d.insert(tipo == ReporteExistencias::UbicacionCategoria ? DatosExistenciasUbicacion(filas)
                                                                 : DatosExistencias(filas));
    };
    s.parametros = [&] {
        LimpiaParametrosReporte();
        AgregaParametroReporte(QStringLiteral("Imprimira"), QStringLiteral("1"), QString::fromUtf8(kDescImprimira),
                               QStringLiteral("Combo"));
        if (!SolicitaParametros({QStringLiteral("Pantalla"), QStringLiteral("Impresora Ticket")}, parent))
            return false;
        // The listing leaves the protocol here: it needs the rows, not the window.
        listado = ObtenerParametroReporte(QStringLiteral("Imprimira")) == QLatin1String("Impresora Ticket");
        return !listado;
    };
    const ResultadoReporte r = CorreReporte(s, prompts, parent);
    if (!listado) return r;
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    const auto filas = bd ? bd->select(s.sql, {}, &e) : std::nullopt;
    if (!filas) {
        prompts.message(QStringLiteral("No se pudieron leer las existencias: ") + e.message, ui::Icon::Critical);
        return ResultadoReporte::ErrorDatos;
    }
    return ImprimeExistenciasTicket(*filas, prompts) ? ResultadoReporte::Hecho : ResultadoReporte::ErrorReporte;
}

// "FechaIni" and "FechaFin", both today, through the prompt.
bool PidePeriodo(QWidget* parent) {
    LimpiaParametrosReporte();
    const QString hoy = TextoFecha(QDate::currentDate());
    AgregaParametroReporte(QStringLiteral("FechaIni"), hoy, QStringLiteral("Fecha Inicial del Rango."),
                           QStringLiteral("Fecha"));
    AgregaParametroReporte(QStringLiteral("FechaFin"), hoy, QStringLiteral("Fecha Final del Rango."),
                           QStringLiteral("Fecha"));
    return SolicitaParametros({}, parent);
}

}  // namespace

ResultadoReporte RExistencias(ui::Prompts& prompts, QWidget* parent) {
    return ExistenciasConEleccion(ReporteExistencias::Existencias, QStringLiteral("existencias.html"), prompts, parent);
}

ResultadoReporte ExistenciasUbicacionCat(ui::Prompts& prompts, QWidget* parent) {
    return ExistenciasConEleccion(ReporteExistencias::UbicacionCategoria,
                                  QStringLiteral("existenciasubicacioncategoria.html"), prompts, parent);
}

ResultadoReporte ExistCosto(ui::Prompts& prompts, QWidget* parent) {
    SolicitudReporte s;
    s.archivo = QStringLiteral("existencias al costo.html");
    s.titulo = QStringLiteral("Valor al costo.");
    s.permiso = 26;
    s.sql = SeleccionExistencias(ReporteExistencias::Costo);
    s.datos = [](const db::Rows& filas, QVariantMap& d) {
        d.insert(DatosExistencias(filas));
        d.insert(QStringLiteral("TotalCosto"), report::formatAmount(TotalCosto(filas)));
    };
    return CorreReporte(s, prompts, parent);
}

ResultadoReporte EReorden(ui::Prompts& prompts, QWidget* parent) {
    SolicitudReporte s;
    s.archivo = QStringLiteral("existPedidos.html");
    s.titulo = QStringLiteral("Productos con existencias Bajas.");
    s.sql = SeleccionExistencias(ReporteExistencias::Reorden);
    s.datos = [](const db::Rows& filas, QVariantMap& d) { d.insert(DatosExistencias(filas)); };
    return CorreReporte(s, prompts, parent);
}

ResultadoReporte ESInventario(ui::Prompts& prompts, QWidget* parent) {
    // Both windows read the same rows; the second template is looked for before anything runs.
    const QString individual = QStringLiteral("esinventarioind.html");
    if (!report::findFile(RutaPlantilla(QStringLiteral("esinventario02.html"))).isEmpty() &&
        !ExisteArchivo(RutaPlantilla(individual), prompts))
        return ResultadoReporte::SinPlantilla;
    SolicitudReporte s;
    s.archivo = QStringLiteral("esinventario02.html");
    s.titulo = QStringLiteral("Entradas y Salidas de Inventario.");
    s.parametros = [parent, &s] {
        if (!PidePeriodo(parent)) return false;
        const QDate ini = FechaDeTexto(ObtenerParametroReporte(QStringLiteral("FechaIni")));
        const QDate fin = FechaDeTexto(ObtenerParametroReporte(QStringLiteral("FechaFin")));
        // The selection is known only once the prompt answered.
        QString sql;
        s.valores = SeleccionESInventario(ini, fin, &sql).params;
        s.sql = sql;
        return true;
    };
    auto datos = [](const db::Rows& filas, QVariantMap& d) {
        d.insert(DatosESInventario(filas));
        d.insert(QStringLiteral("FechaIni"), ObtenerParametroReporte(QStringLiteral("FechaIni")));
        d.insert(QStringLiteral("FechaFin"), ObtenerParametroReporte(QStringLiteral("FechaFin")));
    };
    s.datos = datos;
    const ResultadoReporte r = CorreReporte(s, prompts, parent);
    if (r != ResultadoReporte::Hecho) return r;
    SolicitudReporte s2;
    s2.archivo = individual;
    s2.titulo = QStringLiteral("Entradas y Salidas de Inventario. INDIVIDUAL.");
    s2.revisaSucursal = false;
    s2.filas = UltimaSolicitud().rows;
    s2.datos = datos;
    return CorreReporte(s2, prompts, parent);
}

void ConectaMenusReportes(shell::MIDI* midi) {
    shell::AsignaAbridor(QStringLiteral("RExistencias"), [midi] { RExistencias(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("ExistenciasUbicacionCat"),
                         [midi] { ExistenciasUbicacionCat(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("ExistCosto"), [midi] { ExistCosto(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("EReorden"), [midi] { EReorden(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("ESInventario"), [midi] { ESInventario(ui::defaultPrompts(), midi); });
}

}  // namespace printing
