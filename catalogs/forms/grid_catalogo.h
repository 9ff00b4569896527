#pragma once
// The grid every catalogue form shows under its fields: display only, one row marked, the columns
// chosen by their titles with fixed widths, and a model that reads the rows from wherever the form
// keeps them (a cursor of rows, or a source that fetches rows on demand for large tables).

#include "platform/db/database.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPair>
#include <QStringList>

#include <functional>

class QTableView;

namespace catalogos {

// The plain Spanish heading of a field (campos.h; the grid heads its columns with it).
QString TituloDeCampo(const QString& campo);

// Where a grid reads its rows.
class OrigenFilas {
public:
    virtual ~OrigenFilas() = default;
    virtual int cuantas() const = 0;
    virtual QStringList columnas() const = 0;
    virtual QVariant valor(int fila, int columna) const = 0;
};

// The rows of a cursor (the form keeps the cursor; the origin only looks at it).
class OrigenCursor : public OrigenFilas {
public:
    explicit OrigenCursor(const db::Cursor* cursor) : cursor_(cursor) {}
    int cuantas() const override { return cursor_->count(); }
    QStringList columnas() const override;
    QVariant valor(int fila, int columna) const override;

private:
    const db::Cursor* cursor_;
};

class ModeloRegistros : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloRegistros(const OrigenFilas* origen, QObject* parent = nullptr)
        : QAbstractTableModel(parent), origen_(origen) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    // The origin's rows changed.
    void refresca();

private:
    const OrigenFilas* origen_;
    QStringList columnas_;
};

// The row whose `campo` is `valor` (the last such), else `filaSiNo` kept inside the rows; an empty
// valor always gives filaSiNo.
int FilaDe(const db::Rows& filas, const QString& campo, const QString& valor, int filaSiNo);

// Width in twips of each column shown, by title (compared without regard to case).
using AnchosColumnas = QList<QPair<QString, int>>;

// Binds a grid to its origin. `alElegir` runs when the person moves to another row (never while
// the program marks one).
class GridCatalogo : public QObject {
    Q_OBJECT
public:
    GridCatalogo(QTableView* grid, const OrigenFilas* origen, std::function<void(int)> alElegir);
    ModeloRegistros* modelo() const { return modelo_; }
    void Refresca();
    // The titled columns get their width, every other one is hidden; none can be resized.
    void Formato(const AnchosColumnas& anchos);
    // Exactly the row `fila` shows as selected and current.
    void Marca(int fila);

private:
    QTableView* grid_;
    ModeloRegistros* modelo_;
    std::function<void(int)> alElegir_;
    bool marcando_ = false;
};

}  // namespace catalogos
