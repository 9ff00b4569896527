// Statements with positional values run on SQLite's own handle: prepared once per connection and
// kept, values bound and rows read straight from the engine. QtSql's result layer costs more per
// value and per row than the engine's own work for the short statements of a save, and the values
// come back as that layer gives them (whole numbers as qlonglong, reals as double, texts as
// QString, blobs as QByteArray, Null as a null QString), so callers see no difference.
#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <QDate>
#include <QDateTime>
#include <QThread>
#include <QTime>

#include <sqlite3.h>

namespace db {

namespace {

constexpr int kShortBusyMs = 10000;  // as a statement run through QtSql keeps trying

// QtSql binds a value that is Null, an invalid QVariant or a null text, date or time as Null.
bool nullValue(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return true;
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString().isNull();
    case QMetaType::QByteArray: return v.toByteArray().isNull();
    case QMetaType::QDateTime: return !v.toDateTime().isValid();
    case QMetaType::QDate: return !v.toDate().isValid();
    case QMetaType::QTime: return !v.toTime().isValid();
    default: return false;
    }
}

// Texts go in and come out as UTF-8, the files' own encoding: Qt converts faster than the engine.
int bindText(sqlite3_stmt* st, int i, const QString& s) {
    const QByteArray u = s.toUtf8();
    return sqlite3_bind_text(st, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

// The same SQLite types QtSql's driver gives each kind of value.
int bindOne(sqlite3_stmt* st, int i, const QVariant& v) {
    if (nullValue(v)) return sqlite3_bind_null(st, i);
    switch (v.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::Int:
    case QMetaType::Bool: return sqlite3_bind_int(st, i, v.toInt());
    case QMetaType::Double: return sqlite3_bind_double(st, i, v.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong: return sqlite3_bind_int64(st, i, v.toLongLong());
    case QMetaType::QDateTime: return bindText(st, i, v.toDateTime().toString(Qt::ISODateWithMs));
    case QMetaType::QTime: return bindText(st, i, v.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
    default: return bindText(st, i, v.toString());
    }
}

QVariant column(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, i));
    case SQLITE_NULL: return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i)));
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                          sqlite3_column_bytes(st, i)));
    }
}

}  // namespace

Error detail::engineError(sqlite3* h, int code) {
    return engineError(code, h ? QString(reinterpret_cast<const QChar*>(sqlite3_errmsg16(h))) : QString());
}

Database::Prepared::~Prepared() { sqlite3_finalize(st); }

sqlite3_stmt* Database::ownStatement(const QString& sql, Error& e) {
    if (auto it = prepared_.constFind(sql); it != prepared_.constEnd()) return (*it)->st;
    sqlite3* h = raw_.load();
    if (!h) {
        e = detail::makeError(ErrorKind::Closed, QStringLiteral("La base de datos está cerrada."));
        return nullptr;
    }
    refused_.clear();
    refusedBy_.clear();
    rewriting_ = false;
    sqlite3_stmt* st = nullptr;
    const void* tail = nullptr;
    const int rc = sqlite3_prepare16_v3(h, sql.utf16(), int((sql.size() + 1) * sizeof(QChar)),
                                        SQLITE_PREPARE_PERSISTENT, &st, &tail);
    if (rc != SQLITE_OK) {
        e = detail::engineError(h, rc);
        if (!refused_.isEmpty()) e.message = refusal();  // the authorizer's reason, not "not authorized"
        sqlite3_finalize(st);
        return nullptr;
    }
    const QString rest = tail ? QString(reinterpret_cast<const QChar*>(tail)) : QString();
    if (!st || !rest.trimmed().isEmpty()) {
        sqlite3_finalize(st);
        e = detail::makeError(ErrorKind::Other, st ? QStringLiteral("Unable to execute multiple statements at a time")
                                                   : QStringLiteral("No query"));
        return nullptr;
    }
    if (prepared_.size() >= 256) prepared_.clear();  // texts built per call must not pile up
    auto p = std::make_shared<Prepared>();
    p->st = st;
    prepared_.insert(sql, p);
    return st;
}

bool Database::runOwn(const QString& sql, const QVariantList& params, Rows* rows, int* rowsAffected,
                      Error* error, bool retry) {
    if (rowsAffected) *rowsAffected = 0;
    if (!checkOpen(error)) return false;
    QElapsedTimer timer;
    timer.start();
    int pause = 1;
    // Inside a write transaction we hold the file: a busy answer will not clear by waiting.
    auto waitMore = [&](const Error& e) {
        if (!retry || e.kind != ErrorKind::Busy || inTransaction_ || timer.elapsed() > kShortBusyMs) return false;
        QThread::usleep(static_cast<unsigned long>(pause * 1000));
        pause = std::min(pause * 2, 4);
        return true;
    };
    for (;;) {
        Error e;
        // Preparing reads the schema, so it can find the file busy too.
        sqlite3_stmt* st = ownStatement(sql, e);
        if (!st) {
            if (waitMore(e)) continue;
            return fail(error, e);
        }
        // The statement stays cached: keep it while it runs, whatever a nested call does to the cache.
        const auto keep = prepared_.value(sql);
        sqlite3* h = raw_.load();
        if (sqlite3_bind_parameter_count(st) != params.size())
            return fail(error, detail::makeError(ErrorKind::Other, QStringLiteral("Parameter count mismatch")));
        sqlite3_reset(st);
        int rc = SQLITE_OK;
        for (int i = 0; i < params.size() && rc == SQLITE_OK; ++i) rc = bindOne(st, i + 1, params[i]);
        if (rc != SQLITE_OK) {
            e = detail::engineError(h, rc);
            sqlite3_clear_bindings(st);
            return fail(error, e);
        }
        refused_.clear();
        refusedBy_.clear();
        Rows out;
        QStringList names;
        const int n = sqlite3_column_count(st);
        if (rows) {
            for (int i = 0; i < n; ++i)
                names << QString(reinterpret_cast<const QChar*>(sqlite3_column_name16(st, i))).remove(u'"');
        }
        const bool before = stepping_;
        stepping_ = true;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            if (!rows) continue;
            QVariantList values;
            values.reserve(n);
            for (int i = 0; i < n; ++i) values << column(st, i);
            out.emplace_back(names, std::move(values));
        }
        stepping_ = before;
        if (rc == SQLITE_DONE) {
            if (rowsAffected) *rowsAffected = sqlite3_changes(h);
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
            if (rows) *rows = std::move(out);
            return succeed(error);
        }
        e = detail::engineError(h, rc);
        if (!refused_.isEmpty()) e.message = refusal();
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (!waitMore(e)) return fail(error, e);
    }
}

}  // namespace db
