#include "branches/catalogo.h"

#include "branches/archivo_sucursal.h"
#include "branches/archivos.h"
#include "platform/ui/prompts.h"
#include "shell/arranque.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/ligas.h"
#include "shell/rutas.h"
#include "shell/rutinas_bd.h"
#include "shell/sucursal.h"
#include "shell/texto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace sucursales {

namespace {

const char kNoExiste[] = "El Archivo de sucursal no existe.";

QString texto(const db::Row& f, const char* campo) {
    const QVariant v = f.value(QString::fromLatin1(campo));
    if (v.isNull()) return {};
    if (v.typeId() == QMetaType::Double && v.toDouble() == double(qint64(v.toDouble())))
        return QString::number(qint64(v.toDouble()));
    return v.toString();
}

const char kTerminales[] = "Número terminales";

// The terminals of a branch: a whole number (ValidaSucursal refuses anything else).
std::optional<qint64> terminales(const QString& t, QString* mensaje = nullptr) {
    return shell::LeeEnteroEn(t, QString::fromUtf8(kTerminales), {false, true, 1e9}, mensaje);
}

QVariantList columnas(const Sucursal& s) {
    return {s.DescripcionSuc, *NumeroSucursal(s.IdSucursal), s.DescripcionC, s.Direccion, s.Telefono,
            QString::number(terminales(s.NumTerminales).value_or(0)), s.UbicacionBD};
}

bool mismoArchivo(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (!fa.exists() || !fb.exists()) return false;
    return fa.canonicalFilePath() == fb.canonicalFilePath();
}

}  // namespace

std::optional<qint64> NumeroSucursal(const QString& s) {
    static const QRegularExpression digitos(QStringLiteral("^\\d{1,9}$"));
    const QString t = s.trimmed();
    if (!digitos.match(t).hasMatch()) return std::nullopt;
    return t.toLongLong();
}

bool RenuevaLigas(const QString& ruta, ui::Prompts& p) {
    const auto fallas = shell::LigaTablasCentrales(ruta, shell::RutaBDCodigos(), shell::ClaveArchivos(),
                                                   [](const QString& t) {
                                                       shell::PonEstado(2, QStringLiteral("Procesando ") + t +
                                                                               QStringLiteral(".."));
                                                   });
    for (const shell::FallaLiga& f : fallas)
        p.message(QStringLiteral("Error ") + (f.tabla.isEmpty() ? QString() : f.tabla + QStringLiteral(": ")) +
                      f.razon + QStringLiteral(" en crealiga."),
                  ui::Icon::None);
    return fallas.empty();
}

std::optional<std::vector<Sucursal>> LeeCatalogo(db::Database& central, db::Error* error) {
    auto filas = central.select(QStringLiteral("SELECT * FROM Sucursales ORDER BY IdSucursal"), {}, error);
    if (!filas) return std::nullopt;
    std::vector<Sucursal> out;
    for (const db::Row& f : *filas)
        out.push_back({texto(f, "DescripcionSuc"), texto(f, "IdSucursal"), texto(f, "DescripcionC"),
                       texto(f, "Direccion"), texto(f, "Telefono"), texto(f, "NumTerminales"),
                       texto(f, "UbicacionBD")});
    return out;
}

QString RutaArchivoSucursal(const QString& corto) {
    return shell::BuscaRuta(shell::UnirRuta(
        G().CarpetaDatos, QStringLiteral("Base de datos/Sucursales/%1/BDSucursal.db").arg(corto)));
}

QString RutaPlantillaSucursal() {
    return shell::BuscaRuta(shell::UnirRuta(G().CarpetaDatos, QStringLiteral("Base de datos/BDLimpias/SucursalL.db")));
}

QString RutaPlantillaLimpia() {
    return shell::BuscaRuta(shell::UnirRuta(G().CarpetaDatos, QStringLiteral("Base de datos/BDLimpias/Limpia.db")));
}

bool CopiaPlantillaLimpia(const QString& destino) {
    if (!QFile::copy(RutaPlantillaLimpia(), destino)) return false;
    QFile::setPermissions(destino, QFile::permissions(destino) | QFile::WriteOwner);
    return true;
}

QString ConExtensionBD(const QString& ruta) {
    if (ruta.isEmpty() || ruta.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive)) return ruta;
    return ruta + QStringLiteral(".db");
}

QString ValidaSucursal(db::Database& central, const Sucursal& s, std::optional<qint64> anterior) {
    const auto id = NumeroSucursal(s.IdSucursal);
    if (!id || *id < 1 || *id > 10) return QStringLiteral("El Id de sucursal debe ser un número entero del 1 al 10.");
    if (const QString mal = ValidaNombreCorto(s.DescripcionC); !mal.isEmpty()) return mal;
    if (s.DescripcionSuc.trimmed().isEmpty()) return QStringLiteral("Falta la descripción de la sucursal.");
    if (s.NumTerminales.trimmed().isEmpty()) return shell::MensajeRequerido(QString::fromUtf8(kTerminales));
    if (QString mal; !terminales(s.NumTerminales, &mal)) return mal;
    db::Error e;
    auto filas = central.select(QStringLiteral("SELECT IdSucursal, DescripcionC FROM Sucursales"), {}, &e);
    if (!filas) return QStringLiteral("No se pudo leer el catálogo de sucursales: ") + e.message;
    for (const db::Row& f : *filas) {
        const qint64 otro = f.integer(QStringLiteral("IdSucursal"));
        if (anterior && otro == *anterior) continue;
        if (otro == *id) return QStringLiteral("Ya existe una sucursal con el Id %1.").arg(*id);
        // Folders are found without regard to case, so two names that differ only there are one folder.
        if (f.text(QStringLiteral("DescripcionC")).compare(s.DescripcionC, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Ya existe una sucursal con la descripción corta %1.").arg(f.text(QStringLiteral("DescripcionC")));
    }
    return {};
}

void CierraBD(const QString& ruta) {
    shell::CierraConexiones();
    if (!ruta.isEmpty()) db::Database::closeAll(ruta);
}

bool AltaSucursal(db::Database& central, const Sucursal& s, ui::Prompts& p) {
    if (const QString mal = ValidaSucursal(central, s, std::nullopt); !mal.isEmpty()) {
        p.message(mal, ui::Icon::Warning);
        return false;
    }
    const QString ruta = RutaArchivoSucursal(s.DescripcionC);
    const bool nuevo = !QFileInfo::exists(ruta);
    if (nuevo) {
        QString error;
        if (!CreaArchivoSucursal(RutaPlantillaSucursal(), ruta, shell::RutaBDCodigos(), int(*NumeroSucursal(s.IdSucursal)),
                                 shell::ClaveArchivos(), &error)) {
            p.message(error, ui::Icon::Critical);
            return false;
        }
    } else {
        // A file left by an earlier branch of that name keeps its data; only its links are renewed.
        RenuevaLigas(ruta, p);
    }
    db::Error e;
    if (!central.exec(QStringLiteral("INSERT INTO Sucursales (DescripcionSuc, IdSucursal, DescripcionC, Direccion, "
                                     "Telefono, NumTerminales, UbicacionBD) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                      columnas(s), &e)) {
        if (nuevo) {
            db::Database::closeAll(ruta);
            QFile::remove(ruta);
            QDir().rmdir(QFileInfo(ruta).absolutePath());
        }
        shell::MuestraErrorBD(e);
        return false;
    }
    shell::PonEstado(2, QStringLiteral("Creación de archivos terminada."));
    return true;
}

bool ModificaSucursal(db::Database& central, qint64 anterior, const Sucursal& original, const Sucursal& s,
                      ui::Prompts& p) {
    if (const QString mal = ValidaSucursal(central, s, anterior); !mal.isEmpty()) {
        p.message(mal, ui::Icon::Warning);
        return false;
    }
    const bool cambiaNombre = s.DescripcionC != original.DescripcionC || *NumeroSucursal(s.IdSucursal) != anterior;
    if (cambiaNombre && QFileInfo::exists(RutaArchivoSucursal(original.DescripcionC))) {
        p.message(QStringLiteral("La sucursal ya tiene su archivo de datos: no se puede cambiar su Id ni su descripción "
                                 "corta (la carpeta, los parámetros, las terminales y el servidor de impresión "
                                 "dependen de ellos)."),
                  ui::Icon::Warning);
        return false;
    }
    db::Error e;
    int filas = 0;
    QVariantList v = columnas(s);
    v << anterior;
    if (!central.exec(QStringLiteral("UPDATE Sucursales SET DescripcionSuc = ?, IdSucursal = ?, DescripcionC = ?, "
                                     "Direccion = ?, Telefono = ?, NumTerminales = ?, UbicacionBD = ? "
                                     "WHERE IdSucursal = ?"),
                      v, &e, &filas)) {
        shell::MuestraErrorBD(e);
        return false;
    }
    if (filas == 0) {
        p.message(QStringLiteral("La sucursal %1 ya no está en el catálogo.").arg(anterior), ui::Icon::Warning);
        return false;
    }
    return true;
}

bool GeneraArchivos(const Sucursal& s, ui::Prompts& p) {
    const QString ruta = RutaArchivoSucursal(s.DescripcionC);
    if (!QFileInfo::exists(ruta)) {
        const auto id = NumeroSucursal(s.IdSucursal);
        QString error;
        if (!id || !ValidaNombreCorto(s.DescripcionC).isEmpty() ||
            !CreaArchivoSucursal(RutaPlantillaSucursal(), ruta, shell::RutaBDCodigos(), int(id.value_or(0)),
                                 shell::ClaveArchivos(), &error)) {
            p.message(error.isEmpty() ? ValidaNombreCorto(s.DescripcionC) : error, ui::Icon::Critical);
            return false;
        }
    } else {
        RenuevaLigas(ruta, p);
    }
    shell::PonEstado(2, QStringLiteral("Creación de archivos terminada."));
    return true;
}

bool CambiaSucursalActiva(const Sucursal& s, bool hayVentaAbierta, ui::Prompts& p) {
    auto& g = G();
    if (hayVentaAbierta) {
        p.message(QStringLiteral("Cierre la pantalla de ventas antes de cambiar de sucursal: sus productos pendientes "
                                 "están en el archivo de la sucursal activa."),
                  ui::Icon::Warning);
        return false;
    }
    const auto id = NumeroSucursal(s.IdSucursal);
    if (!id || *id < 0 || *id > 10) {
        p.message(QStringLiteral("El Id de sucursal debe ser un número entero del 1 al 10."), ui::Icon::Warning);
        return false;
    }
    if (!QFileInfo::exists(RutaArchivoSucursal(s.DescripcionC))) {
        p.message(QString::fromUtf8(kNoExiste), ui::Icon::Warning);
        return false;
    }
    const int antes = g.SucursalActual;
    const QString cortoAntes = g.DescripcionC[*id];
    // The row may be newer than the branch list read at start-up.
    g.DescripcionC[*id] = s.DescripcionC;
    g.DescripcionSuc[*id] = s.DescripcionSuc;
    g.DireccionSuc[*id] = s.Direccion;
    g.TelefonoSuc[*id] = s.Telefono;
    shell::CierraConexiones();
    g.SucursalActual = int(*id);
    if (!shell::EstableceSucursal()) {
        // EstableceSucursal has said why; the branch before goes on working.
        g.DescripcionC[*id] = cortoAntes;
        g.SucursalActual = antes;
        shell::CierraConexiones();
        shell::EstableceSucursal();
        return false;
    }
    p.message(QStringLiteral("La sucursal ") + s.DescripcionSuc + QStringLiteral(" se establecio como la activa."),
              ui::Icon::None);
    return true;
}

bool BorraArchivoSucursal(const Sucursal& s, ui::Prompts& p) {
    const QString ruta = RutaArchivoSucursal(s.DescripcionC);
    if (!QFileInfo(ruta).isFile()) {
        p.message(QString::fromUtf8(kNoExiste), ui::Icon::Warning);
        return false;
    }
    const auto& g = G();
    const auto id = NumeroSucursal(s.IdSucursal);
    if ((id && *id == g.SucursalActual) || mismoArchivo(ruta, shell::RutaBDSucursal(g.SucursalActual))) {
        p.message(QStringLiteral("No se puede borrar el archivo de la sucursal activa; cambie antes a otra sucursal."),
                  ui::Icon::Warning);
        return false;
    }
    if (p.question(QStringLiteral("Se borrará el archivo de datos de la sucursal %1 (ventas, existencias, folios, "
                                  "parámetros). ¿Desea continuar?").arg(s.DescripcionC),
                   QStringLiteral("Confirmar."), false, true) != ui::Answer::Yes)
        return false;
    CierraBD(ruta);
    db::Error e;
    {
        auto bd = AbreArchivo(ruta, &e);
        // An exclusive lock proves no other terminal is reading or writing the file; a short wait
        // lets a passing read finish.
        db::LockWait espera;
        espera.timeoutMs = 1500;
        if (bd && bd->execWait(QStringLiteral("BEGIN EXCLUSIVE"), {}, espera, &e)) bd->exec(QStringLiteral("COMMIT"));
        else if (e.kind == db::ErrorKind::Busy || e.kind == db::ErrorKind::Cancelled) {
            p.message(QStringLiteral("El archivo de la sucursal está en uso en otra terminal; no se borró."),
                      ui::Icon::Warning);
            return false;
        }
    }
    db::Database::closeAll(ruta);
    // A journal left beside the file would be played into the next file made under this name.
    QFile::remove(ruta + QStringLiteral("-journal"));
    if (!QFile::remove(ruta)) {
        p.message(QStringLiteral("No se pudo borrar el archivo %1.").arg(QDir::toNativeSeparators(ruta)),
                  ui::Icon::Critical);
        return false;
    }
    return true;
}

}  // namespace sucursales
