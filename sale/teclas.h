#pragma once
// Keys of the sale screen: the key codes of the old desktop platform (the branch parameters
// tecla1ticket..tecla6ticket hold them) and the screen's key-down rule chain with its two
// configurable three-key sequences.

namespace venta {

// Virtual-key code of a Qt key: F1-F12 112-123, letters 65-90, digits 48-57, Enter 13, Esc 27,
// Backspace 8, Tab 9, space 32, arrows 37-40, Ins 45, Del 46, PgUp/PgDn 33/34, End 35, Home 36;
// 0 for a key without a code.
int CodigoTecla(int teclaQt);

}  // namespace venta
