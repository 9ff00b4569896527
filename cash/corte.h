#pragma once
// The cash cut of the current branch: what a cut holds (its sales and cash movements), its totals in
// cents, the creation of a new numbered cut that stamps exactly the rows shown, the past cuts, and the
// cancellation of a pending movement.
//
// Sales are Venta rows of Tipo T, F or E (quotations are not sales) with Status 1; a day invoice is
// stored with IdCorte -1 and so never belongs to a cut. Movements are active MovimientosCaja rows,
// whatever their user. Pending = IdCorte 0.

#include "platform/db/database.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace caja {

struct CortePantalla {
    qint64 idCorte = 0;           // 0 = the pending cut
    bool soloAnteriores = false;  // only sales before today; the movements then stay pending
    db::Rows ventas;              // IdNumero, Numero, Tipo, Fecha, Total, Cliente, Status, IdCorte
    db::Rows movimientos;         // TipoMov (text), Importe (signed), IdMovimiento, FechaMov,
                                  // ImporteMov, DescripcionMov, NombreUsuario, IdCorte, ClaveTipo
    qint64 ventasCentavos = 0;
    qint64 movimientosCentavos = 0;
    QDateTime fechaHasta;  // the newest sale's date, or the moment of loading when there is none

    // What the cut is worth: its sales, and its movements unless they stay pending (only the pending
    // cut leaves them out; a past cut holds the movements it took).
    bool movimientosEnCorte() const { return !(soloAnteriores && idCorte == 0); }
    qint64 finalCentavos() const { return ventasCentavos + (movimientosEnCorte() ? movimientosCentavos : 0); }
    // The pending cut with something a new cut would take: a sale, or a movement it counts.
    bool HayPendientes() const {
        return idCorte == 0 && (!ventas.empty() || (movimientosEnCorte() && !movimientos.empty()));
    }
    // Whether `otro` holds the same rows with the same amounts.
    bool MismosPendientes(const CortePantalla& otro) const;
};

// Sales of cut `idCorte`, newest first; for the pending cut `soloAnteriores` keeps only those
// before the day `hoy` (a closed cut always shows what it took).
// The pending cut holds the active ones; a closed cut every sale it took, cancelled since or not.
std::optional<db::Rows> CargaVentas(db::Database& bd, qint64 idCorte, bool soloAnteriores, const QDate& hoy,
                                    db::Error* error = nullptr);
// Active movements of cut `idCorte`, newest first, with their signed amount.
std::optional<db::Rows> CargaMovimientos(db::Database& bd, qint64 idCorte, db::Error* error = nullptr);
// Both, with their totals. nullopt (and the error) when a read failed.
std::optional<CortePantalla> CargaCorte(db::Database& bd, qint64 idCorte, bool soloAnteriores,
                                        const QDate& hoy = QDate::currentDate(), db::Error* error = nullptr);
// Past cuts, newest first; without the right to see them the list is empty (same columns).
std::optional<db::Rows> CargaCortes(db::Database& bd, bool conPermiso, db::Error* error = nullptr);
// Lines of one sale: Nombre, Cantidad, Descripcion, PrecioUnit, Importe.
std::optional<db::Rows> DetalleVentaCorte(db::Database& bd, qint64 numero, const QString& tipo,
                                          db::Error* error = nullptr);

// What the person is told when the pending rows changed under the screen.
QString MensajeCambiado();

// "$ 1,234.50" as the labels show sales and the final balance, and movements.
QString FormatoVentasCorte(qint64 centavos);
QString FormatoMovimientosCorte(qint64 centavos);

struct ResultadoCorte {
    enum Estado { Creado, SinVentas, SinObservacion, Cambiado, Cancelado, Error } estado = Error;
    qint64 idCorte = 0;
    qint64 importeCentavos = 0;  // stored as ImporteCorte
    QString mensaje;             // for the person, except Creado and SinVentas
};

// Creates the cut of what `mostrado` holds, in one write transaction: the next IdCorte read inside
// it, the CortesCaja row, and the stamp of every sale shown (and every movement shown, unless they
// stay pending). When what is pending differs from what was shown (another cut took a row, a sale
// was cancelled, or another terminal sold, returned or wrote a movement meanwhile) nothing is
// written: Cambiado. Movements alone make a cut too.
ResultadoCorte CreaCorte(db::Database& bd, const CortePantalla& mostrado, const QString& observacion,
                         int usuario, const db::LockWait& espera);

// Cancels a pending movement (EstatusMov 0). False with the reason when it is not pending any more
// or the write failed.
bool CancelaMovimiento(db::Database& bd, qint64 idMovimiento, const db::LockWait& espera, QString* mensaje);

// Why a movement of that description can never be cancelled ("" when it can): a document wrote it.
// The form checks it before it asks; CancelaMovimiento checks it again on the stored row.
QString MotivoNoCancelable(const QString& descripcion);

// "Desea cancelar <descripción> con Importe:$ 1,500.00"
QString PreguntaCancelaMovimiento(const QString& descripcion, double importe);

}  // namespace caja
