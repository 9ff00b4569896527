#include "admin/forms/menus.h"

#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

namespace admin {

void ConectaMenusAdmin(shell::MIDI* midi)
{
    (void)midi;
}

}  // namespace admin
