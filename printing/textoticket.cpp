#include "printing/textoticket.h"

#include "shell/estado.h"

#include <algorithm>
#include <cmath>

namespace {

struct Buffer {
    QString texto;
    JuegoCodigos codigos;
    int tamanoFuente = 9;
};

Buffer& buffer() {
    static Buffer b;
    return b;
}

const ConjuntoCodigos& conjunto() { return ConjuntoPara(G().CodigosPTicket); }

}  // namespace

void LimpiaTextoTicket() { buffer().texto.clear(); }
void AgregaTextoTicket(const QString& texto) { buffer().texto += texto; }
void AgregaTextoTicket(const QString&, const QString& texto) { buffer().texto += texto; }
const QString& TextoTicket() { return buffer().texto; }

void EstableceCodigosPTicket(int juego) {
    const ConjuntoCodigos& c = ConjuntoPara(juego);
    c.carga(buffer().codigos);
    if (c.numero() == 0) buffer().tamanoFuente = 9;
}

const JuegoCodigos& CodigosActuales() { return buffer().codigos; }
int TamanoFuenteTicket() { return buffer().tamanoFuente; }

QString AplicaFuenteA(const QString& texto) { return conjunto().fuenteA(buffer().codigos, texto); }
QString AplicaFuenteB(const QString& texto) { return conjunto().fuenteB(buffer().codigos, texto); }
QString CentraTexto(const QString& texto) { return conjunto().centra(buffer().codigos, texto); }

QString AlineaIzquierda(QString& texto) {
    texto = conjunto().izquierda(buffer().codigos, texto);
    return texto;
}

QString AlineaDerecha(const QString& texto) { return conjunto().derecha(buffer().codigos, texto); }

QString CentraConEspacios(QString& texto, int ancho) {
    const int n = ancho - int(texto.size());
    // half of the gap, halves to the even number, then one less
    const int k = int(std::nearbyint(n / 2.0)) - 1;
    if (k > 0) texto.prepend(QString(k, QLatin1Char(' ')));
    return texto;
}

QString AlineaDerechaConEspacios(QString& texto, int ancho) {
    const int n = ancho - int(texto.size());
    if (n > 0) texto.prepend(QString(n, QLatin1Char(' ')));
    return texto;
}

QString RellenaTexto(QString& texto, int largo, const QString& relleno, bool derecha) {
    if (relleno.isEmpty()) return texto;
    while (texto.size() < largo) {
        if (derecha) texto += relleno;
        else texto.prepend(relleno);
    }
    return texto;
}

QString AjustaTexto(int ancho, const QString& texto) {
    const int corte = std::max(0, ancho - 2);
    if (texto.size() > ancho - 1) return texto.left(corte) + QStringLiteral("..");
    QString s = texto.left(corte);
    return RellenaTexto(s, corte, QStringLiteral(" "), true);
}
