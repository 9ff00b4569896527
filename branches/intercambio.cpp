#include "branches/intercambio.h"

#include "branches/archivos.h"
#include "branches/catalogo.h"
#include "platform/db/database.h"
#include "platform/db/script.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/ligas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>



namespace sucursales {

namespace {

QString nativa(const QString& r) { return QDir::toNativeSeparators(r); }

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

// A file brought in is checked as a person's statement is after it ran: every table and column
// the program uses is there, and its definitions, triggers and views compile under the guard.
QString RevisaEsquema(db::Database& bd, db::ProgramFile tipo) {
    for (const db::ProgramTable& t : db::programTables(tipo)) {
        if (!TablaPropia(bd, t.name)) continue;  // a linked one, or one the marks above already asked for
        const auto campos = bd.fields(t.name);
        for (const QString& c : t.columns)
            if (!tieneCampo(campos, c)) return QStringLiteral("le falta el campo %1 de la tabla %2").arg(c, t.name);
    }
    for (const db::ProgramTable& t : db::programTables(tipo)) {
        bool esta = TablaPropia(bd, t.name);
        for (const db::Link& l : bd.links()) esta = esta || l.name.compare(t.name, Qt::CaseInsensitive) == 0;
        if (!esta) return QStringLiteral("le falta la tabla %1").arg(t.name);
    }
    const QString mal = db::UserSqlGuard::faultsOf(bd);
    return mal.isEmpty() ? QString() : QStringLiteral("no se puede usar: ") + mal;
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
    auto bd = AbreArchivo(ruta, &e);
    if (!bd) return RazonApertura(e);
    auto r = bd->scalar(QStringLiteral("PRAGMA integrity_check"), {}, &e);
    if (!r) return RazonApertura(e.kind == db::ErrorKind::Other ? db::Error{db::ErrorKind::Corrupt, 0, {}} : e);
    if (r->toString() != QLatin1String("ok")) return QStringLiteral("el archivo está dañado (%1)").arg(r->toString());
    if (d == Datos::Generales) {
        for (const char* t : {"Personal", "Producto", "Sucursales", "Empresa"})
            if (!TablaPropia(*bd, QString::fromLatin1(t)))
                return QStringLiteral("no es un archivo de datos generales: le falta la tabla %1").arg(QString::fromLatin1(t));
        return RevisaEsquema(*bd, db::ProgramFile::Central);
    }
    for (const char* t : {"Parametros", "Folios", "Venta"})
        if (!TablaPropia(*bd, QString::fromLatin1(t)))
            return QStringLiteral("no es un archivo de sucursal: le falta la tabla %1").arg(QString::fromLatin1(t));
    auto n = bd->scalar(QStringLiteral("SELECT count(*) FROM main.Parametros"), {}, &e);
    if (!n || n->toInt() != 1) return QStringLiteral("no es un archivo de sucursal: debe tener un registro de parámetros");
    const auto ligas = bd->links();
    for (const QString& t : shell::TablasLigadas()) {
        bool hay = false;
        for (const db::Link& l : ligas) hay = hay || l.name.compare(t, Qt::CaseInsensitive) == 0;
        if (!hay) return QStringLiteral("no es un archivo de sucursal: le falta la liga de la tabla %1").arg(t);
    }
    return RevisaEsquema(*bd, db::ProgramFile::Branch);
}

bool ExportaBase(const QString& origen, const QString& destino, ui::Prompts& p) {
    // Put in place of the file in use, the copy would leave every open handle on a file taken away.
    if (QFileInfo::exists(destino) && QFileInfo(origen).canonicalFilePath() == QFileInfo(destino).canonicalFilePath()) {
        p.message(QStringLiteral("No se pudo exportar a %1: es el mismo archivo que está en uso.").arg(nativa(destino)),
                  ui::Icon::Critical);
        return false;
    }
    if (QFileInfo::exists(destino) &&
        p.question(QStringLiteral("El archivo destino ya existe, desea continuar ?")) != ui::Answer::Yes)
        return false;
    db::Error e;
    auto bd = AbreArchivo(origen, &e);
    if (!bd) {
        p.message(QStringLiteral("No se pudo abrir %1: %2.").arg(nativa(origen), RazonApertura(e)), ui::Icon::Critical);
        return false;
    }
    // VACUUM INTO reads one committed state, whatever the other terminals are writing meanwhile.
    const QString t = NombreTemporal(destino);
    QString error;
    if (!bd->vacuumInto(t, &e) || !Sincroniza(t) || !Reemplaza(t, destino, &error)) {
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
    const QString t = NombreTemporal(destino);
    if (!QFile::copy(archivo, t) || !Sincroniza(t)) {
        QFile::remove(t);
        return rechaza(QStringLiteral("no se pudo copiar junto a %1").arg(nativa(destino)));
    }
    QFile::setPermissions(t, QFile::permissions(t) | QFile::WriteOwner);
    const QString respaldo = destino + QStringLiteral(".bak");
    QString error;
    bool bien = true;
    if (QFileInfo::exists(destino)) {
        db::Error e;
        auto actual = AbreArchivo(destino, &e);
        // The lock is held while the files change places: no terminal writes into the old one meanwhile.
        if (!actual || !bloqueaExclusivo(*actual, &e)) {
            QFile::remove(t);
            if (e.kind == db::ErrorKind::Busy || e.kind == db::ErrorKind::Cancelled)
                return rechaza(QStringLiteral("el archivo %1 está en uso en otra terminal").arg(nativa(destino)));
            return rechaza(e.message);
        }
        QFile::remove(respaldo);
        bien = Reemplaza(destino, respaldo, &error);
        if (bien && !Reemplaza(t, destino, &error)) {
            // The old file goes back in place; where it cannot, the person is told where it stays.
            if (!Reemplaza(respaldo, destino, nullptr))
                error += QStringLiteral(" El archivo anterior quedó en %1.").arg(nativa(respaldo));
            bien = false;
        }
        actual->exec(QStringLiteral("ROLLBACK"));
    } else {
        bien = Reemplaza(t, destino, &error);
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
    const QString t = NombreTemporal(archivo);
    auto falla = [&](const QString& razon) {
        db::Database::closeAll(t);
        QFile::remove(t);
        p.message(QStringLiteral("No se generó el archivo %1: %2").arg(nativa(archivo), razon), ui::Icon::Critical);
        return QString();
    };
    if (!CopiaPlantillaLimpia(t)) return falla(QStringLiteral("no se pudo copiar la plantilla Limpia.db"));
    {
        db::Error e;
        auto central = AbreArchivo(shell::RutaBDCodigos(), &e);
        if (!central) return falla(RazonApertura(e));
        auto copia = AbreArchivo(t, &e);
        if (!copia) return falla(RazonApertura(e));
        QStringList columnas;
        for (const db::FieldInfo& f : central->fields(QStringLiteral("Producto"))) columnas << f.name;
        if (!db::Database::createTableLike(*central, *copia, QStringLiteral("Producto"), &e) ||
            !db::Database::copyRows(*central, *copia, QStringLiteral("Producto"), columnas, &e))
            return falla(e.message);
    }
    db::Database::closeAll(t);
    QString error;
    if (!Sincroniza(t) || !Reemplaza(t, archivo, &error)) return falla(error);
    p.message(QStringLiteral("El archivo destino se ha generado en ") + nativa(archivo), ui::Icon::None);
    return archivo;
}

QString ArchivoProductosEn(const QString& carpeta) {
    static const QRegularExpression nombre(QStringLiteral("^P\\d{8}\\.db$"), QRegularExpression::CaseInsensitiveOption);
    QString mejor;
    for (const QFileInfo& f : QDir(carpeta).entryInfoList(QDir::Files)) {
        // yyyymmdd sorts as the days do.
        if (nombre.match(f.fileName()).hasMatch() &&
            (mejor.isEmpty() || f.fileName().compare(QFileInfo(mejor).fileName(), Qt::CaseInsensitive) > 0))
            mejor = f.filePath();
    }
    return mejor;
}

bool ImportaProductos(const QString& ruta, ui::Prompts& p) {
    if (p.question(QStringLiteral("Este proceso recibe la lista de productos actualizada, se reemplazara la base actual "
                                  "de productos con la del archivo que seleccione."),
                   {}, false, false) != ui::Answer::Yes)
        return false;
    QString archivo = ruta;
    if (QFileInfo(ruta).isDir()) {
        archivo = ArchivoProductosEn(ruta);
        if (archivo.isEmpty()) {
            p.message(QStringLiteral("En la carpeta %1 no hay un archivo de productos P<aaaammdd>.db: elija la carpeta "
                                     "donde está o el archivo mismo.").arg(nativa(ruta)),
                      ui::Icon::Warning);
            return false;
        }
    }
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
    auto origen = AbreArchivo(archivo, &e);
    if (!origen) return rechaza(RazonApertura(e));
    if (!TablaPropia(*origen, QStringLiteral("Producto"))) return rechaza(QStringLiteral("el archivo no tiene la tabla Producto"));
    const auto camposOrigen = origen->fields(QStringLiteral("Producto"));
    for (const char* c : {"ClaveProducto", "CodigodeBarras"})
        if (!tieneCampo(camposOrigen, QString::fromLatin1(c)))
            return rechaza(QStringLiteral("la tabla Producto del archivo no tiene el campo %1").arg(QString::fromLatin1(c)));
    // Product 1 stands for loose articles on every sale screen.
    auto uno = origen->scalar(QStringLiteral("SELECT count(*) FROM main.Producto WHERE ClaveProducto = 1"), {}, &e);
    if (!uno) return rechaza(e.message);
    if (uno->toInt() == 0) return rechaza(QStringLiteral("el archivo no tiene el producto 1"));

    auto central = AbreArchivo(shell::RutaBDCodigos(), &e);
    if (!central) return rechaza(RazonApertura(e));
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
