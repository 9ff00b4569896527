#pragma once
// Qt's own texts (message box buttons, the print and file dialogs, the print preview's toolbar) in
// Spanish, whatever language the machine is set to: the program speaks Spanish throughout.

class QCoreApplication;

namespace ui {

// Installs Qt's Spanish catalogue (qt_es from Qt's translations folder) on the application.
// False when the catalogue is not there (Qt then speaks English; nothing else changes).
bool CargaTraduccionesQt(QCoreApplication* app);

}  // namespace ui
