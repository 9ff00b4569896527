#include "shell/pantalla.h"

#include "platform/system/system.h"
#include "shell/estado.h"

namespace shell {

void CambiaResolucion(int ancho, int alto, int bits) {
    G().ModoPantallaAncho = ancho;
    G().ModoPantallaAlto = alto;
    sys::changeDisplayMode(ancho, alto, bits);
}

}  // namespace shell
