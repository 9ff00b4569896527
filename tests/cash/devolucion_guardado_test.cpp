// Saving a return as cash or credit note, and its voucher.
#include "devol_fixture.h"

#include "cash/devolucion.h"
#include "cash/devolucion_comprobante.h"
#include "cash/devolucion_guardado.h"
#include "platform/print/codepage850.h"
#include "printing/envio.h"
#include "printing/juegocodigos.h"
#include "printing/textoticket.h"
#include "sale/pago.h"
#include "shell/conexion.h"
#include "shell/estado.h"

namespace {

using caja::Devolucion;
using caja::TipoDevolucion;

class GuardaDevolucionTest : public PosventaTest {
protected:
    void SetUp() override {
        PosventaTest::SetUp();
        EstableceSalidaImpresor([this](const QString& texto, int) {
            impreso << texto;
            return print::Resultado{true, {}};
        });
    }
    void TearDown() override {
        EstableceSalidaImpresor(nullptr);
        PosventaTest::TearDown();
    }
    // Ticket 123 of two lines, 100.00 and 50.50, both marked whole.
    void capturaDosLineas() {
        vende(123, "T", {{0, 1, 100}, {1, 2, 25.25}});
        ASSERT_EQ(dev.ConsultaVenta(bd(), "T", "123", prompts), caja::ResultadoConsulta::Encontrada);
        ASSERT_TRUE(dev.AgregaLineaDevolucion(0, 1, prompts));
        ASSERT_TRUE(dev.AgregaLineaDevolucion(1, 2, prompts));
        prompts.clear();
    }
    bool guarda(TipoDevolucion tipo) { return caja::cmdGuardar(bd(), dev, tipo, "DEFECTO", prompts, espera); }
    // Nothing of a return is in the file.
    void nadaGuardado() {
        EXPECT_EQ(cuenta("SELECT count(*) FROM EInventario"), 0);
        EXPECT_EQ(cuenta("SELECT count(*) FROM DEInventario"), 0);
        EXPECT_EQ(cuenta("SELECT count(*) FROM NotaCredito"), 0);
        EXPECT_EQ(cuenta("SELECT count(*) FROM DNotaCredito"), 0);
        EXPECT_EQ(cuenta("SELECT count(*) FROM MovimientosCaja"), 0);
        EXPECT_DOUBLE_EQ(existencia(0), 99);
        EXPECT_DOUBLE_EQ(existencia(1), 98);
    }
    Devolucion dev;
    QStringList impreso;
};

TEST_F(GuardaDevolucionTest, RefusesWithoutASaleOrWithoutLines) {
    EXPECT_FALSE(guarda(TipoDevolucion::Efectivo));
    EXPECT_EQ(prompts.lastMessage(), "No ha consultado productos de una venta.");
    vende(5, "T", {{0, 1, 10}});
    dev.ConsultaVenta(bd(), "T", "5", prompts);
    EXPECT_FALSE(guarda(TipoDevolucion::Efectivo));
    EXPECT_EQ(prompts.lastMessage(), "No a seleccionado productos a devolver.");
    EXPECT_EQ(cuenta("SELECT count(*) FROM EInventario"), 0);
}

TEST_F(GuardaDevolucionTest, CashReturnTakesMoneyOutOfTheDrawer) {
    capturaDosLineas();
    ASSERT_TRUE(guarda(TipoDevolucion::Efectivo)) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("Se ha grabado su devolución. Se generó devolucion a EFECTIVO  "));
    const qint64 n = dev.NumeroEntrada;
    EXPECT_EQ(n, cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 2"));
    auto e = bd().selectOne("SELECT * FROM EInventario WHERE Numero = ?", {n});
    ASSERT_TRUE(e && !e->empty());
    EXPECT_EQ(e->text("Descripcion"), "Devolucion:DEFECTO");
    EXPECT_EQ(e->integer("Aplicado"), 0);
    EXPECT_EQ(e->integer("Usuario"), 1);
    EXPECT_EQ(e->integer("Traspaso"), 0);
    EXPECT_EQ(e->integer("sucOrigen"), 1);
    EXPECT_EQ(e->integer("DescribeMovto"), 12);
    EXPECT_EQ(e->text("Docto"), "T 123");
    auto l = bd().select("SELECT ClaveProducto, Cantidad, PUnitario FROM DEInventario WHERE Numero = ? ORDER BY OrdenCap", {n});
    ASSERT_TRUE(l && l->size() == 2);
    EXPECT_EQ((*l)[0].integer("ClaveProducto"), clave(0));
    EXPECT_DOUBLE_EQ((*l)[1].real("PUnitario"), 25.25);
    EXPECT_DOUBLE_EQ(existencia(0), 100);
    EXPECT_DOUBLE_EQ(existencia(1), 100);
    auto m = bd().select("SELECT * FROM MovimientosCaja");
    ASSERT_TRUE(m && m->size() == 1);
    EXPECT_DOUBLE_EQ((*m)[0].real("ImporteMov"), 150.5);
    EXPECT_EQ((*m)[0].integer("TipoMov"), 2);
    EXPECT_EQ((*m)[0].text("DescripcionMov"), "Dev. EFECTIVO V:123");
    EXPECT_EQ(cuenta("SELECT count(*) FROM NotaCredito"), 0);
    EXPECT_DOUBLE_EQ(valor("SELECT Importe FROM cSaldoMovCaja").toDouble(), -150.5);
    // The voucher printed, the form starts anew, and the document now has nothing left to return.
    EXPECT_EQ(impreso.size(), 1);
    EXPECT_TRUE(dev.pendientes().empty());
    EXPECT_FALSE(dev.HayVenta());
    dev.ConsultaVenta(bd(), "T", "123", prompts);
    EXPECT_FALSE(dev.AgregaLineaDevolucion(0, 0.01, prompts));
}

TEST_F(GuardaDevolucionTest, CreditNoteReturnIsAcceptedAsPaymentAndNumbersNeverRepeat) {
    // The sale screen has given credit note 7 and inventory document 4; a note 9 was stored otherwise.
    ASSERT_TRUE(bd().exec("UPDATE Folios SET ValorFolio = 7 WHERE Numerofolio = 3"));
    ASSERT_TRUE(bd().exec("UPDATE Folios SET ValorFolio = 4 WHERE Numerofolio = 2"));
    ASSERT_TRUE(bd().exec("INSERT INTO NotaCredito (Numero, Total, Status) VALUES (9, 1, 2)"));
    capturaDosLineas();
    ASSERT_TRUE(guarda(TipoDevolucion::NotaCredito)) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(dev.NumeroNota, 10);
    EXPECT_EQ(dev.NumeroEntrada, 5);
    EXPECT_EQ(prompts.lastMessage(),
              QString::fromUtf8("Se ha grabado su devolución. Se generó una nota de credito con el Num: 00010"));
    auto n = bd().selectOne("SELECT * FROM NotaCredito WHERE Numero = 10");
    ASSERT_TRUE(n && !n->empty());
    EXPECT_DOUBLE_EQ(n->real("Total"), 150.5);
    EXPECT_EQ(n->real("Descuento"), 0);
    EXPECT_EQ(n->integer("Empleado"), 1);
    EXPECT_EQ(n->integer("Terminal"), 2);
    EXPECT_EQ(n->text("Cliente"), "GOMA800101AB1");  // the customer's key, as the counter keeps its notes
    EXPECT_EQ(n->integer("IVAP"), 16);
    EXPECT_EQ(n->integer("Status"), 1);
    EXPECT_EQ(n->integer("FactRef"), 123);
    auto d = bd().select("SELECT * FROM DNotaCredito WHERE Numero = 10 ORDER BY rowid");
    ASSERT_TRUE(d && d->size() == 2);
    for (const auto& f : *d) {
        EXPECT_EQ(f.integer("IVA"), 1);
        EXPECT_EQ(f.real("Descuento"), 0);
    }
    EXPECT_DOUBLE_EQ((*d)[1].real("Cantidad"), 2);
    auto m = bd().selectOne("SELECT * FROM MovimientosCaja");
    ASSERT_TRUE(m && !m->empty());
    EXPECT_DOUBLE_EQ(m->real("ImporteMov"), 0);
    EXPECT_EQ(m->integer("TipoMov"), 2);
    EXPECT_EQ(m->text("DescripcionMov"), "Dev. NOTA CREDITO V:T123");
    auto saldo = venta::SaldoNotaCredito(bd(), 10);
    ASSERT_TRUE(saldo.has_value());
    EXPECT_DOUBLE_EQ(*saldo, 150.5);
}

TEST_F(GuardaDevolucionTest, APrinterThatFailsKeepsTheReturnAndSaysSo) {
    capturaDosLineas();
    EstableceSalidaImpresor([](const QString&, int) { return print::Resultado{false, QStringLiteral("sin papel")}; });
    ASSERT_TRUE(guarda(TipoDevolucion::Efectivo));
    const QStringList m = prompts.messages();
    // Once, naming the return and how to print the voucher again, never with the voucher's text;
    // then the usual closing message.
    ASSERT_EQ(m.size(), 2) << m.join("|").toStdString();
    const QString folio = QString::number(cuenta("SELECT MAX(Numero) FROM EInventario"));
    EXPECT_EQ(m[0], QString::fromUtf8("La devolución %1 quedó grabada, pero su comprobante no se imprimió: sin papel. "
                                      "Reimprímalo con Buscar, folio %1.")
                        .arg(folio));
    EXPECT_EQ(cuenta("SELECT count(*) FROM EInventario"), 1);
    EXPECT_DOUBLE_EQ(existencia(1), 100);
}

TEST_F(GuardaDevolucionTest, AFailingLastInsertLeavesNothingAndKeepsTheLines) {
    capturaDosLineas();
    fallaAlInsertar("MovimientosCaja");
    const qint64 folio2 = cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 2");
    EXPECT_FALSE(guarda(TipoDevolucion::NotaCredito));
    EXPECT_TRUE(prompts.lastMessage().contains("disco lleno")) << prompts.lastMessage().toStdString();
    nadaGuardado();
    EXPECT_EQ(cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 2"), folio2);
    EXPECT_EQ(dev.pendientes().size(), 2u);
    EXPECT_TRUE(impreso.isEmpty());
}

TEST_F(GuardaDevolucionTest, AProductGoneOrAnEscDuringTheWaitStoresNothing) {
    capturaDosLineas();
    db::Error e;
    auto otra = db::Database::open(shell::RutaBDSucursal(1), shell::ClaveArchivos(), &e);
    ASSERT_TRUE(otra) << e.message.toStdString();
    ASSERT_TRUE(otra->beginWrite());
    int intentos = 0;
    espera.cancelled = [&intentos] { return ++intentos > 3; };
    EXPECT_FALSE(guarda(TipoDevolucion::Efectivo));
    otra->rollback();
    espera.cancelled = {};
    nadaGuardado();
    EXPECT_EQ(dev.pendientes().size(), 2u);

    ASSERT_TRUE(bd().exec("DELETE FROM Producto WHERE ClaveProducto = ?", {clave(1)}));
    EXPECT_FALSE(guarda(TipoDevolucion::Efectivo));
    EXPECT_EQ(cuenta("SELECT count(*) FROM EInventario"), 0);
    EXPECT_EQ(cuenta("SELECT count(*) FROM MovimientosCaja"), 0);
    EXPECT_DOUBLE_EQ(existencia(0), 99);
}

TEST_F(GuardaDevolucionTest, AConcurrentReturnOverTheLimitIsRefused) {
    vende(50, "T", {{0, 5, 10}});
    db::Error e;
    auto otra = db::Database::open(shell::RutaBDSucursal(1), shell::ClaveArchivos(), &e);
    ASSERT_TRUE(otra) << e.message.toStdString();
    Devolucion dev2;
    dev.ConsultaVenta(bd(), "T", "50", prompts);
    dev2.ConsultaVenta(*otra, "T", "50", prompts);
    ASSERT_TRUE(dev.AgregaLineaDevolucion(0, 3, prompts));
    ASSERT_TRUE(dev2.AgregaLineaDevolucion(0, 3, prompts));
    ASSERT_TRUE(guarda(TipoDevolucion::Efectivo));
    prompts.clear();
    EXPECT_FALSE(caja::cmdGuardar(*otra, dev2, TipoDevolucion::Efectivo, "", prompts, espera));
    EXPECT_EQ(prompts.lastMessage(), "Cantidad excede a la de la compra.");
    EXPECT_EQ(cuenta("SELECT count(*) FROM EInventario"), 1);
    EXPECT_DOUBLE_EQ(existencia(0), 98);
    EXPECT_EQ(dev2.pendientes().size(), 1u);
}

TEST_F(GuardaDevolucionTest, ALaterReturnPaysWhatIsLeftAfterWhatEarlierReturnsStored) {
    // 3 x 30.00; an earlier return of one unit stored 50.00 paid (more than the unit's 30.00).
    vende(70, "T", {{0, 3, 30}});
    devolucionAnterior("T 70", 0, 1);
    ASSERT_TRUE(bd().exec("UPDATE DEInventario SET PUnitario = 50"));
    ASSERT_EQ(dev.ConsultaVenta(bd(), "T", "70", prompts), caja::ResultadoConsulta::Encontrada);
    ASSERT_TRUE(dev.AgregaLineaDevolucion(0, 2, prompts));
    // What the screen shows and what is stored: 90.00 less the 50.00 paid before, never 60.00.
    EXPECT_EQ(dev.TotalCentavos(), 4000);
    ASSERT_TRUE(guarda(TipoDevolucion::Efectivo));
    EXPECT_EQ(qRound64(valor("SELECT ImporteMov FROM MovimientosCaja").toDouble() * 100), 4000);
    EXPECT_EQ(*caja::CentavosDevueltos(bd(), "T", 70), 9000);
}

class ComprobanteDevolucionTest : public GuardaDevolucionTest {
protected:
    // A return of 10.50 x 2 and 3.00 x 1 of ticket 77, stored; its rows as the voucher reads them.
    db::Rows devuelve() {
        EXPECT_TRUE(bd().exec("UPDATE Producto SET Nombre = 'MARTILLO DE UNA PIEZA', Descripcion = 'MARTILLO 16 OZ "
                              "MANGO DE FIBRA' WHERE ClaveProducto = ?", {clave(0)}));
        EXPECT_TRUE(bd().exec("UPDATE Producto SET Nombre = 'CLAVO', Descripcion = 'CLAVO 1/2' WHERE ClaveProducto = ?",
                              {clave(1)}));
        vende(77, "T", {{0, 2, 10.5}, {1, 1, 3}});
        dev.ConsultaVenta(bd(), "T", "77", prompts);
        EXPECT_TRUE(dev.AgregaLineaDevolucion(0, 2, prompts));
        EXPECT_TRUE(dev.AgregaLineaDevolucion(1, 1, prompts));
        EXPECT_TRUE(guarda(TipoDevolucion::Efectivo));
        EXPECT_TRUE(bd().exec("UPDATE EInventario SET Fecha = '2026-12-09 14:05:00'"));
        auto filas = bd().select("SELECT * FROM cESInventarioDev WHERE Numero = ?", {dev.NumeroEntrada});
        return filas ? *filas : db::Rows{};
    }
    const QDateTime momento{QDate(2026, 12, 9), QTime(14, 6, 7)};
};

TEST_F(ComprobanteDevolucionTest, GoldenVoucherWithoutControlCodes) {
    const db::Rows filas = devuelve();
    ASSERT_EQ(filas.size(), 2u);
    G().CodigosPTicket = 0;
    caja::ConstruyeComprobanteDevolucion(dev.NumeroEntrada, filas, momento);
    const QString n = QString::number(dev.NumeroEntrada);
    const QString esperado =
        QStringLiteral("          MI NEGOCIO\n"
                       "       RFC:XAXX010101000\n"
                       "            MATRIZ\n"
                       "     AV. JUAREZ 12\nCENTRO\n"
                       "         Tels:555-1234\n") +
        QStringLiteral(" F-") + n + QStringLiteral("\nNOTA DE CREDITO. \n \nFecha Imp  : 09/12/2026 02:06:07 PM\n \n") +
        QStringLiteral("Fecha: 09/12/2026 02:05:00 PM\nConcepto:Devolucion:DEFECTO\nAtendio: ADMIN\n"
                       "Sucursal: Matriz\nReferencia: T 77\n---------------------\n") +
        QStringLiteral("%1MARTILLO 16 OZ \n").arg(clave(0), 5, 10, QLatin1Char('0')) +
        QStringLiteral("       MARTILLO DE UNA     10.50\n") +
        QStringLiteral("%1CLAVO 1/2\n").arg(clave(1), 5, 10, QLatin1Char('0')) +
        QStringLiteral("                 CLAVO      3.00\n") +
        QStringLiteral("TOTAL:      24.00\n \n \n");
    EXPECT_EQ(TextoTicket(), esperado);
}

TEST_F(ComprobanteDevolucionTest, GoldenVoucherWithEscPosCodesCutAndDrawer) {
    const db::Rows filas = devuelve();
    G().CodigosPTicket = 1;
    G().EspT = 1;
    G().OpenCDrawer = 1;
    caja::ConstruyeComprobanteDevolucion(dev.NumeroEntrada, filas, momento);
    const QString esc = QStringLiteral("\x1b");
    const QString centro = esc + "a1", derecha = esc + "a2";
    const QString esperado =
        esc + "@" + centro + "MI NEGOCIO\n" + centro + "RFC:XAXX010101000\n" + centro + "MATRIZ\n" + centro +
        "AV. JUAREZ 12\nCENTRO\n" + centro + "Tels:555-1234\n F-" + QString::number(dev.NumeroEntrada) +
        "\nNOTA DE CREDITO. \n \nFecha Imp  : 09/12/2026 02:06:07 PM\n \n"
        "Fecha: 09/12/2026 02:05:00 PM\nConcepto:Devolucion:DEFECTO\nAtendio: ADMIN\n"
        "Sucursal: Matriz\nReferencia: T 77\n---------------------\n" +
        QStringLiteral("%1MARTILLO 16 OZ \n").arg(clave(0), 5, 10, QLatin1Char('0')) + derecha +
        "MARTILLO DE UNA     10.50\n" + QStringLiteral("%1CLAVO 1/2\n").arg(clave(1), 5, 10, QLatin1Char('0')) +
        derecha + "CLAVO      3.00\nTOTAL:      24.00\n \n \n" + esc + "m";
    // The drawer pulse is its own raw job after the voucher, never part of the voucher's text.
    EXPECT_EQ(TextoTicket(), esperado);
}

TEST_F(ComprobanteDevolucionTest, ReprintByEntryNumber) {
    const db::Rows filas = devuelve();
    impreso.clear();
    prompts.pushInput(QString::number(dev.NumeroEntrada));
    EXPECT_TRUE(caja::ReimprimeDevolucion(bd(), prompts));
    ASSERT_EQ(impreso.size(), 1);
    EXPECT_TRUE(impreso[0].contains("TOTAL:      24.00"));
    EXPECT_EQ(prompts.asked().back().text, "Teclea el folio de la devolucion a reimprimir:");
    EXPECT_EQ(prompts.asked().back().title, "Reimpresion.");
    prompts.pushInput("0");
    EXPECT_FALSE(caja::ReimprimeDevolucion(bd(), prompts));
    EXPECT_EQ(prompts.lastMessage(), "No se encontraron registros.");
    prompts.clear();
    prompts.pushInput("1A");
    EXPECT_FALSE(caja::ReimprimeDevolucion(bd(), prompts));
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(impreso.size(), 1);
}

}  // namespace
