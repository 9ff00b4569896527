#pragma once
// Making the current branch (SucursalActual) the working branch: its Parametros row into the
// shared state, the cash-movement menu, and the print server when the branch uses it.

#include <QString>

namespace shell {

// Reads the first row of Parametros of the current branch file. On a missing file or table, a
// missing column, Null where a value is required, or a number outside its type: a message naming
// the file and the field, and false (nothing after the failing field is read).
bool EstableceSucursal();

// The tax percent the branch charges on a taxed line: its IVA parameter when that is not 0, else 16.
int IVAPantalla(int parametroIVA);

// Starts the print server (<application path>/Plovix/tarvex) for the data folder and branch unless
// one holds their lock or the one this program started for them is still running (starting up).
// True when it was started; false with `motivo` "" when one runs, else with why it could not start.
bool IniciaServidorImpresion(const QString& carpetaDatos, int sucursal, QString* motivo = nullptr);
// With UsarServidorImp on, makes sure the current branch's print server runs (starting it when
// needed): "" when it does, else the warning the counter shows. "" with the server off.
QString AvisoServidorImpresion();
// Forget the servers started by this program (tests).
void OlvidaServidoresIniciados();

}  // namespace shell
