#pragma once
// Keys as the field's key events report them: key codes and shift masks of the old desktop
// platform (hosts compare them with constants such as 13 for Return or 113 for F2) and the
// character codes of typed keys. No widget here.

#include <QChar>
#include <Qt>

namespace kestril::teclas {

// Bits of the Shift argument of KeyDown.
inline constexpr short kShift = 1;
inline constexpr short kCtrl = 2;
inline constexpr short kAlt = 4;

// Key code of a Qt key (0 when the key has no code of its own).
short codigoTecla(int teclaQt, Qt::KeyboardModifiers modificadores);
// Qt key for a key code (0 when unknown).
int teclaQt(short codigo);
short mascaraShift(Qt::KeyboardModifiers modificadores);
Qt::KeyboardModifiers modificadores(short mascara);

// Character code a key press types, or -1 when it types none: printable characters, Return (13),
// Backspace (8), Escape (27) and Ctrl+letter (1..26). Tab, Delete and bare navigation keys type none.
int codigoCaracter(int teclaQt, Qt::KeyboardModifiers modificadores, const QString& texto);

// The code with its letter in capitals (accented letters and ñ too); other codes unchanged.
short mayuscula(short codigo);
// The character of a code, as the text box takes it.
inline QChar caracter(short codigo) { return QChar(static_cast<char16_t>(static_cast<unsigned short>(codigo))); }
inline short codigo(QChar c) { return static_cast<short>(c.unicode()); }
bool imprimible(short codigo);

} // namespace kestril::teclas
