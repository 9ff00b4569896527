// Every cash form reads whole and every field of it can be reached: as it opens, at its smallest
// and on a whole 1280x1024 screen, each tab in turn, on the demo data.

#include "movimientos_datos.h"

#include "campos_visibles.h"
#include "cash/forms/frmcancelarf.h"
#include "cash/forms/frmcortescaja.h"
#include "cash/forms/frmdevoluciones.h"
#include "cash/forms/frmfacturardia.h"
#include "cash/forms/frmmovcaja.h"
#include "capture_control/ccaptura.h"
#include "shell/forms/midi.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace caja;

namespace {

using FormasCaja = DatosCaja;

TEST_F(FormasCaja, MovementsAndCashCuts)
{
    // Texts as long as a shop's: every one reads whole in the grids.
    Movimiento(1, 1, 500, 1, 0, 1, QStringLiteral("FONDO DE CAJA PARA EL TURNO DE LA TARDE"));
    Movimiento(2, 2, 1250.5, 1, 0, 1, QStringLiteral("PAGO DE LUZ Y AGUA DEL LOCAL"));
    GuardaVenta(*bd(), 1, QStringLiteral("F"), QStringLiteral("2026-12-09 10:30:00"), 116);
    ASSERT_TRUE(bd()->exec(QStringLiteral("UPDATE DetalleVenta SET ClaveProducto = (SELECT ClaveProducto FROM "
                                          "Producto WHERE Nombre = 'GOMA BLANCA')")));
    ASSERT_TRUE(bd()->exec(QStringLiteral("INSERT INTO CortesCaja VALUES (1, 'CIERRE DEL TURNO MATUTINO DEL LUNES', "
                                          "'2026-12-08 20:15:30', 1, 12345.67)")));
    frmMovCaja movimientos(nullptr, &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&movimientos));
    frmCortesCaja cortes(nullptr, &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&cortes));
}

TEST_F(FormasCaja, ReturnsCancellationAndDayInvoice)
{
    GuardaVenta(*bd(), 1, QStringLiteral("T"), QStringLiteral("2026-12-09 10:30:00"), 6);
    ASSERT_TRUE(bd()->exec(QStringLiteral("UPDATE DetalleVenta SET ClaveProducto = (SELECT ClaveProducto FROM "
                                          "Producto WHERE Nombre = 'GOMA BLANCA')")));
    frmDevoluciones devoluciones(nullptr, bd(), &prompts);
    devoluciones.show();
    QTest::keyClicks(devoluciones.capNumero->findChild<QLineEdit*>(), QStringLiteral("1"));
    QTest::mouseClick(devoluciones.cmdConsultar, Qt::LeftButton);
    ASSERT_EQ(devoluciones.gridDetVentas->model()->rowCount(), 1) << prompts.lastMessage().toStdString();
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&devoluciones));
    frmCancelarF cancelar(nullptr, bd(), &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&cancelar));
    frmFacturarDia factura(nullptr, bd(), &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&factura));
}

// On a shop's 1024x768 screen the cut's grids reach their amounts (in sight or scrolled to) and the
// sales name their kind.
TEST_F(FormasCaja, TheCutsSaleDetailReachesPriceAndAmountOnASmallScreen)
{
    GuardaVenta(*bd(), 1, QStringLiteral("F"), QStringLiteral("2026-12-09 10:30:00"), 116);
    ASSERT_TRUE(bd()->exec(QStringLiteral("UPDATE DetalleVenta SET ClaveProducto = (SELECT ClaveProducto FROM "
                                          "Producto WHERE Nombre = 'GOMA BLANCA')")));
    ASSERT_TRUE(bd()->exec(QStringLiteral("UPDATE Producto SET Nombre = 'GOMA BLANCA PARA LAPIZ Y TINTA MARCA "
                                          "EXTRAORDINARIA', Descripcion = 'GOMA DE BORRAR BLANCA SUAVE DE VINIL "
                                          "PARA DIBUJO TECNICO Y ESCOLAR' WHERE Nombre = 'GOMA BLANCA'")));
    shell::MIDI midi;
    midi.resize(1024, 768);
    midi.show();
    frmCortesCaja* cortes = AbreCortesCaja(&midi);
    ASSERT_NE(cortes, nullptr);
    ASSERT_EQ(cortes->gridDetVentas->model()->rowCount(), 1) << prompts.lastMessage().toStdString();
    QApplication::processEvents();
    EXPECT_TRUE(testutil::ColumnasAlAlcance(cortes->gridDetVentas, {QStringLiteral("Precio"), QStringLiteral("Importe")}));
    EXPECT_TRUE(testutil::ColumnasAlAlcance(cortes->gridClientes, {QStringLiteral("Tipo"), QStringLiteral("Total")}));
    EXPECT_EQ(cortes->gridClientes->model()->index(0, 2).data().toString(), "Factura");
}

// A shop's long names: after the lookup the returns window stays within the main window's area, on
// a 1280x1024 screen and on a 1024x768 one (its grids scroll sideways), so how the return is paid,
// the refund and Regresar stay in sight.
TEST_F(FormasCaja, ReturnsStayWithinTheScreenAfterALookup)
{
    GuardaVenta(*bd(), 1, QStringLiteral("T"), QStringLiteral("2026-12-09 10:30:00"), 6);
    ASSERT_TRUE(bd()->exec(QStringLiteral("UPDATE DetalleVenta SET ClaveProducto = (SELECT ClaveProducto FROM "
                                          "Producto WHERE Nombre = 'GOMA BLANCA')")));
    const QString largo = QStringLiteral("GOMA BLANCA PARA LAPIZ Y TINTA MARCA EXTRAORDINARIA DE VINIL SUAVE ");
    ASSERT_TRUE(bd()->exec(QStringLiteral("UPDATE Producto SET Nombre = ?, Descripcion = ? WHERE Nombre = 'GOMA BLANCA'"),
                           {largo + QStringLiteral("NOMBRE"), largo + largo + QStringLiteral("DESCRIPCION")}));
    for (const QSize pantalla : {QSize(1280, 1024), QSize(1024, 768)}) {
        shell::MIDI midi;
        midi.resize(pantalla);
        midi.show();
        frmDevoluciones* f = AbreDevoluciones(&midi);
        QTest::keyClicks(f->capNumero->findChild<QLineEdit*>(), QStringLiteral("1"));
        QTest::mouseClick(f->cmdConsultar, Qt::LeftButton);
        ASSERT_EQ(f->gridDetVentas->model()->rowCount(), 1) << prompts.lastMessage().toStdString();
        QApplication::processEvents();
        QWidget* area = midi.areaMDI()->viewport();
        for (QWidget* w : std::initializer_list<QWidget*>{f->cmbTipoDevolucion, f->lblImporteDev, f->cmdCerrar}) {
            const QRect r(w->mapTo(area, QPoint(0, 0)), w->size());
            EXPECT_TRUE(w->isVisible() && area->rect().contains(r))
                << w->objectName().toStdString() << " at " << r.x() << "+" << r.width() << " of " << area->width();
        }
        f->close();
    }
}

// Every cash form as its menu item opens it in the main window of a 1280x1024 screen.
TEST_F(FormasCaja, EveryFormShowsWholeInTheMainWindow)
{
    shell::MIDI midi;
    midi.resize(1280, 1024);
    midi.show();
    EXPECT_TRUE(testutil::CadaFormaSeVeEntera(
        {AbreMovCaja(&midi), AbreCortesCaja(&midi), AbreDevoluciones(&midi), AbreFacturarDia(&midi)}));
}

}  // namespace
