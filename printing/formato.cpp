#include "printing/formato.h"

#include "platform/money/money.h"

double TruncaCentavos(double valor) { return money::truncaCentavos(valor); }

QString FormatoMonto(double valor, bool miles, bool ceroInicial) {
    return money::formatea(valor, 2, miles, ceroInicial);
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
