// Money accounts and their movements on a branch file made by the setup tool: the balance follows
// the active movements whatever is typed or edited, numbers never collide between two handles, bad
// input writes nothing; and the two forms driven as a person does.

#include "catalogs/cuentas.h"
#include "catalogs/forms/frmcuentas.h"
#include "capture_control/ccaptura.h"
#include "fixture.h"
#include "shell/texto.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QToolBar>

using namespace catalogos;

namespace {

class CuentasTest : public DatosTest {
protected:
    qint64 NuevaCuenta(const QString& saldo, db::Database* bd = nullptr)
    {
        DatosCuenta d;
        d.NomCuenta = QStringLiteral("JUAN PEREZ");
        d.EstatusCuenta = EstatusActivo;
        d.Saldo = saldo;
        const Grabado g = GrabarCuenta(bd ? *bd : *sucursal, d, true, -1);
        EXPECT_TRUE(g.ok) << g.mensaje.toStdString();
        return g.numero;
    }
    Grabado Movimiento(qint64 cuenta, int tipo, const QString& importe, int estatus = EstatusActivo)
    {
        DatosMovimiento d;
        d.IdCuenta = QString::number(cuenta);
        d.FechaMovto = QDate(2026, 12, 9);
        d.TipoMovimiento = tipo;
        d.Importe = importe;
        d.EstatusMovto = estatus;
        return GrabarMovimiento(*sucursal, d, true, -1);
    }
    double Saldo(qint64 cuenta)
    {
        return Valor(*sucursal, QStringLiteral("SELECT SaldoCuenta FROM Cuentas WHERE IdCuenta = ?"), {cuenta}).toDouble();
    }
    qint64 Movimientos()
    {
        return Valor(*sucursal, QStringLiteral("SELECT COUNT(*) FROM CuentasMovto")).toLongLong();
    }
    static QLineEdit* Caja(CCaptura* c) { return c->findChild<QLineEdit*>(); }
    static void Pulsa(QToolBar* barra, const QString& tooltip)
    {
        for (QAction* a : barra->actions())
            if (a->toolTip() == tooltip) {
                QTest::mouseClick(barra->widgetForAction(a), Qt::LeftButton);
                return;
            }
        ADD_FAILURE() << "no button " << tooltip.toStdString();
    }
    // Column of the grid's model with that field name or heading, -1 when none.
    static int Columna(QTableView* grid, const QString& titulo)
    {
        const QAbstractItemModel* m = grid->model();
        for (int i = 0; i < m->columnCount(); ++i)
            if (m->headerData(i, Qt::Horizontal, Qt::UserRole).toString() == titulo ||
                m->headerData(i, Qt::Horizontal).toString() == titulo)
                return i;
        return -1;
    }
    static void Escribe(CCaptura* c, const QString& texto)
    {
        Caja(c)->selectAll();
        QTest::keyClicks(Caja(c), texto);
    }
};

TEST_F(CuentasTest, ChargesRaisePaymentsLowerAndCancellingReverses)
{
    const qint64 c = NuevaCuenta(QStringLiteral("100"));
    EXPECT_EQ(Valor(*sucursal, QStringLiteral("SELECT FechaGen FROM Cuentas WHERE IdCuenta = ?"), {c}).toString(),
              shell::FechaISO(QDate::currentDate()));
    const Grabado cargo = Movimiento(c, MovCargo, QStringLiteral("50"));
    ASSERT_TRUE(cargo.ok);
    EXPECT_DOUBLE_EQ(Saldo(c), 150);
    ASSERT_TRUE(Movimiento(c, MovAbono, QStringLiteral("30")).ok);
    EXPECT_DOUBLE_EQ(Saldo(c), 120);

    prompts.pushAnswer(ui::Answer::No);
    EXPECT_EQ(CancelaMovimiento(*sucursal, cargo.numero, prompts), Cancelacion::Nada);
    EXPECT_DOUBLE_EQ(Saldo(c), 120);
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_EQ(CancelaMovimiento(*sucursal, cargo.numero, prompts), Cancelacion::Cancelado);
    EXPECT_EQ(prompts.asked().back().text, QStringLiteral("Se procede a cancelar el movimiento. ?"));
    EXPECT_DOUBLE_EQ(Saldo(c), 70);
    EXPECT_EQ(Valor(*sucursal, QStringLiteral("SELECT EstatusMovto FROM CuentasMovto WHERE IdMovto = ?"),
                    {cargo.numero}).toInt(), EstatusCancelado);

    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_EQ(CancelaMovimiento(*sucursal, cargo.numero, prompts), Cancelacion::NoActivo);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El movimiento no esta activo."));
    EXPECT_DOUBLE_EQ(Saldo(c), 70);

    // Typed with thousands separators.
    ASSERT_TRUE(Movimiento(c, MovCargo, QStringLiteral("1,234.50")).ok);
    EXPECT_DOUBLE_EQ(Saldo(c), 1304.5);
    // A movement stored already cancelled never counted.
    ASSERT_TRUE(Movimiento(c, MovCargo, QStringLiteral("10"), EstatusCancelado).ok);
    EXPECT_DOUBLE_EQ(Saldo(c), 1304.5);
}

TEST_F(CuentasTest, SavedMovementsAndAccountsNeverMoveTheBalance)
{
    const qint64 c = NuevaCuenta(QStringLiteral("100"));
    const Grabado cargo = Movimiento(c, MovCargo, QStringLiteral("50"));
    DatosMovimiento editado;
    editado.IdCuenta = QString::number(c);
    editado.FechaMovto = QDate(2020, 1, 1);
    editado.TipoMovimiento = MovAbono;
    editado.Importe = QStringLiteral("999");
    editado.EstatusMovto = EstatusCancelado;
    editado.Referencia01 = QStringLiteral("FACTURA 12");
    editado.Comentarios = QStringLiteral("pago de 'enero'");
    ASSERT_TRUE(GrabarMovimiento(*sucursal, editado, false, cargo.numero).ok);
    auto fila = *sucursal->selectOne(QStringLiteral("SELECT * FROM CuentasMovto WHERE IdMovto = ?"), {cargo.numero});
    EXPECT_DOUBLE_EQ(fila.real(QStringLiteral("ImporteMovto")), 50);
    EXPECT_EQ(fila.integer(QStringLiteral("TipoMovimiento")), MovCargo);
    EXPECT_EQ(fila.integer(QStringLiteral("EstatusMovto")), EstatusActivo);
    EXPECT_EQ(fila.text(QStringLiteral("Referencia01")), QStringLiteral("FACTURA 12"));
    EXPECT_EQ(fila.text(QStringLiteral("Comentarios")), QStringLiteral("pago de 'enero'"));
    EXPECT_DOUBLE_EQ(Saldo(c), 150);

    // The account's own save: name and status only, whatever the balance field says.
    DatosCuenta d;
    d.IdCuenta = QString::number(c);
    d.NomCuenta = QStringLiteral("JUAN PEREZ LOPEZ");
    d.EstatusCuenta = EstatusActivo;
    d.Saldo = QStringLiteral("100.00");
    ASSERT_TRUE(GrabarCuenta(*sucursal, d, false, c).ok);
    EXPECT_DOUBLE_EQ(Saldo(c), 150);
    d.IdCuenta = QString::number(c + 1);
    d.NomCuenta = QStringLiteral("OTRO");
    const Grabado otra = GrabarCuenta(*sucursal, d, false, c);
    EXPECT_FALSE(otra.ok);
    EXPECT_EQ(otra.mensaje, QStringLiteral("Seleccione la cuenta."));
    EXPECT_EQ(Valor(*sucursal, QStringLiteral("SELECT NomCuenta FROM Cuentas WHERE IdCuenta = ?"), {c}).toString(),
              QStringLiteral("JUAN PEREZ LOPEZ"));

    ASSERT_TRUE(CancelaCuenta(*sucursal, c));
    EXPECT_EQ(Valor(*sucursal, QStringLiteral("SELECT EstatusCuenta FROM Cuentas WHERE IdCuenta = ?"), {c}).toInt(),
              EstatusCancelado);
    EXPECT_DOUBLE_EQ(Saldo(c), 150);
    EXPECT_EQ(Movimientos(), 1);
}

TEST_F(CuentasTest, TheBalanceIsKeptInWholeCents)
{
    // Amounts like 0.10 and 0.20 have no exact binary form: added as they are, the stored balance
    // drifts off the cent (0.30000000000000004) and a balance paid off is not 0.
    const qint64 c = NuevaCuenta(QStringLiteral("0.10"));
    ASSERT_TRUE(Movimiento(c, MovCargo, QStringLiteral("0.20")).ok);
    EXPECT_EQ(Saldo(c), 0.3);
    ASSERT_TRUE(Movimiento(c, MovAbono, QStringLiteral("0.30")).ok);
    EXPECT_EQ(Saldo(c), 0.0);
    // A fraction of a cent typed is taken to the cent, in the movement and in the balance alike.
    const Grabado m = Movimiento(c, MovCargo, QStringLiteral("10.006"));
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(Valor(*sucursal, QStringLiteral("SELECT ImporteMovto FROM CuentasMovto WHERE IdMovto = ?"), {m.numero})
                  .toDouble(),
              10.01);
    EXPECT_EQ(Saldo(c), 10.01);
    const qint64 otra = NuevaCuenta(QStringLiteral("1,234.567"));
    EXPECT_EQ(Saldo(otra), 1234.57);
}

TEST_F(CuentasTest, TwoHandlesAddingAtOnceGetDifferentNumbers)
{
    auto otra = db::Database::open(sucursal->path(), datasetup::claveArchivos());
    ASSERT_TRUE(otra);
    EXPECT_EQ(SiguienteCuenta(*sucursal), SiguienteCuenta(*otra));  // both show the same on the add
    const qint64 a = NuevaCuenta(QStringLiteral("0"));
    const qint64 b = NuevaCuenta(QStringLiteral("0"), otra.get());
    EXPECT_EQ(b, a + 1);
    const Grabado m1 = Movimiento(a, MovCargo, QStringLiteral("1"));
    DatosMovimiento d;
    d.IdCuenta = QString::number(b);
    d.FechaMovto = QDate::currentDate();
    d.TipoMovimiento = MovCargo;
    d.Importe = QStringLiteral("2");
    d.EstatusMovto = EstatusActivo;
    const Grabado m2 = GrabarMovimiento(*otra, d, true, -1);
    EXPECT_EQ(m2.numero, m1.numero + 1);
}

TEST_F(CuentasTest, RefusedInputWritesNothing)
{
    const qint64 c = NuevaCuenta(QStringLiteral("100"));
    const struct {
        QString cuenta;
        int tipo;
        const char* importe;
        int estatus;
    } casos[] = {{QString::number(c), MovCargo, "abc", EstatusActivo},
                 {QString::number(c), MovCargo, "0", EstatusActivo},
                 {QString::number(c), MovCargo, "0.001", EstatusActivo},
                 {QString::number(c), MovAbono, "-5", EstatusActivo},
                 {QString::number(c), MovCargo, "12abc", EstatusActivo},
                 {QString::number(c), 0, "5", EstatusActivo},
                 {QString::number(c), MovCargo, "5", 0},
                 {QString(), MovCargo, "5", EstatusActivo},
                 {QStringLiteral("X"), MovCargo, "5", EstatusActivo},
                 {QString::number(c + 7), MovCargo, "5", EstatusActivo}};
    for (const auto& k : casos) {
        DatosMovimiento d;
        d.IdCuenta = k.cuenta;
        d.FechaMovto = QDate::currentDate();
        d.TipoMovimiento = k.tipo;
        d.Importe = QString::fromLatin1(k.importe);
        d.EstatusMovto = k.estatus;
        const Grabado g = GrabarMovimiento(*sucursal, d, true, -1);
        EXPECT_FALSE(g.ok) << k.importe;
        EXPECT_FALSE(g.mensaje.isEmpty());
    }
    EXPECT_EQ(Movimientos(), 0);
    EXPECT_DOUBLE_EQ(Saldo(c), 100);

    DatosCuenta mala;
    mala.NomCuenta = QStringLiteral("X");
    mala.EstatusCuenta = EstatusActivo;
    mala.Saldo = QStringLiteral("cien");
    EXPECT_FALSE(GrabarCuenta(*sucursal, mala, true, -1).ok);
    mala.Saldo = QStringLiteral("5");
    mala.EstatusCuenta = 0;
    EXPECT_FALSE(GrabarCuenta(*sucursal, mala, true, -1).ok);
    EXPECT_EQ(Valor(*sucursal, QStringLiteral("SELECT COUNT(*) FROM Cuentas")).toLongLong(), 1);
}

TEST_F(CuentasTest, AnEmptyOrNonNumericSelectionListsEveryMovement)
{
    const qint64 a = NuevaCuenta(QStringLiteral("0"));
    const qint64 b = NuevaCuenta(QStringLiteral("0"));
    Movimiento(a, MovCargo, QStringLiteral("1"));
    Movimiento(b, MovCargo, QStringLiteral("2"));
    for (const char* sel : {"", "abc", "0", "1 OR 1=1"})
        EXPECT_EQ(LeeMovimientos(*sucursal, QString::fromLatin1(sel))->size(), 2u) << sel;
    EXPECT_EQ(LeeMovimientos(*sucursal, QString::number(b))->size(), 1u);
}

TEST_F(CuentasTest, FormsAddAnAccountAndAChargeAndTheGridShowsTheNewBalance)
{
    frmCuentas f(nullptr, sucursal.get(), &prompts);
    f.show();
    Pulsa(f.Toolbar2, QStringLiteral("Agregar cuenta."));
    EXPECT_EQ(f.txtNumCuenta->Text(), QStringLiteral("1"));
    EXPECT_EQ(f.txtFechaApertura->Text(), shell::FormatoFecha(QDate::currentDate()));
    Escribe(f.txtNomCuenta, QStringLiteral("TIENDA LA LUZ"));
    Escribe(f.txtSaldo, QStringLiteral("1,000"));
    Pulsa(f.Toolbar2, QStringLiteral("Guardar."));
    ASSERT_EQ(prompts.messages(), QStringList());
    EXPECT_DOUBLE_EQ(Saldo(1), 1000);

    QTest::mouseClick(f.cmdMovimientos, Qt::LeftButton);
    EXPECT_EQ(G().CuentaSel, QStringLiteral("1"));
    frmMovimientos* m = f.Movimientos();
    ASSERT_TRUE(m);
    Pulsa(m->Toolbar2, QStringLiteral("Agregar Movimiento."));
    EXPECT_EQ(m->txtNumCuenta->Text(), QStringLiteral("1"));
    EXPECT_EQ(m->cmbTipoMov->currentText(), QStringLiteral("Cargo"));
    EXPECT_EQ(m->txtFechaMovto->date(), QDate::currentDate());
    Escribe(m->txtImporte, QStringLiteral("250.50"));
    Escribe(m->txtRef01, QStringLiteral("NOTA 7"));
    Pulsa(m->Toolbar2, QStringLiteral("Guardar."));
    ASSERT_EQ(prompts.messages(), QStringList());
    EXPECT_EQ(m->txtImporte->Text(), QStringLiteral("250.50"));
    EXPECT_TRUE(m->txtImporte->Locked());
    Pulsa(m->Toolbar2, QStringLiteral("Cerrar."));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(f.Movimientos());

    auto* modelo = qobject_cast<QStandardItemModel*>(f.DBGrid1->model());
    const int col = Columna(f.DBGrid1, QStringLiteral("SaldoCuenta"));
    ASSERT_GE(col, 0);
    EXPECT_EQ(modelo->item(0, col)->text(), QStringLiteral("1,250.50"));
    EXPECT_EQ(f.txtSaldo->Text(), QStringLiteral("1,250.50"));
}

TEST_F(CuentasTest, TheMovementShownIsTheOneTheGridMarksAndTheOneCancelled)
{
    const qint64 cuenta = NuevaCuenta(QStringLiteral("100"));
    G().CuentaSel = QString::number(cuenta);
    frmMovimientos m(nullptr, sucursal.get(), &prompts);
    m.show();
    m.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    // Typed into the amount with the cursor in it, as a person does: the field locks on the save.
    auto teclea = [&](const QString& texto) {
        QTest::mouseClick(Caja(m.txtImporte), Qt::LeftButton);
        Escribe(m.txtImporte, texto);
    };
    Pulsa(m.Toolbar2, QStringLiteral("Agregar Movimiento."));
    teclea(QStringLiteral("50"));
    Pulsa(m.Toolbar2, QStringLiteral("Guardar."));
    Pulsa(m.Toolbar2, QStringLiteral("Agregar Movimiento."));
    teclea(QStringLiteral("30"));
    // The kind picked from its list, which keeps the cursor.
    m.cmbTipoMov->setFocus();
    QTest::keyClick(m.cmbTipoMov, Qt::Key_Down);
    ASSERT_EQ(m.cmbTipoMov->currentText(), QStringLiteral("Abono"));
    Pulsa(m.Toolbar2, QStringLiteral("Guardar."));
    ASSERT_EQ(prompts.messages(), QStringList());
    QCoreApplication::processEvents();
    const int fila = m.DBGrid1->currentIndex().row();
    ASSERT_GE(fila, 0);
    auto* modelo = qobject_cast<QStandardItemModel*>(m.DBGrid1->model());
    const int col = Columna(m.DBGrid1, QStringLiteral("IdMovto"));
    ASSERT_GE(col, 0);
    EXPECT_EQ(modelo->item(fila, col)->text(), QStringLiteral("2"));
    EXPECT_EQ(m.txtNumMovimiento->Text(), QStringLiteral("2"));
    EXPECT_EQ(m.cmbTipoMov->currentText(), QStringLiteral("Abono"));
    EXPECT_DOUBLE_EQ(Saldo(cuenta), 120);

    // Cancelling acts on the movement shown: the payment goes and the balance is 150.
    prompts.pushAnswer(ui::Answer::Yes);
    Pulsa(m.Toolbar2, QStringLiteral("Cancelar Movimiento."));
    EXPECT_DOUBLE_EQ(Saldo(cuenta), 150);
    EXPECT_EQ(Valor(*sucursal, QStringLiteral("SELECT EstatusMovto FROM CuentasMovto WHERE IdMovto = 2")).toInt(),
              EstatusCancelado);
    EXPECT_EQ(m.txtNumMovimiento->Text(), QStringLiteral("2"));
    EXPECT_EQ(m.cmbEstatus->currentText(), QStringLiteral("No Activo"));
}

}  // namespace
