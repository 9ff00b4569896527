#pragma once
// Money as every part of the system rounds and shows it. A double holds 1.005 as 1.00499999...;
// the rounding here is decided on the value's decimal form with 15 significant digits (its binary
// error dropped), halves away from zero: 1.005 -> 1.01, 2.675 -> 2.68, -0.125 -> -0.13.

#include <QString>

namespace money {

// The value rounded to `decimales` places, as a signed whole number of 10^-decimales units
// (redondeaUnidades(1.005, 2) = 101). False when the value is not finite or does not fit.
bool redondeaUnidades(double valor, int decimales, qint64* unidades);
// The same for the magnitude only (the sign left to the caller).
bool magnitudRedondeada(double valor, int decimales, qint64* unidades);

// Rounded to `decimales` places; a value that does not fit comes back unchanged.
double redondea(double valor, int decimales = 2);
// Whole cents with redondea's rule; 0 for a value that does not fit.
qint64 centavos(double valor);
// Cut down to the cent toward zero, after dropping the binary error: 10.9989 -> 10.99,
// 35.999999999999996 -> 36, -1.005 -> -1.00.
double truncaCentavos(double valor);

// "###,##0.00": thousands separated by "," (unless `miles` is false), `decimales` places rounded
// with redondea's rule, a "-" only when what shows is not zero. `ceroInicial` false shows 0.5 as
// ".50".
QString formatea(double valor, int decimales = 2, bool miles = true, bool ceroInicial = true);

}  // namespace money
