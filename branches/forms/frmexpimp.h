#pragma once
// "Exportación de datos.": exports or imports the central file, the active branch's file or the
// product list. Opened modal by the export and import menu items with the direction chosen.

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ui {
class Prompts;
class FileChooser;
}

namespace sucursales {

class frmExpImp : public QDialog {
    Q_OBJECT
public:
    explicit frmExpImp(QWidget* parent = nullptr, ui::Prompts* prompts = nullptr, ui::FileChooser* chooser = nullptr);

    // The menu items choose the direction; their own permission check has run.
    void Elige(bool exportar);

    void Combo1_Click();
    void cmdExplorar_Click();
    void cmdAceptar_Click();

    QComboBox* Combo1 = nullptr;
    QRadioButton *Option1 = nullptr, *Option2 = nullptr;
    QLabel *Label2 = nullptr, *Label3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton *cmdExplorar = nullptr, *cmdAceptar = nullptr, *cmdCancelar = nullptr;

private:
    void CambiaDireccion(bool exportar);
    bool Exportando() const;
    ui::Prompts& prompts() const;
    ui::FileChooser& chooser() const;

    ui::Prompts* prompts_;
    ui::FileChooser* chooser_;
    bool eligiendo_ = false;
};

}  // namespace sucursales
