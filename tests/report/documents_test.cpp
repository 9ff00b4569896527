#include "fixture.h"
#include "pdftext.h"

#include "printing/reporte.h"
#include "sale/impresion_factura.h"
#include "sale/nota_credito.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QFile>
#include <QPrintPreviewDialog>

using namespace venta;

namespace {

// The demo sale: 3 notebooks at 38.50 and 10 pens at 8.00 less 10 %, prices with 16 % tax.
const std::vector<DataFolderTest::Linea> kLineas{
    {"7501000000011", 3, 38.50, 0, true},
    {"7501000000028", 10, 8.00, 10, true},
};

DestinoImpresion aPdf(const QString& ruta) {
    DestinoImpresion d;
    d.destino = report::Destination::Pdf;
    d.archivoPdf = ruta;
    return d;
}

}  // namespace

TEST(InvoiceTaxBreakdown, OnlyOwnTaxpayerIdsBreakTheTaxDown) {
    EXPECT_FALSE(DesglosaIVA("XAXX010101000"));  // the counter-sale key, 13 characters
    EXPECT_FALSE(DesglosaIVA("xaxx010101000"));
    EXPECT_FALSE(DesglosaIVA("ABC12345678"));    // 11 characters
    EXPECT_TRUE(DesglosaIVA("ABC123456789"));    // 12: a company's RFC
    EXPECT_TRUE(DesglosaIVA("GOMA800101AB1"));
    EXPECT_FALSE(DesglosaIVA(""));
}

class DocumentPrint : public DataFolderTest {};

TEST_F(DocumentPrint, InvoiceOfASavedSaleRendersClientLinesTotalsAndNumber) {
    guardaDocumento(7, "F", "GOMA800101AB1", "2026-12-09 10:30:00", 0, kLineas);
    G().PrefijoFact = "A";
    G().Ajuste = 3;
    ASSERT_TRUE(ImprimeTicket(7, 7, aPdf(pdf("fa7.pdf")), prompts)) << prompts.lastMessage().toStdString();

    const auto& f = printing::FormulasReporte();
    EXPECT_EQ(f.text(0), "NumFactura='A000007'");
    EXPECT_EQ(f.text(1), "FechaFactura=Date(2026,12,09)");
    EXPECT_EQ(f.text(2), "NombreCliente='MARIA GONZALEZ MARTINEZ'");
    EXPECT_EQ(f.text(3), "DirCliente='AV. JUAREZ, CENTRO'");
    EXPECT_EQ(f.text(4), "ColCiudadCliente='GUADALAJARA,JALISCO'");
    EXPECT_EQ(f.text(5), "RFCCliente='GOMA800101AB1'");
    EXPECT_EQ(f.text(6), "DesglosaIVA=1");
    EXPECT_EQ(f.text(7), "Ajuste=3");
    EXPECT_TRUE(f.text(8).startsWith("CodPCliente='"));
    EXPECT_EQ(printing::UltimaSolicitud().title, "FA 0007");

    const QString t = reporttest::squeezed(reporttest::pdfText(pdf("fa7.pdf")));
    for (const char* s : {"No. A000007", "09/12/2026", "MARIA GONZALEZ MARTINEZ", "GOMA800101AB1",
                          "AV. JUAREZ, CENTRO", "GUADALAJARA,JALISCO", "CUADERNO PROFESIONAL 100 HOJAS RAYA",
                          "BOLIGRAFO PUNTO MEDIANO AZUL", "Subtotal 161.64", "I.V.A. 16% 25.86",
                          "Total $ 187.50", "CIENTO OCHENTA Y SIETE PESOS 50/100 M.N.", "PUT010101AA1",
                          "Página 1 de 1"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(s))) << s << "\n" << t.toStdString();
    // Pre-tax prices of the lines when the tax is shown apart: 38.50 / 1.16 and 7.20 / 1.16.
    EXPECT_TRUE(t.contains("3 7501000000011")) << t.toStdString();
    EXPECT_TRUE(t.contains("33.19 99.57"));
    EXPECT_TRUE(t.contains("6.21 62.07"));

    // The sale screen's default: the report window, titled with the document number.
    ASSERT_TRUE(ImprimeTicket(7, 7, {}, prompts));
    const auto vistas = report::openPreviews();
    ASSERT_EQ(vistas.size(), 1);
    EXPECT_EQ(vistas.front()->windowTitle(), "FA 0007");
    vistas.front()->close();
}

TEST_F(DocumentPrint, CounterSaleInvoiceHidesClientAndTax) {
    guardaDocumento(8, "F", "XAXX010101000", "2026-12-10", 10, kLineas);
    ASSERT_TRUE(ImprimeTicket(8, 8, aPdf(pdf("fa8.pdf")), prompts));
    const auto& f = printing::FormulasReporte();
    EXPECT_EQ(f.text(2), "NombreCliente='VENTA DE MOSTRADOR'");
    EXPECT_EQ(f.text(6), "DesglosaIVA=0");
    const QString t = reporttest::squeezed(reporttest::pdfText(pdf("fa8.pdf")));
    EXPECT_TRUE(t.contains("VENTA DE MOSTRADOR"));
    EXPECT_FALSE(t.contains("I.V.A."));
    // 115.50 + 72.00 = 187.50, less 10 % general discount = 168.75
    EXPECT_TRUE(t.contains("Subtotal 187.50")) << t.toStdString();
    EXPECT_TRUE(t.contains("Descuento -18.75"));
    EXPECT_TRUE(t.contains("Total $ 168.75"));
}

// 1000 pens at 1.00: the net unit price 0.8621 times 1000 is 862.10, but what was charged is
// 1,000.00; the totals split that, not the rounded line prices.
TEST_F(DocumentPrint, InvoiceTotalsAddUpToWhatWasCharged) {
    guardaDocumento(10, "F", "GOMA800101AB1", "2026-12-09", 0, {{"7501000000028", 1000, 1.00, 0, true}});
    ASSERT_TRUE(ImprimeTicket(10, 10, aPdf(pdf("fa10.pdf")), prompts)) << prompts.lastMessage().toStdString();
    const QString t = reporttest::squeezed(reporttest::pdfText(pdf("fa10.pdf")));
    for (const char* s : {"Subtotal 862.07", "I.V.A. 16% 137.93", "Total $ 1,000.00", "MIL PESOS 00/100 M.N."})
        EXPECT_TRUE(t.contains(QString::fromUtf8(s))) << s << "\n" << t.toStdString();
}

TEST_F(DocumentPrint, ApostrophesAndAccentsPrintAsTyped) {
    guardaCliente("MOHJ7001019Q8", QString::fromUtf8("JOSÉ O'HIGGINS MUÑOZ"));
    guardaDocumento(9, "F", "MOHJ7001019Q8", "2026-12-11", 0, kLineas);
    ASSERT_TRUE(ImprimeTicket(9, 9, aPdf(pdf("fa9.pdf")), prompts)) << prompts.lastMessage().toStdString();
    EXPECT_EQ(printing::FormulasReporte().value("NombreCliente").toString(),
              QString::fromUtf8("JOSÉ O'HIGGINS MUÑOZ"));
    const QString t = reporttest::pdfText(pdf("fa9.pdf"));
    EXPECT_TRUE(t.contains(QString::fromUtf8("JOSÉ O'HIGGINS MUÑOZ"))) << t.toStdString();
    EXPECT_TRUE(t.contains(QString::fromUtf8("CALLE O'DONOJÚ 5, LA PAZ")));
}

TEST_F(DocumentPrint, InvoiceWithoutLinesSaysSoAndPrintsNothing) {
    guardaDocumento(10, "T", "XAXX010101000", "2026-12-11", 0, kLineas);  // a ticket, not an invoice
    EXPECT_FALSE(ImprimeTicket(10, 10, aPdf(pdf("fa10.pdf")), prompts));
    EXPECT_EQ(prompts.lastMessage(), "No se encontro datos de la factura.");
    EXPECT_FALSE(QFile::exists(pdf("fa10.pdf")));
}

TEST_F(DocumentPrint, MissingInvoiceTemplateIsReported) {
    ASSERT_TRUE(QFile::remove(data + "/Reports/Factura.html"));
    guardaDocumento(11, "F", "GOMA800101AB1", "2026-12-11", 0, kLineas);
    EXPECT_FALSE(ImprimeTicket(11, 11, aPdf(pdf("fa11.pdf")), prompts));
    EXPECT_EQ(prompts.lastMessage(), "No se encontro el archivo: " + data + "/Reports/Factura.html");
}

TEST_F(DocumentPrint, QuotationCarriesItsOwnNumberAndDiscount) {
    guardaDocumento(15, "C", "XAXX010101000", "2026-12-12", 15, kLineas);
    ASSERT_TRUE(ImprimeCotizacion(15, "15", aPdf(pdf("co15.pdf")), prompts))
        << prompts.lastMessage().toStdString();
    const auto& f = printing::FormulasReporte();
    EXPECT_EQ(f.text(0), "NumFactura='000015'");
    EXPECT_EQ(f.text(2), "NombreCliente='VENTA GLOBAL'");
    EXPECT_EQ(f.text(3), "DirCliente=''");
    EXPECT_EQ(f.text(5), "RFCCliente=''");
    EXPECT_EQ(f.text(6), "DesglosaIVA=0");
    EXPECT_EQ(f.text(7), "Descuento=0.15");
    const QString t = reporttest::squeezed(reporttest::pdfText(pdf("co15.pdf")));
    EXPECT_TRUE(t.contains(QString::fromUtf8("COTIZACIÓN"))) << t.toStdString();
    EXPECT_TRUE(t.contains("No. 000015"));
    EXPECT_TRUE(t.contains("VENTA GLOBAL"));
    // 187.50 less 15 % is 159.375: the total goes to 159.38 and the discount printed is the one
    // that makes the page add up.
    EXPECT_TRUE(t.contains("Subtotal 187.50")) << t.toStdString();
    EXPECT_TRUE(t.contains("Descuento -28.12 Total $ 159.38"));
    EXPECT_TRUE(t.contains("CIENTO CINCUENTA Y NUEVE PESOS 38/100 M.N."));

    // A discount that is not a number counts as 0; a quotation without lines still opens.
    ASSERT_TRUE(ImprimeCotizacion(16, "abc", aPdf(pdf("co16.pdf")), prompts));
    EXPECT_EQ(printing::FormulasReporte().text(7), "Descuento=0");
    EXPECT_TRUE(QFile::exists(pdf("co16.pdf")));
}

// A reprint after the branch's rate changed prints the tax the invoice was charged at.
TEST_F(DocumentPrint, InvoiceReprintKeepsTheRateItWasChargedAt) {
    guardaDocumento(11, "F", "GOMA800101AB1", "2026-12-09", 0, kLineas);  // stored at 16 %
    G().PorcentajeIVA = 8;
    ASSERT_TRUE(shell::BDSucursal()->exec(QStringLiteral("UPDATE Parametros SET IVA = 8")));
    ASSERT_TRUE(ImprimeTicket(11, 11, aPdf(pdf("fa11.pdf")), prompts)) << prompts.lastMessage().toStdString();
    const QString t = reporttest::squeezed(reporttest::pdfText(pdf("fa11.pdf")));
    for (const char* s : {"Subtotal 161.64", "I.V.A. 16% 25.86", "Total $ 187.50"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(s))) << s << "\n" << t.toStdString();
}

// A credit note shares the invoice layout but must never read as the invoice of its number.
TEST_F(DocumentPrint, CreditNoteReadsAsACreditNoteWithItsInvoice) {
    guardaDocumento(1, "F", "GOMA800101AB1", "2026-12-09", 0, kLineas);
    db::Database* bd = shell::BDSucursal();
    ASSERT_TRUE(bd->exec(QStringLiteral("INSERT INTO NotaCredito (Numero, Total, Cliente, Fecha, FactRef, IVAP, "
                                        "Status) VALUES (1, 38.5, 'GOMA800101AB1', '2026-12-10', 1, 16, 1)")));
    ASSERT_TRUE(bd->exec(QStringLiteral("INSERT INTO DNotaCredito (Numero, ClaveProducto, Cantidad, PrecioUnit, IVA) "
                                        "SELECT 1, ClaveProducto, 1, 38.5, 16 FROM Producto "
                                        "WHERE CodigodeBarras = '7501000000011'")));
    G().PrefijoFact = "A";
    ASSERT_TRUE(ImprimeNCredito(1, aPdf(pdf("nc1.pdf")), prompts)) << prompts.lastMessage().toStdString();
    const QString t = reporttest::squeezed(reporttest::pdfText(pdf("nc1.pdf")));
    EXPECT_TRUE(t.contains("NOTA DE CREDITO")) << t.toStdString();
    EXPECT_TRUE(t.contains("No. A000001")) << t.toStdString();
    EXPECT_TRUE(t.contains("Factura: A000001")) << t.toStdString();
    EXPECT_FALSE(t.contains("FACTURA")) << t.toStdString();
}
