#include "printing/codigossincontrol.h"

#include "printing/textoticket.h"

void CodigosSinControl::carga(JuegoCodigos& c) const {
    // Nothing to initialise or cut on these printers; an earlier family's codes must not linger.
    c = JuegoCodigos{};
    c.CodCajon = CodigoCajon();
}

QString CodigosSinControl::centra(const JuegoCodigos&, const QString& t) const {
    QString s = t;
    return CentraConEspacios(s, 33);
}

QString CodigosSinControl::derecha(const JuegoCodigos&, const QString& t) const {
    QString s = t;
    return AlineaDerechaConEspacios(s, 32);
}
