// Schema tools: tables, fields and indexes; adding a field, rebuilding a table, copying rows
// between files, compacting.
#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace db {

using detail::makeError;
using detail::quoteIdent;

std::vector<TableInfo> Database::tables() {
    std::vector<TableInfo> out;
    auto rows = select(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type='table' ORDER BY name"));
    if (rows) {
        for (const Row& r : *rows) {
            const QString name = r.text(QStringLiteral("name"));
            if (!detail::isMetaTable(name)) out.push_back({name, false, {}});
        }
    }
    for (const Link& l : links()) out.push_back({l.name, true, l.source});
    std::sort(out.begin(), out.end(), [](const TableInfo& a, const TableInfo& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return out;
}

std::vector<FieldInfo> Database::fields(const QString& table) {
    std::vector<FieldInfo> out;
    const QString schema = schemaOf(table);
    if (schema.isEmpty()) return out;
    auto rows = select(QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?, ?)"),
                       {table, schema});
    if (!rows) return out;
    static const QRegularExpression sizeRe(QStringLiteral("\\(\\s*(\\d+)"));
    for (const Row& r : *rows) {
        FieldInfo f;
        f.name = r.text(QStringLiteral("name"));
        f.type = r.text(QStringLiteral("type"));
        const auto m = sizeRe.match(f.type);
        f.size = m.hasMatch() ? m.captured(1).toInt() : 0;
        f.notNull = r.flag(QStringLiteral("notnull"));
        f.defaultValue = r.isNull(QStringLiteral("dflt_value")) ? QVariant() : QVariant(r.text(QStringLiteral("dflt_value")));
        f.primaryKey = r.integer(QStringLiteral("pk")) > 0;
        out.push_back(f);
    }
    return out;
}

std::vector<IndexInfo> Database::indexes(const QString& table) {
    std::vector<IndexInfo> out;
    const QString schema = schemaOf(table);
    if (schema.isEmpty()) return out;
    auto list = select(QStringLiteral("SELECT name, \"unique\" FROM pragma_index_list(?, ?) ORDER BY name"),
                       {table, schema});
    if (!list) return out;
    for (const Row& r : *list) {
        IndexInfo ix;
        ix.name = r.text(QStringLiteral("name"));
        ix.table = table;
        ix.unique = r.flag(QStringLiteral("unique"));
        auto cols = select(QStringLiteral("SELECT name FROM pragma_index_info(?, ?) ORDER BY seqno"), {ix.name, schema});
        if (cols)
            for (const Row& c : *cols) ix.columns << c.text(QStringLiteral("name"));
        out.push_back(ix);
    }
    return out;
}

QString Database::tableSql(const QString& table) {
    const QString schema = schemaOf(table);
    if (schema.isEmpty()) return {};
    auto v = scalar(QStringLiteral("SELECT sql FROM %1.sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE")
                        .arg(quoteIdent(schema)),
                    {table});
    return v ? v->toString() : QString();
}

bool Database::addField(const QString& table, const FieldInfo& field, Error* error) {
    if (!checkOpen(error)) return false;
    if (!localTable(table))
        return fail(error, makeError(ErrorKind::NoSuchTable, QStringLiteral("No existe la tabla %1.").arg(table)));
    static const QRegularExpression typeRe(QStringLiteral("^[A-Za-z][A-Za-z0-9 ]*(\\(\\s*\\d+(\\s*,\\s*\\d+)?\\s*\\))?$"));
    QString type = field.type.trimmed();
    if (type.isEmpty()) type = QStringLiteral("TEXT");
    if (field.size > 0 && !type.contains(QLatin1Char('('))) type += QStringLiteral("(%1)").arg(field.size);
    if (field.name.trimmed().isEmpty() || !typeRe.match(type).hasMatch())
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("Definición de campo no válida.")));
    QString sql = QStringLiteral("ALTER TABLE main.%1 ADD COLUMN %2 %3").arg(quoteIdent(table), quoteIdent(field.name), type);
    if (field.notNull) sql += QStringLiteral(" NOT NULL");
    if (field.defaultValue.isValid() && !field.defaultValue.isNull()) {
        // the default goes in as a literal: numbers as written, anything else quoted
        const QString d = field.defaultValue.toString();
        static const QRegularExpression numRe(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
        if (numRe.match(d).hasMatch()) {
            sql += QStringLiteral(" DEFAULT ") + d;
        } else {
            QString lit = d;
            if (lit.size() >= 2 && lit.startsWith(QLatin1Char('\'')) && lit.endsWith(QLatin1Char('\'')))
                lit = lit.mid(1, lit.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
            sql += QStringLiteral(" DEFAULT '") + QString(lit).replace(QLatin1Char('\''), QStringLiteral("''")) +
                   QLatin1Char('\'');
        }
    } else if (field.notNull) {
        return fail(error, makeError(ErrorKind::Constraint,
                                     QStringLiteral("Un campo requerido nuevo necesita un valor predeterminado.")));
    }
    Error e;
    if (inTransaction_) return exec(sql, QVariantList{}, &e) ? succeed(error) : fail(error, e);
    WriteTransaction t(*this);
    if (!t.begin({}, &e) || !exec(sql, QVariantList{}, &e) || !t.commit(&e)) return fail(error, e);
    return succeed(error);
}

bool Database::rebuildTable(const QString& table, const QString& createSql, Error* error) {
    if (!checkOpen(error)) return false;
    if (!localTable(table))
        return fail(error, makeError(ErrorKind::NoSuchTable, QStringLiteral("No existe la tabla local %1.").arg(table)));
    if (inTransaction_)
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("Ya hay una transacción abierta.")));
    const std::vector<FieldInfo> oldFields = fields(table);
    const std::vector<IndexInfo> oldIndexes = indexes(table);
    QStringList indexSql;
    {
        auto rows = select(QStringLiteral("SELECT name, sql FROM main.sqlite_master WHERE type='index' AND "
                                          "tbl_name = ? COLLATE NOCASE AND sql IS NOT NULL"),
                           {table});
        if (rows)
            for (const Row& r : *rows) indexSql << r.text(QStringLiteral("name")) + QLatin1Char('\n') + r.text(QStringLiteral("sql"));
    }
    const QString old = QStringLiteral("_rebuild_") + table;
    Error e;
    // Views and saved queries name the table, not the renamed copy: keep the rename from
    // rewriting them.
    exec(QStringLiteral("PRAGMA legacy_alter_table=ON"));
    WriteTransaction t(*this);
    auto undo = [&]() {
        t.rollback();
        exec(QStringLiteral("PRAGMA legacy_alter_table=OFF"));
        return fail(error, e);
    };
    if (!t.begin({}, &e)) return undo();
    // The copy's name is one of the layer's: the statements that move the rows through it are the
    // layer's own; the new definition (the caller's text) is not.
    auto own = [&](const QString& sql) {
        Trusted layer(*this);
        return exec(sql, QVariantList{}, &e);
    };
    if (!own(QStringLiteral("ALTER TABLE main.%1 RENAME TO %2").arg(quoteIdent(table), quoteIdent(old))))
        return undo();
    if (!exec(createSql, QVariantList{}, &e)) return undo();
    if (!localTable(table)) {
        e = makeError(ErrorKind::Other, QStringLiteral("La nueva definición no crea la tabla %1.").arg(table));
        return undo();
    }
    const std::vector<FieldInfo> newFields = fields(table);
    QStringList common;
    for (const FieldInfo& f : newFields)
        for (const FieldInfo& o : oldFields)
            if (o.name.compare(f.name, Qt::CaseInsensitive) == 0) common << quoteIdent(f.name);
    if (!common.isEmpty() && !own(QStringLiteral("INSERT INTO main.%1(%2) SELECT %2 FROM main.%3")
                                      .arg(quoteIdent(table), common.join(QStringLiteral(", ")), quoteIdent(old))))
        return undo();
    if (!own(QStringLiteral("DROP TABLE main.%1").arg(quoteIdent(old)))) return undo();
    for (const QString& entry : indexSql) {
        const QString name = entry.section(QLatin1Char('\n'), 0, 0);
        const QString sql = entry.section(QLatin1Char('\n'), 1);
        bool keep = true;
        for (const IndexInfo& ix : oldIndexes) {
            if (ix.name != name) continue;
            for (const QString& c : ix.columns) {
                bool present = false;
                for (const FieldInfo& f : newFields) present = present || f.name.compare(c, Qt::CaseInsensitive) == 0;
                keep = keep && present;
            }
        }
        if (!keep || localTable(name)) continue;
        auto exists = scalar(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE type='index' AND name = ? COLLATE NOCASE"),
                             {name});
        if (exists && exists->toLongLong() > 0) continue;  // the new definition made it already
        if (!exec(sql, QVariantList{}, &e)) return undo();
    }
    if (!t.commit(&e)) return undo();
    exec(QStringLiteral("PRAGMA legacy_alter_table=OFF"));
    return succeed(error);
}

bool Database::vacuum(Error* error) {
    if (!checkOpen(error)) return false;
    if (inTransaction_)
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("Ya hay una transacción abierta.")));
    Error e;
    Trusted own(*this);  // the engine copies the layer's tables too
    if (!exec(QStringLiteral("VACUUM main"), QVariantList{}, &e)) return fail(error, e);
    return succeed(error);
}

bool Database::vacuumInto(const QString& targetPath, Error* error) {
    if (!checkOpen(error)) return false;
    if (targetPath.isEmpty() || QFileInfo::exists(targetPath))
        return fail(error, makeError(ErrorKind::NotFound, QStringLiteral("La base de datos %1 ya existe.").arg(targetPath)));
    if (inTransaction_)
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("Ya hay una transacción abierta.")));
    Error e;
    Trusted own(*this);
    if (!exec(QStringLiteral("VACUUM main INTO ?"), {QFileInfo(targetPath).absoluteFilePath()}, &e)) {
        QFile::remove(targetPath);
        return fail(error, e);
    }
    return succeed(error);
}

bool Database::copyRows(Database& from, Database& to, const QString& table, const QStringList& columns,
                        Error* error, const QString& whereSql, const QVariantList& whereParams) {
    auto failWith = [&](const Error& e) {
        to.lastError_ = e;
        if (error) *error = e;
        return false;
    };
    if (!from.checkOpen(error) || !to.checkOpen(error)) return false;
    if (columns.isEmpty()) return failWith(makeError(ErrorKind::Other, QStringLiteral("Faltan las columnas a copiar.")));
    QStringList quoted, marks;
    for (const QString& c : columns) {
        quoted << quoteIdent(c);
        marks << QStringLiteral("?");
    }
    QString readSql = QStringLiteral("SELECT %1 FROM %2").arg(quoted.join(QStringLiteral(", ")), quoteIdent(table));
    if (!whereSql.trimmed().isEmpty()) readSql += QStringLiteral(" WHERE ") + whereSql;
    const QString writeSql = QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                                 .arg(quoteIdent(table), quoted.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    Error e;
    const bool own = !to.inTransaction_;
    if (own && !to.beginWrite({}, &e)) return failWith(e);
    bool ok = true;
    {
        QSqlQuery src(from.connection());
        src.setForwardOnly(true);
        QSqlQuery dst(to.connection());
        if (!from.run(src, readSql, [&](QSqlQuery& q) { for (const QVariant& v : whereParams) q.addBindValue(v); }, e)) {
            ok = false;
        } else if (!dst.prepare(writeSql)) {
            e = toError(dst.lastError());
            ok = false;
        } else {
            while (ok && src.next()) {
                for (int i = 0; i < columns.size(); ++i) dst.bindValue(i, src.value(i));
                if (!dst.exec()) {
                    e = toError(dst.lastError());
                    ok = false;
                }
            }
            if (ok && src.lastError().type() != QSqlError::NoError) {
                e = toError(src.lastError());
                ok = false;
            }
        }
        src.finish();
        dst.finish();
    }
    if (!ok) {
        if (own) to.rollback();
        return failWith(e);
    }
    if (own && !to.commit(&e)) {
        to.rollback();
        return failWith(e);
    }
    to.lastError_ = Error();
    if (error) *error = Error();
    return true;
}

bool Database::createTableLike(Database& from, Database& to, const QString& table, Error* error) {
    if (!from.checkOpen(error) || !to.checkOpen(error)) return false;
    const QString schema = from.schemaOf(table);
    const QString sql = from.tableSql(table);
    if (schema.isEmpty() || sql.isEmpty()) {
        const Error e = makeError(ErrorKind::NoSuchTable, QStringLiteral("No existe la tabla %1.").arg(table));
        if (error) *error = e;
        return false;
    }
    if (to.localTable(table)) {
        const Error e = makeError(ErrorKind::DuplicateKey, QStringLiteral("Ya existe la tabla %1.").arg(table));
        if (error) *error = e;
        return to.fail(nullptr, e);
    }
    QStringList script{sql};
    auto ix = from.select(QStringLiteral("SELECT sql FROM %1.sqlite_master WHERE type='index' AND tbl_name = ? "
                                         "COLLATE NOCASE AND sql IS NOT NULL").arg(quoteIdent(schema)),
                          {table});
    if (ix)
        for (const Row& r : *ix) script << r.text(QStringLiteral("sql"));
    Error e;
    WriteTransaction t(to);
    const bool own = !to.inTransaction_;
    if (own && !t.begin({}, &e)) return to.fail(error, e);
    for (const QString& s : script)
        if (!to.exec(s, QVariantList{}, &e)) return to.fail(error, e);
    if (own && !t.commit(&e)) return to.fail(error, e);
    return to.succeed(error);
}

}  // namespace db
