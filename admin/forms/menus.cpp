#include "admin/forms/menus.h"

#include "admin/forms/frmabpersonal.h"
#include "admin/forms/frmparametros.h"
#include "admin/forms/frmparamsuc.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

namespace admin {

void ConectaMenusAdmin(shell::MIDI* midi)
{
    // Each item's own check (shell::RevisaOpcion) runs before its opener.
    shell::AsignaAbridor(QStringLiteral("Usuarios"), [midi] { AbreABPersonal(midi); });
    shell::AsignaAbridor(QStringLiteral("CClave"), [midi] { AbreCambioClave(midi); });
    shell::AsignaAbridor(QStringLiteral("DSucursal"), [midi] { AbreParamSuc(midi); });
}

}  // namespace admin
