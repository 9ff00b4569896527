#pragma once
// The control codes of one receipt-printer family and how that family decorates a line. Each
// family lives in its own small class; the branch parameter CodigosPTicket picks one by number.

#include <QString>

// The code strings in force; EstableceCodigosPTicket reloads them at the start of each job.
struct JuegoCodigos {
    QString CodInicio;
    QString CodAlinIzq;
    QString CodAlinDer;
    QString CodAlinCentro;
    QString CodFuenteA;
    QString CodFuenteB;
    QString CodCorte;
    QString CodCajon;
};

// ESC p 0 with both timing bytes: the printer reads five bytes for this command, so sending only
// three would swallow the first two characters that follow.
QString CodigoCajon();

class ConjuntoCodigos {
public:
    virtual ~ConjuntoCodigos() = default;
    virtual int numero() const = 0;
    // Assigns every string of the family.
    virtual void carga(JuegoCodigos& c) const = 0;

    // Decoration of one line with the codes `c` in force.
    virtual QString fuenteA(const JuegoCodigos& c, const QString& t) const = 0;
    virtual QString fuenteB(const JuegoCodigos& c, const QString& t) const = 0;
    virtual QString centra(const JuegoCodigos& c, const QString& t) const = 0;
    virtual QString izquierda(const JuegoCodigos& c, const QString& t) const = 0;
    virtual QString derecha(const JuegoCodigos& c, const QString& t) const = 0;
};

// The family of a code-set number; a number outside 0-3 gets the family without codes (0).
const ConjuntoCodigos& ConjuntoPara(int numero);
