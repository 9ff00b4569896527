#include "admin/forms/campos.h"

#include "capture_control/ccaptura.h"

namespace admin {

CCaptura* CreaCampo(QWidget* padre, const QString& nombre, const QString& titulo, int largo)
{
    QString error;
    auto* c = static_cast<CCaptura*>(KestrilCreaControl(kestril::kClaseCCaptura, padre, &error));
    c->setObjectName(nombre);
    c->setCaption(titulo);
    c->setMaxLength(largo);
    return c;
}

}  // namespace admin
