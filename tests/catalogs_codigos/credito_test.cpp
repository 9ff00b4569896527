// Credit price plans and the customer's credit statement on the demo data: plans added by barcode
// and typed cell by cell, the sale screen's F5, the statement's search and its two printouts, and a
// customer whose RFC changes keeping his credit sales.

#include "catalogs/clientes.h"
#include "catalogs/credito.h"
#include "catalogs/estadocuenta.h"
#include "catalogs/forms/frmestadocuenta.h"
#include "catalogs/forms/frmpreciocredito.h"
#include "catalogs/preciocredito.h"
#include "capture_control/ccaptura.h"
#include "fixture.h"
#include "platform/report/report.h"
#include "printing/reporte.h"
#include "sale/forms/frmventa.h"
#include "shell/forms/formas.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include "campos_visibles.h"
#include "shell/forms/midi.h"

using namespace catalogos;

namespace {

class CreditoTest : public DatosTest {
protected:
    void SetUp() override
    {
        demo = true;
        DatosTest::SetUp();
        EstadoGlobal& g = G();
        g.NombreEmp = QStringLiteral("ABARROTES LUPITA");
        g.NombreEquipo = QStringLiteral("CAJA1").leftJustified(40);
        g.BDefault = 1;
        g.PorcentajeIVA = 16;
        auto filas = *central->select(QStringLiteral(
            "SELECT ClaveProducto, CodigodeBarras FROM Producto WHERE Nombre <> 'VARIOS' ORDER BY ClaveProducto"));
        for (const db::Row& r : filas) {
            claves << r.integer(QStringLiteral("ClaveProducto"));
            codigos << r.text(QStringLiteral("CodigodeBarras"));
        }
        ASSERT_GE(claves.size(), 3);
        // The demo ships plans of its own.
        ASSERT_TRUE(central->exec(QStringLiteral("DELETE FROM PreciosCredito")));
    }
    void TearDown() override
    {
        for (QDialog* d : report::openPreviews())
            d->close();
        DatosTest::TearDown();
    }
    qint64 Planes() { return Valor(*central, QStringLiteral("SELECT COUNT(*) FROM PreciosCredito")).toLongLong(); }
    void Plan(qint64 producto, double precio, double anticipo, double pago, int periodo)
    {
        ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO PreciosCredito VALUES (?, ?, ?, ?, ?)"),
                                  {producto, precio, anticipo, pago, periodo}));
    }
    // A credit sale with the documents of its plan, as the sale screen stores it.
    void VentaCredito(qint64 numero, const QString& cliente, const QString& aval, qint64 producto)
    {
        ASSERT_TRUE(sucursal->exec(QStringLiteral("INSERT INTO VentaCredito (Numero, Fecha, Cliente, Aval, Total) "
                                                  "VALUES (?, '2026-12-09', ?, ?, 1000)"),
                                   {numero, cliente, aval}));
        ASSERT_TRUE(InsertaDoctos(*sucursal, GenerarDoctos(1000, 100, 300, 15, QDate(2026, 12, 9)), numero, producto));
    }
    void Cliente(const QString& rfc, const QString& nombre)
    {
        ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO Cliente (RFC, Nombre, NumExterior, Colonia, Municipio, "
                                                 "Estado) VALUES (?, ?, '1', 'CENTRO', 'LEON', 'GUANAJUATO')"),
                                  {rfc, nombre}));
    }
    QList<qint64> claves;
    QStringList codigos;
};

TEST_F(CreditoTest, PlansAreAddedByExactBarcodeOncePerProduct)
{
    const ResultadoAlta a = InsertaPlan(*central, codigos[0]);
    EXPECT_EQ(a.resultado, AltaPlan::Agregado);
    EXPECT_EQ(a.producto, claves[0]);
    const ResultadoAlta otra = InsertaPlan(*central, codigos[0]);
    EXPECT_EQ(otra.resultado, AltaPlan::YaExiste);
    EXPECT_EQ(otra.producto, claves[0]);
    EXPECT_EQ(Planes(), 1);
    for (const QString& malo : {codigos[1].left(codigos[1].size() - 1), QStringLiteral("x' OR '1'='1"), QString()}) {
        const ResultadoAlta r = InsertaPlan(*central, malo);
        EXPECT_EQ(r.resultado, AltaPlan::SinCodigo) << malo.toStdString();
        EXPECT_EQ(r.mensaje, QStringLiteral("No se encontro el código de producto."));
    }
    EXPECT_EQ(Planes(), 1);
}

TEST_F(CreditoTest, TypedCellsAreCheckedBeforeTheyAreStored)
{
    Plan(claves[0], 0, 0, 0, 15);
    auto valor = [&](const char* campo) {
        return Valor(*central, QStringLiteral("SELECT %1 FROM PreciosCredito WHERE Producto = ?").arg(QLatin1String(campo)),
                     {claves[0]});
    };
    for (const char* malo : {"abc", "1,00", "-5", "", "1e3"})
        EXPECT_FALSE(CambiaPlan(*central, claves[0], QStringLiteral("Anticipo"), QString::fromLatin1(malo)).ok) << malo;
    for (const char* malo : {"2.5", "-1", "quince", "40000"})
        EXPECT_FALSE(CambiaPlan(*central, claves[0], QStringLiteral("Periododepago"), QString::fromLatin1(malo)).ok) << malo;
    EXPECT_FALSE(CambiaPlan(*central, claves[0], QStringLiteral("Producto"), QStringLiteral("5")).ok);
    // A price above the down payment needs an instalment amount first.
    const CambioPlan sinPago = CambiaPlan(*central, claves[0], QStringLiteral("PrecioCredito"), QStringLiteral("1000"));
    EXPECT_FALSE(sinPago.ok);
    EXPECT_TRUE(sinPago.mensaje.contains(QStringLiteral("importe de pago")));
    EXPECT_TRUE(CambiaPlan(*central, claves[0], QStringLiteral("ImportePago"), QStringLiteral("300.005")).ok);
    EXPECT_DOUBLE_EQ(valor("ImportePago").toDouble(), 300.01);
    EXPECT_TRUE(CambiaPlan(*central, claves[0], QStringLiteral("PrecioCredito"), QStringLiteral("1000")).ok);
    EXPECT_FALSE(CambiaPlan(*central, claves[0], QStringLiteral("ImportePago"), QStringLiteral("0")).ok);
    EXPECT_TRUE(CambiaPlan(*central, claves[0], QStringLiteral("Anticipo"), QStringLiteral("1000")).ok);
    EXPECT_TRUE(CambiaPlan(*central, claves[0], QStringLiteral("ImportePago"), QStringLiteral("0")).ok);
    EXPECT_TRUE(CambiaPlan(*central, claves[0], QStringLiteral("Periododepago"), QStringLiteral(" 0 ")).ok);
    EXPECT_EQ(valor("Periododepago").toInt(), 0);
    EXPECT_DOUBLE_EQ(valor("PrecioCredito").toDouble(), 1000);
}

TEST_F(CreditoTest, FilterListsOneProductAndNoFilterListsAllByProduct)
{
    Plan(claves[2], 10, 0, 5, 7);
    Plan(claves[0], 10, 0, 5, 7);
    Plan(claves[1], 10, 0, 5, 7);
    const auto todos = *ConsultaPrecios(*central, std::nullopt);
    ASSERT_EQ(todos.size(), 3u);
    EXPECT_EQ(todos[0].integer(QStringLiteral("Producto")), claves[0]);
    EXPECT_EQ(todos[2].integer(QStringLiteral("Producto")), claves[2]);
    EXPECT_FALSE(todos[0].text(QStringLiteral("Descripcion")).isEmpty());
    const auto uno = *ConsultaPrecios(*central, claves[1]);
    ASSERT_EQ(uno.size(), 1u);
    EXPECT_EQ(uno[0].integer(QStringLiteral("Producto")), claves[1]);
}

TEST_F(CreditoTest, PlanFormInsertsByBarcodeAndRestoresARefusedCell)
{
    frmPreciosCredito f(nullptr, central.get(), &prompts);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    auto* caja = f.capCodigo->findChild<QLineEdit*>();
    QTest::keyClicks(caja, QStringLiteral("NOEXISTE"));
    QTest::mouseClick(f.cmdInsertar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No se encontro el código de producto."));
    EXPECT_EQ(QApplication::focusWidget(), caja);

    caja->selectAll();
    QTest::keyClicks(caja, codigos[1]);
    QTest::mouseClick(f.cmdInsertar, Qt::LeftButton);
    EXPECT_EQ(Planes(), 1);
    ASSERT_EQ(f.FilaDeProducto(claves[1]), 0);
    auto* modelo = qobject_cast<QStandardItemModel*>(f.DBGrid1->model());
    int anticipo = -1, descripcion = -1;
    for (int c = 0; c < modelo->columnCount(); ++c) {
        const QString t = modelo->headerData(c, Qt::Horizontal, Qt::UserRole).toString();
        if (t == QLatin1String("Anticipo"))
            anticipo = c;
        if (t == QLatin1String("Descripcion"))
            descripcion = c;
        if (t == QLatin1String("Periododepago"))
            EXPECT_EQ(modelo->headerData(c, Qt::Horizontal).toString(), QStringLiteral("Periodo de Pago"));
        if (t == QLatin1String("Producto") || t == QLatin1String("CodigodeBarras"))
            EXPECT_TRUE(f.DBGrid1->isColumnHidden(c));
    }
    ASSERT_GE(anticipo, 0);
    EXPECT_FALSE(modelo->item(0, descripcion)->isEditable());

    auto escribe = [&](const QString& texto) { EscribeCelda(f.DBGrid1, modelo->index(0, anticipo), texto); };
    escribe(QStringLiteral("150.5"));
    EXPECT_EQ(modelo->item(0, anticipo)->text(), QStringLiteral("150.50"));
    prompts.clear();
    escribe(QStringLiteral("1,00"));
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(modelo->item(0, anticipo)->text(), QStringLiteral("150.50"));
    EXPECT_DOUBLE_EQ(Valor(*central, QStringLiteral("SELECT Anticipo FROM PreciosCredito")).toDouble(), 150.5);

    // The same product again: said, and the cursor on its plan.
    caja->selectAll();
    QTest::keyClicks(caja, codigos[1]);
    QTest::mouseClick(f.cmdInsertar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("El producto ya tiene un precio a crédito."));
    EXPECT_EQ(Planes(), 1);
    EXPECT_EQ(f.DBGrid1->currentIndex().row(), 0);
}

TEST_F(CreditoTest, APlanRowTypedLeftToRightIsCheckedWhenItIsLeft)
{
    Plan(claves[0], 0, 0, 0, 15);
    Plan(claves[1], 0, 0, 0, 15);
    frmPreciosCredito f(nullptr, central.get(), &prompts);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    auto* modelo = qobject_cast<QStandardItemModel*>(f.DBGrid1->model());
    auto columna = [&](const QString& titulo) {
        for (int c = 0; c < modelo->columnCount(); ++c)
            if (modelo->headerData(c, Qt::Horizontal, Qt::UserRole).toString() == titulo)
                return c;
        return -1;
    };
    const int precio = columna(QStringLiteral("PrecioCredito")), anticipo = columna(QStringLiteral("Anticipo")),
              pago = columna(QStringLiteral("ImportePago"));
    ASSERT_GE(pago, 0);
    auto guardado = [&](const char* campo) {
        return Valor(*central, QStringLiteral("SELECT %1 FROM PreciosCredito WHERE Producto = ?").arg(QLatin1String(campo)),
                     {claves[0]}).toDouble();
    };
    EscribeCelda(f.DBGrid1, modelo->index(0, precio), QStringLiteral("300"));
    EscribeCelda(f.DBGrid1, modelo->index(0, anticipo), QStringLiteral("100"));
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.lastMessage().toStdString();
    EXPECT_EQ(modelo->item(0, precio)->text(), QStringLiteral("300"));
    EXPECT_DOUBLE_EQ(guardado("PrecioCredito"), 0);

    // Leaving the row says what is missing and goes back to it; what was typed stays.
    const QModelIndex otra = modelo->index(1, precio);
    QTest::mouseClick(f.DBGrid1->viewport(), Qt::LeftButton, {}, f.DBGrid1->visualRect(otra).center());
    QTest::qWait(20);
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("Falta el importe de pago: debe ser mayor que cero cuando el "
                                                       "precio a crédito es mayor que el anticipo."));
    EXPECT_EQ(f.DBGrid1->currentIndex(), modelo->index(0, pago));
    EXPECT_EQ(modelo->item(0, precio)->text(), QStringLiteral("300"));
    EXPECT_EQ(modelo->item(0, anticipo)->text(), QStringLiteral("100"));

    prompts.clear();
    EscribeCelda(f.DBGrid1, modelo->index(0, pago), QStringLiteral("50"));
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.lastMessage().toStdString();
    EXPECT_DOUBLE_EQ(guardado("PrecioCredito"), 300);
    EXPECT_DOUBLE_EQ(guardado("Anticipo"), 100);
    EXPECT_DOUBLE_EQ(guardado("ImportePago"), 50);
    EXPECT_EQ(modelo->item(0, precio)->text(), QStringLiteral("300.00"));
    QTest::mouseClick(f.DBGrid1->viewport(), Qt::LeftButton, {}, f.DBGrid1->visualRect(otra).center());
    QTest::qWait(20);
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(f.DBGrid1->currentIndex().row(), 1);
}

TEST_F(CreditoTest, F5OnACreditSaleShowsThePlanOfTheCurrentLine)
{
    Plan(claves[0], 1000, 100, 300, 15);
    Plan(claves[1], 500, 50, 100, 7);
    G().ModoVenta = QStringLiteral("VC");
    auto forma = std::make_unique<venta::frmVenta>(nullptr, nullptr, &prompts);
    forma->show();
    QTest::keyClicks(forma->cajaCodigo, codigos[1]);
    QTest::keyClick(forma->cajaCodigo, Qt::Key_Return);
    ASSERT_EQ(forma->lineas().count(), 1) << prompts.messages().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(forma->LineaActual(), 0);
    QTest::keyClick(forma->cajaCodigo, Qt::Key_F5);
    auto* planes = qobject_cast<frmPreciosCredito*>(shell::FormaCargada(QStringLiteral("frmPreciosCredito")));
    ASSERT_TRUE(planes);
    EXPECT_EQ(planes->FiltroPrecios, std::optional<qint64>(claves[1]));
    EXPECT_EQ(planes->DBGrid1->model()->rowCount(), 1);
    EXPECT_EQ(planes->FilaDeProducto(claves[1]), 0);
    planes->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Any other mode keeps F5 to itself.
    forma.reset();
    G().ModoVenta = QStringLiteral("F");
    forma = std::make_unique<venta::frmVenta>(nullptr, nullptr, &prompts);
    forma->show();
    QTest::keyClick(forma->cajaCodigo, Qt::Key_F5);
    EXPECT_FALSE(shell::FormaCargada(QStringLiteral("frmPreciosCredito")));
}

TEST_F(CreditoTest, StatementSearchListsSalesAndEachSalesDocuments)
{
    Cliente(QStringLiteral("PEJJ800101AB1"), QStringLiteral("JUAN PEREZ"));
    VentaCredito(1, QStringLiteral("PEJJ800101AB1"), QStringLiteral("AVAL800101AA1"), claves[0]);
    VentaCredito(2, QStringLiteral("PEJJ800101AB1"), QStringLiteral("AVAL800101AA1"), claves[1]);
    ASSERT_TRUE(InsertaDoctos(*sucursal, GenerarDoctos(200, 200, 0, 0, QDate(2026, 12, 9)), 2, claves[2]));
    frmEstadocuenta f(nullptr, central.get(), sucursal.get(), &prompts);
    f.show();

    // Picking the customer in the list searches with his RFC as the default answer.
    const int i = f.DBCombo1->findText(QStringLiteral("JUAN PEREZ"));
    ASSERT_GE(i, 0);
    prompts.pushInput(QStringLiteral("PEJJ800101AB1"));
    QTest::mouseClick(f.DBCombo1, Qt::LeftButton);
    QAbstractItemView* lista = f.DBCombo1->view();
    ASSERT_TRUE(lista->isVisible());
    const QModelIndex elegido = lista->model()->index(i, 0);
    // The list takes no click right after it opens (that would be the opening click's release).
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    lista->scrollTo(elegido);
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualRect(elegido).center());
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, QStringLiteral("Teclee el RFC del cliente a consultar: "));
    EXPECT_EQ(prompts.asked()[0].title, QStringLiteral("Busqueda"));
    EXPECT_EQ(f.RFCBuscado, QStringLiteral("PEJJ800101AB1"));
    ASSERT_EQ(f.Ventas().size(), 2u);
    EXPECT_EQ(f.Doctos().size(), 4u);
    EXPECT_EQ(f.DBGrid1->model()->rowCount(), 4);

    f.DBGrid2->selectionModel()->setCurrentIndex(f.DBGrid2->model()->index(1, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(f.Doctos().size(), 5u);

    // An empty answer leaves both grids as they are.
    prompts.pushInput(QString());
    QTest::mouseClick(f.cmdBuscar, Qt::LeftButton);
    EXPECT_EQ(f.Doctos().size(), 5u);
    EXPECT_EQ(f.RFCBuscado, QString());

    // A customer without credit sales: the documents of the one before are gone.
    for (const QString& rfc : {QStringLiteral("OTRO800101AB1"), QStringLiteral("PEJJ' OR '1'='1")}) {
        prompts.pushInput(rfc);
        QTest::mouseClick(f.cmdBuscar, Qt::LeftButton);
        EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("No se encontró coincidencias."));
        EXPECT_EQ(f.Doctos().size(), 0u);
        EXPECT_EQ(f.DBGrid1->model()->rowCount(), 0);
    }
    // Nothing to print then.
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    EXPECT_TRUE(report::openPreviews().isEmpty());

    // A search that fails still empties the documents first, and the search field goes back.
    prompts.pushInput(QStringLiteral("PEJJ800101AB1"));
    QTest::mouseClick(f.cmdBuscar, Qt::LeftButton);
    ASSERT_EQ(f.Doctos().size(), 4u);
    f.Combo1->setCurrentIndex(1);
    ASSERT_TRUE(sucursal->exec(QStringLiteral("DROP VIEW temp.CVentaCredito")));
    prompts.pushInput(QStringLiteral("PEJJ800101AB1"));
    QTest::mouseClick(f.cmdBuscar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("Error de búsqueda."));
    EXPECT_EQ(f.Doctos().size(), 0u);
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("CLIENTE"));
}

// On a shop's small screen the statement's amounts are in sight or scrolled to, and its status and
// document kinds read as names.
TEST_F(CreditoTest, StatementGridsReachTheirAmountsAndNameTheirCodes)
{
    Cliente(QStringLiteral("PEJJ800101AB1"), QStringLiteral("JUAN PEREZ DE LA SANTISIMA TRINIDAD Y DEL MONTE"));
    ASSERT_TRUE(central->exec(QStringLiteral("UPDATE Producto SET Descripcion = 'CUADERNO PROFESIONAL DE RAYA "
                                             "CIEN HOJAS CON ESPIRAL DOBLE Y PASTAS DURAS'")));
    VentaCredito(1, QStringLiteral("PEJJ800101AB1"), QStringLiteral("AVAL800101AA1"), claves[0]);
    shell::MIDI midi;
    midi.resize(1024, 768);
    midi.show();
    auto* f = new frmEstadocuenta(nullptr, central.get(), sucursal.get(), &prompts);
    midi.MuestraEnMDI(f);
    prompts.pushInput(QStringLiteral("PEJJ800101AB1"));
    QTest::mouseClick(f->cmdBuscar, Qt::LeftButton);
    ASSERT_EQ(f->DBGrid1->model()->rowCount(), 4);
    QApplication::processEvents();
    EXPECT_TRUE(testutil::ColumnasAlAlcance(f->DBGrid2, {QStringLiteral("Total"), QStringLiteral("Estatus")}));
    EXPECT_TRUE(testutil::ColumnasAlAlcance(f->DBGrid1, {QStringLiteral("Importe"), QStringLiteral("Tipo")}));
    auto celda = [](QTableView* g, const QString& titulo, int fila) {
        for (int c = 0; c < g->model()->columnCount(); ++c)
            if (g->model()->headerData(c, Qt::Horizontal).toString() == titulo)
                return g->model()->index(fila, c).data().toString();
        return QStringLiteral("(no column)");
    };
    EXPECT_EQ(celda(f->DBGrid2, QStringLiteral("Estatus"), 0), "Vigente");
    EXPECT_EQ(celda(f->DBGrid1, QStringLiteral("Tipo"), 0), "Anticipo");
    EXPECT_EQ(celda(f->DBGrid1, QStringLiteral("Tipo"), 1), "Abono");
}

TEST_F(CreditoTest, ACustomerWhoseRfcChangesKeepsHisCreditSales)
{
    Cliente(QStringLiteral("PEJJ800101AB1"), QStringLiteral("JUAN PEREZ"));
    Cliente(QStringLiteral("AVAL800101AA1"), QStringLiteral("PEDRO AVAL"));
    VentaCredito(1, QStringLiteral("PEJJ800101AB1"), QStringLiteral("AVAL800101AA1"), claves[0]);
    VentaCredito(2, QStringLiteral("AVAL800101AA1"), QStringLiteral("PEJJ800101AB1"), claves[1]);
    auto fila = *central->selectOne(QStringLiteral("SELECT * FROM Cliente WHERE RFC = 'PEJJ800101AB1'"));
    catalogos::Cliente c = ClienteDeFila(fila);
    c.RFC = QStringLiteral("PEJJ800101AB2");
    ASSERT_TRUE(GrabaCliente(*sucursal, c, false, QStringLiteral("PEJJ800101AB1")).ok());
    const auto ventas = *VentasCreditoCliente(*sucursal, QStringLiteral("PEJJ800101AB2"));
    ASSERT_EQ(ventas.size(), 1u);
    EXPECT_EQ(ventas[0].text(QStringLiteral("Nombre")), QStringLiteral("JUAN PEREZ"));
    EXPECT_EQ(Valor(*sucursal, QStringLiteral("SELECT Aval FROM VentaCredito WHERE Numero = 2")).toString(),
              QStringLiteral("PEJJ800101AB2"));
    EXPECT_TRUE(VentasCreditoCliente(*sucursal, QStringLiteral("PEJJ800101AB1"))->empty());
}

TEST_F(CreditoTest, PrintoutsGetTheSaleTheDocumentsAndTheirTotals)
{
    Cliente(QStringLiteral("PEJJ800101AB1"), QStringLiteral("JUAN PÉREZ O'HARA"));
    VentaCredito(7, QStringLiteral("PEJJ800101AB1"), QStringLiteral("AVAL800101AA1"), claves[0]);
    ASSERT_TRUE(sucursal->exec(QStringLiteral("UPDATE doctoscredito SET FechaPago = '2026-12-09' WHERE Numerodocto = 1")));
    const db::Row venta = VentasCreditoCliente(*sucursal, QStringLiteral("PEJJ800101AB1"))->front();
    const db::Rows doctos = *DoctosVenta(*sucursal, 7);
    ASSERT_EQ(doctos.size(), 4u);

    const QVariantMap m = DatosDoctos(venta, doctos);
    EXPECT_EQ(m.value(QStringLiteral("NombreCliente")).toString(), QStringLiteral("JUAN PÉREZ O'HARA"));
    EXPECT_EQ(m.value(QStringLiteral("NumeroVenta")).toString(), QStringLiteral("7"));
    EXPECT_EQ(m.value(QStringLiteral("FechaVenta")).toString(), QStringLiteral("09/12/2026"));
    EXPECT_EQ(m.value(QStringLiteral("Total")).toString(), QStringLiteral("1,000.00"));
    EXPECT_EQ(m.value(QStringLiteral("TotalPendiente")).toString(), QStringLiteral("900.00"));
    const QVariantList lista = m.value(QStringLiteral("doctos")).toList();
    ASSERT_EQ(lista.size(), 4);
    const QVariantMap primero = lista[0].toMap(), ultimo = lista[3].toMap();
    EXPECT_EQ(primero.value(QStringLiteral("Tipo")).toString(), QStringLiteral("ANTICIPO"));
    EXPECT_EQ(primero.value(QStringLiteral("Pagado")).toString(), QStringLiteral("09/12/2026"));
    EXPECT_EQ(ultimo.value(QStringLiteral("Tipo")).toString(), QStringLiteral("ABONO"));
    EXPECT_EQ(ultimo.value(QStringLiteral("Vence")).toString(), QStringLiteral("23/01/2027"));
    EXPECT_EQ(ultimo.value(QStringLiteral("Importe")).toString(), QStringLiteral("300.00"));
    EXPECT_EQ(ultimo.value(QStringLiteral("Pagado")).toString(), QString());
    const QVariantMap recibo = m.value(QStringLiteral("recibos")).toList()[3].toMap();
    EXPECT_EQ(recibo.value(QStringLiteral("Parte")).toString(), QStringLiteral("4 de 4"));
    EXPECT_EQ(recibo.value(QStringLiteral("ImporteLetra")).toString(),
              QStringLiteral("TRESCIENTOS PESOS 00/100 M.N."));

    EXPECT_EQ(ImprimeDoctos(nullptr, doctos, prompts), Impresion::SinVenta);
    EXPECT_EQ(ImprimeDoctos(&venta, {}, prompts), Impresion::SinDoctos);
    EXPECT_TRUE(report::openPreviews().isEmpty());

    // Both printouts, rendered to files (QUORVEL_PDF_DIR keeps them for a look).
    const QString carpeta = qEnvironmentVariable("QUORVEL_PDF_DIR", dir.path());
    DestinoEstado destino;
    destino.destino = report::Destination::Pdf;
    destino.pdfDoctos = carpeta + QStringLiteral("/imprimedoctos.pdf");
    destino.pdfRecibos = carpeta + QStringLiteral("/imprimerecibo.pdf");
    prompts.clear();
    ASSERT_EQ(ImprimeDoctos(&venta, doctos, prompts, destino), Impresion::Hecho)
        << prompts.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_GT(QFileInfo(destino.pdfDoctos).size(), 0);
    EXPECT_GT(QFileInfo(destino.pdfRecibos).size(), 0);
    const report::Request& ultima = printing::UltimaSolicitud();
    EXPECT_EQ(ultima.title, QStringLiteral("Impresion de recibo."));
    EXPECT_EQ(ultima.formulas.value(QStringLiteral("NombreEmpresa")).toString(), QStringLiteral("ABARROTES LUPITA"));
    EXPECT_EQ(ultima.data.value(QStringLiteral("recibos")).toList().size(), 4);
}

}  // namespace
