#include "admin/forms/campos.h"

#include "capture_control/ccaptura.h"

#include <QLineEdit>

namespace admin {

CCaptura* CreaCampo(QWidget* padre, const QString& nombre, const QString& titulo, int largo)
{
    QString error;
    auto* c = static_cast<CCaptura*>(KestrilCreaControl(kestril::kClaseCCaptura, padre, &error));
    c->setObjectName(nombre);
    c->setCaption(titulo);
    c->setMaxLength(largo);
    // The layouts need room for the caption above its box even where the field gives no size hint
    // of its own.
    if (c->minimumSizeHint().height() <= 0) {
        const QLineEdit caja;
        c->setMinimumHeight(c->fontMetrics().height() + caja.sizeHint().height() + 4);
        c->setMinimumWidth(c->fontMetrics().averageCharWidth() * 14);
    }
    return c;
}

}  // namespace admin
