#pragma once
// Printers that take no control codes (number 0): the text is placed with blanks on a 33-column
// line and goes out through the printer object.

#include "printing/juegocodigos.h"

class CodigosSinControl : public ConjuntoCodigos {
public:
    int numero() const override { return 0; }
    void carga(JuegoCodigos& c) const override;
    QString fuenteA(const JuegoCodigos&, const QString& t) const override { return t; }
    QString fuenteB(const JuegoCodigos&, const QString& t) const override { return t; }
    QString centra(const JuegoCodigos& c, const QString& t) const override;
    QString izquierda(const JuegoCodigos&, const QString& t) const override { return t; }
    QString derecha(const JuegoCodigos& c, const QString& t) const override;
};
