#include "platform/money/money.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace money {
namespace {

// The magnitude's significant digits (15 of them) and the power of ten of the first one.
void digitos15(double a, std::string* digitos, int* exp10) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", a);  // d.dddddddddddddde±xx
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digitos->push_back(*p);
    *exp10 = *p == 'e' ? std::atoi(p + 1) : 0;
}

// The magnitude in 10^-decimales units, its 15-digit form cut (or rounded half up) at that place.
bool unidadesMagnitud(double valor, int decimales, bool redondear, qint64* unidades) {
    const double a = std::fabs(valor);
    if (!std::isfinite(a)) return false;
    if (decimales < 0) decimales = 0;
    if (a == 0.0) { *unidades = 0; return true; }
    std::string digitos;
    int exp10 = 0;
    digitos15(a, &digitos, &exp10);
    // Digits kept: those before the point (exp10 + 1) and the decimals asked for.
    const int k = exp10 + 1 + decimales;
    if (k > 18) return false;
    if (k < 0) { *unidades = 0; return true; }
    qint64 m = 0;
    for (int i = 0; i < k; ++i) m = m * 10 + (i < int(digitos.size()) ? digitos[size_t(i)] - '0' : 0);
    if (redondear && k < int(digitos.size()) && digitos[size_t(k)] >= '5') ++m;
    *unidades = m;
    return true;
}

double deUnidades(qint64 u, int decimales, bool negativo) {
    if (u == 0) return 0.0;  // never a "-0" that prints or stores with a sign
    // Through text so the result is the double nearest the decimal value (101e-2, not 101 * 0.01).
    const std::string txt = std::to_string(u) + "e-" + std::to_string(decimales);
    const double r = std::strtod(txt.c_str(), nullptr);
    return negativo ? -r : r;
}

}  // namespace

bool magnitudRedondeada(double valor, int decimales, qint64* unidades) {
    return unidadesMagnitud(valor, decimales, true, unidades);
}

bool redondeaUnidades(double valor, int decimales, qint64* unidades) {
    qint64 u = 0;
    if (!magnitudRedondeada(valor, decimales, &u)) return false;
    *unidades = valor < 0 ? -u : u;
    return true;
}

double redondea(double valor, int decimales) {
    if (decimales < 0) decimales = 0;
    qint64 u = 0;
    if (!magnitudRedondeada(valor, decimales, &u)) return valor;
    return deUnidades(u, decimales, valor < 0);
}

qint64 centavos(double valor) {
    qint64 u = 0;
    return redondeaUnidades(valor, 2, &u) ? u : 0;
}

double truncaCentavos(double valor) {
    qint64 u = 0;
    if (!unidadesMagnitud(valor, 2, false, &u)) return valor;
    return deUnidades(u, 2, valor < 0);
}

QString formatea(double valor, int decimales, bool miles, bool ceroInicial) {
    if (decimales < 0) decimales = 0;
    qint64 u = 0;
    QString entero, fraccion;
    if (magnitudRedondeada(valor, decimales, &u)) {
        const QString d = QString::number(u).rightJustified(decimales + 1, QLatin1Char('0'));
        entero = d.left(d.size() - decimales);
        fraccion = d.right(decimales);
    } else {
        if (!std::isfinite(valor)) return QString::number(valor);
        const QString d = QString::number(std::fabs(valor), 'f', decimales);
        const qsizetype p = d.indexOf(QLatin1Char('.'));
        entero = p >= 0 ? d.left(p) : d;
        fraccion = p >= 0 ? d.mid(p + 1) : QString();
    }
    const bool cero = u == 0 && entero == QLatin1String("0");
    if (miles)
        for (qsizetype i = entero.size() - 3; i > 0; i -= 3) entero.insert(i, QLatin1Char(','));
    if (!ceroInicial && entero == QLatin1String("0")) entero.clear();
    QString out = (valor < 0 && !cero ? QStringLiteral("-") : QString()) + entero;
    if (decimales > 0) out += QLatin1Char('.') + fraccion;
    return out;
}

}  // namespace money
