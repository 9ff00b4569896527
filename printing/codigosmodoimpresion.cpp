#include "printing/codigosmodoimpresion.h"

void CodigosModoImpresion::carga(JuegoCodigos& c) const {
    const QString modo0 = QString(QChar(0x1b)) + QChar('!') + QChar(0) + QChar(0x0a);
    c.CodInicio = QStringLiteral("\x1b@");
    c.CodAlinIzq = modo0;
    c.CodAlinDer = modo0;
    c.CodAlinCentro = modo0;
    c.CodFuenteA = modo0;
    c.CodFuenteB = modo0;
    c.CodCorte = QStringLiteral("\x1bm");
    c.CodCajon = CodigoCajon();
}
