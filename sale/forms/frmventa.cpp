#include "sale/forms/frmventa.h"
#include "shell/rutinas_bd.h"

#include "capture_control/ccaptura.h"
#include "sale/detalles.h"
#include "sale/documentos.h"
#include "sale/forms/cierre_venta.h"
#include "sale/forms/frmfacturar.h"
#include "sale/venta_factura.h"
#include "sale/folios.h"
#include "sale/pago.h"
#include "sale/teclas.h"
#include "shell/arranque.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/permisos.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/texto.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace venta {

namespace {

// Widths are given in twips, as the screen was designed.
int Twips(int t)
{
    return t / 15;
}

}  // namespace

QString CaptionVenta(const QString& modo)
{
    if (modo == QLatin1String("F"))
        return QStringLiteral("Facturación.");
    if (modo == QLatin1String("VC"))
        return QStringLiteral("Venta a crédito.");
    if (modo == QLatin1String("C"))
        return QStringLiteral("Cotizaciones.");
    if (modo == QLatin1String("E"))
        return QStringLiteral("Entradas a inventario.");
    if (modo == QLatin1String("N"))
        return QStringLiteral("Nota de crédito.");
    return {};
}

// --- the form ---

frmVenta::frmVenta(QWidget* parent, db::Database* base, ui::Prompts* prompts)
    : QWidget(parent), base_(base), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmVenta"));
    construye();
    FormLoad();
    // Another window (the day invoice, a return) may have taken invoice numbers meanwhile.
    shell::AlCerrarseUnaForma(this, [this] { LeeFolioFactura(); });
}

void frmVenta::LeeFolioFactura()
{
    // The quotation screen shows its own number, taken as it opened.
    if (modo_ == QLatin1String("C")) {
        if (NumeroDocumento > 0)
            lblRem->setText(sale::TextoRem(sale::ClaseDocumento::Cotizacion, G().PrefijoFact, NumeroDocumento));
        return;
    }
    if (db::Database* bd = base())
        if (auto folio = sale::ValorFolio(*bd, 1))
            lblRem->setText(sale::TextoRemInicial(*folio));
}

frmVenta::~frmVenta() = default;

db::Database* frmVenta::base()
{
    if (base_)
        return base_;
    return shell::BDSucursal();
}

ui::Prompts& frmVenta::prompts()
{
    return prompts_ ? *prompts_ : ui::defaultPrompts();
}

void frmVenta::construye()
{
    auto* raiz = new QVBoxLayout(this);

    auto* arriba = new QHBoxLayout;
    lblCliente = new QLabel(QStringLiteral("....."), this);
    lblRem = new QLabel(this);
    cmdCliente = new QPushButton(QStringLiteral("C&liente"), this);
    lblAval = new QLabel(QStringLiteral("Aval:"), this);
    capAval = new QLineEdit(this);
    capAval->setReadOnly(true);
    arriba->addWidget(cmdCliente);
    arriba->addWidget(lblCliente, 1);
    arriba->addWidget(lblAval);
    arriba->addWidget(capAval);
    arriba->addWidget(lblRem);
    raiz->addLayout(arriba);

    DBGrid1 = new QTableView(this);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    modeloLineas_ = new ModeloLineas(&lineas_, this);
    DBGrid1->setModel(modeloLineas_);
    QFont cabecera = DBGrid1->horizontalHeader()->font();
    cabecera.setPointSize(10);
    DBGrid1->horizontalHeader()->setFont(cabecera);
    QFont cuerpo = DBGrid1->font();
    cuerpo.setPointSize(G().TFuente > 0 ? G().TFuente : 9);
    DBGrid1->setFont(cuerpo);
    raiz->addWidget(DBGrid1, 2);

    txtDetalles = new QTextEdit(this);
    txtDetalles->setReadOnly(true);
    txtDetalles->setMaximumHeight(Twips(1905));
    raiz->addWidget(txtDetalles);

    auto* medio = new QGridLayout;
    lblCodigo = new QLabel(this);
    Label2 = new QLabel(QStringLiteral("Código:"), this);
    QString error;
    QWidget* campo = KestrilCreaControl(kestril::kClaseCCaptura, this, &error);
    capCodigoBarras = static_cast<CCaptura*>(campo);
    capCodigoBarras->setObjectName(QStringLiteral("capCodigoBarras"));
    capCodigoBarras->setMaxLength(0);
    capCodigoBarras->setCaption(QString());
    cajaCodigo = capCodigoBarras->findChild<QLineEdit*>();
    chkDetalles = new QCheckBox(QStringLiteral("Detalles"), this);
    chkSumarinventario = new QCheckBox(QStringLiteral("Sumar a inventario"), this);
    chkSumarinventario->setChecked(true);
    Label3 = new QLabel(QStringLiteral("Descuento %"), this);
    capDescuento = new QLineEdit(QStringLiteral("0"), this);
    capDescuento->setMaximumWidth(60);
    cmbDescuento = new QComboBox(this);
    cmbDescuento->addItems({QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("10"),
                            QStringLiteral("15"), QStringLiteral("20")});
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setFocusPolicy(Qt::NoFocus);
    txtTotal = new QLineEdit(this);
    txtTotal->setReadOnly(true);
    txtTotal->setAlignment(Qt::AlignRight);
    QFont grande = txtTotal->font();
    grande.setPointSize(16);
    grande.setBold(true);
    txtTotal->setFont(grande);
    lblCProductos = new QLabel(this);
    medio->addWidget(lblCodigo, 0, 0);
    medio->addWidget(Label2, 0, 1);
    medio->addWidget(chkDetalles, 0, 2);
    medio->addWidget(chkSumarinventario, 0, 3);
    medio->addWidget(lblCProductos, 0, 4);
    medio->addWidget(capCodigoBarras, 1, 0, 1, 3);
    medio->addWidget(Label3, 1, 3);
    auto* desc = new QHBoxLayout;
    desc->addWidget(capDescuento);
    desc->addWidget(cmbDescuento);
    medio->addLayout(desc, 1, 4);
    medio->addWidget(txtTotal, 1, 5);
    medio->addWidget(Combo1, 0, 5);
    raiz->addLayout(medio);

    DBGrid2 = new QTableView(this);
    DBGrid2->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid2->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid2->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid2->verticalHeader()->setDefaultSectionSize(20);
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    modeloProductos_ = new ModeloProductos(&productos_, this);
    DBGrid2->setModel(modeloProductos_);
    raiz->addWidget(DBGrid2, 2);

    auto* botones = new QHBoxLayout;
    cmdNuevo = new QPushButton(QStringLiteral("&Nuevo"), this);
    cmdBuscar = new QPushButton(QStringLiteral("&Buscar"), this);
    cmdBorrarP = new QPushButton(QStringLiteral("B&orrar"), this);
    cmdFacturar = new QPushButton(QStringLiteral("&Facturar"), this);
    cmdFacturaE = new QPushButton(QStringLiteral("Factura &E"), this);
    cmdTicket = new QPushButton(QStringLiteral("&Ticket"), this);
    cmdActInv = new QPushButton(QStringLiteral("&Actualizar inventario"), this);
    cmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    for (QPushButton* b : {cmdNuevo, cmdBuscar, cmdBorrarP, cmdFacturar, cmdFacturaE, cmdTicket,
                           cmdActInv, cmdCerrar}) {
        b->setFocusPolicy(Qt::NoFocus);
        botones->addWidget(b);
    }
    raiz->addLayout(botones);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(500);
    Timer2 = new QTimer(this);
    Timer2->setSingleShot(true);
    Timer2->setInterval(12500);
    construyeOpciones();

    // Events.
    connect(cmdCliente, &QPushButton::clicked, this, &frmVenta::cmdCliente_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &frmVenta::cmdCerrar_Click);
    connect(cmdBorrarP, &QPushButton::clicked, this, &frmVenta::cmdBorrarP_Click);
    connect(cmdNuevo, &QPushButton::clicked, this, &frmVenta::cmdNuevo_Click);
    connect(cmdFacturar, &QPushButton::clicked, this, &frmVenta::cmdFacturar_Click);
    connect(cmdFacturaE, &QPushButton::clicked, this, &frmVenta::cmdFacturaE_Click);
    connect(cmdTicket, &QPushButton::clicked, this, &frmVenta::cmdTicket_Click);
    connect(cmdActInv, &QPushButton::clicked, this, &frmVenta::cmdActInv_Click);
    connect(cmdBuscar, &QPushButton::clicked, this, &frmVenta::cmdBuscar_Click);
    connect(capCodigoBarras, &CCaptura::Change, this, &frmVenta::CambioCodigo);
    connect(capCodigoBarras, &CCaptura::KeyDown, this, &frmVenta::TeclaCodigo,
            Qt::DirectConnection);
    connect(Timer1, &QTimer::timeout, this, &frmVenta::BuscaProducto);
    connect(Timer2, &QTimer::timeout, this, [this] {
        if (cajaCodigo)
            cajaCodigo->selectAll();
    });
    connect(chkDetalles, &QCheckBox::clicked, this, [this] {
        if (G().NumDefDetalles == 0)
            if (db::Database* bd = base())
                CargaDetalles(*bd);
        AjustaDetalles();
        txtDetalles->setPlainText(TextoDetalles(LineaActual()));
        capCodigoBarras->SetFocus();
    });
    connect(chkSumarinventario, &QCheckBox::clicked, this,
            [this] { sumarInventario_ = chkSumarinventario->isChecked(); });
    // The discount is read when it is complete (Enter, leaving the field, a save), never while
    // the person is still typing it: what is typed after stays in this field.
    connect(capDescuento, &QLineEdit::returnPressed, this, [this] {
        if (AplicaDescuentoEscrito())
            capCodigoBarras->SetFocus();
    });
    connect(capDescuento, &QLineEdit::editingFinished, this, &frmVenta::AplicaDescuentoEscrito);
    connect(cmbDescuento, &QComboBox::activated, this, [this](int) {
        capDescuento->setText(cmbDescuento->currentText());
        AplicaDescuentoEscrito();
    });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { MarcaLinea(); });
    connect(DBGrid1, &QTableView::doubleClicked, this,
            [this] { prompts().message(QStringLiteral("Datos detallados"), ui::Icon::None); });
    connect(DBGrid2, &QTableView::clicked, this, [this] { seleccionGrid_ = true; });
    connect(DBGrid2, &QTableView::doubleClicked, this, [this] {
        seleccionGrid_ = true;
        selprod();
    });
    connect(DBGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual) {
                if (!Procesando && actual.isValid())
                    productos_.move(actual.row());
                selprod();
            });
    capCodigoBarras->installEventFilter(this);
    for (QWidget* w : {static_cast<QWidget*>(lblCodigo), static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(lblCProductos), static_cast<QWidget*>(capAval),
                       static_cast<QWidget*>(DBGrid1), static_cast<QWidget*>(DBGrid2)})
        w->installEventFilter(this);
}

void frmVenta::FormLoad()
{
    modo_ = G().ModoVenta;
    // 1-3: private state and the controls that start hidden.
    sumarInventario_ = true;
    ivaPantalla_ = venta::IVAPantalla(G().PorcentajeIVA);
    intervaloBase_ = intervaloBusqueda_ = 450;
    modoBusqueda_ = 0;
    textoBuscado_.clear();
    G().ImporteRecibido = QStringLiteral("0");
    chkSumarinventario->setVisible(false);
    CerrandoVenta = 0;
    G().CondicionPagoSel = 0;
    capDescuento->setVisible(false);
    Label3->setVisible(false);
    cmbDescuento->setVisible(false);
    CargarFormasdePago();
    lblAval->setVisible(false);
    capAval->setVisible(false);
    cmdActInv->setVisible(false);
    // 6-7.
    recuperado_ = false;
    IniciaDatos();
    G().CodigoProductoSel.clear();
    // Unset keys take the branch parameters' defaults: Ctrl, Alt, T (ticket) and Ctrl, Alt, D.
    auto tecla = [](int valor, int defecto) { return valor != 0 ? valor : defecto; };
    secuencia_ = SecuenciaTeclas(tecla(G().tecla1ticket, 17), tecla(G().tecla2ticket, 18),
                                 tecla(G().tecla3ticket, 84), tecla(G().tecla4ticket, 17),
                                 tecla(G().tecla5ticket, 18), tecla(G().tecla6ticket, 68));
    detallesActivos_ = true;
    // 8: the mode's own set-up. The electronic invoice is a sale of mode F alone, and there it
    // takes the place of the paper invoice when the branch issues electronic invoices.
    cmdFacturaE->setVisible(modo_ == QLatin1String("F") && G().FacturaE);
    if (modo_ == QLatin1String("F")) {
        cmdFacturar->setVisible(!G().FacturaE);
    } else if (modo_ == QLatin1String("VC")) {
        lblAval->setVisible(true);
        capAval->setVisible(true);
        cmdNuevo->setEnabled(false);
        cmdFacturar->setEnabled(false);
        cmdTicket->setVisible(false);
        cmdActInv->setVisible(true);
        cmdActInv->setText(QStringLiteral("Guardar"));
    } else if (modo_ == QLatin1String("C")) {
        cmdFacturar->setEnabled(false);
        cmdNuevo->setEnabled(false);
        cmdTicket->setEnabled(false);
        cmdActInv->setVisible(true);
        cmdActInv->setText(QStringLiteral("Genera Cotización"));
        TipoDocumento = QStringLiteral("C");
        clienteDocumento_ = QStringLiteral("XAXX010101000");
        // The quotation number is taken as the screen opens.
        if (db::Database* bd = base()) {
            db::Error e;
            sale::Documento doc;
            sale::DatosEncabezado datos = sale::EncabezadoDesdeEstado();
            // A quotation is addressed to the general public and carries no payment: the amounts
            // of the last sale must not be stored with it.
            datos.Cliente = clienteDocumento_;
            datos.ImportesPago = {};
            if (bd->beginWrite({}, &e)) {
                if (sale::ObtenerFCot(*bd, 1, datos, doc, &e) && bd->commit(&e)) {
                    NumeroDocumento = doc.NumeroDocumento;
                    LeeFolioFactura();
                    // The quotation is stored from here on: its lines are kept when the
                    // screen closes.
                    cabeceraGuardada_ = true;
                } else
                    bd->rollback();
            }
            if (!e.ok())
                prompts().message(QStringLiteral("No se pudo tomar el número de cotización: ")
                                      + shell::TextoErrorBD(e),
                                  ui::Icon::Critical);
        }
    } else if (modo_ == QLatin1String("E")) {
        cmdFacturar->setEnabled(false);
        cmdNuevo->setEnabled(false);
        cmdBuscar->setEnabled(false);
        cmdCliente->setEnabled(false);
        cmdActInv->setVisible(true);
        chkSumarinventario->setVisible(shell::TienePermiso(53, false));
    } else if (modo_ == QLatin1String("N")) {
        cmdFacturar->setEnabled(false);
        cmdNuevo->setEnabled(false);
        cmdBuscar->setEnabled(false);
        cmdActInv->setVisible(true);
        cmdActInv->setText(QStringLiteral("Guardar Nota"));
    }
    // 9-11.
    const bool verDescuento = G().VerDesctoVenta == 1;
    capDescuento->setVisible(verDescuento);
    Label3->setVisible(verDescuento);
    cmbDescuento->setVisible(verDescuento);
    Procesando = false;
    if (modo_ == QLatin1String("E"))
        FormatoGridES();
    else
        FormatoGrid();
    AjustaDetalles();
    ActualizaTotales();
}

void frmVenta::IniciaDatos()
{
    modoBusqueda_ = G().BDefault;
    seleccionGrid_ = false;
    lblCliente->setText(QStringLiteral("....."));
    db::Database* bd = base();
    if (!bd) {
        db::Error e;
        shell::BDSucursal(&e);
        prompts().message(
            QStringLiteral("Error al leer datos sucursal, cheque la sucursal por default en "
                           "Parametros de empresa y ejecute una actualizacion de rutas o generacion "
                           "de archivos. ")
                + shell::TextoErrorBD(e),
            ui::Icon::Critical);
        if (shell::TienePermiso(9, false))
            shell::Establecerutaerr();
        shell::TerminaPrograma();
        return;
    }
    lineas_.setDatabase(bd);
    productos_.setDatabase(bd);
    lineas_.nuevo();
    modeloLineas_->refresca();
    // Product look-up: one step back, then the step lands on the default mode. The set already
    // read is kept while the catalogue is as it was; the stock it shows is read afresh.
    modoBusqueda_ = ModoAntesDeDefault(G().BDefault);
    EstableceBusqueda(!productos_.vigente());
    if (productos_.count() == 0)
        prompts().message(QStringLiteral("El catálogo de productos esta vacío."),
                          ui::Icon::Information);
    LeeFolioFactura();
    FormatoGridP();
    ColocaMTeclas();
    G().SeleccionCatalogo.clear();
    clienteDocumento_ = modo_ == QLatin1String("C") ? QStringLiteral("XAXX010101000") : QString();
    avalDocumento_.clear();
    ClienteVenta.clear();
    desglosaIVA_ = false;
    cabeceraGuardada_ = false;
}

void frmVenta::cargaformasdepago()
{
    if (db::Database* bd = base()) {
        db::Error e;
        if (!CargaNombresFormaPago(*bd, G().NombresFormaPago, &e))
            prompts().message(QStringLiteral("Error al leer las formas de pago: ") + shell::TextoErrorBD(e),
                              ui::Icon::Critical);
    }
}

void frmVenta::CargarFormasdePago()
{
    cargaformasdepago();
    Combo1->clear();
    for (const FormaPago& f : ListaFormasPago(G().NombresFormaPago))
        Combo1->addItem(f.nombre, f.codigo);
}

void frmVenta::BorraProd()
{
    Procesando = true;
    db::Error e;
    // Only a quotation's own lines carry its number; after any other document was stored,
    // NumeroDocumento is that document's number and its lines must stay.
    const qint64 pendiente =
        modo_ == QLatin1String("C") && TipoDocumento == QLatin1String("C") ? NumeroDocumento : 0;
    lineas_.borraTodas(pendiente, &e);
    modeloLineas_->refresca();
    Procesando = false;
}

void frmVenta::ColocaMTeclas()
{
    QString texto;
    QString tooltip = tooltipTeclas_;
    if (modo_ == QLatin1String("VC")) {
        texto = QStringLiteral("F2-Busq F5-Crédito F7-Cant F8-Desc F9-TipoPago F4-Observ");
    } else if (modo_ == QLatin1String("F")) {
        texto = QStringLiteral(
            "F2-Busq Ctrl+F1-Opciones F7-Cant F8-Desc F9-TipoPago F4-Observ F12-Ticket");
        tooltip = QStringLiteral(
            "F2-Cambiar Busqueda F8-Descuento F9-TipoPago F4-Observaciones F12 Ticket");
    } else if (modo_ == QLatin1String("E")) {
        texto = QStringLiteral("F2-Busq F7-Cant F4-Establecer Precio Venta");
    } else if (modo_ == QLatin1String("C")) {
        texto = QStringLiteral("F2-Busq F7-Cant F8-Desc F9-Observ");
    } else if (modo_ == QLatin1String("N")) {
        texto = QStringLiteral("F2-Busq F7-Cant F8-Desc F9-Observ F10-PUnit");
    } else {
        return;
    }
    textoTeclas_ = texto;
    tooltipTeclas_ = tooltip;
    shell::PonEstado(2, texto);
    if (auto* midi = qobject_cast<shell::MIDI*>(window())) {
        if (QLabel* panel = midi->etiquetaPanel(2))
            panel->setToolTip(tooltip);
    }
    emit teclasCambiadas(texto, tooltip);
}

void frmVenta::CambioCliente()
{
    if (clienteDocumento_.isEmpty() || clienteDocumento_ == QLatin1String(".....")) {
        desglosaIVA_ = false;
    } else {
        const QString clave = G().SeleccionCatalogo.section(QLatin1Char(';'), 0, 0);
        desglosaIVA_ = !(clave.size() < 12 || clienteDocumento_ == QLatin1String("XAXX010101000"));
        txtTotal->setText(CalculaTotal(0, 0));
    }
    if (modo_ == QLatin1String("E"))
        FormatoGridES();
    else
        FormatoGrid();
}

void frmVenta::cmdCliente_Click()
{
    TipoSeleccion = 2;
    shell::EligeCliente();
}

bool frmVenta::ConfirmaCierre()
{
    if (lineas_.count() > 0 && !cabeceraGuardada_) {
        if (prompts().question(QStringLiteral("Los datos de sus productos no han sido aplicados, "
                                              "desea continuar ?"),
                               QStringLiteral("Confirmar."))
            != ui::Answer::Yes) {
            capCodigoBarras->SetFocus();
            return false;
        }
        BorraProd();
    }
    return true;
}

void frmVenta::cmdCerrar_Click()
{
    if (Procesando)
        return;  // a sale is being stored
    if (!ConfirmaCierre())
        return;
    // The frame of the main window closes with the form.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void frmVenta::closeEvent(QCloseEvent* e)
{
    // A sale being stored, or pending lines the person wants to keep.
    if (Procesando || !ConfirmaCierre()) {
        e->ignore();
        return;
    }
    CerrandoVenta = 1;
    Timer1->stop();
    Timer2->stop();
    QWidget::closeEvent(e);
    if (!e->isAccepted())
        return;
    // The key help and the ticket notice describe this screen: they go with it.
    if (!textoTeclas_.isEmpty() && shell::UltimoEstado(2) == textoTeclas_) {
        shell::PonEstado(2, QString());
        if (auto* midi = qobject_cast<shell::MIDI*>(window()))
            if (QLabel* panel = midi->etiquetaPanel(2))
                panel->setToolTip(QString());
    }
    if (estado3Previo_ && shell::UltimoEstado(3) == estado3_)
        shell::PonEstado(3, *estado3Previo_);
}

void frmVenta::PonEstadoVenta(int panel, const QString& texto)
{
    if (panel != 3) {
        shell::PonEstado(panel, texto);
        return;
    }
    if (!estado3Previo_)
        estado3Previo_ = shell::UltimoEstado(3);
    estado3_ = texto.isEmpty() ? *estado3Previo_ : texto;
    shell::PonEstado(3, estado3_);
}

void frmVenta::FaltaGuardado(const QString& que)
{
    prompts().message(que + QStringLiteral(": el guardado de este documento aún no está disponible."),
                      ui::Icon::Information);
    capCodigoBarras->SetFocus();
}

// The save commands: each one keeps its own slot; the documents are stored by their own paths.
// VenderPantalla and TicketPantalla run the discount field's step themselves.
void frmVenta::cmdFacturar_Click() { VenderPantalla(*this, sale::TipoFactura); }
void frmVenta::cmdFacturaE_Click() { VenderPantalla(*this, sale::TipoFacturaE); }
void frmVenta::cmdTicket_Click() { TicketPantalla(*this); }

void frmVenta::cmdNuevo_Click()
{
    if (Procesando)
        return;  // a sale is being stored
    // Only lines of this document that no save has stored are lost; a recalled document's stay.
    if (lineas_.count() > 0 && !cabeceraGuardada_ && lineas_.hayPropias()
        && prompts().question(QStringLiteral("Los datos de sus productos no han sido facturados y "
                                             "los perdera, desea continuar ?"),
                              QStringLiteral("Confirmar."))
               != ui::Answer::Yes) {
        capCodigoBarras->SetFocus();
        return;
    }
    TerminaRecuperacion();
    BorraProd();
    // The payment of the last document goes with it: seller, condition, amount received, slots.
    LimpiaPagoVenta();
    lblRem->clear();
    if (auto* dialogo = findChild<frmFacturar*>(QString(), Qt::FindDirectChildrenOnly)) {
        dialogo->txtcantidadp->setText(QStringLiteral("0"));
        dialogo->txtcambio->setText(QStringLiteral("0"));
    }
    PonDescuento(0);
    cmbDescuento->setCurrentIndex(0);
    IniciaDatos();
    // A new document: capture, delete, discount, recall, sell and client again, as far as the
    // screen's mode has them.
    cmdBorrarP->setEnabled(true);
    capCodigoBarras->setEnabled(true);
    capDescuento->setEnabled(true);
    cmdBuscar->setEnabled(modo_ != QLatin1String("E") && modo_ != QLatin1String("N"));
    cmdFacturar->setEnabled(modo_ == QLatin1String("F"));
    cmdCliente->setEnabled(modo_ != QLatin1String("E"));
    ActualizaTotales();
    capCodigoBarras->SetFocus();
}

void frmVenta::Activacion()
{
    mantenerBusqueda_ = false;
    QFont f = lblCodigo->font();
    f.setUnderline(false);
    lblCodigo->setFont(f);
    if (auto* midi = qobject_cast<shell::MIDI*>(window()))
        if (QAction* fecha = midi->accion(QStringLiteral("mnFecha")))
            fecha->setText(shell::FechaLarga(QDate::currentDate()));
    if (!capCodigoBarras->Enabled()) {
        prompts().message(QStringLiteral("No esta en modo de captura, salga y vuelva a entrar a la "
                                         "pantalla."),
                          ui::Icon::None);
        return;
    }
    capCodigoBarras->SetFocus();
    AjustaDetalles();
    // Each pick is one value handed to this screen and taken once, whatever closed in between: the
    // customer (or guarantor) the screen asked for, and a product the catalogue handed over; one
    // never waits behind the other.
    const QString sel = G().SeleccionCatalogo;
    const int corte = sel.indexOf(QLatin1Char(';'));
    if (TipoSeleccion == 3) {
        if (corte >= 0) {
            capAval->setText(sel.mid(corte + 1));
            avalDocumento_ = sel.left(corte);
        }
    } else if (TipoSeleccion == 2) {
        if (corte >= 0) {
            ClienteVenta = sel.mid(corte + 1);
            clienteDocumento_ = sel.left(corte);
            lblCliente->setText(ClienteVenta);
            CambioCliente();
        }
    }
    if (!G().CodigoProductoSel.isEmpty()) {
        // A product the catalogue handed over is taken once: any later activation (another
        // window closing) must not put it, or a code of this screen's own, in the field again.
        PonCodigo(G().CodigoProductoSel);
        G().CodigoProductoSel.clear();
        seleccionGrid_ = false;
    }
    capCodigoBarras->SetFocus();
    // While the customer picker is still in sight the person may choose again there: the pick
    // stays open, so the customer chosen last is the one the sale keeps.
    if (!SeleccionEnCurso())
        TipoSeleccion = 0;
}

bool frmVenta::SeleccionEnCurso() const
{
    if (TipoSeleccion != 2 && TipoSeleccion != 3)
        return false;
    QWidget* picker = shell::FormaCargada(QStringLiteral("frmClientes"));
    if (!picker)
        return false;
    QWidget* marco = qobject_cast<QMdiSubWindow*>(picker->parentWidget()) ? picker->parentWidget() : picker;
    // A picker closing (its close box, Esc) is hidden before its frame goes: the pick is over.
    return marco->isVisible() && picker->isVisible();
}

void frmVenta::ConectaActivacion(QMdiArea* area)
{
    if (!area)
        return;
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* activa) {
        if (!activa)
            return;  // the main window lost the focus (a dialog): nothing changes here
        auto* propia = qobject_cast<QMdiSubWindow*>(parentWidget());
        const QMdiSubWindow* antes = ultimaActiva_;
        ultimaActiva_ = activa;
        if (activa == propia && antes != propia)
            Activacion();
    });
}

bool frmVenta::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonDblClick) {
        if (o == lblCodigo) {
            mantenerBusqueda_ = !mantenerBusqueda_;
            QFont f = lblCodigo->font();
            f.setUnderline(mantenerBusqueda_);
            lblCodigo->setFont(f);
            return true;
        }
        if (o == Label2) {
            // Details on, the capture area moves up into the details box's place.
            chkDetalles->setChecked(true);
            AjustaDetalles();
            txtDetalles->setPlainText(TextoDetalles(LineaActual()));
            txtDetalles->setVisible(false);
            detallesArriba_ = true;
            return true;
        }
    }
    if (e->type() == QEvent::MouseButtonRelease) {
        if (o == lblCProductos) {
            prompts().message(cmdActInv->isEnabled() ? QStringLiteral("Verdadero")
                                                     : QStringLiteral("Falso"),
                              ui::Icon::None);
            return true;
        }
        if (o == capAval) {
            TipoSeleccion = 3;
            shell::EligeCliente();
            return true;
        }
    }
    // A key the code field's box left unused comes up to the field: the rules have seen it already.
    if (o == capCodigoBarras && e->type() == QEvent::KeyPress)
        return true;
    if (o == lstOpciones || o == lstPrecios) {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape
            && o == lstOpciones) {
            lstOpciones->hide();
            capCodigoBarras->SetFocus();
            return true;
        }
        if (e->type() == QEvent::FocusOut) {
            if (o == lstOpciones && !lstPrecios->hasFocus())
                lstOpciones->hide();
            if (o == lstPrecios || !lstPrecios->hasFocus())
                lstPrecios->hide();
        }
        return QWidget::eventFilter(o, e);
    }
    if (e->type() == QEvent::KeyPress && (o == DBGrid1 || o == DBGrid2)) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (o == DBGrid2 && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
            seleccionGrid_ = true;
            G().ProductoPendiente = 1;
            selprod();
            G().ProductoPendiente = 0;
            return true;
        }
        const int codigo = CodigoTecla(k->key());
        if (codigo != 0 && TeclaAbajo(codigo))
            return true;
    }
    return QWidget::eventFilter(o, e);
}

// --- opening from the main menu ---

frmVenta* AbreVenta(shell::MIDI* midi, const QString& modo, ui::Prompts* prompts)
{
    ui::Prompts& p = prompts ? *prompts : ui::defaultPrompts();
    const QString caption = CaptionVenta(modo);
    if (auto* abierta = qobject_cast<frmVenta*>(shell::FormaCargada(QStringLiteral("frmVenta")))) {
        if (abierta->windowTitle() != caption) {
            p.message(QStringLiteral("Cierre la pantalla de ") + abierta->windowTitle()
                          + QStringLiteral(" antes de entrar a este proceso."),
                      ui::Icon::None);
            return nullptr;
        }
        G().ModoVenta = modo;
        abierta->setWindowTitle(caption);
        if (midi && qobject_cast<QMdiSubWindow*>(abierta->parentWidget()))
            midi->MuestraEnMDI(abierta);  // to the front
        else
            abierta->activateWindow();
        return abierta;
    }
    if (!QFile::exists(shell::RutaBDSucursal(G().SucursalActual))) {
        p.message(QStringLiteral("No se encontraron los archivos de datos para la sucursal."),
                  ui::Icon::Critical);
        return nullptr;
    }
    G().ModoVenta = modo;
    auto* forma = shell::Forma<frmVenta>();
    forma->setWindowTitle(caption);
    if (midi) {
        forma->ConectaActivacion(midi->areaMDI());
        midi->MuestraEnMDI(forma);
    } else
        forma->show();
    forma->capCodigoBarras->SetFocus();
    return forma;
}

void ConectaMenusVenta(shell::MIDI* midi)
{
    if (!midi)
        return;
    const std::pair<const char*, const char*> items[] = {
        {"Facturar", "F"}, {"Vcredito", "VC"}, {"Cotizaciones", "C"}, {"NotaCredito", "N"}};
    for (const auto& [item, modo] : items) {
        const QString m = QString::fromLatin1(modo);
        midi->AsignaAccion(QString::fromLatin1(item), [midi, m] { AbreVenta(midi, m); });
    }
    midi->AsignaAccion(QStringLiteral("PEInventario"), [midi] {
        if (shell::TienePermiso(14, false))
            AbreVenta(midi, QStringLiteral("E"));
    });
    ConectaUtilidadesMenu(midi);
}

}  // namespace venta
