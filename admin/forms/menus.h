#pragma once
// Gives the main window the openers of this folder's forms.

namespace shell { class MIDI; }

namespace admin {

void ConectaMenusAdmin(shell::MIDI* midi);

}  // namespace admin
