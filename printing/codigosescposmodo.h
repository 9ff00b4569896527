#pragma once
// ESC/POS printers that pick the font through print mode (number 3): ESC a n alignment, ESC ! n
// font.

#include "printing/juegocodigos.h"

class CodigosEscPosModo : public ConjuntoCodigos {
public:
    int numero() const override { return 3; }
    void carga(JuegoCodigos& c) const override;
    QString fuenteA(const JuegoCodigos& c, const QString& t) const override { return c.CodFuenteA + t; }
    QString fuenteB(const JuegoCodigos& c, const QString& t) const override { return c.CodFuenteB + t; }
    QString centra(const JuegoCodigos& c, const QString& t) const override { return c.CodAlinCentro + t; }
    QString izquierda(const JuegoCodigos& c, const QString& t) const override { return c.CodAlinIzq + t; }
    QString derecha(const JuegoCodigos& c, const QString& t) const override { return c.CodAlinDer + t; }
};
