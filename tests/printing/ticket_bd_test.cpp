// A sale saved in a branch file prints, read back through the branch's saved query, byte for byte
// through the port, the printer object and the spooler.

#include "apps/setup/datasetup.h"
#include "avisos.h"
#include "cupsd.h"
#include "platform/print/codepage850.h"
#include "printing/envio.h"
#include "printing/impresoraticket.h"
#include "printing/textoticket.h"
#include "printing/ticketventa.h"
#include "shell/conexion.h"
#include "ventademo.h"

#include <cups/cups.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray leeArchivo(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The bytes ConstruyeTicketVenta gives for the same sale held in memory.
QByteArray ticketEnMemoria(int juego) {
    const QString recibido = G().ImporteRecibido;
    G().CodigosPTicket = juego;
    EstableceCodigosPTicket(juego);
    LimpiaTextoTicket();
    ConstruyeTicketVenta(ventaDemoTresPagos());
    G().ImporteRecibido = recibido;
    return print::aCp850(TextoTicket());
}

class TicketGuardadoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        carpeta = new QTemporaryDir;
        datasetup::Options o;
        o.dataFolder = carpeta->filePath(QStringLiteral("datos"));
        QString error;
        preparado = datasetup::createDataFolder(o, &error);
        if (!preparado) errorPreparacion = error;
    }
    static void TearDownTestSuite() {
        shell::CierraConexiones();
        delete carpeta;
    }

    void SetUp() override {
        ASSERT_TRUE(preparado) << errorPreparacion.toStdString();
        sucursalDemo();
        (void)ventaDemoTresPagos();  // PagosMultiples as the saved sale needs
        EstadoGlobal& g = G();
        g.CarpetaDatos = carpeta->filePath(QStringLiteral("datos"));
        g.DescripcionC[1] = QStringLiteral("Matriz");
        g.OpenCDrawer = 1;
        g.NTimesCajon = 1;
        cupsSetServer("127.0.0.1:1");
        EstableceImpresoraActual(QString());
        EstableceSalidaImpresor(nullptr);
        EstableceRelojTicket([] { return ventaDemo().impreso; });
        shell::CierraConexiones();
        db::Error e;
        bd = shell::BDSucursal(&e);
        ASSERT_NE(bd, nullptr) << e.message.toStdString();
        guardaVenta();
    }
    void TearDown() override {
        EstableceRelojTicket(nullptr);
        EstableceSalidaImpresor(nullptr);
    }

    void ejecuta(const QString& sql, const QVariantList& v = {}) {
        db::Error e;
        ASSERT_TRUE(bd->exec(sql, v, &e)) << sql.toStdString() << ": " << e.message.toStdString();
    }

    // The demo sale, saved the way the sale screen saves a ticket.
    void guardaVenta() {
        ejecuta("DELETE FROM DetalleVenta");
        ejecuta("DELETE FROM Venta");
        ejecuta("INSERT OR REPLACE INTO Cliente (RFC, Nombre) VALUES ('XAXX010101000', ?)",
                {QStringLiteral("PÚBLICO EN GENERAL")});
        const DatosTicketVenta d = ventaDemoTresPagos();
        qint64 clave = 900;
        for (const LineaTicketVenta& l : d.lineas) {
            ++clave;
            ejecuta("INSERT OR REPLACE INTO Producto (ClaveProducto, CodigodeBarras, Nombre, Descripcion) "
                    "VALUES (?, ?, ?, ?)",
                    {clave, l.CodigodeBarras, l.Nombre, l.CodigodeBarras == "VARIOS" ? QString() : l.CExtra1});
            ejecuta("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, "
                    "Descuento, Descripcion2) VALUES (57, 'T', ?, ?, ?, ?, ?)",
                    {clave, l.CExtra3, l.PrecioUnit, l.Descuento, l.CExtra4.mid(8)});
        }
        ejecuta("INSERT INTO Venta (Numero, Tipo, Cliente, Fecha, Total, Descuento, FormaPago, Pagacon, "
                "FormaPago2, Pagacon2, FormaPago3, Pagacon3) "
                "VALUES (57, 'T', 'XAXX010101000', ?, 66.60, ?, 1, 50, 0, 0, 4, 60)",  // 73.9989 less 10 %, to the cent
                {d.Fecha, d.DescFact});
        // an invoice with the same number must not lend its payments to the ticket
        ejecuta("INSERT INTO Venta (Numero, Tipo, Fecha, Total, FormaPago, Pagacon) "
                "VALUES (57, 'F', ?, 10, 2, 999)", {d.Fecha});
    }

    static inline QTemporaryDir* carpeta = nullptr;
    static inline bool preparado = false;
    static inline QString errorPreparacion;
    db::Database* bd = nullptr;
    AvisosRegistrados avisos;
};

TEST_F(TicketGuardadoTest, PorElPuertoConElCajonAntes) {
    const QString puerto = carpeta->filePath(QStringLiteral("lp0"));
    QFile::remove(puerto);
    G().CodigosPTicket = 1;
    G().PuertoTicket = puerto;
    // the payment name missing from the loaded list comes from the catalogue
    G().NombresFormaPago[4].clear();
    ejecuta("UPDATE Formasdepago SET Descripcion = ? WHERE TPago = 4", {QStringLiteral("NOTA DE CRÉDITO")});
    bool identificado = false;
    ASSERT_TRUE(ImprimeTicketMan(57, avisos, &identificado)) << avisos.mensajes.join("|").toStdString();
    EXPECT_TRUE(identificado);  // 13 characters
    EXPECT_EQ(G().ImporteRecibido, QStringLiteral("110"));
    G().NombresFormaPago[4] = QStringLiteral("NOTA DE CRÉDITO");
    const QByteArray pulso("\x0f\x1b@\x1bp0\x19\xfa\r\n\x12");
    EXPECT_EQ(leeArchivo(puerto), pulso + "\x0f" + ticketEnMemoria(1) + "\r\n\x12");
}

TEST_F(TicketGuardadoTest, PorElObjetoImpresor) {
    QString pagina;
    EstableceSalidaImpresor([&](const QString& t, int) {
        pagina = t;
        return print::Resultado{true, {}};
    });
    G().CodigosPTicket = 0;
    G().OpenCDrawer = 0;  // one message, and the ticket still prints
    ASSERT_TRUE(ImprimeTicketMan(57, avisos));
    EXPECT_EQ(avisos.mensajes, QStringList{QStringLiteral("pulso cajon desact")});
    EXPECT_EQ(print::aCp850(pagina), QByteArray("\x0f\n") + ticketEnMemoria(0) + "\n");
}

TEST_F(TicketGuardadoTest, NumeroSinTicketNoImprimeNiAbreElCajon) {
    const QString puerto = carpeta->filePath(QStringLiteral("lp1"));
    G().CodigosPTicket = 1;
    G().PuertoTicket = puerto;
    EXPECT_FALSE(ImprimeTicketMan(58, avisos));
    EXPECT_EQ(avisos.mensajes, QStringList{QStringLiteral("No se encontró datos del ticket 58")});
    EXPECT_FALSE(QFile::exists(puerto));
    // Reprinted from the menu, the failure is that one message, not a second one after it.
    avisos.mensajes.clear();
    EXPECT_FALSE(ImprimeTicketAvisando(58, avisos, false));
    EXPECT_EQ(avisos.mensajes, QStringList{QStringLiteral("No se encontró datos del ticket 58")});
    EXPECT_FALSE(QFile::exists(puerto));
}

TEST_F(TicketGuardadoTest, PorElSpooler) {
    CupsdPrueba cupsd;
    OyenteSocket oyente;
    QString razon;
    if (!cupsd.inicia(&razon)) {
        if (razon.startsWith(QStringLiteral("cupsd is not installed"))) GTEST_SKIP() << razon.toStdString();
        FAIL() << razon.toStdString();
    }
    QString error;
    ASSERT_TRUE(cupsd.agregaColaCruda(QStringLiteral("Tickets"),
                                      QStringLiteral("socket://127.0.0.1:%1").arg(oyente.puerto()), &error))
        << error.toStdString();
    G().Printer3 = QStringLiteral("Tickets");
    G().MetodoImpresion = 1;
    G().CodigosPTicket = 3;
    ASSERT_TRUE(ImprimeTicketMan(57, avisos)) << avisos.mensajes.join("|").toStdString();
    const auto trabajos = oyente.espera(2);
    ASSERT_EQ(trabajos.size(), 2u) << cupsd.bitacora().toStdString();
    EXPECT_EQ(trabajos[0], QByteArray("\x1b@\x1bp0\x19\xfa"));
    EXPECT_EQ(trabajos[1], ticketEnMemoria(3));
    EXPECT_EQ(G().PuertoImpresora, QStringLiteral("socket://127.0.0.1:%1").arg(oyente.puerto()));
}

}  // namespace
