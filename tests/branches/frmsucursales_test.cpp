// The branch catalogue form driven the way a person uses it, offscreen.

#include "apps/setup/datasetup.h"
#include "branches/forms/frmsucursales.h"
#include "branches/forms/menus.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "capture_control/ccaptura.h"
#include "fixture.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>
#include <QFileInfo>
#include <QPointer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace sucursales;
using suctest::SucursalesTest;

namespace {

QLineEdit* caja(CCaptura* c) { return c->findChild<QLineEdit*>(); }

void clic(QWidget* b) { QTest::mouseClick(b, Qt::LeftButton); }
// A check box takes the click on its box, at the left.
void marca(QCheckBox* c) { QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(8, c->height() / 2)); }

}  // namespace

TEST_F(SucursalesTest, FormAddsABranchMakesItActiveAndShowsIt)
{
    frmSucursales f(nullptr, &prompts, &chooser);
    f.show();
    ASSERT_EQ(f.Registros(), 1);
    EXPECT_EQ(f.lblSucA->text(), QStringLiteral("Matriz"));
    EXPECT_EQ(f.capDCorta->Text(), QStringLiteral("Matriz"));
    EXPECT_FALSE(f.grid->isColumnHidden(0));
    EXPECT_FALSE(f.grid->isColumnHidden(1));
    EXPECT_TRUE(f.grid->isColumnHidden(2));

    clic(f.cmdNuevo);
    EXPECT_TRUE(f.Agregando());
    EXPECT_TRUE(f.capIdSuc->Text().isEmpty());
    QTest::keyClicks(caja(f.capIdSuc), QStringLiteral("2"));
    // The capture fields write capitals.
    QTest::keyClicks(caja(f.capDCorta), QStringLiteral("Norte"));
    QTest::keyClicks(caja(f.capDescripcion), QStringLiteral("SUCURSAL NORTE"));
    QTest::keyClicks(caja(f.capTerminales), QStringLiteral("2"));
    QTest::keyClicks(f.capDireccion, QStringLiteral("CALLE 5"));
    // Explorar: the chosen file gets its extension and the field keeps 60 characters.
    const QString larga = QStringLiteral("/srv/compartida/") + QString(70, u'x');
    chooser.push(larga);
    clic(f.cmdExplorar);
    EXPECT_EQ(f.capDirRemota->Text(), (larga + QStringLiteral(".db")).left(60));

    clic(f.cmdGuardar);
    EXPECT_EQ(prompts.lastMessage(),
              QStringLiteral("Se agrego la sucursal, para actualizar la informacion de la nueva sucursal  es necesario "
                             "salir y volver a entrar del sistema."));
    EXPECT_FALSE(f.Agregando());
    ASSERT_EQ(f.Registros(), 2);
    EXPECT_EQ(f.capDCorta->Text(), QStringLiteral("NORTE"));
    EXPECT_TRUE(QFileInfo::exists(datasetup::rutaSucursal(Carpeta(), QStringLiteral("NORTE"))));
    EXPECT_EQ(G().DescripcionC[2], QStringLiteral("NORTE"));

    clic(f.cmdCambiaSuc);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("La sucursal SUCURSAL NORTE se establecio como la activa."));
    EXPECT_EQ(G().SucursalActual, 2);
    EXPECT_EQ(f.lblSucA->text(), QStringLiteral("NORTE"));

    // The active branch's file is not deleted.
    clic(f.cmdBorrar);
    EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("No se puede borrar el archivo de la sucursal activa")));
    EXPECT_TRUE(QFileInfo::exists(datasetup::rutaSucursal(Carpeta(), QStringLiteral("NORTE"))));
}

TEST_F(SucursalesTest, FileOperationsWaitForTheOtherWindowsToClose)
{
    AgregaSucursal(2, QStringLiteral("NORTE"));
    frmSucursales f(nullptr, &prompts, &chooser);
    f.show();
    ASSERT_EQ(f.Registros(), 2);
    auto fila = [&](int i) {
        QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {},
                          f.grid->visualRect(f.grid->model()->index(i, 0)).center());
    };
    QPointer<QWidget> clientes = AbreClientes();
    db::Database* enUso = shell::BDSucursal();
    ASSERT_TRUE(enUso);
    // A refusal: the one message, no question, and the file the open window reads still open.
    auto rehusada = [&] {
        EXPECT_EQ(prompts.messages(), QStringList{ConClientesAbierto()});
        EXPECT_EQ(prompts.asked().size(), 1u);  // the message alone: nothing was asked
        EXPECT_EQ(shell::BDSucursal(), enUso);
        EXPECT_TRUE(enUso->isOpen());
        prompts.clear();
    };

    fila(1);
    ASSERT_EQ(f.capDCorta->Text(), QStringLiteral("NORTE"));
    clic(f.cmdCambiaSuc);
    rehusada();
    EXPECT_EQ(G().SucursalActual, 1);
    clic(f.cmdBorrar);
    rehusada();
    EXPECT_TRUE(QFileInfo::exists(Ruta(QStringLiteral("NORTE"))));

    f.SSTab1->setCurrentIndex(1);
    for (QCheckBox* c : {f.chkCompactarBase, f.chkActualizaRutas}) {
        marca(c);
        clic(f.cmdProcesa);
        rehusada();
        marca(c);
    }
    // A task on the rows alone keeps the files open and runs.
    marca(f.chkExistencias);
    prompts.pushAnswer(ui::Answer::Yes);
    clic(f.cmdProcesa);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Proceso concluido."));
    marca(f.chkExistencias);
    prompts.clear();

    f.SSTab1->setCurrentIndex(0);
    clic(f.cmdNuevo);
    QTest::keyClicks(caja(f.capIdSuc), QStringLiteral("3"));
    QTest::keyClicks(caja(f.capDCorta), QStringLiteral("Sur"));
    QTest::keyClicks(caja(f.capDescripcion), QStringLiteral("SUCURSAL SUR"));
    QTest::keyClicks(caja(f.capTerminales), QStringLiteral("1"));
    clic(f.cmdGuardar);
    rehusada();
    EXPECT_TRUE(f.Agregando());  // what was typed stays for the next try
    EXPECT_FALSE(QFileInfo::exists(Ruta(QStringLiteral("SUR"))));
    EXPECT_EQ(Valor(*Central(), QStringLiteral("SELECT count(*) FROM Sucursales")).toInt(), 2);

    // With the catalogue alone, each runs as before.
    CierraVentana(clientes);
    clic(f.cmdGuardar);
    EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("Se agrego la sucursal")));
    ASSERT_EQ(f.Registros(), 3);
    EXPECT_TRUE(QFileInfo::exists(Ruta(QStringLiteral("SUR"))));
    fila(2);
    prompts.pushAnswer(ui::Answer::Yes);
    clic(f.cmdBorrar);
    EXPECT_FALSE(QFileInfo::exists(Ruta(QStringLiteral("SUR"))));
    fila(1);
    clic(f.cmdCambiaSuc);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("La sucursal SUCURSAL NORTE se establecio como la activa."));
    EXPECT_EQ(G().SucursalActual, 2);
}

TEST_F(SucursalesTest, MenuItemOpensTheCatalogueWithPermission6)
{
    auto midi = std::make_unique<shell::MIDI>();
    ConectaMenusSucursales(midi.get());
    shell::ConectaMenu(midi.get());
    G().PermisosUsuario[6] = false;
    midi->Ejecuta(QStringLiteral("Sucursales"));
    EXPECT_EQ(shell::FormaCargada(QStringLiteral("frmSucursales")), nullptr);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Usted no tiene acceso a esta parte del sistema."));

    G().PermisosUsuario[6] = true;
    midi->accion(QStringLiteral("Sucursales"))->trigger();
    QPointer<QWidget> forma = shell::FormaCargada(QStringLiteral("frmSucursales"));
    ASSERT_FALSE(forma.isNull());
    clic(static_cast<frmSucursales*>(forma.data())->cmdCerrar);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(forma.isNull());
    midi.reset();
    shell::OlvidaAbridores();
}

TEST_F(SucursalesTest, ProcessTabRunsTheTickedTasksAfterTheQuestion)
{
    {
        auto suc = Abre(datasetup::rutaSucursal(Carpeta(), QStringLiteral("Matriz")));
        ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo) VALUES (3, 'T'), (0, 'T')")));
        ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, ClaveProducto) VALUES (0, 1)")));
        ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (1, 8)")));
        ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO Cuentas (IdCuenta) VALUES (1)")));
    }
    frmSucursales f(nullptr, &prompts, &chooser);
    f.show();
    f.SSTab1->setCurrentIndex(1);
    EXPECT_FALSE(f.Combo1->isEnabled());
    marca(f.chkBorrarCatalogos);
    EXPECT_TRUE(f.Combo1->isEnabled());
    marca(f.chkBorrarCatalogos);
    EXPECT_FALSE(f.Combo1->isEnabled());

    marca(f.chkExistencias);
    marca(f.chkBorraHistVentasCredito);
    prompts.pushAnswer(ui::Answer::Yes);
    clic(f.cmdProcesa);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Proceso concluido."));
    auto suc = Abre(datasetup::rutaSucursal(Carpeta(), QStringLiteral("Matriz")));
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = 1")).toDouble(), 0.0);
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT count(*) FROM Cuentas")).toInt(), 0);
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT count(*) FROM Venta")).toInt(), 2);

    // Ctrl, Alt, T: the pending lines and headers of every terminal go, after a question.
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::keyClick(f.cmdProcesa, Qt::Key_Control);
    QTest::keyClick(f.cmdProcesa, Qt::Key_Alt);
    QTest::keyClick(f.cmdProcesa, Qt::Key_T);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("ok en Matriz"));
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT count(*) FROM Venta")).toInt(), 1);
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT count(*) FROM DetalleVenta")).toInt(), 0);
    prompts.clear();
    QTest::keyClick(f.cmdProcesa, Qt::Key_T);  // a further T asks again
    EXPECT_EQ(prompts.asked().size(), 1u);
}
