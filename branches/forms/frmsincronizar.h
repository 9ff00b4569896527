#pragma once
// "Sincronizar Bases.": compares the database in use with a newer reference file, repairs it when
// asked, copies catalogs from the reference and runs a script of statements on it.

#include "shell/esperaesc.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace shell {
class MIDI;
}
namespace ui {
class Prompts;
class FileChooser;
}

namespace sucursales {

class frmSincronizar : public QWidget {
    Q_OBJECT
public:
    explicit frmSincronizar(QWidget* parent = nullptr, ui::Prompts* prompts = nullptr,
                            ui::FileChooser* chooser = nullptr);

    void cmdExplorar_Click();
    void Image1_Click();
    void chkCopiaCatalogo_Click();
    void cmdSincronizar_Click();

    QLineEdit *txtOrigen = nullptr, *txtDestino = nullptr;
    QPushButton *cmdExplorar = nullptr, *cmdSincronizar = nullptr, *cmdCerrar = nullptr;
    QToolButton* Image1 = nullptr;
    QCheckBox *chkCopiaCatalogo = nullptr, *chkMigrar = nullptr, *chkActualizar = nullptr;
    QListWidget* lstCatalogos = nullptr;
    QPlainTextEdit *txtConsultas = nullptr, *Text2 = nullptr;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QString BuscaRuta();
    ui::Prompts& prompts() const;
    ui::FileChooser& chooser() const;
    ui::Prompts* prompts_;
    ui::FileChooser* chooser_;
    shell::EsperaConEsc esc_;  // Esc stops a long script line as it stops a busy-file wait
};

frmSincronizar* AbreSincronizar(shell::MIDI* midi);

}  // namespace sucursales
