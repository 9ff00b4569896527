#pragma once
// For a program that runs behind another one's window (the print server behind the counter):
// the boxes of QtPrompts come in front of every window, also while their own window is minimised.

namespace ui {

void PreguntasAlFrente(bool alFrente);

}  // namespace ui
