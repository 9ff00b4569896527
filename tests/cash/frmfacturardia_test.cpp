// The day-invoice form as the shop uses it at the end of the day, and its menu item.
#include "devol_fixture.h"

#include "cash/forms/frmfacturardia.h"
#include "cash/forms/menus.h"
#include "sale/folios.h"
#include "sale/forms/frmventa.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/permisos.h"
#include "platform/report/report.h"
#include "shell/texto.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class FrmFacturarDiaTest : public PosventaTest {
protected:
    void SetUp() override {
        PosventaTest::SetUp();
        G().PermisosUsuario[50] = true;  // the person at the day invoice holds its grant
    }
    void hoy(qint64 n, double precio) {
        vende(n, "T", {{0, 1, precio}}, 0, 1, "XAXX010101000");
        ASSERT_TRUE(bd().exec("UPDATE Venta SET Fecha = ? WHERE Numero = ? AND Tipo = 'T'",
                              {shell::FechaHoraISO(QDateTime::currentDateTime()), n}));
    }
    static void clic(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
};

TEST_F(FrmFacturarDiaTest, ChoosesTodaysTicketsAndSendsTheInvoice) {
    hoy(1, 100);
    hoy(2, 1134.5);
    hoy(3, 20);
    G().UsarServidorImp = 1;
    caja::frmFacturarDia f(nullptr, nullptr, &prompts);
    f.show();
    EXPECT_EQ(f.dtFecha->date(), QDate::currentDate());
    EXPECT_EQ(f.txtLabel2->text(), "Corresponde a tickets del dia " + QDate::currentDate().toString("yyyy-MM-dd"));
    ASSERT_EQ(f.gridClientes->model()->rowCount(), 3);
    EXPECT_EQ(f.Text1->text(), "1254.5");
    EXPECT_EQ(f.txtTotalaFacturar->text(), "$ 0.00");
    // Empty chosen list: its buttons do nothing.
    clic(f.cmdQuitarUno);
    clic(f.cmdQuitaTodo);
    clic(f.cmdEnviarfactura);
    EXPECT_TRUE(prompts.asked().empty());

    clic(f.cmdAgregaTodo);
    EXPECT_EQ(f.gridClientes->model()->rowCount(), 0);
    ASSERT_EQ(f.gridSeleccion->model()->rowCount(), 3);
    EXPECT_EQ(f.txtTotalaFacturar->text(), "$ 1,254.50");
    f.gridSeleccion->selectRow(1);  // newest first: ticket 2
    clic(f.cmdQuitarUno);
    EXPECT_EQ(f.gridSeleccion->model()->rowCount(), 2);
    EXPECT_EQ(f.Text1->text(), "1134.5");
    EXPECT_EQ(valor("SELECT FE FROM Venta WHERE Numero = 2 AND Tipo = 'T'").toInt(), 0);
    clic(f.cmdSelecciona1);
    EXPECT_EQ(f.gridSeleccion->model()->rowCount(), 3);

    clic(f.cmdEnviarfactura);
    const qint64 n = cuenta("SELECT Numero FROM Venta WHERE Tipo = 'F'");
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Se genero para el RFC: XAXX010101000 el folio: %1").arg(n));
    EXPECT_EQ(cuenta("SELECT FolioSolicita FROM Solicitafolios WHERE valordev = ?", {n}), 4);
    EXPECT_EQ(f.gridClientes->model()->rowCount(), 0);
    EXPECT_EQ(f.gridSeleccion->model()->rowCount(), 0);
    EXPECT_DOUBLE_EQ(valor("SELECT Total FROM Venta WHERE Tipo = 'F'").toDouble(), 1254.5);

    // F5 and another day reload the lists.
    hoy(4, 5);
    QTest::keyClick(&f, Qt::Key_F5);
    EXPECT_EQ(f.gridClientes->model()->rowCount(), 1);
    f.dtFecha->setDate(QDate::currentDate().addDays(-1));
    EXPECT_EQ(f.gridClientes->model()->rowCount(), 0);
    EXPECT_TRUE(f.txtLabel2->text().endsWith(QDate::currentDate().addDays(-1).toString("yyyy-MM-dd")));
}

// A ticket the file refuses to move says so, once per press; one another terminal moved first just
// shows where it now is.
TEST_F(FrmFacturarDiaTest, ATicketTheFileRefusesToMoveSaysWhy) {
    hoy(1, 100);
    hoy(2, 50);
    caja::frmFacturarDia f(nullptr, nullptr, &prompts);
    f.show();
    ASSERT_EQ(f.gridClientes->model()->rowCount(), 2);
    ASSERT_TRUE(bd().exec("UPDATE Venta SET FE = 1 WHERE Numero = 2 AND Tipo = 'T'"));  // another terminal
    f.gridClientes->selectRow(0);
    clic(f.cmdSelecciona1);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.lastMessage().toStdString();
    EXPECT_EQ(f.gridSeleccion->model()->rowCount(), 1);
    ASSERT_TRUE(bd().exec("CREATE TRIGGER cerrado BEFORE UPDATE ON Venta BEGIN SELECT RAISE(ABORT, 'cerrado'); END"));
    for (QWidget* boton : {static_cast<QWidget*>(f.cmdSelecciona1), static_cast<QWidget*>(f.cmdAgregaTodo),
                           static_cast<QWidget*>(f.cmdQuitarUno), static_cast<QWidget*>(f.cmdQuitaTodo)}) {
        prompts.clear();
        f.gridClientes->selectRow(0);
        f.gridSeleccion->selectRow(0);
        clic(boton);
        EXPECT_EQ(prompts.messages().size(), 1) << boton->objectName().toStdString();
        EXPECT_TRUE(prompts.lastMessage().startsWith("No se pudo mover el ticket entre las listas")) << prompts.lastMessage().toStdString();
    }
    ASSERT_TRUE(bd().exec("DROP TRIGGER cerrado"));
}

TEST_F(FrmFacturarDiaTest, AnElectronicDayInvoiceOpensItself) {
    hoy(1, 12.34);
    G().FacturaE = true;
    G().UsarServidorImp = 0;
    caja::frmFacturarDia f(nullptr, nullptr, &prompts);
    f.show();
    clic(f.cmdAgregaTodo);
    clic(f.cmdEnviarfactura);
    // No paper invoice of that number exists: it was the electronic one that opened.
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().join("|").toStdString();
    const auto vistas = report::openPreviews();
    EXPECT_EQ(vistas.size(), 1);
    for (QWidget* v : vistas) v->close();
}

// The sale screen's "F:n" follows the invoice number the day invoice took, once its window closes.
TEST_F(FrmFacturarDiaTest, TheSaleScreenReadsTheNextInvoiceAgainWhenTheFormCloses) {
    hoy(1, 100);
    venta::frmVenta pantalla(nullptr, &bd(), &prompts);
    pantalla.show();
    const QString antes = pantalla.lblRem->text();
    auto* f = shell::Forma<caja::frmFacturarDia>();
    f->show();
    clic(f->cmdAgregaTodo);
    clic(f->cmdEnviarfactura);
    f->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(pantalla.lblRem->text(), "F:" + QString::number(*sale::ValorFolio(bd(), 1)));
    EXPECT_NE(pantalla.lblRem->text(), antes);
}

TEST_F(FrmFacturarDiaTest, TheItemOpensTheForm) {
    auto midi = std::make_unique<shell::MIDI>();
    caja::ConectaMenusCaja(midi.get());
    shell::ConectaMenu(midi.get());
    shell::QuitaNoConstruidos(midi.get());
    midi->show();
    G().PermisosUsuario[50] = true;
    shell::AplicaPermisosMenu();
    QAction* item = midi->accion(QStringLiteral("nFacturarVentas"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    auto* forma = qobject_cast<caja::frmFacturarDia*>(shell::FormaCargada(QStringLiteral("frmFacturarDia")));
    ASSERT_NE(forma, nullptr);
    EXPECT_TRUE(forma->isVisible());
    // A ticket sold meanwhile: brought forward from the menu, the window lists it.
    const int antes = forma->gridClientes->model()->rowCount();
    hoy(7, 50);
    item->trigger();
    EXPECT_EQ(forma->gridClientes->model()->rowCount(), antes + 1);
    midi.reset();
    shell::OlvidaAbridores();
}

}  // namespace
