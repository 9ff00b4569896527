// The customer catalogue's rules and its saves on a data folder made by the setup tool (central
// file, branch 1 and a second branch), and the form driven offscreen over the same files.

#include "testutil.h"
#include "apps/setup/datasetup.h"
#include "campos_visibles.h"
#include "catalogs/clientes.h"
#include "catalogs/forms/frmclientes.h"
#include "capture_control/ccaptura.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/estado.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace catalogos;

namespace {

class ClientesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        datasetup::Options o;
        o.dataFolder = dir->path();
        QString error;
        ASSERT_TRUE(datasetup::createDataFolder(o, &error)) << error.toStdString();
        ASSERT_TRUE(datasetup::createBranch(dir->path(), QStringLiteral("OTRA"), 2, &error))
            << error.toStdString();
        auto central = db::Database::open(datasetup::rutaBDCodigos(dir->path()), datasetup::claveArchivos());
        corto = new QString(central->scalar(QStringLiteral(
            "SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))->toString());
    }
    static void TearDownTestSuite()
    {
        delete corto;
        delete dir;
    }
    void SetUp() override
    {
        central = db::Database::open(datasetup::rutaBDCodigos(dir->path()), datasetup::claveArchivos());
        sucursal = db::Database::open(datasetup::rutaSucursal(dir->path(), *corto), datasetup::claveArchivos());
        otra = db::Database::open(datasetup::rutaSucursal(dir->path(), QStringLiteral("OTRA")),
                                  datasetup::claveArchivos());
        ASSERT_TRUE(central && sucursal && otra);
        central->exec(QStringLiteral("DELETE FROM Cliente WHERE RFC <> 'XAXX010101000'"));
        sucursal->exec(QStringLiteral("DELETE FROM Venta"));
        otra->exec(QStringLiteral("DELETE FROM Venta"));
        ReiniciaEstado();
        G().PermisosUsuario[37] = G().PermisosUsuario[38] = true;
        ui::setDefaultPrompts(&prompts);
    }
    void TearDown() override { ui::setDefaultPrompts(nullptr); }

    Cliente Completo(const QString& rfc, const QString& nombre)
    {
        Cliente c;
        c.RFC = rfc;
        c.Nombre = nombre;
        c.NumExterior = QStringLiteral("12");
        c.Colonia = QStringLiteral("CENTRO");
        c.Municipio = QStringLiteral("LEON");
        c.Estado = QStringLiteral("GUANAJUATO");
        return c;
    }
    void Venta(db::Database& bd, int numero, const QString& cliente)
    {
        ASSERT_TRUE(bd.exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente) VALUES (?, 'T', ?)"),
                            {numero, cliente}));
    }
    QVariant Valor(db::Database& bd, const QString& sql, const QVariantList& p = {})
    {
        return bd.scalar(sql, p).value_or(QVariant());
    }

    static QTemporaryDir* dir;
    static QString* corto;
    std::unique_ptr<db::Database> central, sucursal, otra;
    ui::ScriptedPrompts prompts;
};

QTemporaryDir* ClientesTest::dir = nullptr;
QString* ClientesTest::corto = nullptr;

}  // namespace

TEST(ValidaClienteTest, StopsAtTheFirstFailureAndOnlyAMissingPurchaseTypeBlocks)
{
    const DatosValidacion bueno{"GOMA800101AB1", "12", "CENTRO", "LEON", 3, 0};
    struct Caso {
        DatosValidacion d;
        const char* mensaje;
        bool bloquea;
    } casos[] = {
        {bueno, "", false},
        {{"GOMA-800101", "", "", "", 0, -1}, "El RFC contiene caracteres no válidos.", false},
        {{"", "", "", "", 0, -1}, "Verifique el NumExterior o utilize 'SN'", false},
        {{"GOMA800101A", "SN", "", "", 0, -1}, "El RFC debe de tener minimo 12 Caracteres.", false},
        {{"GOMA800101AB", "SN", "C", "", 0, -1}, "Verifique la colonia.", false},
        {{"GOMA800101AB", "SN", "CE", "", 0, -1}, "Verifique el Municipio", false},
        {{"GOMA800101AB", "SN", "CE", "M", 0, 0}, "Seleccione un estado.", false},
        {{"GOMA800101AB", "SN", "CE", "M", 1, -1}, "Seleccione un Tipo de Pago para el Cliente.", true},
    };
    for (const Caso& c : casos) {
        const Validacion v = ValidaCliente(c.d);
        EXPECT_EQ(v.mensaje, QString::fromUtf8(c.mensaje)) << c.mensaje;
        EXPECT_EQ(v.bloquea, c.bloquea) << c.mensaje;
    }
}

TEST_F(ClientesTest, NewCustomerIsStoredWithOneTrailingBlankAndNoSaleTouched)
{
    Venta(*sucursal, 1, QStringLiteral("XAXX010101000"));
    Cliente c = Completo(QStringLiteral("GOMA800101AB1"), QStringLiteral("  MARIA GOMEZ "));
    c.CURP = QStringLiteral("GOMA800101");
    c.RutaZona = QStringLiteral("RUTA 4");
    ASSERT_TRUE(GrabaCliente(*sucursal, c, true, QString()).ok());
    auto fila = central->selectOne(QStringLiteral("SELECT * FROM Cliente WHERE RFC = 'GOMA800101AB1'"));
    ASSERT_TRUE(fila && !fila->empty());
    EXPECT_EQ(fila->text("Nombre"), "MARIA GOMEZ");
    EXPECT_EQ(fila->text("CURP"), "GOMA800101 ");
    EXPECT_EQ(fila->text("RutaZona"), "RUTA 4 ");
    EXPECT_EQ(Valor(*sucursal, "SELECT Cliente FROM Venta").toString(), "XAXX010101000");

    // Saved again as displayed (with its blank): still one blank.
    const Cliente leido = ClienteDeFila(*fila);
    ASSERT_TRUE(GrabaCliente(*sucursal, leido, false, leido.RFC).ok());
    EXPECT_EQ(Valor(*central, "SELECT CURP || '|' || RutaZona FROM Cliente WHERE RFC = 'GOMA800101AB1'")
                  .toString(),
              "GOMA800101 |RUTA 4 ");

    // The same RFC again is refused and writes nothing.
    const Guardado g = GrabaCliente(*sucursal, Completo(c.RFC, QStringLiteral("OTRO")), true, QString());
    EXPECT_EQ(g.falla, FallaGuardado::RFCDuplicado);
    EXPECT_EQ(g.mensaje, "El valor que tecleo para el campo RFC ya existe.");
    EXPECT_EQ(Valor(*central, "SELECT Nombre FROM Cliente WHERE RFC = ?", {c.RFC}).toString(), "MARIA GOMEZ");
}

TEST_F(ClientesTest, ChangedRfcMovesOnlyThisBranchsSales)
{
    const QString a = QStringLiteral("AAAA800101AA1"), b = QStringLiteral("BBBB800101BB1");
    ASSERT_TRUE(GrabaCliente(*sucursal, Completo(a, QStringLiteral("ANA")), true, QString()).ok());
    Venta(*sucursal, 1, a);
    Venta(*sucursal, 2, a);
    Venta(*sucursal, 3, QStringLiteral("XAXX010101000"));
    Venta(*otra, 1, a);

    const Guardado g = GrabaCliente(*sucursal, Completo(b, QStringLiteral("ANA")), false, a);
    ASSERT_TRUE(g.ok()) << g.mensaje.toStdString();
    EXPECT_EQ(g.ventasMovidas, 2);
    EXPECT_EQ(Valor(*sucursal, "SELECT count(*) FROM Venta WHERE Cliente = ?", {b}).toInt(), 2);
    EXPECT_EQ(Valor(*otra, "SELECT Cliente FROM Venta").toString(), a);
    EXPECT_EQ(Valor(*central, "SELECT count(*) FROM Cliente WHERE RFC IN (?, ?)", {a, b}).toInt(), 1);

    // Moving onto an RFC another customer holds: refused, and the sales stay where they were.
    const Guardado d = GrabaCliente(*sucursal, Completo(QStringLiteral("XAXX010101000"), QStringLiteral("ANA")),
                                    false, b);
    EXPECT_EQ(d.falla, FallaGuardado::RFCDuplicado);
    EXPECT_EQ(Valor(*sucursal, "SELECT count(*) FROM Venta WHERE Cliente = ?", {b}).toInt(), 2);

    // A customer another terminal deleted meanwhile is not written back.
    ASSERT_TRUE(BorraCliente(*central, b));
    EXPECT_EQ(GrabaCliente(*sucursal, Completo(b, QStringLiteral("ANA")), false, b).falla,
              FallaGuardado::SinRegistro);
    EXPECT_EQ(Valor(*central, "SELECT count(*) FROM Cliente WHERE RFC = ?", {b}).toInt(), 0);
}

TEST_F(ClientesTest, SearchBeginsWithTheTextOrdersByTheFieldAndTakesWildcardsLiterally)
{
    for (const auto& [rfc, nombre] : {std::pair{"MAGO800101AB1", "MARTA GOMEZ"}, {"MAPE800101AB1", "MARIO PEREZ"},
                                      {"LOMA800101AB1", "LOURDES MA"}, {"PCTE800101AB1", "100% PAPEL"}})
        ASSERT_TRUE(GrabaCliente(*central, Completo(rfc, nombre), true, QString()).ok());
    db::Rows filas;
    ASSERT_TRUE(BuscaClientes(*central, QStringLiteral("NOMBRE"), QStringLiteral("MA"), &filas));
    QStringList nombres;
    for (const db::Row& f : filas)
        nombres << f.text("Nombre");
    EXPECT_EQ(nombres, (QStringList{"MARIO PEREZ", "MARTA GOMEZ"}));
    ASSERT_TRUE(BuscaClientes(*central, QStringLiteral("NOMBRE"), QStringLiteral("%"), &filas));
    EXPECT_EQ(filas.size(), 0u);
    ASSERT_TRUE(BuscaClientes(*central, QStringLiteral("RFC"), QString(), &filas));
    ASSERT_EQ(filas.size(), 5u);
    EXPECT_EQ(filas.front().text("RFC"), "LOMA800101AB1");
}

TEST_F(ClientesTest, TypedSmallAccentedLettersFindTheStoredCapitals)
{
    ASSERT_TRUE(GrabaCliente(*central, Completo("PEMA800101AB1", "MARÍA PEÑA"), true, QString()).ok());
    frmClientes f(nullptr, central.get(), sucursal.get(), &prompts);
    f.show();
    f.Combo1->setCurrentIndex(CamposBusqueda().indexOf(QStringLiteral("NOMBRE")));
    testutil::Teclea(f.Text1, QStringLiteral("marí"));
    EXPECT_EQ(f.Registros(), 1);
    EXPECT_EQ(f.capRFC->Text(), "PEMA800101AB1");
}

TEST_F(ClientesTest, ANewCustomerIsFromMexicoAndAStoredOneKeepsItsCountry)
{
    Cliente fuera = Completo("DOJO800101AB1", "JOHN DOE");
    fuera.Pais = 1;
    ASSERT_TRUE(GrabaCliente(*central, fuera, true, QString()).ok());
    frmClientes f(nullptr, central.get(), sucursal.get(), &prompts);
    f.show();
    QTest::keyClicks(f.Text1, QStringLiteral("DOJO"));
    ASSERT_EQ(f.Registros(), 1);
    EXPECT_EQ(f.cmbPais->currentText(), "ESTADOS UNIDOS");
    QTest::mouseClick(f.cmdNuevo, Qt::LeftButton);
    EXPECT_EQ(f.cmbPais->currentText(), "MEXICO");
}

TEST_F(ClientesTest, FormShowsStoredValuesItCannotPlaceWithoutFailing)
{
    ASSERT_TRUE(central->exec(QStringLiteral(
        "INSERT INTO Cliente (RFC, CURP, Nombre, Estado, Pais, TipoCompra) "
        "VALUES ('ABC123', 'XXXXXXXXXXXXXXXXXX ', 'CORTO', 'atlantida', 99, 42)")));
    frmClientes f(nullptr, central.get(), sucursal.get(), &prompts);
    f.show();
    QTest::keyClicks(f.Text1, QStringLiteral("ABC"));
    ASSERT_EQ(f.Registros(), 1);
    EXPECT_EQ(f.capCURP->Text(), "ABC123");  // a short RFC stands for the CURP too
    EXPECT_EQ(f.cmbEstado->currentIndex(), 0);
    EXPECT_EQ(f.cmbPais->currentIndex(), -1);
    EXPECT_EQ(f.cmbTipoCompra->currentIndex(), -1);
    EXPECT_EQ(G().SeleccionCatalogo, "ABC123;CORTO");

    // With everything else right, no purchase type stops both the save and the close.
    auto caja = [](CCaptura* c) { return c->findChild<QLineEdit*>(); };
    caja(f.capRFC)->setText(QStringLiteral("ABCD800101AB1"));
    caja(f.capNumExterior)->setText(QStringLiteral("SN"));
    caja(f.capColonia)->setText(QStringLiteral("CENTRO"));
    caja(f.capMunicipio)->setText(QStringLiteral("LEON"));
    f.cmbEstado->setCurrentIndex(5);
    prompts.clear();
    f.cmdGuardar_Click();
    EXPECT_EQ(prompts.lastMessage(), "Seleccione un Tipo de Pago para el Cliente.");
    EXPECT_EQ(Valor(*central, "SELECT count(*) FROM Cliente WHERE RFC = 'ABC123' AND Estado = 'atlantida'")
                  .toInt(),
              1);
    prompts.clear();
    QTest::keyClick(f.Text1, Qt::Key_Escape);
    EXPECT_EQ(prompts.lastMessage(), "Seleccione un Tipo de Pago para el Cliente.");
    EXPECT_TRUE(f.isVisible());
}

TEST_F(ClientesTest, FormAddsEditsAndDeletesWithItsPermissions)
{
    G().PermisosUsuario[38] = false;
    frmClientes f(nullptr, central.get(), sucursal.get(), &prompts);
    f.show();
    EXPECT_FALSE(f.cmdBorrar->isEnabled());
    EXPECT_TRUE(f.cmdNuevo->isEnabled());
    f.cmdNuevo_Click();
    EXPECT_FALSE(prompts.messages().isEmpty());
    EXPECT_FALSE(f.ClienteNuevo());
    EXPECT_EQ(f.capRFC->Text(), "XAXX010101000");

    G().PermisosUsuario[38] = true;
    f.cmdNuevo_Click();
    ASSERT_TRUE(f.ClienteNuevo());
    EXPECT_EQ(f.capRFC->Text(), "");
    EXPECT_EQ(f.cmbPais->currentText(), "MEXICO");
    EXPECT_EQ(f.cmbTipoCompra->currentIndex(), 0);
    auto caja = [](CCaptura* c) { return c->findChild<QLineEdit*>(); };
    QTest::keyClicks(caja(f.capRFC), QStringLiteral("ROLU750505"));
    EXPECT_EQ(f.capCURP->Text(), "ROLU750505");
    QTest::keyClicks(caja(f.capCURP), QStringLiteral("HDF"));
    QTest::keyClicks(caja(f.capRFC), QStringLiteral("K"));
    EXPECT_EQ(f.capCURP->Text(), "ROLU750505HDF");
    QTest::keyClicks(caja(f.capRFC), QStringLiteral("L2"));
    QTest::keyClicks(caja(f.capNombre), QStringLiteral("ROSA LUNA "));
    QTest::keyClicks(caja(f.capColonia), QStringLiteral("OBRERA"));
    QTest::keyClicks(caja(f.capMunicipio), QStringLiteral("LEON"));
    f.cmbEstado->setCurrentIndex(11);
    prompts.clear();
    f.cmdGuardar_Click();
    EXPECT_EQ(prompts.messages(), QStringList{"Verifique el NumExterior o utilize 'SN'"});
    EXPECT_FALSE(f.ClienteNuevo());
    EXPECT_EQ(Valor(*central, "SELECT Nombre || '|' || Estado || '|' || Pais FROM Cliente WHERE RFC = 'ROLU750505KL2'")
                  .toString(),
              "ROSA LUNA|" + f.cmbEstado->itemText(11) + "|0");
    EXPECT_EQ(G().SeleccionCatalogo, "ROLU750505KL2;ROSA LUNA");

    // Edit the RFC of the displayed customer: its sales in this branch follow.
    Venta(*sucursal, 7, QStringLiteral("ROLU750505KL2"));
    caja(f.capRFC)->setText(QStringLiteral("ROLU750505KL3"));
    caja(f.capNumExterior)->setText(QStringLiteral("SN"));
    f.cmdGuardar_Click();
    EXPECT_EQ(Valor(*sucursal, "SELECT Cliente FROM Venta WHERE Numero = 7").toString(), "ROLU750505KL3");
    EXPECT_EQ(f.RFCAnterior, "ROLU750505KL3");

    // Delete asks; No keeps it, Yes removes it and the picker no longer hands it back.
    const int antes = f.Registros();
    prompts.pushAnswer(ui::Answer::No);
    f.cmdBorrar_Click();
    EXPECT_EQ(f.Registros(), antes);
    prompts.pushAnswer(ui::Answer::Yes);
    f.cmdBorrar_Click();
    EXPECT_EQ(f.Registros(), antes - 1);
    EXPECT_EQ(Valor(*central, "SELECT count(*) FROM Cliente WHERE RFC = 'ROLU750505KL3'").toInt(), 0);
    EXPECT_FALSE(G().SeleccionCatalogo.startsWith("ROLU750505KL3"));
}

// Every field of both tabs reads whole at the size the form opens with, at its smallest and on a
// whole 1280x1024 screen.
TEST_F(ClientesTest, EveryFieldOfBothTabsShowsWhole)
{
    frmClientes f(nullptr, central.get(), sucursal.get(), &prompts);
    f.show();
    EXPECT_TRUE(testutil::CadaCampoSeVeEntero(&f));
    f.resize(f.minimumSizeHint());
    EXPECT_TRUE(testutil::CadaCampoSeVeEntero(&f));
    f.resize(1280, 1024);
    EXPECT_TRUE(testutil::CadaCampoSeVeEntero(&f));
}

// The shipped counter-sale customer carries its colony, municipality and a state, so picking it at
// the counter asks for no correction.
TEST_F(ClientesTest, TheShippedCounterCustomerIsPickedWithoutAnyMessage)
{
    frmClientes f(nullptr, central.get(), sucursal.get(), &prompts);
    f.show();
    ASSERT_EQ(f.capRFC->Text(), "XAXX010101000");
    prompts.clear();
    QTest::mouseClick(f.cmdRegresar, Qt::LeftButton);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().join(" / ").toStdString();
    EXPECT_EQ(G().SeleccionCatalogo, "XAXX010101000;PUBLICO EN GENERAL");
}

// A save while another terminal holds the file (a write lock, then an open read at COMMIT time):
// the wait shows in the status bar, Esc leaves it without closing the form, nothing is stored, and
// the message says the file is busy.
TEST_F(ClientesTest, ASaveOnABusyFileShowsItsWaitAndEscLeavesIt)
{
    frmClientes f(nullptr, central.get(), sucursal.get(), &prompts);
    f.show();
    f.cmdNuevo_Click();
    auto caja = [](CCaptura* c) { return c->findChild<QLineEdit*>(); };
    QTest::keyClicks(caja(f.capRFC), QStringLiteral("BUSY800101AB1"));
    QTest::keyClicks(caja(f.capNombre), QStringLiteral("OCUPADO"));
    QTest::keyClicks(caja(f.capNumExterior), QStringLiteral("SN"));
    QTest::keyClicks(caja(f.capColonia), QStringLiteral("CENTRO"));
    QTest::keyClicks(caja(f.capMunicipio), QStringLiteral("LEON"));
    f.cmbEstado->setCurrentIndex(3);

    auto otra = db::Database::open(datasetup::rutaBDCodigos(dir->path()), datasetup::claveArchivos());
    ASSERT_TRUE(otra && otra->beginWrite());
    QString enEspera;
    QTimer::singleShot(150, [&] {
        enEspera = shell::UltimoEstado(2);
        QTest::keyClick(f.Text1, Qt::Key_Escape);
    });
    prompts.clear();
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    otra->rollback();
    EXPECT_EQ(enEspera, db::LockWait().statusText);
    EXPECT_EQ(prompts.lastMessage(), "Se canceló la espera: la base de datos está ocupada por otro usuario.");
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(Valor(*central, "SELECT count(*) FROM Cliente WHERE RFC = 'BUSY800101AB1'").toInt(), 0);

    // An open read holds the COMMIT back: the same wait, the same way out, the row rolled back.
    QSqlQuery lectura(otra->connection());
    lectura.setForwardOnly(true);
    ASSERT_TRUE(lectura.exec("SELECT RFC FROM Cliente UNION ALL SELECT 'X'"));
    ASSERT_TRUE(lectura.next());
    enEspera.clear();
    QTimer::singleShot(150, [&] {
        enEspera = shell::UltimoEstado(2);
        QTest::keyClick(f.Text1, Qt::Key_Escape);
    });
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    lectura.finish();
    EXPECT_EQ(enEspera, db::LockWait().statusText);
    EXPECT_EQ(prompts.lastMessage(), "Se canceló la espera: la base de datos está ocupada por otro usuario.");
    EXPECT_EQ(Valor(*central, "SELECT count(*) FROM Cliente WHERE RFC = 'BUSY800101AB1'").toInt(), 0);

    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Valor(*central, "SELECT count(*) FROM Cliente WHERE RFC = 'BUSY800101AB1'").toInt(), 1);
}
