#pragma once
// Where the print server finds its work: its own Direccion.db (data folder and branch served), the
// central file's branch row and the branch file with its invoice prefix and printer.

#include "platform/db/database.h"

#include <QString>

#include <memory>

namespace tarvex {

// The print server's own folder: $TARVEX_HOME when set, else the executable's folder.
QString CarpetaPrograma();
// <carpeta>/Direccion.db
QString RutaDireccion(const QString& carpetaPrograma);

// The first row of table Direccion.
struct Direccion {
    QString CarpetaBase;  // data folder, without a trailing separator
    int NumSucursal = 0;
};

// Reads the first row. False with a Spanish message when the file, the table or the row is missing.
bool LeeDireccion(const QString& ruta, Direccion* d, QString* error);
// Writes the first row (the row is shipped with the program and never added here).
bool EscribeDireccion(const QString& ruta, const Direccion& d, QString* error);

// The branch served, opened.
struct Sucursal {
    QString CarpetaBase;
    int NumSucursal = 0;
    QString CarpetaSucursal;  // Sucursales.DescripcionC
    QString PrefijoFact;      // Parametros.PrefijoFact
    QString Impresora;        // Parametros.Printer1: the branch's invoice printer ("" = default)
    int IVA = 16;             // Parametros.IVA, 16 when it is 0
    QString NombreEmp, RazonSocial, RFCEmpresa, DireccionEmp;  // Empresa, for the printout
    std::unique_ptr<db::Database> bd;  // the branch file
};

// Opens the central file, finds the branch's row, opens the branch file and reads its parameters.
// Null with a Spanish message on any failure ("No existe la sucursal " & n when there is no row).
std::unique_ptr<Sucursal> AbreSucursal(const Direccion& d, QString* error);

// --- the operator's change of branch ---

// "" when the chosen file name may name a data folder, else the message to show.
QString ValidaArchivo(const QString& nombre);
// The folder of the chosen file, without a trailing separator.
QString CarpetaDeArchivo(const QString& nombre);
// The typed branch number: a whole number 1..19. False with the message otherwise.
bool ValidaNumeroSucursal(const QString& tecleado, int* n, QString* error);

}  // namespace tarvex
