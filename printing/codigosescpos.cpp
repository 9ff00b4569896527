#include "printing/codigosescpos.h"

void CodigosEscPos::carga(JuegoCodigos& c) const {
    c.CodInicio = QStringLiteral("\x1b@");
    c.CodAlinIzq = QStringLiteral("\x1b" "a0");
    c.CodAlinDer = QStringLiteral("\x1b" "a2");
    c.CodAlinCentro = QStringLiteral("\x1b" "a1");
    c.CodFuenteA = QStringLiteral("\x1bM0");
    c.CodFuenteB = QStringLiteral("\x1bM1");
    c.CodCorte = QStringLiteral("\x1bm");
    c.CodCajon = CodigoCajon();
}
