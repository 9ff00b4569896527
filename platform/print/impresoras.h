#pragma once
// The printers the spooler knows (CUPS queues), with the device each one writes to.

#include <QString>

#include <optional>
#include <vector>

namespace print {

struct Impresora {
    QString nombre;      // queue name
    QString dispositivo; // device URI, e.g. "socket://10.0.0.5:9100", "parallel:/dev/lp0"
    QString driver;      // make and model
    bool detenida = false;       // stopped in the spooler: jobs wait instead of printing
    bool aceptaTrabajos = true;  // false when the spooler rejects new jobs
    QString mensajeEstado;       // the spooler's own note on the state, if any

    // A queue without a driver (CUPS "Local Raw Printer") passes bytes as they come: it cannot
    // turn a page into what the printer understands.
    bool cruda() const;
};

// The queues of the spooler the process talks to (CUPS_SERVER or the default one). An empty list
// when the spooler cannot be reached; `error` then says why.
std::vector<Impresora> ListaImpresoras(QString* error = nullptr);
// The queue with exactly this name (case-sensitive), if any.
std::optional<Impresora> BuscaImpresora(const QString& nombre, QString* error = nullptr);
// The spooler's default queue, "" when there is none.
QString ImpresoraPredeterminada();

// A port written as a device URI with a host part ("socket://10.0.0.5:9100", "ipp://...",
// "usb://EPSON/TM-T20"): only the spooler can reach it, never open().
bool EsUri(const QString& puerto);
// A name that stands for a port rather than a queue: "LPTn"/"COMn" (with or without ":"), a path,
// a device URI.
bool EsPuerto(const QString& nombre);
// A ticket printer named by its port rather than a queue: a port name (EsPuerto) that is not also
// the name of a queue.
bool NombraPuerto(const QString& nombre);
// The queue whose device is `uri`; `preferida` first when its device is that one.
std::optional<Impresora> ColaDeDispositivo(const QString& uri, const QString& preferida = {},
                                          QString* error = nullptr);

// The device file a port name stands for: "LPTn" -> /dev/lp<n-1>, "COMn" -> /dev/ttyS<n-1>
// (a trailing ":" allowed); a device URI with a file path ("parallel:/dev/lp0",
// "serial:/dev/ttyS0?baud=9600", "file:/tmp/x", "usb:/dev/usb/lp0") gives that path; anything else
// is taken as a path as written.
QString RutaDePuerto(const QString& puerto);

}  // namespace print
