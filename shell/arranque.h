#pragma once
// Start-up reads: Direccion.db of the application folder (data folder, terminal, branch), the
// company, branches, sellers and currencies of the central file, and the current branch's
// parameters; the data-path recovery when the central file cannot be read.
//
// Every routine that can stop the start-up shows its Spanish message, calls TerminaPrograma() and
// returns false; the caller then returns at once.

#include <QString>

namespace shell {

// The text shown when the central file cannot be read, before the Yes/No question.
QString TextoRecuperacion(const QString& carpetaDatos);
// Why `carpeta` cannot be a data folder (no central file, or one whose branches and company cannot
// be read); "" when it can. Only reads.
QString RevisaCarpetaDatos(const QString& carpeta);
// The word that authorises the data-path change.
inline constexpr char kPalabraRuta[] = "pirx";

// Reads table Dir of <rutaApp>/Direccion.db into CarpetaDatos (without trailing separator),
// TerminalActual and SucursalActual. A missing or unreadable file, a Terminal that is not a number
// from 0 to 255 or a Sucursal that is not a number from 0 to 10 stop the program.
bool LeeDireccion(const QString& rutaApp);

// Company row, branches and sellers (LeerSucursales), the current branch's parameters when its
// file exists (EstableceSucursal) and the currencies (LeerMonedas).
bool LeerParametros();
// Branches 0-10 and sellers; a central file that cannot be read leads to the data-path recovery,
// which always ends the program.
bool LeerSucursales();
// Exchange rates; a bad table shows "Error al leer el catálogo de monedas." and start-up goes on.
void LeerMonedas();
// The data-path recovery: question, password word, and Establecerutaerr. Always ends the program.
void RecuperaRutaDatos();
// Lets the person choose the data folder with the folder chooser until one passes
// RevisaCarpetaDatos (or the choice is cancelled), writes it in Dir, reads the company again, links
// the branch file again to the central file, tells the person and ends the program.
void Establecerutaerr();
// Links the shared tables of the current branch file to the central file of CarpetaDatos again.
void CreaLigasaBDCodigos();

// The start-up reads after Dir: LeerParametros, InitFormasdePago, panel 3 (data folder in capitals)
// and the two file paths. False when the program is to end.
bool LecturasArranque();

}  // namespace shell
