// The guard on a person's SQL, tested against what the engine offers: every function and pragma
// the engine lists and every action its authorizer can ask about is either admitted on purpose
// or refused, and an engine that brings a name this file does not know fails here before it can
// open a door.

#include "platform/db/database.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace db;

namespace {

QSet<QString> conjunto(std::initializer_list<const char*> nombres) {
    QSet<QString> s;
    for (const char* n : nombres) s.insert(QString::fromLatin1(n));
    return s;
}

// What a person's statement is meant to call.
const QSet<QString> kFuncionesAdmitidas = conjunto({
    "abs", "changes", "char", "coalesce", "format", "glob", "hex", "ifnull", "iif", "instr", "last_insert_rowid",
    "length", "like", "likelihood", "likely", "lower", "ltrim", "max", "min", "nullif", "printf", "quote", "random",
    "randomblob", "replace", "round", "rtrim", "sign", "soundex", "substr", "substring", "total_changes", "trim",
    "typeof", "unicode", "unlikely", "upper", "zeroblob", "avg", "count", "group_concat", "sum", "total",
    "row_number", "rank", "dense_rank", "percent_rank", "cume_dist", "ntile", "lag", "lead", "first_value",
    "last_value", "nth_value", "date", "time", "datetime", "julianday", "unixepoch", "strftime", "current_date",
    "current_time", "current_timestamp", "acos", "acosh", "asin", "asinh", "atan", "atan2", "atanh", "ceil",
    "ceiling", "cos", "cosh", "degrees", "exp", "floor", "ln", "log", "log10", "log2", "mod", "pi", "pow", "power",
    "radians", "sin", "sinh", "sqrt", "tan", "tanh", "trunc", "json", "json_array", "json_array_length",
    "json_extract", "json_insert", "json_object", "json_patch", "json_quote", "json_remove", "json_replace",
    "json_set", "json_type", "json_valid", "json_group_array", "json_group_object", "->", "->>",
});
// What the engine or the program registers and a person's statement never calls.
const QSet<QString> kFuncionesRehusadas = conjunto({
    "load_extension", "fts3_tokenizer", "match", "snippet", "offsets", "matchinfo", "optimize", "fts5",
    "fts5_source_id", "bm25", "highlight", "rtreecheck", "rtreedepth", "rtreenode", "sqlite_version",
    "sqlite_source_id", "sqlite_compileoption_get", "sqlite_compileoption_used", "sqlite_log", "subtype",
    "mayusculas", "letras",
});

const QSet<QString> kPragmasAdmitidos = conjunto({
    "table_info", "table_xinfo", "index_list", "index_info", "index_xinfo", "foreign_key_list",
    "foreign_key_check", "integrity_check", "quick_check",
});
const QSet<QString> kPragmasRehusados = conjunto({
    "analysis_limit", "application_id", "auto_vacuum", "automatic_index", "busy_timeout", "cache_size",
    "cache_spill", "case_sensitive_like", "cell_size_check", "checkpoint_fullfsync", "collation_list",
    "compile_options", "count_changes", "data_version", "database_list", "default_cache_size",
    "defer_foreign_keys", "empty_result_callbacks", "encoding", "foreign_keys", "freelist_count",
    "full_column_names", "fullfsync", "function_list", "hard_heap_limit", "ignore_check_constraints",
    "incremental_vacuum", "journal_mode", "journal_size_limit", "legacy_alter_table", "locking_mode",
    "max_page_count", "mmap_size", "module_list", "optimize", "page_count", "page_size", "pragma_list",
    "query_only", "read_uncommitted", "recursive_triggers", "reverse_unordered_selects", "schema_version",
    "secure_delete", "short_column_names", "shrink_memory", "soft_heap_limit", "synchronous", "table_list",
    "temp_store", "temp_store_directory", "threads", "trusted_schema", "user_version", "wal_autocheckpoint",
    "wal_checkpoint", "writable_schema",
});

class UserGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        bd = Database::create(dir.filePath("g.db"), "clave");
        ASSERT_TRUE(bd);
        ASSERT_TRUE(bd->exec("CREATE TABLE t (a INTEGER, b TEXT)"));
        ASSERT_TRUE(bd->exec("INSERT INTO t VALUES (1, '{}')"));
    }
    // Runs `sql` under the guard: "" when it was admitted (whatever the engine then said), else
    // what the guard refused.
    QString Rehusa(const QString& sql, UserSql clase = UserSql::Script) {
        UserSqlGuard g(*bd, clase);
        Error e;
        bd->exec(sql, {}, &e);
        return g.refused();
    }
    QTemporaryDir dir;
    std::unique_ptr<Database> bd;
};

}  // namespace

TEST_F(UserGuardTest, EveryFunctionTheEngineListsIsAdmittedOnlyWhenListed) {
    auto filas = bd->select("PRAGMA function_list");
    ASSERT_TRUE(filas);
    ASSERT_GT(filas->size(), 100u);
    QSet<QString> vistas;
    for (const Row& f : *filas) {
        const QString nombre = f.text("name").toLower();
        vistas.insert(nombre);
        EXPECT_TRUE(kFuncionesAdmitidas.contains(nombre) || kFuncionesRehusadas.contains(nombre))
            << "the engine offers a function this list does not know: " << nombre.toStdString();
        int n = int(f.integer("narg"));
        if (n < 0) n = 1;
        QStringList valores;
        for (int i = 0; i < n; ++i) valores << "a";
        QString sql = nombre.startsWith(u'-')
                          ? QStringLiteral("UPDATE t SET b = (b %1 '$')").arg(nombre)
                          : QStringLiteral("UPDATE t SET b = (SELECT %1(%2)%3 FROM t)")
                                .arg(nombre, valores.join(", "),
                                     f.text("type") == "w" ? QStringLiteral(" OVER ()") : QString());
        const QString rehusa = Rehusa(sql);
        EXPECT_EQ(rehusa.isEmpty(), kFuncionesAdmitidas.contains(nombre)) << sql.toStdString() << " -> " << rehusa.toStdString();
        if (!rehusa.isEmpty()) EXPECT_EQ(rehusa, QStringLiteral("no se permite la función ") + f.text("name"));
    }
    QSet<QString> lista;
    for (const QString& f : UserSqlGuard::admittedFunctions())
        if (!f.startsWith("sqlite_")) lista.insert(f);
    EXPECT_EQ(lista, kFuncionesAdmitidas);
    EXPECT_TRUE(vistas.contains("fts3_tokenizer"));
    EXPECT_TRUE(vistas.contains("mayusculas"));  // the program's own, refused too
    // The engine's ALTER TABLE helpers the guard lets the engine call are refused to a statement.
    for (const char* interna : {"sqlite_rename_table", "sqlite_rename_column", "sqlite_drop_column"})
        EXPECT_FALSE(bd->exec(QStringLiteral("UPDATE t SET b = %1(1, 2, 3, 4, 5, 6, 7)").arg(interna))) << interna;
}

TEST_F(UserGuardTest, EveryPragmaIsRefusedButTheListedOnesInAScriptAndNoneInTheConsole) {
    auto filas = bd->select("PRAGMA pragma_list");
    ASSERT_TRUE(filas);
    for (const Row& f : *filas) {
        const QString nombre = f.text("name").toLower();
        EXPECT_TRUE(kPragmasAdmitidos.contains(nombre) || kPragmasRehusados.contains(nombre))
            << "the engine offers a pragma this list does not know: " << nombre.toStdString();
        const QString sql = QStringLiteral("PRAGMA %1(t)").arg(nombre);
        EXPECT_EQ(Rehusa(sql).isEmpty(), kPragmasAdmitidos.contains(nombre)) << sql.toStdString();
        EXPECT_EQ(Rehusa(sql, UserSql::Console), QStringLiteral("no se permite PRAGMA ") + nombre);
        if (kPragmasAdmitidos.contains(nombre))
            EXPECT_EQ(Rehusa(QStringLiteral("PRAGMA %1('_dbpassword')").arg(nombre)),
                      QStringLiteral("no se permite PRAGMA %1 sobre la tabla interna del archivo _dbpassword").arg(nombre));
    }
    const QStringList admitidos = UserSqlGuard::admittedPragmas();
    EXPECT_EQ(QSet<QString>(admitidos.begin(), admitidos.end()), kPragmasAdmitidos);
}

TEST_F(UserGuardTest, EveryActionTheAuthorizerCanAskAboutIsRefusedButTheListedOnes) {
    // Ordinary tables, indexes, views and triggers; reads and writes; maintenance; WITH RECURSIVE;
    // the listed functions; in a script, the listed pragmas and transaction control.
    const QSet<int> ambos = {SQLITE_CREATE_INDEX,      SQLITE_CREATE_TABLE,      SQLITE_CREATE_TEMP_INDEX,
                             SQLITE_CREATE_TEMP_TABLE, SQLITE_CREATE_TEMP_TRIGGER, SQLITE_CREATE_TEMP_VIEW,
                             SQLITE_CREATE_TRIGGER,    SQLITE_CREATE_VIEW,       SQLITE_DELETE,
                             SQLITE_DROP_INDEX,        SQLITE_DROP_TABLE,        SQLITE_DROP_TEMP_INDEX,
                             SQLITE_DROP_TEMP_TABLE,   SQLITE_DROP_TEMP_TRIGGER, SQLITE_DROP_TEMP_VIEW,
                             SQLITE_DROP_TRIGGER,      SQLITE_DROP_VIEW,         SQLITE_INSERT,
                             SQLITE_READ,              SQLITE_SELECT,            SQLITE_UPDATE,
                             SQLITE_ALTER_TABLE,       SQLITE_REINDEX,           SQLITE_ANALYZE,
                             SQLITE_FUNCTION,          SQLITE_RECURSIVE};
    QSet<int> script = ambos;
    script += {SQLITE_PRAGMA, SQLITE_TRANSACTION, SQLITE_SAVEPOINT};
    // SQLITE_COPY (0) up to well past the last code this engine knows: a later one stays out.
    for (int accion = 0; accion <= 64; ++accion) {
        EXPECT_EQ(UserSqlGuard::admitsAction(accion, UserSql::Script), script.contains(accion)) << accion;
        EXPECT_EQ(UserSqlGuard::admitsAction(accion, UserSql::Console), ambos.contains(accion)) << accion;
    }
}

TEST_F(UserGuardTest, EveryConnectionCarriesTheEnginesDefencesAndNoModule) {
    EXPECT_EQ(bd->scalar("PRAGMA trusted_schema")->toInt(), 0);
    auto modulos = bd->select("PRAGMA module_list");
    ASSERT_TRUE(modulos);
    for (const Row& m : *modulos)
        EXPECT_TRUE(m.text("name").startsWith("pragma_") || m.text("name") == "json_each" || m.text("name") == "json_tree")
            << m.text("name").toStdString();
    EXPECT_EQ(Rehusa("UPDATE t SET b = (SELECT value FROM json_each('[1]'))"),
              "no se permite leer la tabla virtual json_each: el programa no usa tablas virtuales");
    // Not even the layer's own connection makes a virtual table or writes the schema table.
    Error e;
    EXPECT_FALSE(bd->exec("CREATE VIRTUAL TABLE f USING fts4(x)", {}, &e));
    EXPECT_FALSE(bd->exec("PRAGMA writable_schema = 1; UPDATE sqlite_master SET sql = '' WHERE name = 't'"));
    ASSERT_TRUE(bd->exec("PRAGMA writable_schema = 1"));
    EXPECT_FALSE(bd->exec("UPDATE sqlite_master SET sql = '' WHERE name = 't'"));
    // Nor calls what could load code or reach memory, not even in a saved query a file brought.
    EXPECT_FALSE(bd->scalar("SELECT fts3_tokenizer('simple')", {}, &e));
    EXPECT_EQ(e.message, "no se permite la función fts3_tokenizer");
    ASSERT_TRUE(bd->exec("CREATE TEMP VIEW v AS SELECT load_extension('x') AS x"));
    EXPECT_FALSE(bd->select("SELECT * FROM v", {}, &e));
    EXPECT_EQ(e.message, "la vista v: no se permite la función load_extension");
    // Nor reads the layer's tables but through its own statements.
    EXPECT_FALSE(bd->select("SELECT Password FROM _dbpassword", {}, &e));
    EXPECT_EQ(e.message, "no se permite leer la tabla interna del archivo _dbpassword");
    EXPECT_EQ(testutil::Crudo(bd->path(), "SELECT Password FROM _dbpassword"), QStringList{"clave"});
}

// A person's statement ends: the engine's steps are counted while a guard lives and the statement
// stops past the bound, or past the file's growth bound, or when the person cancels; the program's
// own statements are not counted at all.
TEST_F(UserGuardTest, APersonsStatementStopsAtTheBoundOfStepsOrGrowthOrWhenCancelled) {
    const UserSqlBounds antes = UserSqlGuard::bounds();
    UserSqlGuard::setBounds({2'000'000, 256 * 1024});
    const QString sinFin = "INSERT INTO t (a) SELECT count(*) FROM (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                           "FROM c WHERE x < 2000000000) SELECT x FROM c)";
    {
        UserSqlGuard g(*bd, UserSql::Script);
        Error e;
        EXPECT_FALSE(bd->exec(sinFin, {}, &e));
        EXPECT_TRUE(g.explain(&e));
        EXPECT_GT(g.steps(), 2'000'000);
        EXPECT_LE(g.steps(), 2'001'000);
        EXPECT_EQ(e.message, "la instrucción se detuvo: pasó de 2,000,000 pasos del motor de datos sin terminar; no se "
                             "cambió nada");
    }
    {
        // A statement well inside the bound runs and is not explained away.
        UserSqlGuard g(*bd, UserSql::Script);
        EXPECT_TRUE(bd->exec("INSERT INTO t (a) SELECT count(*) FROM (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL "
                             "SELECT x + 1 FROM c WHERE x < 1000) SELECT x FROM c)"));
        EXPECT_LT(g.steps(), 100'000);
        Error e;
        EXPECT_FALSE(g.explain(&e));
    }
    const qint64 tamano = QFileInfo(bd->path()).size();
    {
        UserSqlGuard g(*bd, UserSql::Script);
        Error e;
        EXPECT_FALSE(bd->exec("INSERT INTO t (b) SELECT hex(randomblob(100)) FROM (WITH RECURSIVE c(x) AS (SELECT 1 "
                              "UNION ALL SELECT x + 1 FROM c) SELECT x FROM c)",
                              {}, &e));
        EXPECT_TRUE(g.explain(&e));
        EXPECT_EQ(e.message, "la instrucción se detuvo: haría crecer el archivo más de 0 MB; no se cambió nada");
    }
    EXPECT_LE(QFileInfo(bd->path()).size(), tamano + 256 * 1024 + 8192);
    EXPECT_EQ(bd->scalar("SELECT count(*) FROM t")->toInt(), 2);
    {
        // Cancelled as a busy wait is: polled between the steps.
        LockWait w;
        w.serveEvents = false;
        int preguntas = 0;
        w.cancelled = [&] { return ++preguntas == 3; };
        UserSqlGuard g(*bd, UserSql::Console, w);
        Error e;
        EXPECT_FALSE(bd->exec(sinFin, {}, &e));
        EXPECT_TRUE(g.explain(&e));
        EXPECT_EQ(e.kind, ErrorKind::Cancelled);
        EXPECT_EQ(e.message, "la instrucción se detuvo porque usted la canceló; no se cambió nada");
        EXPECT_EQ(g.steps(), 600'000);
    }
    // The program's own statements carry no bound: the handler went with the guard.
    EXPECT_TRUE(bd->exec("INSERT INTO t (a) SELECT count(*) FROM (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + "
                         "1 FROM c WHERE x < 300000) SELECT x FROM c)"));
    EXPECT_EQ(bd->scalar("SELECT a FROM t WHERE rowid = 3")->toLongLong(), 300000);
    UserSqlGuard::setBounds(antes);
}

// What a statement leaves is checked from the outside: a program table or column gone, a trigger
// that no longer compiles, a default that calls a refused function; the engine's own tables keep
// the layer's tables and the saved queries' text out of reach.
TEST_F(UserGuardTest, TheCheckAfterAStatementNamesWhatItWouldBreak) {
    ASSERT_TRUE(bd->exec("CREATE TABLE Vendedores (IdVendedor INTEGER PRIMARY KEY, NombreVendedor TEXT)"));
    ASSERT_TRUE(bd->exec("CREATE TABLE f9 (Password)"));
    ASSERT_TRUE(bd->exec("CREATE TABLE robo9 (x)"));
    ASSERT_TRUE(bd->exec("CREATE TRIGGER t9 AFTER INSERT ON t BEGIN INSERT INTO robo9 SELECT Password FROM f9; END"));
    auto corre = [&](const QString& sql) {
        UserSqlGuard g(*bd, UserSql::Console);
        EXPECT_TRUE(bd->beginWrite());
        Error e;
        const bool ok = bd->exec(sql, {}, &e) && g.check(&e);
        if (ok)
            bd->commit();
        else
            bd->rollback();
        return ok ? QString() : e.message;
    };
    EXPECT_EQ(corre("DROP TABLE f9"), "el disparador t9 dejaría de funcionar (se dispara al cambiar la tabla t): usa una "
                                      "tabla o un campo que no existe; no se hizo el cambio");
    EXPECT_EQ(bd->scalar("SELECT count(*) FROM sqlite_master WHERE name IN ('f9', 't9')")->toInt(), 2);
    EXPECT_EQ(corre("DROP TABLE Vendedores"),
              "el programa dejaría de funcionar: necesita la tabla Vendedores del archivo g.db; no se hizo el cambio");
    EXPECT_EQ(corre("ALTER TABLE Vendedores DROP COLUMN NombreVendedor"),
              "el programa dejaría de funcionar: necesita el campo NombreVendedor de la tabla Vendedores del archivo g.db; "
              "no se hizo el cambio");
    EXPECT_EQ(corre("CREATE TABLE d (a TEXT DEFAULT (sqlite_source_id()))"),
              "la tabla d no se permite porque su definición (un valor por omisión, un campo calculado o una regla) "
              "intenta la función sqlite_source_id; no se hizo el cambio");
    EXPECT_EQ(corre("INSERT INTO robo9 SELECT sql FROM sqlite_master"),
              "no se permite leer el texto de las definiciones (sqlite_master.sql): trae el de las tablas internas del "
              "archivo y el de las consultas guardadas");
    ASSERT_TRUE(bd->exec("CREATE TABLE q (a)"));
    ASSERT_TRUE(bd->exec("CREATE TEMP VIEW consulta AS SELECT a FROM q"));
    EXPECT_TRUE(corre("INSERT INTO robo9 SELECT sql FROM sqlite_temp_master").contains("el texto de las definiciones"));
    EXPECT_EQ(corre("DROP TABLE q"),
              "la vista consulta dejaría de funcionar: lee una tabla o un campo que no existe; no se hizo el cambio");
    // What a person may: a rename the engine completes by reading the definitions itself, the
    // trigger dropped, then its table.
    EXPECT_EQ(corre("ALTER TABLE robo9 RENAME TO robo10"), "");
    EXPECT_EQ(corre("ALTER TABLE robo10 RENAME TO robo9"), "");
    EXPECT_EQ(corre("DROP TRIGGER t9"), "");
    EXPECT_EQ(corre("DROP TABLE f9"), "");
    // Statistics: ANALYZE passes over the layer's tables; no statement reads or plants them.
    ASSERT_TRUE(bd->exec("CREATE INDEX it ON t(a)"));
    EXPECT_EQ(Rehusa("ANALYZE"), "");
    EXPECT_EQ(Rehusa("INSERT INTO robo9 SELECT tbl FROM sqlite_stat1"),
              "no se permite leer ni cambiar las estadísticas del motor (sqlite_stat1): ANALYZE las calcula");
    EXPECT_EQ(Rehusa("INSERT INTO sqlite_stat1 VALUES ('_links', NULL, '9')"),
              "no se permite leer ni cambiar las estadísticas del motor (sqlite_stat1): ANALYZE las calcula");
    EXPECT_EQ(testutil::Crudo(bd->path(), "SELECT count(*) FROM sqlite_stat1 WHERE tbl LIKE '\\_%' ESCAPE '\\'"),
              QStringList{"0"});
}
