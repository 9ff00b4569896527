#pragma once
// The open files of the current data folder: the central file and the current branch file (with its
// links to the central tables attached). Opened on first use, kept open, reopened when the path in
// the shared state changes; closed before a file is copied, compacted or replaced.

#include "platform/db/database.h"

#include <QString>

#include <functional>
#include <memory>

namespace shell {

// The password the central, branch, transfer and export files carry.
QString ClaveArchivos();

// Paths built on CarpetaDatos.
QString RutaBDCodigos();                 // <data>/Base de datos/BDcodigos.db
QString RutaDatos();                     // <data>/Base de datos/Datos.db
QString RutaBDSucursal(int sucursal);    // <data>/Base de datos/Sucursales/<DescripcionC>/BDSucursal.db
QString RutaReportes();                  // <data>/Reports

// Handles; nullptr (and the error) when the file cannot be opened.
db::Database* BDCodigos(db::Error* error = nullptr);
db::Database* BDSucursal(db::Error* error = nullptr);
void CierraConexiones();

// Opens a read-only handle of its own on the current branch file (the path and the central file as
// they are when this is called), for a reader on another thread: call the result on that thread
// and drop the handle there.
std::function<std::unique_ptr<db::Database>(db::Error*)> LectorBDSucursal();

}  // namespace shell
