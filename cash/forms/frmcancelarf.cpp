#include "cash/forms/frmcancelarf.h"

#include "capture_control/ccaptura.h"
#include "cash/forms/devolucion_controles.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/forms/formas.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace caja {

frmCancelarF::frmCancelarF(QWidget* parent, db::Database* bd, ui::Prompts* prompts)
    : QDialog(parent), bd_(bd), prompts_(prompts) {
    setObjectName(QStringLiteral("frmCancelarF"));
    setWindowTitle(QStringLiteral("Cancelar Factura."));
    setModal(true);

    auto* raiz = new QVBoxLayout(this);
    auto* g = new QGridLayout();
    raiz->addLayout(g);
    cmbEstatus = new QComboBox(this);
    cmbEstatus->setObjectName(QStringLiteral("cmbEstatus"));
    cmbEstatus->addItems({QStringLiteral("Ticket"), QStringLiteral("Factura")});
    capNumero = kestril::CreaCampoCaptura(this, QStringLiteral("capNumero"), QString::fromUtf8("Número:"), 10);
    cmdVerInfo = new QPushButton(QStringLiteral("Ver datos..."), this);
    cmdVerInfo->setObjectName(QStringLiteral("cmdVerInfo"));
    g->addWidget(new QLabel(QStringLiteral("Tipo Docto:"), this), 0, 0);
    g->addWidget(cmbEstatus, 1, 0);
    g->addWidget(capNumero, 0, 1, 2, 1);
    g->addWidget(cmdVerInfo, 1, 2);
    g->setColumnStretch(1, 1);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setMinimumHeight(Label1->fontMetrics().lineSpacing() * 3);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    raiz->addWidget(Label1, 1);
    auto* botones = new QHBoxLayout();
    raiz->addLayout(botones);
    cmdCancelar = new QPushButton(QStringLiteral("C&ancelar Factura"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdBorrar = new QPushButton(QStringLiteral("&Borrar Factura"), this);
    cmdBorrar->setObjectName(QStringLiteral("cmdBorrar"));
    cmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    for (QPushButton* b : {cmdCancelar, cmdBorrar, cmdCerrar}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    cmdVerInfo->setAutoDefault(false);

    connect(cmdVerInfo, &QPushButton::clicked, this, [this] { cmdVerInfo_Click(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] { cmdCancelar_Click(); });
    connect(cmdBorrar, &QPushButton::clicked, this, [this] { cmdBorrar_Click(); });
    connect(cmdCerrar, &QPushButton::clicked, this, [this] { close(); });
    // What the label shows belongs to the kind and number it was read for.
    connect(cmbEstatus, &QComboBox::currentIndexChanged, Label1, &QLabel::clear);
    connect(capNumero, &CCaptura::Change, Label1, &QLabel::clear);
}

Cancelacion frmCancelarF::Operacion() {
    Cancelacion c;
    c.bd = bd_ ? bd_ : shell::BDSucursal();
    c.prompts = prompts_ ? prompts_ : &ui::defaultPrompts();
    esc_.reinicia();
    c.espera = esc_.espera([](const QString& t) { shell::PonEstado(2, t); });
    c.espera.timeoutMs = 30000;
    c.estado = [](const QString& t) { shell::PonEstado(2, t); };
    c.informa = [this](const QString& t) { Label1->setText(t); };
    return c;
}

QString frmCancelarF::TituloVenta() {
    QWidget* venta = shell::FormaCargada(QStringLiteral("frmVenta"));
    return venta ? venta->windowTitle() : QString();
}

void frmCancelarF::cmdVerInfo_Click() {
    Cancelacion c = Operacion();
    if (!c.bd) return;
    Label1->setText(c.VerInfo(cmbEstatus->currentText(), capNumero->Text()));
}

void frmCancelarF::cmdCancelar_Click() {
    Cancelacion c = Operacion();
    if (c.Cancela(cmbEstatus->currentText(), capNumero->Text(), TituloVenta())) close();
}

void frmCancelarF::cmdBorrar_Click() {
    Cancelacion c = Operacion();
    if (c.Borra(cmbEstatus->currentText(), capNumero->Text(), TituloVenta())) Label1->clear();
}

frmCancelarF* AbreCancelarF(QWidget* padre) {
    auto* forma = shell::Forma<frmCancelarF>();
    if (padre && forma->parentWidget() != padre) forma->setParent(padre, Qt::Dialog);
    forma->show();
    forma->raise();
    forma->activateWindow();
    forma->capNumero->SetFocus();
    return forma;
}

}  // namespace caja
