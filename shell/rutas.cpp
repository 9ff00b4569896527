#include "shell/rutas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace shell {

QString RutaAplicacion() {
    const QString home = qEnvironmentVariable("QUORVEL_HOME");
    if (!home.isEmpty()) return SinSeparadorFinal(home);
    return QCoreApplication::applicationDirPath();
}

QString SinSeparadorFinal(const QString& carpeta) {
    QString c = carpeta;
    while (c.size() > 1 && (c.endsWith(u'/') || c.endsWith(u'\\'))) c.chop(1);
    return c;
}

QString UnirRuta(const QString& carpeta, const QString& relativa) {
    return SinSeparadorFinal(carpeta) + u'/' + relativa;
}

QString BuscaRuta(const QString& ruta) {
    if (ruta.isEmpty() || QFileInfo::exists(ruta)) return ruta;
    const QString limpia = QDir::cleanPath(ruta);
    const QStringList partes = limpia.split(u'/');
    QString actual = limpia.startsWith(u'/') ? QStringLiteral("/") : QString();
    for (const QString& parte : partes) {
        if (parte.isEmpty()) continue;
        const QString base = actual.isEmpty() ? QStringLiteral(".") : actual;
        QString encontrada = parte;
        if (!QFileInfo::exists(QDir(base).filePath(parte))) {
            const QStringList hay = QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            for (const QString& h : hay)
                if (h.compare(parte, Qt::CaseInsensitive) == 0) { encontrada = h; break; }
        }
        actual = actual.isEmpty() ? encontrada
                 : actual.endsWith(u'/') ? actual + encontrada
                                         : actual + u'/' + encontrada;
    }
    return QFileInfo::exists(actual) ? actual : ruta;
}

bool ArchivoExiste(const QString& ruta) { return QFileInfo(BuscaRuta(ruta)).isFile(); }

}  // namespace shell
