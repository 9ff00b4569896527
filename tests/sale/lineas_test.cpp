#include "apps/setup/datasetup.h"
#include "fixture.h"
#include "sale/busqueda.h"
#include "sale/lineas.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace venta;
using saletest::BaseSucursal;

namespace {

class VentaLineas : public ::testing::Test {
protected:
    // One data folder for the suite (making one hashes the administrator's password).
    static void SetUpTestSuite() { compartida = new BaseSucursal; }
    static void TearDownTestSuite() { delete compartida; }
    void SetUp() override
    {
        ASSERT_TRUE(base.ok()) << base.error().toStdString();
        saletest::VaciaCatalogo(base.db());
        ASSERT_TRUE(Agrega({1, "750100", "COCA", "REFRESCO COLA", 100.0}));
        ASSERT_TRUE(Agrega({2, "750200", "PAN", "PAN BLANCO", 20.0, 0}));
        par.terminal = QStringLiteral("CAJA1");
    }
    bool Agrega(const saletest::Producto& p)
    {
        QString error;
        const bool ok = saletest::AgregaProducto(base.db(), p, &error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }
    ProductoVenta Busca(const QString& codigo)
    {
        auto p = BuscaPorCodigo(base.db(), codigo);
        EXPECT_TRUE(p.has_value()) << codigo.toStdString();
        return p.value_or(ProductoVenta{});
    }

    static BaseSucursal* compartida;
    BaseSucursal& base = *compartida;
    ParametrosLinea par;
};

BaseSucursal* VentaLineas::compartida = nullptr;

}  // namespace

TEST_F(VentaLineas, PriceChainOfANewLine)
{
    ASSERT_TRUE(Agrega({10, "D1", "DOLAR", "", 10.0, 16, 2}));
    ASSERT_TRUE(Agrega({11, "DESC", "CON DESCUENTO", "", 200.0, 16, 1, 10.0}));
    ASSERT_TRUE(Agrega({12, "LISTA", "LISTAS", "", 50.0, 16, 1, 0.0, 41.0, QVariant(), 43.0}));
    ASSERT_TRUE(Agrega({13, "NULOS", "SIN PRECIO", "", QVariant(), 16, QVariant(), QVariant()}));

    EXPECT_DOUBLE_EQ(PrecioLinea(Busca("D1"), 0, 18.5), 185);
    EXPECT_DOUBLE_EQ(PrecioLinea(Busca("DESC"), 0, 18.5), 180);
    EXPECT_DOUBLE_EQ(PrecioLinea(Busca("LISTA"), 1, 18.5), 41);
    EXPECT_DOUBLE_EQ(PrecioLinea(Busca("LISTA"), 2, 18.5), 0);  // Null list price
    EXPECT_DOUBLE_EQ(PrecioLinea(Busca("LISTA"), 3, 18.5), 43);
    EXPECT_DOUBLE_EQ(PrecioLinea(Busca("LISTA"), 7, 18.5), 50);  // no such list
    const ProductoVenta nulos = Busca("NULOS");
    EXPECT_EQ(nulos.p.moneda, 1);
    EXPECT_DOUBLE_EQ(PrecioLinea(nulos, 0, 18.5), 0);

    // The product discount goes into the price; the line's own discount stays 0.
    LineasVenta lineas(&base.db());
    ASSERT_EQ(lineas.agrega(Busca("DESC"), par), 0);
    EXPECT_DOUBLE_EQ(lineas.lineas()[0].precioUnit, 180);
    EXPECT_DOUBLE_EQ(lineas.lineas()[0].descuento, 0);
    EXPECT_EQ(lineas.lineas()[0].tipoDocto, "T");
    EXPECT_EQ(lineas.lineas()[0].numero, 0);
    EXPECT_TRUE(lineas.lineas()[0].iva);
    EXPECT_DOUBLE_EQ(lineas.lineas()[0].existencia.toDouble(), 5);
}

TEST_F(VentaLineas, RepeatedProductMergesOnlyWhenAsked)
{
    LineasVenta lineas(&base.db());
    par.incrementoAP = true;
    lineas.agrega(Busca("750100"), par);
    lineas.agrega(Busca("750200"), par);
    EXPECT_EQ(lineas.agrega(Busca("750100"), par), 0);
    ASSERT_EQ(lineas.count(), 2);
    EXPECT_DOUBLE_EQ(lineas.lineas()[0].cantidad, 2);
    // The amounts the totals read come back from the line query: 2 x 100 with 16% tax inside.
    EXPECT_DOUBLE_EQ(lineas.lineas()[0].importe, 200);
    EXPECT_DOUBLE_EQ(CalculaTotalDES({lineas.paraTotales()[0]}, 0, 0, 0, 16).total, 200);
    EXPECT_DOUBLE_EQ(CalculaTotalDES(lineas.paraTotales(), 1, 1, 0, 16).total, 20);
    EXPECT_DOUBLE_EQ(CalculaTotalDES(lineas.paraTotales(), 0, 0, 0, 16).total, 220);

    LineasVenta otra(&base.db());
    par.incrementoAP = false;
    otra.agrega(Busca("750100"), par);
    EXPECT_EQ(otra.agrega(Busca("750100"), par), 1);
    ASSERT_EQ(otra.count(), 2);
    EXPECT_DOUBLE_EQ(otra.lineas()[1].cantidad, 1);

    // Quotation lines carry the quotation number and its type from the start.
    LineasVenta cot(&base.db());
    par.tipoDocumento = QStringLiteral("C");
    par.numero = 77;
    cot.agrega(Busca("750200"), par);
    EXPECT_EQ(cot.lineas()[0].numero, 77);
    EXPECT_EQ(cot.lineas()[0].tipoDocto, "C");
    EXPECT_FALSE(cot.lineas()[0].iva);
}

TEST_F(VentaLineas, TwoTerminalsNeverTouchEachOthersLines)
{
    auto segunda = base.open();
    ASSERT_TRUE(segunda);
    LineasVenta caja1(&base.db());
    LineasVenta caja2(segunda.get());
    ParametrosLinea par2 = par;
    par2.terminal = QStringLiteral("CAJA2");

    caja1.agrega(Busca("750100"), par);
    caja2.agrega(*BuscaPorCodigo(*segunda, QStringLiteral("750200")), par2);
    caja1.agrega(Busca("750200"), par);
    ASSERT_TRUE(caja1.recarga());
    ASSERT_TRUE(caja2.recarga());
    EXPECT_EQ(caja1.count(), 2);
    ASSERT_EQ(caja2.count(), 1);
    EXPECT_EQ(caja2.lineas()[0].clave, 2);

    // The cleanup of a terminal leaves the other terminal's sale whole.
    auto pendientes = caja1.pendientesTerminal(QStringLiteral("CAJA1"));
    ASSERT_TRUE(pendientes);
    EXPECT_EQ(pendientes->size(), 2);
    ASSERT_TRUE(caja1.limpiaPendientes(QStringLiteral("CAJA1")));
    EXPECT_EQ(caja1.count(), 0);
    ASSERT_TRUE(caja2.recarga());
    EXPECT_EQ(caja2.count(), 1);

    // Dropping a screen's lines deletes only its own pending rows.
    caja1.agrega(Busca("750100"), par);
    ASSERT_TRUE(caja1.borraTodas());
    ASSERT_TRUE(caja2.recarga());
    EXPECT_EQ(caja2.count(), 1);
    EXPECT_EQ(base.db().scalar(QStringLiteral("SELECT count(*) FROM DetalleVenta"))->toInt(), 1);
}

TEST_F(VentaLineas, DeleteAndSavedLinesSurviveBorraProd)
{
    LineasVenta lineas(&base.db());
    lineas.agrega(Busca("750100"), par);
    lineas.agrega(Busca("750200"), par);
    ASSERT_TRUE(lineas.borra(0));
    ASSERT_EQ(lineas.count(), 1);
    EXPECT_EQ(lineas.lineas()[0].clave, 2);

    // A line a save has numbered is forgotten, never deleted.
    base.db().exec(QStringLiteral("UPDATE DetalleVenta SET Numero = 5"));
    ASSERT_TRUE(lineas.borraTodas());
    EXPECT_EQ(lineas.count(), 0);
    EXPECT_EQ(base.db().scalar(QStringLiteral("SELECT count(*) FROM DetalleVenta"))->toInt(), 1);
}

TEST_F(VentaLineas, CodesAreMatchedLiterally)
{
    ASSERT_TRUE(Agrega({20, "A%1", "PORCIENTO", "CON 100% ALGODON", 1.0}));
    ASSERT_TRUE(Agrega({21, "AX1", "EQUIS", "CON 100X ALGODON", 1.0}));
    ASSERT_TRUE(Agrega({22, "O'NEIL", "O'NEIL", "", 1.0}));
    EXPECT_FALSE(BuscaPorCodigo(base.db(), QStringLiteral("A_1")).has_value());
    EXPECT_FALSE(BuscaPorCodigo(base.db(), QStringLiteral("75%")).has_value());
    EXPECT_FALSE(BuscaPorCodigo(base.db(), QStringLiteral("' OR '1'='1")).has_value());
    EXPECT_EQ(BuscaPorCodigo(base.db(), QStringLiteral("O'NEIL"))->p.clave, 22);

    FuenteProductos f(&base.db());
    ASSERT_TRUE(f.abre(BusquedaCodigo));
    ASSERT_TRUE(f.busca(QStringLiteral("A%"), QString()));
    EXPECT_EQ(f.current()->clave, 20);
    ASSERT_TRUE(f.busca(QStringLiteral("A_"), QString()));
    EXPECT_EQ(f.current()->clave, 20);  // no match: stays where it was

    ASSERT_TRUE(f.abre(BusquedaDescripcion, QStringLiteral("CON 100%")));
    ASSERT_EQ(f.count(), 1);
    EXPECT_EQ(f.current()->clave, 20);
    ASSERT_TRUE(f.abre(BusquedaDescripcion, QStringLiteral("con 100_")));
    EXPECT_EQ(f.count(), 0);
    ASSERT_TRUE(f.abre(BusquedaDescripcion));
    EXPECT_EQ(f.count(), 5);  // empty text: every product, with its stock
    EXPECT_DOUBLE_EQ(f.at(0).exis.toDouble(), 5);
}

TEST_F(VentaLineas, ProductListWaitsForAnotherTerminalsCommit)
{
    // Another terminal committing its sale lines holds the branch file for a moment; the product
    // list read meanwhile (a keystroke that changes the search mode) waits for it. The central file
    // stays free, as it does while lines are stored. The first read is the one at the screen's
    // opening; the second, with the file held, is the keystroke's.
    FuenteProductos f(&base.db());
    ASSERT_TRUE(f.abre(BusquedaDescripcion));
    std::atomic<bool> bloqueo{false}, retenido{false}, leido{false};
    std::thread otra([&] {
        db::OpenOptions op;
        op.password = datasetup::claveArchivos();
        op.attachLinks = false;
        op.createViews = false;
        auto bd = db::Database::open(base.path(), op);
        if (bd && bd->exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
            bloqueo = true;
            retenido = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            bd->exec(QStringLiteral("COMMIT"));
        }
        retenido = true;
        // Closed only after the read, so the two threads never open or close handles at once.
        while (!leido)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (!retenido)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    db::Error e;
    const bool bien = f.abre(BusquedaDescripcion, QString(), true, &e);
    leido = true;
    otra.join();
    ASSERT_TRUE(bloqueo);
    EXPECT_TRUE(bien) << e.message.toStdString();
    EXPECT_EQ(f.count(), 2);
}

TEST_F(VentaLineas, SearchStepsFollowTheTypedText)
{
    ASSERT_TRUE(Agrega({3, "750300", "COCA LIGHT", "", 1.0}));
    ASSERT_TRUE(Agrega({4, "110000", "ARROZ", "", 1.0}));
    ASSERT_TRUE(Agrega({5, "120000", "ÁRBOL DE NAVIDAD", "", 1.0}));
    ASSERT_TRUE(Agrega({6, "130000", "ÑOQUIS", "", 1.0}));
    FuenteProductos f(&base.db());
    ASSERT_TRUE(f.abre(BusquedaCodigo));
    // Ordered by barcode: 110000, 750100, 750200, 750300. The first product counts as a match.
    ASSERT_TRUE(f.busca(QStringLiteral("1"), QString()));
    EXPECT_EQ(f.current()->clave, 4);
    ASSERT_TRUE(f.busca(QStringLiteral("75"), QStringLiteral("1")));
    EXPECT_EQ(f.current()->clave, 1);
    ASSERT_TRUE(f.busca(QStringLiteral("7503"), QStringLiteral("75")));
    EXPECT_EQ(f.current()->clave, 3);
    // After a Backspace the product shown still matches and stays.
    ASSERT_TRUE(f.busca(QStringLiteral("750"), QStringLiteral("7503")));
    EXPECT_EQ(f.current()->clave, 3);

    ASSERT_TRUE(f.abre(BusquedaNombre));
    ASSERT_TRUE(f.busca(QStringLiteral("coca l"), QString()));
    EXPECT_EQ(f.current()->clave, 3);
    // Accents and case never keep a name out; Ñ is a letter of its own, not N.
    ASSERT_TRUE(f.busca(QStringLiteral("arb"), QString()));
    EXPECT_EQ(f.current()->clave, 5);
    ASSERT_TRUE(f.busca(QStringLiteral("ño"), QString()));
    EXPECT_EQ(f.current()->clave, 6);
    ASSERT_TRUE(f.busca(QStringLiteral("no"), QString()));
    EXPECT_EQ(f.current()->clave, 6);  // no match leaves the product shown
    ASSERT_TRUE(f.abre(BusquedaNombreSE));
    ASSERT_TRUE(f.busca(QStringLiteral("COCAL"), QString()));
    EXPECT_EQ(f.current()->clave, 3);
}

TEST(VentaBusqueda, ModesIntervalsAndRefusedCharacters)
{
    // Returning to the default mode: one step back, then the advance lands on BDefault.
    for (int bDefault : {1, 2, 3, 4})
        EXPECT_EQ(SiguienteModo(ModoAntesDeDefault(bDefault)), bDefault);
    EXPECT_EQ(SiguienteModo(ModoAntesDeDefault(0)), 2);
    EXPECT_EQ(SiguienteModo(4), 1);
    EXPECT_EQ(CaptionModo(4), QStringLiteral("4:Descripción"));

    EXPECT_EQ(IntervaloBusqueda(450, 0), 450);
    EXPECT_EQ(IntervaloBusqueda(450, 1), 420);
    EXPECT_EQ(IntervaloBusqueda(450, 2), 390);
    EXPECT_EQ(IntervaloBusqueda(450, 14), 30);
    EXPECT_EQ(IntervaloBusqueda(450, 15), 0);
    EXPECT_EQ(IntervaloBusqueda(450, 40), 0);

    EXPECT_TRUE(CaracterRechazado(QStringLiteral("AB'")));
    EXPECT_TRUE(CaracterRechazado(QStringLiteral("|")));
    EXPECT_FALSE(CaracterRechazado(QStringLiteral("A%_*")));
}
