// Stock transfers between two branches of one data folder: the exit saved through the sale screen,
// the file carried or the direct entry, and everything that must not enter.

#include "apps/setup/datasetup.h"
#include "branches/forms/frmtraspasos.h"
#include "branches/mantenimiento.h"
#include "branches/traspasos.h"
#include "capture_control/ccaptura.h"
#include "fixture.h"
#include "sale/forms/frmventa.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/sucursal.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace sucursales;
using suctest::SucursalesTest;

class TraspasosTest : public SucursalesTest {
protected:
    void SetUp() override
    {
        SucursalesTest::SetUp();
        AgregaSucursal(2, QStringLiteral("Norte"));
        auto central = Central();
        ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, PrecioUnit, "
                                                 "PrecioCosto) VALUES (2, '7502', 'LAPIZ', 10, 4), (3, '7503', 'GOMA', 6, 2)")));
        matriz = Abre(Ruta(QStringLiteral("Matriz")));
        norte = Abre(Ruta(QStringLiteral("Norte")));
        ASSERT_TRUE(matriz->exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (2, 10), (3, 10)")));
        G().ClaveUsuario = 1;
        G().TraspasosDir = 0;
        carpeta = QDir(Carpeta()).filePath(QStringLiteral("envios"));
        QDir().mkpath(carpeta);
    }
    void TearDown() override
    {
        if (venta) venta->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // A screen that kept its unsaved lines (its close refused) must not outlive this data folder.
        delete venta.data();
        SucursalesTest::TearDown();
    }
    // The inventory screen with these (product, quantity) lines, as captured.
    venta::frmVenta* Pantalla(std::initializer_list<std::pair<qint64, double>> lineas)
    {
        venta = venta::AbreVenta(nullptr, QStringLiteral("E"), &prompts);
        EXPECT_TRUE(venta);
        QList<qint64> ids;
        for (const auto& [clave, cantidad] : lineas) {
            EXPECT_TRUE(matriz->exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                                                    "PrecioUnit, Terminal) VALUES (0, 'T', ?, ?, 99, 'PRUEBA')"),
                                     {clave, cantidad}));
            ids << matriz->lastInsertId();
        }
        venta->lineas().adopta(ids);
        venta->lineas().recarga();
        return venta;
    }
    double Existencia(db::Database& bd, qint64 clave)
    {
        return Valor(bd, QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = ?"), {clave}).toDouble();
    }
    void Activa(int n)
    {
        shell::CierraConexiones();
        G().SucursalActual = n;
        ASSERT_TRUE(shell::EstableceSucursal());
    }
    QString Genera(frmTraspasos& f, int destino)
    {
        f.Combo1->setCurrentIndex(f.Combo1->findData(destino));
        chooser.push(carpeta);
        prompts.pushAnswer(ui::Answer::Yes);
        QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
        const QStringList hechos = QDir(carpeta).entryList({QStringLiteral("T*.db")}, QDir::Files);
        return hechos.isEmpty() ? QString() : QDir(carpeta).filePath(hechos.last());
    }

    // A whole transfer as a person makes it: the lines captured, "&Generar" to the destination.
    void Traspasa(int destino, std::initializer_list<std::pair<qint64, double>> lineas)
    {
        if (venta) venta->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Pantalla(lineas);
        frmTraspasos f(nullptr, &prompts, &chooser);
        f.Combo1->setCurrentIndex(f.Combo1->findData(destino));
        prompts.pushAnswer(ui::Answer::Yes);
        QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    }
    void BorraHistorial(db::Database& bd)
    {
        db::Error e;
        ASSERT_TRUE(BorraHistorialVentas(bd, &e)) << e.message.toStdString();
    }

    std::unique_ptr<db::Database> matriz, norte;
    QPointer<venta::frmVenta> venta;
    QString carpeta;
};

TEST(NombreArchivoTraspasoTest, EveryExitGetsItsOwnFile)
{
    EXPECT_EQ(NombreArchivoTraspaso(QDate(2012, 3, 15), 1, 2, 57), QStringLiteral("T20120315_1_2_57.db"));
    EXPECT_EQ(DoctoTraspaso(1, 57), QStringLiteral("TR 1-57"));
}

TEST_F(TraspasosTest, AFileCarriesTheExitAndEntersOnceAtTheOtherBranch)
{
    Pantalla({{2, 3}, {3, 1}});
    frmTraspasos f(nullptr, &prompts, &chooser);
    EXPECT_EQ(f.Combo1->count(), 2);  // "No seleccionada" and Norte: the active branch is not offered
    const QString archivo = Genera(f, 2);
    ASSERT_EQ(QFileInfo(archivo).fileName(),
              NombreArchivoTraspaso(QDate::currentDate(), 1, 2, 1)) << prompts.messages().join(u'|').toStdString();
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El archivo del traspaso se ha generado en ") + QDir::toNativeSeparators(archivo));
    auto salida = matriz->selectOne(QStringLiteral("SELECT * FROM EInventario"));
    EXPECT_EQ(salida->integer(QStringLiteral("sucOrigen")), 1);
    EXPECT_EQ(salida->integer(QStringLiteral("sucDestino")), 2);
    EXPECT_EQ(salida->integer(QStringLiteral("Traspaso")), 2);
    EXPECT_EQ(salida->integer(QStringLiteral("DescribeMovto")), 3);
    EXPECT_EQ(salida->text(QStringLiteral("Docto")), QStringLiteral("TR 1-1"));
    EXPECT_TRUE(salida->text(QStringLiteral("Descripcion")).startsWith(QStringLiteral("Traspaso de Matriz hacia Norte. ")));
    EXPECT_EQ(Existencia(*matriz, 2), 7);
    EXPECT_EQ(Existencia(*matriz, 3), 9);
    auto central = Central();
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT PrecioCosto FROM Producto WHERE ClaveProducto = 2")).toDouble(), 4.0);
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT PrecioUnit FROM Producto WHERE ClaveProducto = 2")).toDouble(), 10.0);
    {
        auto t = Abre(archivo);
        EXPECT_EQ(Valor(*t, QStringLiteral("SELECT Traspaso FROM EInventario")).toInt(), 1);
        EXPECT_EQ(Valor(*t, QStringLiteral("SELECT count(*) FROM DEInventario")).toInt(), 2);
    }
    db::Database::closeAll(archivo);

    // At the origin the file is refused.
    prompts.clear();
    EXPECT_FALSE(AplicaTraspaso(archivo, prompts));
    EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("La sucursal activa no es la que corresponde")));

    if (venta) venta->close();
    Activa(2);
    frmTraspasos g(nullptr, &prompts, &chooser);
    QTest::keyClicks(g.capFile->findChild<QLineEdit*>(), archivo);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(g.cmdAplicar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("La Entrada/Salida a inventario se realizó con éxito."));
    auto entrada = norte->selectOne(QStringLiteral("SELECT * FROM EInventario"));
    ASSERT_FALSE(entrada->empty());
    EXPECT_EQ(entrada->integer(QStringLiteral("sucOrigen")), 1);
    EXPECT_EQ(entrada->integer(QStringLiteral("Traspaso")), 1);
    EXPECT_EQ(entrada->integer(QStringLiteral("sucDestino")), 2);
    EXPECT_EQ(entrada->integer(QStringLiteral("DescribeMovto")), 4);
    EXPECT_EQ(entrada->text(QStringLiteral("Docto")), QStringLiteral("TR 1-1"));
    EXPECT_EQ(Existencia(*norte, 2), 3);
    EXPECT_EQ(Existencia(*norte, 3), 1);

    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(AplicaTraspaso(archivo, prompts));
    EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("Este traspaso ya se aplicó")));
    EXPECT_EQ(Existencia(*norte, 2), 3);
}

TEST_F(TraspasosTest, DirectModeBooksIntoTheDestinationAndKeepsTheActiveBranch)
{
    G().TraspasosDir = 1;
    Pantalla({{2, 4}});
    frmTraspasos f(nullptr, &prompts, &chooser);
    EXPECT_TRUE(f.lblModo->text().startsWith(QStringLiteral("Traspasos directos esta activado")));
    f.Combo1->setCurrentIndex(1);
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    EXPECT_EQ(prompts.messages().count(QStringLiteral("La Entrada/Salida a inventario se realizó con éxito.")), 2)
        << prompts.messages().join(u'|').toStdString();
    EXPECT_EQ(Existencia(*matriz, 2), 6);
    EXPECT_EQ(Existencia(*norte, 2), 4);
    EXPECT_EQ(G().SucursalActual, 1);
    EXPECT_EQ(QFileInfo(shell::BDSucursal()->path()).canonicalFilePath(), QFileInfo(Ruta(QStringLiteral("Matriz"))).canonicalFilePath());
    EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT Docto FROM EInventario")).toString(), QStringLiteral("TR 1-1"));
    EXPECT_TRUE(chooser.asked().empty());  // no file, no folder asked
}

TEST_F(TraspasosTest, TheScreenLeftOpenAfterTheExitShowsNoTotalsOfItsLines)
{
    venta = venta::AbreVenta(nullptr, QStringLiteral("E"), &prompts);
    ASSERT_TRUE(venta);
    QTest::keyClicks(venta->cajaCodigo, QStringLiteral("7502"));
    QTest::keyClick(venta->cajaCodigo, Qt::Key_Return);
    ASSERT_EQ(venta->lineas().count(), 1) << prompts.messages().join(u'|').toStdString();
    ASSERT_EQ(venta->lblCProductos->text(), QStringLiteral("1 Productos. 1"));
    frmTraspasos f(nullptr, &prompts, &chooser);
    ASSERT_FALSE(Genera(f, 2).isEmpty());
    ASSERT_TRUE(venta);
    EXPECT_EQ(venta->lineas().count(), 0);
    EXPECT_EQ(venta->lblCProductos->text(), QStringLiteral("0 Productos. 0"));
    EXPECT_EQ(venta->txtTotal->text(), QStringLiteral("$ 0.00"));
}

TEST_F(TraspasosTest, LinesScannedAfterASentTransferAreTheNextDocumentAndAreNotDroppedUnasked)
{
    venta = venta::AbreVenta(nullptr, QStringLiteral("E"), &prompts);
    ASSERT_TRUE(venta);
    auto escanea = [this](std::initializer_list<const char*> codigos) {
        for (const char* c : codigos) {
            QTest::keyClicks(venta->cajaCodigo, QString::fromLatin1(c));
            QTest::keyClick(venta->cajaCodigo, Qt::Key_Return);
        }
    };
    QStringList archivos;
    for (auto codigos : {std::initializer_list<const char*>{"7502"}, {"7503", "7503"}}) {
        escanea(codigos);
        frmTraspasos f(nullptr, &prompts, &chooser);
        archivos << QFileInfo(Genera(f, 2)).fileName();
    }
    EXPECT_EQ(archivos, QStringList({NombreArchivoTraspaso(QDate::currentDate(), 1, 2, 1),
                                     NombreArchivoTraspaso(QDate::currentDate(), 1, 2, 2)}));
    EXPECT_EQ(Valor(*matriz, QStringLiteral("SELECT group_concat(Numero || ':' || ClaveProducto || 'x' || Cantidad, ' ') "
                                            "FROM (SELECT * FROM DEInventario ORDER BY Numero, OrdenCap)")).toString(),
              QStringLiteral("1:2x1.0 2:3x2.0"));
    EXPECT_EQ(Existencia(*matriz, 3), 8);

    // Lines neither saved nor sent are asked about before the screen lets them go.
    escanea({"7502"});
    prompts.pushAnswer(ui::Answer::No);
    venta->close();
    ASSERT_TRUE(venta);
    EXPECT_FALSE(venta->isHidden());
    EXPECT_EQ(prompts.asked().back().text, QStringLiteral("Los datos de sus productos no han sido aplicados, desea continuar ?"));
}

// A file applied at a branch other than its destination asks, naming both; on Sí it enters there,
// and then nowhere else: neither at its destination nor a second time where it entered.
TEST_F(TraspasosTest, AFileAtAnotherBranchAsksAndEntersOnceWhereverItIsApplied)
{
    AgregaSucursal(3, QStringLiteral("Sur"));
    Pantalla({{2, 1}});
    frmTraspasos f(nullptr, &prompts, &chooser);
    const QString archivo = Genera(f, 2);
    if (venta) venta->close();
    auto sur = Abre(Ruta(QStringLiteral("Sur")));
    const QString pregunta = QStringLiteral("El traspaso TR 1-1 se hizo para la sucursal Norte y la sucursal activa es "
                                            "Sur. Desea aplicarlo en Sur ?");
    struct Paso {
        int sucursal;
        ui::Answer respuesta;
        bool aplicado;
        QString mensaje;  // the one message shown, "" for none
    };
    const Paso pasos[] = {
        {3, ui::Answer::No, false, {}},
        {3, ui::Answer::Yes, true, {}},
        {2, ui::Answer::Yes, false, QStringLiteral("Este traspaso ya se aplicó en la sucursal Sur (documento TR 1-1).")},
        {3, ui::Answer::Yes, false, QStringLiteral("Este traspaso ya se aplicó en esta sucursal (documento TR 1-1).")},
    };
    for (const Paso& paso : pasos) {
        Activa(paso.sucursal);
        prompts.clear();
        for (int i = 0; i < 3; ++i) prompts.pushAnswer(paso.respuesta);
        EXPECT_EQ(AplicaTraspaso(archivo, prompts), paso.aplicado) << paso.sucursal;
        QStringList preguntas;
        for (const auto& a : prompts.asked())
            if (a.kind == ui::ScriptedPrompts::Asked::Question) preguntas << a.text;
        if (paso.mensaje.isEmpty()) {
            ASSERT_FALSE(preguntas.isEmpty());
            EXPECT_EQ(preguntas.front(), pregunta);
        } else {
            EXPECT_TRUE(preguntas.isEmpty()) << preguntas.join(u'|').toStdString();
        }
        QStringList esperados;
        if (!paso.mensaje.isEmpty()) esperados << paso.mensaje;
        else if (paso.aplicado) esperados << QString::fromUtf8("La Entrada/Salida a inventario se realizó con éxito.");
        EXPECT_EQ(prompts.messages(), esperados) << paso.sucursal;
    }
    EXPECT_EQ(Existencia(*matriz, 2) + Existencia(*sur, 2), 10);
    EXPECT_EQ(Existencia(*norte, 2), 0);
    EXPECT_EQ(Valor(*sur, QStringLiteral("SELECT count(*) FROM EInventario")).toInt(), 1);
    EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT count(*) FROM EInventario")).toInt(), 0);
}

TEST_F(TraspasosTest, AFailedEntryIsRetriedWithoutASecondExit)
{
    G().TraspasosDir = 1;
    ASSERT_TRUE(norte->exec(QStringLiteral("CREATE TRIGGER cierra BEFORE INSERT ON EInventario "
                                           "BEGIN SELECT RAISE(ABORT, 'archivo cerrado'); END")));
    Pantalla({{3, 2}});
    frmTraspasos f(nullptr, &prompts, &chooser);
    f.show();
    f.Combo1->setCurrentIndex(1);
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    EXPECT_TRUE(prompts.messages().join(u'|').contains(QStringLiteral("la salida 1 quedó guardada")))
        << prompts.messages().join(u'|').toStdString();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(Existencia(*matriz, 3), 8);
    EXPECT_EQ(Existencia(*norte, 3), 0);

    ASSERT_TRUE(norte->exec(QStringLiteral("DROP TRIGGER cierra")));
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    EXPECT_EQ(Valor(*matriz, QStringLiteral("SELECT count(*) FROM EInventario")).toInt(), 1);
    EXPECT_EQ(Existencia(*matriz, 3), 8);
    EXPECT_EQ(Existencia(*norte, 3), 2);
    EXPECT_FALSE(f.isVisible());
    // The same exit again enters nothing.
    prompts.clear();
    EXPECT_TRUE(TraspasoDirecto(1, 2, prompts));
    EXPECT_EQ(Existencia(*norte, 3), 2);
}

TEST_F(TraspasosTest, GenerateChecksComeInOrderAndRefuseBadQuantities)
{
    frmTraspasos f(nullptr, &prompts, &chooser);
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Para procesar su petición debe tener una ventana de E/S de inventario."));
    venta = venta::AbreVenta(nullptr, QStringLiteral("F"), &prompts);
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Para procesar su petición debe de tener una E/S de inventario."));
    venta->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    Pantalla({});
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Debe seleccionar una sucursal de la lista."));
    f.Combo1->setCurrentIndex(1);
    prompts.clear();
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);  // the question answered No
    EXPECT_TRUE(prompts.messages().isEmpty());
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Debe haber por lo menos 1 producto en la lista de E/S de inventario."));

    for (double mala : {0.0, -2.0}) {
        venta->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Pantalla({{2, 1}, {3, mala}});
        prompts.clear();
        prompts.pushAnswer(ui::Answer::Yes);
        QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
        EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("Las cantidades de la E/S de inventario deben ser mayores")));
    }
    EXPECT_EQ(Valor(*matriz, QStringLiteral("SELECT count(*) FROM EInventario")).toInt(), 0);

    // Direct mode needs the destination's file.
    G().TraspasosDir = 1;
    QFile::rename(Ruta(QStringLiteral("Norte")), Ruta(QStringLiteral("Norte")) + QStringLiteral(".fuera"));
    prompts.clear();
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No se encontró el archivo de datos de la sucursal Norte."));
}

TEST_F(TraspasosTest, BadFilesEnterNothing)
{
    Activa(2);
    const QString dir = Carpeta();
    auto hecho = [&](const QString& nombre, std::initializer_list<const char*> sql) {
        const QString r = QDir(dir).filePath(nombre);
        auto d = db::Database::create(r, datasetup::claveArchivos());
        EXPECT_TRUE(d);
        for (const char* s : sql) EXPECT_TRUE(d->exec(QString::fromLatin1(s))) << s;
        d.reset();
        db::Database::closeAll(r);
        return r;
    };
    const char* tablas[] = {"CREATE TABLE EInventario (Numero, Traspaso, sucDestino, Descripcion, Docto)",
                            "CREATE TABLE DEInventario (Numero, ClaveProducto, Cantidad, OrdenCap)"};
    const QString dos = hecho(QStringLiteral("dos.db"), {tablas[0], tablas[1], "INSERT INTO EInventario VALUES (1, 1, 2, 'x', 'TR 1-1'), (2, 1, 2, 'y', 'TR 1-2')",
                                                         "INSERT INTO DEInventario VALUES (1, 2, 1, 1)"});
    const QString desconocido = hecho(QStringLiteral("desconocido.db"), {tablas[0], tablas[1], "INSERT INTO EInventario VALUES (1, 1, 2, 'x', 'TR 1-1')",
                                                                        "INSERT INTO DEInventario VALUES (1, 999, 1, 1)"});
    const QString cero = hecho(QStringLiteral("cero.db"), {tablas[0], tablas[1], "INSERT INTO EInventario VALUES (1, 1, 2, 'x', 'TR 1-1')",
                                                          "INSERT INTO DEInventario VALUES (1, 2, 0, 1)"});
    const QString negativo = hecho(QStringLiteral("negativo.db"), {tablas[0], tablas[1], "INSERT INTO EInventario VALUES (1, 1, 2, 'x', 'TR 1-1')",
                                                                  "INSERT INTO DEInventario VALUES (1, 2, -2, 1)"});
    const QString vacio = hecho(QStringLiteral("vacio.db"), {tablas[0], tablas[1], "INSERT INTO EInventario VALUES (1, 1, 2, 'x', 'TR 1-1')"});
    const QString sinLineas = hecho(QStringLiteral("sinlineas.db"), {tablas[0]});
    const QString texto = QDir(dir).filePath(QStringLiteral("texto.db"));
    {
        QFile t(texto);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write(QByteArray("no es una base\n").repeated(300));
    }
    for (const QString& archivo : {dos, desconocido, cero, negativo, vacio, sinLineas, texto,
                                   QDir(dir).filePath(QStringLiteral("no-existe.db"))}) {
        prompts.clear();
        prompts.pushAnswer(ui::Answer::Yes);
        prompts.pushAnswer(ui::Answer::Yes);
        EXPECT_FALSE(AplicaTraspaso(archivo, prompts)) << archivo.toStdString();
        EXPECT_EQ(prompts.messages().size(), 1) << archivo.toStdString();
    }
    EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT count(*) FROM EInventario")).toInt(), 0);
    EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT count(*) FROM Existencia")).toInt(), 0);
}

TEST_F(TraspasosTest, ExploreWithoutAnotherBranchClosesTheScreen)
{
    G().DescripcionC[2].clear();
    frmTraspasos f(nullptr, &prompts, &chooser);
    f.show();
    QTest::mouseClick(f.cmdExplorar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(),
              QStringLiteral("No se encontró otra sucursal a la que se pueda hacer el traspaso, añada una sucursal."));
    EXPECT_FALSE(f.isVisible());
}

TEST_F(TraspasosTest, AnExitNumberUsedAgainAfterTheHistoryIsClearedStillEnters)
{
    G().TraspasosDir = 1;
    Traspasa(2, {{2, 1}});
    Traspasa(2, {{2, 1}});
    ASSERT_EQ(Existencia(*norte, 2), 2) << prompts.messages().join(u'|').toStdString();
    BorraHistorial(*matriz);
    QTest::qWait(1100);  // a later exit, as a cleared history always gives
    prompts.clear();
    Traspasa(2, {{2, 5}});  // takes exit number 2 again
    EXPECT_EQ(Valor(*matriz, QStringLiteral("SELECT Docto FROM EInventario")).toString(), QStringLiteral("TR 1-2"));
    EXPECT_EQ(prompts.messages().count(QStringLiteral("La Entrada/Salida a inventario se realizó con éxito.")), 2)
        << prompts.messages().join(u'|').toStdString();
    EXPECT_EQ(Existencia(*matriz, 2), 3);
    EXPECT_EQ(Existencia(*norte, 2), 7);
    // The same exit sent again enters nothing.
    prompts.clear();
    EXPECT_TRUE(TraspasoDirecto(2, 2, prompts));
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El traspaso TR 1-2 ya está registrado en la sucursal Norte."));
    EXPECT_EQ(Existencia(*norte, 2), 7);
}

TEST_F(TraspasosTest, AFileAppliedOnceIsRefusedAfterTheDestinationsHistoryIsCleared)
{
    Pantalla({{2, 3}});
    frmTraspasos f(nullptr, &prompts, &chooser);
    const QString archivo = Genera(f, 2);
    ASSERT_FALSE(archivo.isEmpty()) << prompts.messages().join(u'|').toStdString();
    if (venta) venta->close();
    Activa(2);
    prompts.pushAnswer(ui::Answer::Yes);
    ASSERT_TRUE(AplicaTraspaso(archivo, prompts)) << prompts.messages().join(u'|').toStdString();
    BorraHistorial(*norte);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(AplicaTraspaso(archivo, prompts));
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Este traspaso ya se aplicó en esta sucursal (documento TR 1-1)."));
    EXPECT_EQ(Existencia(*norte, 2), 3);

    // An entry booked before the received transfers were recorded still keeps its file out.
    ASSERT_TRUE(norte->exec(QStringLiteral("DROP TABLE TraspasosRecibidos")));
    ASSERT_TRUE(norte->exec(QStringLiteral("INSERT INTO EInventario (Numero, Fecha, Docto, DescribeMovto) "
                                           "VALUES (9, '2999-01-01 00:00:00', 'TR 1-1', 4)")));
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(AplicaTraspaso(archivo, prompts));
    EXPECT_EQ(Existencia(*norte, 2), 3);
    // One booked before the exit was made was another exit of that number: this one enters.
    ASSERT_TRUE(norte->exec(QStringLiteral("UPDATE EInventario SET Fecha = '2000-01-01 00:00:00' WHERE Numero = 9")));
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(AplicaTraspaso(archivo, prompts)) << prompts.messages().join(u'|').toStdString();
    EXPECT_EQ(Existencia(*norte, 2), 6);
}

TEST_F(TraspasosTest, GenerateSendsAgainOnlyASavedTransferExit)
{
    G().TraspasosDir = 1;
    venta::frmVenta* v = Pantalla({{2, 4}});
    v->TextoES = QStringLiteral("Compra");
    int signo = 1;
    bool imprimir = false;
    v->GuardatodoESInv(signo, imprimir);  // an ordinary entry, the save command off after it
    ASSERT_EQ(v->NumeroDocumento, 1);
    ASSERT_FALSE(v->cmdActInv->isEnabled());
    frmTraspasos f(nullptr, &prompts, &chooser);
    f.Combo1->setCurrentIndex(1);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Solo se puede enviar de nuevo una salida por traspaso guardada: el "
                                                    "documento 1 no es una salida por traspaso de esta sucursal."));
    EXPECT_EQ(Existencia(*norte, 2), 0);
    EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT count(*) FROM EInventario")).toInt(), 0);
    EXPECT_EQ(RevisaReenvio(*matriz, 7, 1, 2), QStringLiteral("Solo se puede enviar de nuevo una salida por traspaso "
                                                              "guardada: no existe el documento 7."));
}

TEST_F(TraspasosTest, TheTerminalThatLosesTheRaceIsToldTheTransferIsRegistered)
{
    G().TraspasosDir = 1;
    Pantalla({{2, 3}});
    frmTraspasos f(nullptr, &prompts, &chooser);
    f.show();
    f.Combo1->setCurrentIndex(1);
    // Another terminal holds Norte's file and, once it lets go, books the same exit first.
    auto otra = Retiene(Ruta(QStringLiteral("Norte")));
    ui::ScriptedPrompts suyos;
    bool gano = false;
    QTimer::singleShot(300, [&] {
        Suelta(*otra);
        gano = TraspasoDirecto(1, 2, suyos);
    });
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
    ASSERT_TRUE(gano) << suyos.messages().join(u'|').toStdString();
    const QStringList dichos = prompts.messages();
    EXPECT_EQ(dichos, (QStringList{QStringLiteral("La Entrada/Salida a inventario se realizó con éxito."),
                                   QStringLiteral("El traspaso TR 1-1 ya está registrado en la sucursal Norte.")}))
        << dichos.join(u'|').toStdString();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(Existencia(*norte, 2), 3);
    EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT count(*) FROM EInventario")).toInt(), 1);
}

namespace {

// Answers as scripted, after the other terminal has acted on the question it waits for.
class OtraTerminalAntes : public ui::ScriptedPrompts {
public:
    std::function<void()> antes;
    ui::Answer question(const QString& text, const QString& title, bool withCancel, bool defaultNo) override
    {
        if (antes && text.startsWith(QStringLiteral("Se procesará el traspaso"))) std::exchange(antes, nullptr)();
        return ScriptedPrompts::question(text, title, withCancel, defaultNo);
    }
};

}  // namespace

TEST_F(TraspasosTest, AFileAppliedByAnotherTerminalMeanwhileIsToldAsApplied)
{
    Pantalla({{3, 2}});
    frmTraspasos f(nullptr, &prompts, &chooser);
    const QString archivo = Genera(f, 2);
    ASSERT_FALSE(archivo.isEmpty());
    if (venta) venta->close();
    Activa(2);
    OtraTerminalAntes estos;
    ui::ScriptedPrompts suyos;
    estos.antes = [&] {
        suyos.pushAnswer(ui::Answer::Yes);
        EXPECT_TRUE(AplicaTraspaso(archivo, suyos));
    };
    estos.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(AplicaTraspaso(archivo, estos));
    EXPECT_EQ(estos.messages(), QStringList{QStringLiteral("Este traspaso ya se aplicó en esta sucursal (documento TR 1-1).")});
    EXPECT_EQ(Existencia(*norte, 3), 2);
}
