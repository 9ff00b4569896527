#pragma once
// Opening the cash drawer through the receipt printer.

#include "platform/ui/prompts.h"

#include <QString>

// One pulse. Outside a job (`enTrabajo` false) the pulse is a job of its own, composed apart from
// the ticket buffer and always sent as raw bytes (never drawn on a page); inside a job the drawer code is appended to the buffer and the buffer is
// sent. With the drawer off (OpenCDrawer not 1) it says so; outside a job nothing is sent.
bool AbreCajon(bool enTrabajo, ui::Prompts& avisos);
// NTimesCajon pulses, each its own job; the ticket buffer is not touched. With the drawer off
// nothing is sent and one message is shown. Stops at the first pulse that fails.
bool EnviaPulsosdeCajon(ui::Prompts& avisos);
// One pulse straight to the ticket printer's port, whatever the sending path of the tickets.
bool SoloabreCajon(ui::Prompts& avisos);
// Writes ESC P 1 to a port ("LPT1:", "COM2:", a device path).
bool AbreCajonPorPuerto(const QString& puerto, ui::Prompts& avisos);
