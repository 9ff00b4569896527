// The printer set-up of the parameters form with a cupsd of the test's own (choose printer 3 from
// the list, cancel, test ticket), and the invoice on the mini-printer rendered to PDF beside a
// ticket of the same number.

#include "fixture.h"

#include "admin/forms/frmparamsuc.h"
#include "capture_control/ccaptura.h"
#include "cupsd.h"
#include "platform/print/codepage850.h"
#include "printing/textoticket.h"
#include "printing/ticketventa.h"
#include "raster_prueba.h"
#include "sale/impresion_factura.h"
#include "shell/sucursal.h"
#include "printing/forms/frmSelectPrinter.h"
#include "printing/impresoraticket.h"
#include "printing/reporte.h"
#include "sale/impresion_factura_mp.h"
#include "shell/estado.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

class ImpresionTest : public AdminTest {
protected:
    void SetUp() override
    {
        AdminTest::SetUp();
        printing::GuardaFilasLeidas(true);  // the rows are read back
        auto& g = G();
        g.NombreEmp = "ABARROTES LA ESPAÑOLA";
        g.RFCEmpresa = "CPE010203AB4";
        g.PorcentajeIVA = 16;
        g.Printer3 = "";
        auto claves = suc->select("SELECT ClaveProducto FROM Producto WHERE Nombre <> 'VARIOS' ORDER BY ClaveProducto LIMIT 3");
        ASSERT_TRUE(claves && claves->size() == 3);
        for (const db::Row& r : *claves)
            productos.push_back(r.integer("ClaveProducto"));
        ASSERT_TRUE(central->exec("INSERT INTO Cliente (RFC, Nombre, Direccion, Colonia, Ciudad, Estado) "
                                  "VALUES ('OBRI800101AB1', 'JUAN O''BRIEN', 'ROBLE 4', 'CENTRO', 'LEON', 'GUANAJUATO')"));
        ASSERT_TRUE(suc->exec("INSERT INTO Venta (Numero, Tipo, Cliente, Fecha, Total, IVAP) VALUES "
                              "(5, 'F', 'OBRI800101AB1', '2026-12-09 10:00:00', 232, 16), "
                              "(5, 'T', 'XAXX010101000', '2026-12-09 10:05:00', 50, 16)"));
        ASSERT_TRUE(suc->exec("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Iva) "
                              "VALUES (5, 'F', ?, 2, 58, 1), (5, 'F', ?, 1, 116, 1), (5, 'T', ?, 1, 50, 1)",
                              {productos[0], productos[1], productos[2]}));
    }
    std::vector<qint64> productos;
};

}  // namespace

TEST_F(ImpresionTest, InvoiceOnTheMiniPrinterReadsOnlyTheInvoiceLinesAndPulsesTheDrawer)
{
    const QString pdf = dir.filePath("mp.pdf");
    const QString cajon = dir.filePath("cajon.prn");
    G().PuertoImpresora = cajon;
    venta::DestinoImpresion d;
    d.destino = report::Destination::Pdf;
    d.archivoPdf = pdf;
    ASSERT_TRUE(venta::ImprimeTicket2(5, 5, d, prompts)) << prompts.lastMessage().toStdString();
    const report::Request& r = printing::UltimaSolicitud();
    EXPECT_TRUE(r.templatePath.endsWith("FacturaMP.html"));
    EXPECT_EQ(r.title, "Factura.");
    ASSERT_EQ(r.rows.size(), 2u);  // ticket 5 is not mixed in
    for (const db::Row& f : r.rows)
        EXPECT_EQ(f.text("TipoDocto"), "F");
    EXPECT_EQ(r.formulas.value("NombreCliente").toString(), "JUAN O'BRIEN");
    EXPECT_EQ(r.formulas.value("DesglosaIVA").toInt(), 1);
    EXPECT_FALSE(r.formulas.has("CodPCliente"));
    EXPECT_DOUBLE_EQ(r.data.value("Total").toDouble(), 232.0);
    EXPECT_DOUBLE_EQ(r.data.value("IVA").toDouble(), 32.0);
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    QFile f(cajon);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\x1bP1"));

    prompts.clear();
    EXPECT_FALSE(venta::ImprimeTicket2(6, 6, d, prompts));
    EXPECT_EQ(prompts.lastMessage(), "No se encontro datos de la factura.");
}

TEST_F(ImpresionTest, TheInvoicePrintTakesTheMiniPrinterOnlyWhenTheBranchAsks)
{
    venta::DestinoImpresion d;
    d.destino = report::Destination::Pdf;
    d.archivoPdf = dir.filePath("f.pdf");
    G().FacturaaTicket = 0.0;
    ASSERT_TRUE(venta::ImprimeTicket(5, 5, d, prompts));
    EXPECT_TRUE(printing::UltimaSolicitud().templatePath.endsWith("Factura.html"));
    G().FacturaaTicket = 1.0;
    ASSERT_TRUE(venta::ImprimeTicket(5, 5, d, prompts));
    EXPECT_TRUE(printing::UltimaSolicitud().templatePath.endsWith("FacturaMP.html"));
}

namespace {

class ImpresoraFormaTest : public ImpresionTest {
protected:
    static void SetUpTestSuite()
    {
        suite = new CupsdSuite({{"Caja1", "socket://127.0.0.1:{oyente}"}, {"Caja2", "file:/dev/null"}});
        if (suite->listo)
            suite->listo = suite->cupsd.agregaColaConDriver(
                "Laser", QStringLiteral("socket://127.0.0.1:%1").arg(suite->oyente.puerto()), &suite->error);
    }
    static void TearDownTestSuite() { delete suite; }
    void SetUp() override
    {
        if (!suite->omision.isEmpty())
            GTEST_SKIP() << suite->omision.toStdString();
        ASSERT_TRUE(suite->listo) << suite->error.toStdString();
        ImpresionTest::SetUp();
        G().NombreEmp = "ABARROTES LA ESPAÑOLA";
        EstableceImpresoraActual(QString());
    }
    // Clicks an "Establecer Impresora." button and, in the dialog, goes down to the first queue
    // (Caja1) and takes it.
    static void EligeLaPrimeraCola(QPushButton* boton)
    {
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<frmSelectPrinter*>(QApplication::activeModalWidget());
            ASSERT_TRUE(d);
            d->CboImpresoras->setFocus();
            QTest::keyClick(d->CboImpresoras, Qt::Key_Down);
            EXPECT_EQ(d->capNombre->text(), "Caja1");
            QTest::mouseClick(d->cmdSelect, Qt::LeftButton);
        });
        QTest::mouseClick(boton, Qt::LeftButton);
    }
    static inline CupsdSuite* suite = nullptr;
};

}  // namespace

TEST_F(ImpresoraFormaTest, ChoosePrinter3FromTheListCancelKeepsItAndATestTicketGoesOut)
{
    admin::frmParamSuc forma(nullptr, &prompts);
    forma.show();
    forma.SSTab1->setCurrentIndex(1);
    EligeLaPrimeraCola(forma.Command4);
    EXPECT_EQ(forma.capImp3->Text(), "Caja1");
    // Nothing is stored before the form's save.
    EXPECT_EQ(Sucursal()->scalar("SELECT Printer3 FROM Parametros")->toString(), "");

    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<frmSelectPrinter*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        QTest::keyClick(d->CboImpresoras, Qt::Key_Down);
        QTest::mouseClick(d->Command1, Qt::LeftButton);
    });
    QTest::mouseClick(forma.Command4, Qt::LeftButton);
    EXPECT_EQ(forma.capImp3->Text(), "Caja1");

    // The test ticket with the form's code set and sending way (spooler), before any save.
    forma.cmbCodigos->setCurrentIndex(3);
    forma.lstMetodoPrint->setCurrentIndex(1);
    forma.chkpulsoCajon->setChecked(true);
    G().CodigosPTicket = 0;
    G().OpenCDrawer = 0;
    QTest::mouseClick(forma.cmdprueba, Qt::LeftButton);
    const auto trabajos = suite->oyente.espera(2);
    ASSERT_EQ(trabajos.size(), 2u) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(trabajos[0], "\x1b@\x1bp0\x19\xfa");  // ESC/POS initialise and the drawer, on their own
    EXPECT_TRUE(trabajos[1].startsWith("\x1b@\x1b" "a1"));
    EXPECT_TRUE(trabajos[1].contains("PARAMETROS ESTA ES UNA PRUEBA PARA VER SI LO ALINEA\n"));
    EXPECT_EQ(G().CodigosPTicket, 0);
    EXPECT_EQ(G().OpenCDrawer, 0);
}

namespace {

const QByteArray kPulso("\x1bp0\x19\xfa");

// The invoice's total as the mini-printer template draws it.
QFont FuenteTotal()
{
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setPointSizeF(7.5);
    f.setBold(true);
    return f;
}

}  // namespace

TEST_F(ImpresoraFormaTest, TheBoxesKeepAPrinterNameAsTypedAndTheSaveNamesOneThatIsNoQueueNorPort)
{
    admin::frmParamSuc forma(nullptr, &prompts);
    forma.show();
    forma.SSTab1->setCurrentIndex(1);
    auto teclea = [](CCaptura* campo, const char* texto) {
        auto* caja = campo->findChild<QLineEdit*>();
        QTest::mouseClick(caja, Qt::LeftButton);
        caja->selectAll();
        QTest::keyClicks(caja, QString::fromUtf8(texto));
    };
    teclea(forma.capImp3, "qc_ticket");
    teclea(forma.capImp2, "Caja1");
    teclea(forma.capImp1, "/dev/usb/lp0");
    EXPECT_EQ(forma.capImp3->Text(), "qc_ticket");
    QTest::mouseClick(forma.Command2, Qt::LeftButton);
    EXPECT_EQ(Sucursal()->scalar("SELECT Printer3 FROM Parametros")->toString(), "qc_ticket");
    EXPECT_EQ(Sucursal()->scalar("SELECT Printer2 FROM Parametros")->toString(), "Caja1");
    EXPECT_EQ(G().Printer3, "qc_ticket");
    const QStringList m = prompts.messages();
    ASSERT_EQ(m.size(), 2) << m.join("|").toStdString();
    EXPECT_EQ(m[0], "Se Actualizaron los registros.");
    EXPECT_TRUE(m[1].contains("Impresora de tickets: \"qc_ticket\"")) << m[1].toStdString();
    EXPECT_FALSE(m[1].contains("Caja1"));
    EXPECT_FALSE(m[1].contains("lp0"));
}

// As a shop sets it up: a fresh demo folder's defaults, the ticket printer chosen in the dialog,
// the invoice on the mini-printer ticked, then a ticket and an invoice printed.
TEST_F(ImpresoraFormaTest, AFreshFolderPointedAtARawQueuePrintsTheTicketTheMiniPrinterInvoiceAndOpensTheDrawer)
{
    {
        admin::frmParamSuc forma(nullptr, &prompts);
        forma.show();
        forma.SSTab1->setCurrentIndex(1);
        EligeLaPrimeraCola(forma.Command4);
        ASSERT_EQ(forma.capImp3->Text(), "Caja1");
        forma.SSTab1->setCurrentIndex(2);
        QTest::mouseClick(forma.chkFacturaaTicket, Qt::LeftButton, {}, QPoint(5, forma.chkFacturaaTicket->height() / 2));
        ASSERT_TRUE(forma.chkFacturaaTicket->isChecked());
        QTest::mouseClick(forma.Command2, Qt::LeftButton);
    }
    ASSERT_TRUE(shell::EstableceSucursal());
    ASSERT_EQ(G().Printer3, "Caja1");
    ASSERT_EQ(G().CodigosPTicket, 0);
    ASSERT_EQ(G().MetodoImpresion, 0);
    ASSERT_EQ(G().OpenCDrawer, 1);
    prompts.clear();

    const size_t antes = suite->oyente.espera(0, 0).size();
    ASSERT_TRUE(ImprimeTicketMan(5, prompts)) << prompts.messages().join("|").toStdString();
    auto trabajos = suite->oyente.espera(antes + 2);
    ASSERT_EQ(trabajos.size(), antes + 2) << suite->cupsd.bitacora().toStdString();
    EXPECT_EQ(trabajos[antes], kPulso);  // the drawer opens before the ticket
    const QByteArray ticket = trabajos[antes + 1];
    EXPECT_EQ(ticket, print::aCp850(TextoTicket()));
    EXPECT_TRUE(ticket.contains("\nF5\n"));
    EXPECT_FALSE(ticket.contains("%PDF"));

    ASSERT_TRUE(venta::ImprimeTicket(5, 5, {}, prompts)) << prompts.messages().join("|").toStdString();
    trabajos = suite->oyente.espera(antes + 4);
    ASSERT_EQ(trabajos.size(), antes + 4) << suite->cupsd.bitacora().toStdString();
    const RasterLeido r = LeeRaster(trabajos[antes + 2]);
    EXPECT_EQ(r.antes, "\x1b@");
    EXPECT_EQ(r.anchoPuntos, 512);  // a 76 mm roll at 203 dpi
    EXPECT_GT(r.imagen.height(), 400);
    // The total reads 232.00, not a figure a dot or two away.
    const double total = DistanciaATexto(r.imagen, "$ 232.00", FuenteTotal());
    EXPECT_LT(total, 0.15);
    for (const char* otro : {"$ 233.00", "$ 282.00", "$ 232.80", "$ 202.00"})
        EXPECT_LT(total, DistanciaATexto(r.imagen, otro, FuenteTotal()) - 0.03) << otro;
    EXPECT_EQ(r.despues, "\n\n\n\n");  // no cut: the demo branch does not cut
    EXPECT_EQ(trabajos[antes + 3], kPulso);  // the drawer's own job after the picture
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().join("|").toStdString();
}

TEST_F(ImpresoraFormaTest, TheMiniPrinterInvoiceCutsWhenTheBranchCutsAndIsAPageOnADriverQueue)
{
    auto& g = G();
    g.Printer3 = "Caja1";
    g.EspT = 1;
    g.CodigosPTicket = 1;
    g.OpenCDrawer = 1;
    const size_t antes = suite->oyente.espera(0, 0).size();
    ASSERT_TRUE(venta::ImprimeTicket2(5, 5, {}, prompts)) << prompts.messages().join("|").toStdString();
    auto trabajos = suite->oyente.espera(antes + 2);
    ASSERT_EQ(trabajos.size(), antes + 2);
    EXPECT_EQ(LeeRaster(trabajos[antes]).despues, "\n\n\n\n\x1bm");
    EXPECT_EQ(trabajos[antes + 1], "\x1b@" + kPulso);

    g.Printer3 = "Laser";
    ASSERT_TRUE(venta::ImprimeTicket2(5, 5, {}, prompts)) << prompts.messages().join("|").toStdString();
    trabajos = suite->oyente.espera(antes + 4);
    ASSERT_EQ(trabajos.size(), antes + 4) << suite->cupsd.bitacora().toStdString();
    EXPECT_TRUE(trabajos[antes + 2].startsWith("%PDF"));
    EXPECT_EQ(trabajos[antes + 3], "\x1b@" + kPulso);
}
