#include "branches/archivo_sucursal.h"

#include "platform/db/database.h"
#include "shell/ligas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace sucursales {

namespace {

bool falla(QString* error, const QString& texto) {
    if (error) *error = texto;
    return false;
}

}  // namespace

QString ValidaNombreCorto(const QString& corto) {
    if (corto.isEmpty()) return QStringLiteral("Falta la descripción corta de la sucursal.");
    if (corto.size() > 20) return QStringLiteral("La descripción corta debe tener como máximo 20 caracteres.");
    if (corto != corto.trimmed())
        return QStringLiteral("La descripción corta no debe empezar ni terminar con espacios.");
    if (corto.contains(u'/') || corto.contains(u'\\') || corto == QStringLiteral(".") ||
        corto == QStringLiteral(".."))
        return QStringLiteral("La descripción corta no puede llevar \"/\" ni \"\\\", ni ser \".\" o \"..\": "
                              "es el nombre de la carpeta de la sucursal.");
    return {};
}

bool CreaArchivoSucursal(const QString& plantilla, const QString& destino, const QString& central,
                         int numero, const QString& clave, QString* error) {
    if (!QFileInfo(plantilla).isFile())
        return falla(error, QStringLiteral("No se encontró la plantilla de sucursal %1.")
                                .arg(QDir::toNativeSeparators(plantilla)));
    if (QFileInfo::exists(destino))
        return falla(error, QStringLiteral("El archivo %1 ya existe, no se sobrescribe.")
                                .arg(QDir::toNativeSeparators(destino)));
    const QString carpeta = QFileInfo(destino).absolutePath();
    if (!QDir().mkpath(carpeta))
        return falla(error, QStringLiteral("No se pudo crear la carpeta %1.").arg(QDir::toNativeSeparators(carpeta)));

    // The copy is made under a name nobody opens, so a half-made file never looks like a branch.
    QString temporal;
    {
        QFile origen(plantilla);
        QTemporaryFile copia(QDir(carpeta).filePath(QStringLiteral("BDSucursal-XXXXXX.tmp")));
        copia.setAutoRemove(false);
        if (!origen.open(QIODevice::ReadOnly) || !copia.open())
            return falla(error, QStringLiteral("No se pudo copiar la plantilla de sucursal %1.")
                                    .arg(QDir::toNativeSeparators(plantilla)));
        temporal = copia.fileName();
        bool bien = true;
        while (bien && !origen.atEnd()) {
            const QByteArray bloque = origen.read(1 << 20);
            bien = !bloque.isEmpty() && copia.write(bloque) == bloque.size();
        }
        bien = bien && copia.flush();
        copia.close();
        if (!bien) {
            QFile::remove(temporal);
            return falla(error, QStringLiteral("No se pudo copiar la plantilla de sucursal %1.")
                                    .arg(QDir::toNativeSeparators(plantilla)));
        }
    }
    auto deshaz = [&](const QString& texto) {
        db::Database::closeAll(temporal);
        QFile::remove(temporal);
        return falla(error, texto);
    };

    {
        db::OpenOptions op;
        op.password = clave;
        op.centralPath = central;
        op.createViews = false;
        db::Error e;
        auto bd = db::Database::open(temporal, op, &e);
        if (!bd)
            return deshaz(QStringLiteral("La plantilla de sucursal %1 no es una base de datos válida: %2")
                              .arg(QDir::toNativeSeparators(plantilla), e.message));
        int filas = 0;
        if (!bd->exec(QStringLiteral("UPDATE Parametros SET Sucursal = ?"), {numero}, &e, &filas))
            return deshaz(QStringLiteral("No se pudo escribir el número de sucursal en la plantilla: %1").arg(e.message));
        if (filas == 0)
            return deshaz(QStringLiteral("La plantilla de sucursal no tiene el registro de parámetros."));
    }
    db::Database::closeAll(temporal);
    const auto fallas = shell::LigaTablasCentrales(temporal, central, clave);
    if (!fallas.empty()) {
        const auto& f = fallas.front();
        return deshaz(QStringLiteral("No se pudo ligar la tabla %1 al archivo central: %2").arg(f.tabla, f.razon));
    }
    db::Database::closeAll(temporal);
    // rename() never replaces: a file made meanwhile by someone else stays as it is.
    if (!QFile::rename(temporal, destino))
        return deshaz(QStringLiteral("No se pudo dar su nombre al archivo %1.").arg(QDir::toNativeSeparators(destino)));
    return true;
}

}  // namespace sucursales
