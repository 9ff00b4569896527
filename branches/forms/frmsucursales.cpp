#include "branches/forms/frmsucursales.h"

#include "branches/forms/campos.h"
#include "branches/forms/frmsincronizar.h"
#include "branches/mantenimiento.h"
#include "platform/ui/filechooser.h"
#include "platform/ui/prompts.h"
#include "shell/forms/ficha.h"
#include "shell/arranque.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/rutinas_bd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace sucursales {

namespace {

constexpr int TwipsPorPixel = 15;
const QStringList kColumnas = {QStringLiteral("DescripcionSuc"), QStringLiteral("IdSucursal"),
                               QStringLiteral("DescripcionC"),   QStringLiteral("Direccion"),
                               QStringLiteral("Telefono"),       QStringLiteral("NumTerminales"),
                               QStringLiteral("UbicacionBD")};
// The headings a person reads over those fields.
const QStringList kTitulos = {QStringLiteral("Sucursal"), QString::fromUtf8("Número"),
                              QStringLiteral("Nombre corto"), QString::fromUtf8("Dirección"),
                              QString::fromUtf8("Teléfono"), QStringLiteral("Terminales"),
                              QStringLiteral("Base de datos")};

QStringList valores(const Sucursal& s) {
    return {s.DescripcionSuc, s.IdSucursal, s.DescripcionC, s.Direccion, s.Telefono, s.NumTerminales, s.UbicacionBD};
}

}  // namespace

frmSucursales::frmSucursales(QWidget* parent, ui::Prompts* prompts, ui::FileChooser* chooser)
    : QWidget(parent), prompts_(prompts), chooser_(chooser)
{
    setObjectName(QStringLiteral("frmSucursales"));
    setWindowTitle(QStringLiteral("Sucursales."));
    auto* raiz = new QVBoxLayout(this);

    SSTab1 = new QTabWidget(this);
    raiz->addWidget(SSTab1);
    auto* detalles = new QWidget(SSTab1);
    auto* g = new QGridLayout(detalles);
    capDescripcion = CreaCampo(detalles, QStringLiteral("capDescripcion"), QStringLiteral("Descripción de sucursal:"), 50);
    capIdSuc = CreaCampo(detalles, QStringLiteral("capIdSuc"), QStringLiteral("Id Sucursal:"), 20);
    capDCorta = CreaCampo(detalles, QStringLiteral("capDCorta"), QStringLiteral("Descripción corta:"), 20);
    capTelefono = CreaCampo(detalles, QStringLiteral("capTelefono"), QStringLiteral("Teléfono:"), 20);
    capTerminales = CreaCampo(detalles, QStringLiteral("capTerminales"), QStringLiteral("Número terminales:"), 20);
    capDirRemota = CreaCampo(detalles, QStringLiteral("capDirRemota"), QStringLiteral("Dirección (Remota):"), 50);
    kestril::MarcaCampoRuta(capDirRemota);
    capDireccion = new QLineEdit(detalles);
    capDireccion->setObjectName(QStringLiteral("capDireccion"));
    cmdExplorar = new QPushButton(QStringLiteral("Explorar..."), detalles);
    int f = 0;
    g->addWidget(capDescripcion, f++, 0, 1, 2);
    g->addWidget(capIdSuc, f, 0);
    g->addWidget(capDCorta, f++, 1);
    auto* dir = new QFormLayout;
    dir->addRow(QStringLiteral("Direccion:"), capDireccion);
    g->addLayout(dir, f++, 0, 1, 2);
    g->addWidget(capTelefono, f, 0);
    g->addWidget(capTerminales, f++, 1);
    g->addWidget(capDirRemota, f, 0);
    g->addWidget(cmdExplorar, f++, 1, Qt::AlignLeft | Qt::AlignBottom);
    g->setRowStretch(f, 1);  // room left over goes below the fields
    SSTab1->addTab(detalles, QStringLiteral("&Detalles"));

    auto* procesos = new QWidget(SSTab1);
    auto* pg = new QGridLayout(procesos);
    QCheckBox** casillas[] = {nullptr,          &chkExistencias,       &chkHistVentas,    &chkBorraHistVentasCredito,
                              &chkActualizaRutas, &chkBorrarCatalogos, &chkRecuperaRProd, &chkValidaExistencias,
                              &chkCompactarBase, &Check1,              &chkInicializar};
    const char* nombres[] = {"", "chkExistencias", "chkHistVentas", "chkBorraHistVentasCredito", "chkActualizaRutas",
                             "chkBorrarCatalogos", "chkRecuperaRProd", "chkValidaExistencias", "chkCompactarBase",
                             "Check1", "chkInicializar"};
    for (int t = 1; t <= kTareas; ++t) {
        *casillas[t] = new QCheckBox(NombreTarea(t), procesos);
        (*casillas[t])->setObjectName(QString::fromLatin1(nombres[t]));
        pg->addWidget(*casillas[t], t - 1, 0);
    }
    Combo1 = new QComboBox(procesos);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems(ListaCatalogos());
    Combo1->setEnabled(false);
    pg->addWidget(Combo1, CatalogosT - 1, 1);
    cmdProcesa = new QPushButton(QStringLiteral("&Procesar Sucursal"), procesos);
    cmdProcesa->setAutoDefault(false);
    pg->addWidget(cmdProcesa, kTareas, 0, 1, 2, Qt::AlignLeft);
    pg->setColumnStretch(1, 1);
    SSTab1->addTab(procesos, QStringLiteral("&Procesos"));
    connect(chkBorrarCatalogos, &QCheckBox::toggled, Combo1, &QWidget::setEnabled);
    connect(cmdProcesa, &QPushButton::clicked, this, &frmSucursales::cmdProcesa_Click);

    modelo_ = new QStandardItemModel(this);
    grid = shell::GridLectura(this, QStringLiteral("grid"), modelo_);
    // The fields keep their height; the list takes what is left.
    SSTab1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    grid->setMinimumHeight(60);
    raiz->addWidget(grid, 1);

    auto* activa = new QHBoxLayout;
    activa->addWidget(new QLabel(QStringLiteral("Sucursal Activa:"), this));
    lblSucA = new QLabel(this);
    lblSucA->setObjectName(QStringLiteral("lblSucA"));
    activa->addWidget(lblSucA, 1);
    raiz->addLayout(activa);

    auto* botones = new QGridLayout;
    cmdNuevo = new QPushButton(QStringLiteral("&Nueva Sucursal"), this);
    cmdGuardar = new QPushButton(QStringLiteral("&Guardar"), this);
    cmdGenerar = new QPushButton(QStringLiteral("&Generar Archivos"), this);
    cmdBorrar = new QPushButton(QStringLiteral("&Borrar Archivos"), this);
    cmdCambiaSuc = new QPushButton(QStringLiteral("&Cambiar a sucursal..."), this);
    cmdSincronizar = new QPushButton(QStringLiteral("&Sincronizar"), this);
    cmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    int i = 0;
    for (QPushButton* b : {cmdNuevo, cmdGuardar, cmdGenerar, cmdBorrar, cmdCambiaSuc, cmdSincronizar, cmdCerrar}) {
        b->setAutoDefault(false);
        botones->addWidget(b, i / 4, i % 4);
        ++i;
    }
    raiz->addLayout(botones);

    connect(cmdNuevo, &QPushButton::clicked, this, &frmSucursales::cmdNuevo_Click);
    connect(cmdGuardar, &QPushButton::clicked, this, &frmSucursales::cmdGuardar_Click);
    connect(cmdGenerar, &QPushButton::clicked, this, &frmSucursales::cmdGenerar_Click);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmSucursales::cmdBorrar_Click);
    connect(cmdCambiaSuc, &QPushButton::clicked, this, &frmSucursales::cmdCambiaSuc_Click);
    connect(cmdExplorar, &QPushButton::clicked, this, &frmSucursales::cmdExplorar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &frmSucursales::cmdCerrar_Click);
    connect(cmdSincronizar, &QPushButton::clicked, this, &frmSucursales::cmdSincronizar_Click);
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual) {
                if (llenandoGrid_ || !actual.isValid() || actual.row() == pos_) return;
                MueveA(actual.row());
            });

    // Load: first tab, the grid's font, the rows, the active branch.
    SSTab1->setCurrentIndex(0);
    if (G().TFuente != 0) {
        QFont fuente = grid->font();
        fuente.setPointSize(G().TFuente);
        grid->setFont(fuente);
    }
    guardando_ = false;
    ficha_ = new shell::Ficha(this, [this]() -> ui::Prompts& { return this->prompts(); });
    ficha_->GuardaFilas(grid);
    Recarga(std::nullopt, 0);
    MuestraActiva();
    // The form sees the keys before its controls (the hidden clean-up sequence).
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

bool frmSucursales::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(e)->key();
        if (tecla == Qt::Key_Control) {
            secuencia_ = 17;
        } else if (tecla == Qt::Key_Alt && secuencia_ == 17) {
            secuencia_ = 18;
        } else if (tecla == Qt::Key_T && secuencia_ == 18) {
            BorraPendientes(capDCorta->Text(), prompts());
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}

void frmSucursales::cmdProcesa_Click()
{
    const QCheckBox* casillas[] = {nullptr,           chkExistencias,     chkHistVentas,    chkBorraHistVentasCredito,
                                   chkActualizaRutas, chkBorrarCatalogos, chkRecuperaRProd, chkValidaExistencias,
                                   chkCompactarBase,  Check1,             chkInicializar};
    Seleccion s;
    for (int t = 1; t <= kTareas; ++t) s.marcada[t] = casillas[t]->checkState() == Qt::Checked;
    s.catalogo = Combo1->currentText();
    if (!shell::PuedeEscribir(QStringLiteral("Sucursales"), prompts())) return;
    if (CierraArchivos(s) && !shell::SinVentanasAbiertas(prompts(), {this})) return;
    ProcesaSucursal(Pantalla(), s, prompts());
}

ui::Prompts& frmSucursales::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }
ui::FileChooser& frmSucursales::chooser() const { return chooser_ ? *chooser_ : ui::defaultFileChooser(); }

void frmSucursales::MuestraActiva()
{
    const int n = G().SucursalActual;
    lblSucA->setText(n >= 0 && n <= 10 ? G().DescripcionC[n] : QString());
}

void frmSucursales::FormatoGrid()
{
    QHeaderView* h = grid->horizontalHeader();
    for (int c = 0; c < modelo_->columnCount(); ++c) {
        const QString nombre = kColumnas.value(c);
        if (nombre == QLatin1String("DescripcionSuc")) {
            grid->setColumnHidden(c, false);
            grid->setColumnWidth(c, 5000 / TwipsPorPixel);
        } else if (nombre == QLatin1String("IdSucursal")) {
            grid->setColumnHidden(c, false);
            grid->setColumnWidth(c, std::max(1000 / TwipsPorPixel, h->sectionSizeHint(c)));
        } else {
            grid->setColumnHidden(c, true);
        }
        h->setSectionResizeMode(c, QHeaderView::Fixed);
    }
}

void frmSucursales::LlenaGrid()
{
    llenandoGrid_ = true;
    modelo_->clear();
    modelo_->setHorizontalHeaderLabels(kTitulos);
    for (const Sucursal& s : filas_) {
        QList<QStandardItem*> fila;
        for (const QString& v : valores(s)) fila << new QStandardItem(v);
        modelo_->appendRow(fila);
    }
    FormatoGrid();
    llenandoGrid_ = false;
}

void frmSucursales::Recarga(std::optional<qint64> mostrar, int fila)
{
    filas_.clear();
    db::Error e;
    if (db::Database* central = shell::BDCodigos(&e)) {
        if (auto l = LeeCatalogo(*central, &e)) filas_ = std::move(*l);
        else shell::MuestraErrorBD(e);
    } else {
        prompts().message(QStringLiteral("No se pudo abrir el catálogo de sucursales: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
    }
    LlenaGrid();
    if (mostrar)
        for (int i = 0; i < int(filas_.size()); ++i)
            if (filas_[i].IdSucursal.toLongLong() == *mostrar) fila = i;
    pos_ = -1;
    MueveA(filas_.empty() ? -1 : std::clamp(fila, 0, int(filas_.size()) - 1));
}

void frmSucursales::MueveA(int fila)
{
    cmdGenerar->setEnabled(true);
    pos_ = fila;
    if (fila >= 0 && fila < int(filas_.size())) {
        llenandoGrid_ = true;
        grid->selectionModel()->setCurrentIndex(modelo_->index(fila, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        llenandoGrid_ = false;
    }
    if (!guardando_) LeerDatos();
    if (fila < 0) ficha_->Muestra({});
}

void frmSucursales::LeerDatos()
{
    if (ficha_->nueva() && pos_ >= 0 && pos_ < int(filas_.size())) ficha_->Muestra(filas_[pos_].IdSucursal);
    const Sucursal* s = Guardada();
    if (!s) return;
    ficha_->Muestra(s->IdSucursal);  // moving away drops a branch not saved yet
    capDescripcion->setText(s->DescripcionSuc);
    capIdSuc->setText(s->IdSucursal);
    capDCorta->setText(s->DescripcionC);
    capDireccion->setText(s->Direccion);
    capTelefono->setText(s->Telefono);
    capTerminales->setText(s->NumTerminales);
    capDirRemota->setText(s->UbicacionBD);
}

Sucursal frmSucursales::Pantalla() const
{
    return {capDescripcion->Text(), capIdSuc->Text(),     capDCorta->Text(),    capDireccion->text(),
            capTelefono->Text(),    capTerminales->Text(), capDirRemota->Text()};
}

const Sucursal* frmSucursales::Guardada() const
{
    if (ficha_->nueva() || pos_ < 0 || pos_ >= int(filas_.size())) return nullptr;
    return &filas_[pos_];
}

void frmSucursales::cmdNuevo_Click()
{
    if (!ficha_->PuedeDejar()) return;
    ficha_->Nueva();
    grid->clearSelection();
    for (CCaptura* c : {capDescripcion, capIdSuc, capDCorta, capTelefono, capTerminales, capDirRemota}) c->setText({});
    capDireccion->clear();
    // A row not stored yet has no files to make: the save makes them.
    cmdGenerar->setEnabled(false);
    capIdSuc->setFocus();
}

void frmSucursales::cmdGuardar_Click()
{
    const bool agregando = ficha_->nueva();
    if ((!agregando && !Guardada()) || !shell::PuedeEscribir(QStringLiteral("Sucursales"), prompts())) return;
    db::Error e;
    db::Database* central = shell::BDCodigos(&e);
    if (!central) {
        prompts().message(QStringLiteral("No se pudo abrir el catálogo de sucursales: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
        return;
    }
    // A new branch rereads the branch list, which closes the program's files.
    if (agregando && !shell::SinVentanasAbiertas(prompts(), {this})) return;
    const Sucursal s = Pantalla();
    guardando_ = true;
    if (agregando) {
        const bool bien = AltaSucursal(*central, s, prompts());
        guardando_ = false;
        if (!bien) return;
        // LeerSucursales closes the shell's files; the catalogue reopens them.
        shell::LeerSucursales();
        ficha_->Muestra(s.IdSucursal.trimmed());
        Recarga(s.IdSucursal.trimmed().toLongLong(), int(filas_.size()));
        prompts().message(QStringLiteral("Se agrego la sucursal, para actualizar la informacion de la nueva sucursal ") +
                              QStringLiteral(" es necesario salir y volver a entrar del sistema."),
                          ui::Icon::None);
        return;
    }
    const Sucursal original = *Guardada();
    const bool bien = ModificaSucursal(*central, original.IdSucursal.toLongLong(), original, s, prompts());
    guardando_ = false;
    if (bien) {
        ficha_->Muestra(s.IdSucursal.trimmed());
        Recarga(s.IdSucursal.trimmed().toLongLong(), pos_);
    }
}

void frmSucursales::cmdGenerar_Click()
{
    const Sucursal* s = Guardada();
    if (!s) {
        prompts().message(QStringLiteral("Guarde la sucursal antes de generar sus archivos."), ui::Icon::None);
        return;
    }
    if (!shell::PuedeEscribir(QStringLiteral("Sucursales"), prompts())) return;
    GeneraArchivos(*s, prompts());
}

void frmSucursales::cmdBorrar_Click()
{
    if (ficha_->nueva()) {
        // Only the branch being typed goes; the one shown before comes back.
        ficha_->Descarta();
        MueveA(pos_);
        return;
    }
    const Sucursal* s = Guardada();
    if (s && shell::PuedeEscribir(QStringLiteral("Sucursales"), prompts()) && shell::SinVentanasAbiertas(prompts(), {this}))
        BorraArchivoSucursal(*s, prompts());
}

void frmSucursales::cmdCambiaSuc_Click()
{
    const Sucursal* s = Guardada();
    if (s && shell::PuedeEscribir(QStringLiteral("Sucursales"), prompts()) && shell::SinVentanasAbiertas(prompts(), {this})) {
        CambiaSucursalActiva(*s, shell::FormaAbierta(QStringLiteral("frmVenta")), prompts());
        MuestraActiva();
    }
    cmdCerrar->setFocus();
}

void frmSucursales::cmdExplorar_Click()
{
    const QString ruta = chooser().openFile(QStringLiteral("Base de datos remota"), QDir::homePath(),
                                            QStringLiteral("Bases de datos (*.db);;Todos los archivos (*)"));
    if (ruta.isEmpty()) return;
    capDirRemota->setText(ConExtensionBD(QDir::toNativeSeparators(ruta)).left(60));
}

void frmSucursales::cmdCerrar_Click() { close(); }

void frmSucursales::cmdSincronizar_Click()
{
    G().SucursalSinc = capDCorta->Text();
    // Beside the catalogue in the main window when there is one.
    AbreSincronizar(qobject_cast<shell::MIDI*>(window()));
}

frmSucursales* AbreSucursales(shell::MIDI* midi) { return AbreForma<frmSucursales>(midi); }

}  // namespace sucursales
