#include "estado.h"

EstadoGlobal& G() {
    static EstadoGlobal estado;
    return estado;
}

void ReiniciaEstado() { G() = EstadoGlobal{}; }
