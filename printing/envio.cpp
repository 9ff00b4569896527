#include "printing/envio.h"

#include "platform/print/codepage850.h"
#include "platform/print/impresoras.h"
#include "printing/impresoraticket.h"
#include "printing/textoticket.h"
#include "shell/estado.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

namespace {

const QString kPuertoPredeterminado = QStringLiteral("LPT1:");

SalidaImpresor& salidaImpresor() {
    static SalidaImpresor s;
    return s;
}

print::Resultado imprimeEnQPrinter(const QString& texto, int puntos) {
    QPrinter impresora(QPrinter::HighResolution);
    const QString nombre = ImpresoraActual();
    if (!nombre.isEmpty()) impresora.setPrinterName(nombre);
    if (!impresora.isValid())
        return {false, QStringLiteral("La impresora %1 no está disponible.").arg(nombre)};
    impresora.setPageLayout(QPageLayout(QPageSize(QSizeF(76, 279), QPageSize::Millimeter),
                                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                        QPageLayout::Millimeter));
    impresora.setDocName(QStringLiteral("Ticket"));
    return print::ImprimeTexto(impresora, texto, puntos);
}

void errorAlImprimir(ui::Prompts& avisos, const QString& descripcion, const QString& texto) {
    // The text follows as the person would read it: control codes would show as boxes.
    QString visible;
    for (QChar c : texto)
        if (c.unicode() >= 0x20 || c == QLatin1Char('\n')) visible.append(c);
    avisos.message(QStringLiteral("Error al imprimir. 02 ") + descripcion + visible, ui::Icon::Warning);
}

// The queue the printer-object and spooler paths use: the current printer, else the default one.
QString colaActual() {
    const QString cola = ImpresoraActual();
    return cola.isEmpty() ? print::ImpresoraPredeterminada() : cola;
}

}  // namespace

// The ticket printer must exist when one is named: a job for a missing printer is never sent to
// whatever printer happened to be current.
bool ImpresoraTicketDisponible(ui::Prompts& avisos) {
    const QString nombre = G().Printer3;
    if (nombre.isEmpty()) return true;
    QString error;
    if (print::BuscaImpresora(nombre, &error) || print::EsPuerto(nombre)) return true;
    QString texto = QStringLiteral("No se encontró la impresora de tickets \"%1\". No se imprimió nada.").arg(nombre);
    if (!error.isEmpty()) texto += QStringLiteral("\n") + error;
    avisos.message(texto, ui::Icon::Warning);
    return false;
}

bool HayImpresoraListados(ui::Prompts& avisos) {
    if (!G().Printer3.isEmpty() || (G().MetodoImpresion == 0 && G().CodigosPTicket != 0)) return true;
    avisos.message(QStringLiteral("No hay una impresora de tickets configurada. El listado no se imprimió."),
                   ui::Icon::Warning);
    return false;
}

void EstableceSalidaImpresor(SalidaImpresor salida) { salidaImpresor() = std::move(salida); }

void IniciaPrint() {
    QString driver;
    QString puerto;
    // A printer that is not installed leaves no port behind: the port path must not write to the
    // previous printer's device.
    if (ObtenerDatosImpresora(G().Printer3, puerto, driver)) G().PuertoTicket = puerto;
    else if (print::EsPuerto(G().Printer3)) G().PuertoTicket = G().Printer3;
    else if (!G().Printer3.isEmpty()) G().PuertoTicket.clear();
    EstableceCodigosPTicket(G().CodigosPTicket);
    AgregaTextoTicket(CodigosActuales().CodInicio);
}

bool EnviaPorRutaTicket(const QString& texto, ui::Prompts& avisos, const QString& documento, bool crudo) {
    if (!ImpresoraTicketDisponible(avisos)) return false;
    if (print::NombraPuerto(G().Printer3)) {
        QString puerto = G().Printer3;
        return ImprimeEnPuerto(texto, &puerto, true, avisos);
    }
    if (G().MetodoImpresion != 0) return ImprimeDirecto(documento, texto, avisos);
    if (G().CodigosPTicket != 0) return ImprimeEnPuerto(texto, &G().PuertoTicket, true, avisos);
    // Control codes on their own (a drawer pulse) mean nothing drawn on a page.
    if (crudo) return ImprimeDirecto(documento, texto, avisos);
    return ImprimeEnPuerto(texto, nullptr, std::nullopt, avisos);
}

bool TerminaPrint(ui::Prompts& avisos) { return EnviaPorRutaTicket(TextoTicket(), avisos); }

bool ImprimeEnPuerto(const QString& texto, QString* puerto, std::optional<bool> alPuerto,
                     ui::Prompts& avisos) {
    QString nombre = kPuertoPredeterminado;
    if (puerto) {
        if (puerto->isEmpty()) *puerto = kPuertoPredeterminado;
        nombre = *puerto;
    }
    if (nombre.endsWith(QLatin1Char(':'))) nombre.chop(1);

    if (alPuerto.value_or(false)) {
        QByteArray bytes;
        bytes.append('\x0f');
        bytes.append(print::aCp850(texto));
        bytes.append("\r\n\x12");
        const print::Resultado r =
            print::EnviaAPuerto(nombre, bytes, QStringLiteral("Ticket"), ImpresoraActual());
        if (!r.ok) errorAlImprimir(avisos, r.error, texto);
        return r.ok;
    }
    // A queue without a driver cannot print a page: it gets the text as the printer reads it.
    const QString cola = colaActual();
    if (const auto imp = cola.isEmpty() ? std::nullopt : print::BuscaImpresora(cola); imp && imp->cruda()) {
        const print::Resultado r =
            print::EnviaTrabajoCrudo(imp->nombre, QStringLiteral("Ticket"), print::aCp850(texto));
        if (!r.ok) errorAlImprimir(avisos, r.error, texto);
        return r.ok;
    }
    // The printer object draws the text; the condensed-print code goes on a line of its own.
    const QString pagina = QString(QChar(0x0f)) + QLatin1Char('\n') + texto + QLatin1Char('\n');
    const SalidaImpresor& s = salidaImpresor();
    const print::Resultado r = s ? s(pagina, TamanoFuenteTicket())
                                 : imprimeEnQPrinter(pagina, TamanoFuenteTicket());
    if (!r.ok) errorAlImprimir(avisos, r.error, texto);
    return r.ok;
}

bool ImprimeDirecto(const QString& documento, const QString& texto, ui::Prompts& avisos) {
    QString cola = ImpresoraActual();
    if (cola.isEmpty()) cola = print::ImpresoraPredeterminada();
    if (cola.isEmpty() || !print::BuscaImpresora(cola)) {
        avisos.message(QStringLiteral("The Printer Name you typed wasn't recognized."),
                       ui::Icon::Warning);
        return false;
    }
    const print::Resultado r = print::EnviaTrabajoCrudo(cola, documento, print::aCp850(texto));
    if (!r.ok) avisos.message(r.error, ui::Icon::Warning);
    return r.ok;
}
