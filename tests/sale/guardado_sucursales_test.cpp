// Saves of two branches of one data folder: a save that writes its branch file alone never waits
// for the other branch, and one that writes the central file too waits for it holding nothing.

#include "apps/setup/datasetup.h"
#include "fixture.h"
#include "sale/documentos.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class GuardadoSucursales : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(base.ok()) << base.error().toStdString();
        QString error;
        ASSERT_TRUE(datasetup::createBranch(base.carpeta(), QStringLiteral("NORTE"), 2, &error))
            << error.toStdString();
        norte = db::Database::open(datasetup::rutaSucursal(base.carpeta(), QStringLiteral("NORTE")),
                                   datasetup::claveArchivos());
        ASSERT_NE(norte, nullptr);
        saletest::VaciaCatalogo(base.db());
        ASSERT_TRUE(saletest::AgregaProducto(base.db(), {1, "750100", "COCA", "REFRESCO COLA", 15.0}, &error))
            << error.toStdString();
    }
    // A one-line ticket of branch 2 as its screen hands it over.
    sale::PorGuardar Ticket()
    {
        EXPECT_TRUE(norte->exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, "
                                               "Cantidad, PrecioUnit, Terminal) VALUES (0, 'T', 1, 2, 15, 'N1')")));
        sale::PorGuardar g;
        g.Clase = sale::ClaseDocumento::Ticket;
        g.Encabezado.Cliente = QStringLiteral("XAXX010101000");
        g.Documentos.push_back({30, {norte->lastInsertId()}});
        return g;
    }
    static db::LockWait Breve()
    {
        db::LockWait w;
        w.timeoutMs = 3000;
        return w;
    }

    saletest::BaseSucursal base;
    std::unique_ptr<db::Database> norte;
};

}  // namespace

TEST_F(GuardadoSucursales, ABranchSavesWhileAnotherBranchHoldsItsWriteTransaction)
{
    auto centro = base.open();
    ASSERT_TRUE(centro->beginWrite());  // branch 1 mid-save, with the central file reserved too
    const sale::Guardado r = sale::GuardaDocumento(*norte, Ticket(), Breve());
    EXPECT_TRUE(r.ok) << r.error.message.toStdString();
    centro->rollback();
    EXPECT_EQ(norte->scalar(QStringLiteral("SELECT count(*) FROM Venta WHERE Tipo = 'T'"))->toInt(), 1);
    EXPECT_DOUBLE_EQ(norte->scalar(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = 1"))
                         ->toDouble(), -2);
}

// The save's central write meets the other branch's reservation: it starts again with both files
// and completes once the other lets go, with every row of both files stored.
TEST_F(GuardadoSucursales, ASaveWritingTheCentralFileWaitsForItWithoutHoldingLocks)
{
    auto centro = base.open();
    ASSERT_TRUE(centro->beginWrite());
    int intentos = 0;
    sale::PorGuardar g = Ticket();
    g.Extra = [&intentos](db::Database& b, const sale::Guardado&, db::Error* e) {
        ++intentos;
        return b.exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre) "
                                     "VALUES (2, '750200', 'GENERICO')"),
                      {}, e);
    };
    QTimer::singleShot(300, [&] {
        // The branch-2 save waits in its begin: branch 2's own file is free for others meanwhile.
        auto otra = db::Database::open(norte->path(), datasetup::claveArchivos());
        db::LockWait w;
        w.timeoutMs = 50;
        db::Error e;
        EXPECT_TRUE(otra && otra->beginWrite(w, &e, db::WriteScope::MainFile)) << e.message.toStdString();
        if (otra) otra->rollback();
        centro->rollback();
    });
    const sale::Guardado r = sale::GuardaDocumento(*norte, g, Breve());
    EXPECT_TRUE(r.ok) << r.error.message.toStdString();
    EXPECT_EQ(intentos, 2);
    EXPECT_EQ(base.db().scalar(QStringLiteral("SELECT Nombre FROM Producto WHERE ClaveProducto = 2"))->toString(),
              QStringLiteral("GENERICO"));
    EXPECT_EQ(norte->scalar(QStringLiteral("SELECT count(*) FROM Venta WHERE Tipo = 'T'"))->toInt(), 1);
}
