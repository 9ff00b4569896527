#pragma once
// "Traspasos entre sucursales.": sends the inventory exit of the sale screen to another branch (a
// transfer file, or straight into its file in direct mode) and applies a transfer file received.

#include <QWidget>

class CCaptura;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace shell {
class MIDI;
}
namespace ui {
class Prompts;
class FileChooser;
}

namespace sucursales {

class frmTraspasos : public QWidget {
    Q_OBJECT
public:
    explicit frmTraspasos(QWidget* parent = nullptr, ui::Prompts* prompts = nullptr,
                          ui::FileChooser* chooser = nullptr);

    void cmdGenerar_Click();
    void cmdAplicar_Click();
    void cmdExplorar_Click();
    int Destino() const;  // the branch chosen, 0 for none

    QTabWidget* SSTab1 = nullptr;
    CCaptura* capFile = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* lblModo = nullptr;
    QPushButton *cmdExplorar = nullptr, *cmdAplicar = nullptr, *cmdGenerar = nullptr, *cmdCerrar = nullptr;

private:
    ui::Prompts& prompts() const;
    ui::FileChooser& chooser() const;
    ui::Prompts* prompts_;
    ui::FileChooser* chooser_;
};

frmTraspasos* AbreTraspasos(shell::MIDI* midi);

}  // namespace sucursales
