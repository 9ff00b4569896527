#include "printing/impresoraticket.h"

#include "platform/print/impresoras.h"

namespace {
QString& actual() {
    static QString nombre;
    return nombre;
}
}  // namespace

QString ImpresoraActual() { return actual(); }
void EstableceImpresoraActual(const QString& nombre) { actual() = nombre; }

bool ObtenerDatosImpresora(const QString& nombre, QString& puerto, QString& driver) {
    const auto imp = print::BuscaImpresora(nombre);
    if (!imp) return false;
    actual() = imp->nombre;
    puerto = imp->dispositivo;
    driver = imp->driver;
    return true;
}

bool SeleccionaImpresora(const QString& nombre) {
    const auto imp = print::BuscaImpresora(nombre);
    if (!imp) return false;
    actual() = imp->nombre;
    return true;
}

void EstableceImpresoraReporte(DestinoReporte& reporte, const QString& nombre) {
    if (nombre.isEmpty()) return;
    reporte.impresora = nombre;
    QString puerto, driver;
    if (ObtenerDatosImpresora(nombre, puerto, driver)) {
        reporte.puerto = puerto;
        reporte.driver = driver;
    }
}
