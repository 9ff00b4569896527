// Every cash form reads whole and every field of it can be reached: as it opens, at its smallest
// and on a whole 1280x1024 screen, each tab in turn, on the demo data.

#include "movimientos_datos.h"

#include "campos_visibles.h"
#include "cash/forms/frmcancelarf.h"
#include "cash/forms/frmcortescaja.h"
#include "cash/forms/frmdevoluciones.h"
#include "cash/forms/frmfacturardia.h"
#include "cash/forms/frmmovcaja.h"
#include "shell/forms/midi.h"

using namespace caja;

namespace {

using FormasCaja = DatosCaja;

TEST_F(FormasCaja, MovementsAndCashCuts)
{
    Movimiento(1, 1, 500);
    GuardaVenta(*bd(), 1, QStringLiteral("F"), QStringLiteral("2026-12-09 10:30:00"), 116);
    frmMovCaja movimientos(nullptr, &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&movimientos));
    frmCortesCaja cortes(nullptr, &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&cortes));
}

TEST_F(FormasCaja, ReturnsCancellationAndDayInvoice)
{
    frmDevoluciones devoluciones(nullptr, bd(), &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&devoluciones));
    frmCancelarF cancelar(nullptr, bd(), &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&cancelar));
    frmFacturarDia factura(nullptr, bd(), &prompts);
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&factura));
}

// Every cash form as its menu item opens it in the main window of a 1280x1024 screen.
TEST_F(FormasCaja, EveryFormShowsWholeInTheMainWindow)
{
    shell::MIDI midi;
    midi.resize(1280, 1024);
    midi.show();
    EXPECT_TRUE(testutil::CadaFormaSeVeEntera(
        {AbreMovCaja(&midi), AbreCortesCaja(&midi), AbreDevoluciones(&midi), AbreFacturarDia(&midi)}));
}

}  // namespace
