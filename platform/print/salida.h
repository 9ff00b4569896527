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
// busy...). The system's own text is English and is never shown.
QString TextoErrorSistema(int numero);

// What a printer takes. A queue without a driver and a port pass bytes as they come: raw bytes,
// or a page as a raster of the printer's own dots (GS v 0). A queue with a driver renders pages.
enum class Toma { Bytes, Paginas };

struct Destino {
    QString nombre;
    bool puerto = false;  // a port (device file or device URI), not a queue
    Toma toma = Toma::Bytes;
    Resultado disponible;  // whether it takes a job now, and why not
};

// The one question every print path asks before it lays anything out: for a queue name (exact
// case) or a port, what kind of job it takes and whether it takes one now. A missing, stopped
// or rejecting queue does not: a stopped queue would hold the job silently and print it whenever
// someone restarts it.
Destino ConsultaImpresora(const QString& nombre);
// Whether queue `impresora` takes a job now: ConsultaImpresora's answer for it.
Resultado RevisaCola(const QString& impresora);
// A page for queue `impresora`: refused before anything is laid out when the queue does not take
// jobs now or has no driver (a receipt printer would print the page's PDF bytes as garbage).
Resultado AdmitePaginas(const QString& impresora);
// Asked after a job was sent: a queue stopped (or rejecting) while the job was laid out or sent
// would hold it silently. The job (`trabajo`, or the newest active one of this user on the queue
// when 0) is then cancelled and the failure told; a job finished or under way on a running queue
// is fine.
Resultado ConfirmaTrabajo(const QString& impresora, int trabajo = 0);

// The reason a sending path gave, as a clause of a longer message: without control codes, without
// the closing "No se imprimió nada." (the message says what did not happen) and the final period.
QString MotivoBreve(QString motivo);

// What the message of a failed print names.
struct DocumentoImpreso {
    QString documento;    // "El ticket 5", "La factura F3"; "" when `falla` says it all
    QString grabado;      // "quedó grabado" when the document was just stored, else ""
    QString reimpresion;  // how to print it again, said with `grabado`
    QString falla = QStringLiteral("no se imprimió");  // what did not happen
};
// The one message of a failed print, short and in Spanish, never with the printout's text; every
// print path says its failure through it:
// "El ticket 5 quedó grabado, pero no se imprimió: la cola de impresión X está detenida.
// Reimprímalo con Reimprimir factura (T5)."
QString MensajeNoImpreso(const DocumentoImpreso& d, const QString& motivo);
// What a page shows of text meant for a receipt printer: the text without its ESC/POS sequences
// (an ESC or GS command with its parameter bytes) and without other control characters; line
// feeds stay. The same text is the one any message quotes.
QString TextoVisible(const QString& texto);

// One raw job (no filters) of `bytes` on queue `impresora`, named `trabajo`, once RevisaCola
// lets it through, confirmed with ConfirmaTrabajo.
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
// checked with RevisaCola first and ConfirmaTrabajo after.
Resultado ImprimeTexto(QPrinter& impresora, const QString& texto, int puntos = 9);

}  // namespace print
