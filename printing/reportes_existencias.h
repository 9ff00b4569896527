#pragma once
// The stock and inventory reports of the report menu: which rows each one selects on the branch
// file, the stock listing on the receipt printer, and the values the templates are handed.
// Nothing here writes data.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "shell/rutinas_bd.h"

#include <QDate>
#include <QString>
#include <QVariantMap>

#include <functional>

class QWidget;

namespace printing {

enum class ReporteExistencias {
    Existencias,         // every product whose stock is not 0 (negative stock included)
    UbicacionCategoria,  // positive stock only
    Costo,               // every stock row of the branch
    Reorden,             // stock at or below the reorder level
};

// The selection on the branch file. The branch file holds only its own stock, so no branch filter.
QString SeleccionExistencias(ReporteExistencias reporte);

// Inventory entries and exits of whole days, the last one included; dates bound.
// With `numeros` the selection takes a part's condition (LeeEnPartes) and `numeros` selects the
// movements' numbers in order.
shell::CriterioFechas SeleccionESInventario(const QDate& inicio, const QDate& fin, QString* sql,
                                            QString* numeros = nullptr);

// The cost of the stock, added in whole cents.
double TotalCosto(const db::Rows& filas);

// What the stock templates show beside the rows: "lineas" (each row with its stock as "Cantidad",
// plain, and the reorder and maximum levels as "ReordenTxt", "StockMaxTxt") and "NumProductos".
// By location and category the lines come only in "grupos" (Ubicacion, dCategoria, lineas).
QVariantMap DatosExistencias(const db::Rows& filas);
QVariantMap DatosExistenciasUbicacion(const db::Rows& filas);
// Inventory documents: "documentos" (header fields, "lineas", "Piezas" and "Importe" of each, in
// the order the rows give), "NumDocumentos" and the totals "Piezas" and "Importe"; amounts added in
// whole cents.
QVariantMap DatosESInventario(const db::Rows& filas);

// The stock listing composed into the ticket buffer (cleared first): initialise code, company and
// branch header, one line per row ("Descripcion" fitted to 28 columns and the stock as "000"),
// the count, three line feeds and the paper cut when the branch cuts. `avance` hears the position
// of each row as it is written (the status bar shows it) and answers false to stop there (false
// back, the buffer left unfinished).
bool ArmaListadoExistencias(const db::Rows& filas, const std::function<bool(int)>& avance = {});
// "000" for a whole quantity ("-003" for -3), two decimals for a fraction ("002.50").
QString CantidadListado(double cantidad);

// The listing on the receipt printer by the branch's sending way. No rows: "No hay registros."
// and nothing is sent; the buffer keeps what it held. Without a receipt printer set it says so
// (HayImpresoraListados); a listing of more than kListadoLargo products asks first, and while it
// is composed Esc stops it before anything is sent (`detenido` true then).
constexpr int kListadoLargo = 300;
bool ImprimeExistenciasTicket(const db::Rows& filas, ui::Prompts& prompts, bool* detenido = nullptr,
                              QWidget* parent = nullptr);

}  // namespace printing
