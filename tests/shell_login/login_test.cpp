#include "entorno.h"

#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/login.h"
#include "shell/menu.h"
#include "shell/permisos.h"

#include <QFile>

using namespace shell;

namespace {

QList<int> concedidos() {
    QList<int> v;
    for (int i = 0; i < 256; ++i)
        if (G().PermisosUsuario[size_t(i)]) v << i;
    return v;
}

const QString kRechazo = QStringLiteral("No tiene acceso al sistema, por favor cheque su Nombre de usuario y clave.");

}  // namespace

using Login = Entorno;

TEST_F(Login, TheSeededAdministratorLogsInInAnyLetterCase) {
    IniciaLogin();
    EXPECT_EQ(G().ModoVenta, "Pantalla Login.");
    EXPECT_EQ(G().NombreEquipo.size(), 40);
    EXPECT_FALSE(menus.value("Facturar", true));

    ASSERT_EQ(Acepta("admin", "korvadim"), ResultadoLogin::Aceptado);
    EXPECT_EQ(p.messages(), QStringList{"Bienvenido al sistema."});
    EXPECT_EQ(G().UsuarioActual, "ADMIN");
    EXPECT_EQ(G().ClaveUsuario, 1);
    EXPECT_EQ(G().ClaveBD, "pastizal");
    EXPECT_EQ(G().NombreCompleto, "ADMINISTRADOR SISTEMA ADMINISTRADOR");
    EXPECT_EQ(UltimoEstado(1), "01:ADMINISTRADOR SISTEMA ADMINISTRADOR");
    EXPECT_EQ(G().Derechos.size(), 50);
    EXPECT_EQ(G().SinPermisos, 0);
    // The seeded administrator holds every permission of the catalogue.
    auto c = central();
    const qint64 total = c->scalar("SELECT COUNT(*) FROM Permisos")->toLongLong();
    EXPECT_EQ(concedidos().size(), total);
    EXPECT_TRUE(menus.value("Catalogos"));
    EXPECT_TRUE(menus.value("Vcredito"));
    EXPECT_TRUE(menus.value("Importardatos"));
}

TEST_F(Login, WrongPasswordsAndSqlTextNeverLogIn) {
    IniciaLogin();
    const QList<std::pair<QString, QString>> intentos = {
        {"ADMIN", "KORVADI"},
        {"ADMIN", ""},
        {"", ""},
        {"ADMIN' --", "x"},
        {"' OR '1'='1", "' OR '1'='1"},
        {"ADMIN", "' OR ClaveAcceso LIKE '%"},
        {"ADMIN\"; DROP TABLE Personal; --", "KORVADIM"},
    };
    for (const auto& [nombre, clave] : intentos) {
        p.clear();
        EXPECT_EQ(Acepta(nombre, clave), ResultadoLogin::Rechazado) << nombre.toStdString();
        EXPECT_EQ(p.messages(), QStringList{kRechazo}) << nombre.toStdString();
        EXPECT_EQ(G().UsuarioActual, "");
        EXPECT_EQ(concedidos(), QList<int>{});
    }
    EXPECT_EQ(central()->scalar("SELECT COUNT(*) FROM Personal")->toInt(), 1);
    // After the failures the right password still works.
    EXPECT_EQ(Acepta("ADMIN", "KORVADIM"), ResultadoLogin::Aceptado);
}

TEST_F(Login, APasswordEqualToTheNameGetsTheAdvice) {
    agregaUsuario(7, "PEDRO", "pedro", {3});
    ASSERT_EQ(Acepta("PEDRO", "Pedro"), ResultadoLogin::Aceptado);
    ASSERT_EQ(p.messages().size(), 2);
    EXPECT_EQ(p.messages().at(1),
              "Por favor se le recomienda cambiar su clave de acceso a una que no sea la que se le dejo al darle de "
              "alta a usted.\rlo puede hacer en el menu 'usuarios' del sistema y despues seleccionando la opcion "
              "'cambiar mi clave de acceso',  Gracias.");
    // A Null maternal surname counts as "".
    EXPECT_EQ(UltimoEstado(1), "07:PEREZ  ANA");
    EXPECT_EQ(G().Derechos, "0000000000100");
    EXPECT_TRUE(TieneDerecho(11, false));
    EXPECT_FALSE(TieneDerecho(10, false));
    EXPECT_FALSE(TieneDerecho(60, false));
    EXPECT_FALSE(TieneDerecho(0, false));
}

// Names with accents and ñ match whatever their letter case, for the login and for the user whose
// permissions another one shares.
TEST_F(Login, AccentedNamesMatchWithoutRegardToCase) {
    agregaUsuario(8, QString::fromUtf8("NUÑEZ"), "clave", {3});
    agregaUsuario(9, QString::fromUtf8("josé"), "otra", {5}, QString::fromUtf8("nuñez"));
    ASSERT_EQ(Acepta(QString::fromUtf8("nuñez"), "clave"), ResultadoLogin::Aceptado);
    EXPECT_EQ(G().ClaveUsuario, 8);
    CierraSesion();
    ASSERT_EQ(Acepta(QString::fromUtf8("JOSÉ"), "otra"), ResultadoLogin::Aceptado);
    EXPECT_EQ(G().ClaveIguala, 8);
    EXPECT_EQ(concedidos(), (QList<int>{3, 5}));
    CierraSesion();
    EXPECT_EQ(Acepta(QString::fromUtf8("NUNEZ"), "clave"), ResultadoLogin::Rechazado);
}

TEST_F(Login, PermissionsOfTheEqualToUserAreAddedOnlyWhenHeExists) {
    agregaUsuario(3, "CAJA", "uno", {19, 52});
    agregaUsuario(2, "ANA", "dos", {3}, "caja");
    agregaUsuario(4, "LUIS", "tres", {5}, "NOEXISTE");
    agregaUsuario(5, "SINNADA", "cuatro", {});

    ASSERT_EQ(Acepta("ANA", "dos"), ResultadoLogin::Aceptado);
    EXPECT_EQ(concedidos(), (QList<int>{3, 19, 52}));
    EXPECT_EQ(G().ClaveIguala, 3);
    EXPECT_TRUE(menus.value("Clientes"));
    EXPECT_TRUE(menus.value("mCajonDinero"));
    EXPECT_FALSE(menus.value("Catalogos", true));

    // Naming nobody adds nothing: the equal-to user of the previous login does not linger.
    CierraSesion();
    ASSERT_EQ(Acepta("LUIS", "tres"), ResultadoLogin::Aceptado);
    EXPECT_EQ(concedidos(), QList<int>{5});
    EXPECT_EQ(G().ClaveIguala, 0);

    // No rows while the catalogue has permissions: a user without permissions, not a first run.
    CierraSesion();
    ASSERT_EQ(Acepta("SINNADA", "cuatro"), ResultadoLogin::Aceptado);
    EXPECT_EQ(concedidos(), QList<int>{});
    EXPECT_EQ(G().SinPermisos, 0);
    EXPECT_FALSE(menus.value("Catalogos", true));
    EXPECT_FALSE(menus.value("Sucursales", true));
}

TEST_F(Login, OnlyAnEmptyPermissionCatalogueIsAFirstRun) {
    auto c = central();
    ASSERT_TRUE(c->exec("DELETE FROM UsuarioPermiso"));
    ASSERT_TRUE(c->exec("DELETE FROM Permisos"));
    ASSERT_EQ(Acepta("ADMIN", "KORVADIM"), ResultadoLogin::Aceptado);
    EXPECT_EQ(G().SinPermisos, 3);
    EXPECT_EQ(concedidos(), QList<int>{});
    EXPECT_TRUE(menus.value("Catalogos"));
    EXPECT_TRUE(menus.value("Sucursales"));
    EXPECT_TRUE(menus.value("Usuarios"));  // the catalogue and the grants are set up there
    for (const char* n : {"Productos", "Clientes", "Procesos", "Facturar", "Vcredito", "Herramientas"})
        EXPECT_FALSE(menus.value(n, true)) << n;
    // The branch catalogue passes on a first run, after the denial message.
    p.clear();
    EXPECT_TRUE(RevisaOpcion("Sucursales"));
    EXPECT_EQ(p.messages(), QStringList{kSinAcceso});
    EXPECT_FALSE(RevisaOpcion("Clientes"));

    // The next login (a catalogue again) is not a first run any more.
    CierraSesion();
    ASSERT_TRUE(c->exec("INSERT INTO Permisos (IdPermiso, NombrePermiso) VALUES (3, 'Clientes')"));
    ASSERT_EQ(Acepta("ADMIN", "KORVADIM"), ResultadoLogin::Aceptado);
    EXPECT_EQ(G().SinPermisos, 0);
    p.clear();
    EXPECT_FALSE(RevisaOpcion("Sucursales"));
}

TEST_F(Login, AnUnreadablePermissionTableGrantsNothingButTheAdministratorsSetUp) {
    agregaUsuario(2, "ANA", "dos", {3, 9});
    CierraConexiones();
    {
        auto c = central();
        ASSERT_TRUE(c->exec("DROP TABLE UsuarioPermiso"));
    }
    ASSERT_EQ(Acepta("ANA", "dos"), ResultadoLogin::Aceptado);
    EXPECT_TRUE(p.messages().contains("No se encontraron los datos de permisos."));
    EXPECT_EQ(concedidos(), QList<int>{});
    EXPECT_EQ(G().SinPermisos, 0);
    EXPECT_FALSE(menus.value("Catalogos", true));

    CierraSesion();
    ASSERT_EQ(Acepta("ADMIN", "KORVADIM"), ResultadoLogin::Aceptado);
    EXPECT_EQ(concedidos(), QList<int>{});
    EXPECT_EQ(G().SinPermisos, 3);
    EXPECT_TRUE(menus.value("Sucursales"));
}

TEST_F(Login, AMissingCentralFileIsReportedAndTheDialogStays) {
    CierraConexiones();
    ASSERT_TRUE(QFile::rename(datos + "/Base de datos/BDcodigos.db", datos + "/Base de datos/otro.db"));
    EXPECT_EQ(Acepta("ADMIN", "KORVADIM"), ResultadoLogin::SinServidor);
    EXPECT_EQ(p.messages(), QStringList{"No se encontro el servidor."});
    EXPECT_EQ(G().UsuarioActual, "");
}

TEST(Permisos, IdsOutsideTheArrayAreNeverHeld) {
    ui::ScriptedPrompts p;
    ui::setDefaultPrompts(&p);
    ReiniciaEstado();
    G().PermisosUsuario.fill(true);
    EXPECT_TRUE(TienePermiso(0, true));
    EXPECT_TRUE(TienePermiso(255, true));
    EXPECT_FALSE(TienePermiso(-1, false));
    EXPECT_FALSE(TienePermiso(256, false));
    EXPECT_TRUE(p.messages().isEmpty());
    EXPECT_FALSE(TienePermiso(1000, true));
    EXPECT_EQ(p.asked().back().text, kSinAcceso);
    EXPECT_EQ(p.asked().back().icon, ui::Icon::Critical);
    G().Derechos.clear();
    EXPECT_FALSE(TieneDerecho(11, false));
    ReiniciaEstado();
    ui::setDefaultPrompts(nullptr);
}

TEST_F(Login, TheMonitorLogWritesItsRowsAndIsOffWithoutItsFile) {
    IniciaLogin();
    ASSERT_TRUE(MonitorAbierto());
    ASSERT_EQ(Acepta("ADMIN", "KORVADIM"), ResultadoLogin::Aceptado);
    EXPECT_TRUE(RegistraMonitor("Borra producto", "Producto 7501 'Jabón' borrado"));
    {
        auto d = db::Database::open(RutaDatos());
        ASSERT_TRUE(d);
        auto filas = d->select("SELECT * FROM MonitorSistema");
        ASSERT_TRUE(filas);
        ASSERT_EQ(filas->size(), 1u);
        const db::Row& f = filas->front();
        EXPECT_EQ(f.text("Equipo").size(), 40);
        EXPECT_EQ(f.text("Equipo"), G().NombreEquipo);
        EXPECT_EQ(f.text("Proceso"), "Borra producto");
        EXPECT_EQ(f.integer("Usuario"), 1);
        EXPECT_EQ(f.text("Mensaje"), "Producto 7501 'Jabón' borrado");
        EXPECT_EQ(f.integer("Vivo"), 4);
    }

    CierraMonitor();
    ASSERT_TRUE(QFile::remove(RutaDatos()));
    p.clear();
    IniciaLogin();
    EXPECT_FALSE(MonitorAbierto());
    EXPECT_TRUE(p.messages().isEmpty());
    EXPECT_FALSE(RegistraMonitor("Existencia", "cambio"));
    EXPECT_EQ(Acepta("ADMIN", "KORVADIM"), ResultadoLogin::Aceptado);
}
