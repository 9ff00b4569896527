#pragma once
// Kestril capture fields as the administration forms place them.

#include <QString>

class CCaptura;
class QWidget;

namespace admin {


}  // namespace admin
