// Which tables changed: this connection's own row changes through SQLite's update hook, other
// connections' commits through the file's data_version. Lets a caller keep what it read from a
// large table until the table really changes.

#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <QSqlDriver>

#include <sqlite3.h>

namespace db {

struct ChangeHook {
    static void onChange(void* self, int, const char*, const char* table, sqlite3_int64) {
        ++static_cast<Database*>(self)->ownChanges_[QString::fromUtf8(table).toLower()];
    }
    // A DELETE without WHERE empties the table without calling the update hook: such a statement
    // counts as a change when it is prepared.
    static int onPrepare(void* self, int action, const char* table, const char*, const char*, const char*) {
        if (action == SQLITE_DELETE && table)
            ++static_cast<Database*>(self)->ownChanges_[QString::fromUtf8(table).toLower()];
        return SQLITE_OK;
    }
};

void Database::watchChanges(bool on) {
    if (auto* h = static_cast<sqlite3*>(detail::sqliteHandle(connection()))) {
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
