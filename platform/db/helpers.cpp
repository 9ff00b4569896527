#include "platform/db/internal.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QThread>

namespace db::detail {

QString quoteIdent(const QString& name) {
    QString s = name;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

bool isMetaTable(const QString& name) {
    return name.compare(QLatin1String("_dbpassword"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("_links"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("_queries"), Qt::CaseInsensitive) == 0 ||
           name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

Error makeError(ErrorKind kind, const QString& message, int code) {
    Error e;
    e.kind = kind;
    e.message = message;
    e.code = code;
    return e;
}

QStringList splitStatements(const QString& script) {
    QStringList out;
    QString cur;
    const int n = static_cast<int>(script.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = script[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') ||
            c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            cur += c;
            ++i;
            while (i < n) {
                cur += script[i];
                if (script[i] == close) {
                    // a doubled quote stays inside the literal
                    if (close != QLatin1Char(']') && i + 1 < n && script[i + 1] == close) {
                        cur += script[++i];
                    } else {
                        break;
                    }
                }
                ++i;
            }
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            while (i < n && script[i] != QLatin1Char('\n')) ++i;
            cur += QLatin1Char('\n');
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            i += 2;
            while (i + 1 < n && !(script[i] == QLatin1Char('*') && script[i + 1] == QLatin1Char('/'))) ++i;
            ++i;
            cur += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char(';')) {
            if (!cur.trimmed().isEmpty()) out << cur.trimmed();
            cur.clear();
            continue;
        }
        cur += c;
    }
    if (!cur.trimmed().isEmpty()) out << cur.trimmed();
    return out;
}

QStringList placeholders(const QString& sql) {
    QStringList out;
    const int n = static_cast<int>(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            ++i;
            while (i < n && sql[i] != close) ++i;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < n &&
            (sql[i + 1].isLetter() || sql[i + 1] == QLatin1Char('_')) &&
            (i == 0 || sql[i - 1] != QLatin1Char(':'))) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_'))) ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            if (!out.contains(name)) out << name;
            i = j - 1;
        }
    }
    return out;
}

Error waitFor(const LockWait& wait, const std::function<Error()>& attempt) {
    QElapsedTimer timer;
    timer.start();
    bool shown = false;
    int pause = 1;
    Error e;
    for (;;) {
        e = attempt();
        if (e.kind != ErrorKind::Busy) break;
        if (wait.cancelled && wait.cancelled()) {
            e = makeError(ErrorKind::Cancelled,
                          QStringLiteral("Se canceló la espera: la base de datos está ocupada por otro usuario."));
            break;
        }
        if (wait.timeoutMs >= 0 && timer.elapsed() >= wait.timeoutMs) {
            e.message = QStringLiteral("La base de datos está ocupada por otro usuario; intente de nuevo.");
            break;
        }
        if (!shown && wait.status) {
            wait.status(wait.statusText);
            shown = true;
        }
        if (wait.serveEvents && QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // a little jitter keeps several waiting terminals from retrying in step
        QThread::usleep(static_cast<unsigned long>(pause * 1000 / 2 +
                                                   QRandomGenerator::global()->bounded(pause * 1000)));
        pause = std::min(pause * 2, 4);
    }
    if (shown && wait.status) wait.status(QString());
    return e;
}

}  // namespace db::detail
