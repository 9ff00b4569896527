// Quorvel: the counter program. No arguments; the data folder comes from Direccion.db beside it
// (or in $QUORVEL_HOME).

#include "shell/avisos.h"
#include "shell/forms/midi.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    shell::MIDI midi;
    midi.showMaximized();
    if (!midi.Carga() || shell::ProgramaTerminado()) return 0;
    return app.exec();
}
