#include "printing/cajon.h"

#include "platform/print/codepage850.h"
#include "platform/print/impresoras.h"
#include "platform/print/salida.h"
#include "printing/envio.h"
#include "printing/impresoraticket.h"
#include "printing/textoticket.h"
#include "shell/estado.h"

namespace {

const QString kCajonDesactivado = QStringLiteral("pulso cajon desact");

DocumentoImpreso cajon() {
    DocumentoImpreso d;
    d.falla = QStringLiteral("No se abrió el cajón");
    return d;
}

// A pulse that did not go, told as the drawer's failure.
bool avisaPulso(const print::Resultado& r, ui::Prompts& avisos) {
    if (!r.ok) avisos.message(MensajeNoImpreso(cajon(), r.error), ui::Icon::Warning);
    return r.ok;
}

bool cajonActivo() { return G().OpenCDrawer == 1; }

// Initialise code and drawer code of the branch's code set, with the ticket printer made current.
QString pulso() {
    QString puerto, driver;
    if (ObtenerDatosImpresora(G().Printer3, puerto, driver)) G().PuertoTicket = puerto;
    EstableceCodigosPTicket(G().CodigosPTicket);
    return CodigosActuales().CodInicio + CodigosActuales().CodCajon;
}

}  // namespace

bool PulsoCajon(ui::Prompts& avisos, const QString& destino) {
    if (destino.isEmpty()) return EnviaPorRutaTicket(pulso(), avisos, QStringLiteral("Ticket"), true);
    EstableceCodigosPTicket(G().CodigosPTicket);
    const QString texto = CodigosActuales().CodInicio + CodigosActuales().CodCajon;
    if (print::NombraPuerto(destino)) {
        QString puerto = destino;
        return ImprimeEnPuerto(texto, &puerto, true, avisos);
    }
    return avisaPulso(print::EnviaTrabajoCrudo(destino, QStringLiteral("Cajon"), print::aCp850(texto)), avisos);
}

bool AbreCajon(bool enTrabajo, ui::Prompts& avisos) {
    if (!cajonActivo()) {
        avisos.message(kCajonDesactivado);
        return enTrabajo && TerminaPrint(avisos);
    }
    if (!enTrabajo) return PulsoCajon(avisos);
    // The job may become a drawn page: the pulse follows it as bytes of its own.
    return TerminaPrint(avisos) && PulsoCajon(avisos);
}

bool EnviaPulsosdeCajon(ui::Prompts& avisos) {
    if (G().NTimesCajon <= 0) return true;
    if (!cajonActivo()) {
        avisos.message(kCajonDesactivado);
        return false;
    }
    for (int i = 0; i < G().NTimesCajon; ++i)
        if (!AbreCajon(false, avisos)) return false;
    return true;
}

bool SoloabreCajon(ui::Prompts& avisos) {
    QString puerto, driver;
    if (print::NombraPuerto(G().Printer3)) {
        puerto = G().Printer3;
    } else if (!G().Printer3.isEmpty() && !ObtenerDatosImpresora(G().Printer3, puerto, driver)) {
        avisos.message(QStringLiteral("No se encontró la impresora de tickets \"%1\". No se abrió el cajón.")
                           .arg(G().Printer3),
                       ui::Icon::Warning);
        return false;
    }
    if (puerto.isEmpty()) puerto = QStringLiteral("LPT1:");
    if (!cajonActivo()) {
        // Only the initialise code goes, as the port path always sends.
        EstableceCodigosPTicket(G().CodigosPTicket);
        return ImprimeEnPuerto(CodigosActuales().CodInicio, &puerto, true, avisos);
    }
    return PulsoCajon(avisos, puerto);
}

bool AbreCajonPorPuerto(const QString& puerto, ui::Prompts& avisos) {
    return avisaPulso(
        print::EnviaAPuerto(puerto, QByteArrayLiteral("\x1bP1"), QStringLiteral("Cajon"), ImpresoraActual()), avisos);
}

bool AbreCajonAvisando(ui::Prompts& avisos) {
    // The drawer switched off says so itself.
    if (!cajonActivo()) return AbreCajon(false, avisos);
    return ImprimeAvisando(avisos, cajon(), [](ui::Prompts& p) { return AbreCajon(false, p); });
}
