#include "catalogs/forms/grid_catalogo.h"

#include "shell/forms/formas.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

namespace catalogos {

namespace {

constexpr int TwipsPorPixel = 15;

}  // namespace

QStringList OrigenCursor::columnas() const
{
    QStringList nombres;
    if (cursor_->count() > 0) {
        const db::Row& primera = cursor_->rows().front();
        for (int i = 0; i < primera.count(); ++i)
            nombres << primera.name(i);
    }
    return nombres;
}

QVariant OrigenCursor::valor(int fila, int columna) const
{
    if (fila < 0 || fila >= cursor_->count())
        return {};
    return cursor_->rows()[size_t(fila)].value(columna);
}

int FilaDe(const db::Rows& filas, const QString& campo, const QString& valor, int filaSiNo)
{
    for (int i = int(filas.size()) - 1; i >= 0 && !valor.isEmpty(); --i)
        if (filas[size_t(i)].text(campo) == valor)
            return i;
    return std::clamp(filaSiNo, 0, std::max(0, int(filas.size()) - 1));
}

int ModeloRegistros::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : origen_->cuantas();
}

int ModeloRegistros::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columnas_.size());
}

QVariant ModeloRegistros::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const QVariant v = origen_->valor(index.row(), index.column());
    return v.isNull() ? QVariant(QString()) : QVariant(v.toString());
}

QVariant ModeloRegistros::headerData(int section, Qt::Orientation o, int role) const
{
    // The heading reads as Spanish words; the field's name stays under Qt::UserRole.
    if (o == Qt::Horizontal && role == Qt::UserRole)
        return columnas_.value(section);
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Horizontal)
        return TituloDeCampo(columnas_.value(section));
    return section + 1;
}

void ModeloRegistros::refresca()
{
    beginResetModel();
    // An empty origin keeps the titles it had, so the grid's layout survives a search that finds
    // nothing.
    const QStringList nuevas = origen_->columnas();
    if (!nuevas.isEmpty())
        columnas_ = nuevas;
    endResetModel();
}

GridCatalogo::GridCatalogo(QTableView* grid, const OrigenFilas* origen,
                           std::function<void(int)> alElegir)
    : QObject(grid), grid_(grid), modelo_(new ModeloRegistros(origen, this)),
      alElegir_(std::move(alElegir))
{
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setModel(modelo_);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual) {
                if (!marcando_ && actual.isValid() && alElegir_)
                    alElegir_(actual.row());
            });
}

void GridCatalogo::Refresca()
{
    marcando_ = true;
    modelo_->refresca();
    marcando_ = false;
}

void GridCatalogo::Formato(const AnchosColumnas& anchos)
{
    for (int i = 0; i < modelo_->columnCount(); ++i) {
        const QString titulo = modelo_->headerData(i, Qt::Horizontal, Qt::UserRole).toString();
        int ancho = -1;
        for (const auto& a : anchos)
            if (titulo.compare(a.first, Qt::CaseInsensitive) == 0)
                ancho = a.second;
        grid_->setColumnHidden(i, ancho < 0);
        if (ancho >= 0)
            grid_->setColumnWidth(i, ancho / TwipsPorPixel);
    }
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    shell::GridLegible(grid_);
}

void GridCatalogo::Marca(int fila)
{
    const int n = modelo_->rowCount();
    if (n == 0)
        return;
    // On a shown column: from a hidden one the arrow keys would go nowhere.
    int columna = 0;
    while (columna + 1 < modelo_->columnCount() && grid_->isColumnHidden(columna))
        ++columna;
    marcando_ = true;
    grid_->selectionModel()->setCurrentIndex(
        modelo_->index(std::clamp(fila, 0, n - 1), columna),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    marcando_ = false;
}

}  // namespace catalogos
