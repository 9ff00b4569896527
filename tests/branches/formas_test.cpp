// Every branch form reads whole and every field of it can be reached: as it opens, at its smallest
// and on a whole 1280x1024 screen, each tab in turn.

#include "fixture.h"

#include "branches/forms/frmexpimp.h"
#include "branches/forms/frmsincronizar.h"
#include "branches/forms/frmsucursales.h"
#include "branches/forms/frmtraspasos.h"
#include "campos_visibles.h"
#include "shell/forms/midi.h"

using namespace sucursales;

namespace suctest {

TEST_F(SucursalesTest, BranchFormsShowWhole)
{
    frmSucursales catalogo(nullptr, &prompts, &chooser);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&catalogo));
    for (const bool exportar : {true, false}) {
        SCOPED_TRACE(exportar ? "export" : "import");
        frmExpImp intercambio(nullptr, &prompts, &chooser);
        intercambio.Elige(exportar);
        EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&intercambio));
    }
    frmSincronizar sincronizar(nullptr, &prompts, &chooser);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&sincronizar));
    frmTraspasos traspasos(nullptr, &prompts, &chooser);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&traspasos));
}

// The branch catalogue, synchronisation and transfers as they open in the main window of a
// 1280x1024 screen.
TEST_F(SucursalesTest, BranchFormsShowWholeInTheMainWindow)
{
    shell::MIDI midi;
    midi.resize(1280, 1024);
    midi.show();
    EXPECT_TRUE(testutil::CadaFormaSeVeEntera({AbreSucursales(&midi), AbreSincronizar(&midi), AbreTraspasos(&midi)}));
}

}  // namespace suctest
