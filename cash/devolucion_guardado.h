#pragma once
// Saving a return: the inventory entry (counter 2) with its lines, the goods back into the branch
// stock, and the payment to the customer, a credit note (counter 3) he can spend at the counter or
// cash out of the drawer (a money-out movement the cash cut subtracts), all in one write
// transaction; then the voucher. The limits are checked again inside the transaction, because
// another terminal may have returned goods of the same document meanwhile.

#include "cash/devolucion.h"
#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QString>

namespace caja {

enum class TipoDevolucion {
    NotaCredito = 1,  // "Devolución a Nota crédito"
    Efectivo = 2,     // "Devolución a EFECTIVO"
};
// The kind chosen in the list: the credit-note item, else cash.
TipoDevolucion TipoDevolucionDe(const QString& item);

struct DevolucionGuardada {
    bool ok = false;
    bool cancelado = false;  // the wait for the file was given up: nothing written
    bool excede = false;     // a limit no longer holds: nothing written
    qint64 NumeroEntrada = 0;
    qint64 NumeroNota = 0;   // 0 for a cash return
    db::Error error;
};

// The writes of the return in one transaction. Nothing is shown here.
DevolucionGuardada GuardaDevolucion(db::Database& bd, const Devolucion& dev, TipoDevolucion tipo,
                                    const QString& causa, const db::LockWait& espera);

// cmdGuardar: the checks ("No ha consultado productos de una venta.", "No a seleccionado productos
// a devolver."), the save, the voucher and the closing message; on success the return starts anew
// (NuevaDevolucion) and its numbers stay in `dev`. A refusal or a failure keeps the marked lines.
bool cmdGuardar(db::Database& bd, Devolucion& dev, TipoDevolucion tipo, const QString& causa,
                ui::Prompts& prompts, const db::LockWait& espera);

}  // namespace caja
