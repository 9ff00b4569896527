// The day invoice: choosing tickets of a day and gathering them into one invoice.
#include "devol_fixture.h"

#include "cash/facturadia.h"
#include "pdftext.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QFileInfo>

namespace {

const QDate Dia(2026, 12, 9);

class FacturaDiaTest : public PosventaTest {
protected:
    void ticket(qint64 n, int lineas, double precio = 10, const QString& fecha = "2026-12-09 10:30:00") {
        std::vector<LineaPrueba> l;
        for (int i = 0; i < lineas; ++i) l.push_back({i % 4, double(i + 1), precio, i == 0 ? 5.0 : 0.0});
        vende(n, "T", l, 0, 1, "XAXX010101000");
        ASSERT_TRUE(bd().exec("UPDATE Venta SET Fecha = ? WHERE Numero = ? AND Tipo = 'T'", {fecha, n}));
    }
    std::vector<qint64> elegidos(db::Database& b) {
        std::vector<qint64> r;
        const auto filas = caja::CargaTicketsSeleccionados(b, Dia);
        EXPECT_TRUE(filas.has_value());
        if (filas)
            for (const auto& f : *filas) r.push_back(f.integer("Numero"));
        return r;
    }
    bool envia(db::Database& b, const venta::DestinoImpresion& destino = {}) {
        return caja::cmdEnviarfactura(b, Dia, elegidos(b), prompts, espera, destino);
    }
    qint64 fe(qint64 n) { return cuenta("SELECT COALESCE(FE, -9) FROM Venta WHERE Numero = ? AND Tipo = 'T'", {n}); }
};

TEST_F(FacturaDiaTest, ListsHoldTheDaysActiveTicketsAndMovesStartFromTheExpectedState) {
    ticket(1, 1);
    ticket(2, 1);
    ticket(3, 1);
    ticket(4, 1);
    ticket(5, 1);
    ticket(6, 1, 10, "2026-12-10 00:00:00");
    ticket(7, 1, 10, "2026-12-09 23:59:59");
    ASSERT_TRUE(bd().exec("UPDATE Venta SET FE = NULL WHERE Numero = 1"));
    ASSERT_TRUE(bd().exec("UPDATE Venta SET FE = 1 WHERE Numero = 3"));
    ASSERT_TRUE(bd().exec("UPDATE Venta SET FE = 2 WHERE Numero = 4"));
    ASSERT_TRUE(bd().exec("UPDATE Venta SET Status = 0 WHERE Numero = 5"));
    vende(8, "F", {{0, 1, 10}});
    auto libres = caja::CargaTicketsLibres(bd(), Dia);
    ASSERT_TRUE(libres);
    std::vector<qint64> l;
    for (const auto& f : *libres) l.push_back(f.integer("IdNumero"));
    EXPECT_EQ(l, (std::vector<qint64>{7, 2, 1}));
    EXPECT_EQ(elegidos(bd()), (std::vector<qint64>{3}));
    EXPECT_EQ(caja::ObservacionDia(Dia), "Corresponde a tickets del dia 2026-12-09");

    // Null -> chosen -> 0; a gathered ticket never moves, a free one is not "removed".
    EXPECT_TRUE(caja::SeleccionaTicket(bd(), 1));
    EXPECT_EQ(fe(1), 1);
    EXPECT_FALSE(caja::SeleccionaTicket(bd(), 1));
    EXPECT_TRUE(caja::QuitaTicket(bd(), 1));
    EXPECT_EQ(fe(1), 0);
    EXPECT_FALSE(caja::QuitaTicket(bd(), 1));
    EXPECT_FALSE(caja::SeleccionaTicket(bd(), 4));
    EXPECT_FALSE(caja::QuitaTicket(bd(), 4));
    EXPECT_EQ(fe(4), 2);
    EXPECT_FALSE(caja::SeleccionaTicket(bd(), 5));
}

TEST_F(FacturaDiaTest, OneInvoiceGathersTheChosenTicketsLines) {
    ticket(11, 2);
    ticket(12, 1, 3.33);
    ticket(13, 4, 1.01);
    ticket(14, 1, 10, "2026-12-08 12:00:00");
    for (qint64 n : {11, 12, 13, 14}) ASSERT_TRUE(caja::SeleccionaTicket(bd(), n));
    ASSERT_TRUE(bd().exec("UPDATE DetalleVenta SET Descripcion2 = 'TORNILLO GENERICO', Observacion = 'OBS', Moneda = 2 "
                          "WHERE Numero = 12 AND TipoDocto = 'T'"));
    G().ImportesPago[1] = 999;
    G().ReferenciasPago[1] = "VIEJO";
    G().RegxFactura = 2;
    const qint64 folio = cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1");
    const double stock = existencia(0);
    const QString pdf = tmp.filePath("dia.pdf");
    ASSERT_TRUE(envia(bd(), {report::Destination::Pdf, {}, pdf})) << prompts.messages().join("|").toStdString();
    const qint64 n = folio + 1;
    EXPECT_EQ(cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1"), n);
    EXPECT_EQ(prompts.messages().first(), QStringLiteral("Se genero para el RFC: XAXX010101000 el folio: %1").arg(n));
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);

    auto h = bd().select("SELECT * FROM Venta WHERE Tipo = 'F'");
    ASSERT_TRUE(h && h->size() == 1);
    const db::Row& v = h->front();
    const double total = valor("SELECT SUM(Total) FROM Venta WHERE Numero IN (11, 12, 13) AND Tipo = 'T'").toDouble();
    EXPECT_EQ(v.integer("Numero"), n);
    EXPECT_EQ(v.text("Cliente"), "XAXX010101000");
    EXPECT_DOUBLE_EQ(v.real("Total"), total);
    EXPECT_EQ(v.real("Descuento"), 0);
    EXPECT_EQ(v.integer("IVAP"), 16);
    EXPECT_DOUBLE_EQ(v.real("Pagacon"), total);
    EXPECT_EQ(v.integer("FormaPago"), 8);
    EXPECT_EQ(v.text("PagaObs1"), "");
    EXPECT_EQ(v.text("ObsVenta"), "Corresponde a tickets del dia 2026-12-09");
    EXPECT_EQ(v.integer("IdCorte"), -1);
    EXPECT_EQ(v.integer("Status"), 1);
    EXPECT_EQ(v.integer("Empleado"), 1);
    EXPECT_EQ(v.integer("Terminal"), 2);

    EXPECT_EQ(cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = ? AND TipoDocto = 'F'", {n}), 7);
    EXPECT_EQ(cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = ? AND TipoDocto = 'F' AND Descuento = 5", {n}), 3);
    EXPECT_EQ(valor("SELECT Descripcion2 || '/' || Observacion || '/' || Moneda FROM DetalleVenta WHERE Numero = ? AND "
                    "TipoDocto = 'F' AND PrecioUnit = 3.33", {n}).toString(), "TORNILLO GENERICO/OBS/2");
    for (qint64 t : {11, 12, 13}) EXPECT_EQ(fe(t), 2);
    EXPECT_EQ(fe(14), 1);  // another day's chosen ticket stays chosen
    EXPECT_EQ(cuenta("SELECT count(*) FROM DetalleVenta WHERE TipoDocto = 'T' AND Numero IN (11, 12, 13)"), 7);
    EXPECT_DOUBLE_EQ(existencia(0), stock);
    // The cut counts the tickets once and leaves the invoice out.
    EXPECT_DOUBLE_EQ(valor("SELECT SUM(Total) FROM Venta WHERE IdCorte = 0 AND Status = 1 AND Tipo IN ('T', 'F', 'E') "
                           "AND Numero IN (11, 12, 13, ?)", {n}).toDouble(), total);
    EXPECT_TRUE(elegidos(bd()).empty());
}

TEST_F(FacturaDiaTest, ElectronicInvoiceWithThePrintServerIsQueued) {
    ticket(21, 1);
    ASSERT_TRUE(caja::SeleccionaTicket(bd(), 21));
    G().FacturaE = true;
    G().UsarServidorImp = 1;
    const qint64 folio = cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 8");
    ASSERT_TRUE(envia(bd()));
    const qint64 n = folio + 1;
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("El Docto %1 se imprimira en el servidor de impresión.").arg(n));
    auto q = bd().select("SELECT FolioSolicita, valordev, Terminal FROM Solicitafolios");
    ASSERT_TRUE(q && q->size() == 1);
    EXPECT_EQ(q->front().integer("FolioSolicita"), 7);
    EXPECT_EQ(q->front().integer("valordev"), n);
    EXPECT_EQ(cuenta("SELECT count(*) FROM Venta WHERE Tipo = 'E' AND Numero = ?", {n}), 1);
    EXPECT_EQ(cuenta("SELECT count(*) FROM DetalleVenta WHERE TipoDocto = 'E' AND Numero = ?", {n}), 1);
}

TEST_F(FacturaDiaTest, TwoHandlesSendingTheSameTicketsGiveOneInvoice) {
    ticket(31, 1);
    ticket(32, 2);
    ASSERT_TRUE(caja::SeleccionaTicket(bd(), 31));
    ASSERT_TRUE(caja::SeleccionaTicket(bd(), 32));
    G().UsarServidorImp = 1;
    db::Error e;
    auto otra = db::Database::open(shell::RutaBDSucursal(1), shell::ClaveArchivos(), &e);
    ASSERT_TRUE(otra) << e.message.toStdString();
    const std::vector<qint64> listados = elegidos(*otra);
    ASSERT_TRUE(envia(bd()));
    prompts.clear();
    EXPECT_FALSE(caja::cmdEnviarfactura(*otra, Dia, listados, prompts, espera));
    EXPECT_TRUE(prompts.lastMessage().startsWith("Los tickets elegidos cambiaron"));
    EXPECT_EQ(cuenta("SELECT count(*) FROM Venta WHERE Tipo = 'F'"), 1);
    EXPECT_EQ(cuenta("SELECT count(*) FROM DetalleVenta WHERE TipoDocto = 'F'"), 3);
    EXPECT_EQ(cuenta("SELECT count(*) FROM Solicitafolios"), 1);
}

TEST_F(FacturaDiaTest, AFailedSendWritesNothingAndTheTicketsStayChosen) {
    ticket(41, 1);
    ticket(42, 1);
    ASSERT_TRUE(caja::SeleccionaTicket(bd(), 41));
    ASSERT_TRUE(caja::SeleccionaTicket(bd(), 42));
    // A chosen ticket cancelled on another terminal after the list was read.
    const std::vector<qint64> listados = elegidos(bd());
    ASSERT_TRUE(bd().exec("UPDATE Venta SET Status = 0 WHERE Numero = 42"));
    EXPECT_FALSE(caja::cmdEnviarfactura(bd(), Dia, listados, prompts, espera));
    EXPECT_TRUE(prompts.lastMessage().startsWith("Los tickets elegidos cambiaron"));
    EXPECT_EQ(fe(41), 1);
    EXPECT_EQ(cuenta("SELECT count(*) FROM Venta WHERE Tipo = 'F'"), 0);

    // The counter cannot be taken.
    const qint64 folio = cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1");
    ASSERT_TRUE(bd().exec("DELETE FROM Folios WHERE Numerofolio = 1"));
    EXPECT_FALSE(envia(bd()));
    EXPECT_EQ(prompts.lastMessage(),
              QString::fromUtf8("Ocurrió un problema al obtener el numero de factura, reintentelo de nuevo."));
    ASSERT_TRUE(bd().exec("INSERT INTO Folios (Numerofolio, ValorFolio) VALUES (1, ?)", {folio}));

    // Esc during the wait for the file.
    db::Error e;
    auto otra = db::Database::open(shell::RutaBDSucursal(1), shell::ClaveArchivos(), &e);
    ASSERT_TRUE(otra && otra->beginWrite());
    espera.cancelled = [] { return true; };
    EXPECT_FALSE(envia(bd()));
    otra->rollback();
    espera.cancelled = {};
    EXPECT_EQ(prompts.lastMessage(),
              QString::fromUtf8("Ocurrió un problema al obtener el numero de factura, reintentelo de nuevo."));
    EXPECT_EQ(fe(41), 1);
    EXPECT_EQ(cuenta("SELECT count(*) FROM DetalleVenta WHERE TipoDocto = 'F'"), 0);
    EXPECT_EQ(cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1"), folio);

    // Nothing chosen: nothing happens.
    prompts.clear();
    EXPECT_FALSE(caja::cmdEnviarfactura(bd(), Dia, {}, prompts, espera));
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(FacturaDiaTest, AnElectronicDayInvoiceWithoutThePrintServerPrintsItselfNotAPaperInvoice) {
    vende(1, "F", {{1, 3, 77.77}});  // another customer's paper invoice F 1, 233.31
    vende(51, "T", {{0, 1, 12.34}}, 0, 1, "XAXX010101000");
    ASSERT_TRUE(caja::SeleccionaTicket(bd(), 51));
    G().FacturaE = true;
    G().UsarServidorImp = 0;
    const QString pdf = tmp.filePath("e.pdf");
    ASSERT_TRUE(envia(bd(), {report::Destination::Pdf, {}, pdf}));
    const QString t = reporttest::squeezed(reporttest::pdfText(pdf));
    EXPECT_TRUE(t.contains("Total $ 12.34")) << t.toStdString();
    EXPECT_FALSE(t.contains("233.31"));

    // Not printed: the cashier is told so.
    ticket(52, 1);
    ASSERT_TRUE(caja::SeleccionaTicket(bd(), 52));
    ASSERT_TRUE(QFile::remove(data + "/Reports/Factura.html"));
    prompts.clear();
    ASSERT_TRUE(envia(bd(), {report::Destination::Pdf, {}, tmp.filePath("e2.pdf")}));
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("La factura E%1 quedó grabada, pero no se imprimió.")
                                         .arg(cuenta("SELECT MAX(Numero) FROM Venta WHERE Tipo = 'E'")));
}

TEST_F(FacturaDiaTest, ADayInvoiceOverADiscountedTicketAddsUpToTheCent) {
    vende(61, "T", {{0, 1, 100}}, 10, 1, "XAXX010101000");  // 100.00 less 10 %: 90.00
    ticket(62, 2, 3.33);                                     // 3.16 + 6.66, no general discount
    for (qint64 n : {61, 62}) ASSERT_TRUE(caja::SeleccionaTicket(bd(), n));
    const QString pdf = tmp.filePath("d.pdf");
    ASSERT_TRUE(envia(bd(), {report::Destination::Pdf, {}, pdf}));
    const QString t = reporttest::squeezed(reporttest::pdfText(pdf));
    // Lines 100.00 + 3.16 + 6.66 = 109.82; the discount closes them on the tickets' 99.82.
    EXPECT_TRUE(t.contains("Subtotal 109.82")) << t.toStdString();
    EXPECT_TRUE(t.contains("Descuento -10.00"));
    EXPECT_TRUE(t.contains("Total $ 99.82"));
}

}  // namespace
