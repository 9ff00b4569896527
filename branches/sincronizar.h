#pragma once
// Bringing a database in use (the destination) up to a newer reference file (the origin): the
// tables, fields, indexes and saved queries the origin has and the destination lacks are logged
// and, when asked, made or corrected without losing a row; catalogs can be copied over, and a
// script of statements runs on the destination. The origin is only read. Headless; the form
// frmSincronizar calls it.

#include "platform/db/database.h"

#include <QString>
#include <QStringList>

namespace ui {
class Prompts;
}

namespace sucursales {

// The destination that goes with an origin: the branch file of `sucursalSinc` when the origin's
// file name is BDSucursal.db (letter case aside), else the central file.
QString EstableceDestino(const QString& origen, const QString& sucursalSinc);
// True when the path names a branch file (BDSucursal.db).
bool EsArchivoSucursal(const QString& ruta);
// The catalogs the copy offers for that destination: eight central ones or three of a branch.
QStringList ListaCatalogosSinc(const QString& destino);

struct ResultadoSinc {
    bool abierto = false;  // both files opened; false: nothing was compared, changed or run
    QString log;           // the log lines, each ended by CR LF
    QString consultas;     // each script line run, or why it failed, ended by CR LF
};

// ComparaBases: every table (its fields and indexes) and saved query of the origin against the
// destination; with `repara`, each table's repair in its own transaction (a failure rolled back
// and logged) and the queries made or replaced. Then the script's non-empty lines run on the
// destination, each on its own, under the guard of a person's SQL (shell::ProcesaSQLPersona). The
// status bar is cleared at the end. A file that does not open: "Error al abrir la base de datos. "
// and the reason, and nothing else happens.
// Each line's changes are checked as db::UserSqlGuard::check says and undone when they would
// break the program; `espera` lets Esc stop a long line. The origin must compile under the guard
// (UserSqlGuard::faultsOf), else nothing happens. A file that does not open is named.
ResultadoSinc MigraYProcesa(const QString& destino, const QString& origen, bool repara, const QString& script,
                            ui::Prompts& p, const db::LockWait& espera = {});

// Copies each catalog from the origin: per table one transaction that empties the destination's
// (keeping the rows the program ships) and refills it over the columns both have. A table the
// origin lacks is logged and the destination's stays; each table copied is logged too. Ends with
// "Proceso terminado.".
ResultadoSinc CopiaCatalogos(const QString& destino, const QString& origen, const QStringList& tablas,
                             ui::Prompts& p);

}  // namespace sucursales
