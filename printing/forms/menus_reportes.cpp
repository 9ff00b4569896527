#include "printing/forms/menus_reportes.h"

#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

namespace printing {

void ConectaMenusReportes(shell::MIDI* midi)
{
    (void)midi;
}

}  // namespace printing
