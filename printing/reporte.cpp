#include "printing/reporte.h"

#include "platform/report/progress.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>

namespace printing {
namespace {

report::Request& ultima() {
    static report::Request r;
    return r;
}

quint64& corridas() {
    static quint64 n = 0;
    return n;
}

// The run whose request ultima() holds.
quint64& ultimaCorrida() {
    static quint64 n = 0;
    return n;
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

bool LecturaEnCurso::empieza(db::Database* bd, const std::atomic<bool>& parar) {
    std::lock_guard<std::mutex> lock(m_);
    if (parar)
        return false;
    bd_ = bd;
    return true;
}

void LecturaEnCurso::termina() {
    std::lock_guard<std::mutex> lock(m_);
    bd_ = nullptr;
}

void LecturaEnCurso::interrumpe() {
    std::lock_guard<std::mutex> lock(m_);
    if (bd_)
        bd_->interrupt();
}

const report::Request& UltimaSolicitud() {
    return ultima();
}

ResultadoReporte CorreReporte(const SolicitudReporte& s, ui::Prompts& prompts, QWidget* parent) {
    // The last run's rows go now, not after this run has read its own beside them.
    ultima() = report::Request();
    ultimaCorrida() = 0;
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

    // The values every template may show; the report's own go on top of them.
    QVariantMap datos;
    datos.insert(QStringLiteral("NombreEmp"), G().NombreEmp);
    datos.insert(QStringLiteral("RazonSocial"), G().RazonSocial);
    datos.insert(QStringLiteral("RFCEmpresa"), G().RFCEmpresa);
    datos.insert(QStringLiteral("DireccionEmp"), G().DireccionEmp);

    // The query and the report's lines are made off this thread, on a handle of their own, while
    // the windows already open keep painting; Esc stops the wait.
    db::Rows filas;
    QString fallo;
    bool sinDatos = false;
    const auto lector = !s.filas && (s.lectura || !s.sql.isEmpty()) ? shell::LectorBDSucursal() : nullptr;
    LecturaEnCurso lectura;
    const bool completo = report::runAside(
        QStringLiteral("Leyendo los datos del reporte..."),
        [&](const std::atomic<bool>& parar) {
            if (s.filas) {
                filas = *s.filas;
            } else if (lector) {
                db::Error err;
                const auto bd = lector(&err);
                if (!bd) {
                    fallo = QStringLiteral("No se pudo abrir la base de datos de la sucursal: ") + shell::TextoErrorBD(err);
                    return;
                }
                if (!lectura.empieza(bd.get(), parar))
                    return;
                auto rows = s.lectura ? s.lectura(*bd, &err) : bd->select(s.sql, s.valores, &err);
                lectura.termina();
                if (parar)
                    return;
                if (!rows) {
                    fallo = QStringLiteral("No se pudieron leer los datos del reporte: ") + shell::TextoErrorBD(err);
                    return;
                }
                filas = std::move(*rows);
            }
            if (parar)
                return;
            sinDatos = filas.empty() && !s.avisoSinDatos.isEmpty();
            if (!sinDatos && s.datos)
                s.datos(filas, datos);
        },
        parent, [&] { lectura.interrumpe(); });
    if (!completo)
        return ResultadoReporte::Cancelado;
    if (!fallo.isEmpty()) {
        prompts.message(fallo, ui::Icon::Critical);
        return ResultadoReporte::ErrorDatos;
    }
    if (sinDatos) {
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
    r.data = std::move(datos);
    r.rows = std::move(filas);
    r.destination = s.destino;
    EstableceImpresoraReporte(r, s.impresora);
    // The window's print dialog opens on the branch's report printer.
    if (r.destination == report::Destination::Preview && r.printer.isEmpty())
        r.printer = G().Printer2;
    r.pdfPath = s.archivoPdf;
    ultima() = r;

    QString error;
    const int abiertas = report::openPreviews().size();
    if (s.salida ? !s.salida(r, &error) : !report::run(r, &error, parent)) {
        if (error.isEmpty())
            return ResultadoReporte::Cancelado;  // the person stopped it
        prompts.message(error, ui::Icon::Critical);
        return ResultadoReporte::ErrorReporte;
    }
    // The rows and lines kept for reading back go with the window that shows them.
    if (!s.salida && r.destination == report::Destination::Preview && report::openPreviews().size() > abiertas) {
        const quint64 corrida = ++corridas();
        ultimaCorrida() = corrida;
        QObject::connect(report::openPreviews().last(), &QObject::destroyed, [corrida] {
            if (ultimaCorrida() != corrida) return;
            ultima().rows = {};
            ultima().data = {};
        });
    }
    return ResultadoReporte::Hecho;
}

}  // namespace printing
