#include "cash/forms/menus.h"

#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

namespace caja {

void ConectaMenusCaja(shell::MIDI* midi)
{
    (void)midi;
}

}  // namespace caja
