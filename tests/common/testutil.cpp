#include "testutil.h"
#include <QCoreApplication>
#include <QDir>
#include <QTest>

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
}
