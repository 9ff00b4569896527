// Invoices and quotations printed on a CUPS queue: a cupsd of the test's own with a raw queue
// whose device is a socket the test listens on, so the job's bytes (the PDF Qt sends) come back.

#include "fixture.h"
#include "pdftext.h"

#include "../printing/cupsd.h"
#include "platform/report/preview.h"
#include "printing/reporte.h"
#include "printing/reportes_existencias.h"
#include "sale/impresion_factura.h"
#include "shell/estado.h"

#include <QApplication>
#include <QFile>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

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
        // A laser printer renders pages: a queue with a driver.
        if (!cupsd->agregaColaConDriver("Laser", QStringLiteral("socket://127.0.0.1:%1").arg(oyente->puerto()),
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
    EXPECT_EQ(prompts.lastMessage(), "No se encontró la impresora: NoInstalada");
}

namespace {

// The stock report over `n` made-up products, to the window or to the branch's report printer.
printing::SolicitudReporte existencias(int n) {
    printing::SolicitudReporte s;
    s.archivo = "existencias.html";
    s.sql = QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "SELECT 'C' || i AS CodigodeBarras, 'PRODUCTO ' || i AS Descripcion, 'PZA' AS Unidad, "
                    "i AS Existencia FROM n")
                .arg(n);
    s.datos = [](const db::Rows& filas, QVariantMap& d) { d.insert(printing::DatosExistencias(filas)); };
    return s;
}

report::Preview* vistaAbierta() {
    const auto vistas = report::openPreviews();
    return vistas.isEmpty() ? nullptr : qobject_cast<report::Preview*>(vistas.back());
}

}  // namespace

TEST_F(ReportCups, PreviewPrintDialogOpensOnTheBranchReportPrinterElseTheDefault) {
    G().Printer2 = "Laser";
    ASSERT_EQ(printing::CorreReporte(existencias(3), prompts), printing::ResultadoReporte::Hecho);
    report::Preview* v = vistaAbierta();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->printer()->printerName(), "Laser");
    v->close();

    // Not a queue of this machine: the system's default, never merely the first queue.
    G().Printer2 = "LPT1:";
    ASSERT_EQ(printing::CorreReporte(existencias(3), prompts), printing::ResultadoReporte::Hecho);
    v = vistaAbierta();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->printer()->printerName(), QPrinterInfo::defaultPrinterName());
    v->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ReportCups, StoppedReportSendsNoJobToThePrinter) {
    const size_t antes = oyente->espera(0, 0).size();
    printing::SolicitudReporte s = existencias(20000);
    s.destino = report::Destination::Printer;
    s.impresora = "Laser";
    {
        reporttest::EscOnProgress esc;
        EXPECT_EQ(printing::CorreReporte(s, prompts), printing::ResultadoReporte::Cancelado);
    }
    EXPECT_EQ(oyente->espera(antes + 1, 3000).size(), antes) << "a job reached the printer";

    // Left to finish, the same report is one job, painted in parts.
    s = existencias(300);
    s.destino = report::Destination::Printer;
    s.impresora = "Laser";
    report::setPaintInPartsFrom(2);
    ASSERT_EQ(printing::CorreReporte(s, prompts), printing::ResultadoReporte::Hecho) << prompts.lastMessage().toStdString();
    report::setPaintInPartsFrom(24);
    const QString t = trabajo(antes + 1);
    for (const char* line : {"PRODUCTO 1 ", "PRODUCTO 150 ", "PRODUCTO 300"})
        EXPECT_TRUE(t.contains(line)) << line << ": " << t.toStdString();
}
