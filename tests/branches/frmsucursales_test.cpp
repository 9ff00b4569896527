// The branch catalogue form driven the way a person uses it, offscreen.

#include "apps/setup/datasetup.h"
#include "branches/forms/frmsucursales.h"
#include "branches/forms/menus.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "capture_control/ccaptura.h"
#include "fixture.h"
#include "shell/estado.h"

#include <QAction>
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

void clic(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

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

TEST_F(SucursalesTest, MenuItemOpensTheCatalogueWithPermission6)
{
    auto midi = std::make_unique<shell::MIDI>();
    ConectaMenusSucursales(midi.get());
    shell::ConectaMenu(midi.get());
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
