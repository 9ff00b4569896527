#pragma once
#include <QString>
#include <QTemporaryDir>

namespace testutil {
// Folder of the test sources (test data lives below it).
QString sourceDir();
// Folder of the built executables (helper programs started by tests).
QString binDir();
// Path of a helper executable built beside the tests.
QString helperPath(const QString& name);
}
