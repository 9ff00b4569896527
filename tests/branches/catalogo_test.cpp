// The branch catalogue's rules over a real data folder: new branches and their files, the checks
// that keep folder names and numbers sound, making a branch active, deleting a branch's file.

#include "apps/setup/datasetup.h"
#include "branches/archivo_sucursal.h"
#include "branches/catalogo.h"
#include "fixture.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace sucursales;
using suctest::SucursalesTest;

namespace {

Sucursal Nueva(const QString& id, const QString& corto, const QString& nombre = QStringLiteral("SUCURSAL NORTE"),
               const QString& terminales = QStringLiteral("2"))
{
    Sucursal s;
    s.IdSucursal = id;
    s.DescripcionC = corto;
    s.DescripcionSuc = nombre;
    s.Direccion = QStringLiteral("AV. REFORMA 10[ENTER]CENTRO");
    s.NumTerminales = terminales;
    return s;
}

}  // namespace

TEST(ConExtensionBDTest, AddsTheExtensionOnlyWhenTheNameDoesNotEndInIt)
{
    EXPECT_EQ(ConExtensionBD(QStringLiteral("/tmp/copia")), QStringLiteral("/tmp/copia.db"));
    EXPECT_EQ(ConExtensionBD(QStringLiteral("/tmp/copia.db")), QStringLiteral("/tmp/copia.db"));
    EXPECT_EQ(ConExtensionBD(QStringLiteral("/tmp/COPIA.DB")), QStringLiteral("/tmp/COPIA.DB"));
    EXPECT_EQ(ConExtensionBD(QStringLiteral("/tmp/x.db.bak")), QStringLiteral("/tmp/x.db.bak.db"));
    EXPECT_EQ(ConExtensionBD(QString()), QString());
}

TEST_F(SucursalesTest, NewBranchGetsItsFileWithItsNumberAndReachesTheCentralTables)
{
    auto central = Central();
    ASSERT_TRUE(AltaSucursal(*central, Nueva(QStringLiteral(" 3 "), QStringLiteral("Norte")), prompts))
        << prompts.lastMessage().toStdString();
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT DescripcionSuc FROM Sucursales WHERE IdSucursal = 3")).toString(),
              QStringLiteral("SUCURSAL NORTE"));
    EXPECT_EQ(shell::UltimoEstado(2), QStringLiteral("Creación de archivos terminada."));

    auto suc = Abre(Ruta(QStringLiteral("Norte")));
    ASSERT_TRUE(suc);
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT Sucursal FROM Parametros")).toInt(), 3);
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT Nombre FROM Producto WHERE ClaveProducto = 1")).toString(),
              QStringLiteral("VARIOS"));
    // A write through the link lands in the central table.
    ASSERT_TRUE(suc->exec(QStringLiteral("UPDATE Empresa SET NombreEmp = 'DESDE NORTE'")));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT NombreEmp FROM Empresa")).toString(), QStringLiteral("DESDE NORTE"));
    // No half-made copy is left beside it.
    EXPECT_EQ(QDir(QFileInfo(Ruta(QStringLiteral("Norte"))).path()).entryList(QDir::Files),
              QStringList{QStringLiteral("BDSucursal.db")});
}

TEST_F(SucursalesTest, BadNumbersAndShortNamesAreRefusedWithNothingWritten)
{
    auto central = Central();
    const QByteArray antes = Contenido(datasetup::rutaBDCodigos(Carpeta()));
    struct Caso {
        const char* id;
        const char* corto;
        const char* nombre;
        const char* terminales = "2";
    } casos[] = {
        {"0", "Norte", "N"},    {"11", "Norte", "N"},  {"2a", "Norte", "N"}, {"1", "Norte", "N"},
        {"", "Norte", "N"},     {"2", "../x", "N"},    {"2", "a/b", "N"},    {"2", "a\\b", "N"},
        {"2", " A", "N"},       {"2", "A ", "N"},      {"2", ".", "N"},      {"2", "..", "N"},
        {"2", "matriz", "N"},   {"2", "", "N"},        {"2", "123456789012345678901", "N"},
        {"2", "Norte", "  "},
        // "Número terminales": a whole number, required.
        {"2", "Norte", "N", "12ABC"}, {"2", "Norte", "N", ""}, {"2", "Norte", "N", "1.5"}, {"2", "Norte", "N", "-1"},
    };
    for (const Caso& c : casos) {
        prompts.clear();
        EXPECT_FALSE(AltaSucursal(*central, Nueva(QString::fromUtf8(c.id), QString::fromUtf8(c.corto),
                                                  QString::fromUtf8(c.nombre), QString::fromUtf8(c.terminales)),
                                  prompts))
            << c.id << " " << c.corto;
        EXPECT_EQ(prompts.messages().size(), 1) << c.id << " " << c.corto;
    }
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT count(*) FROM Sucursales")).toInt(), 1);
    EXPECT_FALSE(QFileInfo::exists(QDir(Carpeta()).filePath(QStringLiteral("Base de datos/Sucursales/Norte"))));
    EXPECT_FALSE(QFileInfo::exists(QDir(Carpeta()).filePath(QStringLiteral("Base de datos/x"))));
    EXPECT_EQ(Contenido(datasetup::rutaBDCodigos(Carpeta())), antes);
}

TEST_F(SucursalesTest, AFailedInsertRemovesTheFileItMadeAndAMissingOrBadTemplateMakesNothing)
{
    auto central = Central();
    ASSERT_TRUE(central->exec(QStringLiteral("CREATE TRIGGER niega BEFORE INSERT ON Sucursales "
                                             "BEGIN SELECT RAISE(ABORT, 'sin permiso de escritura'); END")));
    EXPECT_FALSE(AltaSucursal(*central, Nueva(QStringLiteral("2"), QStringLiteral("Norte")), prompts));
    // Told in the program's words, never the engine's.
    EXPECT_FALSE(prompts.lastMessage().isEmpty());
    EXPECT_FALSE(prompts.lastMessage().contains(QStringLiteral("sin permiso de escritura")));
    EXPECT_FALSE(QFileInfo::exists(Ruta(QStringLiteral("Norte"))));
    ASSERT_TRUE(central->exec(QStringLiteral("DROP TRIGGER niega")));

    const QString plantilla = datasetup::rutaPlantillaSucursal(Carpeta());
    ASSERT_TRUE(QFile::rename(plantilla, plantilla + QStringLiteral(".guardada")));
    prompts.clear();
    EXPECT_FALSE(AltaSucursal(*central, Nueva(QStringLiteral("2"), QStringLiteral("Norte")), prompts));
    EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("No se encontró la plantilla de sucursal")));

    {
        QFile texto(plantilla);
        ASSERT_TRUE(texto.open(QIODevice::WriteOnly));
        texto.write(QByteArray("esto no es una base de datos\n").repeated(200));
    }
    prompts.clear();
    EXPECT_FALSE(AltaSucursal(*central, Nueva(QStringLiteral("2"), QStringLiteral("Norte")), prompts));
    EXPECT_TRUE(prompts.lastMessage().contains(QStringLiteral("no es una base de datos válida")))
        << prompts.lastMessage().toStdString();
    EXPECT_EQ(QDir(QFileInfo(Ruta(QStringLiteral("Norte"))).path()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT count(*) FROM Sucursales")).toInt(), 1);
}

TEST_F(SucursalesTest, NumberAndShortNameStayWhileTheBranchHasItsFile)
{
    auto central = Central();
    AgregaSucursal(2, QStringLiteral("Norte"));
    const Sucursal guardada = LeeCatalogo(*central)->at(1);
    Sucursal s = guardada;
    s.DescripcionC = QStringLiteral("Sur");
    EXPECT_FALSE(ModificaSucursal(*central, 2, guardada, s, prompts));
    s = guardada;
    s.IdSucursal = QStringLiteral("4");
    EXPECT_FALSE(ModificaSucursal(*central, 2, guardada, s, prompts));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 2")).toString(),
              QStringLiteral("Norte"));
    // The rest of the row may change; a second save of a new row only edits it.
    s = guardada;
    s.Telefono = QStringLiteral("4771234567");
    EXPECT_TRUE(ModificaSucursal(*central, 2, guardada, s, prompts));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT Telefono FROM Sucursales WHERE IdSucursal = 2")).toString(),
              QStringLiteral("4771234567"));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT count(*) FROM Sucursales")).toInt(), 2);

    // Without a file the short name is free to change, but not to one another branch has.
    ASSERT_TRUE(QFile::remove(Ruta(QStringLiteral("Norte"))));
    s = guardada;
    s.DescripcionC = QStringLiteral("MATRIZ");
    EXPECT_FALSE(ModificaSucursal(*central, 2, guardada, s, prompts));
    s.DescripcionC = QStringLiteral("Sur");
    EXPECT_TRUE(ModificaSucursal(*central, 2, guardada, s, prompts)) << prompts.lastMessage().toStdString();
}

TEST_F(SucursalesTest, GeneratingFilesKeepsTheDataAndALocalTableOfALinkedName)
{
    auto central = Central();
    AgregaSucursal(2, QStringLiteral("Norte"));
    {
        auto suc = Abre(Ruta(QStringLiteral("Norte")));
        ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo) VALUES (7, 'T')")));
        ASSERT_TRUE(suc->removeLink(QStringLiteral("Vendedores")));
        ASSERT_TRUE(suc->exec(QStringLiteral("CREATE TABLE Vendedores (IdVendedor INTEGER, NombreVendedor TEXT)")));
        ASSERT_TRUE(suc->exec(QStringLiteral("INSERT INTO Vendedores VALUES (9, 'LOCAL')")));
        ASSERT_TRUE(suc->removeLink(QStringLiteral("Cliente")));
    }
    prompts.clear();
    EXPECT_TRUE(GeneraArchivos(LeeCatalogo(*central)->at(1), prompts));
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("Error ")));
    EXPECT_TRUE(prompts.lastMessage().endsWith(QStringLiteral(" en crealiga.")));
    EXPECT_EQ(shell::UltimoEstado(2), QStringLiteral("Creación de archivos terminada."));
    auto suc = Abre(Ruta(QStringLiteral("Norte")));
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT count(*) FROM Venta WHERE Numero = 7")).toInt(), 1);
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT NombreVendedor FROM Vendedores")).toString(), QStringLiteral("LOCAL"));
    EXPECT_EQ(Valor(*suc, QStringLiteral("SELECT RFC FROM Cliente WHERE RFC = 'XAXX010101000'")).toString(),
              QStringLiteral("XAXX010101000"));
}

TEST_F(SucursalesTest, ActivationSwitchesTheBranchAndABrokenOneLeavesTheOldOneWorking)
{
    auto central = Central();
    AgregaSucursal(2, QStringLiteral("Norte"));
    AgregaSucursal(3, QStringLiteral("Sur"));
    {
        auto matriz = Abre(Ruta(QStringLiteral("Matriz")));
        ASSERT_TRUE(matriz->exec(QStringLiteral("UPDATE Parametros SET IVA = 8")));
        auto norte = Abre(Ruta(QStringLiteral("Norte")));
        ASSERT_TRUE(norte->exec(QStringLiteral("UPDATE Parametros SET IVA = 300")));
        auto sur = Abre(Ruta(QStringLiteral("Sur")));
        ASSERT_TRUE(sur->exec(QStringLiteral("UPDATE Parametros SET IVA = 11")));
    }
    ASSERT_TRUE(CambiaSucursalActiva(LeeCatalogo(*central)->at(0), false, prompts));
    ASSERT_EQ(G().PorcentajeIVA, 8);
    prompts.clear();

    EXPECT_FALSE(CambiaSucursalActiva(LeeCatalogo(*central)->at(1), false, prompts));
    EXPECT_EQ(G().SucursalActual, 1);
    EXPECT_EQ(G().PorcentajeIVA, 8);
    EXPECT_EQ(shell::BDSucursal()->scalar(QStringLiteral("SELECT Sucursal FROM Parametros"))->toInt(), 1);

    prompts.clear();
    EXPECT_FALSE(CambiaSucursalActiva(LeeCatalogo(*central)->at(2), true, prompts));
    EXPECT_EQ(G().SucursalActual, 1);

    prompts.clear();
    EXPECT_TRUE(CambiaSucursalActiva(LeeCatalogo(*central)->at(2), false, prompts));
    EXPECT_EQ(G().SucursalActual, 3);
    EXPECT_EQ(G().PorcentajeIVA, 11);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("La sucursal SUCURSAL Sur se establecio como la activa."));
    EXPECT_EQ(shell::BDSucursal()->scalar(QStringLiteral("SELECT Sucursal FROM Parametros"))->toInt(), 3);

    // A row without a file is not made active.
    ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO Sucursales (IdSucursal, DescripcionSuc, DescripcionC) "
                                             "VALUES (5, 'SIN ARCHIVO', 'Vacia')")));
    prompts.clear();
    EXPECT_FALSE(CambiaSucursalActiva(LeeCatalogo(*central)->at(3), false, prompts));
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El Archivo de sucursal no existe."));
    EXPECT_EQ(G().SucursalActual, 3);
}

TEST_F(SucursalesTest, DeleteAsksAndRefusesTheActiveBranchAndAFileHeldElsewhere)
{
    auto central = Central();
    AgregaSucursal(2, QStringLiteral("Norte"));
    const auto filas = *LeeCatalogo(*central);

    EXPECT_FALSE(BorraArchivoSucursal(filas[0], prompts));
    EXPECT_TRUE(QFileInfo::exists(Ruta(QStringLiteral("Matriz"))));

    prompts.clear();
    EXPECT_FALSE(BorraArchivoSucursal(filas[1], prompts));  // the question answered No
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].kind, ui::ScriptedPrompts::Asked::Question);
    EXPECT_TRUE(QFileInfo::exists(Ruta(QStringLiteral("Norte"))));

    auto otro = Retiene(Ruta(QStringLiteral("Norte")));
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(BorraArchivoSucursal(filas[1], prompts));
    EXPECT_TRUE(prompts.lastMessage().contains(QStringLiteral("en uso en otra terminal")));
    EXPECT_TRUE(QFileInfo::exists(Ruta(QStringLiteral("Norte"))));
    Suelta(*otro);

    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(BorraArchivoSucursal(filas[1], prompts));
    EXPECT_FALSE(QFileInfo::exists(Ruta(QStringLiteral("Norte"))));
    EXPECT_TRUE(QFileInfo(QFileInfo(Ruta(QStringLiteral("Norte"))).path()).isDir());
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT count(*) FROM Sucursales")).toInt(), 2);

    prompts.clear();
    EXPECT_FALSE(BorraArchivoSucursal(filas[1], prompts));
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El Archivo de sucursal no existe."));
}
