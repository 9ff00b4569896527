#include "apps/setup/datasetup.h"

#include "branches/archivo_sucursal.h"
#include "shell/password.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace datasetup {

namespace {

const QString kCentral = QStringLiteral("BDcodigos.db");

bool setError(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

QString baseDatos(const QString& dataFolder) {
    return QDir(dataFolder).filePath(QStringLiteral("Base de datos"));
}

QString appDir() {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

std::unique_ptr<db::Database> openFile(const QString& path, const QString& password, QString* error,
                                       bool views = true) {
    db::OpenOptions o;
    o.password = password;
    o.createViews = views;
    db::Error e;
    auto d = db::Database::open(path, o, &e);
    if (!d) setError(error, QStringLiteral("No se pudo abrir %1: %2").arg(path, e.message));
    return d;
}

// Creates a file from a script; the file must not exist.
bool createFromScript(const QString& path, const QString& password, const QString& schemaDir,
                      const QString& scriptName, QString* error, QStringList* created,
                      const std::function<bool(db::Database&, QString*)>& after = {}) {
    const auto script = loadScript(schemaDir, scriptName, error);
    if (!script) return false;
    if (QFileInfo::exists(path))
        return setError(error, QStringLiteral("El archivo ya existe, no se sobrescribe: %1").arg(path));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return setError(error, QStringLiteral("No se pudo crear la carpeta de %1").arg(path));
    db::Error e;
    auto d = db::Database::create(path, password, &e);
    if (!d) return setError(error, QStringLiteral("No se pudo crear %1: %2").arg(path, e.message));
    bool ok = applyScript(*d, *script, error) && (!after || after(*d, error));
    d.reset();
    db::Database::closeAll(path);
    if (!ok) {
        QFile::remove(path);
        return false;
    }
    if (created) *created << path;
    return true;
}

QString shortNameOfBranch(const QString& dataFolder, int number, QString* error) {
    auto central = openFile(rutaBDCodigos(dataFolder), claveArchivos(), error, false);
    if (!central) return {};
    db::Error e;
    const auto v = central->scalar(QStringLiteral("SELECT DescripcionC FROM Sucursales WHERE IdSucursal = ?"),
                                   {number}, &e);
    if (!v || v->isNull() || v->toString().trimmed().isEmpty()) {
        setError(error, QStringLiteral("No existe la sucursal %1 en el catálogo.").arg(number));
        return {};
    }
    return v->toString().trimmed();
}

QStringList templateFiles(const QString& templatesDir) {
    QStringList out;
    if (templatesDir.isEmpty()) return out;
    const QDir dir(templatesDir);
    if (!dir.exists()) return out;
    for (const QString& f : dir.entryList(QDir::Files, QDir::Name)) out << f;
    return out;
}

}  // namespace

QString claveArchivos() { return QStringLiteral("pastizal"); }

QString rutaBDCodigos(const QString& d) { return QDir(baseDatos(d)).filePath(kCentral); }
QString rutaDatos(const QString& d) { return QDir(baseDatos(d)).filePath(QStringLiteral("Datos.db")); }
QString rutaPlantillaSucursal(const QString& d) {
    return QDir(baseDatos(d)).filePath(QStringLiteral("BDLimpias/SucursalL.db"));
}
QString rutaPlantillaLimpia(const QString& d) {
    return QDir(baseDatos(d)).filePath(QStringLiteral("BDLimpias/Limpia.db"));
}
QString rutaSucursal(const QString& d, const QString& shortName) {
    return QDir(baseDatos(d)).filePath(QStringLiteral("Sucursales/%1/BDSucursal.db").arg(shortName));
}
QString rutaReportes(const QString& d) { return QDir(d).filePath(QStringLiteral("Reports")); }

std::optional<Script> loadScript(const QString& schemaDir, const QString& name, QString* error) {
    QFile f(QDir(schemaDir).filePath(name));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setError(error, QStringLiteral("No se encontró el script %1 en %2").arg(name, schemaDir));
        return std::nullopt;
    }
    return parseScript(QString::fromUtf8(f.readAll()));
}

bool applyScript(db::Database& database, const Script& script, QString* error) {
    db::Error e;
    if (!script.statements.isEmpty()) {
        if (!database.beginWrite({}, &e))
            return setError(error, QStringLiteral("No se pudo iniciar la escritura: %1").arg(e.message));
        for (const QString& sql : script.statements) {
            if (!database.exec(sql, QVariantList{}, &e)) {
                database.rollback();
                return setError(error, QStringLiteral("Falló la instrucción:\n%1\n%2").arg(sql, e.message));
            }
        }
        if (!database.commit(&e)) {
            database.rollback();
            return setError(error, QStringLiteral("No se pudo guardar: %1").arg(e.message));
        }
    }
    for (const auto& link : script.links)
        if (!database.createLink(link.name, link.source, &e))
            return setError(error, QStringLiteral("No se pudo ligar la tabla %1 a %2: %3")
                                       .arg(link.name, link.source, e.message));
    for (const auto& q : script.queries)
        if (!database.createQuery(q.name, q.kind, q.sql, &e))
            return setError(error, QStringLiteral("No se pudo guardar la consulta %1: %2").arg(q.name, e.message));
    return true;
}

QString defaultSchemaDir() {
    const QString beside = QDir(appDir()).filePath(QStringLiteral("schema"));
    if (!appDir().isEmpty() && QFileInfo::exists(QDir(beside).filePath(QStringLiteral("bdcodigos.sql"))))
        return beside;
#ifdef QUORVEL_SCHEMA_SOURCE
    return QStringLiteral(QUORVEL_SCHEMA_SOURCE);
#else
    return beside;
#endif
}

QString defaultTemplatesDir() {
    const QString beside = QDir(appDir()).filePath(QStringLiteral("templates"));
    if (!appDir().isEmpty() && QDir(beside).exists()) return beside;
#ifdef QUORVEL_TEMPLATES_SOURCE
    return QStringLiteral(QUORVEL_TEMPLATES_SOURCE);
#else
    return beside;
#endif
}

QString defaultPrintServer() {
    if (appDir().isEmpty()) return {};
    const QString beside = QDir(appDir()).filePath(QStringLiteral("Plovix/tarvex"));
    return QFileInfo(beside).isExecutable() ? beside : QString();
}

namespace {

// The server where Quorvel looks for it (<application>/Plovix/tarvex), as scripts/run places it.
QString placePrintServer(const Options& o, QStringList* created) {
    const QString destino = QDir(o.appFolder).filePath(QStringLiteral("Plovix/tarvex"));
    if (QFileInfo::exists(destino)) return {};
    const QFileInfo programa(o.printServer);
    if (o.printServer.isEmpty() || !programa.isFile() || !programa.isExecutable())
        return QStringLiteral("No se encontró el servidor de impresión (tarvex) junto a quorvel-setup: "
                              "cópielo a %1 antes de activar \"Usar Servidor de Impresión\".")
            .arg(destino);
    if (!QFile::link(programa.absoluteFilePath(), destino) && !QFile::copy(programa.absoluteFilePath(), destino))
        return QStringLiteral("No se pudo poner el servidor de impresión en %1: cópielo ahí antes de activar "
                              "\"Usar Servidor de Impresión\".")
            .arg(destino);
    if (created) *created << destino;
    return {};
}

}  // namespace

QStringList plannedFiles(const Options& o) {
    QStringList out;
    if (!o.appFolder.isEmpty()) {
        out << QDir(o.appFolder).filePath(QStringLiteral("Direccion.db"))
            << QDir(o.appFolder).filePath(QStringLiteral("Plovix/Direccion.db"));
    }
    if (!o.dataFolder.isEmpty()) {
        out << rutaBDCodigos(o.dataFolder) << rutaDatos(o.dataFolder)
            << rutaPlantillaSucursal(o.dataFolder) << rutaPlantillaLimpia(o.dataFolder)
            << rutaSucursal(o.dataFolder, QStringLiteral("Matriz"));
        for (const QString& f : templateFiles(o.templatesDir))
            out << QDir(rutaReportes(o.dataFolder)).filePath(f);
    }
    return out;
}

bool createAppFolder(const Options& o, QString* error, QStringList* created, QString* warning) {
    if (o.terminal < 0 || o.terminal > 255)
        return setError(error, QStringLiteral("El número de terminal debe estar entre 0 y 255."));
    if (o.sucursal < 0 || o.sucursal > 10)
        return setError(error, QStringLiteral("El número de sucursal debe estar entre 0 y 10."));
    // The data folder is kept without a trailing separator: paths are built by adding to it.
    QString datos = o.dataFolder.isEmpty() ? QString() : QDir::cleanPath(QDir(o.dataFolder).absolutePath());
    const QString quorvel = QDir(o.appFolder).filePath(QStringLiteral("Direccion.db"));
    const QString tarvex = QDir(o.appFolder).filePath(QStringLiteral("Plovix/Direccion.db"));
    for (const QString& p : {quorvel, tarvex})
        if (QFileInfo::exists(p))
            return setError(error, QStringLiteral("El archivo ya existe, no se sobrescribe: %1").arg(p));
    if (!createFromScript(quorvel, {}, o.schemaDir, QStringLiteral("direccion.sql"), error, created,
                          [&](db::Database& d, QString* err) {
                              db::Error e;
                              if (d.exec(QStringLiteral("INSERT INTO Dir (Direccion, Terminal, Sucursal) VALUES (?, ?, ?)"),
                                         {datos, o.terminal, o.sucursal}, &e))
                                  return true;
                              return setError(err, e.message);
                          }))
        return false;
    if (!createFromScript(tarvex, {}, o.schemaDir, QStringLiteral("direccion_tarvex.sql"), error, created,
                          [&](db::Database& d, QString* err) {
                              db::Error e;
                              if (d.exec(QStringLiteral("INSERT INTO Direccion (Direccion, Sucursal) VALUES (?, ?)"),
                                         {datos, o.sucursal}, &e))
                                  return true;
                              return setError(err, e.message);
                          }))
        return false;
    const QString aviso = placePrintServer(o, created);
    if (warning) *warning = aviso;
    return true;
}

bool createBranch(const QString& dataFolder, const QString& shortName, int number, QString* error) {
    if (const QString mal = sucursales::ValidaNombreCorto(shortName); !mal.isEmpty())
        return setError(error, QStringLiteral("Nombre corto de sucursal no válido: \"%1\". %2").arg(shortName, mal));
    return sucursales::CreaArchivoSucursal(rutaPlantillaSucursal(dataFolder), rutaSucursal(dataFolder, shortName),
                                           rutaBDCodigos(dataFolder), number, claveArchivos(), error);
}

bool createDataFolder(const Options& o, QString* error, QStringList* created) {
    const QString d = o.dataFolder;
    for (const QString& p : plannedFiles(Options{QString(), d, o.terminal, o.sucursal, false,
                                                 o.schemaDir, o.templatesDir}))
        if (QFileInfo::exists(p))
            return setError(error, QStringLiteral("El archivo ya existe, no se sobrescribe: %1").arg(p));

    const QString clave = claveArchivos();
    if (!createFromScript(rutaBDCodigos(d), clave, o.schemaDir, QStringLiteral("bdcodigos.sql"), error,
                          created, [](db::Database& db, QString* err) {
                              const QString hash = shell::HashClave(QStringLiteral("KORVADIM"));
                              if (hash.isEmpty()) return setError(err, QStringLiteral("No se pudo cifrar la clave."));
                              db::Error e;
                              if (db.exec(QStringLiteral("UPDATE Personal SET ClaveAcceso = ? WHERE ClavePersonal = 1"),
                                          {hash}, &e))
                                  return true;
                              return setError(err, e.message);
                          }))
        return false;
    if (!createFromScript(rutaDatos(d), {}, o.schemaDir, QStringLiteral("datos.sql"), error, created))
        return false;
    if (!createFromScript(rutaPlantillaSucursal(d), clave, o.schemaDir, QStringLiteral("sucursal.sql"),
                          error, created))
        return false;
    if (!createFromScript(rutaPlantillaLimpia(d), clave, o.schemaDir, QStringLiteral("limpia.sql"), error,
                          created))
        return false;

    const QString corto = shortNameOfBranch(d, 1, error);
    if (corto.isEmpty()) return false;
    if (!createBranch(d, corto, 1, error)) return false;
    if (created) *created << rutaSucursal(d, corto);

    const QString reportes = rutaReportes(d);
    if (!QDir().mkpath(reportes))
        return setError(error, QStringLiteral("No se pudo crear la carpeta %1").arg(reportes));
    for (const QString& f : templateFiles(o.templatesDir)) {
        const QString destino = QDir(reportes).filePath(f);
        if (!QFile::copy(QDir(o.templatesDir).filePath(f), destino))
            return setError(error, QStringLiteral("No se pudo copiar la plantilla de reporte %1").arg(f));
        if (created) *created << destino;
    }
    if (o.demo && !addDemoCatalogue(d, corto, error)) return false;
    return true;
}

bool addDemoCatalogue(const QString& dataFolder, const QString& branchShortName, QString* error) {
    struct P {
        const char* codigo;
        const char* nombre;
        const char* descripcion;
        double precio;
        double costo;
        int iva;
        double existencia;
    };
    static const P productos[] = {
        {"7501000000011", "CUADERNO PROF", "CUADERNO PROFESIONAL 100 HOJAS RAYA", 38.50, 22.00, 16, 40},
        {"7501000000028", "PLUMA AZUL", "BOLIGRAFO PUNTO MEDIANO AZUL", 8.00, 3.50, 16, 120},
        {"7501000000035", "PLUMA NEGRA", "BOLIGRAFO PUNTO MEDIANO NEGRO", 8.00, 3.50, 16, 110},
        {"7501000000042", "LAPIZ HB", "LAPIZ DE GRAFITO HB NO. 2", 5.50, 2.10, 16, 200},
        {"7501000000059", "GOMA BLANCA", "GOMA DE BORRAR BLANCA MEDIANA", 6.00, 2.40, 16, 80},
        {"7501000000066", "SACAPUNTAS", "SACAPUNTAS METALICO SENCILLO", 7.00, 2.80, 16, 60},
        {"7501000000073", "REGLA 30", "REGLA DE PLASTICO 30 CM", 12.00, 5.00, 16, 35},
        {"7501000000080", "TIJERAS ESC", "TIJERAS ESCOLARES PUNTA ROMA", 24.00, 11.00, 16, 25},
        {"7501000000097", "PEGAMENTO", "LAPIZ ADHESIVO 20 G", 18.00, 8.50, 16, 45},
        {"7501000000103", "COLORES 12", "CAJA DE 12 LAPICES DE COLORES", 45.00, 24.00, 16, 30},
        {"7501000000110", "HOJAS CARTA", "PAQUETE 500 HOJAS BLANCAS CARTA", 129.00, 88.00, 16, 18},
        {"7501000000127", "FOLDER CARTA", "FOLDER MANILA TAMAÑO CARTA", 3.00, 1.20, 16, 300},
        {"7501000000134", "MARCATEXTOS", "MARCATEXTOS AMARILLO", 14.00, 6.00, 16, 70},
        {"7501000000141", "CALCULADORA", "CALCULADORA BASICA 8 DIGITOS", 95.00, 52.00, 16, 12},
        {"7501000000158", "MOCHILA", "MOCHILA ESCOLAR MEDIANA", 349.00, 210.00, 16, 6},
        {"7501000000165", "LIBRO LECTURA", "LIBRO DE LECTURA INFANTIL", 120.00, 80.00, 0, 10},
        {"7501000000172", "AGUA 600", "AGUA NATURAL 600 ML", 12.00, 6.50, 0, 48},
        {"7501000000189", "GALLETAS", "GALLETAS SURTIDAS 200 G", 22.00, 13.00, 0, 36},
        {"7501000000196", "CINTA ADH", "CINTA ADHESIVA TRANSPARENTE 18 MM", 15.00, 7.00, 16, 50},
        {"7501000000202", "CORRECTOR", "CORRECTOR LIQUIDO TIPO PLUMA", 26.00, 12.00, 16, 28},
    };
    const QString rutaSuc = rutaSucursal(dataFolder, branchShortName);
    auto sucursal = openFile(rutaSuc, claveArchivos(), error, false);
    if (!sucursal) return false;

    // The branch reaches the central catalogue through its links, so one transaction on the branch
    // file writes both.
    db::Error e;
    if (!sucursal->beginWrite({}, &e)) return setError(error, e.message);
    auto fail = [&](const QString& what) {
        sucursal->rollback();
        return setError(error, QStringLiteral("No se pudo agregar el catálogo de prueba (%1): %2").arg(what, e.message));
    };
    const auto max = sucursal->scalar(QStringLiteral("SELECT COALESCE(MAX(ClaveProducto), 0) FROM Producto"), {}, &e);
    if (!max) return fail(QStringLiteral("productos"));
    qint64 clave = max->toLongLong();
    for (const P& p : productos) {
        ++clave;
        if (!sucursal->exec(QStringLiteral(
                "INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, Descripcion, Unidad, Marca, IVA, "
                "PrecioUnit, Precio1, Precio2, Precio3, PrecioCosto, Moneda, Categoria, TipoProducto, Reorden, "
                "TipoSustituto) VALUES (?, ?, ?, ?, 'Pza', 'GEN', ?, ?, ?, ?, ?, ?, 1, 0, 0, 5, ' ')"),
                {clave, QString::fromUtf8(p.codigo), QString::fromUtf8(p.nombre), QString::fromUtf8(p.descripcion),
                 p.iva, p.precio, p.precio, p.precio * 0.95, p.precio * 0.90, p.costo},
                &e))
            return fail(QString::fromUtf8(p.codigo));
        if (!sucursal->exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (?, ?)"),
                            {clave, p.existencia}, &e))
            return fail(QString::fromUtf8(p.codigo));
    }
    if (!sucursal->exec(QStringLiteral("INSERT INTO Vendedores (IdVendedor, NombreVendedor) VALUES (1, 'MOSTRADOR')"),
                        {}, &e))
        return fail(QStringLiteral("vendedor"));
    const QString altaCliente = QStringLiteral(
        "INSERT INTO Cliente (RFC, CURP, Nombre, Direccion, NumExterior, Colonia, Municipio, Ciudad, Estado, "
        "Pais, CP, Telefono, TipoCompra, LimiteCredito) VALUES (?, ' ', ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?)");
    if (!sucursal->exec(altaCliente,
                        {QStringLiteral("GOMA800101AB1"), QStringLiteral("MARIA GONZALEZ MARTINEZ"),
                         QStringLiteral("AV. JUAREZ"), QStringLiteral("120"), QStringLiteral("CENTRO"),
                         QStringLiteral("GUADALAJARA"), QStringLiteral("GUADALAJARA"), QStringLiteral("JALISCO"),
                         QStringLiteral("44100"), QStringLiteral("3312345678"), 0, 0.0},
                        &e) ||
        !sucursal->exec(altaCliente,
                        {QStringLiteral("PAPE9105127X3"), QStringLiteral("PAPELERIA EL ESTUDIANTE"),
                         QStringLiteral("CALLE HIDALGO"), QStringLiteral("45"), QStringLiteral("SAN JUAN"),
                         QStringLiteral("PUEBLA"), QStringLiteral("PUEBLA"), QStringLiteral("PUEBLA"),
                         QStringLiteral("72000"), QStringLiteral("2221234567"), 1, 5000.0},
                        &e))
        return fail(QStringLiteral("clientes"));
    if (!sucursal->commit(&e)) return fail(QStringLiteral("guardar"));
    sucursal.reset();

    // Credit plans of the dearer articles, so a credit sale can be tried (plans live in the central
    // file only; the branch does not link them).
    struct Plan {
        const char* codigo;
        double precioCredito, anticipo, importePago;
        int periodo;
    };
    static const Plan planes[] = {
        {"7501000000158", 399.00, 99.00, 75.00, 15},
        {"7501000000141", 110.00, 30.00, 20.00, 15},
        {"7501000000110", 150.00, 50.00, 25.00, 7},
    };
    auto central = openFile(rutaBDCodigos(dataFolder), claveArchivos(), error, false);
    if (!central) return false;
    if (!central->beginWrite({}, &e)) return setError(error, e.message);
    for (const Plan& p : planes) {
        if (!central->exec(QStringLiteral(
                "INSERT INTO PreciosCredito (Producto, PrecioCredito, Anticipo, ImportePago, Periododepago) "
                "SELECT ClaveProducto, ?, ?, ?, ? FROM Producto WHERE CodigodeBarras = ?"),
                {p.precioCredito, p.anticipo, p.importePago, p.periodo, QString::fromUtf8(p.codigo)}, &e)) {
            central->rollback();
            return setError(error, QStringLiteral("No se pudo agregar el catálogo de prueba (planes de crédito): ")
                                       + e.message);
        }
    }
    if (!central->commit(&e)) {
        central->rollback();
        return setError(error, QStringLiteral("No se pudo agregar el catálogo de prueba (planes de crédito): ")
                                   + e.message);
    }
    return true;
}

bool addMissingTemplates(const QString& dataFolder, const QString& templatesDir, QStringList* added,
                         QString* error) {
    if (!QFileInfo::exists(rutaBDCodigos(dataFolder)))
        return setError(error, QStringLiteral("La carpeta %1 no es una carpeta de datos.").arg(dataFolder));
    const QString reportes = rutaReportes(dataFolder);
    if (!QDir().mkpath(reportes))
        return setError(error, QStringLiteral("No se pudo crear la carpeta %1").arg(reportes));
    for (const QString& f : templateFiles(templatesDir)) {
        const QString destino = QDir(reportes).filePath(f);
        if (QFileInfo::exists(destino)) continue;
        if (!QFile::copy(QDir(templatesDir).filePath(f), destino))
            return setError(error, QStringLiteral("No se pudo copiar la plantilla de reporte %1").arg(f));
        if (added) *added << f;
    }
    return true;
}

Result addTerminal(const Options& o) {
    Result r;
    if (o.demo) {
        r.message = QStringLiteral("El catálogo de prueba necesita una carpeta de datos nueva; %1 ya tiene datos.")
                        .arg(QDir::toNativeSeparators(o.dataFolder));
        return r;
    }
    // The data folder is only read: the branch this terminal starts in must be there.
    QString error;
    const QString corto = shortNameOfBranch(o.dataFolder, o.sucursal, &error);
    db::Database::closeAll(rutaBDCodigos(o.dataFolder));
    if (corto.isEmpty()) {
        r.message = error;
        return r;
    }
    if (!QFileInfo::exists(rutaSucursal(o.dataFolder, corto))) {
        r.message = QStringLiteral("La sucursal %1 (%2) no tiene su archivo en la carpeta de datos: %3")
                        .arg(o.sucursal)
                        .arg(corto, QDir::toNativeSeparators(rutaSucursal(o.dataFolder, corto)));
        return r;
    }
    if (!createAppFolder(o, &r.message, &r.created, &r.warning)) return r;
    r.ok = true;
    r.message = QStringLiteral("Terminal %1 agregada a la carpeta de datos %2 (sucursal %3). Archivos creados:\n  %4")
                    .arg(o.terminal)
                    .arg(QDir::toNativeSeparators(o.dataFolder), corto, r.created.join(QStringLiteral("\n  ")));
    if (!r.warning.isEmpty()) r.message += QStringLiteral("\n") + r.warning;
    return r;
}

Result run(const Options& o) {
    Result r;
    if (o.appFolder.isEmpty() && o.dataFolder.isEmpty()) {
        r.message = QStringLiteral("Indique la carpeta de la aplicación, la carpeta de datos o ambas.");
        return r;
    }
    if (!o.appFolder.isEmpty() && !o.dataFolder.isEmpty() && QFileInfo::exists(rutaBDCodigos(o.dataFolder)))
        return addTerminal(o);
    QStringList existing;
    for (const QString& p : plannedFiles(o))
        if (QFileInfo::exists(p)) existing << p;
    if (!existing.isEmpty()) {
        r.message = QStringLiteral("No se sobrescribe ningún archivo existente:\n  %1").arg(existing.join(QStringLiteral("\n  ")));
        return r;
    }
    QString error;
    if (!o.dataFolder.isEmpty() && !createDataFolder(o, &error, &r.created)) {
        r.message = error;
        return r;
    }
    if (!o.appFolder.isEmpty() && !createAppFolder(o, &error, &r.created, &r.warning)) {
        r.message = error;
        return r;
    }
    r.ok = true;
    r.message = QStringLiteral("Listo. Archivos creados:\n  %1").arg(r.created.join(QStringLiteral("\n  ")));
    if (!r.warning.isEmpty()) r.message += QStringLiteral("\n") + r.warning;
    return r;
}

}  // namespace datasetup
