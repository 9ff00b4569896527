#include "admin/forms/frmparametros.h"

#include "admin/usuarios.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

frmParametros::frmParametros(QWidget* parent, db::Database* codigos, ui::Prompts* avisos)
    : QDialog(parent), codigos_(codigos), prompts_(avisos)
{
    setObjectName(QStringLiteral("frmParametros"));
    setWindowTitle(QStringLiteral("Cambio de clave."));
    setModal(true);
    auto* raiz = new QVBoxLayout(this);
    auto* campos = new QFormLayout;
    auto caja = [this](const char* nombre) {
        auto* t = new QLineEdit(this);
        t->setObjectName(QString::fromLatin1(nombre));
        t->setEchoMode(QLineEdit::Password);
        t->setMaxLength(30);
        return t;
    };
    txtClaveAct = caja("txtClaveAct");
    txtNueva = caja("txtNueva");
    txtConfirma = caja("txtConfirma");
    campos->addRow(QStringLiteral("Clave Actual:"), txtClaveAct);
    campos->addRow(QStringLiteral("Nueva Clave:"), txtNueva);
    campos->addRow(QStringLiteral("Confirmar:"), txtConfirma);
    raiz->addLayout(campos);
    auto* botones = new QHBoxLayout;
    cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    cmdAceptar->setAutoDefault(false);
    cmdCancelar->setAutoDefault(false);
    botones->addStretch();
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdCancelar);
    raiz->addLayout(botones);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmParametros::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

ui::Prompts& frmParametros::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmParametros::cmdAceptar_Click()
{
    db::Database* bd = codigos_ ? codigos_ : shell::BDCodigos();
    QString error;
    const CambioClave r = bd ? CambiaClave(*bd, G().ClaveUsuario, txtClaveAct->text(), txtNueva->text(),
                                           txtConfirma->text(), &error)
                             : CambioClave::Fallo;
    switch (r) {
    case CambioClave::NoPermitido:
        prompts().message(QStringLiteral("No se permite el cambio."), ui::Icon::None);
        reject();
        return;
    case CambioClave::NoCoincide:
        prompts().message(QStringLiteral("La clave nueva no es igual a la confirmacion."), ui::Icon::None);
        return;
    case CambioClave::Cambiado:
        prompts().message(QStringLiteral("Cambio realizado."), ui::Icon::None);
        accept();
        return;
    case CambioClave::Fallo:
        // Nothing was written; the dialog stays so the person can try again.
        prompts().message(QStringLiteral("No se pudo cambiar la clave: ") + error, ui::Icon::Critical);
        return;
    }
}

void AbreCambioClave(QWidget* padre)
{
    frmParametros dialogo(padre);
    dialogo.exec();
}

}  // namespace admin
