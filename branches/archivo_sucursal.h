#pragma once
// Making the database file of a branch from the data folder's clean template. Shared by the branch
// catalogue and the setup tool, so it reads no shared state: every path comes in.

#include <QString>

namespace sucursales {

// Why a short name cannot be a branch folder: empty, longer than 20, a "/" or "\", "." or "..",
// blanks at either end. "" when it can.
QString ValidaNombreCorto(const QString& corto);

// Copies the template under a temporary name beside `destino`, writes `numero` into
// Parametros.Sucursal, links the twelve central tables of `central`, and only then gives the copy
// its name. `clave` is the password of the template and the central file. An existing `destino` is never replaced; on any failure nothing is left behind and
// *error says why (Spanish).
bool CreaArchivoSucursal(const QString& plantilla, const QString& destino, const QString& central,
                         int numero, const QString& clave, QString* error);

}  // namespace sucursales
