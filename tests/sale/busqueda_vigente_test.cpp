// The sale screen keeps its product list from one document to the next: after sales, entries and
// products added elsewhere the rows it shows and the matches it finds are those a full reload gives.

#include "capture_control/ccaptura.h"
#include "fixture.h"
#include "sale/forms/frmventa.h"
#include "shell/estado.h"
#include "shell/texto.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace venta;

namespace {

class BusquedaVigente : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(base.ok()) << base.error().toStdString();
        saletest::VaciaCatalogo(base.db());
        ReiniciaEstado();
        G().ModoVenta = QStringLiteral("F");
        G().BDefault = 4;  // by description: the mode that shows the stock
        G().NombreEquipo = QStringLiteral("CAJA1");
        G().TFuente = 9;
        for (int i = 1; i <= 30; ++i) {
            QString error;
            ASSERT_TRUE(saletest::AgregaProducto(
                base.db(), {i, QStringLiteral("75%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("ART %1").arg(i),
                            QStringLiteral("ARTICULO %1").arg(i), 10.0 + i},
                &error))
                << error.toStdString();
        }
        forma = std::make_unique<frmVenta>(nullptr, &base.db(), &prompts);
        forma->show();
    }
    void TearDown() override { forma.reset(); }

    // What the grid shows, row by row, against a set read afresh.
    void ComoRecargaCompleta(const QString& texto = {})
    {
        FuenteProductos fresca(&base.db());
        ASSERT_TRUE(fresca.abre(BusquedaDescripcion, texto));
        const QAbstractItemModel* m = forma->DBGrid2->model();
        ASSERT_EQ(m->rowCount(), fresca.count());
        for (int i = 0; i < fresca.count(); ++i) {
            EXPECT_EQ(m->index(i, ModeloProductos::CODIGODEBARRAS).data().toString(), fresca.at(i).codigo) << i;
            EXPECT_EQ(m->index(i, ModeloProductos::DESCRIPCION).data().toString(), fresca.at(i).descripcion) << i;
            EXPECT_EQ(m->index(i, ModeloProductos::PRECIOUNIT).data().toString(),
                      shell::Formato(fresca.at(i).precio, QStringLiteral("#,###,###0.00")))
                << i;
            EXPECT_DOUBLE_EQ(m->index(i, ModeloProductos::EXIS).data().toDouble(), fresca.at(i).exis.toDouble()) << i;
        }
    }

    saletest::BaseSucursal base;
    ui::ScriptedPrompts prompts;
    std::unique_ptr<frmVenta> forma;
};

}  // namespace

TEST_F(BusquedaVigente, ANewDocumentShowsWhatAFullReloadShows)
{
    ComoRecargaCompleta();
    const FuenteProductos* antes = &forma->productos();
    ASSERT_TRUE(forma->productos().vigente());

    // A sale at this terminal and another terminal's at once: stock only, the list stays.
    ASSERT_TRUE(base.db().exec(QStringLiteral("UPDATE Existencia SET Existencia = 1 WHERE ClaveProducto = 3")));
    auto otra = base.open();
    ASSERT_TRUE(otra->exec(QStringLiteral("UPDATE Existencia SET Existencia = 0 WHERE ClaveProducto = 4")));
    EXPECT_TRUE(forma->productos().vigente());
    QTest::mouseClick(forma->cmdNuevo, Qt::LeftButton);
    EXPECT_EQ(&forma->productos(), antes);
    ComoRecargaCompleta();

    // An entry that changes a price, a product added by another terminal, one added here, one
    // emptied by a delete: each one reloads.
    ASSERT_TRUE(base.db().exec(QStringLiteral("UPDATE Producto SET PrecioUnit = 99 WHERE ClaveProducto = 5")));
    EXPECT_FALSE(forma->productos().vigente());
    QTest::mouseClick(forma->cmdNuevo, Qt::LeftButton);
    ComoRecargaCompleta();
    EXPECT_TRUE(forma->productos().vigente());

    QString error;
    ASSERT_TRUE(saletest::AgregaProducto(*otra, {31, "AAAA01", "NUEVO", "AAA NUEVO ARTICULO", 5.0}, &error))
        << error.toStdString();
    EXPECT_FALSE(forma->productos().vigente());
    QTest::mouseClick(forma->cmdNuevo, Qt::LeftButton);
    ComoRecargaCompleta();
    EXPECT_EQ(forma->DBGrid2->model()->rowCount(), 31);

    ASSERT_TRUE(base.db().exec(QStringLiteral("DELETE FROM Producto WHERE ClaveProducto > 20")));
    QTest::mouseClick(forma->cmdNuevo, Qt::LeftButton);
    ComoRecargaCompleta();

    // The matches of a search are a full reload's too.
    QTest::keyClicks(forma->cajaCodigo, QStringLiteral("ARTICULO 1"));
    QTest::qWait(600);
    ComoRecargaCompleta(QStringLiteral("ARTICULO 1"));
}
