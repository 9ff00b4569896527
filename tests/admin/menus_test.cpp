// The administration items of the main window: the users screen from its menu item and from the
// toolbar, the branch parameters (after its file and permission checks) and the own password.

#include "fixture.h"

#include "admin/forms/menus.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>

class MenusAdminTest : public AdminTest {
protected:
    void SetUp() override
    {
        AdminTest::SetUp();
        midi = std::make_unique<shell::MIDI>();
        admin::ConectaMenusAdmin(midi.get());
        shell::ConectaMenu(midi.get());
        midi->show();
    }
    void TearDown() override
    {
        midi.reset();
        shell::OlvidaAbridores();
        AdminTest::TearDown();
    }
    // The title of the modal dialog the action opens (closed at once), "" when none opened.
    QString DialogoDe(const char* item)
    {
        QString titulo;
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                titulo = d->windowTitle();
                d->reject();
            }
        });
        midi->accion(item)->trigger();
        return titulo;
    }
    std::unique_ptr<shell::MIDI> midi;
};

TEST_F(MenusAdminTest, ItemsOpenTheirFormsAfterTheirChecks)
{
    midi->accion("Usuarios")->trigger();
    EXPECT_TRUE(shell::FormaCargada("frmABPersonal"));
    shell::FormaCargada("frmABPersonal")->parentWidget()->close();
    QApplication::processEvents();
    midi->findChild<QAction*>("Toolbar2_Usuarios")->trigger();
    EXPECT_TRUE(shell::FormaCargada("frmABPersonal"));

    EXPECT_EQ(DialogoDe("CClave"), "Cambio de clave.");
    EXPECT_EQ(DialogoDe("DSucursal"), "Parametros de la sucursal.");

    // Without permission 31 (no message), or without the branch's file (its message), no form.
    G().PermisosUsuario[31] = false;
    EXPECT_EQ(DialogoDe("DSucursal"), "");
    EXPECT_TRUE(prompts.messages().isEmpty());
    G().PermisosUsuario[31] = true;
    G().DescripcionC[1] = "NOEXISTE";
    EXPECT_EQ(DialogoDe("DSucursal"), "");
    EXPECT_EQ(prompts.lastMessage(), "No se encontraron los archivos de datos para la sucursal.");
}
