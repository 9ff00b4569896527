#pragma once
// Small pieces every catalogue form uses: its capture fields, closing the form (inside the main
// window or alone), bringing another loaded form forward, and the search box's colour.

#include <QString>

class CCaptura;
class QLineEdit;
class QWidget;

namespace catalogos {

// A Kestril capture field owned by `padre`; the caption shown without its access-key "&".
CCaptura* CreaCaptura(QWidget* padre, const QString& nombre, const QString& titulo, int largo);
// Closes the form's window in the main window, or the form itself when it stands alone.
void CierraForma(QWidget* forma);
// Shows a loaded form and gives it the focus (its main-window window becomes the active one).
void TraeAlFrente(QWidget* forma);
// The search box takes the system's tooltip background when it gets the focus.
void ColorBusqueda(QLineEdit* caja);

}  // namespace catalogos
