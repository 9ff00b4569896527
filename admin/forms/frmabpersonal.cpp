#include "shell/forms/ficha.h"
#include "shell/rutinas_bd.h"
#include "admin/forms/frmabpersonal.h"

#include "admin/forms/campos.h"
#include "capture_control/ccaptura.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidgetItemIterator>
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
constexpr int kRolNodo = Qt::UserRole + 2;  // index in the tree's nodes

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

frmABPersonal::frmABPersonal(QWidget* parent, db::Database* codigos, ui::Prompts* avisos)
    : QWidget(parent), codigos_(codigos), prompts_(avisos)
{
    setObjectName(QStringLiteral("frmABPersonal"));
    setWindowTitle(QStringLiteral("CATALOGO DE PERSONAL."));
    auto* raiz = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    raiz->addWidget(SSTab1);

    SSTab1->addTab(CreaTabUsuarios(), QStringLiteral("Usuarios"));
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
    if (db::Database* bd = Codigos()) {
        db::Error e;
        if (auto c = LeeCatalogoDerechos(*bd, &e))
            derechosCatalogo_ = std::move(*c);
        else
            prompts().message(QStringLiteral("No se pudo leer el catálogo de derechos: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
    }
    for (const auto& [pos, descripcion] : derechosCatalogo_) {
        auto* item = new QListWidgetItem(descripcion, lstPermisos);
        item->setData(Qt::UserRole, pos);
    }
    shell::ListaLegible(lstPermisos);
    // The grants tree's own fields edit the tree, not the user on the card.
    ficha_ = new shell::Ficha(this, [this]() -> ui::Prompts& { return this->prompts(); },
                              {SSTab1->widget(kTabPermisos), CCaptura1, CCaptura2});
    for (CCaptura* busca : {CCaptura1, CCaptura2})
        ficha_->GuardaBusqueda(busca->findChild<QLineEdit*>());
    ficha_->GuardaFilas(DBGrid1);
    AbrePermisos();
    LeeLista(0);
}

QWidget* frmABPersonal::CreaTabUsuarios()
{
    auto* tab = new QWidget(SSTab1);
    auto* raiz = new QGridLayout(tab);

    // Left: the searches and the user list.
    auto* izquierda = new QVBoxLayout;
    CCaptura1 = kestril::CreaCampoCaptura(tab, QStringLiteral("CCaptura1"), QStringLiteral("Nombre de Usuario"), 30);
    CCaptura2 = kestril::CreaCampoCaptura(tab, QStringLiteral("CCaptura2"), QStringLiteral("Apellido Paterno:"), 60);
    izquierda->addWidget(CCaptura1);
    izquierda->addWidget(CCaptura2);
    DBGrid1 = new QTableView(tab);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    modelo_ = new QStandardItemModel(0, 5, this);
    modelo_->setHorizontalHeaderLabels({QStringLiteral("Clave"), QStringLiteral("Paterno"), QStringLiteral("Materno"),
                                        QStringLiteral("Nombre"), QStringLiteral("Usuario")});
    DBGrid1->setModel(modelo_);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    shell::GridLegible(DBGrid1);
    izquierda->addWidget(DBGrid1, 1);
    raiz->addLayout(izquierda, 0, 0, 2, 1);

    // Middle: the user's data.
    auto* datos = new QGridLayout;
    lblClaveP = new QLabel(tab);
    lblClaveP->setObjectName(QStringLiteral("lblClaveP"));
    datos->addWidget(new QLabel(QStringLiteral("Clave Personal:"), tab), 0, 0);
    datos->addWidget(lblClaveP, 0, 1);
    capApellidoP = kestril::CreaCampoCaptura(tab, QStringLiteral("capApellidoP"), QStringLiteral("Apellido Paterno:"), 30);
    capApellidoM = kestril::CreaCampoCaptura(tab, QStringLiteral("capApellidoM"), QStringLiteral("Apellido Materno:"), 30);
    capNombres = kestril::CreaCampoCaptura(tab, QStringLiteral("capNombres"), QStringLiteral("Nombre(s):"), 40);
    capDomicilio = kestril::CreaCampoCaptura(tab, QStringLiteral("capDomicilio"), QStringLiteral("Domicilio:"), 100);
    capNombreU = kestril::CreaCampoCaptura(tab, QStringLiteral("capNombreU"), QStringLiteral("Nombre de Usuario"), 30);
    capPermIguala = kestril::CreaCampoCaptura(tab, QStringLiteral("capPermIguala"), QStringLiteral("+Permisos Usuario:"), 30);
    capNiveles = kestril::CreaCampoCaptura(tab, QStringLiteral("capNiveles"), QStringLiteral("Acceso a Niveles:"), 10);
    capNiveles->setLocked(true);
    capClaveAcceso = new QLineEdit(tab);
    capClaveAcceso->setObjectName(QStringLiteral("capClaveAcceso"));
    capClaveAcceso->setEchoMode(QLineEdit::Password);
    capClaveAcceso->setMaxLength(30);
    capClaveAcceso->setPlaceholderText(QStringLiteral("(sin cambio)"));
    int f = 1;
    for (CCaptura* c : {capApellidoP, capApellidoM, capNombres, capDomicilio, capNombreU})
        datos->addWidget(c, f++, 0, 1, 2);
    datos->addWidget(new QLabel(QStringLiteral("Clave de Acceso:"), tab), f, 0);
    datos->addWidget(capClaveAcceso, f++, 1);
    datos->addWidget(capPermIguala, f++, 0, 1, 2);
    datos->addWidget(capNiveles, f++, 0, 1, 2);
    datos->setRowStretch(f, 1);
    raiz->addLayout(datos, 0, 1);

    // Right: the grants tree.
    auto* arbol = new QVBoxLayout;
    arbol->addWidget(new QLabel(QStringLiteral("Seleccione los permisos a los que el usuario tendra acceso:"), tab));
    TV2 = creaArbol(tab, QStringLiteral("TV2"));
    arbol->addWidget(TV2, 1);
    arbol->addWidget(new QLabel(QStringLiteral("Descripcion Permiso:"), tab));
    txtDescripPerm2 = new QLineEdit(tab);
    txtDescripPerm2->setObjectName(QStringLiteral("txtDescripPerm2"));
    txtDescripPerm2->setReadOnly(true);
    arbol->addWidget(txtDescripPerm2);
    raiz->addLayout(arbol, 0, 2, 2, 1);

    // Below the data: the rights the user has and the catalogue of rights.
    auto* derechos = new QGridLayout;
    List1 = new QListWidget(tab);
    List1->setObjectName(QStringLiteral("List1"));
    lstPermisos = new QListWidget(tab);
    lstPermisos->setObjectName(QStringLiteral("lstPermisos"));
    cmdAsignaP = new QPushButton(QStringLiteral("<-- Asigna"), tab);
    cmdQuitaP = new QPushButton(QStringLiteral("Quita -->"), tab);
    auto* flechas = new QVBoxLayout;
    flechas->addStretch();
    flechas->addWidget(cmdAsignaP);
    flechas->addWidget(cmdQuitaP);
    flechas->addStretch();
    derechos->addWidget(new QLabel(QStringLiteral("Permisos:"), tab), 0, 0);
    derechos->addWidget(List1, 1, 0);
    derechos->addLayout(flechas, 1, 1);
    derechos->addWidget(lstPermisos, 1, 2);
    raiz->addLayout(derechos, 1, 1);
    raiz->setColumnStretch(0, 2);
    raiz->setColumnStretch(1, 2);
    raiz->setColumnStretch(2, 2);

    auto* botones = new QHBoxLayout;
    cmdAgregar = new QPushButton(QStringLiteral("&Agregar Usuario"), tab);
    cmdActualiza = new QPushButton(QStringLiteral("&Guardar"), tab);
    cmdBorrar = new QPushButton(QStringLiteral("&Borrar"), tab);
    cmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), tab);
    for (QPushButton* b : {cmdAgregar, cmdActualiza, cmdBorrar, cmdCerrar}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    cmdAsignaP->setAutoDefault(false);
    cmdQuitaP->setAutoDefault(false);
    raiz->addLayout(botones, 2, 0, 1, 3);

    connect(cmdAgregar, &QPushButton::clicked, this, &frmABPersonal::cmdAgregar_Click);
    connect(cmdActualiza, &QPushButton::clicked, this, &frmABPersonal::cmdActualiza_Click);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmABPersonal::cmdBorrar_Click);
    connect(cmdAsignaP, &QPushButton::clicked, this, &frmABPersonal::cmdAsignaP_Click);
    connect(cmdQuitaP, &QPushButton::clicked, this, &frmABPersonal::cmdQuitaP_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &frmABPersonal::cmdCerrar_Click);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual) {
                if (!llenando_ && actual.isValid() && actual.row() != fila_)
                    MueveA(actual.row());
            });
    connect(CCaptura1, &CCaptura::Change, this, [this] {
        if (db::Database* bd = Codigos())
            VaAUsuario(BuscaPorNombreUsuario(*bd, CCaptura1->Text()));
    });
    connect(CCaptura2, &CCaptura::Change, this, [this] { BuscaNombreCompleto(CCaptura2->Text()); });
    for (CCaptura* c : {capApellidoP, capApellidoM, capNombres})
        connect(c, &CCaptura::Change, this, &frmABPersonal::AlCambiarNombreNuevo);
    // A box ticked or cleared by the person takes the nodes under and above it along.
    connect(TV2, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* n, int columna) {
        if (pintando_ || !n || columna != 0)
            return;
        otorgados_ = CambiaMarca(arbol_, otorgados_, n->data(0, kRolNodo).toInt());
        ficha_->Modifica();
        PintaMarcas();
    });
    connect(TV2, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* n, int) {
        if (n)
            txtDescripPerm2->setText(BuscaPermiso(n->text(0), false));
    });
    return tab;
}

void frmABPersonal::LeeLista(int filaMostrar)
{
    usuarios_.clear();
    if (db::Database* bd = Codigos()) {
        db::Error e;
        if (auto l = LeeUsuarios(*bd, &e))
            usuarios_ = std::move(*l);
        else
            prompts().message(QStringLiteral("No se pudo leer la lista de usuarios: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
    }
    llenando_ = true;
    modelo_->removeRows(0, modelo_->rowCount());
    for (const Usuario& u : usuarios_) {
        QList<QStandardItem*> celdas;
        for (const QString& t : {QString::number(u.ClavePersonal), u.PApellidoPat, u.PApellidoMat, u.PNombres,
                                 u.NombreUsuario})
            celdas << new QStandardItem(t);
        modelo_->appendRow(celdas);
    }
    shell::GridLegible(DBGrid1);
    llenando_ = false;
    fila_ = -1;
    if (!usuarios_.empty())
        MueveA(std::clamp(filaMostrar, 0, Registros() - 1));
    else
        ficha_->Muestra({});
}

void frmABPersonal::MueveA(int fila)
{
    if (fila < 0 || fila >= Registros())
        return;
    fila_ = fila;
    llenando_ = true;
    DBGrid1->selectionModel()->setCurrentIndex(modelo_->index(fila, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    DBGrid1->scrollTo(modelo_->index(fila, 0));
    llenando_ = false;
    // While a new user is being entered the list only moves; the fields keep what is typed.
    if (!ficha_->nueva())
        MuestraUsuario();
}

void frmABPersonal::VaAUsuario(std::optional<qint64> id)
{
    if (!id)
        return;
    for (int i = 0; i < Registros(); ++i)
        if (usuarios_[size_t(i)].ClavePersonal == *id)
            return MueveA(i);
}

void frmABPersonal::BuscaNombreCompleto(const QString& texto)
{
    if (db::Database* bd = Codigos())
        VaAUsuario(BuscaPorNombreCompleto(*bd, texto));
}

void frmABPersonal::AlCambiarNombreNuevo()
{
    if (ficha_->nueva())
        BuscaNombreCompleto(capApellidoP->Text() + QLatin1Char(' ') + capApellidoM->Text() + QLatin1Char(' ') +
                            capNombres->Text());
}

void frmABPersonal::MuestraUsuario()
{
    if (fila_ < 0 || fila_ >= Registros())
        return;
    const Usuario& u = usuarios_[size_t(fila_)];
    lblClaveP->setText(QString::number(u.ClavePersonal));
    capNiveles->setText(u.Niveles);
    capDomicilio->setText(u.Domicilio);
    capNombreU->setText(u.NombreUsuario);
    capClaveAcceso->clear();  // the stored hash is never shown; empty keeps it
    capApellidoP->setText(u.PApellidoPat);
    capApellidoM->setText(u.PApellidoMat);
    capNombres->setText(u.PNombres);
    capPermIguala->setText(u.PermisosIguala);
    derechos_ = u.Derechos;
    DeterminaDerechos();
    std::vector<qint64> grants;
    if (db::Database* bd = Codigos()) {
        db::Error e;
        if (auto g = LeeGrants(*bd, u.ClavePersonal, &e))
            grants = std::move(*g);
        else
            prompts().message(QStringLiteral("No se pudieron leer los permisos del usuario: ") + shell::TextoErrorBD(e),
                              ui::Icon::Critical);
    }
    MarcaGrants(grants);
    ficha_->Muestra(u.ClavePersonal);
}

void frmABPersonal::MarcaGrants(const std::vector<qint64>& ids)
{
    otorgados_ = ids;
    PintaMarcas();
}

void frmABPersonal::PintaMarcas()
{
    pintando_ = true;
    for (QTreeWidgetItemIterator it(TV2); *it; ++it) {
        const Marca m = MarcaNodo(arbol_, otorgados_, (*it)->data(0, kRolNodo).toInt());
        (*it)->setCheckState(0, m == Marca::Completa ? Qt::Checked
                                : m == Marca::Parcial ? Qt::PartiallyChecked
                                                      : Qt::Unchecked);
    }
    pintando_ = false;
}

std::vector<qint64> frmABPersonal::Marcados() const
{
    // A partly ticked node is granted itself (MarcaNodo).
    std::vector<qint64> v;
    for (QTreeWidgetItemIterator it(TV2); *it; ++it)
        if ((*it)->checkState(0) != Qt::Unchecked)
            v.push_back((*it)->data(0, kRolId).toLongLong());
    return v;
}

void frmABPersonal::DeterminaDerechos()
{
    derechos_ = RellenaDerechos(derechos_);
    List1->clear();
    List1->addItems(ItemsDerechos(derechos_, derechosCatalogo_));
    shell::ListaLegible(List1);
}

bool frmABPersonal::ChecaCampos() const { return admin::ChecaCampos(DatosEnPantalla(), ficha_->nueva()); }

DatosUsuario frmABPersonal::DatosEnPantalla() const
{
    DatosUsuario d;
    d.PApellidoPat = capApellidoP->Text();
    d.PApellidoMat = capApellidoM->Text();
    d.PNombres = capNombres->Text();
    d.Domicilio = capDomicilio->Text();
    d.NombreUsuario = capNombreU->Text();
    d.PermisosIguala = capPermIguala->Text();
    d.Clave = capClaveAcceso->text();
    d.Derechos = derechos_;
    d.Permisos = Marcados();
    return d;
}

void frmABPersonal::cmdAsignaP_Click()
{
    QListWidgetItem* elegido = lstPermisos->currentItem();
    if (!elegido)
        return;
    const int p = elegido->data(Qt::UserRole).toInt();
    if (p < 1 || p > kLargoDerechos || RellenaDerechos(derechos_).at(p - 1) == QLatin1Char('1'))
        return;
    derechos_ = AsignaDerecho(derechos_, p);
    DeterminaDerechos();
    ficha_->Modifica();
}

void frmABPersonal::cmdQuitaP_Click()
{
    QListWidgetItem* item = List1->currentItem();
    if (!item)
        return;
    derechos_ = QuitaDerecho(derechos_, PosicionDeItem(item->text()));
    DeterminaDerechos();
    ficha_->Modifica();
}

void frmABPersonal::cmdAgregar_Click()
{
    if (!ficha_->PuedeDejar())
        return;
    ficha_->Nueva();
    DBGrid1->clearSelection();
    derechos_ = DerechosNuevo();
    lblClaveP->clear();
    capApellidoP->setText(QStringLiteral("Nuevo"));
    for (CCaptura* c : {capApellidoM, capNombres, capNombreU, capDomicilio})
        c->setText(QString());
    capClaveAcceso->clear();
    // A new user is granted nothing until ticked here: the grants of the user shown before (and
    // those it received from another user) are not passed on. The rights list shows the new
    // user's string, which is what the save stores.
    capPermIguala->setText(QString());
    MarcaGrants({});
    DeterminaDerechos();
    capApellidoP->SetFocus();
}

void frmABPersonal::cmdActualiza_Click()
{
    if (ficha_->estado() == shell::Ficha::Estado::Vacia || !shell::PuedeEscribir(QStringLiteral("Usuarios"), prompts()))
        return;
    db::Database* bd = Codigos();
    if (!bd) {
        prompts().message(QStringLiteral("No se pudo abrir el catálogo de usuarios."), ui::Icon::Critical);
        return;
    }
    const std::optional<qint64> id =
        ficha_->nueva() ? std::nullopt : std::optional<qint64>(ficha_->clave().toLongLong());
    const ResultadoUsuario r = GuardaUsuario(*bd, id, DatosEnPantalla(), G().ClaveUsuario);
    if (!r.ok) {
        prompts().message(r.mensaje, r.mensaje.startsWith(QLatin1String(kCamposIncorrectos)) ? ui::Icon::Information
                                                                                     : ui::Icon::Critical);
        return;
    }
    // The card and the list show the user just saved.
    ficha_->Muestra(r.id);
    LeeLista(0);
    VaAUsuario(r.id);
}

void frmABPersonal::cmdBorrar_Click()
{
    if (ficha_->nueva()) {
        // Only the user being typed goes; the one shown before comes back.
        ficha_->Descarta();
        MuestraUsuario();
        return;
    }
    if (!ficha_->guardada() || fila_ < 0 || !shell::PuedeEscribir(QStringLiteral("Usuarios"), prompts()))
        return;
    const Usuario u = usuarios_[size_t(fila_)];
    const QString motivo = RevisaBorradoUsuario(u.ClavePersonal, G().ClaveUsuario);
    if (!motivo.isEmpty()) {
        prompts().message(motivo, ui::Icon::Information);
        return;
    }
    if (prompts().question(QStringLiteral("Desea borrar el usuario ") + u.NombreUsuario + QStringLiteral(" ?"),
                           QStringLiteral("Confirmar."))
        != ui::Answer::Yes)
        return;
    db::Database* bd = Codigos();
    const ResultadoUsuario r = bd ? BorraUsuario(*bd, u.ClavePersonal, G().ClaveUsuario)
                                  : ResultadoUsuario{false, QStringLiteral("No se pudo abrir el catálogo de usuarios."), 0};
    if (!r.ok)
        prompts().message(r.mensaje, ui::Icon::Critical);
    // The neighbour now in its place (or the list as another terminal left it).
    LeeLista(fila_);
}

void frmABPersonal::cmdCerrar_Click()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
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
    capPermisoPadre = kestril::CreaCampoCaptura(tab, QStringLiteral("capPermisoPadre"), QStringLiteral("Permiso Padre:"), 50);

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
        prompts().message(QStringLiteral("No se pudo leer el catálogo de permisos: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
        permisos_.clear();
    } else {
        permisos_ = std::move(*filas);
    }
    CargaArbolPermisos();
}

void frmABPersonal::CargaArbolPermisos()
{
    arbol_ = ArmaArbol(permisos_);
    const ArbolPermisos& arbol = arbol_;
    // The grants being edited survive a change of the catalogue.
    const std::vector<qint64> marcados = Marcados();
    // Building the nodes is no click of the person's.
    pintando_ = true;
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
            item->setData(0, kRolNodo, i);
            if (t == TV2)
                item->setCheckState(0, Qt::Unchecked);
            items[size_t(i)] = item;
            for (auto h = n.hijos.rbegin(); h != n.hijos.rend(); ++h)
                pendientes.push_back(*h);
        }
        t->expandAll();
    }
    pintando_ = false;
    MarcaGrants(marcados);
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
    if ((!permisoNuevo_ && ultimoNodo_ < 0) || !shell::PuedeEscribir(QStringLiteral("Usuarios"), prompts()))
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
    if (ultimoNodo_ < 0 || !shell::PuedeEscribir(QStringLiteral("Usuarios"), prompts()))
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
