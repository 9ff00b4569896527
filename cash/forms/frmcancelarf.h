#pragma once
// "Cancelar Factura.": cancel or delete a ticket or invoice of the branch, its goods back to stock.

#include "cash/cancelacion.h"
#include "platform/db/database.h"
#include "sale/esperaesc.h"

#include <QDialog>

class CCaptura;
class QComboBox;
class QLabel;
class QPushButton;

namespace ui {
class Prompts;
}

namespace caja {

class frmCancelarF : public QDialog {
    Q_OBJECT
public:
    explicit frmCancelarF(QWidget* parent = nullptr, db::Database* bd = nullptr, ui::Prompts* prompts = nullptr);

    void cmdVerInfo_Click();
    void cmdCancelar_Click();
    void cmdBorrar_Click();

    QComboBox* cmbEstatus = nullptr;
    CCaptura* capNumero = nullptr;
    QPushButton *cmdVerInfo = nullptr, *cmdCancelar = nullptr, *cmdBorrar = nullptr, *cmdCerrar = nullptr;
    QLabel* Label1 = nullptr;

private:
    Cancelacion Operacion();
    // Caption of the loaded sale screen, "" when none is loaded.
    static QString TituloVenta();

    db::Database* bd_;
    ui::Prompts* prompts_;
    sale::EsperaConEsc esc_;
};

// Shows the form modal over the main window (one instance).
frmCancelarF* AbreCancelarF(QWidget* padre);

}  // namespace caja
