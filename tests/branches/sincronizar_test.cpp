// Synchronisation of a database in use with a reference file: the log, the repairs (no row or
// column lost), the catalog copy and the script, and the files that are refused.

#include "apps/setup/datasetup.h"
#include "ataques_sql.h"
#include "branches/forms/frmsincronizar.h"
#include "branches/forms/frmsucursales.h"
#include "branches/sincronizar.h"
#include "fixture.h"
#include "testutil.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/rutas.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace sucursales;
using suctest::SucursalesTest;

class SincronizarTest : public SucursalesTest {
protected:
    void SetUp() override
    {
        SucursalesTest::SetUp();
        central = datasetup::rutaBDCodigos(Carpeta());
        origen = QDir(Carpeta()).filePath(QStringLiteral("referencia.db"));
        ASSERT_TRUE(QFile::copy(central, origen));
        shell::CierraConexiones();
    }
    // Changes the reference file from outside the program, as whoever made it could.
    void EnOrigen(std::initializer_list<const char*> sql)
    {
        QStringList todas;
        for (const char* s : sql) todas << QString::fromUtf8(s);
        QString error;
        testutil::Crudo(origen, todas, &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }
    QString central, origen;
};

TEST(EstableceDestinoTest, ABranchFileNameLeadsToTheBranchChosenElseTheCentralFile)
{
    G().CarpetaDatos = QStringLiteral("/datos");
    EXPECT_TRUE(EstableceDestino(QStringLiteral("/x/bdsucursal.DB"), QStringLiteral("Norte"))
                    .endsWith(QStringLiteral("Base de datos/Sucursales/Norte/BDSucursal.db")));
    EXPECT_TRUE(EstableceDestino(QStringLiteral("/x/BDcodigos.db"), QStringLiteral("Norte"))
                    .endsWith(QStringLiteral("Base de datos/BDcodigos.db")));
    EXPECT_EQ(ListaCatalogosSinc(QStringLiteral("/d/BDSucursal.db")).size(), 3);
    EXPECT_EQ(ListaCatalogosSinc(QStringLiteral("/d/BDcodigos.db")).size(), 8);
}

TEST_F(SincronizarTest, IdenticalFilesGiveAnEmptyLogAndTheOriginIsNeverWritten)
{
    const QByteArray antes = Contenido(origen);
    auto r = MigraYProcesa(central, origen, false, {}, prompts);
    EXPECT_TRUE(r.abierto);
    EXPECT_EQ(r.log, QString());
    r = MigraYProcesa(central, origen, true, {}, prompts);
    EXPECT_EQ(r.log, QString());
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Proceso terminado."));
    EXPECT_EQ(Contenido(origen), antes);
}

TEST_F(SincronizarTest, MissingTablesFieldsIndexesAndQueriesAreListedAndMade)
{
    EnOrigen({"CREATE TABLE Nueva (Id INTEGER PRIMARY KEY, Nombre TEXT(30) DEFAULT 'X')",
              "CREATE INDEX NuevaNombre ON Nueva (Nombre)",
              "ALTER TABLE Cliente ADD COLUMN Whatsapp TEXT(20) DEFAULT ''",
              "CREATE INDEX ClienteNombre ON Cliente (Nombre)",
              "CREATE TABLE Monedas2 (x)",
              "INSERT INTO _queries (Name, Kind, Sql) VALUES ('cNuevas', 'select', 'SELECT Id FROM Nueva')"});
    const QByteArray antes = Contenido(central);
    auto r = MigraYProcesa(central, origen, false, {}, prompts);
    EXPECT_EQ(r.log, QStringLiteral("Falta registro Whatsapp en tabla Cliente\r\n"
                                    "Falta indice ClienteNombre en tabla Cliente\r\n"
                                    "Falta tabla Monedas2\r\n"
                                    "Falta tabla Nueva\r\n"
                                    "Falta consulta cNuevas\r\n"));
    EXPECT_EQ(Contenido(central), antes);  // without "Actualizar" nothing changes

    r = MigraYProcesa(central, origen, true, {}, prompts);
    auto c = Central();
    EXPECT_TRUE(c->tableExists(QStringLiteral("Nueva")));
    EXPECT_EQ(c->indexes(QStringLiteral("Nueva")).size(), 1u);
    ASSERT_TRUE(c->exec(QStringLiteral("INSERT INTO Cliente (RFC, Nombre) VALUES ('AAA010101AAA', 'A')")));
    EXPECT_EQ(Valor(*c, QStringLiteral("SELECT Whatsapp FROM Cliente WHERE RFC = 'AAA010101AAA'")).toString(), QString());
    EXPECT_TRUE(c->hasQuery(QStringLiteral("cNuevas")));
    bool indice = false;
    for (const auto& ix : c->indexes(QStringLiteral("Cliente"))) indice = indice || ix.name == QLatin1String("ClienteNombre");
    EXPECT_TRUE(indice);
    c.reset();
    db::Database::closeAll(central);
    EXPECT_EQ(MigraYProcesa(central, origen, true, {}, prompts).log, QString());
}

TEST_F(SincronizarTest, ATypeMismatchRebuildsTheTableKeepingRowsAndItsOwnColumns)
{
    {
        auto c = Central();
        ASSERT_TRUE(c->exec(QStringLiteral("ALTER TABLE Sucursales ADD COLUMN Zona TEXT DEFAULT 'N'")));
        ASSERT_TRUE(c->exec(QStringLiteral("UPDATE Sucursales SET Zona = 'SUR'")));
    }
    db::Database::closeAll(central);
    EnOrigen({"PRAGMA legacy_alter_table=ON", "CREATE TABLE S2 (IdSucursal INTEGER PRIMARY KEY, DescripcionSuc TEXT(80), DescripcionC TEXT(20) NOT NULL, "
              "Direccion TEXT, Telefono TEXT(20), NumTerminales TEXT(20), UbicacionBD TEXT(60))",
              "DROP TABLE Sucursales", "ALTER TABLE S2 RENAME TO Sucursales"});
    auto r = MigraYProcesa(central, origen, true, {}, prompts);
    EXPECT_TRUE(r.log.contains(QStringLiteral("Falta registro DescripcionSuc en tabla Sucursales Tipo: TEXT(80)\r\n")))
        << r.log.toStdString();
    EXPECT_TRUE(r.log.contains(QStringLiteral("registro CREADO DescripcionSuc\r\n")));
    auto c = Central();
    EXPECT_EQ(Valor(*c, QStringLiteral("SELECT DescripcionSuc || '/' || Zona FROM Sucursales WHERE IdSucursal = 1")).toString(),
              QStringLiteral("SUCURSAL MATRIZ/SUR"));
    for (const auto& f : c->fields(QStringLiteral("Sucursales")))
        if (f.name == QLatin1String("DescripcionSuc")) {
            EXPECT_EQ(f.type, QStringLiteral("TEXT(80)"));
        }
}

TEST_F(SincronizarTest, ARequiredFieldWithoutDefaultAndAQueryThatDoesNotCompileAreLoggedNotMade)
{
    // The origin's Vendedores has a required field with nothing to fill the rows already there.
    EnOrigen({"PRAGMA legacy_alter_table=ON",
              "CREATE TABLE V2 (IdVendedor INTEGER PRIMARY KEY, NombreVendedor TEXT(50) NOT NULL DEFAULT '', "
              "Obligatorio TEXT NOT NULL)",
              "DROP TABLE Vendedores", "ALTER TABLE V2 RENAME TO Vendedores",
              "INSERT INTO _queries (Name, Kind, Sql) VALUES ('cRota', 'select', 'SELECT NoExiste FROM Vendedores')"});
    auto r = MigraYProcesa(central, origen, true, {}, prompts);
    EXPECT_TRUE(r.log.contains(QStringLiteral("No se pudo agregar registro Obligatorio en Vendedores-"))) << r.log.toStdString();
    EXPECT_TRUE(r.log.contains(QStringLiteral("No se pudo crear la consulta cRota-")));
    auto c = Central();
    EXPECT_FALSE(c->hasQuery(QStringLiteral("cRota")));
    bool hay = false;
    for (const auto& f : c->fields(QStringLiteral("Vendedores"))) hay = hay || f.name == QLatin1String("Obligatorio");
    EXPECT_FALSE(hay);
}

TEST_F(SincronizarTest, AMissingLinkIsOnlyToldAndTheScriptRunsItsLastLine)
{
    const QString sucursal = Ruta(QStringLiteral("Matriz"));
    const QString refSuc = QDir(Carpeta()).filePath(QStringLiteral("ref/BDSucursal.db"));
    QDir().mkpath(QDir(Carpeta()).filePath(QStringLiteral("ref")));
    ASSERT_TRUE(QFile::copy(sucursal, refSuc));
    {
        auto s = Abre(sucursal);
        ASSERT_TRUE(s->removeLink(QStringLiteral("Vendedores")));
    }
    db::Database::closeAll(sucursal);
    G().SucursalSinc = QStringLiteral("Matriz");
    ASSERT_EQ(EstableceDestino(refSuc, G().SucursalSinc), shell::BuscaRuta(sucursal));
    auto r = MigraYProcesa(sucursal, refSuc, true,
                           QStringLiteral("UPDATE Folios SET ValorFolio = 7 WHERE Numerofolio = 1\r\n"
                                          "ESTO NO ES SQL\r\n\r\n"
                                          "UPDATE Folios SET ValorFolio = 9 WHERE Numerofolio = 6"),
                           prompts);
    EXPECT_EQ(r.log, QStringLiteral("Falta tabla Vendedores\r\n"));
    EXPECT_TRUE(prompts.messages().contains(QStringLiteral("Al parecer hace falta un link de la tabla: Vendedores")));
    EXPECT_TRUE(prompts.messages().join(u'|').contains(QStringLiteral("ESTO NO ES SQL")));
    auto s = Abre(sucursal);
    EXPECT_EQ(Valor(*s, QStringLiteral("SELECT ValorFolio FROM Folios WHERE Numerofolio = 1")).toInt(), 7);
    EXPECT_EQ(Valor(*s, QStringLiteral("SELECT ValorFolio FROM Folios WHERE Numerofolio = 6")).toInt(), 9);
    EXPECT_FALSE(s->links().empty());
    bool vendedores = false;
    for (const auto& l : s->links()) vendedores = vendedores || l.name == QLatin1String("Vendedores");
    EXPECT_FALSE(vendedores);
}

TEST_F(SincronizarTest, BadFilesAreRefusedWithTheDestinationUntouchedAndNoScriptRun)
{
    const QString texto = QDir(Carpeta()).filePath(QStringLiteral("texto.db"));
    {
        QFile f(texto);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("texto\n").repeated(500));
    }
    const QString danado = QDir(Carpeta()).filePath(QStringLiteral("danado.db"));
    {
        QByteArray b = Contenido(origen);
        for (int i = 2048; i < b.size(); i += 5) b[i] = char(0x33);
        QFile f(danado);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }
    const QString otraClave = QDir(Carpeta()).filePath(QStringLiteral("otra.db"));
    db::Database::create(otraClave, QStringLiteral("otra"));
    db::Database::closeAll(otraClave);
    const QByteArray antes = Contenido(central);
    for (const QString& o : {texto, danado, otraClave, central, QString()}) {
        prompts.clear();
        auto r = MigraYProcesa(central, o, true, QStringLiteral("DELETE FROM Sucursales"), prompts);
        EXPECT_FALSE(r.abierto) << o.toStdString();
        ASSERT_EQ(prompts.messages().size(), 2) << o.toStdString();
        EXPECT_EQ(prompts.messages().front(), QStringLiteral("Error al abrir la base de datos. "));
        // The reason names the file that would not do.
        if (!o.isEmpty() && o != central)
            EXPECT_TRUE(prompts.messages().back().contains(QDir::toNativeSeparators(o))) << prompts.messages().back().toStdString();
    }
    prompts.clear();
    EXPECT_FALSE(CopiaCatalogos(texto, origen, {QStringLiteral("Producto")}, prompts).abierto);
    EXPECT_EQ(Contenido(central), antes);
}

TEST_F(SincronizarTest, CatalogCopyIsAllOrNothingPerTable)
{
    EnOrigen({"INSERT INTO Categoria (ClaveCategoria, Descripcion) VALUES (5, 'PAPELERIA'), (6, 'DULCES')",
              "PRAGMA legacy_alter_table=ON", "DELETE FROM Proveedores",
              "CREATE TABLE P2 (RFC TEXT, Nombre TEXT)", "INSERT INTO P2 VALUES ('DUP', 'A'), ('DUP', 'B')",
              "DROP TABLE Proveedores", "ALTER TABLE P2 RENAME TO Proveedores", "DROP TABLE TipoProducto"});
    {
        auto c = Central();
        ASSERT_TRUE(c->exec(QStringLiteral("INSERT INTO Categoria (ClaveCategoria, Descripcion) VALUES (9, 'VIEJA')")));
        ASSERT_TRUE(c->exec(QStringLiteral("INSERT INTO Proveedores (RFC) VALUES ('PROV800101AB1')")));
    }
    db::Database::closeAll(central);
    auto r = CopiaCatalogos(central, origen,
                            {QStringLiteral("Categoria"), QStringLiteral("Proveedores"), QStringLiteral("TipoProducto")},
                            prompts);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Proceso terminado."));
    EXPECT_TRUE(r.log.contains(QStringLiteral("No se pudo copiar la tabla Proveedores-"))) << r.log.toStdString();
    EXPECT_TRUE(r.log.contains(QStringLiteral("Falta tabla TipoProducto")));
    auto c = Central();
    EXPECT_EQ(Valor(*c, QStringLiteral("SELECT group_concat(ClaveCategoria) FROM (SELECT ClaveCategoria FROM Categoria ORDER BY 1)")).toString(),
              QStringLiteral("0,5,6"));
    EXPECT_EQ(Valor(*c, QStringLiteral("SELECT group_concat(RFC) FROM Proveedores")).toString(), QStringLiteral("PROV800101AB1"));
    EXPECT_GT(Valor(*c, QStringLiteral("SELECT count(*) FROM TipoProducto")).toInt(), 0);
}

TEST_F(SincronizarTest, FormChoosesTheReferenceRepairsAndShowsTheLog)
{
    EnOrigen({"ALTER TABLE Vendedores ADD COLUMN Comision REAL DEFAULT 0"});
    frmSincronizar f(nullptr, &prompts, &chooser);
    f.show();
    EXPECT_TRUE(f.txtOrigen->text().isEmpty());
    EXPECT_TRUE(f.txtDestino->text().isEmpty());
    chooser.push(origen);
    QTest::mouseClick(f.cmdExplorar, Qt::LeftButton);
    EXPECT_EQ(f.txtOrigen->text(), origen);
    EXPECT_EQ(f.txtDestino->text(), shell::RutaBDCodigos());
    QTest::mouseClick(f.chkActualizar, Qt::LeftButton, {}, QPoint(8, f.chkActualizar->height() / 2));
    ASSERT_TRUE(f.chkActualizar->isChecked());
    QTest::mouseClick(f.cmdSincronizar, Qt::LeftButton);
    EXPECT_EQ(f.Text2->toPlainText().trimmed(), QStringLiteral("Falta registro Comision en tabla Vendedores\nProceso terminado."));
    auto c = Central();
    bool hay = false;
    for (const auto& x : c->fields(QStringLiteral("Vendedores"))) hay = hay || x.name == QLatin1String("Comision");
    EXPECT_TRUE(hay);

    // The catalog copy offers the central list; Delete takes an entry out.
    chooser.push(origen);
    QTest::mouseClick(f.chkCopiaCatalogo, Qt::LeftButton, {}, QPoint(8, f.chkCopiaCatalogo->height() / 2));
    ASSERT_EQ(f.lstCatalogos->count(), 8);
    f.lstCatalogos->setCurrentRow(0);
    QTest::keyClick(f.lstCatalogos, Qt::Key_Delete);
    EXPECT_EQ(f.lstCatalogos->count(), 7);
    EXPECT_EQ(f.lstCatalogos->item(0)->text(), QStringLiteral("Cliente"));
}

TEST_F(SincronizarTest, FormSynchronisesOnlyWithTheOtherWindowsClosed)
{
    EnOrigen({"ALTER TABLE Vendedores ADD COLUMN Comision REAL DEFAULT 0"});
    auto tieneComision = [&] {
        bool hay = false;
        for (const auto& x : Central()->fields(QStringLiteral("Vendedores"))) hay = hay || x.name == QLatin1String("Comision");
        return hay;
    };
    // The branch catalogue, which opens this form, may stay open; the customer catalogue may not.
    QPointer<QWidget> catalogo = shell::Forma<frmSucursales>();
    QPointer<QWidget> clientes = AbreClientes();
    const ataques::Cotas cotas;
    frmSincronizar f(nullptr, &prompts, &chooser);
    f.show();
    chooser.push(origen);
    QTest::mouseClick(f.cmdExplorar, Qt::LeftButton);
    QTest::mouseClick(f.chkActualizar, Qt::LeftButton, {}, QPoint(8, f.chkActualizar->height() / 2));
    ASSERT_TRUE(f.chkActualizar->isChecked());
    prompts.clear();
    QTest::mouseClick(f.cmdSincronizar, Qt::LeftButton);
    EXPECT_EQ(prompts.messages(), QStringList{ConClientesAbierto()});
    EXPECT_TRUE(f.Text2->toPlainText().isEmpty());
    EXPECT_FALSE(tieneComision());

    CierraVentana(clientes);
    QTest::mouseClick(f.cmdSincronizar, Qt::LeftButton);
    EXPECT_EQ(f.Text2->toPlainText().trimmed(), QStringLiteral("Falta registro Comision en tabla Vendedores\nProceso terminado."));
    EXPECT_TRUE(tieneComision());
    CierraVentana(catalogo);
}

TEST_F(SincronizarTest, AScriptTypedInTheFormRunsWhatItMayAndRefusesInSpanishWhatWouldReachTheLayersTables)
{
    const QString antes = testutil::CapaCruda(central);
    ASSERT_TRUE(antes.contains("_dbpassword:"));
    frmSincronizar f(nullptr, &prompts, &chooser);
    f.show();
    chooser.push(origen);
    QTest::mouseClick(f.cmdExplorar, Qt::LeftButton);
    for (const ataques::Linea& l : ataques::kLineas) {
        QTest::keyClicks(f.txtConsultas, QString::fromUtf8(l.sql));
        QTest::keyClick(f.txtConsultas, Qt::Key_Return);
    }
    QTest::mouseClick(f.cmdSincronizar, Qt::LeftButton);
    QStringList hechas;  // one line of the result per line of the script, in order
    for (const QString& r : f.Text2->toPlainText().split(u'\n'))
        if (r.startsWith(QStringLiteral("Consulta ejecutada: ")) || r.startsWith(QStringLiteral("No se pudo ejecutar")))
            hechas << r;
    ASSERT_EQ(hechas.size(), int(std::size(ataques::kLineas))) << f.Text2->toPlainText().toStdString();
    for (int i = 0; i < hechas.size(); ++i) {
        const ataques::Linea& l = ataques::kLineas[i];
        const QString sql = QString::fromUtf8(l.sql);
        if (l.script) {
            EXPECT_EQ(hechas[i], QStringLiteral("Consulta ejecutada: ") + sql) << hechas[i].toStdString();
            continue;
        }
        EXPECT_TRUE(hechas[i].startsWith(QStringLiteral("No se pudo ejecutar el comando: ") + sql + u' ')) << hechas[i].toStdString();
        EXPECT_TRUE(hechas[i].contains(QString::fromUtf8(l.por))) << hechas[i].toStdString();
        EXPECT_FALSE(ataques::HablaIngles(hechas[i].mid(33 + sql.size()))) << hechas[i].toStdString();
    }
    db::Database::closeAll(central);
    auto c = Abre(central);  // with the program's password still
    ASSERT_TRUE(c);
    EXPECT_EQ(testutil::CapaCruda(central), antes);
    EXPECT_EQ(Valor(*c, QString::fromLatin1(ataques::kObjetos)).toString(), QString::fromLatin1(ataques::kObjetosEsperados));
}

TEST_F(SincronizarTest, FormTellsItsBoxesApartShowsTheResultAndClearsTheStatusBar)
{
    frmSincronizar f(nullptr, &prompts, &chooser);
    f.show();
    EXPECT_NE(f.chkCopiaCatalogo->text(), f.chkMigrar->text());
    EXPECT_EQ(f.chkCopiaCatalogo->text(), QStringLiteral("Migrar y extraer datos desde..."));
    chooser.push(origen);
    QTest::mouseClick(f.cmdExplorar, Qt::LeftButton);
    QTest::keyClicks(f.txtConsultas, QStringLiteral("UPDATE Empresa SET NumSucursales = NumSucursales"));
    QTest::mouseClick(f.cmdSincronizar, Qt::LeftButton);
    EXPECT_EQ(f.Text2->toPlainText(), QStringLiteral("Sin diferencias con el origen.\n"
                                                     "Consulta ejecutada: UPDATE Empresa SET NumSucursales = NumSucursales\n"
                                                     "Proceso terminado.\n"));
    EXPECT_EQ(shell::UltimoEstado(2), QString());
}
