// The layer's positional statements run on the engine's handle; what they store and give back must
// be what QtSql's own statements store and give back, value by value, kind by kind, so no caller
// sees a difference; and they keep the layer's rules (errors by kind, the authorizer's reasons,
// no second statement in one text, a handle that closes with its statements).
#include "platform/db/database.h"

#include <QDateTime>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

using namespace db;

namespace {

struct StatementsTest : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<Database> d;
    void SetUp() override {
        Error e;
        d = Database::create(dir.filePath(QStringLiteral("s.db")), {}, &e);
        ASSERT_TRUE(d) << e.message.toStdString();
        ASSERT_TRUE(d->exec("CREATE TABLE V(Id INTEGER PRIMARY KEY, A, B TEXT, C REAL, D INTEGER)"));
    }
    // The same statement through QtSql itself, on the same handle.
    std::vector<QVariantList> qtRows(const QString& sql, const QVariantList& params, QStringList* names) {
        QSqlQuery q(d->connection());
        q.setForwardOnly(true);
        EXPECT_TRUE(q.prepare(sql));
        for (const QVariant& v : params) q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
        std::vector<QVariantList> out;
        names->clear();
        for (int i = 0; i < q.record().count(); ++i) *names << q.record().fieldName(i);
        while (q.next()) {
            QVariantList r;
            for (int i = 0; i < q.record().count(); ++i) r << q.value(i);
            out.push_back(r);
        }
        return out;
    }
};

// Every kind of value a caller binds, as Qt would bind it.
QVariant valorAlAzar(std::mt19937& g) {
    std::uniform_int_distribution<int> kind(0, 14);
    std::uniform_int_distribution<int> n(-100000, 100000);
    switch (kind(g)) {
    case 0: return QVariant();
    case 1: return QVariant(QMetaType::fromType<QString>());
    case 2: return QString();
    case 3: return QStringLiteral("");
    case 4: return QStringLiteral("ÑANDÚ %1 \"x\" 'y'").arg(n(g));
    case 5: return n(g);
    case 6: return qlonglong(n(g)) * 1000000007LL;
    case 7: return n(g) / 7.0;
    case 8: return bool(n(g) & 1);
    case 9: return QByteArray("\x00\x01zz", 4);
    case 10: return QDateTime(QDate(2026, 12, 10), QTime(11, 30, 5, 250));
    case 11: return QDate(2026, 1 + (n(g) & 7), 9);
    case 12: return QTime(8, 5, 0);
    case 13: return uint(n(g) & 0xffff);
    default: return QStringLiteral("12.50");
    }
}

TEST_F(StatementsTest, StoreAndGiveBackWhatQtSqlStoresAndGivesBack) {
    std::mt19937 g(20261210);
    for (int i = 0; i < 400; ++i) {
        QVariantList vals;
        for (int c = 0; c < 4; ++c) vals << valorAlAzar(g);
        // The same values stored twice: through the layer and through QtSql.
        ASSERT_TRUE(d->exec("INSERT INTO V(Id, A, B, C, D) VALUES(?, ?, ?, ?, ?)",
                            QVariantList{2 * i + 1} + vals));
        QStringList ignored;
        qtRows("INSERT INTO V(Id, A, B, C, D) VALUES(?, ?, ?, ?, ?)", QVariantList{2 * i + 2} + vals, &ignored);
    }
    // Stored alike: same type and value in the engine.
    auto distintos = d->scalar(
        "SELECT count(*) FROM V x JOIN V y ON y.Id = x.Id + 1 WHERE x.Id % 2 = 1 AND NOT ("
        "typeof(x.A) = typeof(y.A) AND x.A IS y.A AND typeof(x.B) = typeof(y.B) AND x.B IS y.B AND "
        "typeof(x.C) = typeof(y.C) AND x.C IS y.C AND typeof(x.D) = typeof(y.D) AND x.D IS y.D)");
    ASSERT_TRUE(distintos);
    EXPECT_EQ(distintos->toInt(), 0);

    // Given back alike: names (quotes dropped as QtSql drops them), value kinds and values.
    const QString sql = QStringLiteral("SELECT Id, A, B AS \"El B\", C, D, A || B AS Junto, NULL AS Nada "
                                       "FROM V WHERE Id > ? ORDER BY Id");
    QStringList qtNames;
    const auto esperadas = qtRows(sql, {0}, &qtNames);
    auto filas = d->select(sql, {0});
    ASSERT_TRUE(filas);
    ASSERT_EQ(filas->size(), esperadas.size());
    for (size_t r = 0; r < esperadas.size(); ++r) {
        const Row& f = (*filas)[r];
        ASSERT_EQ(f.count(), qtNames.size());
        for (int c = 0; c < f.count(); ++c) {
            EXPECT_EQ(f.name(c), qtNames[c]);
            const QVariant& qt = esperadas[r][c];
            const QVariant mio = f.value(c);
            EXPECT_EQ(mio.typeId(), qt.typeId()) << "fila " << r << " columna " << c;
            EXPECT_EQ(mio.isNull(), qt.isNull()) << "fila " << r << " columna " << c;
            EXPECT_EQ(mio, qt) << "fila " << r << " columna " << c;
        }
    }
}

TEST_F(StatementsTest, KeepTheLayersRulesOnFailure) {
    Error e;
    // Values that do not match the statement's marks, two statements in one text, an empty text.
    EXPECT_FALSE(d->exec("INSERT INTO V(Id) VALUES(?)", {1, 2}, &e));
    EXPECT_EQ(e.kind, ErrorKind::Other);
    EXPECT_FALSE(d->select("SELECT ?", {}, &e));
    EXPECT_FALSE(d->exec("INSERT INTO V(Id) VALUES(1); INSERT INTO V(Id) VALUES(2)", {}, &e));
    EXPECT_EQ(d->scalar("SELECT count(*) FROM V")->toInt(), 0);
    EXPECT_FALSE(d->exec("  ", {}, &e));
    // Errors by kind, with the engine's code.
    ASSERT_TRUE(d->exec("INSERT INTO V(Id) VALUES(?)", {7}));
    EXPECT_FALSE(d->exec("INSERT INTO V(Id) VALUES(?)", {7}, &e));
    EXPECT_EQ(e.kind, ErrorKind::DuplicateKey);
    EXPECT_EQ(e.code & 0xff, 19);
    EXPECT_FALSE(d->select("SELECT * FROM NoHay WHERE x = ?", {1}, &e));
    EXPECT_EQ(e.kind, ErrorKind::NoSuchTable);
    EXPECT_EQ(d->lastError().kind, ErrorKind::NoSuchTable);
    // The layer's own tables stay refused to a statement of no layer code, with the reason.
    EXPECT_FALSE(d->select("SELECT * FROM _queries WHERE Name = ?", {QStringLiteral("x")}, &e));
    EXPECT_TRUE(e.message.contains(QStringLiteral("_queries"))) << e.message.toStdString();
    // rowsAffected counts what the statement changed; a kept statement runs again with new values.
    int n = -1;
    ASSERT_TRUE(d->exec("UPDATE V SET B = ? WHERE Id >= ?", {QStringLiteral("b"), 0}, nullptr, &n));
    EXPECT_EQ(n, 1);
    ASSERT_TRUE(d->exec("UPDATE V SET B = ? WHERE Id >= ?", {QStringLiteral("b"), 8}, nullptr, &n));
    EXPECT_EQ(n, 0);
    // A handle closed under the statements (closeAll) says so and the file can go.
    Database::closeAll(dir.filePath(QStringLiteral("s.db")));
    EXPECT_FALSE(d->select("SELECT Id FROM V WHERE Id = ?", {7}, &e));
    EXPECT_EQ(e.kind, ErrorKind::Closed);
    EXPECT_TRUE(QFile::remove(dir.filePath(QStringLiteral("s.db"))));
}

}  // namespace
