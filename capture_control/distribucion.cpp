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
} // namespace

Distribucion calculaDistribucion(int posicionText, int ancho, int alto, int anchoEtiqueta, int altoEtiqueta) {
    Distribucion d;
    if (posicionText == 0) {
        const int anchoUtil = std::max(0, ancho - kMargenDerecho);
        d.etiquetaAutoAjuste = false;
        d.etiqueta = {0, 0, anchoUtil, altoEtiqueta};
        d.caja = {0, kTopCajaDiseno, anchoUtil, std::abs(alto + kAltoCajaDiseno - kAltoDiseno)};
    } else {
        d.etiquetaAutoAjuste = true;
        d.etiqueta = {0, 0, anchoEtiqueta, altoEtiqueta};
        // A caption as wide as the field (or nearly) leaves the box no room: width 0, never negative.
        const int anchoCaja = std::max(0, ancho - kHolguraIzquierda - anchoEtiqueta);
        d.caja = {anchoEtiqueta + kSeparacion, 0, anchoCaja, alto};
    }
    return d;
}

int aPixeles(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPorPixel));
}

} // namespace kestril
