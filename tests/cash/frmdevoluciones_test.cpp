// The returns form driven as a supervisor uses it, and its menu item.
#include "devol_fixture.h"

#include "capture_control/ccaptura.h"
#include "cash/forms/frmdevoluciones.h"
#include "cash/forms/menus.h"
#include "printing/envio.h"
#include "sale/documentos.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/permisos.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class FrmDevolucionesTest : public PosventaTest {
protected:
    void SetUp() override {
        PosventaTest::SetUp();
        G().PermisosUsuario[40] = true;  // the person at the returns window holds its grant
    }
    // A ticket sold through the sale save: the screen's pending lines, folio, header and stock.
    qint64 vendeTicket(const std::vector<std::pair<int, double>>& lineas) {
        sale::PorGuardar g;
        g.Clase = sale::ClaseDocumento::Ticket;
        g.Encabezado = sale::EncabezadoDesdeEstado();
        g.Encabezado.Cliente = QStringLiteral("XAXX010101000");
        sale::DocumentoPorGuardar d;
        for (const auto& [producto, cantidad] : lineas) {
            EXPECT_TRUE(bd().exec("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Iva) "
                                  "VALUES (0, 'T', ?, ?, 10, 1)",
                                  {clave(producto), cantidad}));
            d.Lineas.push_back(bd().lastInsertId());
            d.Total += cantidad * 10;
        }
        g.Documentos.push_back(d);
        const sale::Guardado r = sale::GuardaDocumento(bd(), g, espera);
        EXPECT_TRUE(r.ok) << r.error.message.toStdString();
        return r.NumeroDocumento();
    }
    static QLineEdit* caja(CCaptura* c) { return c->findChild<QLineEdit*>(); }
    static void clic(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
};

TEST_F(FrmDevolucionesTest, LooksUpASoldTicketMarksTwoProductsAndUnmarksOne) {
    const qint64 ticket = vendeTicket({{0, 2}, {1, 3}, {2, 1}});
    ASSERT_GT(ticket, 0);
    caja::frmDevoluciones f(nullptr, nullptr, &prompts);
    f.show();
    EXPECT_EQ(f.windowTitle(), "Devoluciones.");
    EXPECT_EQ(f.cmbTipoDevolucion->currentText(), QString::fromUtf8("Devolución a EFECTIVO"));
    EXPECT_EQ(f.SSTab1->currentIndex(), 0);

    QTest::keyClicks(caja(f.capNumero), QString::number(ticket));
    clic(f.cmdConsultar);
    ASSERT_EQ(f.gridDetVentas->model()->rowCount(), 3) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(f.lblNombreCliente->text(), "Nombre cliente: PUBLICO EN GENERAL");
    EXPECT_EQ(f.lblImporteventa->text(), "Importe de la venta: 60.00");

    prompts.pushInput("2");
    clic(f.Command1);  // the first line is selected after the lookup
    f.gridDetVentas->selectRow(1);
    prompts.pushInput("1.5");
    clic(f.Command1);
    ASSERT_EQ(f.gridDetDevolucion->model()->rowCount(), 2);
    EXPECT_EQ(f.lblImporteDev->text(), "35.00");

    f.gridDetDevolucion->selectRow(0);
    clic(f.Command3);
    ASSERT_EQ(f.gridDetDevolucion->model()->rowCount(), 1);
    EXPECT_EQ(f.lblImporteDev->text(), "15.00");
    EXPECT_EQ(f.devolucion().pendientes()[0].ClaveProducto, clave(1));

    // Closing with lines asks; No keeps the form and its lines.
    prompts.pushAnswer(ui::Answer::No);
    EXPECT_FALSE(f.close());
    EXPECT_EQ(prompts.asked().back().text, QString::fromUtf8("Desea cancelar la captura de la Devolución.?"));
    EXPECT_EQ(f.devolucion().pendientes().size(), 1u);
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(f.close());
    EXPECT_TRUE(f.devolucion().pendientes().empty());
}

TEST_F(FrmDevolucionesTest, ALookupWithLettersOnlyResetsTheForm) {
    const qint64 ticket = vendeTicket({{0, 1}});
    caja::frmDevoluciones f(nullptr, nullptr, &prompts);
    f.show();
    QTest::keyClicks(caja(f.capNumero), QString::number(ticket));
    QTest::keyClick(caja(f.capNumero), Qt::Key_Return);
    ASSERT_EQ(f.gridDetVentas->model()->rowCount(), 1);
    prompts.pushInput("1");
    clic(f.Command1);
    ASSERT_EQ(f.gridDetDevolucion->model()->rowCount(), 1);

    caja(f.capNumero)->clear();
    QTest::keyClicks(caja(f.capNumero), QStringLiteral("12A"));
    clic(f.cmdConsultar);
    EXPECT_EQ(f.gridDetVentas->model()->rowCount(), 0);
    EXPECT_EQ(f.gridDetDevolucion->model()->rowCount(), 0);
    EXPECT_EQ(f.lblNombreCliente->text(), "");
    EXPECT_TRUE(f.close());  // nothing marked: no question
}

TEST_F(FrmDevolucionesTest, ReturnsASoldTicketAsCashAndReprintsItsVoucher) {
    QStringList impreso;
    EstableceSalidaImpresor([&impreso](const QString& texto, int) {
        impreso << texto;
        return print::Resultado{true, {}};
    });
    const qint64 ticket = vendeTicket({{0, 2}, {1, 1}});
    const double antes = existencia(0);
    caja::frmDevoluciones f(nullptr, nullptr, &prompts);
    f.show();
    QTest::keyClicks(caja(f.capNumero), QString::number(ticket));
    clic(f.cmdConsultar);
    prompts.pushInput("2");
    clic(f.Command1);
    QTest::keyClicks(caja(f.capCausa), QStringLiteral("NO FUNCIONA"));
    ASSERT_EQ(f.cmbTipoDevolucion->currentText(), QString::fromUtf8("Devolución a EFECTIVO"));
    clic(f.cmdGuardar);
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("Se ha grabado su devolución. Se generó devolucion a EFECTIVO  "));
    EXPECT_EQ(f.gridDetVentas->model()->rowCount(), 0);
    EXPECT_EQ(f.gridDetDevolucion->model()->rowCount(), 0);
    EXPECT_DOUBLE_EQ(existencia(0), antes + 2);
    EXPECT_EQ(valor("SELECT Descripcion FROM EInventario").toString(), "Devolucion:NO FUNCIONA");
    // The refund leaves the drawer: the balance of the movements not yet cut goes down by it.
    EXPECT_DOUBLE_EQ(valor("SELECT Importe FROM cSaldoMovCaja").toDouble(), -20.0);
    ASSERT_EQ(impreso.size(), 1);

    prompts.pushInput(QString::number(f.devolucion().NumeroEntrada));
    clic(f.cmdBuscar);
    ASSERT_EQ(impreso.size(), 2);
    EXPECT_EQ(impreso[1].mid(impreso[1].indexOf("Fecha:")), impreso[0].mid(impreso[0].indexOf("Fecha:")));
    EXPECT_TRUE(impreso[1].contains("TOTAL:      20.00"));
    EXPECT_TRUE(f.close());
    EstableceSalidaImpresor(nullptr);
}

// Two lines under one key (generic goods: a television and cables) are marked each on its own and
// come back each at its own price.
TEST_F(FrmDevolucionesTest, EachLineMarkedComesBackAtItsOwnPrice) {
    EstableceSalidaImpresor([](const QString&, int) { return print::Resultado{true, {}}; });
    vende(30, "T", {{0, 1, 100}, {0, 4, 10}});
    caja::frmDevoluciones f(nullptr, nullptr, &prompts);
    f.show();
    QTest::keyClicks(caja(f.capNumero), QStringLiteral("30"));
    clic(f.cmdConsultar);
    ASSERT_EQ(f.gridDetVentas->model()->rowCount(), 2);
    prompts.pushInput("1");
    clic(f.Command1);  // on the 100.00 line
    EXPECT_EQ(prompts.asked().back().text, "Teclea la cantidad a devolver, maximo: 1.00");
    EXPECT_EQ(f.lblImporteDev->text(), "100.00");
    f.gridDetVentas->selectRow(1);
    prompts.pushInput("2");
    clic(f.Command1);  // on the 10.00 line
    EXPECT_EQ(prompts.asked().back().text, "Teclea la cantidad a devolver, maximo: 4.00");
    EXPECT_EQ(f.lblImporteDev->text(), "120.00");
    clic(f.cmdGuardar);
    EXPECT_DOUBLE_EQ(valor("SELECT ImporteMov FROM MovimientosCaja").toDouble(), 120);
    // Each return line names the line it came from.
    EXPECT_EQ(cuenta("SELECT count(*) FROM DEInventario WHERE (OrdenCap = 1 AND Cantidad = 1) OR (OrdenCap = 2 AND "
                     "Cantidad = 2)"),
              2);
    EstableceSalidaImpresor(nullptr);
}

TEST_F(FrmDevolucionesTest, AnInvoiceOnPaperIsFoundWithElectronicInvoicingOn) {
    vende(41, "F", {{1, 2, 5}});
    G().FacturaE = true;
    caja::frmDevoluciones f(nullptr, nullptr, &prompts);
    f.show();
    f.cmbEstatus->setCurrentText(QStringLiteral("Factura"));
    QTest::keyClicks(caja(f.capNumero), QStringLiteral("41"));
    clic(f.cmdConsultar);
    EXPECT_EQ(f.gridDetVentas->model()->rowCount(), 1) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(f.devolucion().venta().Tipo, "F");
}

TEST_F(FrmDevolucionesTest, TheReturnsItemOpensTheForm) {
    auto midi = std::make_unique<shell::MIDI>();
    caja::ConectaMenusCaja(midi.get());
    shell::ConectaMenu(midi.get());
    shell::QuitaNoConstruidos(midi.get());
    midi->show();
    G().PermisosUsuario[40] = true;
    shell::AplicaPermisosMenu();
    QAction* item = midi->accion(QStringLiteral("mDevoluciones"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    QWidget* forma = shell::FormaCargada(QStringLiteral("frmDevoluciones"));
    ASSERT_NE(forma, nullptr);
    EXPECT_TRUE(forma->isVisible());
    midi.reset();
    shell::OlvidaAbridores();
}

}  // namespace
