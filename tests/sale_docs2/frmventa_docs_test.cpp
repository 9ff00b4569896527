#include "fixture.h"

#include "capture_control/ccaptura.h"
#include "platform/report/report.h"
#include "sale/forms/cierre_venta.h"
#include "sale/documentos.h"
#include "sale/forms/frmventa.h"
#include "sale/recuperacion.h"
#include "shell/estado.h"
#include "shell/texto.h"

#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

using venta::frmVenta;

class PantallaDocumentos : public Docs2Test {
protected:
    void TearDown() override {
        forma.reset();
        for (QDialog* d : report::openPreviews()) d->close();
        Docs2Test::TearDown();
    }
    frmVenta& Abre(const QString& modo) {
        G().ModoVenta = modo;
        forma = std::make_unique<frmVenta>(nullptr, nullptr, &prompts);
        forma->show();
        prompts.clear();
        return *forma;
    }
    void Captura(std::initializer_list<qint64> ids) {
        forma->lineas().adopta(QList<qint64>(ids));
        forma->lineas().recarga();
    }
    void guarda(qint64 numero, const QString& tipo, int lineas) {
        ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente, Total, Descuento) "
                                             "VALUES (?, ?, 'PEJJ800101AB1', 50, 10)"),
                              {numero, tipo}));
        for (int i = 0; i < lineas; ++i)
            ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, "
                                                 "Cantidad, PrecioUnit) VALUES (?, ?, ?, 1, 10)"),
                                  {numero, tipo, clave(i)}));
    }
    // Scans a demo product into the open screen, as the reader would.
    void Escanea(int indice) {
        const QString codigo = valor(QStringLiteral("SELECT CodigodeBarras FROM Producto WHERE ClaveProducto = ?"),
                                     {clave(indice)}).toString();
        QTest::keyClicks(forma->cajaCodigo, codigo);
        QTest::keyClick(forma->cajaCodigo, Qt::Key_Return);
    }
    void Recupera(const QString& folio, const QString& tipo) {
        prompts.pushInput(folio);
        prompts.pushInput(tipo);
        forma->cmdBuscar_Click();
    }
    std::unique_ptr<frmVenta> forma;
};

TEST_F(PantallaDocumentos, CreditNoteSavedClearedAndShown) {
    frmVenta& f = Abre(QStringLiteral("N"));
    Captura({linea(clave(0), 2, 10), linea(clave(1), 1, 5)});
    f.ClienteVenta = QStringLiteral("JUAN PEREZ");
    f.TotalVenta = 25;
    prompts.pushAnswer(ui::Answer::Yes);
    prompts.pushInput(QStringLiteral("Devolución"));
    prompts.pushInput(QStringLiteral("15"));
    f.cmdActInv_Click();
    EXPECT_EQ(f.NumeroDocumento, 1);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT FactRef FROM NotaCredito WHERE Numero = 1")), 15);
    EXPECT_EQ(existencia(clave(0)), 102);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DetalleVenta")), 0);
    EXPECT_TRUE(prompts.messages().contains(QString::fromUtf8("La nota de crédito se guardó exitosamente.")))
        << prompts.messages().join('|').toStdString();
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM Solicitafolios")), 0);  // FacturaE off
}

TEST_F(PantallaDocumentos, CreditSaleWithGuarantorAndClientFromTheCatalogue) {
    ASSERT_TRUE(central().exec(QStringLiteral("INSERT INTO PreciosCredito VALUES (?, 1000, 100, 300, 15)"), {clave(0)}));
    frmVenta& f = Abre(QStringLiteral("VC"));
    Captura({linea(clave(0), 1, 1000)});
    f.TotalVenta = 1000;
    f.TipoSeleccion = 3;
    G().SeleccionCatalogo = QStringLiteral("AVAL800101AA1;PEDRO AVAL");
    f.Activacion();
    f.TipoSeleccion = 2;
    G().SeleccionCatalogo = QStringLiteral("PEJJ800101AB1;JUAN PEREZ");
    f.Activacion();
    f.cmdActInv_Click();
    EXPECT_EQ(f.NumeroDocumento, 1) << prompts.messages().join('|').toStdString();
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM VentaCredito WHERE Aval = 'AVAL800101AA1' AND "
                                    "Cliente = 'PEJJ800101AB1' AND FormaPago = 1")), 1);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM doctoscredito WHERE Numeroventa = 1")), 4);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DetalleVenta")), 0);
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("La venta a crédito se guardo exitosamente."));
}

TEST_F(PantallaDocumentos, InventoryEmptyDescriptionSavesNothing) {
    frmVenta& f = Abre(QStringLiteral("E"));
    Captura({linea(clave(0), 3, 10)});
    f.cmdActInv_Click();  // the description box cancelled
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM EInventario")), 0);
    EXPECT_EQ(existencia(clave(0)), 100);
    EXPECT_TRUE(f.isVisible());

    G().PreguntaCompES = 1;
    prompts.pushInput(QStringLiteral("Descripcion."));
    prompts.pushAnswer(ui::Answer::No);  // no voucher
    f.cmdActInv_Click();
    EXPECT_EQ(valor(QStringLiteral("SELECT Descripcion FROM EInventario WHERE Numero = 1")).toString(),
              QStringLiteral("Descripcion."));
    EXPECT_EQ(existencia(clave(0)), 103);
    EXPECT_FALSE(f.isVisible());
}

TEST_F(PantallaDocumentos, RecalledInvoiceIsReadOnlyAndQuotationSellable) {
    ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO Cliente (RFC, CURP, Nombre) VALUES ('PEJJ800101AB1', ' ', 'JUAN PEREZ')")));
    guarda(15, QStringLiteral("F"), 3);
    guarda(4, QStringLiteral("C"), 2);
    G().ParTickets = 1;
    frmVenta& f = Abre(QStringLiteral("F"));
    prompts.pushInput(QStringLiteral("15"));
    prompts.pushInput(QStringLiteral("F"));
    f.cmdBuscar_Click();
    EXPECT_EQ(f.lineas().count(), 3);
    EXPECT_EQ(f.lblCliente->text(), QStringLiteral("JUAN PEREZ"));
    EXPECT_FALSE(f.cmdFacturar->isEnabled());
    EXPECT_FALSE(f.cmdTicket->isEnabled());
    EXPECT_FALSE(f.cmdBorrarP->isEnabled());
    EXPECT_FALSE(f.capDescuento->isEnabled());
    EXPECT_FALSE(f.capCodigoBarras->Enabled());
    // The ticket key sequence reaches the sell path without the button: refused there too.
    f.cmdTicket_Click();
    EXPECT_EQ(prompts.lastMessage(), venta::TextoDocumentoSoloLectura());
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM Venta WHERE Tipo = 'T'")), 0);

    // A new document gives the screen back its capture and sell controls, without the recalled
    // document's discount.
    EXPECT_EQ(f.capDescuento->text(), QStringLiteral("10"));
    f.cmdNuevo_Click();
    EXPECT_EQ(f.lineas().count(), 0);
    EXPECT_EQ(f.capDescuento->text(), QStringLiteral("0"));
    EXPECT_TRUE(f.cmdBuscar->isEnabled());
    EXPECT_TRUE(f.cmdFacturar->isEnabled());
    EXPECT_TRUE(f.capCodigoBarras->Enabled());
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = 15 AND TipoDocto = 'F'")), 3);

    prompts.pushInput(QStringLiteral("16"));
    prompts.pushInput(QStringLiteral("F"));
    f.cmdBuscar_Click();
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No se encontraron datos."));

    frmVenta& g = Abre(QStringLiteral("F"));
    prompts.pushInput(QStringLiteral("4"));
    prompts.pushInput(QStringLiteral("c"));
    g.cmdBuscar_Click();
    EXPECT_EQ(g.lineas().count(), 2);
    EXPECT_TRUE(g.cmdFacturar->isEnabled());
    // A new document forgets the recalled lines but never deletes the stored ones.
    g.cmdNuevo_Click();
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = 4 AND TipoDocto = 'C'")), 2);
}


TEST_F(PantallaDocumentos, QuotationMadeOnScreenRecalledForSaleAndKept) {
    G().ParTickets = 1;
    G().MaxDescuentoFact = 10;
    Abre(QStringLiteral("C"));
    const qint64 cotizacion = forma->NumeroDocumento;
    ASSERT_GT(cotizacion, 0) << prompts.messages().join('|').toStdString();
    Escanea(0);
    Escanea(1);
    ASSERT_EQ(forma->lineas().count(), 2) << prompts.messages().join('|').toStdString();
    // The folio label names the quotation's own number.
    EXPECT_EQ(forma->lblRem->text(), sale::TextoRem(sale::ClaseDocumento::Cotizacion, G().PrefijoFact, cotizacion));
    // A general discount typed, then the quotation generated: what it prints is what is stored.
    forma->capDescuento->setFocus();
    QTest::keyClicks(forma->capDescuento, QStringLiteral("5"));
    QTest::keyClick(forma->capDescuento, Qt::Key_Return);
    ASSERT_EQ(forma->PorcentajeDescuento(), 5) << prompts.messages().join('|').toStdString();
    const QString totalCotizado = forma->txtTotal->text();
    QTest::mouseClick(forma->cmdActInv, Qt::LeftButton);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT Descuento FROM Venta WHERE Numero = ? AND Tipo = 'C'"), {cotizacion}), 5);
    EXPECT_EQ(QStringLiteral("$ ") + shell::Formato(valor(QStringLiteral("SELECT Total FROM Venta WHERE Numero = ? AND "
                                                                       "Tipo = 'C'"),
                                                        {cotizacion})
                                                      .toDouble(),
                                                  QStringLiteral("###,###,##0.00")),
              totalCotizado);
    const auto guardadas = QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = ? AND TipoDocto = 'C'");
    ASSERT_EQ(cuenta(guardadas, {cotizacion}), 2);
    // The quotation was stored as the screen opened: closing keeps its lines.
    prompts.pushAnswer(ui::Answer::Yes);
    forma->cmdCerrar_Click();
    EXPECT_EQ(cuenta(guardadas, {cotizacion}), 2);
    forma.reset();

    frmVenta& f = Abre(QStringLiteral("F"));
    Recupera(QString::number(cotizacion), QStringLiteral("C"));
    EXPECT_EQ(f.lineas().count(), 2) << prompts.messages().join('|').toStdString();
    EXPECT_EQ(f.DBGrid1->model()->rowCount(), 2);
    // Recalled whole: with its discount, at the total it was quoted.
    EXPECT_EQ(f.txtTotal->text(), totalCotizado);
    EXPECT_EQ(f.PorcentajeDescuento(), 5);
    EXPECT_TRUE(f.cmdFacturar->isEnabled());
    // Its lines are the stored quotation's: neither the delete button nor a new document or a
    // second recall removes them.
    f.cmdBorrarP_Click();
    EXPECT_EQ(f.lineas().count(), 2);
    Recupera(QString::number(cotizacion), QStringLiteral("C"));
    EXPECT_EQ(f.lineas().count(), 2);
    f.cmdNuevo_Click();
    EXPECT_EQ(f.lineas().count(), 0);
    EXPECT_EQ(cuenta(guardadas, {cotizacion}), 2);
    prompts.pushAnswer(ui::Answer::Yes);
    Recupera(QString::number(cotizacion), QStringLiteral("C"));
    f.cmdCerrar_Click();
    EXPECT_EQ(cuenta(guardadas, {cotizacion}), 2);

    // A quotation number with nothing stored says so.
    forma.reset();
    frmVenta& g = Abre(QStringLiteral("F"));
    Recupera(QString::number(cotizacion + 5), QStringLiteral("C"));
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No se encontraron datos."));
    EXPECT_EQ(g.lineas().count(), 0);
}


TEST_F(PantallaDocumentos, TicketSoldOnScreenRecalledReadOnly) {
    G().ParTickets = 1;
    G().PuertoTicket = tmp.filePath(QStringLiteral("lp-ticket"));
    frmVenta& f = Abre(QStringLiteral("F"));
    EXPECT_TRUE(f.cmdBuscar->isEnabled());
    Escanea(0);
    Escanea(2);
    ASSERT_EQ(f.lineas().count(), 2);
    EXPECT_FALSE(f.cmdBuscar->isEnabled());  // capturing: no recall over the lines
    f.TipoSeleccion = 2;
    G().SeleccionCatalogo = QStringLiteral("XAXX010101000;PUBLICO EN GENERAL");
    f.Activacion();
    const QString total = f.txtTotal->text();
    venta::TicketPantalla(f);
    ASSERT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = 1 AND TipoDocto = 'T'")), 2)
        << prompts.messages().join('|').toStdString();
    // The next document may recall again.
    EXPECT_TRUE(f.cmdBuscar->isEnabled());
    EXPECT_TRUE(f.cmdBorrarP->isEnabled());
    EXPECT_TRUE(f.capCodigoBarras->Enabled());
    EXPECT_TRUE(f.capDescuento->isEnabled());
    EXPECT_TRUE(f.cmdFacturar->isEnabled());
    EXPECT_TRUE(f.cmdCliente->isEnabled());

    prompts.clear();
    Recupera(QStringLiteral("1"), QStringLiteral("T"));
    EXPECT_EQ(f.lineas().count(), 2) << prompts.messages().join('|').toStdString();
    EXPECT_EQ(f.DBGrid1->model()->rowCount(), 2);
    EXPECT_EQ(f.txtTotal->text(), total);
    EXPECT_EQ(f.lblCliente->text(), QStringLiteral("PUBLICO EN GENERAL"));
    EXPECT_FALSE(f.cmdTicket->isEnabled());
    EXPECT_FALSE(f.cmdBorrarP->isEnabled());
    EXPECT_FALSE(f.capCodigoBarras->Enabled());
    f.cmdNuevo_Click();
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = 1 AND TipoDocto = 'T'")), 2);
    EXPECT_TRUE(f.cmdBuscar->isEnabled());
}

}  // namespace
