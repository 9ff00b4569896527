#include "admin/consola.h"

#include "platform/db/database.h"
#include "shell/conexion.h"
#include "shell/rutinas_bd.h"

#include <QSqlDriver>
#include <QStringList>

#include <sqlite3.h>

namespace admin {

namespace {

// The words and names of a statement, lower case, with strings and comments skipped and quoted
// names unquoted.
QStringList palabras(const QString& sql)
{
    QStringList out;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace() || c == u';') {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            while (i < n && sql.at(i) != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const int fin = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = fin < 0 ? n : fin + 2;
        } else if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar cierre = c == u'[' ? QChar(u']') : c;
            QString nombre;
            ++i;
            while (i < n) {
                if (sql.at(i) == cierre) {
                    if (cierre != u']' && i + 1 < n && sql.at(i + 1) == cierre) {
                        nombre += cierre;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                nombre += sql.at(i++);
            }
            if (c != u'\'')
                out << nombre.toLower();
        } else if (c.isLetterOrNumber() || c == u'_') {
            const int ini = i;
            while (i < n && (sql.at(i).isLetterOrNumber() || sql.at(i) == u'_' || sql.at(i) == u'$'))
                ++i;
            out << sql.mid(ini, i - ini).toLower();
        } else {
            ++i;
        }
    }
    return out;
}

// SQLite's own reading of the text: more than one statement, or one that returns rows.
enum class Forma { Una, Varias, ConFilas, NoCompila };
Forma formaDe(db::Database& bd, const QString& sql)
{
    const QVariant h = bd.connection().driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        return Forma::NoCompila;
    sqlite3* raw = *static_cast<sqlite3* const*>(h.constData());
    const QByteArray texto = sql.toUtf8();
    const char* resto = texto.constData();
    const char* fin = resto + texto.size();
    int sentencias = 0;
    bool filas = false;
    while (resto < fin) {
        sqlite3_stmt* st = nullptr;
        const char* siguiente = nullptr;
        if (sqlite3_prepare_v2(raw, resto, int(fin - resto), &st, &siguiente) != SQLITE_OK) {
            sqlite3_finalize(st);
            return sentencias > 0 ? Forma::Varias : Forma::NoCompila;
        }
        if (st) {
            ++sentencias;
            filas = filas || sqlite3_column_count(st) > 0;
            sqlite3_finalize(st);
        }
        if (!siguiente || siguiente <= resto)
            break;
        resto = siguiente;
    }
    if (sentencias > 1)
        return Forma::Varias;
    return filas ? Forma::ConFilas : Forma::Una;
}

ResultadoConsola rechazo(const QString& m) { return {false, m}; }

}  // namespace

bool EsClaveConsola(const QString& tecleado) { return tecleado == QLatin1String("brinque"); }

ResultadoConsola EjecutaConsola(BaseConsola base, const QString& ruta, const QString& rutaCentral,
                                const QString& sql, const db::LockWait& espera)
{
    if (base == BaseConsola::Ninguna)
        return rechazo(QStringLiteral("Elija la base de datos (BD1 o BD2) en la que se ejecuta la instrucción."));
    const QStringList p = palabras(sql);
    if (p.isEmpty())
        return rechazo(QStringLiteral("Teclee la instrucción que se va a ejecutar."));
    static const QStringList permitidas = {QStringLiteral("insert"), QStringLiteral("update"),
                                           QStringLiteral("delete"), QStringLiteral("replace"),
                                           QStringLiteral("create"), QStringLiteral("drop"),
                                           QStringLiteral("alter"),  QStringLiteral("with")};
    if (!permitidas.contains(p.first()))
        return rechazo(QStringLiteral("La consola solo ejecuta instrucciones que cambian datos o tablas "
                                      "(no consultas, transacciones, ATTACH, DETACH, PRAGMA ni VACUUM)."));

    db::OpenOptions op;
    op.password = shell::ClaveArchivos();
    op.attachLinks = base == BaseConsola::Sucursal;
    op.centralPath = rutaCentral;
    db::Error e;
    auto bd = db::Database::open(ruta, op, &e);
    if (!bd)
        return rechazo(QStringLiteral("No se pudo abrir la base de datos ") + ruta + QStringLiteral(": ") + e.message);
    switch (formaDe(*bd, sql)) {
    case Forma::Varias:
        return rechazo(QStringLiteral("Teclee una sola instrucción: la consola no ejecuta varias a la vez."));
    case Forma::ConFilas:
        return rechazo(QStringLiteral("La consola no ejecuta instrucciones que devuelven registros."));
    case Forma::Una:
    case Forma::NoCompila:  // the run below reports SQLite's reason
        break;
    }
    const QString fallo = QStringLiteral("No se pudo ejecutar el comando: ") + sql + QLatin1Char(' ');
    db::WriteTransaction t(*bd);
    if (!t.begin({}, &e))
        return rechazo(fallo + e.message);
    // Inside the transaction the runner only returns its error; it is told after the rollback.
    // SQLite itself keeps the statement off the layer's own tables (password, links, saved
    // queries), however it names them.
    if (!shell::ProcesaSQLPersona(*bd, sql, db::UserSql::Console, &e, espera)) {
        t.rollback();
        return rechazo(e.message);  // already in the runner's words, the statement named
    }
    if (!t.commit(&e))
        return rechazo(fallo + e.message);
    return {true, {}};
}

}  // namespace admin
