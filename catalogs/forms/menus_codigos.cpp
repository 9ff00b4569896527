#include "catalogs/forms/menus_codigos.h"

#include "catalogs/forms/frmcodigos.h"
#include "catalogs/forms/frmcuentas.h"
#include "catalogs/forms/frmempresa.h"
#include "catalogs/forms/frmestadocuenta.h"
#include "catalogs/forms/frmpreciocredito.h"
#include "shell/forms/menuprincipal.h"

namespace catalogos {

void ConectaMenusCodigos(shell::MIDI* midi)
{
    // Each item's permission check runs before its opener.
    shell::AsignaAbridor(QStringLiteral("Categorias"), [midi] { AbreTablaCodigos(midi, TipoTabla::Categorias); });
    shell::AsignaAbridor(QStringLiteral("Formaspago"), [midi] { AbreTablaCodigos(midi, TipoTabla::TipoPago); });
    shell::AsignaAbridor(QStringLiteral("TiposCompra"), [midi] { AbreTablaCodigos(midi, TipoTabla::TipoCompra); });
    shell::AsignaAbridor(QStringLiteral("TipoProducto"),
                         [midi] { AbreTablaCodigos(midi, TipoTabla::TipoProducto); });
    shell::AsignaAbridor(QStringLiteral("datosempresa"), [] { AbreEmpresa(); });
    shell::AsignaAbridor(QStringLiteral("Cuentas"), [midi] { AbreCuentas(midi); });
    shell::AsignaAbridor(QStringLiteral("PreciosCredito"), [midi] { AbrePreciosCredito(midi); });
    shell::AsignaAbridor(QStringLiteral("Estadosdecuenta"), [midi] { AbreEstadocuenta(midi); });
}

}  // namespace catalogos
