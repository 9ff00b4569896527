// The printer set-up's test prints and the printer-choice dialog, through a cupsd of the test's own:
// the ESC/POS sample to a port file, the test ticket by port, printer object and spooler with the
// program's own settings untouched, and the dialog's list, choice and cancel.

#include "avisos.h"
#include "cupsd.h"
#include "platform/print/codepage850.h"
#include "printing/envio.h"
#include "printing/forms/frmSelectPrinter.h"
#include "printing/impresoraticket.h"
#include "printing/juegocodigos.h"
#include "printing/pruebaimpresion.h"
#include "printing/textoticket.h"
#include "ventademo.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <cups/cups.h>

#include <gtest/gtest.h>

namespace {

QByteArray lee(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QDateTime kAhora(QDate(2026, 12, 9), QTime(14, 5, 0));

class PruebasTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        suite = new CupsdSuite({{"TicketsCaja", "socket://127.0.0.1:{oyente}"},
                                {"TicketsPuerto", "file:{carpeta}/puerto.prn"}});
    }
    static void TearDownTestSuite() { delete suite; }
    static QString archivoPuerto() { return suite->ruta("puerto.prn"); }

    void SetUp() override {
        if (!suite->omision.isEmpty()) GTEST_SKIP() << suite->omision.toStdString();
        ASSERT_TRUE(suite->listo) << suite->error.toStdString();
        sucursalDemo();
        QFile::remove(archivoPuerto());
        EstableceSalidaImpresor(nullptr);
        // The running program's settings, which no test print may change.
        G().CodigosPTicket = 3;
        G().OpenCDrawer = 0;
        G().PuertoImpresora = "LPT2:";
        G().PuertoTicket = "COM1:";
        EstableceImpresoraActual("Otra");
    }
    void TearDown() override { EstableceSalidaImpresor(nullptr); }
    void SinCambios() {
        EXPECT_EQ(G().CodigosPTicket, 3);
        EXPECT_EQ(G().OpenCDrawer, 0);
        EXPECT_EQ(G().PuertoImpresora, "LPT2:");
        EXPECT_EQ(G().PuertoTicket, "COM1:");
        EXPECT_EQ(ImpresoraActual(), "Otra");
    }
    // The fixed lines after the centred block.
    static QString Cola() {
        return "F9999999\nGRACIAS POR SU COMPRA\n \nFecha    : 09/12/2026 14:05:00\n \n"
               "PARAMETROS ESTA ES UNA PRUEBA PARA VER SI LO ALINEA\n";
    }

    static inline CupsdSuite* suite = nullptr;
    AvisosRegistrados avisos;
    QTemporaryDir dir;
};

}  // namespace

TEST(MuestraEscPosTest, TheThirteenLinesByteForByte) {
    const QByteArray esperado =
        "\x1b\x40\r\n\x1b\x61\x01\r\n\x1b\x21" + QByteArray(1, '\0') + "\r\nJanuary 14, 2002 15:00\r\n"
        "\x1b\x64\x03\r\n\x1b\x61" + QByteArray(1, '\0') + "\r\n\x1b\x21\x01\r\nTM-U210B $20.00\n\r\n"
        "TM-U210D $21.00\n\r\n\n\r\n\x1b\x21\x11\r\n\x1b\x21" + QByteArray(1, '\0') + "\r\n"
        "\x1d\x56\x42" + QByteArray(1, '\0') + "\r\n";
    EXPECT_EQ(MuestraEscPos(), esperado);
}

TEST_F(PruebasTest, SampleGoesToThePortFileAndAPortThatCannotOpenIsNamed) {
    const QString puerto = dir.filePath("lpt.prn");
    ASSERT_TRUE(ImprimeMuestraEscPos("TicketsCaja", puerto, avisos));
    EXPECT_EQ(lee(puerto), MuestraEscPos());
    EXPECT_EQ(ImpresoraActual(), "TicketsCaja");
    EXPECT_TRUE(avisos.mensajes.isEmpty());

    for (const QString& mal : {QStringLiteral("lpt9:"), QString(), dir.path()}) {
        avisos.mensajes.clear();
        EXPECT_FALSE(ImprimeMuestraEscPos("TicketsCaja", mal, avisos)) << mal.toStdString();
        ASSERT_EQ(avisos.mensajes.size(), 1) << mal.toStdString();
        if (!mal.isEmpty()) {
            EXPECT_TRUE(avisos.mensajes.first().contains(mal)) << avisos.mensajes.first().toStdString();
        }
    }
}

TEST_F(PruebasTest, TestTicketByPortWithCodeSet1StartsWithInitAndDrawerAndLeavesTheProgramAsItWas) {
    PruebaTicket p{"TicketsPuerto", 1, 0, true};
    ASSERT_TRUE(ImprimePruebaTicket(p, avisos, kAhora)) << avisos.mensajes.join("|").toStdString();
    EXPECT_TRUE(avisos.mensajes.isEmpty());
    SinCambios();
    JuegoCodigos c;
    ConjuntoPara(1).carga(c);
    // The pulse first, as a job of its own by the same port, then the ticket.
    const QByteArray pulso = "\x0f" + print::aCp850(c.CodInicio + c.CodCajon) + "\r\n\x12";
    QString texto = c.CodInicio;
    for (const char* l : {"ABARROTES LA ESPAÑOLA", "RFC:CPE010203AB4", "SUCURSAL CENTRO",
                          "Av. Juárez 12[ENTER]Col. Centro", "Tels:555-0101"})
        texto += ConjuntoPara(1).centra(c, QString::fromUtf8(l)) + "\n";
    texto += Cola();
    const QByteArray bytes = lee(archivoPuerto());
    EXPECT_EQ(bytes, pulso + "\x0f" + print::aCp850(texto) + "\r\n\x12");
    EXPECT_FALSE(bytes.contains(print::aCp850(c.CodCorte.isEmpty() ? "\x1dV" : c.CodCorte)));
}

TEST_F(PruebasTest, TestTicketWithCodeSet0IsCentredWithBlanksAndARawQueueGetsItAsText) {
    QString dibujado;
    EstableceSalidaImpresor([&](const QString& t, int) {
        dibujado = t;
        return print::Resultado{true, {}};
    });
    // The printer object's way on a queue without a driver: the text as bytes, no page.
    PruebaTicket p{"TicketsCaja", 0, 0, false};
    const size_t antes = suite->oyente.espera(0, 0).size();
    ASSERT_TRUE(ImprimePruebaTicket(p, avisos, kAhora));
    EXPECT_EQ(avisos.mensajes, QStringList{"pulso cajon desact"});
    SinCambios();
    const auto trabajos = suite->oyente.espera(antes + 1);
    ASSERT_EQ(trabajos.size(), antes + 1);
    EXPECT_TRUE(dibujado.isEmpty());
    EXPECT_TRUE(trabajos[antes].contains("\n       RFC:CPE010203AB4\n"));
    EXPECT_TRUE(trabajos[antes].endsWith(print::aCp850(Cola())));

    // No printer named: no initialise or drawer code, the default printer.
    p.impresora.clear();
    avisos.mensajes.clear();
    ASSERT_TRUE(ImprimePruebaTicket(p, avisos, kAhora));
    EXPECT_TRUE(avisos.mensajes.isEmpty());
    EXPECT_TRUE(dibujado.startsWith(QString(QChar(0x0f)) + "\n     ABARROTES LA ESPAÑOLA\n"));
    SinCambios();
}

TEST_F(PruebasTest, TestTicketThroughTheSpoolerAndAPrinterNotInstalled) {
    PruebaTicket p{"TicketsCaja", 1, 1, true};
    const size_t antes = suite->oyente.espera(0, 0).size();
    ASSERT_TRUE(ImprimePruebaTicket(p, avisos, kAhora)) << avisos.mensajes.join("|").toStdString();
    const auto trabajos = suite->oyente.espera(antes + 2);
    ASSERT_EQ(trabajos.size(), antes + 2);
    JuegoCodigos c;
    ConjuntoPara(1).carga(c);
    EXPECT_EQ(trabajos[antes], print::aCp850(c.CodInicio + c.CodCajon));
    EXPECT_TRUE(trabajos[antes + 1].startsWith(print::aCp850(c.CodInicio)));
    EXPECT_FALSE(trabajos[antes + 1].contains(print::aCp850(c.CodCajon)));
    EXPECT_TRUE(trabajos[antes + 1].endsWith(print::aCp850(Cola())));
    SinCambios();

    p.impresora = "No Existe Ñ";
    EXPECT_FALSE(ImprimePruebaTicket(p, avisos, kAhora));
    EXPECT_TRUE(avisos.mensajes.last().contains("No Existe Ñ"));
    SinCambios();
}

TEST_F(PruebasTest, DialogListsTheQueuesChoosesOneAndReturnsTheNameAsEdited) {
    QString elegido = "sin respuesta";
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<frmSelectPrinter*>(QApplication::activeModalWidget());
        if (!d) return;
        QStringList colas;
        for (int i = 0; i < d->CboImpresoras->count(); ++i) colas << d->CboImpresoras->itemText(i);
        EXPECT_EQ(colas, (QStringList{"TicketsCaja", "TicketsPuerto"}));
        EXPECT_EQ(d->Text2->text(), "lpt1:");
        d->CboImpresoras->setFocus();
        QTest::keyClick(d->CboImpresoras, Qt::Key_Down);
        QTest::keyClick(d->CboImpresoras, Qt::Key_Down);
        EXPECT_EQ(d->capNombre->text(), "TicketsPuerto");
        EXPECT_EQ(d->capPuerto->text(), "file:" + archivoPuerto());
        EXPECT_FALSE(d->capDriver->text().isEmpty());
        EXPECT_EQ(ImpresoraActual(), "TicketsPuerto");
        d->capNombre->setFocus();
        d->capNombre->selectAll();
        QTest::keyClicks(d->capNombre, "Mi Impresora Ñ");
        QTest::mouseClick(d->cmdSelect, Qt::LeftButton);
    });
    elegido = frmSelectPrinter::Elige(nullptr, &avisos);
    EXPECT_EQ(elegido, "Mi Impresora Ñ");
    EXPECT_EQ(G().ImpresoraElegida, "Mi Impresora Ñ");

    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<frmSelectPrinter*>(QApplication::activeModalWidget()))
            QTest::mouseClick(d->Command1, Qt::LeftButton);
    });
    EXPECT_EQ(frmSelectPrinter::Elige(nullptr, &avisos), "");
    EXPECT_TRUE(avisos.mensajes.isEmpty());
}

TEST_F(PruebasTest, DialogWithTheSpoolerOutOfReachSaysSoOnceAndListsNothing) {
    const QByteArray lejos = QStringLiteral("127.0.0.1:%1").arg(PuertoLibre()).toUtf8();
    cupsSetServer(lejos.constData());
    {
        frmSelectPrinter d(nullptr, &avisos);
        EXPECT_EQ(d.CboImpresoras->count(), 0);
        EXPECT_EQ(avisos.mensajes.size(), 1);
    }
    cupsSetServer(suite->cupsd.servidor().toUtf8().constData());
}

TEST_F(PruebasTest, TestTicketWithCodeSet0ThroughTheSpoolerHasNoControlCodesBeforeTheText) {
    PruebaTicket p{"TicketsCaja", 0, 1, false};
    const size_t antes = suite->oyente.espera(0, 0).size();
    ASSERT_TRUE(ImprimePruebaTicket(p, avisos, kAhora));
    const auto trabajos = suite->oyente.espera(antes + 1);
    ASSERT_EQ(trabajos.size(), antes + 1);
    EXPECT_TRUE(trabajos[antes].startsWith(print::aCp850("     ABARROTES LA ESPAÑOLA\n")));
    EXPECT_TRUE(trabajos[antes].endsWith(print::aCp850(Cola())));
    SinCambios();
}
