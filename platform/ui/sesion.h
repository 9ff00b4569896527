#pragma once
// The session's windows. Whoever is logged in owns every window the program opens meanwhile,
// wherever it opens: forms in the main window's area, report windows and previews, a message box
// or the print dialog left open. Each of them is a window of the application, so log-out reaches
// every one through the application's own list of windows: a new kind of window cannot be born
// outside the session. The main window is the session's frame, the one window that stays, and the
// parent of the windows that would otherwise have none (they stay in front of it, never behind).

#include <QList>

class QWidget;

namespace ui {

// The main window the sessions run in (nullptr: none).
void EstableceVentanaDeSesion(QWidget* marco);
QWidget* VentanaDeSesion();
// The parent a window of the session is born under: `padre` when given, else the session's frame.
QWidget* PadreDeSesion(QWidget* padre = nullptr);

// The application's windows on screen but `marco` (menus, tool tips and the frame's own tool bars
// aside): the topmost modal one first, then the others, the last opened first.
QList<QWidget*> VentanasDeSesion(const QWidget* marco);
// Closes them in that order, each through its own close checks (a form with typing asks first),
// so a dialog open over a window goes before that window. False, with that one and the rest left
// open, when one refuses or stays on screen.
bool CierraVentanasDeSesion(const QWidget* marco);

}  // namespace ui
