#include "admin/forms/frmabpersonal.h"

#include "admin/forms/campos.h"
#include "capture_control/ccaptura.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace admin {

namespace {

constexpr int kTabUsuarios = 0;
constexpr int kTabPermisos = 1;
constexpr int kRolId = Qt::UserRole;
constexpr int kRolLlave = Qt::UserRole + 1;

QTreeWidget* creaArbol(QWidget* padre, const QString& nombre)
{
    auto* t = new QTreeWidget(padre);
    t->setObjectName(nombre);
    t->setHeaderHidden(true);
    t->setColumnCount(1);
    t->setRootIsDecorated(true);
    t->setIndentation(16);
    return t;
}

}  // namespace

frmABPersonal::frmABPersonal(QWidget* parent, db::Database* codigos, ui::Prompts* prompts)
    : QWidget(parent), codigos_(codigos), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmABPersonal"));
    setWindowTitle(QStringLiteral("CATALOGO DE PERSONAL."));
    auto* raiz = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    raiz->addWidget(SSTab1);

    auto* usuarios = new QWidget(SSTab1);
    auto* u = new QVBoxLayout(usuarios);
    u->addWidget(new QLabel(QStringLiteral("Seleccione los permisos a los que el usuario tendra acceso:"), usuarios));
    TV2 = creaArbol(usuarios, QStringLiteral("TV2"));
    u->addWidget(TV2, 1);
    SSTab1->addTab(usuarios, QStringLiteral("Usuarios"));
    SSTab1->addTab(CreaTabPermisos(), QStringLiteral("Permisos"));

    // The catalogue is locked at every opening; the code typed after a double click unlocks it.
    SSTab1->setTabEnabled(kTabPermisos, false);
    SSTab1->setCurrentIndex(kTabUsuarios);
    connect(SSTab1->tabBar(), &QTabBar::tabBarDoubleClicked, this, [this](int) { SSTab1_DblClick(); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* ahora) {
        if (ahora && capPermisoPadre->isAncestorOf(ahora))
            AlEntrarPadre();
    });

    G().ModoVenta = QStringLiteral("Catalogo de Personal");
    AbrePermisos();
}

QWidget* frmABPersonal::CreaTabPermisos()
{
    auto* tab = new QWidget(SSTab1);
    auto* g = new QGridLayout(tab);
    TV1 = creaArbol(tab, QStringLiteral("TV1"));
    g->addWidget(TV1, 0, 0, 8, 1);
    g->setColumnStretch(0, 1);
    g->setColumnStretch(1, 1);

    lblNombrePermiso = new QLabel(QStringLiteral("Nombre Permiso:"), tab);
    capNombrePermiso = new QLineEdit(tab);
    capNombrePermiso->setObjectName(QStringLiteral("capNombrePermiso"));
    capNombrePermiso->setMaxLength(50);
    lblNombrePermiso->setBuddy(capNombrePermiso);
    auto* lblDescripcion = new QLabel(QStringLiteral("Descripcion Permiso:"), tab);
    capDescripcionPermiso = new QLineEdit(tab);
    capDescripcionPermiso->setObjectName(QStringLiteral("capDescripcionPermiso"));
    capDescripcionPermiso->setMaxLength(255);
    lblDescripcion->setBuddy(capDescripcionPermiso);
    capPermisoPadre = CreaCampo(tab, QStringLiteral("capPermisoPadre"), QStringLiteral("Permiso Padre:"), 50);

    g->addWidget(lblNombrePermiso, 0, 1);
    g->addWidget(capNombrePermiso, 1, 1);
    g->addWidget(lblDescripcion, 2, 1);
    g->addWidget(capDescripcionPermiso, 3, 1);
    g->addWidget(capPermisoPadre, 4, 1);

    auto* botones = new QHBoxLayout;
    cmdAgregarPermiso = new QPushButton(QStringLiteral("Agregar"), tab);
    cmdActualizar = new QPushButton(QStringLiteral("Actualiza"), tab);
    cmdBorrarPermiso = new QPushButton(QStringLiteral("Borrar"), tab);
    cmdAgregarPermiso->setObjectName(QStringLiteral("cmdAgregarPermiso"));
    cmdActualizar->setObjectName(QStringLiteral("cmdActualizar"));
    cmdBorrarPermiso->setObjectName(QStringLiteral("cmdBorrarPermiso"));
    for (QPushButton* b : {cmdAgregarPermiso, cmdActualizar, cmdBorrarPermiso}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    g->addLayout(botones, 5, 1);
    g->setRowStretch(7, 1);

    connect(cmdAgregarPermiso, &QPushButton::clicked, this, &frmABPersonal::cmdAgregarPermiso_Click);
    connect(cmdActualizar, &QPushButton::clicked, this, &frmABPersonal::cmdActualizar_Click);
    connect(cmdBorrarPermiso, &QPushButton::clicked, this, &frmABPersonal::cmdBorrarPermiso_Click);
    connect(TV1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* n, int) { TV1_NodeClick(n); });
    HabilitaCamposPermiso(false);
    return tab;
}

db::Database* frmABPersonal::Codigos() const { return codigos_ ? codigos_ : shell::BDCodigos(); }

ui::Prompts& frmABPersonal::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmABPersonal::AbrePermisos()
{
    db::Database* bd = Codigos();
    db::Error e;
    std::optional<std::vector<Permiso>> filas;
    if (bd)
        filas = LeePermisos(*bd, &e);
    if (!filas) {
        prompts().message(QStringLiteral("No se pudo leer el catálogo de permisos: ") + e.message, ui::Icon::Critical);
        permisos_.clear();
    } else {
        permisos_ = std::move(*filas);
    }
    CargaArbolPermisos();
}

void frmABPersonal::CargaArbolPermisos()
{
    const ArbolPermisos arbol = ArmaArbol(permisos_);
    for (QTreeWidget* t : {TV1, TV2}) {
        t->clear();
        std::vector<QTreeWidgetItem*> items(arbol.nodos.size(), nullptr);
        // Parents first: walk from the roots down.
        std::vector<int> pendientes(arbol.raices.rbegin(), arbol.raices.rend());
        while (!pendientes.empty()) {
            const int i = pendientes.back();
            pendientes.pop_back();
            const NodoPermiso& n = arbol.nodos[size_t(i)];
            QTreeWidgetItem* item = n.padre < 0 ? new QTreeWidgetItem(t) : new QTreeWidgetItem(items[size_t(n.padre)]);
            item->setText(0, n.texto);
            item->setData(0, kRolId, n.id);
            item->setData(0, kRolLlave, n.llave);
            if (t == TV2)
                item->setCheckState(0, Qt::Unchecked);
            items[size_t(i)] = item;
            for (auto h = n.hijos.rbegin(); h != n.hijos.rend(); ++h)
                pendientes.push_back(*h);
        }
        t->expandAll();
    }
    for (const QString& aviso : arbol.avisos)
        prompts().message(aviso, ui::Icon::Information);
}

QString frmABPersonal::BuscaLlaveNodo(const QString& nombre) const
{
    return admin::BuscaLlaveNodo(ArmaArbol(permisos_), nombre);
}

QString frmABPersonal::BuscaPermiso(const QString& nombre, bool modoId) const
{
    return admin::BuscaPermiso(permisos_, nombre, modoId);
}

bool frmABPersonal::PermisosDesbloqueados() const { return SSTab1->isTabEnabled(kTabPermisos); }

void frmABPersonal::SSTab1_DblClick()
{
    const QString r = prompts().input(QStringLiteral("Teclea la constraseña: "), QString());
    if (EsClavePermisos(r))
        SSTab1->setTabEnabled(kTabPermisos, true);
}

void frmABPersonal::HabilitaCamposPermiso(bool activo)
{
    capNombrePermiso->setEnabled(activo);
    capDescripcionPermiso->setEnabled(activo);
    capPermisoPadre->setEnabled(activo);
}

void frmABPersonal::TV1_NodeClick(QTreeWidgetItem* nodo)
{
    if (!nodo)
        return;
    ultimoNodo_ = nodo->data(0, kRolId).toLongLong();
    textoUltimoNodo_ = nodo->text(0);
    if (!permisoNuevo_) {
        capNombrePermiso->setText(nodo->text(0));
        capPermisoPadre->setText(nodo->parent() ? nodo->parent()->text(0) : QString());
        capDescripcionPermiso->setText(BuscaPermiso(nodo->text(0), false));
        HabilitaCamposPermiso(true);
    }
    const QString num = QStringLiteral("Num-") + BuscaPermiso(nodo->text(0), true);
    capNombrePermiso->setToolTip(num);
    lblNombrePermiso->setToolTip(num);
}

void frmABPersonal::AlEntrarPadre()
{
    if (permisoNuevo_ && ultimoNodo_ >= 0)
        capPermisoPadre->setText(textoUltimoNodo_);
}

void frmABPersonal::cmdAgregarPermiso_Click()
{
    permisoNuevo_ = true;
    capNombrePermiso->clear();
    capDescripcionPermiso->clear();
    capPermisoPadre->setText(QString());
    HabilitaCamposPermiso(true);
    capNombrePermiso->setFocus();
}

void frmABPersonal::cmdActualizar_Click()
{
    if (!permisoNuevo_ && ultimoNodo_ < 0)
        return;
    db::Database* bd = Codigos();
    if (!bd) {
        prompts().message(QStringLiteral("No se pudo abrir el catálogo de permisos."), ui::Icon::Critical);
        return;
    }
    Permiso p;
    p.NombrePermiso = capNombrePermiso->text();
    p.DescripcionPermiso = capDescripcionPermiso->text();
    p.PermisoPadre = capPermisoPadre->Text();
    const ResultadoPermiso r =
        GuardaPermiso(*bd, permisoNuevo_ ? std::nullopt : std::optional<qint64>(ultimoNodo_), p);
    if (!r.ok) {
        prompts().message(r.mensaje, ui::Icon::Critical);
        return;
    }
    HabilitaCamposPermiso(false);
    permisoNuevo_ = false;
    ultimoNodo_ = r.id;
    textoUltimoNodo_ = p.NombrePermiso;
    AbrePermisos();
}

void frmABPersonal::cmdBorrarPermiso_Click()
{
    if (ultimoNodo_ < 0)
        return;
    db::Database* bd = Codigos();
    if (!bd) {
        prompts().message(QStringLiteral("No se pudo abrir el catálogo de permisos."), ui::Icon::Critical);
        return;
    }
    const QString motivo = RevisaBorrado(*bd, ultimoNodo_);
    if (!motivo.isEmpty()) {
        prompts().message(motivo, ui::Icon::Information);
        if (motivo == QLatin1String(kNodoNoEncontrado))
            AbrePermisos();
        return;
    }
    if (prompts().question(QStringLiteral("Desea borrar el permiso ") + textoUltimoNodo_ +
                               QStringLiteral(" y quitarlo a los usuarios que lo tienen ?"),
                           QStringLiteral("Confirmar."))
        != ui::Answer::Yes)
        return;
    const ResultadoPermiso r = BorraPermiso(*bd, ultimoNodo_);
    if (!r.ok) {
        prompts().message(r.mensaje, ui::Icon::Critical);
        return;
    }
    ultimoNodo_ = -1;
    textoUltimoNodo_.clear();
    capNombrePermiso->clear();
    capDescripcionPermiso->clear();
    capPermisoPadre->setText(QString());
    HabilitaCamposPermiso(false);
    AbrePermisos();
}

frmABPersonal* AbreABPersonal(shell::MIDI* midi)
{
    auto* forma = shell::Forma<frmABPersonal>();
    if (midi)
        midi->MuestraEnMDI(forma);
    else
        forma->show();
    forma->activateWindow();
    return forma;
}

}  // namespace admin
