#include "testutil.h"
#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>

namespace testutil {
QString sourceDir() {
    const QString env = qEnvironmentVariable("QUORVEL_TEST_DATA");
    return env.isEmpty() ? QStringLiteral(QUORVEL_TESTS_SOURCE_DIR_FALLBACK) : env;
}
QString binDir() {
    const QString env = qEnvironmentVariable("QUORVEL_BIN");
    return env.isEmpty() ? QCoreApplication::applicationDirPath() : env;
}
QString helperPath(const QString& name) { return QDir(binDir()).filePath(name); }
void Teclea(QWidget* w, const QString& texto) {
    for (const QChar c : texto)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

QStringList Crudo(const QString& ruta, const QString& sql, QString* error) {
    return Crudo(ruta, QStringList{sql}, error);
}
QStringList Crudo(const QString& ruta, const QStringList& instrucciones, QString* error) {
    QStringList filas;
    const QString nombre = QStringLiteral("crudo-") + QUuid::createUuid().toString();
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
        c.setDatabaseName(ruta);
        if (!c.open()) {
            if (error) *error = c.lastError().text();
        } else {
            if (error) error->clear();
            for (const QString& sql : instrucciones) {
                QSqlQuery q(c);
                filas.clear();
                if (!q.exec(sql)) {
                    if (error) *error = q.lastError().databaseText();
                    break;
                }
                while (q.next()) {
                    QStringList v;
                    for (int i = 0; i < q.record().count(); ++i) v << q.value(i).toString();
                    filas << v.join(u'|');
                }
            }
            c.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    return filas;
}
QString CapaCruda(const QString& ruta) {
    QString out;
    for (const QString& t : Crudo(ruta, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                                       "substr(name, 1, 1) = '_' ORDER BY name"))) {
        QStringList columnas;
        for (const QString& c : Crudo(ruta, QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(t)))
            columnas << QStringLiteral("quote(\"%1\")").arg(c);
        out += t + u':';
        for (const QString& f : Crudo(ruta, QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid")
                                                .arg(columnas.join(QStringLiteral(" || ',' || ")), t)))
            out += f.toUtf8().toHex() + u';';
        out += u'\n';
    }
    return out;
}
}
