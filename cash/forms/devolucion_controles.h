#pragma once
// The controls the after-sale forms (returns, cancellation, day invoice) build alike.

#include <QString>

class CCaptura;
class QStandardItemModel;
class QTableView;
class QWidget;

namespace caja {

// A read-only grid over `modelo` that selects whole rows, one at a time.
QTableView* RejillaLectura(QWidget* padre, const QString& nombre, QStandardItemModel* modelo);

}  // namespace caja
