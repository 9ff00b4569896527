#include "sale/cierre_ticket.h"

#include "printing/ticketventa.h"
#include "sale/documentos.h"
#include "shell/estado.h"

namespace venta {

ResultadoCierre Facturar(db::Database& bd, const VentaEnPantalla& venta, AccionesCierre& acciones)
{
    ResultadoCierre r;
    ui::Prompts& avisos = acciones.avisos();
    EstadoGlobal& g = G();
    if (venta.modo != QLatin1String("F"))
        return r;
    if (venta.ids.empty()) {
        avisos.message(QStringLiteral("No hay ningún producto en la lista."), ui::Icon::Critical);
        return r;
    }
    if (venta.clienteVenta.isEmpty()) {
        avisos.message(QStringLiteral("No ha definido cliente."), ui::Icon::None);
        if (acciones.eligeCliente)
            acciones.eligeCliente();
        return r;
    }
    if (!CobraVenta(venta.totalVenta, acciones))
        return r;

    // The notice of the previous ticket does not describe this one (it may not print at all).
    acciones.muestraEstado(3, QString());
    acciones.muestraEstado(2, QStringLiteral("Obteniendo # Fact..."));
    sale::PorGuardar guardar;
    guardar.Clase = sale::ClaseDocumento::Ticket;
    guardar.Encabezado = sale::EncabezadoDesdeEstado();
    guardar.Encabezado.Cliente = venta.clienteDocumento;
    guardar.Encabezado.Descuento = venta.descuento;
    guardar.Exis = sale::MovimientoExis::Salida;
    guardar.Documentos.push_back({venta.totalVenta, venta.ids});
    // Tickets are never queued: the print server does not print them.
    guardar.Solicitud = 0;

    // Only a generic last line runs the generic-product step on a ticket.
    const bool genericos = g.GenAgregar == 1 && !venta.nombres.empty()
                           && venta.nombres.back().trimmed() == QLatin1String("VARIOS");
    const sale::Guardado hecho = GuardaCierre(bd, guardar, genericos, QStringLiteral("Ocurrio"),
                                              acciones, r);
    if (!hecho.ok)
        return r;
    const qint64 numero = hecho.NumeroDocumento();
    r.rem = sale::TextoRem(guardar.Clase, g.PrefijoFact, numero);

    bool imprime = true;
    if (g.PreguntaCompVenta == 1)
        imprime = avisos.question(QStringLiteral("Desea imprimir el comprobante ?")) == ui::Answer::Yes;
    if (imprime) {
        // The ticket is stored whatever the printer does: a failure says so once, with the way to
        // reprint it, and the status bar never calls it printed.
        std::function<bool(ui::Prompts&)> imprimeTicket;
        if (acciones.imprimeTicket)
            imprimeTicket = [&](ui::Prompts&) { return acciones.imprimeTicket(numero); };
        const bool impreso = ImprimeTicketAvisando(numero, avisos, true, imprimeTicket);
        acciones.muestraEstado(3, QStringLiteral("T") + QString::number(numero)
                                      + (impreso ? QStringLiteral(" Impreso.")
                                                 : QStringLiteral(" grabado, no se imprimió.")));
    }
    return r;
}

}  // namespace venta
