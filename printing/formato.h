#pragma once
// Numbers as the tickets print them. Amounts are handled in whole cents after removing the
// binary error of the double (the value's 15-significant-digit decimal form decides).

#include <QString>

// Cut down to the cent toward zero: 10.9989 -> 10.99, -1.005 -> -1.00, but 36 stays 36 even when
// the product came out as 35.999999999999996.
double TruncaCentavos(double valor);

// Two decimals, rounded half away from zero. `miles`: thousands with ","; `ceroInicial`: "0.50"
// rather than ".50".
QString FormatoMonto(double valor, bool miles = true, bool ceroInicial = true);

// Plain decimal form: up to 15 significant digits, no trailing zeros, no exponent ("10", "7.5").
QString NumeroPlano(double valor);
