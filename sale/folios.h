#pragma once
// Document numbers of a branch, kept as counters in the table Folios. Every taker of the system goes
// through TomaFolios, inside the write transaction that also stores the document, so two terminals
// never get one number and a number is spent only when its document is stored.

#include "platform/db/database.h"

#include <optional>

namespace sale {

// Counter rows of Folios.
enum FilaFolio : int {
    FolioFactura = 1,       // paper invoice, letter F
    FolioInventario = 2,    // inventory entry or exit
    FolioNotaCredito = 3,   // credit note
    FolioCotizacion = 4,    // quotation, letter C
    FolioVentaCredito = 5,  // credit sale
    FolioTicket = 6,        // ticket, letter T
    FolioFacturaE = 8,      // electronic invoice, letter E
};

// Highest number a counter may give (the numbers are 32-bit in every table that stores them).
constexpr qint64 MaximoFolio = 2147483647;

// Takes `cuantos` consecutive numbers of counter `fila` and returns the first of them. The counter
// moves to max(ValorFolio, highest number stored for that counter) + cuantos, so numbers written by
// some other path never come out twice. Returns -1 and writes nothing when the row is missing, when
// the counter would pass MaximoFolio, or on a database error.
// Call it inside an open write transaction (Database::beginWrite): the read of the highest stored
// number and the counter write are one statement, and the counter is read back, under the file's
// write lock.
qint64 TomaFolios(db::Database& bd, int fila, int cuantos = 1, db::Error* error = nullptr);

// One number taken in its own write transaction, waiting for the file as `espera` says. -1 when the
// wait was cancelled (error kind Cancelled) or the take failed.
qint64 ObtenerFolio(db::Database& bd, int fila, const db::LockWait& espera,
                    db::Error* error = nullptr);

// The last number a counter gave (what the folio label shows); nullopt when the row is missing.
std::optional<qint64> ValorFolio(db::Database& bd, int fila, db::Error* error = nullptr);

}  // namespace sale
