#include "catalogs/forms/campos.h"

#include "capture_control/ccaptura.h"

namespace catalogos {

CCaptura* CampoCaptura(QWidget* padre, const QString& nombre, const QString& titulo, int largo)
{
    QString error;
    auto* c = static_cast<CCaptura*>(KestrilCreaControl(kestril::kClaseCCaptura, padre, &error));
    c->setObjectName(nombre);
    c->setCaption(titulo);
    c->setMaxLength(largo);
    return c;
}

int PixelesDeTwips(int twips) { return twips / 15; }

}  // namespace catalogos
