// Invoices and quotations printed on a CUPS queue: a cupsd of the test's own with a raw queue
// whose device is a socket the test listens on, so the job's bytes (the PDF Qt sends) come back.

#include "fixture.h"
#include "pdftext.h"

#include "../printing/cupsd.h"
#include "printing/reporte.h"
#include "sale/impresion_factura.h"
#include "shell/estado.h"

#include <QFile>

using namespace venta;

namespace {

class ReportCups : public DataFolderTest {
protected:
    static void SetUpTestSuite() {
        cupsd = new CupsdPrueba;
        oyente = new OyenteSocket;
        QString razon;
        if (!cupsd->inicia(&razon)) {
            if (razon.startsWith(QStringLiteral("cupsd is not installed")))
                omision = razon;
            else
                falla = razon;
            return;
        }
        qputenv("CUPS_SERVER", cupsd->servidor().toUtf8());
        QString error;
        if (!cupsd->agregaColaCruda("Laser", QStringLiteral("socket://127.0.0.1:%1").arg(oyente->puerto()),
                                    &error))
            falla = error;
    }
    static void TearDownTestSuite() {
        delete oyente;
        delete cupsd;
        oyente = nullptr;
        cupsd = nullptr;
    }
    void SetUp() override {
        if (!omision.isEmpty())
            GTEST_SKIP() << omision.toStdString();
        ASSERT_TRUE(falla.isEmpty()) << falla.toStdString();
        DataFolderTest::SetUp();
    }
    // Text of the job the printer got.
    QString trabajo(size_t n) {
        const auto recibidos = oyente->espera(n);
        if (recibidos.size() < n)
            return "sin trabajo: " + cupsd->bitacora();
        const QByteArray bytes = recibidos[n - 1];
        if (!bytes.startsWith("%PDF"))
            return "no es PDF";
        QFile f(pdf("trabajo.pdf"));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        f.close();
        return reporttest::squeezed(reporttest::pdfText(f.fileName()));
    }

    static inline CupsdPrueba* cupsd = nullptr;
    static inline OyenteSocket* oyente = nullptr;
    static inline QString omision, falla;
};

const std::vector<DataFolderTest::Linea> kLineas{{"7501000000011", 2, 38.50, 0, true}};

}  // namespace

TEST_F(ReportCups, InvoiceGoesToTheBranchReportPrinterAndQuotationToANamedOne) {
    guardaDocumento(21, "F", "PAPE9105127X3", "2026-12-09", 0, kLineas);
    guardaDocumento(22, "C", "XAXX010101000", "2026-12-09", 0, kLineas);
    G().Printer1 = "Laser";
    G().PrefijoFact = "B";
    const size_t antes = oyente->espera(0, 0).size();

    DestinoImpresion d;
    d.destino = report::Destination::Printer;  // no name: the branch's Printer1
    ASSERT_TRUE(ImprimeTicket(21, 21, d, prompts)) << prompts.lastMessage().toStdString();
    const QString fa = trabajo(antes + 1);
    EXPECT_TRUE(fa.contains("No. B000021")) << fa.toStdString();
    EXPECT_TRUE(fa.contains("PAPELERIA EL ESTUDIANTE"));
    EXPECT_TRUE(fa.contains("Total $ 77.00"));

    d.impresora = "Laser";
    ASSERT_TRUE(ImprimeCotizacion(22, "0", d, prompts)) << prompts.lastMessage().toStdString();
    const QString co = trabajo(antes + 2);
    EXPECT_TRUE(co.contains("No. 000022")) << co.toStdString();
    EXPECT_TRUE(co.contains("VENTA GLOBAL"));

    d.impresora = "NoInstalada";
    EXPECT_FALSE(ImprimeCotizacion(22, "0", d, prompts));
    EXPECT_EQ(prompts.lastMessage(), "No se encontro la impresora: NoInstalada");
}
