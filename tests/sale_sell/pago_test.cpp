// The payment model: what covers a sale, how payments are added, credit notes, the amount as typed.

#include "entorno.h"
#include "sale/pago.h"
#include "shell/estado.h"

#include <gtest/gtest.h>

using namespace venta;

namespace {

std::vector<FormaPago> Formas()
{
    return {{0, "NINGUNA"}, {1, "EFECTIVO"}, {2, "TARJETA DE DEBITO"}, {3, "TARJETA DE CREDITO"},
            {4, "NOTA DE CREDITO"}};
}

class PagoTest : public ::testing::Test {
protected:
    void SetUp() override { ReiniciaEstado(); }
    ModeloPago& Nuevo(double total)
    {
        modelo = std::make_unique<ModeloPago>(prompts, [this](qint64 n) -> std::optional<double> {
            auto it = notas.find(n);
            return it == notas.end() ? 0.0 : it->second;
        });
        modelo->inicia(Formas(), total);
        return *modelo;
    }
    void Paga(int posicion, const QString& importe)
    {
        modelo->elige(posicion);
        modelo->escribeImporte(importe);
    }

    ui::ScriptedPrompts prompts;
    std::map<qint64, double> notas;
    std::unique_ptr<ModeloPago> modelo;
};

}  // namespace

TEST_F(PagoTest, PaymentsMustCoverTheTotalToTheCent)
{
    ModeloPago& m = Nuevo(100);
    Paga(1, "60");
    EXPECT_EQ(m.cambio(), QStringLiteral("$ 0.00"));
    EXPECT_FALSE(m.acepta());
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No se ha cubierto el importe de la venta. 60 < 100"));
    EXPECT_FALSE(m.aceptado());
    EXPECT_EQ(m.NumPagos(), 0);

    // 0.1 + 0.2 covers 0.30 although the doubles do not add up to it.
    ModeloPago& c = Nuevo(0.3);
    Paga(1, "0.1");
    ASSERT_TRUE(c.agrega());
    Paga(1, "0.2");
    prompts.pushAnswer(ui::Answer::Yes);  // same form, same (empty) reference
    EXPECT_TRUE(c.acepta()) << prompts.lastMessage().toStdString();
    EXPECT_EQ(c.cambio(), QStringLiteral("$ 0.00"));

    // Nothing chosen or a zero amount is refused.
    ModeloPago& z = Nuevo(10);
    Paga(0, "10");
    EXPECT_FALSE(z.acepta());
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No se permite sin definir el tipo de pago o en ceros."));
    Paga(1, "0");
    EXPECT_FALSE(z.agrega());
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No se permite agregar sin definir el tipo de pago."));
}

TEST_F(PagoTest, CashThenCardWithAccountDigitsFillSlotsOneAndTwo)
{
    ModeloPago& m = Nuevo(100);
    Paga(1, "60");
    ASSERT_TRUE(m.agrega());
    EXPECT_EQ(m.posicion(), 0);
    EXPECT_EQ(m.textoImporte(), QStringLiteral("0"));
    prompts.pushInput(QStringLiteral("4321"));
    Paga(2, "$ 1,045.50");
    EXPECT_DOUBLE_EQ(m.importe(), 1045.5);
    m.escribeImporte(QStringLiteral("$ 45.50"));
    EXPECT_EQ(m.cambio(), QStringLiteral("$ 5.50"));
    ASSERT_TRUE(m.acepta());
    const PagosVenta& p = m.pagos();
    EXPECT_EQ(p.FormaPagoSel[1], 1);
    EXPECT_EQ(p.ImportesPago[1], 60);
    EXPECT_EQ(p.ReferenciasPago[1], QString());
    EXPECT_EQ(p.FormaPagoSel[2], 2);
    EXPECT_DOUBLE_EQ(p.ImportesPago[2], 45.5);
    EXPECT_EQ(p.ReferenciasPago[2], QStringLiteral("4321"));
    EXPECT_EQ(p.FormaPagoSel[0], 0);
    EXPECT_EQ(p.FormaPagoSel[3], 0);
    EXPECT_EQ(m.textoPagos(), QStringLiteral("Pago con EFECTIVO Importe: 60.00\r\n"
                                             "Pago con TARJETA DE DEBITO Importe: 45.50\r\n"
                                             "Total Abonado: 105.50"));
    EXPECT_EQ(m.ImporteRecibido(), QStringLiteral("105.5"));

    m.aplica(G());
    EXPECT_EQ(G().PagoAceptado, 1);
    EXPECT_EQ(G().ReferenciasPago[2], QStringLiteral("4321"));
    EXPECT_EQ(G().ImporteRecibido, QStringLiteral("105.5"));

    // A reference that is not a number is dropped with a message.
    ModeloPago& r = Nuevo(10);
    prompts.pushInput(QStringLiteral("12AB"));
    r.elige(3);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("La respuesta no es numerica, vuelva a capturar."));
    EXPECT_EQ(r.ReferenciaPago(), QString());
}

TEST_F(PagoTest, AFourthPaymentKeepsTheDialogOpen)
{
    ModeloPago& m = Nuevo(30);
    for (int i = 0; i < 3; ++i) {
        Paga(1, "10");
        if (i > 0)
            prompts.pushAnswer(ui::Answer::Yes);
        ASSERT_TRUE(m.agrega()) << i;
    }
    Paga(1, "5");
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(m.acepta());
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Sólo se permiten 3 pagos."));
    EXPECT_FALSE(m.aceptado());
    EXPECT_EQ(m.NumPagos(), 3);
    // With the three payments covering the sale and nothing more typed, it is accepted as it stands.
    m.escribeImporte(QStringLiteral("0"));
    EXPECT_TRUE(m.acepta());
    EXPECT_DOUBLE_EQ(m.TotalAbonado(), 30);

    // A repeated payment the cashier does not confirm is not added.
    ModeloPago& d = Nuevo(30);
    Paga(1, "10");
    ASSERT_TRUE(d.agrega());
    Paga(1, "20");
    prompts.pushAnswer(ui::Answer::No);
    EXPECT_FALSE(d.acepta());
    EXPECT_EQ(prompts.asked().back().text, QStringLiteral("Ya existe un pago las mismas propiedades. Continuar ?"));
    EXPECT_EQ(d.NumPagos(), 1);
}

TEST_F(PagoTest, CreditNotePaysItsExactBalanceOnce)
{
    notas[7] = 250.75;
    notas[8] = 0;
    ModeloPago& m = Nuevo(300);
    m.escribeImporte(QStringLiteral("999"));
    prompts.pushInput(QStringLiteral("7"));
    m.elige(4);
    EXPECT_EQ(m.textoImporte(), QStringLiteral("250.75"));
    EXPECT_FALSE(m.importeEditable());
    m.escribeImporte(QStringLiteral("300"));  // locked
    EXPECT_DOUBLE_EQ(m.importe(), 250.75);
    ASSERT_TRUE(m.agrega());
    EXPECT_EQ(m.pagos().ReferenciasPago[1], QStringLiteral("7"));
    EXPECT_TRUE(m.importeEditable());

    // The same note again is refused outright.
    prompts.pushInput(QStringLiteral("7"));
    m.elige(4);
    EXPECT_FALSE(m.agrega());
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("La nota de crédito 7 ya está aplicada en esta venta."));
    EXPECT_EQ(m.NumPagos(), 1);

    // A note without balance leaves no amount behind: the amount typed before it is gone.
    m.elige(1);
    m.escribeImporte(QStringLiteral("49.25"));
    prompts.pushInput(QStringLiteral("8"));
    m.elige(4);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No se encontró saldo para la nota de crédito."));
    EXPECT_FALSE(m.agrega());
    prompts.pushInput(QStringLiteral("siete"));
    m.elige(4);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No es un número válido."));

    m.elige(1);
    m.escribeImporte(QStringLiteral("49.25"));
    EXPECT_TRUE(m.acepta());
    EXPECT_EQ(m.pagos().FormaPagoSel[2], 1);
}
