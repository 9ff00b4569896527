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

}  // namespace printing
