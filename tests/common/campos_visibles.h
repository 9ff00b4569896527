#pragma once
// A form shows whole when a person can read and reach every field of it. Offscreen tests never look
// at sizes, so a field a layout squeezes to nothing passes every other test; this one measures.

#include <QStringList>
#include <QWidget>

class QTableView;
#include <gtest/gtest.h>

#include <initializer_list>

namespace testutil {

// Every capture field, line edit, list, button and label of the shown form, on every page of its
// tabs, is visible (not cut by the widgets around it) with a height of at least its font's line
// height and a width that shows its whole caption. Widgets hidden on purpose are left out.
// Use: EXPECT_TRUE(testutil::CadaCampoSeVeEntero(forma));
::testing::AssertionResult CadaCampoSeVeEntero(QWidget* forma);

// The same at the three sizes a person meets: as the form opened (shown first when it is not), at
// its smallest (its minimum size hint) and on a whole 1280x1024 screen, with CadaGridSeLee as it
// opened and on the whole screen. A form shown in the main window's document area is sized
// through its frame there (maximised for the whole screen). The form keeps the last size.
// Use: EXPECT_TRUE(testutil::SeVeEnteroEnCadaTamano(&forma));
::testing::AssertionResult SeVeEnteroEnCadaTamano(QWidget* forma);

// SeVeEnteroEnCadaTamano for each form as it was opened (in the main window or on its own); each
// is closed after its check. Use: EXPECT_TRUE(testutil::CadaFormaSeVeEntera({AbreX(&midi), ...}));
::testing::AssertionResult CadaFormaSeVeEntera(std::initializer_list<QWidget*> formas);

// Every grid shown on the form (on every page of its tabs) shows each heading and the text of each
// cell in sight whole, and all its columns without scrolling sideways; every list shows its items
// whole. For the size a form opens with.
::testing::AssertionResult CadaGridSeLee(QWidget* forma);

// Each column headed by one of `titulos` is in sight or a scroll bar reaches it: the grid's own, or
// that of the area a window larger than it sits in; nothing between cuts it off.
::testing::AssertionResult ColumnasAlAlcance(const QTableView* grid, const QStringList& titulos);

}  // namespace testutil
