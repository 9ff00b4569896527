// Branch parameters: the load rules (Nulls, zero keys, layouts and flags out of range), a load-save
// round trip, every bad value refused with the row untouched, the tax push, the SQL console's
// refusals and runs on both files, and the form driven offscreen.

#include "fixture.h"

#include "admin/consola.h"
#include "admin/forms/frmparamsuc.h"
#include "admin/parametros.h"
#include "ataques_sql.h"
#include "testutil.h"
#include "capture_control/ccaptura.h"
#include "sale/folios.h"
#include "catalogs/forms/frmclientes.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace admin;

namespace {

class ParametrosTest : public AdminTest {
protected:
    QStringList Fila() { return Filas(*suc, "SELECT * FROM Parametros"); }
    ValoresParametros Carga()
    {
        ValoresParametros v;
        QString error;
        EXPECT_TRUE(CargaParametros(*suc, &v, &error)) << error.toStdString();
        return v;
    }
};

}  // namespace

TEST_F(ParametrosTest, LoadOfNullsZeroKeysAndValuesOutsideTheirLists)
{
    ASSERT_TRUE(suc->exec("UPDATE Parametros SET MaxDescuentoFact = NULL, Printer1 = NULL, EncTicket = NULL, "
                          "OpenCDrawer = NULL, BDefault = NULL, NTimesCajon = NULL, MetodoImpresion = NULL, "
                          "Formatoticket = NULL, PreguntaCompVenta = NULL, tecla1ticket = NULL, tecla2ticket = 0, "
                          "ListaPrecioDef = NULL"));
    ValoresParametros v = Carga();
    EXPECT_EQ(v.MaxDescuentoFact, "");
    EXPECT_EQ(v.Printer1, "");
    EXPECT_EQ(v.EncTicket, "");
    EXPECT_FALSE(v.OpenCDrawer);
    EXPECT_EQ(v.BDefault, -1);
    EXPECT_EQ(v.NTimesCajon, "0");
    EXPECT_EQ(v.MetodoImpresion, -1);
    EXPECT_EQ(v.Formatoticket, -1);
    EXPECT_EQ(v.PreguntaCompVenta, 0);
    EXPECT_EQ(v.ListaPrecioDef, "0");
    EXPECT_EQ(v.teclas, (std::array<QString, 6>{"17", "18", "84", "17", "18", "68"}));

    ASSERT_TRUE(suc->exec("UPDATE Parametros SET Formatoticket = 3, ControlCaja = 2, FacturaE = -1, BDefault = 0, "
                          "CodigosPTicket = 3, MetodoImpresion = 7, PreguntaCompES = 2, VerDesctoVenta = 5, "
                          "tecla3ticket = 65, ListaPrecioDef = 9, IVA = 8"));
    v = Carga();
    EXPECT_EQ(v.Formatoticket, 1);
    EXPECT_FALSE(v.ControlCaja);
    EXPECT_FALSE(v.FacturaE);
    EXPECT_EQ(v.BDefault, -1);
    EXPECT_EQ(v.CodigosPTicket, 3);
    EXPECT_EQ(v.MetodoImpresion, -1);
    EXPECT_EQ(v.PreguntaCompES, 2);
    EXPECT_EQ(v.VerDesctoVenta, 0);
    EXPECT_EQ(v.teclas[2], "65");
    EXPECT_EQ(v.ListaPrecioDef, "0");
    EXPECT_EQ(v.IVA, "8");
}

TEST_F(ParametrosTest, LoadThenSaveLeavesTheRowAsItWas)
{
    ASSERT_TRUE(suc->exec("UPDATE Parametros SET tecla1ticket = 17, tecla2ticket = 18, tecla3ticket = 84, "
                          "tecla4ticket = 17, tecla5ticket = 18, tecla6ticket = 68, Printer3 = 'Caja Ñandú', "
                          "EncTicket = 'Tienda ''La Güera''', ListaPrecioDef = 2, EspT = -5"));
    const QStringList antes = Fila();
    QString error;
    ASSERT_TRUE(GuardaParametros(*suc, Carga(), &error)) << error.toStdString();
    EXPECT_EQ(Fila(), antes);
}

TEST_F(ParametrosTest, SaveStoresOnlyFlagsZeroOrOneAndGenericLinesForceTheDescription)
{
    ASSERT_TRUE(suc->exec("UPDATE Parametros SET ControlCaja = 2, PreguntaCompES = 2"));
    ValoresParametros v = Carga();
    v.GenAgregar = true;
    v.MDescripcion = false;
    v.Formatoticket = 1;
    QString error;
    ASSERT_TRUE(GuardaParametros(*suc, v, &error)) << error.toStdString();
    auto f = suc->selectOne("SELECT * FROM Parametros");
    EXPECT_EQ(f->integer("ControlCaja"), 0);
    EXPECT_EQ(f->integer("PreguntaCompES"), 0);  // a greyed box is not a granted flag
    EXPECT_EQ(f->integer("MDescripcion"), 1);
    EXPECT_EQ(f->integer("GenAgregar"), 1);
    EXPECT_EQ(f->integer("tecla1ticket"), 17);  // the defaults shown are stored
    EXPECT_EQ(f->integer("Formatoticket"), 1);
}

TEST_F(ParametrosTest, EachBadValueIsRefusedByNameAndTheRowStaysUnchanged)
{
    const QStringList antes = Fila();
    const ValoresParametros bueno = Carga();
    struct Caso {
        const char* que;
        std::function<void(ValoresParametros&)> cambia;
        const char* nombra;
    } casos[] = {
        {"IVA abc", [](auto& v) { v.IVA = "abc"; }, "I.V.A:"},
        {"IVA 16.5", [](auto& v) { v.IVA = "16.5"; }, "I.V.A:"},
        {"IVA 300", [](auto& v) { v.IVA = "300"; }, "I.V.A:"},
        {"IVA empty", [](auto& v) { v.IVA = ""; }, "I.V.A:"},
        {"DescMaxFact 150", [](auto& v) { v.MaxDescuentoFact = "150"; }, "DescMaxFact:"},
        {"TFuente 0", [](auto& v) { v.TFuente = "0"; }, "Tamaño Fuente:"},
        {"EspT 40000", [](auto& v) { v.EspT = "40000"; }, "EspT:"},
        {"Ajuste 256", [](auto& v) { v.Ajuste = "256"; }, "Ajuste:"},
        {"NPulso -1", [](auto& v) { v.NTimesCajon = "-1"; }, "NPulsoCajon:"},
        {"list price 4", [](auto& v) { v.ListaPrecioDef = "4"; }, "LPreciosxDefault:"},
        {"key 300", [](auto& v) { v.teclas[4] = "300"; }, "Activa Ticket"},
        {"no code set", [](auto& v) { v.CodigosPTicket = -1; }, "códigos"},
        {"no method", [](auto& v) { v.MetodoImpresion = -1; }, "método"},
    };
    for (const Caso& c : casos) {
        ValoresParametros v = bueno;
        c.cambia(v);
        QString error;
        EXPECT_FALSE(GuardaParametros(*suc, v, &error)) << c.que;
        EXPECT_TRUE(error.startsWith("Error al guardar. ")) << c.que;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.nombra))) << c.que << ": " << error.toStdString();
    }
    EXPECT_EQ(Fila(), antes);
}

TEST_F(ParametrosTest, TaxPushChangesTaxedProductsAndLeavesExemptOnes)
{
    ASSERT_TRUE(central->exec("UPDATE Producto SET IVA = 16"));
    ASSERT_TRUE(central->exec("UPDATE Producto SET IVA = 0 WHERE ClaveProducto = (SELECT MIN(ClaveProducto) FROM Producto)"));
    const int exentos = central->scalar("SELECT COUNT(*) FROM Producto WHERE IVA = 0")->toInt();
    ASSERT_EQ(exentos, 1);
    EXPECT_EQ(IVAValido("8"), 8);
    EXPECT_EQ(IVAValido("16.5"), std::nullopt);
    EXPECT_EQ(IVAValido("101"), std::nullopt);
    ASSERT_TRUE(CambiaIVAProductos(*central, 8));
    EXPECT_EQ(central->scalar("SELECT COUNT(*) FROM Producto WHERE IVA = 0")->toInt(), 1);
    EXPECT_EQ(central->scalar("SELECT COUNT(*) FROM Producto WHERE IVA NOT IN (0, 8)")->toInt(), 0);
}

TEST_F(ParametrosTest, ConsoleRefusesWhatItMustAndRunsOneStatementOnEitherFile)
{
    EXPECT_TRUE(EsClaveConsola("brinque"));
    for (const char* mal : {"BRINQUE", "brinque ", ""})
        EXPECT_FALSE(EsClaveConsola(mal)) << mal;

    const QString rc = datos + "/Base de datos/BDcodigos.db";
    const QString rs = datos + "/Base de datos/Sucursales/" + corto + "/BDSucursal.db";
    const QStringList productos = Filas(*central, "SELECT ClaveProducto, IVA FROM Producto ORDER BY 1");
    const QStringList clientes = Filas(*central, "SELECT * FROM Cliente ORDER BY RFC");
    const QString links = testutil::CapaCruda(rs);
    const char* refusadas[] = {
        "update producto set iva=16; delete from cliente",
        "update producto set iva=16;\n-- fin\ndelete from cliente;",
        "select * from producto",
        "update producto set iva=1 returning *",
        "PRAGMA journal_mode=WAL",
        "begin",
        "commit",
        "attach 'x.db' as x",
        "detach x",
        "vacuum",
        "delete from _links",
        "DELETE FROM \"_Queries\"",
        "update [_dbpassword] set Password = ''",
        "",
        "   -- nada",
    };
    for (const char* sql : refusadas) {
        for (BaseConsola b : {BaseConsola::Central, BaseConsola::Sucursal}) {
            const ResultadoConsola r = EjecutaConsola(b, b == BaseConsola::Central ? rc : rs, rc, sql);
            EXPECT_FALSE(r.ok) << sql;
            EXPECT_FALSE(r.mensaje.isEmpty()) << sql;
        }
    }
    const ResultadoConsola sintaxis = EjecutaConsola(BaseConsola::Central, rc, rc, "update producto sett iva=1");
    EXPECT_FALSE(sintaxis.ok);
    EXPECT_TRUE(sintaxis.mensaje.startsWith("No se pudo ejecutar el comando: update producto sett iva=1 "));
    EXPECT_FALSE(EjecutaConsola(BaseConsola::Ninguna, rc, rc, "update producto set iva=1").ok);
    EXPECT_EQ(Filas(*central, "SELECT ClaveProducto, IVA FROM Producto ORDER BY 1"), productos);
    EXPECT_EQ(Filas(*central, "SELECT * FROM Cliente ORDER BY RFC"), clientes);
    EXPECT_EQ(testutil::CapaCruda(rs), links);
    EXPECT_EQ(suc->scalar("PRAGMA journal_mode")->toString().toLower(), "delete");

    // A semicolon inside a string or a trigger body is part of the one statement.
    EXPECT_TRUE(EjecutaConsola(BaseConsola::Central, rc, rc, "update Cliente set Nombre = Nombre || '' where RFC = 'a;b';").ok);
    EXPECT_TRUE(EjecutaConsola(BaseConsola::Central, rc, rc, "UPDATE Producto SET IVA = 11").ok);
    EXPECT_EQ(central->scalar("SELECT COUNT(*) FROM Producto WHERE IVA <> 11")->toInt(), 0);
    EXPECT_TRUE(EjecutaConsola(BaseConsola::Sucursal, rs, rc, "update Parametros set PieTicket = 'ADIOS'").ok);
    EXPECT_EQ(suc->scalar("SELECT PieTicket FROM Parametros")->toString(), "ADIOS");
    // Producto is linked in the branch file: the statement reaches the central table.
    EXPECT_TRUE(EjecutaConsola(BaseConsola::Sucursal, rs, rc, "update producto set iva=4").ok);
    EXPECT_EQ(central->scalar("SELECT COUNT(*) FROM Producto WHERE IVA <> 4")->toInt(), 0);
    EXPECT_TRUE(EjecutaConsola(BaseConsola::Central, rc, rc,
                               "CREATE TRIGGER t AFTER UPDATE ON Cliente BEGIN UPDATE Cliente SET Nombre = Nombre "
                               "WHERE 0; END")
                    .ok);
}

TEST_F(ParametrosTest, ConsoleFormRunsWhatAPersonMayAndRefusesInSpanishWhatWouldReachTheLayersTables)
{
    const QString rc = datos + "/Base de datos/BDcodigos.db";
    testutil::Crudo(rc, "ANALYZE");  // the planner's statistics an earlier version left, the layer's tables among them
    const QString capa = testutil::CapaCruda(rc);
    ASSERT_TRUE(capa.contains("_dbpassword:"));
    const ataques::Cotas cotas;
    frmParamSuc forma(nullptr, &prompts);
    forma.show();
    forma.SSTab1->setCurrentIndex(4);
    QTest::mouseClick(forma.optBD1, Qt::LeftButton);
    for (const ataques::Linea& l : ataques::kLineas) {
        QTest::mouseClick(forma.txtSQL->viewport(), Qt::LeftButton);
        QTest::keyClick(forma.txtSQL, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(forma.txtSQL, Qt::Key_Delete);
        QTest::keyClicks(forma.txtSQL, QString::fromUtf8(l.sql));
        prompts.clear();
        prompts.pushInput("brinque");
        QTest::mouseClick(forma.cmdEjecutar, Qt::LeftButton);
        const QString m = prompts.lastMessage();
        if (l.consola) {
            EXPECT_EQ(m, "Hecho.") << l.sql;
            continue;
        }
        EXPECT_NE(m, "Hecho.") << l.sql;
        EXPECT_TRUE(m.contains(QString::fromUtf8(l.por))) << l.sql << " -> " << m.toStdString();
        EXPECT_FALSE(ataques::HablaIngles(m)) << m.toStdString();
    }
    EXPECT_EQ(testutil::CapaCruda(rc), capa);
    EXPECT_EQ(Filas(*central, ataques::kObjetos), QStringList{ataques::kObjetosEsperados});
}

TEST_F(ParametrosTest, StoredTriggersAndViewsCannotReachTheLayersTablesThroughTheProgramsOwnStatements)
{
    // Made by whoever, before any guard: the engine refuses them as the program's statements fire them.
    ASSERT_TRUE(suc->exec("CREATE TRIGGER vacia AFTER UPDATE ON Folios BEGIN DELETE FROM _links; END"));
    ASSERT_TRUE(central->exec("CREATE TRIGGER cierra AFTER UPDATE ON Producto BEGIN UPDATE _dbpassword SET "
                              "Password = 'nadie'; END"));
    ASSERT_TRUE(central->exec("CREATE VIEW vpw AS SELECT Password FROM _dbpassword"));
    const QString rc = datos + "/Base de datos/BDcodigos.db";
    const QString rs = datos + "/Base de datos/Sucursales/" + corto + "/BDSucursal.db";
    const QString capaSucursal = testutil::CapaCruda(rs), capaCentral = testutil::CapaCruda(rc);

    db::Error e;
    EXPECT_EQ(sale::ObtenerFolio(*shell::BDSucursal(), sale::FolioTicket, {}, &e), -1);
    EXPECT_TRUE(e.message.contains("el disparador vacia: no se permite borrar registros de la tabla interna del archivo _links"))
        << e.message.toStdString();
    EXPECT_FALSE(CambiaIVAProductos(*shell::BDCodigos(), 8));
    EXPECT_FALSE(shell::BDCodigos()->select("SELECT Password FROM vpw", {}, &e));
    EXPECT_FALSE(ataques::HablaIngles(e.message)) << e.message.toStdString();

    EXPECT_EQ(testutil::CapaCruda(rs), capaSucursal);
    EXPECT_EQ(testutil::CapaCruda(rc), capaCentral);
    // The program's own reads of those tables and the linked tables work as before.
    shell::CierraConexiones();
    ASSERT_TRUE(shell::BDSucursal(&e)) << e.message.toStdString();
    EXPECT_GT(shell::BDSucursal()->scalar("SELECT count(*) FROM Producto")->toInt(), 0);
}

TEST_F(ParametrosTest, FormChangesTicketPrinterAndCodeSetWhichTheProgramFollows)
{
    G().Printer3 = "VIEJA";
    G().CodigosPTicket = 0;
    frmParamSuc forma(nullptr, &prompts);
    forma.show();
    ASSERT_TRUE(forma.Cargado());
    EXPECT_EQ(forma.capImp1->Caption(), "Impresora para Facturar.");
    EXPECT_EQ(forma.txtTecla[2]->text(), "84");
    forma.SSTab1->setCurrentIndex(1);
    QLineEdit* imp3 = forma.capImp3->findChild<QLineEdit*>();
    QTest::mouseClick(imp3, Qt::LeftButton);
    imp3->selectAll();
    QTest::keyClicks(imp3, "ticketera");
    forma.cmbCodigos->setFocus();
    QTest::keyClick(forma.cmbCodigos, Qt::Key_Down);
    QTest::keyClick(forma.cmbCodigos, Qt::Key_Down);
    ASSERT_EQ(forma.cmbCodigos->currentIndex(), 2);

    forma.SSTab1->setCurrentIndex(3);
    QTest::mouseClick(forma.txtTecla[0], Qt::LeftButton);
    QTest::keyClick(forma.txtTecla[0], Qt::Key_F1);
    EXPECT_EQ(forma.txtTecla[0]->text(), "112");
    QTest::keyClick(forma.txtTecla[0], Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(forma.txtTecla[0]->text(), "17");
    QTest::keyClick(forma.txtTecla[0], Qt::Key_CapsLock);  // no code: the text stays
    EXPECT_EQ(forma.txtTecla[0]->text(), "17");

    QTest::mouseClick(forma.Command2, Qt::LeftButton);
    // The name as typed (queue names are case-sensitive); no queue has it, which the save says.
    const QStringList m = prompts.messages();
    ASSERT_GE(m.size(), 2);
    EXPECT_EQ(m[m.size() - 2], "Se Actualizaron los registros.");
    EXPECT_TRUE(m.last().contains("\"ticketera\"")) << m.last().toStdString();
    EXPECT_EQ(G().Printer3, "ticketera");
    EXPECT_EQ(G().CodigosPTicket, 2);
    auto f = suc->selectOne("SELECT * FROM Parametros");
    EXPECT_EQ(f->text("Printer3"), "ticketera");
    EXPECT_EQ(f->integer("CodigosPTicket"), 2);
    EXPECT_EQ(f->integer("tecla1ticket"), 17);

    // A bad value: the reason, no success, the globals as they were.
    forma.SSTab1->setCurrentIndex(2);
    QLineEdit* iva = forma.capIVA->findChild<QLineEdit*>();
    QTest::mouseClick(iva, Qt::LeftButton);
    iva->selectAll();
    QTest::keyClicks(iva, "16.5");
    prompts.clear();
    QTest::mouseClick(forma.Command2, Qt::LeftButton);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.lastMessage().startsWith("Error al guardar. El campo I.V.A:"));
    EXPECT_EQ(suc->scalar("SELECT IVA FROM Parametros")->toInt(), 16);
}

TEST_F(ParametrosTest, FormPushesTheTaxAndRunsAConsoleStatementBehindItsCode)
{
    frmParamSuc forma(nullptr, &prompts);
    forma.show();
    forma.SSTab1->setCurrentIndex(2);
    QLineEdit* iva = forma.capIVA->findChild<QLineEdit*>();
    QTest::mouseClick(iva, Qt::LeftButton);
    iva->selectAll();
    QTest::keyClicks(iva, "8");
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::keyClick(iva, Qt::Key_Return);
    EXPECT_EQ(prompts.lastMessage(), "Cambio realizado.");
    EXPECT_EQ(central->scalar("SELECT COUNT(*) FROM Producto WHERE IVA NOT IN (0, 8)")->toInt(), 0);

    forma.SSTab1->setCurrentIndex(4);
    QTest::keyClicks(forma.txtSQL, "update Parametros set EncTicket = 'CONSOLA'");
    QTest::mouseClick(forma.optBD2, Qt::LeftButton);
    prompts.clear();
    prompts.pushInput("BRINQUE");
    QTest::mouseClick(forma.cmdEjecutar, Qt::LeftButton);
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(prompts.asked().back().title, "Confirmar.");
    EXPECT_NE(suc->scalar("SELECT EncTicket FROM Parametros")->toString(), "CONSOLA");
    prompts.pushInput("brinque");
    QTest::mouseClick(forma.cmdEjecutar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), "Hecho.");
    EXPECT_EQ(suc->scalar("SELECT EncTicket FROM Parametros")->toString(), "CONSOLA");
}

TEST_F(ParametrosTest, FormSideEffectsOfItsBoxes)
{
    ASSERT_TRUE(suc->exec("UPDATE Parametros SET FacturaE = 1, UsarServidorImp = 0"));
    G().FacturaE = true;
    frmParamSuc forma(nullptr, &prompts);
    EXPECT_EQ(prompts.messages(), QStringList{"Para poder utilizar correctamente la funcionalidad del Modulo de "
                                              "FacturaE, habilite el modulo de Servidor de Folios."});
    EXPECT_EQ(forma.capImp1->Caption(), "Impresora para Venta Mostrador.");
    forma.show();
    forma.SSTab1->setCurrentIndex(0);
    forma.chkDescripcionProd->setChecked(true);
    forma.chkNombreProd->setChecked(false);
    // On the box itself: a stretched check box takes no click past its text.
    QTest::mouseClick(forma.chkDescripcionProd, Qt::LeftButton, {}, QPoint(8, forma.chkDescripcionProd->height() / 2));
    EXPECT_TRUE(forma.chkNombreProd->isChecked());
    forma.SSTab1->setCurrentIndex(2);
    QLineEdit* lista = forma.capListaPrecios->findChild<QLineEdit*>();
    lista->selectAll();
    QTest::keyClicks(lista, "4");
    EXPECT_EQ(forma.capListaPrecios->Text(), "0");
    lista->selectAll();
    QTest::keyClicks(lista, "3");
    EXPECT_EQ(forma.capListaPrecios->Text(), "3");
    forma.capnTimesCajon->setText("5");
    QTest::mouseClick(forma.chkpulsoCajon, Qt::LeftButton);
    EXPECT_EQ(forma.capnTimesCajon->Text(), "1");
}

TEST_F(ParametrosTest, DataFolderChangeWaitsForTheOtherWindowsToClose)
{
    int elegida = 0;
    frmParamSuc::EstableceEligeCarpeta([&](QWidget*, const QString&) {
        ++elegida;
        return QString();  // cancelled
    });
    QPointer<QWidget> clientes = shell::Forma<catalogos::frmClientes>();
    frmParamSuc forma(nullptr, &prompts);
    forma.show();
    forma.SSTab1->setCurrentIndex(0);
    prompts.clear();
    QTest::mouseClick(forma.cmdCDireccion, Qt::LeftButton);
    EXPECT_EQ(prompts.messages(),
              QStringList{"Cierre las ventanas abiertas antes de continuar: CATALOGO DE CLIENTES."});
    EXPECT_EQ(elegida, 0);

    delete clientes.data();
    QTest::mouseClick(forma.cmdCDireccion, Qt::LeftButton);
    EXPECT_EQ(elegida, 1);
    EXPECT_EQ(prompts.messages().size(), 1);
    frmParamSuc::EstableceEligeCarpeta(nullptr);
}
