#include "printing/reporte.h"

#include "shell/conexion.h"
#include "shell/estado.h"

#include <QDir>
#include <QFileInfo>

namespace printing {
namespace {

report::Request& ultima() {
    static report::Request r;
    return r;
}

}  // namespace

report::Formulas& FormulasReporte() {
    static report::Formulas f;
    return f;
}

void LimpiaFormulas() {
    FormulasReporte().clear();
}

void BorraFormulas() {
    FormulasReporte().clear();
}

bool ExisteArchivo(const QString& ruta, ui::Prompts& prompts) {
    if (!report::findFile(ruta).isEmpty())
        return true;
    prompts.message(report::missingFileMessage(ruta), ui::Icon::None);
    return false;
}

QString RutaPlantilla(const QString& archivo) {
    const QString ruta = QDir(shell::RutaReportes()).filePath(archivo);
    const QString enDisco = report::findFile(ruta);
    return enDisco.isEmpty() ? ruta : enDisco;
}

void EstableceImpresoraReporte(report::Request& solicitud, const QString& dispositivo) {
    if (!dispositivo.isEmpty())
        solicitud.printer = dispositivo;
}

const report::Request& UltimaSolicitud() {
    return ultima();
}

ResultadoReporte CorreReporte(const SolicitudReporte& s, ui::Prompts& prompts, QWidget* parent) {
    // The last run's rows go now, not after this run has read its own beside them.
    ultima() = report::Request();
    const QString plantilla = RutaPlantilla(s.archivo);
    if (!ExisteArchivo(plantilla, prompts))
        return ResultadoReporte::SinPlantilla;

    if (s.permiso >= 0) {
        const bool tiene = s.permiso < static_cast<int>(G().PermisosUsuario.size()) &&
                           G().PermisosUsuario[static_cast<size_t>(s.permiso)];
        if (!tiene) {
            if (s.avisoPermiso)
                prompts.message(QStringLiteral("Usted no tiene acceso a esta parte del sistema."),
                                ui::Icon::Critical);
            return ResultadoReporte::SinPermiso;
        }
    }
    if (s.revisaSucursal && !QFileInfo(report::findFile(shell::RutaBDSucursal(G().SucursalActual)))
                                 .isFile()) {
        prompts.message(QStringLiteral("No se encontraron los archivos de datos para la sucursal."),
                        ui::Icon::Critical);
        return ResultadoReporte::SinSucursal;
    }
    if (s.parametros && !s.parametros())
        return ResultadoReporte::Cancelado;

    LimpiaFormulas();

    db::Rows filas;
    if (s.filas) {
        filas = *s.filas;
    } else if (!s.sql.isEmpty()) {
        db::Error err;
        db::Database* bd = shell::BDSucursal(&err);
        if (!bd) {
            prompts.message(QStringLiteral("No se pudo abrir la base de datos de la sucursal: ") +
                                err.message,
                            ui::Icon::Critical);
            return ResultadoReporte::ErrorDatos;
        }
        auto rows = bd->select(s.sql, s.valores, &err);
        if (!rows) {
            prompts.message(QStringLiteral("No se pudieron leer los datos del reporte: ") + err.message,
                            ui::Icon::Critical);
            return ResultadoReporte::ErrorDatos;
        }
        filas = std::move(*rows);
    }
    if (filas.empty() && !s.avisoSinDatos.isEmpty()) {
        prompts.message(s.avisoSinDatos, ui::Icon::None);
        return ResultadoReporte::SinDatos;
    }

    report::Formulas& f = FormulasReporte();
    if (s.formulasEmpresa) {
        f.set(0, QStringLiteral("NombreEmpresa"), G().NombreEmp);
        const int suc = G().SucursalActual;
        const QString carpeta =
            suc >= 0 && suc < static_cast<int>(G().DescripcionC.size()) ? G().DescripcionC[suc] : QString();
        f.set(1, QStringLiteral("Sucursal"), QStringLiteral("Sucursal: ") + carpeta);
    }
    if (s.formulas)
        s.formulas(filas, f);

    // A fresh request each time: nothing of the report before carries over.
    report::Request r;
    r.templatePath = plantilla;
    r.title = s.titulo;
    r.formulas = f;
    r.data.insert(QStringLiteral("NombreEmp"), G().NombreEmp);
    r.data.insert(QStringLiteral("RazonSocial"), G().RazonSocial);
    r.data.insert(QStringLiteral("RFCEmpresa"), G().RFCEmpresa);
    r.data.insert(QStringLiteral("DireccionEmp"), G().DireccionEmp);
    if (s.datos)
        s.datos(filas, r.data);
    r.rows = std::move(filas);
    r.destination = s.destino;
    EstableceImpresoraReporte(r, s.impresora);
    // The window's print dialog opens on the branch's report printer.
    if (r.destination == report::Destination::Preview && r.printer.isEmpty())
        r.printer = G().Printer2;
    r.pdfPath = s.archivoPdf;
    ultima() = r;

    QString error;
    if (s.salida ? !s.salida(r, &error) : !report::run(r, &error, parent)) {
        if (error.isEmpty())
            return ResultadoReporte::Cancelado;  // the person stopped it
        prompts.message(error, ui::Icon::Critical);
        return ResultadoReporte::ErrorReporte;
    }
    return ResultadoReporte::Hecho;
}

}  // namespace printing
