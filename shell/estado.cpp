#include "estado.h"

EstadoGlobal& G() {
    static EstadoGlobal estado;
    return estado;
}

void ReiniciaEstado() { G() = EstadoGlobal{}; }

void InitFormasdePago() {
    auto& g = G();
    for (int i = 0; i <= 14; ++i) g.NombresFormaPago[i].clear();
    for (int i = 0; i <= 3; ++i) {
        g.FormaPagoSel[i] = 0;
        g.ReferenciasPago[i].clear();
    }
}

QString devFormaPago(const QString& nombre) {
    QString r;
    for (int i = 0; i <= 14; ++i)
        if (G().NombresFormaPago[i] == nombre) r = QString::number(i);
    return r;
}
