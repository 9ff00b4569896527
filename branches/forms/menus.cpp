#include "branches/forms/menus.h"

#include "branches/forms/frmsucursales.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

namespace sucursales {

void ConectaMenusSucursales(shell::MIDI* midi)
{
    // The item's own check (permission 6 with its message, or a first run) runs before the opener.
    shell::AsignaAbridor(QStringLiteral("Sucursales"), [midi] { AbreSucursales(midi); });
}

}  // namespace sucursales
