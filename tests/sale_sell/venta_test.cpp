// The sell command on a real branch file: the split into invoices, folios, stock, credit notes used
// as payment, print requests, and what a failed save leaves behind.

#include "entorno.h"
#include "platform/report/report.h"

#include <QPrintPreviewDialog>
#include "sale/cierre_ticket.h"
#include "sale/venta_factura.h"
#include "shell/estado.h"
#include "shell/sucursal.h"


#include <QFile>

#include <gtest/gtest.h>

using namespace venta;
using vendetest::Entorno;

namespace {

class VentaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e.ok()) << e.error().toStdString();
        e.Reinicia();
        acciones.prompts = &prompts;
        acciones.imprimeFactura = [this](qint64 n) {
            impresas.push_back(n);
            return true;
        };
        acciones.espera.timeoutMs = 2000;
    }
    // `n` lines, cycling through the demo products, quantity 1 each.
    std::vector<qint64> Lineas(int n)
    {
        const auto claves = e.Claves();
        std::vector<qint64> ids;
        for (int i = 0; i < n; ++i)
            ids.push_back(e.Linea(claves[static_cast<size_t>(i) % claves.size()], 1));
        return ids;
    }
    // The payment dialog takes credit note 7 for 20 and the rest in cash.
    void PagaConNota7()
    {
        G().PagosMultiples = 1;
        acciones.dialogoPago = [] {
            EstadoGlobal& g = G();
            g.FormaPagoSel[1] = 4, g.ImportesPago[1] = 20, g.ReferenciasPago[1] = "7";
            g.FormaPagoSel[2] = 1, g.ImportesPago[2] = 5000;
            g.PagoAceptado = 1;
            return true;
        };
    }

    Entorno& e = Entorno::Comun();
    ui::ScriptedPrompts prompts;
    AccionesCierre acciones;
    std::vector<qint64> impresas;
};

}  // namespace

TEST(VentanasFacturaTest, WindowsOfRegxFacturaLines)
{
    using V = std::vector<std::pair<int, int>>;
    EXPECT_EQ(VentanasFactura(0, 10), V{});
    EXPECT_EQ(VentanasFactura(1, 10), (V{{0, 0}}));
    EXPECT_EQ(VentanasFactura(10, 10), (V{{0, 9}}));
    EXPECT_EQ(VentanasFactura(25, 10), (V{{0, 9}, {10, 19}, {20, 24}}));
    EXPECT_EQ(VentanasFactura(25, 0), (V{{0, 24}}));
    EXPECT_EQ(VentanasFactura(3, 1), (V{{0, 0}, {1, 1}, {2, 2}}));
}

TEST_F(VentaTest, SplitSaleTakesConsecutiveFoliosWithTheirOwnTotals)
{
    G().RegxFactura = 10;
    G().UsarServidorImp = 1;
    G().ImportesPago[1] = 999;  // left by the sale before
    e.Ejecuta("UPDATE Folios SET ValorFolio = 41 WHERE Numerofolio = 1");
    const auto ids = Lineas(25);
    const VentaEnPantalla v = e.Venta(ids);
    const ResultadoCierre r = VendeFactura(e.bd(), v, 4, acciones);
    ASSERT_TRUE(r.guardado) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(r.numeros, (std::vector<qint64>{42, 43, 44}));
    EXPECT_EQ(r.letra, QStringLiteral("F"));
    EXPECT_EQ(e.Cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1"), 44);

    double suma = 0;
    for (int k = 0; k < 3; ++k) {
        const qint64 numero = 42 + k;
        const int esperadas = k < 2 ? 10 : 5;
        EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = ? AND TipoDocto = 'F'", {numero}),
                  esperadas);
        const std::vector<LineaTotal> ventana(v.totales.begin() + 10 * k,
                                              v.totales.begin() + 10 * k + esperadas);
        const double total = e.Valor("SELECT Total FROM Venta WHERE Numero = ? AND Tipo = 'F'", {numero}).toDouble();
        EXPECT_NEAR(total, CalculaTotal(ventana, 0, 0, 0).total, 0.001) << numero;
        suma += total;
    }
    EXPECT_NEAR(suma, v.totalVenta, 0.005);
    // Lines fall into the invoice of their window, in screen order.
    EXPECT_EQ(e.Cuenta("SELECT Numero FROM DetalleVenta WHERE IdLinea = ?", {ids[9]}), 42);
    EXPECT_EQ(e.Cuenta("SELECT Numero FROM DetalleVenta WHERE IdLinea = ?", {ids[10]}), 43);
    // Without the dialog, payment 1 is the whole sale in form 1, stored once: each invoice carries
    // its own share.
    EXPECT_NEAR(e.Valor("SELECT Pagacon FROM Venta WHERE Numero = 44").toDouble(),
                e.Valor("SELECT Total FROM Venta WHERE Numero = 44").toDouble(), 0.001);
    EXPECT_NEAR(e.Valor("SELECT SUM(Pagacon) FROM Venta WHERE Tipo = 'F' AND FormaPago = 1").toDouble(), v.totalVenta,
                0.005);
    // Queued, not printed here: one request and one message per invoice.
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Solicitafolios WHERE FolioSolicita = 4"), 3);
    EXPECT_TRUE(impresas.empty());
    EXPECT_EQ(prompts.messages(),
              (QStringList{"El docto 42 se imprimira en el servidor de impresión.",
                           "El docto 43 se imprimira en el servidor de impresión.",
                           "El Docto 44 se imprimira en el servidor de impresión."}));

    // Stock went down once per line (25 lines over the catalogue).
    const auto claves = e.Claves();
    int veces = 0;
    for (int i = 0; i < 25; ++i)
        veces += static_cast<size_t>(i) % claves.size() == 0 ? 1 : 0;
    EXPECT_DOUBLE_EQ(e.Existencia(claves[0]), e.ExistenciaInicial(claves[0]) - veces);
    // A server that cannot be started is told to the counter after the queued invoice.
    const QString servidor = qEnvironmentVariable("QUORVEL_HOME") + QStringLiteral("/Plovix/tarvex");
    const QString aparte = servidor + QStringLiteral(".aparte");
    ASSERT_TRUE(QFile::rename(servidor, aparte));
    shell::OlvidaServidoresIniciados();
    prompts.clear();
    ASSERT_TRUE(VendeFactura(e.bd(), e.Venta(Lineas(1)), 4, acciones).guardado);
    EXPECT_TRUE(QFile::rename(aparte, servidor));
    const QStringList m = prompts.messages();
    ASSERT_EQ(m.size(), 2) << m.join("|").toStdString();
    EXPECT_EQ(m[0], QStringLiteral("El Docto 45 se imprimira en el servidor de impresión."));
    EXPECT_EQ(m[1], QStringLiteral("No se pudo iniciar el servidor de impresión: no está el programa ") + servidor
                        + QStringLiteral(". Lo que se mande a imprimir en el servidor quedará en espera hasta que se inicie."));
}

TEST_F(VentaTest, ExactlyRegxFacturaLinesIsOneInvoiceAndElectronicTakesItsOwnCounter)
{
    G().RegxFactura = 10;
    G().UsarServidorImp = 1;
    ResultadoCierre r = VendeFactura(e.bd(), e.Venta(Lineas(10)), 7, acciones);
    ASSERT_TRUE(r.guardado);
    EXPECT_EQ(r.numeros, std::vector<qint64>{1});
    EXPECT_EQ(r.letra, QStringLiteral("E"));
    EXPECT_EQ(e.Cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 8"), 1);
    EXPECT_EQ(e.Cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1"), 0);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Solicitafolios WHERE FolioSolicita = 7 AND valordev = 1"), 1);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE TipoDocto = 'E' AND Numero = 1"), 10);

    // Printed here when the server is off.
    G().UsarServidorImp = 0;
    G().RegxFactura = 1;
    r = VendeFactura(e.bd(), e.Venta(Lineas(3)), 4, acciones);
    ASSERT_TRUE(r.guardado);
    EXPECT_EQ(impresas, (std::vector<qint64>{1, 2, 3}));
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Solicitafolios WHERE FolioSolicita = 4"), 0);

    // Without the server the electronic invoice opens itself, not a paper invoice of its number.
    acciones.imprimeFactura = nullptr;
    prompts.clear();
    ASSERT_TRUE(e.bd().exec("UPDATE Folios SET ValorFolio = 9 WHERE Numerofolio = 8"));  // no F 10 exists
    r = VendeFactura(e.bd(), e.Venta(Lineas(1)), 7, acciones);
    ASSERT_TRUE(r.guardado);
    EXPECT_EQ(r.numeros, std::vector<qint64>{10});
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().join("|").toStdString();
    const auto vistas = report::openPreviews();
    EXPECT_EQ(vistas.size(), 1);
    qDeleteAll(vistas);
}

TEST_F(VentaTest, ChecksBeforeAnythingIsStored)
{
    auto ids = Lineas(2);
    VentaEnPantalla v = e.Venta(ids);

    G().PermisosUsuario[52] = false;
    EXPECT_FALSE(VendeFactura(e.bd(), v, 4, acciones).guardado);
    EXPECT_TRUE(prompts.asked().empty());  // silent
    G().PermisosUsuario[52] = true;

    // The dialog closed without accepting.
    G().PagosMultiples = 1;
    acciones.dialogoPago = [] { return false; };
    EXPECT_FALSE(VendeFactura(e.bd(), v, 4, acciones).guardado);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta"), 0);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 0"), 2);

    v.ids.clear();
    EXPECT_FALSE(VendeFactura(e.bd(), v, 4, acciones).guardado);
    EXPECT_EQ(prompts.asked().back().icon, ui::Icon::Critical);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No hay ningún producto en la lista."));
}

TEST_F(VentaTest, CancelledFolioWaitLeavesLinesStockAndNotesUntouched)
{
    e.NotaCredito(7, 20);
    const auto ids = Lineas(3);
    const VentaEnPantalla v = e.Venta(ids);
    PagaConNota7();
    // Another terminal holds the branch file; the cashier presses Esc.
    auto otra = db::Database::open(e.rutaSucursal(), QStringLiteral("pastizal"));
    ASSERT_NE(otra, nullptr);
    ASSERT_TRUE(otra->beginWrite());
    int vueltas = 0;
    acciones.espera.cancelled = [&] { return ++vueltas > 3; };
    const ResultadoCierre r = VendeFactura(e.bd(), v, 4, acciones);
    otra->rollback();
    EXPECT_FALSE(r.guardado);
    // The file was busy, not the number: the message says so.
    EXPECT_EQ(prompts.lastMessage(),
              QStringLiteral("Se canceló la espera: la base de datos está ocupada por otro usuario."));
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 0 AND TipoDocto = 'T'"), 3);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta"), 0);
    EXPECT_EQ(e.Cuenta("SELECT Status FROM NotaCredito WHERE Numero = 7"), 1);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM MovimientosCaja"), 0);
    EXPECT_EQ(e.Cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1"), 0);
    for (qint64 clave : e.Claves())
        EXPECT_DOUBLE_EQ(e.Existencia(clave), e.ExistenciaInicial(clave));
}

TEST_F(VentaTest, TwoCreditNotesAreAppliedWithTheirCashMovements)
{
    e.NotaCredito(7, 20);
    e.NotaCredito(12, 15.5);
    G().ClaveUsuario = 3;
    G().PagosMultiples = 1;
    acciones.dialogoPago = [] {
        EstadoGlobal& g = G();
        g.FormaPagoSel[1] = 4, g.ImportesPago[1] = 20, g.ReferenciasPago[1] = "7";
        g.FormaPagoSel[2] = 4, g.ImportesPago[2] = 15.5, g.ReferenciasPago[2] = "12";
        g.FormaPagoSel[3] = 1, g.ImportesPago[3] = 5000;
        g.PagoAceptado = 1;
        return true;
    };
    ASSERT_TRUE(VendeFactura(e.bd(), e.Venta(Lineas(2)), 4, acciones).guardado)
        << prompts.messages().join("|").toStdString();
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM NotaCredito WHERE Status = 2"), 2);
    db::Error err;
    auto movs = e.bd().select("SELECT ImporteMov, TipoMov, DescripcionMov, EstatusMov, IdCorte, IdUsuario "
                              "FROM MovimientosCaja ORDER BY IdMovimiento", {}, &err);
    ASSERT_TRUE(movs) << err.message.toStdString();
    ASSERT_EQ(movs->size(), 2u);
    EXPECT_EQ((*movs)[0].text("DescripcionMov"), QStringLiteral("Aplicacion de Nota de crédito:00007"));
    EXPECT_EQ((*movs)[1].text("DescripcionMov"), QStringLiteral("Aplicacion de Nota de crédito:00012"));
    EXPECT_DOUBLE_EQ((*movs)[1].real("ImporteMov"), 15.5);
    EXPECT_EQ((*movs)[0].integer("TipoMov"), 2);
    EXPECT_EQ((*movs)[0].integer("EstatusMov"), 1);
    EXPECT_EQ((*movs)[0].integer("IdCorte"), 0);
    EXPECT_EQ((*movs)[0].integer("IdUsuario"), 3);
    EXPECT_EQ(e.Valor("SELECT PagaObs2 FROM Venta").toString(), QStringLiteral("12"));
}

TEST_F(VentaTest, ACreditNoteUsedByTwoTerminalsAtOnceIsAppliedOnce)
{
    e.NotaCredito(7, 20);
    // Both cashiers read the balance of note 7 in their dialogs before either sale was stored.
    PagaConNota7();
    const VentaEnPantalla primera = e.Venta(Lineas(1));
    const VentaEnPantalla segunda = e.Venta(Lineas(2));
    auto otraTerminal = db::Database::open(e.rutaSucursal(), QStringLiteral("pastizal"));
    ASSERT_NE(otraTerminal, nullptr);

    ASSERT_TRUE(VendeFactura(*otraTerminal, primera, 4, acciones).guardado);
    const ResultadoCierre r = VendeFactura(e.bd(), segunda, 4, acciones);
    EXPECT_FALSE(r.guardado);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("La nota de crédito 00007 ya no está disponible (aplicada, "
                                                    "cancelada o inexistente). La venta no se guardó."));
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM MovimientosCaja"), 1);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta"), 1);
    // The refused sale kept its lines pending and its stock; no folio was spent.
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 0"), 2);
    EXPECT_EQ(e.Cuenta("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1"), 1);
}

// Both closes share the save with the credit notes: when the note's cash movement cannot be
// written, the whole sale rolls back and the message keeps the database's own reason.
TEST_F(VentaTest, ACashMovementThatCannotBeWrittenUndoesTheSaleAndSaysWhy)
{
    const std::function<ResultadoCierre(const VentaEnPantalla&)> cierres[] = {
        [this](const VentaEnPantalla& v) { return VendeFactura(e.bd(), v, 4, acciones); },
        [this](const VentaEnPantalla& v) { return Facturar(e.bd(), v, acciones); },
    };
    for (const auto& cierra : cierres) {
        e.Reinicia();
        PagaConNota7();
        e.NotaCredito(7, 20);
        e.Ejecuta("CREATE TRIGGER CajaCerrada BEFORE INSERT ON MovimientosCaja "
                  "BEGIN SELECT RAISE(ABORT, 'caja cerrada por prueba'); END");
        const VentaEnPantalla venta = e.Venta(Lineas(2));
        const ResultadoCierre r = cierra(venta);
        e.Ejecuta("DROP TRIGGER CajaCerrada");

        EXPECT_FALSE(r.guardado);
        const QString texto = prompts.lastMessage();
        EXPECT_TRUE(texto.startsWith(QStringLiteral("No se pudo registrar el movimiento de caja de la nota "
                                                    "de crédito 00007. La venta no se guardó.\n")))
            << texto.toStdString();
        EXPECT_TRUE(texto.contains(QStringLiteral("caja cerrada por prueba"))) << texto.toStdString();
        EXPECT_EQ(e.Cuenta("SELECT Status FROM NotaCredito WHERE Numero = 7"), 1);
        EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta"), 0);
        EXPECT_EQ(e.Cuenta("SELECT count(*) FROM DetalleVenta WHERE Numero = 0"), 2);
    }
}
