#pragma once
// Small pieces every catalogue form uses: its capture fields, closing the form (inside the main
// window or alone), bringing another loaded form forward, and the search box's colour.

#include <QString>

#include <functional>

class CCaptura;
class QComboBox;
class QBoxLayout;
class QKeyEvent;
class QLineEdit;
class QMdiArea;
class QPushButton;
class QWidget;

namespace catalogos {

// Closes the form, with its window in the main window when it has one.
void CierraForma(QWidget* forma);
// Shows a loaded form and gives it the focus (its main-window window becomes the active one).
void TraeAlFrente(QWidget* forma);
// The search box takes the system's tooltip background when it gets the focus.
void ColorBusqueda(QLineEdit* caja);
// The search-field list moves to its next entry, from the last back to the first.
void SiguienteEntrada(QComboBox* lista);
// A button of the form's button row (Enter in a field never presses it).
QPushButton* Boton(QWidget* forma, QBoxLayout* fila, const QString& texto);
// Runs `activacion` each time the form's window becomes the active one of the main window's area
// (connected once per area).
void AlActivar(QWidget* forma, QMdiArea* area, std::function<void()> activacion);
// The keys every catalogue form takes wherever the focus is: F2 the next search field, Esc the
// close command. True when the key was one of them.
bool TeclaCatalogo(QKeyEvent* e, const std::function<void()>& siguienteCampo,
                   const std::function<void()>& cierra);

}  // namespace catalogos
