#include "cash/forms/devolucion_controles.h"

#include "capture_control/ccaptura.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

namespace caja {

QTableView* RejillaLectura(QWidget* padre, const QString& nombre, QStandardItemModel* modelo) {
    auto* g = new QTableView(padre);
    g->setObjectName(nombre);
    g->setModel(modelo);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    return g;
}

}  // namespace caja
