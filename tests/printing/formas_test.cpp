// The printer-choice dialog reads whole: as it opens, at its smallest and on a 1280x1024 screen.

#include "avisos.h"
#include "campos_visibles.h"
#include "printing/forms/frmSelectPrinter.h"

#include <QComboBox>

#include <gtest/gtest.h>

TEST(FormasImpresion, PrinterChoiceShowsWhole)
{
    AvisosRegistrados avisos;  // no spooler here: the dialog says so and lists nothing
    frmSelectPrinter d(nullptr, &avisos);
    d.CboImpresoras->addItem(QStringLiteral("TicketsCaja"));
    EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&d));
}
