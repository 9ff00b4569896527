// Quorvel: the counter program. No arguments; the data folder comes from Direccion.db beside it
// (or in $QUORVEL_HOME).

#include "shell/avisos.h"
#include "shell/forms/midi.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    shell::MIDI midi;
    // Without a window manager "maximised" means nothing: take the screen's work area first.
    if (QScreen* screen = QGuiApplication::primaryScreen()) midi.setGeometry(screen->availableGeometry());
    midi.showMaximized();
    if (!midi.Carga() || shell::ProgramaTerminado()) return 0;
    return app.exec();
}
