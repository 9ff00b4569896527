#include "cash/forms/menus.h"

#include "cash/forms/frmcancelarf.h"
#include "cash/forms/frmdevoluciones.h"
#include "cash/forms/frmfacturardia.h"
#include "cash/forms/frmcortescaja.h"
#include "cash/forms/frmmovcaja.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

namespace caja {

void ConectaMenusCaja(shell::MIDI* midi)
{
    shell::AsignaAbridor(QStringLiteral("mDevoluciones"), [midi] { AbreDevoluciones(midi); });
    shell::AsignaAbridor(QStringLiteral("CancelarF"), [midi] { AbreCancelarF(midi); });
    shell::AsignaAbridor(QStringLiteral("nFacturarVentas"), [midi] { AbreFacturarDia(midi); });
    // Permission 19 (with its message) is the item's own check, run before the opener.
    shell::AsignaAbridor(QStringLiteral("mCajonDinero"), [midi] { AbreMovCaja(midi); });
    shell::AsignaAbridor(QStringLiteral("mCortesCaja"), [midi] { AbreCortesCaja(midi); });
}

}  // namespace caja
