#pragma once
// A form shows whole when a person can read and reach every field of it. Offscreen tests never look
// at sizes, so a field a layout squeezes to nothing passes every other test; this one measures.

#include <QWidget>
#include <gtest/gtest.h>

namespace testutil {

// Every capture field, line edit, list, button and label of the shown form, on every page of its
// tabs, is visible (not cut by the widgets around it) with a height of at least its font's line
// height and a width that shows its whole caption. Widgets hidden on purpose are left out.
// Use: EXPECT_TRUE(testutil::CadaCampoSeVeEntero(forma));
::testing::AssertionResult CadaCampoSeVeEntero(QWidget* forma);

}  // namespace testutil
