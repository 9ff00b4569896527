#pragma once
// How a sale is paid: up to three payments, each a payment form, an amount and a reference, held
// by ModeloPago while the payment dialog (frmFacturar) is open. The model asks through ui::Prompts
// and knows no window, so the dialog's rules run in tests as they run at the counter.
//
// Money is compared in whole cents. A credit note pays with its exact open balance, once per sale.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

struct EstadoGlobal;

namespace venta {

// Payment-form code of a credit note used as payment (its reference is the note's number).
constexpr int PagoNotaCredito = 4;
// Codes whose reference is the last four digits of the client's account.
bool PideReferenciaCuenta(int codigo);

// One entry of the payment-form list: its code (Formasdepago.TPago) and name.
struct FormaPago {
    int codigo = 0;
    QString nombre;
};
// The list the sale screen and the dialog show: every named code 0-14, in code order.
std::vector<FormaPago> ListaFormasPago(const std::array<QString, 16>& nombres);

// The payment-form names of the catalogue (Formasdepago) into NombresFormaPago, unless entry 1 or
// 2 is already named. A code outside 0-15 is skipped. False on a database error.
bool CargaNombresFormaPago(db::Database& bd, std::array<QString, 16>& nombres,
                           db::Error* error = nullptr);

// Payment slots 0-4 of a sale; payment n sits in slot n (1-3), 0 and 4 stay empty.
struct PagosVenta {
    std::array<double, 5> ImportesPago{};
    std::array<double, 5> FormaPagoSel{};
    std::array<QString, 5> ReferenciasPago;
};

// The seller list: NombresVendedor 0..MaxVendedor, each cut or padded to 20 characters.
QStringList ListaVendedores(const EstadoGlobal& g);

// Open balance of credit note `numero`: its total while its status is 1, else 0. nullopt on a
// database error (then `error` says why).
std::optional<double> SaldoNotaCredito(db::Database& bd, qint64 numero, db::Error* error = nullptr);

// "$ 1,234.50"
QString FormatoPesos(double importe);

class ModeloPago {
public:
    // Balance of an open credit note (see SaldoNotaCredito); nullopt when it could not be read.
    using LeeSaldo = std::function<std::optional<double>(qint64 numero)>;

    ModeloPago(ui::Prompts& prompts, LeeSaldo saldo);

    // Dialog start: the list of payment forms, the sale's total, the condition chosen last. Slots,
    // count and paid sum start empty; nothing is accepted.
    void inicia(std::vector<FormaPago> formas, double totalVenta, int condicion = 0);

    // --- the payment-form list ---
    const std::vector<FormaPago>& formas() const { return formas_; }
    int posicion() const { return posicion_; }
    // Code of the entry at the list position (-1 outside the list).
    int codigoEn(int posicion) const;
    // Choosing an entry (click): asks for the account digits or the credit note as the code needs.
    void elige(int posicion);

    // --- the amount being typed ---
    QString textoImporte() const { return textoImporte_; }
    // Ignored while the amount is locked (a credit note's balance).
    void escribeImporte(const QString& texto);
    // The amount typed (0 while nothing is typed, or while the text is no amount).
    double importe() const;
    bool importeEditable() const { return importeEditable_; }
    // Amount text as the field shows it when the cursor leaves it.
    void formateaImporte();
    // Amount typed + paid so far - total, never below 0: "$ 0.00".
    QString cambio() const;

    // --- payments ---
    // Adds the entry being typed as the next payment; false (with the reason shown) when refused.
    bool agrega();
    // Accepts the sale's payment: the entry being typed is added as the last payment. True when
    // the dialog closes accepted; false when it stays open (the reason shown).
    bool acepta();
    // Closing without accepting.
    void cierra() { aceptado_ = false; }
    // The observation of the sale, asked by its own button.
    void pideObservacion();

    bool aceptado() const { return aceptado_; }
    int NumPagos() const { return numPagos_; }
    double TotalAbonado() const { return totalAbonado_; }
    double totalVenta() const { return totalVenta_; }
    const PagosVenta& pagos() const { return pagos_; }
    // The payment list text; "" until the first payment was added.
    QString textoPagos() const;
    bool listaVisible() const { return listaVisible_; }
    QString NotaCreditoPago() const { return notaCreditoPago_; }
    QString ReferenciaPago() const { return referenciaPago_; }
    int TipoPagoVenta() const { return tipoPagoVenta_; }
    QString ImporteRecibido() const { return importeRecibido_; }
    QString ObservacionVenta() const { return observacion_.value_or(QString()); }
    int condicion() const { return condicion_; }
    void setCondicion(int c) { condicion_ = c; }

    // Writes what the dialog leaves behind into the program-wide state: PagoAceptado, the slots,
    // TipoPagoVenta, CondicionPagoSel, ImporteRecibido and (when one was typed) ObservacionVenta.
    void aplica(EstadoGlobal& g) const;

private:
    // The typed amount read by the one number reader, not below 0; nullopt (and why) when refused.
    std::optional<double> leeImporte(QString* mensaje = nullptr) const;
    // False, with the reason shown, when the typed text is no amount.
    bool importeLegible();
    void reiniciaPagos();
    void recalculaAbonado();
    QString referenciaDe(int codigo) const;

    ui::Prompts& prompts_;
    LeeSaldo saldo_;
    std::vector<FormaPago> formas_;
    double totalVenta_ = 0;
    int posicion_ = 0;
    QString textoImporte_ = QStringLiteral("0");
    bool importeEditable_ = true;
    bool listaVisible_ = false;
    bool aceptado_ = false;
    int numPagos_ = 0;
    double totalAbonado_ = 0;
    PagosVenta pagos_;
    QString notaCreditoPago_;
    QString referenciaPago_;
    int tipoPagoVenta_ = 0;
    QString importeRecibido_ = QStringLiteral("0");
    std::optional<QString> observacion_;
    int condicion_ = 0;
};

}  // namespace venta
