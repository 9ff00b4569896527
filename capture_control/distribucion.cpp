#include "capture_control/distribucion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kestril {

namespace {
// Design values of the field.
constexpr int kAltoDiseno = 645;
constexpr int kAltoCajaDiseno = 375;
constexpr int kTopCajaDiseno = 240;
constexpr int kMargenDerecho = 15;
constexpr int kSeparacion = 10;
constexpr int kHolguraIzquierda = 20;
constexpr int kAltoEtiquetaDiseno = 195;
constexpr int kMargenInferior = kAltoDiseno - kTopCajaDiseno - kAltoCajaDiseno;

int topCaja(int altoEtiqueta) {
    return std::max(kTopCajaDiseno, altoEtiqueta + kTopCajaDiseno - kAltoEtiquetaDiseno);
}
} // namespace

Distribucion calculaDistribucion(int posicionText, int ancho, int alto, int anchoEtiqueta, int altoEtiqueta) {
    Distribucion d;
    if (posicionText == 0) {
        const int anchoUtil = std::max(0, ancho - kMargenDerecho);
        d.etiquetaAutoAjuste = false;
        const int alturaEtiqueta = std::max(kAltoEtiquetaDiseno, altoEtiqueta);
        const int top = topCaja(alturaEtiqueta);
        d.etiqueta = {0, 0, anchoUtil, alturaEtiqueta};
        // The design's |H + 375 - 645|, measured from where the box starts.
        d.caja = {0, top, anchoUtil, std::abs(alto - top - kMargenInferior)};
    } else {
        d.etiquetaAutoAjuste = true;
        d.etiqueta = {0, 0, anchoEtiqueta, altoEtiqueta};
        // A caption as wide as the field (or nearly) leaves the box no room: width 0, never negative.
        const int anchoCaja = std::max(0, ancho - kHolguraIzquierda - anchoEtiqueta);
        d.caja = {anchoEtiqueta + kSeparacion, 0, anchoCaja, alto};
    }
    return d;
}

Tamano tamanoNecesario(int posicionText, int anchoEtiqueta, int altoEtiqueta, int anchoCaja, int altoCaja) {
    if (posicionText == 0) {
        const int top = topCaja(std::max(kAltoEtiquetaDiseno, altoEtiqueta));
        return {std::max(anchoEtiqueta, anchoCaja) + kMargenDerecho, top + altoCaja + kMargenInferior};
    }
    return {anchoEtiqueta + kHolguraIzquierda + anchoCaja, std::max(altoEtiqueta, altoCaja)};
}

int aTwips(int pixeles) { return pixeles * kTwipsPorPixel; }

int aPixeles(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPorPixel));
}

} // namespace kestril
