#include "platform/db/database.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace db;

namespace {

struct SchemaTest : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<Database> d;
    void SetUp() override {
        d = Database::create(dir.filePath("s.db"), "pw");
        ASSERT_TRUE(d);
        ASSERT_TRUE(d->execScript(
            "CREATE TABLE Venta(Folio INTEGER PRIMARY KEY, Cliente TEXT(50) NOT NULL DEFAULT '', "
            "Total REAL, Viejo TEXT);"
            "CREATE INDEX ixCliente ON Venta(Cliente);"
            "CREATE INDEX ixViejo ON Venta(Viejo);"));
        for (int i = 1; i <= 50; ++i)
            ASSERT_TRUE(d->exec("INSERT INTO Venta VALUES(?, ?, ?, ?)",
                                {i, QStringLiteral("C'%1").arg(i), i * 1.5, QStringLiteral("v")}));
    }
    qint64 count(Database& db, const QString& table) {
        return db.scalar("SELECT count(*) FROM " + table)->toLongLong();
    }
};

TEST_F(SchemaTest, ListsTablesFieldsAndIndexes) {
    const auto tables = d->tables();
    ASSERT_EQ(tables.size(), 1u);  // meta tables are not shown
    EXPECT_EQ(tables[0].name, QStringLiteral("Venta"));
    const auto f = d->fields("venta");
    ASSERT_EQ(f.size(), 4u);
    EXPECT_TRUE(f[0].primaryKey);
    EXPECT_EQ(f[1].type, QStringLiteral("TEXT(50)"));
    EXPECT_EQ(f[1].size, 50);
    EXPECT_TRUE(f[1].notNull);
    EXPECT_EQ(f[1].defaultValue.toString(), QStringLiteral("''"));
    EXPECT_TRUE(f[2].defaultValue.isNull());
    const auto ix = d->indexes("Venta");
    ASSERT_EQ(ix.size(), 2u);
    EXPECT_EQ(ix[0].name, QStringLiteral("ixCliente"));
    EXPECT_EQ(ix[0].columns, QStringList{"Cliente"});
    EXPECT_TRUE(d->tableSql("Venta").startsWith("CREATE TABLE Venta"));
}

TEST_F(SchemaTest, AddFieldAndRebuildKeepEveryRow) {
    FieldInfo nf;
    nf.name = "IdCorte";
    nf.type = "INTEGER";
    nf.notNull = true;
    nf.defaultValue = 0;
    Error e;
    ASSERT_TRUE(d->addField("Venta", nf, &e)) << e.message.toStdString();
    EXPECT_EQ(d->scalar("SELECT IdCorte FROM Venta WHERE Folio = 3")->toInt(), 0);
    FieldInfo bad;
    bad.name = "X";
    bad.type = "TEXT) ; DROP TABLE Venta; --";
    EXPECT_FALSE(d->addField("Venta", bad, &e));
    EXPECT_EQ(count(*d, "Venta"), 50);

    ASSERT_TRUE(d->createQuery("VentasGrandes", "select", "SELECT Folio, Total FROM Venta WHERE Total > 60"));
    ASSERT_TRUE(d->rebuildTable("Venta",
                                "CREATE TABLE Venta(Folio INTEGER PRIMARY KEY, Cliente TEXT(80), Total REAL, "
                                "IdCorte INTEGER, Nuevo TEXT DEFAULT 'n')",
                                &e))
        << e.message.toStdString();
    EXPECT_EQ(count(*d, "Venta"), 50);
    auto r = d->selectOne("SELECT * FROM Venta WHERE Folio = 7");
    EXPECT_EQ(r->text("Cliente"), QStringLiteral("C'7"));
    EXPECT_DOUBLE_EQ(r->real("Total"), 10.5);
    EXPECT_EQ(r->text("Nuevo"), QStringLiteral("n"));
    EXPECT_FALSE(r->has("Viejo"));
    EXPECT_EQ(d->scalar("SELECT count(*) FROM VentasGrandes")->toInt(), 10);  // the saved query still reads it
    const auto ix = d->indexes("Venta");
    ASSERT_EQ(ix.size(), 1u);  // the index on the dropped column goes with it
    EXPECT_EQ(ix[0].name, QStringLiteral("ixCliente"));

    // a definition that fails leaves the table as it was
    EXPECT_FALSE(d->rebuildTable("Venta", "CREATE TABLE Venta(Folio INTEGER PRIMARY KEY, Total REAL NOT NULL, "
                                          "Cliente TEXT UNIQUE, X CHECK(0))",
                                 &e));
    EXPECT_EQ(d->fields("Venta").size(), 5u);
    EXPECT_EQ(count(*d, "Venta"), 50);
    EXPECT_FALSE(d->inTransaction());
}

TEST_F(SchemaTest, CopyRowsIsAllOrNothing) {
    auto t = Database::create(dir.filePath("t.db"));
    ASSERT_TRUE(t);
    Error e;
    ASSERT_TRUE(Database::createTableLike(*d, *t, "Venta", &e)) << e.message.toStdString();
    EXPECT_EQ(t->indexes("Venta").size(), 2u);
    ASSERT_TRUE(t->exec("INSERT INTO Venta(Folio, Cliente) VALUES(40, 'ya estaba')"));
    // row 40 collides: nothing of this copy stays
    EXPECT_FALSE(Database::copyRows(*d, *t, "Venta", {"Folio", "Cliente", "Total"}, &e));
    EXPECT_EQ(e.kind, ErrorKind::DuplicateKey);
    EXPECT_EQ(count(*t, "Venta"), 1);
    EXPECT_EQ(t->scalar("SELECT Cliente FROM Venta")->toString(), QStringLiteral("ya estaba"));
    EXPECT_FALSE(t->inTransaction());

    ASSERT_TRUE(Database::copyRows(*d, *t, "Venta", {"Folio", "Cliente", "Total"}, &e, "Folio <> ?", {40}));
    EXPECT_EQ(count(*t, "Venta"), 50);
    EXPECT_TRUE(t->scalar("SELECT Viejo FROM Venta WHERE Folio = 1")->isNull());  // not in the column list
    EXPECT_EQ(t->scalar("SELECT Cliente FROM Venta WHERE Folio = 12")->toString(), QStringLiteral("C'12"));
    EXPECT_FALSE(Database::createTableLike(*d, *t, "Venta", &e));
}

TEST_F(SchemaTest, VacuumIntoMakesAFullCopyAndNeverOverwrites) {
    ASSERT_TRUE(d->exec("DELETE FROM Venta WHERE Folio > 40"));
    Error e;
    ASSERT_TRUE(d->vacuum(&e)) << e.message.toStdString();
    const QString target = dir.filePath("copia.db");
    ASSERT_TRUE(d->vacuumInto(target, &e)) << e.message.toStdString();
    auto c = Database::open(target, "pw");
    ASSERT_TRUE(c);  // the copy keeps the password
    EXPECT_EQ(count(*c, "Venta"), 40);
    EXPECT_FALSE(Database::open(target, "otra"));
    ASSERT_TRUE(c->exec("DELETE FROM Venta"));
    EXPECT_FALSE(d->vacuumInto(target, &e));
    EXPECT_EQ(e.kind, ErrorKind::NotFound);
    EXPECT_EQ(count(*c, "Venta"), 0);
}

}  // namespace
