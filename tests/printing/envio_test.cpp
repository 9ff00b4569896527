// The sending paths and the drawer without a spooler: the port path into a file, the printer
// object through a captured output, and the failures that must print nothing.

#include "avisos.h"
#include "platform/print/codepage850.h"
#include "platform/print/impresoras.h"
#include "platform/print/salida.h"
#include "printing/cajon.h"
#include "printing/envio.h"
#include "printing/impresoraticket.h"
#include "printing/textoticket.h"
#include "shell/estado.h"
#include "ventademo.h"

#include <cups/cups.h>

#include <QFile>

#include <cerrno>
#include <cstring>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray lee(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class EnvioTest : public ::testing::Test {
protected:
    void SetUp() override {
        // no spooler answers here: every queue is "not installed"
        cupsSetServer("127.0.0.1:1");
        ReiniciaEstado();
        EstableceImpresoraActual(QString());
        EstableceSalidaImpresor(nullptr);
        LimpiaTextoTicket();
        ASSERT_TRUE(dir.isValid());
        puerto = dir.filePath(QStringLiteral("lp0"));
        G().CodigosPTicket = 1;
        G().PuertoTicket = puerto;
        G().OpenCDrawer = 1;
    }
    void TearDown() override { EstableceSalidaImpresor(nullptr); }
    QTemporaryDir dir;
    QString puerto;
    AvisosRegistrados avisos;
};

TEST_F(EnvioTest, RutaDePuertoEscribeElTicketEntreCondensados) {
    IniciaPrint();
    AgregaTextoTicket(QStringLiteral("Niño ÑU\n"));
    ASSERT_TRUE(TerminaPrint(avisos)) << avisos.mensajes.join("|").toStdString();
    EXPECT_EQ(lee(puerto), QByteArray("\x0f\x1b@Ni\xa4o \xa5U\n\r\n\x12"));
    // the buffer keeps its text after the send
    EXPECT_EQ(TextoTicket(), QString(QChar(0x1b)) + QStringLiteral("@Niño ÑU\n"));
    EXPECT_TRUE(avisos.mensajes.isEmpty());
}

TEST_F(EnvioTest, PulsosDeCajonSonTrabajosAparteYNoTocanElTicket) {
    G().NTimesCajon = 2;
    AgregaTextoTicket(QStringLiteral("ticket a medio hacer"));
    ASSERT_TRUE(EnviaPulsosdeCajon(avisos));
    const QByteArray pulso("\x0f\x1b@\x1bp0\x19\xfa\r\n\x12");
    EXPECT_EQ(lee(puerto), pulso + pulso);
    EXPECT_EQ(TextoTicket(), QStringLiteral("ticket a medio hacer"));

    // drawer off: nothing sent, one message for all the pulses
    QFile::remove(puerto);
    G().OpenCDrawer = 0;
    G().NTimesCajon = 3;
    EXPECT_FALSE(EnviaPulsosdeCajon(avisos));
    EXPECT_EQ(avisos.mensajes, QStringList{QStringLiteral("pulso cajon desact")});
    EXPECT_FALSE(QFile::exists(puerto));
}

TEST_F(EnvioTest, CajonPorPuertoDirecto) {
    ASSERT_TRUE(AbreCajonPorPuerto(puerto, avisos));
    EXPECT_EQ(lee(puerto), QByteArray("\x1bP1"));
    EXPECT_FALSE(AbreCajonPorPuerto(dir.filePath("no/hay/puerto"), avisos));
    ASSERT_FALSE(avisos.mensajes.isEmpty());
    EXPECT_TRUE(avisos.mensajes.last().contains(QStringLiteral("no/hay/puerto")));
}

TEST_F(EnvioTest, PuertoQueNoAbreAvisaYDevuelveFalso) {
    G().PuertoTicket = dir.filePath(QStringLiteral("falta/lp0:"));
    AgregaTextoTicket(QStringLiteral("X"));
    EXPECT_FALSE(TerminaPrint(avisos));
    ASSERT_EQ(avisos.mensajes.size(), 1);
    EXPECT_TRUE(avisos.mensajes[0].startsWith(QStringLiteral("No se pudo abrir el puerto ")));
    EXPECT_FALSE(avisos.mensajes[0].contains(QStringLiteral("Error al imprimir")));
    // one trailing ':' is dropped before the port is opened
    EXPECT_TRUE(avisos.mensajes[0].contains(dir.filePath(QStringLiteral("falta/lp0")) + ":"));
    EXPECT_FALSE(avisos.mensajes[0].contains(QStringLiteral("lp0::")));

    // an empty port becomes the first parallel port, in the caller's variable too
    G().PuertoTicket.clear();
    avisos.mensajes.clear();
    TerminaPrint(avisos);
    EXPECT_EQ(G().PuertoTicket, QStringLiteral("LPT1:"));
    if (!QFile::exists(QStringLiteral("/dev/lp0"))) {
        ASSERT_EQ(avisos.mensajes.size(), 1);
        EXPECT_TRUE(avisos.mensajes[0].contains(QStringLiteral("/dev/lp0")));
    }
}

TEST_F(EnvioTest, LosErroresDelSistemaSeDicenSoloEnEspanol) {
    G().PuertoTicket = dir.filePath(QStringLiteral("no/hay/lp0"));
    AgregaTextoTicket(QStringLiteral("X"));
    EXPECT_FALSE(TerminaPrint(avisos));
    ASSERT_EQ(avisos.mensajes.size(), 1);
    EXPECT_TRUE(avisos.mensajes[0].endsWith(QStringLiteral(": no existe el dispositivo o no está conectado")))
        << avisos.mensajes[0].toStdString();
    EXPECT_FALSE(avisos.mensajes[0].contains(QString::fromLocal8Bit(std::strerror(ENOENT))));
    EXPECT_TRUE(print::TextoErrorSistema(EACCES).startsWith(QStringLiteral("no tiene permiso")));
    EXPECT_TRUE(print::TextoErrorSistema(EBUSY).startsWith(QStringLiteral("la impresora está ocupada")));
    EXPECT_TRUE(print::TextoErrorSistema(ENXIO).startsWith(QStringLiteral("no existe el dispositivo")));
}

TEST_F(EnvioTest, ImpresoraNoInstaladaNoImprimeNada) {
    G().Printer3 = QStringLiteral("TicketsCaja1");
    IniciaPrint();  // the printer is not found: the old port must not be used
    AgregaTextoTicket(QStringLiteral("X"));
    EXPECT_FALSE(TerminaPrint(avisos));
    ASSERT_EQ(avisos.mensajes.size(), 1);
    EXPECT_TRUE(avisos.mensajes[0].contains(QStringLiteral("\"TicketsCaja1\"")));
    EXPECT_FALSE(QFile::exists(puerto));

    G().PuertoTicket = puerto;  // even with a port left from before
    G().NTimesCajon = 2;
    avisos.mensajes.clear();
    EXPECT_FALSE(ImprimeTicketVenta(ventaDemo(), avisos));
    EXPECT_EQ(avisos.mensajes.size(), 1);
    EXPECT_FALSE(EnviaPulsosdeCajon(avisos));
    EXPECT_FALSE(SoloabreCajon(avisos));
    EXPECT_FALSE(QFile::exists(puerto));
}

TEST_F(EnvioTest, EligeLaRutaComoTerminaPrint) {
    QString recibido;
    int puntos = 0;
    EstableceSalidaImpresor([&](const QString& t, int p) {
        recibido = t;
        puntos = p;
        return print::Resultado{true, {}};
    });
    // no control codes and no spooler method: the printer object, condensed code on its own line
    G().CodigosPTicket = 0;
    IniciaPrint();
    AgregaTextoTicket(QStringLiteral("LINEA\n"));
    ASSERT_TRUE(TerminaPrint(avisos));
    EXPECT_EQ(recibido, QStringLiteral("\x0f\nLINEA\n\n"));
    EXPECT_EQ(puntos, 9);
    EXPECT_FALSE(QFile::exists(puerto));

    // the spooler method comes first, whatever the code set; with no spooler it says so
    G().MetodoImpresion = 1;
    G().CodigosPTicket = 2;
    recibido.clear();
    EXPECT_FALSE(TerminaPrint(avisos));
    EXPECT_EQ(avisos.mensajes.last(),
              QStringLiteral("No hay impresora de tickets ni impresora predeterminada. No se imprimió nada."));
    EXPECT_TRUE(recibido.isEmpty());
    EXPECT_FALSE(QFile::exists(puerto));

    // a failing printer object is reported, not taken for a printed ticket
    G().MetodoImpresion = 0;
    G().CodigosPTicket = 0;
    EstableceSalidaImpresor([](const QString&, int) {
        return print::Resultado{false, QStringLiteral("sin papel")};
    });
    EXPECT_FALSE(TerminaPrint(avisos));
    // the reason alone: never the printout's text
    EXPECT_EQ(avisos.mensajes.last(), QStringLiteral("sin papel"));
}

TEST(Puertos, NombresViejosYUris) {
    EXPECT_EQ(print::RutaDePuerto("LPT1"), QStringLiteral("/dev/lp0"));
    EXPECT_EQ(print::RutaDePuerto("COM2:"), QStringLiteral("/dev/ttyS1"));
    EXPECT_EQ(print::RutaDePuerto("lpt3"), QStringLiteral("/dev/lp2"));
    EXPECT_EQ(print::RutaDePuerto("serial:/dev/ttyUSB0?baud=9600"), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(print::RutaDePuerto("file:/tmp/t.prn"), QStringLiteral("/tmp/t.prn"));
    EXPECT_EQ(print::RutaDePuerto("/dev/usb/lp0"), QStringLiteral("/dev/usb/lp0"));
}

}  // namespace
