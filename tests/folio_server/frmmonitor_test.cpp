#include "campos_visibles.h"
#include "fixture.h"

#include "folio_server/forms/frmmonitor.h"
#include "platform/ui/al_frente.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

using namespace tarvex;

class FrmMonitorTest : public ServidorTest {
protected:
    void SetUp() override {
        ServidorTest::SetUp();
        if (HasFatalFailure()) return;
        frm = std::make_unique<frmMonitor>(rutaDireccion(), prompts);
        frm->setEligeArchivo([this](const QString& inicio, const QString& titulo) {
            inicioDialogo = inicio;
            tituloDialogo = titulo;
            return elegido;
        });
        frm->monitor().setImpresor([](Sucursal&, qint64) { return Impresion{ResultadoFactura::Impresa, {}}; });
        ASSERT_EQ(frm->monitor().IniciaMonitor(), Arranque::Listo);
    }
    Direccion direccion() {
        Direccion d;
        EXPECT_TRUE(LeeDireccion(rutaDireccion(), &d, nullptr));
        return d;
    }

    std::unique_ptr<frmMonitor> frm;
    QString elegido, inicioDialogo, tituloDialogo;
};

TEST_F(FrmMonitorTest, ShowsTheServedBranchItsCountersAndTheLog) {
    EXPECT_EQ(frm->windowTitle(), "Monitor de Folios.");
    frm->show();
    EXPECT_TRUE(testutil::CadaCampoSeVeEntero(frm.get()));
    EXPECT_EQ(frm->lblAdm->text(), "Matriz en " + data);
    EXPECT_TRUE(frm->chkimpresora->isChecked());
    EXPECT_EQ(frm->DBGrid1->rowCount(), 9);
    EXPECT_EQ(frm->DBGrid1->horizontalHeaderItem(1)->text(), "ValorFolio");

    encola(4, 1);
    encola(4, 3);
    frm->monitor().Tick();
    EXPECT_EQ(frm->List1->count(), 1);
    EXPECT_EQ(frm->List1->item(0)->text(), "Atendida la solicitud para folio 4 valor= 1");
    frm->monitor().Tick();
    EXPECT_EQ(frm->Label1->text(), "Esperando folio 2");
    EXPECT_EQ(frm->lblPendientes->text(), "En espera: 1");
    EXPECT_EQ(frm->Label2->text(), "2");

    frm->chkimpresora->setChecked(false);
    EXPECT_EQ(frm->monitor().destino().destino, report::Destination::Preview);
}

TEST_F(FrmMonitorTest, ChangeOfBranchAsksConfirmsAndShowsTheNewBranch) {
    agregaSucursal2();
    // A file without the database extension: refused, its name stays in sight.
    elegido = data + "/NOTAS.TXT";
    QTest::mouseClick(frm->cmdBuscar, Qt::LeftButton);
    EXPECT_EQ(inicioDialogo, data);
    EXPECT_EQ(tituloDialogo, "Ruta del archivo Direccion.mdb en la ruta del ejecutable del programa.");
    EXPECT_EQ(frm->lblAdm->text(), data + "/NOTAS.TXT");
    EXPECT_EQ(prompts.lastMessage(),
              "Error FS01. El archivo a administrar debe de ser un archivo de Base de datos de Sucursal.");
    EXPECT_EQ(prompts.asked().size(), 1u);

    // Out of range, then No at the confirmation: nothing changes.
    elegido = data + "/Monitor.db";
    prompts.pushInput("20");
    frm->cmdBuscar->click();
    EXPECT_EQ(prompts.lastMessage(), "El valor del numero de sucursal esta fuera del rango.");
    prompts.pushInput("dos");
    frm->cmdBuscar->click();
    EXPECT_EQ(prompts.lastMessage(), "El numero de sucursal debe ser un numero entero.");
    prompts.pushInput("2");
    prompts.pushAnswer(ui::Answer::No);
    frm->cmdBuscar->click();
    EXPECT_EQ(prompts.asked().back().text, "Se va intentar establecer la nueva ruta a administrar, continuar ?");
    EXPECT_EQ(prompts.asked().back().title, "Confirmar.");
    EXPECT_EQ(direccion().NumSucursal, 1);
    EXPECT_TRUE(frm->monitor().ServicioActivo());

    // Cancelled dialog or input: nothing asked further.
    const size_t antes = prompts.asked().size();
    prompts.pushInput("");
    frm->cmdBuscar->click();
    EXPECT_EQ(prompts.asked().size(), antes + 1);

    prompts.pushInput("2");
    prompts.pushAnswer(ui::Answer::Yes);
    frm->cmdBuscar->click();
    EXPECT_EQ(direccion().NumSucursal, 2);
    EXPECT_EQ(direccion().CarpetaBase, data);  // the folder of the chosen file
    EXPECT_EQ(frm->lblAdm->text(), "Norte en " + data);
    EXPECT_EQ(frm->DBGrid1->rowCount(), 9);
    EXPECT_TRUE(frm->monitor().ServicioActivo());
}


// The server runs behind the counter's window, often minimised: its questions (a failed print:
// retry?) come in front of every window, not hidden with its own.
TEST(PreguntasAlFrente, AQuestionOfTheServerShowsInFrontWhileItsWindowIsMinimised) {
    QWidget ventana;
    ventana.showMinimized();
    ui::QtPrompts prompts(&ventana);
    ui::PreguntasAlFrente(true);
    Qt::WindowFlags banderas;
    QWidget* padre = &ventana;
    bool visible = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* caja = qobject_cast<QMessageBox*>(w); caja && caja->isVisible()) {
                banderas = caja->windowFlags();
                padre = caja->parentWidget();
                visible = true;
                caja->button(QMessageBox::Cancel)->click();
            }
    });
    EXPECT_EQ(prompts.question(QStringLiteral("¿Desea reintentar?"), QStringLiteral("Tarvex"), true, false),
              ui::Answer::Cancel);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(banderas.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(padre, nullptr);
    ui::PreguntasAlFrente(false);
}
