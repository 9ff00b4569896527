#pragma once
// The cash cut: the pending sales and cash movements of the branch with their totals, the creation
// of a numbered cut that takes them (then the drawer opens), the cancellation of a pending movement,
// a movement added through the movements form, and, with permission 45, the past cuts.

#include "cash/corte.h"
#include "sale/esperaesc.h"

#include <QWidget>

class CCaptura;
class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;

namespace shell {
class MIDI;
}
namespace ui {
class Prompts;
}

namespace caja {

class ModeloFilas;

class frmCortesCaja : public QWidget {
    Q_OBJECT
public:
    explicit frmCortesCaja(QWidget* parent = nullptr, ui::Prompts* prompts = nullptr);
    ~frmCortesCaja() override;

    void MuestraCortePendiente();
    // Reads the pending cut again while it is the one shown; false when it changed (the screen then
    // shows the new figures).
    bool RecargaPendiente();
    // Sales, movements and totals of the cut shown; the past-cuts list too when it is the pending cut.
    void CargaCorte(bool conCortes = true);
    void CargaCortes();
    void MuestraDetalleVenta(qint64 numero, const QString& tipo);
    void CalculaSaldoFinal();
    void chkMenores_Click();
    void cmdAgregar_Click();
    void cmdAgregaMov_Click();
    void cmdCancelaMov_Click();
    void cmdImprimir_Click();
    // The printout of the cut shown (the new one right after its creation).
    bool ImprimeCorte();
    void cmdCancelar_Click();
    // A row of the past-cuts list opened with the mouse: that cut, read-only.
    void AbreCortePasado(int fila);

    const CortePantalla& corte() const { return corte_; }
    const db::Rows& cortes() const { return cortes_; }
    qint64 IdCorteActual = 0;
    qint64 IdCorteNuevo = 0;
    qint64 SaldoFinalCorte = 0;  // cents
    QDateTime FechaHastaCorte;

    QCheckBox* chkMenores = nullptr;
    CCaptura* capObservacion = nullptr;
    QPushButton *cmdAgregar = nullptr, *cmdAgregaMov = nullptr, *cmdCancelaMov = nullptr, *cmdImprimir = nullptr,
                *cmdCancelar = nullptr;
    QTableView *gridClientes = nullptr, *gridDetVentas = nullptr, *gridMovimientos = nullptr, *gridCortes = nullptr;
    QLabel *lblSumaVentas = nullptr, *lblMovimientos = nullptr, *lblimporteCORTE = nullptr, *lblFechaH = nullptr,
           *Label1 = nullptr;
    QTabWidget* SSTab1 = nullptr;

protected:
    bool event(QEvent* e) override;

private:
    void FormatoGridVentas();
    void FormatoGridDetalle();
    void FormatoGridMovimientos();
    void FormatoGridCortes();
    void VentaElegida(int fila);
    db::LockWait Espera();
    ui::Prompts& prompts() const;

    ui::Prompts* prompts_;
    CortePantalla corte_;
    db::Rows cortes_;
    db::Rows detalle_;
    ModeloFilas *mVentas_ = nullptr, *mDetalle_ = nullptr, *mMovimientos_ = nullptr, *mCortes_ = nullptr;
    bool creando_ = false;
    sale::EsperaConEsc esc_;
};

// Opens the form (one instance) as a document window of the main window, or brings it forward.
frmCortesCaja* AbreCortesCaja(shell::MIDI* midi);

}  // namespace caja
