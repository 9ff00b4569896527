#pragma once
// Cash movements of the current branch: money put into the drawer or taken out of it outside a sale.
// The sign rule lives here once (kind 1 adds, kind 2 subtracts, any other kind counts nothing), so
// the movements form, the cash cut and its printout can never disagree about a balance.

#include "platform/db/database.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace ui {
class Prompts;
}

namespace caja {

enum TipoMovimiento { MovNoDefinido = 0, MovEntrada = 1, MovSalida = 2 };

// The amount a movement adds to the drawer's balance, in cents.
qint64 CentavosConSigno(int tipo, double importe);
// The same rule as an SQL expression over the columns TipoMov and ImporteMov.
QString ImporteConSignoSQL();

// Movements written for a document (its cancellation, a return paid out, a credit note given or
// spent) carry the document's money: cancelling one by hand would put the cut off the drawer, and
// a person's own movement may not pose as one.
QString DescripcionCancelacion(const QString& letra, qint64 numero);
bool EsMovimientoDeDocumento(const QString& descripcion);

// The texts of the form's lists, by index (the stored value).
QString TextoTipoMovimiento(int tipo);   // "No Definido", "Entrada de $$", "Salida de $$"
QString TextoEstatusMovimiento(int estatus);  // "Inactivo", "Activo"
// The description a chosen kind suggests; "No Definido" keeps what is there.
QString DescripcionPorTipo(int tipo, const QString& actual);

// One value of a saved query or table of the branch file: the field of its first row as text
// ("" for Null). Only names the file knows are read; statement text is never run. No row: message
// "No se encontraron registros en <nombre> campo: <campo>" and "".
QString ObtResultadoCons(db::Database& bd, const QString& nombre, const QString& campo,
                         ui::Prompts& avisos);

// The amount typed for a movement: thousands commas allowed ("1,500.00" is 1500); letters, an
// empty text, 0 or a negative amount give nullopt.
std::optional<double> LeeImporteMovimiento(const QString& texto);

struct NuevoMovimiento {
    QString importe;  // as typed
    int tipo = MovEntrada;
    QString descripcion;
    int usuario = 0;
};

struct MovimientoGuardado {
    bool ok = false;
    bool cancelado = false;  // the person gave up the wait for the file
    qint64 id = 0;
    QString mensaje;  // why nothing was written
};

// Checks the typed values and writes the movement (now, active, no cut) in one write transaction;
// its id is the highest + 1 read inside it. Refused input writes nothing.
MovimientoGuardado GuardaMovimiento(db::Database& bd, const NuevoMovimiento& mov, const db::LockWait& espera);

// Every movement of the branch, in id order (what the form browses).
std::optional<db::Rows> LeeMovimientos(db::Database& bd, db::Error* error = nullptr);

// A stored date ("2026-12-09 14:05:00", or "2026-12-09" at midnight); invalid when it is neither.
QDateTime LeeFechaGuardada(const QString& guardada);
// A stored date as "dd/mm/YYYY HH:mm:ss".
QString FechaHoraPantalla(const QString& guardada);
QString FechaHoraPantalla(const QDateTime& momento);

}  // namespace caja
