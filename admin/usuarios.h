#pragma once
// The shop's users (Personal of the central file): the 50-position rights string, the grants of the
// permission tree (UsuarioPermiso), the save and delete of the users screen with the administrator's
// protections, the list searches, and the own-password change.
//
// Passwords are kept as hashes (shell::HashClave); no routine here ever reads one back for showing.

#include "platform/db/database.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace admin {

inline constexpr int kLargoDerechos = 50;
inline constexpr qint64 kAdministrador = 1;

// --- the rights string ---
// Padded with blanks to 50 (a Null reads as "").
QString RellenaDerechos(const QString& derechos);
// A new user's string: rights 41 and 42.
QString DerechosNuevo();
// "1" at position p (1-50); unchanged when already granted or p is outside.
QString AsignaDerecho(const QString& derechos, int p);
// A blank at position p.
QString QuitaDerecho(const QString& derechos, int p);
// What is stored: exactly 50 characters, position 49 always blank.
QString DerechosParaGuardar(const QString& derechos);
// The "Permisos:" list: Format(p, "00") & " " & Descripcion for every non-blank position that the
// catalogue names, in position order.
QStringList ItemsDerechos(const QString& derechos, const std::map<int, QString>& catalogo);
// The position an item of that list stands for (its first two characters); 0 when none.
int PosicionDeItem(const QString& item);

// CatalogoDerechos: position -> description. nullopt when it cannot be read.
std::optional<std::map<int, QString>> LeeCatalogoDerechos(db::Database& bd, db::Error* error = nullptr);

// --- users ---
struct Usuario {
    qint64 ClavePersonal = 0;
    QString PApellidoPat, PApellidoMat, PNombres, Domicilio, NombreUsuario, PermisosIguala, Derechos, Niveles;
};
// The list of the screen, by ClavePersonal (the password column is never read).
std::optional<std::vector<Usuario>> LeeUsuarios(db::Database& bd, db::Error* error = nullptr);
// The permission numbers granted to the user, in order.
std::optional<std::vector<qint64>> LeeGrants(db::Database& bd, qint64 usuario, db::Error* error = nullptr);

// The fields the screen hands to a save.
struct DatosUsuario {
    QString PApellidoPat, PApellidoMat, PNombres, Domicilio, NombreUsuario, PermisosIguala;
    QString Clave;     // as typed; "" keeps the stored hash (an existing user only)
    QString Derechos;  // the rights string being edited
    std::vector<qint64> Permisos;  // ticked nodes
};

// The screen's ChecaCampos: surnames, names, address and login not blank, and a password for a
// new user.
bool ChecaCampos(const DatosUsuario& d, bool nuevo);
// The caption of the first field ChecaCampos finds empty, "" when none is.
QString CampoFaltante(const DatosUsuario& d, bool nuevo);

inline constexpr char kCamposIncorrectos[] = "Cheque que los campos esten correctos.";
inline constexpr char kUsuarioRepetido[] = "Ya existe un usuario con ese nombre.";

struct ResultadoUsuario {
    bool ok = false;
    QString mensaje;  // why it was refused or failed
    qint64 id = 0;
};

// "&Guardar": a new user (id nullopt; highest id + 1) or user `id` edited by `usuarioActual`.
// Refused, in this order: the administrator edited by anybody else; ChecaCampos; a login name
// another user has (any letter case); a PermisosIguala naming nobody or the user himself; the
// administrator without grants 1 and 9; the user gone. Then the row, Niveles "1", the hash of a
// typed password and the whole grant set are written in one write transaction.
ResultadoUsuario GuardaUsuario(db::Database& bd, std::optional<qint64> id, const DatosUsuario& d,
                               qint64 usuarioActual, const db::LockWait& espera = {});

// "&Borrar" before its question: never the administrator nor the logged-in user. "" when allowed.
QString RevisaBorradoUsuario(qint64 id, qint64 usuarioActual);
// The row and its grants in one write transaction.
ResultadoUsuario BorraUsuario(db::Database& bd, qint64 id, qint64 usuarioActual,
                              const db::LockWait& espera = {});

// The searches of the list: the first user (by ClavePersonal) whose login, or whose full name
// (surnames and names joined by blanks), begins with the text (trailing blanks dropped, taken
// literally, any letter case). nullopt when none or on error.
std::optional<qint64> BuscaPorNombreUsuario(db::Database& bd, const QString& texto);
std::optional<qint64> BuscaPorNombreCompleto(db::Database& bd, const QString& texto);

// --- own password ---
enum class CambioClave { NoPermitido, NoCoincide, Cambiado, Fallo };
// The logged-in user's password: the current one must match his row's hash; the new one must equal
// its confirmation exactly and not be empty.
CambioClave CambiaClave(db::Database& bd, qint64 usuario, const QString& actual, const QString& nueva,
                        const QString& confirma, QString* error = nullptr);

}  // namespace admin
