// Every administration form reads whole and every field of it can be reached: as it opens, at its
// smallest and on a whole 1280x1024 screen, each tab in turn.

#include "fixture.h"

#include "admin/forms/frmabpersonal.h"
#include "admin/forms/frmparametros.h"
#include "admin/forms/frmparamsuc.h"
#include "campos_visibles.h"
#include "shell/forms/midi.h"

using namespace admin;

TEST_F(AdminTest, UsersPasswordAndBranchParametersShowWhole)
{
    frmABPersonal usuarios(nullptr, central.get(), &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&usuarios));
    frmParametros clave(nullptr, central.get(), &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&clave));
    frmParamSuc parametros(nullptr, &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&parametros));
}

// The users' catalogue as its menu item opens it in the main window of a 1280x1024 screen.
TEST_F(AdminTest, UsersShowWholeInTheMainWindow)
{
    shell::MIDI midi;
    midi.resize(1280, 1024);
    midi.show();
    EXPECT_TRUE(testutil::CadaFormaSeVeEntera({AbreABPersonal(&midi)}));
}
