// Password hashes and the schema script reader.

#include "apps/setup/datasetup.h"
#include "shell/password.h"

#include <gtest/gtest.h>

namespace {

TEST(Password, HashIsSaltedAndComparesInCapitals) {
    const QString a = shell::HashClave(QStringLiteral("Secreto1"));
    const QString b = shell::HashClave(QStringLiteral("Secreto1"));
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith(QStringLiteral("$argon2id$")));
    EXPECT_FALSE(a.contains(QStringLiteral("SECRETO1")));
    EXPECT_TRUE(shell::VerificaClave(QStringLiteral("secreto1"), a));
    EXPECT_TRUE(shell::VerificaClave(QStringLiteral("SECRETO1"), b));
    EXPECT_FALSE(shell::VerificaClave(QStringLiteral("secreto2"), a));
    EXPECT_FALSE(shell::VerificaClave(QString(), a));
    // A stored password that is not a hash (an old plain-text row, or a damaged one) never matches.
    EXPECT_FALSE(shell::VerificaClave(QStringLiteral("KORVADIM"), QStringLiteral("KORVADIM")));
    EXPECT_FALSE(shell::VerificaClave(QString(), QString()));
    EXPECT_FALSE(shell::VerificaClave(QStringLiteral("x"), a.left(a.size() - 4)));
    EXPECT_FALSE(shell::VerificaClave(QStringLiteral("x"), QString(300, u'$')));
    const QString acentos = shell::HashClave(QStringLiteral("añejo"));
    EXPECT_TRUE(shell::VerificaClave(QStringLiteral("AÑEJO"), acentos));
}

TEST(SchemaScript, SplitsStatementsLinksAndQueries) {
    const auto s = datasetup::parseScript(QStringLiteral(
        "-- a comment; with a semicolon\n"
        "CREATE TABLE T (A TEXT DEFAULT ';');\n"
        "INSERT INTO T VALUES ('x;y'), ('it''s');\n"
        "-- @link Producto BDcodigos.db\n"
        "-- @query Uno select\n"
        "SELECT A\n"
        "-- inside\n"
        "FROM T\n"
        "-- @end\n"
        "-- @query Dos action\n"
        "DELETE FROM T;\nDELETE FROM T\n"
        "-- @end\n"));
    ASSERT_EQ(s.statements.size(), 2);
    EXPECT_TRUE(s.statements[1].contains(QStringLiteral("'x;y'")));
    EXPECT_TRUE(s.statements[1].contains(QStringLiteral("'it''s'")));
    ASSERT_EQ(s.links.size(), 1u);
    EXPECT_EQ(s.links[0].name, QStringLiteral("Producto"));
    EXPECT_EQ(s.links[0].source, QStringLiteral("BDcodigos.db"));
    ASSERT_EQ(s.queries.size(), 2u);
    EXPECT_EQ(s.queries[0].sql, QStringLiteral("SELECT A\nFROM T"));
    EXPECT_EQ(s.queries[1].kind, QStringLiteral("action"));
    EXPECT_TRUE(s.queries[1].sql.contains(QStringLiteral("DELETE FROM T;")));
}

}  // namespace
