#pragma once
// What the branch forms share: the Kestril capture field, made through the library's factory, and
// opening a form's one instance in the main window.

#include "capture_control/ccaptura.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"

#include <algorithm>

namespace sucursales {

inline CCaptura* CreaCampo(QWidget* padre, const QString& nombre, const QString& titulo, int largo)
{
    QString error;
    auto* c = static_cast<CCaptura*>(KestrilCreaControl(kestril::kClaseCCaptura, padre, &error));
    c->setObjectName(nombre);
    c->setCaption(titulo);
    c->setMaxLength(largo);
    // Room for the caption above its box whatever the form's height.
    const int linea = c->fontMetrics().height();
    c->setMinimumHeight(std::max(c->minimumSizeHint().height(), 2 * linea + 16));
    return c;
}

// The form's one instance, shown in the main window (alone when there is none) and brought forward.
template <class T>
T* AbreForma(shell::MIDI* midi)
{
    T* forma = shell::Forma<T>();
    if (midi) midi->MuestraEnMDI(forma);
    else forma->show();
    forma->activateWindow();
    return forma;
}

}  // namespace sucursales
