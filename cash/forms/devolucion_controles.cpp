#include "cash/forms/devolucion_controles.h"

#include "capture_control/ccaptura.h"
#include "shell/forms/formas.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

namespace caja {

QTableView* RejillaLectura(QWidget* padre, const QString& nombre, QStandardItemModel* modelo) {
    QTableView* g = shell::GridLectura(padre, nombre, modelo);
    g->verticalHeader()->hide();
    return g;
}

}  // namespace caja
