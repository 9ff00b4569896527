// The export and import form driven with the mouse and keyboard, offscreen.

#include "apps/setup/datasetup.h"
#include "branches/forms/frmexpimp.h"
#include "branches/intercambio.h"
#include "fixture.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace sucursales;
using suctest::SucursalesTest;

namespace {

void clic(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

void EligeDatos(QComboBox* c, int item)
{
    c->setCurrentIndex(item);
    emit c->activated(item);
}

}  // namespace

TEST_F(SucursalesTest, FormExportsTheProductListAndImportsItBack)
{
    G().PermisosUsuario[33] = G().PermisosUsuario[34] = true;
    auto central = Central();
    ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre) VALUES (2, '7501', 'LAPIZ')")));

    frmExpImp f(nullptr, &prompts, &chooser);
    f.Elige(true);
    f.show();
    EXPECT_EQ(f.Label3->text(), QStringLiteral("Grabar a:"));
    EXPECT_EQ(f.Text1->text(), QDir::homePath());

    clic(f.cmdAceptar);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No ha seleccionado que datos se van a procesar."));

    EligeDatos(f.Combo1, 0);
    f.Text1->clear();
    QTest::keyClicks(f.Text1, Carpeta());
    clic(f.cmdAceptar);
    const QString archivo = QDir(Carpeta()).filePath(QStringLiteral("P%1.db").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
    ASSERT_TRUE(QFileInfo::exists(archivo)) << prompts.lastMessage().toStdString();
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El proceso de exportación ha terminado."));
    EXPECT_EQ(f.result(), QDialog::Accepted);

    ASSERT_TRUE(central->exec(QStringLiteral("DELETE FROM Producto WHERE ClaveProducto = 2")));
    frmExpImp g(nullptr, &prompts, &chooser);
    g.Elige(false);
    g.show();
    EXPECT_EQ(g.Label3->text(), QStringLiteral("Leer desde:"));
    EligeDatos(g.Combo1, 0);
    chooser.push(archivo);
    clic(g.cmdExplorar);
    EXPECT_EQ(chooser.asked().back().kind, ui::ScriptedFileChooser::Open);
    EXPECT_EQ(g.Text1->text(), archivo);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);  // replace the data
    prompts.pushAnswer(ui::Answer::Yes);  // receive the product list
    clic(g.cmdAceptar);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El proceso de importación ha terminado."));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT Nombre FROM Producto WHERE ClaveProducto = 2")).toString(),
              QStringLiteral("LAPIZ"));
}

TEST_F(SucursalesTest, FormChecksTheOtherDirectionsPermissionAndRight11)
{
    G().PermisosUsuario[33] = true;
    G().Derechos = QStringLiteral("0000000000");
    frmExpImp f(nullptr, &prompts, &chooser);
    f.Elige(true);
    f.show();
    clic(f.Option2);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Usted no tiene acceso a esta parte del sistema."));
    EXPECT_TRUE(f.Option1->isChecked());
    EXPECT_EQ(f.Label3->text(), QStringLiteral("Grabar a:"));

    EligeDatos(f.Combo1, 1);
    EXPECT_FALSE(f.cmdAceptar->isEnabled());
    EligeDatos(f.Combo1, 0);
    EXPECT_TRUE(f.cmdAceptar->isEnabled());
    G().Derechos = QStringLiteral("00000000001");
    EligeDatos(f.Combo1, 1);
    EXPECT_TRUE(f.cmdAceptar->isEnabled());
    // A folder typed: the file gets the item's name.
    f.Text1->setText(Carpeta() + u'/');
    clic(f.cmdAceptar);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El proceso de exportación ha terminado."));
    EXPECT_TRUE(QFileInfo::exists(QDir(Carpeta()).filePath(QStringLiteral("Datos Generales.db"))));
}

TEST_F(SucursalesTest, FormImportsAWholeFileOnlyWithTheOtherWindowsClosed)
{
    G().PermisosUsuario[34] = true;
    G().Derechos = QStringLiteral("00000000001");
    const QString central = shell::RutaBDCodigos();
    const QString copia = QDir(Carpeta()).filePath(QStringLiteral("Datos Generales.db"));
    ASSERT_TRUE(ExportaBase(central, copia, prompts));
    ASSERT_TRUE(Central()->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre) VALUES (2, '7501', 'LAPIZ')")));
    const QByteArray antes = Contenido(central);

    QPointer<QWidget> clientes = AbreClientes();
    frmExpImp f(nullptr, &prompts, &chooser);
    f.Elige(false);
    f.show();
    EligeDatos(f.Combo1, 1);
    f.Text1->clear();
    QTest::keyClicks(f.Text1, copia);
    clic(f.cmdAceptar);
    EXPECT_EQ(prompts.messages(), QStringList{ConClientesAbierto()});
    EXPECT_EQ(prompts.asked().size(), 1u);  // the message alone: the import's question was not asked
    EXPECT_EQ(Contenido(central), antes);
    EXPECT_FALSE(QFileInfo::exists(central + QStringLiteral(".bak")));

    CierraVentana(clientes);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    clic(f.cmdAceptar);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El proceso de importación ha terminado."));
    EXPECT_EQ(Valor(*Central(), QStringLiteral("SELECT count(*) FROM Producto WHERE ClaveProducto = 2")).toInt(), 0);
}

TEST_F(SucursalesTest, FormImportsTheNewestProductFileOfAFolder)
{
    G().PermisosUsuario[33] = G().PermisosUsuario[34] = true;
    auto central = Central();
    ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre) VALUES (2, '7501', 'LAPIZ')")));
    const QString envios = QDir(Carpeta()).filePath(QStringLiteral("envios"));
    QDir().mkpath(envios);
    const QString nuevo = ExportaProductos(envios, QDate(2026, 12, 9), prompts);
    ASSERT_FALSE(nuevo.isEmpty());
    const QString viejo = QDir(envios).filePath(QStringLiteral("P20200101.db"));
    ASSERT_TRUE(QFile::copy(nuevo, viejo));
    ASSERT_TRUE(Abre(viejo)->exec(QStringLiteral("UPDATE Producto SET Nombre = 'VIEJO' WHERE ClaveProducto = 2")));
    db::Database::closeAll(viejo);
    ASSERT_TRUE(central->exec(QStringLiteral("UPDATE Producto SET Nombre = 'OTRO' WHERE ClaveProducto = 2")));
    const QString vacia = QDir(Carpeta()).filePath(QStringLiteral("vacia"));
    QDir().mkpath(vacia);

    frmExpImp f(nullptr, &prompts, &chooser);
    f.Elige(false);
    f.show();
    EligeDatos(f.Combo1, 0);
    f.Text1->clear();
    QTest::keyClicks(f.Text1, vacia);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    prompts.pushAnswer(ui::Answer::Yes);
    clic(f.cmdAceptar);
    EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("En la carpeta "))) << prompts.lastMessage().toStdString();
    EXPECT_TRUE(prompts.lastMessage().contains(QStringLiteral("P<aaaammdd>.db")));

    f.Text1->clear();
    QTest::keyClicks(f.Text1, envios);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    prompts.pushAnswer(ui::Answer::Yes);
    clic(f.cmdAceptar);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El proceso de importación ha terminado."));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT Nombre FROM Producto WHERE ClaveProducto = 2")).toString(),
              QStringLiteral("LAPIZ"));
}
