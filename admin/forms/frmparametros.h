#pragma once
// "Cambio de clave.": the logged-in user changes his own password.

#include "platform/db/database.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace ui {
class Prompts;
}

namespace admin {

class frmParametros : public QDialog {
    Q_OBJECT
public:
    explicit frmParametros(QWidget* parent = nullptr, db::Database* codigos = nullptr,
                           ui::Prompts* avisos = nullptr);

    void cmdAceptar_Click();

    QLineEdit *txtClaveAct = nullptr, *txtNueva = nullptr, *txtConfirma = nullptr;
    QPushButton *cmdAceptar = nullptr, *cmdCancelar = nullptr;

private:
    ui::Prompts& prompts() const;
    db::Database* codigos_;
    ui::Prompts* prompts_;
};

// The CClave item: the dialog, modal.
void AbreCambioClave(QWidget* padre);

}  // namespace admin
