#pragma once
// Receipt printers take single-byte text in code page 850 (the DOS Latin-1 page). Qt has no codec
// for it, so the conversion is a table of the 128 upper characters.

#include <QByteArray>
#include <QString>

namespace print {

// Characters below 0x80 pass through (control codes included); a character the page lacks
// becomes the nearest it has (“ ” as ", — as -, € as EUR, a marked letter as its base letter),
// '?' when there is none.
QByteArray aCp850(const QString& texto);
// The reverse, for reading back what a printer received.
QString desdeCp850(const QByteArray& bytes);

}  // namespace print
