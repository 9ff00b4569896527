// The supplier catalogue and the suppliers of a product: searches, saves and deletes on the central
// file, and the link form with its picker driven offscreen in the main window.

#include "testutil.h"
#include "carpeta_prueba.h"

#include "catalogs/forms/frmprodproveedores.h"
#include "catalogs/forms/frmproveedores.h"
#include "catalogs/forms/frmclientes.h"
#include "catalogs/proveedores.h"
#include "capture_control/ccaptura.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace catalogos;

namespace {

class ProveedoresTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok);
        for (const auto& [rfc, nombre] : {std::pair{"ABC010101AAA", "PAPELERA DEL NORTE"},
                                          std::pair{"XYZ020202BBB", "PAPELES Y MAS"},
                                          std::pair{"QRS030303CCC", "DISTRIBUIDORA 50% OFF"},
                                          std::pair{"TUV040404DDD", "O'HARA_PAPEL*"}}) {
            Proveedor p;
            p.RFC = QString::fromLatin1(rfc);
            p.NombreCompania = QString::fromUtf8(nombre);
            ASSERT_TRUE(GrabaProveedor(*c.central, p, true, {}).ok);
        }
    }
    qint64 Enlaces(const QString& rfc)
    {
        return c.central->scalar(QStringLiteral("SELECT COUNT(*) FROM ProductoProveedor WHERE RFC=?"),
                                 {rfc})->toLongLong();
    }
    QStringList Nombres(const QString& campo, const QString& texto)
    {
        db::Rows filas;
        EXPECT_TRUE(BuscaProveedores(*c.central, campo, texto, &filas));
        QStringList l;
        for (const auto& f : filas)
            l << f.text(QStringLiteral("NombreCompania"));
        return l;
    }
    catalogtest::CarpetaPrueba c;
};

TEST_F(ProveedoresTest, SearchMatchesThePrefixLiterally)
{
    EXPECT_EQ(Nombres(QStringLiteral("NOMBRECOMPANIA"), QStringLiteral("PA")),
              (QStringList{"PAPELERA DEL NORTE", "PAPELES Y MAS"}));
    EXPECT_EQ(Nombres(QStringLiteral("NOMBRECOMPANIA"), QStringLiteral("")).size(), 4);
    // Wildcard characters and quotes typed by the person stand for themselves.
    EXPECT_EQ(Nombres(QStringLiteral("NOMBRECOMPANIA"), QStringLiteral("DISTRIBUIDORA 50%")),
              QStringList{"DISTRIBUIDORA 50% OFF"});
    EXPECT_TRUE(Nombres(QStringLiteral("NOMBRECOMPANIA"), QStringLiteral("%")).isEmpty());
    EXPECT_TRUE(Nombres(QStringLiteral("NOMBRECOMPANIA"), QStringLiteral("P_P")).isEmpty());
    EXPECT_TRUE(Nombres(QStringLiteral("NOMBRECOMPANIA"), QStringLiteral("*")).isEmpty());
    EXPECT_EQ(Nombres(QStringLiteral("NOMBRECOMPANIA"), QStringLiteral("O'HARA_")),
              QStringList{"O'HARA_PAPEL*"});
}

TEST_F(ProveedoresTest, SavesRefuseARepeatedOrEmptyRFCAndMoveTheLinksWithAChangedOne)
{
    Proveedor p;
    p.RFC = QStringLiteral("ABC010101AAA");
    p.NombreCompania = QStringLiteral("OTRO");
    const ResultadoProveedor dup = GrabaProveedor(*c.central, p, true, {});
    EXPECT_FALSE(dup.ok);
    EXPECT_EQ(dup.error.kind, db::ErrorKind::DuplicateKey);
    EXPECT_EQ(Nombres(QStringLiteral("RFC"), QStringLiteral("ABC")), QStringList{"PAPELERA DEL NORTE"});
    p.RFC = QStringLiteral("  ");
    EXPECT_FALSE(GrabaProveedor(*c.central, p, true, {}).ok);

    ASSERT_TRUE(AgregaProveedorProducto(*c.central, 1, QStringLiteral("ABC010101AAA")));
    ASSERT_TRUE(AgregaProveedorProducto(*c.central, 2, QStringLiteral("ABC010101AAA")));
    // Renaming onto another supplier's RFC fails as a whole: its links stay where they were.
    p = ProveedorDeFila(*c.central->selectOne(QStringLiteral("SELECT * FROM Proveedores WHERE RFC='ABC010101AAA'")));
    p.RFC = QStringLiteral("XYZ020202BBB");
    EXPECT_FALSE(GrabaProveedor(*c.central, p, false, QStringLiteral("ABC010101AAA")).ok);
    EXPECT_EQ(Enlaces(QStringLiteral("ABC010101AAA")), 2);

    p.RFC = QStringLiteral("ABD010101AAA");
    ASSERT_TRUE(GrabaProveedor(*c.central, p, false, QStringLiteral("ABC010101AAA")).ok);
    EXPECT_EQ(Enlaces(QStringLiteral("ABC010101AAA")), 0);
    EXPECT_EQ(Enlaces(QStringLiteral("ABD010101AAA")), 2);

    ASSERT_TRUE(BorraProveedor(*c.central, QStringLiteral("ABD010101AAA")).ok);
    EXPECT_EQ(Enlaces(QStringLiteral("ABD010101AAA")), 0);
    EXPECT_EQ(Nombres(QStringLiteral("RFC"), QStringLiteral("ABD")).size(), 0);
}

TEST_F(ProveedoresTest, LinksAreListedOnceAndNeedAKnownSupplier)
{
    EXPECT_TRUE(AgregaProveedorProducto(*c.central, 3, QStringLiteral("XYZ020202BBB")));
    EXPECT_FALSE(AgregaProveedorProducto(*c.central, 3, QStringLiteral("XYZ020202BBB")));
    EXPECT_FALSE(AgregaProveedorProducto(*c.central, 3, QStringLiteral("NADIE")));
    db::Rows filas;
    ASSERT_TRUE(ProveedoresProducto(*c.central, 3, &filas));
    ASSERT_EQ(filas.size(), 1u);
    EXPECT_EQ(filas[0].text(QStringLiteral("NombreCompania")), "PAPELES Y MAS");
    EXPECT_TRUE(BorraProveedorProducto(*c.central, 3, QStringLiteral("XYZ020202BBB")));
    ASSERT_TRUE(ProveedoresProducto(*c.central, 3, &filas));
    EXPECT_TRUE(filas.empty());
}

TEST_F(ProveedoresTest, CatalogueFormSavesShowsAndHandsBackTheSupplier)
{
    G().PermisosUsuario[4] = true;
    frmProveedores f;
    f.show();
    EXPECT_EQ(f.Registros(), 4);
    EXPECT_EQ(G().SeleccionCatalogo, f.capRFC->Text());

    QTest::mouseClick(f.cmdNuevo, Qt::LeftButton);
    QTest::keyClicks(f.capRFC->findChild<QLineEdit*>(), QStringLiteral("new990101zzz"));
    QTest::keyClicks(f.capNombre->findChild<QLineEdit*>(), QStringLiteral("nuevo proveedor"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_TRUE(c.prompts.messages().isEmpty()) << c.prompts.messages().join("|").toStdString();
    EXPECT_EQ(f.Registros(), 5);
    EXPECT_EQ(f.capRFC->Text(), "NEW990101ZZZ");
    EXPECT_EQ(G().SeleccionCatalogo, "NEW990101ZZZ");

    // A repeated RFC: the duplicate message, nothing added.
    QTest::mouseClick(f.cmdNuevo, Qt::LeftButton);
    QTest::keyClicks(f.capRFC->findChild<QLineEdit*>(), QStringLiteral("NEW990101ZZZ"));
    QTest::keyClicks(f.capNombre->findChild<QLineEdit*>(), QStringLiteral("otro"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    ASSERT_EQ(c.prompts.messages().size(), 1);
    EXPECT_EQ(c.prompts.lastMessage(), "El RFC NEW990101ZZZ ya existe.");
    EXPECT_EQ(f.Registros(), 5);

    // Scrolling alone hands back the supplier shown (the refused typing dropped when asked).
    f.gridClientes->setFocus();
    const int antes = f.Posicion();
    c.prompts.pushAnswer(ui::Answer::Yes);
    QTest::keyClick(f.gridClientes, Qt::Key_Down);
    EXPECT_EQ(f.Posicion(), antes + 1);
    EXPECT_EQ(G().SeleccionCatalogo, f.capRFC->Text());
    EXPECT_NE(G().SeleccionCatalogo, "NEW990101ZZZ");

    // Deleting shows the neighbour.
    c.prompts.pushAnswer(ui::Answer::Yes);
    const QString borrado = f.capRFC->Text();
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(f.Registros(), 4);
    EXPECT_NE(f.capRFC->Text(), borrado);
    EXPECT_EQ(c.prompts.asked().back().title, "Confirmar.");

    // F2 moves to the next search field.
    QTest::keyClick(f.Text1, Qt::Key_F2);
    EXPECT_EQ(f.Combo1->currentText(), "NOMBRECOMPANIA");
}

TEST_F(ProveedoresTest, TypedSmallAccentedLettersFindTheStoredCapitals)
{
    Proveedor p;
    p.RFC = QStringLiteral("PEN050505EEE");
    p.NombreCompania = QStringLiteral("PEÑA Y CAFÉ");
    ASSERT_TRUE(GrabaProveedor(*c.central, p, true, {}).ok);
    frmProveedores f;
    f.show();
    f.Combo1->setCurrentIndex(1);
    testutil::Teclea(f.Text1, QStringLiteral("peñ"));
    EXPECT_EQ(f.Registros(), 1);
    EXPECT_EQ(f.capRFC->Text(), "PEN050505EEE");
}

TEST_F(ProveedoresTest, EmptyCatalogueSaveAsksForANewSupplier)
{
    G().PermisosUsuario[4] = true;
    c.central->exec(QStringLiteral("DELETE FROM Proveedores"));
    frmProveedores f;
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(c.prompts.lastMessage(), "No hay ningun registro, presione el boton 'Nuevo proveedor'.");
    EXPECT_EQ(c.central->scalar(QStringLiteral("SELECT COUNT(*) FROM Proveedores"))->toInt(), 0);
}

TEST_F(ProveedoresTest, LinkFormPicksASupplierFromTheCatalogueAndAddsIt)
{
    shell::MIDI midi;
    catalogos::ConectaMenusCatalogos(&midi);
    shell::ConectaMenu(&midi);
    midi.show();
    G().PermisosUsuario[4] = true;
    G().ProductoProv = 2;
    G().CodigoProductoSel = QStringLiteral("PROVEEDORES PARA EL PRODUCTO: BOLIGRAFO");
    G().SeleccionCatalogo.clear();
    frmProdProveedores* links = AbreProdProveedores(&midi);
    EXPECT_EQ(links->Label1->text(), "PROVEEDORES PARA EL PRODUCTO: BOLIGRAFO");
    EXPECT_EQ(links->Registros(), 0);
    QTest::mouseClick(links->cmdBorrar, Qt::LeftButton);  // an empty list: nothing
    EXPECT_EQ(links->Registros(), 0);

    QTest::mouseClick(links->cmdAgregar, Qt::LeftButton);
    auto* picker = qobject_cast<frmProveedores*>(shell::FormaCargada(QStringLiteral("frmProveedores")));
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(links->Registros(), 0);
    QTest::keyClick(picker->Text1, Qt::Key_F2);
    QTest::keyClicks(picker->Text1, QStringLiteral("PAPELES"));
    ASSERT_EQ(picker->Registros(), 1);
    QTest::mouseClick(picker->cmdCerrar, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shell::FormaCargada(QStringLiteral("frmProveedores")), nullptr);
    EXPECT_EQ(links->capRFC->Text(), "XYZ020202BBB");

    QTest::mouseClick(links->cmdAgregar, Qt::LeftButton);
    ASSERT_EQ(links->Registros(), 1);
    EXPECT_EQ(links->gridProdProv->model()->index(0, 2).data().toString(), "PAPELES Y MAS");
    EXPECT_FALSE(links->gridProdProv->isColumnHidden(2));
    EXPECT_TRUE(links->gridProdProv->isColumnHidden(0));

    // The same one again, and an RFC typed by hand that no supplier has: one error line each.
    QTest::mouseClick(links->cmdAgregar, Qt::LeftButton);
    links->capRFC->setText(QStringLiteral("NOEXISTE"));
    QTest::mouseClick(links->cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(links->Text1->document()->blockCount(), 3);
    EXPECT_EQ(links->TextoErrores(),
              QString(QStringLiteral("Error al insertar proveedor o ya existe el proveedor en la lista.\r\n"))
                  .repeated(2));
    EXPECT_EQ(links->Registros(), 1);
    EXPECT_TRUE(c.prompts.messages().isEmpty());

    QTest::mouseClick(links->cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(links->Registros(), 0);
    G().ModoProdProv = 5;
    QTest::mouseClick(links->cmdRegresar, Qt::LeftButton);
    EXPECT_EQ(G().ModoProdProv, 0);
}

// The link form takes the supplier it asked for, once: a customer chosen in the customer catalogue,
// or a supplier looked at from the menu, never reaches its R.F.C. field; while its picker is in
// sight the person may choose again there, and the last choice is the one taken.
TEST_F(ProveedoresTest, LinkFormTakesOnlyTheSupplierItAskedForAndOnlyOnce)
{
    shell::MIDI midi;
    catalogos::ConectaMenusCatalogos(&midi);
    shell::ConectaMenu(&midi);
    midi.resize(1280, 1024);
    midi.show();
    G().PermisosUsuario[3] = G().PermisosUsuario[4] = true;
    ASSERT_TRUE(c.central->exec(QStringLiteral("INSERT INTO Cliente (RFC, Nombre) VALUES ('ABCD123456XY7', 'JUAN PEREZ')")));
    G().ProductoProv = 2;
    G().CodigoProductoSel = QStringLiteral("PROVEEDORES PARA EL PRODUCTO: BOLIGRAFO");
    frmProdProveedores* links = AbreProdProveedores(&midi);
    auto vuelve = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        midi.MuestraEnMDI(links);
        QCoreApplication::processEvents();
    };

    // Not asked: what other catalogues show stays out.
    midi.Ejecuta(QStringLiteral("Clientes"));
    ASSERT_NE(shell::FormaCargada(QStringLiteral("frmClientes")), nullptr);
    EXPECT_TRUE(G().SeleccionCatalogo.contains(u';')) << G().SeleccionCatalogo.toStdString();
    vuelve();
    EXPECT_EQ(links->capRFC->Text(), "");
    midi.Ejecuta(QStringLiteral("Proveedores"));
    auto* menu = qobject_cast<frmProveedores*>(shell::FormaCargada(QStringLiteral("frmProveedores")));
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(G().SeleccionCatalogo.isEmpty());
    QTest::mouseClick(menu->cmdCerrar, Qt::LeftButton);
    vuelve();
    EXPECT_EQ(links->capRFC->Text(), "");

    // Asked: the picker opens; the link form brought forward meanwhile takes the supplier shown,
    // and a later choice there replaces it until the picker closes.
    QTest::mouseClick(links->cmdAgregar, Qt::LeftButton);
    auto* picker = qobject_cast<frmProveedores*>(shell::FormaCargada(QStringLiteral("frmProveedores")));
    ASSERT_NE(picker, nullptr);
    QTest::keyClick(picker->Text1, Qt::Key_F2);
    QTest::keyClicks(picker->Text1, QStringLiteral("PAPELES"));
    ASSERT_EQ(picker->Registros(), 1);
    vuelve();
    EXPECT_EQ(links->capRFC->Text(), "XYZ020202BBB");
    midi.MuestraEnMDI(picker);
    picker->Text1->clear();
    QTest::keyClicks(picker->Text1, QStringLiteral("DISTRIBUIDORA"));
    ASSERT_EQ(picker->Registros(), 1);
    QTest::mouseClick(picker->cmdCerrar, Qt::LeftButton);
    vuelve();
    EXPECT_EQ(links->capRFC->Text(), "QRS030303CCC");

    // Taken: the customer catalogue again, and the field keeps what the person left in it.
    links->capRFC->setText(QStringLiteral("TUV040404DDD"));
    midi.Ejecuta(QStringLiteral("Clientes"));
    vuelve();
    EXPECT_EQ(links->capRFC->Text(), "TUV040404DDD");
    QTest::mouseClick(links->cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(Enlaces(QStringLiteral("TUV040404DDD")), 1);
    EXPECT_TRUE(links->TextoErrores().isEmpty());
    EXPECT_TRUE(c.prompts.messages().isEmpty()) << c.prompts.messages().join('|').toStdString();

    // A delete the file refuses says so, and the link stays listed.
    ASSERT_TRUE(c.central->exec(QStringLiteral("CREATE TRIGGER guarda BEFORE DELETE ON ProductoProveedor "
                                               "BEGIN SELECT RAISE(ABORT, 'guardado'); END")));
    ASSERT_EQ(links->Registros(), 1);
    QTest::mouseClick(links->cmdBorrar, Qt::LeftButton);
    ASSERT_EQ(c.prompts.messages().size(), 1);
    EXPECT_TRUE(c.prompts.lastMessage().startsWith(QStringLiteral("No se pudo borrar el proveedor de la lista")))
        << c.prompts.lastMessage().toStdString();
    EXPECT_EQ(links->Registros(), 1);
    EXPECT_EQ(Enlaces(QStringLiteral("TUV040404DDD")), 1);
    ASSERT_TRUE(c.central->exec(QStringLiteral("DROP TRIGGER guarda")));
    shell::OlvidaAbridores();
}

TEST_F(ProveedoresTest, MenuItemNeedsPermissionFour)
{
    shell::MIDI midi;
    catalogos::ConectaMenusCatalogos(&midi);
    shell::ConectaMenu(&midi);
    midi.Ejecuta(QStringLiteral("Proveedores"));
    EXPECT_EQ(shell::FormaCargada(QStringLiteral("frmProveedores")), nullptr);
    EXPECT_EQ(c.prompts.lastMessage(), "Usted no tiene acceso a esta parte del sistema.");
    G().PermisosUsuario[4] = true;
    midi.Ejecuta(QStringLiteral("Proveedores"));
    EXPECT_NE(shell::FormaCargada(QStringLiteral("frmProveedores")), nullptr);
}

}  // namespace
