#include "catalogs/proveedores.h"

#include "shell/rutinas_bd.h"
#include "shell/texto.h"

namespace catalogos {

namespace {

const QStringList& Columnas()
{
    static const QStringList c{
        QStringLiteral("RFC"),           QStringLiteral("NombreCompania"),
        QStringLiteral("Direccion"),     QStringLiteral("Ciudad"),
        QStringLiteral("Colonia"),       QStringLiteral("Estado"),
        QStringLiteral("Telefono"),      QStringLiteral("NombreContacto"),
        QStringLiteral("CargoContacto"), QStringLiteral("Fax"),
        QStringLiteral("CorreoElectronico"), QStringLiteral("CodPostal"),
        QStringLiteral("Pais")};
    return c;
}

QVariantList Valores(const Proveedor& p)
{
    return {p.RFC,           p.NombreCompania, p.Direccion, p.Ciudad, p.Colonia,
            p.Estado,        p.Telefono,       p.NombreContacto, p.CargoContacto, p.Fax,
            p.CorreoElectronico, p.CodPostal,  p.Pais};
}

ResultadoProveedor Falla(const db::Error& e)
{
    ResultadoProveedor r;
    r.error = e;
    return r;
}

}  // namespace

Proveedor ProveedorDeFila(const db::Row& f)
{
    Proveedor p;
    QString* campos[] = {&p.RFC,      &p.NombreCompania, &p.Direccion,      &p.Ciudad,
                         &p.Colonia,  &p.Estado,         &p.Telefono,       &p.NombreContacto,
                         &p.CargoContacto, &p.Fax,       &p.CorreoElectronico, &p.CodPostal,
                         &p.Pais};
    for (int i = 0; i < Columnas().size(); ++i)
        *campos[i] = f.text(Columnas().at(i));
    return p;
}

const QStringList& CamposBusquedaProveedores()
{
    static const QStringList campos{QStringLiteral("RFC"),      QStringLiteral("NOMBRECOMPANIA"),
                                    QStringLiteral("DIRECCION"), QStringLiteral("COLONIA"),
                                    QStringLiteral("CIUDAD"),   QStringLiteral("ESTADO"),
                                    QStringLiteral("TELEFONO")};
    return campos;
}

bool BuscaProveedores(db::Database& bd, const QString& campo, const QString& texto, db::Rows* filas)
{
    // Only a field of the list reaches the statement's text; the search text is bound.
    const QString c = CamposBusquedaProveedores().contains(campo, Qt::CaseInsensitive)
                          ? campo
                          : CamposBusquedaProveedores().first();
    return shell::BuscaRegistros(bd, QStringLiteral("Select * from Proveedores"), c, texto, filas) == 1;
}

QString RequeridosProveedor(const Proveedor& p)
{
    if (p.RFC.trimmed().isEmpty())
        return shell::MensajeRequerido(QStringLiteral("R.F.C."));
    if (p.NombreCompania.trimmed().isEmpty())
        return shell::MensajeRequerido(QStringLiteral("Nombre proveedor"));
    return {};
}

ResultadoProveedor GrabaProveedor(db::Database& bd, const Proveedor& p, bool nuevo,
                                  const QString& rfcAnterior)
{
    if (const QString falta = RequeridosProveedor(p); !falta.isEmpty())
        return Falla({db::ErrorKind::Other, 0, falta});
    db::Error e;
    db::WriteTransaction t(bd);
    bool ok = t.begin({}, &e);
    if (ok && nuevo) {
        ok = bd.exec(QStringLiteral("INSERT INTO Proveedores (%1) VALUES (?%2)")
                         .arg(Columnas().join(QLatin1Char(',')),
                              QStringLiteral(",?").repeated(Columnas().size() - 1)),
                     Valores(p), &e);
    } else if (ok) {
        QStringList asigna;
        for (const QString& c : Columnas())
            asigna << c + QStringLiteral("=?");
        QVariantList params = Valores(p);
        params << rfcAnterior;
        int cambiadas = 0;
        ok = bd.exec(QStringLiteral("UPDATE Proveedores SET %1 WHERE RFC=?").arg(asigna.join(QLatin1Char(','))),
                     params, &e, &cambiadas);
        if (ok && cambiadas == 0)
            ok = db::fail(&e, db::ErrorKind::NotFound,
                          QStringLiteral("El proveedor ya no existe en el catálogo, no se grabo el cambio."));
        if (ok && p.RFC != rfcAnterior)
            ok = bd.exec(QStringLiteral("UPDATE ProductoProveedor SET RFC=? WHERE RFC=?"),
                         {p.RFC, rfcAnterior}, &e);
    }
    if (ok)
        ok = t.commit(&e);
    if (!ok) {
        shell::NombraDuplicado(e, QStringLiteral("RFC"), QStringLiteral("El RFC %1 ya existe.").arg(p.RFC));
        return Falla(e);
    }
    return {true, {}};
}

ResultadoProveedor BorraProveedor(db::Database& bd, const QString& rfc)
{
    db::Error e;
    db::WriteTransaction t(bd);
    const bool ok = t.begin({}, &e)
                    && bd.exec(QStringLiteral("DELETE FROM ProductoProveedor WHERE RFC=?"), {rfc}, &e)
                    && bd.exec(QStringLiteral("DELETE FROM Proveedores WHERE RFC=?"), {rfc}, &e)
                    && t.commit(&e);
    if (!ok)
        return Falla(e);
    return {true, {}};
}

bool ProveedoresProducto(db::Database& bd, qint64 claveProducto, db::Rows* filas, db::Error* error)
{
    auto r = bd.select(QStringLiteral("Select * from cProductoProv Where ClaveProducto=?"),
                       {claveProducto}, error);
    if (!r)
        return false;
    *filas = std::move(*r);
    return true;
}

bool AgregaProveedorProducto(db::Database& bd, qint64 claveProducto, const QString& rfc,
                             db::Error* error)
{
    // Only an RFC of the catalogue makes a link; the pair's key refuses a second one.
    int agregadas = 0;
    if (!bd.exec(QStringLiteral("INSERT INTO ProductoProveedor (ClaveProducto, RFC) "
                                "SELECT ?, RFC FROM Proveedores WHERE RFC=?"),
                 {claveProducto, rfc}, error, &agregadas))
        return false;
    if (agregadas == 0)
        return db::fail(error, db::ErrorKind::NotFound,
                        QStringLiteral("No hay un proveedor con el R.F.C. ") + rfc);
    return true;
}

bool BorraProveedorProducto(db::Database& bd, qint64 claveProducto, const QString& rfc,
                            db::Error* error)
{
    return bd.exec(QStringLiteral("DELETE FROM ProductoProveedor WHERE ClaveProducto=? AND RFC=?"),
                   {claveProducto, rfc}, error);
}

}  // namespace catalogos
