#include "cash/forms/corte_modelo.h"

#include "cash/movimientos.h"
#include "shell/forms/formas.h"
#include "shell/texto.h"

#include <QDateTime>
#include <QHeaderView>
#include <QTableView>

namespace caja {

namespace {
constexpr int TwipsPorPixel = 15;
}

void ModeloFilas::Asigna(const db::Rows* filas, std::vector<ColumnaGrid> columnas) {
    beginResetModel();
    filas_ = filas;
    columnas_ = std::move(columnas);
    endResetModel();
}

const db::Row* ModeloFilas::Fila(int i) const {
    if (!filas_ || i < 0 || i >= int(filas_->size())) return nullptr;
    return &(*filas_)[size_t(i)];
}

int ModeloFilas::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !filas_ ? 0 : int(filas_->size());
}

int ModeloFilas::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columnas_.size());
}

QVariant ModeloFilas::data(const QModelIndex& index, int role) const {
    const db::Row* f = Fila(index.row());
    if (!f || index.column() < 0 || index.column() >= int(columnas_.size())) return {};
    const ColumnaGrid& c = columnas_[size_t(index.column())];
    if (role == Qt::TextAlignmentRole && c.formato.contains(u'0'))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const QVariant v = f->value(c.campo);
    if (c.nombre) return c.nombre(f->text(c.campo));
    if (v.isNull() || c.formato.isEmpty()) return f->text(c.campo);
    if (c.formato.contains(u'y')) {
        const QDateTime m = LeeFechaGuardada(v.toString());
        return m.isValid() ? m.toString(c.formato) : v.toString();
    }
    return shell::Formato(v.toDouble(), c.formato);
}

QVariant ModeloFilas::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole || o != Qt::Horizontal || section < 0 || section >= int(columnas_.size())) return {};
    const ColumnaGrid& c = columnas_[size_t(section)];
    return c.titulo.isEmpty() ? c.campo : c.titulo;
}

void ModeloFilas::FormatoGrid(QTableView* grid) const {
    for (int i = 0; i < int(columnas_.size()); ++i)
        if (columnas_[size_t(i)].twips > 0) grid->setColumnWidth(i, columnas_[size_t(i)].twips / TwipsPorPixel);
    shell::GridLegible(grid);
}

}  // namespace caja
