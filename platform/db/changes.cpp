// Which tables changed: this connection's own row changes through SQLite's update hook, other
// connections' commits through the file's data_version. Lets a caller keep what it read from a
// large table until the table really changes.

#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <QSqlDriver>

#include <algorithm>

#include <sqlite3.h>

namespace db {

struct ChangeHook {
    static void onChange(void* self, int, const char*, const char* table, sqlite3_int64) {
        auto* d = static_cast<Database*>(self);
        // A save changes rows of a few tables by turns: each name is folded to lower case once.
        auto& names = d->changedNames_;
        auto it = std::find_if(names.begin(), names.end(), [table](const auto& n) { return n.first == table; });
        if (it == names.end()) {
            if (names.size() >= 16) names.clear();
            names.emplace_back(QByteArray(table), QString::fromUtf8(table).toLower());
            it = names.end() - 1;
        }
        ++d->ownChanges_[it->second];
    }
    // The layer's tables are read and written by the layer's own statements only: whatever else
    // asks (a trigger or view stored in a file, a WITH name, a statement the engine prepares for
    // itself while running another), the access is refused and the statement fails with that reason.
    // A DELETE without WHERE empties the table without calling the update hook: such a statement
    // counts as a change when it is prepared.
    static int onPrepare(void* self, int action, const char* table, const char* function, const char*,
                         const char* inner) {
        auto* d = static_cast<Database*>(self);
        // Functions the program never calls, whatever asks: a saved query a file brought (its view)
        // must not call them either.
        if (action == SQLITE_FUNCTION && function) {
            for (const char* never : {"load_extension", "fts3_tokenizer", "readfile", "writefile", "edit"})
                if (qstricmp(function, never) == 0) {
                    d->refused_ = QStringLiteral("no se permite la función %1").arg(QString::fromUtf8(function));
                    d->refusedBy_ = inner ? QString::fromUtf8(inner) : QString();
                    return SQLITE_DENY;
                }
        }
        if (!(d->trusted_ > 0 && !inner)) {
            const QString what = detail::layerAccess(action, table);
            if (!what.isEmpty()) {
                d->refused_ = QStringLiteral("no se permite ") + what;
                d->refusedBy_ = inner ? QString::fromUtf8(inner) : QString();
                return SQLITE_DENY;
            }
        }
        if (action == SQLITE_DELETE && table) ++d->ownChanges_[QString::fromUtf8(table).toLower()];
        return SQLITE_OK;
    }
};

QString detail::layerAccess(int action, const char* table) {
    if (!layerTable(table)) return {};
    const QString t = QString::fromUtf8(table);
    switch (action) {
    case SQLITE_READ:
        return QStringLiteral("leer la tabla interna del archivo %1").arg(t);
    case SQLITE_INSERT:
        return QStringLiteral("agregar registros a la tabla interna del archivo %1").arg(t);
    case SQLITE_UPDATE:
        return QStringLiteral("cambiar la tabla interna del archivo %1").arg(t);
    case SQLITE_DELETE:
        return QStringLiteral("borrar registros de la tabla interna del archivo %1").arg(t);
    default:
        return {};
    }
}

void detail::harden(sqlite3* h) {
    if (!h) return;
    sqlite3_db_config(h, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(h, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    // The program's own statements read JSON lists through json_each (a cut's documents); no other
    // module stays. A person's statement reads neither (UserSqlGuard).
    static const char* keep[] = {"json_each", "json_tree", nullptr};
    sqlite3_drop_modules(h, keep);
}

QString Database::refusal() {
    if (refused_.isEmpty() || refusedBy_.isEmpty()) return refused_;
    const QString what = refused_;
    const QString by = refusedBy_;
    QString type;
    {
        Trusted own(*this);
        QStringList schemas = {QStringLiteral("temp"), QStringLiteral("main")};
        for (const Attached& a : attached_) schemas << a.alias;
        for (const QString& schema : schemas) {
            auto t = scalar(QStringLiteral("SELECT type FROM %1.sqlite_master WHERE name = ? COLLATE NOCASE "
                                           "AND type IN ('trigger', 'view')")
                                .arg(detail::quoteIdent(schema)),
                            {by});
            if (t && !t->toString().isEmpty()) {
                type = t->toString();
                break;
            }
        }
    }
    refused_ = what;
    refusedBy_ = by;
    const QString who = type == QLatin1String("trigger") ? QStringLiteral("el disparador %1")
                        : type == QLatin1String("view")  ? QStringLiteral("la vista %1")
                                                          : QStringLiteral("la subconsulta %1");
    return who.arg(by) + QStringLiteral(": ") + what;
}

sqlite3* detail::sqliteHandle(const QSqlDatabase& c) {
    if (!c.isValid() || !c.driver()) return nullptr;
    const QVariant h = c.driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(h.constData());
}

void Database::watchChanges(bool on) {
    if (sqlite3* h = detail::sqliteHandle(connection())) {
        sqlite3_update_hook(h, on ? &ChangeHook::onChange : nullptr, on ? this : nullptr);
        sqlite3_set_authorizer(h, on ? &ChangeHook::onPrepare : nullptr, on ? this : nullptr);
    }
}

std::optional<TableVersion> Database::tableVersion(const QString& table) {
    QString schema = tableSchemas_.value(table.toLower());
    if (schema.isEmpty()) {
        schema = schemaOf(table);
        if (schema.isEmpty()) return std::nullopt;
        tableSchemas_.insert(table.toLower(), schema);
    }
    auto v = scalar(QStringLiteral("PRAGMA %1.data_version").arg(detail::quoteIdent(schema)));
    if (!v) return std::nullopt;
    return TableVersion{v->toLongLong(), ownChanges_.value(table.toLower())};
}

}  // namespace db
