#include "branches/forms/frmexpimp.h"

#include "branches/catalogo.h"
#include "branches/intercambio.h"
#include "platform/ui/filechooser.h"
#include "platform/ui/prompts.h"
#include "shell/arranque.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/permisos.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace sucursales {

frmExpImp::frmExpImp(QWidget* parent, ui::Prompts* prompts, ui::FileChooser* chooser)
    : QDialog(parent), prompts_(prompts), chooser_(chooser)
{
    setObjectName(QStringLiteral("frmExpImp"));
    setWindowTitle(QStringLiteral("Exportación de datos."));
    auto* raiz = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    g->addWidget(new QLabel(QStringLiteral("Datos:"), this), 0, 0);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (Datos d : {Datos::Productos, Datos::Generales, Datos::Sucursal}) Combo1->addItem(NombreDatos(d));
    Combo1->setCurrentIndex(-1);
    g->addWidget(Combo1, 0, 1, 1, 2);

    auto* Frame1 = new QGroupBox(QStringLiteral("A&plicar"), this);
    auto* f = new QHBoxLayout(Frame1);
    Option1 = new QRadioButton(QStringLiteral("&Exportar"), Frame1);
    Option2 = new QRadioButton(QStringLiteral("&Importar"), Frame1);
    f->addWidget(Option1);
    f->addWidget(Option2);
    g->addWidget(Frame1, 1, 0, 1, 3);

    Label3 = new QLabel(QStringLiteral("Guardar a:"), this);
    Text1 = new QLineEdit(QDir::homePath(), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    cmdExplorar = new QPushButton(QStringLiteral("Explorar..."), this);
    g->addWidget(Label3, 2, 0);
    g->addWidget(Text1, 2, 1);
    g->addWidget(cmdExplorar, 2, 2);
    g->setColumnStretch(1, 1);
    raiz->addLayout(g);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    raiz->addWidget(Label2);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdCancelar = new QPushButton(QStringLiteral("&Cerrar"), this);
    for (QPushButton* b : {cmdExplorar, cmdAceptar, cmdCancelar}) b->setAutoDefault(false);
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdCancelar);
    raiz->addLayout(botones);

    connect(Combo1, qOverload<int>(&QComboBox::activated), this, [this] { Combo1_Click(); });
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) { if (on) CambiaDireccion(true); });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) { if (on) CambiaDireccion(false); });
    connect(cmdExplorar, &QPushButton::clicked, this, &frmExpImp::cmdExplorar_Click);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmExpImp::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

ui::Prompts& frmExpImp::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }
ui::FileChooser& frmExpImp::chooser() const { return chooser_ ? *chooser_ : ui::defaultFileChooser(); }

bool frmExpImp::Exportando() const { return Option1->isChecked(); }

void frmExpImp::Elige(bool exportar)
{
    eligiendo_ = true;
    (exportar ? Option1 : Option2)->setChecked(true);
    eligiendo_ = false;
    Label3->setText(exportar ? QStringLiteral("Grabar a:") : QStringLiteral("Leer desde:"));
}

void frmExpImp::CambiaDireccion(bool exportar)
{
    if (eligiendo_) return;
    // The menu let the person in for one direction; the other needs its own permission.
    if (!shell::TienePermiso(exportar ? 33 : 34, true)) {
        Elige(!exportar);
        return;
    }
    Label3->setText(exportar ? QStringLiteral("Grabar a:") : QStringLiteral("Leer desde:"));
}

void frmExpImp::Combo1_Click()
{
    // Whole files need right 11; the product list does not.
    cmdAceptar->setEnabled(Combo1->currentIndex() == 0 || shell::TieneDerecho(11, false));
}

void frmExpImp::cmdExplorar_Click()
{
    if (Combo1->currentIndex() < 0) {
        prompts().message(QStringLiteral("No ha seleccionado que datos se van a procesar."), ui::Icon::None);
        return;
    }
    const Datos d = Datos(Combo1->currentIndex());
    const QString inicio = QDir(QFileInfo(Text1->text()).isDir() ? Text1->text() : QFileInfo(Text1->text()).path())
                               .filePath(NombreDatos(d));
    const QString filtro = QStringLiteral("Bases de datos (*.db);;Todos los archivos (*)");
    const QString ruta = Exportando() ? chooser().saveFile(QStringLiteral("Grabar a"), inicio, filtro)
                                      : chooser().openFile(QStringLiteral("Leer desde"), inicio, filtro);
    if (!ruta.isEmpty()) Text1->setText(ConExtensionBD(ruta));
}

void frmExpImp::cmdAceptar_Click()
{
    if (Combo1->currentIndex() < 0) {
        prompts().message(QStringLiteral("No ha seleccionado que datos se van a procesar."), ui::Icon::None);
        return;
    }
    const Datos d = Datos(Combo1->currentIndex());
    if (d != Datos::Productos && !shell::TieneDerecho(11, true)) return;
    if (!Option1->isChecked() && !Option2->isChecked()) return;
    if (d == Datos::Productos && G().SucursalActual == 0) {
        prompts().message(QStringLiteral("Para realizar esta operacion debe tener seleccionada una sucursal."),
                          ui::Icon::None);
        return;
    }
    bool hecho = false;
    if (Exportando()) {
        Label2->setText(QStringLiteral("Procesando exportacion de ") + NombreDatos(d));
        if (d == Datos::Productos) {
            const QFileInfo t(Text1->text());
            hecho = !ExportaProductos(t.isDir() ? t.filePath() : t.path(), QDate::currentDate(), prompts()).isEmpty();
        } else {
            hecho = ExportaBase(ArchivoDeDatos(d), RutaDeTrabajo(Text1->text(), d), prompts());
        }
        if (hecho) prompts().message(QStringLiteral("El proceso de exportación ha terminado."), ui::Icon::None);
    } else {
        // A whole file put in place of the one in use closes the program's files first.
        if (d != Datos::Productos && !shell::SinVentanasAbiertas(prompts(), {this})) return;
        if (prompts().question(QStringLiteral("Se reemplazaran los datos de la base de datos con los nuevos datos del "
                                              "archivo que se esta importando. Continuar ?"),
                               QStringLiteral("Confirmar.")) != ui::Answer::Yes)
            return;
        if (d == Datos::Productos) {
            hecho = ImportaProductos(Text1->text(), prompts());
        } else {
            hecho = ImportaBase(RutaDeTrabajo(Text1->text(), d), ArchivoDeDatos(d), d, prompts());
            // The shared state follows the file now in place.
            if (hecho) shell::LeerParametros();
        }
        if (hecho) prompts().message(QStringLiteral("El proceso de importación ha terminado."), ui::Icon::None);
    }
    Label2->clear();
    if (hecho) accept();
}

}  // namespace sucursales
