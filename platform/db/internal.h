#pragma once
// Helpers shared by the database layer's sources.
#include "platform/db/database.h"

#include <QElapsedTimer>
#include <QString>

struct sqlite3;

namespace db::detail {

// SQLite's own handle under a QtSql connection, nullptr when there is none.
sqlite3* sqliteHandle(const QSqlDatabase& c);

// "name" with inner quotes doubled, for identifiers that cannot be bound.
QString quoteIdent(const QString& name);

// The layer's own tables: any name beginning with '_' (_dbpassword, _links, _queries, later ones).
inline bool layerTable(const char* name) { return name && name[0] == '_'; }

// The authorizer every connection carries (changes.cpp): an access to a layer table that SQLite
// makes on behalf of a trigger or a view (`inner` names it) is refused, whoever made the object,
// so nothing stored in a file can reach those tables when one of the program's own statements
// fires or reads it. Returns the reason, "" when the access may go on.
QString storedObjectRefusal(int action, const char* table, const char* inner);

// Meta tables kept in every file; never shown as user tables.
bool isMetaTable(const QString& name);

Error makeError(ErrorKind kind, const QString& message, int code = 0);

// Splits a script at ';' outside quotes, brackets and comments; empty statements dropped.
QStringList splitStatements(const QString& script);

// Named placeholders (":name") a statement uses, without the colon.
QStringList placeholders(const QString& sql);

// Adds the program's own SQL functions to the connection (see database.h).
void addFunctions(const QSqlDatabase& c);

// Runs attempt() until it gives anything but Busy, serving the wait as `wait` says.
Error waitFor(const LockWait& wait, const std::function<Error()>& attempt);

}  // namespace db::detail
