#pragma once
// Money accounts of the branch (`Cuentas`) and their movements (`CuentasMovto`). A charge ("Cargo")
// raises the balance, a payment ("Abono") lowers it, and cancelling a movement reverses what it did,
// so a balance is always its opening amount plus what its active movements say. The balance is only
// ever changed by one relative UPDATE in the same transaction as the movement that causes it; no
// screen value is written over it.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace catalogos {

constexpr int MovCargo = 1;
constexpr int MovAbono = 2;
constexpr int EstatusActivo = 1;    // "Activa" / "Activo"
constexpr int EstatusCancelado = 2;  // "No Activa" / "No Activo"

const QStringList& EstatusCuentaLista();      // "Seleccionar...", "Activa", "No Activa"
const QStringList& TiposMovimientoLista();    // "Seleccionar...", "Cargo", "Abono"
const QStringList& EstatusMovimientoLista();  // "Seleccionar...", "Activo", "No Activo"

// An amount as a person types it: "1,234.50" is 1234.5; letters or an empty text give nullopt.
std::optional<double> ImporteTecleado(const QString& texto);

// --- accounts ---
std::optional<db::Rows> LeeCuentas(db::Database& bd, db::Error* error = nullptr);
// The number the add shows; the save takes it again under its lock.
std::optional<qint64> SiguienteCuenta(db::Database& bd, db::Error* error = nullptr);

struct DatosCuenta {
    QString IdCuenta;  // as shown
    QString NomCuenta;
    int EstatusCuenta = 0;
    QString Saldo;  // opening balance of a new account ("" = 0); never read for an existing one
};
struct Grabado {
    bool ok = false;
    qint64 numero = 0;  // the number stored
    QString mensaje;    // why not, for the person
};
// GrabarCuenta. nueva: the row is added under the highest IdCuenta + 1 read inside the write
// transaction, dated today. Otherwise only NomCuenta and EstatusCuenta of account `actual` change,
// and the number shown must be that account's ("Seleccione la cuenta." otherwise).
Grabado GrabarCuenta(db::Database& bd, const DatosCuenta& d, bool nueva, qint64 actual,
                     const QDate& hoy = QDate::currentDate());
// CancelaCuenta: status "No Activa"; balance and movements stay.
bool CancelaCuenta(db::Database& bd, qint64 cuenta, db::Error* error = nullptr);

// --- movements ---
// The account CuentaSel names: nullopt when it is empty, not a whole number or 0 (every account).
std::optional<qint64> CuentaSeleccionada(const QString& cuentaSel);
std::optional<db::Rows> LeeMovimientos(db::Database& bd, const QString& cuentaSel, db::Error* error = nullptr);
std::optional<qint64> SiguienteMovimiento(db::Database& bd, db::Error* error = nullptr);

struct DatosMovimiento {
    QString IdCuenta;
    QDate FechaMovto;
    int TipoMovimiento = 0;
    QString Importe;
    QString Referencia01, Referencia02, Comentarios;
    int EstatusMovto = 0;
};
// GrabarMovimiento. nuevo: checks everything, takes the highest IdMovto + 1 inside the write
// transaction, adds the row and, for an active movement, moves the account's balance in the same
// transaction. Otherwise only the references and the comment of movement `actual` are rewritten:
// its account, amount, type and status stay as saved, so the balance stays right.
Grabado GrabarMovimiento(db::Database& bd, const DatosMovimiento& d, bool nuevo, qint64 actual);

// ActCuenta: SaldoCuenta + importe, to the cent, in one statement; false when the account is not there.
bool ActCuenta(db::Database& bd, qint64 cuenta, double importe, db::Error* error = nullptr);

enum class Cancelacion { NoActivo, Nada, Cancelado, Fallo };
// CancelaMovimiento: a movement not active as stored: "El movimiento no esta activo."; else asks
// "Se procede a cancelar el movimiento. ?" and on Yes sets it "No Activo" and reverses its stored
// amount and type, in one transaction.
Cancelacion CancelaMovimiento(db::Database& bd, qint64 movimiento, ui::Prompts& prompts);

}  // namespace catalogos
