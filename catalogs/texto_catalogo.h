#pragma once
// Text rules the catalogues share when they store what was typed.

#include <QString>

namespace catalogos {

// The text without its trailing blanks, then the one blank its column keeps (saving the same text
// again adds none).
QString ConUnBlanco(const QString& s);

}  // namespace catalogos
