// The product picture (its stored path, the file choice, the large view) and the product's
// reports (entries and exits, sales by invoice and by ticket) on the demo data folder.

#include "carpeta_prueba.h"

#include "catalogs/forms/frmimagenproducto.h"
#include "catalogs/forms/frmproductos.h"
#include "catalogs/productos.h"
#include "catalogs/productos_reportes.h"
#include "capture_control/ccaptura.h"
#include "printing/reporte.h"
#include "shell/estado.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace catalogos;

namespace {

class ImagenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok);
        G().PermisosUsuario[35] = G().PermisosUsuario[36] = true;
    }
    QStringList Rutas(qint64 clave)
    {
        QStringList l;
        const auto filas = c.central->select(QStringLiteral("SELECT Imagen FROM ImagenProducto WHERE ClaveProducto=?"), {clave});
        for (const db::Row& f : filas.value_or(db::Rows{}))
            l << f.text("Imagen");
        return l;
    }
    QString Foto(const QString& nombre)
    {
        const QString ruta = c.dir.filePath(nombre);
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(Qt::red);
        img.save(ruta, "JPG");
        return ruta;
    }
    catalogtest::CarpetaPrueba c;
};

TEST_F(ImagenTest, OneRowPerProductReplacedByEachSave)
{
    CamposProducto p = CamposDeFila(*c.sucursal->selectOne(QStringLiteral("SELECT * FROM ProductoCE WHERE ClaveProducto=3")), 16);
    ASSERT_TRUE(GrabaProducto(*c.sucursal, p, 3, {}, QStringLiteral("/fotos/a.jpg")).ok);
    ASSERT_TRUE(GrabaProducto(*c.sucursal, p, 3, {}, QStringLiteral("/fotos/a.jpg")).ok);
    EXPECT_EQ(Rutas(3), QStringList{"/fotos/a.jpg"});
    ASSERT_TRUE(GrabaProducto(*c.sucursal, p, 3, {}, QStringLiteral("/fotos/b.jpg")).ok);
    EXPECT_EQ(Rutas(3), QStringList{"/fotos/b.jpg"});
    ASSERT_TRUE(GrabaProducto(*c.sucursal, p, 3, {}, QStringLiteral("C:\\")).ok);  // no picture: kept
    EXPECT_EQ(Rutas(3), QStringList{"/fotos/b.jpg"});

    p.CodigodeBarras = QStringLiteral("NUEVO-FOTO");
    const ResultadoProducto r = GrabaProducto(*c.sucursal, p, std::nullopt, {}, QStringLiteral("/fotos/c.jpg"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Rutas(r.clave), QStringList{"/fotos/c.jpg"});
}

TEST_F(ImagenTest, TheFormChoosesShowsAndStoresThePicture)
{
    const QString foto = Foto(QStringLiteral("foto de l'año.jpg"));
    const QString png = Foto(QStringLiteral("foto.jpeg"));
    QString elegido;
    frmProductos f;
    f.EligeArchivo = [&] { return elegido; };
    f.show();
    f.Combo1->setCurrentIndex(0);
    QTest::keyClicks(f.Text1, QStringLiteral("7501000000028"));
    ASSERT_EQ(f.ClaveActual(), 3);
    EXPECT_TRUE(f.Label4->text().isEmpty());

    // A click with no picture opens nothing; a cancelled chooser changes nothing.
    QTest::mouseClick(f.Image1, Qt::LeftButton);
    EXPECT_EQ(f.findChild<frmImagenProducto*>(), nullptr);
    QTest::mouseDClick(f.Image1, Qt::LeftButton);
    EXPECT_TRUE(f.chkImagen->isChecked());
    EXPECT_TRUE(f.Label4->text().isEmpty());

    elegido = png;
    QTest::mouseDClick(f.Image1, Qt::LeftButton);
    EXPECT_EQ(c.prompts.lastMessage(), "Archivo invalido.");
    EXPECT_TRUE(f.Label4->text().isEmpty());

    elegido = foto;
    QTest::mouseDClick(f.Image1, Qt::LeftButton);
    EXPECT_EQ(f.Label4->text(), foto);
    EXPECT_FALSE(f.Image1->pixmap().isNull());
    EXPECT_TRUE(Rutas(3).isEmpty());  // nothing stored before the save
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Rutas(3), QStringList{foto});

    // Shown again on the next load; the large view on a click.
    f.Text1->clear();
    QTest::keyClicks(f.Text1, QStringLiteral("7501000000028"));
    EXPECT_EQ(f.Label4->text(), foto);
    QTest::mouseClick(f.Image1, Qt::LeftButton);
    auto* vista = f.findChild<frmImagenProducto*>();
    ASSERT_NE(vista, nullptr);
    EXPECT_EQ(vista->windowTitle(), "Imagen de producto.");
    EXPECT_FALSE(vista->Image1->pixmap().isNull());
    vista->Image1->clear();
    vista->SetImagen(QStringLiteral("*.jpg"));
    EXPECT_TRUE(vista->Image1->pixmap().isNull());

    // Old data with several rows: the newest shows. A file gone: no picture, no message.
    c.central->exec(QStringLiteral("INSERT INTO ImagenProducto (ClaveProducto, Imagen) VALUES (3, '/no/esta.jpg')"));
    c.prompts.clear();
    f.Text1->clear();
    QTest::keyClicks(f.Text1, QStringLiteral("7501000000028"));
    EXPECT_EQ(f.Label4->text(), "/no/esta.jpg");
    EXPECT_TRUE(f.Image1->pixmap().isNull());
    EXPECT_TRUE(c.prompts.messages().isEmpty());
}

class ReportesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok);
        printing::GuardaFilasLeidas(true);  // the rows are read back
        G().NombreEmp = QStringLiteral("PAPELERIA DEMO");
        G().PermisosUsuario[22] = true;
        G().ParTickets = 1;
        db::Database& b = *c.sucursal;
        // Entries and exits of the blue pen (3).
        ASSERT_TRUE(b.exec(QStringLiteral("INSERT INTO EInventario (Numero, Fecha, Descripcion, DescribeMovto, Docto) "
                                          "VALUES (1, '2026-12-01', 'COMPRA', 1, 'FAC-77'), (2, '2026-12-03', 'MERMA', 2, '')")));
        ASSERT_TRUE(b.exec(QStringLiteral("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario) "
                                          "VALUES (1, 3, 50, 3.5), (2, 3, -2, 3.5), (2, 4, -1, 3.5)")));
        // Sales: invoice F 10 (2 at 8 less 10 %), F 11 cancelled, E 5, tickets 20 and 21.
        const char* ventas[][5] = {{"10", "F", "2026-12-02", "100", "1"}, {"11", "F", "2026-12-02", "50", "0"},
                                   {"5", "E", "2026-12-04", "16", "1"},   {"20", "T", "2026-12-05", "24", "1"},
                                   {"21", "T", "2026-12-06", "8", "1"}};
        for (const auto& v : ventas)
            ASSERT_TRUE(b.exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Fecha, Total, Status, Cliente) "
                                              "VALUES (?, ?, ?, ?, ?, 'XAXX010101000')"),
                               {v[0], v[1], v[2], v[3], v[4]}));
        const char* lineas[][6] = {{"10", "F", "3", "2", "8", "10"}, {"10", "F", "3", "1", "5", "0"},
                                   {"11", "F", "3", "6", "8", "0"},  {"5", "E", "3", "2", "8", "0"},
                                   {"20", "T", "3", "3", "8", "0"},  {"21", "T", "3", "1", "8", "50"},
                                   {"20", "T", "4", "1", "8", "0"}};
        for (const auto& l : lineas)
            ASSERT_TRUE(b.exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                                              "PrecioUnit, Descuento) VALUES (?, ?, ?, ?, ?, ?)"),
                               {l[0], l[1], l[2], l[3], l[4], l[5]}));
    }
    std::vector<report::Request> Corre(const QString& clave = QStringLiteral("3"))
    {
        DestinoReportes d;
        d.destino = report::Destination::Pdf;
        d.carpetaPdf = c.dir.path();
        return ReportesProducto(clave, QStringLiteral("BOLIGRAFO PUNTO MEDIANO AZUL"), c.prompts, d);
    }
    static QVariantMap Linea(const report::Request& r, int i)
    {
        return r.data.value(QStringLiteral("lineas")).toList().value(i).toMap();
    }
    catalogtest::CarpetaPrueba c;
};

TEST_F(ReportesTest, ThreeReportsWithTheirRowsValuesAndTotals)
{
    const auto hechos = Corre();
    ASSERT_EQ(hechos.size(), 3u) << c.prompts.messages().join("|").toStdString();
    EXPECT_TRUE(c.prompts.messages().isEmpty()) << c.prompts.messages().join("|").toStdString();

    const report::Request& es = hechos[0];
    EXPECT_EQ(es.title, "Entradas y salidas de producto");
    EXPECT_EQ(es.formulas.value("NombreEmpresa").toString(), "PAPELERIA DEMO");
    EXPECT_EQ(es.formulas.value("Sucursal").toString(), QStringLiteral("Sucursal: ") + c.corto);
    EXPECT_EQ(es.formulas.value("NombreProducto").toString(), "BOLIGRAFO PUNTO MEDIANO AZUL");
    EXPECT_EQ(es.rows.size(), 2u);
    EXPECT_EQ(es.data.value("TotalCantidad").toString(), "48");
    EXPECT_EQ(Linea(es, 0).value("Docto").toString(), "FAC-77");
    EXPECT_FALSE(Linea(es, 0).value("Movimiento").toString().isEmpty());

    const report::Request& fac = hechos[1];
    EXPECT_EQ(fac.title, "FACTURAS -Ventas -");
    EXPECT_FALSE(fac.formulas.has("TipoDocto"));
    ASSERT_EQ(fac.rows.size(), 3u);  // F 10 (two lines) and the cancelled F 11
    EXPECT_DOUBLE_EQ(Linea(fac, 0).value("Importe").toDouble(), 14.4);  // 2 x 8 less 10 %, not the total
    // The cancelled invoice is listed, marked, and left out of the totals.
    int cancelados = 0;
    for (int i = 0; i < 3; ++i)
        cancelados += Linea(fac, i).value("Cancelado").toBool() ? 1 : 0;
    EXPECT_EQ(cancelados, 1);
    EXPECT_EQ(fac.data.value("TotalCantidad").toString(), "3");
    EXPECT_DOUBLE_EQ(fac.data.value("TotalImporte").toDouble(), 19.4);

    const report::Request& tic = hechos[2];
    EXPECT_EQ(tic.title, "TICKETS -Ventas x Dia-");
    EXPECT_EQ(tic.formulas.value("TipoDocto").toString(), "Notas/Tickets");
    ASSERT_EQ(tic.rows.size(), 2u);
    EXPECT_EQ(Linea(tic, 0).value("Numero").toLongLong(), 20);  // the absolute number
    EXPECT_DOUBLE_EQ(tic.data.value("TotalImporte").toDouble(), 28.0);
    for (const char* pdf : {"ESxProducto.pdf", "ventaxProducto-facturas.pdf", "ventaxProducto-tickets.pdf"})
        EXPECT_GT(QFileInfo(c.dir.filePath(QString::fromLatin1(pdf))).size(), 1000) << pdf;
}

TEST_F(ReportesTest, ElectronicInvoicesTicketsOffAndAProductWithoutInvoices)
{
    G().FacturaE = true;
    G().ParTickets = 0;
    auto hechos = Corre();
    ASSERT_EQ(hechos.size(), 2u);
    ASSERT_EQ(hechos[1].rows.size(), 1u);
    EXPECT_EQ(hechos[1].rows[0].text("TipoDocto"), "E");

    // Product 4 has no invoice: entries and exits, then its tickets, and no word of the invoices.
    G().FacturaE = false;
    G().ParTickets = 1;
    c.prompts.clear();
    hechos = Corre(QStringLiteral("4"));
    ASSERT_EQ(hechos.size(), 2u);
    EXPECT_EQ(hechos[1].title, "TICKETS -Ventas x Dia-");
    EXPECT_TRUE(c.prompts.messages().isEmpty());
}

TEST_F(ReportesTest, PermissionTemplateAndProductChecks)
{
    G().PermisosUsuario[22] = false;
    auto hechos = Corre();
    ASSERT_EQ(hechos.size(), 1u);
    EXPECT_EQ(c.prompts.lastMessage(), "Usted no tiene acceso a esta parte del sistema.");

    c.prompts.clear();
    EXPECT_TRUE(Corre(QString()).empty());
    EXPECT_EQ(c.prompts.messages(), QStringList{"Producto no válido."});

    c.prompts.clear();
    G().PermisosUsuario[22] = true;
    ASSERT_TRUE(QFile::remove(c.dir.filePath(QStringLiteral("Reports/ESxProducto.html"))));
    EXPECT_TRUE(Corre().empty());
    ASSERT_EQ(c.prompts.messages().size(), 1);
    EXPECT_TRUE(c.prompts.lastMessage().startsWith("No se encontro el archivo: "));
}

TEST_F(ReportesTest, TheButtonRunsTheChainForTheProductShown)
{
    frmProductos f;
    f.DestinoESProducto.destino = report::Destination::Pdf;
    f.DestinoESProducto.carpetaPdf = c.dir.path();
    f.show();
    f.Combo1->setCurrentIndex(0);
    QTest::keyClicks(f.Text1, QStringLiteral("7501000000028"));
    QTest::mouseClick(f.cmdESProducto, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(c.dir.filePath(QStringLiteral("ventaxProducto-tickets.pdf"))));
    EXPECT_TRUE(c.prompts.messages().isEmpty()) << c.prompts.messages().join("|").toStdString();
}

}  // namespace
