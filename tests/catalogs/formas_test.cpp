// Every catalogue form reads whole and every field of it can be reached: as it opens, at its
// smallest and on a whole 1280x1024 screen, each tab in turn, on the demo data.

#include "carpeta_prueba.h"

#include "campos_visibles.h"
#include "catalogs/forms/frmcodigos.h"
#include "catalogs/forms/frmcuentas.h"
#include "catalogs/forms/frmempresa.h"
#include "catalogs/forms/frmestadocuenta.h"
#include "catalogs/forms/frmimagenproducto.h"
#include "catalogs/forms/frmpreciocredito.h"
#include "catalogs/forms/frmprodproveedores.h"
#include "catalogs/forms/frmproductos.h"
#include "catalogs/forms/frmproveedores.h"
#include "shell/estado.h"
#include "shell/forms/midi.h"

#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace catalogos;

namespace {

class FormasCatalogos : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok);
        // Every tab open to the person (the product details need right 11).
        G().PermisosUsuario.fill(true);
        G().Derechos = QString(64, QLatin1Char('1'));
    }
    catalogtest::CarpetaPrueba c;
};

TEST_F(FormasCatalogos, SuppliersAndTheirProducts)
{
    frmProveedores proveedores(nullptr, c.central.get(), &c.prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&proveedores));
    G().CodigoProductoSel = QStringLiteral("PROVEEDORES PARA EL PRODUCTO: BOLIGRAFO");
    frmProdProveedores enlaces(nullptr, c.central.get());
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&enlaces));
}

TEST_F(FormasCatalogos, ProductsBothTabsAndTheirPicture)
{
    frmProductos productos(nullptr, c.sucursal.get(), c.central.get(), &c.prompts);
    ASSERT_TRUE(productos.Abierto());
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&productos));
    frmImagenProducto imagen;
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&imagen));
}

TEST_F(FormasCatalogos, CodeTables)
{
    for (TipoTabla tipo : {TipoTabla::Categorias, TipoTabla::TipoPago, TipoTabla::TipoCompra, TipoTabla::TipoProducto}) {
        SCOPED_TRACE(int(tipo));
        frmTablaCodigos f(tipo, nullptr, c.central.get(), &c.prompts);
        f.show();
        // It opens with every row in sight (the payment forms are nine).
        const QTableView* g = f.DBGrid1;
        const int ultima = g->model()->rowCount() - 1;
        EXPECT_LE(g->rowViewportPosition(ultima) + g->rowHeight(ultima), g->viewport()->height());
        EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&f));
    }
}

TEST_F(FormasCatalogos, CompanyAccountsCreditPlansAndStatement)
{
    frmEmpresa empresa(nullptr, c.central.get(), &c.prompts, c.dir.path());
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&empresa));

    // Rows in every grid, so their headings and texts are measured too.
    for (const char* sql : {"INSERT INTO Cuentas VALUES (7, 'BANCO DEL BAJIO CUENTA DE CHEQUES', '2026-01-02', "
                            "'2026-12-01', 1, 2500)",
                            "INSERT INTO CuentasMovto VALUES (7, 7, '2026-12-01', 1, 2500, 'FACTURA 1234', "
                            "'CHEQUE 55', 'PAGO DEL PROVEEDOR DE PAPELERIA', 1)",
                            "INSERT INTO VentaCredito (Numero, Fecha, Cliente, Total) VALUES (1, '2026-12-01 10:00:00', "
                            "'XAXX010101000', 1500)",
                            "INSERT INTO doctoscredito VALUES (1, 1, 1, 500, '2026-12-31', NULL, 2)"})
        ASSERT_TRUE(c.sucursal->exec(QString::fromLatin1(sql)));
    frmCuentas cuentas(nullptr, c.sucursal.get(), &c.prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&cuentas));
    QTest::mouseClick(cuentas.cmdMovimientos, Qt::LeftButton);
    ASSERT_NE(cuentas.Movimientos(), nullptr);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(cuentas.Movimientos()));

    frmPreciosCredito planes(nullptr, c.central.get(), &c.prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&planes));
    frmEstadocuenta estado(nullptr, c.central.get(), c.sucursal.get(), &c.prompts);
    estado.show();
    c.prompts.pushInput(QStringLiteral("XAXX010101000"));
    QTest::mouseClick(estado.cmdBuscar, Qt::LeftButton);
    ASSERT_EQ(estado.DBGrid1->model()->rowCount(), 1) << c.prompts.lastMessage().toStdString();
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&estado));
}

// The catalogue forms as their menu items open them in the main window of a 1280x1024 screen.
TEST_F(FormasCatalogos, EveryFormShowsWholeInTheMainWindow)
{
    shell::MIDI midi;
    midi.resize(1280, 1024);
    midi.show();
    EXPECT_TRUE(testutil::CadaFormaSeVeEntera({AbreProveedores(&midi), AbreProductos(&midi),
                                               AbreTablaCodigos(&midi, TipoTabla::TipoPago), AbreCuentas(&midi),
                                               AbrePreciosCredito(&midi), AbreEstadocuenta(&midi)}));
}

}  // namespace
