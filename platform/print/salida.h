#pragma once
// The ways raw bytes leave the program: a raw job on a spooler queue, a write to a device file, and
// text drawn on a QPrinter page. Each one reports whether everything it had to do was done.

#include <QByteArray>
#include <QString>

class QPrinter;

namespace print {

struct Resultado {
    bool ok = false;
    QString error;  // why it failed, in words for the person
};

// The program's own words for a system error number (no such device, permission denied, device
// busy...), followed by the system's text as a detail.
QString TextoErrorSistema(int numero);

// One raw job (no filters) of `bytes` on queue `impresora`, named `trabajo`. A queue that is
// missing, stopped or rejecting jobs gets nothing: a stopped queue would hold the job silently.
Resultado EnviaTrabajoCrudo(const QString& impresora, const QString& trabajo,
                            const QByteArray& bytes);

// Writes `bytes` to the device file (or plain file) at `ruta`; every byte must be written.
Resultado EscribeEnDispositivo(const QString& ruta, const QByteArray& bytes);

// Raw bytes to a port: a device URI ("socket://...") as a raw job on the queue that has that
// device (`preferida` first), anything else to the device file the port names (RutaDePuerto).
Resultado EnviaAPuerto(const QString& puerto, const QByteArray& bytes, const QString& trabajo,
                       const QString& preferida = {});

// Draws `texto` line by line in a fixed-pitch font of `puntos` points on the printer's pages and
// ends the document. Control characters other than line feeds are not drawn.
Resultado ImprimeTexto(QPrinter& impresora, const QString& texto, int puntos = 9);

}  // namespace print
