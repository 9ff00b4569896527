#include "branches/forms/menus.h"

#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

namespace sucursales {

void ConectaMenusSucursales(shell::MIDI* midi)
{
    (void)midi;
}

}  // namespace sucursales
