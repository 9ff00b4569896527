#pragma once
// The branch catalogue: the rows of the central Sucursales table, their checks, the saves, the
// branch files made from the template and linked to the central tables, making a branch the active
// one for the run, and deleting a branch's file. Headless; the form frmSucursales calls it.
//
// Every path is built on the shared data folder (CarpetaDatos). The person is told through the
// prompts given; the routines return whether the work was done.

#include "platform/db/database.h"

#include <QString>

#include <optional>
#include <vector>

namespace ui {
class Prompts;
}

namespace sucursales {

// One row as the form shows it: every column as text (Null as "").
struct Sucursal {
    QString DescripcionSuc, IdSucursal, DescripcionC, Direccion, Telefono, NumTerminales, UbicacionBD;
};

// The rows by branch number.
std::optional<std::vector<Sucursal>> LeeCatalogo(db::Database& central, db::Error* error = nullptr);

// <data>/Base de datos/Sucursales/<corto>/BDSucursal.db, found without regard to letter case.
QString RutaArchivoSucursal(const QString& corto);
// <data>/Base de datos/BDLimpias/SucursalL.db, the clean branch template.
QString RutaPlantillaSucursal();
// <data>/Base de datos/BDLimpias/Limpia.db, the empty container of transfer and export files.
QString RutaPlantillaLimpia();
// A writable copy of it at `destino` (which must not exist).
bool CopiaPlantillaLimpia(const QString& destino);

// The branch number typed: digits only (blanks around them aside); none otherwise.
std::optional<qint64> NumeroSucursal(const QString& texto);

// The path the person chose with ".db" added when it does not end in it (letter case aside).
QString ConExtensionBD(const QString& ruta);

// Why the row cannot be saved, "" when it can: the number a whole number 1-10 that no other row
// has, the short name a valid folder name unique without regard to case, the name not empty,
// "Número terminales" a whole number (required).
// `anterior`: the number the row had before the edit (none for a new row).
QString ValidaSucursal(db::Database& central, const Sucursal& s, std::optional<qint64> anterior);

// Closes every handle this program holds on the file (and the shell's files) before it is copied,
// deleted, compacted or replaced.
void CierraBD(const QString& ruta);

// A new row: checks, the branch file (made from the template, or an existing one relinked), then
// the row in one statement; a failed insert removes the file it made. True when the row is stored.
bool AltaSucursal(db::Database& central, const Sucursal& s, ui::Prompts& p);
// An existing row (number `anterior`, as it was: `original`): checks, refuses a new number or short
// name when the branch's file exists, then one statement.
bool ModificaSucursal(db::Database& central, qint64 anterior, const Sucursal& original, const Sucursal& s,
                      ui::Prompts& p);
// Makes the branch's file when it is missing, else renews its links; a link that fails is told
// ("Error " + reason + " en crealiga.") and the rest go on. Panel 2 ends with
// "Creación de archivos terminada." when the file is there.
bool GeneraArchivos(const Sucursal& s, ui::Prompts& p);

// Renews the twelve links of an existing branch file; each link that fails is told
// ("Error " + reason + " en crealiga.") and the rest go on. True when all were made.
bool RenuevaLigas(const QString& ruta, ui::Prompts& p);

// Makes the branch the active one for the rest of the run (SucursalActual, EstableceSucursal).
// Refused while a sale screen is open; when the branch cannot be set up the one before is set up
// again. True when the branch is active.
bool CambiaSucursalActiva(const Sucursal& s, bool hayVentaAbierta, ui::Prompts& p);

// Deletes the branch's file after a question; refused when it is missing, is the active branch's,
// or another terminal holds it. The folder and the row stay.
bool BorraArchivoSucursal(const Sucursal& s, ui::Prompts& p);

}  // namespace sucursales
