#include "sale/cierre_ticket.h"

#include "printing/ticketventa.h"
#include "sale/documentos.h"
#include "shell/estado.h"

namespace venta {

ResultadoCierre Facturar(db::Database& bd, const VentaEnPantalla& venta, AccionesCierre& acciones)
{
    ResultadoCierre r;
    ui::Prompts& avisos = acciones.prompts ? *acciones.prompts : ui::defaultPrompts();
    auto estado = [&](int panel, const QString& texto) {
        if (acciones.estado)
            acciones.estado(panel, texto);
    };
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
    if (g.PagosMultiples == 1 && acciones.dialogoPago) {
        g.FormaPagoSel[1] = 1;
        if (!acciones.dialogoPago())
            g.PagoAceptado = 0;
    } else {
        PagoSinDialogo(venta.totalVenta);
    }
    if (g.PagoAceptado == 0)
        return r;

    estado(2, QStringLiteral("Obteniendo # Fact..."));
    sale::PorGuardar guardar;
    guardar.Clase = sale::ClaseDocumento::Ticket;
    guardar.Encabezado = sale::EncabezadoDesdeEstado();
    guardar.Encabezado.Cliente = venta.clienteDocumento;
    guardar.Encabezado.Descuento = venta.descuento;
    guardar.Exis = sale::MovimientoExis::Salida;
    guardar.Documentos.push_back({venta.totalVenta, venta.ids});
    // Tickets are never queued: the print server does not print them.
    guardar.Solicitud = 0;

    const PagosVenta pagos{g.ImportesPago, g.FormaPagoSel, g.ReferenciasPago};
    const int usuario = g.ClaveUsuario;
    // Only a generic last line runs the generic-product step on a ticket.
    const bool genericos = g.GenAgregar == 1 && acciones.agregaGenericos && !venta.nombres.empty()
                           && venta.nombres.back().trimmed() == QLatin1String("VARIOS");
    bool fallaNota = false;
    guardar.Extra = [&](db::Database& b, const sale::Guardado&, db::Error* e) {
        if (genericos && !acciones.agregaGenericos(b, e))
            return false;
        if (!AplicaNotasCredito(b, pagos, usuario, e)) {
            fallaNota = true;
            return false;
        }
        return true;
    };
    estado(2, QStringLiteral("Actualizando..."));
    const sale::Guardado hecho = sale::GuardaDocumento(bd, guardar, acciones.espera);
    if (!hecho.ok) {
        estado(2, QString());
        if (fallaNota)
            avisos.message(hecho.error.message, ui::Icon::Critical);
        else
            avisos.message(MensajeSinFolio(QStringLiteral("Ocurrio"), hecho), ui::Icon::None);
        return r;
    }
    estado(2, QStringLiteral("Listo."));
    r.guardado = true;
    r.numeros = hecho.Numeros;
    r.letra = hecho.Letra;
    const qint64 numero = hecho.NumeroDocumento();
    r.rem = sale::TextoRem(guardar.Clase, g.PrefijoFact, numero);

    bool imprime = true;
    if (g.PreguntaCompVenta == 1)
        imprime = avisos.question(QStringLiteral("Desea imprimir el comprobante ?")) == ui::Answer::Yes;
    if (imprime) {
        const bool impreso = acciones.imprimeTicket ? acciones.imprimeTicket(numero)
                                                    : ImprimeTicketMan(numero, avisos);
        if (impreso)
            estado(3, QStringLiteral("T") + QString::number(numero) + QStringLiteral(" Impreso."));
    }
    return r;
}

}  // namespace venta
