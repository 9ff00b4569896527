#include "printing/reporte.h"

#include "platform/report/progress.h"
#include "platform/report/records.h"
#include "platform/report/totals.h"
#include "platform/ui/sesion.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"

#include <QDialog>
#include <QThread>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <iterator>

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

bool& guardaFilas() {
    static bool guarda = false;
    return guarda;
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

QString ColumnasLeidas(const QStringList& necesarias, const QStringList& otras, const QStringList& plantillas) {
    QSet<QString> muestran;
    for (const QString& p : plantillas) muestran.unite(report::fieldsRead(RutaPlantilla(p)).all);
    QStringList columnas = necesarias;
    for (const QString& c : otras)
        if (muestran.contains(c) && !columnas.contains(c)) columnas << c;
    return columnas.join(QStringLiteral(", "));
}

void EstableceImpresoraReporte(report::Request& solicitud, const QString& dispositivo) {
    if (!dispositivo.isEmpty())
        solicitud.printer = dispositivo;
}

std::optional<db::Rows> LeeEnPartes(db::Database& bd, const LectorBD& lector, const QString& sql,
                                    const QVariantList& valores, const QString& columna, const QString& numeros,
                                    db::Error* error) {
    const auto todos = bd.select(numeros, valores, error);
    if (!todos) return std::nullopt;
    const qsizetype cuantos = qsizetype(todos->size());
    const int partes = lector ? report::partsFor(cuantos, 4000) : 1;
    auto con = [&](const QString& condicion) { return QString(sql).replace(QStringLiteral("%1"), condicion); };
    if (partes == 1) return bd.select(con(QStringLiteral("1 = 1")), valores, error);
    // Each part from its first number up to the next part's: together they take every row, whatever
    // was saved between the readings.
    std::vector<QVariant> cortes;
    for (int k = 1; k < partes; ++k) cortes.push_back(todos->at(size_t(cuantos * k / partes)).value(0));
    auto parte = [&](int k, QString* condicion, QVariantList* suyos) {
        *suyos = valores;
        QStringList c;
        if (k > 0) {
            c << columna + QStringLiteral(" >= ?");
            *suyos << cortes[size_t(k - 1)];
        }
        if (k < partes - 1) {
            c << columna + QStringLiteral(" < ?");
            *suyos << cortes[size_t(k)];
        }
        *condicion = c.join(QStringLiteral(" AND "));
    };
    std::vector<std::optional<db::Rows>> leidas(static_cast<size_t>(partes));
    std::vector<db::Error> errores(static_cast<size_t>(partes));
    // The first part here on `bd`, each other one on a thread and a handle of its own.
    report::inParts(partes, partes, [&](int k, qsizetype, qsizetype) {
        db::Error* e = &errores[size_t(k)];
        std::unique_ptr<db::Database> suya;
        if (k > 0 && !(suya = lector(e))) return;
        QString condicion;
        QVariantList suyos;
        parte(k, &condicion, &suyos);
        leidas[size_t(k)] = (k > 0 ? *suya : bd).select(con(condicion), suyos, e);
    });
    db::Rows filas;
    for (int k = 0; k < partes; ++k) {
        if (!leidas[size_t(k)]) {
            if (error) *error = errores[size_t(k)];
            return std::nullopt;
        }
        db::Rows& suyas = *leidas[size_t(k)];
        if (filas.empty()) {
            filas = std::move(suyas);
        } else {
            filas.reserve(filas.size() + suyas.size());
            std::move(suyas.begin(), suyas.end(), std::back_inserter(filas));
        }
        suyas = {};
    }
    return filas;
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

void LecturaAdelantada::prepara(const SolicitudReporte& s) {
    s_ = s;
    s_.adelanto = nullptr;
    campos_ = report::fieldsRead(RutaPlantilla(s.archivo));
    if (!s.filas && (s.lectura || !s.sql.isEmpty()))
        lector_ = shell::LectorBDSucursal();
}

void LecturaAdelantada::corre(const std::atomic<bool>& parar) {
    Hecho h;
    if (s_.filas) {
        h.filas = std::move(*s_.filas);
    } else if (lector_) {
        db::Error err;
        const auto bd = lector_(&err);
        if (!bd) {
            h.fallo = QStringLiteral("No se pudo abrir la base de datos de la sucursal: ") + shell::TextoErrorBD(err);
        } else if (lectura_.empieza(bd.get(), parar)) {
            auto rows = s_.lectura ? s_.lectura(*bd, &err) : bd->select(s_.sql, s_.valores, &err);
            lectura_.termina();
            if (!parar && !rows)
                h.fallo = QStringLiteral("No se pudieron leer los datos del reporte: ") + shell::TextoErrorBD(err);
            else if (rows)
                h.filas = std::move(*rows);
        }
    }
    if (!parar && h.fallo.isEmpty()) {
        h.sinDatos = h.filas.empty() && !s_.avisoSinDatos.isEmpty();
        if (!h.sinDatos && s_.datos) {
            // The lines made of the rows carry only the fields the template shows.
            const report::OnlyFields soloLeidos(campos_);
            s_.datos(h.filas, h.datos);
            // The window keeps the lines as records, and the maps they were made as go now.
            report::Records::compact(h.datos);
        }
    }
    std::lock_guard<std::mutex> lock(m_);
    hecho_ = std::move(h);
    listo_ = true;
    cv_.notify_all();
}

void LecturaAdelantada::empieza(const SolicitudReporte& s) {
    prepara(s);
    arranca();
}

void LecturaAdelantada::arranca() {
    hilo_.reset(QThread::create([this] { corre(parar_); }));
    hilo_->start();
}

void LecturaAdelantada::espera(const std::atomic<bool>& parar) {
    std::unique_lock<std::mutex> lock(m_);
    while (!listo_ && !parar)
        cv_.wait_for(lock, std::chrono::milliseconds(20));
}

void LecturaAdelantada::interrumpe() {
    parar_ = true;
    lectura_.interrumpe();
}

LecturaAdelantada::Hecho LecturaAdelantada::toma() {
    std::lock_guard<std::mutex> lock(m_);
    return std::move(hecho_);
}

LecturaAdelantada::~LecturaAdelantada() {
    if (hilo_) {
        interrumpe();
        hilo_->wait();
    }
}

const report::Request& UltimaSolicitud() {
    return ultima();
}

void GuardaFilasLeidas(bool guarda) {
    guardaFilas() = guarda;
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
    // the windows already open keep painting; Esc stops the wait. A read begun ahead is waited for.
    const std::shared_ptr<LecturaAdelantada> adelanto = s.adelanto ? s.adelanto : std::make_shared<LecturaAdelantada>();
    if (!s.adelanto)
        adelanto->prepara(s);
    const bool completo = report::runAside(
        QStringLiteral("Leyendo los datos del reporte..."),
        [&](const std::atomic<bool>& parar) {
            if (!s.adelanto)
                adelanto->corre(parar);
            else
                adelanto->espera(parar);
        },
        parent, [&] { adelanto->interrumpe(); });
    if (!completo)
        return ResultadoReporte::Cancelado;
    LecturaAdelantada::Hecho leido = adelanto->toma();
    if (!leido.fallo.isEmpty()) {
        prompts.message(leido.fallo, ui::Icon::Critical);
        return ResultadoReporte::ErrorDatos;
    }
    if (leido.sinDatos) {
        prompts.message(s.avisoSinDatos, ui::Icon::None);
        return ResultadoReporte::SinDatos;
    }
    db::Rows filas = std::move(leido.filas);
    for (auto it = leido.datos.cbegin(); it != leido.datos.cend(); ++it)
        datos.insert(it.key(), it.value());

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
    r.destination = s.destino;
    EstableceImpresoraReporte(r, s.impresora);
    // The window's print dialog opens on the branch's report printer.
    if (r.destination == report::Destination::Preview && r.printer.isEmpty())
        r.printer = G().Printer2;
    r.pdfPath = s.archivoPdf;
    // What is read back shares the lines; the rows are in `r` alone.
    ultima() = r;
    r.rows = std::move(filas);

    QString error;
    const int abiertas = report::openPreviews().size();
    const bool hecho = s.salida ? s.salida(r, &error) : report::run(r, &error, ui::PadreDeSesion(parent));
    if (hecho && s.conservaFilas)
        *s.conservaFilas = guardaFilas() ? r.rows : std::move(r.rows);
    if (guardaFilas())
        ultima().rows = std::move(r.rows);
    r.rows = {};
    // The rows and what making the lines left are gone: their memory goes back now, not only once
    // the window closes.
    report::giveBackMemory();
    if (!hecho) {
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
