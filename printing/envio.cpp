#include "printing/envio.h"

#include "platform/print/codepage850.h"
#include "platform/print/impresoras.h"
#include "printing/impresoraticket.h"
#include "printing/textoticket.h"
#include "shell/estado.h"

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

namespace {

const QString kPuertoPredeterminado = QStringLiteral("LPT1:");

SalidaImpresor& salidaImpresor() {
    static SalidaImpresor s;
    return s;
}

const QString kSinImpresora =
    QStringLiteral("No hay impresora de tickets ni impresora predeterminada. No se imprimió nada.");

print::Resultado imprimeEnQPrinter(const QString& nombre, const QString& texto, int puntos) {
    if (nombre.isEmpty()) return {false, kSinImpresora};
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setPrinterName(nombre);
    if (!impresora.isValid())
        return {false, QStringLiteral("La impresora %1 no está disponible.").arg(nombre)};
    impresora.setPageLayout(QPageLayout(QPageSize(QSizeF(76, 279), QPageSize::Millimeter),
                                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                        QPageLayout::Millimeter));
    impresora.setDocName(QStringLiteral("Ticket"));
    return print::ImprimeTexto(impresora, texto, puntos);
}

QString& ultimoFallo() {
    static QString motivo;
    return motivo;
}

// Every failure of a sending path is told here, so the last reason is known to ImprimeConUnAviso.
void falla(ui::Prompts& avisos, const QString& motivo, const QString& mensaje) {
    ultimoFallo() = motivo;
    avisos.message(mensaje, ui::Icon::Warning);
}

// Holds back the warnings of a print so its failure is said once; other messages pass.
class AvisosRetenidos : public ui::Prompts {
public:
    explicit AvisosRetenidos(ui::Prompts& otro) : otro_(otro) {}
    void message(const QString& text, ui::Icon icon, const QString& title) override {
        if (icon == ui::Icon::Warning || icon == ui::Icon::Critical) {
            retenidos.append({text, icon, title});
        } else {
            otro_.message(text, icon, title);
            ++dichos;
        }
    }
    ui::Answer question(const QString& text, const QString& title, bool cancel, bool defaultNo) override {
        return otro_.question(text, title, cancel, defaultNo);
    }
    QString input(const QString& prompt, const QString& title, const QString& def) override {
        return otro_.input(prompt, title, def);
    }
    struct Mensaje {
        QString texto;
        ui::Icon icono;
        QString titulo;
    };
    QList<Mensaje> retenidos;
    int dichos = 0;  // messages that went through

private:
    ui::Prompts& otro_;
};

// The queue the printer-object and spooler paths use: the current printer, else the default one.
QString colaActual() {
    const QString cola = ImpresoraActual();
    return cola.isEmpty() ? print::ImpresoraPredeterminada() : cola;
}

// Text with something to read (not control codes alone, as a drawer pulse is) for a queue that
// takes pages: receipt bytes never reach it, whatever the method and code set say.
bool vaComoPagina(const QString& cola, const QString& texto) {
    if (cola.isEmpty() || print::TextoVisible(texto).trimmed().isEmpty()) return false;
    const print::Destino d = print::ConsultaImpresora(cola);
    return !d.puerto && d.toma == print::Toma::Paginas;
}

// The printer object's page on `cola`: the text drawn on the 76 x 279 mm page, the condensed-print
// code on a line of its own.
bool dibujaPagina(const QString& cola, const QString& texto, ui::Prompts& avisos) {
    const QString pagina = QString(QChar(0x0f)) + QLatin1Char('\n') + texto + QLatin1Char('\n');
    const SalidaImpresor& s = salidaImpresor();
    const print::Resultado r = s ? s(pagina, TamanoFuenteTicket()) : imprimeEnQPrinter(cola, pagina, TamanoFuenteTicket());
    if (!r.ok) falla(avisos, r.error, r.error);
    return r.ok;
}

}  // namespace

// The ticket printer must exist when one is named: a job for a missing printer is never sent to
// whatever printer happened to be current.
bool ImpresoraTicketDisponible(ui::Prompts& avisos) {
    const QString nombre = G().Printer3;
    if (nombre.isEmpty()) return true;
    const print::Destino d = print::ConsultaImpresora(nombre);
    if (d.disponible.ok) return true;
    QString error;
    if (print::BuscaImpresora(nombre, &error)) {
        // A stopped queue is told before anything is laid out for it.
        falla(avisos, d.disponible.error, d.disponible.error);
        return false;
    }
    QString texto = QStringLiteral("No se encontró la impresora de tickets \"%1\". No se imprimió nada.").arg(nombre);
    if (!error.isEmpty()) texto += QStringLiteral("\n") + error;
    falla(avisos, texto, texto);
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
        // A device URI reaches the spooler queue that has that device; one that takes pages gets
        // the page.
        if (print::EsUri(nombre))
            if (const auto cola = print::ColaDeDispositivo(nombre, ImpresoraActual()); cola && vaComoPagina(cola->nombre, texto))
                return dibujaPagina(cola->nombre, texto, avisos);
        const print::Resultado r =
            print::EnviaAPuerto(nombre, bytes, QStringLiteral("Ticket"), ImpresoraActual());
        if (!r.ok) falla(avisos, r.error, r.error);
        return r.ok;
    }
    // A queue without a driver cannot print a page: it gets the text as the printer reads it.
    const QString cola = colaActual();
    if (const print::Destino d = cola.isEmpty() ? print::Destino{} : print::ConsultaImpresora(cola);
        !d.nombre.isEmpty() && !d.puerto && d.toma == print::Toma::Bytes) {
        const print::Resultado r = d.disponible.ok
                                       ? print::EnviaTrabajoCrudo(cola, QStringLiteral("Ticket"), print::aCp850(texto))
                                       : d.disponible;
        if (!r.ok) falla(avisos, r.error, r.error);
        return r.ok;
    }
    return dibujaPagina(cola, texto, avisos);
}

bool ImprimeDirecto(const QString& documento, const QString& texto, ui::Prompts& avisos) {
    QString cola = ImpresoraActual();
    if (cola.isEmpty()) cola = print::ImpresoraPredeterminada();
    if (cola.isEmpty()) {
        falla(avisos, kSinImpresora, kSinImpresora);
        return false;
    }
    if (vaComoPagina(cola, texto)) return dibujaPagina(cola, texto, avisos);
    const print::Resultado r = print::EnviaTrabajoCrudo(cola, documento, print::aCp850(texto));
    if (!r.ok) falla(avisos, r.error, r.error);
    return r.ok;
}

QString UltimoFalloImpresion() { return ultimoFallo(); }

bool ImprimeConUnAviso(ui::Prompts& avisos, const std::function<bool(ui::Prompts&)>& imprime,
                       const std::function<QString(const QString& motivo)>& aviso, bool unoBasta) {
    AvisosRetenidos retenidos(avisos);
    ultimoFallo().clear();
    const bool ok = imprime(retenidos);
    if (ok) {
        for (const auto& m : retenidos.retenidos) avisos.message(m.texto, m.icono, m.titulo);
        return true;
    }
    QString motivo = ultimoFallo();
    if (motivo.isEmpty() && !retenidos.retenidos.isEmpty()) motivo = retenidos.retenidos.front().texto;
    // A print that ended on a message of its own with no sending path's reason ("No se encontró
    // datos del ticket 99") has said its failure: a second message would repeat it.
    if (unoBasta && motivo.isEmpty() && retenidos.dichos > 0) return false;
    if (const QString texto = aviso(MotivoBreve(motivo)); !texto.isEmpty()) avisos.message(texto, ui::Icon::Warning);
    return false;
}

bool ImprimeAvisando(ui::Prompts& avisos, const DocumentoImpreso& d, const std::function<bool(ui::Prompts&)>& imprime) {
    // A document just stored is always told as stored, with the way to print it again.
    return ImprimeConUnAviso(
        avisos, imprime, [&d](const QString& motivo) { return MensajeNoImpreso(d, motivo); }, d.grabado.isEmpty());
}
