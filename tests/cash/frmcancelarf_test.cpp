// The cancellation form as a supervisor uses it, and its menu item.
#include "devol_fixture.h"

#include "capture_control/ccaptura.h"
#include "cash/corte.h"
#include "cash/facturadia.h"
#include "cash/forms/frmcancelarf.h"
#include "cash/forms/menus.h"
#include "sale/documentos.h"
#include "sale/forms/frmventa.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/permisos.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class FrmCancelarFTest : public PosventaTest {
protected:
    qint64 vendeTicket() {
        sale::PorGuardar g;
        g.Encabezado = sale::EncabezadoDesdeEstado();
        g.Encabezado.Cliente = QStringLiteral("XAXX010101000");
        sale::DocumentoPorGuardar d;
        EXPECT_TRUE(bd().exec("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Iva) "
                              "VALUES (0, 'T', ?, 3, 10, 1)", {clave(0)}));
        d.Lineas.push_back(bd().lastInsertId());
        d.Total = 30;
        g.Documentos.push_back(d);
        const sale::Guardado r = sale::GuardaDocumento(bd(), g, espera);
        EXPECT_TRUE(r.ok) << r.error.message.toStdString();
        return r.NumeroDocumento();
    }
    static QLineEdit* caja(CCaptura* c) { return c->findChild<QLineEdit*>(); }
    // The document as a supervisor picks it: the kind in the list, the number typed.
    static void teclea(caja::frmCancelarF& f, const QString& tipo, qint64 numero) {
        f.cmbEstatus->setCurrentIndex(f.cmbEstatus->findText(tipo));
        caja(f.capNumero)->clear();
        QTest::keyClicks(caja(f.capNumero), QString::number(numero));
    }
    qint64 pendiente() {
        const auto c = caja::CargaCorte(bd(), 0, false);
        EXPECT_TRUE(c);
        return c ? c->finalCentavos() : -1;
    }
};

TEST_F(FrmCancelarFTest, CancelsASoldTicketAndCloses) {
    const qint64 ticket = vendeTicket();
    ASSERT_DOUBLE_EQ(existencia(0), 97);
    caja::frmCancelarF f(nullptr, nullptr, &prompts);
    f.show();
    EXPECT_EQ(f.windowTitle(), "Cancelar Factura.");
    EXPECT_TRUE(f.isModal());
    QTest::keyClicks(caja(f.capNumero), QString::number(ticket));
    QTest::mouseClick(f.cmdVerInfo, Qt::LeftButton);
    EXPECT_EQ(f.Label1->text(), QStringLiteral("Ticket: %1\r\nImporte: 30\r\nCliente: XAXX010101000").arg(ticket));
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdCancelar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El ticket %1 fue dado de baja.\nEntregue al cliente $ 30.00").arg(ticket));
    EXPECT_FALSE(f.isVisible());
    EXPECT_DOUBLE_EQ(existencia(0), 100);
    // The cut takes active documents not yet cut: this one is out of it.
    EXPECT_EQ(cuenta("SELECT count(*) FROM Venta WHERE Numero = ? AND Tipo = 'T' AND Status = 1 AND IdCorte = 0",
                     {ticket}), 0);
}

// Records what the information label shows when each question is asked.
class PromptsConEtiqueta : public ui::ScriptedPrompts {
public:
    QLabel* etiqueta = nullptr;
    QStringList alPreguntar;
    ui::Answer question(const QString& text, const QString& title, bool withCancel, bool defaultNo) override {
        alPreguntar << (etiqueta ? etiqueta->text() : QString());
        return ui::ScriptedPrompts::question(text, title, withCancel, defaultNo);
    }
};

TEST_F(FrmCancelarFTest, TheQuestionStandsBesideTheDocumentItIsAbout) {
    const qint64 ticket = vendeTicket();
    vende(7, "F", {{1, 2, 50}}, 0, 1, QStringLiteral("GOMA800101AB1"));
    PromptsConEtiqueta p;
    caja::frmCancelarF f(nullptr, nullptr, &p);
    p.etiqueta = f.Label1;
    f.show();
    QTest::keyClicks(caja(f.capNumero), QString::number(ticket));
    QTest::mouseClick(f.cmdVerInfo, Qt::LeftButton);
    ASSERT_TRUE(f.Label1->text().startsWith(QStringLiteral("Ticket: ")));
    // Another kind and number: what was shown goes at once.
    f.cmbEstatus->setCurrentIndex(1);
    EXPECT_EQ(f.Label1->text(), QString());
    QTest::mouseClick(f.cmdVerInfo, Qt::LeftButton);
    ASSERT_TRUE(f.Label1->text().isEmpty() || f.Label1->text().startsWith(QStringLiteral("Factura: ")));
    caja(f.capNumero)->selectAll();
    QTest::keyClicks(caja(f.capNumero), QStringLiteral("7"));
    EXPECT_EQ(f.Label1->text(), QString());
    p.pushAnswer(ui::Answer::No);
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    ASSERT_EQ(p.alPreguntar.size(), 1);
    EXPECT_EQ(p.asked().back().text, QStringLiteral("Desea borrar la factura 7 ?"));
    EXPECT_EQ(p.alPreguntar[0], QStringLiteral("Factura: 7\r\nImporte: 100\r\nCliente: GOMA800101AB1"));

    // A number that finds nothing leaves nothing of the document before.
    caja(f.capNumero)->selectAll();
    QTest::keyClicks(caja(f.capNumero), QStringLiteral("8"));
    QTest::mouseClick(f.cmdVerInfo, Qt::LeftButton);
    EXPECT_EQ(p.lastMessage(), QStringLiteral("No se encontro la factura."));
    EXPECT_EQ(f.Label1->text(), QString());

    f.cmbEstatus->setCurrentIndex(0);
    caja(f.capNumero)->selectAll();
    QTest::keyClicks(caja(f.capNumero), QString::number(ticket));
    p.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(p.asked()[p.asked().size() - 2].text, QStringLiteral("Desea borrar el ticket %1 ?").arg(ticket));
    EXPECT_EQ(p.lastMessage(), QStringLiteral("Los datos del ticket %1 se han borrado.\nEntregue al cliente $ 30.00").arg(ticket));
}

TEST_F(FrmCancelarFTest, TheItemOpensItAndAQuotationScreenIsRefused) {
    const qint64 ticket = vendeTicket();
    auto midi = std::make_unique<shell::MIDI>();
    caja::ConectaMenusCaja(midi.get());
    shell::ConectaMenu(midi.get());
    shell::QuitaNoConstruidos(midi.get());
    midi->show();
    G().PermisosUsuario[16] = true;
    shell::AplicaPermisosMenu();
    QAction* item = midi->accion(QStringLiteral("CancelarF"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());

    venta::frmVenta* venta = venta::AbreVenta(midi.get(), QStringLiteral("C"), &prompts);
    ASSERT_NE(venta, nullptr);
    const QString titulo = venta->windowTitle();
    item->trigger();
    auto* f = qobject_cast<caja::frmCancelarF*>(shell::FormaCargada(QStringLiteral("frmCancelarF")));
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->isVisible());
    QTest::keyClicks(caja(f->capNumero), QString::number(ticket));
    prompts.clear();
    QTest::mouseClick(f->cmdCancelar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Cierre la pantalla de ") + titulo +
                                         QStringLiteral(" antes de entrar a este proceso."));
    EXPECT_EQ(cuenta("SELECT Status FROM Venta WHERE Numero = ? AND Tipo = 'T'", {ticket}), 1);
    // The sale screen is left as it was.
    EXPECT_EQ(shell::FormaCargada(QStringLiteral("frmVenta")), venta);
    EXPECT_EQ(venta->windowTitle(), titulo);
    f->close();
    midi.reset();
    shell::OlvidaAbridores();
}

TEST_F(FrmCancelarFTest, ATicketOfAClosedCutIsCancelledButNotDeleted) {
    vende(92, "T", {{0, 2, 10}});
    ASSERT_TRUE(bd().exec("UPDATE Venta SET IdCorte = 3 WHERE Numero = 92"));
    ASSERT_TRUE(bd().exec("INSERT INTO CortesCaja VALUES (3, 'TURNO', '2026-12-09 21:00:00', 1, 20)"));
    caja::frmCancelarF f(nullptr, nullptr, &prompts);
    f.show();
    teclea(f, "Ticket", 92);
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    EXPECT_TRUE(prompts.lastMessage().startsWith("El ticket 92 pertenece al corte de caja 3 ya cerrado"))
        << prompts.lastMessage().toStdString();
    EXPECT_EQ(cuenta("SELECT count(*) FROM Venta WHERE Numero = 92"), 1);
    ASSERT_TRUE(f.isVisible());
    prompts.clear();
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdCancelar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), "El ticket 92 fue dado de baja.\nEntregue al cliente $ 20.00");
    EXPECT_EQ(caja::CargaCorte(bd(), 3, false)->ventasCentavos, 2000);
    EXPECT_EQ(pendiente(), -2000);
}

TEST_F(FrmCancelarFTest, ATicketPaidWithACreditNoteGivesTheNoteBackAndOnlyTheCash) {
    // 50.00 paid with note 7 (12.00) and 38.00 cash; its cut pending, then closed.
    for (const bool cerrado : {false, true}) {
        SCOPED_TRACE(cerrado ? "closed cut" : "pending cut");
        const qint64 n = cerrado ? 94 : 93;
        vende(n, "T", {{0, 5, 10}});
        ASSERT_TRUE(bd().exec("UPDATE Venta SET FormaPago = 4, Pagacon = 12, PagaObs1 = '7', FormaPago2 = 1, "
                              "Pagacon2 = 38 WHERE Numero = ?", {n}));
        ASSERT_TRUE(bd().exec("INSERT OR REPLACE INTO NotaCredito (Numero, Total, Status) VALUES (7, 12, 2)"));
        ASSERT_TRUE(bd().exec(QString::fromUtf8("INSERT INTO MovimientosCaja (FechaMov, ImporteMov, TipoMov, DescripcionMov, "
                                                "EstatusMov, IdCorte, IdUsuario) VALUES ('2026-12-09 10:00:00', 12, 2, "
                                                "'Aplicacion de Nota de crédito:00007', 1, ?, 1)"),
                              {cerrado ? 3 : 0}));
        if (cerrado) ASSERT_TRUE(bd().exec("UPDATE Venta SET IdCorte = 3 WHERE Numero = ?", {n}));
        const qint64 antes = pendiente();
        caja::frmCancelarF f(nullptr, nullptr, &prompts);
        f.show();
        teclea(f, "Ticket", n);
        prompts.clear();
        prompts.pushAnswer(ui::Answer::Yes);
        QTest::mouseClick(f.cmdCancelar, Qt::LeftButton);
        EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("El ticket %1 fue dado de baja.\nEntregue al cliente $ 38.00\n"
                                                           "La nota de crédito 00007 vuelve a estar disponible.").arg(n));
        EXPECT_EQ(valor("SELECT Status FROM NotaCredito WHERE Numero = 7").toInt(), 1);
        EXPECT_EQ(pendiente() - antes, -3800);
    }
}

TEST_F(FrmCancelarFTest, CancellingADayInvoiceFreesItsTickets) {
    for (qint64 n : {2, 4}) {
        vende(n, "T", {{0, 1, 10}});
        ASSERT_TRUE(caja::SeleccionaTicket(bd(), n));
    }
    const caja::FacturaDiaEnviada fd = caja::GeneraFacturaDia(bd(), QDate(2026, 12, 9), {2, 4}, espera);
    ASSERT_TRUE(fd.ok);
    caja::frmCancelarF f(nullptr, nullptr, &prompts);
    f.show();
    teclea(f, "Factura", fd.Numero);
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdCancelar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("La factura %1 fue dada de baja.").arg(fd.Numero));
    EXPECT_EQ(valor("SELECT group_concat(FE) FROM Venta WHERE Tipo = 'T'").toString(), "0,0");
    EXPECT_EQ(caja::CargaTicketsLibres(bd(), QDate(2026, 12, 9))->size(), 2u);
}

}  // namespace

TEST_F(FrmCancelarFTest, WithElectronicInvoicingAPaperInvoiceOfTheSameNumberIsAskedFor) {
    vende(60, "E", {{2, 1, 10}});
    vende(60, "F", {{3, 1, 25}});
    G().FacturaE = true;
    caja::frmCancelarF f(nullptr, nullptr, &prompts);
    f.show();
    teclea(f, "Factura", 60);
    prompts.clear();
    prompts.pushAnswer(ui::Answer::No);  // the paper one
    QTest::mouseClick(f.cmdVerInfo, Qt::LeftButton);
    ASSERT_FALSE(prompts.asked().empty());
    EXPECT_TRUE(prompts.asked()[0].text.startsWith(QString::fromUtf8("Existen la factura electrónica E 60")));
    EXPECT_EQ(f.Label1->text(), "Factura: 60\r\nImporte: 25\r\nCliente: GOMA800101AB1");
    prompts.pushAnswer(ui::Answer::No);
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdCancelar, Qt::LeftButton);
    EXPECT_EQ(valor("SELECT group_concat(Tipo || Status) FROM Venta WHERE Numero = 60 ORDER BY Tipo").toString(), "E1,F0");
}
