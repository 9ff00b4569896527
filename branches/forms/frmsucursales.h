#pragma once
// The branch catalogue "Sucursales.": the rows of Sucursales, a new branch with its file, the files
// of a saved branch, making a branch the active one, deleting a branch's file.

#include "shell/forms/ficha.h"
#include "branches/catalogo.h"

#include <QWidget>

#include <optional>

class CCaptura;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace shell {
class Ficha;
class MIDI;
}
namespace ui {
class Prompts;
class FileChooser;
}

namespace sucursales {

class frmSucursales : public QWidget {
    Q_OBJECT
public:
    explicit frmSucursales(QWidget* parent = nullptr, ui::Prompts* prompts = nullptr,
                           ui::FileChooser* chooser = nullptr);

    void FormatoGrid();
    void LeerDatos();
    Sucursal Pantalla() const;  // the fields as typed

    void cmdNuevo_Click();
    void cmdGuardar_Click();
    void cmdGenerar_Click();
    void cmdBorrar_Click();
    void cmdCambiaSuc_Click();
    void cmdExplorar_Click();
    void cmdCerrar_Click();
    void cmdProcesa_Click();
    void cmdSincronizar_Click();

    int Registros() const { return int(filas_.size()); }
    int Posicion() const { return pos_; }
    void MueveA(int fila);
    bool Agregando() const { return ficha_->nueva(); }
    shell::Ficha* Ficha() const { return ficha_; }

    QTabWidget* SSTab1 = nullptr;
    QTableView* grid = nullptr;
    CCaptura *capDescripcion = nullptr, *capIdSuc = nullptr, *capDCorta = nullptr, *capTelefono = nullptr,
             *capTerminales = nullptr, *capDirRemota = nullptr;
    QLineEdit* capDireccion = nullptr;
    QPushButton *cmdNuevo = nullptr, *cmdGuardar = nullptr, *cmdGenerar = nullptr, *cmdBorrar = nullptr,
                *cmdCambiaSuc = nullptr, *cmdExplorar = nullptr, *cmdSincronizar = nullptr,
                *cmdCerrar = nullptr;
    QLabel* lblSucA = nullptr;
    // "&Procesos": the maintenance tasks by their number (chk[1] to chk[10]), the catalog list.
    QCheckBox *chkExistencias = nullptr, *chkHistVentas = nullptr, *chkBorraHistVentasCredito = nullptr,
              *chkActualizaRutas = nullptr, *chkBorrarCatalogos = nullptr, *chkRecuperaRProd = nullptr,
              *chkValidaExistencias = nullptr, *chkCompactarBase = nullptr, *Check1 = nullptr,
              *chkInicializar = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* cmdProcesa = nullptr;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // Reads the rows again and shows the one of that number (else the row at `fila`).
    void Recarga(std::optional<qint64> mostrar, int fila);
    void LlenaGrid();
    void MuestraActiva();
    const Sucursal* Guardada() const;  // the stored row shown; nullptr while adding or with no rows
    ui::Prompts& prompts() const;
    ui::FileChooser& chooser() const;

    ui::Prompts* prompts_;
    ui::FileChooser* chooser_;
    std::vector<Sucursal> filas_;
    int pos_ = -1;
    shell::Ficha* ficha_ = nullptr;
    bool guardando_ = false;
    bool llenandoGrid_ = false;
    int secuencia_ = 0;  // the hidden key sequence: 17 after Ctrl, 18 after Ctrl then Alt
    QStandardItemModel* modelo_ = nullptr;
};

// Opens the catalogue (one instance) in the main window, or brings it forward.
frmSucursales* AbreSucursales(shell::MIDI* midi);

}  // namespace sucursales
