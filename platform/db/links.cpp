// Linked tables: a branch file reaches the central file's tables through the attached file.
#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <QDir>
#include <QFileInfo>

namespace db {

using detail::canonicalPath;
using detail::makeError;
using detail::quoteIdent;

// ---------------------------------------------------------------------------------------------
// linked tables

bool Database::attachSource(const QString& sourceFile, const QString& password, QString* alias, Error& e) {
    for (const Attached& a : attached_) {
        if (a.source.compare(sourceFile, Qt::CaseInsensitive) == 0) {
            *alias = a.alias;
            return true;
        }
    }
    QString found;
    if (!centralHint_.isEmpty()) {
        if (QFileInfo(centralHint_).isFile()) found = QFileInfo(centralHint_).absoluteFilePath();
    } else {
        QDir dir = QFileInfo(path_).absoluteDir();
        for (int level = 0; level <= 3 && found.isEmpty(); ++level) {
            for (const QString& f : dir.entryList(QDir::Files)) {
                if (f.compare(sourceFile, Qt::CaseInsensitive) == 0) {
                    found = dir.absoluteFilePath(f);
                    break;
                }
            }
            if (!dir.cdUp()) break;
        }
    }
    if (found.isEmpty()) {
        e = makeError(ErrorKind::NotFound,
                      QStringLiteral("No se encontró la base de datos vinculada %1.").arg(sourceFile));
        return false;
    }
    if (canonicalPath(found) == canonicalPath(path_)) {
        e = makeError(ErrorKind::Other,
                      QStringLiteral("Una base de datos no puede vincularse a sí misma."));
        return false;
    }
    if (inTransaction_) {
        e = makeError(ErrorKind::Other,
                      QStringLiteral("No se puede abrir otra base de datos dentro de una transacción."));
        return false;
    }
    const QString name = attached_.empty() ? QStringLiteral("central")
                                           : QStringLiteral("central%1").arg(attached_.size() + 1);
    Trusted own(*this);  // the attachment and the password read below are the layer's own
    Error ae;
    if (!exec(QStringLiteral("ATTACH DATABASE ? AS %1").arg(quoteIdent(name)), {found}, &ae)) {
        e = ae;
        return false;
    }
    auto detach = [&]() { exec(QStringLiteral("DETACH DATABASE %1").arg(quoteIdent(name))); };
    auto hasPw = scalar(QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE type='table' "
                                       "AND name='_dbpassword'").arg(quoteIdent(name)),
                        {}, &ae);
    if (!hasPw) {
        detach();
        e = ae;
        if (e.kind == ErrorKind::Other) e.kind = ErrorKind::Corrupt;
        return false;
    }
    if (hasPw->toLongLong() > 0) {
        auto pw = scalar(QStringLiteral("SELECT Password FROM %1._dbpassword LIMIT 1").arg(quoteIdent(name)),
                         {}, &ae);
        if (pw && !pw->isNull() && pw->toString() != password) {
            detach();
            e = makeError(ErrorKind::WrongPassword,
                          QStringLiteral("La contraseña de la base de datos %1 no es válida.").arg(sourceFile));
            return false;
        }
    }
    exec(QStringLiteral("PRAGMA %1.synchronous=FULL").arg(quoteIdent(name)));
    attached_.push_back({name, found, sourceFile});
    if (centralPath_.isEmpty()) centralPath_ = found;
    DatabaseRegistry::add(found, this);
    *alias = name;
    return true;
}

bool Database::ensureMetaTables(Error& e) {
    Trusted own(*this);
    Error ee;
    if (!exec(QStringLiteral("CREATE TABLE IF NOT EXISTS main._links(Name TEXT PRIMARY KEY COLLATE NOCASE, "
                             "Source TEXT NOT NULL)"),
              QVariantList{}, &ee) ||
        !exec(QStringLiteral("CREATE TABLE IF NOT EXISTS main._queries(Name TEXT PRIMARY KEY COLLATE NOCASE, "
                             "Kind TEXT NOT NULL, Sql TEXT NOT NULL)"),
              QVariantList{}, &ee)) {
        e = ee;
        return false;
    }
    return true;
}

bool Database::createLink(const QString& name, const QString& sourceFile, Error* error) {
    if (!checkOpen(error)) return false;
    if (name.trimmed().isEmpty() || sourceFile.trimmed().isEmpty())
        return fail(error, makeError(ErrorKind::Other, QStringLiteral("Falta el nombre de la tabla o del archivo.")));
    if (localTable(name))
        return fail(error, makeError(ErrorKind::DuplicateKey,
                                     QStringLiteral("Ya existe una tabla local con el nombre %1.").arg(name)));
    if (hasQuery(name))
        return fail(error, makeError(ErrorKind::DuplicateKey,
                                     QStringLiteral("Ya existe una consulta con el nombre %1.").arg(name)));
    QString alias;
    Error e;
    if (!attachSource(sourceFile, password_, &alias, e)) return fail(error, e);
    auto has = scalar(QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE type='table' AND name = ? "
                                     "COLLATE NOCASE").arg(quoteIdent(alias)),
                      {name}, &e);
    if (!has) return fail(error, e);
    if (has->toLongLong() == 0)
        return fail(error, makeError(ErrorKind::NoSuchTable,
                                     QStringLiteral("La tabla %1 no existe en %2.").arg(name, sourceFile)));
    const bool own = !inTransaction_;
    if (own && !beginWrite({}, &e)) return fail(error, e);
    Trusted layer(*this);
    if (!ensureMetaTables(e) ||
        !exec(QStringLiteral("INSERT OR REPLACE INTO main._links(Name, Source) VALUES(?, ?)"), {name, sourceFile},
              &e) ||
        (own && !commit(&e))) {
        if (own) rollback();
        return fail(error, e);
    }
    return succeed(error);
}

bool Database::removeLink(const QString& name, Error* error) {
    if (!checkOpen(error)) return false;
    if (!localTable(QStringLiteral("_links")))
        return fail(error, makeError(ErrorKind::NoSuchTable, QStringLiteral("No existe el vínculo %1.").arg(name)));
    int n = 0;
    Error e;
    Trusted own(*this);
    if (!exec(QStringLiteral("DELETE FROM main._links WHERE Name = ? COLLATE NOCASE"), {name}, &e, &n))
        return fail(error, e);
    if (n == 0)
        return fail(error, makeError(ErrorKind::NoSuchTable, QStringLiteral("No existe el vínculo %1.").arg(name)));
    return succeed(error);
}

std::vector<Link> Database::links() {
    std::vector<Link> out;
    if (!localTable(QStringLiteral("_links"))) return out;
    Trusted own(*this);
    auto rows = select(QStringLiteral("SELECT Name, Source FROM main._links ORDER BY Name"));
    if (!rows) return out;
    for (const Row& r : *rows) out.push_back({r.text(QStringLiteral("Name")), r.text(QStringLiteral("Source"))});
    return out;
}

}  // namespace db
