// Saved queries: a TEMP VIEW per select query, action queries run by name.
#include "platform/db/database.h"
#include "platform/db/internal.h"
#include "platform/db/script.h"

namespace db {

using detail::makeError;
using detail::named;
using detail::quoteIdent;
using detail::trimStatement;

// ---------------------------------------------------------------------------------------------
// saved queries

namespace {
bool hasParameters(const QString& sql) {
    if (!detail::placeholders(sql).isEmpty()) return true;
    // a '?' outside literals
    bool quoted = false;
    QChar q;
    for (const QChar c : sql) {
        if (quoted) {
            if (c == q) quoted = false;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            quoted = true;
            q = c == QLatin1Char('[') ? QLatin1Char(']') : c;
        } else if (c == QLatin1Char('?')) {
            return true;
        }
    }
    return false;
}
}  // namespace

// SQLite checks a view's tables and columns only when it is used.
bool Database::viewCompiles(const QString& name, Error& e) {
    Error ve;
    if (select(QStringLiteral("SELECT * FROM temp.%1 LIMIT 0").arg(quoteIdent(name)), QVariantList{}, &ve)) return true;
    e = ve;
    exec(QStringLiteral("DROP VIEW IF EXISTS temp.%1").arg(quoteIdent(name)));
    return false;
}

void Database::createViews() {
    brokenQueries_.clear();
    for (const SavedQuery& sq : savedQueries()) {
        if (sq.kind != QLatin1String("select") || hasParameters(sq.sql)) continue;
        Error e;
        exec(QStringLiteral("DROP VIEW IF EXISTS temp.%1").arg(quoteIdent(sq.name)), QVariantList{}, &e);
        if (!exec(QStringLiteral("CREATE TEMP VIEW %1 AS %2").arg(quoteIdent(sq.name), trimStatement(sq.sql)),
                  QVariantList{}, &e) ||
            !viewCompiles(sq.name, e))
            brokenQueries_ << QStringLiteral("%1: %2").arg(sq.name, e.message);
    }
    lastError_ = Error();
}

bool Database::createQuery(const QString& name, const QString& kind, const QString& sql, Error* error) {
    if (!checkOpen(error)) return false;
    const QString k = kind.trimmed().toLower();
    if (name.trimmed().isEmpty())
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("Falta el nombre de la consulta.")));
    if (k != QLatin1String("select") && k != QLatin1String("action"))
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("Tipo de consulta no válido: %1.").arg(kind)));
    if (trimStatement(sql).isEmpty())
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("La consulta %1 está vacía.").arg(name)));
    bool linked = false;
    for (const Link& l : links()) linked = linked || l.name.compare(name, Qt::CaseInsensitive) == 0;
    if (linked || localTable(name))
        return fail(error, makeError(ErrorKind::DuplicateKey,
                                     QStringLiteral("Ya existe una tabla con el nombre %1.").arg(name)));
    Error e;
    const bool own = !inTransaction_;
    if (own && !beginWrite({}, &e)) return fail(error, e);
    auto undo = [&]() {
        if (own) rollback();
        return fail(error, e);
    };
    if (!ensureMetaTables(e)) return undo();
    if (!exec(QStringLiteral("DROP VIEW IF EXISTS temp.%1").arg(quoteIdent(name)), QVariantList{}, &e))
        return undo();
    // the view is made first: a select that does not compile is refused and nothing is saved
    if (k == QLatin1String("select") && !hasParameters(sql) &&
        (!exec(QStringLiteral("CREATE TEMP VIEW %1 AS %2").arg(quoteIdent(name), trimStatement(sql)),
               QVariantList{}, &e) ||
         !viewCompiles(name, e)))
        return undo();
    {
        Trusted own(*this);
        if (!exec(QStringLiteral("INSERT OR REPLACE INTO main._queries(Name, Kind, Sql) VALUES(?, ?, ?)"),
                  {name, k, sql}, &e))
            return undo();
    }
    if (own && !commit(&e)) return undo();
    for (int i = static_cast<int>(brokenQueries_.size()) - 1; i >= 0; --i)
        if (brokenQueries_[i].startsWith(name + QLatin1Char(':'), Qt::CaseInsensitive)) brokenQueries_.removeAt(i);
    return succeed(error);
}

bool Database::deleteQuery(const QString& name, Error* error) {
    if (!checkOpen(error)) return false;
    if (!hasQuery(name))
        return fail(error, makeError(ErrorKind::NoSuchTable, QStringLiteral("No existe la consulta %1.").arg(name)));
    Error e;
    const bool own = !inTransaction_;
    if (own && !beginWrite({}, &e)) return fail(error, e);
    Trusted layer(*this);
    if (!exec(QStringLiteral("DELETE FROM main._queries WHERE Name = ? COLLATE NOCASE"), {name}, &e) ||
        !exec(QStringLiteral("DROP VIEW IF EXISTS temp.%1").arg(quoteIdent(name)), QVariantList{}, &e) ||
        (own && !commit(&e))) {
        if (own) rollback();
        return fail(error, e);
    }
    return succeed(error);
}

bool Database::hasQuery(const QString& name) {
    return savedQuery(name).has_value();
}

std::vector<SavedQuery> Database::savedQueries() {
    std::vector<SavedQuery> out;
    if (!localTable(QStringLiteral("_queries"))) return out;
    Trusted own(*this);
    auto rows = select(QStringLiteral("SELECT Name, Kind, Sql FROM main._queries ORDER BY Name"));
    if (!rows) return out;
    for (const Row& r : *rows)
        out.push_back({r.text(QStringLiteral("Name")), r.text(QStringLiteral("Kind")).toLower(),
                       r.text(QStringLiteral("Sql"))});
    return out;
}

std::optional<SavedQuery> Database::savedQuery(const QString& name) {
    if (!localTable(QStringLiteral("_queries"))) return std::nullopt;
    Trusted own(*this);
    auto row = selectOne(QStringLiteral("SELECT Name, Kind, Sql FROM main._queries WHERE Name = ? COLLATE NOCASE"),
                         {name});
    if (!row || row->empty()) return std::nullopt;
    return SavedQuery{row->text(QStringLiteral("Name")), row->text(QStringLiteral("Kind")).toLower(),
                      row->text(QStringLiteral("Sql"))};
}

std::optional<Rows> Database::selectQuery(const QString& name, const QVariantMap& params, Error* error) {
    if (!checkOpen(error)) return std::nullopt;
    const auto sq = savedQuery(name);
    if (!sq)
        return fail(error, makeError(ErrorKind::NoSuchTable, QStringLiteral("No existe la consulta %1.").arg(name))),
               std::nullopt;
    if (sq->kind != QLatin1String("select"))
        return fail(error, makeError(ErrorKind::Other,
                                     QStringLiteral("La consulta %1 no es de selección.").arg(name))),
               std::nullopt;
    const QString sql = trimStatement(sq->sql);
    return selectWith(sql, named(sql, params), error);
}

bool Database::runAction(const QString& name, const QVariantMap& params, Error* error, int* rowsAffected) {
    if (rowsAffected) *rowsAffected = 0;
    if (!checkOpen(error)) return false;
    // The program's own actions run the program's text: a file (a synchronisation's origin, an
    // import) may have brought another under that name.
    auto sq = ownAction(name);
    if (!sq) sq = savedQuery(name);
    if (!sq) return fail(error, makeError(ErrorKind::NoSuchTable, QStringLiteral("No existe la consulta %1.").arg(name)));
    if (sq->kind != QLatin1String("action"))
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("La consulta %1 no es de acción.").arg(name)));
    Error e;
    const bool own = !inTransaction_;
    if (own && !beginWrite({}, &e)) return fail(error, e);
    int total = 0;
    for (const QString& s : detail::splitStatements(sq->sql)) {
        int n = 0;
        if (!execWith(s, named(s, params), &e, &n)) {
            if (own) rollback();
            return fail(error, e);
        }
        total += n;
    }
    if (own && !commit(&e)) {
        rollback();
        return fail(error, e);
    }
    if (rowsAffected) *rowsAffected = total;
    return succeed(error);
}

}  // namespace db
