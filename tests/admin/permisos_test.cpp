// The permission catalogue: the tree built from rows in any order (orphans and cycles to the roots),
// the access code, the save and delete rules on the shipped catalogue, two terminals adding at once,
// and the "Permisos" tab driven offscreen.

#include "fixture.h"

#include "admin/forms/frmabpersonal.h"
#include "admin/permisos.h"
#include "capture_control/ccaptura.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <thread>

using namespace admin;

namespace {

Permiso P(qint64 id, const char* nombre, const char* padre = "")
{
    return {id, QString::fromUtf8(nombre), QStringLiteral("d") + QString::number(id), QString::fromUtf8(padre)};
}

QStringList Hijos(const ArbolPermisos& a, int i)
{
    QStringList l;
    for (int h : a.nodos[size_t(i)].hijos)
        l << a.nodos[size_t(h)].llave;
    return l;
}

QStringList Raices(const ArbolPermisos& a)
{
    QStringList l;
    for (int r : a.raices)
        l << a.nodos[size_t(r)].llave;
    return l;
}

}  // namespace

TEST(ArbolPermisosTest, BuildsFromRowsInAnyOrderWithParentsFoundAmongAllRows)
{
    // The parent "Z" has a higher number than its child: still found.
    const ArbolPermisos a = ArmaArbol({P(5, "Hoja", "Z"), P(2, "A"), P(9, "Z", "A"), P(3, "B", "A")});
    ASSERT_EQ(a.nodos.size(), 4u);
    EXPECT_EQ(a.nodos[0].llave, "c2");
    EXPECT_EQ(a.nodos[0].texto, "A");
    EXPECT_EQ(Raices(a), QStringList{"c2"});
    EXPECT_EQ(Hijos(a, 0), (QStringList{"c3", "c9"}));  // children in number order
    EXPECT_EQ(Hijos(a, 3), QStringList{"c5"});
    EXPECT_TRUE(a.avisos.isEmpty());
    EXPECT_EQ(BuscaLlaveNodo(a, "Z"), "c9");
    EXPECT_EQ(BuscaLlaveNodo(a, "nada"), "");
}

TEST(ArbolPermisosTest, OrphansSelfParentsAndCyclesBecomeRootsWithOneMessageEach)
{
    const ArbolPermisos a = ArmaArbol({P(1, "A", "B"), P(2, "B", "A"), P(3, "C", "A"), P(4, "D", "Falta"),
                                       P(5, "E", "E"), P(6, "F", "D")});
    EXPECT_EQ(Raices(a), (QStringList{"c1", "c2", "c4", "c5"}));
    EXPECT_EQ(a.avisos, (QStringList{"No se encontro el nodo B", "No se encontro el nodo A",
                                     "No se encontro el nodo Falta", "No se encontro el nodo E"}));
    // A row under a cycle, and under an orphan, keeps its place.
    EXPECT_EQ(Hijos(a, 0), QStringList{"c3"});
    EXPECT_EQ(Hijos(a, 3), QStringList{"c6"});
}

TEST(ArbolPermisosTest, SharedNamesLookupsAndAccessCode)
{
    const std::vector<Permiso> filas{P(7, "X"), P(3, "X"), P(8, "Y", "X")};
    const ArbolPermisos a = ArmaArbol(filas);
    EXPECT_EQ(BuscaLlaveNodo(a, "X"), "c7");  // the last node of that text
    EXPECT_EQ(Hijos(a, 1), QStringList{"c8"});
    EXPECT_EQ(BuscaPermiso(filas, "X", true), "3");  // the first row by number
    EXPECT_EQ(BuscaPermiso(filas, "X", false), "d3");
    EXPECT_EQ(BuscaPermiso(filas, "W", true), "");

    EXPECT_TRUE(EsClavePermisos("rul48"));
    for (const char* mal : {"RUL48", "rul48 ", " rul48", "rul4", ""})
        EXPECT_FALSE(EsClavePermisos(QString::fromLatin1(mal))) << mal;
}

class PermisosBDTest : public AdminTest {
protected:
    QStringList Catalogo() { return Filas(*bd, "SELECT * FROM Permisos ORDER BY IdPermiso"); }
    QStringList Grants() { return Filas(*bd, "SELECT * FROM UsuarioPermiso ORDER BY IdUsuario, IdPermiso"); }
    void SetUp() override
    {
        AdminTest::SetUp();
        bd = Central();
        ASSERT_TRUE(bd);
    }
    std::unique_ptr<db::Database> bd;
};

TEST_F(PermisosBDTest, NewPermissionTakesTheNextNumberAndKeepsItsNameLiterally)
{
    Permiso p{0, QStringLiteral("Reporte 'Año' \"Ñ\""), QStringLiteral("Descripción"), QStringLiteral("Reportes")};
    const ResultadoPermiso r = GuardaPermiso(*bd, std::nullopt, p);
    ASSERT_TRUE(r.ok) << r.mensaje.toStdString();
    EXPECT_EQ(r.id, 54);
    auto fila = bd->selectOne("SELECT * FROM Permisos WHERE IdPermiso = 54");
    EXPECT_EQ(fila->text("NombrePermiso"), p.NombrePermiso);
    EXPECT_EQ(fila->text("PermisoPadre"), "Reportes");

    // A root in an empty table gets number 1.
    ASSERT_TRUE(bd->exec("DELETE FROM Permisos"));
    const ResultadoPermiso primero = GuardaPermiso(*bd, std::nullopt, {0, "Raiz", "", ""});
    ASSERT_TRUE(primero.ok);
    EXPECT_EQ(primero.id, 1);
}

TEST_F(PermisosBDTest, RefusalsLeaveTheCatalogueUnchanged)
{
    ASSERT_TRUE(GuardaPermiso(*bd, std::nullopt, {0, "Hijo", "", "Reportes"}).ok);  // 54
    ASSERT_TRUE(GuardaPermiso(*bd, std::nullopt, {0, "Nieto", "", "Hijo"}).ok);     // 55
    const QStringList antes = Catalogo();
    struct Caso {
        std::optional<qint64> id;
        Permiso p;
    } casos[] = {
        {std::nullopt, {0, "Clientes", "", ""}},    // a name another row has
        {54, {0, "Facturar", "", "Reportes"}},
        {std::nullopt, {0, "   ", "", ""}},         // empty
        {std::nullopt, {0, "Otro", "", "NoExiste"}},
        {std::nullopt, {0, "Otro", "", "REPORTES"}},  // names compare exactly
        {54, {0, "Hijo", "", "Nieto"}},             // its own grandparent
        {54, {0, "Hijo", "", "Hijo"}},              // itself
        {54, {0, "Nuevo", "", "Hijo"}},             // itself under its old name
        {54, {0, "Nuevo", "", "Nuevo"}},            // itself under its new name
        {99, {0, "Fantasma", "", ""}},              // a row that is not there
    };
    for (const Caso& c : casos) {
        const ResultadoPermiso r = GuardaPermiso(*bd, c.id, c.p);
        EXPECT_FALSE(r.ok) << c.p.NombrePermiso.toStdString() << " / " << c.p.PermisoPadre.toStdString();
        EXPECT_FALSE(r.mensaje.isEmpty());
    }
    EXPECT_EQ(GuardaPermiso(*bd, 99, {0, "Fantasma", "", ""}).mensaje, kNodoNoEncontrado);
    EXPECT_EQ(Catalogo(), antes);

    // Number 255 taken: the next one would be 256.
    ASSERT_TRUE(bd->exec("INSERT INTO Permisos (IdPermiso, NombrePermiso) VALUES (255, 'Ultimo')"));
    const QStringList lleno = Catalogo();
    const ResultadoPermiso r = GuardaPermiso(*bd, std::nullopt, {0, "Sobra", "", ""});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.mensaje.contains("255"));
    EXPECT_EQ(Catalogo(), lleno);
}

TEST_F(PermisosBDTest, RenameCarriesTheChildrenAndKeepsTheGrantsAndAMoveIsAllowedSideways)
{
    ASSERT_TRUE(GuardaPermiso(*bd, std::nullopt, {0, "Hijo", "", "Reportes"}).ok);  // 54
    ASSERT_TRUE(GuardaPermiso(*bd, std::nullopt, {0, "Nieto", "", "Hijo"}).ok);     // 55
    ASSERT_TRUE(bd->exec("INSERT INTO UsuarioPermiso (IdUsuario, IdPermiso) VALUES (7, 54)"));
    const ResultadoPermiso r = GuardaPermiso(*bd, 54, {0, "Hijo Nuevo", "Otra desc", "Reportes"});
    ASSERT_TRUE(r.ok) << r.mensaje.toStdString();
    EXPECT_EQ(bd->scalar("SELECT PermisoPadre FROM Permisos WHERE IdPermiso = 55")->toString(), "Hijo Nuevo");
    EXPECT_EQ(bd->scalar("SELECT COUNT(*) FROM UsuarioPermiso WHERE IdUsuario = 7 AND IdPermiso = 54")->toInt(), 1);
    auto filas = LeePermisos(*bd);
    EXPECT_TRUE(ArmaArbol(*filas).avisos.isEmpty());
    // Renaming a shipped parent: its shipped children follow.
    ASSERT_TRUE(GuardaPermiso(*bd, 21, {0, "Informes", "Menú de reportes", ""}).ok);
    EXPECT_EQ(bd->scalar("SELECT COUNT(*) FROM Permisos WHERE PermisoPadre = 'Informes'")->toInt(), 8);
    EXPECT_EQ(bd->scalar("SELECT COUNT(*) FROM Permisos WHERE PermisoPadre = 'Reportes'")->toInt(), 0);
    // Moving the grandchild under a cousin branch.
    ASSERT_TRUE(GuardaPermiso(*bd, 55, {0, "Nieto", "", "Procesos"}).ok);
    EXPECT_EQ(bd->scalar("SELECT PermisoPadre FROM Permisos WHERE IdPermiso = 55")->toString(), "Procesos");
}

TEST_F(PermisosBDTest, DeleteRemovesALeafWithItsGrantsAndRefusesTheRest)
{
    ASSERT_TRUE(GuardaPermiso(*bd, std::nullopt, {0, "Hijo", "", "Reportes"}).ok);  // 54
    ASSERT_TRUE(GuardaPermiso(*bd, std::nullopt, {0, "Nieto", "", "Hijo"}).ok);     // 55
    ASSERT_TRUE(bd->exec("INSERT INTO UsuarioPermiso (IdUsuario, IdPermiso) VALUES (1, 55), (7, 55), (7, 54)"));
    const QStringList catalogo = Catalogo(), grants = Grants();
    for (qint64 id : {54, 1, 31, 53}) {
        EXPECT_FALSE(RevisaBorrado(*bd, id).isEmpty()) << id;
        EXPECT_FALSE(BorraPermiso(*bd, id).ok) << id;
    }
    EXPECT_EQ(RevisaBorrado(*bd, 99), kNodoNoEncontrado);
    EXPECT_EQ(BorraPermiso(*bd, 99).mensaje, kNodoNoEncontrado);
    EXPECT_EQ(Catalogo(), catalogo);
    EXPECT_EQ(Grants(), grants);

    EXPECT_EQ(RevisaBorrado(*bd, 55), "");
    ASSERT_TRUE(BorraPermiso(*bd, 55).ok);
    EXPECT_EQ(bd->scalar("SELECT COUNT(*) FROM UsuarioPermiso WHERE IdPermiso = 55")->toInt(), 0);
    EXPECT_EQ(bd->scalar("SELECT COUNT(*) FROM UsuarioPermiso WHERE IdPermiso = 54")->toInt(), 1);
    ASSERT_TRUE(BorraPermiso(*bd, 54).ok);  // now a leaf
    EXPECT_EQ(bd->scalar("SELECT COUNT(*) FROM Permisos WHERE IdPermiso >= 54")->toInt(), 0);
}

TEST_F(PermisosBDTest, TwoTerminalsAddingAtOnceGetDistinctNumbers)
{
    bd.reset();
    constexpr int kPorTerminal = 10;
    std::vector<qint64> ids[2];
    auto terminal = [this, &ids](int t) {
        auto propia = Central();
        db::LockWait espera;
        espera.serveEvents = false;
        for (int i = 0; i < kPorTerminal; ++i) {
            const Permiso p{0, QStringLiteral("T%1-%2").arg(t).arg(i), "", "Reportes"};
            const ResultadoPermiso r = GuardaPermiso(*propia, std::nullopt, p, espera);
            if (r.ok)
                ids[t].push_back(r.id);
        }
    };
    std::thread a(terminal, 0), b(terminal, 1);
    a.join();
    b.join();
    EXPECT_EQ(ids[0].size() + ids[1].size(), size_t(2 * kPorTerminal));
    bd = Central();
    EXPECT_EQ(bd->scalar("SELECT COUNT(DISTINCT IdPermiso) FROM Permisos WHERE IdPermiso > 53")->toInt(),
              2 * kPorTerminal);
}

class PermisosFormaTest : public AdminTest {};

TEST_F(PermisosFormaTest, UnlockAddAChildUnderReportesRenameItAndDeleteIt)
{
    frmABPersonal forma;
    forma.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&forma));
    EXPECT_FALSE(forma.PermisosDesbloqueados());
    QTabBar* barra = forma.SSTab1->tabBar();
    const QPoint tab = barra->tabRect(1).center();

    // Wrong codes (capitals, cancel) leave the tab locked.
    prompts.pushInput("RUL48");
    QTest::mouseDClick(barra, Qt::LeftButton, {}, tab);
    prompts.pushInput("");
    QTest::mouseDClick(barra, Qt::LeftButton, {}, tab);
    EXPECT_FALSE(forma.PermisosDesbloqueados());
    prompts.pushInput("rul48");
    QTest::mouseDClick(barra, Qt::LeftButton, {}, tab);
    ASSERT_TRUE(forma.PermisosDesbloqueados());
    EXPECT_EQ(prompts.asked().back().text, "Teclea la constraseña: ");
    EXPECT_EQ(prompts.asked().back().title, "");
    QTest::mouseClick(barra, Qt::LeftButton, {}, tab);
    ASSERT_EQ(forma.SSTab1->currentIndex(), 1);

    auto nodo = [&](const QString& texto) -> QTreeWidgetItem* {
        auto l = forma.TV1->findItems(texto, Qt::MatchExactly | Qt::MatchRecursive);
        return l.isEmpty() ? nullptr : l.first();
    };
    auto clickNodo = [&](QTreeWidgetItem* n) {
        forma.TV1->scrollToItem(n);
        QTest::mouseClick(forma.TV1->viewport(), Qt::LeftButton, {}, forma.TV1->visualItemRect(n).center());
    };
    QTreeWidgetItem* reportes = nodo("Reportes");
    ASSERT_TRUE(reportes);
    clickNodo(reportes);
    EXPECT_EQ(forma.capNombrePermiso->text(), "Reportes");
    EXPECT_EQ(forma.capPermisoPadre->Text(), "");
    EXPECT_EQ(forma.capDescripcionPermiso->text(), "Menú de reportes");
    EXPECT_EQ(forma.capNombrePermiso->toolTip(), "Num-21");
    EXPECT_EQ(forma.lblNombrePermiso->toolTip(), "Num-21");

    QTest::mouseClick(forma.cmdAgregarPermiso, Qt::LeftButton);
    EXPECT_EQ(forma.capNombrePermiso->text(), "");
    QTest::keyClicks(forma.capNombrePermiso, "Cortes por mes");
    QTest::keyClicks(forma.capDescripcionPermiso, "Reporte de cortes");
    // Entering the parent field takes the node last clicked.
    QLineEdit* padre = forma.capPermisoPadre->findChild<QLineEdit*>();
    QTest::mouseClick(padre, Qt::LeftButton);
    EXPECT_EQ(forma.capPermisoPadre->Text(), "Reportes");
    QTest::mouseClick(forma.cmdActualizar, Qt::LeftButton);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.lastMessage().toStdString();

    QTreeWidgetItem* nuevo = nodo("Cortes por mes");
    ASSERT_TRUE(nuevo);
    EXPECT_EQ(nuevo->parent()->text(0), "Reportes");
    EXPECT_EQ(forma.TV2->findItems("Cortes por mes", Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
    auto bd = Central();
    EXPECT_EQ(bd->scalar("SELECT NombrePermiso FROM Permisos WHERE IdPermiso = 54")->toString(), "Cortes por mes");

    clickNodo(nuevo);
    EXPECT_EQ(forma.capPermisoPadre->Text(), "Reportes");
    forma.capNombrePermiso->selectAll();
    QTest::keyClicks(forma.capNombrePermiso, "Cortes mensuales");
    QTest::mouseClick(forma.cmdActualizar, Qt::LeftButton);
    EXPECT_EQ(bd->scalar("SELECT NombrePermiso FROM Permisos WHERE IdPermiso = 54")->toString(), "Cortes mensuales");
    ASSERT_TRUE(nodo("Cortes mensuales"));
    EXPECT_FALSE(nodo("Cortes por mes"));

    // Deleting a shipped permission is refused before any question.
    clickNodo(nodo("Reportes"));
    QTest::mouseClick(forma.cmdBorrarPermiso, Qt::LeftButton);
    EXPECT_FALSE(prompts.messages().isEmpty());
    EXPECT_TRUE(nodo("Reportes"));

    clickNodo(nodo("Cortes mensuales"));
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(forma.cmdBorrarPermiso, Qt::LeftButton);
    EXPECT_FALSE(nodo("Cortes mensuales"));
    EXPECT_EQ(bd->scalar("SELECT COUNT(*) FROM Permisos WHERE IdPermiso = 54")->toInt(), 0);
}
