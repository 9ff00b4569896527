#include "branches/intercambio.h"

#include "branches/catalogo.h"
#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/ligas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace sucursales {

namespace {

QString nativa(const QString& r) { return QDir::toNativeSeparators(r); }

// A name beside `destino` that nobody uses, for a file that gets its real name only when whole.
QString temporal(const QString& destino) {
    for (;;) {
        const QString t = destino + QStringLiteral(".tmp%1").arg(QRandomGenerator::global()->generate() % 1000000);
        if (!QFileInfo::exists(t)) return t;
    }
}

// The file's bytes on the disk before it takes another's place.
bool sincroniza(const QString& ruta) {
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool bien = ::fsync(fd) == 0;
    ::close(fd);
    return bien;
}

// rename() that replaces the target in one step.
bool reemplaza(const QString& de, const QString& a, QString* error) {
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(de).constData(), QFile::encodeName(a).constData(), ec);
    if (ec && error) *error = QString::fromStdString(ec.message());
    return !ec;
}

std::unique_ptr<db::Database> abreSolo(const QString& ruta, db::Error* e) {
    db::OpenOptions op;
    op.password = shell::ClaveArchivos();
    // Only the file's own tables count: a branch file's links would reach some central file.
    op.attachLinks = false;
    op.createViews = false;
    return db::Database::open(ruta, op, e);
}

QString razonApertura(const db::Error& e) {
    switch (e.kind) {
    case db::ErrorKind::NotFound: return QStringLiteral("no se encontró el archivo");
    case db::ErrorKind::WrongPassword: return QStringLiteral("el archivo tiene otra contraseña");
    case db::ErrorKind::Corrupt: return QStringLiteral("el archivo no es una base de datos o está dañado");
    default: return e.message;
    }
}

bool tieneTabla(db::Database& bd, const QString& t) {
    for (const db::TableInfo& i : bd.tables())
        if (!i.linked && i.name.compare(t, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool tieneCampo(const std::vector<db::FieldInfo>& campos, const QString& c) {
    for (const db::FieldInfo& f : campos)
        if (f.name.compare(c, Qt::CaseInsensitive) == 0) return true;
    return false;
}

// Another terminal on the file answers busy to an exclusive lock; a short wait lets a passing read end.
bool bloqueaExclusivo(db::Database& bd, db::Error* e) {
    db::LockWait espera;
    espera.timeoutMs = 1500;
    espera.serveEvents = false;
    return bd.execWait(QStringLiteral("BEGIN EXCLUSIVE"), {}, espera, e);
}

}  // namespace

QString NombreDatos(Datos d) {
    switch (d) {
    case Datos::Productos: return QStringLiteral("Productos");
    case Datos::Generales: return QStringLiteral("Datos Generales");
    case Datos::Sucursal: return QStringLiteral("Datos de la sucursal");
    }
    return {};
}

QString RutaDeTrabajo(const QString& texto, Datos d) {
    QString r = texto.trimmed();
    if (r.isEmpty()) return r;
    if (r.endsWith(u'/') || r.endsWith(u'\\') || QFileInfo(r).isDir())
        r = QDir(r).filePath(NombreDatos(d));
    return ConExtensionBD(r);
}

QString ArchivoDeDatos(Datos d) {
    if (d == Datos::Generales) return shell::RutaBDCodigos();
    if (d == Datos::Sucursal) return shell::RutaBDSucursal(G().SucursalActual);
    return {};
}

QString RevisaArchivo(const QString& ruta, Datos d) {
    db::Error e;
    auto bd = abreSolo(ruta, &e);
    if (!bd) return razonApertura(e);
    auto r = bd->scalar(QStringLiteral("PRAGMA integrity_check"), {}, &e);
    if (!r) return razonApertura(e.kind == db::ErrorKind::Other ? db::Error{db::ErrorKind::Corrupt, 0, {}} : e);
    if (r->toString() != QLatin1String("ok")) return QStringLiteral("el archivo está dañado (%1)").arg(r->toString());
    if (d == Datos::Generales) {
        for (const char* t : {"Personal", "Producto", "Sucursales", "Empresa"})
            if (!tieneTabla(*bd, QString::fromLatin1(t)))
                return QStringLiteral("no es un archivo de datos generales: le falta la tabla %1").arg(QString::fromLatin1(t));
        return {};
    }
    for (const char* t : {"Parametros", "Folios", "Venta"})
        if (!tieneTabla(*bd, QString::fromLatin1(t)))
            return QStringLiteral("no es un archivo de sucursal: le falta la tabla %1").arg(QString::fromLatin1(t));
    auto n = bd->scalar(QStringLiteral("SELECT count(*) FROM main.Parametros"), {}, &e);
    if (!n || n->toInt() != 1) return QStringLiteral("no es un archivo de sucursal: debe tener un registro de parámetros");
    const auto ligas = bd->links();
    for (const QString& t : shell::TablasLigadas()) {
        bool hay = false;
        for (const db::Link& l : ligas) hay = hay || l.name.compare(t, Qt::CaseInsensitive) == 0;
        if (!hay) return QStringLiteral("no es un archivo de sucursal: le falta la liga de la tabla %1").arg(t);
    }
    return {};
}

bool ExportaBase(const QString& origen, const QString& destino, ui::Prompts& p) {
    if (QFileInfo::exists(destino) &&
        p.question(QStringLiteral("El archivo destino ya existe, desea continuar ?")) != ui::Answer::Yes)
        return false;
    db::Error e;
    auto bd = abreSolo(origen, &e);
    if (!bd) {
        p.message(QStringLiteral("No se pudo abrir %1: %2.").arg(nativa(origen), razonApertura(e)), ui::Icon::Critical);
        return false;
    }
    // VACUUM INTO reads one committed state, whatever the other terminals are writing meanwhile.
    const QString t = temporal(destino);
    QString error;
    if (!bd->vacuumInto(t, &e) || !sincroniza(t) || !reemplaza(t, destino, &error)) {
        QFile::remove(t);
        p.message(QStringLiteral("No se pudo exportar a %1: %2").arg(nativa(destino), error.isEmpty() ? e.message : error),
                  ui::Icon::Critical);
        return false;
    }
    return true;
}

bool ImportaBase(const QString& archivo, const QString& destino, Datos d, ui::Prompts& p) {
    auto rechaza = [&](const QString& razon) {
        p.message(QStringLiteral("No se importó el archivo %1: %2.").arg(nativa(archivo), razon), ui::Icon::Critical);
        return false;
    };
    if (destino.isEmpty()) return rechaza(QStringLiteral("no hay archivo de datos que reemplazar"));
    if (QFileInfo(archivo).canonicalFilePath() == QFileInfo(destino).canonicalFilePath())
        return rechaza(QStringLiteral("es el mismo archivo que está en uso"));
    if (const QString mal = RevisaArchivo(archivo, d); !mal.isEmpty()) return rechaza(mal);

    CierraBD(destino);
    const QString t = temporal(destino);
    if (!QFile::copy(archivo, t) || !sincroniza(t)) {
        QFile::remove(t);
        return rechaza(QStringLiteral("no se pudo copiar junto a %1").arg(nativa(destino)));
    }
    QFile::setPermissions(t, QFile::permissions(t) | QFile::WriteOwner);
    const QString respaldo = destino + QStringLiteral(".bak");
    QString error;
    bool bien = true;
    if (QFileInfo::exists(destino)) {
        db::Error e;
        auto actual = abreSolo(destino, &e);
        // The lock is held while the files change places: no terminal writes into the old one meanwhile.
        if (!actual || !bloqueaExclusivo(*actual, &e)) {
            QFile::remove(t);
            if (e.kind == db::ErrorKind::Busy || e.kind == db::ErrorKind::Cancelled)
                return rechaza(QStringLiteral("el archivo %1 está en uso en otra terminal").arg(nativa(destino)));
            return rechaza(e.message);
        }
        QFile::remove(respaldo);
        bien = reemplaza(destino, respaldo, &error);
        if (bien && !reemplaza(t, destino, &error)) {
            reemplaza(respaldo, destino, nullptr);
            bien = false;
        }
        actual->exec(QStringLiteral("ROLLBACK"));
    } else {
        bien = reemplaza(t, destino, &error);
    }
    db::Database::closeAll(respaldo);
    db::Database::closeAll(destino);
    if (!bien) {
        QFile::remove(t);
        return rechaza(error);
    }
    return true;
}

QString ExportaProductos(const QString& carpeta, const QDate& dia, ui::Prompts& p) {
    const QString archivo = QDir(carpeta).filePath(QStringLiteral("P%1.db").arg(dia.toString(QStringLiteral("yyyyMMdd"))));
    if (QFileInfo::exists(archivo) &&
        p.question(QStringLiteral("El archivo destino ya existe, desea continuar ?")) != ui::Answer::Yes)
        return {};
    const QString t = temporal(archivo);
    auto falla = [&](const QString& razon) {
        db::Database::closeAll(t);
        QFile::remove(t);
        p.message(QStringLiteral("No se generó el archivo %1: %2").arg(nativa(archivo), razon), ui::Icon::Critical);
        return QString();
    };
    if (!QFile::copy(RutaPlantillaLimpia(), t)) return falla(QStringLiteral("no se pudo copiar la plantilla Limpia.db"));
    QFile::setPermissions(t, QFile::permissions(t) | QFile::WriteOwner);
    {
        db::Error e;
        auto central = abreSolo(shell::RutaBDCodigos(), &e);
        if (!central) return falla(razonApertura(e));
        auto copia = abreSolo(t, &e);
        if (!copia) return falla(razonApertura(e));
        QStringList columnas;
        for (const db::FieldInfo& f : central->fields(QStringLiteral("Producto"))) columnas << f.name;
        if (!db::Database::createTableLike(*central, *copia, QStringLiteral("Producto"), &e) ||
            !db::Database::copyRows(*central, *copia, QStringLiteral("Producto"), columnas, &e))
            return falla(e.message);
    }
    db::Database::closeAll(t);
    QString error;
    if (!sincroniza(t) || !reemplaza(t, archivo, &error)) return falla(error);
    p.message(QStringLiteral("El archivo destino se ha generado en ") + nativa(archivo), ui::Icon::None);
    return archivo;
}

bool ImportaProductos(const QString& archivo, ui::Prompts& p) {
    if (p.question(QStringLiteral("Este proceso recibe la lista de productos actualizada, se reemplazara la base actual "
                                  "de productos con la del archivo que seleccione."),
                   {}, false, false) != ui::Answer::Yes)
        return false;
    if (!archivo.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive)) {
        p.message(QStringLiteral("Error IP01. El archivo Origen debe ser un archivo de Base de datos de Sucursal."),
                  ui::Icon::Critical);
        return false;
    }
    auto rechaza = [&](const QString& razon) {
        p.message(QStringLiteral("No se importó la lista de productos: ") + razon + u'.', ui::Icon::Critical);
        return false;
    };
    db::Error e;
    auto origen = abreSolo(archivo, &e);
    if (!origen) return rechaza(razonApertura(e));
    if (!tieneTabla(*origen, QStringLiteral("Producto"))) return rechaza(QStringLiteral("el archivo no tiene la tabla Producto"));
    const auto camposOrigen = origen->fields(QStringLiteral("Producto"));
    for (const char* c : {"ClaveProducto", "CodigodeBarras"})
        if (!tieneCampo(camposOrigen, QString::fromLatin1(c)))
            return rechaza(QStringLiteral("la tabla Producto del archivo no tiene el campo %1").arg(QString::fromLatin1(c)));
    // Product 1 stands for loose articles on every sale screen.
    auto uno = origen->scalar(QStringLiteral("SELECT count(*) FROM main.Producto WHERE ClaveProducto = 1"), {}, &e);
    if (!uno) return rechaza(e.message);
    if (uno->toInt() == 0) return rechaza(QStringLiteral("el archivo no tiene el producto 1"));

    auto central = abreSolo(shell::RutaBDCodigos(), &e);
    if (!central) return rechaza(razonApertura(e));
    QStringList comunes;
    for (const db::FieldInfo& f : central->fields(QStringLiteral("Producto")))
        if (tieneCampo(camposOrigen, f.name)) comunes << f.name;
    db::WriteTransaction tr(*central);
    if (!tr.begin({}, &e) || !central->exec(QStringLiteral("DROP TABLE IF EXISTS RProducto"), {}, &e) ||
        !central->exec(QStringLiteral("CREATE TABLE RProducto AS SELECT * FROM Producto"), {}, &e) ||
        !central->exec(QStringLiteral("DELETE FROM Producto"), {}, &e) ||
        !db::Database::copyRows(*origen, *central, QStringLiteral("Producto"), comunes, &e) || !tr.commit(&e)) {
        tr.rollback();
        return rechaza(e.message);
    }
    return true;
}

}  // namespace sucursales
