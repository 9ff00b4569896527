#pragma once
// "Confirmar Venta.": the modal dialog in which the cashier records how a sale is paid. The rules
// live in ModeloPago; this form shows the model and hands it the clicks and the typing.

#include "platform/ui/prompts.h"
#include "sale/pago.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace venta {

class frmFacturar : public QDialog {
    Q_OBJECT
public:
    // `saldo` reads a credit note's open balance (SaldoNotaCredito on the branch file).
    frmFacturar(ui::Prompts& prompts, ModeloPago::LeeSaldo saldo, QWidget* parent = nullptr);

    // The sale screen's PreparaPagos: fills the payment-form list once (later calls add nothing),
    // puts payment slot 1 on code 1 and selects the list's second entry.
    void PreparaPagos(const std::vector<FormaPago>& formas);

    // Shows the dialog modally for a sale of `totalVenta`; leaves PagoAceptado, the payment slots
    // and the seller, condition and observation in the program-wide state. True when accepted.
    bool Muestra(double totalVenta);

    ModeloPago& modelo() { return modelo_; }
    int NumPagos() const { return modelo_.NumPagos(); }

    QComboBox* Combo1 = nullptr;
    QLineEdit* txtcantidadp = nullptr;
    QLineEdit* txtcambio = nullptr;
    QTextEdit* txtDatos = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCerrar = nullptr;
    QPushButton* cmdObserv = nullptr;
    QComboBox* cmbVendedor = nullptr;
    QComboBox* cmbCondiciones = nullptr;
    QLineEdit* txtcliente = nullptr;

signals:
    // The client name typed or shown in the dialog (the sale screen's ClienteVenta follows it).
    void clienteCambiado(const QString& cliente);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    void construye();
    void Refresca();
    void RefrescaVendedor();
    void Combo1_Click(int posicion);
    void cmdAdd_Click();
    void cmdAceptar_Click();
    void cmdCerrar_Click();

    ModeloPago modelo_;
    QLabel* lblTotal_ = nullptr;
};

}  // namespace venta
