#pragma once
// File work shared by the exchange forms: opening a data file on its own (no links, no views),
// its own tables, a temporary name beside a target, and putting a finished file in place.

#include "platform/db/database.h"

#include <QString>

#include <memory>

namespace sucursales {

// The file with the data files' password and only its own tables: links left unattached (a branch
// file's would reach some central file) and no views. `soloLectura`: nothing can write it.
std::unique_ptr<db::Database> AbreArchivo(const QString& ruta, db::Error* error, bool soloLectura = false);
// A table of the file itself (not a link), letter case aside.
bool TablaPropia(db::Database& bd, const QString& tabla);
// The reason a file did not open, in words for the person.
QString RazonApertura(const db::Error& e);

// A name beside `destino` that nobody uses, for a file that gets its real name only when whole.
QString NombreTemporal(const QString& destino);
// The file's bytes on the disk.
bool Sincroniza(const QString& ruta);
// rename() that replaces `a` in one step; false with the reason.
bool Reemplaza(const QString& de, const QString& a, QString* error);

}  // namespace sucursales
