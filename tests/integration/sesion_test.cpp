// Log-out as a person meets it, over the whole program wired as it starts: every menu item and
// every path that opens a report window (each report, each reprint, an invoice with no report
// printer set) opened by a user who holds every grant, then "Terminar sesión": no window of the
// application but the main window remains, whatever kind it was and wherever it opened. A window
// with typing not saved asks first and, kept, stops the log-out.

#include "admin/forms/menus.h"
#include "apps/setup/datasetup.h"
#include "branches/forms/menus.h"
#include "carpeta_demo.h"
#include "cash/forms/menus.h"
#include "catalogs/forms/frmclientes.h"
#include "platform/report/report.h"
#include "platform/ui/filechooser.h"
#include "platform/ui/prompts.h"
#include "platform/ui/sesion.h"
#include "printing/cajon.h"
#include "printing/envio.h"
#include "printing/forms/frmSolicParametros.h"
#include "printing/forms/menus_reportes.h"
#include "sale/forms/frmventa.h"
#include "sale/impresion_factura.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/arranque.h"
#include "shell/sucursal.h"
#include "testutil.h"

#include <cups/cups.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMdiArea>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// What each window of the application is, for a failure's message.
QString Describe(const QList<QWidget*>& ventanas) {
    QStringList out;
    for (QWidget* w : ventanas)
        out << QStringLiteral("%1 \"%2\" (%3)").arg(QString::fromLatin1(w->metaObject()->className()), w->windowTitle(),
                                                  w->objectName());
    return out.join(QStringLiteral(", "));
}

void Procesa(int ms = 50) {
    QTest::qWait(ms);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A window of the program's own kind that is not a registered form: its typing is asked about.
class VentanaConTecleo : public QWidget {
public:
    explicit VentanaConTecleo(ui::Prompts& p) : p_(p) { setWindowTitle(QStringLiteral("Notas a medias")); }
    int preguntas = 0;

protected:
    void closeEvent(QCloseEvent* e) override {
        ++preguntas;
        if (p_.question(QStringLiteral("Hay datos sin guardar. ¿Desea salir?")) == ui::Answer::Yes) e->accept();
        else e->ignore();
    }

private:
    ui::Prompts& p_;
};

class SesionTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No job may reach the machine's print system: the spooler asked is one that is not there.
        cupsSetServer("127.0.0.1:9");
        ASSERT_TRUE(tmp.isValid());
        const QString error = testutil::CreaCarpetaDemo(tmp.filePath(QStringLiteral("datos")));
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        ui::setDefaultPrompts(&prompts);
        ui::setDefaultFileChooser(&archivos);
        ASSERT_TRUE(shell::LeerSucursales());
        ASSERT_TRUE(shell::EstableceSucursal()) << prompts.lastMessage().toStdString();
        EstadoGlobal& g = G();
        g.TerminalActual = 1;
        g.ClaveUsuario = 1;
        g.UsuarioActual = QStringLiteral("ADMIN");
        g.PermisosUsuario.fill(true);
        g.Printer1.clear();
        g.Printer3.clear();
        g.UsarServidorImp = 0;
        g.FacturaaTicket = 0;
        // What goes to the printer object is kept, never printed.
        EstableceSalidaImpresor([](const QString&, int) { return print::Resultado{true, {}}; });
        db::Database* bd = shell::BDSucursal();
        ASSERT_TRUE(bd);
        const auto clave = bd->scalar(QStringLiteral("SELECT MIN(ClaveProducto) FROM Producto"));
        ASSERT_TRUE(clave);
        const QString hoy = QDate::currentDate().toString(Qt::ISODate);
        ASSERT_TRUE(bd->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente, Fecha, Total, IVAP, IdCorte) "
                                            "VALUES (3, 'F', 'XAXX010101000', ?, 243.85, 16, 0), "
                                            "(7, 'T', 'XAXX010101000', ?, 243.85, 16, 0)"),
                             {hoy + QStringLiteral(" 10:00:00"), hoy + QStringLiteral(" 10:05:00")}));
        ASSERT_TRUE(bd->exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                                            "PrecioUnit, Iva) VALUES (3, 'F', ?, 1, 243.85, 16), (7, 'T', ?, 1, 243.85, 16)"),
                             {*clave, *clave}));
        // Dialogs that wait for the person: a report's parameters are accepted as they come (the
        // screen first), anything else is closed as a person who changed her mind.
        atiende.setInterval(30);
        QObject::connect(&atiende, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            QTimer::singleShot(0, modal, [modal] {
                if (auto* p = qobject_cast<frmSolicParametros*>(modal)) p->cmdAceptar->click();
                else if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
                else modal->close();
            });
        });
        atiende.start();
    }
    void TearDown() override {
        atiende.stop();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) w->close();
        Procesa();
        EstableceSalidaImpresor(nullptr);
        ui::setDefaultPrompts(nullptr);
        ui::setDefaultFileChooser(nullptr);
        ui::EstableceVentanaDeSesion(nullptr);
        shell::CierraConexiones();
        cupsSetServer(nullptr);
    }

    // The program's main window with every menu wired, as main() wires it.
    void Conecta(shell::MIDI& midi) {
        shell::AsignaPulsoCajon([] { return AbreCajonAvisando(ui::defaultPrompts()); });
        printing::ConectaMenusReportes(&midi);
        venta::ConectaMenusVenta(&midi);
        catalogos::ConectaMenusCatalogos(&midi);
        caja::ConectaMenusCaja(&midi);
        admin::ConectaMenusAdmin(&midi);
        sucursales::ConectaMenusSucursales(&midi);
        shell::ConectaMenu(&midi);
        midi.resize(1024, 768);
        midi.show();
    }

    QTemporaryDir tmp;
    ui::ScriptedPrompts prompts;
    ui::ScriptedFileChooser archivos;
    QTimer atiende;
};

}  // namespace

TEST_F(SesionTest, NoWindowOfAnyKindOutlivesTheLogOut) {
    shell::MIDI midi;
    Conecta(midi);
    // Every menu item the program has, each left open.
    QStringList abiertos;
    for (const QString& item : shell::OpcionesMenu()) {
        if (item == QLatin1String("Salir") || item == QLatin1String("TSesion") || !midi.TieneAccion(item)) continue;
        prompts.pushInput({});
        midi.Ejecuta(item);
        Procesa();
        abiertos << item;
    }
    EXPECT_GT(abiertos.size(), 30) << abiertos.join(QLatin1Char(' ')).toStdString();
    // The report windows: today's sales by the start form's keys, the reprints, an invoice sold
    // with no report printer (each opens its own window).
    const int antes = int(report::openPreviews().size());
    midi.Ventadiaria2();
    prompts.pushInput(QStringLiteral("F3"));
    midi.Ejecuta(QStringLiteral("RFactura"));
    Procesa();
    EXPECT_TRUE(report::openPreviews().size() >= antes + 1) << prompts.messages().join('|').toStdString();
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(venta::ImprimeFacturaGrabada(3, QStringLiteral("F"), {}, prompts, nullptr));
    Procesa();
    const QList<QDialog*> vistas = report::openPreviews();
    EXPECT_GE(vistas.size(), antes + 3);
    // The print dialog of one of them and a message box, left open.
    atiende.stop();
    ASSERT_FALSE(vistas.isEmpty());
    QPrinter impresora;
    auto* dialogo = new QPrintDialog(&impresora, vistas.last());
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    dialogo->show();
    auto* caja = new QMessageBox(QMessageBox::Information, QStringLiteral("Quorvel"), QStringLiteral("Aviso"));
    caja->setAttribute(Qt::WA_DeleteOnClose);
    caja->show();
    Procesa();
    const QList<QWidget*> antesDeSalir = ui::VentanasDeSesion(&midi);
    EXPECT_TRUE(antesDeSalir.contains(dialogo) && antesDeSalir.contains(caja)) << Describe(antesDeSalir).toStdString();

    prompts.clear();
    EXPECT_TRUE(shell::TerminaSesion(&midi)) << prompts.messages().join('|').toStdString();
    Procesa(100);
    EXPECT_TRUE(ui::VentanasDeSesion(&midi).isEmpty()) << Describe(ui::VentanasDeSesion(&midi)).toStdString();
    EXPECT_TRUE(report::openPreviews().isEmpty());
    EXPECT_TRUE(midi.areaMDI()->subWindowList().isEmpty());
    for (QWidget* w : shell::FormasCargadas())
        if (w != &midi) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_FALSE(G().PermisosUsuario[22]);
}

// A window with typing not saved, of a kind the form registry does not know: No keeps it and the
// session (the reports beside it stay too); Yes lets the log-out end everything.
TEST_F(SesionTest, AWindowWithTypingAsksAndKeptStopsTheLogOut) {
    shell::MIDI midi;
    Conecta(midi);
    midi.Ventadiaria2();
    Procesa();
    ASSERT_EQ(report::openPreviews().size(), 1) << prompts.messages().join('|').toStdString();
    VentanaConTecleo notas(prompts);
    notas.show();
    Procesa();
    atiende.stop();

    prompts.clear();
    prompts.pushAnswer(ui::Answer::No);
    EXPECT_FALSE(shell::TerminaSesion(&midi));
    Procesa();
    EXPECT_EQ(notas.preguntas, 1);
    EXPECT_TRUE(notas.isVisible());
    EXPECT_TRUE(G().PermisosUsuario[22]);  // still her session

    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(shell::TerminaSesion(&midi));
    Procesa();
    EXPECT_FALSE(notas.isVisible());
    EXPECT_TRUE(ui::VentanasDeSesion(&midi).isEmpty()) << Describe(ui::VentanasDeSesion(&midi)).toStdString();
    EXPECT_TRUE(report::openPreviews().isEmpty());
}

// The system's request to end reaches the counter program while its login waits for the person,
// also when it was started with the request ignored: it ends at once and orderly.
TEST(Terminacion, TheCounterEndsOnTheSystemsRequestWithItsDialogOpen) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    datasetup::Options o;
    o.appFolder = dir.filePath(QStringLiteral("app"));
    o.dataFolder = dir.filePath(QStringLiteral("datos"));
    o.demo = true;
    o.printServer.clear();
    o.schemaDir = QStringLiteral(QUORVEL_SCHEMA_DIR);
    o.templatesDir = QStringLiteral(QUORVEL_TEMPLATES_DIR);
    const datasetup::Result r = datasetup::run(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    QProcess quorvel;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORVEL_HOME"), o.appFolder);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("127.0.0.1:9"));
    quorvel.setProcessEnvironment(env);
    quorvel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    quorvel.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("trap '' TERM HUP INT; exec \"$0\""),
                                             testutil::binDir() + QStringLiteral("/quorvel")});
    ASSERT_TRUE(quorvel.waitForStarted(10000));
    QTest::qWait(2500);
    ASSERT_EQ(quorvel.state(), QProcess::Running);
    quorvel.terminate();
    const bool termino = quorvel.waitForFinished(10000);
    if (!termino) {
        quorvel.kill();
        quorvel.waitForFinished(5000);
    }
    ASSERT_TRUE(termino);
    EXPECT_EQ(quorvel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quorvel.exitCode(), 0);
}
