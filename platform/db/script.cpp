#include "platform/db/script.h"

#include "platform/db/internal.h"

#include <QFile>

#include <functional>
#include <QRegularExpression>

#include <sqlite3.h>

namespace db {

Script parseScript(const QString& text) {
    Script s;
    static const QRegularExpression linkRe(QStringLiteral(R"(^--\s*@link\s+(\S+)\s+(\S+)\s*$)"));
    static const QRegularExpression queryRe(QStringLiteral(R"(^--\s*@query\s+(\S+)\s+(select|action)\s*$)"));
    static const QRegularExpression endRe(QStringLiteral(R"(^--\s*@end\s*$)"));
    QString plain;
    db::SavedQuery* open = nullptr;
    QString body;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        line.remove(u'\r');
        const QString t = line.trimmed();
        if (open) {
            if (endRe.match(t).hasMatch()) {
                open->sql = body.trimmed();
                open = nullptr;
                body.clear();
            } else if (!t.startsWith(QStringLiteral("--"))) {
                body += line + u'\n';
            }
            continue;
        }
        if (const auto m = linkRe.match(t); m.hasMatch()) {
            s.links.push_back({m.captured(1), m.captured(2)});
        } else if (const auto q = queryRe.match(t); q.hasMatch()) {
            s.queries.push_back({q.captured(1), q.captured(2), {}});
            open = &s.queries.back();
        } else if (!t.startsWith(QStringLiteral("--"))) {
            plain += line + u'\n';
        }
    }
    s.statements = detail::splitStatements(plain);
    return s;
}

std::optional<SavedQuery> ownAction(const QString& name) {
    static const std::vector<SavedQuery> actions = [] {
        std::vector<SavedQuery> out;
        for (const char* file : {":/quorvel/schema/sucursal.sql", ":/quorvel/schema/bdcodigos.sql"}) {
            QFile f(QString::fromLatin1(file));
            if (!f.open(QIODevice::ReadOnly)) continue;
            for (const SavedQuery& q : parseScript(QString::fromUtf8(f.readAll())).queries)
                if (q.kind == QLatin1String("action")) out.push_back(q);
        }
        return out;
    }();
    for (const SavedQuery& q : actions)
        if (q.name.compare(name, Qt::CaseInsensitive) == 0) return q;
    return std::nullopt;
}

const std::vector<ProgramTable>& programTables(ProgramFile kind) {
    // The script's CREATE TABLE statements run on a scratch database in memory; the engine then
    // says what they made, so no second reading of a definition is needed.
    auto load = [](const char* file) {
        std::vector<ProgramTable> out;
        QFile f(QString::fromLatin1(file));
        if (!f.open(QIODevice::ReadOnly)) return out;
        sqlite3* h = nullptr;
        if (sqlite3_open(":memory:", &h) != SQLITE_OK) {
            sqlite3_close(h);
            return out;
        }
        static const QRegularExpression create(QStringLiteral("^CREATE\\s+TABLE\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
        for (const QString& s : parseScript(QString::fromUtf8(f.readAll())).statements)
            if (create.match(s.trimmed()).hasMatch())
                sqlite3_exec(h, s.toUtf8().constData(), nullptr, nullptr, nullptr);
        auto each = [h](const QByteArray& sql, const std::function<void(sqlite3_stmt*)>& row) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr) == SQLITE_OK)
                while (sqlite3_step(st) == SQLITE_ROW) row(st);
            sqlite3_finalize(st);
        };
        auto text = [](sqlite3_stmt* st, int i) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        };
        each("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name",
             [&](sqlite3_stmt* st) { out.push_back({text(st, 0), {}}); });
        for (ProgramTable& t : out)
            each(QStringLiteral("SELECT name FROM pragma_table_xinfo('%1')").arg(t.name).toUtf8(),
                 [&](sqlite3_stmt* st) { t.columns << text(st, 0); });
        sqlite3_close(h);
        return out;
    };
    static const std::vector<ProgramTable> central = load(":/quorvel/schema/bdcodigos.sql");
    static const std::vector<ProgramTable> branch = load(":/quorvel/schema/sucursal.sql");
    return kind == ProgramFile::Central ? central : branch;
}

}  // namespace db
