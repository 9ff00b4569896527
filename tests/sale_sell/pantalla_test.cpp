// The sale screen end to end, offscreen: scan demo products, close the sale, and find the header,
// the lines, the stock and the printed ticket; the payment dialog driven by its own controls.

#include "campos_visibles.h"
#include "entorno.h"
#include "printing/formato.h"
#include "printing/impresoraticket.h"
#include "sale/forms/cierre_venta.h"
#include "sale/forms/frmfacturar.h"
#include "sale/forms/frmventa.h"
#include "shell/estado.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace venta;
using vendetest::Entorno;

namespace {

class PantallaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e.ok()) << e.error().toStdString();
        e.PreparaPantalla(QStringLiteral("lp-pantalla"));
        EstadoGlobal& g = G();
        g.OpenCDrawer = 1;
        g.NTimesCajon = 1;
        g.ImporteRecibido = QStringLiteral("777");  // left by an earlier sale
        forma = std::make_unique<frmVenta>(nullptr, &e.bd(), &prompts);
        forma->show();
    }
    void TearDown() override { forma.reset(); }

    void Escanea(const QString& codigo) { vendetest::Escanea(*forma, codigo); }
    void EligeCliente() { vendetest::EligeCliente(*forma); }
    qint64 Clave(const QString& codigo)
    {
        return e.Valor("SELECT ClaveProducto FROM Producto WHERE CodigodeBarras = ?", {codigo}).toLongLong();
    }

    Entorno& e = Entorno::Comun();
    ui::ScriptedPrompts prompts;
    std::unique_ptr<frmVenta> forma;
};

}  // namespace

TEST_F(PantallaTest, ThreeScannedProductsCloseAsAPrintedTicket)
{
    const QStringList codigos{"7501000000127", "7501000000134", "7501000000172"};
    for (const QString& c : codigos)
        Escanea(c);
    ASSERT_EQ(forma->lineas().count(), 3) << prompts.messages().join("|").toStdString();
    EligeCliente();
    const double total = forma->TotalVenta;
    ASSERT_GT(total, 0);

    TicketPantalla(*forma);

    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta WHERE Tipo = 'T' AND Numero = 1"), 1)
        << prompts.messages().join("|").toStdString();
    EXPECT_NEAR(e.Valor("SELECT Total FROM Venta WHERE Numero = 1").toDouble(), total, 0.001);
    EXPECT_NEAR(e.Valor("SELECT Pagacon FROM Venta WHERE Numero = 1").toDouble(), total, 0.001);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 1 AND TipoDocto = 'T'"), 3);
    for (const QString& c : codigos)
        EXPECT_DOUBLE_EQ(e.Existencia(Clave(c)), e.ExistenciaInicial(Clave(c)) - 1) << c.toStdString();

    QFile f(G().PuertoTicket);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString impreso = QString::fromLatin1(f.readAll());
    EXPECT_TRUE(impreso.contains(QStringLiteral("\x1bp0\x19\xfa")));
    EXPECT_TRUE(impreso.contains(QStringLiteral("FOLDER CARTA")) || impreso.contains(QStringLiteral("7501000000127")))
        << impreso.toStdString();
    EXPECT_TRUE(impreso.contains(QStringLiteral("CLIENTE:")));
    // Paid without the dialog: the ticket shows the sale's total as received, not a stale amount.
    EXPECT_TRUE(impreso.contains(QStringLiteral("PAGO CON= ") + FormatoMonto(total, true, false) + " M.N."))
        << impreso.toStdString();

    // A new document is ready: no lines, capture on.
    EXPECT_EQ(forma->lineas().count(), 0);
    EXPECT_TRUE(forma->cmdTicket->isEnabled());
    EXPECT_FALSE(forma->Procesando);
}

TEST_F(PantallaTest, InvoiceThroughThePaymentDialog)
{
    EstadoGlobal& g = G();
    g.PagosMultiples = 1;
    g.UsarServidorImp = 1;  // queued: nothing opens a report window
    g.NombresVendedor[1] = QStringLiteral("MOSTRADOR");
    g.MaxVendedor = 1;  // the logged-in user (1) is the default seller
    Escanea(QStringLiteral("7501000000141"));
    Escanea(QStringLiteral("7501000000127"));
    ASSERT_EQ(forma->lineas().count(), 2);
    EligeCliente();
    forma->setObservacionDocumento(QStringLiteral("ENTREGAR EN MOSTRADOR"));

    bool visto = false;
    QTimer::singleShot(0, [&] {
        auto* d = forma->findChild<frmFacturar*>();
        ASSERT_NE(d, nullptr);
        visto = d->isVisible();
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Confirmar Venta."));
        EXPECT_EQ(d->txtcliente->text(), QStringLiteral("PUBLICO EN GENERAL"));
        EXPECT_EQ(d->Combo1->currentIndex(), 1);
        EXPECT_TRUE(testutil::CadaCampoSeVeEntero(d));
        // The amount has the focus: digits typed at once go there, and Enter confirms. Too little
        // first: the dialog stays.
        EXPECT_EQ(QApplication::focusWidget(), d->txtcantidadp);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->txtcantidadp->text(), QStringLiteral("5"));
        d->txtcantidadp->clear();
        QTest::keyClicks(d->txtcantidadp, QStringLiteral("500"));
        EXPECT_EQ(d->txtcantidadp->text(), QStringLiteral("500"));
        EXPECT_EQ(d->txtcambio->text(), QStringLiteral("$ 402.00"));
        QTest::mouseClick(d->cmdAceptar, Qt::LeftButton);
    });
    VenderPantalla(*forma, 4);
    EXPECT_TRUE(visto);
    EXPECT_EQ(prompts.messages().filter(QStringLiteral("No se ha cubierto")).size(), 1);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta WHERE Tipo = 'F'"), 1) << prompts.messages().join("|").toStdString();
    EXPECT_DOUBLE_EQ(e.Valor("SELECT Pagacon FROM Venta WHERE Tipo = 'F'").toDouble(), 500);
    EXPECT_EQ(e.Valor("SELECT Vendedor FROM Venta WHERE Tipo = 'F'").toInt(), 1);
    EXPECT_EQ(e.Valor("SELECT ObsVenta FROM Venta WHERE Tipo = 'F'").toString(), QStringLiteral("ENTREGAR EN MOSTRADOR"));
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Solicitafolios WHERE FolioSolicita = 4 AND valordev = 1"), 1);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El Docto 1 se imprimira en el servidor de impresión."));
    EXPECT_EQ(forma->lineas().count(), 0);
}

// While the save waits for a file another terminal holds, a second close changes nothing: one
// ticket with all its lines.
TEST_F(PantallaTest, CommandsWaitWhileASaleIsBeingStored)
{
    Escanea(QStringLiteral("7501000000127"));
    Escanea(QStringLiteral("7501000000134"));
    EligeCliente();
    auto otra = db::Database::open(e.rutaSucursal(), QStringLiteral("pastizal"));
    ASSERT_NE(otra, nullptr);
    ASSERT_TRUE(otra->beginWrite());
    QTimer::singleShot(100, [&] {
        EXPECT_TRUE(forma->Procesando);
        TicketPantalla(*forma);
        VenderPantalla(*forma, 4);
        EXPECT_EQ(forma->lineas().count(), 2);
        otra->rollback();
    });
    TicketPantalla(*forma);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta"), 1) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 1"), 2);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 0"), 0);
}
