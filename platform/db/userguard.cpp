// The guard around SQL a person types: SQLite's authorizer admits, at prepare time, only what the
// list below allows, so no spelling, quoting or nesting of a name gets past it, and whatever a
// later engine adds stays out until it is listed.

#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>

namespace db {

namespace {

using detail::layerTable;

QString text(const char* s) { return s ? QString::fromUtf8(s) : QString(); }

// VACUUM copies the file through a scratch file SQLite attaches under this name.
constexpr const char* kVacuumSchema = "vacuum_db";

// The engine's functions a person's statement may call: core scalar, aggregate, window, date,
// math and JSON functions. Not listed, so refused: load_extension, fts3_tokenizer, the full-text
// and R*Tree functions (match, snippet, offsets, matchinfo, optimize, fts5, bm25, highlight,
// rtree*), the engine's introspection (sqlite_version, sqlite_source_id, sqlite_compileoption_*,
// sqlite_log, subtype) and the program's own (MAYUSCULAS).
const QSet<QString>& functions() {
    static const QSet<QString> s = [] {
        QSet<QString> f;
        for (const char* n :
             {// core scalar
              "abs", "changes", "char", "coalesce", "format", "glob", "hex", "ifnull", "iif", "instr",
              "last_insert_rowid", "length", "like", "likelihood", "likely", "lower", "ltrim", "max", "min",
              "nullif", "printf", "quote", "random", "randomblob", "replace", "round", "rtrim", "sign",
              "soundex", "substr", "substring", "total_changes", "trim", "typeof", "unicode", "unlikely",
              "upper", "zeroblob",
              // aggregate
              "avg", "count", "group_concat", "sum", "total",
              // window
              "row_number", "rank", "dense_rank", "percent_rank", "cume_dist", "ntile", "lag", "lead",
              "first_value", "last_value", "nth_value",
              // date and time
              "date", "time", "datetime", "julianday", "unixepoch", "strftime", "current_date",
              "current_time", "current_timestamp",
              // math
              "acos", "acosh", "asin", "asinh", "atan", "atan2", "atanh", "ceil", "ceiling", "cos", "cosh",
              "degrees", "exp", "floor", "ln", "log", "log10", "log2", "mod", "pi", "pow", "power", "radians",
              "sin", "sinh", "sqrt", "tan", "tanh", "trunc",
              // JSON
              "json", "json_array", "json_array_length", "json_extract", "json_insert", "json_object",
              "json_patch", "json_quote", "json_remove", "json_replace", "json_set", "json_type",
              "json_valid", "json_group_array", "json_group_object", "->", "->>",
              // the engine's own, which it calls for ALTER TABLE and refuses to anyone else
              "sqlite_rename_column", "sqlite_rename_table", "sqlite_rename_test", "sqlite_drop_column",
              "sqlite_rename_quotefix"})
            f.insert(QString::fromLatin1(n));
        return f;
    }();
    return s;
}

// PRAGMAs a synchronisation script may run: descriptions and checks, none that changes the file
// or the connection.
const QSet<QString>& pragmas() {
    static const QSet<QString> s = {
        QStringLiteral("table_info"),       QStringLiteral("table_xinfo"),       QStringLiteral("index_list"),
        QStringLiteral("index_info"),       QStringLiteral("index_xinfo"),       QStringLiteral("foreign_key_list"),
        QStringLiteral("foreign_key_check"), QStringLiteral("integrity_check"), QStringLiteral("quick_check"),
    };
    return s;
}

// The engine's limits while a person's statement runs: generous for any shop's statement, low
// enough that none ties up the program's memory or stack.
constexpr std::pair<int, int> kLimits[] = {
    {SQLITE_LIMIT_LENGTH, 10'000'000},     {SQLITE_LIMIT_SQL_LENGTH, 100'000},
    {SQLITE_LIMIT_EXPR_DEPTH, 100},         {SQLITE_LIMIT_COMPOUND_SELECT, 50},
    {SQLITE_LIMIT_VDBE_OP, 5'000'000},      {SQLITE_LIMIT_FUNCTION_ARG, 32},
    {SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 1000}, {SQLITE_LIMIT_VARIABLE_NUMBER, 100},
    {SQLITE_LIMIT_TRIGGER_DEPTH, 10},
};

// Actions that change a definition, the file's schema.
bool definition(int action) {
    switch (action) {
    case SQLITE_CREATE_INDEX:
    case SQLITE_DROP_INDEX:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_CREATE_TABLE:
    case SQLITE_DROP_TABLE:
    case SQLITE_CREATE_VIEW:
    case SQLITE_DROP_VIEW:
    case SQLITE_ALTER_TABLE:
        return true;
    default:
        return false;
    }
}

// A file attached to the person's (the central one), not VACUUM's scratch copy.
bool otherFile(const char* schema) {
    if (!schema || !*schema) return false;
    return qstricmp(schema, "main") != 0 && qstricmp(schema, "temp") != 0 && qstrcmp(schema, kVacuumSchema) != 0;
}

bool definitionsTable(const char* t) {
    for (const char* n : {"sqlite_master", "sqlite_schema", "sqlite_temp_master", "sqlite_temp_schema"})
        if (qstricmp(t, n) == 0) return true;
    return false;
}

UserSqlBounds& currentBounds() {
    static UserSqlBounds b;
    return b;
}

constexpr int kProgressEvery = 1000;  // engine steps between two calls of the progress handler

// Prepares (never runs) `sql`; `use` sees the statement when it compiled.
using detail::bindText;
using detail::column;
using detail::prepare;

}  // namespace

UserSqlGuard::UserSqlGuard(Database& db, UserSql kind, const LockWait& wait) : db_(db), kind_(kind), wait_(wait) {
    install(true);
}

UserSqlBounds UserSqlGuard::bounds() { return currentBounds(); }

void UserSqlGuard::setBounds(const UserSqlBounds& b) { currentBounds() = b; }

int UserSqlGuard::progress(void* self) {
    auto* g = static_cast<UserSqlGuard*>(self);
    g->steps_ += kProgressEvery;
    if (g->steps_ > currentBounds().steps) {
        g->stop_ = Stop::Steps;
        return 1;
    }
    // The window is served as a busy wait serves it: every couple of hundred thousand steps it
    // repaints and takes the keys, an Esc among them.
    if (g->steps_ - g->lastServed_ < 200'000) return 0;
    g->lastServed_ = g->steps_;
    if (!g->shown_ && g->wait_.status) {
        g->shown_ = true;
        g->wait_.status(QStringLiteral("Ejecutando la instrucción... (Esc cancela)"));
    }
    if (g->wait_.serveEvents && (g->wait_.cancelled || g->wait_.status) && QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (g->wait_.cancelled && g->wait_.cancelled()) {
        g->stop_ = Stop::Cancelled;
        return 1;
    }
    return 0;
}

bool UserSqlGuard::explain(Error* error) const {
    if (!error) return stop_ != Stop::None;
    QString why;
    if (stop_ == Stop::Steps)
        why = QStringLiteral("la instrucción se detuvo: pasó de %L1 pasos del motor de datos sin terminar")
                  .arg(currentBounds().steps);
    else if (stop_ == Stop::Cancelled)
        why = QStringLiteral("la instrucción se detuvo porque usted la canceló");
    else if ((error->code & 0xff) == SQLITE_FULL)
        why = QStringLiteral("la instrucción se detuvo: haría crecer el archivo más de %L1 MB")
                  .arg(currentBounds().growthBytes >> 20);
    else
        return false;
    *error = detail::makeError(stop_ == Stop::Cancelled ? ErrorKind::Cancelled : ErrorKind::Other,
                               why + QStringLiteral("; no se cambió nada"), SQLITE_INTERRUPT);
    error->code = 0;  // the program's own words
    return true;
}

UserSqlGuard::~UserSqlGuard() { install(false); }

QString UserSqlGuard::refused() const { return db_.refused_; }

QStringList UserSqlGuard::admittedFunctions() {
    QStringList l(functions().begin(), functions().end());
    l.sort();
    return l;
}

QStringList UserSqlGuard::admittedPragmas() {
    QStringList l(pragmas().begin(), pragmas().end());
    l.sort();
    return l;
}

void UserSqlGuard::install(bool on) {
    // Statements prepared before (the layer's own, cached) must not run unchecked meanwhile; SQLite
    // expires them when the authorizer changes, and the cache is dropped as well.
    db_.statements_.clear();
    db_.prepared_.clear();
    sqlite3* h = detail::sqliteHandle(db_.connection());
    if (!h) return;
    if (on) {
        before_ = layerTables();
        required_ = programSchema(db_);
        {
            // Each file may grow by the bound and no more: the engine answers "full" past it.
            Database::Trusted own(db_);
            QStringList schemas;
            prepare(h, QStringLiteral("PRAGMA database_list"), [&](sqlite3_stmt* st) {
                while (sqlite3_step(st) == SQLITE_ROW) schemas << column(st, 1);
            });
            if (!schemas.contains(QLatin1String("temp"))) schemas << QStringLiteral("temp");
            for (const QString& s : schemas) {
                const QString q = detail::quoteIdent(s);
                qint64 pages = 0, size = 4096, limit = 0;
                prepare(h, QStringLiteral("PRAGMA %1.page_count").arg(q), [&](sqlite3_stmt* st) {
                    if (sqlite3_step(st) == SQLITE_ROW) pages = sqlite3_column_int64(st, 0);
                });
                prepare(h, QStringLiteral("PRAGMA %1.page_size").arg(q), [&](sqlite3_stmt* st) {
                    if (sqlite3_step(st) == SQLITE_ROW) size = std::max<qint64>(512, sqlite3_column_int64(st, 0));
                });
                prepare(h, QStringLiteral("PRAGMA %1.max_page_count").arg(q), [&](sqlite3_stmt* st) {
                    if (sqlite3_step(st) == SQLITE_ROW) limit = sqlite3_column_int64(st, 0);
                });
                const qint64 bound = pages + currentBounds().growthBytes / size + 1;
                if (limit <= 0 || bound >= limit) continue;
                pageLimits_.push_back({s, limit});
                prepare(h, QStringLiteral("PRAGMA %1.max_page_count = %2").arg(q).arg(bound),
                        [](sqlite3_stmt* st) { sqlite3_step(st); });
            }
        }
        for (const auto& [limit, value] : kLimits) limits_.push_back({limit, sqlite3_limit(h, limit, value)});
        sqlite3_set_authorizer(h, &UserSqlGuard::authorize, this);
        sqlite3_progress_handler(h, kProgressEvery, &UserSqlGuard::progress, this);
    } else {
        sqlite3_progress_handler(h, 0, nullptr, nullptr);
        if (shown_ && wait_.status) wait_.status(QString());
        for (const auto& [limit, value] : limits_) sqlite3_limit(h, limit, value);
        db_.watchChanges(true);
        Database::Trusted own(db_);
        for (const auto& [s, limit] : pageLimits_)
            prepare(h, QStringLiteral("PRAGMA %1.max_page_count = %2").arg(detail::quoteIdent(s)).arg(limit),
                    [](sqlite3_stmt* st) { sqlite3_step(st); });
    }
}

QStringList UserSqlGuard::layerTables() {
    QStringList out;
    sqlite3* h = detail::sqliteHandle(db_.connection());
    if (!h) return out;
    Database::Trusted own(db_);
    QStringList schemas;
    prepare(h, QStringLiteral("PRAGMA database_list"), [&](sqlite3_stmt* st) {
        while (sqlite3_step(st) == SQLITE_ROW) schemas << column(st, 1);
    });
    for (const QString& s : schemas)
        prepare(h,
                QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table' AND substr(name, 1, 1) = '_'")
                    .arg(detail::quoteIdent(s)),
                [&](sqlite3_stmt* st) {
                    while (sqlite3_step(st) == SQLITE_ROW) out << s.toLower() + u'.' + column(st, 0);
                });
    return out;
}

bool UserSqlGuard::admitsAction(int action, UserSql kind) {
    // The decision does not depend on the handle for ordinary names; a guard is not needed to ask.
    const char* a1 = nullptr;
    const char* a2 = nullptr;
    switch (action) {
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TEMP_INDEX:
        a1 = "i", a2 = "t";
        break;
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_TEMP_TRIGGER:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_TEMP_TRIGGER:
        a1 = "g", a2 = "t";
        break;
    case SQLITE_ALTER_TABLE:
        a1 = "main", a2 = "t";
        break;
    case SQLITE_PRAGMA:
        a1 = "table_info", a2 = "t";
        break;
    case SQLITE_FUNCTION:
        a2 = "abs";
        break;
    case SQLITE_ATTACH:
        a1 = "x.db";
        break;
    case SQLITE_CREATE_VTABLE:
    case SQLITE_DROP_VTABLE:
        a1 = "t", a2 = "fts4";
        break;
    default:
        a1 = "t", a2 = "c";
        break;
    }
    return decision(action, a1, a2, "main", kind, false, nullptr).isEmpty();
}

QString UserSqlGuard::decide(int action, const char* a1, const char* a2, const char* schema) {
    return decision(action, a1, a2, schema, kind_, db_.stepping_, this);
}

QString UserSqlGuard::decision(int action, const char* a1, const char* a2, const char* schema, UserSql kind,
                               bool stepping, UserSqlGuard* g) {
    const bool console = kind == UserSql::Console;
    // VACUUM copies every table, the layer's too, into its scratch file and back.
    const bool scratch = g && g->vacuum_ && qstrcmp(schema, kVacuumSchema) == 0;
    auto on = [scratch](const char* table, const QString& what) {
        return layerTable(table) && !scratch ? what.arg(text(table)) : QString();
    };
    // A branch file reaches the central file's tables through its links: their rows may change
    // from here, their definitions only on the central file itself.
    const char* file = action == SQLITE_ALTER_TABLE ? a1 : schema;
    const bool stats = a1 && qstrnicmp(a1, "sqlite_stat", 11) == 0;
    if ((action == SQLITE_ANALYZE || (definition(action) && stats)) && otherFile(file))
        return QStringLiteral("ANALYZE sobre el archivo central desde este archivo: escriba ANALYZE main para "
                              "analizar solo este");
    if (definition(action) && otherFile(file)) {
        const char* table = action == SQLITE_ALTER_TABLE ? a2 : a2 ? a2 : a1;
        return QStringLiteral("cambiar desde este archivo la definición de %1: es una tabla ligada del archivo central; "
                              "ejecute la instrucción en BD1 (el archivo central)")
            .arg(text(table));
    }
    // The engine's own tables show the layer's tables too: the text of every definition (the
    // saved queries' views among them) and the planner's statistics of every table.
    const bool engineWork = g && (g->db_.rewriting_ || g->vacuum_);
    if ((action == SQLITE_READ || action == SQLITE_INSERT || action == SQLITE_UPDATE || action == SQLITE_DELETE) &&
        a1 && !scratch) {
        if (action == SQLITE_READ && definitionsTable(a1) && qstricmp(a2, "sql") == 0 && !engineWork)
            return QStringLiteral("leer el texto de las definiciones (%1.sql): trae el de las tablas internas del "
                                  "archivo y el de las consultas guardadas")
                .arg(text(a1));
        if (qstrnicmp(a1, "sqlite_stat", 11) == 0 && !stepping && !engineWork)
            return QStringLiteral("leer ni cambiar las estadísticas del motor (%1): ANALYZE las calcula").arg(text(a1));
    }
    switch (action) {
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TEMP_INDEX:
        return on(a2, QStringLiteral("crear un índice sobre la tabla interna del archivo %1"));
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TEMP_INDEX:
        return on(a2, QStringLiteral("borrar un índice de la tabla interna del archivo %1"));
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_TEMP_TRIGGER:
        return on(a2, QStringLiteral("crear un disparador sobre la tabla interna del archivo %1"));
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_TEMP_TRIGGER:
        return on(a2, QStringLiteral("borrar un disparador de la tabla interna del archivo %1"));
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TEMP_TABLE:
        return on(a1, QStringLiteral("crear la tabla %1: un nombre que empieza con _ es de una tabla interna del "
                                     "archivo"));
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TEMP_TABLE:
        return on(a1, QStringLiteral("borrar la tabla interna del archivo %1"));
    case SQLITE_CREATE_VIEW:
    case SQLITE_CREATE_TEMP_VIEW:
        return on(a1, QStringLiteral("crear la vista %1: un nombre que empieza con _ es de una tabla interna del "
                                     "archivo"));
    case SQLITE_DROP_VIEW:
    case SQLITE_DROP_TEMP_VIEW:
        return on(a1, QStringLiteral("borrar la vista %1"));
    case SQLITE_ALTER_TABLE:  // the file's name first, then the table's; the new name is not told
        return on(a2, QStringLiteral("cambiar la tabla interna del archivo %1"));
    case SQLITE_READ:
        // The engine's JSON tables, kept for the program's own statements, are virtual tables too.
        if (!scratch && (qstricmp(a1, "json_each") == 0 || qstricmp(a1, "json_tree") == 0))
            return QStringLiteral("leer la tabla virtual %1: el programa no usa tablas virtuales").arg(text(a1));
        return scratch ? QString() : detail::layerAccess(action, a1);
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        return scratch ? QString() : detail::layerAccess(action, a1);
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
    case SQLITE_ANALYZE:  // statistics of every table's indexes: no row of the table comes out
    case SQLITE_REINDEX:
        return {};
    case SQLITE_FUNCTION:
        if (functions().contains(text(a2).toLower())) return {};
        return QStringLiteral("la función %1").arg(text(a2));
    case SQLITE_PRAGMA:
        if (console || !pragmas().contains(text(a1).toLower())) return QStringLiteral("PRAGMA %1").arg(text(a1));
        return on(a2, QStringLiteral("PRAGMA %1 sobre la tabla interna del archivo %2").arg(text(a1)));
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        return console ? QStringLiteral("el control de transacciones (BEGIN, COMMIT, ROLLBACK, SAVEPOINT)")
                       : QString();
    case SQLITE_ATTACH:
        // While a statement runs, the engine attaches for VACUUM alone: its scratch file has no
        // name; VACUUM INTO names its target, which would get a copy of the layer's tables.
        if (stepping && a1 && !*a1) {
            if (g) g->vacuum_ = true;
            return {};
        }
        if (stepping) return QStringLiteral("VACUUM INTO: la copia llevaría las tablas internas del archivo");
        return QStringLiteral("ATTACH ni DETACH");
    case SQLITE_DETACH:
        return QStringLiteral("ATTACH ni DETACH");
    case SQLITE_CREATE_VTABLE:
        return QStringLiteral("crear la tabla virtual %1 (módulo %2): el programa no usa tablas virtuales")
            .arg(text(a1), text(a2));
    case SQLITE_DROP_VTABLE:
        return QStringLiteral("borrar la tabla virtual %1").arg(text(a1));
    default:
        return QStringLiteral("esta clase de instrucción");
    }
}

int UserSqlGuard::authorize(void* self, int action, const char* a1, const char* a2, const char* schema,
                            const char* inner) {
    auto* g = static_cast<UserSqlGuard*>(self);
    Database& d = g->db_;
    if (inner) {
        const QString by = QString::fromUtf8(inner).toLower();
        if (!g->seen_.contains(by)) g->seen_ << by;
    }
    // ANALYZE and REINDEX pass over the layer's tables and over the central file's (its
    // definitions are the central file's own business): the engine skips what is ignored.
    if (!(d.trusted_ > 0 && !inner) && ((action == SQLITE_ANALYZE && layerTable(a1) && !otherFile(schema)) ||
                                        (action == SQLITE_REINDEX && otherFile(schema))))
        return SQLITE_IGNORE;
    // The layer's own statements pass as on every connection; what a stored object does for them
    // does not.
    if (!(d.trusted_ > 0 && !inner)) {
        const QString why = g->decide(action, a1, a2, schema);
        if (!why.isEmpty()) {
            d.refused_ = QStringLiteral("no se permite ") + why;
            d.refusedBy_ = inner ? QString::fromUtf8(inner) : QString();
            return SQLITE_DENY;
        }
    }
    const QString where = schema ? text(schema) : QStringLiteral("main");
    if (!inner && !d.stepping_ &&
        (action == SQLITE_ALTER_TABLE || action == SQLITE_DROP_TABLE || action == SQLITE_DROP_INDEX ||
         action == SQLITE_DROP_TEMP_TABLE || action == SQLITE_DROP_TEMP_INDEX))
        d.rewriting_ = true;  // what the engine prepares next for this statement is its own
    if (!inner && !(d.trusted_ > 0)) {
        if (action == SQLITE_CREATE_TRIGGER || action == SQLITE_CREATE_TEMP_TRIGGER)
            g->made_.push_back({where, text(a1), false});
        if (action == SQLITE_CREATE_VIEW || action == SQLITE_CREATE_TEMP_VIEW) g->made_.push_back({where, text(a1), true});
        if (action == SQLITE_ALTER_TABLE) g->altered_.push_back({text(a1), text(a2)});
    }
    if (action == SQLITE_DELETE && a1) ++d.ownChanges_[text(a1).toLower()];  // as the change hook counts
    return SQLITE_OK;
}

bool UserSqlGuard::tryObject(const QString& schemaName, const QString& name, bool view, QString* why) {
    sqlite3* h = detail::sqliteHandle(db_.connection());
    const QString schema = detail::quoteIdent(schemaName);
    const bool temp = schemaName.compare(QLatin1String("temp"), Qt::CaseInsensitive) == 0;
    auto refuse = [&](const QString& reason) {
        *why = reason;
        return false;
    };
    // What the engine refused, without the "no se permite" the statement's own refusal begins with.
    auto reaches = [this] {
        QString r = db_.refused_;
        r.remove(QRegularExpression(QStringLiteral("^no se permite ")));
        return r;
    };
    db_.refused_.clear();
    db_.refusedBy_.clear();
    if (view) {
        if (prepare(h, QStringLiteral("SELECT * FROM %1.%2").arg(schema, detail::quoteIdent(name)))) return true;
        return refuse(db_.refused_.isEmpty() ? QStringLiteral("la vista %1 no se pudo probar: lee una tabla o un campo "
                                                              "que no existe")
                                                   .arg(name)
                                             : QStringLiteral("la vista %1 no se permite porque intenta %2").arg(name, reaches()));
    }
    QString table;
    QStringList targets;  // every table the trigger may sit on, with its file
    bool onView = false;
    {
        Database::Trusted own(db_);
        prepare(h,
                QStringLiteral("SELECT t.tbl_name FROM %1.sqlite_master t WHERE t.type = 'trigger' AND t.name = ?1")
                    .arg(schema),
                [&](sqlite3_stmt* st) {
                    bindText(st, 1, name);
                    if (sqlite3_step(st) == SQLITE_ROW) table = column(st, 0);
                });
        if (table.isEmpty()) return true;  // not made after all
        // A temporary trigger may sit on a table of any attached file, whose name another file may
        // hold as well: it is tried on each.
        QStringList schemas;
        if (temp)
            prepare(h, QStringLiteral("PRAGMA database_list"), [&](sqlite3_stmt* st) {
                while (sqlite3_step(st) == SQLITE_ROW) schemas << column(st, 1);
            });
        else
            schemas << schemaName;
        for (const QString& s : schemas)
            prepare(h,
                    QStringLiteral("SELECT type FROM %1.sqlite_master WHERE name = ?1 COLLATE NOCASE AND type IN "
                                   "('table', 'view')")
                        .arg(detail::quoteIdent(s)),
                    [&](sqlite3_stmt* st) {
                        bindText(st, 1, table);
                        if (sqlite3_step(st) == SQLITE_ROW) {
                            targets << s;
                            onView = onView || column(st, 0) == QLatin1String("view");
                        }
                    });
    }
    // Prepared only, never run: preparing codes the trigger's body, and the authorizer sees it. An
    // UPDATE OF trigger fires only for its columns: each column (and the row id) is set alone.
    seen_.clear();
    bool compiles = true;
    for (const QString& s : targets) {
        const QString target = detail::quoteIdent(s) + u'.' + detail::quoteIdent(table);
        QStringList trials = {QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(target),
                              QStringLiteral("DELETE FROM %1").arg(target)};
        {
            Database::Trusted own(db_);
            // Generated columns cannot be set: an UPDATE naming one would not compile.
            prepare(h, QStringLiteral("SELECT name FROM pragma_table_xinfo(?1, ?2) WHERE hidden = 0"),
                    [&](sqlite3_stmt* st) {
                        bindText(st, 1, table);
                        bindText(st, 2, s);
                        while (sqlite3_step(st) == SQLITE_ROW) {
                            const QString c = detail::quoteIdent(column(st, 0));
                            trials << QStringLiteral("UPDATE %1 SET %2 = %2").arg(target, c);
                        }
                    });
        }
        for (const QString& sql : trials) {
            compiles = prepare(h, sql) && compiles;
            if (!db_.refused_.isEmpty())
                return refuse(QStringLiteral("el disparador %1 no se permite porque intenta %2").arg(name, reaches()));
        }
        // The row id, when the table has one (a table WITHOUT ROWID or a view does not).
        for (const char* rowid : {"rowid", "oid", "_rowid_"}) {
            prepare(h, QStringLiteral("UPDATE %1 SET %2 = %2").arg(target, QLatin1String(rowid)));
            if (!db_.refused_.isEmpty())
                return refuse(QStringLiteral("el disparador %1 no se permite porque intenta %2").arg(name, reaches()));
        }
    }
    if ((!compiles && !onView) || !seen_.contains(name.toLower()))
        return refuse(QStringLiteral("el disparador %1 no se pudo probar: usa una tabla o un campo que no existe").arg(name));
    return true;
}

namespace detail {

bool prepare(sqlite3* h, const QString& sql, const std::function<void(sqlite3_stmt*)>& use) {
    sqlite3_stmt* st = nullptr;
    const QByteArray u = sql.toUtf8();
    const bool ok = sqlite3_prepare_v2(h, u.constData(), int(u.size()), &st, nullptr) == SQLITE_OK && st;
    if (ok && use) use(st);
    sqlite3_finalize(st);
    return ok;
}

void bindText(sqlite3_stmt* st, int i, const QString& v) {
    const QByteArray u = v.toUtf8();
    sqlite3_bind_text(st, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

QString column(sqlite3_stmt* st, int i) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
}

}  // namespace detail

}  // namespace db
