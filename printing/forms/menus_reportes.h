#pragma once
// The items of the report menu: each runs its report on the current branch through the report
// protocol (template, permission, branch file, parameters, rows, window) and gives the main
// window its opener.

#include "platform/ui/prompts.h"
#include "printing/reporte.h"

class QWidget;

namespace shell { class MIDI; }

namespace printing {

void ConectaMenusReportes(shell::MIDI* midi);

// Stock on hand, and by location and category: on screen or listed on the receipt printer.
ResultadoReporte RExistencias(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
ResultadoReporte ExistenciasUbicacionCat(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
// Stock valued at cost, with the total cost.
ResultadoReporte ExistCosto(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
// Products at or below their reorder level.
ResultadoReporte EReorden(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
// A period's inventory entries and exits: the summary window, then the one by document.
ResultadoReporte ESInventario(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);

// The day's invoices (and tickets with ParTickets), or the listing on the ticket printer.
ResultadoReporte ventadiaria(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
// Today's tickets, without a prompt (also the start form's Ctrl+Alt+T).
ResultadoReporte Ventadiaria2(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
// A period's invoices, then its tickets.
ResultadoReporte VentaMensual(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
// Products sold in a period, most-sold first; and the same by amount.
ResultadoReporte rMasVendidos(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
ResultadoReporte vProdImporte(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
// A period's sales by seller, on screen or on the report printer.
ResultadoReporte rVEmpleado(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);
// The listing of one document typed as letter and number ("T456").
ResultadoReporte ReporteSeriesVenta(ui::Prompts& prompts = ui::defaultPrompts(), QWidget* parent = nullptr);

}  // namespace printing
