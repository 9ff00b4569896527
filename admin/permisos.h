#pragma once
// The permission catalogue (table Permisos of the central file): the rows, the tree they form by
// their parents' names, the name lookups of the users screen, and the saves of the catalogue editor.
//
// The menus and commands test permissions by number, so a row keeps its IdPermiso for life: a
// rename changes the name only, and the grants (UsuarioPermiso, by number) stay with the row.

#include "platform/db/database.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace admin {

struct Permiso {
    qint64 IdPermiso = 0;
    QString NombrePermiso;
    QString DescripcionPermiso;
    QString PermisoPadre;  // "" for a root
};

// The rows in IdPermiso order; nullopt and the error when the table cannot be read.
std::optional<std::vector<Permiso>> LeePermisos(db::Database& bd, db::Error* error = nullptr);

struct NodoPermiso {
    QString llave;   // "c" & IdPermiso
    QString texto;   // NombrePermiso
    qint64 id = 0;
    int padre = -1;  // index of the parent node, -1 for a root
    std::vector<int> hijos;  // in IdPermiso order
};

struct ArbolPermisos {
    std::vector<NodoPermiso> nodos;  // in IdPermiso order
    std::vector<int> raices;         // in IdPermiso order
    // "No se encontro el nodo " & parent name, once per row placed as a root because its parent is
    // missing or is the row itself or one of its own descendants.
    QStringList avisos;
};

// The tree of the rows, whatever their order. A parent is looked for by name among all rows (when
// two rows share the name, the one with the higher number, as the old tree took the last node).
ArbolPermisos ArmaArbol(std::vector<Permiso> filas);

// A node's box in the grants tree, read from the granted numbers: ticked when it and everything
// under it are granted, partly ticked when it is granted but something under it is not. A granted
// node stays reachable only through the menus above it, so a partly ticked node is granted itself.
enum class Marca { Ninguna, Parcial, Completa };
Marca MarcaNodo(const ArbolPermisos& arbol, const std::vector<qint64>& otorgados, int nodo);
// A click on a node's box: a fully ticked node is cleared with everything under it, and each node
// above it left with nothing granted under it is cleared too; any other node is granted with
// everything under it and every node above it. The numbers granted afterwards, in order.
std::vector<qint64> CambiaMarca(const ArbolPermisos& arbol, std::vector<qint64> otorgados, int nodo);

// Key of the node with that text ("" when none; of the last one when several).
QString BuscaLlaveNodo(const ArbolPermisos& arbol, const QString& nombre);
// The first row (in IdPermiso order) with that name: its number as text in id mode, else its
// description; "" when none.
QString BuscaPermiso(const std::vector<Permiso>& filas, const QString& nombre, bool modoId);

// The code that unlocks the catalogue editor, compared exactly.
bool EsClavePermisos(const QString& tecleado);

// Numbers the program tests in its menus and commands; their rows are never deleted.
inline constexpr qint64 kUltimoPermisoFijo = 53;
inline constexpr qint64 kMaximoPermiso = 255;

struct ResultadoPermiso {
    bool ok = false;
    QString mensaje;  // why it was refused or failed ("" on success)
    qint64 id = 0;    // the row saved
};

// "Actualiza": a new row (id nullopt) under highest + 1, or the row `id` edited. Checked inside one
// write transaction: a number above 255, an empty name, a name another row has, a parent that does
// not exist or is the row itself or one of its descendants. A rename carries the children's
// PermisoPadre along in the same transaction. Nothing is written when refused.
ResultadoPermiso GuardaPermiso(db::Database& bd, std::optional<qint64> id, const Permiso& datos,
                               const db::LockWait& espera = {});

// What "Borrar" would refuse before asking: the row gone, a fixed number, a row with children.
// "" when it may be asked.
QString RevisaBorrado(db::Database& bd, qint64 id);
// The row and its grants in one write transaction, after RevisaBorrado's checks again inside it.
ResultadoPermiso BorraPermiso(db::Database& bd, qint64 id, const db::LockWait& espera = {});

inline constexpr char kNodoNoEncontrado[] = "No se encontro el nodo.";

}  // namespace admin
