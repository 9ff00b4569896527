#pragma once
// Export and import: a whole copy of the central file or of the active branch's file, out to a
// chosen path or back in over the file in use, and the product list sent in a P<yyyymmdd>.db file
// or received from one (the replaced list kept in RProducto for the maintenance restore).
//
// A file that is not ours, damaged, of the wrong kind or behind another password never replaces a
// good one; a replaced file is kept beside it as <name>.bak. Headless; the form frmExpImp calls it.

#include <QDate>
#include <QString>

namespace ui {
class Prompts;
}

namespace sucursales {

// The items of the form's list, in order.
enum class Datos { Productos = 0, Generales = 1, Sucursal = 2 };
QString NombreDatos(Datos d);  // "Productos", "Datos Generales", "Datos de la sucursal"

// The path the form works on: a folder (an existing one, or a text ending in a separator) gets the
// item's name; ".db" is added when missing.
QString RutaDeTrabajo(const QString& texto, Datos d);
// The file a whole export or import is about: the central file or the active branch's.
QString ArchivoDeDatos(Datos d);

// Why the file cannot stand for that kind of file, "" when it can: it must open with the password,
// pass SQLite's integrity check and hold the tables of its kind.
QString RevisaArchivo(const QString& ruta, Datos d);

// Copies the file out to `destino` as it stands committed (others may go on working), through a
// temporary name; an existing `destino` is replaced only after the question, and never when it is
// `origen` itself. True when written.
bool ExportaBase(const QString& origen, const QString& destino, ui::Prompts& p);

// Puts `archivo` in place of `destino` after RevisaArchivo; refused while another terminal holds
// `destino`. The file it replaces stays as `destino`.bak. True when replaced.
bool ImportaBase(const QString& archivo, const QString& destino, Datos d, ui::Prompts& p);

// P<yyyymmdd>.db in `carpeta`: the clean container with the central Producto table as it is defined
// and every row. The file made, or "" (told why) when not made.
QString ExportaProductos(const QString& carpeta, const QDate& dia, ui::Prompts& p);

// The newest product file P<yyyymmdd>.db in the folder, "" when it holds none.
QString ArchivoProductosEn(const QString& carpeta);

// Replaces the central product list with the file's after asking: in one transaction RProducto
// gets the list as it was and Producto (its keys, indexes and defaults kept) the file's rows over
// the columns both have. Any failure leaves both as they were. A folder stands for the newest
// product file in it. True when replaced.
bool ImportaProductos(const QString& ruta, ui::Prompts& p);

}  // namespace sucursales
