#include "sale/forms/frmfacturar.h"

#include "shell/estado.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace venta {

frmFacturar::frmFacturar(ui::Prompts& prompts, ModeloPago::LeeSaldo saldo, QWidget* parent)
    : QDialog(parent), modelo_(prompts, std::move(saldo))
{
    setObjectName(QStringLiteral("frmFacturar"));
    setWindowTitle(QStringLiteral("Confirmar Venta."));
    setModal(true);
    construye();
}

void frmFacturar::construye()
{
    Combo1 = new QComboBox(this);
    txtcantidadp = new QLineEdit(QStringLiteral("0"), this);
    txtcambio = new QLineEdit(QStringLiteral("0"), this);
    txtcambio->setReadOnly(true);
    txtDatos = new QTextEdit(this);
    txtDatos->setReadOnly(true);
    txtDatos->setVisible(false);
    cmdAdd = new QPushButton(QStringLiteral("&Agregar pago"), this);
    cmdAceptar = new QPushButton(QStringLiteral("A&ceptar"), this);
    cmdCerrar = new QPushButton(QStringLiteral("C&errar"), this);
    cmdObserv = new QPushButton(QStringLiteral("&Observación"), this);
    cmbVendedor = new QComboBox(this);
    cmbCondiciones = new QComboBox(this);
    cmbCondiciones->addItems({QStringLiteral("CONTADO"), QStringLiteral("CREDITO")});
    txtcliente = new QLineEdit(this);
    lblTotal_ = new QLabel(this);
    QFont grande = txtcantidadp->font();
    grande.setPointSize(grande.pointSize() + 6);
    txtcantidadp->setFont(grande);
    txtcambio->setFont(grande);
    lblTotal_->setFont(grande);

    auto* forma = new QFormLayout;
    forma->addRow(QStringLiteral("Cliente:"), txtcliente);
    forma->addRow(QStringLiteral("Total:"), lblTotal_);
    forma->addRow(QStringLiteral("Forma de pago:"), Combo1);
    forma->addRow(QStringLiteral("Importe:"), txtcantidadp);
    forma->addRow(QStringLiteral("Cambio:"), txtcambio);
    forma->addRow(QStringLiteral("Vendedor:"), cmbVendedor);
    forma->addRow(QStringLiteral("Condiciones:"), cmbCondiciones);
    auto* botones = new QHBoxLayout;
    botones->addWidget(cmdAdd);
    botones->addWidget(cmdObserv);
    botones->addStretch();
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdCerrar);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(forma);
    todo->addWidget(txtDatos);
    todo->addLayout(botones);
    cmdAceptar->setDefault(true);

    txtcantidadp->installEventFilter(this);
    connect(Combo1, qOverload<int>(&QComboBox::activated), this, &frmFacturar::Combo1_Click);
    connect(txtcantidadp, &QLineEdit::textEdited, this, [this](const QString& t) {
        modelo_.escribeImporte(t);
        Refresca();
    });
    connect(cmdAdd, &QPushButton::clicked, this, &frmFacturar::cmdAdd_Click);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmFacturar::cmdAceptar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &frmFacturar::cmdCerrar_Click);
    connect(cmdObserv, &QPushButton::clicked, this, [this] { modelo_.pideObservacion(); });
    connect(cmbVendedor, qOverload<int>(&QComboBox::activated), this,
            [](int posicion) { G().VendedorVenta = posicion; });
    connect(cmbCondiciones, qOverload<int>(&QComboBox::activated), this,
            [this](int posicion) { modelo_.setCondicion(posicion); });
    connect(txtcliente, &QLineEdit::textChanged, this, &frmFacturar::clienteCambiado);
}

void frmFacturar::PreparaPagos(const std::vector<FormaPago>& formas)
{
    if (Combo1->count() == 0) {
        Combo1->clear();
        for (const FormaPago& f : formas)
            Combo1->addItem(f.nombre, f.codigo);
        if (Combo1->count() > 1)
            Combo1->setCurrentIndex(1);
    }
    G().FormaPagoSel[1] = 1;
}

bool frmFacturar::Muestra(double totalVenta)
{
    std::vector<FormaPago> formas;
    for (int i = 0; i < Combo1->count(); ++i)
        formas.push_back({Combo1->itemData(i).toInt(), Combo1->itemText(i)});
    modelo_.inicia(std::move(formas), totalVenta, G().CondicionPagoSel);
    G().PagoAceptado = 0;
    // The dialog lives as long as the screen, but each sale starts with the logged-in user as
    // its seller, as a freshly loaded dialog would.
    cmbVendedor->clear();
    lblTotal_->setText(FormatoPesos(totalVenta));
    cmbCondiciones->setCurrentIndex(std::clamp(G().CondicionPagoSel, 0, cmbCondiciones->count() - 1));
    txtDatos->setVisible(false);
    Refresca();
    exec();
    modelo_.aplica(G());
    return modelo_.aceptado();
}

void frmFacturar::RefrescaVendedor()
{
    if (cmbVendedor->count() > 0) {
        // Within one sale the seller shown is the seller stored.
        G().VendedorVenta = cmbVendedor->currentIndex();
        return;
    }
    cmbVendedor->addItems(ListaVendedores(G()));
    // The logged-in user is the default seller.
    if (G().ClaveUsuario >= 0 && G().ClaveUsuario < cmbVendedor->count()) {
        cmbVendedor->setCurrentIndex(G().ClaveUsuario);
        G().VendedorVenta = G().ClaveUsuario;
    } else {
        G().VendedorVenta = 0;
    }
}

void frmFacturar::Refresca()
{
    RefrescaVendedor();
    if (Combo1->currentIndex() != modelo_.posicion())
        Combo1->setCurrentIndex(modelo_.posicion());
    if (txtcantidadp->text() != modelo_.textoImporte())
        txtcantidadp->setText(modelo_.textoImporte());
    txtcantidadp->setReadOnly(!modelo_.importeEditable());
    txtcantidadp->setEnabled(modelo_.importeEditable());
    txtcambio->setText(modelo_.cambio());
    cmdAdd->setVisible(G().PagosMultiples == 1);
    if (modelo_.listaVisible() && !txtDatos->isVisible()) {
        txtDatos->setVisible(true);
        resize(width(), std::max(height(), 276));  // room for the payment list
    }
    txtDatos->setPlainText(modelo_.textoPagos());
}

void frmFacturar::Combo1_Click(int posicion)
{
    modelo_.elige(posicion);
    Refresca();
    if (modelo_.importeEditable())
        txtcantidadp->setFocus();
}

void frmFacturar::cmdAdd_Click()
{
    modelo_.agrega();
    Refresca();
}

void frmFacturar::cmdAceptar_Click()
{
    if (modelo_.acepta())
        accept();
    else
        Refresca();
}

void frmFacturar::cmdCerrar_Click()
{
    modelo_.cierra();
    QDialog::reject();
}

void frmFacturar::reject()
{
    // Esc or the window frame: not accepted.
    modelo_.cierra();
    QDialog::reject();
}

void frmFacturar::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Refresca();
    // The cashier types the amount at once and confirms with Enter (the default button).
    if (modelo_.importeEditable())
        txtcantidadp->setFocus(Qt::ActiveWindowFocusReason);
    else
        Combo1->setFocus(Qt::ActiveWindowFocusReason);
}

bool frmFacturar::eventFilter(QObject* o, QEvent* e)
{
    if (o == txtcantidadp) {
        if (e->type() == QEvent::FocusIn && modelo_.importeEditable()) {
            txtcantidadp->clear();
            modelo_.escribeImporte(QString());
        } else if (e->type() == QEvent::FocusOut && modelo_.importeEditable()) {
            modelo_.formateaImporte();
            Refresca();
        }
    }
    return QDialog::eventFilter(o, e);
}

}  // namespace venta
