#include "cash/forms/frmcortescaja.h"
#include "shell/rutinas_bd.h"

#include "capture_control/ccaptura.h"
#include "cash/corte_impresion.h"
#include "cash/forms/corte_modelo.h"
#include "cash/forms/frmmovcaja.h"
#include "cash/movimientos.h"
#include "platform/ui/prompts.h"
#include "printing/cajon.h"
#include "printing/envio.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/permisos.h"
#include "shell/texto.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace caja {

namespace {

constexpr int kEsperaMaximaMs = 30000;

QTableView* Grid(QWidget* padre, const char* nombre, ModeloFilas* modelo) {
    QTableView* g = shell::GridLectura(padre, QString::fromLatin1(nombre), modelo);
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
    return g;
}

QLabel* Etiqueta(QWidget* padre, const char* nombre) {
    auto* l = new QLabel(padre);
    l->setObjectName(QString::fromLatin1(nombre));
    return l;
}

}  // namespace

frmCortesCaja::frmCortesCaja(QWidget* parent, ui::Prompts* prompts) : QWidget(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("frmCortesCaja"));
    setWindowTitle(QStringLiteral("Cortes de Caja."));

    mVentas_ = new ModeloFilas(this);
    mDetalle_ = new ModeloFilas(this);
    mMovimientos_ = new ModeloFilas(this);
    mCortes_ = new ModeloFilas(this);

    auto* raiz = new QVBoxLayout(this);
    auto* arriba = new QHBoxLayout;
    chkMenores = new QCheckBox(QStringLiteral("Solo ventas de días anteriores"), this);
    chkMenores->setObjectName(QStringLiteral("chkMenores"));
    lblFechaH = Etiqueta(this, "lblFechaH");
    Label1 = Etiqueta(this, "Label1");
    arriba->addWidget(chkMenores);
    arriba->addStretch(1);
    arriba->addWidget(new QLabel(QStringLiteral("Hasta:"), this));
    arriba->addWidget(lblFechaH);
    arriba->addSpacing(12);
    arriba->addWidget(Label1);
    raiz->addLayout(arriba);

    SSTab1 = new QTabWidget(this);
    auto* pendiente = new QWidget(SSTab1);
    auto* g = new QGridLayout(pendiente);
    gridClientes = Grid(pendiente, "gridClientes", mVentas_);
    gridDetVentas = Grid(pendiente, "gridDetVentas", mDetalle_);
    gridMovimientos = Grid(pendiente, "gridMovimientos", mMovimientos_);
    g->addWidget(new QLabel(QStringLiteral("Ventas:"), pendiente), 0, 0);
    g->addWidget(new QLabel(QStringLiteral("Detalle de la venta:"), pendiente), 0, 1);
    g->addWidget(gridClientes, 1, 0);
    g->addWidget(gridDetVentas, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("Movimientos de caja:"), pendiente), 2, 0, 1, 2);
    g->addWidget(gridMovimientos, 3, 0, 1, 2);
    g->setRowStretch(1, 3);
    g->setRowStretch(3, 2);
    SSTab1->addTab(pendiente, QStringLiteral("Corte"));
    auto* pasados = new QWidget(SSTab1);
    auto* p = new QVBoxLayout(pasados);
    gridCortes = Grid(pasados, "gridCortes", mCortes_);
    p->addWidget(gridCortes);
    SSTab1->addTab(pasados, QStringLiteral("Cortes anteriores"));
    raiz->addWidget(SSTab1, 1);

    auto* totales = new QGridLayout;
    lblSumaVentas = Etiqueta(this, "lblSumaVentas");
    lblMovimientos = Etiqueta(this, "lblMovimientos");
    lblimporteCORTE = Etiqueta(this, "lblimporteCORTE");
    totales->addWidget(new QLabel(QStringLiteral("Suma de ventas:"), this), 0, 0);
    totales->addWidget(lblSumaVentas, 0, 1);
    totales->addWidget(new QLabel(QStringLiteral("Saldo de movimientos:"), this), 0, 2);
    totales->addWidget(lblMovimientos, 0, 3);
    totales->addWidget(new QLabel(QStringLiteral("Saldo final del corte:"), this), 0, 4);
    totales->addWidget(lblimporteCORTE, 0, 5);
    raiz->addLayout(totales);

    capObservacion = kestril::CreaCampoCaptura(this, QStringLiteral("capObservacion"), QStringLiteral("Observación:"), 100);
    raiz->addWidget(capObservacion);

    auto* botones = new QHBoxLayout;
    cmdAgregar = new QPushButton(QStringLiteral("C&rear corte"), this);
    cmdAgregar->setToolTip(QStringLiteral("Agrega el corte de caja de las ventas y movimientos pendientes."));
    cmdAgregaMov = new QPushButton(QStringLiteral("Agregar &movimiento"), this);
    cmdCancelaMov = new QPushButton(QStringLiteral("Cancelar m&ovimiento"), this);
    cmdImprimir = new QPushButton(QStringLiteral("&Imprimir"), this);
    cmdCancelar = new QPushButton(QStringLiteral("&Cerrar"), this);
    for (QPushButton* b : {cmdAgregar, cmdAgregaMov, cmdCancelaMov, cmdImprimir, cmdCancelar}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    raiz->addLayout(botones);

    connect(chkMenores, &QCheckBox::clicked, this, &frmCortesCaja::chkMenores_Click);
    connect(cmdAgregar, &QPushButton::clicked, this, &frmCortesCaja::cmdAgregar_Click);
    connect(cmdAgregaMov, &QPushButton::clicked, this, &frmCortesCaja::cmdAgregaMov_Click);
    connect(cmdCancelaMov, &QPushButton::clicked, this, &frmCortesCaja::cmdCancelaMov_Click);
    connect(cmdImprimir, &QPushButton::clicked, this, &frmCortesCaja::cmdImprimir_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmCortesCaja::cmdCancelar_Click);
    connect(gridClientes->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual) { VentaElegida(actual.row()); });
    connect(gridCortes, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { AbreCortePasado(i.row()); });

    MuestraCortePendiente();
}

// The grids point into rows this form owns, which go before its child widgets do.
frmCortesCaja::~frmCortesCaja() {
    for (ModeloFilas* m : {mVentas_, mDetalle_, mMovimientos_, mCortes_}) m->Asigna(nullptr, {});
}

ui::Prompts& frmCortesCaja::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

db::LockWait frmCortesCaja::Espera() {
    db::LockWait w = esc_.espera([](const QString& t) { shell::PonEstado(2, t); });
    w.timeoutMs = kEsperaMaximaMs;
    return w;
}

void frmCortesCaja::MuestraCortePendiente() {
    IdCorteActual = 0;
    SSTab1->setCurrentIndex(0);
    for (QPushButton* b : {cmdAgregar, cmdAgregaMov, cmdCancelaMov}) b->setEnabled(true);
    CargaCorte();
}

bool frmCortesCaja::event(QEvent* e) {
    // Brought forward after other windows worked: what is pending may have changed meanwhile.
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) RecargaPendiente();
    return QWidget::event(e);
}

void frmCortesCaja::CargaCorte(bool conCortes) {
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    std::optional<CortePantalla> c;
    if (bd) c = caja::CargaCorte(*bd, IdCorteActual, chkMenores->isChecked(), QDate::currentDate(), &e);
    if (!c) {
        prompts().message(QStringLiteral("No se pudo leer el corte de caja: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
        c = CortePantalla{};
        c->idCorte = IdCorteActual;
        c->fechaHasta = QDateTime::currentDateTime();
    }
    // The grids point into the rows: they let go before the rows are replaced.
    mVentas_->Asigna(nullptr, {});
    mMovimientos_->Asigna(nullptr, {});
    mDetalle_->Asigna(nullptr, {});
    detalle_.clear();  // the lines of a sale the new list may no longer hold
    corte_ = std::move(*c);
    FechaHastaCorte = corte_.fechaHasta;
    lblFechaH->setText(FechaHoraPantalla(FechaHastaCorte));
    FormatoGridVentas();
    FormatoGridMovimientos();
    lblSumaVentas->setText(FormatoVentasCorte(corte_.ventasCentavos));
    lblMovimientos->setText(FormatoMovimientosCorte(corte_.movimientosCentavos));
    CalculaSaldoFinal();
    if (conCortes && IdCorteActual == 0) CargaCortes();
    if (!corte_.ventas.empty()) {
        gridClientes->setCurrentIndex(mVentas_->index(0, 0));
        shell::AjustaColumnasGrid(gridClientes, qint64(corte_.ventas.size()));
    } else {
        FormatoGridDetalle();
    }
    if (!corte_.movimientos.empty()) gridMovimientos->setCurrentIndex(mMovimientos_->index(0, 0));
}

void frmCortesCaja::CargaCortes() {
    mCortes_->Asigna(nullptr, {});
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    std::optional<db::Rows> r;
    if (bd) r = caja::CargaCortes(*bd, shell::TienePermiso(45, false), &e);
    if (!r) prompts().message(QStringLiteral("No se pudieron leer los cortes: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
    cortes_ = r ? std::move(*r) : db::Rows{};
    FormatoGridCortes();
}

namespace {
const QString kImporte = QStringLiteral("#,###,###0.00");
const QString kFechaHora = QStringLiteral("yyyy/MM/dd HH:mm:ss");
}  // namespace

void frmCortesCaja::FormatoGridVentas() {
    const QString fecha = QStringLiteral("dd/MM/yyyy HH:mm:ss");
    mVentas_->Asigna(&corte_.ventas, {{QStringLiteral("Fecha"), 2500, fecha, QStringLiteral("Fecha")},
                                      {QStringLiteral("IdNumero"), 900, {}, QStringLiteral("Número")},
                                      {QStringLiteral("Tipo"), 900, {}, QStringLiteral("Tipo"), shell::NombreTipoDocumento},
                                      {QStringLiteral("Total"), 1500, kImporte, QStringLiteral("Total")}});
    mVentas_->FormatoGrid(gridClientes);
    Label1->setText(QStringLiteral("Ventas del corte: ") + QString::number(corte_.ventas.size()));
}

void frmCortesCaja::FormatoGridDetalle() {
    mDetalle_->Asigna(&detalle_, {{QStringLiteral("Nombre"), 0, {}, QStringLiteral("Producto")},
                                  {QStringLiteral("Descripcion"), 3100, {}, QStringLiteral("Descripción")},
                                  {QStringLiteral("Cantidad"), 900, {}, QStringLiteral("Cantidad")},
                                  {QStringLiteral("PrecioUnit"), 1000, kImporte, QStringLiteral("Precio")},
                                  {QStringLiteral("Importe"), 1500, kImporte, QStringLiteral("Importe")}});
    mDetalle_->FormatoGrid(gridDetVentas);
}

void frmCortesCaja::FormatoGridMovimientos() {
    mMovimientos_->Asigna(&corte_.movimientos, {{QStringLiteral("TipoMov"), 1050, {}, QStringLiteral("Movimiento")},
                                                {QStringLiteral("FechaMov"), 1700, kFechaHora, QStringLiteral("Fecha")},
                                                {QStringLiteral("ImporteMov"), 900, kImporte, QStringLiteral("Importe")},
                                                {QStringLiteral("DescripcionMov"), 2500, {}, QStringLiteral("Descripción")},
                                                {QStringLiteral("NombreUsuario"), 1050, {}, QStringLiteral("Usuario")}});
    mMovimientos_->FormatoGrid(gridMovimientos);
}

void frmCortesCaja::FormatoGridCortes() {
    mCortes_->Asigna(&cortes_, {{QStringLiteral("IdCorte"), 550, {}, QStringLiteral("Corte")},
                                {QStringLiteral("FechaCorte"), 1650, kFechaHora, QStringLiteral("Fecha")},
                                {QStringLiteral("ImporteCorte"), 950, kImporte, QStringLiteral("Importe")},
                                {QStringLiteral("ObsCorte"), 2500, {}, QStringLiteral("Observación")},
                                {QStringLiteral("NombreUsuario"), 1050, {}, QStringLiteral("Usuario")}});
    mCortes_->FormatoGrid(gridCortes);
}

void frmCortesCaja::CalculaSaldoFinal() {
    SaldoFinalCorte = corte_.finalCentavos();
    lblimporteCORTE->setText(FormatoVentasCorte(SaldoFinalCorte));
}

void frmCortesCaja::VentaElegida(int fila) {
    const db::Row* f = mVentas_->Fila(fila);
    if (!f) return;
    MuestraDetalleVenta(f->integer(QStringLiteral("IdNumero")), f->text(QStringLiteral("Tipo")));
}

void frmCortesCaja::MuestraDetalleVenta(qint64 numero, const QString& tipo) {
    mDetalle_->Asigna(nullptr, {});
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    std::optional<db::Rows> r;
    if (bd) r = DetalleVentaCorte(*bd, numero, tipo, &e);
    detalle_ = r ? std::move(*r) : db::Rows{};
    FormatoGridDetalle();
    if (!r) prompts().message(QStringLiteral("No se pudo leer el detalle de la venta: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
    else if (detalle_.empty()) prompts().message(QStringLiteral("No se encontraron detalles para esta venta."));
}

void frmCortesCaja::chkMenores_Click() { CargaCorte(false); }

bool frmCortesCaja::RecargaPendiente() {
    if (creando_ || IdCorteActual != 0) return true;
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    if (!bd) return true;  // told when the cut is read or created
    const auto ahora = caja::CargaCorte(*bd, 0, chkMenores->isChecked(), QDate::currentDate(), &e);
    if (!ahora || ahora->MismosPendientes(corte_)) return true;
    CargaCorte();
    return false;
}

void frmCortesCaja::cmdAgregar_Click() {
    // A second press while the question is open must not make a second cut.
    if (creando_ || IdCorteActual != 0) return;
    // The person decides on what he sees: when another terminal changed it, he sees it first.
    if (!RecargaPendiente() && corte_.HayPendientes()) {
        prompts().message(MensajeCambiado(), ui::Icon::Warning);
        return;
    }
    if (!corte_.HayPendientes()) {
        prompts().message(QStringLiteral("No hay ventas ni movimientos pendientes de corte."), ui::Icon::Information);
        return;
    }
    if (capObservacion->Text().trimmed().isEmpty()) {
        prompts().message(QStringLiteral("La observación esta en blanco."), ui::Icon::Information);
        return;
    }
    if (!shell::PuedeEscribir(QStringLiteral("mCortesCaja"), prompts())) return;
    creando_ = true;
    const ui::Answer a = prompts().question(
        QStringLiteral("Desea agregar el corte de caja para las ventas y movimientos pendientes ?"));
    if (a != ui::Answer::Yes) {
        creando_ = false;
        return;
    }
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    if (!bd) {
        creando_ = false;
        prompts().message(QStringLiteral("No se pudo abrir la base de datos de la sucursal: ") + shell::TextoErrorBD(e),
                          ui::Icon::Critical);
        return;
    }
    const ResultadoCorte r = CreaCorte(*bd, corte_, capObservacion->Text(), G().ClaveUsuario, Espera());
    if (r.estado != ResultadoCorte::Creado) {
        creando_ = false;
        if (!r.mensaje.isEmpty())
            prompts().message(r.mensaje, r.estado == ResultadoCorte::Cambiado ? ui::Icon::Warning : ui::Icon::Critical);
        if (r.estado == ResultadoCorte::Cambiado) MuestraCortePendiente();
        return;
    }
    IdCorteNuevo = r.idCorte;
    IdCorteActual = IdCorteNuevo;
    bool impreso = true;
    if (prompts().question(QStringLiteral("Desea IMPRIMIR el corte de caja ?")) == ui::Answer::Yes)
        impreso = ImprimeCorte();
    // The drawer opens whether the cut was printed or not; a printer that has just failed is not
    // reported a second time for the pulse.
    if (impreso) AbreCajonAvisando(prompts());
    else ImprimeConUnAviso(prompts(), [](ui::Prompts& p) { return AbreCajon(false, p); }, [](const QString&) { return QString(); });
    capObservacion->setText(QString());
    creando_ = false;
    MuestraCortePendiente();
}

void frmCortesCaja::cmdAgregaMov_Click() {
    // The movements window is the cash movements item's: without its grant the person is told so.
    if (!shell::PuedeEscribir(QStringLiteral("mCajonDinero"), prompts())) return;
    MuestraMovCajaModal(this, [this] { MuestraCortePendiente(); });
}

void frmCortesCaja::cmdCancelaMov_Click() {
    if (IdCorteActual != 0) return;
    const QModelIndex i = gridMovimientos->currentIndex();
    const db::Row* f = i.isValid() ? mMovimientos_->Fila(i.row()) : nullptr;
    if (!f) return;
    const QString pregunta = PreguntaCancelaMovimiento(f->text(QStringLiteral("DescripcionMov")),
                                                       f->real(QStringLiteral("ImporteMov")));
    const qint64 id = f->integer(QStringLiteral("IdMovimiento"));
    // What can never be cancelled is said before anything is asked.
    if (const QString no = MotivoNoCancelable(f->text(QStringLiteral("DescripcionMov"))); !no.isEmpty()) {
        prompts().message(no, ui::Icon::Information);
        return;
    }
    if (!shell::PuedeEscribir(QStringLiteral("mCortesCaja"), prompts())) return;
    if (prompts().question(pregunta) != ui::Answer::Yes) return;
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    QString mensaje;
    if (!bd) mensaje = QStringLiteral("No se pudo abrir la base de datos de la sucursal: ") + shell::TextoErrorBD(e);
    else CancelaMovimiento(*bd, id, Espera(), &mensaje);
    if (!mensaje.isEmpty()) prompts().message(mensaje, ui::Icon::Warning);
    MuestraCortePendiente();
}

void frmCortesCaja::cmdImprimir_Click() { ImprimeCorte(); }

bool frmCortesCaja::ImprimeCorte() {
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    std::optional<CorteImpreso> c;
    if (bd && IdCorteActual == 0) {
        // The pending cut prints what the screen shows.
        c = CorteImpreso{0, corte_.ventasCentavos, corte_.movimientosCentavos, SaldoFinalCorte,
                         QDateTime::currentDateTime()};
    } else if (bd) {
        // A stored cut prints its own figures, whatever the screen holds.
        c = FigurasCorteGuardado(*bd, IdCorteActual, &e);
    }
    if (!c) {
        prompts().message(QStringLiteral("No se pudo leer el corte para imprimirlo: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
        return false;
    }
    return caja::ImprimeCorte(*bd, *c, prompts());
}

void frmCortesCaja::cmdCancelar_Click() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->close();
    else close();
}

void frmCortesCaja::AbreCortePasado(int fila) {
    const db::Row* f = mCortes_->Fila(fila);
    if (!f) return;
    IdCorteActual = f->integer(QStringLiteral("IdCorte"));
    cmdAgregar->setEnabled(false);
    cmdAgregaMov->setEnabled(false);
    cmdCancelaMov->setEnabled(false);
    SSTab1->setCurrentIndex(0);
    CargaCorte();
}

frmCortesCaja* AbreCortesCaja(shell::MIDI* midi) {
    auto* forma = shell::Forma<frmCortesCaja>();
    // The menu item is for the pending cut: a past cut left on screen gives way to it.
    if (forma->IdCorteActual != 0) forma->MuestraCortePendiente();
    else forma->RecargaPendiente();
    if (midi) {
        QMdiSubWindow* sub = midi->MuestraEnMDI(forma);
        midi->areaMDI()->setActiveSubWindow(sub);
    } else {
        forma->show();
        forma->activateWindow();
    }
    return forma;
}

}  // namespace caja
