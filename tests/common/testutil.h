#pragma once
#include <QString>
#include <QTemporaryDir>

class QWidget;

namespace testutil {
// Folder of the test sources (test data lives below it).
QString sourceDir();
// Folder of the built executables (helper programs started by tests).
QString binDir();
// Path of a helper executable built beside the tests.
QString helperPath(const QString& name);
// Types the text into the widget key by key, as QTest::keyClicks does for ASCII, accented letters
// and ñ included (QTest knows keys for ASCII only).
void Teclea(QWidget* w, const QString& texto);
}
