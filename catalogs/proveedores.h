#pragma once
// The supplier catalogue (`Proveedores`, central file) and the suppliers of each product
// (`ProductoProveedor`, listed through the saved query `cProductoProv`). A supplier whose RFC
// changes keeps its products: the links move with it in the same transaction; a deleted supplier
// takes its links along.

#include "platform/db/database.h"

#include <QString>
#include <QStringList>

namespace catalogos {

struct Proveedor {
    QString RFC, NombreCompania, Direccion, Ciudad, Colonia, Estado, Telefono, NombreContacto,
        CargoContacto, Fax, CorreoElectronico, CodPostal, Pais;
};

// A row of `Proveedores` as the form shows it (Null reads as "").
Proveedor ProveedorDeFila(const db::Row& fila);

// Search fields of the catalogue, in the order of its list.
const QStringList& CamposBusquedaProveedores();

// All suppliers ordered by `campo` (texto empty) or those whose `campo` begins with texto (taken
// literally). False when the search failed (message shown; filas then holds the whole list).
bool BuscaProveedores(db::Database& bd, const QString& campo, const QString& texto, db::Rows* filas);

// The fields a supplier cannot be saved without (the R.F.C. and the name), checked by every save:
// the message naming the first one left empty (MensajeRequerido), "" when none is.
QString RequeridosProveedor(const Proveedor& p);

struct ResultadoProveedor {
    bool ok = false;
    db::Error error;  // what failed, for MuestraErrorBD
};

// One transaction: insert (nuevo) or rewrite the supplier keyed rfcAnterior; a changed RFC moves
// its product links. A required field left empty is refused by name; any failure writes nothing.
ResultadoProveedor GrabaProveedor(db::Database& bd, const Proveedor& p, bool nuevo,
                                  const QString& rfcAnterior);
// One transaction: the supplier and its product links.
ResultadoProveedor BorraProveedor(db::Database& bd, const QString& rfc);

// --- suppliers of a product ---
inline constexpr char kErrorAgregaProveedor[] =
    "Error al insertar proveedor o ya existe el proveedor en la lista.";

// The rows of cProductoProv for the product.
bool ProveedoresProducto(db::Database& bd, qint64 claveProducto, db::Rows* filas,
                         db::Error* error = nullptr);
// Adds the link; false when the pair is listed already, no supplier has that RFC, or the write
// failed (nothing written then).
bool AgregaProveedorProducto(db::Database& bd, qint64 claveProducto, const QString& rfc,
                             db::Error* error = nullptr);
bool BorraProveedorProducto(db::Database& bd, qint64 claveProducto, const QString& rfc,
                            db::Error* error = nullptr);

}  // namespace catalogos
