#include "printing/juegocodigos.h"

#include "platform/print/codepage850.h"

#include "printing/codigosescpos.h"
#include "printing/codigosescposmodo.h"
#include "printing/codigosmodoimpresion.h"
#include "printing/codigossincontrol.h"

QString CodigoCajon() {
    // The buffer holds text that becomes code page 850 on the way out, so the 0xFA byte is kept as
    // the character that page puts there.
    return print::desdeCp850(QByteArrayLiteral("\x1bp0\x19\xfa"));
}

const ConjuntoCodigos& ConjuntoPara(int numero) {
    static const CodigosSinControl c0;
    static const CodigosEscPos c1;
    static const CodigosModoImpresion c2;
    static const CodigosEscPosModo c3;
    switch (numero) {
    case 1: return c1;
    case 2: return c2;
    case 3: return c3;
    default: return c0;
    }
}
