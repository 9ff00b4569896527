#pragma once
// The login: what the login dialog does when it opens, when the person accepts a name and password,
// and the log-out that comes before the dialog shows again. The dialog itself (forms/frmlogin) only
// gathers the two texts and calls these.

#include "platform/db/database.h"

#include <QString>

#include <optional>

namespace shell {

// The dialog's load: no user yet, this computer's name, the monitor log (off when Datos.db cannot
// be opened; the login goes on), and every permission-controlled item off.
void IniciaLogin();

enum class ResultadoLogin {
    Aceptado,   // the user is logged in: state, permissions and menus are set
    Rechazado,  // no such user with that password
    SinServidor // the central file could not be read
};

// Looks the user up by name (any letter case) and checks the password through the password helper.
// On success: the welcome message (and the advice when the password is the user name), Derechos,
// UsuarioActual, ClaveUsuario, NombreCompleto, status panel 1, the permission load and the menus.
ResultadoLogin Acepta(const QString& nombre, const QString& clave);

// The rows of Personal whose user name is `nombre` without regard to case, accented letters and ñ
// included (the capture field types capitals; SQLite's NOCASE folds only A-Z).
std::optional<db::Rows> UsuariosConNombre(db::Database& bd, const QString& nombre, db::Error* error = nullptr);

// Log-out: the user, his rights and permissions are forgotten and the governed items switched off.
void CierraSesion();

// Status panel 1 of a logged-in user: the id in two digits, ":" and the full name.
QString TextoUsuario(int clave, const QString& nombreCompleto);

}  // namespace shell
