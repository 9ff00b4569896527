#include "cash/forms/frmfacturardia.h"
#include "shell/rutinas_bd.h"

#include "cash/facturadia.h"
#include "cash/forms/devolucion_controles.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/texto.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace caja {

namespace {

constexpr int TwipsPorPixel = 15;

QLineEdit* Caja(QWidget* padre, const QString& nombre) {
    auto* t = new QLineEdit(padre);
    t->setObjectName(nombre);
    t->setReadOnly(true);
    return t;
}

}  // namespace

frmFacturarDia::frmFacturarDia(QWidget* parent, db::Database* bd, ui::Prompts* prompts)
    : QWidget(parent), bd_(bd), prompts_(prompts) {
    setObjectName(QStringLiteral("frmFacturarDia"));
    setWindowTitle(QString::fromUtf8("Facturar ventas del día."));

    auto* raiz = new QVBoxLayout(this);
    auto* arriba = new QHBoxLayout();
    raiz->addLayout(arriba);
    dtFecha = new QDateEdit(QDate::currentDate(), this);
    dtFecha->setObjectName(QStringLiteral("dtFecha"));
    dtFecha->setCalendarPopup(true);
    dtFecha->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    arriba->addWidget(new QLabel(QString::fromUtf8("Día:"), this));
    arriba->addWidget(dtFecha);
    arriba->addStretch(1);

    auto* g = new QGridLayout();
    raiz->addLayout(g, 1);
    modeloLibres_ = new QStandardItemModel(this);
    modeloElegidos_ = new QStandardItemModel(this);
    gridClientes = RejillaLectura(this, QStringLiteral("gridClientes"), modeloLibres_);
    gridSeleccion = RejillaLectura(this, QStringLiteral("gridSeleccion"), modeloElegidos_);
    g->addWidget(new QLabel(QStringLiteral("Tickets sin facturar:"), this), 0, 0);
    g->addWidget(new QLabel(QStringLiteral("Tickets a facturar:"), this), 0, 2);
    g->addWidget(gridClientes, 1, 0);
    g->addWidget(gridSeleccion, 1, 2);
    auto* medio = new QVBoxLayout();
    auto boton = [this](const char* nombre, const QString& texto, const QString& ayuda) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setToolTip(ayuda);
        return b;
    };
    cmdSelecciona1 = boton("cmdSelecciona1", QStringLiteral(">"), QStringLiteral("Agrega el ticket seleccionado."));
    cmdAgregaTodo = boton("cmdAgregaTodo", QStringLiteral(">>"), QStringLiteral("Agrega todos los tickets."));
    cmdQuitarUno = boton("cmdQuitarUno", QStringLiteral("<"), QStringLiteral("Quita el ticket seleccionado."));
    cmdQuitaTodo = boton("cmdQuitaTodo", QStringLiteral("<<"), QStringLiteral("Quita todos los tickets."));
    medio->addStretch(1);
    for (QPushButton* b : {cmdSelecciona1, cmdAgregaTodo, cmdQuitarUno, cmdQuitaTodo}) medio->addWidget(b);
    medio->addStretch(1);
    g->addLayout(medio, 1, 1);
    Text1 = Caja(this, QStringLiteral("Text1"));
    txtTotalaFacturar = Caja(this, QStringLiteral("txtTotalaFacturar"));
    g->addWidget(Text1, 2, 0);
    g->addWidget(txtTotalaFacturar, 2, 2);
    g->setColumnStretch(0, 1);
    g->setColumnStretch(2, 1);

    auto* abajo = new QHBoxLayout();
    raiz->addLayout(abajo);
    txtLabel2 = Caja(this, QStringLiteral("txtLabel2"));
    abajo->addWidget(txtLabel2, 1);
    cmdEnviarfactura = boton("cmdEnviarfactura", QStringLiteral("&Enviar factura"),
                             QStringLiteral("Genera la factura de los tickets a facturar."));
    abajo->addWidget(cmdEnviarfactura);

    connect(dtFecha, &QDateEdit::dateChanged, this, [this] { CambiaFecha(); });
    connect(cmdSelecciona1, &QPushButton::clicked, this, [this] { cmdSelecciona1_Click(); });
    connect(cmdAgregaTodo, &QPushButton::clicked, this, [this] { cmdAgregaTodo_Click(); });
    connect(cmdQuitarUno, &QPushButton::clicked, this, [this] { cmdQuitarUno_Click(); });
    connect(cmdQuitaTodo, &QPushButton::clicked, this, [this] { cmdQuitaTodo_Click(); });
    connect(cmdEnviarfactura, &QPushButton::clicked, this, [this] { cmdEnviarfactura_Click(); });

    CambiaFecha();
}

db::Database* frmFacturarDia::bd() const { return bd_ ? bd_ : shell::BDSucursal(); }
ui::Prompts& frmFacturarDia::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmFacturarDia::CambiaFecha() {
    // A send in progress keeps the day it was started with.
    if (enviando_) return;
    ActualizaListas();
    txtLabel2->setText(ObservacionDia(dtFecha->date()));
}

void frmFacturarDia::Llena(QStandardItemModel* modelo, const db::Rows& filas) {
    modelo->removeRows(0, modelo->rowCount());
    for (const db::Row& f : filas) {
        auto* total = new QStandardItem(shell::Formato(f.real(QStringLiteral("Total")), QStringLiteral("#,###,##0.00")));
        total->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        modelo->appendRow({new QStandardItem(f.text(QStringLiteral("Fecha"))),
                           new QStandardItem(f.text(QStringLiteral("IdNumero"))),
                           new QStandardItem(f.text(QStringLiteral("Tipo"))), total});
    }
}

void frmFacturarDia::ActualizaListas() {
    db::Database* b = bd();
    libres_.clear();
    elegidos_.clear();
    if (b) {
        db::Error e;
        auto l = CargaTicketsLibres(*b, dtFecha->date(), &e);
        auto s = l ? CargaTicketsSeleccionados(*b, dtFecha->date(), &e) : std::nullopt;
        if (!l || !s)
            prompts().message(shell::TextoErrorBD(e), ui::Icon::Critical);
        else {
            libres_ = std::move(*l);
            elegidos_ = std::move(*s);
        }
    }
    Llena(modeloLibres_, libres_);
    Llena(modeloElegidos_, elegidos_);
    if (!libres_.empty()) gridClientes->selectRow(0);
    if (!elegidos_.empty()) gridSeleccion->selectRow(0);
    txtTotalaFacturar->setText(QStringLiteral("$ ") +
                               shell::Formato(TotalCentavos(elegidos_) / 100.0, QStringLiteral("###,###,##0.00")));
    Text1->setText(QString::number(TotalCentavos(libres_) / 100.0, 'g', 15));
    FormatoGrids();
}

void frmFacturarDia::FormatoGrids() {
    for (QStandardItemModel* m : {modeloLibres_, modeloElegidos_})
        m->setHorizontalHeaderLabels({QStringLiteral("Fecha"), QStringLiteral("Ticket"), QStringLiteral("Tipo"),
                                      QStringLiteral("Total")});
    for (QTableView* g : {gridClientes, gridSeleccion}) {
        g->setColumnWidth(0, 2500 / TwipsPorPixel);
        g->setColumnWidth(1, 900 / TwipsPorPixel);
        g->setColumnWidth(2, 900 / TwipsPorPixel);
        g->setColumnWidth(3, 1500 / TwipsPorPixel);
        shell::GridLegible(g);
    }
}

qint64 frmFacturarDia::Actual(QTableView* grid, const db::Rows& filas) const {
    const QModelIndex i = grid->currentIndex();
    const int fila = i.isValid() ? i.row() : 0;
    if (fila < 0 || fila >= static_cast<int>(filas.size())) return -1;
    return filas[size_t(fila)].integer(QStringLiteral("Numero"));
}

bool frmFacturarDia::Permitido() { return shell::PuedeEscribir(QStringLiteral("nFacturarVentas"), prompts()); }

bool frmFacturarDia::Movido(bool movido, const db::Error& e) {
    // A ticket another terminal moved first just leaves the lists as they now read; a file that
    // refused the change is said.
    if (!movido && e.kind != db::ErrorKind::None)
        prompts().message(QStringLiteral("No se pudo mover el ticket entre las listas: ") + shell::TextoErrorBD(e),
                          ui::Icon::Warning);
    return movido || e.kind == db::ErrorKind::None;
}

void frmFacturarDia::cmdSelecciona1_Click() {
    const qint64 n = Actual(gridClientes, libres_);
    if (n < 0 || !bd() || !Permitido()) return;
    db::Error e;
    Movido(SeleccionaTicket(*bd(), n, &e), e);
    QCoreApplication::processEvents();
    ActualizaListas();
}

void frmFacturarDia::cmdAgregaTodo_Click() {
    if (libres_.empty() || !bd() || !Permitido()) return;
    for (const db::Row& f : libres_) {
        db::Error e;
        if (!Movido(SeleccionaTicket(*bd(), f.integer(QStringLiteral("Numero")), &e), e)) break;
    }
    QCoreApplication::processEvents();
    ActualizaListas();
}

void frmFacturarDia::cmdQuitarUno_Click() {
    const qint64 n = Actual(gridSeleccion, elegidos_);
    if (n < 0 || !bd() || !Permitido()) return;
    db::Error e;
    Movido(QuitaTicket(*bd(), n, &e), e);
    QCoreApplication::processEvents();
    ActualizaListas();
}

void frmFacturarDia::cmdQuitaTodo_Click() {
    if (elegidos_.empty() || !bd() || !Permitido()) return;
    for (const db::Row& f : elegidos_) {
        db::Error e;
        if (!Movido(QuitaTicket(*bd(), f.integer(QStringLiteral("Numero")), &e), e)) break;
    }
    QCoreApplication::processEvents();
    ActualizaListas();
}

void frmFacturarDia::cmdEnviarfactura_Click() {
    if (enviando_ || elegidos_.empty() || !bd() || !Permitido()) return;
    std::vector<qint64> numeros;
    for (const db::Row& f : elegidos_) numeros.push_back(f.integer(QStringLiteral("Numero")));
    enviando_ = true;
    cmdEnviarfactura->setEnabled(false);
    dtFecha->setEnabled(false);
    esc_.reinicia();
    db::LockWait espera = esc_.espera([](const QString& t) { shell::PonEstado(2, t); });
    espera.timeoutMs = 30000;
    caja::cmdEnviarfactura(*bd(), dtFecha->date(), numeros, prompts(), espera);
    enviando_ = false;
    cmdEnviarfactura->setEnabled(true);
    dtFecha->setEnabled(true);
    ActualizaListas();
}

void frmFacturarDia::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F5) {
        CambiaFecha();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

frmFacturarDia* AbreFacturarDia(shell::MIDI* midi) {
    const bool abierta = shell::FormaAbierta(QStringLiteral("frmFacturarDia"));
    auto* forma = shell::Forma<frmFacturarDia>();
    // Brought forward again: the tickets of the day as they are now (other terminals sold meanwhile).
    if (abierta) forma->ActualizaListas();
    if (midi)
        midi->MuestraEnMDI(forma);
    else {
        forma->show();
        forma->activateWindow();
    }
    return forma;
}

}  // namespace caja
