#include "sale/cierre_ticket.h"
#include "sale/documentos.h"
#include "sale/esperaesc.h"
#include "sale/impresion_factura.h"
#include "sale/forms/cierre_venta.h"
#include "sale/forms/frmfacturar.h"
#include "sale/forms/frmventa.h"
#include "sale/recuperacion.h"
#include "sale/venta_factura.h"
#include "shell/avisos.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace venta {

frmFacturar* DialogoPago(frmVenta& forma)
{
    if (auto* d = forma.findChild<frmFacturar*>(QString(), Qt::FindDirectChildrenOnly))
        return d;
    frmVenta* f = &forma;
    auto saldo = [f](qint64 numero) -> std::optional<double> {
        db::Database* bd = f->base();
        if (!bd)
            return std::nullopt;
        db::Error e;
        auto s = SaldoNotaCredito(*bd, numero, &e);
        if (!s)
            shell::MuestraErrorBD(e);
        return s;
    };
    auto* d = new frmFacturar(forma.prompts(), saldo, &forma);
    QObject::connect(d, &frmFacturar::clienteCambiado, &forma,
                     [f](const QString& cliente) { f->ClienteVenta = cliente; });
    return d;
}

VentaEnPantalla VentaDePantalla(frmVenta& forma)
{
    VentaEnPantalla v;
    v.modo = forma.modo();
    v.clienteVenta = forma.ClienteVenta;
    v.clienteDocumento = forma.ClienteDocumento();
    for (const Linea& l : forma.lineas().lineas()) {
        v.ids.push_back(l.idLinea);
        v.nombres.push_back(l.nombre);
    }
    v.totales = forma.lineas().paraTotales();
    v.descuento = forma.PorcentajeDescuento();
    v.totalVenta = forma.TotalVenta;
    v.observacion = forma.ObservacionDocumento();
    return v;
}

namespace {

// The payment dialog prepared as the screen does before each close: its list is a copy of the
// screen's payment-form list (the catalogue's names when the screen has none).
void PreparaPagos(frmVenta& forma, frmFacturar& dialogo)
{
    std::vector<FormaPago> formas;
    if (forma.Combo1 && forma.Combo1->count() > 0) {
        for (int i = 0; i < forma.Combo1->count(); ++i)
            formas.push_back({forma.Combo1->itemData(i).toInt(), forma.Combo1->itemText(i)});
    } else if (db::Database* bd = forma.base()) {
        db::Error e;
        if (!CargaNombresFormaPago(*bd, G().NombresFormaPago, &e))
            shell::MuestraErrorBD(e);
        formas = ListaFormasPago(G().NombresFormaPago);
    }
    dialogo.PreparaPagos(formas);
}

template <typename Cierre>
void Cierra(frmVenta& forma, Cierre cierre)
{
    if (forma.Procesando)
        return;  // a close is already running: no second sale
    if (forma.Recuperado()) {
        // A recalled ticket or invoice is stored already: selling it would sell its lines twice.
        forma.prompts().message(TextoDocumentoSoloLectura(), ui::Icon::Warning);
        return;
    }
    if (!forma.AplicaDescuentoEscrito())
        return;  // the person was told; the discount they meant is not charged silently
    db::Database* bd = forma.base();
    if (!bd)
        return;
    frmFacturar* dialogo = DialogoPago(forma);
    PreparaPagos(forma, *dialogo);
    VentaEnPantalla venta = VentaDePantalla(forma);
    dialogo->txtcliente->setText(forma.ClienteVenta);

    sale::EsperaConEsc esc;
    AccionesCierre acciones;
    acciones.prompts = &forma.prompts();
    acciones.dialogoPago = [&] {
        const bool aceptado = dialogo->Muestra(venta.totalVenta > 0 ? venta.totalVenta : forma.TotalVenta);
        esc.reinicia();  // an Esc that closed a prompt of the dialog is not meant for the save
        venta.clienteVenta = forma.ClienteVenta;  // the dialog may have changed it
        return aceptado;
    };
    acciones.eligeCliente = [&forma] { forma.cmdCliente_Click(); };
    acciones.estado = [&forma](int panel, const QString& texto) { forma.PonEstadoVenta(panel, texto); };
    const std::vector<Linea> lineas = forma.lineas().lineas();
    const int iva = forma.IVAPantalla();
    acciones.agregaGenericos = [lineas, iva](db::Database& b, db::Error* e) {
        return CreaGenericos(b, lineas, iva, e);
    };
    acciones.espera = esc.espera([](const QString& texto) { shell::PonEstado(2, texto); });

    forma.Procesando = true;
    const ResultadoCierre r = cierre(*bd, venta, acciones);
    forma.Procesando = false;
    if (!r.guardado) {
        forma.ColocaMTeclas();
        return;
    }
    forma.NumeroDocumento = r.NumeroDocumento();
    forma.TipoDocumento = r.letra;
    forma.MarcaCabeceraGuardada(true);
    forma.cmdNuevo_Click();
    LimpiaPagoVenta();
}

}  // namespace

void Imprimir(frmVenta& forma)
{
    db::Database* bd = forma.base();
    if (!bd || forma.NumeroDocumento <= 0)
        return;
    if (forma.cmdNuevo)
        forma.cmdNuevo->setFocus();
    db::Error e;
    auto hay = bd->scalar(QStringLiteral("SELECT count(*) FROM Venta WHERE Numero = ? AND Tipo = ?"),
                          {forma.NumeroDocumento, forma.TipoDocumento}, &e);
    if (!hay) {
        shell::MuestraErrorBD(e);
        return;
    }
    if (hay->toLongLong() > 0)
        ImprimeTicket(forma.NumeroDocumento, forma.NumeroDocumento, {}, forma.prompts(), &forma,
                      forma.TipoDocumento == QStringLiteral("E") ? forma.TipoDocumento : QStringLiteral("F"));
}

void VenderPantalla(frmVenta& forma, int tipo)
{
    Cierra(forma, [&forma, tipo](db::Database& bd, VentaEnPantalla& venta, AccionesCierre& a) {
        // The invoice's total is worked out per invoice from the lines.
        venta.totalVenta = CalculaTotal(venta.totales, 0, 0, venta.descuento).total;
        forma.TotalVenta = venta.totalVenta;
        return VendeFactura(bd, venta, tipo, a);
    });
}

void TicketPantalla(frmVenta& forma)
{
    Cierra(forma, [](db::Database& bd, VentaEnPantalla& venta, AccionesCierre& a) {
        return Facturar(bd, venta, a);
    });
}

}  // namespace venta
