// A new data folder: files, shipped rows, links between branch and central files, refusals.

#include "schema_fixture.h"

#include "shell/password.h"
#include "testutil.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

TEST_F(DataFolderTest, MakesEveryFileAndPointsTheProgramsAtTheDataFolder) {
    for (const QString& p : datasetup::plannedFiles(options))
        EXPECT_TRUE(QFileInfo::exists(p)) << p.toStdString();
    EXPECT_TRUE(QDir(datasetup::rutaReportes(options.dataFolder)).exists());

    auto dir = open(QDir(options.appFolder).filePath(QStringLiteral("Direccion.db")), {});
    ASSERT_TRUE(dir);
    const auto rows = dir->select(QStringLiteral("SELECT Direccion, Terminal, Sucursal FROM Dir"));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1u);
    const QString datos = rows->front().text(QStringLiteral("Direccion"));
    EXPECT_EQ(QDir(datos), QDir(options.dataFolder));
    EXPECT_FALSE(datos.endsWith(u'/'));
    EXPECT_EQ(rows->front().integer(QStringLiteral("Terminal")), 3);
    EXPECT_EQ(rows->front().integer(QStringLiteral("Sucursal")), 1);

    auto tarvex = open(QDir(options.appFolder).filePath(QStringLiteral("Plovix/Direccion.db")), {});
    ASSERT_TRUE(tarvex);
    const auto row = tarvex->selectOne(QStringLiteral("SELECT Direccion, Sucursal FROM Direccion"));
    ASSERT_TRUE(row && !row->empty());
    EXPECT_EQ(row->text(QStringLiteral("Direccion")), datos);
    EXPECT_EQ(row->integer(QStringLiteral("Sucursal")), 1);

    // The monitor log has no password; the catalogue files refuse a wrong one.
    auto datosDb = open(datasetup::rutaDatos(options.dataFolder), {});
    ASSERT_TRUE(datosDb);
    EXPECT_TRUE(datosDb->exec(QStringLiteral("INSERT INTO MonitorSistema (Equipo, Proceso, Usuario, Mensaje) VALUES (?, ?, ?, ?)"),
                              {QStringLiteral("CAJA1"), QStringLiteral("Prueba"), 1, QStringLiteral("ok")}));
    EXPECT_EQ(count(*datosDb, QStringLiteral("SELECT Vivo FROM MonitorSistema")), 4);
    db::Error e;
    EXPECT_FALSE(db::Database::open(datasetup::rutaBDCodigos(options.dataFolder), QStringLiteral("otra"), &e));
    EXPECT_EQ(e.kind, db::ErrorKind::WrongPassword);
}

TEST_F(DataFolderTest, TransferTemplateHoldsNoTable) {
    auto limpia = open(datasetup::rutaPlantillaLimpia(options.dataFolder), datasetup::claveArchivos());
    ASSERT_TRUE(limpia);
    EXPECT_TRUE(limpia->tables().empty());
    EXPECT_TRUE(limpia->savedQueries().empty());
}

TEST_F(DataFolderTest, BranchTemplateRows) {
    auto suc = branch();
    ASSERT_TRUE(suc);
    EXPECT_EQ(count(*suc, QStringLiteral("SELECT COUNT(*) FROM Parametros")), 1);
    EXPECT_EQ(suc->fields(QStringLiteral("Parametros")).size(), 46u);
    const auto p = suc->selectOne(QStringLiteral("SELECT * FROM Parametros"));
    ASSERT_TRUE(p && !p->empty());
    // The shell reads these straight, without a null-safe reader.
    for (const char* f : {"IVA", "PrefijoFact", "UsarServidorImp", "Driver", "TFuente", "IncrementoAP", "Ajuste",
                          "Sucursal", "EspT", "CodigosPTicket"})
        EXPECT_FALSE(p->isNull(QString::fromLatin1(f))) << f;
    EXPECT_EQ(p->integer(QStringLiteral("IVA")), 16);
    EXPECT_EQ(p->integer(QStringLiteral("TFuente")), 9);
    EXPECT_EQ(p->integer(QStringLiteral("BDefault")), 1);
    EXPECT_EQ(p->integer(QStringLiteral("Sucursal")), 1);
    // The drawer is on: only a shop that switched it off gets the drawer-off notice.
    EXPECT_EQ(p->integer(QStringLiteral("OpenCDrawer")), 1);
    EXPECT_TRUE(p->has(QStringLiteral("NtimesTicket")));  // spelled three ways in the program

    const auto folios = suc->select(QStringLiteral("SELECT Numerofolio, ValorFolio, Descripcion FROM Folios ORDER BY Numerofolio"));
    ASSERT_TRUE(folios);
    ASSERT_EQ(folios->size(), 9u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ((*folios)[i].integer(QStringLiteral("Numerofolio")), i);
        EXPECT_EQ((*folios)[i].integer(QStringLiteral("ValorFolio")), 0);
        EXPECT_FALSE((*folios)[i].text(QStringLiteral("Descripcion")).isEmpty());
    }
}

TEST_F(DataFolderTest, SaleHeaderDefaultsAndDocumentIdentity) {
    auto suc = branch();
    ASSERT_TRUE(suc);
    const QString alta = QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente, Total, PagaObs1) VALUES (?, ?, 'XAXX010101000', 10, '')");
    ASSERT_TRUE(suc->exec(alta, {5, QStringLiteral("T")}));
    const auto v = suc->selectOne(QStringLiteral("SELECT Status, IdCorte, FE FROM Venta WHERE Numero = 5 AND Tipo = 'T'"));
    ASSERT_TRUE(v && !v->empty());
    EXPECT_EQ(v->integer(QStringLiteral("Status")), 1);
    EXPECT_EQ(v->integer(QStringLiteral("IdCorte")), 0);
    EXPECT_EQ(v->integer(QStringLiteral("FE")), 0);

    // Numbers of different letters are independent; the same number and letter twice is refused.
    EXPECT_TRUE(suc->exec(alta, {5, QStringLiteral("F")}));
    db::Error e;
    EXPECT_FALSE(suc->exec(alta, {5, QStringLiteral("T")}, &e));
    EXPECT_EQ(e.kind, db::ErrorKind::DuplicateKey);

    ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO NotaCredito (Numero, Total) VALUES (1, 50)")));
    EXPECT_EQ(count(*suc, QStringLiteral("SELECT Status FROM NotaCredito WHERE Numero = 1")), 1);
    EXPECT_FALSE(suc->exec(QStringLiteral("INSERT INTO NotaCredito (Numero, Total) VALUES (1, 60)")));
    ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO EInventario (Numero, Descripcion) VALUES (1, 'x')")));
    EXPECT_FALSE(suc->exec(QStringLiteral("INSERT INTO EInventario (Numero, Descripcion) VALUES (1, 'y')")));
    ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO MovimientosCaja (IdMovimiento, ImporteMov, TipoMov) VALUES (1, 5, 1)")));
    EXPECT_EQ(count(*suc, QStringLiteral("SELECT IdCorte FROM MovimientosCaja")), 0);
    EXPECT_EQ(count(*suc, QStringLiteral("SELECT EstatusMov FROM MovimientosCaja")), 1);
}

TEST_F(DataFolderTest, CentralShippedRows) {
    auto c = central();
    ASSERT_TRUE(c);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Empresa")), 1);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Monedas")), 4);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Monedas WHERE Moneda BETWEEN 0 AND 3")), 4);
    const auto s = c->selectOne(QStringLiteral("SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"));
    ASSERT_TRUE(s && !s->empty());
    EXPECT_TRUE(QFileInfo::exists(datasetup::rutaSucursal(options.dataFolder, s->text(QStringLiteral("DescripcionC")))));

    // Payment codes run from 0 without gaps; 4 is the credit note.
    const auto fp = c->select(QStringLiteral("SELECT TPago, Descripcion FROM Formasdepago ORDER BY TPago"));
    ASSERT_TRUE(fp);
    ASSERT_GE(fp->size(), 5u);
    for (size_t i = 0; i < fp->size(); ++i) EXPECT_EQ((*fp)[i].integer(QStringLiteral("TPago")), qint64(i));
    EXPECT_EQ((*fp)[4].text(QStringLiteral("Descripcion")), QStringLiteral("NOTA DE CREDITO"));
    // Protected rows of the code tables.
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Categoria WHERE ClaveCategoria = 0")), 1);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM TiposCompraCliente WHERE TCompra = 0")), 1);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Producto WHERE ClaveProducto = 1")), 1);

    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM CatalogoDerechos")), 50);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT MIN(PosDerecho) + MAX(PosDerecho) FROM CatalogoDerechos")), 51);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Estados WHERE IdEstado > 0")), 32);
    const auto pais = c->selectOne(QStringLiteral("SELECT NombrePais FROM Paises ORDER BY rowid LIMIT 1"));
    ASSERT_TRUE(pais);
    EXPECT_EQ(pais->text(QStringLiteral("NombrePais")), QStringLiteral("MEXICO"));
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM DescribeMov WHERE DescribeMovto = 12")), 1);

    // The permission tree: every parent names an existing permission; no id outside 0-255.
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Permisos WHERE PermisoPadre <> '' AND PermisoPadre NOT IN (SELECT NombrePermiso FROM Permisos)")), 0);
    for (int id : {1, 9, 19, 45, 52, 53}) EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Permisos WHERE IdPermiso = ?"), {id}), 1) << id;
    for (int id : {54}) EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Permisos WHERE IdPermiso = ?"), {id}), 0) << id;

    // Every detail line names a column the line query has.
    auto suc = branch();
    ASSERT_TRUE(suc);
    const QStringList lineCols = columnsOf(*suc, QStringLiteral("CdetalleVenta"));
    const auto det = c->select(QStringLiteral("SELECT NCampoTabla FROM ParDescDetalles"));
    ASSERT_TRUE(det);
    EXPECT_FALSE(det->empty());
    for (const auto& r : *det)
        EXPECT_TRUE(lineCols.contains(r.text(QStringLiteral("NCampoTabla")), Qt::CaseInsensitive))
            << r.text(QStringLiteral("NCampoTabla")).toStdString();
}

TEST_F(DataFolderTest, AdministratorLogsInWithHashedPasswordAndEveryPermission) {
    auto c = central();
    ASSERT_TRUE(c);
    const auto admin = c->selectOne(QStringLiteral("SELECT * FROM Personal WHERE NombreUsuario = ?"), {QStringLiteral("admin")});
    ASSERT_TRUE(admin && !admin->empty());
    EXPECT_EQ(admin->integer(QStringLiteral("ClavePersonal")), 1);
    const QString hash = admin->text(QStringLiteral("ClaveAcceso"));
    EXPECT_FALSE(hash.contains(QStringLiteral("KORVADIM"), Qt::CaseInsensitive));
    EXPECT_TRUE(shell::VerificaClave(QStringLiteral("KORVADIM"), hash));
    EXPECT_TRUE(shell::VerificaClave(QStringLiteral("korvadim"), hash));
    EXPECT_FALSE(shell::VerificaClave(QStringLiteral("KORVADI"), hash));
    EXPECT_EQ(admin->text(QStringLiteral("Derechos")).size(), 50);
    // Permissions are defined, so ADMIN must hold them all or the first login locks everyone out.
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Permisos WHERE IdPermiso NOT IN (SELECT idpermiso FROM consUsuarioPermiso WHERE IdUsuario = 1)")), 0);
    EXPECT_GT(count(*c, QStringLiteral("SELECT COUNT(*) FROM Permisos")), 0);
}

TEST_F(DataFolderTest, BranchReachesCentralCatalogueThroughItsLinks) {
    auto suc = branch();
    ASSERT_TRUE(suc);
    const QStringList expected = {"ProductoBorrado", "Producto", "Proveedores", "Formasdepago", "Empresa", "Cliente", "Categoria",
                                  "CatalogoDerechos", "Personal", "Sucursales", "TipoProducto", "DescribeMov",
                                  "Vendedores"};
    // Read from outside the layer, which keeps its tables to itself.
    EXPECT_EQ(testutil::Crudo(datasetup::rutaSucursal(options.dataFolder, QStringLiteral("Matriz")),
                              QStringLiteral("SELECT Name FROM _links ORDER BY rowid")),
              expected);
    for (const auto& t : suc->tables()) {
        if (expected.contains(t.name, Qt::CaseInsensitive)) {
            EXPECT_TRUE(t.linked) << t.name.toStdString();
        }
    }

    ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, PrecioUnit) VALUES (?, ?, ?, ?)"),
                          {500, QStringLiteral("111"), QStringLiteral("TORNILLO"), 2.5}));
    ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO Cliente (RFC, Nombre) VALUES (?, ?)"),
                          {QStringLiteral("AAA010101AAA"), QStringLiteral("JUAN PEREZ")}));
    ASSERT_TRUE(suc->exec(QStringLiteral("UPDATE Producto SET PrecioUnit = 3 WHERE ClaveProducto = 500")));
    suc.reset();

    auto c = central();
    ASSERT_TRUE(c);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT PrecioUnit FROM Producto WHERE CodigodeBarras = '111'")), 3);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM Cliente WHERE RFC = 'AAA010101AAA'")), 1);
    // The central catalogue refuses a second product with the same barcode, whoever writes it.
    db::Error e;
    EXPECT_FALSE(c->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras) VALUES (501, '111')"), {}, &e));
    EXPECT_EQ(e.kind, db::ErrorKind::DuplicateKey);
    // A customer or supplier is its RFC: a row without one is refused (SQLite would take a Null key).
    EXPECT_FALSE(c->exec(QStringLiteral("INSERT INTO Cliente (Nombre) VALUES ('SIN RFC')")));
    EXPECT_FALSE(c->exec(QStringLiteral("INSERT INTO Proveedores (NombreCompania) VALUES ('SIN RFC')")));
}

TEST_F(DataFolderTest, TwoBranchesShareTheCatalogueButNotTheStock) {
    QString error;
    ASSERT_TRUE(datasetup::createBranch(options.dataFolder, QStringLiteral("Norte"), 2, &error)) << error.toStdString();
    EXPECT_FALSE(datasetup::createBranch(options.dataFolder, QStringLiteral("Norte"), 2, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("ya existe")));
    EXPECT_FALSE(datasetup::createBranch(options.dataFolder, QStringLiteral("../fuera"), 3, &error));

    auto uno = branch();
    auto dos = branch(QStringLiteral("Norte"));
    ASSERT_TRUE(uno && dos);
    EXPECT_EQ(count(*dos, QStringLiteral("SELECT Sucursal FROM Parametros")), 2);

    ASSERT_TRUE(uno->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre) VALUES (700, 'ABC', 'CLAVO')")));
    ASSERT_TRUE(uno->exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (700, 9)")));
    EXPECT_EQ(count(*dos, QStringLiteral("SELECT COUNT(*) FROM Producto WHERE CodigodeBarras = 'ABC'")), 1);
    EXPECT_EQ(count(*dos, QStringLiteral("SELECT COUNT(*) FROM Existencia WHERE ClaveProducto = 700")), 0);
    const auto ce = dos->selectOne(QStringLiteral("SELECT Existencia FROM ProductoCE WHERE ClaveProducto = 700"));
    ASSERT_TRUE(ce && !ce->empty());
    EXPECT_EQ(ce->real(QStringLiteral("Existencia")), 0.0);

    // The stock reports select by branch number.
    ASSERT_TRUE(dos->exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (700, 4)")));
    EXPECT_EQ(count(*dos, QStringLiteral("SELECT Existencia FROM Existencias WHERE IdSucursal = 2 AND ClaveProducto = 700")), 4);
    EXPECT_EQ(count(*uno, QStringLiteral("SELECT Existencia FROM Existencias WHERE IdSucursal = 1 AND ClaveProducto = 700")), 9);
}

TEST_F(DataFolderTest, SetupNeverOverwrites) {
    const QString dir = QDir(options.appFolder).filePath(QStringLiteral("Direccion.db"));
    const QByteArray before = [&] { QFile f(dir); f.open(QIODevice::ReadOnly); return f.readAll(); }();

    datasetup::Options again = options;
    again.dataFolder = QDir(tmp.path()).filePath(QStringLiteral("otros"));
    again.terminal = 9;
    const datasetup::Result r = datasetup::run(again);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(dir)) << r.message.toStdString();
    // Nothing of the refused run was made, and the existing file is as it was.
    EXPECT_FALSE(QFileInfo::exists(datasetup::rutaBDCodigos(again.dataFolder)));
    QFile f(dir);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);

    datasetup::Options dataOnly;
    dataOnly.dataFolder = options.dataFolder;
    EXPECT_FALSE(datasetup::run(dataOnly).ok);
}

// The application folder gets the print server in Plovix/, or a warning that says where it must go.
TEST_F(DataFolderTest, TheApplicationFolderGetsThePrintServerOrSaysWhereItGoes) {
    const QString programa = QDir(tmp.path()).filePath(QStringLiteral("servidor"));
    QFile f(programa);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner);
    const struct {
        QString servidor;
        bool puesto;
    } casos[] = {{programa, true}, {QString(), false}, {QDir(tmp.path()).filePath(QStringLiteral("no-existe")), false}};
    int n = 0;
    for (const auto& c : casos) {
        datasetup::Options o = options;
        o.appFolder = QDir(tmp.path()).filePath(QStringLiteral("otra%1").arg(n++));
        o.printServer = c.servidor;
        QString error, aviso;
        QStringList hechos;
        ASSERT_TRUE(datasetup::createAppFolder(o, &error, &hechos, &aviso)) << error.toStdString();
        const QString destino = QDir(o.appFolder).filePath(QStringLiteral("Plovix/tarvex"));
        EXPECT_EQ(QFileInfo(destino).isExecutable(), c.puesto) << c.servidor.toStdString();
        EXPECT_EQ(hechos.contains(destino), c.puesto);
        EXPECT_EQ(aviso.isEmpty(), c.puesto) << aviso.toStdString();
        if (!c.puesto) EXPECT_TRUE(aviso.contains(destino) && aviso.contains(QStringLiteral("Usar Servidor de Impresión")));
    }
}

TEST_F(DataFolderTest, CommandLineToolRefusesASecondRun) {
    const QString tool = testutil::helperPath(QStringLiteral("quorvel-setup"));
    ASSERT_TRUE(QFileInfo::exists(tool)) << tool.toStdString();
    const QString app = QDir(tmp.path()).filePath(QStringLiteral("app2"));
    const QString datos = QDir(tmp.path()).filePath(QStringLiteral("datos2"));
    auto runTool = [&](const QStringList& args) {
        QProcess p;
        p.start(tool, args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    const QStringList args = {QStringLiteral("--aplicacion"), app, QStringLiteral("--datos"), datos,
                              QStringLiteral("--terminal"), QStringLiteral("2")};
    EXPECT_EQ(runTool(args).first, 0);
    EXPECT_TRUE(QFileInfo::exists(datasetup::rutaSucursal(datos, QStringLiteral("Matriz"))));
    // The print server built beside the tool is where the counter starts it.
    if (QFileInfo(QFileInfo(tool).dir().filePath(QStringLiteral("Plovix/tarvex"))).isExecutable())
        EXPECT_TRUE(QFileInfo(QDir(app).filePath(QStringLiteral("Plovix/tarvex"))).isExecutable());
    const auto second = runTool(args);
    EXPECT_NE(second.first, 0);
    EXPECT_TRUE(second.second.contains(QStringLiteral("sobrescribe"))) << second.second.toStdString();
    EXPECT_NE(runTool({QStringLiteral("--terminal"), QStringLiteral("x"), QStringLiteral("--datos"), datos}).first, 0);

    // Another terminal of that data folder: only its application folder is made, and the data
    // folder is left exactly as it was.
    auto huella = [&] {
        QStringList h;
        QDirIterator it(datos, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            h << f.fileName() + QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex())
                     + QFileInfo(f).lastModified().toString(Qt::ISODateWithMs);
        }
        h.sort();
        return h;
    };
    const QStringList antes = huella();
    const QString app3 = QDir(tmp.path()).filePath(QStringLiteral("app3"));
    const QStringList otra = {QStringLiteral("--aplicacion"), app3, QStringLiteral("--datos"), datos,
                              QStringLiteral("--terminal"), QStringLiteral("2")};
    const auto tercera = runTool(otra);
    ASSERT_EQ(tercera.first, 0) << tercera.second.toStdString();
    EXPECT_EQ(huella(), antes);
    EXPECT_TRUE(QFileInfo::exists(QDir(app3).filePath(QStringLiteral("Plovix/Direccion.db"))));
    {
        auto dir = open(QDir(app3).filePath(QStringLiteral("Direccion.db")), {});
        ASSERT_TRUE(dir);
        const auto fila = dir->selectOne(QStringLiteral("SELECT Direccion, Terminal, Sucursal FROM Dir"));
        ASSERT_TRUE(fila && !fila->empty());
        EXPECT_EQ(fila->text(QStringLiteral("Direccion")), QDir::cleanPath(datos));
        EXPECT_EQ(fila->value(QStringLiteral("Terminal")).toInt(), 2);
        EXPECT_EQ(fila->value(QStringLiteral("Sucursal")).toInt(), 1);
    }
    db::Database::closeAll(QDir(app3).filePath(QStringLiteral("Direccion.db")));
    // Made once only; a branch the folder lacks is refused with nothing made.
    EXPECT_NE(runTool(otra).first, 0);
    const QString app4 = QDir(tmp.path()).filePath(QStringLiteral("app4"));
    const auto sinSucursal = runTool({QStringLiteral("--aplicacion"), app4, QStringLiteral("--datos"), datos,
                                      QStringLiteral("--terminal"), QStringLiteral("4"), QStringLiteral("--sucursal"),
                                      QStringLiteral("7")});
    EXPECT_NE(sinSucursal.first, 0);
    EXPECT_TRUE(sinSucursal.second.contains(QStringLiteral("sucursal 7"))) << sinSucursal.second.toStdString();
    EXPECT_FALSE(QFileInfo::exists(app4));
    EXPECT_EQ(huella(), antes);
}

class DemoFolderTest : public DataFolderTest {
protected:
    bool withDemo() const override { return true; }
};

TEST_F(DemoFolderTest, DemoCatalogueIsSellable) {
    auto suc = branch();
    ASSERT_TRUE(suc);
    EXPECT_GE(count(*suc, QStringLiteral("SELECT COUNT(*) FROM Producto WHERE ClaveProducto > 1")), 20);
    // Every demo product has a stock row and a price, and is found by the barcode search.
    EXPECT_EQ(count(*suc, QStringLiteral("SELECT COUNT(*) FROM Producto p LEFT JOIN Existencia e ON e.ClaveProducto = p.ClaveProducto "
                                         "WHERE p.ClaveProducto > 1 AND (e.Existencia IS NULL OR e.Existencia <= 0 OR p.PrecioUnit <= 0)")), 0);
    EXPECT_EQ(count(*suc, QStringLiteral("SELECT COUNT(*) FROM ProductoCB WHERE CodigodeBarras = '7501000000011'")), 1);
    EXPECT_EQ(count(*suc, QStringLiteral("SELECT COUNT(*) FROM Vendedores")), 1);
    EXPECT_EQ(count(*suc, QStringLiteral("SELECT COUNT(*) FROM Cliente WHERE RFC <> 'XAXX010101000'")), 2);
    suc.reset();
    // A credit sale can be tried: three articles carry a plan that names an existing product.
    auto c = central();
    ASSERT_TRUE(c);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM CPreciosCredito WHERE CodigodeBarras IS NOT NULL "
                                       "AND PrecioCredito > Anticipo AND ImportePago > 0")), 3);
}

TEST_F(DataFolderTest, NewTemplatesReachAnExistingFolderWithoutReplacingEditedOnes) {
    QTemporaryDir plantillas;
    ASSERT_TRUE(plantillas.isValid());
    auto escribe = [](const QString& path, const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    const QString reportes = datasetup::rutaReportes(options.dataFolder);
    escribe(QDir(reportes).filePath(QStringLiteral("Editada.html")), "de la tienda");
    escribe(QDir(plantillas.path()).filePath(QStringLiteral("Editada.html")), "nueva");
    escribe(QDir(plantillas.path()).filePath(QStringLiteral("Nueva.html")), "nueva");

    QStringList agregadas;
    QString error;
    ASSERT_TRUE(datasetup::addMissingTemplates(options.dataFolder, plantillas.path(), &agregadas, &error))
        << error.toStdString();
    EXPECT_EQ(agregadas, QStringList{QStringLiteral("Nueva.html")});
    QFile editada(QDir(reportes).filePath(QStringLiteral("Editada.html")));
    ASSERT_TRUE(editada.open(QIODevice::ReadOnly));
    EXPECT_EQ(editada.readAll(), QByteArray("de la tienda"));
    EXPECT_TRUE(QFileInfo::exists(QDir(reportes).filePath(QStringLiteral("Nueva.html"))));

    // A folder that is not a data folder gets nothing.
    EXPECT_FALSE(datasetup::addMissingTemplates(plantillas.path(), plantillas.path(), nullptr, &error));
}

}  // namespace
