#pragma once
// How every report of the program runs: check the template, the permission and the branch file,
// ask the report's parameters, clear the named values, read the rows, set the title and the company
// and branch values, and send the report to the window, a printer or a PDF file.
//
// The program keeps one set of named values (the report control's 21 slots) that a caller may read
// back after the run. Every run starts from a fresh request: no destination, printer or value is
// left over from the report before.

#include "platform/report/formulas.h"
#include "platform/report/report.h"
#include "platform/ui/prompts.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <QSet>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QWidget;
namespace db {
class Database;
}

namespace printing {

// The named values of the last report (slots 0..20), readable after it ran.
report::Formulas& FormulasReporte();
// Both empty the 21 slots.
void LimpiaFormulas();
void BorraFormulas();

// True when the file exists (letter case does not matter); else "No se encontro el archivo: " +
// path (OK button) and false.
bool ExisteArchivo(const QString& ruta, ui::Prompts& prompts = ui::defaultPrompts());

// <data>/Reports/<archivo>, as found on disk when it exists.
QString RutaPlantilla(const QString& archivo);
// The columns a report selects of a view, joined with ", ": `necesarias` (what the program reads
// of every row) and those of `otras` (the view's other columns) that one of the templates
// `plantillas` shows, so a shop's own template showing more of the view still gets it.
QString ColumnasLeidas(const QStringList& necesarias, const QStringList& otras, const QStringList& plantillas);

// Points the request at the named printer; an empty name leaves it as it is.
void EstableceImpresoraReporte(report::Request& solicitud, const QString& dispositivo);

class LecturaAdelantada;

// A report as its procedure describes it.
struct SolicitudReporte {
    QString archivo;           // template file name in <data>/Reports, e.g. "Factura.html"
    QString titulo;            // window title
    int permiso = -1;          // permission number to hold; -1 = none
    bool avisoPermiso = true;  // say "Usted no tiene acceso a esta parte del sistema." on denial
    bool revisaSucursal = true;  // the branch file must exist
    // Fills the parameter table and shows the prompt; false = cancelled (the report stops).
    std::function<bool()> parametros;
    bool formulasEmpresa = true;  // slot 0 NombreEmpresa, slot 1 Sucursal
    // The report's own values (slots 2..20, or all of them when formulasEmpresa is false), from
    // the rows read.
    std::function<void(const db::Rows&, report::Formulas&)> formulas;
    // The report's query on the branch file, values bound; "" = no rows.
    QString sql;
    QVariantList valores;
    // Rows the caller read itself, or a report before kept (see conservaFilas); when set they
    // stand in for the query. The run takes them over (moves them out, no copy).
    std::shared_ptr<db::Rows> filas;
    // When set, the rows this run read end here once its window is open, for a second report over
    // the same rows (handed over in `filas`); else they go once the report's lines are made.
    std::shared_ptr<db::Rows> conservaFilas;
    // Rows the report reads itself from the branch file, instead of the query above.
    std::function<std::optional<db::Rows>(db::Database&, db::Error*)> lectura;
    // Groups, totals and any other value the template shows, computed from the rows. The query
    // (or `lectura`) and this run on another thread, on a handle of their own, while the program's
    // windows keep painting: they may read the shared state but not touch a widget or
    // shell::BDSucursal().
    std::function<void(const db::Rows&, QVariantMap&)> datos;
    // When the rows are empty: the message to show instead of running ("" = run anyway).
    QString avisoSinDatos;
    report::Destination destino = report::Destination::Preview;
    QString impresora;  // "" = the default printer
    QString archivoPdf;
    // When set, the finished request goes here instead of the report layer's destinations (a page
    // turned into what a raw receipt printer takes); false with the message to show.
    std::function<bool(const report::Request&, QString* error)> salida;
    // The rows and values read ahead (see LecturaAdelantada) in place of the read above.
    std::shared_ptr<LecturaAdelantada> adelanto;
};

enum class ResultadoReporte {
    Hecho,
    SinPlantilla,
    SinPermiso,
    SinSucursal,
    Cancelado,
    SinDatos,
    ErrorDatos,
    ErrorReporte
};

// Runs the report in the order above; every failure is shown through `prompts`.
ResultadoReporte CorreReporte(const SolicitudReporte& s, ui::Prompts& prompts = ui::defaultPrompts(),
                              QWidget* parent = nullptr);

// A handle on the branch file of its own, for a read off the window's thread.
using LectorBD = std::function<std::unique_ptr<db::Database>(db::Error*)>;

// The rows of `sql` (with `valores`), read in parts at once (report::partsFor) when they are a year's:
// `sql` holds "%1" where a part's condition on `columna` goes, after every other value, and
// `numeros` (with the same values) selects every value of `columna` the reading takes, in order.
// The first part is read on `bd`, the others each on a handle of `lector`, and joined in order;
// a few thousand documents are read on `bd` alone.
std::optional<db::Rows> LeeEnPartes(db::Database& bd, const LectorBD& lector, const QString& sql,
                                    const QVariantList& valores, const QString& columna, const QString& numeros,
                                    db::Error* error);

// The handle a read off the window's thread is using, so that Esc breaks its query off: the read
// calls empieza and termina around its statements, report::runAside's onStop calls interrumpe.
class LecturaEnCurso {
public:
    // Marks `bd` in use; false when the read was stopped before it began.
    bool empieza(db::Database* bd, const std::atomic<bool>& parar);
    void termina();
    void interrumpe();

private:
    std::mutex m_;
    db::Database* bd_ = nullptr;
};

// A report's read (its query, or `lectura`, and its `datos`), begun on a thread of its own before
// its turn: a menu item that opens two windows starts the second one's query as it starts the
// first's, so the second window does not wait for the first to be up. Destroying it breaks the
// query off and waits for the thread.
class LecturaAdelantada {
public:
    struct Hecho {
        db::Rows filas;
        QVariantMap datos;
        QString fallo;   // the message when the rows could not be read
        bool sinDatos = false;
    };
    LecturaAdelantada() = default;
    ~LecturaAdelantada();
    LecturaAdelantada(const LecturaAdelantada&) = delete;
    LecturaAdelantada& operator=(const LecturaAdelantada&) = delete;

    // Starts reading what `s` reads now, on a thread of its own (on this thread: the template's
    // fields and the branch file's reader are taken here).
    void empieza(const SolicitudReporte& s);

    // For CorreReporte. prepara and corre: the same read done on the caller's worker; espera: until
    // the read begun ahead is done or `parar`; interrumpe: breaks the query off; toma: the result.
    void prepara(const SolicitudReporte& s);
    // After prepara: the read begun now on a thread of its own (from any thread).
    void arranca();
    void corre(const std::atomic<bool>& parar);
    void espera(const std::atomic<bool>& parar);
    void interrumpe();
    Hecho toma();

private:
    SolicitudReporte s_;
    report::FieldsRead campos_;
    std::function<std::unique_ptr<db::Database>(db::Error*)> lector_;
    LecturaEnCurso lectura_;
    std::atomic<bool> parar_{false};
    std::unique_ptr<QThread> hilo_;
    std::mutex m_;
    std::condition_variable cv_;
    bool listo_ = false;
    Hecho hecho_;
};

// The request of the last run (what went to the report layer), for the tests that read it back.
// Its lines are the ones its window shows (shared, not copied) and are dropped from it when that
// window closes. Its rows are kept only after GuardaFilasLeidas(true) (tests): the program keeps
// no rows once a report's lines are made of them.
const report::Request& UltimaSolicitud();
void GuardaFilasLeidas(bool guarda);

}  // namespace printing
