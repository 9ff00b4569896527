#include "cash/forms/menus.h"

#include "cash/forms/frmcancelarf.h"
#include "cash/forms/frmdevoluciones.h"
#include "cash/forms/frmfacturardia.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

namespace caja {

void ConectaMenusCaja(shell::MIDI* midi)
{
    (void)midi;
    shell::AsignaAbridor(QStringLiteral("mDevoluciones"), [midi] { AbreDevoluciones(midi); });
    shell::AsignaAbridor(QStringLiteral("CancelarF"), [midi] { AbreCancelarF(midi); });
    shell::AsignaAbridor(QStringLiteral("nFacturarVentas"), [midi] { AbreFacturarDia(midi); });
}

}  // namespace caja
