#include "platform/db/database.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace db;

namespace {

struct DatabaseTest : ::testing::Test {
    QTemporaryDir dir;
    QString file(const QString& name) const { return dir.filePath(name); }
    std::unique_ptr<Database> fresh(const QString& name = QStringLiteral("t.db"),
                                    const QString& password = {}) {
        Error e;
        auto d = Database::create(file(name), password, &e);
        EXPECT_TRUE(d) << e.message.toStdString();
        return d;
    }
};

TEST_F(DatabaseTest, PasswordIsCheckedAndNothingOpensOnRefusal) {
    ASSERT_TRUE(fresh(QStringLiteral("p.db"), QStringLiteral("pastizal")));
    Error e;
    EXPECT_FALSE(Database::open(file("p.db"), QStringLiteral("PASTIZAL"), &e));
    EXPECT_EQ(e.kind, ErrorKind::WrongPassword);
    EXPECT_FALSE(e.message.isEmpty());
    EXPECT_FALSE(Database::open(file("p.db"), QString(), &e));
    EXPECT_EQ(e.kind, ErrorKind::WrongPassword);
    auto d = Database::open(file("p.db"), QStringLiteral("pastizal"), &e);
    ASSERT_TRUE(d) << e.message.toStdString();
    EXPECT_TRUE(d->isOpen());

    // A file without a password opens with none and with any (the callers pass theirs in capitals).
    ASSERT_TRUE(fresh(QStringLiteral("Direccion.db")));
    EXPECT_TRUE(Database::open(file("Direccion.db")));
    EXPECT_TRUE(Database::open(file("Direccion.db"), QStringLiteral("PASTIZAL")));
}

TEST_F(DatabaseTest, MissingExistingAndDamagedFiles) {
    Error e;
    EXPECT_FALSE(Database::open(file("none.db"), QString(), &e));
    EXPECT_EQ(e.kind, ErrorKind::NotFound);
    EXPECT_FALSE(QFile::exists(file("none.db")));  // opening never creates

    EXPECT_FALSE(Database::create(file("no/such/folder/x.db"), QString(), &e));
    EXPECT_EQ(e.kind, ErrorKind::NotFound);
    ASSERT_TRUE(fresh(QStringLiteral("a.db")));
    EXPECT_FALSE(Database::create(file("a.db"), QString(), &e));
    EXPECT_EQ(e.kind, ErrorKind::NotFound);

    QFile junk(file("junk.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_FALSE(Database::open(file("junk.db"), QString(), &e));
    EXPECT_EQ(e.kind, ErrorKind::Corrupt);
}

TEST_F(DatabaseTest, NullStaysApartFromEmptyAndZeroAndNamesAreCaseBlind) {
    auto d = fresh();
    ASSERT_TRUE(d->exec("CREATE TABLE T(Id INTEGER PRIMARY KEY, Nombre TEXT, Monto REAL, Activo INTEGER)"));
    ASSERT_TRUE(d->exec("INSERT INTO T VALUES(1, NULL, NULL, NULL)"));
    ASSERT_TRUE(d->exec("INSERT INTO T VALUES(2, '', 0, 0)"));
    ASSERT_TRUE(d->exec("INSERT INTO T VALUES(?, ?, ?, ?)", {3, QStringLiteral("ÁNGEL"), 12.5, -1}));
    auto rows = d->select("SELECT * FROM T ORDER BY Id");
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 3u);
    const Row& n = (*rows)[0];
    const Row& z = (*rows)[1];
    const Row& v = (*rows)[2];
    EXPECT_TRUE(n.isNull("nombre"));
    EXPECT_TRUE(n.isNull("MONTO"));
    EXPECT_FALSE(z.isNull("Nombre"));
    EXPECT_FALSE(z.isNull("Monto"));
    EXPECT_EQ(n.text("Nombre"), QString());
    EXPECT_EQ(n.real("Monto"), 0.0);
    EXPECT_FALSE(n.flag("Activo"));
    EXPECT_EQ(v.text("NOMBRE"), QStringLiteral("ÁNGEL"));
    EXPECT_DOUBLE_EQ(v.real("monto"), 12.5);
    EXPECT_TRUE(v.flag("activo"));
    EXPECT_EQ(v.integer("ID"), 3);
    // a field that is not there reads like Null and is told apart by has()
    EXPECT_FALSE(v.has("Otro"));
    EXPECT_FALSE(v.value("Otro").isValid());
    EXPECT_EQ(v.text("Otro"), QString());

    auto none = d->scalar("SELECT Nombre FROM T WHERE Id = 99");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isNull());
    auto one = d->selectOne("SELECT * FROM T WHERE Id = 99");
    ASSERT_TRUE(one);
    EXPECT_TRUE(one->empty());

    QVariantMap p{{"id", 2}};
    auto byName = d->select("SELECT Nombre FROM T WHERE Id = :id", p);
    ASSERT_TRUE(byName);
    ASSERT_EQ(byName->size(), 1u);
    EXPECT_FALSE(byName->front().isNull("Nombre"));
}

TEST_F(DatabaseTest, TypedTextIsStoredAndFoundLiterally) {
    auto d = fresh();
    ASSERT_TRUE(d->exec("CREATE TABLE P(Id INTEGER PRIMARY KEY, Descripcion TEXT)"));
    const QStringList texts = {QStringLiteral("O'Brien \"El Güero\""), QStringLiteral("50% DESC_A"),
                               QStringLiteral("50X DESCXA"), QStringLiteral("TUERCA*3"),
                               QStringLiteral("TUERCA 123"), QStringLiteral("ÑANDÚ ÉLITE"),
                               QStringLiteral("x'); DROP TABLE P; --"), QStringLiteral("back\\slash")};
    for (int i = 0; i < texts.size(); ++i)
        ASSERT_TRUE(d->exec("INSERT INTO P VALUES(?, ?)", {i + 1, texts[i]}));

    for (const QString& t : texts) {
        auto eq = d->select("SELECT Id FROM P WHERE Descripcion = ?", {t});
        ASSERT_TRUE(eq);
        EXPECT_EQ(eq->size(), 1u) << t.toStdString();
        auto like = d->select("SELECT Descripcion FROM P WHERE Descripcion LIKE ? ESCAPE '\\'",
                              {QStringLiteral("%") + escapeLike(t) + QStringLiteral("%")});
        ASSERT_TRUE(like);
        ASSERT_EQ(like->size(), 1u) << t.toStdString();
        EXPECT_EQ(like->front().text("Descripcion"), t);
    }
    // '*' is the wildcard typed by people; '%' and '_' stay literal in their pattern
    auto w = d->select("SELECT Id FROM P WHERE Descripcion LIKE ? ESCAPE '\\' ORDER BY Id",
                       {wildcardToLike(QStringLiteral("TUERCA*"))});
    ASSERT_TRUE(w);
    EXPECT_EQ(w->size(), 2u);
    w = d->select("SELECT Id FROM P WHERE Descripcion LIKE ? ESCAPE '\\'", {wildcardToLike(QStringLiteral("50% DESC_*"))});
    ASSERT_TRUE(w);
    ASSERT_EQ(w->size(), 1u);
    EXPECT_EQ(w->front().integer("Id"), 2);
    EXPECT_TRUE(d->tableExists("P"));
}

TEST_F(DatabaseTest, WriteTransactionRollsBackUnlessCommittedAndErrorsAreKinded) {
    auto d = fresh();
    ASSERT_TRUE(d->exec("CREATE TABLE C(RFC TEXT PRIMARY KEY, Nombre TEXT NOT NULL)"));
    {
        WriteTransaction t(*d);
        ASSERT_TRUE(t.begin());
        EXPECT_TRUE(d->inTransaction());
        ASSERT_TRUE(d->exec("INSERT INTO C VALUES('A', 'uno')"));
    }
    EXPECT_FALSE(d->inTransaction());
    EXPECT_EQ(d->scalar("SELECT count(*) FROM C")->toInt(), 0);
    {
        WriteTransaction t(*d);
        ASSERT_TRUE(t.begin());
        ASSERT_TRUE(d->exec("INSERT INTO C VALUES('A', 'uno')"));
        Error e;
        EXPECT_FALSE(d->exec("INSERT INTO C VALUES('A', 'otra')", {}, &e));
        EXPECT_EQ(e.kind, ErrorKind::DuplicateKey);
        EXPECT_NE(e.code, 0);
        EXPECT_FALSE(d->exec("INSERT INTO C VALUES('B', NULL)", {}, &e));
        EXPECT_EQ(e.kind, ErrorKind::Constraint);
        EXPECT_FALSE(d->exec("INSERT INTO NoHay VALUES(1)", {}, &e));
        EXPECT_EQ(e.kind, ErrorKind::NoSuchTable);
        EXPECT_EQ(d->lastError().kind, ErrorKind::NoSuchTable);
        ASSERT_TRUE(t.commit());
    }
    auto d2 = Database::open(file("t.db"));
    ASSERT_TRUE(d2);
    EXPECT_EQ(d2->scalar("SELECT Nombre FROM C WHERE RFC = 'A'")->toString(), QStringLiteral("uno"));
    Error e;
    EXPECT_FALSE(d->commit(&e));  // nothing open
}

TEST_F(DatabaseTest, CloseAllClosesEveryHandleOnTheFile) {
    auto a = fresh();
    auto b = Database::open(file("t.db"));
    ASSERT_TRUE(b);
    ASSERT_TRUE(a->exec("CREATE TABLE T(x)"));
    Database::closeAll(file("t.db"));
    EXPECT_FALSE(a->isOpen());
    EXPECT_FALSE(b->isOpen());
    Error e;
    EXPECT_FALSE(b->exec("INSERT INTO T VALUES(1)", {}, &e));
    EXPECT_EQ(e.kind, ErrorKind::Closed);
    // the file can now be replaced
    EXPECT_TRUE(QFile::remove(file("t.db")));
}

TEST(Cursor, StepsLikeAFormDataSource) {
    Cursor empty;
    EXPECT_TRUE(empty.bof());
    EXPECT_TRUE(empty.eof());
    EXPECT_FALSE(empty.first());
    EXPECT_TRUE(empty.current().empty());

    Rows rows;
    for (int i = 0; i < 3; ++i) rows.emplace_back(QStringList{"N"}, QVariantList{i});
    Cursor c(rows);
    EXPECT_EQ(c.position(), 0);
    EXPECT_TRUE(c.next());
    EXPECT_TRUE(c.next());
    EXPECT_EQ(c.current().integer("n"), 2);
    EXPECT_FALSE(c.next());
    EXPECT_TRUE(c.eof());
    EXPECT_TRUE(c.current().empty());
    EXPECT_FALSE(c.next());  // stays at eof
    EXPECT_TRUE(c.previous());
    EXPECT_EQ(c.current().integer("N"), 2);
    EXPECT_TRUE(c.first());
    EXPECT_FALSE(c.previous());
    EXPECT_TRUE(c.bof());
    EXPECT_TRUE(c.next());
    EXPECT_EQ(c.current().integer("N"), 0);
    EXPECT_TRUE(c.last());
    EXPECT_EQ(c.position(), 2);
    EXPECT_FALSE(c.move(3));
    EXPECT_TRUE(c.move(1));
    EXPECT_EQ(c.current().integer("N"), 1);
}

TEST(SqlText, ScriptsRunStatementByStatement) {
    QTemporaryDir dir;
    auto d = Database::create(dir.filePath("s.db"));
    ASSERT_TRUE(d);
    ASSERT_TRUE(d->execScript("CREATE TABLE A(t TEXT); -- a; comment\n"
                              "INSERT INTO A VALUES('x;y'); /* ; */ INSERT INTO A VALUES('it''s;');"));
    auto rows = d->select("SELECT t FROM A ORDER BY rowid");
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].text("t"), QStringLiteral("x;y"));
    EXPECT_EQ((*rows)[1].text("t"), QStringLiteral("it's;"));
}

}  // namespace

// The one order of names, in C++ and in SQL alike: each row is a run of names already in order.
TEST_F(DatabaseTest, NamesSortAsSpanishInCppAndInSql) {
    const QStringList tramos[] = {
        {"NANDO", "ÑANDÚ", "OSO"},
        {"CAÑÓN", "CARPETA"},
        {"nandu", "ñandu", "ÑANDÚ", "ñu", "o"},
        {"ÁRBOL", "ARCO", "ÉPOCA", "ESCUELA"},
        {"cafe", "CAFE", "café", "CAFÉ", "CAFETERA"},
        {"", " A", "1", "10", "9", "A", "Z"},
        {"PEÑA NÚÑEZ JOSÉ", "PEREZ ANA"},
    };
    auto d = fresh();
    ASSERT_TRUE(d->exec(QStringLiteral("CREATE TABLE N (Tramo INTEGER, Nombre TEXT)")));
    for (int t = 0; t < int(std::size(tramos)); ++t) {
        const QStringList& orden = tramos[t];
        SCOPED_TRACE(orden.join(QLatin1Char('|')).toStdString());
        for (qsizetype i = 0; i < orden.size(); ++i) {
            EXPECT_EQ(compareSpanish(orden[i], orden[i]), 0);
            for (qsizetype j = i + 1; j < orden.size(); ++j) {
                EXPECT_LT(compareSpanish(orden[i], orden[j]), 0) << orden[i].toStdString() << " " << orden[j].toStdString();
                EXPECT_GT(compareSpanish(orden[j], orden[i]), 0);
            }
        }
        // Stored backwards, read back in order.
        for (qsizetype i = orden.size() - 1; i >= 0; --i)
            ASSERT_TRUE(d->exec(QStringLiteral("INSERT INTO N VALUES (?, ?)"), {t, orden[i]}));
        auto filas = d->select(QStringLiteral("SELECT Nombre FROM N WHERE Tramo = ? ORDER BY Nombre COLLATE ESPANOL"), {t});
        ASSERT_TRUE(filas);
        QStringList leidos;
        for (const Row& r : *filas) leidos << r.text(QStringLiteral("Nombre"));
        EXPECT_EQ(leidos, orden);
    }
    // A search compares the letters the order weighs first: accents and case never keep a name out,
    // and Ñ is a letter of its own.
    auto busca = [&](const QString& texto) {
        QStringList l;
        auto r = d->select(QStringLiteral("SELECT Nombre FROM N WHERE LETRAS(Nombre) LIKE LETRAS(?) "
                                          "ORDER BY Nombre COLLATE ESPANOL"),
                           {texto + QLatin1Char('%')});
        for (const Row& f : r.value_or(Rows{})) l << f.text(QStringLiteral("Nombre"));
        return l;
    };
    EXPECT_EQ(busca(QStringLiteral("a")), (QStringList{"A", "ÁRBOL", "ARCO"}));
    EXPECT_EQ(busca(QStringLiteral("ñ")), (QStringList{"ñandu", "ÑANDÚ", "ÑANDÚ", "ñu"}));
    EXPECT_EQ(busca(QStringLiteral("NAND")), (QStringList{"NANDO", "nandu"}));
    EXPECT_EQ(busca(QStringLiteral("cafe")), (QStringList{"cafe", "CAFE", "café", "CAFÉ", "CAFETERA"}));
    EXPECT_EQ(spanishLetters(QStringLiteral("Peña Núñez")), QStringLiteral("PEÑA NUÑEZ"));
    // Plain ASCII names (the engine's quick way) sort in SQL exactly as compareSpanish sorts them.
    std::mt19937 azar(20261209);
    const QString letras = QStringLiteral("aAbBnNoOzZ09 -.,_");
    QStringList nombres;
    for (int i = 0; i < 400; ++i) {
        QString n;
        for (int k = int(azar() % 6); k > 0; --k) n += letras[int(azar() % letras.size())];
        nombres << n;
    }
    ASSERT_TRUE(d->exec(QStringLiteral("CREATE TABLE A (Nombre TEXT)")));
    for (const QString& n : nombres) ASSERT_TRUE(d->exec(QStringLiteral("INSERT INTO A VALUES (?)"), {n}));
    std::sort(nombres.begin(), nombres.end(), [](const QString& a, const QString& b) { return compareSpanish(a, b) < 0; });
    auto ascii = d->select(QStringLiteral("SELECT Nombre FROM A ORDER BY Nombre COLLATE ESPANOL"));
    ASSERT_TRUE(ascii);
    QStringList leidos;
    for (const Row& r : *ascii) leidos << r.text(QStringLiteral("Nombre"));
    EXPECT_EQ(leidos, nombres);
    // Numbers keep their own order under the collation.
    auto numeros = d->select(QStringLiteral("SELECT x FROM (SELECT 10 AS x UNION ALL SELECT 9) ORDER BY x COLLATE ESPANOL"));
    ASSERT_TRUE(numeros && numeros->size() == 2);
    EXPECT_EQ((*numeros)[0].integer(QStringLiteral("x")), 9);
}
