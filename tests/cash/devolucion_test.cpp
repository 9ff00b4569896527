// The return lookup and the marking of returned lines.
#include "shell/texto.h"
#include "devol_fixture.h"

#include "cash/devolucion.h"
#include "shell/conexion.h"
#include "shell/estado.h"

namespace {

using caja::Devolucion;
using caja::ResultadoConsulta;

class DevolucionTest : public PosventaTest {
protected:
    ResultadoConsulta consulta(const QString& letra, const QString& numero) {
        prompts.clear();
        return dev.ConsultaVenta(bd(), letra, numero, prompts);
    }
    bool marca(int linea, const QString& respuesta) {
        prompts.pushInput(respuesta);
        return dev.MarcaLinea(linea, prompts);
    }
    Devolucion dev;
};

TEST(DevolucionTexto, LettersReferencesQuantitiesAndPrices) {
    EXPECT_EQ(caja::LetraTipoDocumento("Ticket", true), "T");
    EXPECT_EQ(caja::LetraTipoDocumento("Factura", false), "F");
    EXPECT_EQ(caja::LetraTipoDocumento("Factura", true), "E");
    EXPECT_EQ(caja::LetraTipoDocumento("Otro", false), "");
    EXPECT_EQ(caja::DoctoDevolucion("T", 123), "T 123");
    EXPECT_EQ(caja::DoctoDevolucion("F", -5), "F-5");

    EXPECT_EQ(caja::CantidadTecleada(" 2 "), 2.0);
    EXPECT_EQ(caja::CantidadTecleada("0.5"), 0.5);
    for (const char* malo : {"12a", "1,5", "", "   ", "-2", "1.2.3", "$3"})
        EXPECT_FALSE(caja::CantidadTecleada(malo).has_value()) << malo;
}

TEST_F(DevolucionTest, LooksUpATicketWithItsLabelsAndLines) {
    vende(123, "T", {{0, 2, 50}, {1, 1, 25.5}}, 0, 1, "XAXX010101000");
    ASSERT_EQ(consulta("T", "123"), ResultadoConsulta::Encontrada);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().join("|").toStdString();
    ASSERT_EQ(dev.lineas().size(), 2u);
    EXPECT_EQ(dev.lineas()[0].ClaveProducto, clave(0));
    EXPECT_EQ(dev.EtiquetaCliente(), "Nombre cliente: PUBLICO EN GENERAL");
    EXPECT_EQ(dev.EtiquetaDescuento(), "Descuento venta: 0%");
    EXPECT_EQ(dev.EtiquetaFecha(), "Fecha de la venta: 09/12/2026 10:30:00");
    EXPECT_EQ(dev.EtiquetaImporte(), "Importe de la venta: 125.50");

    // A document that is not there: told, the labels emptied rather than left from the last sale.
    EXPECT_EQ(consulta("T", "999"), ResultadoConsulta::SinRegistros);
    EXPECT_EQ(prompts.lastMessage(), "No se encontraron registros.");
    EXPECT_EQ(dev.EtiquetaCliente(), "");
    EXPECT_TRUE(dev.lineas().empty());
    // Number 0 is silent; a number with letters reads nothing at all.
    EXPECT_EQ(consulta("T", "0"), ResultadoConsulta::SinRegistros);
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(consulta("T", "12a"), ResultadoConsulta::NoNumerico);
    EXPECT_EQ(consulta("T", "-123"), ResultadoConsulta::NoNumerico);
    EXPECT_TRUE(prompts.messages().isEmpty());
    // The invoice of the same number is another document.
    EXPECT_EQ(consulta("F", "123"), ResultadoConsulta::SinRegistros);
}

TEST_F(DevolucionTest, CancelledOrEmptyDocumentsOfferNoLine) {
    vende(7, "T", {{0, 1, 10}}, 0, 0);
    EXPECT_EQ(consulta("T", "7"), ResultadoConsulta::EstatusNoValido);
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("El estatus de la venta no es válido."));
    EXPECT_FALSE(dev.HayVenta());
    EXPECT_TRUE(dev.lineas().empty());
    prompts.pushInput("1");
    EXPECT_FALSE(dev.MarcaLinea(0, prompts));
    EXPECT_TRUE(dev.pendientes().empty());

    // A day invoice gives its goods back through its tickets only.
    vende(9, "F", {{0, 1, 10}});
    ASSERT_TRUE(bd().exec("UPDATE Venta SET IdCorte = -1 WHERE Numero = 9"));
    EXPECT_EQ(consulta("F", "9"), ResultadoConsulta::EstatusNoValido);
    EXPECT_TRUE(dev.lineas().empty());

    ASSERT_TRUE(bd().exec("INSERT INTO Venta (Numero, Tipo, Total) VALUES (8, 'T', 0)"));
    EXPECT_EQ(consulta("T", "8"), ResultadoConsulta::SinDetalles);
    EXPECT_EQ(prompts.lastMessage(), "No se encontraron detalles para esta venta.");
}

TEST_F(DevolucionTest, ElectronicInvoiceFoundWithElectronicInvoicing) {
    vende(40, "E", {{2, 3, 12}});
    G().FacturaE = true;
    EXPECT_EQ(consulta(caja::LetraTipoDocumento("Factura", G().FacturaE), "40"), ResultadoConsulta::Encontrada);
    ASSERT_EQ(dev.lineas().size(), 1u);
    EXPECT_EQ(dev.venta().Tipo, "E");
}

TEST_F(DevolucionTest, ElectronicInvoicingStillFindsPaperInvoices) {
    vende(40, "E", {{2, 3, 12}});
    vende(40, "F", {{0, 1, 10}});
    vende(41, "F", {{1, 2, 5}});
    auto letra = [&](const char* numero) { return caja::LetraConsulta(bd(), "Factura", true, numero, prompts); };
    EXPECT_EQ(letra("41"), "F");  // issued on paper before the switch
    EXPECT_EQ(letra("42"), "E");  // nowhere: the lookup tells so
    EXPECT_TRUE(prompts.asked().empty());
    prompts.pushAnswer(ui::Answer::No);
    EXPECT_EQ(letra("40"), "F");
    EXPECT_EQ(prompts.asked().back().kind, ui::ScriptedPrompts::Asked::Question);
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_EQ(letra("40"), "E");
    prompts.pushAnswer(ui::Answer::Cancel);
    EXPECT_EQ(letra("40"), "");
    EXPECT_EQ(caja::LetraConsulta(bd(), "Factura", false, "40", prompts), "F");
    EXPECT_EQ(caja::LetraConsulta(bd(), "Ticket", true, "40", prompts), "T");
}

TEST_F(DevolucionTest, MarkingAsksTheQuantityAndRefusesBadAnswers) {
    vende(5, "T", {{0, 3, 20}, {1, 1, 7}});
    ASSERT_EQ(consulta("T", "5"), ResultadoConsulta::Encontrada);
    for (const char* malo : {"12a", "1,5", "", "0", "-2"}) EXPECT_FALSE(marca(0, malo)) << malo;
    EXPECT_TRUE(dev.pendientes().empty());
    // What is no number is told the way every form tells it, and so is each limit; an empty
    // answer (Cancel) says nothing.
    const QString noNumero = shell::MensajeNumero(QStringLiteral("Cantidad"));
    EXPECT_EQ(prompts.messages(),
              QStringList({noNumero, noNumero, QString::fromUtf8("El dato de \"Cantidad\" debe ser mayor que cero."),
                           QString::fromUtf8("El dato de \"Cantidad\" no puede ser negativo.")}));
    const auto& preguntas = prompts.asked();
    ASSERT_FALSE(preguntas.empty());
    EXPECT_EQ(preguntas.front().text, "Teclea la cantidad a devolver, maximo: 3.00");
    EXPECT_EQ(preguntas.front().title, "Confirma cantidad.");

    EXPECT_FALSE(marca(0, "4"));
    EXPECT_EQ(prompts.lastMessage(), "Cantidad excede a la de la compra.");
    EXPECT_TRUE(marca(0, "2"));
    EXPECT_FALSE(marca(0, "1"));
    EXPECT_EQ(prompts.lastMessage(), "El producto ya se encuentra en la devolucion.");
    EXPECT_TRUE(marca(1, "1"));
    EXPECT_EQ(dev.TotalCentavos(), 4700);
    EXPECT_TRUE(dev.QuitaLineaDevolucion(0));
    EXPECT_FALSE(dev.QuitaLineaDevolucion(5));
    EXPECT_EQ(dev.TotalCentavos(), 700);
    EXPECT_TRUE(dev.QuitaLineaDevolucion(0));
    EXPECT_EQ(dev.TotalCentavos(), 0);
    // Nothing is written while marking.
    EXPECT_EQ(cuenta("SELECT count(*) FROM DEInventario"), 0);
}

TEST_F(DevolucionTest, EarlierReturnsCountAsRealsOverTheWholeDocument) {
    vende(10, "T", {{0, 1, 10}, {1, 2, 5}, {1, 3, 5}});
    devolucionAnterior("T 10", 0, 0.5);
    devolucionAnterior("T 10", 0, 0.5);
    devolucionAnterior("T 10", 1, 4);
    devolucionAnterior("F 10", 1, 1);  // another document's return
    ASSERT_EQ(consulta("T", "10"), ResultadoConsulta::Encontrada);
    EXPECT_EQ(prompts.lastMessage(), "Ya existe productos devueltos para este Documento.");
    EXPECT_EQ(dev.devueltos().size(), 3u);
    EXPECT_DOUBLE_EQ(dev.CantidadDevuelta(clave(0)), 1.0);
    // 0.5 + 0.5 of 1 sold: nothing is left to return.
    EXPECT_FALSE(marca(0, "0.1"));
    EXPECT_EQ(prompts.lastMessage(), "Cantidad excede a la de la compra.");
    // One product on two lines of 2 and 3: the 4 back, stored without naming their line, come off
    // its lines in order: the first is back whole, one unit of the second is left.
    EXPECT_DOUBLE_EQ(dev.CantidadVendida(clave(1)), 5.0);
    EXPECT_FALSE(marca(1, "0.5"));
    EXPECT_EQ(prompts.lastMessage(), "Cantidad excede a la de la compra.");
    EXPECT_FALSE(marca(2, "2"));
    EXPECT_TRUE(marca(2, "1"));
    EXPECT_FALSE(marca(2, "0.5"));
    EXPECT_EQ(prompts.lastMessage(), "El producto ya se encuentra en la devolucion.");
}

TEST_F(DevolucionTest, TheSaleDiscountLowersThePriceToTheCent) {
    vende(11, "T", {{0, 2, 99.99}}, 10);
    ASSERT_EQ(consulta("T", "11"), ResultadoConsulta::Encontrada);
    EXPECT_EQ(dev.EtiquetaDescuento(), "Descuento venta: 10%");
    ASSERT_TRUE(marca(0, "2"));
    EXPECT_DOUBLE_EQ(dev.pendientes()[0].PUnitario, 89.99);
    EXPECT_EQ(dev.TotalCentavos(), 17998);
}

TEST_F(DevolucionTest, EachLineComesBackAtWhatWasPaidForIt) {
    // 1 at 100.00 and 4 at 10.00 under one key (a television and cables on two generic lines):
    // each line is its own goods and comes back at its own price.
    vende(20, "T", {{0, 1, 100}, {0, 4, 10}});
    ASSERT_EQ(consulta("T", "20"), ResultadoConsulta::Encontrada);
    ASSERT_TRUE(marca(0, "1"));
    EXPECT_EQ(prompts.asked().back().text, "Teclea la cantidad a devolver, maximo: 1.00");
    EXPECT_EQ(dev.TotalCentavos(), 10000);
    EXPECT_DOUBLE_EQ(dev.pendientes()[0].PUnitario, 100);
    EXPECT_FALSE(marca(0, "1"));
    EXPECT_EQ(prompts.lastMessage(), "El producto ya se encuentra en la devolucion.");
    // The other line is marked on its own.
    ASSERT_TRUE(marca(1, "2"));
    EXPECT_EQ(prompts.asked().back().text, "Teclea la cantidad a devolver, maximo: 4.00");
    EXPECT_EQ(dev.TotalCentavos(), 12000);
    ASSERT_TRUE(dev.QuitaLineaDevolucion(0));
    EXPECT_EQ(dev.TotalCentavos(), 2000);
    EXPECT_FALSE(marca(1, "5"));
    EXPECT_EQ(prompts.lastMessage(), "Cantidad excede a la de la compra.");

    // One unit at 50 % off and one at full price, 10 % off the whole ticket: each at its own
    // price less the general discount, both together the ticket's 13.50.
    vende(21, "T", {{1, 1, 10, 50}, {1, 1, 10}}, 10);
    ASSERT_EQ(consulta("T", "21"), ResultadoConsulta::Encontrada);
    ASSERT_TRUE(marca(1, "1"));
    EXPECT_EQ(dev.TotalCentavos(), 900);
    ASSERT_TRUE(dev.QuitaLineaDevolucion(0));
    ASSERT_TRUE(marca(0, "1"));
    EXPECT_EQ(dev.TotalCentavos(), 450);
    ASSERT_TRUE(marca(1, "1"));
    EXPECT_EQ(dev.TotalCentavos(), 1350);

    // An earlier return named its line: the 4 cables are back, the television is what is left.
    devolucionAnterior("T 20", 0, 4, 2);
    ASSERT_EQ(consulta("T", "20"), ResultadoConsulta::Encontrada);
    EXPECT_FALSE(marca(1, "1"));
    EXPECT_EQ(prompts.lastMessage(), "Cantidad excede a la de la compra.");
    ASSERT_TRUE(marca(0, "1"));
    EXPECT_EQ(prompts.asked().back().text, "Teclea la cantidad a devolver, maximo: 1.00");
    // The whole ticket back: its total less what the earlier return stored (4 x 10.00).
    EXPECT_EQ(dev.TotalCentavos(), 10000);
}

TEST_F(DevolucionTest, TwoFormsOnTwoHandlesKeepTheirOwnLines) {
    vende(12, "T", {{0, 5, 10}, {1, 5, 10}});
    db::Error e;
    auto otra = db::Database::open(shell::RutaBDSucursal(1), shell::ClaveArchivos(), &e);
    ASSERT_TRUE(otra) << e.message.toStdString();
    Devolucion dev2;
    ASSERT_EQ(consulta("T", "12"), ResultadoConsulta::Encontrada);
    ASSERT_EQ(dev2.ConsultaVenta(*otra, "T", "12", prompts), ResultadoConsulta::Encontrada);
    ASSERT_TRUE(marca(0, "2"));
    prompts.pushInput("3");
    ASSERT_TRUE(dev2.MarcaLinea(0, prompts));  // the same product is no duplicate of the other form's
    prompts.pushInput("1");
    ASSERT_TRUE(dev2.MarcaLinea(1, prompts));
    EXPECT_EQ(dev.pendientes().size(), 1u);
    EXPECT_EQ(dev2.pendientes().size(), 2u);
    // A new lookup on one form leaves the other's lines alone.
    consulta("T", "12");
    EXPECT_TRUE(dev.pendientes().empty());
    EXPECT_EQ(dev2.pendientes().size(), 2u);
}

}  // namespace
