#include "printing/formato.h"

#include <cmath>
#include <cstdint>

namespace {

// The value in millionths of a cent, which absorbs the binary error of sums and products of
// amounts with two decimals.
long double limpio(double valor) { return std::round(static_cast<long double>(valor) * 1e8L) / 1e6L; }

}  // namespace

double TruncaCentavos(double valor) {
    return static_cast<double>(std::floor(limpio(valor)) / 100.0L);
}

QString FormatoMonto(double valor, bool miles, bool ceroInicial) {
    const long double c = limpio(valor);
    const bool negativo = c < 0;
    const auto centavos = static_cast<std::int64_t>(std::round(std::fabs(c)));
    const std::int64_t entero = centavos / 100;
    const int fraccion = int(centavos % 100);
    QString parteEntera = QString::number(entero);
    if (miles)
        for (qsizetype i = parteEntera.size() - 3; i > 0; i -= 3) parteEntera.insert(i, QLatin1Char(','));
    if (entero == 0 && !ceroInicial) parteEntera.clear();
    return (negativo && centavos != 0 ? QStringLiteral("-") : QString()) + parteEntera +
           QLatin1Char('.') + QStringLiteral("%1").arg(fraccion, 2, 10, QLatin1Char('0'));
}

QString NumeroPlano(double valor) {
    if (valor == 0) return QStringLiteral("0");
    QString s = QString::number(valor, 'g', 15);
    if (s.contains(QLatin1Char('e'))) {
        s = QString::number(valor, 'f', 15);
        if (s.contains(QLatin1Char('.'))) {
            while (s.endsWith(QLatin1Char('0'))) s.chop(1);
            if (s.endsWith(QLatin1Char('.'))) s.chop(1);
        }
    }
    return s;
}
