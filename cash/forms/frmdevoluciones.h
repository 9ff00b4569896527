#pragma once
// The returns form "Devoluciones.": look up a ticket or invoice of the branch, mark the products
// coming back with their quantities, and save the return as a credit note or a cash refund.

#include "cash/devolucion.h"
#include "platform/db/database.h"
#include "sale/esperaesc.h"

#include <QWidget>

class CCaptura;
class QComboBox;
class QLabel;
class QMdiArea;
class QPushButton;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace shell {
class MIDI;
}
namespace ui {
class Prompts;
}

namespace caja {

class frmDevoluciones : public QWidget {
    Q_OBJECT
public:
    // bd: the branch file (default: the program's current one); prompts: default the program's.
    explicit frmDevoluciones(QWidget* parent = nullptr, db::Database* bd = nullptr,
                             ui::Prompts* prompts = nullptr);

    void ConsultaVenta();
    void NuevaDevolucion();
    void Command1_Click();  // mark the selected sold line
    void Command3_Click();  // "Desmarcar"
    void cmdGuardar_Click();
    void cmdBuscar_Click();
    // Focus on the number, first tab, "Devolución a EFECTIVO".
    void Activacion();
    void ConectaActivacion(QMdiArea* area);

    const Devolucion& devolucion() const { return dev_; }

    QComboBox* cmbEstatus = nullptr;
    CCaptura* capNumero = nullptr;
    CCaptura* capCausa = nullptr;
    QComboBox* cmbTipoDevolucion = nullptr;
    QPushButton *cmdConsultar = nullptr, *Command1 = nullptr, *Command3 = nullptr, *cmdNuevo = nullptr,
                *cmdGuardar = nullptr, *cmdBuscar = nullptr, *cmdCerrar = nullptr;
    QLabel *lblNombreCliente = nullptr, *lblDescuentoVenta = nullptr, *lblFechaventa = nullptr,
           *lblImporteventa = nullptr, *lblImporteDev = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QTableView *gridDetVentas = nullptr, *gridDetDevolucion = nullptr, *GridProductosDevueltos = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void MuestraVenta();
    void MuestraPendientes();
    void FormatoGrids();
    // The grids read whole as far as the main window's area allows; past it they scroll sideways,
    // so the window never outgrows the area and its head, the refund and Regresar stay in sight.
    void CabeEnArea();
    db::Database* bd() const;
    ui::Prompts& prompts() const;

    db::Database* bd_;
    ui::Prompts* prompts_;
    Devolucion dev_;
    sale::EsperaConEsc esc_;
    QStandardItemModel *modeloVentas_ = nullptr, *modeloDevolucion_ = nullptr, *modeloDevueltos_ = nullptr;
    QMdiArea* area_ = nullptr;
};

// Opens the form (one instance) in the main window, or brings it forward.
frmDevoluciones* AbreDevoluciones(shell::MIDI* midi);

}  // namespace caja
