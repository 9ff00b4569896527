#include "capture_control/campocaptura.h"

extern "C" QWidget* KestrilCreaControl(const char* clase, QWidget* padre, QString* error) {
    const QString nombre = clase ? QString::fromUtf8(clase) : QString();
    // Class names are compared without regard to case, as the old registry did.
    if (nombre.compare(QLatin1String(kestril::kClaseCCaptura), Qt::CaseInsensitive) == 0) {
        if (error)
            error->clear();
        return new kestril::CampoCaptura(padre);
    }
    if (error)
        *error = QStringLiteral("La biblioteca Kestril no tiene el control \"%1\"; solo puede crear \"%2\".")
                     .arg(nombre, QLatin1String(kestril::kClaseCCaptura));
    return nullptr;
}
