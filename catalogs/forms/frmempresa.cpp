#include "shell/rutinas_bd.h"
#include "catalogs/forms/frmempresa.h"

#include "capture_control/ccaptura.h"
#include "catalogs/forms/campos.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/forms/formas.h"
#include "shell/menu.h"
#include "shell/rutas.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace catalogos {

frmEmpresa::frmEmpresa(QWidget* parent, db::Database* codigos, ui::Prompts* prompts, const QString& rutaApp)
    : QWidget(parent), codigos_(codigos), prompts_(prompts), rutaApp_(rutaApp)
{
    setObjectName(QStringLiteral("frmEmpresa"));
    setWindowTitle(QStringLiteral("Datos de la Empresa."));

    auto* raiz = new QVBoxLayout(this);
    capEmpresa = kestril::CreaCampoCaptura(this, QStringLiteral("capEmpresa"), QStringLiteral("Nombre Comercial de la Empresa:"), 100);
    capRazonSocial = kestril::CreaCampoCaptura(this, QStringLiteral("capRazonSocial"), QStringLiteral("Razon Social:"), 150);
    capRazonSocial->setToolTip(QStringLiteral("Razon Social o Legal ante HACIENDA"));
    capRFC = kestril::CreaCampoCaptura(this, QStringLiteral("capRFC"), QStringLiteral("R.F.C.:"), 15);
    capNumSuc = kestril::CreaCampoCaptura(this, QStringLiteral("capNumSuc"), QStringLiteral("# de Sucursales:"), 2);
    capSucDefault = kestril::CreaCampoCaptura(this, QStringLiteral("capSucDefault"), QStringLiteral("Sucursal Default:"), 3);
    for (CCaptura* c : {capEmpresa, capRazonSocial, capRFC})
        raiz->addWidget(c);
    auto* numeros = new QHBoxLayout;
    numeros->addWidget(capNumSuc);
    numeros->addWidget(capSucDefault);
    raiz->addLayout(numeros);
    auto* textos = new QFormLayout;
    capDireccion1 = new QPlainTextEdit(this);
    capDireccion1->setObjectName(QStringLiteral("capDireccion1"));
    capDireccion1->setTabChangesFocus(true);
    capDireccion1->setMaximumHeight(capDireccion1->fontMetrics().lineSpacing() * 5);
    txtEmailfacturas = new QLineEdit(this);
    txtEmailfacturas->setObjectName(QStringLiteral("txtEmailfacturas"));
    txtEmailfacturas->setMaxLength(60);
    textos->addRow(QStringLiteral("Direccion:"), capDireccion1);
    textos->addRow(QStringLiteral("EmailFacturas:"), txtEmailfacturas);
    raiz->addLayout(textos);
    raiz->addStretch(1);

    auto* botones = new QHBoxLayout;
    cmdGuardar = new QPushButton(QStringLiteral("&Guardar"), this);
    cmdGuardar->setObjectName(QStringLiteral("cmdGuardar"));
    cmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    botones->addStretch(1);
    botones->addWidget(cmdGuardar);
    botones->addWidget(cmdCerrar);
    raiz->addLayout(botones);
    connect(cmdGuardar, &QPushButton::clicked, this, &frmEmpresa::cmdGuardar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &frmEmpresa::cmdCerrar_Click);

    LeeEmpresa();
}

db::Database* frmEmpresa::Codigos() const { return codigos_ ? codigos_ : shell::BDCodigos(); }

ui::Prompts& frmEmpresa::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmEmpresa::LeeEmpresa()
{
    db::Error e;
    db::Database* bd = Codigos();
    std::optional<DatosEmpresa> d;
    if (bd)
        d = catalogos::LeeEmpresa(*bd, &e);
    if (!d) {
        prompts().message(QStringLiteral("No se pudieron leer los datos de la empresa: ") + shell::TextoErrorBD(e),
                          ui::Icon::Critical);
        return;
    }
    capEmpresa->setText(d->NombreEmp);
    capRFC->setText(d->RFC);
    capNumSuc->setText(d->NumSucursales);
    capSucDefault->setText(d->SucursalDefault);
    capDireccion1->setPlainText(d->Direccion);
    capRazonSocial->setText(d->RazonSocial);
    txtEmailfacturas->setText(d->EmailFacturas);
}

DatosEmpresa frmEmpresa::EnPantalla() const
{
    DatosEmpresa d;
    d.NombreEmp = capEmpresa->Text();
    d.RFC = capRFC->Text();
    d.NumSucursales = capNumSuc->Text();
    d.SucursalDefault = capSucDefault->Text();
    d.Direccion = capDireccion1->toPlainText();
    d.RazonSocial = capRazonSocial->Text();
    d.EmailFacturas = txtEmailfacturas->text();
    return d;
}

void frmEmpresa::cmdGuardar_Click()
{
    if (!shell::PuedeEscribir(QStringLiteral("datosempresa"), prompts()))
        return;
    db::Database* bd = Codigos();
    if (!bd) {
        prompts().message(QStringLiteral("No se pudo abrir la base de datos central."), ui::Icon::Critical);
        return;
    }
    GuardaEmpresa(*bd, rutaApp_.isEmpty() ? shell::RutaAplicacion() : rutaApp_, EnPantalla(), prompts());
}

void frmEmpresa::cmdCerrar_Click() { close(); }

frmEmpresa* AbreEmpresa()
{
    auto* forma = shell::Forma<frmEmpresa>();
    forma->setWindowFlag(Qt::Dialog, true);
    forma->setWindowModality(Qt::ApplicationModal);
    forma->show();
    forma->activateWindow();
    forma->capEmpresa->SetFocus();
    return forma;
}

}  // namespace catalogos
