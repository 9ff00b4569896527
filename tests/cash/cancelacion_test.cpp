// Cancelling and deleting tickets and invoices, with the goods back into stock once.
#include "devol_fixture.h"

#include "cash/cancelacion.h"
#include "cash/corte.h"
#include "cash/devolucion_guardado.h"
#include "cash/facturadia.h"
#include "shell/conexion.h"
#include "shell/estado.h"

namespace {

class CancelacionTest : public PosventaTest {
protected:
    void SetUp() override {
        PosventaTest::SetUp();
        op.bd = &bd();
        op.prompts = &prompts;
        op.espera = espera;
        op.estado = [this](const QString& t) { estados << t; };
    }
    bool cancela(const QString& item, const QString& numero, const QString& titulo = {}) {
        prompts.clear();
        prompts.pushAnswer(ui::Answer::Yes);
        return op.Cancela(item, numero, titulo);
    }
    bool borra(const QString& item, const QString& numero) {
        prompts.clear();
        prompts.pushAnswer(ui::Answer::Yes);
        return op.Borra(item, numero, {});
    }
    qint64 lineas(qint64 n, const QString& t) {
        return cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = ? AND TipoDocto = ?", {n, t});
    }
    caja::Cancelacion op;
    QStringList estados;
};

TEST_F(CancelacionTest, ShowsTheDocumentAndSaysWhenItIsCancelled) {
    vende(15, "T", {{0, 1, 12.5}}, 0, 1, "XAXX010101000");
    EXPECT_EQ(op.VerInfo("Ticket", "15"), "Ticket: 15\r\nImporte: 12.5\r\nCliente: XAXX010101000");
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(op.VerInfo("Ticket", ""), "");
    EXPECT_EQ(op.VerInfo("Ticket", "0"), "");
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(op.VerInfo("Factura", "15"), "");
    EXPECT_EQ(prompts.lastMessage(), "No se encontro la factura.");
    ASSERT_TRUE(bd().exec("UPDATE Venta SET Status = 0"));
    EXPECT_NE(op.VerInfo("Ticket", "15"), "");
    EXPECT_EQ(prompts.lastMessage(), "Este ticket ya se encuentra cancelado.");
}

TEST_F(CancelacionTest, CancelGivesTheStockBackOnceAndDeleteAfterItNone) {
    vende(20, "T", {{0, 3, 10}, {1, 2, 5}, {0, 1, 10}});
    ASSERT_DOUBLE_EQ(existencia(0), 96);
    ASSERT_TRUE(cancela("Ticket", "20"));
    EXPECT_EQ(prompts.asked()[0].text, "Desea dar de baja el Folio: 20 ?");
    EXPECT_EQ(prompts.asked()[0].title, "Confirmar.");
    EXPECT_EQ(prompts.lastMessage(), "El ticket 20 fue dado de baja.\nEntregue al cliente $ 50.00");
    EXPECT_TRUE(estados.contains("Actualizando..."));
    EXPECT_DOUBLE_EQ(existencia(0), 100);
    EXPECT_DOUBLE_EQ(existencia(1), 100);
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = 20"), 0);
    EXPECT_EQ(lineas(20, "T"), 3);

    EXPECT_FALSE(cancela("Ticket", "20"));
    EXPECT_EQ(prompts.lastMessage(), "Este ticket ya se encuentra cancelado.");
    EXPECT_DOUBLE_EQ(existencia(0), 100);

    ASSERT_TRUE(borra("Ticket", "20"));
    EXPECT_EQ(prompts.lastMessage(), "Los datos del ticket 20 se han borrado.\nEntregue al cliente $ 0.00");
    EXPECT_DOUBLE_EQ(existencia(0), 100);
    EXPECT_EQ(cuenta("SELECT count(*) FROM Venta WHERE Numero = 20"), 0);
    EXPECT_EQ(lineas(20, "T"), 0);
}

// What goes back goes back as it was paid: a card payment is named, never handed over as cash,
// and the pending cut still takes it out as the cut counted it in.
TEST_F(CancelacionTest, TheHandBackNamesEachFormOfPayment) {
    vende(46, "T", {{0, 2, 23}});
    ASSERT_TRUE(bd().exec("UPDATE Venta SET FormaPago = 2, Pagacon = 46, PagaObs1 = '1234', IdCorte = 3 WHERE Numero = 46"));
    ASSERT_TRUE(cancela("Ticket", "46"));
    EXPECT_EQ(prompts.lastMessage(), "El ticket 46 fue dado de baja.\nDevuelva $ 46.00 por TARJETA DE DEBITO");
    EXPECT_EQ(cuenta("SELECT count(*) FROM MovimientosCaja WHERE TipoMov = 2 AND ImporteMov = 46 AND IdCorte = 0"), 1);

    // Paid 30.00 by transfer and the rest in cash, 10.00 returned before: the cash goes back first
    // of what returns took, so the transfer is handed back whole.
    vende(47, "T", {{0, 4, 10}});
    ASSERT_TRUE(bd().exec("UPDATE Venta SET FormaPago = 5, Pagacon = 30, FormaPago2 = 1, Pagacon2 = 50 WHERE Numero = 47"));
    devolucionAnterior("T 47", 0, 1);
    ASSERT_TRUE(cancela("Ticket", "47"));
    EXPECT_EQ(prompts.lastMessage(), "El ticket 47 fue dado de baja.\nDevuelva $ 30.00 por TRANSFERENCIA");
}

TEST_F(CancelacionTest, DeletingAnInvoiceLeavesTheTicketOfTheSameNumber) {
    vende(123, "T", {{0, 1, 10}});
    vende(123, "F", {{1, 4, 10}});
    ASSERT_TRUE(borra("Factura", "123"));
    EXPECT_EQ(prompts.asked()[0].text, "Desea borrar la factura 123 ?");
    EXPECT_EQ(cuenta("SELECT count(*) FROM Venta WHERE Numero = 123 AND Tipo = 'T'"), 1);
    EXPECT_EQ(cuenta("SELECT count(*) FROM Venta WHERE Numero = 123 AND Tipo = 'F'"), 0);
    EXPECT_EQ(lineas(123, "T"), 1);
    EXPECT_EQ(lineas(123, "F"), 0);
    EXPECT_DOUBLE_EQ(existencia(1), 100);
    EXPECT_DOUBLE_EQ(existencia(0), 99);
}

TEST_F(CancelacionTest, WhatReturnsGaveBackIsNotGivenTwice) {
    vende(30, "T", {{0, 5, 10}, {1, 0.3, 10}});
    devolucionAnterior("T 30", 0, 2);
    devolucionAnterior("T 30", 1, 0.1);
    devolucionAnterior("T 30", 1, 0.2);
    ASSERT_TRUE(bd().exec("UPDATE Existencia SET Existencia = 97 WHERE ClaveProducto = ?", {clave(0)}));
    ASSERT_TRUE(cancela("Ticket", "30"));
    EXPECT_DOUBLE_EQ(existencia(0), 100);
    EXPECT_DOUBLE_EQ(existencia(1), 99.7);
}

TEST_F(CancelacionTest, DayInvoicesTakeNoStockAndAnOldOneCancelledFreesItsDaysTickets) {
    vende(40, "T", {{0, 2, 10}});
    ASSERT_TRUE(bd().exec("UPDATE Venta SET FE = 2 WHERE Numero = 40"));
    // A day invoice stored before the tickets were linked to it: its day is in its observation.
    ASSERT_TRUE(bd().exec("INSERT INTO Venta (Numero, Tipo, Total, IdCorte, Cliente, ObsVenta) VALUES (9, 'F', 20, -1, "
                          "'XAXX010101000', 'Corresponde a tickets del dia 2026-12-09')"));
    ASSERT_TRUE(bd().exec("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit) VALUES (9, 'F', ?, 2, 10)",
                          {clave(0)}));
    EXPECT_FALSE(cancela("Ticket", "40"));
    EXPECT_TRUE(prompts.lastMessage().contains(QString::fromUtf8("factura del día"))) << prompts.lastMessage().toStdString();
    EXPECT_FALSE(borra("Ticket", "40"));
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = 40 AND Tipo = 'T'"), 1);
    EXPECT_DOUBLE_EQ(existencia(0), 98);

    ASSERT_TRUE(cancela("Factura", "9"));
    EXPECT_DOUBLE_EQ(existencia(0), 98);
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = 9 AND Tipo = 'F'"), 0);
    EXPECT_EQ(cuenta("SELECT FE FROM Venta WHERE Numero = 40 AND Tipo = 'T'"), 0);
    EXPECT_EQ(cuenta("SELECT count(*) FROM MovimientosCaja"), 0);  // no money changes hands
}

TEST_F(CancelacionTest, CancellingOrDeletingADayInvoiceFreesItsTicketsForAnotherOne) {
    const QDate dia(2026, 12, 9);
    for (qint64 n : {2, 3, 4}) vende(n, "T", {{0, 1, 10}});
    auto junta = [&](std::vector<qint64> tickets) {
        for (qint64 t : tickets) EXPECT_TRUE(caja::SeleccionaTicket(bd(), t));
        const caja::FacturaDiaEnviada f = caja::GeneraFacturaDia(bd(), dia, tickets, espera);
        EXPECT_TRUE(f.ok) << f.error.message.toStdString();
        return QString::number(f.Numero);
    };
    const QString primera = junta({2, 4});
    const QString otra = junta({3});
    EXPECT_FALSE(cancela("Ticket", "2"));
    ASSERT_TRUE(cancela("Factura", primera));
    EXPECT_EQ(valor("SELECT group_concat(Numero || ':' || FE) FROM (SELECT * FROM Venta WHERE Tipo = 'T' ORDER BY Numero)")
                  .toString(),
              "2:0,3:2,4:0");  // the other day invoice keeps its ticket
    EXPECT_EQ(caja::CargaTicketsLibres(bd(), dia)->size(), 2u);
    const QString segunda = junta({2, 4});
    ASSERT_TRUE(borra("Factura", segunda));
    EXPECT_EQ(valor("SELECT group_concat(FE) FROM Venta WHERE Numero IN (2, 4) AND Tipo = 'T'").toString(), "0,0");
    EXPECT_EQ(cuenta("SELECT count(*) FROM FacturaDiaTicket WHERE Numero = ?", {segunda}), 0);
    EXPECT_TRUE(cancela("Ticket", "2"));  // free again, so it can be taken back
    EXPECT_FALSE(cancela("Ticket", "3"));
}

TEST_F(CancelacionTest, AFailureAfterTheStockStepLeavesTheStock) {
    vende(50, "T", {{0, 4, 10}});
    ASSERT_TRUE(bd().exec("CREATE TRIGGER falla_venta BEFORE UPDATE ON Venta BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"));
    EXPECT_FALSE(cancela("Ticket", "50"));
    EXPECT_TRUE(prompts.lastMessage().contains("disco lleno"));
    EXPECT_DOUBLE_EQ(existencia(0), 96);
    ASSERT_TRUE(bd().exec("CREATE TRIGGER falla_detalle BEFORE DELETE ON DetalleVenta BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"));
    EXPECT_FALSE(borra("Ticket", "50"));
    EXPECT_DOUBLE_EQ(existencia(0), 96);
    EXPECT_EQ(cuenta("SELECT count(*) FROM Venta WHERE Numero = 50"), 1);
}

TEST_F(CancelacionTest, ElectronicInvoiceWithElectronicInvoicing) {
    vende(60, "E", {{2, 1, 10}});
    vende(60, "F", {{3, 1, 10}});
    vende(61, "F", {{3, 1, 10}});
    G().FacturaE = true;
    // Both letters exist: the person is asked, as the returns form asks (Yes: E, No: F).
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    prompts.pushAnswer(ui::Answer::Yes);
    ASSERT_TRUE(op.Cancela("Factura", "60", {}));
    EXPECT_TRUE(prompts.asked()[0].text.startsWith(QString::fromUtf8("Existen la factura electrónica E 60 y la factura impresa F 60.")));
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = 60 AND Tipo = 'E'"), 0);
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = 60 AND Tipo = 'F'"), 1);
    EXPECT_DOUBLE_EQ(existencia(2), 100);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::No);
    prompts.pushAnswer(ui::Answer::Yes);
    ASSERT_TRUE(op.Cancela("Factura", "60", {}));
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = 60 AND Tipo = 'F'"), 0);
    EXPECT_DOUBLE_EQ(existencia(3), 99);
    // A paper invoice made before the switch, alone under its number, is found without a question.
    ASSERT_TRUE(cancela("Factura", "61"));
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = 61 AND Tipo = 'F'"), 0);
}

TEST_F(CancelacionTest, GuardsAndBadNumbersChangeNothing) {
    vende(70, "T", {{0, 1, 10}});
    for (const char* malo : {"12a", "1.5", "  ", "-70"}) {
        EXPECT_FALSE(cancela("Ticket", malo));
        EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("Numero de documento no válido.")) << malo;
        EXPECT_FALSE(borra("Ticket", malo));
        EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("Numero de documento no válido.")) << malo;
    }
    EXPECT_FALSE(cancela("Ticket", "70", "Cotizaciones."));
    EXPECT_EQ(prompts.lastMessage(), "Cierre la pantalla de Cotizaciones. antes de entrar a este proceso.");
    EXPECT_TRUE(cancela("Ticket", "70", QString::fromUtf8("Facturación.")));
    vende(71, "T", {{0, 1, 10}});
    EXPECT_FALSE(cancela("Ticket", "0"));
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("No se encontró información del Folio."));
    EXPECT_FALSE(borra("Ticket", "999"));
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("No se encontro información del ticket."));
    // No on the question stops.
    prompts.clear();
    prompts.pushAnswer(ui::Answer::No);
    EXPECT_FALSE(op.Cancela("Ticket", "71", {}));
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = 71"), 1);
    // The branch file gone from the branch table: refused before anything is read.
    G().DescripcionC[1].clear();
    EXPECT_FALSE(cancela("Ticket", "71"));
    EXPECT_EQ(prompts.lastMessage(), "No se encontraron los archivos de datos para la sucursal.");
    EXPECT_EQ(prompts.asked().back().icon, ui::Icon::Critical);
}

TEST_F(CancelacionTest, EscDuringTheWaitChangesNothing) {
    vende(80, "T", {{0, 2, 10}});
    db::Error e;
    auto otra = db::Database::open(shell::RutaBDSucursal(1), shell::ClaveArchivos(), &e);
    ASSERT_TRUE(otra) << e.message.toStdString();
    ASSERT_TRUE(otra->beginWrite());
    op.espera.cancelled = [] { return true; };
    EXPECT_FALSE(cancela("Ticket", "80"));
    otra->rollback();
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = 80"), 1);
    EXPECT_DOUBLE_EQ(existencia(0), 98);
}

}  // namespace
