// The customer catalogue as the sale screen's picker, in the main window on the demo data: the sale
// screen's client button opens it, the person searches and picks, the catalogue hands the customer
// back and the ticket closes with it.

#include "apps/setup/datasetup.h"
#include "catalogs/forms/frmclientes.h"
#include "platform/ui/prompts.h"
#include "printing/impresoraticket.h"
#include "sale/forms/cierre_venta.h"
#include "sale/forms/frmventa.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        datasetup::Options o;
        o.dataFolder = dir.path();
        o.demo = true;
        QString error;
        ASSERT_TRUE(datasetup::createDataFolder(o, &error)) << error.toStdString();
        auto central = db::Database::open(datasetup::rutaBDCodigos(o.dataFolder),
                                          datasetup::claveArchivos());
        ASSERT_TRUE(central);
        const QString corto = central->scalar(QStringLiteral(
            "SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))->toString();
        codigo = central->scalar(QStringLiteral(
            "SELECT CodigodeBarras FROM Producto WHERE Nombre <> 'VARIOS' ORDER BY ClaveProducto"))->toString();
        central.reset();

        ReiniciaEstado();
        EstadoGlobal& g = G();
        g.CarpetaDatos = dir.path();
        g.SucursalActual = 1;
        g.DescripcionC[1] = corto;
        g.TerminalActual = 1;
        g.NombreEquipo = QStringLiteral("CAJA1").leftJustified(40);
        g.ClaveUsuario = 1;
        g.BDefault = 1;
        g.PermisosUsuario[3] = true;
        g.PorcentajeIVA = 16;
        g.PuertoTicket = dir.path() + QStringLiteral("/lp-ticket");
        EstableceImpresoraActual(QString());
        ui::setDefaultPrompts(&prompts);

        midi = std::make_unique<shell::MIDI>();
        catalogos::ConectaMenusCatalogos(midi.get());
        shell::ConectaMenu(midi.get());
        midi->show();
    }
    void TearDown() override
    {
        midi.reset();
        shell::OlvidaAbridores();
        ui::setDefaultPrompts(nullptr);
        shell::CierraConexiones();
    }
    // The document window on top of the others in sight.
    QWidget* EnFrente()
    {
        const auto pila = midi->areaMDI()->subWindowList(QMdiArea::StackingOrder);
        for (auto it = pila.crbegin(); it != pila.crend(); ++it)
            if ((*it)->isVisible())
                return *it;
        return nullptr;
    }
    catalogos::frmClientes* Catalogo()
    {
        return qobject_cast<catalogos::frmClientes*>(shell::FormaCargada(QStringLiteral("frmClientes")));
    }

    QTemporaryDir dir;
    QString codigo;
    ui::ScriptedPrompts prompts;
    std::unique_ptr<shell::MIDI> midi;
};

}  // namespace

TEST_F(PickerTest, ClientButtonPicksTheCustomerAndTheTicketCloses)
{
    venta::frmVenta* venta = venta::AbreVenta(midi.get(), QStringLiteral("F"), &prompts);
    ASSERT_NE(venta, nullptr);
    QTest::keyClicks(venta->cajaCodigo, codigo);
    QTest::keyClick(venta->cajaCodigo, Qt::Key_Return);
    ASSERT_EQ(venta->lineas().count(), 1) << prompts.messages().join("|").toStdString();

    QTest::mouseClick(venta->cmdCliente, Qt::LeftButton);
    catalogos::frmClientes* cat = Catalogo();
    ASSERT_NE(cat, nullptr);
    EXPECT_EQ(cat->windowTitle(), "CATALOGO DE CLIENTES.");
    EXPECT_EQ(midi->areaMDI()->activeSubWindow(), cat->parentWidget());
    EXPECT_EQ(cat->Registros(), 3);  // the generic customer and the two of the demo

    // F2 goes from RFC to NOMBRE; two letters leave the one customer whose name begins with them.
    QTest::keyClick(cat->Text1, Qt::Key_F2);
    EXPECT_EQ(cat->Combo1->currentText(), "NOMBRE");
    QTest::keyClicks(cat->Text1, QStringLiteral("MA"));
    ASSERT_EQ(cat->Registros(), 1);
    EXPECT_EQ(G().SeleccionCatalogo, "GOMA800101AB1;MARIA GONZALEZ MARTINEZ");

    // Enter closes the picker: back to the sale screen, in front; the catalogue stays loaded, out of
    // sight.
    QTest::keyClick(cat->Text1, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Catalogo(), cat);
    EXPECT_EQ(midi->areaMDI()->activeSubWindow(), venta->parentWidget());
    EXPECT_EQ(EnFrente(), venta->parentWidget());
    EXPECT_FALSE(cat->isVisible());
    EXPECT_EQ(venta->ClienteVenta, "MARIA GONZALEZ MARTINEZ");
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().join("|").toStdString();

    venta::TicketPantalla(*venta);
    EXPECT_FALSE(prompts.messages().contains("No ha definido cliente."))
        << prompts.messages().join("|").toStdString();
    db::Database* bd = shell::BDSucursal();
    ASSERT_NE(bd, nullptr);
    EXPECT_EQ(bd->scalar(QStringLiteral("SELECT Cliente FROM Venta WHERE Tipo = 'T'"))->toString(),
              "GOMA800101AB1");

    // The button opens the same loaded catalogue again.
    QTest::mouseClick(venta->cmdCliente, Qt::LeftButton);
    EXPECT_EQ(Catalogo(), cat);
    EXPECT_EQ(midi->areaMDI()->activeSubWindow(), cat->parentWidget());
    EXPECT_TRUE(cat->isVisible());

    // Back again, and the sale screen closed from its frame: the picker goes with it instead of
    // coming to the front.
    QPointer<catalogos::frmClientes> sigue(cat);
    QTest::mouseClick(cat->cmdRegresar, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(EnFrente(), venta->parentWidget());
    venta->parentWidget()->close();
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(sigue.isNull());
}

TEST_F(PickerTest, MenuItemNeedsPermissionAndCloseUnloadsWithoutSaleScreen)
{
    G().PermisosUsuario[3] = false;
    midi->Ejecuta(QStringLiteral("Clientes"));
    EXPECT_EQ(Catalogo(), nullptr);
    EXPECT_TRUE(prompts.messages().isEmpty());  // refused without a message

    G().PermisosUsuario[3] = true;
    QAction* item = midi->accion(QStringLiteral("Clientes"));
    ASSERT_NE(item, nullptr);
    item->trigger();
    QPointer<catalogos::frmClientes> cat = Catalogo();
    ASSERT_FALSE(cat.isNull());
    QTest::mouseClick(cat->cmdRegresar, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(cat.isNull());
}

TEST_F(PickerTest, ReopenedPickerHandsBackTheCustomerOnScreenInCreditNoteMode)
{
    venta::frmVenta* venta = venta::AbreVenta(midi.get(), QStringLiteral("N"), &prompts);
    ASSERT_NE(venta, nullptr);
    QTest::mouseClick(venta->cmdCliente, Qt::LeftButton);
    catalogos::frmClientes* cat = Catalogo();
    ASSERT_NE(cat, nullptr);
    QTest::keyClick(cat->Text1, Qt::Key_F2);
    QTest::keyClicks(cat->Text1, QStringLiteral("MA"));
    ASSERT_EQ(cat->Registros(), 1);
    QTest::keyClick(cat->Text1, Qt::Key_Return);
    EXPECT_EQ(venta->ClienteVenta, "MARIA GONZALEZ MARTINEZ");

    // The screen forgets its customer (as a new document does); the person opens the picker again
    // and goes back without moving: the customer still on screen is the one taken.
    G().SeleccionCatalogo.clear();
    venta->ClienteVenta.clear();
    QTest::mouseClick(venta->cmdCliente, Qt::LeftButton);
    ASSERT_EQ(Catalogo(), cat);
    QTest::keyClick(cat->Text1, Qt::Key_Return);
    EXPECT_EQ(venta->ClienteVenta, "MARIA GONZALEZ MARTINEZ");
}

TEST_F(PickerTest, QuotationHeaderIsForTheGeneralPublicWithoutTheLastSalesPayment)
{
    G().ImportesPago[1] = 60.0;  // left by the previous sale
    venta::frmVenta* venta = venta::AbreVenta(midi.get(), QStringLiteral("C"), &prompts);
    ASSERT_NE(venta, nullptr);
    db::Database* bd = shell::BDSucursal();
    ASSERT_NE(bd, nullptr);
    auto fila = bd->selectOne(QStringLiteral("SELECT Cliente, Pagacon FROM Venta WHERE Tipo = 'C'"));
    ASSERT_TRUE(fila && !fila->empty()) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(fila->text("Cliente"), "XAXX010101000");
    EXPECT_EQ(fila->real("Pagacon"), 0.0);
}
