#pragma once
// Gives the main window the openers of this folder's forms.

namespace shell { class MIDI; }

namespace sucursales {

void ConectaMenusSucursales(shell::MIDI* midi);

}  // namespace sucursales
