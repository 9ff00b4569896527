#pragma once
// Placement of the label and the text box inside the field, in twips (15 twips = 1 pixel at 96 dpi).
// No widget here: the field measures its caption and applies the result.

namespace kestril {

inline constexpr int kTwipsPorPixel = 15;

struct Rectangulo {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Distribucion {
    Rectangulo etiqueta;
    Rectangulo caja;
    bool etiquetaAutoAjuste = false; // the label's width follows its caption
};

// posicionText 0: label above the box; any other value: label at the left.
// ancho, alto: the field's inner size; etiqueta: the label's current size (in the left layout, the
// size its caption needs).
Distribucion calculaDistribucion(int posicionText, int ancho, int alto, int anchoEtiqueta, int altoEtiqueta);

int aPixeles(int twips);

} // namespace kestril
