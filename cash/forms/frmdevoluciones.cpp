#include "cash/forms/frmdevoluciones.h"

#include "capture_control/ccaptura.h"
#include "cash/devolucion_comprobante.h"
#include "cash/devolucion_guardado.h"
#include "cash/forms/devolucion_controles.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/avisos.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/texto.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace caja {

namespace {

constexpr int TwipsPorPixel = 15;
const QString FormatoMonto = QStringLiteral("#,###,##0.00");

QStandardItem* Texto(const QString& t) { return new QStandardItem(t); }
QStandardItem* Monto(double v) {
    auto* i = new QStandardItem(shell::Formato(v, FormatoMonto));
    i->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return i;
}
QStandardItem* Cantidad(double v) {
    auto* i = new QStandardItem(QString::number(v, 'g', 15));
    i->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return i;
}

// Selects the grid's row, or its last one when the row is past the end.
void Selecciona(QTableView* g, int fila) {
    const int n = g->model()->rowCount();
    if (n == 0) return;
    g->selectRow(qBound(0, fila, n - 1));
}

}  // namespace

frmDevoluciones::frmDevoluciones(QWidget* parent, db::Database* bd, ui::Prompts* prompts)
    : QWidget(parent), bd_(bd), prompts_(prompts) {
    setObjectName(QStringLiteral("frmDevoluciones"));
    setWindowTitle(QStringLiteral("Devoluciones."));

    auto* raiz = new QVBoxLayout(this);
    auto* cabeza = new QGridLayout();
    raiz->addLayout(cabeza);
    cmbEstatus = new QComboBox(this);
    cmbEstatus->setObjectName(QStringLiteral("cmbEstatus"));
    cmbEstatus->addItems({QStringLiteral("Ticket"), QStringLiteral("Factura")});
    capNumero = kestril::CreaCampoCaptura(this, QStringLiteral("capNumero"), QStringLiteral("Número de documento:"), 10);
    cmdConsultar = new QPushButton(QStringLiteral("&Consultar"), this);
    cmdConsultar->setObjectName(QStringLiteral("cmdConsultar"));
    capCausa = kestril::CreaCampoCaptura(this, QStringLiteral("capCausa"), QString::fromUtf8("Causa de la devolución:"), 100);
    capCausa->setToolTip(QString::fromUtf8("Explica la causa de la devolución."));
    cmbTipoDevolucion = new QComboBox(this);
    cmbTipoDevolucion->setObjectName(QStringLiteral("cmbTipoDevolucion"));
    cmbTipoDevolucion->addItems({QString::fromUtf8("Devolución a Nota crédito"),
                                 QString::fromUtf8("Devolución a EFECTIVO")});
    cabeza->addWidget(new QLabel(QStringLiteral("Tipo Docto:"), this), 0, 0);
    cabeza->addWidget(cmbEstatus, 1, 0);
    cabeza->addWidget(capNumero, 0, 1, 2, 1);
    cabeza->addWidget(cmdConsultar, 1, 2);
    cabeza->addWidget(capCausa, 0, 3, 2, 1);
    cabeza->addWidget(new QLabel(QString::fromUtf8("Devolución como:"), this), 0, 4);
    cabeza->addWidget(cmbTipoDevolucion, 1, 4);
    cabeza->setColumnStretch(3, 1);

    auto* datos = new QGridLayout();
    raiz->addLayout(datos);
    auto etiqueta = [this](const char* nombre) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(nombre));
        return l;
    };
    lblNombreCliente = etiqueta("lblNombreCliente");
    lblDescuentoVenta = etiqueta("lblDescuentoVenta");
    lblFechaventa = etiqueta("lblFechaventa");
    lblImporteventa = etiqueta("lblImporteventa");
    datos->addWidget(lblNombreCliente, 0, 0);
    datos->addWidget(lblDescuentoVenta, 0, 1);
    datos->addWidget(lblFechaventa, 1, 0);
    datos->addWidget(lblImporteventa, 1, 1);

    modeloVentas_ = new QStandardItemModel(this);
    modeloDevolucion_ = new QStandardItemModel(this);
    modeloDevueltos_ = new QStandardItemModel(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    raiz->addWidget(SSTab1, 1);

    auto* captura = new QWidget(SSTab1);
    auto* c = new QVBoxLayout(captura);
    gridDetVentas = RejillaLectura(captura, QStringLiteral("gridDetVentas"), modeloVentas_);
    c->addWidget(new QLabel(QStringLiteral("Productos de la venta:"), captura));
    c->addWidget(gridDetVentas, 1);
    auto* marcas = new QHBoxLayout();
    Command1 = new QPushButton(QStringLiteral("Marcar"), captura);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QString::fromUtf8("Marca el producto seleccionado de nuestra lista de productos en la "
                                           "compra, para devolución."));
    Command3 = new QPushButton(QStringLiteral("Desmarcar"), captura);
    Command3->setObjectName(QStringLiteral("Command3"));
    marcas->addWidget(Command1);
    marcas->addWidget(Command3);
    marcas->addStretch(1);
    c->addLayout(marcas);
    gridDetDevolucion = RejillaLectura(captura, QStringLiteral("gridDetDevolucion"), modeloDevolucion_);
    c->addWidget(gridDetDevolucion, 1);
    lblImporteDev = new QLabel(captura);
    lblImporteDev->setObjectName(QStringLiteral("lblImporteDev"));
    auto* totales = new QHBoxLayout();
    totales->addStretch(1);
    totales->addWidget(new QLabel(QString::fromUtf8("Importe de la devolución:"), captura));
    totales->addWidget(lblImporteDev);
    c->addLayout(totales);
    SSTab1->addTab(captura, QStringLiteral("Devolución"));

    auto* anteriores = new QWidget(SSTab1);
    auto* a = new QVBoxLayout(anteriores);
    GridProductosDevueltos = RejillaLectura(anteriores, QStringLiteral("GridProductosDevueltos"), modeloDevueltos_);
    a->addWidget(GridProductosDevueltos);
    SSTab1->addTab(anteriores, QStringLiteral("Productos devueltos"));

    auto* botones = new QHBoxLayout();
    raiz->addLayout(botones);
    auto boton = [this, botones](const char* nombre, const QString& texto) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(QString::fromLatin1(nombre));
        botones->addWidget(b);
        return b;
    };
    cmdNuevo = boton("cmdNuevo", QStringLiteral("&Nueva Devolucion"));
    cmdGuardar = boton("cmdGuardar", QStringLiteral("&Guardar"));
    cmdBuscar = boton("cmdBuscar", QStringLiteral("&Buscar"));
    botones->addStretch(1);
    cmdCerrar = boton("cmdCerrar", QStringLiteral("&Regresar"));

    connect(cmdConsultar, &QPushButton::clicked, this, [this] { ConsultaVenta(); });
    connect(capNumero, &CCaptura::Enter, this, [this] { ConsultaVenta(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(cmdNuevo, &QPushButton::clicked, this, [this] { NuevaDevolucion(); });
    connect(cmdGuardar, &QPushButton::clicked, this, [this] { cmdGuardar_Click(); });
    connect(cmdBuscar, &QPushButton::clicked, this, [this] { cmdBuscar_Click(); });
    connect(cmdCerrar, &QPushButton::clicked, this, [this] { close(); });

    FormatoGrids();
    MuestraVenta();
    MuestraPendientes();
}

db::Database* frmDevoluciones::bd() const { return bd_ ? bd_ : shell::BDSucursal(); }
ui::Prompts& frmDevoluciones::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmDevoluciones::ConsultaVenta() {
    db::Database* b = bd();
    if (b) {
        const QString letra =
            LetraConsulta(*b, cmbEstatus->currentText(), G().FacturaE, capNumero->Text(), prompts());
        dev_.ConsultaVenta(*b, letra, capNumero->Text(), prompts());
    } else {
        dev_.NuevaDevolucion();
        prompts().message(QStringLiteral("No se encontraron los archivos de datos para la sucursal."),
                          ui::Icon::Critical);
    }
    SSTab1->setCurrentIndex(0);
    MuestraVenta();
    MuestraPendientes();
}

void frmDevoluciones::NuevaDevolucion() {
    dev_.NuevaDevolucion();
    MuestraVenta();
    MuestraPendientes();
}

void frmDevoluciones::Command1_Click() {
    if (dev_.lineas().empty()) return;
    const QModelIndex actual = gridDetVentas->currentIndex();
    const int fila = actual.isValid() ? actual.row() : 0;
    if (dev_.MarcaLinea(fila, prompts())) MuestraPendientes();
}

void frmDevoluciones::Command3_Click() {
    const QModelIndex actual = gridDetDevolucion->currentIndex();
    if (!actual.isValid() || dev_.pendientes().empty()) return;
    const int fila = actual.row();
    if (dev_.QuitaLineaDevolucion(fila)) {
        MuestraPendientes();
        Selecciona(gridDetDevolucion, fila);
    }
}

void frmDevoluciones::cmdGuardar_Click() {
    db::Database* b = bd();
    if (!b || !shell::PuedeEscribir(QStringLiteral("mDevoluciones"), prompts())) return;
    esc_.reinicia();
    db::LockWait espera = esc_.espera([](const QString& t) { shell::PonEstado(2, t); });
    espera.timeoutMs = 30000;
    cmdGuardar->setEnabled(false);
    caja::cmdGuardar(*b, dev_, TipoDevolucionDe(cmbTipoDevolucion->currentText()), capCausa->Text(), prompts(),
                     espera);
    cmdGuardar->setEnabled(true);
    MuestraVenta();
    MuestraPendientes();
}

void frmDevoluciones::cmdBuscar_Click() {
    if (db::Database* b = bd()) ReimprimeDevolucion(*b, prompts());
}

void frmDevoluciones::MuestraVenta() {
    lblNombreCliente->setText(dev_.EtiquetaCliente());
    lblDescuentoVenta->setText(dev_.EtiquetaDescuento());
    lblFechaventa->setText(dev_.EtiquetaFecha());
    lblImporteventa->setText(dev_.EtiquetaImporte());

    modeloVentas_->removeRows(0, modeloVentas_->rowCount());
    for (const LineaVendida& l : dev_.lineas())
        modeloVentas_->appendRow({Texto(l.Nombre), Texto(l.Descripcion), Cantidad(l.Cantidad),
                                  Monto(l.PrecioUnit), Monto(l.Importe)});
    Selecciona(gridDetVentas, 0);

    modeloDevueltos_->removeRows(0, modeloDevueltos_->rowCount());
    for (const db::Row& f : dev_.devueltos())
        modeloDevueltos_->appendRow(
            {Texto(f.text(QStringLiteral("ClaveProducto"))), Texto(f.text(QStringLiteral("PDescripcion"))),
             Texto(f.text(QStringLiteral("Nombre"))), Texto(f.text(QStringLiteral("Numero"))),
             Texto(f.text(QStringLiteral("NombreUsuario"))), Texto(f.text(QStringLiteral("Descripcion"))),
             Cantidad(f.real(QStringLiteral("Cantidad"))), Monto(f.real(QStringLiteral("PrecioUnit"))),
             Monto(f.real(QStringLiteral("Importe")))});
    for (QTableView* g : {gridDetVentas, GridProductosDevueltos}) shell::GridLegible(g);
    CabeEnArea();
}

void frmDevoluciones::MuestraPendientes() {
    modeloDevolucion_->removeRows(0, modeloDevolucion_->rowCount());
    for (const LineaDevolucion& p : dev_.pendientes())
        modeloDevolucion_->appendRow({Texto(p.Nombre), Texto(p.Descripcion), Cantidad(p.Cantidad),
                                      Monto(p.PUnitario), Monto(p.ImporteCentavos() / 100.0)});
    shell::GridLegible(gridDetDevolucion);
    lblImporteDev->setText(shell::Formato(dev_.Total(), FormatoMonto));
    CabeEnArea();
}

void frmDevoluciones::CabeEnArea() {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!sub || !sub->mdiArea()) return;
    const int limite = sub->mdiArea()->viewport()->width();
    const int marco = sub->width() - width();  // the window's frame around the form
    const int falta = minimumSizeHint().width() + marco - limite;
    if (falta > 0) {
        for (QTableView* g : {gridDetVentas, gridDetDevolucion, GridProductosDevueltos})
            g->setMinimumWidth(std::max(200, g->minimumWidth() - falta));
        // The tabs hold the grids: their size is read again now, not when the layout's events arrive.
        SSTab1->updateGeometry();
        layout()->activate();
    }
    if (sub->width() > limite) sub->resize(std::max(limite, sub->minimumSizeHint().width()), sub->height());
}

void frmDevoluciones::FormatoGrids() {
    const auto encabezados = [](QStandardItemModel* m, const QStringList& t) { m->setHorizontalHeaderLabels(t); };
    encabezados(modeloVentas_, {QStringLiteral("Nombre"), QString::fromUtf8("Descripción"),
                                QStringLiteral("Cantidad"), QStringLiteral("Precio"), QStringLiteral("Importe")});
    encabezados(modeloDevolucion_, {QStringLiteral("Nombre"), QString::fromUtf8("Descripción"),
                                    QStringLiteral("Cantidad"), QStringLiteral("Precio"),
                                    QStringLiteral("Importe")});
    encabezados(modeloDevueltos_, {QStringLiteral("Clave"), QString::fromUtf8("Descripción"),
                                   QStringLiteral("Nombre"), QStringLiteral("Entrada"), QStringLiteral("Usuario"),
                                   QStringLiteral("Concepto"), QStringLiteral("Cantidad"),
                                   QStringLiteral("Precio"), QStringLiteral("Importe")});
    for (QTableView* g : {gridDetVentas, gridDetDevolucion}) {
        g->setColumnWidth(2, 900 / TwipsPorPixel);
        g->setColumnWidth(3, 1000 / TwipsPorPixel);
        g->setColumnWidth(4, 1500 / TwipsPorPixel);
    }
    GridProductosDevueltos->setColumnWidth(6, 900 / TwipsPorPixel);
    GridProductosDevueltos->setColumnWidth(7, 1000 / TwipsPorPixel);
    GridProductosDevueltos->setColumnWidth(8, 1500 / TwipsPorPixel);
    for (QTableView* g : {gridDetVentas, gridDetDevolucion, GridProductosDevueltos})
        shell::GridLegible(g);
}

void frmDevoluciones::Activacion() {
    SSTab1->setCurrentIndex(0);
    cmbTipoDevolucion->setCurrentIndex(1);
    capNumero->SetFocus();
}

void frmDevoluciones::ConectaActivacion(QMdiArea* area) {
    if (!area || area_ == area) return;
    area_ = area;
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* activa) {
        if (activa && activa == parentWidget()) Activacion();
    });
}

void frmDevoluciones::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    Activacion();
}

void frmDevoluciones::closeEvent(QCloseEvent* e) {
    if (!dev_.pendientes().empty() &&
        prompts().question(QString::fromUtf8("Desea cancelar la captura de la Devolución.?")) != ui::Answer::Yes) {
        e->ignore();
        return;
    }
    dev_.NuevaDevolucion();
    e->accept();
}

frmDevoluciones* AbreDevoluciones(shell::MIDI* midi) {
    auto* forma = shell::Forma<frmDevoluciones>();
    if (midi) {
        forma->ConectaActivacion(midi->areaMDI());
        midi->MuestraEnMDI(forma);
    } else {
        forma->show();
        forma->activateWindow();
    }
    forma->Activacion();
    return forma;
}

}  // namespace caja
