#include "platform/db/database.h"
#include "testutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace db;

namespace {

const QString kPw = QStringLiteral("pastizal");

// A data folder with the central file and one branch file, both with the password.
struct DataFolder : ::testing::Test {
    QTemporaryDir dir;
    QString centralPath, branchPath;

    void SetUp() override {
        QDir root(dir.path());
        ASSERT_TRUE(root.mkpath("Base de datos/Sucursales/Centro"));
        centralPath = root.filePath("Base de datos/BDcodigos.db");
        branchPath = root.filePath("Base de datos/Sucursales/Centro/BDSucursal.db");
        auto c = Database::create(centralPath, kPw);
        ASSERT_TRUE(c);
        ASSERT_TRUE(c->execScript(
            "CREATE TABLE Producto(ClaveProducto INTEGER PRIMARY KEY, Descripcion TEXT);"
            "CREATE TABLE Cliente(RFC TEXT PRIMARY KEY, Nombre TEXT);"
            "INSERT INTO Producto VALUES(1, 'TORNILLO');"
            "INSERT INTO Producto VALUES(2, 'TUERCA');"));
        auto b = Database::create(branchPath, kPw);
        ASSERT_TRUE(b);
        ASSERT_TRUE(b->execScript(
            "CREATE TABLE Existencia(ClaveProducto INTEGER PRIMARY KEY, Cantidad REAL);"
            "INSERT INTO Existencia VALUES(1, 10);"
            "INSERT INTO Existencia VALUES(2, 0);"));
    }
    std::unique_ptr<Database> branch() {
        Error e;
        auto b = Database::open(branchPath, kPw, &e);
        EXPECT_TRUE(b) << e.message.toStdString();
        return b;
    }
    std::unique_ptr<Database> central() { return Database::open(centralPath, kPw); }
};

TEST_F(DataFolder, LinkedTableReadsAndWritesTheCentralTable) {
    {
        auto b = branch();
        Error e;
        ASSERT_TRUE(b->createLink("Producto", "bdCODIGOS.db", &e)) << e.message.toStdString();
        EXPECT_EQ(QFileInfo(b->centralPath()).fileName(), QStringLiteral("BDcodigos.db"));
    }
    auto b = branch();  // the link is found again at open
    ASSERT_TRUE(b);
    EXPECT_TRUE(b->tableExists("producto"));
    EXPECT_EQ(b->scalar("SELECT Descripcion FROM Producto WHERE ClaveProducto = 2")->toString(),
              QStringLiteral("TUERCA"));
    WriteTransaction t(*b);
    ASSERT_TRUE(t.begin());
    ASSERT_TRUE(b->exec("INSERT INTO Producto VALUES(?, ?)", {3, QStringLiteral("ARANDELA")}));
    ASSERT_TRUE(b->exec("UPDATE Existencia SET Cantidad = 5 WHERE ClaveProducto = 2"));
    ASSERT_TRUE(t.commit());

    auto c = central();
    {
        // a branch write transaction holds the central file too, so saves spanning both never
        // meet a busy file halfway
        WriteTransaction held(*b);
        ASSERT_TRUE(held.begin());
        LockWait brief;
        brief.timeoutMs = 20;
        Error e;
        EXPECT_FALSE(c->beginWrite(brief, &e));
        EXPECT_EQ(e.kind, ErrorKind::Busy);
    }
    EXPECT_EQ(c->scalar("SELECT Descripcion FROM Producto WHERE ClaveProducto = 3")->toString(),
              QStringLiteral("ARANDELA"));
    EXPECT_FALSE(c->tableExists("Existencia"));

    bool linkedListed = false;
    for (const TableInfo& ti : b->tables()) {
        EXPECT_NE(ti.name, QStringLiteral("_links"));
        if (ti.name == QStringLiteral("Producto")) {
            linkedListed = true;
            EXPECT_TRUE(ti.linked);
            EXPECT_EQ(ti.source, QStringLiteral("bdCODIGOS.db"));
        }
    }
    EXPECT_TRUE(linkedListed);
    ASSERT_EQ(b->fields("Producto").size(), 2u);  // a linked table's fields come from the central file

    // closing every handle on the central file also closes the branch files that reach it
    Database::closeAll(centralPath);
    EXPECT_FALSE(b->isOpen());
    EXPECT_FALSE(c->isOpen());
}

// A branch-only transaction leaves the central file to others; its first central write is
// refused at once while another holds that file (never a wait with locks held), and once it gets
// the central file the commit writes both files together.
TEST_F(DataFolder, AMainFileTransactionReservesTheBranchAlone) {
    {
        auto b = branch();
        ASSERT_TRUE(b->createLink("Producto", "BDcodigos.db"));
    }
    auto b = branch();
    auto otra = branch();
    auto c = central();
    LockWait brief;
    brief.timeoutMs = 20;
    Error e;
    ASSERT_TRUE(b->beginWrite({}, &e, WriteScope::MainFile)) << e.message.toStdString();
    ASSERT_TRUE(b->exec("UPDATE Existencia SET Cantidad = 7 WHERE ClaveProducto = 1"));
    ASSERT_TRUE(b->scalar("SELECT Descripcion FROM Producto WHERE ClaveProducto = 1"));
    EXPECT_FALSE(otra->beginWrite(brief, &e, WriteScope::MainFile));  // the branch is held
    EXPECT_EQ(e.kind, ErrorKind::Busy);
    ASSERT_TRUE(c->beginWrite(brief, &e)) << e.message.toStdString();  // the central file is free
    ASSERT_TRUE(c->exec("UPDATE Producto SET Descripcion = 'TORNILLO 1/4' WHERE ClaveProducto = 1"));
    EXPECT_FALSE(b->exec("INSERT INTO Producto VALUES(5, 'CLAVO')", {}, &e));
    EXPECT_EQ(e.kind, ErrorKind::Busy);
    b->rollback();
    ASSERT_TRUE(c->commit(&e)) << e.message.toStdString();

    ASSERT_TRUE(b->beginWrite({}, &e, WriteScope::MainFile));
    ASSERT_TRUE(b->exec("UPDATE Existencia SET Cantidad = 8 WHERE ClaveProducto = 1"));
    ASSERT_TRUE(b->exec("INSERT INTO Producto VALUES(5, 'CLAVO')", {}, &e)) << e.message.toStdString();
    EXPECT_FALSE(c->beginWrite(brief, &e));  // now it holds the central file too
    ASSERT_TRUE(b->commit(&e)) << e.message.toStdString();
    EXPECT_EQ(c->scalar("SELECT Descripcion FROM Producto WHERE ClaveProducto = 5")->toString(),
              QStringLiteral("CLAVO"));
    EXPECT_EQ(otra->scalar("SELECT Cantidad FROM Existencia WHERE ClaveProducto = 1")->toDouble(), 8.0);
}

TEST_F(DataFolder, LinksAreRefusedOrKeptWhenTheyCannotBeMade) {
    auto b = branch();
    Error e;
    // a local table of that name
    ASSERT_TRUE(b->exec("CREATE TABLE Cliente(RFC TEXT)"));
    EXPECT_FALSE(b->createLink("Cliente", "BDcodigos.db", &e));
    EXPECT_EQ(e.kind, ErrorKind::DuplicateKey);
    // a table the central file does not have
    EXPECT_FALSE(b->createLink("Proveedores", "BDcodigos.db", &e));
    EXPECT_EQ(e.kind, ErrorKind::NoSuchTable);
    EXPECT_TRUE(b->links().empty());
    // a source file that is not there
    EXPECT_FALSE(b->createLink("Producto", "Otro.db", &e));
    EXPECT_EQ(e.kind, ErrorKind::NotFound);

    // relinking to a table that is missing leaves the old link as it was
    ASSERT_TRUE(b->createLink("Producto", "BDcodigos.db", &e));
    QDir(dir.path()).mkpath("Base de datos/Sucursales");
    auto other = Database::create(dir.filePath("Base de datos/Sucursales/Otro.db"), kPw);
    ASSERT_TRUE(other);
    EXPECT_FALSE(b->createLink("Producto", "Otro.db", &e));
    ASSERT_EQ(b->links().size(), 1u);
    EXPECT_EQ(b->links()[0].source, QStringLiteral("BDcodigos.db"));
    EXPECT_EQ(b->scalar("SELECT count(*) FROM Producto")->toInt(), 2);
    ASSERT_TRUE(b->removeLink("PRODUCTO", &e));
    EXPECT_TRUE(b->links().empty());
}

TEST_F(DataFolder, CentralFileWithAnotherPasswordIsRefused) {
    {
        auto b = branch();
        ASSERT_TRUE(b->createLink("Producto", "BDcodigos.db"));
    }
    // Only another program could change it: the layer keeps its tables to itself.
    EXPECT_FALSE(central()->exec("UPDATE _dbpassword SET Password = 'otra'"));
    QString error;
    testutil::Crudo(centralPath, "UPDATE _dbpassword SET Password = 'otra'", &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    Error e;
    EXPECT_FALSE(Database::open(branchPath, kPw, &e));
    EXPECT_EQ(e.kind, ErrorKind::WrongPassword);
}

TEST_F(DataFolder, SavedSelectJoiningBranchAndCentralWorksAfterReopen) {
    {
        auto b = branch();
        ASSERT_TRUE(b->createLink("Producto", "BDcodigos.db"));
        Error e;
        ASSERT_TRUE(b->createQuery("ProductoCE", "select",
                                   "SELECT p.ClaveProducto, p.Descripcion, e.Cantidad FROM Producto p "
                                   "JOIN Existencia e ON e.ClaveProducto = p.ClaveProducto",
                                   &e))
            << e.message.toStdString();
        ASSERT_TRUE(b->createQuery("ExistenciaDe", "select",
                                   "SELECT Cantidad FROM Existencia WHERE ClaveProducto = :clave", &e));
        // a select that does not compile is refused and not saved
        EXPECT_FALSE(b->createQuery("Mala", "select", "SELECT NoHay FROM Existencia", &e));
        EXPECT_FALSE(b->hasQuery("Mala"));
        // a query may not take the name of a table
        EXPECT_FALSE(b->createQuery("Existencia", "select", "SELECT 1", &e));
        EXPECT_FALSE(b->createQuery("producto", "select", "SELECT 1", &e));
    }
    auto b = branch();
    EXPECT_TRUE(b->brokenQueries().isEmpty()) << b->brokenQueries().join(", ").toStdString();
    EXPECT_TRUE(b->hasQuery("productoce"));
    auto rows = b->select("SELECT * FROM ProductoCE ORDER BY ClaveProducto");
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].text("Descripcion"), QStringLiteral("TORNILLO"));
    EXPECT_DOUBLE_EQ((*rows)[0].real("cantidad"), 10.0);
    auto byName = b->selectQuery("existenciade", {{"clave", 1}});
    ASSERT_TRUE(byName);
    ASSERT_EQ(byName->size(), 1u);
    EXPECT_DOUBLE_EQ(byName->front().real("Cantidad"), 10.0);

    // replacing keeps one query of that name; deleting removes its view
    ASSERT_TRUE(b->createQuery("ProductoCE", "select", "SELECT ClaveProducto FROM Producto"));
    EXPECT_EQ(b->savedQueries().size(), 2u);
    EXPECT_EQ(b->select("SELECT * FROM ProductoCE")->front().count(), 1);
    ASSERT_TRUE(b->deleteQuery("ProductoCE"));
    EXPECT_FALSE(b->hasQuery("ProductoCE"));
    Error e;
    EXPECT_FALSE(b->select("SELECT * FROM ProductoCE", {}, &e));
    EXPECT_EQ(e.kind, ErrorKind::NoSuchTable);
}

TEST_F(DataFolder, ActionQueryRunsAllOrNothing) {
    auto b = branch();
    ASSERT_TRUE(b->createLink("Producto", "BDcodigos.db"));
    ASSERT_TRUE(b->createQuery("Ajusta", "action",
                               "UPDATE Existencia SET Cantidad = Cantidad + :cant WHERE ClaveProducto = :clave;\n"
                               "UPDATE Producto SET Descripcion = 'AJUSTADO' WHERE ClaveProducto = :clave "
                               "AND :clave > 0"));
    int n = 0;
    Error e;
    ASSERT_TRUE(b->runAction("ajusta", {{"clave", 1}, {"cant", 2.5}}, &e, &n)) << e.message.toStdString();
    EXPECT_EQ(n, 2);
    EXPECT_DOUBLE_EQ(b->scalar("SELECT Cantidad FROM Existencia WHERE ClaveProducto = 1")->toDouble(), 12.5);
    EXPECT_EQ(central()->scalar("SELECT Descripcion FROM Producto WHERE ClaveProducto = 1")->toString(),
              QStringLiteral("AJUSTADO"));

    ASSERT_TRUE(b->createQuery("Falla", "action",
                               "DELETE FROM Existencia; INSERT INTO Producto VALUES(1, 'DUPLICADO')"));
    EXPECT_FALSE(b->runAction("Falla", {}, &e));
    EXPECT_EQ(e.kind, ErrorKind::DuplicateKey);
    EXPECT_EQ(b->scalar("SELECT count(*) FROM Existencia")->toInt(), 2);
    EXPECT_FALSE(b->inTransaction());

    EXPECT_FALSE(b->runAction("NoExiste", {}, &e));
    EXPECT_EQ(e.kind, ErrorKind::NoSuchTable);
}

}  // namespace
