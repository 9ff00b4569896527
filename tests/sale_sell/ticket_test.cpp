// The ticket close on a real branch file: what is stored, when it prints, and the printed ticket of
// a sale paid three ways.

#include "entorno.h"
#include "printing/formato.h"
#include "printing/impresoraticket.h"
#include "printing/ticketventa.h"
#include "sale/cierre_ticket.h"
#include "sale/lineas.h"
#include "sale/pago.h"
#include "shell/estado.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace venta;
using vendetest::Entorno;

namespace {

class TicketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e.ok()) << e.error().toStdString();
        e.Reinicia();
        acciones.prompts = &prompts;
        acciones.espera.timeoutMs = 2000;
        acciones.imprimeTicket = [this](qint64 n) {
            impresos.push_back(n);
            return true;
        };
    }
    qint64 Clave(const char* codigo)
    {
        return e.Valor("SELECT ClaveProducto FROM Producto WHERE CodigodeBarras = ?", {QString::fromLatin1(codigo)})
            .toLongLong();
    }
    std::vector<qint64> TresLineas()
    {
        return {e.Linea(Clave("7501000000127"), 2), e.Linea(Clave("7501000000134"), 1),
                e.Linea(Clave("7501000000172"), 1)};
    }

    Entorno& e = Entorno::Comun();
    ui::ScriptedPrompts prompts;
    AccionesCierre acciones;
    std::vector<qint64> impresos;
};

}  // namespace

// Tickets print at this terminal even with the print server on; nothing is queued.
TEST_F(TicketTest, PrintsHereWithThePrintServerOn)
{
    G().UsarServidorImp = 1;
    std::vector<std::pair<int, QString>> estados;
    acciones.estado = [&](int p, const QString& t) { estados.emplace_back(p, t); };
    const ResultadoCierre r = Facturar(e.bd(), e.Venta(TresLineas()), acciones);
    ASSERT_TRUE(r.guardado) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(r.rem, QStringLiteral("Ticket: A 000001"));
    EXPECT_EQ(impresos, std::vector<qint64>{1});
    EXPECT_EQ(estados.back(), (std::pair<int, QString>{3, "T1 Impreso."}));
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Solicitafolios"), 0);

    // The next ticket does not print: the notice of the first one goes and none takes its place.
    acciones.imprimeTicket = [](qint64) { return false; };
    estados.clear();
    ASSERT_TRUE(Facturar(e.bd(), e.Venta(TresLineas()), acciones).guardado);
    ASSERT_FALSE(estados.empty());
    EXPECT_EQ(estados.front(), (std::pair<int, QString>{3, QString()}));
    for (const auto& [panel, texto] : estados)
        EXPECT_FALSE(panel == 3 && texto.contains(QStringLiteral("Impreso"))) << texto.toStdString();
    // Said once: the ticket is kept, under its number, and how to print it again.
    EXPECT_EQ(estados.back(), (std::pair<int, QString>{3, QString::fromUtf8("T2 grabado, no se imprimió.")}));
    EXPECT_EQ(prompts.messages().filter(QStringLiteral("T2")),
              QStringList{QString::fromUtf8("El ticket 2 quedó grabado, pero no se imprimió. "
                                            "Reimprímalo con Reimprimir factura (T2).")});
}

TEST_F(TicketTest, AskedNotToPrintStoresWithoutPrinting)
{
    G().PreguntaCompVenta = 1;
    prompts.pushAnswer(ui::Answer::No);
    ASSERT_TRUE(Facturar(e.bd(), e.Venta(TresLineas()), acciones).guardado);
    EXPECT_EQ(prompts.asked().back().text, QStringLiteral("Desea imprimir el comprobante ?"));
    EXPECT_TRUE(impresos.empty());
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta WHERE Tipo = 'T'"), 1);
}

TEST_F(TicketTest, OnlyASaleInModeFWithAClientCloses)
{
    VentaEnPantalla v = e.Venta(TresLineas());
    v.modo = QStringLiteral("C");
    EXPECT_FALSE(Facturar(e.bd(), v, acciones).guardado);
    EXPECT_TRUE(prompts.asked().empty());
    v.modo = QStringLiteral("F");
    v.clienteVenta.clear();
    bool catalogo = false;
    acciones.eligeCliente = [&] { catalogo = true; };
    EXPECT_FALSE(Facturar(e.bd(), v, acciones).guardado);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No ha definido cliente."));
    EXPECT_TRUE(catalogo);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta"), 0);
}

TEST_F(TicketTest, GenericStepRunsOnlyForAGenericLastLine)
{
    // Product 1 of every catalogue is the generic line.
    G().GenAgregar = 1;
    int llamadas = 0;
    acciones.agregaGenericos = [&](db::Database& bd, db::Error*) {
        ++llamadas;
        EXPECT_TRUE(bd.inTransaction());  // part of the save
        return true;
    };
    const qint64 normal = Clave("7501000000127");
    ASSERT_TRUE(Facturar(e.bd(), e.Venta({e.Linea(1, 1, 15), e.Linea(normal, 1)}), acciones).guardado);
    EXPECT_EQ(llamadas, 0);
    const VentaEnPantalla ultima = e.Venta({e.Linea(normal, 1), e.Linea(1, 1, 15)});
    ASSERT_EQ(ultima.nombres.size(), 2u);
    EXPECT_EQ(ultima.nombres.back(), QStringLiteral("VARIOS"));
    ASSERT_TRUE(Facturar(e.bd(), ultima, acciones).guardado);
    EXPECT_EQ(llamadas, 1);

    // The real step: the generic line becomes a product with its model as the name.
    const qint64 generica = e.Linea(1, 1, 42.5);
    e.Ejecuta("UPDATE DetalleVenta SET Descripcion2 = 'ENGRAPADORA', Observacion = 'METALICA' WHERE IdLinea = ?",
              {generica});
    venta::LineasVenta lineas(&e.bd());
    lineas.adopta({generica});
    ASSERT_TRUE(lineas.recarga());
    acciones.agregaGenericos = [&](db::Database& bd, db::Error* err) {
        return CreaGenericos(bd, lineas.lineas(), 16, err);
    };
    ASSERT_TRUE(Facturar(e.bd(), e.Venta({generica}), acciones).guardado) << prompts.lastMessage().toStdString();
    EXPECT_EQ(e.Valor("SELECT Descripcion FROM Producto WHERE Nombre = 'ENGRAPADORA '").toString(),
              QStringLiteral("METALICA"));
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Existencia WHERE ClaveProducto = "
                       "(SELECT ClaveProducto FROM Producto WHERE Nombre = 'ENGRAPADORA ')"),
              1);
    e.Ejecuta("DELETE FROM Producto WHERE Nombre = 'ENGRAPADORA '");

    // A failing generic step stores nothing of the sale.
    acciones.agregaGenericos = [](db::Database&, db::Error* err) {
        err->kind = db::ErrorKind::Other;
        err->message = QStringLiteral("sin clave");
        return false;
    };
    const qint64 antes = e.Cuenta("SELECT count(*) FROM Venta");
    EXPECT_FALSE(Facturar(e.bd(), e.Venta({e.Linea(1, 1, 15)}), acciones).guardado);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta"), antes);
    EXPECT_TRUE(prompts.lastMessage().endsWith(QStringLiteral("sin clave")));
}

// Cash, a card and a credit note through the payment dialog's model; the ticket comes out of the
// port with the drawer pulse first, the three payments and the change.
TEST_F(TicketTest, PrintedTicketOfThreePaymentsWithChange)
{
    const QString puerto = e.carpeta() + QStringLiteral("/lp0");
    QFile::remove(puerto);
    EstadoGlobal& g = G();
    g.PagosMultiples = 1;
    g.PuertoTicket = puerto;
    g.CodigosPTicket = 1;
    g.OpenCDrawer = 1;
    g.NTimesCajon = 1;
    g.PieTicket = QStringLiteral("GRACIAS");
    EstableceImpresoraActual(QString());
    e.NotaCredito(7, 20.25);
    acciones.imprimeTicket = nullptr;  // the real receipt printing

    const VentaEnPantalla v = e.Venta(TresLineas());
    ASSERT_GT(v.totalVenta, 20.25);
    ui::ScriptedPrompts dialogo;
    ModeloPago modelo(dialogo, [this](qint64 n) { return SaldoNotaCredito(e.bd(), n); });
    acciones.dialogoPago = [&] {
        modelo.inicia(ListaFormasPago(G().NombresFormaPago), v.totalVenta);
        modelo.elige(1);
        modelo.escribeImporte(QStringLiteral("10"));
        EXPECT_TRUE(modelo.agrega());
        dialogo.pushInput(QStringLiteral("4321"));
        modelo.elige(2);
        modelo.escribeImporte(QStringLiteral("20"));
        EXPECT_TRUE(modelo.agrega());
        dialogo.pushInput(QStringLiteral("7"));
        modelo.elige(4);
        EXPECT_TRUE(modelo.acepta()) << dialogo.lastMessage().toStdString();
        modelo.aplica(G());
        return modelo.aceptado();
    };
    const ResultadoCierre r = Facturar(e.bd(), v, acciones);
    ASSERT_TRUE(r.guardado) << prompts.messages().join("|").toStdString();
    EXPECT_EQ(e.Cuenta("SELECT Status FROM NotaCredito WHERE Numero = 7"), 2);
    EXPECT_EQ(e.Valor("SELECT PagaObs2 FROM Venta").toString(), QStringLiteral("4321"));

    QFile f(puerto);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << prompts.messages().join("|").toStdString();
    const QByteArray bytes = f.readAll();
    const QString texto = QString::fromLatin1(bytes);
    const qsizetype pulso = bytes.indexOf(QByteArray("\x1bp0\x19\xfa"));
    const qsizetype cliente = texto.indexOf(QStringLiteral("CLIENTE:"));
    ASSERT_GE(pulso, 0);
    ASSERT_GT(cliente, pulso);
    const double cambio = 10 + 20 + 20.25 - v.totalVenta;
    for (const QString& linea : {QStringLiteral("EFECTIVO= ") + FormatoMonto(10),
                                 QStringLiteral("TARJETA DE DEBITO= ") + FormatoMonto(20),
                                 QStringLiteral("NOTA DE CREDITO= ") + FormatoMonto(20.25),
                                 QStringLiteral("TOTAL   =  ") + FormatoMonto(v.totalVenta) + " M.N.",
                                 QStringLiteral("CAMBIO  = ") + FormatoMonto(cambio) + " M.N.",
                                 QStringLiteral("GRACIAS")})
        EXPECT_TRUE(texto.contains(linea)) << linea.toStdString() << "\n" << texto.toStdString();
    EXPECT_EQ(texto.count(QStringLiteral("CLIENTE:")), 1);
}
