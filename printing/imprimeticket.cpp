#include "printing/envio.h"
#include "printing/textoticket.h"
#include "printing/ticketventa.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"

bool ImprimeTicketMan(qint64 numero, ui::Prompts& avisos, bool* clienteIdentificado) {
    EstadoGlobal& g = G();
    LimpiaTextoTicket();
    if (!g.Printer3.isEmpty()) {
        IniciaPrint();
        if (!g.PuertoTicket.isEmpty()) g.PuertoImpresora = g.PuertoTicket;
    }

    db::Error errorBd;
    db::Database* bd = shell::BDSucursal(&errorBd);
    if (!bd) {
        avisos.message(QStringLiteral("No se pudo abrir la base de datos de la sucursal: ") + shell::TextoErrorBD(errorBd),
                       ui::Icon::Critical);
        return false;
    }
    QString error;
    const auto datos = LeeTicketVenta(*bd, numero, &error);
    if (!datos) {
        avisos.message(QStringLiteral("No se pudo leer el ticket: ") + error, ui::Icon::Critical);
        return false;
    }
    if (datos->lineas.empty()) {
        avisos.message(QStringLiteral("No se encontró datos del ticket ") + QString::number(numero));
        return false;
    }
    if (clienteIdentificado) *clienteIdentificado = datos->Cliente.size() >= 12;

    return ImprimeTicketVenta(*datos, avisos);
}

QString MensajeTicketSinImprimir(qint64 numero, const QString& motivo, bool recienGuardado) {
    const QString causa = motivo.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + motivo + QStringLiteral(".");
    if (!recienGuardado) return QStringLiteral("El ticket %1 no se imprimió").arg(numero) + causa;
    return QStringLiteral("El ticket %1 quedó grabado, pero no se imprimió").arg(numero) + causa +
           QStringLiteral(" Reimprímalo con Reimprimir factura (T%1).").arg(numero);
}

bool ImprimeTicketAvisando(qint64 numero, ui::Prompts& avisos, bool recienGuardado,
                           const std::function<bool(ui::Prompts&)>& imprime) {
    return ImprimeConUnAviso(
        avisos, [&](ui::Prompts& p) { return imprime ? imprime(p) : ImprimeTicketMan(numero, p); },
        [&](const QString& motivo) { return MensajeTicketSinImprimir(numero, motivo, recienGuardado); });
}
