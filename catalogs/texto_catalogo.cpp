#include "catalogs/texto_catalogo.h"

namespace catalogos {

QString ConUnBlanco(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n) + QLatin1Char(' ');
}

}  // namespace catalogos
