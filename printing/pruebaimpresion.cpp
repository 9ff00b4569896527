#include "printing/pruebaimpresion.h"

#include "platform/print/impresoras.h"
#include "platform/print/salida.h"
#include "printing/cajon.h"
#include "printing/envio.h"
#include "printing/impresoraticket.h"
#include "printing/textoticket.h"
#include "shell/estado.h"

namespace {

const QString LF = QStringLiteral("\n");

// What a test may change in the running program, put back when it ends.
class EstadoImpresion {
public:
    EstadoImpresion()
        : codigos_(G().CodigosPTicket), cajon_(G().OpenCDrawer), metodo_(G().MetodoImpresion),
          puerto_(G().PuertoImpresora), puertoTicket_(G().PuertoTicket), impresora_(G().Printer3),
          actual_(ImpresoraActual()) {}
    ~EstadoImpresion() {
        auto& g = G();
        g.CodigosPTicket = codigos_;
        g.OpenCDrawer = cajon_;
        g.MetodoImpresion = metodo_;
        g.Printer3 = impresora_;
        g.PuertoImpresora = puerto_;
        g.PuertoTicket = puertoTicket_;
        EstableceImpresoraActual(actual_);
        EstableceCodigosPTicket(codigos_);
    }
    EstadoImpresion(const EstadoImpresion&) = delete;
    EstadoImpresion& operator=(const EstadoImpresion&) = delete;

private:
    int codigos_, cajon_, metodo_;
    QString puerto_, puertoTicket_, impresora_, actual_;
};

}  // namespace

QByteArray MuestraEscPos() {
    const QByteArray lineas[] = {
        QByteArrayLiteral("\x1b\x40"),
        QByteArrayLiteral("\x1b\x61\x01"),
        QByteArrayLiteral("\x1b\x21\x00"),
        QByteArrayLiteral("January 14, 2002 15:00"),
        QByteArrayLiteral("\x1b\x64\x03"),
        QByteArrayLiteral("\x1b\x61\x00"),
        QByteArrayLiteral("\x1b\x21\x01"),
        QByteArrayLiteral("TM-U210B $20.00\x0a"),
        QByteArrayLiteral("TM-U210D $21.00\x0a"),
        QByteArrayLiteral("\x0a"),
        QByteArrayLiteral("\x1b\x21\x11"),
        QByteArrayLiteral("\x1b\x21\x00"),
        QByteArrayLiteral("\x1d\x56\x42\x00"),
    };
    QByteArray b;
    for (const QByteArray& l : lineas) b += l + QByteArrayLiteral("\r\n");
    return b;
}

bool ImprimeMuestraEscPos(const QString& impresora, const QString& puerto, ui::Prompts& avisos) {
    QString p, d;
    if (ObtenerDatosImpresora(impresora, p, d)) SeleccionaImpresora(impresora);
    if (puerto.trimmed().isEmpty()) {
        avisos.message(QStringLiteral("Teclee el puerto de la impresora para la prueba (por ejemplo lpt1:)."),
                       ui::Icon::Warning);
        return false;
    }
    // The sample is ESC/POS bytes: a port that is the device of a queue taking pages never gets them.
    if (print::EsUri(puerto))
        if (const auto cola = print::ColaDeDispositivo(puerto, impresora); cola && !cola->cruda()) {
            avisos.message(QStringLiteral("No se imprimió la prueba: la impresora %1 imprime páginas y la muestra "
                                          "es para una impresora de tickets.")
                               .arg(cola->nombre),
                           ui::Icon::Warning);
            return false;
        }
    const print::Resultado r = print::EnviaAPuerto(puerto, MuestraEscPos(), QStringLiteral("Prueba"), impresora);
    if (!r.ok)
        avisos.message(QStringLiteral("No se imprimió la prueba en el puerto %1. %2").arg(puerto, r.error),
                       ui::Icon::Warning);
    return r.ok;
}

QString TextoPruebaTicket(const PruebaTicket& p, bool conImpresora, const QDateTime& ahora) {
    const auto& g = G();
    QString t;
    EstableceCodigosPTicket(p.codigos);
    if (conImpresora) t += CodigosActuales().CodInicio;
    const int s = g.SucursalActual >= 0 && g.SucursalActual <= 10 ? g.SucursalActual : 0;
    for (const QString& linea : {g.NombreEmp, QStringLiteral("RFC:") + g.RFCEmpresa, g.DescripcionSuc[size_t(s)],
                                 g.DireccionSuc[size_t(s)], QStringLiteral("Tels:") + g.TelefonoSuc[size_t(s)]})
        t += CentraTexto(linea) + LF;
    t += QStringLiteral("F9999999") + LF;
    t += g.EncTicket + LF;
    t += QStringLiteral(" ") + LF;
    t += QStringLiteral("Fecha    : ") + ahora.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) + LF;
    t += QStringLiteral(" ") + LF;
    t += QStringLiteral("PARAMETROS ESTA ES UNA PRUEBA PARA VER SI LO ALINEA") + LF;
    return t;
}

namespace {

bool imprimePrueba(const PruebaTicket& p, ui::Prompts& avisos, const QDateTime& ahora) {
    const EstadoImpresion guarda;
    auto& g = G();
    // The decoration routines read the set from the shared state: the form's one for this job.
    g.CodigosPTicket = p.codigos;
    QString puerto;
    const bool conImpresora = !p.impresora.isEmpty();
    // A printer named by its port takes the port path, whatever the method.
    const bool esPuerto = print::NombraPuerto(p.impresora);
    if (esPuerto) {
        puerto = p.impresora;
        if (!p.cajon) avisos.message(QStringLiteral("pulso cajon desact"));
    } else if (conImpresora) {
        QString driver;
        if (!ObtenerDatosImpresora(p.impresora, puerto, driver)) {
            avisos.message(QStringLiteral("No se encontró la impresora de tickets \"%1\". No se imprimió nada.")
                               .arg(p.impresora),
                           ui::Icon::Warning);
            return false;
        }
        if (!p.cajon) avisos.message(QStringLiteral("pulso cajon desact"));
    } else {
        EstableceImpresoraActual(QString());  // the default printer
    }
    // The drawer opens before the lines print, by the way the form's values send a ticket, as raw
    // bytes of its own whatever the queue draws.
    if (conImpresora && p.cajon) {
        g.Printer3 = p.impresora;
        g.MetodoImpresion = p.metodo;
        g.OpenCDrawer = 1;
        if (!PulsoCajon(avisos)) return false;
    }
    LimpiaTextoTicket();
    AgregaTextoTicket(TextoPruebaTicket(p, conImpresora, ahora));
    if (esPuerto) return ImprimeEnPuerto(TextoTicket(), &puerto, true, avisos);
    if (p.metodo != 0) return ImprimeDirecto(QStringLiteral("Ticket"), TextoTicket(), avisos);
    if (p.codigos != 0) return ImprimeEnPuerto(TextoTicket(), &puerto, true, avisos);
    return ImprimeEnPuerto(TextoTicket(), nullptr, false, avisos);
}

}  // namespace

bool ImprimePruebaTicket(const PruebaTicket& p, ui::Prompts& avisos, const QDateTime& ahora) {
    DocumentoImpreso d;
    d.documento = QStringLiteral("La prueba de impresión");
    return ImprimeAvisando(avisos, d, [&](ui::Prompts& a) { return imprimePrueba(p, a, ahora); });
}
