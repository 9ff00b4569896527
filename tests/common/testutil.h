#pragma once
#include <QString>
#include <QStringList>
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
// Runs one statement on the file through a plain SQLite connection, as another program would (no
// database layer, no guard): the rows, each its values joined by '|'; on failure the engine's text
// in *error (when given) and no rows.
QStringList Crudo(const QString& ruta, const QString& sql, QString* error = nullptr);
// Several statements in order on one such connection; the rows of the last.
QStringList Crudo(const QString& ruta, const QStringList& sql, QString* error = nullptr);
// Every table of the file whose name begins with '_' (the layer's own), each row's values quoted by
// the engine (type and bytes), read the same plain way: equal texts are byte-identical tables.
QString CapaCruda(const QString& ruta);
}
