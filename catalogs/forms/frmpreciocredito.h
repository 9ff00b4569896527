#pragma once
// "Precios a crédito. ": the credit plans in an editable grid (only the four amounts take typing),
// a plan added by barcode, and the filter the sale screen's F5 sets to one product.

#include "platform/db/database.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QWidget>

#include <optional>

class CCaptura;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTableView;

namespace shell {
class Ficha;
class MIDI;
}
namespace ui {
class Prompts;
}

namespace catalogos {

class frmPreciosCredito : public QWidget {
    Q_OBJECT
public:
    explicit frmPreciosCredito(QWidget* parent = nullptr, db::Database* codigos = nullptr,
                               ui::Prompts* prompts = nullptr);

    // The product whose plan is listed; none = every plan.
    std::optional<qint64> FiltroPrecios;
    void ActualizaConsulta();
    void FormatoGrid();
    void cmdInsertar_Click();
    void cmdCerrar_Click();
    // Row of the product's plan in the grid, -1 when not listed.
    int FilaDeProducto(qint64 producto) const;

    CCaptura* capCodigo = nullptr;
    QPushButton *cmdInsertar = nullptr, *cmdCerrar = nullptr;
    QTableView* DBGrid1 = nullptr;

private:
    void CeldaCambiada(QStandardItem* celda);
    // A row left with a plan still incomplete: says what is missing and goes back to it. True when
    // no row is waiting.
    bool RevisaPendiente();
    int Columna(const QString& campo) const;
    QString Campo(int columna) const;  // the field a column shows
    void MuestraPlan(int fila, const QVariantMap& valores);
    db::Database* Codigos() const;
    ui::Prompts& prompts() const;

    db::Database* codigos_;
    ui::Prompts* prompts_;
    QStandardItemModel* modelo_ = nullptr;
    QList<qint64> productos_;  // product of each grid row
    // What was typed in a row whose plan is not complete yet (row -> field -> text): kept on
    // screen, written once the row makes a whole plan.
    QHash<int, QMap<QString, QString>> pendientes_;
    shell::Ficha* ficha_ = nullptr;
    bool llenando_ = false;
};

// Shows the form (one instance) with that filter and its plans.
frmPreciosCredito* AbrePreciosCredito(shell::MIDI* midi, std::optional<qint64> producto = std::nullopt);

}  // namespace catalogos
