#include "fixture.h"

#include "../report/pdftext.h"
#include "apps/setup/datasetup.h"
#include "folio_server/monitor.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <thread>

using namespace tarvex;

class FacturaTest : public ServidorTest {
protected:
    void SetUp() override {
        ServidorTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(bd->exec("UPDATE Parametros SET PrefijoFact = 'A'"));
        monitor = std::make_unique<Monitor>(rutaDireccion(), prompts);
        DestinoFactura d;
        d.destino = report::Destination::Pdf;
        d.carpetaPdf = tmp.path();
        monitor->setDestino(d);
        ASSERT_EQ(monitor->IniciaMonitor(), Arranque::Listo) << prompts.lastMessage().toStdString();
    }
    std::unique_ptr<Monitor> monitor;
};

TEST_F(FacturaTest, QueuedInvoicePrintsThroughTheReportTemplate) {
    guardaFactura(7, "GOMA800101AB1");
    encola(4, 7);
    EXPECT_EQ(monitor->Tick(), Paso::Atendida) << prompts.lastMessage().toStdString();
    const QString pdf = tmp.filePath("Factura-A000007.pdf");
    ASSERT_TRUE(QFileInfo::exists(pdf));
    const QString t = reporttest::squeezed(reporttest::pdfText(pdf));
    for (const char* s : {"A000007", "09/12/2026", "MARIA GONZALEZ MARTINEZ", "GOMA800101AB1",
                          "Total $ 116.00"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(s))) << s << "\n" << t.toStdString();
    EXPECT_TRUE(cola().empty());
}

TEST_F(FacturaTest, NamedValuesOfTheInvoice) {
    db::Row r({"Cliente", "NombreC", "Fecha", "Direccion", "Colonia", "Ciudad", "Estado"},
              {"GOMA800101AB1", "MARIA O'HARA", "2026-12-09 10:30:00", "AV. JUAREZ 5", "CENTRO",
               "GUADALAJARA", QVariant()});
    report::Formulas f = FormulasFactura(r, "A", 1234567);
    EXPECT_EQ(f.text(0), "NumFactura='A1234567'");
    EXPECT_EQ(f.text(1), "FechaFactura=Date(2026,12,09)");
    EXPECT_EQ(f.value("NombreCliente").toString(), "MARIA O'HARA");
    EXPECT_EQ(f.text(3), "DirCliente='AV. JUAREZ 5'");
    EXPECT_EQ(f.text(4), "ColCiudadCliente='CENTRO,GUADALAJARA,'");
    EXPECT_EQ(f.text(6), "DesglosaIVA=1");
    EXPECT_EQ(f.count(), 7);

    // A short key, no key or the counter-sale key: a counter sale without the tax apart.
    for (const QString& clave : {QString("ABC12345678"), QString(), QString("XAXX010101000")}) {
        db::Row c({"Cliente", "NombreC"}, {clave, "ALGUIEN"});
        f = FormulasFactura(c, "", 5);
        EXPECT_EQ(f.text(0), "NumFactura='000005'");
        EXPECT_EQ(f.text(2), "NombreCliente='VENTA DE MOSTRADOR'") << clave.toStdString();
        EXPECT_EQ(f.text(6), "DesglosaIVA=0");
    }
}

TEST_F(FacturaTest, AMissingTemplateIsAFailedPrintAndKeepsTheRequest) {
    guardaFactura(3);
    encola(4, 3);
    ASSERT_TRUE(QFile::remove(data + "/Reports/Factura.html"));
    prompts.pushAnswer(ui::Answer::Cancel);
    EXPECT_EQ(monitor->Tick(), Paso::FallaImpresion);
    EXPECT_TRUE(prompts.asked().back().text.startsWith(
        "Error I01. No se pudo imprimir la factura. No se encontro el archivo: "))
        << prompts.asked().back().text.toStdString();
    EXPECT_EQ(cola().size(), 1u);
    EXPECT_FALSE(monitor->ServicioActivo());
}

TEST_F(FacturaTest, ATerminalHoldingTheFileDelaysThePrintWithoutFailingIt) {
    guardaFactura(5);
    encola(4, 5);
    const QString ruta = bd->path();
    std::atomic<bool> tomado{false}, listo{false};
    std::thread terminal([&] {
        struct Avisa {
            std::atomic<bool>& b;
            ~Avisa() { b = true; }
        } avisa{listo};
        db::OpenOptions o;
        o.password = datasetup::claveArchivos();
        o.attachLinks = false;
        o.createViews = false;
        auto otra = db::Database::open(ruta, o);
        if (!otra || !otra->exec("BEGIN EXCLUSIVE")) return;
        tomado = true;
        listo = true;
        QThread::msleep(400);
        otra->exec("COMMIT");
    });
    while (!listo) QThread::msleep(5);
    if (!tomado) terminal.join();
    ASSERT_TRUE(tomado);
    // The tick waits for the terminal instead of reporting a failed print.
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    terminal.join();
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_TRUE(cola().empty());
}
