#include "folio_server/configuracion.h"

#include "platform/report/report.h"
#include "shell/conexion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tarvex {
namespace {

bool falla(QString* error, const QString& texto) {
    if (error) *error = texto;
    return false;
}

QString sinSeparadorFinal(QString s) {
    while (s.size() > 1 && (s.endsWith(u'/') || s.endsWith(u'\\'))) s.chop(1);
    return s;
}

std::unique_ptr<db::Database> abreDireccion(const QString& ruta, QString* error) {
    const QString real = report::findFile(ruta);
    if (real.isEmpty()) {
        falla(error, QStringLiteral("No se encontro el archivo de configuración: ") + ruta);
        return nullptr;
    }
    db::OpenOptions o;
    o.attachLinks = false;
    o.createViews = false;
    db::Error e;
    auto bd = db::Database::open(real, o, &e);
    if (!bd)
        falla(error, QStringLiteral("No se pudo abrir el archivo de configuración %1: %2")
                         .arg(ruta, e.message));
    return bd;
}

}  // namespace

QString CarpetaPrograma() {
    const QString home = qEnvironmentVariable("TARVEX_HOME");
    if (!home.isEmpty()) return sinSeparadorFinal(home);
    return QCoreApplication::applicationDirPath();
}

QString RutaDireccion(const QString& carpetaPrograma) {
    return sinSeparadorFinal(carpetaPrograma) + QStringLiteral("/Direccion.db");
}

bool LeeDireccion(const QString& ruta, Direccion* d, QString* error) {
    auto bd = abreDireccion(ruta, error);
    if (!bd) return false;
    db::Error e;
    const auto fila = bd->selectOne(
        QStringLiteral("SELECT Direccion, Sucursal FROM Direccion ORDER BY rowid LIMIT 1"), {}, &e);
    if (!fila)
        return falla(error, QStringLiteral("No se pudo leer la tabla Direccion de %1: %2")
                                .arg(ruta, e.message));
    if (fila->empty())
        return falla(error, QStringLiteral("La tabla Direccion de %1 no tiene renglón.").arg(ruta));
    d->CarpetaBase = sinSeparadorFinal(fila->text(QStringLiteral("Direccion")));
    d->NumSucursal = static_cast<int>(fila->integer(QStringLiteral("Sucursal")));
    return true;
}

bool EscribeDireccion(const QString& ruta, const Direccion& d, QString* error) {
    auto bd = abreDireccion(ruta, error);
    if (!bd) return false;
    db::Error e;
    int n = 0;
    if (!bd->exec(QStringLiteral("UPDATE Direccion SET Direccion = ?, Sucursal = ? "
                                 "WHERE rowid = (SELECT MIN(rowid) FROM Direccion)"),
                  {sinSeparadorFinal(d.CarpetaBase), d.NumSucursal}, &e, &n))
        return falla(error, QStringLiteral("No se pudo guardar la ruta en %1: %2").arg(ruta, e.message));
    if (n == 0)
        return falla(error, QStringLiteral("La tabla Direccion de %1 no tiene renglón.").arg(ruta));
    return true;
}

std::unique_ptr<Sucursal> AbreSucursal(const Direccion& d, QString* error) {
    auto mal = [error](const QString& t) {
        falla(error, t);
        return std::unique_ptr<Sucursal>();
    };
    if (d.CarpetaBase.isEmpty() || !QFileInfo(d.CarpetaBase).isDir())
        return mal(QStringLiteral("No existe la carpeta de datos: ") + d.CarpetaBase);

    const QString rutaCentral =
        report::findFile(d.CarpetaBase + QStringLiteral("/Base de datos/BDcodigos.db"));
    if (rutaCentral.isEmpty())
        return mal(QStringLiteral("No se encontro el archivo: ") + d.CarpetaBase +
                   QStringLiteral("/Base de datos/BDcodigos.db"));
    db::OpenOptions oc;
    oc.password = shell::ClaveArchivos();
    oc.attachLinks = false;
    oc.createViews = false;
    db::Error e;
    auto central = db::Database::open(rutaCentral, oc, &e);
    if (!central)
        return mal(QStringLiteral("No se pudo abrir %1: %2").arg(rutaCentral, e.message));

    auto s = std::make_unique<Sucursal>();
    s->CarpetaBase = d.CarpetaBase;
    s->NumSucursal = d.NumSucursal;
    const auto emp = central->selectOne(QStringLiteral("SELECT * FROM Empresa LIMIT 1"), {}, &e);
    if (!emp) return mal(QStringLiteral("No se pudo leer la tabla Empresa: ") + e.message);
    s->NombreEmp = emp->text(QStringLiteral("NombreEmp"));
    s->RazonSocial = emp->text(QStringLiteral("RazonSocial"));
    s->RFCEmpresa = emp->text(QStringLiteral("RFC"));
    s->DireccionEmp = emp->text(QStringLiteral("Direccion"));

    const auto suc = central->selectOne(
        QStringLiteral("SELECT * FROM Sucursales WHERE IdSucursal = ?"), {d.NumSucursal}, &e);
    if (!suc) return mal(QStringLiteral("No se pudo leer la tabla Sucursales: ") + e.message);
    if (suc->empty()) return mal(QStringLiteral("No existe la sucursal ") + QString::number(d.NumSucursal));
    s->CarpetaSucursal = suc->text(QStringLiteral("DescripcionC")).trimmed();
    central.reset();

    const QString rutaRama = d.CarpetaBase + QStringLiteral("/Base de datos/Sucursales/") +
                             s->CarpetaSucursal + QStringLiteral("/BDSucursal.db");
    const QString real = report::findFile(rutaRama);
    if (s->CarpetaSucursal.isEmpty() || real.isEmpty())
        return mal(QStringLiteral("No se encontro el archivo: ") + rutaRama);
    db::OpenOptions ob;
    ob.password = shell::ClaveArchivos();
    ob.centralPath = rutaCentral;
    s->bd = db::Database::open(real, ob, &e);
    if (!s->bd) return mal(QStringLiteral("No se pudo abrir %1: %2").arg(rutaRama, e.message));

    const auto par = s->bd->selectOne(QStringLiteral("SELECT * FROM Parametros LIMIT 1"), {}, &e);
    if (!par) return mal(QStringLiteral("No se pudo leer la tabla Parametros: ") + e.message);
    s->PrefijoFact = par->text(QStringLiteral("PrefijoFact"));
    s->Impresora = par->text(QStringLiteral("Printer1"));
    const int iva = static_cast<int>(par->integer(QStringLiteral("IVA")));
    s->IVA = iva != 0 ? iva : 16;
    // The queue and the counters must be readable before the server claims the branch.
    if (!s->bd->select(QStringLiteral("SELECT * FROM Solicitafolios LIMIT 1"), {}, &e) ||
        !s->bd->select(QStringLiteral("SELECT * FROM Folios LIMIT 1"), {}, &e))
        return mal(QStringLiteral("No se pudo leer la cola de impresión de la sucursal: ") + e.message);
    return s;
}

QString ValidaArchivo(const QString& nombre) {
    if (!nombre.contains(QStringLiteral(".db")))
        return QStringLiteral("Error FS01. El archivo a administrar debe de ser un archivo de Base de "
                              "datos de Sucursal.");
    return {};
}

QString CarpetaDeArchivo(const QString& nombre) {
    const qsizetype i = std::max(nombre.lastIndexOf(u'/'), nombre.lastIndexOf(u'\\'));
    if (i < 0) return {};
    return sinSeparadorFinal(nombre.left(i == 0 ? 1 : i));
}

bool ValidaNumeroSucursal(const QString& tecleado, int* n, QString* error) {
    bool ok = false;
    const int v = tecleado.trimmed().toInt(&ok);
    if (!ok)
        return falla(error, QStringLiteral("El numero de sucursal debe ser un numero entero."));
    if (v <= 0 || v >= 20)
        return falla(error, QStringLiteral("El valor del numero de sucursal esta fuera del rango."));
    *n = v;
    return true;
}

}  // namespace tarvex
