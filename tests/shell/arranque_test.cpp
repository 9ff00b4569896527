#include "fixture.h"

#include "platform/system/system.h"
#include "platform/ui/filechooser.h"
#include "platform/ui/prompts.h"
#include "shell/arranque.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/sucursal.h"

#include <QDir>
#include <QLockFile>
#include <QThread>

#include <gtest/gtest.h>

using namespace shell;

class ArranqueQuorvel : public ::testing::Test {
protected:
    void SetUp() override { prepara(); }
    void prepara() {
        p.clear();
        usaCarpetas(c);
        ui::setDefaultPrompts(&p);
        avisos().menu = [this](const QString& n, bool on) { menus[n] = on; };
    }
    void TearDown() override {
        CierraConexiones();
        ui::setDefaultPrompts(nullptr);
    }
    bool arranca() { return LeeDireccion(c.app) && LecturasArranque(); }
    // The program ended with one message that names the file.
    void terminoNombrando(const QString& archivo) {
        EXPECT_TRUE(ProgramaTerminado());
        ASSERT_FALSE(p.messages().isEmpty());
        EXPECT_TRUE(p.lastMessage().contains(QDir::toNativeSeparators(archivo)))
            << p.lastMessage().toStdString();
    }
    Carpetas c;
    ui::ScriptedPrompts p;
    QMap<QString, bool> menus;
};

TEST_F(ArranqueQuorvel, ReadsTerminalBranchCompanySellersCurrenciesAndParameters) {
    ASSERT_TRUE(arranca()) << p.lastMessage().toStdString();
    const auto& g = G();
    EXPECT_FALSE(ProgramaTerminado());
    EXPECT_EQ(g.TerminalActual, 3);
    EXPECT_EQ(g.SucursalActual, 0);
    EXPECT_EQ(g.CarpetaDatos, c.datos);
    EXPECT_EQ(g.DescripcionC[0], "Centro");
    EXPECT_EQ(g.DireccionSuc[0], QString::fromUtf8("Av. Juárez 10[ENTER]Centro"));
    EXPECT_EQ(g.DescripcionSuc[0], "Sucursal Centro");
    EXPECT_EQ(g.ArchivoBDSucursal, c.datos + "/Base de datos/Sucursales/Centro/BDSucursal.db");
    EXPECT_EQ(g.ArchivoBDCodigos, c.datos + "/Base de datos/BDcodigos.db");
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(g.DescripcionC[i], "") << i;  // branch 11 is skipped
    EXPECT_EQ(g.NombreEmp, "Abarrotes La Esperanza");
    EXPECT_EQ(g.RFCEmpresa, "ABC010101XY9");
    EXPECT_EQ(g.RegxFactura, 12);  // "12 renglones"
    EXPECT_TRUE(g.CreditoEmpresa);
    EXPECT_TRUE(menus.value("Vcredito") && menus.value("PreciosCredito") && menus.value("Cuentas"));
    EXPECT_EQ(g.MaxVendedor, 7);
    EXPECT_EQ(g.NombresVendedor[3], QString::fromUtf8("Ana María Guadalupe "));
    EXPECT_EQ(g.NombresVendedor[7], QString("Luis").leftJustified(20));
    EXPECT_EQ(g.NombresVendedor[2], "");
    EXPECT_DOUBLE_EQ(g.TiposCambio[2], 17.25);
    EXPECT_DOUBLE_EQ(g.TiposCambio[0], 0.0);
    EXPECT_EQ(g.PorcentajeIVA, 16);
    EXPECT_EQ(g.Printer3, "Ticket");
    EXPECT_EQ(g.tecla6ticket, 117);
    EXPECT_EQ(g.TFuente, 10);
    EXPECT_TRUE(menus.value("mCajonDinero"));
    EXPECT_TRUE(p.messages().isEmpty()) << p.lastMessage().toStdString();
    // Panel 3 in capitals; the paths keep their letters.
    EXPECT_EQ(UltimoEstado(3), c.datos.toUpper());
    EXPECT_EQ(UltimoEstado(2), "");
}

TEST_F(ArranqueQuorvel, ADataRootWithTrailingSeparatorsGivesSinglePaths) {
    c.escribeDir(c.datos + "//", 3, 0);
    ASSERT_TRUE(arranca());
    EXPECT_EQ(G().CarpetaDatos, c.datos);
    EXPECT_FALSE(G().ArchivoBDSucursal.contains("//"));
    EXPECT_EQ(G().PorcentajeIVA, 16);
}

TEST_F(ArranqueQuorvel, ABranchWithoutRowKeepsTheParameterDefaults) {
    c.escribeDir(c.datos, 1, 5);
    ASSERT_TRUE(arranca());
    EXPECT_EQ(G().DescripcionC[5], "");
    EXPECT_EQ(G().PorcentajeIVA, 0);
    EXPECT_EQ(G().TFuente, 9);
    EXPECT_FALSE(ProgramaTerminado());
}

TEST_F(ArranqueQuorvel, SellersAndCurrenciesThatCannotBeReadOnlyWarn) {
    auto cen = c.central();
    cen->exec("INSERT INTO Vendedores VALUES (250, 'Fuera')");
    cen->exec("DELETE FROM Monedas");
    cen.reset();
    ASSERT_TRUE(arranca());
    EXPECT_EQ(p.messages(), QStringList({"No se encontro datos vendedores",
                                         QString::fromUtf8("Error al leer el catálogo de monedas.")}));
    EXPECT_FALSE(ProgramaTerminado());
    EXPECT_DOUBLE_EQ(G().TiposCambio[2], 0.0);
}

TEST_F(ArranqueQuorvel, DataPathRecoveryOnlyWithTheExactWordAndAFolderThatHoldsData) {
    const QString malo = c.tmp.filePath("no existe");
    c.escribeDir(malo, 3, 0);
    ui::ScriptedFileChooser elige;
    ui::setDefaultFileChooser(&elige);

    // No: ends without asking for the word.
    p.pushAnswer(ui::Answer::No);
    EXPECT_FALSE(arranca());
    EXPECT_TRUE(ProgramaTerminado());
    ASSERT_EQ(p.asked().size(), 1u);
    EXPECT_EQ(p.asked()[0].text, TextoRecuperacion(malo));

    // The word in capitals: ends, nothing changed, no folder asked for.
    prepara();
    p.pushAnswer(ui::Answer::Yes);
    p.pushInput("PIRX");
    EXPECT_FALSE(arranca());
    EXPECT_TRUE(ProgramaTerminado());
    EXPECT_EQ(p.asked().back().title, "Clave.");
    EXPECT_EQ(c.dirDireccion(), malo);
    EXPECT_TRUE(elige.asked().empty());

    // The word, then the chooser cancelled: nothing written.
    prepara();
    p.pushAnswer(ui::Answer::Yes);
    p.pushInput("pirx");
    EXPECT_FALSE(arranca());
    EXPECT_TRUE(ProgramaTerminado());
    EXPECT_EQ(c.dirDireccion(), malo);
    ASSERT_EQ(elige.asked().size(), 1u);
    EXPECT_EQ(elige.asked()[0].kind, ui::ScriptedFileChooser::Folder);

    // A folder without data is refused with the reason and the chooser comes again; the data folder
    // chosen next is written, the person is told where it now points, and the program ends.
    prepara();
    elige.clear();
    const QString vacia = c.tmp.filePath("vacia");
    ASSERT_TRUE(QDir().mkpath(vacia));
    elige.push(vacia);
    elige.push(c.datos + "/");
    p.pushAnswer(ui::Answer::Yes);
    p.pushInput("pirx");
    EXPECT_FALSE(arranca());
    EXPECT_TRUE(ProgramaTerminado());
    EXPECT_EQ(elige.asked().size(), 2u);
    EXPECT_EQ(c.dirDireccion(), c.datos);
    const QStringList m = p.messages();
    ASSERT_GE(m.size(), 3);
    EXPECT_TRUE(m[0].contains(QDir::toNativeSeparators(vacia))) << m[0].toStdString();
    EXPECT_EQ(m[m.size() - 2], QString::fromUtf8("La carpeta de datos es ahora: ") + QDir::toNativeSeparators(c.datos));
    EXPECT_EQ(m.back(), "Cambio hecho. Ejecute de nuevo el programa.");
    for (const QString& t : m) EXPECT_FALSE(t.contains("capDCorta")) << t.toStdString();
    int preguntas = 0;
    for (const auto& a : p.asked()) preguntas += a.kind == ui::ScriptedPrompts::Asked::Question;
    EXPECT_EQ(preguntas, 1);
    ui::setDefaultFileChooser(nullptr);
}

TEST_F(ArranqueQuorvel, UnusableMachineRowStopsInOrder) {
    const QString dir = c.app + "/Direccion.db";
    struct Caso { QVariant terminal, sucursal; };
    for (const Caso& k : {Caso{QVariant(), 0}, Caso{300, 0}, Caso{"tres", 0}, Caso{3, QVariant()}, Caso{3, 11},
                          Caso{3, -1}, Caso{3, 2.5}}) {
        prepara();
        c.escribeDir(c.datos, k.terminal, k.sucursal);
        EXPECT_FALSE(arranca());
        terminoNombrando(dir);
        EXPECT_EQ(p.messages().size(), 1);
    }
    prepara();
    QFile::remove(dir);
    EXPECT_FALSE(arranca());
    terminoNombrando(dir);
}

TEST_F(ArranqueQuorvel, MissingCompanyDataStopsInOrder) {
    const QString central = c.datos + "/Base de datos/BDcodigos.db";
    c.central()->exec("UPDATE Empresa SET NombreEmp = NULL");
    EXPECT_FALSE(arranca());
    terminoNombrando(central);
    EXPECT_TRUE(p.lastMessage().contains("NombreEmp"));

    prepara();
    c.central()->exec("DELETE FROM Empresa");
    EXPECT_FALSE(arranca());
    terminoNombrando(central);

    prepara();
    c.central()->exec("INSERT INTO Empresa(NumSucursales, Direccion, RFC, NombreEmp) VALUES ('1', 'x', 'y', 'z')");
    c.central()->exec("UPDATE Sucursales SET DescripcionC = NULL WHERE IdSucursal = 0");
    EXPECT_FALSE(arranca());
    terminoNombrando(central);
}

TEST_F(ArranqueQuorvel, UnreadableParametersStopInOrder) {
    const QString archivo = c.datos + "/Base de datos/Sucursales/Centro/BDSucursal.db";
    auto prueba = [&](const char* sql, const char* campo) {
        prepara();
        c.creaSucursal(0, "Centro2");  // a clean copy to break
        auto s = c.sucursal("Centro2");
        ASSERT_TRUE(s->exec(sql)) << sql;
        s.reset();
        CierraConexiones();
        QFile::remove(archivo);
        ASSERT_TRUE(QFile::rename(c.datos + "/Base de datos/Sucursales/Centro2/BDSucursal.db", archivo));
        EXPECT_FALSE(arranca()) << sql;
        terminoNombrando(archivo);
        if (campo) EXPECT_TRUE(p.lastMessage().contains(campo)) << p.lastMessage().toStdString();
    };
    prueba("UPDATE Parametros SET IVA = NULL", "IVA");
    prueba("UPDATE Parametros SET Ajuste = NULL", "Ajuste");
    prueba("UPDATE Parametros SET MaxDescuentoFact = 300", "MaxDescuentoFact");
    prueba("UPDATE Parametros SET EspT = 40000", "EspT");
    prueba("ALTER TABLE Parametros DROP COLUMN TFuente", "TFuente");
    prueba("DELETE FROM Parametros", nullptr);
    prueba("DROP TABLE Parametros", nullptr);
    // A file that is no database at all.
    prepara();
    CierraConexiones();
    QFile f(archivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("esto no es una base de datos, solo texto suficiente para no parecer vacio");
    f.close();
    EXPECT_FALSE(arranca());
    terminoNombrando(archivo);
}

class ParametrosSucursal : public ArranqueQuorvel {
protected:
    void establece(const QVariantMap& v) {
        c.parametros(v);
        CierraConexiones();
        p.clear();
        G().CarpetaDatos = c.datos;
        G().DescripcionC[0] = "Centro";
        G().SucursalActual = 0;
        ASSERT_TRUE(EstableceSucursal()) << p.lastMessage().toStdString();
    }
};

TEST_F(ParametrosSucursal, EachFieldWithItsConversion) {
    establece({{"FacturaE", "2"}, {"MaxDescuentoFact", 10.5}, {"EspT", "11.5"}, {"VentasaTicket", "3.7 pzas"},
               {"CotizacionaTicket", QVariant()}, {"Printer1", QVariant()}, {"ListaPrecioDef", "2abc"}});
    const auto& g = G();
    EXPECT_FALSE(g.FacturaE);
    EXPECT_EQ(g.MaxDescuentoFact, 10);  // halves to even
    EXPECT_EQ(g.EspT, 12);
    EXPECT_DOUBLE_EQ(g.VentasaTicket.toDouble(), 3.7);
    EXPECT_DOUBLE_EQ(g.CotizacionaTicket.toDouble(), 0.0);
    EXPECT_EQ(g.Printer1, "");
    EXPECT_EQ(g.ListaPrecioDef, 2);
    EXPECT_EQ(g.Driver, "winspool");
    EXPECT_EQ(g.PrefijoFact, "A");
    EXPECT_EQ(g.BDefault, 2);
    EXPECT_EQ(UltimoEstado(2), "");

    establece({{"FacturaE", "1.0"}});
    EXPECT_TRUE(G().FacturaE);
    establece({{"FacturaE", QVariant()}, {"ControlCaja", 0}});
    EXPECT_FALSE(G().FacturaE);
    EXPECT_FALSE(menus.value("mCajonDinero", true));
}

// A Parametros row from elsewhere may leave the texts empty: they read as "".
TEST_F(ParametrosSucursal, NullDriverAndPrefixReadAsEmpty) {
    establece({{"Driver", QVariant()}, {"PrefijoFact", QVariant()}});
    EXPECT_EQ(G().Driver, "");
    EXPECT_EQ(G().PrefijoFact, "");
    EXPECT_TRUE(p.messages().isEmpty()) << p.messages().join('|').toStdString();
}

TEST_F(ParametrosSucursal, NoDefaultSearchWarnsAndNameColumnIsForcedOn) {
    establece({{"BDefault", QVariant()}, {"MDescripcion", 0}, {"MNombre", 0}});
    EXPECT_EQ(G().BDefault, 0);
    EXPECT_EQ(p.lastMessage(), "No hay definida una busqueda en la pantalla de ventas por default, definalo en la "
                               "pantalla de parametros.");
    EXPECT_EQ(G().MNombre, 1);
    EXPECT_EQ(G().MDescripcion, 0);

    establece({{"BDefault", 1}, {"MDescripcion", 1}, {"MNombre", 0}});
    EXPECT_TRUE(p.messages().isEmpty());
    EXPECT_EQ(G().MNombre, 0);
    EXPECT_EQ(G().MDescripcion, 1);
}

TEST_F(ParametrosSucursal, ThePrintServerStartsOncePerDataFolderAndBranch) {
    c.servidorFalso();
    QFile corre(c.app + "/corre");
    ASSERT_TRUE(corre.open(QIODevice::WriteOnly));
    corre.close();
    establece({{"UsarServidorImp", 1}});
    establece({{"UsarServidorImp", 1}});
    EXPECT_EQ(c.arranquesServidor(), 1);

    // The server was closed: the next branch set-up starts it again.
    QFile::remove(c.app + "/corre");
    for (int i = 0; i < 200 && !QFile::exists(c.app + "/terminados.txt"); ++i) QThread::msleep(20);
    ASSERT_TRUE(QFile::exists(c.app + "/terminados.txt"));
    QThread::msleep(200);  // the script ends after its last line
    establece({{"UsarServidorImp", 1}});
    QThread::msleep(200);
    EXPECT_EQ(c.arranquesServidor(), 2);
    QFile::remove(c.app + "/arranques.txt");

    // Another process already serves the folder and branch: nothing is started.
    OlvidaServidoresIniciados();
    QLockFile candado(sys::printServerLockPath(c.datos, 0));
    ASSERT_TRUE(candado.tryLock(0));
    EXPECT_FALSE(IniciaServidorImpresion(c.datos + "/", 0));
    candado.unlock();
    EXPECT_TRUE(IniciaServidorImpresion(c.datos, 0));
    EXPECT_EQ(c.arranquesServidor(), 1);

    // No program: the counter is told, in Spanish, where the server should be.
    OlvidaServidoresIniciados();
    QFile::remove(c.app + "/Plovix/tarvex");
    establece({{"UsarServidorImp", 1}});
    ASSERT_EQ(p.messages().size(), 1) << p.messages().join("|").toStdString();
    EXPECT_TRUE(p.messages()[0].startsWith("No se pudo iniciar el servidor de impresión: no está el programa "))
        << p.messages()[0].toStdString();
    EXPECT_TRUE(p.messages()[0].contains("/Plovix/tarvex"));
    QString motivo;
    EXPECT_FALSE(IniciaServidorImpresion(c.datos, 0, &motivo));
    EXPECT_FALSE(motivo.isEmpty());
}
