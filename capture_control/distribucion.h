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
// ancho, alto: the field's inner size; etiqueta: the size its caption needs. With the label above,
// a caption taller than the design's 195 twips pushes the box down by the difference, so a large
// label font never covers the box; the design font keeps the design's places.
Distribucion calculaDistribucion(int posicionText, int ancho, int alto, int anchoEtiqueta, int altoEtiqueta);

// The size the field needs (twips) to show its caption whole beside or above a box of the given
// size: what a Qt layout is told through the field's size hint (the box's preferred size) and its
// minimum size (the box's smallest readable size).
struct Tamano {
    int width = 0;
    int height = 0;
};
Tamano tamanoNecesario(int posicionText, int anchoEtiqueta, int altoEtiqueta, int anchoCaja, int altoCaja);

int aPixeles(int twips);
int aTwips(int pixeles);

} // namespace kestril
