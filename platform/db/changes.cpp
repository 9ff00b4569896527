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
    static int onPrepare(void* self, int action, const char* table, const char*, const char*, const char* inner) {
        auto* d = static_cast<Database*>(self);
        if (inner && detail::layerTable(table)) {
            const QString why = detail::storedObjectRefusal(action, table, inner);
            if (!why.isEmpty()) {
                d->refused_ = why;
                return SQLITE_DENY;
            }
        }
        if (action == SQLITE_DELETE && table) ++d->ownChanges_[QString::fromUtf8(table).toLower()];
        return SQLITE_OK;
    }
};

QString detail::storedObjectRefusal(int action, const char* table, const char* inner) {
    switch (action) {
    case SQLITE_READ:
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        if (inner && layerTable(table))
            return QStringLiteral("el disparador o la vista %1 no puede leer ni cambiar la tabla interna del archivo %2")
                .arg(QString::fromUtf8(inner), QString::fromUtf8(table));
        return {};
    default:
        return {};
    }
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
