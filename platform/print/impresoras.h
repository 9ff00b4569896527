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
};

// The queues of the spooler the process talks to (CUPS_SERVER or the default one). An empty list
// when the spooler cannot be reached; `error` then says why.
std::vector<Impresora> ListaImpresoras(QString* error = nullptr);
// The queue with exactly this name (case-sensitive), if any.
std::optional<Impresora> BuscaImpresora(const QString& nombre, QString* error = nullptr);
// The spooler's default queue, "" when there is none.
QString ImpresoraPredeterminada();

// The device file a port name stands for: "LPTn" -> /dev/lp<n-1>, "COMn" -> /dev/ttyS<n-1>
// (a trailing ":" allowed); a device URI with a file path ("parallel:/dev/lp0",
// "serial:/dev/ttyS0?baud=9600", "file:/tmp/x", "usb:/dev/usb/lp0") gives that path; anything else
// is taken as a path as written.
QString RutaDePuerto(const QString& puerto);

}  // namespace print
