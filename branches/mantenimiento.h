#pragma once
// Branch maintenance: the ten tasks of the branch catalogue's "&Procesos" tab (zero stock, clear
// the sales or credit history, relink, empty catalogs, restore the product backup, check the stock
// rows, compact, take parked import data, first-use reset) and the hidden clean-up of pending lines.
//
// Each task runs as one write transaction on the branch file with the central file attached, so a
// task that fails leaves both files as they were and the next task still runs. Compaction and the
// relinking work on the files themselves, outside a transaction. Headless; frmSucursales calls it.

#include "branches/catalogo.h"
#include "platform/db/database.h"

#include <QString>
#include <QStringList>

#include <array>

namespace ui {
class Prompts;
}

namespace sucursales {

// The tasks in the order they run; the numbers are the table's.
enum Tarea {
    InicializaExistenciasT = 1,
    HistorialVentasT,
    HistorialCreditoT,
    LigasT,
    CatalogosT,
    RecuperaProductosT,
    ValidaExistenciasT,
    CompactaT,
    PasaTemporalesT,
    InicializarT,
};
inline constexpr int kTareas = 10;
QString NombreTarea(int tarea);  // the box's caption
// The entries of the catalog list, "Todos" first.
const QStringList& ListaCatalogos();

struct Seleccion {
    std::array<bool, kTareas + 1> marcada{};  // by task number; [0] unused
    QString catalogo;                          // the list's entry for task 5
};

// The question asked before the ticked tasks run: what each does and which change the central
// catalogs every branch shares.
QString TextoConfirmacion(const QString& corto, const Seleccion& s);

// True when a ticked task works on the files themselves (relinking, compaction), which closes the
// program's open files first.
bool CierraArchivos(const Seleccion& s);

// Runs the ticked tasks on the branch shown (its short name and number as on the form) after the
// question; a failing task is told and the rest still run. The first-use reset runs only when both
// the branch shown and the active one are branch 1. The end: panel 2 "Ok.." and "Proceso concluido." when all went well,
// else the failed tasks named. True when every ticked task was done.
bool ProcesaSucursal(const Sucursal& suc, const Seleccion& s, ui::Prompts& p);

// --- the tasks on an open branch file, inside the caller's write transaction ---
// Each returns false with the reason in `error`.
bool InicializaExistencias(db::Database& bd, db::Error* error);
bool BorraTraspasos(db::Database& bd, db::Error* error);
// The ten statements of the history (folios included) and the print requests.
bool BorraHistorialVentas(db::Database& bd, db::Error* error);
bool BorrahistCredito(db::Database& bd, db::Error* error);
// Every catalog of the list but "Todos".
bool BorraCatalogos(db::Database& bd, db::Error* error);
// Empties one table, keeping the shipped rows the program needs (product 1, category 0, the
// counter-sale customer); "Cuentas" takes its movements with it. Panel 2 "Catálogo Borrado " +
// table. An empty name deletes nothing: "El nombre del catálogo es invalido.".
bool BorraCatalogo(db::Database& bd, const QString& tabla, db::Error* error);
// The rows of a catalog every terminal relies on, which emptying it keeps: a condition over the
// table ("" when it keeps none) and its values.
struct Condicion {
    QString sql;
    QVariantList params;
};
Condicion FilasQueQuedan(const QString& tabla);
bool ValidaExistencias(db::Database& bd, db::Error* error);
bool PasaTemporales(db::Database& bd, db::Error* error);
bool InicializarInicio(db::Database& bd, db::Error* error);
// On the central file, one transaction of its own; refused when RProducto is missing or empty.
bool RestauraProductos(const QString& rutaCentral, db::Error* error);

// The hidden sequence: asks, then the saved queries dDetalleVenta and DVenta on the branch file
// (pending lines of every terminal go), "ok en " + short name. True when they ran.
bool BorraPendientes(const QString& corto, ui::Prompts& p);

}  // namespace sucursales
