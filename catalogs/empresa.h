#pragma once
// The company row `Empresa` of the central file and the branch this machine starts in (Dir of the
// application folder's Direccion.db). Both are read at start-up only, so a save takes effect at the
// next start; the running program keeps what it read.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QString>

#include <optional>

namespace catalogos {

// The fields as the form shows and takes them: the two numbers as typed.
struct DatosEmpresa {
    QString NombreEmp, RazonSocial, RFC, Direccion, EmailFacturas;
    QString NumSucursales, SucursalDefault;
};

// LeeEmpresa: the first company row, Null read as "". An empty optional on failure (in *error).
std::optional<DatosEmpresa> LeeEmpresa(db::Database& codigos, db::Error* error = nullptr);

// Checks the two numbers before anything is written: "" when the data may be saved, else the message.
// The default branch must have its Sucursales row, since start-up stops without one.
QString ValidaEmpresa(db::Database& codigos, const DatosEmpresa& d);

// GrabaEmpresa: rewrites the company row (added when the file has none). RazonSocial keeps exactly
// one trailing blank however often it is saved.
bool GrabaEmpresa(db::Database& codigos, const DatosEmpresa& d, db::Error* error = nullptr);

// GrabaSucursalDefault: Dir.Sucursal of <rutaApp>/Direccion.db.
bool GrabaSucursalDefault(const QString& rutaApp, int sucursal, db::Error* error = nullptr);

// The form's "&Guardar": checks, the company row, the machine's branch, then "Datos guardados, salga y
// vuelva a entrar."; each refusal or failure is told instead. True when both were written.
bool GuardaEmpresa(db::Database& codigos, const QString& rutaApp, const DatosEmpresa& d,
                   ui::Prompts& prompts);

}  // namespace catalogos
