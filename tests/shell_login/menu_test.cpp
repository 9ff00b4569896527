#include "campos_visibles.h"
#include "entorno.h"

#include "admin/permisos.h"
#include "shell/avisos.h"
#include "shell/estado.h"
#include "shell/forms/frmlogin.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/login.h"
#include "shell/menu.h"
#include "shell/permisos.h"
#include "shell/texto.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace shell;

namespace {

// The personal items every user has, whatever his grants (exit is on the toolbar as well).
const char* const kPersonales[] = {"Salir", "TSesion", "CClave"};

// Runs `fn` on the login dialog once it is up (it is modal); gives up after a few seconds.
void alAparecerLogin(std::function<void(frmLogin*)> fn) {
    auto* t = new QTimer;
    auto intentos = std::make_shared<int>(0);
    QObject::connect(t, &QTimer::timeout, [t, fn, intentos] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<frmLogin*>(w); d && d->isVisible() && QApplication::activeModalWidget() == d) {
                t->stop();
                t->deleteLater();
                return fn(d);
            }
        if (++*intentos > 250) {
            t->stop();
            t->deleteLater();
            ADD_FAILURE() << "no login dialog";
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<frmLogin*>(w)) d->reject();
        }
    });
    t->start(20);
}

}  // namespace

class Menu : public Entorno {
protected:
    void SetUp() override {
        Entorno::SetUp();
        if (HasFatalFailure()) return;
        m = std::make_unique<MIDI>();
    }
    void TearDown() override {
        m.reset();
        Entorno::TearDown();
    }
    // Every item acts (counted), so only the permissions decide.
    void todasConAccion() {
        for (const QString& n : OpcionesMenu())
            if (n != "Salir" && n != "TSesion") m->AsignaAccion(n, [this, n] { ++clics[n]; });
    }
    bool activo(const QString& n) { return m->accion(n) && m->accion(n)->isEnabled(); }
    std::unique_ptr<MIDI> m;
    QHash<QString, int> clics;
};

// Walks every item of the menu bar: each one but the personal ones hangs on a node of the grants
// tree as the setup tool seeds it. Ticking that node (with what the tree brings along) makes the item
// reachable and gives no item of another node; every grant but that one leaves it off.
TEST_F(Menu, EveryMenuItemIsGivenByItsNodeOfTheGrantsTreeAndByNoOther) {
    todasConAccion();
    ConectaMenu(m.get());
    auto c = central();
    ASSERT_TRUE(c);
    auto filas = admin::LeePermisos(*c);
    ASSERT_TRUE(filas);
    const admin::ArbolPermisos arbol = admin::ArmaArbol(*filas);
    auto nodo = [&](int id) {
        for (size_t i = 0; i < arbol.nodos.size(); ++i)
            if (arbol.nodos[i].id == id) return int(i);
        return -1;
    };
    std::vector<std::pair<QAction*, QMenu*>> items;
    for (QMenu* menu : m->menuBar()->findChildren<QMenu*>())
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && !a->menu()) items.emplace_back(a, menu);
    ASSERT_EQ(int(items.size()), OpcionesMenu().size());
    auto alcanzable = [](const std::pair<QAction*, QMenu*>& i) {
        return i.first->isEnabled() && i.second->menuAction()->isEnabled();
    };
    for (const auto& item : items) {
        const QString nombre = item.first->objectName();
        SCOPED_TRACE(nombre.toStdString());
        LimpiaPermisos();
        DeshabilitaMenus();
        AplicaPermisosMenu();
        if (std::find(std::begin(kPersonales), std::end(kPersonales), nombre) != std::end(kPersonales)) {
            EXPECT_TRUE(item.first->isEnabled());  // exit sits in the catalogue menu but is on the toolbar too
            continue;
        }
        EXPECT_FALSE(alcanzable(item));
        const int n = nodo(PermisoDeOpcion(nombre));
        ASSERT_GE(n, 0) << "no node of the tree gives it";
        EXPECT_GE(arbol.nodos[size_t(n)].padre, 0) << "a whole menu gives it";
        const std::vector<qint64> otorgados = admin::CambiaMarca(arbol, {}, n);
        for (qint64 id : otorgados) G().PermisosUsuario[size_t(id)] = true;
        AplicaPermisosMenu();
        EXPECT_TRUE(alcanzable(item));
        for (const auto& otro : items) {
            const int suyo = PermisoDeOpcion(otro.first->objectName());
            if (suyo >= 0)
                EXPECT_EQ(alcanzable(otro), std::count(otorgados.begin(), otorgados.end(), suyo) > 0)
                    << otro.first->objectName().toStdString();
        }
        G().PermisosUsuario.fill(true);
        G().PermisosUsuario[size_t(PermisoDeOpcion(nombre))] = false;
        AplicaPermisosMenu();
        EXPECT_FALSE(alcanzable(item));
    }
}

// A catalogue made before the accounts and drawer rows gets them at the login, granted to whoever
// may grant permissions; a first run's empty catalogue stays empty.
TEST_F(Menu, TheLoginAddsTheLaterFixedNodesToAnOlderCatalogue) {
    agregaUsuario(7, "CAJERO", "X", {11, 12});
    agregaUsuario(8, "GERENTE", "X", {1, 9});
    auto c = central();
    ASSERT_TRUE(c->exec("DELETE FROM UsuarioPermiso WHERE IdPermiso IN (42, 43)"));
    ASSERT_TRUE(c->exec("DELETE FROM Permisos WHERE IdPermiso IN (42, 43)"));
    ASSERT_TRUE(c->exec("INSERT INTO Permisos (IdPermiso, NombrePermiso, PermisoPadre) VALUES (54, 'Cuentas', '')"));
    LeerPermisosUsr(7, {});
    EXPECT_FALSE(G().PermisosUsuario[kPermisoCuentas]);
    auto nombres = c->select("SELECT IdPermiso, NombrePermiso, PermisoPadre FROM Permisos WHERE IdPermiso IN (42, 43) "
                             "ORDER BY IdPermiso");
    ASSERT_TRUE(nombres && nombres->size() == 2);
    EXPECT_EQ((*nombres)[0].text("NombrePermiso"), "Permiso42");  // the name was taken by hand
    EXPECT_EQ((*nombres)[0].text("PermisoPadre"), "Catalogos");
    EXPECT_EQ((*nombres)[1].text("NombrePermiso"), "CajonDinero");
    EXPECT_EQ((*nombres)[1].text("PermisoPadre"), "Herramientas");
    auto quienes = [&](int id) {
        QList<qint64> v;
        const auto filas = c->select("SELECT IdUsuario FROM UsuarioPermiso WHERE IdPermiso = ? ORDER BY 1", {id});
        for (const db::Row& r : filas.value_or(db::Rows{})) v << r.integer("IdUsuario");
        return v;
    };
    EXPECT_EQ(quienes(42), (QList<qint64>{1, 8}));
    EXPECT_EQ(quienes(43), (QList<qint64>{1, 8}));
    LeerPermisosUsr(8, {});
    EXPECT_TRUE(G().PermisosUsuario[kPermisoCuentas]);

    ASSERT_TRUE(c->exec("DELETE FROM UsuarioPermiso"));
    ASSERT_TRUE(c->exec("DELETE FROM Permisos"));
    LeerPermisosUsr(1, {});
    EXPECT_EQ(G().SinPermisos, 3);
    EXPECT_EQ(c->scalar("SELECT COUNT(*) FROM Permisos")->toInt(), 0);
}

TEST_F(Menu, AnItemWithoutItsFormStaysOffWhateverThePermissions) {
    m->AsignaAccion("Clientes", [] {});
    ConectaMenu(m.get());
    QuitaNoConstruidos(m.get());
    G().PermisosUsuario.fill(true);
    AplicaPermisosMenu();
    EXPECT_TRUE(activo("Clientes"));
    EXPECT_FALSE(activo("Proveedores"));
    EXPECT_FALSE(activo("CClave"));
    EXPECT_TRUE(activo("Salir"));
    EXPECT_TRUE(activo("TSesion"));
    // A form given later becomes available at the next state change.
    AsignaAbridor("Proveedores", [] {});
    AplicaPermisosMenu();
    EXPECT_TRUE(activo("Proveedores"));
}

TEST_F(Menu, ClicksMakeTheirChecksBeforeActing) {
    int abiertos = 0;
    for (const char* n : {"Productos", "Clientes", "Proveedores", "Usuarios", "CancelarF", "DSucursal", "ATraspaso",
                          "Estadosdecuenta"})
        AsignaAbridor(n, [&abiertos] { ++abiertos; });
    ConectaMenu(m.get());
    LimpiaPermisos();
    auto clic = [&](const char* n) {
        p.clear();
        abiertos = 0;
        m->accion(n)->trigger();
        return abiertos;
    };
    // Silent refusals.
    EXPECT_EQ(clic("Clientes"), 0);
    EXPECT_TRUE(p.messages().isEmpty());
    EXPECT_EQ(clic("Usuarios"), 0);
    EXPECT_TRUE(p.messages().isEmpty());
    // Refusals with the message.
    EXPECT_EQ(clic("Proveedores"), 0);
    EXPECT_EQ(p.messages(), QStringList{kSinAcceso});
    EXPECT_EQ(clic("ATraspaso"), 0);
    EXPECT_EQ(p.messages(), QStringList{kSinAcceso});
    // No check at all.
    EXPECT_EQ(clic("Estadosdecuenta"), 1);
    // Called by another form, the customer item makes the same silent check, menu state or not.
    G().PermisosUsuario[3] = true;
    m->accion("Clientes")->setEnabled(false);
    abiertos = 0;
    Clientes_Click();
    EXPECT_EQ(abiertos, 1);
    G().PermisosUsuario[3] = false;
    Clientes_Click();
    EXPECT_EQ(abiertos, 1);
    // The branch file is tested before permission 31, and it is there.
    EXPECT_EQ(clic("DSucursal"), 0);
    EXPECT_TRUE(p.messages().isEmpty());
    G().PermisosUsuario[31] = true;
    EXPECT_EQ(clic("DSucursal"), 1);
    EXPECT_EQ(clic("CancelarF"), 1);
    // The products need a branch, whatever the permissions (also from the toolbar).
    EXPECT_EQ(clic("Productos"), 1);
    const QString corto = G().DescripcionC[G().SucursalActual];
    G().DescripcionC[G().SucursalActual].clear();
    G().PermisosUsuario.fill(true);
    EXPECT_EQ(clic("Productos"), 0);
    EXPECT_EQ(p.messages(),
              QStringList{"No se encontró datos de la sucursal, debe de dar de alta por lo menos una sucursal."});
    EXPECT_EQ(clic("CancelarF"), 0);
    EXPECT_EQ(p.messages(), QStringList{"No se encontraron los archivos de datos para la sucursal."});
    EXPECT_EQ(p.asked().back().icon, ui::Icon::Critical);
    EXPECT_EQ(clic("DSucursal"), 0);
    G().DescripcionC[G().SucursalActual] = corto;
    // The branch folder without its file.
    ASSERT_TRUE(QDir(datos + "/Base de datos/Sucursales/" + corto).removeRecursively());
    EXPECT_EQ(clic("CancelarF"), 0);
    EXPECT_EQ(p.messages(), QStringList{"No se encontraron los archivos de datos para la sucursal."});
}

TEST_F(Menu, TheToolbarActsByTooltipAndFollowsTheMenu) {
    for (const char* n : {"Productos", "Clientes", "Proveedores", "Usuarios"}) {
        const QString item = QString::fromLatin1(n);
        AsignaAbridor(item, [this, item] { ++clics[item]; });
    }
    ConectaMenu(m.get());
    G().PermisosUsuario.fill(false);
    G().PermisosUsuario[2] = true;
    G().PermisosUsuario[9] = true;
    QHash<QString, QString> porTip;
    for (QAction* a : m->findChildren<QAction*>())
        if (a->objectName().startsWith("Toolbar2_")) porTip[a->toolTip()] = a->objectName();
    auto pulsaTodos = [&] {
        for (const char* tip : {"Catalogo de productos.", "Catalogo de clientes.", "Catalogo de proveedores.",
                                "Catalogo de empleados.", "Codigo de barras.", "Estadisticas."}) {
            QAction* a = m->findChild<QAction*>(porTip.value(tip));
            ASSERT_NE(a, nullptr) << tip;
            a->trigger();
        }
    };
    AplicaPermisosMenu();  // Catalogos off: so are its buttons
    pulsaTodos();
    EXPECT_TRUE(clics.isEmpty());
    G().PermisosUsuario[1] = true;
    AplicaPermisosMenu();
    pulsaTodos();
    EXPECT_EQ(clics.value("Productos"), 1);
    EXPECT_EQ(clics.value("Clientes"), 0);
    EXPECT_EQ(clics.value("Proveedores"), 0);
    EXPECT_EQ(clics.value("Usuarios"), 1);
}

TEST_F(Menu, TheDrawerItemSendsOnePulsePerTime) {
    int pulsos = 0;
    bool falla = false;
    AsignaPulsoCajon([&] {
        if (falla) return false;
        ++pulsos;
        return true;
    });
    ConectaMenu(m.get());
    ASSERT_TRUE(m->TieneAccion("CajonDinero"));
    G().NTimesCajon = 3;
    m->accion("CajonDinero")->trigger();
    EXPECT_EQ(pulsos, 3);
    G().NTimesCajon = 0;
    m->accion("CajonDinero")->trigger();
    EXPECT_EQ(pulsos, 3);
    G().NTimesCajon = 5;
    falla = true;
    EXPECT_EQ(CajonDinero(), 0);
}

TEST_F(Menu, StartUpLogsInThroughTheDialogAndShowsTheDateInCapitals) {
    ConectaMenu(m.get());
    m->AsignaAccion("Clientes", [] {});
    m->show();
    QString tituloDialogo;
    alAparecerLogin([&](frmLogin* d) {
        tituloDialogo = d->windowTitle();
        EXPECT_TRUE(testutil::CadaCampoSeVeEntero(d));
        // The name field upper-cases what is typed.
        QLineEdit* nombre = d->capNombre()->findChild<QLineEdit*>();
        ASSERT_NE(nombre, nullptr);
        QTest::keyClicks(nombre, "admin");
        EXPECT_EQ(d->NombreUsuario(), "ADMIN");
        QTest::keyClicks(d->txtPass(), "KORVADIM");
        EXPECT_EQ(d->txtPass()->echoMode(), QLineEdit::Password);
        QTest::mouseClick(d->cmdAceptar(), Qt::LeftButton);
    });
    ASSERT_TRUE(m->Carga()) << p.lastMessage().toStdString();
    EXPECT_EQ(tituloDialogo, "Registro de usuarios.");
    EXPECT_FALSE(ProgramaTerminado());
    EXPECT_EQ(G().UsuarioActual, "ADMIN");
    EXPECT_EQ(m->panel(1), "01:ADMINISTRADOR SISTEMA ADMINISTRADOR");
    EXPECT_TRUE(activo("Clientes"));
    EXPECT_FALSE(activo("Proveedores"));  // not in the program yet
    m->resize(1280, 1024);  // the program shows it maximised
    EXPECT_TRUE(testutil::CadaCampoSeVeEntero(m.get()));

    const QString fecha = m->accion("mnFecha")->text();
    EXPECT_EQ(fecha, fecha.toUpper());
    EXPECT_EQ(fecha, FechaLarga(QDate::currentDate()));
    const char* const meses[] = {"ENERO", "FEBRERO", "MARZO", "ABRIL", "MAYO", "JUNIO", "JULIO", "AGOSTO",
                                 "SEPTIEMBRE", "OCTUBRE", "NOVIEMBRE", "DICIEMBRE"};
    EXPECT_TRUE(fecha.contains(meses[QDate::currentDate().month() - 1])) << fecha.toStdString();
    EXPECT_TRUE(fecha.contains(QString::number(QDate::currentDate().year())));
}

TEST_F(Menu, AWrongPasswordKeepsTheDialogAndClosingItEndsTheProgram) {
    ConectaMenu(m.get());
    alAparecerLogin([&](frmLogin* d) {
        d->PonNombreUsuario("ADMIN");
        QTest::keyClicks(d->txtPass(), "nada");
        QTest::mouseClick(d->cmdAceptar(), Qt::LeftButton);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->txtPass()->text(), "nada");
        d->reject();
    });
    EXPECT_FALSE(m->Carga());
    EXPECT_TRUE(ProgramaTerminado());
    EXPECT_EQ(G().UsuarioActual, "");
}

TEST_F(Menu, LogOutClearsEverythingAndCancellingTheLoginEndsTheProgram) {
    todasConAccion();
    ConectaMenu(m.get());
    ASSERT_EQ(Acepta("ADMIN", "KORVADIM"), ResultadoLogin::Aceptado);
    EXPECT_TRUE(activo("Facturar"));

    // Log out; the dialog's Cancel asks the exit question: No keeps the dialog, then it is closed.
    p.clear();
    p.pushAnswer(ui::Answer::No);
    bool sinUsuario = false, menusApagados = false, sigueAbierto = false;
    alAparecerLogin([&](frmLogin* d) {
        sinUsuario = G().UsuarioActual.isEmpty() && !TienePermiso(12, false);
        menusApagados = !activo("Facturar") && !activo("Catalogos") && !activo("Vcredito");
        QTest::mouseClick(d->cmdCancelar(), Qt::LeftButton);
        sigueAbierto = d->isVisible();
        d->reject();
    });
    m->findChild<QAction*>("Toolbar2_TSesion")->trigger();
    EXPECT_TRUE(sinUsuario);
    EXPECT_TRUE(menusApagados);
    EXPECT_TRUE(sigueAbierto);
    EXPECT_EQ(p.asked().front().text, "Desea salir del sistema ? ");
    EXPECT_TRUE(ProgramaTerminado());
    EXPECT_EQ(G().UsuarioActual, "");
}

TEST_F(Menu, LogOutAndLogInAgainAsAnotherUser) {
    todasConAccion();
    agregaUsuario(2, "ANA", "dos", {3});
    ConectaMenu(m.get());
    ASSERT_EQ(Acepta("ADMIN", "KORVADIM"), ResultadoLogin::Aceptado);
    alAparecerLogin([&](frmLogin* d) {
        d->PonNombreUsuario("ANA");
        d->txtPass()->setText("dos");
        d->cmdAceptar_Click();
    });
    m->accion("TSesion")->trigger();
    EXPECT_FALSE(ProgramaTerminado());
    EXPECT_EQ(G().UsuarioActual, "ANA");
    EXPECT_TRUE(activo("Clientes"));
    EXPECT_FALSE(activo("Facturar"));
    EXPECT_FALSE(activo("Catalogos"));
}
