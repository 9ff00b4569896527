#include "catalogs/forms/frmcuentas.h"

#include "capture_control/ccaptura.h"
#include "catalogs/forms/campos.h"
#include "catalogs/forms/comun.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/ficha.h"
#include "shell/forms/formas.h"
#include "shell/menu.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace catalogos {

namespace {

QComboBox* Lista(QWidget* padre, const char* nombre, const QStringList& items)
{
    auto* c = new QComboBox(padre);
    c->setObjectName(QString::fromLatin1(nombre));
    c->addItems(items);
    return c;
}

// The stored ISO date as the form shows it.
QString FechaEnPantalla(const QString& iso)
{
    const QDate d = QDate::fromString(iso.left(10), Qt::ISODate);
    return d.isValid() ? shell::FormatoFecha(d) : iso;
}

// The grid marks the row before the fields show it: showing a saved row locks its lists, which
// sends the cursor on to the grid, and a grid taking the cursor with no row marked marks its first
// one, which would then be the row shown.
void MarcaFila(QTableView* grid, QStandardItemModel* modelo, int fila, bool& llenando)
{
    llenando = true;
    grid->selectionModel()->setCurrentIndex(modelo->index(fila, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    llenando = false;
}

}  // namespace

QToolBar* BarraPorTooltips(QWidget* padre, const QStringList& tooltips,
                           const std::function<void(const QString&)>& pulsado)
{
    auto* barra = new QToolBar(padre);
    barra->setObjectName(QStringLiteral("Toolbar2"));
    barra->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const QString& t : tooltips) {
        QAction* a = barra->addAction(t.chopped(t.endsWith(QLatin1Char('.')) ? 1 : 0));
        a->setToolTip(t);
        QObject::connect(a, &QAction::triggered, padre, [pulsado, a] { pulsado(a->toolTip()); });
    }
    return barra;
}

// ---------------------------------------------------------------- accounts

frmCuentas::frmCuentas(QWidget* parent, db::Database* sucursal, ui::Prompts* prompts)
    : QWidget(parent), sucursal_(sucursal), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmCuentas"));
    setWindowTitle(QStringLiteral("Cuentas."));
    auto* raiz = new QVBoxLayout(this);
    Toolbar2 = BarraPorTooltips(this,
                                {QStringLiteral("Agregar cuenta."), QStringLiteral("Guardar."),
                                 QStringLiteral("Cancelar cuenta."), QStringLiteral("Actualizar."),
                                 QStringLiteral("Cerrar.")},
                                [this](const QString& t) { Toolbar2_ButtonClick(t); });
    raiz->addWidget(Toolbar2);

    auto* campos = new QGridLayout;
    txtNumCuenta = kestril::CreaCampoCaptura(this, QStringLiteral("txtNumCuenta"), QStringLiteral("Cuenta:"), 10);
    txtNomCuenta = kestril::CreaCampoCaptura(this, QStringLiteral("txtNomCuenta"), QStringLiteral("Nombre:"), 100);
    txtFechaApertura = kestril::CreaCampoCaptura(this, QStringLiteral("txtFechaApertura"), QStringLiteral("Fecha Apertura:"), 10);
    txtFechaModifica = kestril::CreaCampoCaptura(this, QStringLiteral("txtFechaModifica"), QStringLiteral("Fecha Modificación:"), 10);
    txtSaldo = kestril::CreaCampoCaptura(this, QStringLiteral("txtSaldo"), QStringLiteral("Saldo:"), 20);
    txtFechaApertura->setLocked(true);
    txtFechaModifica->setLocked(true);
    cmbEstatus = Lista(this, "cmbEstatus", EstatusCuentaLista());
    campos->addWidget(txtNumCuenta, 0, 0);
    campos->addWidget(txtNomCuenta, 0, 1, 1, 2);
    campos->addWidget(txtFechaApertura, 1, 0);
    campos->addWidget(txtFechaModifica, 1, 1);
    campos->addWidget(txtSaldo, 1, 2);
    auto* estatus = new QFormLayout;
    estatus->addRow(QStringLiteral("Estatus:"), cmbEstatus);
    campos->addLayout(estatus, 2, 0);
    cmdMovimientos = new QPushButton(QStringLiteral("&Movimientos..."), this);
    cmdMovimientos->setObjectName(QStringLiteral("cmdMovimientos"));
    campos->addWidget(cmdMovimientos, 2, 2);
    raiz->addLayout(campos);

    modelo_ = new QStandardItemModel(this);
    DBGrid1 = shell::GridLectura(this, QStringLiteral("DBGrid1"), modelo_);
    raiz->addWidget(DBGrid1, 1);

    connect(cmdMovimientos, &QPushButton::clicked, this, &frmCuentas::cmdMovimientos_Click);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual) {
                if (!llenando_ && actual.isValid())
                    MueveA(actual.row());
            });

    ficha_ = new shell::Ficha(this, [this]() -> ui::Prompts& { return this->prompts(); });
    ficha_->GuardaFilas(DBGrid1);
    ModoEdicion = 1;
    AbreCuentas();
    Guardando = false;
}

db::Database* frmCuentas::Base() const { return sucursal_ ? sucursal_ : shell::BDSucursal(); }

ui::Prompts& frmCuentas::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmCuentas::AbreCuentas(qint64 mostrar)
{
    db::Error e;
    db::Database* bd = Base();
    std::optional<db::Rows> filas;
    if (bd)
        filas = catalogos::LeeCuentas(*bd, &e);
    if (!filas) {
        shell::MuestraErrorBD(e);
        filas = db::Rows{};
    }
    int destino = 0;
    for (int i = 0; i < int(filas->size()); ++i)
        if ((*filas)[size_t(i)].integer(QStringLiteral("IdCuenta")) == mostrar)
            destino = i;
    llenando_ = true;
    LlenaModelo(modelo_, *filas, {QStringLiteral("SaldoCuenta")}, {QStringLiteral("FechaGen"), QStringLiteral("FechaMod")});
    TitulosLegibles(modelo_);
    cursor_ = db::Cursor(std::move(*filas));
    FormatoGrid();
    llenando_ = false;
    if (cursor_.count() > 0)
        MueveA(destino);
    else
        ficha_->Muestra({});
}

void frmCuentas::FormatoGrid()
{
    AnchosColumnas(DBGrid1,
                   {{QStringLiteral("IdCuenta"), 0},
                    {QStringLiteral("SaldoCuenta"), 0},
                    {QStringLiteral("FechaGen"), 0},
                    {QStringLiteral("FechaMod"), 0},
                    {QStringLiteral("NomCuenta"), 3000},
                    {QStringLiteral("RFC"), 0}},
                   true);
}

void frmCuentas::MueveA(int fila)
{
    cursor_.move(fila);
    ModoEdicion = 1;  // moving away drops an account not saved yet
    MarcaFila(DBGrid1, modelo_, fila, llenando_);
    LeerCuenta();
}

qint64 frmCuentas::CuentaActual() const
{
    return ficha_->guardada() ? ficha_->clave().toLongLong() : -1;
}

void frmCuentas::LeerCuenta()
{
    if (Guardando || cursor_.count() == 0 || cursor_.eof() || cursor_.bof())
        return;
    const db::Row& r = cursor_.current();
    txtNumCuenta->setText(r.text(QStringLiteral("IdCuenta")));
    txtNomCuenta->setText(r.text(QStringLiteral("NomCuenta")));
    txtFechaModifica->setText(FechaEnPantalla(r.text(QStringLiteral("FechaMod"))));
    txtFechaApertura->setText(FechaEnPantalla(r.text(QStringLiteral("FechaGen"))));
    const qint64 estatus = r.integer(QStringLiteral("EstatusCuenta"));
    cmbEstatus->setCurrentIndex(estatus >= 0 && estatus < cmbEstatus->count() ? int(estatus) : 0);
    txtSaldo->setText(shell::Formato(r.real(QStringLiteral("SaldoCuenta")), QStringLiteral("#,###,##0.00")));
    // The balance belongs to the movements once the account exists.
    txtSaldo->setLocked(true);
    ficha_->Muestra(r.integer(QStringLiteral("IdCuenta")));
}

void frmCuentas::LimpiaCuenta()
{
    const QString hoy = shell::FormatoFecha(QDate::currentDate());
    txtNumCuenta->setText(QString());
    txtNomCuenta->setText(QString());
    txtSaldo->setText(QString());
    txtSaldo->setLocked(false);
    txtFechaApertura->setText(hoy);
    txtFechaModifica->setText(hoy);
    cmbEstatus->setCurrentIndex(EstatusActivo);
}

void frmCuentas::GrabarCuenta()
{
    db::Database* bd = Base();
    if (!bd || !shell::PuedeEscribir(QStringLiteral("Cuentas"), prompts()))
        return;
    DatosCuenta d;
    d.IdCuenta = txtNumCuenta->Text();
    d.NomCuenta = txtNomCuenta->Text();
    d.EstatusCuenta = cmbEstatus->currentIndex();
    d.Saldo = txtSaldo->Text();
    const Grabado g = catalogos::GrabarCuenta(*bd, d, ficha_->nueva(), CuentaActual());
    if (!g.ok) {
        // An add stays open so the person can correct the field.
        prompts().message(g.mensaje, ui::Icon::Information);
        return;
    }
    ModoEdicion = 1;
    Guardando = false;
    ficha_->Muestra(g.numero);
    AbreCuentas(g.numero);
}

void frmCuentas::CancelaCuenta()
{
    if (ficha_->nueva()) {
        // Only the account being typed goes; the one shown before comes back.
        ModoEdicion = 1;
        ficha_->Descarta();
        if (cursor_.count() > 0)
            MueveA(cursor_.position());
        return;
    }
    db::Database* bd = Base();
    if (!bd || !ficha_->guardada() || !shell::PuedeEscribir(QStringLiteral("Cuentas"), prompts()))
        return;
    if (prompts().question(QString::fromUtf8("¿Desea cancelar la cuenta ") + QString::number(CuentaActual())
                               + QStringLiteral(" ") + txtNomCuenta->Text() + QStringLiteral("?"),
                           QStringLiteral("Confirmar."), false, true)
        != ui::Answer::Yes)
        return;
    db::Error e;
    if (!catalogos::CancelaCuenta(*bd, CuentaActual(), &e)) {
        shell::MuestraErrorBD(e);
        return;
    }
    AbreCuentas(CuentaActual());
}

void frmCuentas::Toolbar2_ButtonClick(const QString& tooltip)
{
    if (tooltip == QLatin1String("Agregar cuenta.")) {
        db::Database* bd = Base();
        if (!bd || !ficha_->PuedeDejar())
            return;
        ModoEdicion = 2;
        ficha_->Nueva();
        DBGrid1->clearSelection();
        LimpiaCuenta();
        db::Error e;
        if (const auto n = SiguienteCuenta(*bd, &e))
            txtNumCuenta->setText(QString::number(*n));
        txtNomCuenta->SetFocus();
    } else if (tooltip == QLatin1String("Guardar.")) {
        Guardando = true;
        GrabarCuenta();
        Guardando = false;
    } else if (tooltip == QLatin1String("Cancelar cuenta.")) {
        CancelaCuenta();
    } else if (tooltip == QLatin1String("Actualizar.")) {
        AbreCuentas(CuentaActual());
    } else if (tooltip == QLatin1String("Cerrar.")) {
        CierraForma(this);
    }
}

void frmCuentas::cmdMovimientos_Click()
{
    G().CuentaSel = txtNumCuenta->Text();
    auto* m = new frmMovimientos(nullptr, sucursal_, prompts_);
    m->setAttribute(Qt::WA_DeleteOnClose);
    m->setWindowModality(Qt::ApplicationModal);
    movimientos_ = m;
    // What the movements did to the balance shows once they close.
    connect(m, &QObject::destroyed, this, [this] { AbreCuentas(CuentaActual()); });
    m->show();
    m->activateWindow();
}

// ---------------------------------------------------------------- movements

frmMovimientos::frmMovimientos(QWidget* parent, db::Database* sucursal, ui::Prompts* prompts)
    : QWidget(parent, Qt::Dialog), sucursal_(sucursal), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmMovimientos"));
    setWindowTitle(QStringLiteral("Movimientos de cuentas."));
    auto* raiz = new QVBoxLayout(this);
    Toolbar2 = BarraPorTooltips(this,
                                {QStringLiteral("Agregar Movimiento."), QStringLiteral("Guardar."),
                                 QStringLiteral("Cancelar Movimiento."), QStringLiteral("Cerrar.")},
                                [this](const QString& t) { Toolbar2_ButtonClick(t); });
    raiz->addWidget(Toolbar2);

    auto* campos = new QGridLayout;
    txtNumCuenta = kestril::CreaCampoCaptura(this, QStringLiteral("txtNumCuenta"), QStringLiteral("Cuenta:"), 10);
    txtNumMovimiento = kestril::CreaCampoCaptura(this, QStringLiteral("txtNumMovimiento"), QStringLiteral("Movimiento:"), 10);
    txtImporte = kestril::CreaCampoCaptura(this, QStringLiteral("txtImporte"), QStringLiteral("Importe:"), 20);
    txtRef01 = kestril::CreaCampoCaptura(this, QStringLiteral("txtRef01"), QStringLiteral("Referencia 1:"), 50);
    txtRef02 = kestril::CreaCampoCaptura(this, QStringLiteral("txtRef02"), QStringLiteral("Referencia 2:"), 50);
    txtComentarios = kestril::CreaCampoCaptura(this, QStringLiteral("txtComentarios"), QStringLiteral("Comentarios:"), 255);
    // Numbers are the program's to give.
    txtNumCuenta->setLocked(true);
    txtNumMovimiento->setLocked(true);
    txtFechaMovto = new QDateEdit(this);
    txtFechaMovto->setObjectName(QStringLiteral("txtFechaMovto"));
    txtFechaMovto->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    txtFechaMovto->setCalendarPopup(true);
    txtFechaMovto->setDate(QDate::currentDate());
    cmbTipoMov = Lista(this, "cmbTipoMov", TiposMovimientoLista());
    cmbEstatus = Lista(this, "cmbEstatus", EstatusMovimientoLista());
    campos->addWidget(txtNumCuenta, 0, 0);
    campos->addWidget(txtNumMovimiento, 0, 1);
    campos->addWidget(txtImporte, 0, 2);
    auto* listas = new QFormLayout;
    listas->addRow(QStringLiteral("Fecha Movimiento:"), txtFechaMovto);
    listas->addRow(QStringLiteral("Tipo Movimiento:"), cmbTipoMov);
    listas->addRow(QStringLiteral("Estatus:"), cmbEstatus);
    campos->addLayout(listas, 1, 0);
    campos->addWidget(txtRef01, 1, 1, Qt::AlignTop);
    campos->addWidget(txtRef02, 1, 2, Qt::AlignTop);
    campos->addWidget(txtComentarios, 2, 0, 1, 3);
    raiz->addLayout(campos);

    modelo_ = new QStandardItemModel(this);
    DBGrid1 = shell::GridLectura(this, QStringLiteral("DBGrid1"), modelo_);
    raiz->addWidget(DBGrid1, 1);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual) {
                if (!llenando_ && actual.isValid())
                    MueveA(actual.row());
            });

    ModoEdicion = 1;
    Guardando = false;
    AbreMovimientos(G().CuentaSel);
}

db::Database* frmMovimientos::Base() const { return sucursal_ ? sucursal_ : shell::BDSucursal(); }

ui::Prompts& frmMovimientos::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmMovimientos::AbreMovimientos(const QString& cuentaSel, qint64 mostrar)
{
    cuentaSel_ = cuentaSel;
    db::Error e;
    db::Database* bd = Base();
    std::optional<db::Rows> filas;
    if (bd)
        filas = catalogos::LeeMovimientos(*bd, cuentaSel, &e);
    if (!filas) {
        shell::MuestraErrorBD(e);
        filas = db::Rows{};
    }
    int destino = 0;
    for (int i = 0; i < int(filas->size()); ++i)
        if ((*filas)[size_t(i)].integer(QStringLiteral("IdMovto")) == mostrar)
            destino = i;
    llenando_ = true;
    LlenaModelo(modelo_, *filas, {QStringLiteral("ImporteMovto")}, {QStringLiteral("FechaMovto")});
    TitulosLegibles(modelo_);
    QStringList tipos = TiposMovimientoLista();
    tipos[0].clear();  // "Seleccionar..." names no kind
    NombresDeCodigos(modelo_, QStringLiteral("TipoMovimiento"), tipos);
    QStringList estatus = EstatusMovimientoLista();
    estatus[0].clear();
    NombresDeCodigos(modelo_, QStringLiteral("EstatusMovto"), estatus);
    cursor_ = db::Cursor(std::move(*filas));
    FormatoGrid();
    llenando_ = false;
    if (cursor_.count() > 0)
        MueveA(destino);
    else
        BloqueaGuardados(true);
}

void frmMovimientos::FormatoGrid()
{
    AnchosColumnas(DBGrid1, {{QStringLiteral("NomCuenta"), 3000}}, false);
}

void frmMovimientos::MueveA(int fila)
{
    cursor_.move(fila);
    ModoEdicion = 1;
    MarcaFila(DBGrid1, modelo_, fila, llenando_);
    LeerMovimiento();
}

void frmMovimientos::BloqueaGuardados(bool bloquea)
{
    // A saved movement keeps its amount, type, date and status; only cancelling changes the status.
    txtImporte->setLocked(bloquea);
    txtFechaMovto->setEnabled(!bloquea);
    cmbTipoMov->setEnabled(!bloquea);
    cmbEstatus->setEnabled(!bloquea);
}

void frmMovimientos::LeerMovimiento()
{
    if (Guardando || cursor_.count() == 0 || cursor_.eof() || cursor_.bof())
        return;
    const db::Row& r = cursor_.current();
    txtNumCuenta->setText(r.text(QStringLiteral("IdCuenta")));
    txtNumMovimiento->setText(r.text(QStringLiteral("IdMovto")));
    txtFechaMovto->setDate(QDate::fromString(r.text(QStringLiteral("FechaMovto")).left(10), Qt::ISODate));
    const qint64 tipo = r.integer(QStringLiteral("TipoMovimiento"));
    cmbTipoMov->setCurrentIndex(tipo >= 0 && tipo < cmbTipoMov->count() ? int(tipo) : 0);
    txtImporte->setText(shell::Formato(r.real(QStringLiteral("ImporteMovto")), QStringLiteral("#,###,##0.00")));
    txtRef01->setText(r.text(QStringLiteral("Referencia01")));
    txtRef02->setText(r.text(QStringLiteral("Referencia02")));
    txtComentarios->setText(r.text(QStringLiteral("Comentarios")));
    const qint64 estatus = r.integer(QStringLiteral("EstatusMovto"));
    cmbEstatus->setCurrentIndex(estatus >= 0 && estatus < cmbEstatus->count() ? int(estatus) : 0);
    BloqueaGuardados(true);
}

void frmMovimientos::LimpiaMovimiento()
{
    txtNumCuenta->setText(QString());
    txtNumMovimiento->setText(QString());
    txtFechaMovto->setDate(QDate::currentDate());
    cmbTipoMov->setCurrentIndex(MovCargo);
    cmbEstatus->setCurrentIndex(EstatusActivo);
    txtImporte->setText(QStringLiteral("0"));
    txtRef01->setText(QString());
    txtRef02->setText(QString());
    txtComentarios->setText(QString());
    BloqueaGuardados(false);
}

void frmMovimientos::GrabarMovimiento()
{
    db::Database* bd = Base();
    if (!bd || !shell::PuedeEscribir(QStringLiteral("Cuentas"), prompts()))
        return;
    if (ModoEdicion != 2 && cursor_.count() == 0)
        return;  // nothing on screen to save
    DatosMovimiento d;
    d.IdCuenta = txtNumCuenta->Text();
    d.FechaMovto = txtFechaMovto->date();
    d.TipoMovimiento = cmbTipoMov->currentIndex();
    d.Importe = txtImporte->Text();
    d.Referencia01 = txtRef01->Text();
    d.Referencia02 = txtRef02->Text();
    d.Comentarios = txtComentarios->Text();
    d.EstatusMovto = cmbEstatus->currentIndex();
    const qint64 actual = cursor_.count() > 0 ? cursor_.current().integer(QStringLiteral("IdMovto")) : -1;
    const Grabado g = catalogos::GrabarMovimiento(*bd, d, ModoEdicion == 2, actual);
    if (!g.ok) {
        prompts().message(g.mensaje, ui::Icon::Information);
        return;
    }
    ModoEdicion = 1;
    Guardando = false;
    AbreMovimientos(cuentaSel_, g.numero);
}

void frmMovimientos::CancelaMovimiento()
{
    db::Database* bd = Base();
    if (!bd || cursor_.count() == 0 || ModoEdicion == 2)
        return;
    const qint64 actual = cursor_.current().integer(QStringLiteral("IdMovto"));
    if (catalogos::CancelaMovimiento(*bd, actual, prompts()) == Cancelacion::Cancelado)
        AbreMovimientos(cuentaSel_, actual);
}

void frmMovimientos::Toolbar2_ButtonClick(const QString& tooltip)
{
    if (tooltip == QLatin1String("Agregar Movimiento.")) {
        db::Database* bd = Base();
        if (!bd)
            return;
        if (!CuentaSeleccionada(cuentaSel_)) {
            prompts().message(QStringLiteral("Seleccione la cuenta del movimiento."), ui::Icon::Information);
            return;
        }
        ModoEdicion = 2;
        LimpiaMovimiento();
        txtNumCuenta->setText(cuentaSel_.trimmed());
        db::Error e;
        if (const auto n = SiguienteMovimiento(*bd, &e))
            txtNumMovimiento->setText(QString::number(*n));
        txtImporte->SetFocus();
    } else if (tooltip == QLatin1String("Guardar.")) {
        Guardando = true;
        GrabarMovimiento();
        Guardando = false;
    } else if (tooltip == QLatin1String("Cancelar Movimiento.")) {
        CancelaMovimiento();
    } else if (tooltip == QLatin1String("Cerrar.")) {
        close();
    }
}

frmCuentas* AbreCuentas(shell::MIDI* midi)
{
    auto* forma = shell::Forma<frmCuentas>();
    MuestraForma(midi, forma);
    return forma;
}

}  // namespace catalogos
