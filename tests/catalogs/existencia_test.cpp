// The stock lock of the product catalogue and its log lines, and the stock of the other branches.

#include "shell/texto.h"
#include "carpeta_prueba.h"

#include "catalogs/existencias_sucursales.h"
#include "catalogs/forms/frmproductos.h"
#include "catalogs/productos.h"
#include "capture_control/ccaptura.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/permisos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace catalogos;

namespace {

class ExistenciaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok);
        ASSERT_TRUE(shell::AbreMonitor());
        G().PermisosUsuario[35] = true;
        datos = db::Database::open(shell::RutaDatos());
        ASSERT_TRUE(datos);
    }
    void TearDown() override { shell::CierraMonitor(); }
    QStringList Procesos()
    {
        QStringList l;
        const auto filas = datos->select(QStringLiteral("SELECT Proceso, Mensaje FROM MonitorSistema ORDER BY rowid"));
        for (const db::Row& f : filas.value_or(db::Rows{}))
            l << f.text("Proceso") + QLatin1Char('|') + f.text("Mensaje");
        return l;
    }
    double Stock(qint64 clave)
    {
        return c.sucursal->scalar(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto=?"),
                                  {clave})->toDouble();
    }
    static QLineEdit* Caja(CCaptura* cap) { return cap->findChild<QLineEdit*>(); }
    // The form on the blue pen (key 3, stock 120).
    void EnPluma(frmProductos& f)
    {
        f.Combo1->setCurrentIndex(0);
        QTest::keyClicks(f.Text1, QStringLiteral("7501000000028"));
        ASSERT_EQ(f.ClaveActual(), 3);
    }
    catalogtest::CarpetaPrueba c;
    std::unique_ptr<db::Database> datos;
};

TEST_F(ExistenciaTest, LockedSaveKeepsTheStockAndLogsNothing)
{
    frmProductos f;
    f.show();
    EnPluma(f);
    EXPECT_TRUE(f.capExistencia->Locked());
    QTest::keyClicks(Caja(f.capExistencia), QStringLiteral("5"));
    EXPECT_EQ(c.prompts.lastMessage(),
              "Presione el botón 'Modificar Existencia' para desbloquear el cuadro de texto.");
    EXPECT_TRUE(c.prompts.asked().back().title.isEmpty());
    EXPECT_EQ(f.capExistencia->Text(), "120");
    f.capExistencia->setText(QStringLiteral("7"));  // whatever it shows
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Stock(3), 120.0);
    EXPECT_TRUE(Procesos().isEmpty());
}

TEST_F(ExistenciaTest, UnlockNeedsPermission47AndTheSaveLogsTheStoredStock)
{
    frmProductos f;
    f.show();
    EnPluma(f);
    QTest::mouseClick(f.cmdExistencia, Qt::LeftButton);
    EXPECT_TRUE(f.capExistencia->Locked());
    EXPECT_TRUE(c.prompts.messages().isEmpty());

    G().PermisosUsuario[47] = true;
    QTest::mouseClick(f.cmdExistencia, Qt::LeftButton);
    EXPECT_FALSE(f.capExistencia->Locked());
    Caja(f.capExistencia)->selectAll();
    QTest::keyClicks(Caja(f.capExistencia), QStringLiteral("12"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Stock(3), 12.0);
    EXPECT_TRUE(f.capExistencia->Locked());
    EXPECT_EQ(Procesos(), QStringList{"Mod existencia VA=120 VN=12USR: ANA|PROD: BOLIGRAFO PUNTO MEDIANO AZUL"});

    // Unchanged, but another terminal changed the stock after the product was shown: the line
    // tells the stock stored at the save.
    QTest::mouseClick(f.cmdExistencia, Qt::LeftButton);
    c.sucursal->exec(QStringLiteral("UPDATE Existencia SET Existencia=2.5 WHERE ClaveProducto=3"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Stock(3), 12.0);
    EXPECT_EQ(Procesos().value(1), "Mod existencia VA=2.5 VN=12USR: ANA|PROD: BOLIGRAFO PUNTO MEDIANO AZUL");

    // A text that is no number: refused and kept as typed, the field still open, nothing written,
    // no line; a second "Guardar" refuses it again rather than store a 0.
    QTest::mouseClick(f.cmdExistencia, Qt::LeftButton);
    Caja(f.capExistencia)->selectAll();
    QTest::keyClicks(Caja(f.capExistencia), QStringLiteral("abc"));
    for (int vez = 0; vez < 2; ++vez) {
        c.prompts.clear();
        QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
        EXPECT_EQ(c.prompts.lastMessage(), shell::MensajeNumero(QStringLiteral("Existencia")));
        EXPECT_EQ(f.capExistencia->Text(), "ABC");
        EXPECT_FALSE(f.capExistencia->Locked());
        EXPECT_EQ(Stock(3), 12.0);
        EXPECT_EQ(Procesos().size(), 2);
    }
    Caja(f.capExistencia)->selectAll();
    QTest::keyClicks(Caja(f.capExistencia), QStringLiteral("15"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Stock(3), 15.0);
}

TEST_F(ExistenciaTest, AFailedUnlockedSaveLogsNothingAndLocksAgain)
{
    G().PermisosUsuario[47] = true;
    frmProductos f;
    f.show();
    EnPluma(f);
    QTest::mouseClick(f.cmdExistencia, Qt::LeftButton);
    f.capExistencia->setText(QStringLiteral("-4"));
    f.capCodigo->setText(QStringLiteral("7501000000035"));  // another product's barcode
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(c.prompts.lastMessage(), QString::fromUtf8("El código de barras 7501000000035 ya existe."));
    EXPECT_TRUE(f.capExistencia->Locked());
    EXPECT_EQ(Stock(3), 120.0);
    EXPECT_TRUE(Procesos().isEmpty());

    // A negative stock is taken.
    f.capCodigo->setText(QStringLiteral("7501000000028"));
    QTest::mouseClick(f.cmdExistencia, Qt::LeftButton);
    f.capExistencia->setText(QStringLiteral("-4"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Stock(3), -4.0);
}

TEST_F(ExistenciaTest, DeleteLogsTheStockShownAndProductOneLogsNothing)
{
    frmProductos f;
    f.show();
    EnPluma(f);
    c.prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(Procesos(), QStringList{"Del Producto  Exis=120USR: ANA|PROD: BOLIGRAFO PUNTO MEDIANO AZUL"});
    Caja(f.capExistencia);
    f.Text1->clear();
    QTest::keyClicks(f.Text1, QStringLiteral("VARIOS"));
    c.prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(Procesos().size(), 1);
}

TEST_F(ExistenciaTest, OtherBranchesListTheirStockAndSkipWhatCannotBeRead)
{
    ASSERT_TRUE(c.AgregaSucursal(2, QStringLiteral("SUC2")));
    ASSERT_TRUE(c.AgregaSucursal(3, QStringLiteral("SUC3")));
    auto suc3 = db::Database::open(datasetup::rutaSucursal(c.dir.path(), QStringLiteral("SUC3")),
                                   datasetup::claveArchivos());
    ASSERT_TRUE(suc3->exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (3, 7.5), (4, 3)")));
    suc3.reset();
    // Branch 4 has no file; branch 5's file is damaged; branch 6 has no folder name.
    G().DescripcionC[4] = QStringLiteral("SUC4");
    G().DescripcionC[5] = QStringLiteral("SUC5");
    const QString rota = c.dir.path() + QStringLiteral("/Base de datos/Sucursales/SUC5");
    QDir().mkpath(rota);
    QFile f(rota + QStringLiteral("/BDSucursal.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();

    SucursalesExistencia s;
    s.carpetaDatos = c.dir.path();
    s.nombres = G().DescripcionC;
    s.numSucursales = 7;
    s.actual = 2;
    s.clave = datasetup::claveArchivos();
    EXPECT_EQ(ExistenciasOtrasSucursales(s, 3),
              (QStringList{QStringLiteral("120\t ") + c.corto, QStringLiteral("8\t SUC3")}));
    EXPECT_EQ(ExistenciasOtrasSucursales(s, 0), QStringList{});  // not saved yet
    EXPECT_EQ(ExistenciasOtrasSucursales(s, 999), QStringList{});  // no stock rows
    s.numSucursales = 2;
    EXPECT_EQ(ExistenciasOtrasSucursales(s, 3), QStringList{QStringLiteral("120\t ") + c.corto});
    EXPECT_EQ(EntradaExistencia(-2.5, QStringLiteral("X")), "-3\t X");

    // The form: ticking fills the list for the product shown, unticking empties it; the
    // program's branch file stays the current one's.
    G().NumSucursales = QStringLiteral("3");
    db::Database* propia = shell::BDSucursal();
    frmProductos forma;
    forma.show();
    EnPluma(forma);
    forma.Check3->setChecked(true);  // branch 1 is the current one here, branch 2 has no row
    ASSERT_EQ(forma.List1->count(), 1);
    EXPECT_EQ(forma.List1->item(0)->text(), "8\t SUC3");
    forma.Check3->setChecked(false);
    EXPECT_EQ(forma.List1->count(), 0);
    forma.Check3->setChecked(true);
    forma.Text1->clear();
    QTest::keyClicks(forma.Text1, QStringLiteral("7501000000035"));
    ASSERT_EQ(forma.List1->count(), 1);
    EXPECT_EQ(forma.List1->item(0)->text(), "3\t SUC3");
    EXPECT_EQ(shell::BDSucursal(), propia);
    EXPECT_TRUE(c.prompts.messages().isEmpty()) << c.prompts.messages().join("|").toStdString();
}

}  // namespace
