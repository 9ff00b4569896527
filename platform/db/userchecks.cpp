// What a person's statement leaves behind, checked from the outside once it ran: what it made
// compiles under the guard, no table took a layer name, the program's own tables and columns are
// still there in every file the handle reaches, and every table's definition, trigger and view
// there still compiles. A file brought in is checked the same before it is used.

#include "platform/db/database.h"
#include "platform/db/internal.h"
#include "platform/db/script.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <map>

namespace db {

namespace {

using detail::bindText;
using detail::column;
using detail::prepare;
using detail::quoteIdent;

// The program's tables of both kinds of file by their name in lower case.
const std::map<QString, ProgramTable>& programTablesByName() {
    static const std::map<QString, ProgramTable> all = [] {
        std::map<QString, ProgramTable> m;
        for (ProgramFile kind : {ProgramFile::Central, ProgramFile::Branch})
            for (const ProgramTable& t : programTables(kind)) {
                ProgramTable& into = m[t.name.toLower()];
                if (into.name.isEmpty()) into.name = t.name;
                for (const QString& c : t.columns)
                    if (!into.columns.contains(c, Qt::CaseInsensitive)) into.columns << c;
            }
        return m;
    }();
    return all;
}

QStringList schemasOf(sqlite3* h) {
    QStringList out;
    prepare(h, QStringLiteral("PRAGMA database_list"), [&](sqlite3_stmt* st) {
        while (sqlite3_step(st) == SQLITE_ROW) out << column(st, 1);
    });
    return out;
}

}  // namespace

QStringList UserSqlGuard::programSchema(Database& db) {
    QStringList out;
    sqlite3* h = detail::sqliteHandle(db.connection());
    if (!h) return out;
    Database::Trusted own(db);
    const auto& program = programTablesByName();
    for (const QString& s : schemasOf(h)) {
        if (s == QLatin1String("temp")) continue;
        QStringList tables;
        prepare(h, QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table'").arg(quoteIdent(s)),
                [&](sqlite3_stmt* st) {
                    while (sqlite3_step(st) == SQLITE_ROW) tables << column(st, 0);
                });
        for (const QString& t : tables) {
            const auto it = program.find(t.toLower());
            if (it == program.end()) continue;
            out << s + u'\t' + it->second.name + u'\t';
            prepare(h, QStringLiteral("SELECT name FROM pragma_table_xinfo(?1, ?2)"), [&](sqlite3_stmt* st) {
                bindText(st, 1, t);
                bindText(st, 2, s);
                while (sqlite3_step(st) == SQLITE_ROW) {
                    const QString c = column(st, 0);
                    for (const QString& p : it->second.columns)
                        if (p.compare(c, Qt::CaseInsensitive) == 0) out << s + u'\t' + it->second.name + u'\t' + p;
                }
            });
        }
    }
    return out;
}

QString UserSqlGuard::compileAll() {
    sqlite3* h = detail::sqliteHandle(db_.connection());
    if (!h) return {};
    auto reaches = [this] {
        QString r = db_.refused_;
        r.remove(QRegularExpression(QStringLiteral("^no se permite ")));
        return r;
    };
    struct Object {
        QString type, name, table;
    };
    std::map<QString, std::vector<Object>> bySchema;
    std::map<QString, QStringList> triggersOn;  // table in lower case -> its triggers, any file
    {
        Database::Trusted own(db_);
        for (const QString& s : schemasOf(h))
            prepare(h,
                    QStringLiteral("SELECT type, name, tbl_name FROM %1.sqlite_master WHERE type IN ('table', 'view', "
                                   "'trigger') AND substr(name, 1, 1) <> '_' AND name NOT LIKE 'sqlite%'")
                        .arg(quoteIdent(s)),
                    [&](sqlite3_stmt* st) {
                        while (sqlite3_step(st) == SQLITE_ROW) {
                            Object o{column(st, 0), column(st, 1), column(st, 2)};
                            if (o.type == QLatin1String("trigger")) triggersOn[o.table.toLower()] << o.name;
                            bySchema[s].push_back(o);
                        }
                    });
    }
    int triggers = 1;
    sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_TRIGGER, -1, &triggers);
    auto enableTriggers = [h](int on) { sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_TRIGGER, on, nullptr); };
    QString why;
    for (const auto& [s, objects] : bySchema) {
        for (const Object& o : objects) {
            const QString target = quoteIdent(s) + u'.' + quoteIdent(o.name);
            if (o.type == QLatin1String("view")) {
                db_.refused_.clear();
                if (prepare(h, QStringLiteral("SELECT * FROM %1").arg(target))) continue;
                why = db_.refused_.isEmpty()
                          ? QStringLiteral("la vista %1 dejaría de funcionar: lee una tabla o un campo que no existe").arg(o.name)
                          : QStringLiteral("la vista %1 no se permite porque intenta %2").arg(o.name, reaches());
                break;
            }
            if (o.type == QLatin1String("trigger")) {
                // A trigger on a view fires only through the view's own writes: tried on its own.
                bool onView = false;
                for (const Object& v : objects)
                    onView = onView || (v.type == QLatin1String("view") && v.name.compare(o.table, Qt::CaseInsensitive) == 0);
                if (onView && !tryObject(s, o.name, false, &why)) break;
                continue;
            }
            QStringList trials = {QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(target),
                                  QStringLiteral("DELETE FROM %1").arg(target)};
            {
                Database::Trusted own(db_);
                // A column's default is compiled only as a row is written: it is tried as a SELECT.
                prepare(h, QStringLiteral("SELECT name, dflt_value FROM pragma_table_xinfo(?1, ?2) WHERE hidden = 0"),
                        [&](sqlite3_stmt* st) {
                            bindText(st, 1, o.name);
                            bindText(st, 2, s);
                            while (sqlite3_step(st) == SQLITE_ROW) {
                                trials << QStringLiteral("UPDATE %1 SET %2 = %2").arg(target, quoteIdent(column(st, 0)));
                                if (sqlite3_column_type(st, 1) != SQLITE_NULL)
                                    trials.prepend(QStringLiteral("SELECT (%1)").arg(column(st, 1)));
                            }
                        });
            }
            // First the table alone (defaults, generated columns, CHECK rules), then with the
            // triggers that fire on it.
            const QStringList its = triggersOn.count(o.name.toLower()) ? triggersOn[o.name.toLower()] : QStringList();
            for (int pass = 0; pass < (its.isEmpty() ? 1 : 2) && why.isEmpty(); ++pass) {
                enableTriggers(pass);
                for (const QString& sql : trials) {
                    db_.refused_.clear();
                    db_.refusedBy_.clear();
                    const bool ok = prepare(h, sql);
                    if (!db_.refused_.isEmpty()) {
                        if (pass == 0)
                            why = QStringLiteral("la tabla %1 no se permite porque su definición (un valor por omisión, "
                                                 "un campo calculado o una regla) intenta %2")
                                      .arg(o.name, reaches());
                        else
                            why = QStringLiteral("el disparador %1 no se permite porque intenta %2")
                                      .arg(db_.refusedBy_.isEmpty() ? its.join(QStringLiteral(", ")) : db_.refusedBy_,
                                           reaches());
                        break;
                    }
                    if (ok) continue;
                    if (pass == 0)
                        why = QStringLiteral("la tabla %1 dejaría de funcionar: su definición usa un campo o una función "
                                             "que no existe")
                                  .arg(o.name);
                    else
                        why = QStringLiteral("%1 %2 dejaría de funcionar (se dispara al cambiar la tabla %3): usa una "
                                             "tabla o un campo que no existe")
                                  .arg(its.size() == 1 ? QStringLiteral("el disparador") : QStringLiteral("uno de los disparadores"),
                                       its.join(QStringLiteral(", ")), o.name);
                    break;
                }
            }
            if (!why.isEmpty()) break;
        }
        if (!why.isEmpty()) break;
    }
    enableTriggers(triggers);
    db_.refused_.clear();
    db_.refusedBy_.clear();
    return why;
}

QString UserSqlGuard::faultsOf(Database& db) {
    UserSqlGuard g(db, UserSql::Script);
    return g.compileAll();
}

bool UserSqlGuard::check(Error* error) {
    sqlite3* h = detail::sqliteHandle(db_.connection());
    const std::vector<Made> made = std::move(made_);
    const std::vector<Made> altered = std::move(altered_);
    made_.clear();
    altered_.clear();
    db_.rewriting_ = false;
    if (!h) return true;
    auto fails = [&](const QString& why) {
        db_.refused_ = why;
        db_.refusedBy_.clear();
        if (error) *error = detail::makeError(ErrorKind::Other, why, SQLITE_AUTH);
        return false;
    };
    for (const Made& m : made) {
        QString why;
        if (tryObject(m.schema, m.name, m.view, &why)) continue;
        Database::Trusted own(db_);
        const QByteArray drop = QStringLiteral("DROP %1 %2.%3")
                                    .arg(m.view ? QStringLiteral("VIEW") : QStringLiteral("TRIGGER"),
                                         quoteIdent(m.schema), quoteIdent(m.name))
                                    .toUtf8();
        sqlite3_exec(h, drop.constData(), nullptr, nullptr, nullptr);
        return fails(why + QStringLiteral("; se quitó"));
    }
    if (!altered.empty()) {
        // A table renamed into a layer name would be out of the person's reach and in the layer's
        // way: it gets its old name back.
        const QStringList now = layerTables();
        for (const QString& t : now) {
            if (before_.contains(t)) continue;
            const QString schema = t.section(u'.', 0, 0);
            const QString nuevo = t.section(u'.', 1);
            for (const Made& a : altered) {
                if (a.schema.compare(schema, Qt::CaseInsensitive) != 0) continue;
                Database::Trusted own(db_);
                const QByteArray back =
                    QStringLiteral("ALTER TABLE %1.%2 RENAME TO %3")
                        .arg(quoteIdent(schema), quoteIdent(nuevo), quoteIdent(a.name))
                        .toUtf8();
                sqlite3_exec(h, back.constData(), nullptr, nullptr, nullptr);
                return fails(QStringLiteral("no se permite dar a la tabla %1 un nombre que empiece con _ (%2); "
                                            "conserva su nombre")
                                 .arg(a.name, nuevo));
            }
        }
    }
    // The program's own tables and columns, in every file.
    const QStringList now = programSchema(db_);
    for (const QString& k : required_) {
        if (now.contains(k)) continue;
        const QStringList p = k.split(u'\t');
        QString file = QFileInfo(db_.path()).fileName();
        for (const Database::Attached& a : db_.attached_)
            if (a.alias == p.value(0)) file = QFileInfo(a.path).fileName();
        const QString what = p.value(2).isEmpty()
                                 ? QStringLiteral("la tabla %1 del archivo %2").arg(p.value(1), file)
                                 : QStringLiteral("el campo %1 de la tabla %2 del archivo %3").arg(p.value(2), p.value(1), file);
        return fails(QStringLiteral("el programa dejaría de funcionar: necesita %1; no se hizo el cambio").arg(what));
    }
    const QString why = compileAll();
    if (!why.isEmpty()) return fails(why + QStringLiteral("; no se hizo el cambio"));
    return true;
}

}  // namespace db
