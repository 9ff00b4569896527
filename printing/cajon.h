#pragma once
// Opening the cash drawer through the receipt printer.

#include "platform/ui/prompts.h"

#include <QString>

// The one routine that sends the drawer pulse; every other routine and form that opens the drawer
// calls it. The pulse (the code set's initialise code and the drawer code) always goes as raw
// bytes, never inside a text that may be drawn on a page: to the ticket printer by the path its
// tickets take (`destino` empty), else as a raw job on the queue `destino` or to the port it names.
bool PulsoCajon(ui::Prompts& avisos, const QString& destino = {});
// One pulse. Outside a job (`enTrabajo` false) the pulse is a job of its own; inside a job the
// buffer is sent first and the pulse follows it. With the drawer off (OpenCDrawer not 1) it says
// so; outside a job nothing is sent then.
bool AbreCajon(bool enTrabajo, ui::Prompts& avisos);
// NTimesCajon pulses, each its own job; the ticket buffer is not touched. With the drawer off
// nothing is sent and one message is shown. Stops at the first pulse that fails.
bool EnviaPulsosdeCajon(ui::Prompts& avisos);
// One pulse straight to the ticket printer's port, whatever the sending path of the tickets.
bool SoloabreCajon(ui::Prompts& avisos);
// The drawer menu item: one pulse; a failure is said once, as "No se abrió el cajón: <why>."
bool AbreCajonAvisando(ui::Prompts& avisos);
// Writes ESC P 1 to a port ("LPT1:", "COM2:", a device path).
bool AbreCajonPorPuerto(const QString& puerto, ui::Prompts& avisos);
