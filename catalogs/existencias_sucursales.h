#pragma once
// The stock of one product in the company's other branches, read from each branch's own file.

#include "platform/db/database.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

namespace catalogos {

struct SucursalesExistencia {
    QString carpetaDatos;
    std::array<QString, 11> nombres;  // DescripcionC: the branch folder names
    int numSucursales = 0;            // the company's NumSucursales
    int actual = 0;                   // SucursalActual, left out
    QString clave;                    // the file password
};

// One entry per other branch holding a stock row for the product, in branch-number order: the
// stock "####0", a tab, a blank and the folder name. Branches 1 to min(numSucursales, 10); a branch
// without folder name, without a file, with a file that cannot be read, or without a stock row
// gives no entry and no message. A product not saved yet (clave 0) gives none. Each file is opened
// on its own short-lived read-only connection.
QStringList ExistenciasOtrasSucursales(const SucursalesExistencia& s, qint64 claveProducto);

// The entry of one branch.
QString EntradaExistencia(double existencia, const QString& nombre);

// Another branch's file on its own short-lived read-only connection, without its links to the
// central tables; nullptr when it is not there or cannot be opened.
std::unique_ptr<db::Database> AbreSucursalLectura(const QString& ruta, const QString& clave);

}  // namespace catalogos
