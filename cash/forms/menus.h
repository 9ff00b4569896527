#pragma once
// Gives the main window the openers of this folder's forms.

namespace shell { class MIDI; }

namespace caja {

void ConectaMenusCaja(shell::MIDI* midi);

}  // namespace caja
