// Opening files, statements and write transactions (linked tables: links.cpp; saved queries:
// queries.cpp).
#include "platform/db/database.h"
#include "platform/db/internal.h"
#include "platform/db/script.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

#include <sqlite3.h>

#include <atomic>

namespace db {

using detail::makeError;
using detail::quoteIdent;

namespace {
constexpr int kShortBusyMs = 10000;  // how long a plain statement keeps trying on a busy file
}  // namespace

namespace detail {

QString canonicalPath(const QString& path) {
    const QFileInfo fi(path);
    const QString c = fi.canonicalFilePath();
    return c.isEmpty() ? fi.absoluteFilePath() : c;
}

QString trimStatement(QString sql) {
    sql = sql.trimmed();
    while (sql.endsWith(QLatin1Char(';'))) sql = sql.left(sql.size() - 1).trimmed();
    return sql;
}

std::function<void(QSqlQuery&)> positional(const QVariantList& params) {
    return [params](QSqlQuery& q) {
        for (const QVariant& v : params) q.addBindValue(v);
    };
}

std::function<void(QSqlQuery&)> named(const QString& sql, const QVariantMap& params) {
    const QStringList used = detail::placeholders(sql);
    return [used, params](QSqlQuery& q) {
        for (const QString& p : used) {
            QVariant v;
            auto it = params.find(p);
            if (it == params.end()) it = params.find(QLatin1Char(':') + p);
            if (it != params.end()) v = it.value();
            q.bindValue(QLatin1Char(':') + p, v);
        }
    };
}

}  // namespace detail

using detail::canonicalPath;
using detail::named;
using detail::positional;
using detail::trimStatement;


// ---------------------------------------------------------------------------------------------
// opening and closing

std::unique_ptr<Database> Database::open(const QString& path, const QString& password, Error* error) {
    OpenOptions o;
    o.password = password;
    return open(path, o, error);
}

std::unique_ptr<Database> Database::open(const QString& path, const OpenOptions& options,
                                         Error* error) {
    static std::atomic<int> counter{0};
    auto failOpen = [&](const Error& e) -> std::unique_ptr<Database> {
        if (error) *error = e;
        return nullptr;
    };
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.exists() || !fi.isFile())
        return failOpen(makeError(ErrorKind::NotFound,
                                  QStringLiteral("No se encontró la base de datos %1.").arg(path)));

    std::unique_ptr<Database> d(new Database);
    d->path_ = fi.absoluteFilePath();
    d->connName_ = QStringLiteral("quorvel-db-%1").arg(++counter);
    d->password_ = options.password;
    d->centralHint_ = options.centralPath;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connName_);
        c.setDatabaseName(d->path_);
        c.setConnectOptions(options.readOnly ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=0;QSQLITE_OPEN_READONLY")
                                             : QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        if (!c.open()) {
            Error e = toError(c.lastError());
            if (e.ok()) e = makeError(ErrorKind::Other, QStringLiteral("No se pudo abrir %1.").arg(path));
            return failOpen(e);
        }
    }
    d->raw_ = detail::sqliteHandle(d->connection());
    detail::harden(d->raw_);
    d->watchChanges(true);
    detail::addFunctions(d->connection());
    DatabaseRegistry::add(d->path_, d.get());

    Error e;
    // A damaged file or one that is not a database shows up on the first read.
    if (!d->scalar(QStringLiteral("SELECT count(*) FROM main.sqlite_master"), {}, &e)) {
        if (e.kind == ErrorKind::Other) e.kind = ErrorKind::Corrupt;
        return failOpen(e);
    }
    if (!d->exec(QStringLiteral("PRAGMA foreign_keys=OFF"), {}, &e) ||
        !d->exec(QStringLiteral("PRAGMA main.synchronous=FULL"), {}, &e))
        return failOpen(e);
    auto mode = d->scalar(QStringLiteral("PRAGMA main.journal_mode"), {}, &e);
    if (!mode) return failOpen(e);
    if (mode->toString().compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0 &&
        !d->select(QStringLiteral("PRAGMA main.journal_mode=DELETE"), {}, &e))
        return failOpen(e);

    if (d->localTable(QStringLiteral("_dbpassword"))) {
        Trusted own(*d);
        auto pw = d->scalar(QStringLiteral("SELECT Password FROM main._dbpassword LIMIT 1"), {}, &e);
        if (!pw) return failOpen(e);
        if (!pw->isNull() && pw->toString() != options.password)
            return failOpen(makeError(ErrorKind::WrongPassword,
                                      QStringLiteral("La contraseña de la base de datos no es válida.")));
    }

    if (options.attachLinks) {
        QStringList sources;
        for (const Link& l : d->links()) {
            bool seen = false;
            for (const QString& s : sources) seen = seen || s.compare(l.source, Qt::CaseInsensitive) == 0;
            if (!seen) sources << l.source;
        }
        for (const QString& s : sources) {
            QString alias;
            Error ae;
            if (!d->attachSource(s, options.password, &alias, ae)) {
                // A missing central file leaves the linked tables unreachable (no such table on
                // use); a wrong password there is the same refusal as on this file.
                if (ae.kind == ErrorKind::WrongPassword || ae.kind == ErrorKind::Corrupt)
                    return failOpen(ae);
                d->lastError_ = ae;
            }
        }
    }
    if (options.createViews) d->createViews();
    return d;
}

std::unique_ptr<Database> Database::create(const QString& path, const QString& password, Error* error) {
    if (path.isEmpty() || QFileInfo::exists(path)) {
        if (error)
            *error = makeError(ErrorKind::NotFound,
                               QStringLiteral("La base de datos %1 ya existe.").arg(path));
        return nullptr;
    }
    {
        const QString conn = QStringLiteral("quorvel-db-create");
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
            c.setDatabaseName(path);
            bool ok = c.open();
            Error e;
            if (ok) {
                QSqlQuery q(c);
                const QStringList script = {
                    QStringLiteral("PRAGMA journal_mode=DELETE"),
                    QStringLiteral("BEGIN IMMEDIATE"),
                    QStringLiteral("CREATE TABLE _dbpassword(Password TEXT NOT NULL)"),
                    QStringLiteral("CREATE TABLE _links(Name TEXT PRIMARY KEY COLLATE NOCASE, Source TEXT NOT NULL)"),
                    QStringLiteral("CREATE TABLE _queries(Name TEXT PRIMARY KEY COLLATE NOCASE, Kind TEXT NOT NULL, Sql TEXT NOT NULL)"),
                };
                for (const QString& s : script) {
                    if (!q.exec(s)) {
                        ok = false;
                        e = toError(q.lastError());
                        break;
                    }
                }
                if (ok && !password.isEmpty()) {
                    q.prepare(QStringLiteral("INSERT INTO _dbpassword(Password) VALUES(?)"));
                    q.addBindValue(password);
                    if (!q.exec()) {
                        ok = false;
                        e = toError(q.lastError());
                    }
                }
                if (ok && !q.exec(QStringLiteral("COMMIT"))) {
                    ok = false;
                    e = toError(q.lastError());
                }
                q.finish();
            } else {
                e = toError(c.lastError());
            }
            c.close();
            if (!ok) {
                if (error) *error = e;
                QSqlDatabase::removeDatabase(conn);
                QFile::remove(path);
                return nullptr;
            }
        }
        QSqlDatabase::removeDatabase(conn);
    }
    return open(path, password, error);
}

void Database::closeAll(const QString& path) { DatabaseRegistry::closeAll(path); }

Database::~Database() { closeHandle(); }

void Database::interrupt() {
    if (sqlite3* h = raw_.load())
        sqlite3_interrupt(h);
}

bool Database::autocommit() const {
    sqlite3* h = raw_.load();
    return !h || sqlite3_get_autocommit(h) != 0;
}

void Database::closeHandle() {
    if (connName_.isEmpty()) return;
    raw_ = nullptr;
    if (inTransaction_) rollback();
    statements_.clear();
    prepared_.clear();
    watchChanges(false);
    {
        QSqlDatabase c = QSqlDatabase::database(connName_, false);
        if (c.isValid()) c.close();
    }
    QSqlDatabase::removeDatabase(connName_);
    DatabaseRegistry::remove(this);
    connName_.clear();
    inTransaction_ = false;
}

bool Database::isOpen() const {
    return !closed_ && !connName_.isEmpty() && QSqlDatabase::database(connName_, false).isOpen();
}

QSqlDatabase Database::connection() const {
    return connName_.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(connName_, false);
}

bool Database::fail(Error* error, const Error& e) {
    lastError_ = e;
    if (error) *error = e;
    return false;
}

bool Database::succeed(Error* error) {
    lastError_ = Error();
    if (error) *error = Error();
    return true;
}

bool Database::checkOpen(Error* error) {
    if (closed_ || connName_.isEmpty())
        return fail(error, makeError(ErrorKind::Closed, QStringLiteral("La base de datos está cerrada.")));
    return true;
}

// ---------------------------------------------------------------------------------------------
// statements

std::shared_ptr<QSqlQuery> Database::statement(const QString& sql, bool forwardOnly, bool* prepared) {
    *prepared = true;
    if (auto it = statements_.constFind(sql); it != statements_.constEnd()) return *it;
    auto q = std::make_shared<QSqlQuery>(connection());
    q->setForwardOnly(forwardOnly);
    rewriting_ = false;
    if (!q->prepare(sql)) {
        *prepared = false;
        return q;
    }
    if (statements_.size() >= 256) statements_.clear();  // texts built per call must not pile up
    statements_.insert(sql, q);
    return q;
}

bool Database::run(QSqlQuery& q, const QString& sql, const std::function<void(QSqlQuery&)>& bind,
                   Error& e, bool prepared) {
    QElapsedTimer timer;
    timer.start();
    int pause = 1;
    for (;;) {
        refused_.clear();
        refusedBy_.clear();
        if (!prepared) rewriting_ = false;
        bool ok = prepared || q.prepare(sql);
        prepared = false;  // a retry prepares afresh
        if (ok) {
            if (bind) bind(q);
            const bool before = stepping_;
            stepping_ = true;
            ok = q.exec();
            stepping_ = before;
        }
        if (ok) {
            e = Error();
            return true;
        }
        e = toError(q.lastError());
        if (!refused_.isEmpty()) e.message = refusal();  // the authorizer's reason, not "not authorized"
        q.finish();
        // Inside a write transaction we hold the file: a busy answer will not clear by waiting.
        if (e.kind != ErrorKind::Busy || inTransaction_ || timer.elapsed() > kShortBusyMs) return false;
        QThread::usleep(static_cast<unsigned long>(pause * 1000));
        pause = std::min(pause * 2, 4);
    }
}

bool Database::execWith(const QString& sql, const std::function<void(QSqlQuery&)>& bind, Error* error,
                        int* rowsAffected) {
    if (rowsAffected) *rowsAffected = 0;
    if (!checkOpen(error)) return false;
    bool prepared = false;
    const auto st = statement(sql, false, &prepared);
    QSqlQuery& q = *st;
    Error e;
    if (!run(q, sql, bind, e, prepared)) {
        q.finish();
        return fail(error, e);
    }
    if (rowsAffected) *rowsAffected = q.numRowsAffected();
    q.finish();
    return succeed(error);
}

bool Database::exec(const QString& sql, const QVariantList& params, Error* error, int* rowsAffected) {
    return runOwn(sql, params, nullptr, rowsAffected, error);
}

bool Database::exec(const QString& sql, const QVariantMap& params, Error* error, int* rowsAffected) {
    return execWith(sql, named(sql, params), error, rowsAffected);
}

bool Database::execWait(const QString& sql, const QVariantList& params, const LockWait& wait,
                        Error* error, int* rowsAffected) {
    if (!checkOpen(error)) return false;
    const Error e = detail::waitFor(wait, [&]() {
        Error once;
        refused_.clear();
        refusedBy_.clear();
        rewriting_ = false;
        QSqlQuery q(connection());
        bool ok = q.prepare(sql);
        if (ok) {
            for (const QVariant& v : params) q.addBindValue(v);
            const bool before = stepping_;
            stepping_ = true;
            ok = q.exec();
            stepping_ = before;
        }
        if (!ok) {
            once = toError(q.lastError());
            if (!refused_.isEmpty()) once.message = refusal();
            return once;
        }
        if (rowsAffected) *rowsAffected = q.numRowsAffected();
        return once;
    });
    if (!e.ok()) return fail(error, e);
    return succeed(error);
}

bool Database::execScript(const QString& script, Error* error) {
    for (const QString& s : detail::splitStatements(script))
        if (!exec(s, QVariantList{}, error)) return false;
    return succeed(error);
}

bool Database::execQuery(QSqlQuery& q, const QString& sql, const QVariantList& params, Error* error) {
    if (!checkOpen(error)) return false;
    Error e;
    if (!run(q, sql, positional(params), e)) return fail(error, e);
    return succeed(error);
}

std::optional<Rows> Database::selectWith(const QString& sql,
                                         const std::function<void(QSqlQuery&)>& bind, Error* error) {
    if (!checkOpen(error)) return std::nullopt;
    bool prepared = false;
    const auto st = statement(sql, true, &prepared);
    QSqlQuery& q = *st;
    Error e;
    Rows rows;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        rows.clear();
        if (!run(q, sql, bind, e, prepared)) {
            q.finish();
            return fail(error, e), std::nullopt;
        }
        prepared = false;
        const QSqlRecord rec = q.record();
        QStringList names;
        for (int i = 0; i < rec.count(); ++i) names << rec.fieldName(i);
        while (q.next()) {
            QVariantList values;
            values.reserve(rec.count());
            for (int i = 0; i < rec.count(); ++i) values << q.value(i);
            rows.emplace_back(names, std::move(values));
        }
        const QSqlError qe = q.lastError();
        q.finish();
        if (qe.type() == QSqlError::NoError) break;
        e = toError(qe);
        if (e.kind != ErrorKind::Busy || inTransaction_ || timer.elapsed() > kShortBusyMs)
            return fail(error, e), std::nullopt;
        QThread::usleep(1000);
    }
    succeed(error);
    return rows;
}

std::optional<Rows> Database::select(const QString& sql, const QVariantList& params, Error* error) {
    Rows rows;
    if (!runOwn(sql, params, &rows, nullptr, error)) return std::nullopt;
    return rows;
}

std::optional<Rows> Database::select(const QString& sql, const QVariantMap& params, Error* error) {
    return selectWith(sql, named(sql, params), error);
}

std::optional<Row> Database::selectOne(const QString& sql, const QVariantList& params, Error* error) {
    auto rows = select(sql, params, error);
    if (!rows) return std::nullopt;
    if (rows->empty()) return Row();
    return rows->front();
}

std::optional<QVariant> Database::scalar(const QString& sql, const QVariantList& params, Error* error) {
    auto row = selectOne(sql, params, error);
    if (!row) return std::nullopt;
    if (row->empty()) return QVariant();
    return row->value(0);
}

bool Database::localTable(const QString& name) {
    auto v = scalar(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE type IN ('table','view') "
                                   "AND name = ? COLLATE NOCASE"),
                    {name});
    return v && v->toLongLong() > 0;
}

QString Database::schemaOf(const QString& table) {
    if (localTable(table)) return QStringLiteral("main");
    for (const Attached& a : attached_) {
        auto v = scalar(QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE type IN ('table','view') "
                                       "AND name = ? COLLATE NOCASE")
                            .arg(quoteIdent(a.alias)),
                        {table});
        if (v && v->toLongLong() > 0) return a.alias;
    }
    return {};
}

bool Database::tableExists(const QString& name) {
    if (localTable(name)) return true;
    for (const Link& l : links())
        if (l.name.compare(name, Qt::CaseInsensitive) == 0) return !schemaOf(name).isEmpty();
    return false;
}

qint64 Database::lastInsertId() {
    auto v = scalar(QStringLiteral("SELECT last_insert_rowid()"));
    return v ? v->toLongLong() : 0;
}

// ---------------------------------------------------------------------------------------------
// write transactions

bool Database::beginWrite(const LockWait& wait, Error* error, WriteScope scope) {
    if (!checkOpen(error)) return false;
    if (inTransaction_)
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("Ya hay una transacción abierta.")));
    // BEGIN IMMEDIATE reserves every attached file. A deferred BEGIN followed by a write that
    // changes nothing reserves this file alone; a refused reservation is rolled back at once, so
    // the wait below never holds a lock.
    if (scope == WriteScope::MainFile && hasLinksTable_ < 0)
        hasLinksTable_ = localTable(QStringLiteral("_links")) ? 1 : 0;
    const bool soloEste = scope == WriteScope::MainFile && !attached_.empty() && hasLinksTable_ == 1;
    const Error e = detail::waitFor(wait, [&]() {
        if (!soloEste) return runCached(QStringLiteral("BEGIN IMMEDIATE"));
        Error r = runCached(QStringLiteral("BEGIN"));
        if (!r.ok()) return r;
        r = runCached(QStringLiteral("UPDATE main._links SET Name = Name WHERE 0"));
        if (!r.ok()) runCached(QStringLiteral("ROLLBACK"));
        return r;
    });
    if (!e.ok()) return fail(error, e);
    inTransaction_ = true;
    return succeed(error);
}

bool Database::commit(Error* error) {
    // COMMIT answers busy while another connection is still reading: the readers finish soon, and
    // the transaction stays open meanwhile.
    LockWait wait;
    wait.serveEvents = false;
    return commit(wait, error);
}

bool Database::commit(const LockWait& wait, Error* error) {
    if (!checkOpen(error)) return false;
    if (!inTransaction_)
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("No hay una transacción abierta.")));
    const Error e = detail::waitFor(wait, [&]() { return runCached(QStringLiteral("COMMIT")); });
    if (!e.ok()) return fail(error, e);
    inTransaction_ = false;
    return succeed(error);
}

Error Database::runCached(const QString& sql) {
    Trusted own(*this);  // transaction control and the reservation of this file alone
    Error e;
    runOwn(sql, {}, nullptr, nullptr, &e, false);  // a busy answer goes back to the caller's wait
    return e;
}

void Database::rollback() {
    if (!inTransaction_ || connName_.isEmpty()) {
        inTransaction_ = false;
        return;
    }
    Trusted own(*this);
    QSqlQuery q(connection());
    q.exec(QStringLiteral("ROLLBACK"));
    inTransaction_ = false;
}

WriteTransaction::~WriteTransaction() { rollback(); }

bool WriteTransaction::begin(const LockWait& wait, Error* error, WriteScope scope) {
    if (active_) return true;
    active_ = db_.beginWrite(wait, error, scope);
    if (active_ && (wait.status || wait.cancelled)) wait_ = wait;
    return active_;
}

bool WriteTransaction::commit(Error* error) {
    if (!active_) {
        if (error) *error = makeError(ErrorKind::Other, QStringLiteral("No hay una transacción abierta."));
        return false;
    }
    if (!(wait_ ? db_.commit(*wait_, error) : db_.commit(error))) return false;
    active_ = false;
    return true;
}

void WriteTransaction::rollback() {
    if (active_) db_.rollback();
    active_ = false;
}

}  // namespace db
