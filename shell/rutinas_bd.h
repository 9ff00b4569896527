#pragma once
// Database routines every form uses: run one statement and report its failure, the next number of
// a table, a null-safe field read, the catalogue search, the date criterion of the reports, a
// column sum, copying a table between files, compacting a file, and the inserts of cash movements,
// inventory documents and credit notes.
//
// A failure is shown to the person once (through ui::defaultPrompts()) and returned; the caller
// tests it. Values always go bound. The inserts take the open file they write to, so a caller can
// run them inside its own write transaction (the numbers they take as highest + 1 are then read
// under that transaction's lock). On a handle inside a write transaction the statement routines and
// the inserts show nothing: the failure comes back through the result and `error`, and the caller
// tells it after its rollback (a message box would hold the lock over every other terminal).

#include "platform/db/database.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariantList>

#include <optional>

namespace shell {

// Runs one statement (or the name of a saved action query) on an open file. Panel 2 shows
// "Procesando <sql>.." and then "Ok ". On failure: "No se pudo ejecutar el comando: " & sql & " " &
// error text, shown when `bd` is outside a transaction, in `error` always; panel 2 keeps the
// "Procesando" text; false.
bool ProcesaSQL(db::Database& bd, const QString& sql, const QVariantList& params = {},
                db::Error* error = nullptr);
// The same on the file at `ruta` (the central or branch password; none for Direccion and Datos).
bool ProcesaSQL(const QString& ruta, const QString& sql, const QVariantList& params = {});
// ProcesaSQL for a statement a person typed (the maintenance console, a synchronisation script):
// it runs under db::UserSqlGuard of that kind, so it does only what a person may (ordinary tables,
// indexes, views and triggers, the listed functions and pragmas) and never reaches the layer's own
// tables whatever it says; a trigger or view it makes that would is taken out again and reported
// as its failure, and the engine's failures are told in Spanish (TextoMotor). The name of a saved
// action query alone runs that query under the same guard (its text came with the file).
// What it leaves behind is checked (UserSqlGuard::check) and undone when it would break the
// program: the console's caller rolls its transaction back; a script line outside a transaction
// of the person's runs in one of its own, and a person's transaction is checked as it commits.
// `espera` lets Esc stop a long statement; `requerido` is the program schema the files held as
// the script began (UserSqlGuard::programSchema), else the one as the statement begins.
bool ProcesaSQLPersona(db::Database& bd, const QString& sql, db::UserSql clase, db::Error* error = nullptr,
                       const db::LockWait& espera = {}, const QStringList* requerido = nullptr);
// The engine's own (English) text of a failure in the program's words; one the program does not
// know becomes a plain Spanish sentence of its kind, never the English nor a bare code.
QString TextoMotor(const QString& motor, int codigo);

// Tells the person why a write failed: a duplicate key the caller named (NombraDuplicado) with its
// text; any other duplicate key "Hay un valor que no se permite duplicar como el codigo de barras,
// compruebe sus campos." and the field that repeats, never the engine's English; a value the field
// refuses "El valor que tecleo para el campo no es válido. No se grabo el cambio." naming the field;
// anything else TextoErrorBD.
void MuestraErrorBD(const db::Error& error);
// An error in the person's words: the program's own text (code 0) as it is; the engine's never, but
// what went wrong in Spanish (a required field left empty is named, MensajeRequerido).
QString TextoErrorBD(const db::Error& error);
// The columns an engine's duplicate-key error names ("UNIQUE constraint failed: Proveedores.RFC"
// gives RFC); empty for any other error.
QStringList ColumnasDuplicadas(const db::Error& error);
// A repeated key in the person's words: when `error` is the engine's duplicate of `columna`, its
// text becomes `texto` (e.g. "El RFC X ya existe."), which MuestraErrorBD then shows alone.
bool NombraDuplicado(db::Error& error, const QString& columna, const QString& texto);

// Max(campo) + 1 of a table or statement; Null or no row counts as 0; the maximum is taken to the
// nearest whole number (halves to even). `tabla` prefixes: "\" = the rest on the current branch
// file, "*" = the rest is a whole statement on the branch file whose first column is read as is
// (+ 1), anything else = the central file. Not reported here: nullopt and the error on failure.
std::optional<qint64> ObtenerSiguienteId(const QString& campo, const QString& tabla,
                                         const QVariantList& params = {}, db::Error* error = nullptr);
// On a given open file (inside the caller's write transaction), table or statement without prefix.
std::optional<qint64> ObtenerSiguienteId(db::Database& bd, const QString& campo, const QString& tabla,
                                         const QVariantList& params = {}, db::Error* error = nullptr);

// The field's value as text, "" for Null. A missing field: message "Error. No se encontró campo "
// & nombre & " " & the reason, "" and *ok false.
QString LeerCampo(const db::Row& fila, const QString& nombre, bool* ok = nullptr);

// Catalogue search: base query filtered by the field (a text field: begins with the value, whatever
// the letter case, accented letters and Ñ included; any other: equals it) and ordered by it; "" gives the whole base query in order. 1 with the rows; on
// failure a message ("No se pudo ejecutar la búsqueda: " & campo & ", " & valor & CR LF & error),
// the base query's rows instead and 0.
int BuscaRegistros(db::Database& bd, const QString& base, const QString& campo,
                   const QString& valor, db::Rows* filas);

// WHERE criterion on a date field stored as ISO text: mode 1 the day of fecha1, mode 2 fecha1 to
// fecha2 inclusive; any other mode an empty criterion. The dates go as parameters, in this order:
// bind `params` after those of any text placed before `sql`.
struct CriterioFechas {
    QString sql;          // "(campo >= ?) and (campo < ?)", or ""
    QVariantList params;  // first day, the day after the last one (ISO text)
};
CriterioFechas ArmaCriterioFechas(const QDate& fecha1, const QDate& fecha2, const QString& campo, int modo);

// Sum of a field over the rows; Null counts as 0. A missing field or a value that is not a number:
// message "Error al sumar campo " & campo and nullopt.
std::optional<double> SumaCampo(const db::Rows& filas, const QString& campo);

// Appends every row of a table of one file to the same table of another (same columns).
bool CopiaTablaABase(const QString& origen, const QString& destino, const QString& tabla);

// Compacts carpeta/archivo in place. Refused (message, false) while another connection holds it.
bool CompactaBaseDatos(const QString& carpeta, const QString& archivo);

// --- inserts into the branch file (bd = the open branch file) ---
// Each reports a failure as ProcesaSQL does: shown only outside a transaction, and in `error`.
// Cash movement dated now, status 1; its id is the highest IdMovimiento + 1. The new id, or nullopt.
std::optional<qint64> InsertaMovCaja(db::Database& bd, double importe, int tipo,
                                     const QString& descripcion, int usuario, db::Error* error = nullptr);
std::optional<qint64> InsertaMovCajaCorte(db::Database& bd, const QDateTime& fecha, double importe,
                                          int tipo, const QString& descripcion, int estatus,
                                          int idCorte, int usuario, db::Error* error = nullptr);
bool InsertaEInventario(db::Database& bd, qint64 numero, const QDateTime& fecha,
                        const QString& descripcion, int aplicado, int usuario, int traspaso,
                        int sucOrigen, int sucDestino, int describeMovto, const QString& docto,
                        db::Error* error = nullptr);
// `descuento` is a percentage and keeps its fraction (2.5 stays 2.5).
bool InsertaNotaCredito(db::Database& bd, qint64 numero, double descuento, const QDateTime& fecha,
                        double total, int empleado, int terminal, const QString& cliente, int ivap,
                        int status, qint64 factRef, const QString& observaciones,
                        db::Error* error = nullptr);
bool InsertaDetalleNotaCredito(db::Database& bd, qint64 numero, qint64 claveProducto,
                               double cantidad, double precioUnit, int iva, double descuento,
                               db::Error* error = nullptr);

}  // namespace shell
