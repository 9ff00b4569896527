// The sale screen's save button outside the sale mode (credit note, credit sale, inventory entry and
// exit, quotation print) and its recall button. The decisions and the writes are in the logic of
// sale/ (nota_credito, venta_credito, inventario_es, recuperacion); this file hands them the
// screen's values and shows the outcome.

#include "shell/rutinas_bd.h"
#include "capture_control/ccaptura.h"
#include "sale/esperaesc.h"
#include "sale/forms/frmfacturar.h"
#include "sale/forms/frmventa.h"
#include "sale/impresion_factura.h"
#include "sale/inventario_es.h"
#include "sale/nota_credito.h"
#include "sale/recuperacion.h"
#include "sale/documentos.h"
#include "sale/totales.h"
#include "shell/texto.h"
#include "sale/venta_credito.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/midi.h"
#include "shell/utilidades_menu.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>

namespace venta {

namespace {

std::vector<qint64> IdsLineas(LineasVenta& lineas) {
    std::vector<qint64> ids;
    for (const Linea& l : lineas.lineas()) ids.push_back(l.idLinea);
    return ids;
}

void EstadoEspera(const QString& texto) { shell::PonEstado(2, texto); }

}  // namespace

void frmVenta::CierraPantalla() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void frmVenta::GuardaNotaCredito() {
    NumeroDocumento = -1;
    db::Database* bd = base();
    if (!bd) return;
    DatosNotaCredito d;
    d.ClienteVenta = ClienteVenta;
    d.ClienteDocumento = clienteDocumento_;
    d.lineas = IdsLineas(lineas_);
    d.Descuento = descuentoAceptado_;
    d.Total = TotalVenta;
    d.Empleado = G().ClaveUsuario;
    d.Terminal = G().TerminalActual;
    d.IVAP = G().PorcentajeIVA;
    d.Solicitud = G().FacturaE ? 9 : 0;  // the electronic note goes to the print server
    sale::EsperaConEsc esc;
    const ResultadoNota r = venta::GuardaNotaCredito(*bd, d, prompts(), esc.espera(EstadoEspera));
    NumeroDocumento = r.NumeroDocumento;
    if (r.falla == FallaNota::SinCliente) cmdCliente_Click();
}

void frmVenta::ImprimeNCredito() {
    DestinoImpresion destino;  // a report window
    venta::ImprimeNCredito(NumeroDocumento, destino, prompts());
}

void frmVenta::GuardaVCredito() {
    NumeroDocumento = -1;
    db::Database* bd = base();
    db::Error e;
    db::Database* central = shell::BDCodigos(&e);
    if (!bd || !central) {
        if (!central) prompts().message(shell::TextoErrorBD(e), ui::Icon::Critical);
        return;
    }
    DatosVentaCredito d;
    d.lineas = IdsLineas(lineas_);
    // Without the payment dialog the sale has the default payment form (code 1); the dialog's
    // first entry is no payment form at all.
    d.FormaPago = G().FormaPagoSel[1] != 0 ? G().FormaPagoSel[1] : 1;
    if (auto* dialogo = findChild<frmFacturar*>(QString(), Qt::FindDirectChildrenOnly);
        dialogo && dialogo->Combo1->currentIndex() == 0)
        d.FormaPago = 0;
    d.AvalDocumento = avalDocumento_;
    d.ClienteVenta = ClienteVenta;
    d.ClienteDocumento = clienteDocumento_;
    d.Descuento = descuentoAceptado_;
    d.Total = TotalVenta;
    d.Empleado = G().ClaveUsuario;
    d.Terminal = G().TerminalActual;
    d.IVAP = G().PorcentajeIVA;
    Procesando = true;
    shell::PonEstado(2, QStringLiteral("Obteniendo # Fact..."));
    sale::EsperaConEsc esc;
    const ResultadoVC r = venta::GuardaVCredito(*bd, *central, d, prompts(), esc.espera(EstadoEspera));
    Procesando = false;
    NumeroDocumento = r.NumeroDocumento;
    switch (r.falla) {
    case FallaVC::SinFormaPago:
        if (cmdFacturar->isEnabled()) cmdFacturar->setFocus();
        break;
    case FallaVC::SinAval: capCodigoBarras->SetFocus(); break;
    case FallaVC::SinCliente: cmdCliente->setFocus(); break;
    default: break;
    }
}

void frmVenta::GuardatodoESInv(int& signo, bool& imprimir) {
    NumeroDocumento = -1;
    db::Database* bd = base();
    if (!bd) return;
    DatosESInv d;
    d.lineas = IdsLineas(lineas_);
    d.signo = signo;
    d.imprimir = imprimir;
    d.TextoES = TextoES;
    d.SucursalTraspaso = SucursalTraspaso;
    d.SucursalActual = G().SucursalActual;
    d.Usuario = G().ClaveUsuario;
    d.SumarInventario = sumarInventario_;
    if (EsTraspaso) d.traspaso = DatosESInv::DatosTraspaso{G().SucursalActual, SucursalTraspaso, signo < 0 ? 3 : 4, {}};
    sale::EsperaConEsc esc;
    NumeroDocumento = venta::GuardatodoESInv(*bd, d, prompts(), esc.espera(EstadoEspera));
    if (NumeroDocumento == -1) return;
    cabeceraGuardada_ = true;
    OlvidaLineasGuardadas();
    cmdNuevo->setEnabled(false);
    cmdActInv->setEnabled(false);
}

void frmVenta::OlvidaLineasGuardadas() {
    lineas_.nuevo();
    modeloLineas_->refresca();
    ActualizaTotales();  // the totals go with the lines, when the screen stays open for more
}

void frmVenta::TerminaRecuperacion() {
    if (!recuperado_) return;
    recuperado_ = false;
    const auto& a = activosAntesRecuperar_;
    cmdFacturar->setEnabled(a[0]);
    cmdFacturaE->setEnabled(a[1]);
    cmdTicket->setEnabled(a[2]);
    cmdBorrarP->setEnabled(a[3]);
    capDescuento->setEnabled(a[4]);
    capCodigoBarras->setEnabled(a[5]);
}

void frmVenta::cmdActInv_Click() {
    if (Procesando) return;
    if (!AplicaDescuentoEscrito()) return;
    if (modo_ == QLatin1String("VC")) {
        GuardaVCredito();
        if (NumeroDocumento != -1) {
            OlvidaLineasGuardadas();
            prompts().message(QString::fromUtf8("La venta a crédito se guardo exitosamente."));
        }
    } else if (modo_ == QLatin1String("E")) {
        TextoES = prompts().input(
            QString::fromUtf8("Teclee la descripción para guardar la Entrada/Salida de inventario "
                              "(150 carac. maximo)"),
            QStringLiteral("Entrada/Salida de inventario."), QStringLiteral("Descripcion."));
        if (TextoES.isEmpty()) return;
        int signo = 1;
        bool imprimir = true;
        GuardatodoESInv(signo, imprimir);
        // A failed save keeps the screen and its lines so the person can try again.
        if (NumeroDocumento != -1) CierraPantalla();
    } else if (modo_ == QLatin1String("N")) {
        GuardaNotaCredito();
        if (NumeroDocumento == -1) return;
        cabeceraGuardada_ = true;
        OlvidaLineasGuardadas();
        prompts().message(QString::fromUtf8("La nota de crédito se guardó exitosamente."));
        const qint64 numero = NumeroDocumento;
        ui::Prompts& avisos = prompts();
        CierraPantalla();
        venta::ImprimeNCredito(numero, DestinoImpresion{}, avisos);
    } else if (modo_ == QLatin1String("C")) {
        // What the printout says is what is stored: a recall brings the quotation back whole.
        if (db::Database* bd = base()) {
            sale::DatosEncabezado datos;
            datos.Cliente = clienteDocumento_;
            datos.Descuento = shell::Val(descuentoAceptado_);
            datos.Total = venta::CalculaTotal(lineas_.paraTotales(), 0, 0, datos.Descuento).total;
            datos.Observacion = observacionDocumento_;
            sale::EsperaConEsc esc;
            db::Error e;
            if (!sale::GuardaCotizacion(*bd, NumeroDocumento, datos, esc.espera(EstadoEspera), &e)) {
                prompts().message(QString::fromUtf8("No se guardó la cotización: ") + shell::TextoErrorBD(e),
                                  ui::Icon::Critical);
                return;
            }
        }
        venta::ImprimeCotizacion(NumeroDocumento, descuentoAceptado_, DestinoImpresion{}, prompts());
    }
}

void frmVenta::cmdBuscar_Click() {
    const PeticionRecuperar p = PideRecuperar(prompts(), G().ParTickets);
    db::Database* bd = base();
    switch (p.accion) {
    case AccionRecuperar::Nada:
    case AccionRecuperar::TipoNoValido: return;
    case AccionRecuperar::TicketsBloqueados: cmdFacturar->setEnabled(false); return;
    default: break;
    }
    if (!bd) return;
    db::Error e;
    const auto doc = leerfactura(*bd, p.numero, p.tipo, &e);
    if (!doc) {
        prompts().message(shell::TextoErrorBD(e), ui::Icon::Warning);
        return;
    }
    const bool cotizacion = p.accion == AccionRecuperar::Cotizacion;
    if (cotizacion && (!doc->encontrado || doc->lineas.isEmpty())) {
        // Nothing to sell: the screen keeps what it had.
        prompts().message(QStringLiteral("No se encontraron datos."), ui::Icon::None);
        return;
    }
    if (!cotizacion) {
        // A stored ticket or invoice is shown only: selling its lines again would sell them twice.
        if (!recuperado_)
            activosAntesRecuperar_ = {cmdFacturar->isEnabled(), cmdFacturaE->isEnabled(),
                                      cmdTicket->isEnabled(),   cmdBorrarP->isEnabled(),
                                      capDescuento->isEnabled(), capCodigoBarras->Enabled()};
        cmdFacturar->setEnabled(false);
        cmdFacturaE->setEnabled(false);
        cmdTicket->setEnabled(false);
        recuperado_ = true;
        if (!doc->encontrado) {
            prompts().message(QStringLiteral("No se encontraron datos."), ui::Icon::None);
            return;
        }
    }
    // The stored lines are shown, never deleted by this screen: a quotation's lines change only
    // when a sale of them stamps them with the sale's number.
    lineas_.nuevo();
    lineas_.adoptaGuardadas(doc->lineas);
    if (!lineas_.recarga(&e)) {
        modeloLineas_->refresca();
        prompts().message(QStringLiteral("Error al leer el documento: ") + shell::TextoErrorBD(e),
                          ui::Icon::Warning);
        return;
    }
    modeloLineas_->refresca();
    PonDescuento(doc->encabezado.real(QStringLiteral("Descuento")));
    if (cotizacion) {
        FormatoGrid();
        txtTotal->setText(CalculaTotal(0, 0));
        return;
    }
    cabeceraGuardada_ = true;
    lblCliente->setText(doc->encabezado.text(QStringLiteral("Nombre")));
    txtTotal->setText(CalculaTotal(0, 0));
    lblCProductos->setText(QString::number(cantidadProductos_) + QStringLiteral(" Productos."));
    if (modo_ == QLatin1String("E"))
        FormatoGridES();
    else
        FormatoGrid();
    cmdBorrarP->setEnabled(false);
    capDescuento->setEnabled(false);
    capCodigoBarras->setEnabled(false);
}

void ConectaUtilidadesMenu(shell::MIDI* midi) {
    if (!midi) return;
    InstalaReimpresion();
    midi->AsignaAccion(QStringLiteral("EFolioF"), [] {
        sale::EsperaConEsc esc;
        shell::EFolioF(ui::defaultPrompts(), esc.espera(EstadoEspera));
    });
    midi->AsignaAccion(QStringLiteral("RFactura"), [] { shell::RFactura_Click(ui::defaultPrompts()); });
    midi->AsignaAccion(QStringLiteral("openFactE"), [] { shell::openFactE(ui::defaultPrompts()); });
}

}  // namespace venta
