#include "fixture.h"

#include "apps/setup/datasetup.h"
#include "printing/envio.h"
#include "shell/avisos.h"
#include "sale/recuperacion.h"
#include "shell/estado.h"
#include "shell/utilidades_menu.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using shell::ResultadoReimpresion;

class Utilidades : public Docs2Test {
protected:
    ::testing::AssertionResult CreaCarpetaApp(const QString& app) {
        datasetup::Options o;
        o.appFolder = app;
        o.schemaDir = QStringLiteral(DOCS2_SCHEMA_DIR);
        QString error;
        if (datasetup::createAppFolder(o, &error)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << error.toStdString();
    }
};

TEST_F(Utilidades, ReprintsASavedTicketAndInvoice) {
    ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente, Total, Descuento, Fecha, "
                                         "Pagacon, FormaPago) VALUES (21, 'T', 'XAXX010101000', 20, 0, "
                                         "'2026-12-09 10:00:00', 20, 1), (5, 'F', 'XAXX010101000', 20, 0, "
                                         "'2026-12-09 10:00:00', 20, 1)")));
    for (const char* t : {"T", "F"})
        ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                                             "PrecioUnit) VALUES (?, ?, ?, 2, 10)"),
                              {QString::fromLatin1(t) == QLatin1String("T") ? 21 : 5, QString::fromLatin1(t), clave(0)}));

    QStringList impreso;
    EstableceSalidaImpresor([&](const QString& texto, int) {
        impreso << texto;
        return print::Resultado{true, {}};
    });
    venta::DestinoImpresion pdf;
    pdf.destino = report::Destination::Pdf;
    pdf.archivoPdf = tmp.filePath(QStringLiteral("f5.pdf"));
    venta::InstalaReimpresion(pdf);

    // A number without its letter would print ticket 5 of "15": refused, as is a bare letter.
    for (const char* malo : {"15", "F", "F-2"}) {
        prompts.pushInput(QString::fromUtf8(malo));
        EXPECT_EQ(shell::RFactura_Click(prompts), ResultadoReimpresion::NoValido) << malo;
    }
    EXPECT_TRUE(impreso.isEmpty());
    prompts.pushInput(QStringLiteral("t21"));
    EXPECT_EQ(shell::RFactura_Click(prompts), ResultadoReimpresion::Ticket) << prompts.messages().join('|').toStdString();
    ASSERT_EQ(impreso.size(), 1);
    EXPECT_TRUE(impreso[0].contains(QStringLiteral("21")));
    EXPECT_TRUE(impreso[0].contains(QStringLiteral("2 x 10.00 = 20.00"))) << impreso[0].toStdString();

    prompts.pushInput(QStringLiteral("F5"));
    EXPECT_EQ(shell::RFactura_Click(prompts), ResultadoReimpresion::Factura) << prompts.messages().join('|').toStdString();
    EXPECT_GT(QFileInfo(pdf.archivoPdf).size(), 0);

    // With the print server on, the invoice becomes a request and the ticket still prints here.
    G().UsarServidorImp = 1;
    prompts.pushInput(QStringLiteral("F5"));
    EXPECT_EQ(shell::RFactura_Click(prompts), ResultadoReimpresion::Solicitada);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM Solicitafolios WHERE FolioSolicita = 4 AND valordev = 5")), 1);
    prompts.pushInput(QStringLiteral("T21"));
    EXPECT_EQ(shell::RFactura_Click(prompts), ResultadoReimpresion::Ticket);
    EXPECT_EQ(impreso.size(), 2);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM Solicitafolios WHERE FolioSolicita = 6")), 0);
    EstableceSalidaImpresor(nullptr);
    shell::EstableceReimpresion({});
}

TEST_F(Utilidades, FolioSetByHand) {
    prompts.pushInput(QStringLiteral("0"));
    EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::Actualizado);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El valor del folio quedo actualizado a 0"));
    for (const char* malo : {"-3", "abc"}) {
        prompts.pushInput(QString::fromUtf8(malo));
        EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::NoValido) << malo;
        EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("El valor que tecleó para el folio no es válido."));
    }
    EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::Cancelado);  // no answer: cancel
    prompts.pushInput(QStringLiteral("120"));
    EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::Actualizado);
    EXPECT_EQ(folio(1), 120);
    EXPECT_EQ(folio(8), 0);
    G().FacturaE = true;
    prompts.pushInput(QStringLiteral("30"));
    EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::Actualizado);
    EXPECT_EQ(folio(8), 30);

    // Below the highest invoice of its kind the counter would change nothing: refused, and said so.
    ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente, Total) VALUES "
                                         "(50, 'E', 'XAXX010101000', 1), (400, 'F', 'XAXX010101000', 1)")));
    prompts.pushInput(QStringLiteral("49"));
    EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::MenorQueGuardado);
    EXPECT_EQ(folio(8), 30);
    EXPECT_TRUE(prompts.lastMessage().contains(QStringLiteral(" 50,"))) << prompts.lastMessage().toStdString();
    EXPECT_TRUE(prompts.lastMessage().contains(QStringLiteral("51"))) << prompts.lastMessage().toStdString();
    prompts.pushInput(QStringLiteral("50"));  // equal: the next one is 51 either way
    EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::Actualizado);
    EXPECT_EQ(folio(8), 50);
    G().FacturaE = false;
    prompts.pushInput(QStringLiteral("399"));
    EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::MenorQueGuardado);
    EXPECT_EQ(folio(1), 120);
    prompts.pushInput(QStringLiteral("2147483647"));
    EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::Actualizado);
    EXPECT_EQ(folio(1), 2147483647);

    G().DescripcionC[1] = QStringLiteral("NoExiste");
    EXPECT_EQ(shell::EFolioF(prompts, espera), shell::ResultadoFolio::SinSucursal);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No se encontraron los archivos de datos para la sucursal."));
}

TEST_F(Utilidades, PdfNameMustBeAPlainExistingFile) {
    G().CarpetaPDF = tmp.filePath(QStringLiteral("pdfs"));
    ASSERT_TRUE(QDir().mkpath(G().CarpetaPDF));
    QFile f(G().CarpetaPDF + QStringLiteral("/CFDI123.pdf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QFile fuera(tmp.filePath(QStringLiteral("secreto.pdf")));
    ASSERT_TRUE(fuera.open(QIODevice::WriteOnly));
    fuera.close();

    QStringList abiertos;
    auto abre = [&](const QString& ruta) { abiertos << ruta; return true; };
    for (const char* malo : {"*.pdf", "/../../secreto.pdf", "..\\secreto.pdf", "124.pdf"}) {
        prompts.pushInput(QString::fromUtf8(malo));
        EXPECT_EQ(shell::openFactE(prompts, abre), QString()) << malo;
    }
    EXPECT_EQ(prompts.messages().size(), 4);
    EXPECT_EQ(shell::openFactE(prompts, abre), QString());  // cancelled: nothing, no message
    EXPECT_EQ(prompts.messages().size(), 4);
    prompts.pushInput(QStringLiteral("123.pdf"));
    EXPECT_EQ(shell::openFactE(prompts, abre), G().CarpetaPDF + QStringLiteral("/CFDI123.pdf"));
    EXPECT_EQ(abiertos.size(), 1);
}

}  // namespace

namespace {

TEST_F(Utilidades, DataFolderMovedOnlyWhenConfirmed) {
    const QString app = tmp.filePath(QStringLiteral("app"));
    ASSERT_TRUE(CreaCarpetaApp(app));
    auto direccion = [&] {
        auto bd = db::Database::open(app + QStringLiteral("/Direccion.db"));
        return bd ? bd->scalar(QStringLiteral("SELECT Direccion FROM Dir"))->toString() : QString();
    };
    const QString antes = direccion();
    auto elige = [&](const QString&) { return data + QStringLiteral("/"); };

    EXPECT_FALSE(shell::CambiaDireccion(prompts, [](const QString&) { return QString(); }, app));
    prompts.pushAnswer(ui::Answer::No);
    EXPECT_FALSE(shell::CambiaDireccion(prompts, elige, app));
    EXPECT_EQ(direccion(), antes);
    EXPECT_FALSE(shell::ProgramaTerminado());

    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(shell::CambiaDireccion(prompts, elige, app));
    EXPECT_EQ(direccion(), data);
    EXPECT_EQ(G().CarpetaDatos, data);
    EXPECT_TRUE(shell::ProgramaTerminado());
    EXPECT_TRUE(prompts.lastMessage().startsWith(QString::fromUtf8("El cambio de carpeta de datos quedó hecho")));
    shell::ReiniciaAvisos();
}

// A folder that is no data folder is refused before the question and before anything is written:
// Dir keeps the folder it had, so the next start does not go to the recovery.
TEST_F(Utilidades, AFolderWithoutTheDataFilesIsRefusedBeforeAnythingIsWritten) {
    const QString app = tmp.filePath(QStringLiteral("app"));
    ASSERT_TRUE(CreaCarpetaApp(app));
    auto direccion = [&] {
        auto bd = db::Database::open(app + QStringLiteral("/Direccion.db"));
        return bd ? bd->scalar(QStringLiteral("SELECT Direccion FROM Dir"))->toString() : QString();
    };
    const QString antes = direccion();
    const QString vacia = tmp.filePath(QStringLiteral("vacia"));
    ASSERT_TRUE(QDir().mkpath(vacia));
    const QString sinBase = tmp.filePath(QStringLiteral("sin base"));
    ASSERT_TRUE(QDir().mkpath(sinBase + QStringLiteral("/Base de datos")));
    ASSERT_TRUE(central().exec(QStringLiteral("DELETE FROM Empresa")));

    struct Caso {
        QString carpeta;
        const char* motivo;
    };
    const Caso casos[] = {
        {vacia, "no es una carpeta de datos"},
        {sinBase + QStringLiteral("/"), "no es una carpeta de datos"},
        {tmp.filePath(QStringLiteral("no existe")), "no es una carpeta de datos"},
        {data, "no tiene los datos de la empresa"},
    };
    for (const Caso& c : casos) {
        prompts.clear();
        prompts.pushAnswer(ui::Answer::Yes);  // never asked
        EXPECT_FALSE(shell::CambiaDireccion(prompts, [&](const QString&) { return c.carpeta; }, app))
            << c.carpeta.toStdString();
        for (const auto& a : prompts.asked())
            EXPECT_NE(a.kind, ui::ScriptedPrompts::Asked::Question) << a.text.toStdString();
        ASSERT_EQ(prompts.messages().size(), 1) << c.carpeta.toStdString();
        EXPECT_TRUE(prompts.lastMessage().contains(QString::fromUtf8(c.motivo)) &&
                    prompts.lastMessage().endsWith(QString::fromUtf8("No se cambió la carpeta de datos.")))
            << prompts.lastMessage().toStdString();
        EXPECT_EQ(direccion(), antes);
        EXPECT_FALSE(shell::ProgramaTerminado());
    }
    shell::ReiniciaAvisos();
}

}  // namespace
