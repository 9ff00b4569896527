#pragma once
// The logged-in user's permissions: the permission flags and the rights string, the main-menu state
// they give at login, the permission load, and the monitor log of Datos.db.

#include <QString>

#include <array>
#include <utility>
#include <vector>

namespace ui {
class Prompts;
}
namespace db {
class Database;
}

namespace shell {

inline constexpr char kSinAcceso[] = "Usted no tiene acceso a esta parte del sistema.";

// True when the user holds permission `id`; an id outside 0-255 is never held. Refused with
// `mensaje`: the critical "no access" message.
bool TienePermiso(int id, bool mensaje);
// True when position `posicion` (1-based) of Derechos is "1"; the same message otherwise.
bool TieneDerecho(int posicion, bool mensaje);

// Item names of the permission ids 1-34, in the order the menu routines go through them.
const std::vector<std::pair<int, QString>>& OpcionesPorPermiso();

// The other items a grant governs, each hanging on a node of the grants tree below its menu's node
// (holding one item of a menu never gives another): mDevoluciones (40), Vcredito (51),
// nFacturarVentas (50), then the items the catalogue of ids above does not name.
const std::vector<std::pair<QString, int>>& OtrasOpcionesConPermiso();
// The id that governs a menu item or menu; -1 for the personal items every user has (log out, own
// password, exit) and for names that are no item.
int PermisoDeOpcion(const QString& item);

// Ids the program added to the grants tree after the first catalogue: the money accounts and the
// cash drawer. A catalogue made before them gets them at the next login (AseguraPermisosFijos).
inline constexpr int kPermisoCuentas = 42;
inline constexpr int kPermisoCajon = 43;

// The Enabled state of every item the permissions govern, for a set of flags: ids 1-34 in order,
// then OtrasOpcionesConPermiso in its order.
std::vector<std::pair<QString, bool>> EstadoMenu(const std::array<bool, 256>& permisos);

// Adds the fixed rows a catalogue lacks (ids kPermisoCuentas and kPermisoCajon), each granted to the
// users who may grant permissions (id 9), in one transaction. False (nothing written) on a failure.
bool AseguraPermisosFijos(db::Database& bd);

// All 256 flags off.
void LimpiaPermisos();
// Every governed item off (before anyone has logged in).
void DeshabilitaMenus();
// Items from the flags of G().PermisosUsuario.
void AplicaPermisosMenu();
// First run: the catalogue menu with its branch and users items on, so branches, users and
// permissions can be set up.
void HabilitaMenusInicio();

// Fills PermisosUsuario from consUsuarioPermiso for the user and, when `permisosIguala` names an
// existing user, for that user too. With no rows and an empty Permisos table: first run
// (SinPermisos 3). A read failure shows "No se encontraron los datos de permisos." and grants
// nothing; only the protected administrator (user 1) then gets the first-run state.
void LeerPermisosUsr(int idUsuario, const QString& permisosIguala);

// --- monitor log (MonitorSistema of Datos.db) ---
// Opens the log; false (and the log stays off) when Datos.db cannot be opened.
bool AbreMonitor();
void CierraMonitor();
bool MonitorAbierto();
// Appends one row (Equipo = NombreEquipo, Usuario = ClaveUsuario, Vivo = 4). A row that cannot be
// written is dropped without a message; false then.
bool RegistraMonitor(const QString& proceso, const QString& mensaje);

// This computer's name left-aligned in 40 characters.
QString NombreEquipo40(const QString& nombre);

}  // namespace shell
