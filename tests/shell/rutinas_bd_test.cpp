#include "shell/texto.h"
#include "fixture.h"

#include "platform/ui/prompts.h"
#include "shell/arranque.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace shell;

class RutinasBD : public ::testing::Test {
protected:
    void SetUp() override {
        usaCarpetas(c);
        ui::setDefaultPrompts(&p);
        G().CarpetaDatos = c.datos;
        G().SucursalActual = 0;
        G().DescripcionC[0] = QStringLiteral("Centro");
        suc = BDSucursal();
        ASSERT_NE(suc, nullptr);
    }
    void TearDown() override {
        CierraConexiones();
        ui::setDefaultPrompts(nullptr);
    }
    Carpetas c;
    ui::ScriptedPrompts p;
    db::Database* suc = nullptr;
};

TEST_F(RutinasBD, ProcesaSQLReportsAFailureAndReturnsIt) {
    EXPECT_FALSE(ProcesaSQL(*suc, QStringLiteral("INSERT INTO NoExiste VALUES (1)")));
    ASSERT_EQ(p.messages().size(), 1);
    EXPECT_TRUE(p.lastMessage().startsWith(QStringLiteral("No se pudo ejecutar el comando: INSERT INTO NoExiste VALUES (1) ")));
    EXPECT_EQ(UltimoEstado(2), QStringLiteral("Procesando INSERT INTO NoExiste VALUES (1).."));

    p.clear();
    EXPECT_TRUE(ProcesaSQL(c.sucursal()->path(), QStringLiteral("UPDATE Parametros SET EspT = ?"), {7}));
    EXPECT_TRUE(p.messages().isEmpty());
    EXPECT_EQ(UltimoEstado(2), QStringLiteral("Ok "));
    EXPECT_EQ(suc->scalar(QStringLiteral("SELECT EspT FROM Parametros"))->toInt(), 7);

    // A file that is not there is a failure too, not a silent success.
    EXPECT_FALSE(ProcesaSQL(c.datos + QStringLiteral("/nada.db"), QStringLiteral("DELETE FROM x")));
    EXPECT_EQ(p.messages().size(), 1);
}

TEST_F(RutinasBD, InsertsKeepQuotesAndNumberMovementsInsideTheCallersTransaction) {
    db::WriteTransaction t(*suc);
    ASSERT_TRUE(t.begin());
    auto id1 = InsertaMovCaja(*suc, 120.5, 2, QStringLiteral("Pago con nota 'N-5' de O'Hara"), 4);
    auto id2 = InsertaMovCajaCorte(*suc, QDateTime(QDate(2026, 12, 9), QTime(10, 30)), 50, 1,
                                   QStringLiteral("Fondo"), 1, 0, 4);
    ASSERT_TRUE(id1 && id2);
    EXPECT_EQ(*id1, 1);
    EXPECT_EQ(*id2, 2);
    ASSERT_TRUE(InsertaNotaCredito(*suc, 5, 2.5, QDateTime(QDate(2026, 12, 9), QTime()), 120.5, 0, 3,
                                   QStringLiteral("D'Angelo; DROP TABLE Venta"), 16, 1, 17, QStringLiteral("it's")));
    ASSERT_TRUE(InsertaDetalleNotaCredito(*suc, 5, 1001, 1.5, 80.333, true, 12.75));
    ASSERT_TRUE(InsertaEInventario(*suc, 9, QDateTime(QDate(2026, 12, 9), QTime()), QStringLiteral("Devolución 'A'"),
                                   1, 4, 0, 0, 0, 3, QStringLiteral("N-5")));
    ASSERT_TRUE(t.commit());

    auto mov = suc->selectOne(QStringLiteral("SELECT * FROM MovimientosCaja WHERE IdMovimiento = 1"));
    EXPECT_EQ(mov->text("DescripcionMov"), QStringLiteral("Pago con nota 'N-5' de O'Hara"));
    EXPECT_EQ(mov->integer("EstatusMov"), 1);
    EXPECT_EQ(mov->integer("IdCorte"), 0);
    auto corte = suc->selectOne(QStringLiteral("SELECT * FROM MovimientosCaja WHERE IdMovimiento = 2"));
    EXPECT_EQ(corte->text("FechaMov"), QStringLiteral("2026-12-09 10:30:00"));
    auto nota = suc->selectOne(QStringLiteral("SELECT * FROM NotaCredito"));
    EXPECT_EQ(nota->text("Cliente"), QStringLiteral("D'Angelo; DROP TABLE Venta"));
    EXPECT_EQ(nota->text("Fecha"), QStringLiteral("2026-12-09"));
    EXPECT_EQ(suc->scalar(QStringLiteral("SELECT IVA FROM DNotaCredito"))->toInt(), 1);
    // Discounts keep their fraction.
    EXPECT_DOUBLE_EQ(nota->real("Descuento"), 2.5);
    EXPECT_DOUBLE_EQ(suc->scalar(QStringLiteral("SELECT Descuento FROM DNotaCredito"))->toDouble(), 12.75);
    EXPECT_EQ(suc->scalar(QStringLiteral("SELECT Descripcion FROM EInventario"))->toString(),
              QString::fromUtf8("Devolución 'A'"));

    // A duplicate number outside a transaction is shown once and written nowhere.
    p.clear();
    EXPECT_FALSE(InsertaNotaCredito(*suc, 5, 0, QDateTime(QDate(2026, 12, 9), QTime()), 1, 0, 3, {}, 16, 1, 0, {}));
    EXPECT_EQ(p.messages().size(), 1);
    EXPECT_EQ(suc->scalar(QStringLiteral("SELECT COUNT(*) FROM NotaCredito"))->toInt(), 1);

    db::Error e;
    EXPECT_FALSE(suc->exec(QStringLiteral("INSERT INTO EInventario(Numero) VALUES (9)"), {}, &e));
    MuestraErrorBD(e);
    EXPECT_EQ(p.lastMessage(), QStringLiteral("Hay un valor que no se permite duplicar como el codigo de barras, "
                                              "compruebe sus campos. Se repite: Numero."));
}

// Inside a save's write transaction a failure must not open a message box (it would hold the lock
// over every terminal until someone clicks): it comes back to the caller, who rolls back and tells it.
TEST_F(RutinasBD, FailuresInsideATransactionComeBackWithoutAMessage) {
    ASSERT_TRUE(InsertaNotaCredito(*suc, 5, 0, QDateTime(QDate(2026, 12, 9), QTime()), 1, 0, 3, {}, 16, 1, 0, {}));
    ASSERT_TRUE(InsertaEInventario(*suc, 9, QDateTime(), {}, 1, 4, 0, 0, 0, 3, {}));
    p.clear();
    {
        db::WriteTransaction t(*suc);
        ASSERT_TRUE(t.begin());
        ASSERT_TRUE(InsertaMovCaja(*suc, 10, 1, QStringLiteral("antes"), 4));
        db::Error e;
        EXPECT_FALSE(InsertaNotaCredito(*suc, 5, 0, QDateTime(), 1, 0, 3, {}, 16, 1, 0, {}, &e));
        EXPECT_EQ(e.kind, db::ErrorKind::DuplicateKey);
        EXPECT_TRUE(e.message.startsWith(QStringLiteral("No se pudo ejecutar el comando: INSERT INTO NotaCredito")));
        e = {};
        EXPECT_FALSE(InsertaEInventario(*suc, 9, QDateTime(), {}, 1, 4, 0, 0, 0, 3, {}, &e));
        EXPECT_FALSE(e.ok());
        EXPECT_FALSE(ProcesaSQL(*suc, QStringLiteral("UPDATE NoExiste SET x = 1")));
        EXPECT_FALSE(ProcesaSQL(suc->path(), QStringLiteral("UPDATE NoExiste SET x = 1")));
        EXPECT_TRUE(p.messages().isEmpty());
        EXPECT_TRUE(p.asked().empty());
        // The transaction is still the caller's to roll back.
        EXPECT_TRUE(suc->inTransaction());
    }
    EXPECT_EQ(suc->scalar(QStringLiteral("SELECT COUNT(*) FROM MovimientosCaja"))->toInt(), 0);

    // The same failure outside a transaction is shown, and still returned.
    db::Error e;
    EXPECT_FALSE(ProcesaSQL(*suc, QStringLiteral("UPDATE NoExiste SET x = 1"), {}, &e));
    EXPECT_EQ(p.messages().size(), 1);
    EXPECT_FALSE(e.ok());
}

TEST_F(RutinasBD, ObtenerSiguienteIdCountsNullAsZeroAndRoundsHalvesToEven) {
    EXPECT_EQ(ObtenerSiguienteId(*suc, "IdMovimiento", "MovimientosCaja"), 1);
    suc->exec(QStringLiteral("INSERT INTO NotaCredito(Numero, Total, Status) VALUES (1, NULL, 1), (2, 120.50, 1), "
                             "(3, 121.50, 1)"));
    EXPECT_EQ(ObtenerSiguienteId(*suc, "Total", "SELECT Total FROM NotaCredito WHERE Numero = 1"), 1);
    // The "*" form reads one value of the branch file: 120.50 comes back as 121 (120 once the caller
    // takes the 1 off), 121.50 as 123.
    EXPECT_EQ(ObtenerSiguienteId("Total", "*Select Notacredito.Total from Notacredito where status=1 and Numero=?",
                                 {2}), 121);
    EXPECT_EQ(ObtenerSiguienteId("Total", "*Select Total from Notacredito where Numero=?", {3}), 123);
    EXPECT_EQ(ObtenerSiguienteId("Numero", "\\NotaCredito"), 4);
    EXPECT_EQ(ObtenerSiguienteId("IdVendedor", "Vendedores"), 8);  // the central file
    db::Error e;
    EXPECT_FALSE(ObtenerSiguienteId("x", "NoHay", {}, &e).has_value());
    EXPECT_FALSE(e.ok());
}

TEST_F(RutinasBD, LeerCampoSumaCampoAndTheDateCriterion) {
    auto filas = suc->select(QStringLiteral("SELECT * FROM Parametros"));
    ASSERT_TRUE(filas && filas->size() == 1);
    const db::Row& f = filas->front();
    EXPECT_EQ(LeerCampo(f, "IVA"), "16");
    bool ok = true;
    EXPECT_EQ(LeerCampo(f, "NoEsCampo", &ok), "");
    EXPECT_FALSE(ok);
    EXPECT_TRUE(p.lastMessage().startsWith(QString::fromUtf8("Error. No se encontró campo NoEsCampo")));

    suc->exec(QStringLiteral("INSERT INTO MovimientosCaja(IdMovimiento, ImporteMov, DescripcionMov) VALUES "
                             "(1, 10.25, 'a'), (2, NULL, 'b'), (3, 0.1, 'c'), (4, 0.2, 'd')"));
    auto movs = *suc->select(QStringLiteral("SELECT * FROM MovimientosCaja"));
    EXPECT_NEAR(*SumaCampo(movs, "ImporteMov"), 10.55, 1e-9);
    EXPECT_EQ(*SumaCampo({}, "ImporteMov"), 0.0);
    p.clear();
    EXPECT_FALSE(SumaCampo(movs, "DescripcionMov").has_value());
    EXPECT_EQ(p.lastMessage(), QStringLiteral("Error al sumar campo DescripcionMov"));
    EXPECT_FALSE(SumaCampo(movs, "NoHay").has_value());

    const QDate d1(2026, 12, 31), d2(2027, 1, 2);
    const CriterioFechas dia = ArmaCriterioFechas(d1, d2, "Fecha", 1);
    EXPECT_EQ(dia.sql, "(Fecha >= ?) and (Fecha < ?)");
    EXPECT_EQ(dia.params, (QVariantList{"2026-12-31", "2027-01-01"}));
    EXPECT_TRUE(ArmaCriterioFechas(d1, d2, "Fecha", 0).sql.isEmpty());
    EXPECT_TRUE(ArmaCriterioFechas(d1, d2, "Fecha", 0).params.isEmpty());
    // Stored date-times of the last day fall inside the range, the day after does not, nor a day
    // before the first; the range crosses the year.
    suc->exec(QStringLiteral("INSERT INTO NotaCredito(Numero, Fecha) VALUES (1, '2027-01-02 23:59:00'), "
                             "(2, '2027-01-03'), (3, '2026-12-30 23:59:59'), (4, '2026-12-31')"));
    const CriterioFechas rango = ArmaCriterioFechas(d1, d2, "Fecha", 2);
    EXPECT_EQ(suc->scalar("SELECT COUNT(*) FROM NotaCredito WHERE " + rango.sql, rango.params)->toInt(), 2);
    EXPECT_EQ(suc->scalar("SELECT COUNT(*) FROM NotaCredito WHERE " + dia.sql, dia.params)->toInt(), 1);
}

TEST_F(RutinasBD, BuscaRegistrosFiltersByTheKindOfTheField) {
    auto* cen = BDCodigos();
    ASSERT_NE(cen, nullptr);
    cen->exec(QStringLiteral("INSERT INTO Producto VALUES (3, '750100', 'Azúcar 1kg', 30), (1, '750_1', 'Arroz', 20), "
                             "(2, '7501%', 'Frijol', 25)"));
    db::Rows r;
    const QString base = QStringLiteral("SELECT * FROM Producto");
    EXPECT_EQ(BuscaRegistros(*cen, base, "ClaveProducto", "", &r), 1);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].integer("ClaveProducto"), 1);
    EXPECT_EQ(BuscaRegistros(*cen, base, "CodigodeBarras", "750_", &r), 1);
    ASSERT_EQ(r.size(), 1u);  // "_" is a plain character, not a wildcard
    EXPECT_EQ(r[0].text("Nombre"), "Arroz");
    EXPECT_EQ(BuscaRegistros(*cen, base, "CodigodeBarras", "7501", &r), 1);
    EXPECT_EQ(r.size(), 2u);
    EXPECT_EQ(BuscaRegistros(*cen, base, "ClaveProducto", "2", &r), 1);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].text("Nombre"), "Frijol");
    EXPECT_EQ(BuscaRegistros(*cen, base, "Nombre", "O'Brien", &r), 1);
    EXPECT_TRUE(r.empty());
    // A word where a number goes: reported, and the whole base list comes back.
    p.clear();
    EXPECT_EQ(BuscaRegistros(*cen, base, "ClaveProducto", "abc", &r), 0);
    EXPECT_EQ(r.size(), 3u);
    EXPECT_TRUE(p.lastMessage().startsWith(QString::fromUtf8("No se pudo ejecutar la búsqueda: ClaveProducto, abc\r\n")));
}

TEST_F(RutinasBD, CopiaTablaAppendsAndCompactaRefusesAFileInUse) {
    c.creaSucursal(1, QStringLiteral("Norte"));
    const QString norte = c.sucursal(QStringLiteral("Norte"))->path();
    suc->exec(QStringLiteral("INSERT INTO MovimientosCaja(IdMovimiento, ImporteMov) VALUES (1, 5), (2, 6)"));
    CierraConexiones();
    EXPECT_TRUE(CopiaTablaABase(c.sucursal()->path(), norte, "MovimientosCaja"));
    EXPECT_EQ(c.sucursal("Norte")->scalar("SELECT SUM(ImporteMov) FROM MovimientosCaja")->toDouble(), 11.0);
    EXPECT_FALSE(CopiaTablaABase(c.sucursal()->path(), norte, "NoHay"));

    const QString carpeta = QFileInfo(norte).absolutePath();
    EXPECT_TRUE(CompactaBaseDatos(carpeta + "/", "bdsucursal.db"));
    EXPECT_EQ(c.sucursal("Norte")->scalar("SELECT COUNT(*) FROM MovimientosCaja")->toInt(), 2);

    // Another connection (another terminal) in the middle of a write: refused, file intact.
    {
        QSqlDatabase otra = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otra_terminal"));
        otra.setDatabaseName(norte);
        ASSERT_TRUE(otra.open());
        QSqlQuery q(otra);
        ASSERT_TRUE(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO MovimientosCaja(IdMovimiento) VALUES (3)")));
        p.clear();
        EXPECT_FALSE(CompactaBaseDatos(carpeta, "BDSucursal.db"));
        EXPECT_TRUE(p.lastMessage().contains(QString::fromUtf8("en uso")));
        q.exec(QStringLiteral("ROLLBACK"));
        q = QSqlQuery();
        otra.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("otra_terminal"));
    EXPECT_EQ(c.sucursal("Norte")->scalar("SELECT COUNT(*) FROM MovimientosCaja")->toInt(), 2);
}

// The engine's own text never reaches the person: a required field is named, the rest told in Spanish.
TEST_F(RutinasBD, ErrorsAreToldInThePersonsWords) {
    const struct {
        db::Error error;
        QString esperado;
    } casos[] = {
        {{db::ErrorKind::Constraint, 1299, QStringLiteral("NOT NULL constraint failed: Categoria.Descripcion")},
         MensajeRequerido(QStringLiteral("Descripcion"))},
        {{db::ErrorKind::Other, 1, QStringLiteral("near \"FORM\": syntax error")},
         QString::fromUtf8("No se pudo leer o grabar en la base de datos: hay un error de sintaxis cerca de \"FORM\".")},
        {{db::ErrorKind::Other, 13, QStringLiteral("database or disk is full")},
         QString::fromUtf8("No se pudo leer o grabar en la base de datos: el disco está lleno.")},
        {{db::ErrorKind::Other, 1, QStringLiteral("some text the program never saw")},
         QString::fromUtf8("No se pudo leer o grabar en la base de datos: el motor de datos no aceptó la instrucción.")},
        {{db::ErrorKind::Other, 18, QStringLiteral("a text of a later engine")},
         QString::fromUtf8("No se pudo leer o grabar en la base de datos: un texto o un valor es demasiado grande.")},
        {{db::ErrorKind::Other, 1, QStringLiteral("no such module: fts4")},
         QString::fromUtf8("No se pudo leer o grabar en la base de datos: no se permite la tabla virtual del módulo fts4: "
                           "el programa no usa tablas virtuales.")},
        {{db::ErrorKind::NotFound, 0, QStringLiteral("El registro ya no existe.")}, QStringLiteral("El registro ya no existe.")},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(TextoErrorBD(c.error), c.esperado);
        p.clear();
        MuestraErrorBD(c.error);
        EXPECT_EQ(p.lastMessage(), c.esperado);
    }
}
