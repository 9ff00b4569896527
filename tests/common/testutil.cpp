#include "testutil.h"
#include <QCoreApplication>
#include <QDir>

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
}
