#pragma once
// Kestril capture fields as the administration forms place them.

#include <QString>

class CCaptura;
class QWidget;

namespace admin {

// A capture field, child of padre, with its object name, caption and typing limit (0 = none).
CCaptura* CreaCampo(QWidget* padre, const QString& nombre, const QString& titulo, int largo);

}  // namespace admin
