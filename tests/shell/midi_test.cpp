#include "fixture.h"

#include "platform/system/system.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/frmprincipal.h"
#include "shell/forms/midi.h"
#include "shell/permisos.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableWidget>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

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
    // On a 1280-pixel window the data folder takes what the user's name and the (empty) key help
    // leave; a path longer than that shows both its ends, never cut off, and is held whole.
    m->resize(1280, 1024);
    const QString largo = QStringLiteral("/TMP/UNA/CARPETA/TEMPORAL/BASTANTE/LARGA/PARA/PROBAR/QUE/LAS/PRUEBAS/NO/"
                                         "DEPENDEN/DE/LA/MAQUINA/Y/TODAVIA/MAS/LARGA/QUE/ESO/DATOS");
    for (const QString& datos : {QStringLiteral("/DATOS"), c.datos.toUpper(), largo, largo + largo}) {
        PonEstado(3, datos);
        QApplication::processEvents();
        const QLabel* tercero = m->etiquetaPanel(3);
        EXPECT_EQ(m->panel(3), datos);
        EXPECT_GT(tercero->width(), 2 * m->etiquetaPanel(2)->width()) << datos.toStdString();
        const QString visto = tercero->text();
        EXPECT_LE(tercero->fontMetrics().horizontalAdvance(visto), tercero->contentsRect().width()) << visto.toStdString();
        if (tercero->fontMetrics().horizontalAdvance(datos) < 600) {
            EXPECT_EQ(visto, datos);
        } else {
            EXPECT_TRUE(visto.startsWith(datos.left(4)) && visto.endsWith(datos.right(4)) && visto.contains(QChar(0x2026)))
                << visto.toStdString();
        }
    }
    PonEstado(3, c.datos.toUpper());
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

namespace {

// A document form with a field and a "Cerrar" button, as the catalogue forms are; it refuses to
// close while `rehusa` is set (a sale screen keeping its pending lines).
struct FormaPrueba : QWidget {
    explicit FormaPrueba(const QString& nombre) {
        setObjectName(nombre);
        setWindowTitle(nombre);
        setAttribute(Qt::WA_DeleteOnClose);
        auto* lay = new QVBoxLayout(this);
        campo = new QLineEdit(this);
        cerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
        elegir = new QPushButton(QStringLiteral("Elegir..."), this);
        lay->addWidget(campo);
        lay->addWidget(elegir);
        lay->addWidget(cerrar);
        connect(cerrar, &QPushButton::clicked, this, &QWidget::close);
        RegistraForma(this);
    }
    void closeEvent(QCloseEvent* e) override {
        if (rehusa) e->ignore();
    }
    QLineEdit* campo;
    QPushButton *cerrar, *elegir;
    bool rehusa = false;
};

// Chooses a menu item as a person does: a click on the menu's title, then on the item.
void eligeMenu(MIDI* m, const QString& menu, const QString& item) {
    QMenuBar* barra = m->menuBar();
    QMenu* lista = m->menu(menu);
    QTest::mouseClick(barra, Qt::LeftButton, {}, barra->actionGeometry(lista->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return lista->isVisible(); }, 2000)) << menu.toStdString();
    QTest::mouseClick(lista, Qt::LeftButton, {}, lista->actionGeometry(m->accion(item)).center());
    QApplication::processEvents();
}

QMdiSubWindow* marco(QWidget* w) { return w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr; }
QMdiSubWindow* arriba(MIDI* m) { return m->areaMDI()->subWindowList(QMdiArea::StackingOrder).value(
                                     m->areaMDI()->subWindowList().size() - 1); }

}  // namespace

TEST_F(VentanaPrincipal, OpenFormsStayInFrontOfTheHomePageAndComeForwardFromTheirItems) {
    auto m = std::make_unique<MIDI>();
    m->showMaximized();
    ASSERT_TRUE(m->Carga());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m.get()));
    QPointer<FormaPrueba> a, b;
    m->AsignaAccion("Proveedores", [&] {
        if (!a) a = new FormaPrueba("frmA");
        m->MuestraEnMDI(a);
    });
    m->AsignaAccion("Clientes", [&] {
        if (!b) b = new FormaPrueba("frmB");
        m->MuestraEnMDI(b);
    });
    int paso = 0;
    auto frente = [&](QWidget* w) {
        SCOPED_TRACE(++paso);
        // Activation comes back to the main window through the event loop.
        QTest::qWaitFor([&] { return m->areaMDI()->activeSubWindow() == marco(w) && arriba(m.get()) == marco(w); },
                        1000);
        EXPECT_EQ(m->areaMDI()->activeSubWindow(), marco(w));
        EXPECT_EQ(arriba(m.get()), marco(w));
    };
    eligeMenu(m.get(), "Catalogos", "Proveedores");
    frente(a);
    eligeMenu(m.get(), "Catalogos", "Clientes");
    frente(b);

    // The child closes with its own button: the form that opened it comes back, not the home page.
    QTest::mouseClick(b->cerrar, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frente(a);

    // A modal picker opened from the form gives the front back to it.
    QObject::connect(a->elegir, &QPushButton::clicked, a, [&] {
        QDialog d(a);
        QTimer::singleShot(50, &d, [&] { QTest::keyClick(&d, Qt::Key_Escape); });
        d.exec();
    });
    QTest::mouseClick(a->elegir, Qt::LeftButton);
    frente(a);
    // The offscreen platform may leave no window active once the dialog is gone; a window manager
    // gives the main window back.
    m->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m.get()));

    // Whatever activates the home page, it never covers an open form.
    m->areaMDI()->setActiveSubWindow(marco(m->principal()));
    frente(a);

    // The item of a form already open brings it forward.
    eligeMenu(m.get(), "Catalogos", "Clientes");
    frente(b);
    m->areaMDI()->setActiveSubWindow(marco(a));  // the person moves to the other form
    frente(a);
    eligeMenu(m.get(), "Catalogos", "Clientes");
    frente(b);
    marco(b)->showMinimized();
    eligeMenu(m.get(), "Catalogos", "Clientes");
    frente(b);
    EXPECT_FALSE(marco(b)->isMinimized());
    delete b.data();
    delete a.data();
}

TEST_F(VentanaPrincipal, TheCloseBoxAsksAsSalirDoesAndWaitsForEveryForm) {
    auto m = std::make_unique<MIDI>();
    m->show();
    ASSERT_TRUE(m->Carga());
    // The close box (and Alt+F4) send the window a close request: the same question as "Salir".
    p.pushAnswer(ui::Answer::No);
    EXPECT_FALSE(m->close());
    EXPECT_TRUE(m->isVisible());
    EXPECT_FALSE(ProgramaTerminado());
    ASSERT_EQ(p.asked().size(), 1u);
    EXPECT_EQ(p.asked().back().text, "Desea salir del sistema ? ");
    EXPECT_EQ(p.asked().back().title, "Confirmar salida.");

    // A form that keeps its work (a sale with pending lines) holds the program open, by either way.
    QPointer<FormaPrueba> venta = new FormaPrueba("frmVenta");
    venta->rehusa = true;
    m->MuestraEnMDI(venta);
    p.pushAnswer(ui::Answer::Yes);
    EXPECT_FALSE(m->close());
    EXPECT_FALSE(ProgramaTerminado());
    ASSERT_FALSE(venta.isNull());
    p.pushAnswer(ui::Answer::Yes);
    m->findChild<QAction*>("Toolbar2_Salir")->trigger();
    EXPECT_FALSE(ProgramaTerminado());
    ASSERT_FALSE(venta.isNull());
    EXPECT_EQ(p.asked().size(), 3u);

    venta->rehusa = false;
    p.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(m->close());
    EXPECT_TRUE(ProgramaTerminado());
    EXPECT_TRUE(venta.isNull());
    EXPECT_EQ(p.asked().size(), 4u);
}

TEST_F(VentanaPrincipal, EveryToolbarButtonIsUsableExactlyWhenItsMenuItemIs) {
    MIDI m;
    m.show();
    ASSERT_TRUE(m.Carga());
    int productos = 0, usuarios = 0;
    m.AsignaAccion("Productos", [&] { ++productos; });
    m.AsignaAccion("Usuarios", [&] { ++usuarios; });
    auto* barra = m.findChild<QToolBar*>("Toolbar2");
    auto pulsa = [&](const char* nombre) {
        QAction* a = m.findChild<QAction*>(nombre);
        QTest::mouseClick(barra->widgetForAction(a), Qt::LeftButton);
        return a->isEnabled();
    };
    // A cashier with the product catalogue's own grant but not the catalogue menu's.
    LimpiaPermisos();
    G().PermisosUsuario[2] = true;
    G().PermisosUsuario[9] = true;
    AplicaPermisosMenu();
    EXPECT_FALSE(pulsa("Toolbar2_Productos"));
    EXPECT_FALSE(pulsa("Toolbar2_Usuarios"));
    EXPECT_EQ(productos + usuarios, 0);
    EXPECT_FALSE(pulsa("Toolbar2_Clientes"));
    // Buttons with nothing of their own to do are off; logging out and leaving never are.
    EXPECT_FALSE(pulsa("Toolbar2_5"));
    EXPECT_TRUE(m.findChild<QAction*>("Toolbar2_TSesion")->isEnabled());
    EXPECT_TRUE(m.findChild<QAction*>("Toolbar2_Salir")->isEnabled());

    G().PermisosUsuario[1] = true;
    AplicaPermisosMenu();
    EXPECT_TRUE(pulsa("Toolbar2_Productos"));
    EXPECT_TRUE(pulsa("Toolbar2_Usuarios"));
    EXPECT_FALSE(pulsa("Toolbar2_Clientes"));
    EXPECT_EQ(productos, 1);
    EXPECT_EQ(usuarios, 1);
    for (const char* n : {"Productos", "Clientes", "Proveedores", "Usuarios"})
        EXPECT_EQ(m.findChild<QAction*>(QStringLiteral("Toolbar2_") + n)->isEnabled(), m.accion(n)->isEnabled()) << n;
    m.accion("Productos")->setEnabled(false);
    EXPECT_FALSE(pulsa("Toolbar2_Productos"));
    EXPECT_EQ(productos, 1);
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
