// The customer catalogue as the sale screen's picker, in the main window on the demo data: the sale
// screen's client button opens it, the person searches and picks, the catalogue hands the customer
// back and the ticket closes with it.

#include "apps/setup/datasetup.h"
#include "cash/forms/menus.h"
#include "capture_control/ccaptura.h"
#include "catalogs/forms/frmclientes.h"
#include "catalogs/forms/frmproductos.h"
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
#include <QTableView>
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
        caja::ConectaMenusCaja(midi.get());
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

namespace {

// Closes a document window by its frame, as the person's click on its close box does.
void CierraVentana(QWidget* forma)
{
    QWidget* marco = qobject_cast<QMdiSubWindow*>(forma->parentWidget()) ? forma->parentWidget() : forma;
    marco->close();
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace

// Every window that can open and close over the sale screen: only the product catalogue hands a
// product over, and only once; the others leave the code field as the person left it.
TEST_F(PickerTest, WindowsClosingOverTheSaleScreenHandOverOnlyThePickedProductOnce)
{
    struct Caso {
        const char* item;
        const char* forma;
        bool entrega;  // the window hands the product on its card to the sale screen
    };
    const Caso casos[] = {
        {"Productos", "frmProductos", true},
        {"mDevoluciones", "frmDevoluciones", false},
        {"mCajonDinero", "frmMovCaja", false},
        {"mCortesCaja", "frmCortesCaja", false},
    };
    G().PermisosUsuario.fill(true);
    venta::frmVenta* venta = venta::AbreVenta(midi.get(), QStringLiteral("F"), &prompts);
    ASSERT_NE(venta, nullptr);
    ASSERT_FALSE(venta->ProductoMarcado().isEmpty());  // the grid highlights its first product
    int lineas = 0;
    for (int vez = 0; vez < 2; ++vez) {
        for (const Caso& c : casos) {
            SCOPED_TRACE(c.item);
            midi->Ejecuta(QString::fromLatin1(c.item));
            QWidget* forma = shell::FormaCargada(QString::fromLatin1(c.forma));
            ASSERT_NE(forma, nullptr) << prompts.messages().join("|").toStdString();
            QString esperado;
            if (c.entrega)
                esperado = qobject_cast<catalogos::frmProductos*>(forma)->capCodigo->Text();
            CierraVentana(forma);
            ASSERT_EQ(midi->areaMDI()->activeSubWindow(), venta->parentWidget());
            EXPECT_EQ(venta->cajaCodigo->text(), esperado);
            // Enter takes a handed product; a scan then adds the scanned product alone.
            if (c.entrega) {
                QTest::keyClick(venta->cajaCodigo, Qt::Key_Return);
                ++lineas;
            }
            QTest::keyClicks(venta->cajaCodigo, codigo);
            QTest::keyClick(venta->cajaCodigo, Qt::Key_Return);
            EXPECT_EQ(venta->cajaCodigo->text(), QString());
            ++lineas;
            EXPECT_EQ(venta->lineas().count(), lineas);
        }
    }
    EXPECT_FALSE(prompts.messages().contains(QStringLiteral("No se encontro el producto.")))
        << prompts.messages().join("|").toStdString();
}

TEST_F(PickerTest, TheCustomerChosenLastInThePickerIsTheSales)
{
    // A cashier who may sell but holds no grant of the customer catalogue still picks the customer.
    G().PermisosUsuario.fill(false);
    G().PermisosUsuario[12] = true;
    venta::frmVenta* venta = venta::AbreVenta(midi.get(), QStringLiteral("F"), &prompts);
    ASSERT_NE(venta, nullptr);
    QTest::mouseClick(venta->cmdCliente, Qt::LeftButton);
    catalogos::frmClientes* cat = Catalogo();
    ASSERT_NE(cat, nullptr) << prompts.messages().join("|").toStdString();
    const QString primero = G().SeleccionCatalogo.section(QLatin1Char(';'), 1);

    // A click on the sale screen while the picker is open, then back to the picker for another one.
    midi->areaMDI()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(venta->parentWidget()));
    QTest::mouseClick(venta->cajaCodigo, Qt::LeftButton);
    EXPECT_EQ(venta->ClienteVenta, primero);
    ASSERT_NE(primero, "PAPELERIA EL ESTUDIANTE");
    midi->areaMDI()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(cat->parentWidget()));
    QTest::keyClick(cat->Text1, Qt::Key_F2);
    QTest::keyClicks(cat->Text1, QStringLiteral("PA"));
    ASSERT_EQ(cat->Registros(), 1);
    QTest::mouseClick(cat->cmdRegresar, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(venta->ClienteVenta, "PAPELERIA EL ESTUDIANTE");

    // Once the picker is gone, another window closing over the screen changes no customer.
    G().SeleccionCatalogo = QStringLiteral("XAXX010101000;OTRO");
    midi->Ejecuta(QStringLiteral("mDevoluciones"));
    QWidget* devoluciones = shell::FormaCargada(QStringLiteral("frmDevoluciones"));
    ASSERT_NE(devoluciones, nullptr);
    CierraVentana(devoluciones);
    EXPECT_EQ(venta->ClienteVenta, "PAPELERIA EL ESTUDIANTE");
}

// A pick is one value handed to the sale screen and taken once, whichever way its picker closes
// (Regresar, the close box, Esc) and whichever kind it is: after a customer's pick a product picked
// in its catalogue reaches the code field, and another window opening and closing over the screen
// hands nothing again.
TEST_F(PickerTest, EachPickIsTakenOnceWhicheverWayThePickerCloses)
{
    G().PermisosUsuario.fill(true);
    venta::frmVenta* venta = venta::AbreVenta(midi.get(), QStringLiteral("F"), &prompts);
    ASSERT_NE(venta, nullptr);
    struct Cierre {
        const char* nombre;
        const char* busca;
        const char* cliente;
    };
    const Cierre cierres[] = {
        {"Regresar", "PA", "PAPELERIA EL ESTUDIANTE"},
        {"caja de cierre", "MA", "MARIA GONZALEZ MARTINEZ"},
        {"Esc", "PA", "PAPELERIA EL ESTUDIANTE"},
    };
    int lineas = 0;
    for (const Cierre& c : cierres) {
        SCOPED_TRACE(c.nombre);
        QTest::mouseClick(venta->cmdCliente, Qt::LeftButton);
        catalogos::frmClientes* cat = Catalogo();
        ASSERT_NE(cat, nullptr);
        cat->Text1->clear();
        // F2 goes through the search fields until the name's.
        for (int i = 0; i < 10 && cat->Combo1->currentText() != QLatin1String("NOMBRE"); ++i)
            QTest::keyClick(cat->Text1, Qt::Key_F2);
        QTest::keyClicks(cat->Text1, QString::fromLatin1(c.busca));
        ASSERT_EQ(cat->Registros(), 1);
        if (c.nombre == std::string("Regresar"))
            QTest::mouseClick(cat->cmdRegresar, Qt::LeftButton);
        else if (c.nombre == std::string("Esc"))
            QTest::keyClick(cat->Text1, Qt::Key_Escape);
        else
            CierraVentana(cat);
        QApplication::processEvents();
        EXPECT_EQ(venta->ClienteVenta, c.cliente);
        EXPECT_EQ(midi->areaMDI()->activeSubWindow(), venta->parentWidget());

        // A product picked in its catalogue comes next, whole.
        midi->Ejecuta(QStringLiteral("Productos"));
        auto* productos = qobject_cast<catalogos::frmProductos*>(shell::FormaCargada(QStringLiteral("frmProductos")));
        ASSERT_NE(productos, nullptr);
        int columna = 0;
        while (productos->gridClientes->isColumnHidden(columna))
            ++columna;
        const QModelIndex fila = productos->gridClientes->model()->index(1, columna);
        QTest::mouseClick(productos->gridClientes->viewport(), Qt::LeftButton, {},
                          productos->gridClientes->visualRect(fila).center());
        const QString elegido = productos->capCodigo->Text();
        ASSERT_FALSE(elegido.isEmpty());
        QTest::mouseClick(productos->cmdRegresar, Qt::LeftButton);
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_EQ(venta->cajaCodigo->text(), elegido);

        // Another window opens and closes: neither pick comes back.
        G().SeleccionCatalogo = QStringLiteral("XAXX010101000;OTRO");
        midi->Ejecuta(QStringLiteral("mCajonDinero"));
        QWidget* movimientos = shell::FormaCargada(QStringLiteral("frmMovCaja"));
        ASSERT_NE(movimientos, nullptr);
        CierraVentana(movimientos);
        EXPECT_EQ(venta->cajaCodigo->text(), elegido);
        EXPECT_EQ(venta->ClienteVenta, c.cliente);

        // Enter takes the product; a scan then adds its own alone.
        QTest::keyClick(venta->cajaCodigo, Qt::Key_Return);
        QTest::keyClicks(venta->cajaCodigo, codigo);
        QTest::keyClick(venta->cajaCodigo, Qt::Key_Return);
        lineas += 2;
        EXPECT_EQ(venta->lineas().count(), lineas);
        EXPECT_EQ(venta->cajaCodigo->text(), QString());
    }
    EXPECT_FALSE(prompts.messages().contains(QStringLiteral("No se encontro el producto.")))
        << prompts.messages().join("|").toStdString();
}
