// The guard around SQL a person types: SQLite's authorizer refuses the layer's own tables at
// prepare time, so no spelling, quoting or nesting of the name gets past it.

#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <sqlite3.h>

namespace db {

namespace {

bool layerTable(const char* name) { return name && name[0] == '_'; }

QString text(const char* s) { return s ? QString::fromUtf8(s) : QString(); }

}  // namespace

UserSqlGuard::UserSqlGuard(Database& db, UserSql kind) : db_(db), kind_(kind) { install(true); }

UserSqlGuard::~UserSqlGuard() { install(false); }

void UserSqlGuard::install(bool on) {
    // Statements prepared before (the layer's own, cached) must not run unchecked meanwhile; SQLite
    // expires them when the authorizer changes, and the cache is dropped as well.
    db_.statements_.clear();
    db_.guard_ = on ? this : nullptr;
    sqlite3* h = detail::sqliteHandle(db_.connection());
    if (!h) return;
    if (on)
        sqlite3_set_authorizer(h, &UserSqlGuard::authorize, this);
    else
        db_.watchChanges(true);
}

int UserSqlGuard::authorize(void* self, int action, const char* a1, const char* a2, const char* schema,
                            const char*) {
    auto* g = static_cast<UserSqlGuard*>(self);
    auto deny = [g](const QString& why) {
        g->refused_ = why;
        return SQLITE_DENY;
    };
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
    case SQLITE_ALTER_TABLE:
        table = a2;
        break;
    case SQLITE_PRAGMA:
        if (console) return deny(QStringLiteral("no se permite PRAGMA"));
        if (text(a1).compare(QLatin1String("writable_schema"), Qt::CaseInsensitive) == 0)
            return deny(QStringLiteral("no se permite PRAGMA writable_schema"));
        return SQLITE_OK;
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
        return console ? deny(QStringLiteral("no se permite ATTACH ni DETACH")) : SQLITE_OK;
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        return console ? deny(QStringLiteral("no se permite el control de transacciones (BEGIN, COMMIT, ROLLBACK, "
                                             "SAVEPOINT)"))
                       : SQLITE_OK;
    case SQLITE_FUNCTION:
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    default:  // tables, views, reads and writes name the table first
        table = a1;
        break;
    }
    if (layerTable(table))
        return deny(QStringLiteral("no se permite leer ni cambiar la tabla interna del archivo %1").arg(text(table)));
    if (action == SQLITE_CREATE_TRIGGER || action == SQLITE_CREATE_TEMP_TRIGGER)
        g->triggers_.push_back({schema ? text(schema) : QStringLiteral("main"), text(a1)});
    if (action == SQLITE_DELETE && a1) ++g->db_.ownChanges_[text(a1).toLower()];  // as the change hook counts
    return SQLITE_OK;
}

bool UserSqlGuard::check(Error* error) {
    sqlite3* h = detail::sqliteHandle(db_.connection());
    const std::vector<Trigger> made = std::move(triggers_);
    triggers_.clear();
    if (!h) return true;
    auto prepare = [h](const QString& sql, std::function<void(sqlite3_stmt*)> use = {}) {
        sqlite3_stmt* st = nullptr;
        const QByteArray u = sql.toUtf8();
        const bool ok = sqlite3_prepare_v2(h, u.constData(), int(u.size()), &st, nullptr) == SQLITE_OK && st;
        if (ok && use) use(st);
        sqlite3_finalize(st);
        return ok;
    };
    for (const Trigger& t : made) {
        const QString schema = detail::quoteIdent(t.schema);
        QString table;
        prepare(QStringLiteral("SELECT tbl_name FROM %1.sqlite_master WHERE type = 'trigger' AND name = ?1").arg(schema),
                [&](sqlite3_stmt* st) {
                    const QByteArray n = t.name.toUtf8();
                    sqlite3_bind_text(st, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
                    if (sqlite3_step(st) == SQLITE_ROW)
                        table = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
                });
        if (table.isEmpty()) continue;  // not made after all
        // A temporary trigger may sit on a table of any attached file: its name is looked up as written.
        const QString target = t.schema.compare(QLatin1String("temp"), Qt::CaseInsensitive) == 0
                                   ? detail::quoteIdent(table)
                                   : schema + u'.' + detail::quoteIdent(table);
        QStringList sets;
        prepare(QStringLiteral("SELECT * FROM %1").arg(target), [&](sqlite3_stmt* st) {
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const QString c = detail::quoteIdent(QString::fromUtf8(sqlite3_column_name(st, i)));
                sets << c + QStringLiteral(" = ") + c;
            }
        });
        refused_.clear();
        // Prepared only, never run: preparing codes the trigger's body, and the authorizer sees it.
        prepare(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(target));
        prepare(QStringLiteral("DELETE FROM %1").arg(target));
        if (!sets.isEmpty()) prepare(QStringLiteral("UPDATE %1 SET %2").arg(target, sets.join(QStringLiteral(", "))));
        if (refused_.isEmpty()) continue;
        const QString why = QStringLiteral("el disparador %1 no se permite (%2); se quitó").arg(t.name, refused_);
        const QByteArray drop = QStringLiteral("DROP TRIGGER %1.%2").arg(schema, detail::quoteIdent(t.name)).toUtf8();
        sqlite3_exec(h, drop.constData(), nullptr, nullptr, nullptr);
        refused_ = why;
        if (error) *error = detail::makeError(ErrorKind::Other, why, SQLITE_AUTH);
        return false;
    }
    return true;
}

}  // namespace db
