#include "fixture.h"

#include "platform/system/system.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/frmprincipal.h"
#include "shell/forms/midi.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace shell;

class VentanaPrincipal : public ::testing::Test {
protected:
    void SetUp() override {
        usaCarpetas(c);
        ui::setDefaultPrompts(&p);
        sys::resetDisplayMode();
    }
    void TearDown() override {
        CierraConexiones();
        ui::setDefaultPrompts(nullptr);
        MIDI::AsignaLogin(nullptr);
        MIDI::AsignaVentadiaria(nullptr);
    }
    Carpetas c;
    ui::ScriptedPrompts p;
};

TEST_F(VentanaPrincipal, ComesUpWithTheStartFormAndItsStatusPanels) {
    QImage logo(64, 32, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    ASSERT_TRUE(logo.save(c.app + "/Logo.bmp", "BMP"));
    int logins = 0;
    MIDI::AsignaLogin([&] {
        ++logins;
        PonEstado(1, "01:ADMIN");
    });
    auto* m = new MIDI;
    m->show();
    ASSERT_TRUE(m->Carga()) << p.lastMessage().toStdString();
    EXPECT_EQ(logins, 1);
    EXPECT_EQ(m->panel(1), "01:ADMIN");
    EXPECT_EQ(m->panel(2), "");
    EXPECT_EQ(m->panel(3), c.datos.toUpper());
    EXPECT_EQ(m->etiquetaPanel(3)->toolTip(), c.datos.toUpper());
    frmPrincipal* f = m->principal();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->lblNombreEmp()->text(), "Abarrotes La Esperanza");
    EXPECT_EQ(f->windowTitle(), "Abarrotes La Esperanza sucursal Centro");
    EXPECT_FALSE(f->Image1()->pixmap().isNull());
    EXPECT_TRUE(m->accion("mnFecha")->text().endsWith(QString::number(QDate::currentDate().year())));
    EXPECT_TRUE(FormaAbierta("frmPrincipal"));
    EXPECT_FALSE(FormaAbierta("frmprincipal"));
    EXPECT_TRUE(FormaAbiertaPorTitulo("Abarrotes La Esperanza sucursal Centro"));

    // Menu items are actions named after the items, so permissions can switch them by name.
    for (const char* n : {"Productos", "Facturar", "Salir", "TSesion", "CClave", "mCajonDinero", "DSucursal",
                          "Exportardatos", "Catalogos", "Reportes"})
        EXPECT_NE(m->findChild<QAction*>(n), nullptr) << n;
    int clics = 0;
    m->AsignaAccion("Productos", [&] { ++clics; });
    m->accion("Productos")->trigger();
    m->findChild<QAction*>("Toolbar2_Productos")->trigger();
    EXPECT_EQ(clics, 2);
    m->findChild<QAction*>("Toolbar2_TSesion")->trigger();
    EXPECT_EQ(logins, 2);

    // Ctrl, Alt, T on the start form opens the day's report.
    int reportes = 0;
    MIDI::AsignaVentadiaria([&] { ++reportes; });
    QTest::keyPress(f, Qt::Key_Control);
    QTest::keyPress(f, Qt::Key_Alt);
    QTest::keyPress(f, Qt::Key_T);
    EXPECT_EQ(reportes, 1);

    // Maximise and minimise record the display modes; the exit restores the start-up one.
    m->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(sys::recordedDisplayMode().width, 1024);
    EXPECT_EQ(sys::recordedDisplayMode().height, 768);

    p.pushAnswer(ui::Answer::No);
    m->Salir_Click();
    EXPECT_TRUE(m->isVisible());
    EXPECT_EQ(p.asked().back().text, "Desea salir del sistema ? ");
    EXPECT_EQ(p.asked().back().title, "Confirmar salida.");
    p.pushAnswer(ui::Answer::Yes);
    QPointer<frmPrincipal> fp(f);
    const int cambios = sys::recordedDisplayMode().changes;
    m->Salir_Click();
    EXPECT_TRUE(ProgramaTerminado());
    EXPECT_TRUE(fp.isNull());
    EXPECT_EQ(sys::recordedDisplayMode().width, G().AnchoOriginal);
    // Resizes during the exit leave the mode alone.
    m->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(sys::recordedDisplayMode().width, G().AnchoOriginal);
    EXPECT_GE(sys::recordedDisplayMode().changes, cambios + 1);
    delete m;
}

TEST_F(VentanaPrincipal, AStartUpFailureEndsBeforeTheLogin) {
    c.escribeDir(c.datos, 3, 42);
    bool login = false;
    MIDI::AsignaLogin([&] { login = true; });
    MIDI m;
    EXPECT_FALSE(m.Carga());
    EXPECT_FALSE(login);
    EXPECT_TRUE(ProgramaTerminado());
}

TEST(VentanaDocumento, AFormThatClosesItselfTakesItsWindowFrameAlong) {
    MIDI m;
    auto* forma = new QWidget;
    forma->setAttribute(Qt::WA_DeleteOnClose);
    m.MuestraEnMDI(forma);
    ASSERT_EQ(m.areaMDI()->subWindowList().size(), 1);
    forma->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m.areaMDI()->subWindowList().isEmpty());

    // Closed from its frame instead, nothing is left either.
    auto* otra = new QWidget;
    otra->setAttribute(Qt::WA_DeleteOnClose);
    m.MuestraEnMDI(otra)->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m.areaMDI()->subWindowList().isEmpty());
}

TEST(FormasCargadas, FilesCloseOnlyWithNoOtherDocumentWindowOpen) {
    // The main window and the start form stay while the files are closed; any other loaded form
    // holds its handles and is named, by caption (by name when it has none).
    auto nueva = [](const QString& nombre, const QString& titulo) {
        auto w = std::make_unique<QWidget>();
        w->setObjectName(nombre);
        w->setWindowTitle(titulo);
        RegistraForma(w.get());
        return w;
    };
    auto midi = nueva("MIDI", "Quorvel");
    auto principal = nueva("frmPrincipal", "Principal");
    auto propia = nueva("frmSucursales", "Sucursales");
    ui::ScriptedPrompts p;
    EXPECT_TRUE(SinVentanasAbiertas(p, {propia.get()}));
    EXPECT_TRUE(p.messages().isEmpty());

    auto clientes = nueva("frmClientes", "Catálogo de Clientes");
    auto sinTitulo = nueva("frmVenta", "");
    EXPECT_EQ(VentanasAbiertas({propia.get()}), QStringList({"Catálogo de Clientes", "frmVenta"}));
    EXPECT_FALSE(SinVentanasAbiertas(p, {propia.get()}));
    ASSERT_EQ(p.messages().size(), 1);
    EXPECT_EQ(p.lastMessage(),
              QString::fromUtf8("Cierre las ventanas abiertas antes de continuar: Catálogo de Clientes, frmVenta"));
    // Nothing exempts the form asking unless it says so.
    EXPECT_EQ(VentanasAbiertas().size(), 3);

    clientes.reset();
    sinTitulo.reset();
    EXPECT_TRUE(SinVentanasAbiertas(p, {propia.get()}));
    EXPECT_EQ(p.messages().size(), 1);
}

TEST(FormasCargadas, CierraFormasExceptoClosesTheRestLastFirst) {
    ReiniciaAvisos();
    QStringList cerradas;
    auto nueva = [&](const QString& n) {
        auto* w = new QWidget;
        w->setObjectName(n);
        QObject::connect(w, &QObject::destroyed, [&cerradas, n] { cerradas << n; });
        RegistraForma(w);
        return w;
    };
    QWidget* queda = nueva("MIDI_prueba");
    nueva("frmA");
    nueva("frmB");
    CierraFormasExcepto("MIDI_prueba");
    EXPECT_EQ(cerradas, QStringList({"frmB", "frmA"}));
    EXPECT_TRUE(ProgramaTerminado());
    delete queda;

    QTableWidget t(5, 2);
    t.resize(200, 200);
    t.show();
    t.selectRow(3);
    AjustaColumnasGrid(&t, 0);
    EXPECT_EQ(t.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(t.selectionModel()->selectedRows()[0].row(), 3);
    AjustaColumnasGrid(&t, 5);
    ASSERT_EQ(t.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(t.selectionModel()->selectedRows()[0].row(), 0);
    EXPECT_EQ(t.columnCount(), 2);
}
