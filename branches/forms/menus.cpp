#include "branches/forms/menus.h"

#include "branches/forms/frmexpimp.h"
#include "branches/forms/frmsucursales.h"
#include "branches/forms/frmtraspasos.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

namespace sucursales {

void ConectaMenusSucursales(shell::MIDI* midi)
{
    // The item's own check (permission 6 with its message, or a first run) runs before the opener.
    shell::AsignaAbridor(QStringLiteral("Sucursales"), [midi] { AbreSucursales(midi); });
    // Permission 14 with its message first.
    shell::AsignaAbridor(QStringLiteral("ATraspaso"), [midi] { AbreTraspasos(midi); });
    // Permission 33 or 34 (no message) is checked first; the form opens modal in that direction.
    for (const bool exportar : {true, false})
        shell::AsignaAbridor(exportar ? QStringLiteral("Exportardatos") : QStringLiteral("Importardatos"),
                             [midi, exportar] {
                                 frmExpImp f(midi);
                                 f.Elige(exportar);
                                 f.exec();
                             });
}

}  // namespace sucursales
