#include "admin/forms/frmparamsuc.h"
#include "shell/rutinas_bd.h"

#include "admin/consola.h"
#include "admin/forms/campos.h"
#include "capture_control/ccaptura.h"
#include "platform/ui/prompts.h"
#include "printing/forms/frmSelectPrinter.h"
#include "printing/impresoraticket.h"
#include "printing/pruebaimpresion.h"
#include "sale/teclas.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/menu.h"
#include "shell/rutas.h"
#include "shell/texto.h"
#include "shell/utilidades_menu.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace admin {

namespace {

// The data-folder chooser. Kept behind one function so the program's shared chooser can take its
// place without touching the form.
QString eligeConDialogo(QWidget* padre, const QString& actual)
{
    return QFileDialog::getExistingDirectory(padre, QStringLiteral("Carpeta de datos"), actual);
}

std::function<QString(QWidget*, const QString&)>& eligeCarpeta()
{
    static std::function<QString(QWidget*, const QString&)> f = eligeConDialogo;
    return f;
}

QCheckBox* casilla(QWidget* padre, const char* nombre, const QString& texto)
{
    auto* c = new QCheckBox(texto, padre);
    c->setObjectName(QString::fromLatin1(nombre));
    return c;
}

QComboBox* lista(QWidget* padre, const char* nombre, const QStringList& items)
{
    auto* c = new QComboBox(padre);
    c->setObjectName(QString::fromLatin1(nombre));
    c->setEditable(false);
    c->addItems(items);
    return c;
}

Qt::CheckState estadoCasilla(int v)
{
    return v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int deCasilla(const QCheckBox* c)
{
    return c->checkState() == Qt::Checked ? 1 : c->checkState() == Qt::PartiallyChecked ? 2 : 0;
}

}  // namespace

void frmParamSuc::EstableceEligeCarpeta(std::function<QString(QWidget*, const QString&)> elige)
{
    eligeCarpeta() = elige ? std::move(elige) : eligeConDialogo;
}

frmParamSuc::frmParamSuc(QWidget* parent, ui::Prompts* avisos) : QDialog(parent), prompts_(avisos)
{
    setObjectName(QStringLiteral("frmParamSuc"));
    setWindowTitle(QStringLiteral("Parametros de la sucursal."));
    setModal(true);
    auto* raiz = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->addTab(CreaTabVer(), QStringLiteral("Ver..."));
    SSTab1->addTab(CreaTabImpresion(), QStringLiteral("Impresion..."));
    SSTab1->addTab(CreaTabGeneral(), QStringLiteral("General..."));
    SSTab1->addTab(CreaTabKeys(), QStringLiteral("Keys"));
    SSTab1->addTab(CreaTabMantto(), QStringLiteral("Mantto"));
    raiz->addWidget(SSTab1, 1);
    auto* botones = new QHBoxLayout;
    Command1 = new QPushButton(QStringLiteral("&Cerrar"), this);
    Command2 = new QPushButton(QStringLiteral("&Guardar"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {Command1, Command2}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    botones->insertStretch(0);
    raiz->addLayout(botones);
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (ejecutando_)
            detener_ = true;
        else
            reject();
    });
    connect(Command2, &QPushButton::clicked, this, &frmParamSuc::Command2_Click);
    Carga();
}

QWidget* frmParamSuc::CreaTabVer()
{
    auto* tab = new QWidget(this);
    auto* g = new QVBoxLayout(tab);
    auto* f = new QFormLayout;
    cmbSetBusqueda = lista(tab, "cmbSetBusqueda",
                           {QStringLiteral("CodigoBarras"), QStringLiteral("Nombre"), QStringLiteral("Nombre sin ESP"),
                            QStringLiteral("Descripcion")});
    f->addRow(QStringLiteral("Busqueda x Default:"), cmbSetBusqueda);
    g->addLayout(f);
    chkDescripcionProd = casilla(tab, "chkDescripcionProd", QStringLiteral("Mostrar Descripción del producto"));
    chkNombreProd = casilla(tab, "chkNombreProd", QStringLiteral("Mostrar Nombre/Modelo del Producto"));
    chkUbicacion = casilla(tab, "chkUbicacion", QStringLiteral("Mostrar Ubicacion Fisica del Producto"));
    chkIncrementoAp = casilla(tab, "chkIncrementoAp", QStringLiteral("Incremento AP"));
    for (QCheckBox* c : {chkDescripcionProd, chkNombreProd, chkUbicacion, chkIncrementoAp})
        g->addWidget(c);
    cmdCDireccion = new QPushButton(QStringLiteral("Cambia &Direccion..."), tab);
    cmdCDireccion->setAutoDefault(false);
    g->addWidget(cmdCDireccion, 0, Qt::AlignLeft);
    g->addStretch();
    // The grid always shows at least one of its two product columns.
    connect(chkDescripcionProd, &QCheckBox::clicked, this, [this] {
        if (!chkDescripcionProd->isChecked())
            chkNombreProd->setChecked(true);
    });
    connect(chkNombreProd, &QCheckBox::clicked, this, [this] {
        if (!chkNombreProd->isChecked())
            chkDescripcionProd->setChecked(true);
    });
    connect(cmdCDireccion, &QPushButton::clicked, this, &frmParamSuc::cmdCDireccion_Click);
    return tab;
}

QWidget* frmParamSuc::CreaTabImpresion()
{
    auto* tab = new QWidget(this);
    auto* g = new QGridLayout(tab);
    capImp1 = kestril::CreaCampoCaptura(tab, QStringLiteral("capImp1"), QStringLiteral("Impresora para Facturar."), 70);
    capImp2 = kestril::CreaCampoCaptura(tab, QStringLiteral("capImp2"), QStringLiteral("Impresora para Reportes:"), 70);
    capImp3 = kestril::CreaCampoCaptura(tab, QStringLiteral("capImp3"), QStringLiteral("Impresora de tickets:"), 70);
    // Queue names are case-sensitive: the boxes keep them as typed, as the chooser dialog does.
    for (CCaptura* c : {capImp1, capImp2, capImp3})
        c->setProperty(kestril::kPropiedadTalComoSeTeclea, true);
    auto boton = [tab](const char* nombre) {
        auto* b = new QPushButton(QStringLiteral("Establecer Impresora."), tab);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setAutoDefault(false);
        return b;
    };
    cmdPrint1 = boton("cmdPrint1");
    Command3 = boton("Command3");
    Command4 = boton("Command4");
    int f = 0;
    for (auto [campo, b] : {std::pair{capImp1, cmdPrint1}, std::pair{capImp2, Command3}, std::pair{capImp3, Command4}}) {
        g->addWidget(campo, f, 0);
        g->addWidget(b, f++, 1, Qt::AlignBottom);
    }
    capDriver = kestril::CreaCampoCaptura(tab, QStringLiteral("capDriver"), QStringLiteral("Driver de Impresora:"), 70);
    capDriver->setLocked(true);  // shown only; the row keeps what the set-up wrote
    g->addWidget(capDriver, f++, 0);
    chkPrintServer = casilla(tab, "chkPrintServer", QStringLiteral("Usar Servidor de Impresión"));
    g->addWidget(chkPrintServer, f++, 0);
    auto* listas = new QFormLayout;
    cmbCodigos = lista(tab, "cmbCodigos",
                       {QStringLiteral("0.Generico"), QStringLiteral("1.Epson"), QStringLiteral("2.Samsung"),
                        QStringLiteral("3.ESC/POS")});
    lstMetodoPrint = lista(tab, "lstMetodoPrint", {QStringLiteral("0. Normal"), QStringLiteral("1. Texto")});
    cmbFormatoticket = lista(tab, "cmbFormatoticket", {QStringLiteral("0. Ampliado"), QStringLiteral("1. Simplificado")});
    listas->addRow(QStringLiteral("Codigos de impresora:"), cmbCodigos);
    listas->addRow(QStringLiteral("Metodo de impresion:"), lstMetodoPrint);
    listas->addRow(QStringLiteral("Formato de ticket:"), cmbFormatoticket);
    g->addLayout(listas, f++, 0, 1, 2);
    capLineasSimp = kestril::CreaCampoCaptura(tab, QStringLiteral("capLineasSimp"), QStringLiteral("Ajustar a lineas"), 5);
    capLineasSimp->setText(QStringLiteral("0"));
    g->addWidget(capLineasSimp, f++, 0);
    auto* textos = new QFormLayout;
    txtEncabezadoTicket = new QLineEdit(tab);
    txtEncabezadoTicket->setObjectName(QStringLiteral("txtEncabezadoTicket"));
    txtPieTicket = new QLineEdit(tab);
    txtPieTicket->setObjectName(QStringLiteral("txtPieTicket"));
    textos->addRow(QStringLiteral("Encabezado:"), txtEncabezadoTicket);
    textos->addRow(QStringLiteral("Pie del Ticket:"), txtPieTicket);
    g->addLayout(textos, f++, 0, 1, 2);
    cmdprueba = new QPushButton(QStringLiteral("Prueba..."), tab);
    cmdprueba->setObjectName(QStringLiteral("cmdprueba"));
    cmdprueba->setAutoDefault(false);
    g->addWidget(cmdprueba, f++, 1);
    g->setRowStretch(f, 1);
    g->setColumnStretch(0, 1);
    // Each button fills its field with the printer chosen; a cancelled choice leaves it as it was.
    for (auto [b, campo] : {std::pair{cmdPrint1, capImp1}, std::pair{Command3, capImp2}, std::pair{Command4, capImp3}})
        connect(b, &QPushButton::clicked, this, [this, campo] {
            const QString elegida = frmSelectPrinter::Elige(this, prompts_);
            if (!elegida.isEmpty())
                campo->setText(elegida);
        });
    connect(cmdprueba, &QPushButton::clicked, this, &frmParamSuc::cmdprueba_Click);

    connect(cmbFormatoticket, &QComboBox::currentIndexChanged, this,
            [this](int i) { capLineasSimp->setEnabled(i == 0); });
    return tab;
}

QWidget* frmParamSuc::CreaTabGeneral()
{
    auto* tab = new QWidget(this);
    auto* g = new QGridLayout(tab);
    capIVA = kestril::CreaCampoCaptura(tab, QStringLiteral("capIVA"), QStringLiteral("I.V.A:"), 5);
    capSucursal1 = kestril::CreaCampoCaptura(tab, QStringLiteral("capSucursal1"), QStringLiteral("Sucursal:"), 5);
    capSucursal1->setLocked(true);  // the stock queries read the branch's number from it
    capPrefijoFact = kestril::CreaCampoCaptura(tab, QStringLiteral("capPrefijoFact"), QStringLiteral("Prefijo Fact:"), 10);
    capTFuente = kestril::CreaCampoCaptura(tab, QStringLiteral("capTFuente"), QStringLiteral("Tamaño Fuente:"), 5);
    capAjuste = kestril::CreaCampoCaptura(tab, QStringLiteral("capAjuste"), QStringLiteral("Ajuste:"), 5);
    capEspT = kestril::CreaCampoCaptura(tab, QStringLiteral("capEspT"), QStringLiteral("EspT:"), 6);
    capEspT->setToolTip(QStringLiteral("Pulso de corte."));
    capMaxDescFact = kestril::CreaCampoCaptura(tab, QStringLiteral("capMaxDescFact"), QStringLiteral("DescMaxFact:"), 5);
    capMaxDescFact->setToolTip(QStringLiteral("Descuento máximo x Factura. Ejemplo: 15=15%"));
    capnTimesCajon = kestril::CreaCampoCaptura(tab, QStringLiteral("capnTimesCajon"), QStringLiteral("NPulsoCajon:"), 5);
    capListaPrecios = kestril::CreaCampoCaptura(tab, QStringLiteral("capListaPrecios"), QStringLiteral("LPreciosxDefault:"), 5);
    capNtimesticket = kestril::CreaCampoCaptura(tab, QStringLiteral("capNtimesticket"), QStringLiteral("TicketNVeces:"), 5);
    capNtimesticket->setText(QStringLiteral("1"));
    int f = 0;
    for (CCaptura* c : {capIVA, capSucursal1, capPrefijoFact, capTFuente, capAjuste, capEspT, capMaxDescFact,
                        capnTimesCajon, capListaPrecios, capNtimesticket})
        g->addWidget(c, f++, 0);
    chkTraspasoDir = casilla(tab, "chkTraspasoDir", QStringLiteral("1. Traspasos directos a la sucursal destino"));
    chkagregarGENERICO = casilla(tab, "chkagregarGENERICO", QStringLiteral("2. Modo de agregar en el producto GENERICO"));
    chkpulsoCajon = casilla(tab, "chkpulsoCajon", QStringLiteral("3. Enviar pulso de Cajon de Dinero"));
    chkPagosMultiples = casilla(tab, "chkPagosMultiples", QStringLiteral("4. Activar Función de Pagos Multiples."));
    chkControlCaja = casilla(tab, "chkControlCaja", QStringLiteral("5. Activar Función de Control de Caja."));
    chkVentasaTicket = casilla(tab, "chkVentasaTicket", QStringLiteral("6. Reporte de ventas a MiniPrinter"));
    chkCotizacionaTicket = casilla(tab, "chkCotizacionaTicket", QStringLiteral("7. Imprime Cotización a MiniPrinter"));
    chkTraspasosaTicket = casilla(tab, "chkTraspasosaTicket", QStringLiteral("8. Comprobante de traspaso a MiniPrinter"));
    chkFacturaaTicket = casilla(tab, "chkFacturaaTicket", QStringLiteral("9. Imprimir Factura a MiniPrinter"));
    chkTicket = casilla(tab, "chkTicket", QStringLiteral("10. Tickets"));
    chkFacturaE = casilla(tab, "chkFacturaE", QStringLiteral("11. FacturaE"));
    chkPreguntaCompVenta = casilla(tab, "chkPreguntaCompVenta", QStringLiteral("12. Pregunta Ticket de Venta"));
    chkPreguntaCompES = casilla(tab, "chkPreguntaCompES", QStringLiteral("13. Pregunta Ticket E/S"));
    ChkCantidadAuto = casilla(tab, "ChkCantidadAuto", QStringLiteral("14. Pregunta Cantidad Automaticamente"));
    chkVerDescuentoGral = casilla(tab, "chkVerDescuentoGral", QStringLiteral("15. Ver Descuento General"));
    f = 0;
    for (QCheckBox* c : {chkTraspasoDir, chkagregarGENERICO, chkpulsoCajon, chkPagosMultiples, chkControlCaja,
                         chkVentasaTicket, chkCotizacionaTicket, chkTraspasosaTicket, chkFacturaaTicket, chkTicket,
                         chkFacturaE, chkPreguntaCompVenta, chkPreguntaCompES, ChkCantidadAuto, chkVerDescuentoGral})
        g->addWidget(c, f++, 1);
    g->setRowStretch(f, 1);
    g->setColumnStretch(0, 1);
    g->setColumnStretch(1, 2);

    connect(capIVA, &CCaptura::Enter, this, &frmParamSuc::capIVA_Enter);
    connect(capListaPrecios, &CCaptura::Change, this, [this] {
        const double n = shell::Val(capListaPrecios->Text());
        if (n < 0 || n > 3)
            capListaPrecios->setText(QStringLiteral("0"));
    });
    connect(chkpulsoCajon, &QCheckBox::clicked, this, [this] { capnTimesCajon->setText(QStringLiteral("1")); });
    connect(chkFacturaE, &QCheckBox::clicked, this, &frmParamSuc::AvisoFacturaE);
    return tab;
}

QWidget* frmParamSuc::CreaTabKeys()
{
    auto* tab = new QWidget(this);
    auto* g = new QHBoxLayout(tab);
    for (int marco = 0; marco < 2; ++marco) {
        auto* caja = new QGroupBox(marco == 0 ? QStringLiteral("Manda Ticket") : QStringLiteral("Activa Ticket"), tab);
        auto* f = new QFormLayout(caja);
        for (int i = 0; i < 3; ++i) {
            auto*& t = txtTecla[marco * 3 + i];
            t = new QLineEdit(caja);
            t->setObjectName(QStringLiteral("txtTecla%1").arg(marco * 3 + i + 1));
            t->installEventFilter(this);
            f->addRow(QStringLiteral("Tecla %1:").arg(i + 1), t);
        }
        g->addWidget(caja);
    }
    return tab;
}

QWidget* frmParamSuc::CreaTabMantto()
{
    auto* tab = new QWidget(this);
    auto* g = new QVBoxLayout(tab);
    txtSQL = new QPlainTextEdit(tab);
    txtSQL->setObjectName(QStringLiteral("txtSQL"));
    g->addWidget(txtSQL, 1);
    auto* fila = new QHBoxLayout;
    optBD1 = new QRadioButton(QStringLiteral("BD1"), tab);
    optBD2 = new QRadioButton(QStringLiteral("BD2"), tab);
    optBD1->setToolTip(QStringLiteral("Base de datos central (BDcodigos)."));
    optBD2->setToolTip(QStringLiteral("Base de datos de la sucursal actual."));
    grupoBD_ = new QButtonGroup(this);
    grupoBD_->addButton(optBD1);
    grupoBD_->addButton(optBD2);
    cmdEjecutar = new QPushButton(QStringLiteral("&Ejecutar"), tab);
    cmdEjecutar->setObjectName(QStringLiteral("cmdEjecutar"));
    cmdEjecutar->setAutoDefault(false);
    fila->addWidget(optBD1);
    fila->addWidget(optBD2);
    fila->addStretch();
    fila->addWidget(cmdEjecutar);
    g->addLayout(fila);
    connect(cmdEjecutar, &QPushButton::clicked, this, &frmParamSuc::cmdEjecutar_Click);
    return tab;
}

ui::Prompts& frmParamSuc::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmParamSuc::Carga()
{
    capImp1->setCaption(G().FacturaE ? QStringLiteral("Impresora para Venta Mostrador.")
                                     : QStringLiteral("Impresora para Facturar."));
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    ValoresParametros v;
    QString error = e.message;
    if (!bd || !CargaParametros(*bd, &v, &error)) {
        prompts().message(QStringLiteral("No se pudieron leer los parámetros de la sucursal: ") + error,
                          ui::Icon::Critical);
        Command2->setEnabled(false);
        return;
    }
    Muestra(v);
    cargado_ = true;
    // A row that asks for electronic invoices without the print server says so as the form opens.
    if (v.FacturaE && !v.UsarServidorImp)
        AvisoFacturaE();
}

void frmParamSuc::Muestra(const ValoresParametros& v)
{
    capIVA->setText(v.IVA);
    capSucursal1->setText(v.Sucursal);
    capPrefijoFact->setText(v.PrefijoFact);
    capTFuente->setText(v.TFuente);
    capAjuste->setText(v.Ajuste);
    capEspT->setText(v.EspT);
    capMaxDescFact->setText(v.MaxDescuentoFact);
    capDriver->setText(v.Driver);
    chkIncrementoAp->setChecked(v.IncrementoAP);
    chkPrintServer->setChecked(v.UsarServidorImp);
    chkUbicacion->setChecked(v.MUbicacion);
    capImp1->setText(v.Printer1);
    capImp2->setText(v.Printer2);
    capImp3->setText(v.Printer3);
    cmbCodigos->setCurrentIndex(v.CodigosPTicket);
    cmbSetBusqueda->setCurrentIndex(v.BDefault);
    txtEncabezadoTicket->setText(v.EncTicket);
    txtPieTicket->setText(v.PieTicket);
    chkTraspasoDir->setChecked(v.TraspasosDir);
    chkpulsoCajon->setChecked(v.OpenCDrawer);
    chkPagosMultiples->setChecked(v.PagosMultiples);
    chkagregarGENERICO->setChecked(v.GenAgregar);
    chkControlCaja->setChecked(v.ControlCaja);
    chkVentasaTicket->setChecked(v.VentasaTicket);
    chkCotizacionaTicket->setChecked(v.CotizacionaTicket);
    chkTraspasosaTicket->setChecked(v.TraspasosaTicket);
    chkFacturaaTicket->setChecked(v.FacturaaTicket);
    capnTimesCajon->setText(v.NTimesCajon);
    lstMetodoPrint->setCurrentIndex(v.MetodoImpresion);
    cmbFormatoticket->setCurrentIndex(v.Formatoticket);
    capLineasSimp->setEnabled(v.Formatoticket == 0);
    chkDescripcionProd->setChecked(v.MDescripcion);
    chkNombreProd->setChecked(v.MNombre);
    chkTicket->setChecked(v.ParTickets);
    chkFacturaE->setChecked(v.FacturaE);
    capNtimesticket->setText(v.nTimesTicket);
    for (int i = 0; i < 6; ++i)
        txtTecla[i]->setText(v.teclas[size_t(i)]);
    chkPreguntaCompVenta->setCheckState(estadoCasilla(v.PreguntaCompVenta));
    chkPreguntaCompES->setCheckState(estadoCasilla(v.PreguntaCompES));
    ChkCantidadAuto->setCheckState(estadoCasilla(v.CantidadAuto));
    chkVerDescuentoGral->setCheckState(estadoCasilla(v.VerDesctoVenta));
    capListaPrecios->setText(v.ListaPrecioDef);
}

ValoresParametros frmParamSuc::Valores() const
{
    ValoresParametros v;
    v.IVA = capIVA->Text();
    v.Sucursal = capSucursal1->Text();
    v.PrefijoFact = capPrefijoFact->Text();
    v.TFuente = capTFuente->Text();
    v.Ajuste = capAjuste->Text();
    v.EspT = capEspT->Text();
    v.MaxDescuentoFact = capMaxDescFact->Text();
    v.Driver = capDriver->Text();
    v.IncrementoAP = chkIncrementoAp->isChecked();
    v.UsarServidorImp = chkPrintServer->isChecked();
    v.MUbicacion = chkUbicacion->isChecked();
    v.Printer1 = capImp1->Text();
    v.Printer2 = capImp2->Text();
    v.Printer3 = capImp3->Text();
    v.CodigosPTicket = cmbCodigos->currentIndex();
    v.BDefault = cmbSetBusqueda->currentIndex();
    v.EncTicket = txtEncabezadoTicket->text();
    v.PieTicket = txtPieTicket->text();
    v.TraspasosDir = chkTraspasoDir->isChecked();
    v.OpenCDrawer = chkpulsoCajon->isChecked();
    v.PagosMultiples = chkPagosMultiples->isChecked();
    v.GenAgregar = chkagregarGENERICO->isChecked();
    v.ControlCaja = chkControlCaja->isChecked();
    v.VentasaTicket = chkVentasaTicket->isChecked();
    v.CotizacionaTicket = chkCotizacionaTicket->isChecked();
    v.TraspasosaTicket = chkTraspasosaTicket->isChecked();
    v.FacturaaTicket = chkFacturaaTicket->isChecked();
    v.NTimesCajon = capnTimesCajon->Text();
    v.MetodoImpresion = lstMetodoPrint->currentIndex();
    v.Formatoticket = cmbFormatoticket->currentIndex();
    v.MDescripcion = chkDescripcionProd->isChecked();
    v.MNombre = chkNombreProd->isChecked();
    v.ParTickets = chkTicket->isChecked();
    v.FacturaE = chkFacturaE->isChecked();
    v.nTimesTicket = capNtimesticket->Text();
    for (int i = 0; i < 6; ++i)
        v.teclas[size_t(i)] = txtTecla[i]->text();
    v.PreguntaCompVenta = deCasilla(chkPreguntaCompVenta);
    v.PreguntaCompES = deCasilla(chkPreguntaCompES);
    v.CantidadAuto = deCasilla(ChkCantidadAuto);
    v.VerDesctoVenta = deCasilla(chkVerDescuentoGral);
    v.ListaPrecioDef = capListaPrecios->Text();
    return v;
}

void frmParamSuc::AvisoFacturaE()
{
    if (chkFacturaE->isChecked() && !chkPrintServer->isChecked())
        prompts().message(QStringLiteral("Para poder utilizar correctamente la funcionalidad del Modulo de FacturaE, "
                                         "habilite el modulo de Servidor de Folios."),
                          ui::Icon::None);
}

void frmParamSuc::Command2_Click()
{
    if (!cargado_ || !shell::PuedeEscribir(QStringLiteral("DSucursal"), prompts()))
        return;
    // The description shows whenever generic lines become products.
    if (chkagregarGENERICO->isChecked())
        chkDescripcionProd->setChecked(true);
    const ValoresParametros v = Valores();
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    QString error = QStringLiteral("Error al guardar. ") + shell::TextoErrorBD(e);
    if (!bd || !GuardaParametros(*bd, v, &error)) {
        prompts().message(error, ui::Icon::Critical);
        return;
    }
    prompts().message(QStringLiteral("Se Actualizaron los registros."), ui::Icon::None);
    const QString aviso = AvisoImpresorasDesconocidas(
        {{capImp1->Caption(), v.Printer1}, {capImp2->Caption(), v.Printer2}, {capImp3->Caption(), v.Printer3}});
    if (!aviso.isEmpty()) prompts().message(aviso, ui::Icon::Warning);
    auto& g = G();
    g.CodigosPTicket = v.CodigosPTicket;
    g.Printer1 = v.Printer1;
    g.Printer2 = v.Printer2;
    g.Printer3 = v.Printer3;
}

void frmParamSuc::cmdprueba_Click()
{
    PruebaTicket p;
    p.impresora = capImp3->Text();
    p.codigos = std::max(0, cmbCodigos->currentIndex());
    p.metodo = std::max(0, lstMetodoPrint->currentIndex());
    p.cajon = chkpulsoCajon->isChecked();
    ImprimePruebaTicket(p, prompts());
}

void frmParamSuc::capIVA_Enter()
{
    const QString t = capIVA->Text();
    bool numerico = false;
    t.trimmed().toDouble(&numerico);
    if (!numerico)
        return;
    const auto iva = IVAValido(t);
    if (!iva) {
        prompts().message(QStringLiteral("El I.V.A. debe ser un número entero de 0 a 100."), ui::Icon::Information);
        return;
    }
    if (prompts().question(QStringLiteral("Ha cambiado el valor por default del IVA, desea cambiar el porcentaje en "
                                          "todos los registros del catalogo de productos ?"))
        != ui::Answer::Yes)
        return;
    db::Database* central = shell::BDCodigos();
    if (!central) {
        prompts().message(QStringLiteral("No se pudo abrir el catálogo de productos."), ui::Icon::Critical);
        return;
    }
    if (CambiaIVAProductos(*central, *iva))
        prompts().message(QStringLiteral("Cambio realizado."), ui::Icon::None);
}

void frmParamSuc::cmdEjecutar_Click()
{
    const QString r = prompts().input(QStringLiteral("Teclee la clave que permite ejecutar la instrucción:"),
                                      QStringLiteral("Confirmar."), QString());
    if (!EsClaveConsola(r))
        return;
    const BaseConsola base = optBD1->isChecked()   ? BaseConsola::Central
                             : optBD2->isChecked() ? BaseConsola::Sucursal
                                                   : BaseConsola::Ninguna;
    const QString ruta = base == BaseConsola::Sucursal ? shell::RutaBDSucursal(G().SucursalActual) : shell::RutaBDCodigos();
    if (ejecutando_)
        return;
    db::LockWait espera = esc_.espera([this](const QString& texto) {
        cmdEjecutar->setText(texto.isEmpty() ? QStringLiteral("&Ejecutar") : texto);
    });
    espera.cancelled = [this] { return esc_.cancelado() || detener_; };
    ejecutando_ = true;
    detener_ = false;
    const ResultadoConsola res = EjecutaConsola(base, ruta, shell::RutaBDCodigos(), txtSQL->toPlainText(), espera);
    ejecutando_ = false;
    if (!res.ok) {
        prompts().message(res.mensaje, ui::Icon::Critical);
        return;
    }
    prompts().message(QStringLiteral("Hecho."), ui::Icon::None);
}

void frmParamSuc::cmdCDireccion_Click()
{
    if (!shell::SinVentanasAbiertas(prompts(), {this})) return;
    shell::CambiaDireccion(prompts(), [this](const QString& actual) { return eligeCarpeta()(this, actual); },
                           shell::RutaAplicacion());
}

bool frmParamSuc::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride) {
        for (QLineEdit* t : txtTecla)
            if (o == t) {
                // The box holds the code of the key pressed; nothing is typed into it.
                if (e->type() == QEvent::KeyPress) {
                    const int codigo = venta::CodigoTecla(static_cast<QKeyEvent*>(e)->key());
                    if (codigo != 0)
                        t->setText(QString::number(codigo));
                }
                e->accept();
                return true;
            }
    }
    return QDialog::eventFilter(o, e);
}

void AbreParamSuc(QWidget* padre)
{
    frmParamSuc forma(padre);
    forma.exec();
}

}  // namespace admin
