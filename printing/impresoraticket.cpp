#include "printing/impresoraticket.h"

#include "platform/print/impresoras.h"

#include <QStringList>

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

QString AvisoImpresorasDesconocidas(const std::vector<std::pair<QString, QString>>& cajas) {
    QStringList faltan;
    QString error;
    for (const auto& [caja, nombre] : cajas) {
        if (nombre.isEmpty() || print::EsPuerto(nombre) || print::BuscaImpresora(nombre, &error)) continue;
        faltan << QStringLiteral("%1 \"%2\"").arg(caja, nombre);
    }
    if (faltan.isEmpty()) return {};
    QString texto = QStringLiteral("No hay una cola de impresión ni un puerto con estos nombres "
                                   "(las mayúsculas y minúsculas cuentan):\n") +
                    faltan.join(QLatin1Char('\n')) +
                    QStringLiteral("\nNo se imprimirá en ellos hasta que exista la impresora o se corrija el nombre.");
    if (!error.isEmpty()) texto += QStringLiteral("\n") + error;
    return texto;
}
