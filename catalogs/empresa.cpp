#include "shell/rutinas_bd.h"
#include "catalogs/empresa.h"

#include "catalogs/escritura.h"
#include "shell/rutas.h"
#include "shell/texto.h"

namespace catalogos {

namespace {

QString UnBlancoAlFinal(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    return s.left(n) + QLatin1Char(' ');
}

}  // namespace

std::optional<DatosEmpresa> LeeEmpresa(db::Database& codigos, db::Error* error)
{
    auto fila = codigos.selectOne(QStringLiteral("Select * from Empresa ORDER BY rowid"), {}, error);
    if (!fila)
        return std::nullopt;
    DatosEmpresa d;
    d.NombreEmp = fila->text(QStringLiteral("NombreEmp"));
    d.RFC = fila->text(QStringLiteral("RFC"));
    d.NumSucursales = fila->text(QStringLiteral("NumSucursales"));
    d.SucursalDefault = fila->text(QStringLiteral("SucursalDefault"));
    d.Direccion = fila->text(QStringLiteral("Direccion"));
    d.RazonSocial = fila->text(QStringLiteral("RazonSocial"));
    d.EmailFacturas = fila->text(QStringLiteral("EmailFacturas"));
    return d;
}

QString ValidaEmpresa(db::Database& codigos, const DatosEmpresa& d)
{
    const auto numSuc = shell::EnteroTecleado(d.NumSucursales);
    if (!numSuc || *numSuc < 1 || *numSuc > 11)
        return QString::fromUtf8("Número de sucursales no válido.");
    const QString noValida = QString::fromUtf8("Sucursal default no válida.");
    const auto suc = shell::EnteroTecleado(d.SucursalDefault);
    if (!suc || *suc > 10)
        return noValida;
    db::Error e;
    auto hay = codigos.scalar(QStringLiteral("SELECT COUNT(*) FROM Sucursales WHERE IdSucursal = ?"), {*suc}, &e);
    if (!hay)
        return noValida + QLatin1Char(' ') + shell::TextoErrorBD(e);
    if (hay->toLongLong() == 0)
        return noValida;
    return {};
}

bool GrabaEmpresa(db::Database& codigos, const DatosEmpresa& d, db::Error* error)
{
    const QVariantList valores{d.NombreEmp,
                               d.RFC,
                               shell::EnteroTecleado(d.NumSucursales).value_or(1),
                               shell::EnteroTecleado(d.SucursalDefault).value_or(0),
                               d.Direccion,
                               UnBlancoAlFinal(d.RazonSocial),
                               d.EmailFacturas};
    return EnTransaccion(codigos, error, [&](db::Error* e) {
        int cambiadas = 0;
        if (!codigos.exec(QStringLiteral("UPDATE Empresa SET NombreEmp = ?, RFC = ?, NumSucursales = ?, "
                                         "SucursalDefault = ?, Direccion = ?, RazonSocial = ?, EmailFacturas = ? "
                                         "WHERE rowid = (SELECT MIN(rowid) FROM Empresa)"),
                          valores, e, &cambiadas))
            return false;
        return cambiadas > 0
               || codigos.exec(QStringLiteral("INSERT INTO Empresa (NombreEmp, RFC, NumSucursales, SucursalDefault, "
                                              "Direccion, RazonSocial, EmailFacturas) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                               valores, e);
    });
}

bool GrabaSucursalDefault(const QString& rutaApp, int sucursal, db::Error* error)
{
    const QString ruta = shell::BuscaRuta(shell::UnirRuta(rutaApp, QStringLiteral("Direccion.db")));
    if (!shell::ArchivoExiste(ruta))
        return db::fail(error, db::ErrorKind::NotFound, QStringLiteral("No se encontró el archivo ") + ruta);
    db::OpenOptions op;
    op.attachLinks = false;
    op.createViews = false;
    auto bd = db::Database::open(ruta, op, error);
    if (!bd)
        return false;
    // Only the first row is the machine's, as start-up reads it.
    return EnTransaccion(*bd, error, [&](db::Error* e) {
        int cambiadas = 0;
        if (!bd->exec(QStringLiteral("UPDATE Dir SET Sucursal = ? WHERE rowid = (SELECT MIN(rowid) FROM Dir)"),
                      {sucursal}, e, &cambiadas))
            return false;
        return cambiadas > 0
               || db::fail(e, db::ErrorKind::NotFound,
                           QStringLiteral("El archivo ") + ruta + QStringLiteral(" no tiene los datos del equipo."));
    });
}

bool GuardaEmpresa(db::Database& codigos, const QString& rutaApp, const DatosEmpresa& d,
                   ui::Prompts& prompts)
{
    const QString falla = ValidaEmpresa(codigos, d);
    if (!falla.isEmpty()) {
        prompts.message(falla, ui::Icon::Critical);
        return false;
    }
    db::Error e;
    if (!GrabaEmpresa(codigos, d, &e)) {
        prompts.message(QStringLiteral("No se guardaron los datos de la empresa: ") + shell::TextoErrorBD(e),
                        ui::Icon::Critical);
        return false;
    }
    if (!GrabaSucursalDefault(rutaApp, int(*shell::EnteroTecleado(d.SucursalDefault)), &e)) {
        prompts.message(QStringLiteral("Los datos de la empresa se guardaron, pero no la sucursal default "
                                       "de este equipo: ") + shell::TextoErrorBD(e),
                        ui::Icon::Critical);
        return false;
    }
    prompts.message(QStringLiteral("Datos guardados, salga y vuelva a entrar."), ui::Icon::Information);
    return true;
}

}  // namespace catalogos
