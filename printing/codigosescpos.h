#pragma once
// ESC/POS printers (number 1): ESC a n alignment and ESC M n font selection.

#include "printing/juegocodigos.h"

class CodigosEscPos : public ConjuntoCodigos {
public:
    int numero() const override { return 1; }
    void carga(JuegoCodigos& c) const override;
    QString fuenteA(const JuegoCodigos& c, const QString& t) const override { return c.CodFuenteA + t; }
    QString fuenteB(const JuegoCodigos& c, const QString& t) const override { return c.CodFuenteB + t; }
    QString centra(const JuegoCodigos& c, const QString& t) const override { return c.CodAlinCentro + t; }
    QString izquierda(const JuegoCodigos& c, const QString& t) const override { return c.CodAlinIzq + t; }
    QString derecha(const JuegoCodigos& c, const QString& t) const override { return c.CodAlinDer + t; }
};
