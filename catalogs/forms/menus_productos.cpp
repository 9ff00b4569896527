#include "catalogs/forms/menus_productos.h"

#include "catalogs/forms/frmproductos.h"
#include "catalogs/forms/frmproveedores.h"
#include "shell/forms/menuprincipal.h"

namespace catalogos {

void ConectaMenusProductos(shell::MIDI* midi)
{
    // Each item's own check (shell/menu.cpp) runs before its opener.
    shell::AsignaAbridor(QStringLiteral("Proveedores"), [midi] { AbreProveedores(midi); });
    shell::AsignaAbridor(QStringLiteral("Productos"), [midi] { AbreProductos(midi); });
}

}  // namespace catalogos
