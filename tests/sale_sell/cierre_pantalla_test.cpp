// The sale screen driven as the cashier drives it: typing in its fields and clicking its buttons
// with the mouse, then finding what was stored and printed.

#include "entorno.h"
#include "printing/formato.h"
#include "printing/impresoraticket.h"
#include "sale/forms/frmfacturar.h"
#include "sale/forms/frmventa.h"
#include "shell/estado.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace venta;
using vendetest::Entorno;

namespace {

const QString kFolder = QStringLiteral("7501000000127");       // FOLDER CARTA, 3.00, cost 1.20
const QString kMarcatextos = QStringLiteral("7501000000134");  // MARCATEXTOS, 14.00, cost 6.00

class CierrePantalla : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e.ok()) << e.error().toStdString();
        e.PreparaPantalla(QStringLiteral("lp-cierre"));
        G().VerDesctoVenta = 1;
        G().MaxDescuentoFact = 20;
    }
    void TearDown() override
    {
        forma.reset();
        e.Ejecuta(QStringLiteral("UPDATE Producto SET Descripcion = ? WHERE CodigodeBarras = ?"),
                  {QStringLiteral("MARCATEXTOS AMARILLO"), kMarcatextos});
        e.Ejecuta(QStringLiteral("UPDATE Producto SET PrecioCosto = 6 WHERE CodigodeBarras = ?"), {kMarcatextos});
    }
    frmVenta& Abre(const QString& modo = QStringLiteral("F"))
    {
        G().ModoVenta = modo;
        forma = std::make_unique<frmVenta>(nullptr, &e.bd(), &prompts);
        forma->show();
        return *forma;
    }
    void Escanea(const QString& codigo) { vendetest::Escanea(*forma, codigo); }
    void EligeCliente() { vendetest::EligeCliente(*forma); }
    void Clic(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    QString Impreso()
    {
        QFile f(G().PuertoTicket);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    QString Mensajes() const { return prompts.messages().join('|'); }
    QString UltimaPregunta() const
    {
        for (auto it = prompts.asked().rbegin(); it != prompts.asked().rend(); ++it)
            if (it->kind == ui::ScriptedPrompts::Asked::Question)
                return it->text;
        return {};
    }

    Entorno& e = Entorno::Comun();
    ui::ScriptedPrompts prompts;
    std::unique_ptr<frmVenta> forma;
};

}  // namespace

// The buttons take no focus, so a discount just typed never left its field: the click itself runs
// the field's step, and what is charged, stored and printed is the discounted total.
TEST_F(CierrePantalla, ADiscountTypedAndClosedByAClickIsCheckedAndCharged)
{
    Abre();
    Escanea(kMarcatextos);
    Escanea(kMarcatextos);
    Escanea(kFolder);
    EligeCliente();
    ASSERT_EQ(forma->lineas().count(), 3) << Mensajes().toStdString();
    QTest::keyClicks(forma->capDescuento, QStringLiteral("10"));
    Clic(forma->cmdTicket);
    // 14 + 14 + 3 = 31, less 10 %.
    EXPECT_DOUBLE_EQ(e.Valor("SELECT Descuento FROM Venta WHERE Tipo = 'T'").toDouble(), 10) << Mensajes().toStdString();
    EXPECT_NEAR(e.Valor("SELECT Total FROM Venta WHERE Tipo = 'T'").toDouble(), 27.90, 0.001);
    const QString t = Impreso();
    EXPECT_TRUE(t.contains(QStringLiteral("PAGO CON= ") + FormatoMonto(27.90, true, false))) << t.toStdString();
    EXPECT_EQ(forma->capDescuento->text(), QStringLiteral("0"));  // the next sale starts clean

    // Above the branch's cap without permission 41: the invoice stores the cap.
    G().UsarServidorImp = 1;  // queued: no report window
    Escanea(kMarcatextos);
    EligeCliente();
    QTest::keyClicks(forma->capDescuento, QStringLiteral("60"));
    Clic(forma->cmdFacturar);
    EXPECT_DOUBLE_EQ(e.Valor("SELECT Descuento FROM Venta WHERE Tipo = 'F'").toDouble(), 20) << Mensajes().toStdString();
    EXPECT_NEAR(e.Valor("SELECT Total FROM Venta WHERE Tipo = 'F'").toDouble(), 11.20, 0.001);
}

// The ticket's item line is the product's code and its name, once: never its description.
TEST_F(CierrePantalla, TheTicketLinePrintsCodeAndNameOnce)
{
    e.Ejecuta(QStringLiteral("UPDATE Producto SET Descripcion = '' WHERE CodigodeBarras = ?"), {kMarcatextos});
    Abre();
    Escanea(kMarcatextos);
    Escanea(kFolder);
    EligeCliente();
    Clic(forma->cmdTicket);
    const QString t = Impreso();
    EXPECT_TRUE(t.contains(kMarcatextos + QStringLiteral(" MARCATEXTOS\n"))) << t.toStdString();
    EXPECT_TRUE(t.contains(kFolder + QStringLiteral(" FOLDER CARTA\n"))) << t.toStdString();
    EXPECT_FALSE(t.contains(QStringLiteral("MARCATEXTOS MARCATEXTOS")));
    EXPECT_FALSE(t.contains(QStringLiteral("MANILA")));
}

// A recalled ticket is only shown: no key, prompt or list may rewrite its stored lines.
TEST_F(CierrePantalla, ARecalledTicketKeepsItsStoredLines)
{
    G().ParTickets = 1;
    G().PermisosUsuario[39] = true;
    G().PermisosUsuario[46] = true;
    Abre();
    Escanea(kMarcatextos);
    EligeCliente();
    Clic(forma->cmdTicket);
    ASSERT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 1 AND TipoDocto = 'T'"), 1);
    prompts.pushInput(QStringLiteral("1"));
    prompts.pushInput(QStringLiteral("T"));
    Clic(forma->cmdBuscar);
    ASSERT_EQ(forma->lineas().count(), 1) << Mensajes().toStdString();
    forma->SeleccionaLinea(0);

    for (int i = 0; i < 4; ++i)
        prompts.pushInput(QStringLiteral("5"));
    QTest::keyClick(forma->DBGrid1, Qt::Key_F10);  // unit price
    QTest::keyClick(forma->DBGrid1, Qt::Key_F4);   // observation
    QTest::keyClick(forma->DBGrid1, Qt::Key_F1);   // options: quantity
    ASSERT_TRUE(forma->lstOpciones->isVisible());
    QListWidgetItem* cantidad = forma->lstOpciones->item(0);
    QTest::mouseClick(forma->lstOpciones->viewport(), Qt::LeftButton, {},
                      forma->lstOpciones->visualItemRect(cantidad).center());
    QTest::keyClick(forma->DBGrid1, Qt::Key_F1);   // options: price list
    QListWidgetItem* precios = forma->lstOpciones->item(2);
    QTest::mouseClick(forma->lstOpciones->viewport(), Qt::LeftButton, {},
                      forma->lstOpciones->visualItemRect(precios).center());
    if (forma->lstPrecios->count() > 1)
        QTest::mouseClick(forma->lstPrecios->viewport(), Qt::LeftButton, {},
                          forma->lstPrecios->visualItemRect(forma->lstPrecios->item(1)).center());

    EXPECT_DOUBLE_EQ(e.Valor("SELECT Cantidad FROM DetalleVenta WHERE Numero = 1").toDouble(), 1);
    EXPECT_DOUBLE_EQ(e.Valor("SELECT PrecioUnit FROM DetalleVenta WHERE Numero = 1").toDouble(), 14);
    EXPECT_EQ(e.Valor("SELECT COALESCE(Observacion, '') FROM DetalleVenta WHERE Numero = 1").toString(), QString());
}

// A new document with lines not yet sold asks first; No keeps them. The window's own close box
// asks what the close button asks.
TEST_F(CierrePantalla, NewDocumentAndTheCloseBoxAskBeforeDroppingLines)
{
    Abre();
    Escanea(kMarcatextos);
    ASSERT_EQ(forma->lineas().count(), 1);
    prompts.pushAnswer(ui::Answer::No);
    Clic(forma->cmdNuevo);
    EXPECT_EQ(UltimaPregunta(),
              QStringLiteral("Los datos de sus productos no han sido facturados y los perdera, desea continuar ?"));
    EXPECT_EQ(forma->lineas().count(), 1);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 0"), 1);

    prompts.pushAnswer(ui::Answer::No);
    forma->close();
    EXPECT_TRUE(forma->isVisible());
    EXPECT_EQ(UltimaPregunta(),
              QStringLiteral("Los datos de sus productos no han sido aplicados, desea continuar ?"));
    EXPECT_EQ(forma->lineas().count(), 1);
    prompts.pushAnswer(ui::Answer::Yes);
    forma->close();
    EXPECT_FALSE(forma->isVisible());
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 0"), 0);
}

// A new document starts its payment afresh: seller, condition, amount received, slots, discount
// list; and the payment dialog proposes the logged-in user as seller for every sale.
TEST_F(CierrePantalla, EachSaleStartsItsPaymentAfresh)
{
    EstadoGlobal& g = G();
    g.PagosMultiples = 1;
    g.NombresVendedor[0] = QStringLiteral("NADIE");
    g.NombresVendedor[1] = QStringLiteral("ADMIN");
    g.NombresVendedor[2] = QStringLiteral("LUPITA");
    g.MaxVendedor = 2;
    Abre();
    auto vende = [&](bool otroVendedor) {
        Escanea(kFolder);
        EligeCliente();
        QTimer::singleShot(0, [&, otroVendedor] {
            auto* d = forma->findChild<frmFacturar*>();
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->cmbVendedor->currentIndex(), 1);
            if (otroVendedor)
                QTest::keyClick(d->cmbVendedor, Qt::Key_Down);
            QTest::keyClicks(d->txtcantidadp, QStringLiteral("50"));
            QTest::mouseClick(d->cmdAceptar, Qt::LeftButton);
        });
        Clic(forma->cmdTicket);
    };
    vende(true);
    vende(false);
    EXPECT_EQ(e.Valor("SELECT Vendedor FROM Venta WHERE Numero = 1 AND Tipo = 'T'").toInt(), 2) << Mensajes().toStdString();
    EXPECT_EQ(e.Valor("SELECT Vendedor FROM Venta WHERE Numero = 2 AND Tipo = 'T'").toInt(), 1);

    g.VendedorVenta = 2;
    g.CondicionPagoSel = 1;
    g.ImporteRecibido = QStringLiteral("50");
    g.FormaPagoSel[1] = 3;
    forma->cmbDescuento->setCurrentIndex(2);
    Clic(forma->cmdNuevo);
    EXPECT_EQ(g.VendedorVenta, 0);
    EXPECT_EQ(g.CondicionPagoSel, 0);
    EXPECT_EQ(g.ImporteRecibido, QStringLiteral("0"));
    EXPECT_EQ(g.FormaPagoSel[1], 0);
    EXPECT_EQ(forma->cmbDescuento->currentIndex(), 0);
}

// An inventory entry's line is the entry's unit cost: saved untouched it leaves the cost alone.
TEST_F(CierrePantalla, AnInventoryEntryStartsAtTheProductsCost)
{
    Abre(QStringLiteral("E"));
    Escanea(kMarcatextos);
    ASSERT_EQ(forma->lineas().count(), 1) << Mensajes().toStdString();
    EXPECT_DOUBLE_EQ(forma->lineas().lineas()[0].precioUnit, 6.0);
    prompts.pushInput(QStringLiteral("ENTRADA DE PROVEEDOR"));
    Clic(forma->cmdActInv);
    EXPECT_EQ(prompts.messages().filter(QStringLiteral("se realizó con éxito")).size(), 1) << Mensajes().toStdString();
    EXPECT_DOUBLE_EQ(e.Valor("SELECT PrecioCosto FROM Producto WHERE CodigodeBarras = ?", {kMarcatextos}).toDouble(), 6.0);
    EXPECT_DOUBLE_EQ(e.Valor("SELECT PrecioUnit FROM Producto WHERE CodigodeBarras = ?", {kMarcatextos}).toDouble(), 14.0);
}
