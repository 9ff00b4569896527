#include "catalogs/tablas.h"

#include "catalogs/escritura.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

namespace catalogos {

namespace {

TablaCodigos Define(const char* forma, const char* titulo, int permiso, const char* tabla,
                    const char* clave, const char* consulta, const char* pregunta,
                    const char* protegida, QList<qint64> protegidas, bool fuente, qint64 maxima)
{
    TablaCodigos t;
    t.forma = QString::fromUtf8(forma);
    t.titulo = QString::fromUtf8(titulo);
    t.permiso = permiso;
    t.tabla = QString::fromUtf8(tabla);
    t.clave = QString::fromUtf8(clave);
    t.consulta = QString::fromUtf8(consulta);
    t.pregunta = QString::fromUtf8(pregunta);
    t.protegida = QString::fromUtf8(protegida);
    t.protegidas = std::move(protegidas);
    t.fuenteParametro = fuente;
    t.claveMaxima = maxima;
    return t;
}

bool Refusa(db::Error* error, const QString& texto)
{
    return db::fail(error, db::ErrorKind::Constraint, texto);
}

// A key typed again is told by its number.
bool Nombra(const TablaCodigos& t, qint64 clave, db::Error* error, bool ok)
{
    if (!ok && error)
        shell::NombraDuplicado(*error, t.clave, QStringLiteral("La clave %1 ya existe.").arg(clave));
    return ok;
}

}  // namespace

const TablaCodigos& DefinicionTabla(TipoTabla tipo)
{
    // The sale screen keeps the payment-form names in sixteen slots indexed by TPago.
    static const TablaCodigos tablas[] = {
        Define("frmCategorias", "Categorias.", 5, "Categoria", "ClaveCategoria",
               "Select * from Categoria", "Esta seguro que desea borrar la categoria. ",
               "Esta categoria es predefinida en el sistema, no se puede borrar.", {0}, false, -1),
        Define("frmTipoPago", "Formas de pago.", 7, "Formasdepago", "TPago",
               "Select * from formasdepago Order by TPago Asc",
               "Esta seguro que desea borrar la forma de pago ",
               "Esta forma de pago es predefinida en el sistema, no se puede borrar.", {0, 1, 2, 3, 4},
               true, 15),
        Define("frmTipoCompra", "Tipo de Compra.", 8, "TiposCompraCliente", "TCompra",
               "Select * from TiposCompraCliente Order by TCompra Asc",
               "Esta seguro que desea borrar la forma de Compra ",
               "Esta forma de Compra es predefinida en el sistema, no se puede borrar.", {0}, true, -1),
        Define("frmTipoProducto", "Tipos de Producto.", 10, "TipoProducto", "NTipo",
               "Select * from TipoProducto Order by NTipo Asc",
               "Esta seguro que desea borrar el Tipo de producto: ", "", {}, true, -1),
    };
    return tablas[static_cast<int>(tipo)];
}

bool EsProtegida(const TablaCodigos& t, qint64 clave) { return t.protegidas.contains(clave); }

std::optional<db::Rows> LeeCodigos(db::Database& bd, const TablaCodigos& t, db::Error* error)
{
    return bd.select(t.consulta, QVariantList{}, error);
}

std::optional<qint64> ClaveTecleada(const TablaCodigos& t, const QString& texto, db::Error* error)
{
    const std::optional<qint64> clave = shell::EnteroTecleado(texto);
    if (!clave) {
        Refusa(error, QStringLiteral("La clave debe ser un número entero."));
        return std::nullopt;
    }
    if (t.claveMaxima >= 0 && *clave > t.claveMaxima) {
        Refusa(error, QStringLiteral("La clave no puede ser mayor que %1.").arg(t.claveMaxima));
        return std::nullopt;
    }
    return clave;
}

bool AgregaCodigo(db::Database& bd, const TablaCodigos& t, const QString& clave,
                  const QString& descripcion, db::Error* error)
{
    const std::optional<qint64> c = ClaveTecleada(t, clave, error);
    if (!c)
        return false;
    return Nombra(t, *c, error, EnTransaccion(bd, error, [&](db::Error* e) {
        return bd.exec(QStringLiteral("INSERT INTO %1 (%2, Descripcion) VALUES (?, ?)").arg(t.tabla, t.clave),
                       {*c, descripcion}, e);
    }));
}

bool CambiaCodigo(db::Database& bd, const TablaCodigos& t, qint64 claveAnterior, const QString& clave,
                  const QString& descripcion, db::Error* error)
{
    const std::optional<qint64> c = ClaveTecleada(t, clave, error);
    if (!c)
        return false;
    if (*c != claveAnterior && EsProtegida(t, claveAnterior))
        return Refusa(error, QStringLiteral("Esta clave es predefinida en el sistema, no se puede cambiar."));
    return Nombra(t, *c, error, EnTransaccion(bd, error, [&](db::Error* e) {
        int cambiadas = 0;
        if (!bd.exec(QStringLiteral("UPDATE %1 SET %2 = ?, Descripcion = ? WHERE %2 = ?").arg(t.tabla, t.clave),
                     {*c, descripcion, claveAnterior}, e, &cambiadas))
            return false;
        return cambiadas > 0
               || db::fail(e, db::ErrorKind::NotFound, QStringLiteral("El registro ya no existe, no se grabo el cambio."));
    }));
}

Borrado BorraCodigo(db::Database& bd, const TablaCodigos& t, qint64 clave, const QString& descripcion,
                    ui::Prompts& prompts)
{
    if (prompts.question(t.pregunta + descripcion + QStringLiteral(" ?")) != ui::Answer::Yes)
        return Borrado::Nada;
    if (EsProtegida(t, clave)) {
        prompts.message(t.protegida, ui::Icon::Information);
        return Borrado::Protegida;
    }
    db::Error e;
    if (!EnTransaccion(bd, &e, [&](db::Error* err) {
            return bd.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(t.tabla, t.clave), {clave}, err);
        })) {
        shell::MuestraErrorBD(e);
        return Borrado::Fallo;
    }
    return Borrado::Borrado;
}

}  // namespace catalogos
