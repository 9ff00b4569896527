// Rows, the cursor, LIKE helpers and the mapping of SQLite errors.
#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <QSqlError>

namespace db {

Row::Row(QStringList names, QVariantList values) : names_(std::move(names)), values_(std::move(values)) {}

int Row::indexOf(const QString& field) const {
    // Names of another length never match: only those are folded and compared.
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].size() == field.size() && names_[i].compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant Row::value(const QString& field) const {
    const int i = indexOf(field);
    return i < 0 ? QVariant() : values_.value(i);
}

bool Row::isNull(const QString& field) const {
    const QVariant v = value(field);
    return !v.isValid() || v.isNull();
}

QString Row::text(const QString& field) const {
    const QVariant v = value(field);
    return (!v.isValid() || v.isNull()) ? QString() : v.toString();
}

double Row::real(const QString& field) const {
    const QVariant v = value(field);
    if (!v.isValid() || v.isNull()) return 0.0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : 0.0;
}

qint64 Row::integer(const QString& field) const {
    const QVariant v = value(field);
    if (!v.isValid() || v.isNull()) return 0;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok) return n;
    const double d = v.toDouble(&ok);
    return ok ? static_cast<qint64>(d) : 0;
}

bool Row::flag(const QString& field) const {
    const QVariant v = value(field);
    if (!v.isValid() || v.isNull()) return false;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (ok) return d != 0.0;
    const QString s = v.toString().trimmed().toLower();
    return s == QLatin1String("true") || s == QLatin1String("verdadero") || s == QLatin1String("si") ||
           s == QLatin1String("sí");
}

bool Cursor::first() {
    if (rows_.empty()) return false;
    pos_ = 0;
    return true;
}

bool Cursor::last() {
    if (rows_.empty()) return false;
    pos_ = count() - 1;
    return true;
}

bool Cursor::next() {
    if (rows_.empty()) return false;
    if (pos_ < count()) ++pos_;
    return pos_ < count();
}

bool Cursor::previous() {
    if (rows_.empty()) return false;
    if (pos_ >= 0) --pos_;
    return pos_ >= 0;
}

bool Cursor::move(int index) {
    if (index < 0 || index >= count()) return false;
    pos_ = index;
    return true;
}

const Row& Cursor::current() const {
    static const Row none;
    if (pos_ < 0 || pos_ >= count()) return none;
    return rows_[static_cast<size_t>(pos_)];
}

QString escapeLike(const QString& text) {
    QString out;
    out.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString wildcardToLike(const QString& pattern) {
    QString out;
    out.reserve(pattern.size() + 4);
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*')) {
            out += QLatin1Char('%');
            continue;
        }
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

Error toError(const QSqlError& e) {
    if (e.type() == QSqlError::NoError) return Error();
    bool ok = false;
    int code = e.nativeErrorCode().toInt(&ok);
    if (!ok) code = 0;
    return detail::engineError(code, e.databaseText().isEmpty() ? e.text() : e.databaseText());
}

Error detail::engineError(int code, const QString& message) {
    Error out;
    out.code = code;
    out.message = message;
    const QString msg = out.message.toLower();
    const int primary = out.code & 0xff;
    const int extended = out.code;
    if (primary == 5 || primary == 6 || msg.contains(QLatin1String("database is locked")) ||
        msg.contains(QLatin1String("database table is locked"))) {
        out.kind = ErrorKind::Busy;
        // What a person reads when a wait gives up: the file is busy, in the program's language.
        out.message = QStringLiteral("La base de datos está ocupada por otro usuario; intente de nuevo.");
    } else if (primary == 19) {
        // SQLITE_CONSTRAINT_PRIMARYKEY (1555), SQLITE_CONSTRAINT_UNIQUE (2067)
        if (extended == 1555 || extended == 2067 || msg.contains(QLatin1String("unique constraint")))
            out.kind = ErrorKind::DuplicateKey;
        else
            out.kind = ErrorKind::Constraint;
    } else if (primary == 11 || primary == 26 || msg.contains(QLatin1String("not a database")) ||
               msg.contains(QLatin1String("malformed"))) {
        out.kind = ErrorKind::Corrupt;
    } else if (primary == 14) {  // SQLITE_CANTOPEN: the file or its folder is not there
        out.kind = ErrorKind::NotFound;
    } else if (msg.contains(QLatin1String("no such table")) ||
               msg.contains(QLatin1String("no such view"))) {
        out.kind = ErrorKind::NoSuchTable;
    } else if (msg.contains(QLatin1String("unique constraint"))) {
        out.kind = ErrorKind::DuplicateKey;
    } else {
        out.kind = ErrorKind::Other;
    }
    if (out.message.isEmpty()) out.message = QStringLiteral("Error de la base de datos.");
    return out;
}

}  // namespace db
