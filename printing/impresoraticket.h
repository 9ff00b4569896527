#pragma once
// Which printer the raw jobs go to: the program's current printer (the one the ticket routines
// selected last) and the look-up of a queue by its name.

#include <QString>

#include <utility>
#include <vector>

// The current printer, "" until one is selected (jobs then go to the spooler's default queue).
QString ImpresoraActual();
void EstableceImpresoraActual(const QString& nombre);

// Finds the queue named exactly `nombre`; when found it becomes the current printer and `puerto`
// and `driver` receive its device and make. When not found nothing changes and false comes back.
bool ObtenerDatosImpresora(const QString& nombre, QString& puerto, QString& driver);
bool SeleccionaImpresora(const QString& nombre);

// Where a report goes when it is printed: the printer, its device and its driver.
struct DestinoReporte {
    QString impresora;
    QString puerto;
    QString driver;
};
// Points a report at a printer by name; an empty name leaves it on its default printer.
void EstableceImpresoraReporte(DestinoReporte& reporte, const QString& nombre);

// The warning for printer names that are neither a queue of the spooler nor a port, each named
// with the caption of its box (caption, name); "" when every name is empty or known.
QString AvisoImpresorasDesconocidas(const std::vector<std::pair<QString, QString>>& cajas);
