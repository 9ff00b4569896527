#pragma once
// Openers of the supplier and product catalogues in the main window's menu and toolbar.

namespace shell {
class MIDI;
}

namespace catalogos {

void ConectaMenusProductos(shell::MIDI* midi);

}  // namespace catalogos
