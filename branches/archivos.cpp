#include "branches/archivos.h"

#include "shell/conexion.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace sucursales {

std::unique_ptr<db::Database> AbreArchivo(const QString& ruta, db::Error* error, bool soloLectura) {
    db::OpenOptions op;
    op.password = shell::ClaveArchivos();
    op.attachLinks = false;
    op.createViews = false;
    op.readOnly = soloLectura;
    return db::Database::open(ruta, op, error);
}

bool TablaPropia(db::Database& bd, const QString& tabla) {
    for (const db::TableInfo& i : bd.tables())
        if (!i.linked && i.name.compare(tabla, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString RazonApertura(const db::Error& e) {
    switch (e.kind) {
    case db::ErrorKind::NotFound: return QStringLiteral("no se encontró el archivo");
    case db::ErrorKind::WrongPassword: return QStringLiteral("el archivo tiene otra contraseña");
    case db::ErrorKind::Corrupt: return QStringLiteral("el archivo no es una base de datos o está dañado");
    default: return e.message;
    }
}

QString NombreTemporal(const QString& destino) {
    for (;;) {
        const QString t = destino + QStringLiteral(".tmp%1").arg(QRandomGenerator::global()->generate() % 1000000);
        if (!QFileInfo::exists(t)) return t;
    }
}

bool Sincroniza(const QString& ruta) {
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool bien = ::fsync(fd) == 0;
    ::close(fd);
    return bien;
}

bool Reemplaza(const QString& de, const QString& a, QString* error) {
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(de).constData(), QFile::encodeName(a).constData(), ec);
    if (ec && error) *error = QString::fromStdString(ec.message());
    return !ec;
}

}  // namespace sucursales
