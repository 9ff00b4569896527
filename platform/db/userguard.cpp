// The guard around SQL a person types: SQLite's authorizer refuses the layer's own tables at
// prepare time, so no spelling, quoting or nesting of the name gets past it.

#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <sqlite3.h>

namespace db {

namespace {

using detail::layerTable;

QString text(const char* s) { return s ? QString::fromUtf8(s) : QString(); }

// VACUUM copies the file through a scratch file SQLite attaches under this name.
constexpr const char* kVacuumSchema = "vacuum_db";

// Prepares (never runs) `sql`; `use` sees the statement when it compiled.
bool prepare(sqlite3* h, const QString& sql, const std::function<void(sqlite3_stmt*)>& use = {}) {
    sqlite3_stmt* st = nullptr;
    const QByteArray u = sql.toUtf8();
    const bool ok = sqlite3_prepare_v2(h, u.constData(), int(u.size()), &st, nullptr) == SQLITE_OK && st;
    if (ok && use) use(st);
    sqlite3_finalize(st);
    return ok;
}

QString column(sqlite3_stmt* st, int i) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
}

}  // namespace

UserSqlGuard::UserSqlGuard(Database& db, UserSql kind) : db_(db), kind_(kind) { install(true); }

UserSqlGuard::~UserSqlGuard() { install(false); }

QString UserSqlGuard::refused() const { return db_.refused_; }

void UserSqlGuard::install(bool on) {
    // Statements prepared before (the layer's own, cached) must not run unchecked meanwhile; SQLite
    // expires them when the authorizer changes, and the cache is dropped as well.
    db_.statements_.clear();
    sqlite3* h = detail::sqliteHandle(db_.connection());
    if (!h) return;
    if (on) {
        before_ = layerTables();
        sqlite3_set_authorizer(h, &UserSqlGuard::authorize, this);
    } else {
        db_.watchChanges(true);
    }
}

QStringList UserSqlGuard::layerTables() {
    QStringList out;
    sqlite3* h = detail::sqliteHandle(db_.connection());
    if (!h) return out;
    own_ = true;
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
    own_ = false;
    return out;
}

int UserSqlGuard::authorize(void* self, int action, const char* a1, const char* a2, const char* schema,
                            const char* inner) {
    auto* g = static_cast<UserSqlGuard*>(self);
    if (g->own_) return SQLITE_OK;
    auto deny = [g](const QString& why) {
        g->db_.refused_ = why;
        return SQLITE_DENY;
    };
    if (inner && layerTable(a1)) {
        const QString why = detail::storedObjectRefusal(action, a1, inner);
        if (!why.isEmpty()) return deny(why);
    }
    const bool console = g->kind_ == UserSql::Console;
    const char* table = nullptr;
    switch (action) {
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_TEMP_TRIGGER:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TEMP_INDEX:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_TEMP_TRIGGER:
        table = a2;
        break;
    case SQLITE_ALTER_TABLE:  // the file's name first, then the table's; the new name is not told
        table = a2;
        if (!layerTable(table)) g->altered_.push_back({text(a1), text(a2)});
        break;
    case SQLITE_PRAGMA:
        if (console) return deny(QStringLiteral("no se permite PRAGMA"));
        if (text(a1).compare(QLatin1String("writable_schema"), Qt::CaseInsensitive) == 0)
            return deny(QStringLiteral("no se permite PRAGMA writable_schema"));
        return SQLITE_OK;
    case SQLITE_ATTACH:
        if (console) return deny(QStringLiteral("no se permite ATTACH ni DETACH"));
        // VACUUM attaches a new empty scratch file (no name); VACUUM INTO names its target, which
        // would get a copy of the layer's tables, and gets no such leave.
        if (a1 && !*a1) g->vacuum_ = true;
        return SQLITE_OK;
    case SQLITE_DETACH:
        return console ? deny(QStringLiteral("no se permite ATTACH ni DETACH")) : SQLITE_OK;
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        return console ? deny(QStringLiteral("no se permite el control de transacciones (BEGIN, COMMIT, ROLLBACK, "
                                             "SAVEPOINT)"))
                       : SQLITE_OK;
    case SQLITE_ANALYZE:  // statistics of every table's indexes: no row of the table comes out
    case SQLITE_FUNCTION:
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    default:  // tables, views, reads and writes name the table first
        table = a1;
        break;
    }
    if (layerTable(table) && !(g->vacuum_ && qstrcmp(schema, kVacuumSchema) == 0))
        return deny(QStringLiteral("no se permite leer ni cambiar la tabla interna del archivo %1").arg(text(table)));
    const QString where = schema ? text(schema) : QStringLiteral("main");
    if (action == SQLITE_CREATE_TRIGGER || action == SQLITE_CREATE_TEMP_TRIGGER)
        g->made_.push_back({where, text(a1), false});
    if (action == SQLITE_CREATE_VIEW || action == SQLITE_CREATE_TEMP_VIEW) g->made_.push_back({where, text(a1), true});
    if (action == SQLITE_DELETE && a1) ++g->db_.ownChanges_[text(a1).toLower()];  // as the change hook counts
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
    // The table the engine refused is the last word of its reason.
    auto reaches = [this] {
        return QStringLiteral("lee o cambia la tabla interna del archivo ") + db_.refused_.section(u' ', -1);
    };
    db_.refused_.clear();
    if (view) {
        if (prepare(h, QStringLiteral("SELECT * FROM %1.%2").arg(schema, detail::quoteIdent(name)))) return true;
        return refuse(db_.refused_.isEmpty() ? QStringLiteral("la vista %1 no se pudo probar: lee una tabla o un campo "
                                                              "que no existe")
                                                   .arg(name)
                                             : QStringLiteral("la vista %1 no se permite: %2").arg(name, reaches()));
    }
    own_ = true;
    QString table;
    QString type;
    QStringList sets;
    prepare(h,
            QStringLiteral("SELECT t.tbl_name FROM %1.sqlite_master t WHERE t.type = 'trigger' AND t.name = ?1")
                .arg(schema),
            [&](sqlite3_stmt* st) {
                const QByteArray n = name.toUtf8();
                sqlite3_bind_text(st, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
                if (sqlite3_step(st) == SQLITE_ROW) table = column(st, 0);
            });
    // A temporary trigger may sit on a table of any attached file: its name is looked up as written.
    const QString target = temp ? detail::quoteIdent(table) : schema + u'.' + detail::quoteIdent(table);
    if (!table.isEmpty()) {
        prepare(h, QStringLiteral("SELECT type FROM %1.sqlite_master WHERE name = ?1 COLLATE NOCASE")
                       .arg(temp ? QStringLiteral("main") : schema),
                [&](sqlite3_stmt* st) {
                    const QByteArray n = table.toUtf8();
                    sqlite3_bind_text(st, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
                    if (sqlite3_step(st) == SQLITE_ROW) type = column(st, 0);
                });
        // Generated columns cannot be set: an UPDATE naming one would not compile and would leave
        // the trigger untried.
        const QString xinfo = temp ? QStringLiteral("pragma_table_xinfo(?1)") : QStringLiteral("pragma_table_xinfo(?1, ?2)");
        prepare(h, QStringLiteral("SELECT name FROM %1 WHERE hidden = 0").arg(xinfo), [&](sqlite3_stmt* st) {
            const QByteArray n = table.toUtf8();
            const QByteArray s = schemaName.toUtf8();
            sqlite3_bind_text(st, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
            if (!temp) sqlite3_bind_text(st, 2, s.constData(), int(s.size()), SQLITE_TRANSIENT);
            while (sqlite3_step(st) == SQLITE_ROW) {
                const QString c = detail::quoteIdent(column(st, 0));
                sets << c + QStringLiteral(" = ") + c;
            }
        });
    }
    own_ = false;
    if (table.isEmpty()) return true;  // not made after all
    // Prepared only, never run: preparing codes the trigger's body, and the authorizer sees it. On
    // a table each statement compiles but for the trigger's own body; on a view only those its
    // INSTEAD OF triggers take do.
    const bool onView = type == QLatin1String("view");
    bool compiles = true;
    for (const QString& sql : {QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(target),
                               QStringLiteral("DELETE FROM %1").arg(target),
                               QStringLiteral("UPDATE %1 SET %2").arg(target, sets.join(QStringLiteral(", ")))}) {
        if (sql.endsWith(QLatin1String("SET "))) continue;
        compiles = prepare(h, sql) && compiles;
        if (!db_.refused_.isEmpty())
            return refuse(QStringLiteral("el disparador %1 no se permite: %2").arg(name, reaches()));
    }
    if (!compiles && !onView)
        return refuse(QStringLiteral("el disparador %1 no se pudo probar: usa una tabla o un campo que no existe").arg(name));
    return true;
}

bool UserSqlGuard::check(Error* error) {
    sqlite3* h = detail::sqliteHandle(db_.connection());
    const std::vector<Made> made = std::move(made_);
    const std::vector<Made> altered = std::move(altered_);
    made_.clear();
    altered_.clear();
    if (!h) return true;
    auto fails = [&](const QString& why) {
        db_.refused_ = why;
        if (error) *error = detail::makeError(ErrorKind::Other, why, SQLITE_AUTH);
        return false;
    };
    for (const Made& m : made) {
        QString why;
        if (tryObject(m.schema, m.name, m.view, &why)) continue;
        own_ = true;
        const QByteArray drop = QStringLiteral("DROP %1 %2.%3")
                                    .arg(m.view ? QStringLiteral("VIEW") : QStringLiteral("TRIGGER"),
                                         detail::quoteIdent(m.schema), detail::quoteIdent(m.name))
                                    .toUtf8();
        sqlite3_exec(h, drop.constData(), nullptr, nullptr, nullptr);
        own_ = false;
        return fails(why + QStringLiteral("; se quitó"));
    }
    if (altered.empty()) return true;
    // A table renamed into a layer name would be out of the person's reach and in the layer's way:
    // it gets its old name back.
    const QStringList now = layerTables();
    for (const QString& t : now) {
        if (before_.contains(t)) continue;
        const QString schema = t.section(u'.', 0, 0);
        const QString nuevo = t.section(u'.', 1);
        for (const Made& a : altered) {
            if (a.schema.compare(schema, Qt::CaseInsensitive) != 0) continue;
            own_ = true;
            const QByteArray back = QStringLiteral("ALTER TABLE %1.%2 RENAME TO %3")
                                        .arg(detail::quoteIdent(schema), detail::quoteIdent(nuevo),
                                             detail::quoteIdent(a.name))
                                        .toUtf8();
            sqlite3_exec(h, back.constData(), nullptr, nullptr, nullptr);
            own_ = false;
            return fails(QStringLiteral("no se permite dar a la tabla %1 un nombre que empiece con _ (%2); conserva "
                                        "su nombre")
                             .arg(a.name, nuevo));
        }
    }
    return true;
}

}  // namespace db
