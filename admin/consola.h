#pragma once
// The maintenance console of the parameters form: one action or definition statement typed by an
// administrator, run on the central or the branch file behind a fixed code.
//
// It runs on a handle of its own inside one write transaction, and refuses what SQLite would do
// quietly or what would undo the layer's guarantees: a second statement (SQLite would drop it
// without a word), a statement that returns rows, transaction control, ATTACH/DETACH, PRAGMA, and
// the layer's own tables (password, links, saved queries). SQLite itself enforces the last ones
// (db::UserSqlGuard), whatever the spelling or quoting.

#include "platform/db/database.h"

#include <QString>

namespace admin {

// The code typed in "Confirmar.", compared exactly.
bool EsClaveConsola(const QString& tecleado);

enum class BaseConsola { Ninguna, Central, Sucursal };

struct ResultadoConsola {
    bool ok = false;
    QString mensaje;  // why it was refused or the error, in the statement runner's words
};

// Runs `sql` on the file at `ruta` (a branch file attaches `rutaCentral`, so its linked tables
// reach the central ones). Nothing is run for BaseConsola::Ninguna.
// It ends within the guard's bounds (db::UserSqlBounds) or sooner when `espera` is cancelled (Esc);
// what it would leave broken (a program table or column gone, a trigger or view that no longer
// compiles) is rolled back and told (db::UserSqlGuard::check).
ResultadoConsola EjecutaConsola(BaseConsola base, const QString& ruta, const QString& rutaCentral,
                                const QString& sql, const db::LockWait& espera = {});

}  // namespace admin
