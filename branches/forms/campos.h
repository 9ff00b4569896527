#pragma once
// The Kestril capture field the branch forms put on screen, made through the library's factory.

#include "capture_control/ccaptura.h"

namespace sucursales {

inline CCaptura* CreaCampo(QWidget* padre, const QString& nombre, const QString& titulo, int largo)
{
    QString error;
    auto* c = static_cast<CCaptura*>(KestrilCreaControl(kestril::kClaseCCaptura, padre, &error));
    c->setObjectName(nombre);
    c->setCaption(titulo);
    c->setMaxLength(largo);
    return c;
}

}  // namespace sucursales
