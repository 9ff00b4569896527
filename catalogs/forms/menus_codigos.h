#pragma once
// Openers of the main menu's code tables, company data, accounts and credit items.

namespace shell {
class MIDI;
}

namespace catalogos {

void ConectaMenusCodigos(shell::MIDI* midi);

}  // namespace catalogos
