#include "printing/forms/frmSelectPrinter.h"

#include "platform/print/impresoras.h"
#include "platform/ui/prompts.h"
#include "printing/impresoraticket.h"
#include "printing/pruebaimpresion.h"
#include "shell/estado.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmSelectPrinter::frmSelectPrinter(QWidget* parent, ui::Prompts* avisos) : QDialog(parent), prompts_(avisos) {
    setObjectName(QStringLiteral("frmSelectPrinter"));
    setWindowTitle(QStringLiteral("Seleccionar impresora."));
    setModal(true);
    auto* raiz = new QVBoxLayout(this);
    auto* f = new QFormLayout;
    CboImpresoras = new QComboBox(this);
    CboImpresoras->setObjectName(QStringLiteral("CboImpresoras"));
    // Plain boxes: a queue name keeps its letter case, which the spooler tells apart.
    auto caja = [this](const char* nombre, bool soloLectura) {
        auto* t = new QLineEdit(this);
        t->setObjectName(QString::fromLatin1(nombre));
        t->setMaxLength(250);
        t->setReadOnly(soloLectura);
        return t;
    };
    capNombre = caja("capNombre", false);
    capDriver = caja("capDriver", true);
    capPuerto = caja("capPuerto", true);
    Text2 = caja("Text2", false);
    Text2->setText(QStringLiteral("lpt1:"));
    f->addRow(QStringLiteral("Impresoras:"), CboImpresoras);
    f->addRow(QStringLiteral("Nombre de la Impresora:"), capNombre);
    f->addRow(QStringLiteral("Driver de la Impresora:"), capDriver);
    f->addRow(QStringLiteral("Puerto de la Impresora:"), capPuerto);
    raiz->addLayout(f);
    auto* prueba = new QHBoxLayout;
    cmdPrueba = new QPushButton(QStringLiteral("Prueba"), this);
    prueba->addWidget(Text2, 1);
    prueba->addWidget(cmdPrueba);
    raiz->addLayout(prueba);
    auto* botones = new QHBoxLayout;
    cmdSelect = new QPushButton(QStringLiteral("&Seleccionar"), this);
    Command1 = new QPushButton(QStringLiteral("&Cerrar"), this);
    botones->addStretch();
    for (QPushButton* b : {cmdSelect, Command1, cmdPrueba}) b->setAutoDefault(false);
    botones->addWidget(cmdSelect);
    botones->addWidget(Command1);
    raiz->addLayout(botones);

    // Load: every queue of the spooler, in its order; a spooler out of reach is told once.
    QString error;
    const auto lista = print::ListaImpresoras(&error);
    for (const print::Impresora& i : lista) CboImpresoras->addItem(i.nombre);
    if (lista.empty() && !error.isEmpty())
        prompts().message(QStringLiteral("No se pudo leer la lista de impresoras: ") + error, ui::Icon::Warning);
    CboImpresoras->setCurrentIndex(-1);

    connect(CboImpresoras, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            CboImpresoras_Click();
    });
    connect(cmdSelect, &QPushButton::clicked, this, &frmSelectPrinter::cmdSelect_Click);
    connect(Command1, &QPushButton::clicked, this, &frmSelectPrinter::Command1_Click);
    connect(cmdPrueba, &QPushButton::clicked, this, &frmSelectPrinter::cmdPrueba_Click);
}

ui::Prompts& frmSelectPrinter::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmSelectPrinter::CboImpresoras_Click() {
    const QString nombre = CboImpresoras->currentText();
    QString puerto, driver;
    ObtenerDatosImpresora(nombre, puerto, driver);
    capNombre->setText(nombre);
    capDriver->setText(driver);
    capPuerto->setText(puerto);
}

void frmSelectPrinter::cmdSelect_Click() {
    G().ImpresoraElegida = capNombre->text();
    accept();
}

void frmSelectPrinter::Command1_Click() {
    G().ImpresoraElegida.clear();
    reject();
}

void frmSelectPrinter::cmdPrueba_Click() { ImprimeMuestraEscPos(capNombre->text(), Text2->text(), prompts()); }

QString frmSelectPrinter::Elige(QWidget* parent, ui::Prompts* avisos) {
    G().ImpresoraElegida.clear();
    frmSelectPrinter d(parent, avisos);
    d.exec();
    return G().ImpresoraElegida;
}
