#include "impresoras.h"

#include <cups/cups.h>

#include <QRegularExpression>

#include <iterator>

namespace print {

std::vector<Impresora> ListaImpresoras(QString* error) {
    std::vector<Impresora> lista;
    ipp_t* peticion = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static const char* const atributos[] = {"printer-name", "device-uri", "printer-make-and-model",
                                            "printer-state", "printer-is-accepting-jobs",
                                            "printer-state-message"};
    ippAddStrings(peticion, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(atributos)), nullptr, atributos);
    ipp_t* respuesta = cupsDoRequest(CUPS_HTTP_DEFAULT, peticion, "/");
    if (!respuesta || ippGetStatusCode(respuesta) > IPP_STATUS_OK_CONFLICTING) {
        // "not found" is an empty spooler, not a failure
        const bool vacio = respuesta && ippGetStatusCode(respuesta) == IPP_STATUS_ERROR_NOT_FOUND;
        if (!vacio && error)
            *error = QStringLiteral("No se pudo consultar el servicio de impresión: ")
                     + QString::fromUtf8(cupsLastErrorString());
        ippDelete(respuesta);
        return lista;
    }
    Impresora actual;
    auto cierra = [&] {
        if (!actual.nombre.isEmpty()) lista.push_back(actual);
        actual = Impresora{};
    };
    for (ipp_attribute_t* a = ippFirstAttribute(respuesta); a; a = ippNextAttribute(respuesta)) {
        const char* nombre = ippGetName(a);
        if (!nombre) {  // separator between printers
            cierra();
            continue;
        }
        const QByteArray n(nombre);
        if (n == "printer-state") {
            actual.detenida = ippGetInteger(a, 0) == IPP_PSTATE_STOPPED;
            continue;
        }
        if (n == "printer-is-accepting-jobs") {
            actual.aceptaTrabajos = ippGetBoolean(a, 0) != 0;
            continue;
        }
        const QString valor = QString::fromUtf8(ippGetString(a, 0, nullptr));
        if (n == "printer-name") actual.nombre = valor;
        else if (n == "device-uri") actual.dispositivo = valor;
        else if (n == "printer-make-and-model") actual.driver = valor;
        else if (n == "printer-state-message") actual.mensajeEstado = valor;
    }
    cierra();
    ippDelete(respuesta);
    return lista;
}

bool Impresora::cruda() const {
    return driver.trimmed().isEmpty() || driver.trimmed() == QLatin1String("Local Raw Printer");
}

std::optional<Impresora> BuscaImpresora(const QString& nombre, QString* error) {
    if (nombre.isEmpty()) return std::nullopt;
    for (const Impresora& i : ListaImpresoras(error))
        if (i.nombre == nombre) return i;
    return std::nullopt;
}

bool EsUri(const QString& puerto) {
    static const QRegularExpression uri(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return uri.match(puerto.trimmed()).hasMatch();
}

bool EsPuerto(const QString& nombre) {
    const QString n = nombre.trimmed();
    if (n.isEmpty()) return false;
    static const QRegularExpression viejo(QStringLiteral("^(LPT|COM)[1-9][0-9]?:?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression dispositivo(QStringLiteral("^(parallel|serial|file|usb):/"));
    return viejo.match(n).hasMatch() || n.startsWith(QLatin1Char('/')) || EsUri(n) ||
           dispositivo.match(n).hasMatch();
}

bool NombraPuerto(const QString& nombre) { return EsPuerto(nombre) && !BuscaImpresora(nombre); }

std::optional<Impresora> ColaDeDispositivo(const QString& uri, const QString& preferida, QString* error) {
    const QString buscado = uri.trimmed();
    std::optional<Impresora> primera;
    for (const Impresora& i : ListaImpresoras(error)) {
        if (i.dispositivo != buscado) continue;
        if (i.nombre == preferida) return i;
        if (!primera) primera = i;
    }
    return primera;
}

QString ImpresoraPredeterminada() {
    cups_dest_t* destinos = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &destinos);
    QString nombre;
    if (cups_dest_t* d = cupsGetDest(nullptr, nullptr, n, destinos)) nombre = QString::fromUtf8(d->name);
    cupsFreeDests(n, destinos);
    return nombre;
}

QString RutaDePuerto(const QString& puerto) {
    const QString p = puerto.trimmed();
    static const QRegularExpression viejo(QStringLiteral("^(LPT|COM)([1-9][0-9]?):?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const auto m = viejo.match(p);
    if (m.hasMatch()) {
        const int n = m.captured(2).toInt() - 1;
        return (m.captured(1).compare(QLatin1String("LPT"), Qt::CaseInsensitive) == 0
                    ? QStringLiteral("/dev/lp%1")
                    : QStringLiteral("/dev/ttyS%1"))
            .arg(n);
    }
    static const QRegularExpression uri(QStringLiteral("^(parallel|serial|file|usb):(/[^?]*)"));
    const auto u = uri.match(p);
    if (u.hasMatch()) return u.captured(2);
    return p;
}

}  // namespace print
