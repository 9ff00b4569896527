#include "campos_visibles.h"
#include "fixture.h"
#include "pdftext.h"

#include "printing/forms/frmSolicParametros.h"
#include "printing/reporte.h"
#include "printing/reporte_parametros.h"
#include "platform/report/report.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QComboBox>
#include <QDateEdit>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

using namespace printing;

namespace {

void llenaTabla() {
    LimpiaParametrosReporte();
    AgregaParametroReporte("FechaIni", "01/12/2026", "Fecha Inicial del Rango.", "Fecha");
    AgregaParametroReporte("Imprimira", "1", "Indica hacia donde se mostrara la informacion del reporte.",
                           "Combo");
    AgregaParametroReporte("Texto", QString::fromUtf8("Año'1"), "Un texto.", "Texto");
}

const QStringList kDestinos{"Pantalla", "Impresora"};

void cierraVistas() {
    for (auto* p : report::openPreviews())
        p->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

TEST(ReportParameters, TableFillsFromTheTopAndDropsTheSeventh) {
    LimpiaParametrosReporte();
    EXPECT_EQ(G().ParamCancelado, 1);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(AgregaParametroReporte(QString("P%1").arg(i), QString::number(i), "", "Texto"));
    EXPECT_FALSE(AgregaParametroReporte("P6", "6", "", "Texto"));
    EXPECT_EQ(NumParametrosReporte(), 6);
    EXPECT_EQ(ObtenerParametroReporte("P5"), "5");
    EXPECT_EQ(ObtenerParametroReporte("P6"), "");
    EXPECT_EQ(ObtenerParametroReporte("p5"), "");  // exact name only

    LimpiaParametrosReporte();
    AgregaParametroReporte("Dup", "primero", "", "Texto");
    AgregaParametroReporte("Dup", "segundo", "", "Texto");
    EXPECT_EQ(ObtenerParametroReporte("Dup"), "primero");
    EXPECT_EQ(NumParametrosReporte(), 2);
}

TEST(ReportPrompt, ListsRowsShowsEditorsAndAcceptsUnvisitedCombo) {
    llenaTabla();
    frmSolicParametros frm(kDestinos);
    frm.show();
    EXPECT_TRUE(testutil::CadaCampoSeVeEntero(&frm));
    ASSERT_EQ(frm.lstParametros->count(), 3);
    EXPECT_EQ(frm.lstParametros->item(1)->text(), "Imprimira");
    EXPECT_EQ(frm.lstParametros->currentRow(), 0);
    EXPECT_TRUE(frm.dtControl->isVisible());
    EXPECT_FALSE(frm.txtControl->isVisible());
    EXPECT_EQ(frm.dtControl->date(), QDate(2026, 12, 1));
    EXPECT_EQ(frm.lblDescripcion->text(), "Fecha Inicial del Rango.");

    frm.lstParametros->setCurrentRow(2);
    EXPECT_TRUE(frm.txtControl->isVisible());
    EXPECT_FALSE(frm.dtControl->isVisible());
    EXPECT_EQ(frm.txtControl->text(), QString::fromUtf8("Año'1"));
    frm.txtControl->clear();
    QTest::keyClicks(frm.txtControl, "nuevo");
    EXPECT_EQ(ObtenerParametroReporte("Texto"), "nuevo");

    QTest::mouseClick(frm.cmdAceptar, Qt::LeftButton);
    EXPECT_EQ(G().ParamCancelado, 0);
    // Never opened, yet the report reads the item the list would show.
    EXPECT_EQ(ObtenerParametroReporte("Imprimira"), "Impresora");
    EXPECT_EQ(ObtenerParametroReporte("FechaIni"), "01/12/2026");
}

TEST(ReportPrompt, ComboAndDateEditsAreStoredAndCloseCancels) {
    llenaTabla();
    frmSolicParametros frm(kDestinos);
    frm.show();
    frm.lstParametros->setCurrentRow(1);
    ASSERT_TRUE(frm.cmbParam->isVisible());
    EXPECT_EQ(frm.cmbParam->currentText(), "Impresora");
    frm.cmbParam->setCurrentIndex(0);
    EXPECT_EQ(ObtenerParametroReporte("Imprimira"), "Pantalla");
    frm.lstParametros->setCurrentRow(0);
    frm.dtControl->setDate(QDate(2026, 11, 30));
    EXPECT_EQ(ObtenerParametroReporte("FechaIni"), "30/11/2026");

    QTest::mouseClick(frm.cmdCerrar, Qt::LeftButton);
    EXPECT_EQ(G().ParamCancelado, 1);  // edited values stay, the caller stops on the flag
    EXPECT_FALSE(frm.isVisible());
}

TEST(ReportPrompt, WholeDateTypedWithSlashesIsTheDate) {
    llenaTabla();
    frmSolicParametros frm(kDestinos);
    frm.show();
    ASSERT_TRUE(frm.dtControl->isVisible());
    // Typed from the day on, slashes and all, as a person writes it.
    frm.dtControl->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(frm.dtControl, "10/12/2025");
    EXPECT_EQ(frm.dtControl->text(), "10/12/2025");
    QTest::mouseClick(frm.cmdAceptar, Qt::LeftButton);
    EXPECT_EQ(ObtenerParametroReporte("FechaIni"), "10/12/2025");
}

TEST(ReportPrompt, ModalPromptAnswersThroughTheFlag) {
    llenaTabla();
    QTimer::singleShot(0, [] {
        auto* frm = qobject_cast<frmSolicParametros*>(QApplication::activeModalWidget());
        ASSERT_NE(frm, nullptr);
        frm->cmdCerrar->click();
    });
    EXPECT_FALSE(SolicitaParametros(kDestinos));
    QTimer::singleShot(0, [] {
        auto* frm = qobject_cast<frmSolicParametros*>(QApplication::activeModalWidget());
        ASSERT_NE(frm, nullptr);
        frm->cmdAceptar->click();
    });
    EXPECT_TRUE(SolicitaParametros(kDestinos));
}

class ReportProtocol : public DataFolderTest {
protected:
    // A small template beside the shipped ones.
    void SetUp() override {
        DataFolderTest::SetUp();
        GuardaFilasLeidas(true);  // the rows are read back
        QFile f(QDir(data).filePath("Reports/Prueba.html"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<p>{{NombreEmpresa}} / {{Sucursal}} / {{Extra}} / {{Desde}}</p>"
                "{{#filas}}<p>{{Nombre}}</p>{{/filas}}");
    }
    void TearDown() override {
        cierraVistas();
        DataFolderTest::TearDown();
    }
    SolicitudReporte prueba() {
        SolicitudReporte s;
        s.archivo = "prueba.HTML";  // the letter case of the name does not matter
        s.titulo = "Prueba";
        s.sql = "SELECT Nombre FROM Producto WHERE CodigodeBarras IN (?, ?) ORDER BY Nombre";
        s.valores = {"7501000000011", "7501000000028"};
        s.destino = report::Destination::Pdf;
        s.archivoPdf = pdf("prueba.pdf");
        return s;
    }
};

TEST_F(ReportProtocol, MissingTemplateShowsItsFullPathAndStops) {
    FormulasReporte().set(4, "Previa", "sigue");
    SolicitudReporte s = prueba();
    s.archivo = "NoExiste.html";
    bool pidio = false;
    s.parametros = [&] { pidio = true; return true; };
    EXPECT_EQ(CorreReporte(s, prompts), ResultadoReporte::SinPlantilla);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.lastMessage(),
              "No se encontro el archivo: " + QDir(shell::RutaReportes()).filePath("NoExiste.html"));
    EXPECT_FALSE(pidio);
    EXPECT_EQ(FormulasReporte().text(4), "Previa='sigue'");  // nothing else happened
    EXPECT_FALSE(QFile::exists(s.archivoPdf));

    prompts.clear();
    EXPECT_FALSE(ExisteArchivo(data + "/Reports/Otra.html", prompts));
    EXPECT_EQ(prompts.lastMessage(), "No se encontro el archivo: " + data + "/Reports/Otra.html");
    EXPECT_TRUE(ExisteArchivo(data + "/reports/factura.html", prompts));
}

TEST_F(ReportProtocol, PermissionBranchFileAndPromptAreCheckedInOrder) {
    SolicitudReporte s = prueba();
    s.permiso = 45;
    EXPECT_EQ(CorreReporte(s, prompts), ResultadoReporte::SinPermiso);
    EXPECT_EQ(prompts.lastMessage(), "Usted no tiene acceso a esta parte del sistema.");
    EXPECT_EQ(prompts.asked().back().icon, ui::Icon::Critical);

    G().PermisosUsuario[45] = true;
    G().DescripcionC[1] = "SinArchivo";
    prompts.clear();
    EXPECT_EQ(CorreReporte(s, prompts), ResultadoReporte::SinSucursal);
    EXPECT_EQ(prompts.lastMessage(), "No se encontraron los archivos de datos para la sucursal.");
    EXPECT_EQ(prompts.asked().back().icon, ui::Icon::Critical);

    G().DescripcionC[1] = "Matriz";
    FormulasReporte().set(3, "Anterior", 1);
    s.parametros = [] { return false; };
    EXPECT_EQ(CorreReporte(s, prompts), ResultadoReporte::Cancelado);
    EXPECT_TRUE(FormulasReporte().has("Anterior"));  // a cancelled prompt clears nothing
    EXPECT_FALSE(QFile::exists(s.archivoPdf));
}

TEST_F(ReportProtocol, RunStartsFreshAndFillsCompanyValues) {
    SolicitudReporte a = prueba();
    a.parametros = [] {
        LimpiaParametrosReporte();
        AgregaParametroReporte("FechaIni", "01/12/2026", "", "Fecha");
        G().ParamCancelado = 0;
        return true;
    };
    a.formulas = [](const db::Rows& filas, report::Formulas& f) {
        f.set(2, "Desde", ObtenerParametroReporte("FechaIni"));
        f.set(9, "Filas", static_cast<int>(filas.size()));
    };
    a.datos = [](const db::Rows&, QVariantMap& d) { d.insert("Extra", QString::fromUtf8("Ñandú")); };
    ASSERT_EQ(CorreReporte(a, prompts), ResultadoReporte::Hecho) << prompts.lastMessage().toStdString();
    EXPECT_EQ(FormulasReporte().text(0), QString::fromUtf8("NombreEmpresa='PAPELERÍA LA ÚTIL'"));
    EXPECT_EQ(FormulasReporte().text(1), "Sucursal='Sucursal: Matriz'");
    EXPECT_EQ(FormulasReporte().text(9), "Filas=2");
    const QString texto = reporttest::pdfText(a.archivoPdf);
    EXPECT_TRUE(texto.contains(QString::fromUtf8("PAPELERÍA LA ÚTIL / Sucursal: Matriz / Ñandú / 01/12/2026")))
        << texto.toStdString();
    EXPECT_TRUE(texto.contains("CUADERNO PROF"));

    // The next report sets neither printer, destination nor slot 9: none is left over.
    SolicitudReporte b = prueba();
    b.destino = report::Destination::Preview;
    b.impresora.clear();
    b.archivoPdf.clear();
    ASSERT_EQ(CorreReporte(b, prompts), ResultadoReporte::Hecho);
    EXPECT_FALSE(FormulasReporte().has("Filas"));
    EXPECT_FALSE(FormulasReporte().has("Desde"));
    EXPECT_EQ(UltimaSolicitud().destination, report::Destination::Preview);
    EXPECT_TRUE(UltimaSolicitud().printer.isEmpty());
    EXPECT_TRUE(UltimaSolicitud().pdfPath.isEmpty());
    EXPECT_EQ(report::openPreviews().size(), 1);
}

TEST_F(ReportProtocol, RowsGivenByTheCallerStandInForTheQuery) {
    SolicitudReporte s = prueba();
    s.sql = "SELECT * FROM TablaQueNoEsta";  // not run
    s.filas = std::make_shared<db::Rows>(db::Rows{db::Row({"Nombre"}, {QString::fromUtf8("CAFÉ D'ORO")})});
    ASSERT_EQ(CorreReporte(s, prompts), ResultadoReporte::Hecho) << prompts.lastMessage().toStdString();
    EXPECT_TRUE(reporttest::pdfText(s.archivoPdf).contains(QString::fromUtf8("CAFÉ D'ORO")));

    s.filas = std::make_shared<db::Rows>();
    s.avisoSinDatos = "No hay datos.";
    EXPECT_EQ(CorreReporte(s, prompts), ResultadoReporte::SinDatos);
    EXPECT_EQ(prompts.lastMessage(), "No hay datos.");
}

// Esc while the query still runs breaks the query off: a read that would never end stops.
TEST_F(ReportProtocol, EscStopsAQueryStillRunning) {
    SolicitudReporte s = prueba();
    s.sql = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT count(*) AS Nombre FROM n";
    s.valores.clear();
    {
        reporttest::EscOnProgress esc;
        EXPECT_EQ(CorreReporte(s, prompts), ResultadoReporte::Cancelado) << prompts.lastMessage().toStdString();
    }
    EXPECT_FALSE(QFile::exists(s.archivoPdf));
}

TEST_F(ReportProtocol, QueryErrorIsShownNotRun) {
    SolicitudReporte s = prueba();
    s.sql = "SELECT * FROM TablaQueNoEsta";
    EXPECT_EQ(CorreReporte(s, prompts), ResultadoReporte::ErrorDatos);
    EXPECT_TRUE(prompts.lastMessage().startsWith("No se pudieron leer los datos del reporte: "));
    EXPECT_FALSE(prompts.lastMessage().contains("no such table")) << prompts.lastMessage().toStdString();
    EXPECT_FALSE(QFile::exists(s.archivoPdf));
}

// The query and the lines are made off the window's thread: its timers keep running, a modal
// "Leyendo..." dialog shows and Esc there stops the report. Reports that run one after the other
// open a step apart, and a window's rows are let go when it closes.
TEST_F(ReportProtocol, RowsAreMadeOffTheWindowThreadWhichStaysResponsive) {
    cierraVistas();
    SolicitudReporte s = prueba();
    s.destino = report::Destination::Preview;
    std::atomic<bool> suelta{false};
    QThread* hilo = nullptr;
    s.datos = [&](const db::Rows&, QVariantMap&) {
        hilo = QThread::currentThread();
        QElapsedTimer t;
        t.start();
        while (!suelta && t.elapsed() < 30000)
            QThread::msleep(5);
    };
    int ticks = 0;
    QString etiqueta;
    QTimer reloj;
    reloj.setInterval(20);
    QObject::connect(&reloj, &QTimer::timeout, [&] {
        ++ticks;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible() && etiqueta.isEmpty()) {
                etiqueta = d->labelText();
                QTest::keyClick(d, Qt::Key_Escape);
                suelta = true;
            }
    });
    reloj.start();
    EXPECT_EQ(CorreReporte(s, prompts), ResultadoReporte::Cancelado);
    reloj.stop();
    EXPECT_NE(hilo, QThread::currentThread());
    EXPECT_GT(ticks, 5);
    EXPECT_EQ(etiqueta, "Leyendo los datos del reporte...");
    EXPECT_TRUE(report::openPreviews().isEmpty());

    s.datos = [](const db::Rows& filas, QVariantMap& d) { d.insert("lineas", int(filas.size())); };
    ASSERT_EQ(CorreReporte(s, prompts), ResultadoReporte::Hecho) << prompts.lastMessage().toStdString();
    ASSERT_EQ(CorreReporte(s, prompts), ResultadoReporte::Hecho) << prompts.lastMessage().toStdString();
    const auto abiertas = report::openPreviews();
    ASSERT_EQ(abiertas.size(), 2);
    EXPECT_EQ(abiertas[1]->pos() - abiertas[0]->pos(), QPoint(32, 32));
    EXPECT_EQ(UltimaSolicitud().rows.size(), 2u);
    EXPECT_EQ(UltimaSolicitud().data.value("lineas").toInt(), 2);
    cierraVistas();
    EXPECT_TRUE(UltimaSolicitud().rows.empty());
    EXPECT_TRUE(UltimaSolicitud().data.isEmpty());
}
