#pragma once
// "Estado de cuenta del cliente.": a customer's credit sales and the payment documents of the one
// selected, with their printout and receipts.

#include "catalogs/estadocuenta.h"
#include "platform/db/database.h"

#include <QWidget>

class QComboBox;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace shell {
class MIDI;
}
namespace ui {
class Prompts;
}

namespace catalogos {

class frmEstadocuenta : public QWidget {
    Q_OBJECT
public:
    // codigos: the central file (customer list); sucursal: the branch file (credit sales).
    explicit frmEstadocuenta(QWidget* parent = nullptr, db::Database* codigos = nullptr,
                             db::Database* sucursal = nullptr, ui::Prompts* prompts = nullptr);

    void cmdBuscar_Click();
    void Command1_Click();
    void cmdCerrar_Click();
    void DBCombo1_Click(int indice);
    // Where the printouts go (tests and the PDF look send them to files).
    DestinoEstado Destino;

    QString RFCBuscado;
    QComboBox* DBCombo1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton *cmdBuscar = nullptr, *Command1 = nullptr, *cmdCerrar = nullptr;
    QTableView *DBGrid2 = nullptr, *DBGrid1 = nullptr;

    const db::Rows& Ventas() const { return ventas_.rows(); }
    const db::Rows& Doctos() const { return doctos_; }

private:
    void MuestraDoctos();
    void VaciaDoctos();
    db::Database* Codigos() const;
    db::Database* Sucursal() const;
    ui::Prompts& prompts() const;

    db::Database* codigos_;
    db::Database* sucursal_;
    ui::Prompts* prompts_;
    db::Cursor ventas_;
    db::Rows doctos_;
    QStandardItemModel *modeloVentas_ = nullptr, *modeloDoctos_ = nullptr;
    bool buscado_ = false;  // the sales grid holds a search
    bool llenando_ = false;
};

frmEstadocuenta* AbreEstadocuenta(shell::MIDI* midi);

}  // namespace catalogos
