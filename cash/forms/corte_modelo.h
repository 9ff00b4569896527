#pragma once
// A read-only grid model over rows as the database layer returns them, showing only the columns
// named, each with its width and display pattern. Values are formatted when the grid asks for them,
// so a cut of a hundred thousand sales shows at once.

#include "platform/db/database.h"

#include <QAbstractTableModel>
#include <QString>
#include <vector>

class QTableView;

namespace caja {

struct ColumnaGrid {
    QString campo;
    int twips = 0;    // 0 leaves the width as it is
    QString formato;  // a number pattern ("#,##0.00"), a date pattern ("yyyy/MM/dd HH:mm:ss"), or ""
    QString titulo;   // the heading; "" shows the field's name
    QString (*nombre)(const QString&) = nullptr;  // the name a person reads for a stored code
};

class ModeloFilas : public QAbstractTableModel {
public:
    explicit ModeloFilas(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void Asigna(const db::Rows* filas, std::vector<ColumnaGrid> columnas);
    const db::Row* Fila(int i) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // Widths of the columns on the grid.
    void FormatoGrid(QTableView* grid) const;

private:
    const db::Rows* filas_ = nullptr;
    std::vector<ColumnaGrid> columnas_;
};

}  // namespace caja
