#pragma once
// The small code tables of the central file (product categories, payment forms, customer purchase
// types, product types): one description per table, the rows in the order the form lists them, and
// the add, key/description change and delete that the grid form runs. Some rows are the program's
// own (the sale screen and the customer catalogue rely on them) and are never deleted or re-keyed.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QList>
#include <QString>

#include <optional>

namespace catalogos {

enum class TipoTabla { Categorias, TipoPago, TipoCompra, TipoProducto };

struct TablaCodigos {
    QString forma;       // object name of the form
    QString titulo;      // caption
    int permiso = 0;
    QString tabla;       // base table the writes go to
    QString clave;       // key column
    QString consulta;    // what the grid lists
    QString pregunta;    // delete question, before the row's description
    QString protegida;   // message for a protected row; "" when the table has none
    QList<qint64> protegidas;
    bool fuenteParametro = true;  // the grid takes the branch's TFuente
    qint64 claveMaxima = -1;      // highest key allowed; -1 = no limit
};

const TablaCodigos& DefinicionTabla(TipoTabla tipo);

bool EsProtegida(const TablaCodigos& t, qint64 clave);

// The rows as the form lists them (key column and Descripcion).
std::optional<db::Rows> LeeCodigos(db::Database& bd, const TablaCodigos& t, db::Error* error = nullptr);

// A key typed in the grid: a whole number (blanks around it allowed) within the table's range.
// nullopt, with the refusal in *error (a Constraint error, as a column refusing the value gives).
std::optional<qint64> ClaveTecleada(const TablaCodigos& t, const QString& texto, db::Error* error);

// Each writes one row with bound values and reports the database's refusal in *error.
bool AgregaCodigo(db::Database& bd, const TablaCodigos& t, const QString& clave,
                  const QString& descripcion, db::Error* error);
// Rewrites the row keyed `claveAnterior`. A protected row keeps its key: changing it would take away
// the row the program relies on, as a delete would.
bool CambiaCodigo(db::Database& bd, const TablaCodigos& t, qint64 claveAnterior, const QString& clave,
                  const QString& descripcion, db::Error* error);

enum class Borrado { Nada, Borrado, Protegida, Fallo };
// The "&Borrar" command on the row keyed `clave` with that description: asks first, then refuses a
// protected row with its message; a failed delete is told through MuestraErrorBD.
Borrado BorraCodigo(db::Database& bd, const TablaCodigos& t, qint64 clave, const QString& descripcion,
                    ui::Prompts& prompts);

}  // namespace catalogos
