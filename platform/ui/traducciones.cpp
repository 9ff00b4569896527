#include "platform/ui/traducciones.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

bool CargaTraduccionesQt(QCoreApplication* app)
{
    if (!app)
        return false;
    // The application owns the catalogue; a second call adds nothing new.
    if (app->findChild<QTranslator*>(QStringLiteral("traduccionesQt")))
        return true;
    auto* qt = new QTranslator(app);
    qt->setObjectName(QStringLiteral("traduccionesQt"));
    // qt_es gathers the catalogues of every Qt module (qtbase_es holds the widgets' texts).
    if (!qt->load(QLocale(QLocale::Spanish, QLocale::Mexico), QStringLiteral("qt"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(qt);
    return true;
}

}  // namespace ui
