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

// Whether queue `impresora` takes a job now. Every job path asks before it sends (raw, port,
// page, report): a stopped queue would hold the job silently and print it whenever someone
// restarts the queue. Not ok, with the reason in Spanish, when the queue is missing, stopped or
// rejecting jobs.
Resultado RevisaCola(const QString& impresora);

// What a page shows of text meant for a receipt printer: the text without its ESC/POS sequences
// (an ESC or GS command with its parameter bytes) and without other control characters; line
// feeds stay. The same text is the one any message quotes.
QString TextoVisible(const QString& texto);

// One raw job (no filters) of `bytes` on queue `impresora`, named `trabajo`, once RevisaCola
// lets it through.
Resultado EnviaTrabajoCrudo(const QString& impresora, const QString& trabajo,
                            const QByteArray& bytes);

// Writes `bytes` to the device file (or plain file) at `ruta`; every byte must be written.
Resultado EscribeEnDispositivo(const QString& ruta, const QByteArray& bytes);

// Raw bytes to a port: a device URI ("socket://...") as a raw job on the queue that has that
// device (`preferida` first), anything else to the device file the port names (RutaDePuerto).
// A port that is the device of queue `preferida` is not written while that queue is stopped.
Resultado EnviaAPuerto(const QString& puerto, const QByteArray& bytes, const QString& trabajo,
                       const QString& preferida = {});

// Draws `texto` line by line in a fixed-pitch font of `puntos` points on the printer's pages and
// ends the document. Only TextoVisible(texto) is drawn. A printer that is a spooler queue is
// checked with RevisaCola first.
Resultado ImprimeTexto(QPrinter& impresora, const QString& texto, int puntos = 9);

}  // namespace print
