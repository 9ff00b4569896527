// Branch maintenance over a real data folder: each task its own transaction, the shared catalogs
// seen from another branch, the rows the program ships kept.

#include "apps/setup/datasetup.h"
#include "branches/mantenimiento.h"
#include "fixture.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QFileInfo>

using namespace sucursales;
using suctest::SucursalesTest;

namespace {

Sucursal Matriz()
{
    Sucursal s;
    s.IdSucursal = QStringLiteral("1");
    s.DescripcionC = QStringLiteral("Matriz");
    return s;
}

Seleccion Tareas(std::initializer_list<int> t, const QString& catalogo = {})
{
    Seleccion s;
    for (int i : t) s.marcada[i] = true;
    s.catalogo = catalogo;
    return s;
}

}  // namespace

class MantenimientoTest : public SucursalesTest {
protected:
    void SetUp() override
    {
        SucursalesTest::SetUp();
        suc = Abre(Ruta(QStringLiteral("Matriz")));
        ASSERT_TRUE(suc);
        for (const char* sql :
             {"INSERT INTO Venta (Numero, Tipo) VALUES (5, 'F'), (9, 'T')",
              "INSERT INTO DetalleVenta (Numero, ClaveProducto) VALUES (5, 1), (0, 1)",
              "INSERT INTO NotaCredito (Numero) VALUES (3)", "INSERT INTO DNotaCredito (Numero) VALUES (3)",
              "INSERT INTO MovimientosCaja (ImporteMov, TipoMov) VALUES (10, 1)",
              "INSERT INTO CortesCaja (ObsCorte) VALUES ('x')", "INSERT INTO EInventario (Numero) VALUES (4)",
              "INSERT INTO DEInventario (Numero, ClaveProducto) VALUES (4, 1)",
              "INSERT INTO Solicitafolios (FolioSolicita, valordev) VALUES (4, 5)",
              "INSERT INTO VentaCredito (Numero) VALUES (2)", "UPDATE Folios SET ValorFolio = 40",
              "INSERT INTO Cuentas (IdCuenta, NomCuenta) VALUES (1, 'BANCO')",
              "INSERT INTO CuentasMovto (IdCuenta, IdMovto) VALUES (1, 1)",
              "INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (1, 12)",
              "INSERT INTO Producto (ClaveProducto, CodigodeBarras) VALUES (2, 'B2'), (3, 'B3')",
              "INSERT INTO Categoria (ClaveCategoria, Descripcion) VALUES (1, 'UNO'), (3, 'TRES')",
              "INSERT INTO Cliente (RFC, Nombre) VALUES ('GOMA800101AB1', 'MARIA'), ('V', 'VARIOS')",
              "INSERT INTO Proveedores (RFC) VALUES ('PROV800101AB1')"})
            ASSERT_TRUE(suc->exec(QString::fromLatin1(sql))) << sql;
    }
    int Cuenta(db::Database& bd, const QString& tabla)
    {
        return Valor(bd, QStringLiteral("SELECT count(*) FROM ") + tabla).toInt();
    }
    std::unique_ptr<db::Database> suc;
};

TEST_F(MantenimientoTest, HistoryResetEmptiesTheDocumentsTheQueueAndRestartsTheFolios)
{
    prompts.pushAnswer(ui::Answer::Yes);
    ASSERT_TRUE(ProcesaSucursal(Matriz(), Tareas({HistorialVentasT}), prompts)) << prompts.lastMessage().toStdString();
    ASSERT_EQ(prompts.asked().front().kind, ui::ScriptedPrompts::Asked::Question);
    EXPECT_TRUE(prompts.asked().front().text.contains(QStringLiteral("Borrar Historial de Ventas.")));
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Proceso concluido."));
    EXPECT_EQ(shell::UltimoEstado(2), QStringLiteral("Ok.."));
    for (const char* t : {"Venta", "DetalleVenta", "NotaCredito", "DNotaCredito", "MovimientosCaja", "CortesCaja",
                          "EInventario", "DEInventario", "Solicitafolios"})
        EXPECT_EQ(Cuenta(*suc, QString::fromLatin1(t)), 0) << t;
    EXPECT_EQ(Cuenta(*suc, QStringLiteral("VentaCredito")), 1);
    EXPECT_EQ(Cuenta(*suc, QStringLiteral("Cuentas")), 1);
    auto folio = [&](int n) {
        return Valor(*suc, QStringLiteral("SELECT ValorFolio FROM Folios WHERE Numerofolio = ?"), {n}).toInt();
    };
    EXPECT_EQ(folio(1), 1);  // the next invoice is 2
    EXPECT_EQ(folio(6), 0);  // the next ticket is 1
    EXPECT_EQ(folio(2), 1);
    EXPECT_EQ(folio(4), 40);
    EXPECT_EQ(folio(5), 40);
}

TEST_F(MantenimientoTest, NoTaskTickedOnlyEndsAndAMissingFileDoesNothing)
{
    EXPECT_TRUE(ProcesaSucursal(Matriz(), Seleccion{}, prompts));
    EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("Proceso concluido.")});
    EXPECT_EQ(prompts.asked().size(), 1u);

    prompts.clear();
    Sucursal otra = Matriz();
    otra.DescripcionC = QStringLiteral("NoHay");
    EXPECT_FALSE(ProcesaSucursal(otra, Tareas({HistorialVentasT}), prompts));
    EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("El Archivo de sucursal no existe.")});
    EXPECT_EQ(Cuenta(*suc, QStringLiteral("Venta")), 2);
}

TEST_F(MantenimientoTest, AllCatalogsAreGoneForTheOtherBranchTooButTheShippedRowsStay)
{
    AgregaSucursal(2, QStringLiteral("Norte"));
    auto norte = Abre(Ruta(QStringLiteral("Norte")));
    ASSERT_TRUE(norte->exec(QStringLiteral("INSERT INTO Cuentas (IdCuenta) VALUES (7)")));
    prompts.pushAnswer(ui::Answer::Yes);
    ASSERT_TRUE(ProcesaSucursal(Matriz(), Tareas({CatalogosT}, QStringLiteral("Todos")), prompts))
        << prompts.lastMessage().toStdString();
    EXPECT_TRUE(prompts.asked().front().text.contains(QStringLiteral("catálogos centrales")));
    EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT group_concat(ClaveProducto) FROM Producto")).toString(), QStringLiteral("1"));
    EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT group_concat(RFC) FROM Cliente")).toString(), QStringLiteral("XAXX010101000"));
    EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT group_concat(ClaveCategoria) FROM Categoria")).toString(), QStringLiteral("0"));
    EXPECT_EQ(Cuenta(*norte, QStringLiteral("Proveedores")), 0);
    EXPECT_EQ(Cuenta(*suc, QStringLiteral("Cuentas")), 0);
    EXPECT_EQ(Cuenta(*suc, QStringLiteral("CuentasMovto")), 0);
    EXPECT_EQ(Cuenta(*norte, QStringLiteral("Cuentas")), 1);  // another branch's own accounts stay
}

TEST_F(MantenimientoTest, RestoreNeedsABackupAndThenBringsItBack)
{
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(ProcesaSucursal(Matriz(), Tareas({RecuperaProductosT}), prompts));
    EXPECT_TRUE(prompts.messages().join(u'|').contains(QStringLiteral("No hay respaldo de productos para recuperar.")));
    EXPECT_EQ(Cuenta(*suc, QStringLiteral("Producto")), 3);

    auto central = Central();
    ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO RProducto SELECT * FROM Producto WHERE ClaveProducto <= 2")));
    ASSERT_TRUE(central->exec(QStringLiteral("UPDATE RProducto SET Nombre = 'ANTES'")));
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(ProcesaSucursal(Matriz(), Tareas({RecuperaProductosT}), prompts)) << prompts.lastMessage().toStdString();
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT group_concat(Nombre) FROM Producto")).toString(), QStringLiteral("ANTES,ANTES"));
}

TEST_F(MantenimientoTest, AFailingTaskIsRolledBackAndTheNextStillRuns)
{
    ASSERT_TRUE(suc->exec(QStringLiteral("CREATE TRIGGER niega BEFORE DELETE ON CortesCaja "
                                         "BEGIN SELECT RAISE(ABORT, 'corte protegido'); END")));
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(ProcesaSucursal(Matriz(), Tareas({HistorialVentasT, HistorialCreditoT}), prompts));
    const QStringList m = prompts.messages();
    ASSERT_EQ(m.size(), 2);
    EXPECT_TRUE(m[0].contains(QStringLiteral("corte protegido")));
    EXPECT_EQ(m[1], QStringLiteral("Proceso concluido. No se realizaron: Borrar Historial de Ventas."));
    EXPECT_NE(shell::UltimoEstado(2), QStringLiteral("Ok.."));
    EXPECT_EQ(Cuenta(*suc, QStringLiteral("Venta")), 2);  // nothing of the failed task stays done
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1")).toInt(), 40);
    EXPECT_EQ(Cuenta(*suc, QStringLiteral("Cuentas")), 0);
}

TEST_F(MantenimientoTest, FirstUseResetKeepsTheShippedRowsAndOnlyRunsOnBranchOne)
{
    AgregaSucursal(2, QStringLiteral("Norte"));
    auto central = Central();
    ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO Personal (ClavePersonal, NombreUsuario) VALUES (7, 'OTRO')")));
    ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO UsuarioPermiso (IdUsuario, IdPermiso) VALUES (7, 3), (1, 99)")));

    Sucursal norte = LeeCatalogo(*central)->at(1);
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(ProcesaSucursal(norte, Tareas({InicializarT}), prompts));
    EXPECT_EQ(Cuenta(*central, QStringLiteral("Sucursales")), 2);

    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(ProcesaSucursal(Matriz(), Tareas({InicializarT}), prompts)) << prompts.lastMessage().toStdString();
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT group_concat(ClaveProducto) FROM Producto")).toString(), QStringLiteral("1"));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT group_concat(RFC) FROM (SELECT RFC FROM Cliente ORDER BY RFC)")).toString(),
              QStringLiteral("V,XAXX010101000"));
    EXPECT_EQ(Cuenta(*central, QStringLiteral("Sucursales")), 1);
    EXPECT_EQ(Cuenta(*central, QStringLiteral("Personal WHERE ClavePersonal = 7")), 0);
    EXPECT_EQ(Cuenta(*central, QStringLiteral("UsuarioPermiso WHERE IdUsuario = 7")), 0);
    EXPECT_EQ(Cuenta(*central, QStringLiteral("UsuarioPermiso WHERE IdUsuario = 1 AND IdPermiso = 99")), 1);
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT Credito FROM Empresa")).toInt(), 1);
}

TEST_F(MantenimientoTest, CompactionIsRefusedWhileAnotherTerminalHoldsTheFile)
{
    suc.reset();
    auto otro = Retiene(Ruta(QStringLiteral("Matriz")));
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(ProcesaSucursal(Matriz(), Tareas({CompactaT}), prompts));
    EXPECT_TRUE(prompts.messages().join(u'|').contains(QStringLiteral("en uso en otra terminal")));
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Proceso concluido. No se realizaron: Compactar Base."));
    Suelta(*otro);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(ProcesaSucursal(Matriz(), Tareas({CompactaT, ValidaExistenciasT}), prompts))
        << prompts.lastMessage().toStdString();
}

TEST_F(MantenimientoTest, ParkedImportDataMovesIntoStockAndPricesThenIsCleared)
{
    ASSERT_TRUE(suc->exec(QStringLiteral("UPDATE Producto SET Descripcion2 = '25', Precio1 = 30 WHERE ClaveProducto = 2")));
    prompts.pushAnswer(ui::Answer::Yes);
    ASSERT_TRUE(ProcesaSucursal(Matriz(), Tareas({PasaTemporalesT}), prompts)) << prompts.messages().join(u'|').toStdString();
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = 2")).toDouble(), 25.0);
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT PrecioUnit FROM Producto WHERE ClaveProducto = 2")).toDouble(), 30.0);
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT count(*) FROM Producto WHERE Precio1 <> 0 OR Descripcion2 <> ''")).toInt(), 0);
}
