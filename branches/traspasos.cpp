#include "branches/traspasos.h"

#include "branches/archivos.h"
#include "branches/catalogo.h"
#include "platform/ui/prompts.h"
#include "sale/inventario_es.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/texto.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>


namespace sucursales {

namespace {

QString corto(int n) { return n >= 0 && n <= 10 ? G().DescripcionC[n] : QString(); }

const char kRecibidos[] = "CREATE TABLE IF NOT EXISTS TraspasosRecibidos (Clave TEXT PRIMARY KEY, Docto TEXT, "
                          "Entrada INTEGER, Fecha TEXT)";

// The entry of a transfer into a branch file, booked from its (product, quantity) pairs; its key
// is recorded in the same transaction. The entry's number, -1, or venta::kYaRegistrado.
qint64 registraEntrada(db::Database& bd, const std::vector<std::pair<qint64, double>>& lineas, int origen,
                       int destino, const QString& texto, const QString& docto, const QString& clave,
                       const QString& fechaSalida, ui::Prompts& p) {
    venta::DatosESInv d;
    d.signo = 1;
    d.imprimir = false;
    d.TextoES = texto;
    d.SucursalTraspaso = origen;
    d.SucursalActual = destino;
    d.Usuario = G().ClaveUsuario;
    d.traspaso = venta::DatosESInv::DatosTraspaso{origen, destino, 4, docto, {}};
    d.traspaso->registra = [&](db::Database& b, qint64 numero, db::Error* e) {
        // Files made before the record was kept get it on their first transfer.
        if (!b.exec(QString::fromLatin1(kRecibidos), {}, e)) return false;
        const auto ya = TraspasoRegistrado(b, docto, clave, fechaSalida, e);
        if (!ya) return false;
        if (*ya)
            return db::fail(e, db::ErrorKind::DuplicateKey,
                            QStringLiteral("El traspaso %1 ya se registró en esta sucursal.").arg(docto));
        return b.exec(QStringLiteral("INSERT INTO TraspasosRecibidos (Clave, Docto, Entrada, Fecha) VALUES (?, ?, ?, ?)"),
                      {clave, docto, numero, shell::FechaHoraISO(QDateTime::currentDateTime())}, e);
    };
    return venta::GuardatodoESInv(bd, lineas, d, p, {});
}

// A branch by its short name, by its number when it has none.
QString nombre(int n) { return corto(n).isEmpty() ? QString::number(n) : corto(n); }

// The other branch (not the origin, not `activa`) whose file already holds the transfer's entry:
// its number, 0 when none, -1 with the reason when a branch file cannot be read.
int RecibidoEnOtraSucursal(const QString& docto, const QString& clave, const QString& fecha, int origen, int activa,
                           QString* razon) {
    for (int i = 1; i <= 10; ++i) {
        if (i == origen || i == activa || corto(i).isEmpty()) continue;
        const QString ruta = RutaArchivoSucursal(corto(i));
        if (!QFileInfo(ruta).isFile()) continue;
        db::Error e;
        auto bd = AbreArchivo(ruta, &e, true);
        std::optional<bool> ya;
        if (bd) ya = TraspasoRegistrado(*bd, docto, clave, fecha, &e);
        bd.reset();
        if (!ya) {
            *razon = QStringLiteral("no se pudo revisar el archivo de la sucursal %1 (%2)").arg(corto(i), RazonApertura(e));
            return -1;
        }
        if (*ya) return i;
    }
    return 0;
}

}  // namespace

std::vector<std::pair<int, QString>> Destinos() {
    std::vector<std::pair<int, QString>> out;
    for (int i = 1; i <= 10; ++i)
        if (i != G().SucursalActual && !G().DescripcionC[i].isEmpty()) out.emplace_back(i, G().DescripcionC[i]);
    return out;
}

QString TextoTraspaso(int origen, int destino, const QTime& hora) {
    return QStringLiteral("Traspaso de ") + corto(origen) + QStringLiteral(" hacia ") + corto(destino) +
           QStringLiteral(". ") + hora.toString(QStringLiteral("HH:mm:ss"));
}

QString NombreArchivoTraspaso(const QDate& dia, int origen, int destino, qint64 salida) {
    return QStringLiteral("T%1_%2_%3_%4.db").arg(dia.toString(QStringLiteral("yyyyMMdd"))).arg(origen).arg(destino).arg(salida);
}

QString DoctoTraspaso(int origen, qint64 salida) { return QStringLiteral("TR %1-%2").arg(origen).arg(salida); }

QString ClaveTraspaso(int origen, qint64 salida, const QString& fechaSalida) {
    return DoctoTraspaso(origen, salida) + u' ' + fechaSalida;
}

std::optional<SalidaTraspaso> LeeSalidaTraspaso(db::Database& bd, qint64 numero, int origen, QString* razon) {
    auto no = [&](const QString& r) {
        if (razon) *razon = r;
        return std::optional<SalidaTraspaso>();
    };
    db::Error e;
    auto h = bd.selectOne(QStringLiteral("SELECT * FROM EInventario WHERE Numero = ?"), {numero}, &e);
    if (!h) return no(e.message);
    if (h->empty()) return no(QStringLiteral("no existe el documento %1").arg(numero));
    SalidaTraspaso s;
    s.numero = numero;
    s.docto = DoctoTraspaso(origen, numero);
    // An ordinary entry or exit, or the entry of a transfer received, would make goods twice.
    if (h->integer(QStringLiteral("DescribeMovto")) != 3 || h->text(QStringLiteral("Docto")) != s.docto ||
        h->integer(QStringLiteral("sucOrigen")) != origen)
        return no(QStringLiteral("el documento %1 no es una salida por traspaso de esta sucursal").arg(numero));
    s.destino = int(h->integer(QStringLiteral("sucDestino")));
    s.fecha = h->text(QStringLiteral("Fecha"));
    s.texto = h->text(QStringLiteral("Descripcion"));
    auto lineas = LeeDetalleOrigen(bd, numero, &e);
    if (!lineas) return no(e.message);
    if (lineas->empty()) return no(QStringLiteral("la salida no tiene productos"));
    s.lineas = std::move(*lineas);
    return s;
}

QString RevisaReenvio(db::Database& bd, qint64 salida, int origen, int destino) {
    QString razon;
    const auto s = LeeSalidaTraspaso(bd, salida, origen, &razon);
    if (!s) return QStringLiteral("Solo se puede enviar de nuevo una salida por traspaso guardada: ") + razon + u'.';
    if (s->destino != destino)
        return QStringLiteral("La salida %1 es un traspaso hacia %2: elija esa sucursal para enviarla de nuevo.")
            .arg(salida).arg(corto(s->destino));
    return {};
}

std::optional<bool> TraspasoRegistrado(db::Database& bd, const QString& docto, const QString& clave,
                                       const QString& fechaSalida, db::Error* error) {
    const bool registro = bd.tableExists(QStringLiteral("TraspasosRecibidos"));
    if (registro) {
        auto n = bd.scalar(QStringLiteral("SELECT count(*) FROM TraspasosRecibidos WHERE Clave = ?"), {clave}, error);
        if (!n) return std::nullopt;
        if (n->toInt() > 0) return true;
    }
    // An entry cannot come before its exit: an older one of the same document was another exit
    // that had the same number.
    QString sql = QStringLiteral("SELECT count(*) FROM EInventario WHERE Docto = ? AND DescribeMovto = 4 AND "
                                 "COALESCE(Fecha, '') >= ?");
    if (registro) sql += QStringLiteral(" AND Numero NOT IN (SELECT Entrada FROM TraspasosRecibidos WHERE Entrada IS NOT NULL)");
    auto n = bd.scalar(sql, {docto, fechaSalida}, error);
    if (!n) return std::nullopt;
    return n->toInt() > 0;
}

std::optional<std::vector<std::pair<qint64, double>>> LeeDetalleOrigen(db::Database& bd, qint64 numero,
                                                                        db::Error* error) {
    auto filas = bd.select(QStringLiteral("SELECT ClaveProducto, Cantidad FROM DEInventario WHERE Numero = ? "
                                          "ORDER BY OrdenCap"),
                           {numero}, error);
    if (!filas) return std::nullopt;
    std::vector<std::pair<qint64, double>> out;
    for (const db::Row& f : *filas)
        out.emplace_back(f.integer(QStringLiteral("ClaveProducto")), f.real(QStringLiteral("Cantidad")));
    return out;
}

QString GeneraArchivoTraspaso(db::Database& origen, qint64 salida, int sucOrigen, int sucDestino,
                              const QString& carpeta, const QDate& dia, ui::Prompts& p) {
    const QString archivo = QDir(carpeta).filePath(NombreArchivoTraspaso(dia, sucOrigen, sucDestino, salida));
    QString razon;
    if (!LeeSalidaTraspaso(origen, salida, sucOrigen, &razon)) {
        p.message(QStringLiteral("No se generó el archivo del traspaso: ") + razon + u'.', ui::Icon::Warning);
        return {};
    }
    if (QFileInfo::exists(archivo) &&
        p.question(QStringLiteral("El archivo destino ya existe, desea continuar ?")) != ui::Answer::Yes)
        return {};
    const QString t = NombreTemporal(archivo);
    auto falla = [&](const QString& razon) {
        db::Database::closeAll(t);
        QFile::remove(t);
        p.message(QStringLiteral("No se generó el archivo del traspaso (la salida %1 quedó guardada en esta sucursal): %2")
                      .arg(salida).arg(razon),
                  ui::Icon::Critical);
        return QString();
    };
    if (!CopiaPlantillaLimpia(t)) return falla(QStringLiteral("no se pudo copiar la plantilla Limpia.db"));
    {
        db::Error e;
        auto copia = AbreArchivo(t, &e);
        if (!copia) return falla(e.message);
        for (const char* tabla : {"EInventario", "DEInventario"}) {
            const QString nombre = QString::fromLatin1(tabla);
            QStringList columnas;
            for (const db::FieldInfo& f : origen.fields(nombre)) columnas << f.name;
            if (!db::Database::createTableLike(origen, *copia, nombre, &e) ||
                !db::Database::copyRows(origen, *copia, nombre, columnas, &e, QStringLiteral("Numero = ?"), {salida}))
                return falla(e.message);
        }
        int filas = 0;
        if (!copia->exec(QStringLiteral("UPDATE EInventario SET Traspaso = ?"), {sucOrigen}, &e, &filas)) return falla(e.message);
        if (filas != 1) return falla(QStringLiteral("no se encontró la salida %1").arg(salida));
    }
    db::Database::closeAll(t);
    QString error;
    if (!Sincroniza(t) || !Reemplaza(t, archivo, &error)) return falla(error);
    p.message(QStringLiteral("El archivo del traspaso se ha generado en ") + QDir::toNativeSeparators(archivo),
              ui::Icon::None);
    return archivo;
}

std::optional<ArchivoTraspaso> LeeArchivoTraspaso(const QString& ruta, db::Database& aqui, QString* razon) {
    auto no = [&](const QString& r) {
        if (razon) *razon = r;
        return std::optional<ArchivoTraspaso>();
    };
    db::Error e;
    auto bd = AbreArchivo(ruta, &e);
    if (!bd) {
        return no(RazonApertura(e));
    }
    for (const char* t : {"EInventario", "DEInventario"})
        if (!TablaPropia(*bd, QString::fromLatin1(t)))
            return no(QStringLiteral("el archivo no tiene la tabla %1").arg(QString::fromLatin1(t)));
    auto enc = bd->select(QStringLiteral("SELECT * FROM EInventario"), {}, &e);
    if (!enc) return no(e.message);
    if (enc->size() != 1) return no(QStringLiteral("el archivo debe tener un solo documento y tiene %1").arg(enc->size()));
    const db::Row& h = enc->front();
    ArchivoTraspaso a;
    a.origen = int(h.integer(QStringLiteral("Traspaso")));
    a.destino = int(h.integer(QStringLiteral("sucDestino")));
    a.salida = h.integer(QStringLiteral("Numero"));
    a.fecha = h.text(QStringLiteral("Fecha"));
    a.texto = h.text(QStringLiteral("Descripcion"));
    a.docto = h.text(QStringLiteral("Docto"));
    if (a.docto.isEmpty()) a.docto = DoctoTraspaso(a.origen, a.salida);
    auto lineas = LeeDetalleOrigen(*bd, h.integer(QStringLiteral("Numero")), &e);
    if (!lineas) return no(e.message);
    if (lineas->empty()) return no(QStringLiteral("el documento no tiene productos"));
    for (const auto& [clave, cantidad] : *lineas) {
        if (!(cantidad > 0)) return no(QStringLiteral("el producto %1 tiene una cantidad no válida (%2)").arg(clave).arg(cantidad));
        auto n = aqui.scalar(QStringLiteral("SELECT count(*) FROM Producto WHERE ClaveProducto = ?"), {clave}, &e);
        if (!n) return no(e.message);
        if (n->toInt() == 0) return no(QStringLiteral("el producto %1 no está en el catálogo de productos").arg(clave));
    }
    a.lineas = std::move(*lineas);
    return a;
}

bool AplicaTraspaso(const QString& ruta, ui::Prompts& p) {
    if (ruta.trimmed().isEmpty() || !QFileInfo(ruta).isFile()) {
        p.message(QStringLiteral("No se encontró el archivo, o error en la ruta de archivo."), ui::Icon::Warning);
        return false;
    }
    db::Error e;
    db::Database* aqui = shell::BDSucursal(&e);
    if (!aqui) {
        p.message(QStringLiteral("No se pudo abrir el archivo de la sucursal activa: ") + e.message, ui::Icon::Critical);
        return false;
    }
    QString razon;
    const auto a = LeeArchivoTraspaso(ruta, *aqui, &razon);
    if (!a) {
        p.message(QStringLiteral("No se puede aplicar el archivo de traspaso: ") + razon + u'.', ui::Icon::Warning);
        return false;
    }
    const int activa = G().SucursalActual;
    if (a->origen == activa) {
        p.message(QStringLiteral("La sucursal activa no es la que corresponde a recibir el traspaso, cambie la sucursal "
                                 "activa en 'Catalogos' y luego 'Sucursales'."),
                  ui::Icon::Warning);
        return false;
    }
    const QString clave = ClaveTraspaso(a->origen, a->salida, a->fecha);
    auto yaAplicado = [&] {
        p.message(QStringLiteral("Este traspaso ya se aplicó en esta sucursal (documento %1).").arg(a->docto), ui::Icon::Warning);
        return false;
    };
    const auto ya = TraspasoRegistrado(*aqui, a->docto, clave, a->fecha, &e);
    if (!ya) {
        p.message(QStringLiteral("No se puede aplicar el archivo de traspaso: ") + e.message, ui::Icon::Critical);
        return false;
    }
    if (*ya) return yaAplicado();
    // Goods sent to the wrong branch are booked where they arrived, once the person says so; a
    // transfer enters one branch only, so one already booked at another branch enters nowhere else.
    const int otra = RecibidoEnOtraSucursal(a->docto, clave, a->fecha, a->origen, activa, &razon);
    if (otra < 0) {
        p.message(QStringLiteral("No se puede aplicar el archivo de traspaso: ") + razon + u'.', ui::Icon::Critical);
        return false;
    }
    if (otra > 0) {
        p.message(QStringLiteral("Este traspaso ya se aplicó en la sucursal %1 (documento %2).").arg(nombre(otra), a->docto),
                  ui::Icon::Warning);
        return false;
    }
    if (a->destino != activa &&
        p.question(QStringLiteral("El traspaso %1 se hizo para la sucursal %2 y la sucursal activa es %3. Desea aplicarlo "
                                  "en %3 ?")
                       .arg(a->docto, nombre(a->destino), nombre(activa))) != ui::Answer::Yes)
        return false;
    if (p.question(QStringLiteral("Se procesará el traspaso ") + a->texto + QStringLiteral(", desea seguir ?")) !=
        ui::Answer::Yes)
        return false;
    const qint64 n = registraEntrada(*aqui, a->lineas, a->origen, activa, a->texto, a->docto, clave, a->fecha, p);
    if (n == venta::kYaRegistrado) return yaAplicado();
    return n != -1;
}

bool TraspasoDirecto(qint64 salida, int destino, ui::Prompts& p) {
    const int origen = G().SucursalActual;
    auto falla = [&](const QString& razon) {
        p.message(QStringLiteral("No se registró la entrada en la sucursal %1 (la salida %2 quedó guardada en esta "
                                 "sucursal; presione \"&Generar\" para intentarlo de nuevo): %3")
                      .arg(corto(destino)).arg(salida).arg(razon),
                  ui::Icon::Critical);
        return false;
    };
    db::Error e;
    db::Database* aqui = shell::BDSucursal(&e);
    if (!aqui) return falla(e.message);
    QString razon;
    const auto salidaT = LeeSalidaTraspaso(*aqui, salida, origen, &razon);
    if (!salidaT) return falla(razon);
    if (salidaT->destino != destino)
        return falla(QStringLiteral("la salida %1 es un traspaso hacia %2").arg(salida).arg(corto(salidaT->destino)));

    const QString ruta = RutaArchivoSucursal(corto(destino));
    if (corto(destino).isEmpty() || !QFileInfo(ruta).isFile()) return falla(QStringLiteral("no existe su archivo de datos"));
    db::OpenOptions op;
    op.password = shell::ClaveArchivos();
    op.centralPath = shell::RutaBDCodigos();
    op.createViews = false;
    auto alla = db::Database::open(ruta, op, &e);
    if (!alla) return falla(e.message);
    const QString& docto = salidaT->docto;
    const QString clave = ClaveTraspaso(origen, salida, salidaT->fecha);
    auto yaEsta = [&] {
        p.message(QStringLiteral("El traspaso %1 ya está registrado en la sucursal %2.").arg(docto, corto(destino)),
                  ui::Icon::None);
        return true;
    };
    const auto ya = TraspasoRegistrado(*alla, docto, clave, salidaT->fecha, &e);
    if (!ya) return falla(e.message);
    if (*ya) return yaEsta();
    const qint64 n = registraEntrada(*alla, salidaT->lineas, origen, destino, salidaT->texto, docto, clave,
                                     salidaT->fecha, p);
    if (n == venta::kYaRegistrado) return yaEsta();
    if (n == -1) return falla(QStringLiteral("no se pudo guardar la entrada"));
    return true;
}

}  // namespace sucursales
