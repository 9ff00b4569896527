#include "branches/forms/frmtraspasos.h"

#include "branches/catalogo.h"
#include "branches/forms/campos.h"
#include "branches/traspasos.h"
#include "platform/ui/filechooser.h"
#include "platform/ui/prompts.h"
#include "sale/forms/frmventa.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/rutas.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTime>
#include <QVBoxLayout>

namespace sucursales {

namespace {

const char kSinVentana[] = "Para procesar su petición debe tener una ventana de E/S de inventario.";

venta::frmVenta* pantallaVenta() {
    return qobject_cast<venta::frmVenta*>(shell::FormaCargada(QStringLiteral("frmVenta")));
}

}  // namespace

frmTraspasos::frmTraspasos(QWidget* parent, ui::Prompts* prompts, ui::FileChooser* chooser)
    : QWidget(parent), prompts_(prompts), chooser_(chooser)
{
    setObjectName(QStringLiteral("frmTraspasos"));
    setWindowTitle(QStringLiteral("Traspasos entre sucursales."));
    auto* raiz = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    raiz->addWidget(SSTab1);

    auto* aplicar = new QWidget(SSTab1);
    auto* a = new QGridLayout(aplicar);
    capFile = CreaCampo(aplicar, QStringLiteral("capFile"), QStringLiteral("Dirección de archivo a aplicar:"), 0);
    kestril::MarcaCampoRuta(capFile);
    cmdExplorar = new QPushButton(QStringLiteral("Explorar..."), aplicar);
    cmdAplicar = new QPushButton(QStringLiteral("&Aplicar"), aplicar);
    a->addWidget(capFile, 0, 0, 1, 2);
    a->addWidget(cmdExplorar, 1, 0, Qt::AlignLeft);
    a->addWidget(cmdAplicar, 1, 1, Qt::AlignRight);
    a->setRowStretch(2, 1);
    SSTab1->addTab(aplicar, QStringLiteral("Aplicar/Recibir"));

    auto* generar = new QWidget(SSTab1);
    auto* g = new QGridLayout(generar);
    g->addWidget(new QLabel(QStringLiteral("Sucursal a la que se manda el traspaso:"), generar), 0, 0);
    Combo1 = new QComboBox(generar);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setToolTip(QStringLiteral("Seleccione la sucursal destino."));
    Combo1->setEditable(false);  // typed keys choose nothing
    Combo1->addItem(QStringLiteral("No seleccionada"), 0);
    for (const auto& [n, nombre] : Destinos()) Combo1->addItem(nombre, n);
    g->addWidget(Combo1, 0, 1);
    cmdGenerar = new QPushButton(QStringLiteral("&Generar"), generar);
    cmdGenerar->setToolTip(QStringLiteral("Generar el archivo de traspaso para aplicar en la sucursal destino."));
    g->addWidget(cmdGenerar, 1, 1, Qt::AlignRight);
    g->setRowStretch(2, 1);
    SSTab1->addTab(generar, QStringLiteral("Generar/Enviar"));

    lblModo = new QLabel(G().TraspasosDir == 1
                             ? QStringLiteral("Traspasos directos esta activado, se hara el traspaso directo a la base "
                                              "de la sucursal.")
                             : QStringLiteral("Se generará un archivo para enviarlo a la sucursal."),
                         this);
    lblModo->setWordWrap(true);
    raiz->addWidget(lblModo);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    cmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    botones->addWidget(cmdCerrar);
    raiz->addLayout(botones);
    for (QPushButton* b : {cmdExplorar, cmdAplicar, cmdGenerar, cmdCerrar}) b->setAutoDefault(false);

    connect(cmdExplorar, &QPushButton::clicked, this, &frmTraspasos::cmdExplorar_Click);
    connect(cmdAplicar, &QPushButton::clicked, this, &frmTraspasos::cmdAplicar_Click);
    connect(cmdGenerar, &QPushButton::clicked, this, &frmTraspasos::cmdGenerar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &QWidget::close);
    SSTab1->setCurrentIndex(1);
}

ui::Prompts& frmTraspasos::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }
ui::FileChooser& frmTraspasos::chooser() const { return chooser_ ? *chooser_ : ui::defaultFileChooser(); }

int frmTraspasos::Destino() const { return Combo1->currentData().toInt(); }

void frmTraspasos::cmdExplorar_Click()
{
    if (Combo1->count() < 2) {
        prompts().message(QStringLiteral("No se encontró otra sucursal a la que se pueda hacer el traspaso, añada una "
                                         "sucursal."),
                          ui::Icon::None);
        close();
        return;
    }
    const QString ruta = chooser().openFile(QStringLiteral("Archivo de traspaso"), QDir::homePath(),
                                            QStringLiteral("Traspasos (T*.db);;Bases de datos (*.db);;Todos los archivos (*)"));
    if (!ruta.isEmpty()) capFile->setText(ConExtensionBD(ruta));
}

void frmTraspasos::cmdAplicar_Click()
{
    // The capture field writes capitals; the file is found whatever the letter case of its path.
    if (AplicaTraspaso(shell::BuscaRuta(capFile->Text().trimmed()), prompts())) close();
}

void frmTraspasos::cmdGenerar_Click()
{
    ui::Prompts& p = prompts();
    venta::frmVenta* v = pantallaVenta();
    if (!v) {
        p.message(QString::fromUtf8(kSinVentana), ui::Icon::None);
        return;
    }
    if (v->windowTitle() != QLatin1String("Entradas a inventario.")) {
        p.message(QStringLiteral("Para procesar su petición debe de tener una E/S de inventario."), ui::Icon::None);
        return;
    }
    const int destino = Destino();
    if (destino <= 0) {
        p.message(QStringLiteral("Debe seleccionar una sucursal de la lista."), ui::Icon::None);
        return;
    }
    const bool directo = G().TraspasosDir == 1;
    if (directo && !QFileInfo(RutaArchivoSucursal(G().DescripcionC[destino])).isFile()) {
        p.message(QStringLiteral("No se encontró el archivo de datos de la sucursal %1.").arg(G().DescripcionC[destino]),
                  ui::Icon::Warning);
        return;
    }
    if (p.question(QStringLiteral("Para continuar se guardaran los datos de la E/S a inventario, desea continuar ?")) !=
        ui::Answer::Yes)
        return;
    // A saved exit (the save command off) is sent again as it is: the retry after a failure.
    const bool porGuardar = v->cmdActInv->isEnabled();
    if (porGuardar) {
        const auto& lineas = v->lineas().lineas();
        if (lineas.empty()) {
            p.message(QStringLiteral("Debe haber por lo menos 1 producto en la lista de E/S de inventario."), ui::Icon::None);
            return;
        }
        for (const auto& l : lineas)
            if (!(l.cantidad > 0)) {
                p.message(QStringLiteral("Las cantidades de la E/S de inventario deben ser mayores a cero (%1).").arg(l.nombre),
                          ui::Icon::Warning);
                return;
            }
    } else if (v->NumeroDocumento <= 0) {
        p.message(QStringLiteral("Debe haber por lo menos 1 producto en la lista de E/S de inventario."), ui::Icon::None);
        return;
    } else if (db::Database* bd = shell::BDSucursal()) {
        // Only a transfer exit goes again: any other saved document would make its goods twice.
        const QString mal = RevisaReenvio(*bd, v->NumeroDocumento, G().SucursalActual, destino);
        if (!mal.isEmpty()) {
            p.message(mal, ui::Icon::Warning);
            return;
        }
    }
    QString carpeta;
    if (!directo) {
        carpeta = chooser().folder(QStringLiteral("Carpeta del archivo de traspaso"), QDir::homePath());
        if (carpeta.isEmpty()) return;
    }
    const int origen = G().SucursalActual;
    if (porGuardar) {
        v->SucursalTraspaso = destino;
        v->TextoES = TextoTraspaso(origen, destino, QTime::currentTime());
        v->EsTraspaso = true;
        int signo = -1;
        bool imprimir = false;
        v->GuardatodoESInv(signo, imprimir);
        v->EsTraspaso = false;
        if (v->NumeroDocumento == -1) return;
    }
    const qint64 salida = v->NumeroDocumento;
    bool hecho = false;
    if (directo) {
        hecho = TraspasoDirecto(salida, destino, p);
    } else if (db::Database* bd = shell::BDSucursal()) {
        hecho = !GeneraArchivoTraspaso(*bd, salida, origen, destino, carpeta, QDate::currentDate(), p).isEmpty();
    }
    if (hecho) close();
}

frmTraspasos* AbreTraspasos(shell::MIDI* midi) { return AbreForma<frmTraspasos>(midi); }

}  // namespace sucursales
