#pragma once
// The printer choice: the spooler's queues in a list, the chosen one's name, driver and port, a
// fixed ESC/POS sample to a port, and the name handed back to the caller.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace ui {
class Prompts;
}

class frmSelectPrinter : public QDialog {
    Q_OBJECT
public:
    explicit frmSelectPrinter(QWidget* parent = nullptr, ui::Prompts* avisos = nullptr);

    // Shows the dialog modally; the name chosen (as it stands in "Nombre de la Impresora:",
    // edited or not), "" when cancelled. Also left in the shared ImpresoraElegida.
    static QString Elige(QWidget* parent = nullptr, ui::Prompts* avisos = nullptr);

    void CboImpresoras_Click();
    void cmdSelect_Click();
    void Command1_Click();
    void cmdPrueba_Click();

    QComboBox* CboImpresoras = nullptr;
    QLineEdit *capNombre = nullptr, *capDriver = nullptr, *capPuerto = nullptr, *Text2 = nullptr;
    QPushButton *cmdSelect = nullptr, *Command1 = nullptr, *cmdPrueba = nullptr;

private:
    ui::Prompts& prompts() const;
    ui::Prompts* prompts_;
};
