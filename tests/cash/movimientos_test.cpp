// Cash movements: the amount and kind a person may save, the numbering under two terminals, the
// balance of the pending movements, the one-value reader, and the form driven offscreen.

#include "movimientos_datos.h"

#include "capture_control/ccaptura.h"
#include "cash/forms/frmmovcaja.h"
#include "cash/forms/menus.h"
#include "cash/movimientos.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/login.h"
#include "shell/rutinas_bd.h"
#include "shell/sucursal.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace caja;

namespace {

using Movimientos = DatosCaja;

qint64 Cuantos(db::Database& bd) { return bd.scalar(QStringLiteral("SELECT COUNT(*) FROM MovimientosCaja"))->toLongLong(); }

QLineEdit* Caja(CCaptura* c) { return c->findChild<QLineEdit*>(); }

void Teclea(CCaptura* c, const QString& texto)
{
    QLineEdit* e = Caja(c);
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, texto);
}

}  // namespace

TEST(ImporteMovimiento, ThousandsCommasAreReadAndAnythingButAPositiveAmountIsRefused)
{
    EXPECT_EQ(LeeImporteMovimiento(QStringLiteral("1,500.00")), 1500.0);
    EXPECT_EQ(LeeImporteMovimiento(QStringLiteral(" 12.5 ")), 12.5);
    EXPECT_EQ(LeeImporteMovimiento(QStringLiteral(".75")), 0.75);
    for (const char* malo : {"", "  ", "abc", "12abc", "0", "0.00", "0.004", "-30", "1.2.3", "$5", "1e3"})
        EXPECT_FALSE(LeeImporteMovimiento(QString::fromLatin1(malo))) << malo;
}

TEST(SignoMovimiento, InAddsOutSubtractsAnyOtherKindCountsNothing)
{
    EXPECT_EQ(CentavosConSigno(MovEntrada, 100.005), 10001);
    EXPECT_EQ(CentavosConSigno(MovSalida, 30), -3000);
    EXPECT_EQ(CentavosConSigno(MovNoDefinido, 50), 0);
    EXPECT_EQ(CentavosConSigno(7, 50), 0);
    EXPECT_EQ(DescripcionPorTipo(MovEntrada, "x"), "Entrada por Efectivo.");
    EXPECT_EQ(DescripcionPorTipo(MovSalida, "x"), "Salida de Efectivo.");
    EXPECT_EQ(DescripcionPorTipo(MovNoDefinido, "x"), "x");
}

TEST_F(Movimientos, FirstMovementIsOneAndAnOutflowKeepsItsKindAndAmount)
{
    const MovimientoGuardado r = GuardaMovimiento(*bd(), {QStringLiteral("1,500.00"), MovSalida, "PAGO LUZ", 1}, {});
    ASSERT_TRUE(r.ok) << r.mensaje.toStdString();
    EXPECT_EQ(r.id, 1);
    const db::Row f = *bd()->selectOne(QStringLiteral("SELECT * FROM MovimientosCaja"));
    EXPECT_EQ(f.integer("TipoMov"), 2);
    EXPECT_EQ(f.real("ImporteMov"), 1500.0);
    EXPECT_EQ(f.integer("EstatusMov"), 1);
    EXPECT_EQ(f.integer("IdCorte"), 0);
    EXPECT_EQ(f.integer("IdUsuario"), 1);
    EXPECT_EQ(f.text("DescripcionMov"), "PAGO LUZ");
    const QDateTime fecha = QDateTime::fromString(f.text("FechaMov"), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_LE(qAbs(fecha.secsTo(QDateTime::currentDateTime())), 5);
}

TEST_F(Movimientos, RefusedInputWritesNothing)
{
    const std::pair<const char*, int> casos[] = {
        {"abc", MovEntrada}, {"", MovEntrada}, {"0", MovSalida}, {"-20", MovEntrada}, {"100", MovNoDefinido}, {"100", -1}};
    for (const auto& [importe, tipo] : casos) {
        const MovimientoGuardado r = GuardaMovimiento(*bd(), {QString::fromLatin1(importe), tipo, "X", 1}, {});
        EXPECT_FALSE(r.ok) << importe;
        EXPECT_FALSE(r.mensaje.isEmpty()) << importe;
    }
    // A person's movement may not pose as one a sale wrote (which no one may cancel by hand).
    for (const char* d : {"Cancelacion V:T90", "dev. efectivo V:12", "Dev. NOTA CREDITO V:T4"}) {
        const MovimientoGuardado r = GuardaMovimiento(*bd(), {QStringLiteral("10"), MovSalida, QString::fromLatin1(d), 1}, {});
        EXPECT_FALSE(r.ok) << d;
    }
    EXPECT_EQ(Cuantos(*bd()), 0);
}

TEST_F(Movimientos, TwoTerminalsSavingAtOnceGetConsecutiveIds)
{
    Movimiento(4, MovEntrada, 10);
    auto otra = OtraTerminal();
    ASSERT_TRUE(otra);
    // The other terminal is half-way through its save when this one starts: this one waits for the
    // lock and numbers after it.
    ASSERT_TRUE(otra->beginWrite());
    ASSERT_EQ(shell::InsertaMovCaja(*otra, 20, MovEntrada, "OTRA", 1), 5);
    db::LockWait espera;
    espera.cancelled = [&otra] {
        if (otra->inTransaction()) otra->commit();
        return false;
    };
    const MovimientoGuardado r = GuardaMovimiento(*bd(), {QStringLiteral("30"), MovEntrada, "ESTA", 1}, espera);
    ASSERT_TRUE(r.ok) << r.mensaje.toStdString();
    EXPECT_EQ(r.id, 6);
    EXPECT_EQ(Valor("SELECT group_concat(IdMovimiento) FROM (SELECT IdMovimiento FROM MovimientosCaja ORDER BY 1)").toString(),
              "4,5,6");

    // Giving up the wait writes nothing.
    ASSERT_TRUE(otra->beginWrite());
    db::LockWait esc;
    esc.cancelled = [] { return true; };
    const MovimientoGuardado c = GuardaMovimiento(*bd(), {QStringLiteral("30"), MovEntrada, "ESC", 1}, esc);
    otra->rollback();
    EXPECT_FALSE(c.ok);
    EXPECT_TRUE(c.cancelado);
    EXPECT_EQ(Cuantos(*bd()), 3);
}

TEST_F(Movimientos, BalanceCountsActivePendingMovementsWithTheirSign)
{
    Movimiento(1, MovEntrada, 100);
    Movimiento(2, MovSalida, 30);
    Movimiento(3, MovEntrada, 50, 0);      // inactive
    Movimiento(4, MovEntrada, 999, 1, 3);  // already in cut 3
    EXPECT_EQ(ObtResultadoCons(*bd(), "cSaldoMovCaja", "Importe", prompts), "70");
    EXPECT_TRUE(prompts.messages().isEmpty());
    frmMovCaja forma(nullptr, &prompts);
    EXPECT_EQ(forma.lblSaldo->text(), "70.00");
}

TEST_F(Movimientos, OneValueReaderTakesOnlyNamesOfTheBranchFile)
{
    EXPECT_EQ(ObtResultadoCons(*bd(), "cMaxIdMovcaja", "MaxId", prompts), "");
    EXPECT_TRUE(prompts.messages().isEmpty());  // a Null maximum is a row
    EXPECT_EQ(ObtResultadoCons(*bd(), "MovimientosCaja", "IdMovimiento", prompts), "");
    EXPECT_EQ(prompts.lastMessage(), "No se encontraron registros en MovimientosCaja campo: IdMovimiento");
    for (const char* texto : {"SELECT 1 AS x", "MovimientosCaja; DELETE FROM Venta", "NoExiste"}) {
        prompts.clear();
        EXPECT_EQ(ObtResultadoCons(*bd(), texto, "x", prompts), "");
        EXPECT_EQ(prompts.messages().size(), 1) << texto;
    }
    Movimiento(8, MovEntrada, 1);
    EXPECT_EQ(ObtResultadoCons(*bd(), "cMaxIdMovcaja", "MaxId", prompts), "8");
}

TEST_F(Movimientos, FormAddsAnOutflowAndBrowsesLocked)
{
    Movimiento(1, MovEntrada, 100, 0);
    frmMovCaja forma(nullptr, &prompts);
    forma.show();
    forma.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&forma));
    ASSERT_EQ(forma.Registros(), 1);
    EXPECT_EQ(forma.cmbEstatus->currentText(), "Inactivo");
    EXPECT_TRUE(forma.capImporte->Locked());
    EXPECT_FALSE(forma.cmbTipoMov->isEnabled());

    QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(forma.cmdAgregar->text(), "Guardar");
    EXPECT_EQ(forma.capMovimiento->Text(), "00000");
    EXPECT_EQ(forma.cmbEstatus->currentText(), "Activo");
    EXPECT_EQ(forma.cmbTipoMov->currentText(), "Entrada de $$");
    EXPECT_EQ(forma.capImporte->Text(), "0.00");
    EXPECT_EQ(forma.capDescripcion->Text(), "Entrada por Efectivo.");
    EXPECT_FALSE(QDateTime::fromString(forma.lblFechaH->text(), "dd/MM/yyyy HH:mm:ss").isNull());
    EXPECT_TRUE(forma.capMovimiento->Locked());
    EXPECT_FALSE(forma.cmbEstatus->isEnabled());
    EXPECT_FALSE(forma.capImporte->Locked());

    // The person picks "Salida de $$" from the list: its text, and the cursor in the amount.
    forma.cmbTipoMov->setFocus();
    QTest::keyClick(forma.cmbTipoMov, Qt::Key_Down);
    EXPECT_EQ(forma.cmbTipoMov->currentText(), "Salida de $$");
    EXPECT_EQ(forma.capDescripcion->Text(), "Salida de Efectivo.");
    EXPECT_TRUE(Caja(forma.capImporte)->hasFocus());

    // A bad amount is refused and the movement stays on screen to be corrected.
    Teclea(forma.capImporte, "doce");
    QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(forma.modo(), frmMovCaja::Agregando);
    EXPECT_EQ(Cuantos(*bd()), 1);

    Teclea(forma.capImporte, "1,500.00");
    QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
    EXPECT_EQ(forma.cmdAgregar->text(), "&Agregar Movto");
    ASSERT_EQ(Cuantos(*bd()), 2);
    EXPECT_EQ(forma.capMovimiento->Text(), "00002");
    EXPECT_EQ(forma.lblSaldo->text(), "-1500.00");
    EXPECT_EQ(Valor("SELECT TipoMov || '|' || ImporteMov FROM MovimientosCaja WHERE IdMovimiento = 2").toString(), "2|1500.0");
    EXPECT_TRUE(forma.capDescripcion->Locked());

    QTest::mouseClick(forma.cmdAnterior, Qt::LeftButton);
    EXPECT_EQ(forma.capMovimiento->Text(), "00001");
    EXPECT_EQ(forma.capImporte->Text(), "100.00");
    EXPECT_EQ(forma.cmbTipoMov->currentText(), "Entrada de $$");
    EXPECT_EQ(forma.cmbEstatus->currentText(), "Inactivo");
    QTest::mouseClick(forma.cmdAnterior, Qt::LeftButton);
    EXPECT_EQ(forma.Posicion(), 0);
    QTest::mouseClick(forma.cmdSiguiente, Qt::LeftButton);
    EXPECT_EQ(forma.capMovimiento->Text(), "00002");
    EXPECT_EQ(forma.cmbTipoMov->currentText(), "Salida de $$");
    EXPECT_EQ(forma.capDescripcion->Text(), "Salida de Efectivo.");

    // Closing with a movement typed asks first: No keeps it on screen, Yes drops it.
    QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
    Teclea(forma.capImporte, "75");
    prompts.clear();
    prompts.pushAnswer(ui::Answer::No);
    QTest::mouseClick(forma.cmdCancelar, Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_TRUE(forma.isVisible());
    EXPECT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(forma.capImporte->Text(), "75");
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(forma.cmdCancelar, Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_FALSE(forma.isVisible());
    EXPECT_EQ(Cuantos(*bd()), 2);
}

TEST_F(Movimientos, MenuItemOpensTheFormAndAUserWithoutPermissionSeesItClose)
{
    shell::MIDI midi;
    ConectaMenusCaja(&midi);
    shell::ConectaMenu(&midi);
    midi.show();
    // The running program: the branch's parameters (ControlCaja 1 in a new folder) and the login.
    G().PermisosUsuario.fill(false);
    ASSERT_TRUE(shell::EstableceSucursal()) << prompts.messages().join("|").toStdString();
    ASSERT_EQ(shell::Acepta("ADMIN", "KORVADIM"), shell::ResultadoLogin::Aceptado);
    QAction* item = midi.accion("mCajonDinero");
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    QPointer<QWidget> forma = shell::FormaCargada("frmMovCaja");
    ASSERT_TRUE(forma);
    EXPECT_EQ(midi.areaMDI()->activeSubWindow()->widget(), forma.data());

    // The permission goes while the form is open: the next time it comes to the front it closes,
    // without a word.
    prompts.clear();
    G().PermisosUsuario[19] = false;
    qobject_cast<frmMovCaja*>(forma.data())->Activacion();
    QTest::qWait(50);
    EXPECT_TRUE(forma.isNull());
    EXPECT_TRUE(prompts.messages().isEmpty());

    // Shown modal (as the cash cut does) to a user without it: gone at once, and the caller goes on.
    MuestraMovCajaModal(&midi);
    EXPECT_FALSE(shell::FormaCargada("frmMovCaja"));
    EXPECT_TRUE(prompts.messages().isEmpty());
    shell::OlvidaAbridores();
}
