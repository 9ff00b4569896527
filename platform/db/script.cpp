#include "platform/db/script.h"

#include "platform/db/internal.h"

#include <QFile>
#include <QRegularExpression>

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

}  // namespace db
