#pragma once
// The return voucher on the receipt printer, built from the stored inventory entry, and its
// reprint by entry number.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QDateTime>

namespace caja {

// The voucher of the entry whose cESInventarioDev rows are `filas` into the ticket buffer (cleared
// first), with the branch's code set; `impreso` is the moment printed beside "Fecha Imp  : ".
void ConstruyeComprobanteDevolucion(qint64 entrada, const db::Rows& filas, const QDateTime& impreso);

// ImprimeDevolucion: the voucher of entry `entrada` sent by the branch's ticket path (spooler job
// "Ticket", the printer's port, or the printer object), then the drawer pulse when the drawer is on
// (PulsoCajon: raw bytes of its own, never drawn). "No se encontraron registros." when the
// entry has no lines. False when nothing was printed; the person is told once, naming the return
// (`recienGrabada`: just stored, and how to print the voucher again).
bool ImprimeDevolucion(db::Database& bd, qint64 entrada, ui::Prompts& prompts, bool recienGrabada = false);

// The reprint: asks "Teclea el folio de la devolucion a reimprimir:" and prints that entry; an
// answer that is not a whole number does nothing.
bool ReimprimeDevolucion(db::Database& bd, ui::Prompts& prompts);

}  // namespace caja
