// Every branch form reads whole and every field of it can be reached: as it opens, at its smallest
// and on a whole 1280x1024 screen, each tab in turn.

#include "fixture.h"

#include "branches/forms/frmexpimp.h"
#include "branches/forms/frmsincronizar.h"
#include "branches/forms/frmsucursales.h"
#include "branches/forms/frmtraspasos.h"
#include "campos_visibles.h"
#include "shell/forms/midi.h"

#include <QLineEdit>
#include <QTest>

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

namespace suctest {

// Every capture field that holds a path keeps what is typed as it comes: Linux paths tell case apart.
TEST_F(SucursalesTest, PathFieldsKeepTheCaseTyped)
{
    frmSucursales catalogo(nullptr, &prompts, &chooser);
    frmTraspasos traspasos(nullptr, &prompts, &chooser);
    const QString ruta = QStringLiteral("/home/Ana/Datos/T20261209.db");
    for (QWidget* campo : {catalogo.findChild<QWidget*>("capDirRemota"), traspasos.findChild<QWidget*>("capFile")}) {
        ASSERT_NE(campo, nullptr);
        campo->window()->show();
        auto* caja = campo->findChild<QLineEdit*>();
        QTest::keyClicks(caja, ruta);
        EXPECT_EQ(caja->text(), ruta.left(caja->maxLength())) << campo->objectName().toStdString();
    }
}

}  // namespace suctest
