#pragma once
// Helpers shared by the database layer's sources.
#include "platform/db/database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>

#include <cstdlib>
#include <functional>

class QSqlQuery;
struct sqlite3;
struct sqlite3_stmt;

namespace db::detail {

// SQLite's own handle under a QtSql connection, nullptr when there is none.
sqlite3* sqliteHandle(const QSqlDatabase& c);

// "name" with inner quotes doubled, for identifiers that cannot be bound.
QString quoteIdent(const QString& name);

// The layer's own tables: any name beginning with '_' (_dbpassword, _links, _queries, later ones).
inline bool layerTable(const char* name) { return name && name[0] == '_'; }

// What an access to a layer table does, in the person's words ("leer la tabla interna del archivo
// _links"); "" when `action` is no read or write of a layer table.
QString layerAccess(int action, const char* table);

// The engine's own defences for SQL that does not come from the program, set on every connection
// (changes.cpp): SQLITE_DBCONFIG_DEFENSIVE on, trusted_schema off (objects stored in a file call
// only functions marked innocuous), no module but the engine's json_each and json_tree, which the
// program's own statements read (the table-valued pragma functions stay too), and load_extension off.
void harden(sqlite3* h);

// Meta tables kept in every file; never shown as user tables.
bool isMetaTable(const QString& name);

Error makeError(ErrorKind kind, const QString& message, int code = 0);

// The layer's error for an engine result code and its text (kind, code, message in Spanish where
// the person reads it); the second form takes the text from the handle.
Error engineError(int code, const QString& message);
Error engineError(sqlite3* h, int code);

// Splits a script at ';' outside quotes, brackets and comments; empty statements dropped.
QStringList splitStatements(const QString& script);

// Named placeholders (":name") a statement uses, without the colon.
QStringList placeholders(const QString& sql);

// Adds the program's own SQL functions to the connection (see database.h).
void addFunctions(const QSqlDatabase& c);

// Runs attempt() until it gives anything but Busy, serving the wait as `wait` says.
Error waitFor(const LockWait& wait, const std::function<Error()>& attempt);

// The file's canonical path, or its absolute one while it does not exist.
QString canonicalPath(const QString& path);
// A statement without blanks or semicolons at its end.
QString trimStatement(QString sql);
// Binders of positional ("?") and named (":name") values; a used name with no value binds Null.
std::function<void(QSqlQuery&)> positional(const QVariantList& params);
std::function<void(QSqlQuery&)> named(const QString& sql, const QVariantMap& params);

// Prepares (never runs) `sql` on the raw handle; `use` sees the statement when it compiled.
bool prepare(sqlite3* h, const QString& sql, const std::function<void(sqlite3_stmt*)>& use = {});
void bindText(sqlite3_stmt* st, int i, const QString& v);
QString column(sqlite3_stmt* st, int i);

}  // namespace db::detail

namespace db {

// Every open handle by the canonical path of each file it reaches (its own and the attached ones).
// A reader on another thread (a report's query) opens and closes its own handle meanwhile.
struct DatabaseRegistry {
    static QHash<QString, QSet<Database*>>& map() {
        static QHash<QString, QSet<Database*>> m;
        return m;
    }
    static QMutex& mutex() {
        static QMutex m;
        return m;
    }
    static void add(const QString& path, Database* d) {
        // The engine will not close a handle while statements of ours are kept, so a handle still
        // open as the process ends (a file nobody closed) drops them first: as the application
        // object goes, and at exit before the connections themselves go.
        static const bool dropsAtExit = [] {
            map();
            mutex();
            qAddPostRoutine(&DatabaseRegistry::dropStatements);
            std::atexit(&DatabaseRegistry::dropStatements);
            return true;
        }();
        (void)dropsAtExit;
        QMutexLocker lock(&mutex());
        map()[detail::canonicalPath(path)].insert(d);
    }
    static void dropStatements() {
        QMutexLocker lock(&mutex());
        for (const QSet<Database*>& handles : map())
            for (Database* d : handles) d->prepared_.clear();
    }
    static void remove(Database* d) {
        QMutexLocker lock(&mutex());
        auto& m = map();
        for (auto it = m.begin(); it != m.end();) {
            it->remove(d);
            if (it->isEmpty())
                it = m.erase(it);
            else
                ++it;
        }
    }
    static void closeAll(const QString& path) {
        QSet<Database*> handles;
        {
            // Closing a handle takes it out of the registry, under the same lock.
            QMutexLocker lock(&mutex());
            handles = map().value(detail::canonicalPath(path));
        }
        for (Database* d : handles) {
            d->closeHandle();
            d->closed_ = true;
        }
    }
};

}  // namespace db
