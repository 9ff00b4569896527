#pragma once
// A demo data folder for the tests that work on one: made by the setup tool from the source tree's
// schema scripts and report templates, with the shared state reset and pointed at its branch 1.

#include <QString>

namespace testutil {

// Makes the folder at `carpeta` (which must not exist); on success the program's handles are
// closed, the shared state reset, and CarpetaDatos, SucursalActual 1 and DescripcionC[1] "Matriz"
// set. The setup tool's message when it fails ("" on success).
QString CreaCarpetaDemo(const QString& carpeta);
// Points the program at a folder made before (closes its handles, resets the shared state, sets
// CarpetaDatos, SucursalActual and DescripcionC[1] as above).
void UsaCarpetaDemo(const QString& carpeta);

}  // namespace testutil
