// The cash cut: what a cut holds and its totals, its creation under two terminals, sales stored
// meanwhile, and the form driven offscreen in the main window.

#include "movimientos_datos.h"

#include "capture_control/ccaptura.h"
#include "cash/corte.h"
#include "cash/forms/frmcortescaja.h"
#include "cash/forms/frmmovcaja.h"
#include "cash/forms/menus.h"
#include "cash/movimientos.h"
#include "catalogs/productos.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/login.h"
#include "shell/texto.h"
#include "printing/envio.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace caja;

namespace {

const QString kHoy = QDate::currentDate().toString(Qt::ISODate);
const QString kAyer = QDate::currentDate().addDays(-1).toString(Qt::ISODate);

class Corte : public DatosCaja {
protected:
    CortePantalla Pendiente(bool soloAnteriores = false)
    {
        auto c = CargaCorte(*bd(), 0, soloAnteriores);
        EXPECT_TRUE(c);
        return c ? *c : CortePantalla{};
    }
    qint64 Pendientes(const QString& tabla) { return Valor("SELECT COUNT(*) FROM " + tabla + " WHERE IdCorte = 0").toLongLong(); }
    // The usual shift: 500.00 of sales, 100.00 in, 30.00 out.
    void Turno()
    {
        GuardaVenta(*bd(), 1, "T", kHoy + " 09:00:00", 200);
        GuardaVenta(*bd(), 2, "T", kHoy + " 11:30:00", 120.5);
        GuardaVenta(*bd(), 1, "F", kHoy + " 10:00:00", 179.5);
        Movimiento(1, MovEntrada, 100);
        Movimiento(2, MovSalida, 30);
    }
};

QLineEdit* Caja(CCaptura* c) { return c->findChild<QLineEdit*>(); }

}  // namespace

TEST_F(Corte, ShiftTotalsAndTheStoredCut)
{
    Turno();
    const CortePantalla c = Pendiente();
    ASSERT_EQ(c.ventas.size(), 3u);
    EXPECT_EQ(c.ventas.front().text("Fecha"), kHoy + " 11:30:00");  // newest first
    EXPECT_EQ(c.fechaHasta, QDateTime(QDate::currentDate(), QTime(11, 30)));
    EXPECT_EQ(FormatoVentasCorte(c.ventasCentavos), "$ 500.00");
    EXPECT_EQ(FormatoMovimientosCorte(c.movimientosCentavos), "$ 70.00");
    EXPECT_EQ(FormatoVentasCorte(c.finalCentavos()), "$ 570.00");
    ASSERT_EQ(c.movimientos.size(), 2u);

    const ResultadoCorte r = CreaCorte(*bd(), c, "TURNO MATUTINO", 1, {});
    ASSERT_EQ(r.estado, ResultadoCorte::Creado) << r.mensaje.toStdString();
    EXPECT_EQ(r.idCorte, 1);
    const db::Row f = *bd()->selectOne("SELECT * FROM CortesCaja");
    EXPECT_EQ(f.real("ImporteCorte"), 570.0);
    EXPECT_EQ(f.text("ObsCorte"), "TURNO MATUTINO");
    EXPECT_EQ(f.integer("IdUsuario"), 1);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM Venta WHERE IdCorte = 1").toInt(), 3);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM MovimientosCaja WHERE IdCorte = 1").toInt(), 2);
    EXPECT_TRUE(Pendiente().ventas.empty());

    // The cut read back holds the same figures; a second cut numbers after it.
    const auto pasado = CargaCorte(*bd(), 1, false);
    ASSERT_TRUE(pasado);
    EXPECT_EQ(pasado->finalCentavos(), 57000);
    GuardaVenta(*bd(), 3, "T", kHoy + " 12:00:00", 10);
    EXPECT_EQ(CreaCorte(*bd(), Pendiente(), "TARDE", 1, {}).idCorte, 2);
}

TEST_F(Corte, EarlierDaysOnlyLeaveEveryMovementPendingAndOutOfTheTotal)
{
    GuardaVenta(*bd(), 7, "T", kAyer + " 18:00:00", 80);
    GuardaVenta(*bd(), 8, "F", kHoy, 300);  // today at midnight is not an earlier day
    Movimiento(1, MovEntrada, 100);
    Movimiento(2, MovSalida, 30);
    const CortePantalla c = Pendiente(true);
    ASSERT_EQ(c.ventas.size(), 1u);
    EXPECT_EQ(c.ventas[0].integer("IdNumero"), 7);
    EXPECT_EQ(c.movimientos.size(), 2u);  // shown
    EXPECT_EQ(c.movimientosCentavos, 7000);
    EXPECT_EQ(c.finalCentavos(), 8000);

    const ResultadoCorte r = CreaCorte(*bd(), c, "AYER", 1, {});
    ASSERT_EQ(r.estado, ResultadoCorte::Creado) << r.mensaje.toStdString();
    EXPECT_EQ(Valor("SELECT ImporteCorte FROM CortesCaja").toDouble(), 80.0);
    EXPECT_EQ(Pendientes("MovimientosCaja"), 2);
    EXPECT_EQ(Valor("SELECT Numero FROM Venta WHERE IdCorte = 0").toInt(), 8);
    // The cut read back holds no movement.
    EXPECT_TRUE(CargaCorte(*bd(), r.idCorte, false)->movimientos.empty());
}

TEST_F(Corte, QuotationsCancelledRowsAndTheDayInvoiceAreNeverCounted)
{
    GuardaVenta(*bd(), 1, "T", kHoy + " 09:00:00", 50);
    GuardaVenta(*bd(), 2, "C", kHoy + " 09:10:00", 1000);       // quotation
    GuardaVenta(*bd(), 3, "T", kHoy + " 09:20:00", 1000, 0);    // cancelled
    GuardaVenta(*bd(), 4, "F", kHoy + " 09:30:00", 1000, 1, -1);  // day invoice
    GuardaVenta(*bd(), 5, "E", kHoy + " 09:40:00", 25);
    Movimiento(1, MovEntrada, 1000, 0);  // cancelled
    Movimiento(2, MovEntrada, 10, 1, 0, 999);  // its user is not in Personal: it still counts
    const CortePantalla c = Pendiente();
    ASSERT_EQ(c.ventas.size(), 2u);
    EXPECT_EQ(c.ventasCentavos, 7500);
    ASSERT_EQ(c.movimientos.size(), 1u);
    EXPECT_EQ(c.movimientos[0].text("NombreUsuario"), "");
    EXPECT_EQ(c.finalCentavos(), 8500);
    ASSERT_EQ(CreaCorte(*bd(), c, "X", 1, {}).estado, ResultadoCorte::Creado);
    EXPECT_EQ(Valor("SELECT group_concat(Numero || Tipo) FROM (SELECT * FROM Venta WHERE IdCorte = 1 ORDER BY Numero)").toString(),
              "1T,5E");
    EXPECT_EQ(Valor("SELECT IdCorte FROM Venta WHERE Numero = 4").toInt(), -1);
    EXPECT_EQ(Valor("SELECT IdCorte FROM Venta WHERE Numero = 2").toInt(), 0);
}

TEST_F(Corte, NothingIsWrittenWithoutSalesOrObservation)
{
    EXPECT_EQ(CreaCorte(*bd(), Pendiente(), "NADA", 1, {}).estado, ResultadoCorte::SinVentas);
    GuardaVenta(*bd(), 1, "T", kHoy, 10);
    const ResultadoCorte r = CreaCorte(*bd(), Pendiente(), "   ", 1, {});
    EXPECT_EQ(r.estado, ResultadoCorte::SinObservacion);
    EXPECT_EQ(r.mensaje, "La observación esta en blanco.");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM CortesCaja").toInt(), 0);
    EXPECT_EQ(Pendientes("Venta"), 1);
}

TEST_F(Corte, MovementsAloneMakeACut)
{
    Movimiento(1, MovEntrada, 100);
    Movimiento(2, MovSalida, 30);
    const ResultadoCorte r = CreaCorte(*bd(), Pendiente(), "SOLO MOVS", 1, {});
    ASSERT_EQ(r.estado, ResultadoCorte::Creado);
    EXPECT_EQ(r.importeCentavos, 7000);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM MovimientosCaja WHERE IdCorte = 0").toInt(), 0);
}

TEST_F(Corte, PendingMovementCancellationAndPastCutsNeedTheirRight)
{
    Movimiento(1, MovSalida, 1500, 1, 0, 1, "PAGO AGUA");
    Movimiento(2, MovEntrada, 10, 1, 4);
    EXPECT_EQ(PreguntaCancelaMovimiento("PAGO AGUA", 1500), "Desea cancelar PAGO AGUA con Importe:$ 1,500.00");
    QString m;
    EXPECT_TRUE(CancelaMovimiento(*bd(), 1, {}, &m)) << m.toStdString();
    EXPECT_EQ(Valor("SELECT EstatusMov FROM MovimientosCaja WHERE IdMovimiento = 1").toInt(), 0);
    EXPECT_FALSE(CancelaMovimiento(*bd(), 2, {}, &m));  // already in a cut
    EXPECT_FALSE(m.isEmpty());

    ASSERT_TRUE(bd()->exec("INSERT INTO CortesCaja VALUES (4, 'VIEJO', '2026-01-05 20:00:00', 1, 10)"));
    ASSERT_TRUE(bd()->exec("INSERT INTO CortesCaja VALUES (5, 'NUEVO', '2026-02-05 20:00:00', 1, 10)"));
    const auto con = CargaCortes(*bd(), true);
    ASSERT_EQ(con->size(), 2u);
    EXPECT_EQ(con->front().integer("IdCorte"), 5);
    EXPECT_EQ(con->front().text("NombreUsuario"), "ADMIN");
    EXPECT_TRUE(CargaCortes(*bd(), false)->empty());

    // The cut's "Agregar movimiento" without the movements grant says why and opens nothing.
    G().PermisosUsuario[19] = false;
    frmCortesCaja forma(nullptr, &prompts);
    forma.show();
    prompts.clear();
    QTest::mouseClick(forma.cmdAgregaMov, Qt::LeftButton);
    EXPECT_EQ(prompts.messages(), QStringList{"Usted no tiene acceso a esta parte del sistema."});
    EXPECT_EQ(shell::FormaCargada("frmMovCaja"), nullptr);
}

namespace {

// Answers Yes, after pressing the create button once more while the question is open.
class PromptsInsistente : public ui::ScriptedPrompts {
public:
    QPushButton* boton = nullptr;
    bool imprime = false;  // the answer to "Desea IMPRIMIR el corte de caja ?"
    ui::Answer question(const QString& text, const QString& title, bool withCancel, bool defaultNo) override
    {
        ui::ScriptedPrompts::question(text, title, withCancel, defaultNo);
        if (boton && text.startsWith("Desea agregar")) QTest::mouseClick(boton, Qt::LeftButton);
        return text.startsWith("Desea IMPRIMIR") && !imprime ? ui::Answer::No : ui::Answer::Yes;
    }
};

}  // namespace

TEST_F(Corte, FormCreatesTheCutOpensTheDrawerAndShowsItFirstAmongThePast)
{
    GuardaVenta(*bd(), 1, "T", kHoy + " 09:00:00", 200);
    GuardaVenta(*bd(), 2, "T", kHoy + " 09:30:00", 300, 1, 0, 0);  // no lines
    Movimiento(1, MovEntrada, 100);
    Movimiento(2, MovSalida, 30, 1, 0, 1, "PAGO GAS");
    ASSERT_TRUE(bd()->exec("INSERT INTO CortesCaja VALUES (1, 'ANTERIOR', '2026-01-05 20:00:00', 1, 10)"));
    G().OpenCDrawer = 0;

    shell::MIDI midi;
    ConectaMenusCaja(&midi);
    shell::ConectaMenu(&midi);
    midi.show();
    G().PermisosUsuario.fill(false);
    ASSERT_EQ(shell::Acepta("ADMIN", "KORVADIM"), shell::ResultadoLogin::Aceptado);
    QAction* item = midi.accion("mCortesCaja");
    ASSERT_TRUE(item && item->isEnabled());
    PromptsInsistente p;
    ui::setDefaultPrompts(&p);
    item->trigger();
    auto* forma = qobject_cast<frmCortesCaja*>(shell::FormaCargada("frmCortesCaja"));
    ASSERT_TRUE(forma);
    EXPECT_EQ(forma->Label1->text(), "Ventas del corte: 2");
    EXPECT_EQ(forma->lblSumaVentas->text(), "$ 500.00");
    EXPECT_EQ(forma->lblMovimientos->text(), "$ 70.00");
    EXPECT_EQ(forma->lblimporteCORTE->text(), "$ 570.00");
    EXPECT_EQ(forma->gridClientes->model()->index(0, 1).data().toString(), "2");
    // The newest sale is selected first, and it has no lines.
    EXPECT_EQ(p.messages(), QStringList{"No se encontraron detalles para esta venta."});

    // Cancelling the outflow: the question names it, and the balance follows.
    forma->gridMovimientos->setCurrentIndex(forma->gridMovimientos->model()->index(0, 0));
    p.clear();
    QTest::mouseClick(forma->cmdCancelaMov, Qt::LeftButton);
    ASSERT_FALSE(p.asked().empty());
    EXPECT_EQ(p.asked().front().text, "Desea cancelar PAGO GAS con Importe:$ 30.00");
    EXPECT_EQ(forma->lblMovimientos->text(), "$ 100.00");
    EXPECT_EQ(forma->lblimporteCORTE->text(), "$ 600.00");

    // A blank observation is refused; then the cut, pressed twice while its question is open.
    p.clear();
    QTest::keyClicks(Caja(forma->capObservacion), "   ");
    QTest::mouseClick(forma->cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(p.lastMessage(), "La observación esta en blanco.");
    QTest::keyClicks(Caja(forma->capObservacion), "CIERRE");
    p.boton = forma->cmdAgregar;
    // Printed on a printer out of paper: the message says once where the cut prints again.
    p.imprime = true;
    EstableceSalidaImpresor([](const QString&, int) { return print::Resultado{false, "sin papel"}; });
    QTest::mouseClick(forma->cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(p.messages().filter("no se imprimió"),
              QStringList{"El corte 2 quedó grabado, pero no se imprimió: sin papel. Reimprímalo desde Cortes "
                          "anteriores: doble clic en el corte 2 y luego Imprimir."});
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM CortesCaja").toInt(), 2);
    EXPECT_EQ(Valor("SELECT ImporteCorte FROM CortesCaja WHERE IdCorte = 2").toDouble(), 600.0);
    EXPECT_EQ(Valor("SELECT ObsCorte FROM CortesCaja WHERE IdCorte = 2").toString(), "   CIERRE");
    EXPECT_TRUE(p.messages().contains("pulso cajon desact"));  // the drawer routine ran
    EXPECT_EQ(forma->Label1->text(), "Ventas del corte: 0");
    EXPECT_EQ(forma->lblimporteCORTE->text(), "$ 0.00");
    ASSERT_EQ(forma->gridCortes->model()->rowCount(), 2);
    EXPECT_EQ(forma->gridCortes->model()->index(0, 0).data().toString(), "2");
    EXPECT_EQ(forma->gridCortes->model()->index(0, 2).data().toString(), "600.00");

    // Nothing is pending now: the button says so and writes nothing.
    p.clear();
    QTest::keyClicks(Caja(forma->capObservacion), "OTRO");
    QTest::mouseClick(forma->cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(p.lastMessage(), "No hay ventas ni movimientos pendientes de corte.");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM CortesCaja").toInt(), 2);

    // A double click on the past cut shows it read-only.
    forma->SSTab1->setCurrentIndex(1);
    QTest::qWait(20);
    QTableView* g = forma->gridCortes;
    const QPoint punto = g->visualRect(g->model()->index(0, 0)).center();
    ASSERT_TRUE(g->viewport()->rect().contains(punto));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, punto);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, punto);
    EXPECT_EQ(forma->IdCorteActual, 2);
    EXPECT_EQ(forma->lblSumaVentas->text(), "$ 500.00");
    EXPECT_EQ(forma->lblMovimientos->text(), "$ 100.00");
    EXPECT_FALSE(forma->cmdAgregar->isEnabled());
    EXPECT_FALSE(forma->cmdAgregaMov->isEnabled());
    EXPECT_FALSE(forma->cmdCancelaMov->isEnabled());
    // Following that message prints the stored cut, not the new empty one.
    QString impreso;
    EstableceSalidaImpresor([&](const QString& t, int) {
        impreso = t;
        return print::Resultado{true, {}};
    });
    QTest::mouseClick(forma->cmdImprimir, Qt::LeftButton);
    EstableceSalidaImpresor(nullptr);
    EXPECT_TRUE(impreso.contains("IdCorte: 00002")) << impreso.toStdString();
    EXPECT_TRUE(impreso.contains("600.00")) << impreso.toStdString();
    // From the menu again: the pending cut, not the past one left on screen.
    item->trigger();
    EXPECT_EQ(forma->IdCorteActual, 0);
    EXPECT_TRUE(forma->cmdAgregar->isEnabled());
    EXPECT_EQ(forma->lblimporteCORTE->text(), "$ 0.00");
    ui::setDefaultPrompts(&prompts);
    shell::OlvidaAbridores();
}

TEST_F(Corte, AfterTheCutNoSaleLinesAreLeftOnScreen)
{
    GuardaVenta(*bd(), 1, "T", kHoy + " 09:00:00", 200);
    G().OpenCDrawer = 0;
    frmCortesCaja forma(nullptr, &prompts);
    forma.show();
    ASSERT_GT(forma.gridDetVentas->model()->rowCount(), 0);
    QTest::keyClicks(Caja(forma.capObservacion), "CIERRE");
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
    ASSERT_EQ(Pendientes("Venta"), 0);
    EXPECT_EQ(forma.gridClientes->model()->rowCount(), 0);
    EXPECT_EQ(forma.gridDetVentas->model()->rowCount(), 0);
}

TEST_F(Corte, AddingFromTheCutBringsAMovementBeingTypedForwardInsteadOfDroppingIt)
{
    GuardaVenta(*bd(), 1, "T", kHoy + " 09:00:00", 200);
    shell::MIDI midi;
    midi.show();
    QPointer<frmMovCaja> mov = AbreMovCaja(&midi);
    ASSERT_TRUE(mov);
    QTest::mouseClick(mov->cmdAgregar, Qt::LeftButton);
    QLineEdit* importe = Caja(mov->capImporte);
    importe->selectAll();
    QTest::keyClicks(importe, "75");
    auto* corte = new frmCortesCaja(nullptr, &prompts);
    midi.MuestraEnMDI(corte);
    // Should a modal form take its place, it goes, so the test ends.
    QObject vigente;
    QTimer::singleShot(1000, &vigente, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    QTest::mouseClick(corte->cmdAgregaMov, Qt::LeftButton);
    ASSERT_TRUE(mov);
    EXPECT_EQ(mov->modo(), frmMovCaja::Agregando);
    EXPECT_EQ(mov->capImporte->Text(), "75");
    EXPECT_EQ(midi.areaMDI()->activeSubWindow()->widget(), mov.data());

    // Saved and closed there: the cut shows it.
    QTest::mouseClick(mov->cmdAgregar, Qt::LeftButton);
    QTest::mouseClick(mov->cmdCancelar, Qt::LeftButton);
    QTest::qWait(20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(mov);
    EXPECT_EQ(corte->lblMovimientos->text(), "$ 75.00");
    shell::OlvidaAbridores();
}

TEST_F(Corte, AMovementAddedFromTheCutShowsAtOnce)
{
    GuardaVenta(*bd(), 1, "T", kHoy + " 09:00:00", 200);
    frmCortesCaja forma(nullptr, &prompts);
    forma.show();
    EXPECT_EQ(forma.lblMovimientos->text(), "$ 0.00");
    // The movements form opens modal; the person types an inflow and closes it.
    QTimer::singleShot(50, [] {
        auto* mov = qobject_cast<frmMovCaja*>(shell::FormaCargada("frmMovCaja"));
        ASSERT_TRUE(mov && mov->isModal());
        QTest::mouseClick(mov->cmdAgregar, Qt::LeftButton);
        QLineEdit* e = mov->capImporte->findChild<QLineEdit*>();
        e->selectAll();
        QTest::keyClicks(e, "250");
        QTest::mouseClick(mov->cmdAgregar, Qt::LeftButton);
        QTest::mouseClick(mov->cmdCancelar, Qt::LeftButton);
    });
    QTest::mouseClick(forma.cmdAgregaMov, Qt::LeftButton);
    EXPECT_EQ(forma.lblMovimientos->text(), "$ 250.00");
    EXPECT_EQ(forma.lblimporteCORTE->text(), "$ 450.00");

    // Ticking "earlier days only" keeps the movements on screen but out of the final balance.
    QTest::mouseClick(forma.chkMenores, Qt::LeftButton);
    EXPECT_EQ(forma.Label1->text(), "Ventas del corte: 0");
    EXPECT_EQ(forma.lblMovimientos->text(), "$ 250.00");
    EXPECT_EQ(forma.lblimporteCORTE->text(), "$ 0.00");
}

TEST_F(Corte, TheFormReadsWhatIsPendingWhenItComesForwardAndWhenTheCutIsAsked)
{
    GuardaVenta(*bd(), 1, "T", kHoy + " 09:00:00", 200);
    // A product the catalogue lets go (the first one never leaves it).
    ASSERT_TRUE(bd()->exec("UPDATE DetalleVenta SET ClaveProducto = (SELECT MAX(ClaveProducto) FROM Producto) "
                           "WHERE Numero = 1"));
    Movimiento(1, MovEntrada, 100);
    G().OpenCDrawer = 0;
    auto otra = OtraTerminal();
    ASSERT_TRUE(otra);
    shell::MIDI midi;
    ConectaMenusCaja(&midi);
    shell::ConectaMenu(&midi);
    midi.show();
    G().PermisosUsuario.fill(false);
    ASSERT_EQ(shell::Acepta("ADMIN", "KORVADIM"), shell::ResultadoLogin::Aceptado);
    QAction* item = midi.accion("mCortesCaja");
    ASSERT_TRUE(item);
    item->trigger();
    auto* forma = qobject_cast<frmCortesCaja*>(shell::FormaCargada("frmCortesCaja"));
    ASSERT_TRUE(forma);
    EXPECT_EQ(forma->lblimporteCORTE->text(), "$ 300.00");

    // Another terminal sells; the menu brings the window forward with the sale in it.
    GuardaVenta(*otra, 2, "T", kHoy + " 10:00:00", 50);
    item->trigger();
    EXPECT_EQ(forma->lblimporteCORTE->text(), "$ 350.00");
    EXPECT_EQ(forma->Label1->text(), "Ventas del corte: 2");

    // It refunds while the window stays open: "Crear corte" shows the new figures and cuts nothing.
    ASSERT_TRUE(otra->exec("INSERT INTO MovimientosCaja (FechaMov, ImporteMov, TipoMov, DescripcionMov, EstatusMov, "
                           "IdCorte, IdUsuario) VALUES ('2026-12-09 10:05:00', 6, 2, 'Dev. EFECTIVO V:2', 1, 0, 1)"));
    QTest::keyClicks(Caja(forma->capObservacion), "CIERRE");
    prompts.clear();
    QTest::mouseClick(forma->cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), MensajeCambiado());
    EXPECT_EQ(forma->lblimporteCORTE->text(), "$ 344.00");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM CortesCaja").toInt(), 0);

    // A movement a refund wrote is not the person's to cancel: told so, and nothing asked first.
    forma->gridMovimientos->setCurrentIndex(forma->gridMovimientos->model()->index(0, 0));
    prompts.clear();
    QTest::mouseClick(forma->cmdCancelaMov, Qt::LeftButton);
    EXPECT_TRUE(prompts.lastMessage().startsWith(QString::fromUtf8("Este movimiento lo escribió una venta")))
        << prompts.lastMessage().toStdString();
    EXPECT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM MovimientosCaja WHERE EstatusMov = 1").toInt(), 2);

    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    prompts.pushAnswer(ui::Answer::No);
    QTest::mouseClick(forma->cmdAgregar, Qt::LeftButton);
    ASSERT_EQ(Valor("SELECT COUNT(*) FROM CortesCaja").toInt(), 1);
    EXPECT_EQ(Valor("SELECT ImporteCorte FROM CortesCaja").toDouble(), 344.0);

    // Only a movement pending: the button cuts it.
    Movimiento(9, MovEntrada, 10);
    item->trigger();
    QTest::keyClicks(Caja(forma->capObservacion), "SOLO FONDO");
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    prompts.pushAnswer(ui::Answer::No);
    QTest::mouseClick(forma->cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(Valor("SELECT ImporteCorte FROM CortesCaja WHERE IdCorte = 2").toDouble(), 10.0)
        << prompts.messages().join(u'|').toStdString();

    // The first cut, opened from the list, keeps its figures whatever is ticked, and names its
    // lines after their product is gone.
    ASSERT_TRUE(bd()->exec("UPDATE Venta SET Fecha = ? WHERE Numero = 1", {kHoy + " 09:00:00"}));
    const qint64 producto = Valor("SELECT ClaveProducto FROM DetalleVenta WHERE Numero = 1").toLongLong();
    const QString nombre = Valor("SELECT Nombre FROM Producto WHERE ClaveProducto = ?", {producto}).toString();
    ASSERT_TRUE(catalogos::BorraProducto(*bd(), producto));
    forma->CargaCortes();
    forma->AbreCortePasado(1);
    ASSERT_EQ(forma->IdCorteActual, 1);
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(forma->chkMenores, Qt::LeftButton);
        EXPECT_EQ(forma->lblimporteCORTE->text(), "$ 344.00");
        EXPECT_EQ(forma->Label1->text(), "Ventas del corte: 2");
    }
    forma->MuestraDetalleVenta(1, "T");
    ASSERT_GT(forma->gridDetVentas->model()->rowCount(), 0);
    EXPECT_EQ(forma->gridDetVentas->model()->index(0, 0).data().toString().trimmed(), nombre.trimmed());
    shell::OlvidaAbridores();
}
