#pragma once
// Database layer over SQLite (through QtSql): files with an optional password, linked tables that
// reach the central file, saved queries, bound statements, write transactions with a served lock
// wait, and the schema tools the branch maintenance needs.
//
// Every file is SQLite in rollback-journal mode with synchronous=FULL, so a transaction that writes a
// branch file and the attached central file commits atomically.
//
// Meta tables kept inside each file (never shown as user tables):
//   _dbpassword(Password TEXT NOT NULL)        one row when the file carries a password
//   _links(Name TEXT PRIMARY KEY, Source TEXT)  linked tables: Name reaches table Name of file Source
//   _queries(Name TEXT PRIMARY KEY, Kind TEXT, Sql TEXT)  saved queries; Kind is "select" or "action"
// No trigger or view reaches them, whoever made it: every connection's authorizer refuses any access
// to a table whose name begins with "_" that SQLite makes on behalf of one, and the statement that
// would fire or read it fails with that reason.
//
// Every connection knows MAYUSCULAS(text): the text in capitals with Unicode's full rules (SQLite's
// upper(), LIKE and NOCASE fold only A-Z, so "café" would never meet a stored "CAFÉ"). Compare what
// a person typed as MAYUSCULAS(column) LIKE MAYUSCULAS(?) or with = ; NULL stays NULL. A search as
// a Spanish reader looks names up uses LETRAS (spanishLetters below) instead.
//
// Every connection knows the collation ESPANOL (kOrdenEspanol): names ordered as a Spanish reader
// looks them up (compareSpanish below). Lists ordered by a name say ORDER BY Nombre COLLATE ESPANOL;
// numbers are not touched by it. It is never put in a table's definition, so the files stay
// readable by any SQLite tool.
//
// All functions run on the thread that opened the file (the GUI thread in the programs).

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class QSqlQuery;

struct sqlite3;
struct sqlite3_stmt;

namespace db {

enum class ErrorKind {
    None,
    NotFound,       // the file does not exist (open) or already exists (create, VACUUM INTO)
    WrongPassword,  // the file carries another password
    Busy,           // another connection holds the lock (after the wait gave up)
    Cancelled,      // the person cancelled a lock wait
    DuplicateKey,   // UNIQUE or PRIMARY KEY constraint
    Constraint,     // any other constraint (NOT NULL, CHECK)
    NoSuchTable,    // a table, view or saved query that is not there
    Corrupt,        // damaged file or not a database
    Closed,         // the handle was closed by closeAll()
    Other
};

struct Error {
    ErrorKind kind = ErrorKind::None;
    int code = 0;     // SQLite result code when there is one
    QString message;  // SQLite's text, or the layer's own
    bool ok() const { return kind == ErrorKind::None; }
};

// Fills `error` (when given) with a failure of the caller's own, code 0, and returns false, so a
// check can end with `return db::fail(error, ErrorKind::NotFound, texto);`.
inline bool fail(Error* error, ErrorKind kind, const QString& message)
{
    if (error)
        *error = Error{kind, 0, message};
    return false;
}

// One result row. Field names are matched without regard to case; Null stays apart from "" and 0.
class Row {
public:
    Row() = default;
    Row(QStringList names, QVariantList values);

    bool empty() const { return names_.isEmpty(); }
    int count() const { return static_cast<int>(names_.size()); }
    QString name(int i) const { return names_.value(i); }
    bool has(const QString& field) const { return indexOf(field) >= 0; }
    int indexOf(const QString& field) const;

    // Raw value: an invalid QVariant when the field is missing, a null one for Null.
    QVariant value(const QString& field) const;
    QVariant value(int i) const { return values_.value(i); }
    bool isNull(const QString& field) const;

    // Null-safe readers: Null (or a missing field) reads as "", 0 or false.
    QString text(const QString& field) const;
    double real(const QString& field) const;
    qint64 integer(const QString& field) const;
    bool flag(const QString& field) const;

private:
    QStringList names_;
    QVariantList values_;
};
using Rows = std::vector<Row>;

// Steps through rows the way a form's data source does.
class Cursor {
public:
    Cursor() = default;
    explicit Cursor(Rows rows) : rows_(std::move(rows)), pos_(rows_.empty() ? -1 : 0) {}
    int count() const { return static_cast<int>(rows_.size()); }
    int position() const { return pos_; }  // -1 when empty, count() after the last (eof)
    bool bof() const { return rows_.empty() || pos_ < 0; }
    bool eof() const { return rows_.empty() || pos_ >= count(); }
    bool first();
    bool last();
    bool next();      // false (and eof) past the last row
    bool previous();  // false (and bof) before the first row
    bool move(int index);
    const Row& current() const;  // an empty row outside the rows
    const Rows& rows() const { return rows_; }

private:
    Rows rows_;
    int pos_ = -1;
};

// How to wait when the file is busy. Tries again every few milliseconds with the event loop served,
// so the window repaints and a key can cancel.
struct LockWait {
    std::function<bool()> cancelled;             // polled between tries; true gives up (Cancelled)
    std::function<void(const QString&)> status;  // shown while waiting; called with "" when done
    QString statusText = QStringLiteral("Esperando el acceso a la base de datos... (Esc cancela)");
    int timeoutMs = 30000;  // gives up with Busy after this long; < 0 waits until cancelled
    bool serveEvents = true;
};

// Which files a write transaction reserves as it begins.
enum class WriteScope {
    // This file and every attached one (BEGIN IMMEDIATE): a commit that writes the central file
    // too is one atomic two-file commit.
    AllFiles,
    // This file alone. An attached file is reserved only when the transaction first writes it
    // (the commit then spans both files, still atomic); that write answers Busy at once when another
    // connection holds that file, and the caller rolls back and begins again with AllFiles, so no
    // transaction ever waits while it holds a lock. A commit that wrote only this file is a plain
    // one-file commit, and transactions on different branch files never wait for each other.
    MainFile
};

// Tells whether a table may have changed: `file` is the data_version of the file holding it
// (raised when another connection commits to that file), `own` counts this connection's row
// changes to the table. Equal versions mean the table is as it was when the first was read.
struct TableVersion {
    qint64 file = -1;
    quint64 own = 0;
    bool operator==(const TableVersion&) const = default;
};

struct SavedQuery {
    QString name;
    QString kind;  // "select" or "action"
    QString sql;
};

struct Link {
    QString name;
    QString source;  // file name of the central file, e.g. "BDcodigos.db"
};

struct TableInfo {
    QString name;
    bool linked = false;
    QString source;  // for a linked table
};

struct FieldInfo {
    QString name;
    QString type;  // declared type as written ("INTEGER", "TEXT(50)", "REAL")
    int size = 0;  // the number in "TEXT(50)", else 0
    bool notNull = false;
    QVariant defaultValue;  // as written in the definition (SQL text), null when none
    bool primaryKey = false;
};

struct IndexInfo {
    QString name;
    QString table;
    QStringList columns;
    bool unique = false;
};

struct OpenOptions {
    QString password;
    // Attach the central file that linked tables name. Empty centralPath: look for the link's source
    // file name in the file's folder and up to three folders above it.
    bool attachLinks = true;
    QString centralPath;
    // Create the TEMP VIEW of every saved select query.
    bool createViews = true;
    // Open the file read-only: nothing can write it through this handle (a reference file).
    bool readOnly = false;
};

class UserSqlGuard;

class Database {
public:
    static std::unique_ptr<Database> open(const QString& path, const OpenOptions& options,
                                          Error* error = nullptr);
    static std::unique_ptr<Database> open(const QString& path, const QString& password = {},
                                          Error* error = nullptr);
    // Creates a new empty file (never overwrites: NotFound-kind error "ya existe") with the meta tables.
    static std::unique_ptr<Database> create(const QString& path, const QString& password = {},
                                            Error* error = nullptr);
    // Closes every handle this process holds on the file (before copying, deleting or compacting it).
    static void closeAll(const QString& path);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString path() const { return path_; }
    bool isOpen() const;
    QSqlDatabase connection() const;
    const Error& lastError() const { return lastError_; }
    QString centralPath() const { return centralPath_; }  // attached central file, "" when none

    // Stops the statement this handle is running, from any thread (a read the person gave up
    // waiting for): it ends with an error. The caller keeps the handle open meanwhile.
    void interrupt();

    // --- statements (values always bound: positional "?" or named ":name") ---
    // Outside a write transaction a busy file is tried again for a few seconds (no events served);
    // inside one a busy answer comes back at once. Named values the statement does not use are
    // ignored; a used name with no value binds Null.
    bool exec(const QString& sql, const QVariantList& params = {}, Error* error = nullptr,
              int* rowsAffected = nullptr);
    bool exec(const QString& sql, const QVariantMap& params, Error* error = nullptr,
              int* rowsAffected = nullptr);
    // Braced values ({} or {a, b}) pick the positional form.
    bool exec(const QString& sql, std::initializer_list<QVariant> params, Error* error = nullptr,
              int* rowsAffected = nullptr) {
        return exec(sql, QVariantList(params), error, rowsAffected);
    }
    // A statement that writes, run with the lock wait when the file is busy (outside a transaction).
    bool execWait(const QString& sql, const QVariantList& params, const LockWait& wait,
                  Error* error = nullptr, int* rowsAffected = nullptr);
    // Several statements separated by ';' (schema scripts); no parameters.
    bool execScript(const QString& script, Error* error = nullptr);
    std::optional<Rows> select(const QString& sql, const QVariantList& params = {},
                               Error* error = nullptr);
    std::optional<Rows> select(const QString& sql, const QVariantMap& params, Error* error = nullptr);
    std::optional<Rows> select(const QString& sql, std::initializer_list<QVariant> params,
                               Error* error = nullptr) {
        return select(sql, QVariantList(params), error);
    }
    // First row; an empty Row when there is none; nullopt on error.
    std::optional<Row> selectOne(const QString& sql, const QVariantList& params = {},
                                 Error* error = nullptr);
    // First column of the first row; a null QVariant when there is no row; nullopt on error.
    std::optional<QVariant> scalar(const QString& sql, const QVariantList& params = {},
                                   Error* error = nullptr);
    // Runs the statement into the caller's query, for reads that walk many rows themselves (a
    // forward-only query on connection()); a busy file is tried again as select does.
    bool execQuery(QSqlQuery& q, const QString& sql, const QVariantList& params = {}, Error* error = nullptr);
    bool tableExists(const QString& name);  // local or linked
    qint64 lastInsertId();
    // The table's version now (see TableVersion); nullopt when the table is not there.
    std::optional<TableVersion> tableVersion(const QString& table);

    // --- saved queries ---
    // Replaces one of the same name. Refused: a name taken by a table or link, and a select
    // (without parameters) that does not compile against the tables, which is then not saved.
    bool createQuery(const QString& name, const QString& kind, const QString& sql,
                     Error* error = nullptr);
    bool deleteQuery(const QString& name, Error* error = nullptr);
    bool hasQuery(const QString& name);
    std::vector<SavedQuery> savedQueries();
    std::optional<SavedQuery> savedQuery(const QString& name);
    // Runs a saved select query's SQL with the values bound.
    std::optional<Rows> selectQuery(const QString& name, const QVariantMap& params = {},
                                    Error* error = nullptr);
    // Runs every statement of a saved action query in one transaction (named values bound to each
    // statement that uses them). The program's own actions (db::ownAction: ValidaExistencia,
    // AsignaE0, ...) run the program's text, whatever text the file keeps under that name.
    bool runAction(const QString& name, const QVariantMap& params = {}, Error* error = nullptr,
                   int* rowsAffected = nullptr);
    // Select queries whose view could not be made at open (missing table or column), with the reason.
    QStringList brokenQueries() const { return brokenQueries_; }

    // --- linked tables ---
    // Creates or replaces the link in one transaction after checking that the central file holds the
    // table; refuses when this file has a local table of that name.
    bool createLink(const QString& name, const QString& sourceFile, Error* error = nullptr);
    bool removeLink(const QString& name, Error* error = nullptr);
    std::vector<Link> links();

    // --- schema tools ---
    std::vector<TableInfo> tables();  // user tables and links; no meta or internal tables
    std::vector<FieldInfo> fields(const QString& table);
    std::vector<IndexInfo> indexes(const QString& table);
    QString tableSql(const QString& table);  // the CREATE TABLE text
    // Inside an open write transaction it joins it; otherwise it runs in one of its own.
    bool addField(const QString& table, const FieldInfo& field, Error* error = nullptr);
    // Replaces the table by createSql's definition (same table name) in one transaction, keeping the
    // rows of the columns both definitions share, and the table's indexes where their columns remain.
    bool rebuildTable(const QString& table, const QString& createSql, Error* error = nullptr);
    bool vacuum(Error* error = nullptr);
    bool vacuumInto(const QString& targetPath, Error* error = nullptr);  // refuses an existing target

    // Copies rows of a table between two open files, explicit columns, one transaction on target; on
    // failure the target is left as it was.
    static bool copyRows(Database& from, Database& to, const QString& table,
                         const QStringList& columns, Error* error = nullptr,
                         const QString& whereSql = {}, const QVariantList& whereParams = {});
    // Creates table `table` in `to` with the definition (and indexes) it has in `from`; inside an
    // open write transaction on `to` it joins it.
    static bool createTableLike(Database& from, Database& to, const QString& table,
                                Error* error = nullptr);

    // --- write transaction ---
    // BEGIN IMMEDIATE (or, with MainFile, a reservation of this file alone) with the lock wait;
    // false (and nothing begun) when cancelled or failed.
    bool beginWrite(const LockWait& wait = {}, Error* error = nullptr,
                    WriteScope scope = WriteScope::AllFiles);
    bool commit(Error* error = nullptr);  // retries a busy COMMIT; the transaction stays open on failure
    // The same, waiting for the readers as `wait` says (status text, events, Esc); a cancelled or
    // timed-out wait leaves the transaction open for the caller to roll back.
    bool commit(const LockWait& wait, Error* error = nullptr);
    void rollback();
    bool inTransaction() const { return inTransaction_; }
    // No transaction is open on the handle, neither the layer's nor one a person's script began.
    bool autocommit() const;

private:
    Database() = default;
    bool fail(Error* error, const Error& e);
    bool succeed(Error* error);
    bool checkOpen(Error* error);
    // Prepares, binds and runs; outside a transaction a busy file is tried again for a moment.
    bool run(QSqlQuery& q, const QString& sql, const std::function<void(QSqlQuery&)>& bind,
             Error& e, bool prepared = false);
    std::optional<Rows> selectWith(const QString& sql,
                                   const std::function<void(QSqlQuery&)>& bind, Error* error);
    bool execWith(const QString& sql, const std::function<void(QSqlQuery&)>& bind,
                  Error* error, int* rowsAffected);
    bool ensureMetaTables(Error& e);
    bool attachSource(const QString& sourceFile, const QString& password, QString* alias,
                      Error& e);
    QString schemaOf(const QString& table);  // "main", an attached alias, or "" when not found
    bool localTable(const QString& name);
    void createViews();
    bool viewCompiles(const QString& name, Error& e);
    void closeHandle();

    struct Attached {
        QString alias;
        QString path;
        QString source;  // the file name links name
    };
    std::vector<Attached> attached_;
    QString password_;
    QString centralHint_;

    QString path_;
    QString connName_;
    std::atomic<sqlite3*> raw_{nullptr};  // SQLite's own handle, for interrupt()
    QString centralPath_;
    Error lastError_;
    QStringList brokenQueries_;
    bool inTransaction_ = false;
    bool closed_ = false;
    // Prepared statements by their text, so a save's statements are parsed once per connection.
    QHash<QString, std::shared_ptr<QSqlQuery>> statements_;
    // The cached statement for `sql`; `prepared` false when it could not be prepared (run() then
    // prepares it again and reports why).
    std::shared_ptr<QSqlQuery> statement(const QString& sql, bool forwardOnly, bool* prepared);
    // Statements with positional values run on SQLite's handle (statements.cpp), prepared once
    // and kept by their text; finalized before the handle closes.
    struct Prepared {
        sqlite3_stmt* st = nullptr;
        Prepared() = default;
        ~Prepared();
        Prepared(const Prepared&) = delete;
        Prepared& operator=(const Prepared&) = delete;
    };
    QHash<QString, std::shared_ptr<Prepared>> prepared_;
    sqlite3_stmt* ownStatement(const QString& sql, Error& e);  // nullptr (and e) when it cannot be prepared
    // Binds, runs and, when `rows` is given, reads every row; with `retry` a busy file outside a
    // write transaction is tried again for a moment, as run() does.
    bool runOwn(const QString& sql, const QVariantList& params, Rows* rows, int* rowsAffected, Error* error,
                bool retry = true);
    int hasLinksTable_ = -1;  // main holds _links (-1: not looked up yet)
    Error runCached(const QString& sql);  // a statement without values, through the cache
    // Rows this connection changed, by table name in lower case (SQLite's update hook).
    QHash<QString, quint64> ownChanges_;
    std::vector<std::pair<QByteArray, QString>> changedNames_;  // table names as changed, and in lower case
    QHash<QString, QString> tableSchemas_;  // where tableVersion found each table
    void watchChanges(bool on);
    QString refused_;    // why the authorizer refused the statement being prepared, "" when it did not
    QString refusedBy_;  // the trigger, view or WITH name the engine named as the refusal's cause
    // The refusal in the person's words: what was refused and, when a stored object caused it,
    // which one ("el disparador x", "la vista x", "la subconsulta x").
    QString refusal();
    // The layer's own statements (their text is the layer's, written here): while one is prepared
    // or run, it may read and write the layer's tables. Nothing else may, whatever asks.
    int trusted_ = 0;
    struct Trusted {
        explicit Trusted(Database& d) : d_(d) { ++d_.trusted_; }
        ~Trusted() { --d_.trusted_; }
        Trusted(const Trusted&) = delete;
        Trusted& operator=(const Trusted&) = delete;
        Database& d_;
    };
    bool stepping_ = false;  // a prepared statement is running (not being prepared)
    // The engine is completing a person's ALTER or DROP with statements of its own (they read the
    // definitions' text and the statistics); cleared as the next statement is prepared.
    bool rewriting_ = false;
    friend struct DatabaseRegistry;
    friend struct ChangeHook;
    friend class UserSqlGuard;
};

// What a person's own SQL may do on a handle besides the data (UserSqlGuard).
enum class UserSql {
    Script,   // the synchronisation script: besides, transaction control and a few PRAGMAs
    Console,  // the maintenance console: no PRAGMA nor transaction control
};

// While alive, SQLite itself (an authorizer on the handle) admits in every statement prepared on
// `db` only what a person may do, and refuses the rest with the reason as the statement's error:
//   - create, alter and drop ordinary tables, indexes, views and triggers (temporary ones too);
//     read and write ordinary tables; ANALYZE, REINDEX, VACUUM (not VACUUM INTO: the copy would
//     carry the layer's tables out) and WITH RECURSIVE;
//   - the functions of admittedFunctions() (the engine's core, aggregate, window, date, math and
//     JSON functions), never load_extension, fts3_tokenizer, the full-text or R*Tree ones, the
//     engine's introspection ones, nor any function the program registers for itself;
//   - in a script, the PRAGMAs of admittedPragmas() (table and index descriptions and checks,
//     never on a layer table) and transaction control; in the console, neither;
//   - no virtual table (no module: the program uses none), no ATTACH nor DETACH;
//   - never a read or write of the layer's tables (a name beginning with "_": _dbpassword,
//     _links, _queries and any later one), however the statement spells or quotes them, nor a
//     table, index, view or trigger of such a name or on such a table.
// Every other action the engine can ask about is refused, so a new kind of statement, function or
// pragma of a later engine stays out until it is listed here. The engine's limits are lowered
// meanwhile (text length, expression depth, compound selects, trigger depth...).
// Wrap only what the person typed: the layer's own statements (they read those tables) pass as
// they pass on every connection. Every connection refuses those tables to anything but the layer's
// own statements anyway (see the top of this file); the guard besides refuses, as they are made,
// the triggers and views that would only fail later.
// How far a person's statement may go before the engine stops it: engine steps (counted by a
// progress handler set only while a guard lives) and growth of each file it reaches (a page
// limit on each). No shop's maintenance statement comes near either.
struct UserSqlBounds {
    qint64 steps = 1'000'000'000;
    qint64 growthBytes = qint64(512) << 20;
};

class UserSqlGuard {
public:
    // `wait` lets the person stop a long statement as a busy-file wait is stopped: `cancelled` is
    // polled and the events served while it runs (its status shows "Ejecutando..."), so the
    // window repaints and Esc reaches it.
    UserSqlGuard(Database& db, UserSql kind, const LockWait& wait = {});
    ~UserSqlGuard();
    UserSqlGuard(const UserSqlGuard&) = delete;
    UserSqlGuard& operator=(const UserSqlGuard&) = delete;
    // After a statement ran. SQLite reads a trigger's or a view's body only when a statement that
    // fires or reads it is prepared, and names no rename's new name, so what the statement made is
    // tried here: a trigger or view that would touch the layer's tables or cannot be tried is
    // dropped again, a table renamed into a layer name gets its name back, and false comes back
    // with the reason.
    // Besides, checked from the outside on every file the handle reaches: every table and column
    // of the program's own schema that was there as the guard began (or in require()) is still
    // there, and every table's definition, trigger and view compiles under the guard. False, with
    // what would break, tells the caller to roll the statement back.
    bool check(Error* error = nullptr);
    QString refused() const;  // the last thing refused, "" when none
    // The program's tables and columns check() must find (programSchema() taken earlier, e.g. as a
    // script began), instead of those there as the guard began.
    void require(const QStringList& schema) { required_ = schema; }
    // A failed statement in the person's words when the guard stopped it (steps, growth, Esc):
    // true and `error` rewritten; false when the guard did not stop it.
    bool explain(Error* error) const;
    qint64 steps() const { return steps_; }  // engine steps counted so far
    static UserSqlBounds bounds();
    static void setBounds(const UserSqlBounds& b);  // tests lower them to count a runaway's steps

    // "file\ttable\tcolumn" of every program table and column (db::programTables) the files the
    // handle reaches hold now; "file" is the schema name ("main", "central").
    static QStringList programSchema(Database& db);
    // Why a file brought in must not be used ("" when it may): a table's definition, a trigger or
    // a view in it that does not compile under the guard (a default calling a refused function, a
    // trigger reading _dbpassword, a view over a table that is not there).
    static QString faultsOf(Database& db);

    // The lists themselves, as the guard applies them (names in lower case).
    static QStringList admittedFunctions();
    static QStringList admittedPragmas();
    // Whether the guard admits an action code of SQLite's authorizer on ordinary objects (a table
    // "t", an index "i", function "abs", pragma "table_info" and file "" as the engine would name them).
    static bool admitsAction(int action, UserSql kind);

private:
    static int authorize(void* self, int action, const char* a1, const char* a2, const char* schema,
                         const char* inner);
    QString decide(int action, const char* a1, const char* a2, const char* schema);
    // What is refused ("" when admitted): the rule itself, apart from a handle. `stepping` tells
    // a statement that runs from one being prepared; `g` (may be null) keeps VACUUM's leave.
    static QString decision(int action, const char* a1, const char* a2, const char* schema, UserSql kind,
                            bool stepping, UserSqlGuard* g);
    void install(bool on);
    QStringList layerTables();  // "schema.name" of every layer table the handle reaches
    bool tryObject(const QString& schema, const QString& name, bool view, QString* why);
    // Every table, trigger and view of every file compiles under the guard; else why not.
    QString compileAll();
    static int progress(void* self);
    Database& db_;
    UserSql kind_;
    LockWait wait_;
    QStringList required_;
    qint64 steps_ = 0;
    enum class Stop { None, Steps, Growth, Cancelled } stop_ = Stop::None;
    qint64 lastServed_ = 0;
    bool shown_ = false;
    std::vector<std::pair<QString, qint64>> pageLimits_;  // each file's page limit as it was
    struct Made {
        QString schema;
        QString name;
        bool view = false;
    };
    std::vector<Made> made_;
    std::vector<Made> altered_;  // tables an ALTER TABLE named, before it ran
    QStringList before_;         // layerTables() as the guard began
    bool vacuum_ = false;        // SQLite's own VACUUM is copying the file into its scratch file
    QStringList seen_;           // triggers and views whose body the engine compiled meanwhile
    std::vector<std::pair<int, int>> limits_;  // the engine's limits as they were
};

// Rolls back unless committed. A wait given to begin() that shows itself or can be cancelled also
// serves the COMMIT's wait for readers, so the person sees that wait too and can leave it.
class WriteTransaction {
public:
    explicit WriteTransaction(Database& db) : db_(db) {}
    ~WriteTransaction();
    bool begin(const LockWait& wait = {}, Error* error = nullptr,
               WriteScope scope = WriteScope::AllFiles);
    bool commit(Error* error = nullptr);
    void rollback();
    bool active() const { return active_; }

private:
    Database& db_;
    bool active_ = false;
    std::optional<LockWait> wait_;
};

// The collation of names, the one order of every list by name (SQL and C++ alike): letters compare
// without regard to accents and case, Ñ is a letter of its own between N and O (NANDO < ÑANDÚ < OSO,
// CAÑÓN < CARPETA); among names equal so far the one without the accent goes first, then lower case
// before capitals, then the code points, so the order is total. Negative, 0 or positive.
int compareSpanish(const QString& a, const QString& b);
inline bool lessSpanish(const QString& a, const QString& b) { return compareSpanish(a, b) < 0; }
// The letters compareSpanish weighs first: capitals, accents dropped, Ñ kept apart from N. Texts
// that differ only in accents or case have the same letters, so a search compares these (SQL:
// LETRAS(x) LIKE LETRAS(?)) and "a" finds "ÁRBOL" as the order places it; NULL stays NULL.
QString spanishLetters(const QString& texto);
inline constexpr char kOrdenEspanol[] = "ESPANOL";

// Text typed by a person, made literal for LIKE ... ESCAPE '\'.
QString escapeLike(const QString& text);
// A pattern with the '*' wildcard: the rest literal, '*' becomes '%' (use with ESCAPE '\').
QString wildcardToLike(const QString& pattern);

// Maps a QtSql error to the layer's error (kind, SQLite code, message).
Error toError(const class QSqlError& e);

}  // namespace db
