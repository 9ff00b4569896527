// Real printing through a cupsd of the test's own: a raw queue whose device is a socket the test
// listens on, and a queue whose device is a file, for the port path.

#include "avisos.h"
#include "cupsd.h"
#include "platform/print/codepage850.h"
#include "platform/print/impresoras.h"
#include "printing/cajon.h"
#include "printing/envio.h"
#include "printing/impresoraticket.h"
#include "printing/textoticket.h"
#include "ventademo.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QByteArray leeArchivo(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray esperado(const char* nombre) {
    return leeArchivo(QDir(QStringLiteral(PRINTING_TEST_DATA)).filePath(QLatin1String(nombre)));
}

class CupsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cupsd = new CupsdPrueba;
        oyente = new OyenteSocket;
        QString razon;
        if (!cupsd->inicia(&razon)) {
            // only a missing cupsd skips; a daemon that does not start is a failure
            if (razon.startsWith(QStringLiteral("cupsd is not installed"))) razonOmision = razon;
            else errorInicio = razon;
            return;
        }
        QString error;
        listo = cupsd->agregaColaCruda(QStringLiteral("TicketsCaja"),
                                       QStringLiteral("socket://127.0.0.1:%1").arg(oyente->puerto()), &error) &&
                cupsd->agregaColaCruda(QStringLiteral("TicketsPuerto"),
                                       QStringLiteral("file:") + archivoPuerto(), &error) &&
                cupsd->agregaColaConDriver(QStringLiteral("Paginas"),
                                           QStringLiteral("socket://127.0.0.1:%1").arg(oyente->puerto()), &error);
        if (!listo) errorInicio = error;
    }
    static void TearDownTestSuite() {
        delete oyente;
        delete cupsd;
    }
    static QString archivoPuerto() { return QDir(cupsd->carpeta()).filePath(QStringLiteral("puerto.prn")); }

    void SetUp() override {
        if (!razonOmision.isEmpty()) GTEST_SKIP() << razonOmision.toStdString();
        ASSERT_TRUE(listo) << errorInicio.toStdString();
        sucursalDemo();
        EstableceImpresoraActual(QString());
        EstableceSalidaImpresor(nullptr);
    }

    static inline CupsdPrueba* cupsd = nullptr;
    static inline OyenteSocket* oyente = nullptr;
    static inline bool listo = false;
    static inline QString razonOmision;
    static inline QString errorInicio;
    AvisosRegistrados avisos;
};

TEST_F(CupsTest, ListaDeColas) {
    QString error;
    const auto cola = print::BuscaImpresora(QStringLiteral("TicketsCaja"), &error);
    ASSERT_TRUE(cola) << error.toStdString();
    EXPECT_EQ(cola->dispositivo, QStringLiteral("socket://127.0.0.1:%1").arg(oyente->puerto()));
    EXPECT_FALSE(print::BuscaImpresora(QStringLiteral("ticketscaja")));  // exact name only

    QString puerto = QStringLiteral("antes"), driver = QStringLiteral("antes");
    EXPECT_FALSE(ObtenerDatosImpresora(QStringLiteral("NoExiste"), puerto, driver));
    EXPECT_EQ(puerto, QStringLiteral("antes"));
    ASSERT_TRUE(ObtenerDatosImpresora(QStringLiteral("TicketsPuerto"), puerto, driver));
    EXPECT_EQ(puerto, QStringLiteral("file:") + archivoPuerto());
    EXPECT_EQ(ImpresoraActual(), QStringLiteral("TicketsPuerto"));

    DestinoReporte reporte{QStringLiteral("Laser"), {}, {}};
    EstableceImpresoraReporte(reporte, QString());
    EXPECT_EQ(reporte.impresora, QStringLiteral("Laser"));
    EstableceImpresoraReporte(reporte, QStringLiteral("TicketsCaja"));
    EXPECT_EQ(reporte.impresora, QStringLiteral("TicketsCaja"));
    EXPECT_TRUE(reporte.puerto.startsWith(QStringLiteral("socket://")));
}

TEST_F(CupsTest, TicketYCajonPorElPuertoDeLaCola) {
    QFile::remove(archivoPuerto());
    const DatosTicketVenta d = ventaDemoTresPagos();
    EstadoGlobal& g = G();
    g.Printer3 = QStringLiteral("TicketsPuerto");
    g.MetodoImpresion = 0;
    g.CodigosPTicket = 1;
    g.OpenCDrawer = 1;
    g.NTimesCajon = 1;
    ASSERT_TRUE(ImprimeTicketVenta(d, avisos)) << avisos.mensajes.join("|").toStdString();
    const QByteArray pulso("\x0f\x1b@\x1bp0\x19\xfa\r\n\x12");
    const QByteArray ticket = QByteArray("\x0f") + esperado("venta_juego1_estandar_pagos.bin") + "\r\n\x12";
    EXPECT_EQ(leeArchivo(archivoPuerto()), pulso + ticket);

    QFile::remove(archivoPuerto());
    g.MetodoImpresion = 1;  // the straight drawer pulse always takes the port
    ASSERT_TRUE(SoloabreCajon(avisos));
    EXPECT_EQ(leeArchivo(archivoPuerto()), pulso);
}

TEST_F(CupsTest, ImpresoraFaltanteNoUsaLaAnterior) {
    EstadoGlobal& g = G();
    ASSERT_TRUE(SeleccionaImpresora(QStringLiteral("TicketsCaja")));
    g.Printer3 = QStringLiteral("NoInstalada");
    g.MetodoImpresion = 1;
    g.CodigosPTicket = 1;
    const size_t antes = oyente->espera(0, 0).size();
    LimpiaTextoTicket();
    IniciaPrint();
    AgregaTextoTicket(QStringLiteral("NO DEBE SALIR"));
    EXPECT_FALSE(TerminaPrint(avisos));
    ASSERT_EQ(avisos.mensajes.size(), 1);
    EXPECT_TRUE(avisos.mensajes[0].contains(QStringLiteral("NoInstalada")));
    QThread::msleep(1000);
    EXPECT_EQ(oyente->espera(0, 0).size(), antes);
}

// The shipped defaults: code set 0, "0. Normal", the drawer on.
void valoresDeFabrica(const QString& impresora) {
    EstadoGlobal& g = G();
    g.Printer3 = impresora;
    g.MetodoImpresion = 0;
    g.CodigosPTicket = 0;
    g.OpenCDrawer = 1;
    g.NTimesCajon = 1;
}

const QByteArray kPulso("\x1bp0\x19\xfa");

// The drawer pulse is raw bytes on both kinds of queue; the ticket is raw text on a queue without a
// driver and a drawn page only on a queue with one.
TEST_F(CupsTest, ConLosValoresDeFabricaElPulsoVaComoBytesYElTicketSegunLaCola) {
    for (const char* cola : {"TicketsCaja", "Paginas"}) {
        valoresDeFabrica(QString::fromLatin1(cola));
        const size_t antes = oyente->espera(0, 0).size();
        ASSERT_TRUE(ImprimeTicketVenta(ventaDemo(), avisos)) << avisos.mensajes.join("|").toStdString();
        const auto trabajos = oyente->espera(antes + 2);
        ASSERT_EQ(trabajos.size(), antes + 2) << cola << cupsd->bitacora().toStdString();
        EXPECT_EQ(trabajos[antes], kPulso) << cola;
        if (G().Printer3 == "TicketsCaja") EXPECT_EQ(trabajos[antes + 1], esperado("venta_juego0_estandar.bin"));
        else EXPECT_TRUE(trabajos[antes + 1].startsWith("%PDF"));
    }
}

TEST_F(CupsTest, UnPuertoQueEsUnaUriVaPorElServicioDeImpresion) {
    valoresDeFabrica(QStringLiteral("TicketsCaja"));
    G().CodigosPTicket = 1;  // the port path, whose port is the queue's socket:// device
    const size_t antes = oyente->espera(0, 0).size();
    LimpiaTextoTicket();
    IniciaPrint();
    ASSERT_TRUE(G().PuertoTicket.startsWith(QStringLiteral("socket://")));
    AgregaTextoTicket(QStringLiteral("PRUEBA\n"));
    ASSERT_TRUE(TerminaPrint(avisos)) << avisos.mensajes.join("|").toStdString();
    EXPECT_TRUE(SoloabreCajon(avisos)) << avisos.mensajes.join("|").toStdString();
    const auto trabajos = oyente->espera(antes + 2);
    ASSERT_EQ(trabajos.size(), antes + 2) << cupsd->bitacora().toStdString();
    EXPECT_EQ(trabajos[antes], QByteArray("\x0f\x1b@PRUEBA\n\r\n\x12"));
    EXPECT_EQ(trabajos[antes + 1], "\x0f\x1b@" + kPulso + "\r\n\x12");
}

}  // namespace
