#include "cash/forms/frmmovcaja.h"
#include "shell/rutinas_bd.h"

#include "capture_control/ccaptura.h"
#include "catalogs/forms/comun.h"
#include "cash/movimientos.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/ficha.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/permisos.h"
#include "shell/texto.h"

#include <QComboBox>

#include <algorithm>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace caja {

namespace {
const QString kAgregar = QStringLiteral("&Agregar Movto");
// A busy branch file is waited for this long at most (Esc gives up sooner).
constexpr int kEsperaMaximaMs = 30000;
}  // namespace

frmMovCaja::frmMovCaja(QWidget* parent, ui::Prompts* prompts) : QWidget(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("frmMovCaja"));
    setWindowTitle(QStringLiteral("Movimientos de Caja."));

    capMovimiento = kestril::CreaCampoCaptura(this, QStringLiteral("capMovimiento"), QStringLiteral("Movimiento:"), 10);
    capImporte = kestril::CreaCampoCaptura(this, QStringLiteral("capImporte"), QStringLiteral("Importe:"), 15);
    capDescripcion = kestril::CreaCampoCaptura(this, QStringLiteral("capDescripcion"), QStringLiteral("Descripción:"), 50);
    cmbTipoMov = new QComboBox(this);
    cmbTipoMov->setObjectName(QStringLiteral("cmbTipoMov"));
    for (int t = MovNoDefinido; t <= MovSalida; ++t) cmbTipoMov->addItem(TextoTipoMovimiento(t));
    cmbEstatus = new QComboBox(this);
    cmbEstatus->setObjectName(QStringLiteral("cmbEstatus"));
    cmbEstatus->addItems({TextoEstatusMovimiento(0), TextoEstatusMovimiento(1)});
    lblFechaH = new QLabel(this);
    lblFechaH->setObjectName(QStringLiteral("lblFechaH"));
    lblSaldo = new QLabel(this);
    lblSaldo->setObjectName(QStringLiteral("lblSaldo"));
    lblPosicion = new QLabel(this);

    auto* raiz = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    g->addWidget(capMovimiento, 0, 0);
    g->addWidget(new QLabel(QStringLiteral("Estatus:"), this), 0, 1);
    g->addWidget(cmbEstatus, 0, 2);
    g->addWidget(new QLabel(QStringLiteral("Tipo:"), this), 1, 1);
    g->addWidget(cmbTipoMov, 1, 2);
    g->addWidget(capImporte, 1, 0);
    g->addWidget(capDescripcion, 2, 0, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("Fecha:"), this), 3, 1);
    g->addWidget(lblFechaH, 3, 2);
    raiz->addLayout(g);

    auto* nav = new QHBoxLayout;
    cmdPrimero = new QPushButton(QStringLiteral("|<"), this);
    cmdAnterior = new QPushButton(QStringLiteral("<"), this);
    cmdSiguiente = new QPushButton(QStringLiteral(">"), this);
    cmdUltimo = new QPushButton(QStringLiteral(">|"), this);
    nav->addWidget(cmdPrimero);
    nav->addWidget(cmdAnterior);
    nav->addWidget(lblPosicion, 1, Qt::AlignCenter);
    nav->addWidget(cmdSiguiente);
    nav->addWidget(cmdUltimo);
    raiz->addLayout(nav);

    auto* saldo = new QHBoxLayout;
    saldo->addWidget(new QLabel(QStringLiteral("Saldo en Caja:"), this));
    saldo->addWidget(lblSaldo, 1);
    raiz->addLayout(saldo);

    auto* botones = new QHBoxLayout;
    cmdAgregar = new QPushButton(kAgregar, this);
    cmdAgregar->setToolTip(QStringLiteral("Agrega un Movimiento de Caja."));
    cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdCancelar = new QPushButton(QStringLiteral("&Cerrar"), this);
    for (QPushButton* b : {cmdAgregar, cmdAceptar, cmdCancelar, cmdPrimero, cmdAnterior, cmdSiguiente, cmdUltimo})
        b->setAutoDefault(false);
    botones->addWidget(cmdAgregar);
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdCancelar);
    raiz->addLayout(botones);

    connect(cmdAgregar, &QPushButton::clicked, this, &frmMovCaja::cmdAgregar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmMovCaja::cmdCancelar_Click);
    connect(cmdPrimero, &QPushButton::clicked, this, [this] { MueveA(0); });
    connect(cmdAnterior, &QPushButton::clicked, this, [this] { MueveA(cursor_.position() - 1); });
    connect(cmdSiguiente, &QPushButton::clicked, this, [this] { MueveA(cursor_.position() + 1); });
    connect(cmdUltimo, &QPushButton::clicked, this, [this] { MueveA(cursor_.count() - 1); });
    // Only the person's choice applies a kind's description (showing a row sets the list too).
    connect(cmbTipoMov, &QComboBox::activated, this, &frmMovCaja::EligeTipo);
    ficha_ = new shell::Ficha(this, [this]() -> ui::Prompts& { return this->prompts(); });

    InicializaMovimientos();
}

db::Database* frmMovCaja::bd() const { return shell::BDSucursal(); }
ui::Prompts& frmMovCaja::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

QString frmMovCaja::ObtResultadoCons(const QString& nombre, const QString& campo) {
    db::Error e;
    db::Database* b = shell::BDSucursal(&e);
    if (!b) {
        prompts().message(QStringLiteral("No se pudo abrir la base de datos de la sucursal: ") + shell::TextoErrorBD(e),
                          ui::Icon::Critical);
        return {};
    }
    return caja::ObtResultadoCons(*b, nombre, campo, prompts());
}

void frmMovCaja::Bloquea() {
    const bool consulta = modo_ == Consulta;
    capMovimiento->setLocked(true);
    cmbEstatus->setEnabled(false);
    capDescripcion->setLocked(consulta);
    capImporte->setLocked(consulta);
    cmbTipoMov->setEnabled(!consulta);
    for (QPushButton* b : {cmdPrimero, cmdAnterior, cmdSiguiente, cmdUltimo}) b->setEnabled(consulta);
}

void frmMovCaja::InicializaMovimientos() {
    modo_ = Consulta;
    ficha_->Muestra({});
    muestra_ = true;
    cmdAgregar->setText(kAgregar);
    Bloquea();
    db::Rows filas;
    if (db::Database* b = bd()) {
        db::Error e;
        if (auto r = LeeMovimientos(*b, &e)) filas = std::move(*r);
        else prompts().message(QStringLiteral("No se pudieron leer los movimientos: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
    }
    cursor_ = db::Cursor(std::move(filas));
    MuestraFila();
    ActualizaNavegacion();
    MuestraSaldo();
}

void frmMovCaja::MueveA(int fila) {
    if (modo_ != Consulta || cursor_.count() == 0) return;
    cursor_.move(std::clamp(fila, 0, cursor_.count() - 1));
    MuestraFila();
    ActualizaNavegacion();
}

void frmMovCaja::MuestraFila() {
    if (!muestra_ || cursor_.count() == 0 || cursor_.eof() || cursor_.bof()) return;
    const db::Row& f = cursor_.current();
    capMovimiento->setText(shell::Formato(double(f.integer(QStringLiteral("IdMovimiento"))), QStringLiteral("00000")));
    const int estatus = int(f.integer(QStringLiteral("EstatusMov")));
    cmbEstatus->setCurrentIndex(estatus == 1 ? 1 : 0);
    const int tipo = int(f.integer(QStringLiteral("TipoMov")));
    cmbTipoMov->setCurrentIndex(tipo >= 0 && tipo < cmbTipoMov->count() ? tipo : -1);
    lblFechaH->setText(FechaHoraPantalla(f.text(QStringLiteral("FechaMov"))));
    capImporte->setText(shell::Formato(f.real(QStringLiteral("ImporteMov")), QStringLiteral("0.00")));
    capDescripcion->setText(f.text(QStringLiteral("DescripcionMov")));
}

void frmMovCaja::ActualizaNavegacion() {
    lblPosicion->setText(cursor_.count() == 0 ? QString()
                                              : QStringLiteral("%1 de %2").arg(cursor_.position() + 1).arg(cursor_.count()));
}

void frmMovCaja::MuestraSaldo() {
    lblSaldo->setText(shell::Formato(shell::Val(ObtResultadoCons(QStringLiteral("cSaldoMovCaja"),
                                                                 QStringLiteral("Importe"))),
                                     QStringLiteral("0.00")));
}

void frmMovCaja::EligeTipo(int tipo) {
    capDescripcion->setText(DescripcionPorTipo(tipo, capDescripcion->Text()));
    if (!capImporte->Locked()) capImporte->SetFocus();
}

void frmMovCaja::cmdAgregar_Click() {
    if (modo_ == Consulta) {
        capMovimiento->setText(QStringLiteral("00000"));
        cmbEstatus->setCurrentIndex(1);
        cmbTipoMov->setCurrentIndex(MovEntrada);
        lblFechaH->setText(FechaHoraPantalla(QDateTime::currentDateTime()));
        capImporte->setText(QStringLiteral("0.00"));
        capDescripcion->setText(QStringLiteral("Descripcion"));
        modo_ = Agregando;
        ficha_->Nueva();
        EligeTipo(MovEntrada);  // the amount is still locked here: the focus stays
        Bloquea();
        cmdAgregar->setText(QStringLiteral("Guardar"));
        return;
    }
    db::Database* b = bd();
    if (!b) {
        prompts().message(QStringLiteral("No se pudo abrir la base de datos de la sucursal."), ui::Icon::Critical);
        return;
    }
    if (!shell::PuedeEscribir(QStringLiteral("mCajonDinero"), prompts())) return;
    NuevoMovimiento mov;
    mov.importe = capImporte->Text();
    mov.tipo = cmbTipoMov->currentIndex();
    mov.descripcion = capDescripcion->Text();
    mov.usuario = G().ClaveUsuario;
    db::LockWait espera = esc_.espera([](const QString& t) { shell::PonEstado(2, t); });
    espera.timeoutMs = kEsperaMaximaMs;
    muestra_ = false;
    const MovimientoGuardado r = GuardaMovimiento(*b, mov, espera);
    muestra_ = true;
    if (!r.ok) {
        // Still adding: the person corrects the value or closes the form.
        prompts().message(r.mensaje, r.cancelado ? ui::Icon::Information : ui::Icon::Warning);
        return;
    }
    InicializaMovimientos();
    int fila = cursor_.count() - 1;
    for (int i = 0; i < cursor_.count(); ++i)
        if (cursor_.rows()[size_t(i)].integer(QStringLiteral("IdMovimiento")) == r.id) fila = i;
    MueveA(fila);
}

void frmMovCaja::cmdCancelar_Click() { Descarga(); }

void frmMovCaja::Descarga() {
    if (descargando_) return;
    descargando_ = true;
    // Deferred: the form may be inside its own activation or a click when it goes.
    QTimer::singleShot(0, this, [this] {
        auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
        // Kept open when the person keeps a movement being typed.
        if (!(sub ? sub->close() : close())) descargando_ = false;
    });
}

void frmMovCaja::Activacion() {
    if (descargando_) return;
    if (!shell::TienePermiso(19, false)) {
        Descarga();
        return;
    }
    // A movement being typed survives a trip to another window (or a message box): only the
    // balance is read again then.
    if (modo_ == Agregando) MuestraSaldo();
    else InicializaMovimientos();
}

void frmMovCaja::ConectaActivacion(QMdiArea* area) {
    if (!area || area_ == area) return;
    area_ = area;
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* activa) {
        if (activa && activa == parentWidget()) Activacion();
    });
}

bool frmMovCaja::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && isWindow()) Activacion();
    return QWidget::event(e);
}

frmMovCaja* AbreMovCaja(shell::MIDI* midi) {
    auto* forma = shell::Forma<frmMovCaja>();
    if (midi) {
        forma->ConectaActivacion(midi->areaMDI());
        QMdiSubWindow* sub = midi->MuestraEnMDI(forma);
        midi->areaMDI()->setActiveSubWindow(sub);
    } else {
        forma->show();
        forma->activateWindow();
    }
    forma->Activacion();
    return forma;
}

void MuestraMovCajaModal(QWidget* padre, const std::function<void()>& alCerrar) {
    // The one instance may be open as a document window: it gives way to the modal one, unless a
    // movement is being typed in it, which must not be thrown away.
    if (QWidget* previa = shell::FormaCargada(QStringLiteral("frmMovCaja"))) {
        auto* abierta = qobject_cast<frmMovCaja*>(previa);
        if (abierta && abierta->modo() == frmMovCaja::Agregando) {
            if (alCerrar) QObject::connect(abierta, &QObject::destroyed, padre ? padre : abierta, alCerrar);
            catalogos::TraeAlFrente(abierta);
            abierta->capImporte->SetFocus();
            return;
        }
        if (auto* sub = qobject_cast<QMdiSubWindow*>(previa->parentWidget())) delete sub;
        else delete previa;
    }
    QPointer<frmMovCaja> forma = shell::Forma<frmMovCaja>();
    forma->setParent(padre ? padre->window() : nullptr, Qt::Window);
    forma->setWindowModality(Qt::ApplicationModal);
    forma->show();
    forma->Activacion();
    if (!forma) {
        if (alCerrar) alCerrar();
        return;
    }
    QEventLoop espera;
    QObject::connect(forma, &QObject::destroyed, &espera, &QEventLoop::quit);
    espera.exec();
    if (alCerrar) alCerrar();
}

}  // namespace caja
