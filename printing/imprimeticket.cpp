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

namespace {
DocumentoImpreso ticket(qint64 numero, bool recienGuardado) {
    DocumentoImpreso d;
    d.documento = QStringLiteral("El ticket %1").arg(numero);
    if (recienGuardado) d.grabado = QStringLiteral("quedó grabado");
    d.reimpresion = QStringLiteral("Reimprímalo con Reimprimir factura (T%1).").arg(numero);
    return d;
}
}  // namespace

QString MensajeTicketSinImprimir(qint64 numero, const QString& motivo, bool recienGuardado) {
    return MensajeNoImpreso(ticket(numero, recienGuardado), motivo);
}

bool ImprimeTicketAvisando(qint64 numero, ui::Prompts& avisos, bool recienGuardado,
                           const std::function<bool(ui::Prompts&)>& imprime) {
    return ImprimeAvisando(avisos, ticket(numero, recienGuardado),
                           [&](ui::Prompts& p) { return imprime ? imprime(p) : ImprimeTicketMan(numero, p); });
}
