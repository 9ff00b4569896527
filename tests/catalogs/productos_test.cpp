// The product catalogue: what a row shows, the checks and the save on the demo data folder, the
// search pattern, and the form driven offscreen (permissions, and the hand-over to the sale screen).

#include "shell/texto.h"
#include "testutil.h"
#include "carpeta_prueba.h"

#include "catalogs/forms/frmclientes.h"
#include "catalogs/forms/frmprodproveedores.h"
#include "catalogs/forms/frmproductos.h"
#include "catalogs/productos.h"
#include "capture_control/ccaptura.h"
#include "printing/impresoraticket.h"
#include "sale/forms/frmventa.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

using namespace catalogos;

namespace {

class ProductosTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(c.ok); }
    CamposProducto Nuevo(const QString& codigo)
    {
        CamposProducto p = CamposDeFila(db::Row(), 16);
        p.CodigodeBarras = codigo;
        p.Nombre = QStringLiteral("NUEVO ") + codigo;
        p.Descripcion = QStringLiteral("PRODUCTO ") + codigo;
        p.Categoria = 0;
        p.TipoProducto = 0;
        return p;
    }
    db::Row Producto(qint64 clave)
    {
        return *c.sucursal->selectOne(QStringLiteral("SELECT * FROM ProductoCE WHERE ClaveProducto=?"), {clave});
    }
    qint64 Cuenta(const QString& sql, const QVariantList& p = {})
    {
        return c.sucursal->scalar(sql, p)->toLongLong();
    }
    catalogtest::CarpetaPrueba c;
};

TEST_F(ProductosTest, EmptyRowShowsTheDefaultsAndStoredRowsRoundTrip)
{
    const CamposProducto v = CamposDeFila(db::Row(), 16);
    EXPECT_EQ(v.Unidad, "Pza");
    EXPECT_EQ(v.Marca, "GEN");
    EXPECT_EQ(v.Empaque, "1");
    EXPECT_EQ(v.IVA, "16");
    EXPECT_EQ(v.Moneda, 1);
    EXPECT_EQ(v.TipoSustituto, "NO");
    EXPECT_EQ(v.Existencia, "0");

    const CamposProducto pluma = CamposDeFila(Producto(3), 16);
    EXPECT_EQ(pluma.Nombre, "PLUMA AZUL");
    EXPECT_EQ(pluma.PrecioUnit, "8");
    EXPECT_EQ(pluma.Precio2, "7.6");
    EXPECT_EQ(pluma.Existencia, "120");
    EXPECT_TRUE(ValidaProducto(pluma, 16).ok());
}

TEST_F(ProductosTest, ChecksRefuseWhatIsNotAPlainNumberInRange)
{
    CamposProducto p = Nuevo(QStringLiteral("X1"));
    EXPECT_TRUE(ValidaProducto(p, 16).ok());
    const std::pair<QString CamposProducto::*, CampoProducto> casos[] = {
        {&CamposProducto::Existencia, CampoProducto::Existencia},
        {&CamposProducto::PrecioUnit, CampoProducto::PrecioUnit},
        {&CamposProducto::Reorden, CampoProducto::Reorden},
        {&CamposProducto::Precio1, CampoProducto::Precio1},
        {&CamposProducto::PrecioCosto, CampoProducto::PrecioCosto},
        {&CamposProducto::StockMax, CampoProducto::StockMax}};
    for (const auto& [campo, esperado] : casos) {
        for (const char* malo : {"1,25.00", "12abc", "1e3"}) {
            CamposProducto q = p;
            q.*campo = QString::fromLatin1(malo);
            const ValidacionProducto v = ValidaProducto(q, 16);
            EXPECT_EQ(v.campo, esperado) << malo;
            EXPECT_TRUE(v.mensaje.startsWith(QStringLiteral("El dato de"))) << malo;
        }
    }
    p.PrecioUnit.clear();  // required, unlike a price list
    EXPECT_EQ(ValidaProducto(p, 16).campo, CampoProducto::PrecioUnit);
    p.PrecioUnit = QStringLiteral("10");
    p.IVA = QStringLiteral("101");
    EXPECT_EQ(ValidaProducto(p, 16).campo, CampoProducto::IVA);
    p.IVA = QStringLiteral("8.5");
    EXPECT_EQ(ValidaProducto(p, 16).campo, CampoProducto::IVA);
    // Only exempt or the branch's own rate: the sale screen charges no other.
    p.IVA = QStringLiteral("99");
    EXPECT_EQ(ValidaProducto(p, 16).campo, CampoProducto::IVA);
    EXPECT_EQ(ValidaProducto(p, 16).mensaje, QString::fromUtf8("El I.V.A. del producto debe ser 0 (exento) o 16, el de la sucursal."));
    p.IVA = QStringLiteral("8");
    EXPECT_TRUE(ValidaProducto(p, 8).ok());
    EXPECT_FALSE(ValidaProducto(p, 16).ok());
    p.IVA = QStringLiteral("16");
    for (const auto& [precio, nombre] : {std::pair{&CamposProducto::PrecioUnit, "Precio Unitario"},
                                         std::pair{&CamposProducto::Precio2, "Precio 2"},
                                         std::pair{&CamposProducto::PrecioCosto, "Precio costo"}}) {
        CamposProducto q = p;
        q.*precio = QStringLiteral("-5");
        EXPECT_EQ(ValidaProducto(q, 16).mensaje,
                  QStringLiteral("El dato de \"%1\" no puede ser negativo.").arg(QString::fromUtf8(nombre)));
    }
    p.IVA = QStringLiteral("0");
    p.Descuento = QStringLiteral("-1");
    EXPECT_EQ(ValidaProducto(p, 16).campo, CampoProducto::Descuento);
    p.Descuento = QStringLiteral("100");
    p.Existencia = QStringLiteral("-4.5");  // sales may leave the stock negative
    EXPECT_TRUE(ValidaProducto(p, 16).ok());
    p.CodigodeBarras = QStringLiteral("  ");
    EXPECT_EQ(ValidaProducto(p, 16).campo, CampoProducto::CodigodeBarras);
}

TEST_F(ProductosTest, SaveWritesTheColumnsOnceAndLeavesTheRestAlone)
{
    CamposProducto p = Nuevo(QStringLiteral("NUEVO-1"));
    p.Descripcion2 = QStringLiteral("ABC");
    p.Empaque = QStringLiteral("0");
    p.Moneda = 0;
    p.Precio1.clear();
    p.Existencia = QStringLiteral("99");  // locked: never written
    const qint64 maximo = Cuenta(QStringLiteral("SELECT MAX(ClaveProducto) FROM Producto"));
    ResultadoProducto r = GrabaProducto(*c.sucursal, p, std::nullopt, {});
    ASSERT_TRUE(r.ok) << r.error.message.toStdString();
    EXPECT_EQ(r.clave, maximo + 1);
    db::Row f = Producto(r.clave);
    EXPECT_EQ(f.text("Descripcion2"), "ABC ");
    EXPECT_EQ(f.real("Empaque"), 1.0);
    EXPECT_EQ(f.integer("Moneda"), 1);
    EXPECT_TRUE(f.isNull("Precio1"));
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM Existencia WHERE ClaveProducto=?"), {r.clave}), 0);
    const QString fecha = f.text("Fechap");
    EXPECT_FALSE(fecha.isEmpty());

    // Saved again as shown: still one blank; no category or type chosen leaves them as stored.
    c.sucursal->exec(QStringLiteral("UPDATE Producto SET Categoria=7, TipoProducto=3, Fechap='2020-01-02' "
                                    "WHERE ClaveProducto=?"), {r.clave});
    CamposProducto otra = CamposDeFila(Producto(r.clave), 16);
    otra.Categoria.reset();
    otra.TipoProducto.reset();
    otra.Empaque = QStringLiteral("-3");
    r = GrabaProducto(*c.sucursal, otra, r.clave, {});
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.sinCategoria);
    f = Producto(r.clave);
    EXPECT_EQ(f.text("Descripcion2"), "ABC ");
    EXPECT_EQ(f.integer("Categoria"), 7);
    EXPECT_EQ(f.integer("TipoProducto"), 3);
    EXPECT_EQ(f.text("Fechap"), "2020-01-02");
    EXPECT_EQ(f.real("Empaque"), 1.0);
}

TEST_F(ProductosTest, AFailingSaveWritesNothing)
{
    CamposProducto p = CamposDeFila(Producto(3), 16);
    p.Nombre = QStringLiteral("CAMBIADO");
    p.CodigodeBarras = QStringLiteral("7501000000035");  // the black pen's
    ResultadoProducto r = GrabaProducto(*c.sucursal, p, 3, {true});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.kind, db::ErrorKind::DuplicateKey);
    EXPECT_EQ(Producto(3).text("Nombre"), "PLUMA AZUL");

    const qint64 antes = Cuenta(QStringLiteral("SELECT COUNT(*) FROM Producto"));
    CamposProducto n = Nuevo(QStringLiteral("7501000000035"));
    n.Existencia = QStringLiteral("5");
    EXPECT_FALSE(GrabaProducto(*c.sucursal, n, std::nullopt, {true}, QStringLiteral("/tmp/x.jpg")).ok);
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM Producto")), antes);
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM ImagenProducto")), 0);
    // A product gone meanwhile is told, not recreated.
    EXPECT_FALSE(GrabaProducto(*c.sucursal, Nuevo(QStringLiteral("Z")), 9999, {}).ok);
}

TEST_F(ProductosTest, TwoTerminalsAddingAtOnceGetDifferentKeys)
{
    // Two terminals of two branches: each thread its own handle on its branch file (opened and
    // closed one at a time, the handle registry being the program's), both saving at once into
    // the central catalogue they share.
    ASSERT_TRUE(c.AgregaSucursal(2, QStringLiteral("SUC2")));
    const QString rutas[2] = {c.sucursal->path(), datasetup::rutaSucursal(c.dir.path(), QStringLiteral("SUC2"))};
    std::vector<qint64> claves[2];
    std::mutex apertura;
    db::LockWait espera;
    espera.serveEvents = false;
    auto alta = [&](int t) {
        std::unique_ptr<db::Database> bd;
        {
            std::lock_guard<std::mutex> l(apertura);
            bd = db::Database::open(rutas[t], datasetup::claveArchivos());
        }
        for (int i = 0; bd && i < 15; ++i) {
            CamposProducto p = Nuevo(QStringLiteral("T%1-%2").arg(t).arg(i));
            const ResultadoProducto r = GrabaProducto(*bd, p, std::nullopt, {}, std::nullopt, espera);
            if (r.ok)
                claves[t].push_back(r.clave);
        }
        std::lock_guard<std::mutex> l(apertura);
        bd.reset();
    };
    std::thread a(alta, 0), b(alta, 1);
    a.join();
    b.join();
    std::set<qint64> todas(claves[0].begin(), claves[0].end());
    todas.insert(claves[1].begin(), claves[1].end());
    EXPECT_EQ(claves[0].size() + claves[1].size(), 30u);
    EXPECT_EQ(todas.size(), 30u);
}

TEST_F(ProductosTest, DeleteKeepsProductOneAndTakesAProductsRowsAlong)
{
    db::Error e;
    EXPECT_FALSE(BorraProducto(*c.sucursal, 1, &e));
    EXPECT_EQ(e.message, "Este producto no se puede borrar.R001");
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM Producto WHERE ClaveProducto=1")), 1);

    c.sucursal->exec(QStringLiteral("INSERT INTO Proveedores (RFC) VALUES ('P1')"));
    c.sucursal->exec(QStringLiteral("INSERT INTO ProductoProveedor (ClaveProducto, RFC) VALUES (4, 'P1')"));
    c.central->exec(QStringLiteral("INSERT INTO ImagenProducto (ClaveProducto, Imagen) VALUES (4, '/a.jpg')"));
    ASSERT_TRUE(BorraProducto(*c.sucursal, 4, &e)) << e.message.toStdString();
    for (const char* tabla : {"Producto", "Existencia", "ProductoProveedor", "ImagenProducto"})
        EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ClaveProducto=4").arg(QLatin1String(tabla))), 0)
            << tabla;
}

TEST_F(ProductosTest, ANewProductNeverInheritsTheCreditPlanOfADeletedOne)
{
    // The next key is the highest + 1: deleting the last product hands its key to the next one.
    const qint64 ultimo = Cuenta(QStringLiteral("SELECT MAX(ClaveProducto) FROM Producto"));
    ASSERT_GT(ultimo, 1);
    ASSERT_TRUE(c.central->exec(QStringLiteral("INSERT OR REPLACE INTO PreciosCredito (Producto, PrecioCredito, Anticipo, "
                                               "ImportePago) VALUES (?, 999, 100, 50)"),
                                {ultimo}));
    db::Error e;
    ASSERT_TRUE(BorraProducto(*c.sucursal, ultimo, &e)) << e.message.toStdString();
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM PreciosCredito WHERE Producto=?"), {ultimo}), 0);
    const ResultadoProducto r = GrabaProducto(*c.sucursal, Nuevo(QStringLiteral("PLAN-NUEVO")), std::nullopt, {});
    ASSERT_TRUE(r.ok) << r.error.message.toStdString();
    EXPECT_EQ(r.clave, ultimo);
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM PreciosCredito WHERE Producto=?"), {r.clave}), 0);
}

TEST_F(ProductosTest, ANewProductNeverTakesAKeyThatOldRecordsStillCarry)
{
    const qint64 ultimo = Cuenta(QStringLiteral("SELECT MAX(ClaveProducto) FROM Producto"));
    ASSERT_TRUE(c.sucursal->exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                                                "PrecioUnit) VALUES (7, 'T', ?, 1, 10)"),
                                 {ultimo}));
    db::Error e;
    ASSERT_TRUE(BorraProducto(*c.sucursal, ultimo, &e)) << e.message.toStdString();
    ResultadoProducto r = GrabaProducto(*c.sucursal, Nuevo(QStringLiteral("SIN-HERENCIA")), std::nullopt, {});
    ASSERT_TRUE(r.ok) << r.error.message.toStdString();
    EXPECT_EQ(r.clave, ultimo + 1);  // ticket 7's line stays the deleted product's

    // Another branch still keeps a stock row of a product deleted long ago.
    ASSERT_TRUE(c.AgregaSucursal(2, QStringLiteral("NORTE")));
    auto norte = db::Database::open(datasetup::rutaSucursal(c.dir.path(), QStringLiteral("NORTE")),
                                    datasetup::claveArchivos());
    ASSERT_TRUE(norte && norte->exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (?, 3)"),
                                     {ultimo + 5}));
    norte.reset();
    r = GrabaProducto(*c.sucursal, Nuevo(QStringLiteral("SIN-HERENCIA2")), std::nullopt, {});
    ASSERT_TRUE(r.ok) << r.error.message.toStdString();
    EXPECT_EQ(r.clave, ultimo + 6);
}

TEST_F(ProductosTest, SearchPatternAndSourceTakeTypedTextLiterally)
{
    EXPECT_EQ(PatronBusqueda(QStringLiteral("AB"), true), "%A%B%");
    EXPECT_EQ(PatronBusqueda(QStringLiteral("AB"), false), "AB%");
    EXPECT_EQ(PatronBusqueda(QString(), true), "");
    EXPECT_EQ(PatronBusqueda(QStringLiteral("5%_"), false), "5\\%\\_%");

    FuenteCatalogo f(c.sucursal.get());
    ASSERT_TRUE(f.busca(QStringLiteral("NOMBRE"), PatronBusqueda(QStringLiteral("PLU"), false)));
    ASSERT_EQ(f.count(), 2);
    EXPECT_EQ(f.fila(0).text("Nombre"), "PLUMA AZUL");
    EXPECT_EQ(f.fila(1).text("Nombre"), "PLUMA NEGRA");
    ASSERT_TRUE(f.busca(QStringLiteral("NOMBRE"), PatronBusqueda(QStringLiteral("PLNE"), true)));
    ASSERT_EQ(f.count(), 1);
    EXPECT_EQ(f.fila(0).text("Nombre"), "PLUMA NEGRA");
    for (const char* literal : {"%", "_LUMA", "*", "P'"}) {
        ASSERT_TRUE(f.busca(QStringLiteral("NOMBRE"), PatronBusqueda(QString::fromLatin1(literal), false)));
        EXPECT_EQ(f.count(), 0) << literal;
    }
    // A field outside the list never reaches the statement.
    ASSERT_TRUE(f.busca(QStringLiteral("1; DROP TABLE Producto"), QString()));
    EXPECT_EQ(f.count(), 21);
}

TEST_F(ProductosTest, ASearchWaitsForAnotherTerminalsSaveToEnd)
{
    // Another terminal committing a sale holds the central file for a moment; a keystroke in the
    // search meanwhile must wait for it, not fail and clear what the person typed.
    std::mutex apertura;
    std::atomic<bool> retenido{false};
    std::thread otra([&] {
        std::unique_ptr<db::Database> bd;
        {
            std::lock_guard<std::mutex> l(apertura);
            bd = db::Database::open(c.central->path(), datasetup::claveArchivos());
        }
        if (bd && bd->exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
            retenido = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            bd->exec(QStringLiteral("COMMIT"));
        }
        retenido = true;
        std::lock_guard<std::mutex> l(apertura);
        bd.reset();
    });
    while (!retenido)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    FuenteCatalogo f(c.sucursal.get());
    db::Error e;
    const bool bien = f.busca(QStringLiteral("NOMBRE"), PatronBusqueda(QStringLiteral("PLU"), false), &e);
    otra.join();
    EXPECT_TRUE(bien) << e.message.toStdString();
    EXPECT_EQ(f.count(), 2);
}

class ProductosFormaTest : public ProductosTest {
protected:
    void SetUp() override
    {
        ProductosTest::SetUp();
        for (int p : {2, 4, 35, 36})
            G().PermisosUsuario[size_t(p)] = true;
        G().PermisosUsuario[3] = true;
        G().Derechos = QStringLiteral("00000000001");
    }
    static QLineEdit* Caja(CCaptura* c) { return c->findChild<QLineEdit*>(); }
};

TEST_F(ProductosFormaTest, PermissionsGovernTheButtonsWithoutAMessage)
{
    G().PermisosUsuario[35] = G().PermisosUsuario[36] = false;
    G().Derechos.clear();
    frmProductos f;
    ASSERT_TRUE(f.Abierto());
    f.show();
    EXPECT_FALSE(f.cmdGuardar->isEnabled());
    EXPECT_FALSE(f.cmdBorrar->isEnabled());
    EXPECT_FALSE(f.cmdNuevo->isEnabled());
    f.cmdNuevo_Click();
    EXPECT_FALSE(f.EsNuevo());
    f.SSDatos->setCurrentIndex(1);
    EXPECT_EQ(f.SSDatos->currentIndex(), 0);  // Detalles needs right 11
    G().Derechos = QStringLiteral("00000000001");
    f.SSDatos->setCurrentIndex(1);
    EXPECT_EQ(f.SSDatos->currentIndex(), 1);
    // Supplier links need permission 4, with its message.
    G().PermisosUsuario[4] = false;
    QTest::mouseClick(f.cmdProveedores, Qt::LeftButton);
    EXPECT_EQ(c.prompts.lastMessage(), "Usted no tiene acceso a esta parte del sistema.");
    EXPECT_EQ(c.prompts.messages().size(), 1);
}

TEST_F(ProductosFormaTest, TheOpenCatalogueGoesOnWorkingAfterTheProgramReopensItsFiles)
{
    // Changing the active branch, importing a file or compacting closes the program's handles while
    // the catalogue stays open; it must reach the files through the handles opened in their place.
    frmProductos f;
    ASSERT_TRUE(f.Abierto());
    f.show();
    shell::CierraConexiones();
    c.prompts.clear();
    QTest::keyClicks(f.Text1, QStringLiteral("PLU"));
    EXPECT_TRUE(c.prompts.messages().empty()) << c.prompts.lastMessage().toStdString();
    EXPECT_EQ(f.lblRegistros->text(), "2 reg. mostrados");
    EXPECT_EQ(f.capNombre->Text(), "PLUMA AZUL");
}

TEST_F(ProductosFormaTest, NewProductSavedFromTheFormAndDeletedAgain)
{
    frmProductos f;
    f.show();
    EXPECT_EQ(f.lblRegistros->text(), "21 reg. mostrados");
    QTest::mouseClick(f.cmdNuevo, Qt::LeftButton);
    EXPECT_TRUE(f.EsNuevo());
    EXPECT_EQ(f.capUnidad->Text(), "Pza");
    EXPECT_EQ(f.cmbMoneda->currentText(), "1. Pesos");
    QTest::keyClicks(Caja(f.capCodigo), QStringLiteral("999"));
    QTest::keyClicks(Caja(f.capNombre), QStringLiteral("engrapadora"));
    Caja(f.capPrecioUnit)->clear();
    QTest::keyClicks(Caja(f.capPrecioUnit), QStringLiteral("1,25.00"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(c.prompts.lastMessage(), shell::MensajeNumero(QStringLiteral("Precio Unitario")));
    EXPECT_TRUE(Caja(f.capPrecioUnit)->hasFocus() || !f.isActiveWindow());
    Caja(f.capPrecioUnit)->clear();
    QTest::keyClicks(Caja(f.capPrecioUnit), QStringLiteral("85.5"));
    f.cmbMoneda->setCurrentIndex(0);
    EXPECT_EQ(f.cmbMoneda->currentIndex(), 1);  // "0. Ninguna" goes back to pesos
    EXPECT_EQ(f.cmbCategoria->currentText(), "SIN CATEGORIA");  // the key 0 a new product shows
    f.cmbCategoria->setCurrentIndex(-1);
    c.prompts.clear();
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(c.prompts.lastMessage(), "Si no agrupa el producto en categorias, no aparecera en sus reportes.");
    EXPECT_FALSE(f.EsNuevo());
    EXPECT_EQ(f.capNombre->Text(), "ENGRAPADORA");
    EXPECT_EQ(f.Registros(), 22);
    const qint64 clave = f.ClaveActual();
    EXPECT_EQ(Producto(clave).real("PrecioUnit"), 85.5);
    EXPECT_EQ(G().CodigoProductoSel, "999");
    EXPECT_EQ(G().ClaveProductoSel, QString::number(clave));
    EXPECT_EQ(G().ProductoPendiente, 0);

    c.prompts.pushAnswer(ui::Answer::Yes);
    const int fila = f.Posicion();
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(f.Registros(), 21);
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM Producto WHERE ClaveProducto=?"), {clave}), 0);
    EXPECT_EQ(f.Posicion(), std::min(fila, 20));

    // Product 1: asked, refused, kept.
    f.Combo1->setCurrentIndex(0);
    QTest::keyClicks(f.Text1, QStringLiteral("VARIOS"));
    ASSERT_EQ(f.Registros(), 1);
    c.prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(c.prompts.lastMessage(), "Este producto no se puede borrar.R001");
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM Producto WHERE ClaveProducto=1")), 1);

    // F12 clears the search, F2 moves to the next field.
    QTest::keyClick(f.Text1, Qt::Key_F12);
    EXPECT_EQ(f.Registros(), 21);
    QTest::keyClick(f.Text1, Qt::Key_F2);
    EXPECT_EQ(f.Combo1->currentText(), "NOMBRE");
    f.Check1->setChecked(true);
    QTest::keyClicks(f.Text1, QStringLiteral("PLNE"));
    EXPECT_EQ(f.lblRegistros->text(), "1 reg. mostrados");
}

// Names are stored in capitals; what a person types in small letters, accented ones and ñ included,
// finds them.
TEST_F(ProductosFormaTest, TypedSmallAccentedLettersFindTheStoredCapitals)
{
    for (const auto& [antes, ahora] : {std::pair{"GALLETAS", "CAFÉ SOLUBLE"}, {"LAPIZ HB", "LÁPIZ HB"},
                                       {"PEGAMENTO", "PEÑAFIEL"}})
        ASSERT_TRUE(c.central->exec(QStringLiteral("UPDATE Producto SET Nombre = ? WHERE Nombre = ?"),
                                    {QString::fromUtf8(ahora), QString::fromUtf8(antes)}));
    frmProductos f;
    f.show();
    f.Combo1->setCurrentIndex(f.Combo1->findText(QStringLiteral("NOMBRE")));
    for (const auto& [tecleado, hallado] : {std::pair{"café", "CAFÉ SOLUBLE"}, {"lá", "LÁPIZ HB"}, {"peñ", "PEÑAFIEL"}}) {
        f.Text1->clear();
        testutil::Teclea(f.Text1, QString::fromUtf8(tecleado));
        EXPECT_EQ(f.lblRegistros->text(), "1 reg. mostrados") << tecleado;
        EXPECT_EQ(f.capNombre->Text(), QString::fromUtf8(hallado)) << tecleado;
    }
}

TEST_F(ProductosFormaTest, ANegativePriceOrARateTheBranchDoesNotChargeIsRefused)
{
    G().PorcentajeIVA = 16;
    frmProductos f;
    f.show();
    QTest::mouseClick(f.cmdNuevo, Qt::LeftButton);
    QTest::keyClicks(Caja(f.capCodigo), QStringLiteral("NEG1"));
    Caja(f.capPrecioUnit)->selectAll();
    QTest::keyClicks(Caja(f.capPrecioUnit), QStringLiteral("-5"));
    Caja(f.capIVA)->selectAll();
    QTest::keyClicks(Caja(f.capIVA), QStringLiteral("99"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(c.prompts.lastMessage(), QString::fromUtf8("El I.V.A. del producto debe ser 0 (exento) o 16, el de la sucursal."));
    Caja(f.capIVA)->selectAll();
    QTest::keyClicks(Caja(f.capIVA), QStringLiteral("16"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(c.prompts.lastMessage(), QStringLiteral("El dato de \"Precio Unitario\" no puede ser negativo."));
    EXPECT_TRUE(f.EsNuevo());
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM Producto WHERE CodigodeBarras='NEG1'")), 0);
    Caja(f.capPrecioUnit)->selectAll();
    QTest::keyClicks(Caja(f.capPrecioUnit), QStringLiteral("5"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Cuenta(QStringLiteral("SELECT COUNT(*) FROM Producto WHERE CodigodeBarras='NEG1' AND PrecioUnit=5 AND IVA=16")), 1);
}

TEST_F(ProductosFormaTest, SupplierLinksOpenForTheProductShownAndHandTheCodeBackAfterwards)
{
    auto* f = AbreProductos(nullptr);
    ASSERT_NE(f, nullptr);
    f->Combo1->setCurrentIndex(0);
    QTest::keyClicks(f->Text1, QStringLiteral("7501000000028"));
    G().SeleccionCatalogo = QStringLiteral("ALGO");
    QTest::mouseClick(f->cmdProveedores, Qt::LeftButton);
    auto* enlaces = qobject_cast<frmProdProveedores*>(shell::FormaCargada(QStringLiteral("frmProdProveedores")));
    ASSERT_NE(enlaces, nullptr);
    EXPECT_EQ(G().ProductoProv, 3);
    EXPECT_EQ(G().ModoProdProv, 5);
    EXPECT_TRUE(G().SeleccionCatalogo.isEmpty());
    EXPECT_EQ(enlaces->Label1->text(), "PROVEEDORES PARA EL PRODUCTO: BOLIGRAFO PUNTO MEDIANO AZUL");
    enlaces->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(G().ModoProdProv, 0);  // closed by its window too
    QTest::mouseClick(f->cmdRegresar, Qt::LeftButton);
    EXPECT_EQ(G().CodigoProductoSel, "7501000000028");  // not the heading
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ProductosFormaTest, OpenFailureClosesTheForm)
{
    G().DescripcionC[1] = QStringLiteral("NOEXISTE");
    shell::CierraConexiones();
    EXPECT_EQ(AbreProductos(nullptr), nullptr);
    EXPECT_EQ(c.prompts.lastMessage(),
              "Error al abrir catálogo de productos. Compruebe las rutas o actualize las rutas en el "
              "catalogo de sucursales.");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shell::FormaCargada(QStringLiteral("frmProductos")), nullptr);
}

TEST_F(ProductosFormaTest, PickedProductGoesToTheSaleScreensCodeField)
{
    G().PuertoTicket = c.dir.path() + QStringLiteral("/lp-ticket");
    EstableceImpresoraActual(QString());
    auto midi = std::make_unique<shell::MIDI>();
    catalogos::ConectaMenusCatalogos(midi.get());
    shell::ConectaMenu(midi.get());
    midi->show();
    venta::frmVenta* venta = venta::AbreVenta(midi.get(), QStringLiteral("F"), &c.prompts);
    ASSERT_NE(venta, nullptr);

    midi->Ejecuta(QStringLiteral("Productos"));
    auto* f = qobject_cast<frmProductos*>(shell::FormaCargada(QStringLiteral("frmProductos")));
    ASSERT_NE(f, nullptr);
    QTest::keyClicks(f->Text1, QStringLiteral("PLU"));
    ASSERT_EQ(f->Registros(), 2);
    const QRect celda = f->gridClientes->visualRect(f->gridClientes->model()->index(1, 2));
    QTest::mouseClick(f->gridClientes->viewport(), Qt::LeftButton, {}, celda.center());
    EXPECT_EQ(f->capNombre->Text(), "PLUMA NEGRA");
    EXPECT_EQ(G().ProductoPendiente, 0);
    QTest::mouseClick(f->cmdRegresar, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(venta->cajaCodigo->text(), "7501000000035");
    EXPECT_EQ(midi->areaMDI()->activeSubWindow(), venta->parentWidget());
    EXPECT_EQ(shell::FormaCargada(QStringLiteral("frmProductos")), nullptr);
    midi.reset();
}

}  // namespace
