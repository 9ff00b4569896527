#include "apps/setup/datasetup.h"
#include "campos_visibles.h"
#include "capture_control/ccaptura.h"
#include "fixture.h"
#include "platform/ui/prompts.h"
#include "sale/forms/frmventa.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/midi.h"
#include "shell/texto.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace venta;
using saletest::BaseSucursal;

namespace {

class FrmVentaTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { compartida = new BaseSucursal; }
    static void TearDownTestSuite() { delete compartida; }

    void SetUp() override
    {
        ASSERT_TRUE(base.ok()) << base.error().toStdString();
        saletest::VaciaCatalogo(base.db());
        ReiniciaEstado();
        G().ModoVenta = QStringLiteral("F");
        G().BDefault = 1;
        G().NombreEquipo = QStringLiteral("CAJA1").leftJustified(40);
        G().MaxDescuentoFact = 20;
        G().VerDesctoVenta = 1;
        G().TFuente = 9;
        G().TiposCambio[2] = 18.5;
        Agrega({1, "750100", "COCA", "REFRESCO COLA", 100.0});
        Agrega({2, "750200", "PAN", "PAN BLANCO", 20.0, 0, 1, 0.0, {}, {}, {}, 1.0});
        Agrega({3, "110000", "ARROZ", "ARROZ BLANCO", 30.0});
    }
    void TearDown() override { forma.reset(); }

    void Agrega(const saletest::Producto& p)
    {
        QString error;
        ASSERT_TRUE(saletest::AgregaProducto(base.db(), p, &error)) << error.toStdString();
    }
    frmVenta& Abre(const QString& modo = QStringLiteral("F"))
    {
        G().ModoVenta = modo;
        forma = std::make_unique<frmVenta>(nullptr, &base.db(), &prompts);
        forma->show();
        return *forma;
    }
    void Teclea(const QString& texto) { QTest::keyClicks(forma->cajaCodigo, texto); }
    void Enter() { QTest::keyClick(forma->cajaCodigo, Qt::Key_Return); }
    int LineasEnTabla()
    {
        return base.db().scalar(QStringLiteral("SELECT count(*) FROM DetalleVenta"))->toInt();
    }

    static BaseSucursal* compartida;
    BaseSucursal& base = *compartida;
    ui::ScriptedPrompts prompts;
    std::unique_ptr<frmVenta> forma;
};

BaseSucursal* FrmVentaTest::compartida = nullptr;

}  // namespace

TEST_F(FrmVentaTest, ModesSetUpButtonsAndKeyHelp)
{
    G().FacturaE = true;
    frmVenta& f = Abre();
    EXPECT_FALSE(f.cmdFacturaE->isHidden());
    EXPECT_TRUE(f.cmdFacturar->isHidden());
    EXPECT_TRUE(f.capAval->isHidden());
    EXPECT_EQ(f.TextoTeclas(),
              "F2-Busq Ctrl+F1-Opciones F7-Cant F8-Desc F9-TipoPago F4-Observ F12-Ticket");
    EXPECT_EQ(f.txtTotal->text(), "$ 0.00");
    EXPECT_EQ(f.lblCProductos->text(), "0 Productos. 0");
    EXPECT_EQ(f.lblCodigo->text(), "1:Código de barras");
    // Stock columns: the product grid shows it to users without permission 44, the line grid to
    // users with it.
    EXPECT_FALSE(f.DBGrid2->isColumnHidden(ModeloProductos::EXIS));
    EXPECT_TRUE(f.DBGrid1->isColumnHidden(ModeloLineas::Exis));
    G().PermisosUsuario[44] = true;
    f.FormatoGridP();
    f.FormatoGrid();
    EXPECT_TRUE(f.DBGrid2->isColumnHidden(ModeloProductos::EXIS));
    EXPECT_FALSE(f.DBGrid1->isColumnHidden(ModeloLineas::Exis));
    G().PermisosUsuario[44] = false;

    G().FacturaE = false;
    Abre();
    EXPECT_TRUE(forma->cmdFacturaE->isHidden());
    EXPECT_FALSE(forma->cmdFacturar->isHidden());

    Abre(QStringLiteral("VC"));
    EXPECT_FALSE(forma->capAval->isHidden());
    EXPECT_TRUE(forma->cmdTicket->isHidden());
    EXPECT_FALSE(forma->cmdNuevo->isEnabled());
    EXPECT_EQ(forma->cmdActInv->text(), "Guardar");

    Abre(QStringLiteral("E"));  // without permission 53
    EXPECT_TRUE(forma->chkSumarinventario->isHidden());
    EXPECT_FALSE(forma->cmdCliente->isEnabled());
    EXPECT_EQ(forma->TextoTeclas(), "F2-Busq F7-Cant F4-Establecer Precio Venta");
    G().PermisosUsuario[53] = true;
    Abre(QStringLiteral("E"));
    EXPECT_FALSE(forma->chkSumarinventario->isHidden());

    Abre(QStringLiteral("N"));
    EXPECT_EQ(forma->cmdActInv->text(), "Guardar Nota");
    EXPECT_FALSE(forma->cmdBuscar->isEnabled());

    // A quotation takes its number at once, and its lines carry it.
    Abre(QStringLiteral("C"));
    EXPECT_EQ(forma->TipoDocumento, "C");
    EXPECT_EQ(forma->ClienteDocumento(), "XAXX010101000");
    const qint64 cotizacion = forma->NumeroDocumento;
    EXPECT_GT(cotizacion, 0);
    Teclea(QStringLiteral("750200"));
    Enter();
    ASSERT_EQ(forma->lineas().count(), 1);
    EXPECT_EQ(forma->lineas().lineas()[0].numero, cotizacion);
    EXPECT_EQ(forma->lineas().lineas()[0].tipoDocto, "C");
    // Its line can still be deleted while pending.
    forma->cmdBorrarP_Click();
    EXPECT_EQ(forma->lineas().count(), 0);
    EXPECT_TRUE(prompts.messages().filter(QStringLiteral("leer de nuevo")).isEmpty());
}

TEST_F(FrmVentaTest, ElectronicInvoiceButtonOnlyInInvoiceModeWithTheBranchParameter)
{
    for (const bool facturaE : {true, false}) {
        G().FacturaE = facturaE;
        Abre(QStringLiteral("F"));
        EXPECT_EQ(forma->cmdFacturaE->isHidden(), !facturaE) << facturaE;
        EXPECT_EQ(forma->cmdFacturar->isHidden(), facturaE) << facturaE;
        // Quotations, credit sales, stock entries and credit notes never offer it, whatever
        // the branch issues.
        for (const char* modo : {"C", "VC", "E", "N"}) {
            Abre(QString::fromLatin1(modo));
            EXPECT_TRUE(forma->cmdFacturaE->isHidden()) << modo << " " << facturaE;
        }
    }
}

TEST_F(FrmVentaTest, ClearingAQuotationScreenKeepsLinesStoredInAnotherDocument)
{
    Abre(QStringLiteral("C"));
    Teclea(QStringLiteral("750200"));
    Enter();
    ASSERT_EQ(forma->lineas().count(), 1);
    const qint64 id = forma->lineas().lineas()[0].idLinea;
    // As a save leaves it: the line stamped with the stored document's number and letter, and the
    // screen holding that number.
    const qint64 numero = forma->NumeroDocumento;
    ASSERT_TRUE(base.db().exec(
        QStringLiteral("UPDATE DetalleVenta SET TipoDocto = 'E', Numero = ? WHERE IdLinea = ?"),
        {numero, id}));
    forma->TipoDocumento = QStringLiteral("E");
    forma->cmdNuevo_Click();
    EXPECT_EQ(forma->lineas().count(), 0);
    EXPECT_EQ(base.db()
                  .scalar(QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE IdLinea = ?"), {id})
                  ->toInt(),
              1);

    // The quotation's own pending lines still go with a clear.
    Abre(QStringLiteral("C"));
    Teclea(QStringLiteral("750200"));
    Enter();
    ASSERT_EQ(forma->lineas().count(), 1);
    const qint64 pendiente = forma->lineas().lineas()[0].idLinea;
    forma->cmdNuevo_Click();
    EXPECT_EQ(base.db()
                  .scalar(QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE IdLinea = ?"),
                          {pendiente})
                  ->toInt(),
              0);
}

TEST_F(FrmVentaTest, ScanEndedWithEnterAddsExactlyOneLine)
{
    frmVenta& f = Abre();
    Teclea(QStringLiteral("750100"));
    EXPECT_TRUE(f.Timer1->isActive());
    Enter();
    EXPECT_FALSE(f.Timer1->isActive());
    ASSERT_EQ(f.lineas().count(), 1);
    EXPECT_EQ(LineasEnTabla(), 1);
    EXPECT_EQ(f.capCodigoBarras->Text(), "");
    EXPECT_EQ(f.txtTotal->text(), "$ 100.00");
    EXPECT_EQ(f.txtTotal->toolTip(), "$ 100.00");
    EXPECT_DOUBLE_EQ(f.TotalVenta, 100);
    EXPECT_EQ(f.lblCProductos->text(), "1 Productos. 1");
    EXPECT_EQ(f.lineas().lineas()[0].terminal, "CAJA1          ");
    // Letting the search timer run out afterwards adds nothing.
    QTest::qWait(80);
    EXPECT_EQ(LineasEnTabla(), 1);

    // Same product again: a new line, or one more on the same line with IncrementoAP.
    Teclea(QStringLiteral("750100"));
    Enter();
    EXPECT_EQ(f.lineas().count(), 2);
    G().IncrementoAP = 1;
    Teclea(QStringLiteral("750200"));
    Enter();
    Teclea(QStringLiteral("750200"));
    Enter();
    ASSERT_EQ(f.lineas().count(), 3);
    EXPECT_DOUBLE_EQ(f.lineas().lineas()[2].cantidad, 2);
    EXPECT_EQ(f.txtTotal->text(), "$ 240.00");
    EXPECT_EQ(f.ColorCodigo(), "#FFFF00");  // PAN has exactly one in stock
}

TEST_F(FrmVentaTest, UnknownOrOddCodesAddNothing)
{
    frmVenta& f = Abre();
    for (const QString& codigo : {QStringLiteral("999999"), QStringLiteral("75%"),
                                  QStringLiteral("7_0100"), QStringLiteral("750100\"")}) {
        prompts.clear();
        f.capCodigoBarras->setText(QString());
        Teclea(codigo);
        Enter();
        EXPECT_EQ(prompts.lastMessage(), "No se encontro el producto.") << codigo.toStdString();
        EXPECT_EQ(f.capCodigoBarras->Text(), codigo);
    }
    EXPECT_EQ(LineasEnTabla(), 0);

    // The apostrophe never stays in the field.
    f.capCodigoBarras->setText(QString());
    Teclea(QStringLiteral("AB'"));
    EXPECT_EQ(f.capCodigoBarras->Text(), "AB");

    // A name typed in the name search adds the product the search highlights for it.
    f.capCodigoBarras->setText(QString());
    QTest::keyClick(f.cajaCodigo, Qt::Key_F2);
    EXPECT_EQ(f.lblCodigo->text(), "2:Nombre");
    Teclea(QStringLiteral("arr"));
    Enter();
    ASSERT_EQ(f.lineas().count(), 1);
    EXPECT_EQ(f.lineas().lineas()[0].clave, 3);
    EXPECT_EQ(f.ModoBusqueda(), 1);  // back to the default search
}

TEST_F(FrmVentaTest, SearchWaitsForThePauseAndFollowsTheText)
{
    frmVenta& f = Abre();
    Teclea(QStringLiteral("75"));
    EXPECT_EQ(f.IntervaloBusqueda(), 390);
    EXPECT_EQ(f.Timer1->interval(), 390);
    EXPECT_EQ(f.productos().position(), 0);  // nothing searched yet (110000 first)
    QTest::qWait(f.Timer1->interval() + 150);
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_EQ(f.productos().current()->clave, 1);
    EXPECT_EQ(f.ProductoMarcado(), "750100");

    // Up and Down move the grid without searching or touching the text.
    QTest::keyClick(f.cajaCodigo, Qt::Key_Down);
    EXPECT_EQ(f.productos().current()->clave, 2);
    EXPECT_EQ(f.capCodigoBarras->Text(), "75");
    EXPECT_FALSE(f.Timer1->isActive());

    // Enter on an empty field takes the highlighted product.
    f.capCodigoBarras->setText(QString());
    f.Timer1->stop();
    f.productos().move(2);
    Enter();
    ASSERT_EQ(f.lineas().count(), 1);
    EXPECT_EQ(f.lineas().lineas()[0].clave, f.productos().at(2).clave);

    // Fifteen characters or more: no search is armed, Enter takes the code.
    Teclea(QStringLiteral("123456789012345"));
    EXPECT_EQ(f.IntervaloBusqueda(), 0);
    EXPECT_FALSE(f.Timer1->isActive());

    // Description search re-queries with the typed text.
    f.capCodigoBarras->setText(QString());
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(f.cajaCodigo, Qt::Key_F2);
    EXPECT_EQ(f.lblCodigo->text(), "4:Descripción");
    EXPECT_EQ(f.productos().count(), 3);
    Teclea(QStringLiteral("pan"));
    QTest::qWait(f.Timer1->interval() + 150);
    ASSERT_EQ(f.productos().count(), 1);
    EXPECT_EQ(f.productos().current()->clave, 2);
}

TEST_F(FrmVentaTest, GeneralDiscountIsCappedAndTotalled)
{
    frmVenta& f = Abre();
    Teclea(QStringLiteral("750100"));
    Enter();
    Teclea(QStringLiteral("750200"));
    Enter();
    f.capDescuento->setFocus();
    f.capDescuento->clear();
    QTest::keyClicks(f.capDescuento, QStringLiteral("60"));
    QTest::keyClick(f.capDescuento, Qt::Key_Return);
    EXPECT_EQ(f.capDescuento->text(), "20");
    EXPECT_EQ(f.txtTotal->text(), "$ 96.00");
    EXPECT_DOUBLE_EQ(f.DescuentoGeneral(), 24);

    G().PermisosUsuario[41] = true;
    f.capDescuento->setFocus();
    f.capDescuento->clear();
    QTest::keyClicks(f.capDescuento, QStringLiteral("100"));  // read when complete, never while typed
    EXPECT_EQ(f.capDescuento->text(), "100");
    QTest::keyClick(f.capDescuento, Qt::Key_Return);
    EXPECT_EQ(f.capDescuento->text(), "50");
    EXPECT_EQ(f.txtTotal->text(), "$ 60.00");
}

TEST_F(FrmVentaTest, ClosingAsksAndKeepsLinesOnNo)
{
    frmVenta& f = Abre();
    Teclea(QStringLiteral("750100"));
    Enter();
    prompts.pushAnswer(ui::Answer::No);
    f.cmdCerrar_Click();
    EXPECT_EQ(prompts.asked().back().text,
              "Los datos de sus productos no han sido aplicados, desea continuar ?");
    EXPECT_EQ(f.lineas().count(), 1);
    EXPECT_EQ(LineasEnTabla(), 1);
    prompts.pushAnswer(ui::Answer::Yes);
    f.cmdCerrar_Click();
    EXPECT_EQ(LineasEnTabla(), 0);
    EXPECT_EQ(f.CerrandoVenta, 1);
}

TEST_F(FrmVentaTest, ClientKeyDecidesSeparateTax)
{
    frmVenta& f = Abre();
    struct Caso {
        const char* seleccion;
        bool desglosa;
    } casos[] = {{"XAXX010101000;PUBLICO", false},
                 {"ABC123;CORTO", false},
                 {"GOMA800101AB1;JUAN GOMEZ", true},
                 {"SINPUNTOYCOMA", true}};
    for (const Caso& c : casos) {
        f.TipoSeleccion = 2;
        G().SeleccionCatalogo = QString::fromUtf8(c.seleccion);
        f.Activacion();
        EXPECT_EQ(f.DesglosaIVA(), c.desglosa) << c.seleccion;
        EXPECT_EQ(f.TipoSeleccion, 0);
    }
    EXPECT_EQ(f.lblCliente->text(), "JUAN GOMEZ");  // a value without ";" changed nothing
}

TEST_F(FrmVentaTest, EmptyCatalogueOpensWithAMessage)
{
    saletest::VaciaCatalogo(base.db());
    frmVenta& f = Abre();
    EXPECT_TRUE(prompts.messages().contains("El catálogo de productos esta vacío."));
    Enter();  // nothing highlighted, nothing to add
    Teclea(QStringLiteral("750100"));
    Enter();
    EXPECT_EQ(f.lineas().count(), 0);
    EXPECT_EQ(prompts.lastMessage(), "No se encontro el producto.");
}

TEST_F(FrmVentaTest, FunctionKeysAdjustTheCurrentLine)
{
    G().CantidadAuto = 1;
    G().IncrementoAP = 1;
    Agrega({4, "L15", "LIMITE", "", 100.0, 16, 1, 0.0, {}, {}, {}, 5.0, 15});
    frmVenta& f = Abre();
    prompts.pushInput(QStringLiteral(".5"));
    Teclea(QStringLiteral("750100"));
    Enter();
    prompts.pushInput(QStringLiteral("3"));
    Teclea(QStringLiteral("L15"));
    Enter();
    // The quantity prompt follows each scan, for the merged line too.
    prompts.pushInput(QStringLiteral("2"));
    Teclea(QStringLiteral("750100"));
    Enter();
    ASSERT_EQ(f.lineas().count(), 2);
    EXPECT_DOUBLE_EQ(f.lineas().lineas()[0].cantidad, 2);
    EXPECT_DOUBLE_EQ(f.lineas().lineas()[1].cantidad, 3);
    G().CantidadAuto = 0;

    // F8 on the L15 line: 20% is cut to the product's 15%.
    G().PermisosUsuario[41] = true;
    f.SeleccionaLinea(1);
    prompts.pushInput(QStringLiteral("20"));
    QTest::keyClick(f.cajaCodigo, Qt::Key_F8);
    EXPECT_DOUBLE_EQ(f.lineas().lineas()[1].descuento, 15);
    EXPECT_EQ(f.txtTotal->text(), "$ 455.00");  // 200 + 3 x 85

    // F7 with "1,5" is refused, not read as 1 (a comma only groups thousands).
    prompts.pushInput(QStringLiteral("1,5"));
    QTest::keyClick(f.cajaCodigo, Qt::Key_F7);
    EXPECT_EQ(prompts.lastMessage(), shell::MensajeNumero(QStringLiteral("Cantidad")));
    EXPECT_DOUBLE_EQ(f.lineas().lineas()[1].cantidad, 3);

    // F10 needs permission 39 outside credit notes.
    const size_t preguntas = prompts.asked().size();
    QTest::keyClick(f.cajaCodigo, Qt::Key_F10);
    EXPECT_EQ(prompts.asked().size(), preguntas);
    G().PermisosUsuario[39] = true;
    prompts.pushInput(QStringLiteral("90"));
    QTest::keyClick(f.cajaCodigo, Qt::Key_F10);
    EXPECT_DOUBLE_EQ(f.lineas().lineas()[1].precioUnit, 90);

    QTest::keyClick(f.cajaCodigo, Qt::Key_F9);
    EXPECT_EQ(prompts.lastMessage(), "F9 vacio");
    // A recalled document takes no quantity or discount.
    f.setRecuperado(true);
    QTest::keyClick(f.cajaCodigo, Qt::Key_F7);
    EXPECT_EQ(prompts.asked().back().text, "F9 vacio");
}

TEST_F(FrmVentaTest, OptionsListExchangeRateAndSecondSequence)
{
    Agrega({5, "USD1", "IMPORTADO", "", 10.0, 16, 2});
    G().tecla1ticket = 88;  // X, Y, Z (equal first keys would keep the second sequence from arming)
    G().tecla2ticket = 89;
    G().tecla3ticket = 90;
    G().tecla4ticket = 114;  // F3, F6, F9
    G().tecla5ticket = 117;
    G().tecla6ticket = 120;
    G().ParTickets = 1;
    frmVenta& f = Abre();
    QTest::keyClick(f.cajaCodigo, Qt::Key_F1);
    ASSERT_FALSE(f.lstOpciones->isHidden());
    prompts.pushInput(QStringLiteral("19.85"));
    QListWidgetItem* tipo = f.lstOpciones->item(1);
    ASSERT_EQ(tipo->text(), "ESTABLECER TIPOCAMBIO US");
    emit f.lstOpciones->itemClicked(tipo);
    EXPECT_TRUE(f.lstOpciones->isHidden());
    EXPECT_DOUBLE_EQ(G().TiposCambio[2], 19.85);
    Teclea(QStringLiteral("USD1"));
    Enter();
    ASSERT_EQ(f.lineas().count(), 1);
    EXPECT_DOUBLE_EQ(f.lineas().lineas()[0].precioUnit, 198.5);

    // Price list and document observation need permission 46: without it nothing is asked.
    const size_t preguntas = prompts.asked().size();
    emit f.lstOpciones->itemClicked(f.lstOpciones->item(3));
    EXPECT_EQ(prompts.asked().size(), preguntas);

    // F3, F6, F9 clears ParTickets in the branch parameters.
    prompts.clear();
    for (Qt::Key k : {Qt::Key_F3, Qt::Key_F6, Qt::Key_F9})
        QTest::keyClick(f.cajaCodigo, k);
    EXPECT_EQ(prompts.lastMessage(), "Des");
    EXPECT_EQ(G().ParTickets, 0);
    EXPECT_EQ(base.db().scalar(QStringLiteral("SELECT ParTickets FROM Parametros"))->toInt(), 0);
}

TEST_F(FrmVentaTest, GenericProductPromptsAndDetails)
{
    Agrega({90, "VARIOS", "VARIOS", "PRODUCTO GENERICO", 0.0});
    base.db().exec(QStringLiteral("DELETE FROM ParDescDetalles"));
    base.db().exec(QStringLiteral("INSERT INTO ParDescDetalles (Orden, Tabla, NCampoTabla, Describe) "
                                  "VALUES (1, 'DetalleVenta', 'Descripcion2', 'Modelo'), "
                                  "(2, 'DetalleVenta', 'Observacion', 'Descripción')"));
    G().GenAgregar = 1;
    frmVenta& f = Abre();
    prompts.pushInput(QStringLiteral("TALADRO PERCUTOR"));
    prompts.pushInput(QStringLiteral("850"));
    prompts.pushInput(QStringLiteral("TP-500"));
    Teclea(QStringLiteral("VARIOS"));
    Enter();
    ASSERT_EQ(f.lineas().count(), 1);
    const Linea& l = f.lineas().lineas()[0];
    EXPECT_EQ(l.observacion, "TALADRO PERCUTOR");
    EXPECT_DOUBLE_EQ(l.precioUnit, 850);
    EXPECT_EQ(l.descripcion2, "TP-500");

    f.chkDetalles->click();
    EXPECT_EQ(f.txtDetalles->toPlainText(), "MODELO: TP-500\nDESCRIPCIÓN: TALADRO PERCUTOR");
    f.setDetallesActivos(false);
    f.SeleccionaLinea(0);
    EXPECT_EQ(f.txtDetalles->toPlainText(), "");

    f.AgregaGenericos();
    const auto p = base.db().selectOne(
        QStringLiteral("SELECT * FROM Producto WHERE CodigodeBarras = 'CB91'"));
    ASSERT_TRUE(p && !p->empty());
    EXPECT_EQ(p->text(QStringLiteral("Nombre")), "TP-500 ");
    EXPECT_EQ(p->text(QStringLiteral("Descripcion")), "TALADRO PERCUTOR");
}

TEST_F(FrmVentaTest, PaymentFormsListedInCodeOrderWithTheirCodes)
{
    base.db().exec(QStringLiteral("DELETE FROM Formasdepago"));
    base.db().exec(QStringLiteral("INSERT INTO Formasdepago (TPago, Descripcion) VALUES "
                                  "(2, 'TARJETA'), (1, 'EFECTIVO'), (15, 'OCULTA'), (4, 'NOTA')"));
    frmVenta& f = Abre();
    ASSERT_EQ(f.Combo1->count(), 3);
    EXPECT_EQ(f.Combo1->itemText(0), "EFECTIVO");
    EXPECT_EQ(f.Combo1->itemData(2).toInt(), 4);
    EXPECT_EQ(G().NombresFormaPago[15], "OCULTA");  // kept for printing, never listed

    // Names already loaded: the catalogue is not read again.
    base.db().exec(QStringLiteral("DELETE FROM Formasdepago"));
    Abre();
    EXPECT_EQ(forma->Combo1->count(), 3);
}

TEST_F(FrmVentaTest, CleanupTakesOnlyThisTerminalsLeftovers)
{
    // A screen of this terminal that closed without saving, and a sale in progress elsewhere.
    base.db().exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, "
                                  "Cantidad, PrecioUnit, Terminal) VALUES "
                                  "(0, 'T', 1, 1, 100, 'CAJA1          '), "
                                  "(0, 'T', 2, 1, 20, 'CAJA2          ')"));
    frmVenta& f = Abre();
    EXPECT_EQ(f.lineas().count(), 0);  // a new screen starts empty
    prompts.pushAnswer(ui::Answer::No);
    QTest::keyClick(f.cajaCodigo, Qt::Key_F11);
    EXPECT_EQ(prompts.asked().back().text,
              "Se encontraron 1 registros que no se utilizaron. Desea limpiarlos ?");
    ASSERT_EQ(f.lineas().count(), 1);  // kept: shown on this screen
    EXPECT_EQ(f.txtTotal->text(), "$ 100.00");
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::keyClick(f.cajaCodigo, Qt::Key_F11);
    EXPECT_EQ(prompts.lastMessage(), "Limpieza realizada.");
    EXPECT_EQ(f.lineas().count(), 0);
    EXPECT_EQ(base.db().scalar(QStringLiteral("SELECT Terminal FROM DetalleVenta"))->toString(),
              "CAJA2          ");
}

TEST(FrmVentaMenu, OpensFromTheMainWindowOnTheDemoData)
{
    QTemporaryDir dir;
    datasetup::Options o;
    o.dataFolder = dir.path();
    o.demo = true;
    QString error;
    ASSERT_TRUE(datasetup::createDataFolder(o, &error)) << error.toStdString();
    auto central = db::Database::open(datasetup::rutaBDCodigos(o.dataFolder),
                                      datasetup::claveArchivos());
    ASSERT_TRUE(central);
    const QString corto = central->scalar(QStringLiteral(
        "SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))->toString();
    const QString codigo = central->scalar(QStringLiteral(
        "SELECT CodigodeBarras FROM Producto WHERE Nombre <> 'VARIOS' ORDER BY ClaveProducto"))->toString();
    central.reset();
    ASSERT_FALSE(codigo.isEmpty());

    ReiniciaEstado();
    G().CarpetaDatos = o.dataFolder;
    G().SucursalActual = 1;
    G().DescripcionC[1] = corto;
    G().BDefault = 1;
    G().NombreEquipo = QStringLiteral("CAJA1");
    ui::ScriptedPrompts prompts;
    ui::setDefaultPrompts(&prompts);
    {
        shell::MIDI midi;
        frmVenta* f = AbreVenta(&midi, QStringLiteral("F"), &prompts);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->windowTitle(), "Facturación.");
        EXPECT_GT(f->productos().count(), 0);
        QTest::keyClicks(f->cajaCodigo, codigo);
        QTest::keyClick(f->cajaCodigo, Qt::Key_Return);
        EXPECT_EQ(f->lineas().count(), 1) << prompts.messages().join("/").toStdString();
        EXPECT_NE(f->txtTotal->text(), "$ 0.00");

        // Only one mode at a time.
        EXPECT_EQ(AbreVenta(&midi, QStringLiteral("C"), &prompts), nullptr);
        EXPECT_EQ(prompts.lastMessage(),
                  "Cierre la pantalla de Facturación. antes de entrar a este proceso.");
        EXPECT_EQ(AbreVenta(&midi, QStringLiteral("F"), &prompts), f);
        prompts.pushAnswer(ui::Answer::Yes);
        f->cmdCerrar_Click();
    }
    ui::setDefaultPrompts(nullptr);
    shell::CierraConexiones();
}

TEST_F(FrmVentaTest, DefaultSequenceCtrlAltDClearsParTickets)
{
    G().ParTickets = 1;  // the sequence keys are left unset: Ctrl, Alt, D
    frmVenta& f = Abre();
    QTest::keyClick(f.cajaCodigo, Qt::Key_Control);
    QTest::keyClick(f.cajaCodigo, Qt::Key_Alt, Qt::ControlModifier);
    EXPECT_EQ(f.secuencia().estado(), 18);
    QTest::keyClick(f.cajaCodigo, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(prompts.lastMessage(), "Des");
    EXPECT_EQ(G().ParTickets, 0);
    // Any other key in between breaks it.
    G().ParTickets = 1;
    prompts.clear();
    for (Qt::Key k : {Qt::Key_Control, Qt::Key_Alt, Qt::Key_X, Qt::Key_D})
        QTest::keyClick(f.cajaCodigo, k);
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(G().ParTickets, 1);
}

// In every mode the code field, the buttons and the labels read whole, at the size the screen
// opens with and on a whole 1280x1024 screen.
TEST_F(FrmVentaTest, EveryFieldShowsWholeInEveryMode)
{
    G().FacturaE = true;
    G().PermisosUsuario[53] = true;
    for (const char* modo : {"F", "VC", "C", "E", "N"}) {
        SCOPED_TRACE(modo);
        frmVenta& f = Abre(QString::fromLatin1(modo));
        EXPECT_TRUE(testutil::CadaCampoSeVeEntero(&f));
        f.resize(1280, 1024);
        EXPECT_TRUE(testutil::CadaCampoSeVeEntero(&f));
        EXPECT_GE(f.cajaCodigo->height(), f.cajaCodigo->fontMetrics().height());
    }
}

// The product list's headings and whole barcodes read uncut.
TEST_F(FrmVentaTest, ProductColumnsShowTheirHeadingsAndWholeCodes)
{
    Agrega({4, "7501000000127", "FOLDER", "FOLDER CARTA", 3.0});
    frmVenta& f = Abre();
    QHeaderView* cabecera = f.DBGrid2->horizontalHeader();
    for (int c = 0; c < f.DBGrid2->model()->columnCount(); ++c)
        if (!f.DBGrid2->isColumnHidden(c))
            EXPECT_GE(f.DBGrid2->columnWidth(c), cabecera->sectionSizeHint(c)) << c;
    const int codigo = f.DBGrid2->fontMetrics().horizontalAdvance(QStringLiteral("7501000000127"));
    EXPECT_GT(f.DBGrid2->columnWidth(ModeloProductos::CODIGODEBARRAS), codigo);
}

// A scan while another terminal holds the branch file: the wait shows in the status bar while the
// screen keeps being served, Esc leaves it, nothing is added and the message says the file is busy;
// the key help comes back. Once the file is free the same scan adds its line.
TEST_F(FrmVentaTest, AScanOnABusyFileShowsItsWaitAndEscLeavesIt)
{
    frmVenta& f = Abre();
    auto otra = base.open();
    ASSERT_TRUE(otra && otra->beginWrite());
    QString enEspera;
    QTimer::singleShot(150, [&] {
        enEspera = shell::UltimoEstado(2);
        QTest::keyClick(f.cajaCodigo, Qt::Key_Escape);
    });
    Teclea(QStringLiteral("750100"));
    Enter();
    EXPECT_EQ(enEspera, db::LockWait().statusText);
    EXPECT_EQ(f.lineas().count(), 0);
    EXPECT_EQ(LineasEnTabla(), 0);
    EXPECT_EQ(prompts.lastMessage(), "Se canceló la espera: la base de datos está ocupada por otro usuario.");
    EXPECT_EQ(shell::UltimoEstado(2), f.TextoTeclas());
    EXPECT_EQ(f.cajaCodigo->text(), "750100");
    otra->rollback();

    Enter();
    EXPECT_EQ(f.lineas().count(), 1);

    // A write that fails for any other reason is said too, never a silent "0 Productos".
    ASSERT_TRUE(otra->exec("CREATE TRIGGER falla AFTER INSERT ON DetalleVenta BEGIN SELECT RAISE(ABORT, 'no'); END"));
    prompts.clear();
    Teclea(QStringLiteral("750200"));
    Enter();
    EXPECT_EQ(f.lineas().count(), 1);
    EXPECT_TRUE(prompts.lastMessage().contains("No se grabo")) << prompts.lastMessage().toStdString();
}

// Status texts belong to the screen: a new ticket takes the old notice away, and closing the screen
// takes its key help and notice with it, giving the data folder's panel back.
TEST_F(FrmVentaTest, StatusTextsGoWithTheSaleAndTheScreen)
{
    shell::PonEstado(3, QStringLiteral("/DATOS"));
    frmVenta& f = Abre();
    EXPECT_EQ(shell::UltimoEstado(2), f.TextoTeclas());
    f.PonEstadoVenta(3, QStringLiteral("T2 Impreso."));
    EXPECT_EQ(shell::UltimoEstado(3), "T2 Impreso.");
    f.PonEstadoVenta(3, QString());
    EXPECT_EQ(shell::UltimoEstado(3), "/DATOS");
    f.PonEstadoVenta(3, QStringLiteral("T3 Impreso."));
    ASSERT_TRUE(f.close());
    EXPECT_EQ(shell::UltimoEstado(2), QString());
    EXPECT_EQ(shell::UltimoEstado(3), "/DATOS");
}
