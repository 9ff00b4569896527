// Export and import of whole files and of the product list over a real data folder.

#include "apps/setup/datasetup.h"
#include "branches/intercambio.h"
#include "fixture.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace sucursales;
using suctest::SucursalesTest;

namespace {

void Escribe(const QString& ruta, const QByteArray& datos)
{
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(datos);
}

}  // namespace

TEST(RutaDeTrabajoTest, AFolderGetsTheItemsNameAndEveryPathItsExtension)
{
    EXPECT_EQ(RutaDeTrabajo(QStringLiteral("/tmp/"), Datos::Generales), QStringLiteral("/tmp/Datos Generales.db"));
    EXPECT_EQ(RutaDeTrabajo(QStringLiteral("/tmp"), Datos::Sucursal), QStringLiteral("/tmp/Datos de la sucursal.db"));
    EXPECT_EQ(RutaDeTrabajo(QStringLiteral("/tmp/copia"), Datos::Generales), QStringLiteral("/tmp/copia.db"));
    EXPECT_EQ(RutaDeTrabajo(QStringLiteral("/tmp/copia.DB"), Datos::Generales), QStringLiteral("/tmp/copia.DB"));
}

TEST_F(SucursalesTest, WholeExportIsTheCommittedStateWhileAnotherConnectionWrites)
{
    const QString destino = QDir(Carpeta()).filePath(QStringLiteral("copia.db"));
    auto otra = Central();
    ASSERT_TRUE(otra->beginWrite());
    ASSERT_TRUE(otra->exec(QStringLiteral("UPDATE Empresa SET NombreEmp = 'SIN GUARDAR'")));
    EXPECT_TRUE(ExportaBase(datasetup::rutaBDCodigos(Carpeta()), destino, prompts)) << prompts.lastMessage().toStdString();
    otra->rollback();
    EXPECT_EQ(RevisaArchivo(destino, Datos::Generales), QString());
    auto copia = Abre(destino);
    EXPECT_NE(Valor(*copia, QStringLiteral("SELECT NombreEmp FROM Empresa")).toString(), QStringLiteral("SIN GUARDAR"));
    copia.reset();
    db::Database::closeAll(destino);
    EXPECT_EQ(QDir(Carpeta()).entryList({QStringLiteral("copia.db*")}, QDir::Files), QStringList{QStringLiteral("copia.db")});

    // An existing target is replaced only after Yes.
    const QByteArray antes = Contenido(destino);
    prompts.clear();
    EXPECT_FALSE(ExportaBase(Ruta(QStringLiteral("Matriz")), destino, prompts));
    EXPECT_EQ(prompts.asked().back().text, QStringLiteral("El archivo destino ya existe, desea continuar ?"));
    EXPECT_EQ(Contenido(destino), antes);
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(ExportaBase(Ruta(QStringLiteral("Matriz")), destino, prompts));
    EXPECT_EQ(RevisaArchivo(destino, Datos::Sucursal), QString());
}

TEST_F(SucursalesTest, WholeExportNeverReplacesTheFileItCopies)
{
    // Put in place of the file in use, the copy would leave every terminal that has it open writing
    // into the file taken away.
    const QString central = datasetup::rutaBDCodigos(Carpeta());
    auto otra = Central();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(ExportaBase(central, central, prompts));
    EXPECT_TRUE(prompts.lastMessage().contains(QStringLiteral("mismo archivo"))) << prompts.lastMessage().toStdString();
    ASSERT_TRUE(otra->exec(QStringLiteral("UPDATE Empresa SET NombreEmp = 'DESPUES'")));
    otra.reset();
    db::Database::closeAll(central);
    auto nueva = Central();
    EXPECT_EQ(Valor(*nueva, QStringLiteral("SELECT NombreEmp FROM Empresa")).toString(), QStringLiteral("DESPUES"));
}

TEST_F(SucursalesTest, WholeImportRefusesForeignDamagedAndBusyFilesLeavingTheTargetAsItWas)
{
    const QString central = datasetup::rutaBDCodigos(Carpeta());
    const QString sucursal = Ruta(QStringLiteral("Matriz"));
    const QString texto = QDir(Carpeta()).filePath(QStringLiteral("texto.db"));
    Escribe(texto, QByteArray("no soy una base de datos\n").repeated(100));
    const QString danado = QDir(Carpeta()).filePath(QStringLiteral("danado.db"));
    {
        QByteArray b = Contenido(central);
        for (int i = 4096; i < b.size(); i += 7) b[i] = char(0x5a);
        Escribe(danado, b);
    }
    const QString otraClave = QDir(Carpeta()).filePath(QStringLiteral("otraclave.db"));
    {
        auto d = db::Database::create(otraClave, QStringLiteral("otra"));
        ASSERT_TRUE(d);
        for (const char* t : {"Personal", "Producto", "Sucursales", "Empresa"})
            ASSERT_TRUE(d->exec(QStringLiteral("CREATE TABLE %1 (x)").arg(QString::fromLatin1(t))));
    }
    db::Database::closeAll(otraClave);
    const QString copiaCentral = QDir(Carpeta()).filePath(QStringLiteral("central.db"));
    const QString copiaSucursal = QDir(Carpeta()).filePath(QStringLiteral("sucursal.db"));
    ASSERT_TRUE(QFile::copy(central, copiaCentral));
    ASSERT_TRUE(QFile::copy(sucursal, copiaSucursal));

    shell::CierraConexiones();
    const QByteArray centralAntes = Contenido(central), sucursalAntes = Contenido(sucursal);
    struct Caso {
        QString archivo;
        Datos d;
    } casos[] = {
        {texto, Datos::Generales},        {danado, Datos::Generales},        {otraClave, Datos::Generales},
        {copiaSucursal, Datos::Generales}, {copiaCentral, Datos::Sucursal},  {texto, Datos::Sucursal},
        {QDir(Carpeta()).filePath(QStringLiteral("no-hay.db")), Datos::Generales}, {central, Datos::Generales},
    };
    for (const Caso& c : casos) {
        prompts.clear();
        const QString destino = c.d == Datos::Generales ? central : sucursal;
        EXPECT_FALSE(ImportaBase(c.archivo, destino, c.d, prompts)) << c.archivo.toStdString();
        EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("No se importó"))) << c.archivo.toStdString();
    }
    auto otro = Retiene(central);
    prompts.clear();
    EXPECT_FALSE(ImportaBase(copiaCentral, central, Datos::Generales, prompts));
    EXPECT_TRUE(prompts.lastMessage().contains(QStringLiteral("en uso en otra terminal")));
    Suelta(*otro);

    EXPECT_EQ(Contenido(central), centralAntes);
    EXPECT_EQ(Contenido(sucursal), sucursalAntes);
    EXPECT_FALSE(QFileInfo::exists(central + QStringLiteral(".bak")));
    EXPECT_EQ(QDir(QFileInfo(central).path()).entryList({QStringLiteral("*.tmp*")}, QDir::Files), QStringList());
}

TEST_F(SucursalesTest, WholeImportPutsTheFileInPlaceAndKeepsTheOldOne)
{
    const QString sucursal = Ruta(QStringLiteral("Matriz"));
    const QString copia = QDir(Carpeta()).filePath(QStringLiteral("respaldo.db"));
    ASSERT_TRUE(QFile::copy(sucursal, copia));
    {
        auto c = Abre(copia);
        ASSERT_TRUE(c->exec(QStringLiteral("UPDATE Parametros SET IVA = 8")));
    }
    db::Database::closeAll(copia);
    ASSERT_TRUE(shell::BDSucursal()->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo) VALUES (99, 'T')")));
    EXPECT_TRUE(ImportaBase(copia, sucursal, Datos::Sucursal, prompts)) << prompts.lastMessage().toStdString();
    auto ahora = Abre(sucursal);
    EXPECT_EQ(Valor(*ahora, QStringLiteral("SELECT IVA FROM Parametros")).toInt(), 8);
    EXPECT_EQ(Valor(*ahora, QStringLiteral("SELECT count(*) FROM Venta WHERE Numero = 99")).toInt(), 0);
    auto viejo = Abre(sucursal + QStringLiteral(".bak"));
    EXPECT_EQ(Valor(*viejo, QStringLiteral("SELECT count(*) FROM Venta WHERE Numero = 99")).toInt(), 1);
}

TEST_F(SucursalesTest, ProductListRoundTripKeepsTheOldListInTheBackup)
{
    auto central = Central();
    ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, PrecioUnit) "
                                             "VALUES (2, '750001', 'LAPIZ', 5), (3, '750002', 'GOMA', 6)")));
    const QString archivo = ExportaProductos(Carpeta(), QDate(2026, 12, 9), prompts);
    ASSERT_EQ(archivo, QDir(Carpeta()).filePath(QStringLiteral("P20261209.db"))) << prompts.lastMessage().toStdString();
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El archivo destino se ha generado en ") + QDir::toNativeSeparators(archivo));
    {
        auto p = Abre(archivo);
        EXPECT_EQ(Valor(*p, QStringLiteral("SELECT count(*) FROM Producto")).toInt(), 3);
        // The list travels with the central table's definition: its key and unique barcode.
        EXPECT_FALSE(p->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras) VALUES (9, '750001')")));
        ASSERT_TRUE(p->exec(QStringLiteral("UPDATE Producto SET PrecioUnit = 7 WHERE ClaveProducto = 2")));
        ASSERT_TRUE(p->exec(QStringLiteral("DELETE FROM Producto WHERE ClaveProducto = 3")));
    }
    db::Database::closeAll(archivo);

    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    ASSERT_TRUE(ImportaProductos(archivo, prompts)) << prompts.lastMessage().toStdString();
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT PrecioUnit FROM Producto WHERE ClaveProducto = 2")).toDouble(), 7.0);
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT count(*) FROM Producto")).toInt(), 2);
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT count(*) FROM RProducto")).toInt(), 3);
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT PrecioUnit FROM RProducto WHERE ClaveProducto = 2")).toDouble(), 5.0);
    // Keys and defaults of Producto stay.
    EXPECT_FALSE(central->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras) VALUES (2, 'X')")));
    ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras) VALUES (10, 'X')")));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT Unidad FROM Producto WHERE ClaveProducto = 10")).toString(),
              QStringLiteral("Pza"));

    // A second export on the same day asks before replacing.
    prompts.clear();
    EXPECT_EQ(ExportaProductos(Carpeta(), QDate(2026, 12, 9), prompts), QString());
    EXPECT_EQ(prompts.asked().back().text, QStringLiteral("El archivo destino ya existe, desea continuar ?"));
}

TEST_F(SucursalesTest, ProductImportRefusalsChangeNothing)
{
    auto central = Central();
    const QString dir = Carpeta();
    auto lista = [&](const QString& nombre, const QString& crea, const QString& llena) {
        const QString r = QDir(dir).filePath(nombre);
        auto d = db::Database::create(r, datasetup::claveArchivos());
        EXPECT_TRUE(d && d->exec(crea)) << nombre.toStdString();
        if (!llena.isEmpty()) {
            EXPECT_TRUE(d->exec(llena)) << nombre.toStdString();
        }
        d.reset();
        db::Database::closeAll(r);
        return r;
    };
    const QString repetida = lista(QStringLiteral("repetida.db"),
                                   QStringLiteral("CREATE TABLE Producto (ClaveProducto INTEGER, CodigodeBarras TEXT, Nombre TEXT)"),
                                   QStringLiteral("INSERT INTO Producto VALUES (1, 'VARIOS', 'A'), (2, 'B1', 'B'), (2, 'B2', 'C')"));
    const QString codigo = lista(QStringLiteral("codigo.db"),
                                 QStringLiteral("CREATE TABLE Producto (ClaveProducto INTEGER, CodigodeBarras TEXT)"),
                                 QStringLiteral("INSERT INTO Producto VALUES (1, 'VARIOS'), (2, 'B1'), (3, 'B1')"));
    const QString vacia = lista(QStringLiteral("vacia.db"),
                                QStringLiteral("CREATE TABLE Producto (ClaveProducto INTEGER, CodigodeBarras TEXT)"), {});
    const QString sinCampo = lista(QStringLiteral("sincampo.db"), QStringLiteral("CREATE TABLE Producto (ClaveProducto INTEGER)"),
                                   QStringLiteral("INSERT INTO Producto VALUES (1)"));
    const QString sinTabla = lista(QStringLiteral("sintabla.db"), QStringLiteral("CREATE TABLE Otra (x)"), {});
    const QString texto = QDir(dir).filePath(QStringLiteral("texto.db"));
    Escribe(texto, QByteArray("hola\n").repeated(500));

    const QByteArray antes = Contenido(datasetup::rutaBDCodigos(dir));
    for (const QString& archivo : {repetida, codigo, vacia, sinCampo, sinTabla, texto,
                                   QDir(dir).filePath(QStringLiteral("lista.txt")),
                                   Ruta(QStringLiteral("Matriz"))}) {
        prompts.clear();
        prompts.pushAnswer(ui::Answer::Yes);
        EXPECT_FALSE(ImportaProductos(archivo, prompts)) << archivo.toStdString();
        EXPECT_EQ(prompts.messages().size(), 1) << archivo.toStdString();
    }
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    ImportaProductos(QDir(dir).filePath(QStringLiteral("lista.txt")), prompts);
    EXPECT_EQ(prompts.lastMessage(),
              QStringLiteral("Error IP01. El archivo Origen debe ser un archivo de Base de datos de Sucursal."));
    EXPECT_EQ(Contenido(datasetup::rutaBDCodigos(dir)), antes);
}
