// The sale ticket, byte for byte: layouts, code sets, payments, discounts. The expected bytes of
// whole tickets are kept in data/; PRINTING_REGENERA=1 rewrites them (check them before keeping).

#include "platform/print/codepage850.h"
#include "ventademo.h"
#include "avisos.h"
#include "printing/textoticket.h"
#include "printing/ticketventa.h"
#include "shell/estado.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString ESC = QString(QChar(0x1b));

QByteArray construye(const DatosTicketVenta& d, int juego) {
    G().CodigosPTicket = juego;
    EstableceCodigosPTicket(juego);
    LimpiaTextoTicket();
    ConstruyeTicketVenta(d);
    return print::aCp850(TextoTicket());
}

void comparaConArchivo(const QByteArray& bytes, const QString& nombre) {
    const QString ruta = QDir(QStringLiteral(PRINTING_TEST_DATA)).filePath(nombre);
    QFile f(ruta);
    if (qEnvironmentVariableIsSet("PRINTING_REGENERA")) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return;
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << ruta.toStdString();
    const QByteArray esperado = f.readAll();
    EXPECT_EQ(bytes, esperado) << "got:\n" << bytes.toStdString() << "\nexpected:\n" << esperado.toStdString();
}

QStringList lineas(const QString& t) { return t.split(QLatin1Char('\n')); }

class TicketVentaTest : public ::testing::Test {
protected:
    void SetUp() override { sucursalDemo(); }
};

TEST_F(TicketVentaTest, TicketsCompletosByteAByte) {
    DatosTicketVenta d = ventaDemo();
    comparaConArchivo(construye(d, 0), QStringLiteral("venta_juego0_estandar.bin"));

    // three payment slots, one of them empty, and a general discount
    d = ventaDemoTresPagos();
    comparaConArchivo(construye(d, 1), QStringLiteral("venta_juego1_estandar_pagos.bin"));

    G().PagosMultiples = 2;
    G().ImporteRecibido = QStringLiteral("110");
    G().Formatoticket = 1;
    G().EspT = 0;
    d.DescFact = 0;
    comparaConArchivo(construye(d, 3), QStringLiteral("venta_juego3_compacto.bin"));
}

TEST_F(TicketVentaTest, LineasDeProductoSinCodigos) {
    DatosTicketVenta d = ventaDemo();
    d.lineas.resize(2);
    d.lineas[1].Importe = 40;
    d.lineas[1].PrecioUnit = 20;
    d.lineas[1].CExtra3 = 2;
    d.lineas[1].Descuento = 10;
    construye(d, 0);
    const QStringList l = lineas(TextoTicket());
    const int i = int(l.indexOf(QString(4, ' ') + QString(23, '-')));
    ASSERT_GE(i, 0) << TextoTicket().toStdString();
    // code and name right-aligned with their line feed, then the amounts ending at column 32
    EXPECT_EQ(l[i + 1], QStringLiteral("   7501000111 Café soluble 200g"));
    EXPECT_EQ(l[i + 2], QString(15, ' ') + QStringLiteral("2 x 20.00 = 40.00"));
    EXPECT_EQ(l[i + 4], QString(8, ' ') + QStringLiteral("(2 x 20.00) -10% = 36.00"));
    // the unit count follows the 24 hyphens on the same line
    // the centring blanks of the hyphen line come before its leading line feed
    EXPECT_EQ(l[i + 5], QString(3, ' '));
    EXPECT_EQ(l[i + 6], QString(24, '-') + QStringLiteral("(4)PIEZAS "));
    EXPECT_EQ(l[i + 7], QStringLiteral("TOTAL   =  76.00 M.N."));
    EXPECT_EQ(l[i + 8], QStringLiteral("PAGO CON= 500.00 M.N."));
    EXPECT_EQ(l[i + 9], QStringLiteral("CLIENTE:PÚBLICO EN GENERAL"));
}

TEST_F(TicketVentaTest, EncabezadoConDireccionEnDosLineas) {
    DatosTicketVenta d = ventaDemo();
    construye(d, 1);
    const QString t = TextoTicket();
    EXPECT_TRUE(t.startsWith(ESC + "@\n" + ESC + "a0ABARROTES LA ESPAÑOLA\n"));
    EXPECT_TRUE(t.contains(ESC + "a0Av. Juárez 12\nCol. Centro\nGRACIAS POR SU COMPRA\n" + ESC +
                           "a0TEL:555-0101\nF57\nFECHA    : 09/12/2026 02:05:00 PM 02:07:30 PM\n"));
    // the cut closes the ticket after five line feeds
    EXPECT_TRUE(t.endsWith(QStringLiteral("\n\n\n\n\n") + ESC + "m"));

    G().EspT = 0;
    construye(d, 1);
    EXPECT_TRUE(TextoTicket().endsWith(QStringLiteral("VUELVA PRONTO\n\n\n\n\n\n")));

    // The stored line marker of the header and footer texts prints as a line break, never as itself.
    G().EncTicket = QStringLiteral("GRACIAS[ENTER]POR SU COMPRA");
    G().PieTicket = QStringLiteral("GRACIAS POR SU COMPRA[ENTER]CONSERVE SU TICKET");
    construye(d, 0);
    EXPECT_FALSE(TextoTicket().contains(QStringLiteral("[ENTER]"))) << TextoTicket().toStdString();
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("\nGRACIAS\nPOR SU COMPRA\n")));
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("GRACIAS POR SU COMPRA\nCONSERVE SU TICKET\n\n")));
}

TEST_F(TicketVentaTest, SucursalFueraDeRangoNoDetieneElTicket) {
    G().SucursalActual = 12;
    construye(ventaDemo(), 0);
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("\nTEL:\nF57\n")));
}

// TOTAL is what was charged, and the change is figured on it; a short payment gives no change.
TEST_F(TicketVentaTest, TotalGuardadoYCambio) {
    DatosTicketVenta d = ventaDemo();  // its lines add up to 73.99
    G().PagosMultiples = 2;
    G().ImporteRecibido = QStringLiteral("100");
    d.Total = 74.005;  // the stored total, a sub-cent value rounded half away from zero
    construye(d, 0);
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("\nTOTAL   =  74.01 M.N.\n"))) << TextoTicket().toStdString();
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("\nCAMBIO  = 25.99 M.N.\n")));

    G().ImporteRecibido = QStringLiteral("70");
    construye(d, 0);
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("PAGO CON= 70.00 M.N.")));
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("\nCAMBIO  = 0.00 M.N.\n"))) << TextoTicket().toStdString();

    // several payments that fall short of the total
    G().PagosMultiples = 1;
    d.Total = 73.99;
    d.pagos[0] = {1, 50, QStringLiteral("EFECTIVO")};
    d.pagos[1] = {2, 23.98, QStringLiteral("TARJETA")};
    construye(d, 0);
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("\nTOTAL   =  73.99 M.N.\n")));
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("\nCAMBIO  = 0.00 M.N.\n"))) << TextoTicket().toStdString();
    d.pagos[1].importe = 24;
    construye(d, 0);
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("\nCAMBIO  = 0.01 M.N.\n"))) << TextoTicket().toStdString();
}

}  // namespace
