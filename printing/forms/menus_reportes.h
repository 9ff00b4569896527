#pragma once
// Gives the main window the openers of the report menu's items.

namespace shell { class MIDI; }

namespace printing {

void ConectaMenusReportes(shell::MIDI* midi);

}  // namespace printing
