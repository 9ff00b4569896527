#pragma once
// Printers driven by print mode only (number 2): every alignment and font code is "print mode 0,
// line feed"; fonts are not changed.

#include "printing/juegocodigos.h"

class CodigosModoImpresion : public ConjuntoCodigos {
public:
    int numero() const override { return 2; }
    void carga(JuegoCodigos& c) const override;
    QString fuenteA(const JuegoCodigos&, const QString& t) const override { return t; }
    QString fuenteB(const JuegoCodigos&, const QString& t) const override { return t; }
    QString centra(const JuegoCodigos& c, const QString& t) const override { return c.CodAlinCentro + t; }
    // The line stays in the ticket, in its place, like on every other printer.
    QString izquierda(const JuegoCodigos& c, const QString& t) const override { return c.CodAlinCentro + t; }
    QString derecha(const JuegoCodigos& c, const QString& t) const override { return c.CodAlinCentro + t; }
};
