#include "sale/venta_factura.h"

#include "printing/ticketventa.h"
#include "sale/documentos.h"
#include "sale/genericos.h"
#include "sale/impresion_factura.h"
#include "shell/estado.h"
#include "shell/sucursal.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QDateTime>

namespace venta {

namespace {

// The payment slots as the program-wide state holds them after the dialog (or without it).
PagosVenta PagosDeEstado()
{
    const EstadoGlobal& g = G();
    return PagosVenta{g.ImportesPago, g.FormaPagoSel, g.ReferenciasPago};
}

}  // namespace

bool CreaGenericos(db::Database& bd, const std::vector<Linea>& lineas, int iva, db::Error* error)
{
    for (const Linea& l : lineas)
        if (l.nombre == QLatin1String("VARIOS")
            && !CreaProducto(bd, l.descripcion2, l.observacion, l.precioUnit, iva, error))
            return false;
    return bd.runAction(QStringLiteral("ValidaExistencia"), {}, error)
           && bd.runAction(QStringLiteral("AsignaE0"), {}, error);
}

QString MensajeSinFolio(const QString& ocurrio, const sale::Guardado& hecho)
{
    // A busy file (the wait given up or cancelled) was the problem, not the number: say that.
    if (hecho.cancelado || hecho.error.kind == db::ErrorKind::Busy ||
        hecho.error.kind == db::ErrorKind::Cancelled)
        return hecho.error.message;
    QString texto = ocurrio + QStringLiteral(" un problema al obtener el numero de factura, "
                                             "reintentelo de nuevo.");
    if (!hecho.error.message.isEmpty())
        texto += QStringLiteral("\n") + hecho.error.message;
    return texto;
}

std::vector<std::pair<int, int>> VentanasFactura(int numLineas, int regxFactura)
{
    std::vector<std::pair<int, int>> ventanas;
    if (numLineas <= 0)
        return ventanas;
    const int tam = regxFactura > 0 ? regxFactura : numLineas;
    for (int desde = 0; desde < numLineas; desde += tam)
        ventanas.emplace_back(desde, std::min(desde + tam, numLineas) - 1);
    return ventanas;
}

void PagoSinDialogo(double total)
{
    EstadoGlobal& g = G();
    g.ImportesPago = {};
    g.FormaPagoSel = {};
    g.ReferenciasPago = {};
    g.FormaPagoSel[1] = 1;
    g.ImportesPago[1] = total;
    g.TipoPagoVenta = 1;
    g.PagoAceptado = 1;
    g.ImporteRecibido = QString::number(shell::Centavos(total) / 100.0, 'g', 15);
}

bool CobraVenta(double total, AccionesCierre& acciones)
{
    EstadoGlobal& g = G();
    if (g.PagosMultiples == 1 && acciones.dialogoPago) {
        g.FormaPagoSel[1] = 1;
        if (!acciones.dialogoPago())
            g.PagoAceptado = 0;
    } else {
        PagoSinDialogo(total);
    }
    return g.PagoAceptado != 0;
}

sale::Guardado GuardaCierre(db::Database& bd, sale::PorGuardar& guardar, bool genericos,
                            const QString& ocurrio, AccionesCierre& acciones, ResultadoCierre& r)
{
    ui::Prompts& avisos = acciones.avisos();
    const PagosVenta pagos = PagosDeEstado();
    const int usuario = G().ClaveUsuario;
    genericos = genericos && static_cast<bool>(acciones.agregaGenericos);
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
    acciones.muestraEstado(2, QStringLiteral("Actualizando..."));
    sale::Guardado hecho = sale::GuardaDocumento(bd, guardar, acciones.espera);
    guardar.Extra = nullptr;  // it refers to this frame
    if (!hecho.ok) {
        acciones.muestraEstado(2, QString());
        if (fallaNota)
            avisos.message(hecho.error.message, ui::Icon::Critical);
        else
            avisos.message(MensajeSinFolio(ocurrio, hecho), ui::Icon::None);
        return hecho;
    }
    acciones.muestraEstado(2, QStringLiteral("Listo."));
    r.guardado = true;
    r.numeros = hecho.Numeros;
    r.letra = hecho.Letra;
    return hecho;
}

void LimpiaPagoVenta()
{
    EstadoGlobal& g = G();
    g.VendedorVenta = 0;
    g.CondicionPagoSel = 0;
    g.ImporteRecibido = QStringLiteral("0");
    InitFormasdePago();
}

bool AplicaNotasCredito(db::Database& bd, const PagosVenta& pagos, int usuario, db::Error* error)
{
    auto falla = [error](const QString& texto) { return db::fail(error, db::ErrorKind::Other, texto); };
    for (size_t i = 0; i <= 3; ++i) {
        if (static_cast<int>(pagos.FormaPagoSel[i]) != PagoNotaCredito)
            continue;
        bool entero = false;
        const qint64 numero = pagos.ReferenciasPago[i].trimmed().toLongLong(&entero);
        const QString nota = shell::Formato(static_cast<double>(numero), QStringLiteral("00000"));
        // Only an open note is applied, and only once: another terminal may have used it since the
        // dialog read its balance.
        int filas = 0;
        if (!entero
            || !bd.exec(QStringLiteral("UPDATE NotaCredito SET Status = 2 WHERE Numero = ? AND Status = 1"),
                        {numero}, error, &filas))
            return entero ? false
                          : falla(QStringLiteral("La referencia de la nota de crédito no es un número: ")
                                  + pagos.ReferenciasPago[i]);
        if (filas != 1)
            return falla(QStringLiteral("La nota de crédito ") + nota
                         + QStringLiteral(" ya no está disponible (aplicada, cancelada o inexistente). "
                                          "La venta no se guardó."));
        db::Error movimiento;
        if (!shell::InsertaMovCajaCorte(bd, QDateTime::currentDateTime(), pagos.ImportesPago[i], 2,
                                        QStringLiteral("Aplicacion de Nota de crédito:") + nota, 1, 0,
                                        usuario, &movimiento)) {
            QString texto =
                QStringLiteral("No se pudo registrar el movimiento de caja de la nota de crédito ") + nota
                + QStringLiteral(". La venta no se guardó.");
            if (!movimiento.message.isEmpty())
                texto += QStringLiteral("\n") + movimiento.message;
            return falla(texto);
        }
    }
    return true;
}

ResultadoCierre VendeFactura(db::Database& bd, const VentaEnPantalla& venta, int tipo,
                             AccionesCierre& acciones)
{
    ResultadoCierre r;
    ui::Prompts& avisos = acciones.avisos();
    EstadoGlobal& g = G();
    if (!g.PermisosUsuario[52])
        return r;
    const int kind = tipo == sale::TipoFactura ? sale::TipoFactura : sale::TipoFacturaE;
    auto sinCliente = [&] {
        if (!venta.clienteVenta.isEmpty())
            return false;
        avisos.message(QStringLiteral("No ha definido cliente."), ui::Icon::None);
        if (acciones.eligeCliente)
            acciones.eligeCliente();
        return true;
    };
    auto sinLineas = [&] {
        if (!venta.ids.empty())
            return false;
        avisos.message(QStringLiteral("No hay ningún producto en la lista."), ui::Icon::Critical);
        return true;
    };
    if (sinCliente() || sinLineas())
        return r;

    const int n = static_cast<int>(venta.ids.size());
    if (venta.totales.size() != venta.ids.size()) {
        avisos.message(QStringLiteral("Las líneas de la venta cambiaron, vuelva a intentarlo."), ui::Icon::Critical);
        return r;
    }
    if (!CobraVenta(CalculaTotal(venta.totales, 0, 0, venta.descuento).total, acciones))
        return r;
    if (sinLineas() || sinCliente())
        return r;

    acciones.muestraEstado(2, QStringLiteral("Obteniendo # Fact..."));
    sale::PorGuardar guardar;
    guardar.Clase = sale::ClaseFactura(kind);
    guardar.Encabezado = sale::EncabezadoDesdeEstado();
    guardar.Encabezado.Cliente = venta.clienteDocumento;
    guardar.Encabezado.Descuento = venta.descuento;
    guardar.Encabezado.Observacion = venta.observacion;
    guardar.Exis = sale::MovimientoExis::Salida;
    guardar.Solicitud = g.UsarServidorImp != 0 ? kind : 0;
    for (const auto& [desde, hasta] : VentanasFactura(n, g.RegxFactura)) {
        sale::DocumentoPorGuardar d;
        const std::vector<LineaTotal> ventana(venta.totales.begin() + desde,
                                              venta.totales.begin() + hasta + 1);
        d.Total = CalculaTotal(ventana, 0, 0, venta.descuento).total;
        d.Lineas.assign(venta.ids.begin() + desde, venta.ids.begin() + hasta + 1);
        guardar.Documentos.push_back(std::move(d));
    }
    std::vector<double> partes;
    for (const sale::DocumentoPorGuardar& d : guardar.Documentos) partes.push_back(d.Total);
    partes = sale::TotalesPartes(partes, CalculaTotal(venta.totales, 0, 0, venta.descuento).total);
    for (size_t i = 0; i < partes.size(); ++i) guardar.Documentos[i].Total = partes[i];
    const sale::Guardado hecho = GuardaCierre(bd, guardar, g.GenAgregar == 1, QStringLiteral("Ocurrió"),
                                              acciones, r);
    if (!hecho.ok)
        return r;
    r.rem = sale::TextoRem(guardar.Clase, g.PrefijoFact, hecho.NumeroDocumento());

    // Queued documents wait for a server that is not there: the counter says so once.
    const QString sinServidor = shell::AvisoServidorImpresion();
    for (size_t i = 0; i < r.numeros.size(); ++i) {
        const qint64 numero = r.numeros[i];
        const bool ultimo = i + 1 == r.numeros.size();
        if (g.UsarServidorImp != 0) {
            avisos.message((ultimo ? QStringLiteral("El Docto ") : QStringLiteral("El docto "))
                               + QString::number(numero)
                               + QStringLiteral(" se imprimira en el servidor de impresión."),
                           ui::Icon::None);
            if (ultimo && !sinServidor.isEmpty())
                avisos.message(sinServidor, ui::Icon::Warning);
        } else if (acciones.imprimeFactura) {
            acciones.imprimeFactura(numero);
        } else {
            ImprimeFacturaGrabada(numero, r.letra.isEmpty() ? QStringLiteral("F") : r.letra, {}, avisos);
        }
    }
    return r;
}

}  // namespace venta
