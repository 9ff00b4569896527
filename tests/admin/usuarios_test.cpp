// Users: the rights string, the save order with each refusal leaving the tables as they were, the
// grants replaced as one, the administrator's protections, the searches, the next login, the own
// password change, and the two forms driven offscreen.

#include "shell/texto.h"
#include "testutil.h"
#include "fixture.h"

#include "admin/forms/frmabpersonal.h"
#include "admin/forms/frmparametros.h"
#include "admin/usuarios.h"
#include "capture_control/ccaptura.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/ficha.h"
#include "shell/login.h"
#include "shell/menu.h"
#include "shell/password.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace admin;

TEST(DerechosTest, NewStringPaddingAssignRemoveAndStoredForm)
{
    const QString nuevo = DerechosNuevo();
    EXPECT_EQ(nuevo.size(), 50);
    EXPECT_EQ(nuevo, QString(40, ' ') + "11" + QString(8, ' '));
    EXPECT_EQ(RellenaDerechos(""), QString(50, ' '));
    EXPECT_EQ(RellenaDerechos("1"), "1" + QString(49, ' '));

    QString d = AsignaDerecho("", 5);
    EXPECT_EQ(d.indexOf('1'), 4);
    EXPECT_EQ(AsignaDerecho(d, 5), d);
    EXPECT_EQ(QuitaDerecho(d, 5), QString(50, ' '));
    EXPECT_EQ(AsignaDerecho(d, 0), d);
    EXPECT_EQ(AsignaDerecho(d, 51), d);

    // Position 49 is never stored granted; a longer string is cut to 50.
    const QString todos(51, '1');
    const QString guardado = DerechosParaGuardar(todos);
    EXPECT_EQ(guardado.size(), 50);
    EXPECT_EQ(guardado.at(48), ' ');
    EXPECT_EQ(guardado.count('1'), 49);
    EXPECT_EQ(DerechosParaGuardar(""), QString(50, ' '));

    const std::map<int, QString> catalogo{{5, "Cinco"}, {41, "Consultar"}, {49, "Reservado"}};
    EXPECT_EQ(ItemsDerechos(AsignaDerecho(nuevo, 5), catalogo), (QStringList{"05 Cinco", "41 Consultar"}));
    EXPECT_EQ(ItemsDerechos(DerechosParaGuardar(AsignaDerecho("", 49)), catalogo), QStringList{});
    EXPECT_EQ(PosicionDeItem("05 Cinco"), 5);
    EXPECT_EQ(PosicionDeItem(""), 0);
}

namespace {

class UsuariosTest : public AdminTest {
protected:
    void SetUp() override
    {
        AdminTest::SetUp();
        bd = Central();
        ASSERT_TRUE(bd);
    }
    DatosUsuario Datos(const QString& login, const QString& clave = "secreta")
    {
        DatosUsuario d;
        d.PApellidoPat = "PEREZ";
        d.PApellidoMat = "O'HARA";
        d.PNombres = "JUAN";
        d.Domicilio = "CALLE 5 % 20";
        d.NombreUsuario = login;
        d.Clave = clave;
        d.Derechos = DerechosNuevo();
        return d;
    }
    qint64 Nuevo(const DatosUsuario& d)
    {
        const ResultadoUsuario r = GuardaUsuario(*bd, std::nullopt, d, 1);
        EXPECT_TRUE(r.ok) << r.mensaje.toStdString();
        return r.id;
    }
    QStringList Tablas()
    {
        return Filas(*bd, "SELECT * FROM Personal ORDER BY ClavePersonal") +
               Filas(*bd, "SELECT * FROM UsuarioPermiso ORDER BY IdUsuario, IdPermiso");
    }
    std::vector<qint64> Grants(qint64 u) { return *LeeGrants(*bd, u); }
    std::unique_ptr<db::Database> bd;
};

}  // namespace

TEST_F(UsuariosTest, NewUsersTakeTheHighestIdPlusOneWithTheirRowHashAndGrants)
{
    ASSERT_TRUE(bd->exec("INSERT INTO Personal (ClavePersonal, NombreUsuario) VALUES (5, 'HUECO')"));
    DatosUsuario d = Datos("CAJERO");
    d.Derechos = AsignaDerecho(AsignaDerecho(d.Derechos, 49), 11);
    d.Permisos = {12, 22, 999};  // 999 is not a permission: not granted
    const qint64 id = Nuevo(d);
    EXPECT_EQ(id, 6);
    auto fila = bd->selectOne("SELECT * FROM Personal WHERE ClavePersonal = 6");
    EXPECT_EQ(fila->text("Niveles"), "1");
    EXPECT_EQ(fila->text("PApellidoMat"), "O'HARA");
    EXPECT_EQ(fila->text("Derechos").size(), 50);
    EXPECT_EQ(fila->text("Derechos").at(48), ' ');
    EXPECT_EQ(fila->text("Derechos").at(10), '1');
    EXPECT_NE(fila->text("ClaveAcceso"), "secreta");
    EXPECT_TRUE(shell::VerificaClave("SECRETA", fila->text("ClaveAcceso")));
    EXPECT_EQ(Grants(6), (std::vector<qint64>{12, 22}));

    // Edited without a password: the hash stays; the grant set is replaced whole.
    const QString hash = fila->text("ClaveAcceso");
    d.Clave.clear();
    d.PNombres = "JUAN CARLOS";
    d.Permisos = {3};
    ASSERT_TRUE(GuardaUsuario(*bd, 6, d, 1).ok);
    EXPECT_EQ(bd->scalar("SELECT ClaveAcceso FROM Personal WHERE ClavePersonal = 6")->toString(), hash);
    EXPECT_EQ(bd->scalar("SELECT PNombres FROM Personal WHERE ClavePersonal = 6")->toString(), "JUAN CARLOS");
    EXPECT_EQ(Grants(6), std::vector<qint64>{3});

    ASSERT_TRUE(bd->exec("DELETE FROM Personal"));
    EXPECT_EQ(Nuevo(Datos("PRIMERO")), 1);
}

TEST_F(UsuariosTest, EveryRefusalInItsOrderLeavesTheTablesUnchanged)
{
    const qint64 cajero = Nuevo(Datos("CAJERO"));
    const QStringList antes = Tablas();
    DatosUsuario admin = Datos("ADMIN", "");
    admin.Permisos = {1, 9};
    struct Caso {
        const char* que;
        std::optional<qint64> id;
        DatosUsuario d;
        qint64 actual;
        QString mensaje;  // "" = any
    };
    auto Falta = [](const char* campo) {
        return QString::fromLatin1(kCamposIncorrectos) + u' ' + shell::MensajeRequerido(QString::fromUtf8(campo));
    };
    DatosUsuario sinApellido = Datos("OTRO");
    sinApellido.PApellidoPat = "  ";
    DatosUsuario sinLogin = Datos("");
    DatosUsuario sinClave = Datos("OTRO", "");
    DatosUsuario iguala = Datos("OTRO");
    iguala.PermisosIguala = "NADIE";
    DatosUsuario mismo = Datos("OTRO");
    mismo.PermisosIguala = "otro";
    DatosUsuario adminSin9 = admin;
    adminSin9.Permisos = {1, 2};
    const Caso casos[] = {
        {"user 1 edited by another", 1, admin, cajero, ""},
        {"empty surname", std::nullopt, sinApellido, 1, Falta("Apellido Paterno")},
        {"empty login", std::nullopt, sinLogin, 1, Falta("Nombre de Usuario")},
        {"new without password", std::nullopt, sinClave, 1, Falta("Clave de acceso")},
        {"admin beside ADMIN", std::nullopt, Datos("admin"), 1, kUsuarioRepetido},
        {"rename onto another login", cajero, Datos("Admin", ""), 1, kUsuarioRepetido},
        {"+Permisos naming nobody", std::nullopt, iguala, 1, ""},
        {"+Permisos naming himself", std::nullopt, mismo, 1, ""},
        {"admin without grant 9", 1, adminSin9, 1, ""},
        {"user gone", 77, Datos("NADIEMAS", ""), 1, ""},
    };
    for (const Caso& c : casos) {
        const ResultadoUsuario r = GuardaUsuario(*bd, c.id, c.d, c.actual);
        EXPECT_FALSE(r.ok) << c.que;
        EXPECT_FALSE(r.mensaje.isEmpty()) << c.que;
        if (!c.mensaje.isEmpty()) {
            EXPECT_EQ(r.mensaje, c.mensaje) << c.que;
        }
    }
    // The administrator edits himself; a fields check comes after the user-1 rule.
    EXPECT_EQ(GuardaUsuario(*bd, 1, sinLogin, cajero).mensaje, GuardaUsuario(*bd, 1, admin, cajero).mensaje);
    EXPECT_EQ(Tablas(), antes);
    EXPECT_TRUE(GuardaUsuario(*bd, 1, admin, 1).ok);
    EXPECT_EQ(Grants(1), (std::vector<qint64>{1, 9}));
}

TEST_F(UsuariosTest, AFailureWhileWritingGrantsLeavesRowAndGrantsAsTheyWere)
{
    DatosUsuario d = Datos("CAJERO");
    d.Permisos = {2, 3};
    const qint64 id = Nuevo(d);
    const QStringList antes = Tablas();
    ASSERT_TRUE(bd->exec("CREATE TEMP TRIGGER falla BEFORE INSERT ON UsuarioPermiso WHEN NEW.IdPermiso = 12 "
                         "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"));
    d.Clave.clear();
    d.PNombres = "OTRO NOMBRE";
    d.Permisos = {4, 12};
    const ResultadoUsuario r = GuardaUsuario(*bd, id, d, 1);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.mensaje.contains("disco lleno"));
    EXPECT_EQ(Tablas(), antes);
}

TEST_F(UsuariosTest, DeleteProtectsTheAdministratorAndTheLoggedInUserAndTakesTheGrants)
{
    DatosUsuario d = Datos("CAJERO");
    d.Permisos = {2, 3};
    const qint64 id = Nuevo(d);
    const QStringList antes = Tablas();
    EXPECT_FALSE(BorraUsuario(*bd, 1, 1).ok);
    EXPECT_FALSE(BorraUsuario(*bd, 1, id).ok);
    EXPECT_FALSE(BorraUsuario(*bd, id, id).ok);
    EXPECT_FALSE(RevisaBorradoUsuario(id, id).isEmpty());
    EXPECT_EQ(Tablas(), antes);
    ASSERT_TRUE(BorraUsuario(*bd, id, 1).ok);
    EXPECT_EQ(bd->scalar("SELECT COUNT(*) FROM UsuarioPermiso WHERE IdUsuario = ?", {id})->toInt(), 0);
    EXPECT_EQ(bd->scalar("SELECT COUNT(*) FROM Personal WHERE ClavePersonal = ?", {id})->toInt(), 0);
    EXPECT_FALSE(BorraUsuario(*bd, id, 1).ok);  // already gone
}

TEST_F(UsuariosTest, SearchesAreLiteralIncludeTheFirstRowAndIgnoreTrailingBlanks)
{
    DatosUsuario a = Datos("50%OFF");
    a.PApellidoPat = "GOMEZ";
    const qint64 ida = Nuevo(a);
    DatosUsuario b = Datos("5X0");
    b.PApellidoPat = "GO_MEZ";
    const qint64 idb = Nuevo(b);
    EXPECT_EQ(BuscaPorNombreUsuario(*bd, "ad"), 1);
    EXPECT_EQ(BuscaPorNombreUsuario(*bd, "50%  "), ida);
    EXPECT_EQ(BuscaPorNombreUsuario(*bd, "5%"), std::nullopt);
    EXPECT_EQ(BuscaPorNombreCompleto(*bd, "ADMINISTRADOR"), 1);
    EXPECT_EQ(BuscaPorNombreCompleto(*bd, "go_m"), idb);
    EXPECT_EQ(BuscaPorNombreCompleto(*bd, "GOMEZ O'HARA J"), ida);
    EXPECT_EQ(BuscaPorNombreCompleto(*bd, "'"), std::nullopt);
}

TEST_F(UsuariosTest, TheNextLoginSeesTheGrantsAndThoseOfPermisosIguala)
{
    DatosUsuario b = Datos("VENDEDOR", "uno");
    b.Permisos = {12, 22};
    Nuevo(b);
    DatosUsuario c = Datos("AYUDANTE", "dos");
    c.PermisosIguala = "vendedor";
    c.Permisos = {3};
    Nuevo(c);
    shell::CierraConexiones();
    ASSERT_EQ(shell::Acepta("ayudante", "DOS"), shell::ResultadoLogin::Aceptado);
    EXPECT_TRUE(G().PermisosUsuario[3]);
    EXPECT_TRUE(G().PermisosUsuario[12]);
    EXPECT_TRUE(G().PermisosUsuario[22]);
    EXPECT_FALSE(G().PermisosUsuario[9]);
    EXPECT_EQ(G().Derechos.mid(40, 2), "11");
}

TEST_F(UsuariosTest, OwnPasswordChange)
{
    Nuevo(Datos("CAJERO", "vieja"));
    const qint64 id = *BuscaPorNombreUsuario(*bd, "CAJERO");
    const QString antes = bd->scalar("SELECT ClaveAcceso FROM Personal WHERE ClavePersonal = ?", {id})->toString();
    EXPECT_EQ(CambiaClave(*bd, id, "mala", "n", "n"), CambioClave::NoPermitido);
    EXPECT_EQ(CambiaClave(*bd, 99, "vieja", "n", "n"), CambioClave::NoPermitido);
    EXPECT_EQ(CambiaClave(*bd, id, "vieja", "", ""), CambioClave::NoCoincide);
    EXPECT_EQ(CambiaClave(*bd, id, "vieja", "nueva", "NUEVA"), CambioClave::NoCoincide);
    EXPECT_EQ(bd->scalar("SELECT ClaveAcceso FROM Personal WHERE ClavePersonal = ?", {id})->toString(), antes);
    EXPECT_EQ(CambiaClave(*bd, id, "VIEJA", "n'u%eva", "n'u%eva"), CambioClave::Cambiado);
    shell::CierraConexiones();
    EXPECT_EQ(shell::Acepta("cajero", "N'U%EVA"), shell::ResultadoLogin::Aceptado);
}

// --- the forms ---

TEST_F(UsuariosTest, FormAddsAUserWithARightAndTwoGrantsWhoThenLogsIn)
{
    Nuevo(Datos("SINNADA"));  // a user without grants, shown before adding
    frmABPersonal forma(nullptr, bd.get());
    forma.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&forma));
    ASSERT_EQ(forma.Registros(), 2);
    EXPECT_EQ(forma.capNombreU->Text(), "ADMIN");
    EXPECT_EQ(forma.capClaveAcceso->text(), "");
    EXPECT_EQ(forma.List1->count(), 50);
    QTest::mouseClick(forma.DBGrid1->viewport(), Qt::LeftButton, {},
                      forma.DBGrid1->visualRect(forma.DBGrid1->model()->index(1, 1)).center());
    ASSERT_EQ(forma.Posicion(), 1);
    EXPECT_EQ(forma.capNombreU->Text(), "SINNADA");

    QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(forma.capApellidoP->Text(), "Nuevo");
    EXPECT_EQ(forma.List1->count(), 2);  // 41 and 42
    auto escribe = [](CCaptura* c, const char* texto) {
        QLineEdit* caja = c->findChild<QLineEdit*>();
        QTest::mouseClick(caja, Qt::LeftButton);
        caja->selectAll();
        QTest::keyClicks(caja, texto);
    };
    escribe(forma.capApellidoP, "lopez");
    escribe(forma.capApellidoM, "diaz");
    escribe(forma.capNombres, "ana");
    escribe(forma.capDomicilio, "centro 1");
    escribe(forma.capNombreU, "ana");
    QTest::keyClicks(forma.capClaveAcceso, "Clave1");

    // Right 11 from the catalogue.
    QListWidgetItem* derecho = forma.lstPermisos->item(10);
    QTest::mouseClick(forma.lstPermisos->viewport(), Qt::LeftButton, {},
                      forma.lstPermisos->visualItemRect(derecho).center());
    QTest::mouseClick(forma.cmdAsignaP, Qt::LeftButton);
    QTest::mouseClick(forma.cmdAsignaP, Qt::LeftButton);  // twice: one item
    EXPECT_EQ(forma.List1->count(), 3);
    EXPECT_EQ(forma.List1->item(0)->text(), "11 Ver detalles del producto");

    auto marca = [&](const QString& texto) {
        QTreeWidgetItem* n = forma.TV2->findItems(texto, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        ASSERT_TRUE(n);
        forma.TV2->scrollToItem(n);
        QTest::mouseClick(forma.TV2->viewport(), Qt::LeftButton, {}, forma.TV2->visualItemRect(n).center());
        QTest::keyClick(forma.TV2, Qt::Key_Space);
        EXPECT_EQ(n->checkState(0), Qt::Checked);
    };
    marca("Facturar");
    marca("Clientes");
    EXPECT_EQ(forma.txtDescripPerm2->text(), "Catálogo de clientes");
    QTest::mouseClick(forma.cmdActualiza, Qt::LeftButton);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.lastMessage().toStdString();
    EXPECT_FALSE(forma.UsuarioNuevo());
    EXPECT_EQ(forma.Registros(), 3);

    const qint64 id = *BuscaPorNombreUsuario(*bd, "ANA");
    // Each tick takes the permissions under it and the menus above it along.
    EXPECT_EQ(Grants(id), (std::vector<qint64>{1, 3, 11, 12, 37, 38, 39, 41, 44, 46, 52}));
    EXPECT_EQ(bd->scalar("SELECT PApellidoPat FROM Personal WHERE ClavePersonal = ?", {id})->toString(), "LOPEZ");
    shell::CierraConexiones();
    ASSERT_EQ(shell::Acepta("ana", "clave1"), shell::ResultadoLogin::Aceptado);
    EXPECT_TRUE(G().PermisosUsuario[3] && G().PermisosUsuario[12]);
    EXPECT_FALSE(G().PermisosUsuario[9]);
    EXPECT_EQ(G().Derechos.at(10), '1');
}

TEST_F(UsuariosTest, ANewUserStartsWithNothingGrantedAndABoxTakesItsBranchAlong)
{
    frmABPersonal forma(nullptr, bd.get());
    forma.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&forma));
    EXPECT_EQ(forma.capNombreU->Text(), "ADMIN");  // every permission ticked
    QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
    for (QTreeWidgetItemIterator it(forma.TV2); *it; ++it)
        EXPECT_EQ((*it)->checkState(0), Qt::Unchecked) << (*it)->text(0).toStdString();
    EXPECT_EQ(forma.capPermIguala->Text(), "");
    EXPECT_EQ(forma.List1->count(), 2);  // the new-user rights 41 and 42

    auto nodo = [&](const QString& texto) {
        return forma.TV2->findItems(texto, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    };
    auto pulsa = [&](const QString& texto) {
        QTreeWidgetItem* n = nodo(texto);
        ASSERT_TRUE(n);
        forma.TV2->scrollToItem(n);
        QTest::mouseClick(forma.TV2->viewport(), Qt::LeftButton, {}, forma.TV2->visualItemRect(n).center());
        QTest::keyClick(forma.TV2, Qt::Key_Space);
    };
    pulsa("Procesos");
    for (const char* n : {"Procesos", "Facturar", "CambiarPrecio", "Vender", "PEInventario", "CantidadSalida"})
        EXPECT_EQ(nodo(n)->checkState(0), Qt::Checked) << n;
    EXPECT_EQ(nodo("Catalogos")->checkState(0), Qt::Unchecked);
    pulsa("Facturar");
    for (const char* n : {"Facturar", "CambiarPrecio", "Vender"}) EXPECT_EQ(nodo(n)->checkState(0), Qt::Unchecked) << n;
    EXPECT_EQ(nodo("Procesos")->checkState(0), Qt::PartiallyChecked);
    EXPECT_EQ(nodo("Cotizaciones")->checkState(0), Qt::Checked);
    // A box under a cleared one takes the nodes above it along, partly.
    pulsa("CambiarPrecio");
    EXPECT_EQ(nodo("CambiarPrecio")->checkState(0), Qt::Checked);
    EXPECT_EQ(nodo("Facturar")->checkState(0), Qt::PartiallyChecked);
    EXPECT_EQ(nodo("Procesos")->checkState(0), Qt::PartiallyChecked);
    // A partly ticked box pressed ticks its whole branch; pressed again, clears it.
    pulsa("Facturar");
    EXPECT_EQ(nodo("Vender")->checkState(0), Qt::Checked);
    EXPECT_EQ(nodo("Procesos")->checkState(0), Qt::Checked);
    pulsa("Facturar");
    pulsa("CambiarPrecio");

    for (auto [c, texto] : {std::pair{forma.capApellidoM, "ruiz"}, {forma.capNombres, "eva"},
                            {forma.capDomicilio, "centro"}, {forma.capNombreU, "cajera"}}) {
        QLineEdit* caja = c->findChild<QLineEdit*>();
        QTest::mouseClick(caja, Qt::LeftButton);
        QTest::keyClicks(caja, texto);
    }
    QTest::keyClicks(forma.capClaveAcceso, "Clave1");
    QTest::mouseClick(forma.cmdActualiza, Qt::LeftButton);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.lastMessage().toStdString();
    const std::vector<qint64> g = Grants(*BuscaPorNombreUsuario(*bd, "CAJERA"));
    for (qint64 n : {11, 12, 39, 13, 14, 48, 20, 45}) EXPECT_NE(std::find(g.begin(), g.end(), n), g.end()) << n;
    for (qint64 n : {1, 3, 41, 52}) EXPECT_EQ(std::find(g.begin(), g.end(), n), g.end()) << n;

    // Shown again, the boxes read the same from the stored grants.
    QTest::mouseClick(forma.DBGrid1->viewport(), Qt::LeftButton, {},
                      forma.DBGrid1->visualRect(forma.DBGrid1->model()->index(0, 1)).center());
    QTest::mouseClick(forma.DBGrid1->viewport(), Qt::LeftButton, {},
                      forma.DBGrid1->visualRect(forma.DBGrid1->model()->index(1, 1)).center());
    ASSERT_EQ(forma.capNombreU->Text(), "CAJERA");
    EXPECT_EQ(nodo("Procesos")->checkState(0), Qt::PartiallyChecked);
    EXPECT_EQ(nodo("Facturar")->checkState(0), Qt::PartiallyChecked);
    EXPECT_EQ(nodo("CambiarPrecio")->checkState(0), Qt::Checked);
    EXPECT_EQ(nodo("Catalogos")->checkState(0), Qt::Unchecked);
}

// A name stored in small letters by an older program answers the login typed in capitals, so a new
// user of that name in capitals would share its login: refused, accented letters included.
TEST_F(UsuariosTest, FormRefusesANameThatOnlyDiffersInTheCaseOfAnAccentedLetter)
{
    const qint64 jose = Nuevo(Datos(QStringLiteral("JOSE")));
    ASSERT_TRUE(bd->exec("UPDATE Personal SET NombreUsuario = ? WHERE ClavePersonal = ?", {QStringLiteral("josé"), jose}));
    frmABPersonal forma(nullptr, bd.get());
    forma.show();
    const int antes = forma.Registros();
    QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
    for (const auto& [campo, texto] : {std::pair{forma.capApellidoP, "perez"}, {forma.capApellidoM, "diaz"},
                                       {forma.capNombres, "jose"},
                                       {forma.capDomicilio, "centro 2"}, {forma.capNombreU, "jos\xe9"}}) {
        QLineEdit* caja = campo->findChild<QLineEdit*>();
        QTest::mouseClick(caja, Qt::LeftButton);
        caja->selectAll();
        testutil::Teclea(caja, QString::fromLatin1(texto));
    }
    ASSERT_EQ(forma.capNombreU->Text(), QStringLiteral("JOSÉ"));
    QTest::keyClicks(forma.capClaveAcceso, "Clave2");
    QTest::mouseClick(forma.cmdActualiza, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QString::fromLatin1(kUsuarioRepetido));
    EXPECT_EQ(forma.Registros(), antes);
}

TEST_F(UsuariosTest, FormRefusesDeletingTheAdministratorAndDeletesAnotherShowingTheNeighbour)
{
    Nuevo(Datos("UNO"));
    Nuevo(Datos("DOS"));
    frmABPersonal forma(nullptr, bd.get());
    forma.show();
    QTest::mouseClick(forma.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(forma.Registros(), 3);
    QTest::keyClicks(forma.CCaptura1->findChild<QLineEdit*>(), "un");
    ASSERT_EQ(forma.capNombreU->Text(), "UNO");
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(forma.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(forma.Registros(), 2);
    EXPECT_EQ(forma.capNombreU->Text(), "DOS");
}

TEST_F(UsuariosTest, DialogChangesTheOwnPassword)
{
    const qint64 id = Nuevo(Datos("CAJERO", "vieja"));
    G().ClaveUsuario = int(id);
    {
        frmParametros d(nullptr, bd.get());
        d.show();
        QTest::keyClicks(d.txtClaveAct, "vieja");
        QTest::keyClicks(d.txtNueva, "nueva");
        QTest::keyClicks(d.txtConfirma, "nuevo");
        QTest::mouseClick(d.cmdAceptar, Qt::LeftButton);
        EXPECT_EQ(prompts.lastMessage(), "La clave nueva no es igual a la confirmacion.");
        EXPECT_TRUE(d.isVisible());
        d.txtConfirma->clear();
        QTest::keyClicks(d.txtConfirma, "nueva");
        QTest::mouseClick(d.cmdAceptar, Qt::LeftButton);
        EXPECT_EQ(prompts.lastMessage(), "Cambio realizado.");
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(d.txtNueva->echoMode(), QLineEdit::Password);
    }
    {
        frmParametros d(nullptr, bd.get());
        d.show();
        QTest::keyClicks(d.txtClaveAct, "vieja");
        QTest::mouseClick(d.cmdAceptar, Qt::LeftButton);
        EXPECT_EQ(prompts.lastMessage(), "No se permite el cambio.");
        EXPECT_FALSE(d.isVisible());
    }
    shell::CierraConexiones();
    EXPECT_EQ(shell::Acepta("cajero", "NUEVA"), shell::ResultadoLogin::Aceptado);
}

TEST_F(UsuariosTest, OnAFirstRunTheUsersItemOpensWithoutPermission9)
{
    G().PermisosUsuario.fill(false);
    G().SinPermisos = 0;
    EXPECT_FALSE(shell::RevisaOpcion("Usuarios"));
    EXPECT_TRUE(prompts.messages().isEmpty());  // refused without a message
    G().SinPermisos = 3;
    EXPECT_TRUE(shell::RevisaOpcion("Usuarios"));
}

// The administrator of a new data folder has every field the form requires: saved as it comes.
TEST_F(UsuariosTest, ANewFoldersAdministratorSavesAsItComes)
{
    G().ClaveUsuario = 1;
    G().PermisosUsuario[9] = true;
    frmABPersonal forma(nullptr, bd.get());
    forma.show();
    ASSERT_EQ(forma.capNombreU->Text(), "ADMIN");
    prompts.clear();
    QTest::mouseClick(forma.cmdActualiza, Qt::LeftButton);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().join("|").toStdString();
    EXPECT_TRUE(forma.Ficha()->guardada());
}
