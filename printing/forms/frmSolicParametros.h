#pragma once
// The report's parameter prompt: the parameter names in a list; the selected one is edited with a
// text box, a date picker or a drop-down list by its type, its description underneath. Accept
// stores the values and clears the cancel flag; Close leaves the flag set.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmSolicParametros : public QDialog {
    Q_OBJECT
public:
    // `elementosCombo`: the items of the drop-down list, the same for every Combo parameter.
    explicit frmSolicParametros(const QStringList& elementosCombo = {}, QWidget* parent = nullptr);

    QListWidget* lstParametros;
    QLineEdit* txtControl;
    QDateEdit* dtControl;
    QComboBox* cmbParam;
    QLabel* lblDescripcion;
    QPushButton* cmdAceptar;
    QPushButton* cmdCerrar;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void MuestraEditor();
    void GuardaValor();
    void cmdAceptar_Click();
    void cmdCerrar_Click();

    bool cargando_ = false;
};

namespace printing {
// Shows the prompt modally over the table already filled; true when the person accepted
// (G().ParamCancelado == 0).
bool SolicitaParametros(const QStringList& elementosCombo = {}, QWidget* parent = nullptr);
}
