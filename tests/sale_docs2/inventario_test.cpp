#include "fixture.h"

#include "printing/envio.h"
#include "printing/textoticket.h"
#include "sale/inventario_es.h"
#include "shell/estado.h"

namespace {

class Inventario : public Docs2Test {
protected:
    void SetUp() override {
        Docs2Test::SetUp();
        EstableceSalidaImpresor([this](const QString& texto, int) {
            impreso << texto;
            return print::Resultado{true, {}};
        });
    }
    void TearDown() override {
        EstableceSalidaImpresor(nullptr);
        Docs2Test::TearDown();
    }
    venta::DatosESInv datos(std::vector<qint64> lineas, int signo = 1) {
        venta::DatosESInv d;
        d.lineas = std::move(lineas);
        d.signo = signo;
        d.TextoES = QStringLiteral("Descripcion.");
        d.SucursalActual = 1;
        d.Usuario = 1;
        return d;
    }
    double precio(qint64 c) {
        return valor(QStringLiteral("SELECT PrecioUnit FROM Producto WHERE ClaveProducto = ?"), {c}).toDouble();
    }
    double costo(qint64 c) {
        return valor(QStringLiteral("SELECT PrecioCosto FROM Producto WHERE ClaveProducto = ?"), {c}).toDouble();
    }
    QStringList impreso;
};

TEST_F(Inventario, EntryMovesStockStoresLinesAndUpdatesPrices) {
    const double precioAntes = precio(clave(1));
    const qint64 a = linea(clave(0), 5, 7.25, QStringLiteral("$1,250.50")), b = linea(clave(1), 2.5, 3);
    const qint64 otra = linea(clave(2), 1, 1);  // another screen's line
    auto d = datos({a, b});
    d.TextoES = QString(160, QLatin1Char('x'));
    const qint64 n = venta::GuardatodoESInv(bd(), d, prompts, espera);
    ASSERT_EQ(n, 1) << prompts.messages().join('|').toStdString();
    EXPECT_EQ(folio(2), 1);
    EXPECT_EQ(existencia(clave(0)), 105);
    EXPECT_EQ(existencia(clave(1)), 102.5);
    EXPECT_EQ(precio(clave(0)), 1250.5);
    EXPECT_EQ(costo(clave(0)), 7.25);
    EXPECT_EQ(precio(clave(1)), precioAntes);  // no price in the observation: only the cost
    EXPECT_EQ(costo(clave(1)), 3);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT group_concat(OrdenCap, '') FROM DEInventario WHERE Numero = 1")), 12);
    EXPECT_EQ(valor(QStringLiteral("SELECT length(Descripcion) FROM EInventario WHERE Numero = 1")).toInt(), 150);
    // Saved lines are gone with the save, so no later failure leaves them pending.
    EXPECT_EQ(quedan({a, b}), 0);
    EXPECT_EQ(quedan({otra}), 1);
    // The voucher printed the whole description.
    ASSERT_EQ(impreso.size(), 1);
    EXPECT_TRUE(impreso[0].contains(QString(160, QLatin1Char('x'))));
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("La Entrada/Salida a inventario se realizó con éxito."));
}

TEST_F(Inventario, TransferExitLowersStockButKeepsTheCapturedQuantity) {
    const qint64 a = linea(clave(0), 4, 7);
    auto d = datos({a}, -1);
    d.imprimir = false;
    d.SucursalTraspaso = 3;
    ASSERT_EQ(venta::GuardatodoESInv(bd(), d, prompts, espera), 1);
    EXPECT_EQ(existencia(clave(0)), 96);
    EXPECT_EQ(valor(QStringLiteral("SELECT Cantidad FROM DEInventario WHERE Numero = 1")).toDouble(), 4);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM EInventario WHERE Traspaso = 3 AND sucDestino = 3 AND sucOrigen = 1")), 1);
    EXPECT_TRUE(impreso.isEmpty());
}

TEST_F(Inventario, HeaderFailureUndoesStockLinesPricesAndFolio) {
    const double precioAntes = precio(clave(0)), costoAntes = costo(clave(0));
    const qint64 a = linea(clave(0), 5, 7.25, QStringLiteral("99"));
    fallaAlInsertar(QStringLiteral("EInventario"));
    EXPECT_EQ(venta::GuardatodoESInv(bd(), datos({a}), prompts, espera), -1);
    EXPECT_EQ(folio(2), 0);
    EXPECT_EQ(existencia(clave(0)), 100);
    EXPECT_EQ(precio(clave(0)), precioAntes);
    EXPECT_EQ(costo(clave(0)), costoAntes);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DEInventario")), 0);
    EXPECT_EQ(quedan({a}), 1);
    EXPECT_TRUE(impreso.isEmpty());
    EXPECT_TRUE(prompts.messages().contains(QString::fromUtf8(
        "Ocurrió un error al obtener folio para la E/S de inventario, intentelo de nuevo.")));
}

TEST(InventarioComprobante, VoucherBytesWithoutControlCodes) {
    ReiniciaEstado();
    EstadoGlobal& g = G();
    g.NombreEmp = QStringLiteral("MI NEGOCIO");
    g.RFCEmpresa = QStringLiteral("XAXX010101000");
    g.SucursalActual = 1;
    g.DescripcionSuc[1] = QStringLiteral("MATRIZ");
    g.DireccionSuc[1] = QStringLiteral("AV. JUAREZ 12");
    venta::ConstruyeCompESInv(7, QDateTime(QDate(2026, 12, 9), QTime(14, 5, 0)), QStringLiteral("Compra semanal"),
                              {{2.5, QStringLiteral("LAPIZ"), QStringLiteral("LAPIZ HB")},
                               {3, QStringLiteral("GOMA"), QStringLiteral("GOMA BLANCA")}});
    const QString esperado = QStringLiteral(
        "          MI NEGOCIO\n"
        "       RFC:XAXX010101000\n"
        "            MATRIZ\n"
        "        AV. JUAREZ 12\n\n"
        "COMPROBANTE E/S DE INVENTARIO\n"
        "Num: 7 09/12/2026 14:05:00\n"
        "-----------------------\n"
        "Compra semanal\n"
        "-----------------------\n"
        "(2.5)LAPIZ LAPIZ HB\n"
        "(3)GOMA GOMA BLANCA\n"
        " 5 Productos.\n\n\n"
        "-----------------------\n"
        "FIRMA.\n\n\n"
        "\n");
    EXPECT_EQ(TextoTicket(), esperado);
    ReiniciaEstado();
}

}  // namespace
