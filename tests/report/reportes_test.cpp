// The stock and inventory reports and the day's sales listing: what each selects, the bytes the
// receipt printer gets, and the menu items driven through their prompt.

#include "fixture.h"
#include "pdftext.h"

#include "platform/print/codepage850.h"
#include "platform/report/records.h"
#include "printing/envio.h"
#include "printing/forms/frmSolicParametros.h"
#include "printing/forms/menus_reportes.h"
#include "printing/reporte_parametros.h"
#include "printing/reportes_existencias.h"
#include "printing/reportes_ventas.h"
#include "shell/forms/frmprincipal.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "printing/textoticket.h"
#include "printing/ticketventa.h"
#include "printing/ventasdiaticket.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QListWidget>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <tuple>

using namespace printing;

namespace {

db::Database& sucursal() { return *shell::BDSucursal(); }

// The lines a window keeps are records, not a map a line, at any depth: the name of the first
// list of maps found ("" when there is none).
QString listaDeMapas(const QVariant& v, const QString& nombre = {}) {
    if (v.metaType() == QMetaType::fromType<report::Records>()) {
        const report::Records r = v.value<report::Records>();
        for (qsizetype i = 0; i < r.size(); ++i)
            for (const QVariant& campo : r.at(i))
                if (const QString dentro = listaDeMapas(campo, nombre); !dentro.isEmpty()) return dentro;
        return {};
    }
    if (v.typeId() == QMetaType::QVariantList)
        for (const QVariant& e : v.toList())
            if (e.typeId() == QMetaType::QVariantMap) return nombre.isEmpty() ? QStringLiteral("?") : nombre;
    if (v.typeId() == QMetaType::QVariantMap) {
        const QVariantMap m = v.toMap();
        for (auto it = m.begin(); it != m.end(); ++it)
            if (const QString dentro = listaDeMapas(it.value(), it.key()); !dentro.isEmpty()) return dentro;
    }
    return {};
}

void ejecuta(const QString& sql, const QVariantList& v = {}) {
    db::Error e;
    ASSERT_TRUE(sucursal().exec(sql, v, &e)) << e.message.toStdString();
}

QStringList codigos(const QString& sql, const QVariantList& v = {}) {
    QStringList out;
    const auto filas = sucursal().select(sql, v);
    if (filas)
        for (const db::Row& f : *filas) out << f.text(QStringLiteral("CodigodeBarras"));
    return out;
}

QByteArray leeArchivo(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

db::Row filaExistencia(const QString& descripcion, double existencia) {
    return db::Row({QStringLiteral("Descripcion"), QStringLiteral("Existencia")}, {descripcion, existencia});
}

db::Row lineaVenta(qint64 numero, const QString& tipo, double cantidad, double precio, double descuento,
                   double importe, int status, double descFact, const QString& texto) {
    return db::Row({"Numero", "TipoDocto", "Cantidad", "PrecioUnit", "Descuento", "Importe", "Status", "DescFact",
                    "Cextra1"},
                   {numero, tipo, cantidad, precio, descuento, importe, status, descFact, texto});
}

// Answers the report prompt the moment it shows: picks the item of the Combo (or leaves it) and
// accepts with the mouse.
void aceptaPrompt(int elemento = -1) {
    QTimer::singleShot(0, [elemento] {
        auto* frm = qobject_cast<frmSolicParametros*>(QApplication::activeModalWidget());
        ASSERT_NE(frm, nullptr);
        if (elemento >= 0) {
            const auto filas = frm->lstParametros->findItems("Imprimira", Qt::MatchExactly);
            ASSERT_FALSE(filas.isEmpty());
            frm->lstParametros->setCurrentItem(filas.front());
            frm->cmbParam->setCurrentIndex(elemento);
        }
        QTest::mouseClick(frm->cmdAceptar, Qt::LeftButton);
    });
}

void cierraVistas() {
    for (auto* p : report::openPreviews()) p->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class ReportesTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        G().CodigosPTicket = 1;
        printing::GuardaFilasLeidas(true);  // the rows are read back
        G().MetodoImpresion = 0;
        G().EspT = 0;
        G().Printer3.clear();
        G().PuertoTicket = tmp.filePath("lp0");
        G().NombreEmp = QStringLiteral("PAPELERIA");
        G().RazonSocial = QStringLiteral("PAPELERIA SA");
        G().RFCEmpresa = QStringLiteral("PUT010101AA1");
        G().DescripcionSuc[1] = QStringLiteral("MATRIZ");
        G().DireccionSuc[1] = QStringLiteral("CALLE 1[ENTER]CENTRO");
        G().TelefonoSuc[1] = QStringLiteral("555");
        G().PermisosUsuario.fill(true);
        EstableceRelojTicket([] { return QDateTime(QDate(2026, 12, 9), QTime(18, 5, 7)); });
    }
    void TearDown() override {
        EstableceRelojTicket(nullptr);
        EstableceSalidaImpresor(nullptr);
        cierraVistas();
        DataFolderTest::TearDown();
    }
    QByteArray puerto() const { return leeArchivo(tmp.filePath("lp0")); }
};

TEST_F(ReportesTest, EachStockReportSelectsItsRows) {
    const QString uno = "7501000000011", dos = "7501000000028", tres = "7501000000035", cuatro = "7501000000042";
    auto pon = [](const QString& codigo, double existencia, double reorden) {
        ejecuta("UPDATE Existencia SET Existencia = ? WHERE ClaveProducto = "
                "(SELECT ClaveProducto FROM Producto WHERE CodigodeBarras = ?)", {existencia, codigo});
        ejecuta("UPDATE Producto SET Reorden = ? WHERE CodigodeBarras = ?", {reorden, codigo});
    };
    ejecuta("UPDATE Producto SET Reorden = 0");
    pon(uno, -2, 0);
    pon(dos, 0, 0);
    pon(tres, 2.5, 0);
    pon(cuatro, 7, 7);  // at its reorder level

    const QStringList existencias = codigos(SeleccionExistencias(ReporteExistencias::Existencias));
    const QStringList positivas = codigos(SeleccionExistencias(ReporteExistencias::UbicacionCategoria));
    const QStringList todas = codigos(SeleccionExistencias(ReporteExistencias::Costo));
    const QStringList reorden = codigos(SeleccionExistencias(ReporteExistencias::Reorden));
    EXPECT_TRUE(existencias.contains(uno));
    EXPECT_FALSE(positivas.contains(uno));
    EXPECT_FALSE(existencias.contains(dos));
    EXPECT_TRUE(todas.contains(dos));
    EXPECT_TRUE(positivas.contains(tres));
    EXPECT_TRUE(reorden.contains(cuatro));
    EXPECT_TRUE(reorden.contains(uno));  // -2 <= 0
    EXPECT_FALSE(reorden.contains(tres));

    // Cost in whole cents: each 1.005 counts 1.01, so the total is 2.02, not the raw sum's 2.01.
    const db::Rows costo{db::Row({"ImporteCosto"}, {1.005}), db::Row({"ImporteCosto"}, {1.005})};
    EXPECT_DOUBLE_EQ(TotalCosto(costo), 2.02);
}

TEST_F(ReportesTest, StockListingLinesAndEnding) {
    const QString largo = QString(30, QLatin1Char('X'));
    const db::Rows filas{filaExistencia("CUADERNO", 5), filaExistencia(largo, -3), filaExistencia("CINTA", 2.5)};
    ArmaListadoExistencias(filas);
    const QString t = TextoTicket();
    EXPECT_TRUE(t.startsWith(QStringLiteral("\x1b@")));
    EXPECT_TRUE(t.contains(QStringLiteral("RFC:PUT010101AA1\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("CALLE 1\nCENTRO\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("Reporte de existencias.\n\n")));
    EXPECT_TRUE(t.contains(AjustaTexto(28, "CUADERNO") + "005\n"));
    EXPECT_TRUE(t.contains(QString(26, QLatin1Char('X')) + "..-003\n"));
    EXPECT_TRUE(t.contains(AjustaTexto(28, "CINTA") + "002.50\n"));
    EXPECT_TRUE(t.endsWith(QStringLiteral("3 productos.\n\n\n\n")));

    G().EspT = 1;
    ArmaListadoExistencias(filas);
    EXPECT_TRUE(TextoTicket().endsWith(QStringLiteral("3 productos.\n\n\n\n") + CodigosActuales().CodCorte));
}

TEST_F(ReportesTest, StockListingGoesToThePortOrThePrinterObject) {
    const db::Rows filas{filaExistencia("CUADERNO", 5)};
    ASSERT_TRUE(ImprimeExistenciasTicket(filas, prompts));
    const QByteArray bytes = puerto();
    EXPECT_TRUE(bytes.startsWith(QByteArray("\x0f\x1b@")));
    EXPECT_EQ(bytes, QByteArray("\x0f") + print::aCp850(TextoTicket()) + "\r\n\x12");

    // Code set 0 and no ticket printer named: the listing would go to whatever printer is current
    // (the report printer), so it says so and draws nothing.
    G().CodigosPTicket = 0;
    QString dibujado;
    EstableceSalidaImpresor([&](const QString& texto, int) {
        dibujado = texto;
        return print::Resultado{true, {}};
    });
    EXPECT_FALSE(ImprimeExistenciasTicket(filas, prompts));
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("No hay una impresora de tickets configurada. El listado no se imprimió."));
    EXPECT_TRUE(dibujado.isEmpty());
    G().CodigosPTicket = 1;

    // A long listing asks first: No sends nothing and says it was stopped; Yes sends it whole.
    const db::Rows largo(kListadoLargo + 1, filaExistencia("CUADERNO", 5));
    for (const bool si : {false, true}) {
        const qint64 enviado = puerto().size();
        prompts.clear();
        prompts.pushAnswer(si ? ui::Answer::Yes : ui::Answer::No);
        bool detenido = !si;
        EXPECT_EQ(ImprimeExistenciasTicket(largo, prompts, &detenido), si);
        EXPECT_EQ(detenido, !si);
        ASSERT_EQ(prompts.asked().size(), 1u);
        EXPECT_TRUE(prompts.asked()[0].text.startsWith(QStringLiteral("El listado tiene %1 productos (unos ").arg(largo.size())))
            << prompts.asked()[0].text.toStdString();
        EXPECT_EQ(puerto().size() > enviado, si);
    }

    // Nothing to list: said, nothing sent, the buffer as it was.
    LimpiaTextoTicket();
    AgregaTextoTicket(QStringLiteral("previo"));
    const qint64 antes = puerto().size();
    G().CodigosPTicket = 1;
    EXPECT_FALSE(ImprimeExistenciasTicket({}, prompts));
    EXPECT_EQ(prompts.lastMessage(), "No hay registros.");
    EXPECT_EQ(TextoTicket(), "previo");
    EXPECT_EQ(puerto().size(), antes);
}

TEST_F(ReportesTest, DaySalesListingBlocks) {
    LimpiaTextoTicket();
    const db::Rows filas{
        lineaVenta(-7, "T", 2, 50, 10, 117, 1, 0, "CUADERNO PROFESIONAL 100"),
        lineaVenta(-7, "T", 1, 27, 0, 117, 1, 0, "PLUMA"),
        lineaVenta(-8, "T", 2.5, 10, 0, 22.5, 0, 10, "CINTA"),
    };
    ArmaReporteVentasDia(filas, true, QDate(2026, 12, 9), QDateTime(QDate(2026, 12, 9), QTime(18, 5, 7)));
    const QString t = TextoTicket();
    EXPECT_TRUE(t.contains(QStringLiteral("TICKETS.\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("09-diciembre-2026 18:05:07")));
    EXPECT_TRUE(t.contains(QStringLiteral("Ventas del dia: 09/12/2026")));
    EXPECT_TRUE(t.contains(QStringLiteral("No.    Importe\n-----------------------\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("(2)T00007     100.00 CUADERNO PROFESIO\n"
                                          "-Desc. al prod. 10% = 90.00\n"
                                          "(1)T00007      27.00 PLUMA\n"
                                          "TOTAL Venta: T00007 $117.00\n \n")));
    EXPECT_TRUE(t.contains(QStringLiteral("*2.5*T00008      25.00 CINTA\n"
                                          "-Desc: T00008= 10% 2.50\n"
                                          "TOTAL Venta: T00008 $22.50\n CANC.\n")));
    EXPECT_TRUE(t.endsWith(QStringLiteral("Total VENTAS = $117.00\n\n") + QString(6, QLatin1Char('\n'))));

    // Invoice 5 and electronic invoice 5 are two documents.
    LimpiaTextoTicket();
    ArmaReporteVentasDia({lineaVenta(5, "F", 1, 10, 0, 10, 1, 0, "A"), lineaVenta(5, "E", 1, 20, 0, 20, 1, 0, "B")},
                         false, QDate(2026, 12, 9), QDateTime::currentDateTime());
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("TOTAL Venta: F00005 $10.00")));
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("TOTAL Venta: E00005 $20.00")));
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("Total VENTAS = $30.00")));

    LimpiaTextoTicket();
    ArmaReporteVentasDia({}, false, QDate(2026, 12, 9), QDateTime::currentDateTime());
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("FACTURAS.\n")));
    EXPECT_TRUE(TextoTicket().contains(QStringLiteral("Total VENTAS = $0.00\n\n")));
}

TEST_F(ReportesTest, DaySalesPrintTicketsFirstThenInvoices) {
    guardaDocumento(3, "T", "XAXX010101000", "2026-12-09 10:00:00", 0, {{"7501000000028", 2, 8, 0, true}});
    guardaDocumento(3, "F", "XAXX010101000", "2026-12-09 11:00:00", 0, {{"7501000000011", 1, 38.5, 0, true}});
    guardaDocumento(4, "T", "XAXX010101000", "2026-12-08 11:00:00", 0, {{"7501000000011", 1, 38.5, 0, true}});
    LimpiaParametrosReporte();
    AgregaParametroReporte("Fecha", "09/12/2026", "", "Fecha");
    G().ParTickets = 1;
    G().CodigosPTicket = 0;
    QStringList trabajos;
    EstableceSalidaImpresor([&](const QString& texto, int) {
        trabajos << texto;
        return print::Resultado{true, {}};
    });
    ASSERT_TRUE(rptVentasTicket(prompts));
    ASSERT_EQ(trabajos.size(), 2);
    EXPECT_TRUE(trabajos[0].contains("TICKETS."));
    EXPECT_TRUE(trabajos[0].contains("TOTAL Venta: T00003 $16.00"));
    EXPECT_FALSE(trabajos[0].contains("00004"));  // another day
    EXPECT_TRUE(trabajos[1].contains("FACTURAS."));
    EXPECT_TRUE(trabajos[1].contains("TOTAL Venta: F00003 $38.50"));

    G().ParTickets = 0;
    trabajos.clear();
    ASSERT_TRUE(rptVentasTicket(prompts));
    ASSERT_EQ(trabajos.size(), 1);
    EXPECT_TRUE(trabajos[0].contains("FACTURAS."));
}

TEST_F(ReportesTest, StockItemAcceptedAtOncePrintsTheListingElseTheWindow) {
    aceptaPrompt();
    EXPECT_EQ(RExistencias(prompts), ResultadoReporte::Hecho);
    const QByteArray bytes = puerto();
    EXPECT_TRUE(bytes.contains("Reporte de existencias."));
    EXPECT_TRUE(bytes.contains("productos."));
    EXPECT_TRUE(report::openPreviews().isEmpty());

    aceptaPrompt(0);  // "Pantalla"
    EXPECT_EQ(ExistenciasUbicacionCat(prompts), ResultadoReporte::Hecho);
    ASSERT_EQ(report::openPreviews().size(), 1);
    EXPECT_EQ(report::openPreviews().front()->windowTitle(), "Existencias de productos.");
    EXPECT_FALSE(UltimaSolicitud().data.value("grupos").toList().isEmpty());
    // The lines come through their groups only: the template never reads a list of every row.
    EXPECT_FALSE(UltimaSolicitud().data.contains("lineas"));

    // Without permission 24 nothing is asked or printed.
    G().PermisosUsuario[24] = false;
    const qint64 antes = puerto().size();
    EXPECT_EQ(RExistencias(prompts), ResultadoReporte::SinPermiso);
    EXPECT_EQ(puerto().size(), antes);
}

TEST_F(ReportesTest, InventoryMovementsOpenTwoWindowsOnTheSameRows) {
    ejecuta("INSERT INTO EInventario (Numero, Fecha, Descripcion, Usuario, DescribeMovto) "
            "VALUES (1, date('now', 'localtime') || ' 09:00:00', 'ENTRADA', 1, 1)");  // within the period asked
    ejecuta("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario, OrdenCap) VALUES (1, 2, 3, 1.005, 1)");
    ejecuta("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario, OrdenCap) VALUES (1, 3, 3, 1.005, 2)");
    ejecuta("INSERT INTO EInventario (Numero, Fecha, Descripcion, Usuario, DescribeMovto) "
            "VALUES (2, '2026-12-01 09:00:00', 'OTRO MES', 1, 1)");
    ejecuta("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario, OrdenCap) VALUES (2, 2, 1, 1, 1)");
    QTimer::singleShot(0, [] {
        auto* frm = qobject_cast<frmSolicParametros*>(QApplication::activeModalWidget());
        ASSERT_NE(frm, nullptr);
        frm->dtControl->setDate(QDate(2026, 12, 5));  // the first date's editor is the one shown
        QTest::mouseClick(frm->cmdAceptar, Qt::LeftButton);
    });
    EXPECT_EQ(ESInventario(prompts), ResultadoReporte::Hecho);
    ASSERT_EQ(report::openPreviews().size(), 2);
    const report::Request r = UltimaSolicitud();
    EXPECT_EQ(r.title, "Entradas y Salidas de Inventario. INDIVIDUAL.");
    ASSERT_EQ(r.rows.size(), 2u);  // document 2 is before the period
    EXPECT_EQ(r.data.value("NumDocumentos").toInt(), 1);
    EXPECT_EQ(r.data.value("Piezas").toString(), "6");
    EXPECT_EQ(r.data.value("Importe").toString(), "6.04");  // 3.015 rounds to 3.02 per line
    cierraVistas();

    // Without the second template nothing runs at all.
    QFile::remove(QDir(data).filePath("Reports/esinventarioind.html"));
    EXPECT_EQ(ESInventario(prompts), ResultadoReporte::SinPlantilla);
    EXPECT_TRUE(prompts.lastMessage().startsWith("No se encontro el archivo: "));
    EXPECT_TRUE(report::openPreviews().isEmpty());
}

TEST_F(ReportesTest, EveryStockTemplateRendersToPdf) {
    ejecuta("UPDATE Producto SET Reorden = 500");
    const QString salida = qEnvironmentVariable("QUORVEL_PDF_DIR");
    int n = 0;
    auto pdfDe = [&](const char* titulo) {
        report::Request r = UltimaSolicitud();
        EXPECT_EQ(listaDeMapas(r.data), QString()) << titulo;
        r.destination = report::Destination::Pdf;
        r.pdfPath = salida.isEmpty() ? pdf(QStringLiteral("r%1.pdf").arg(++n)) : QDir(salida).filePath(QString("%1.pdf").arg(++n));
        QString error;
        ASSERT_TRUE(report::run(r, &error)) << error.toStdString();
        const QString texto = reporttest::squeezed(reporttest::pdfText(r.pdfPath));
        EXPECT_TRUE(texto.contains(QString::fromUtf8(titulo)) || r.title.contains(QString::fromUtf8(titulo)))
            << texto.toStdString();
        EXPECT_TRUE(texto.contains("PAPELERIA")) << texto.toStdString();
        cierraVistas();
    };
    aceptaPrompt(0);
    ASSERT_EQ(RExistencias(prompts), ResultadoReporte::Hecho);
    pdfDe("Existencias de productos");
    aceptaPrompt(0);
    ASSERT_EQ(ExistenciasUbicacionCat(prompts), ResultadoReporte::Hecho);
    pdfDe("Ubicación:");
    ASSERT_EQ(ExistCosto(prompts), ResultadoReporte::Hecho);
    pdfDe("Valor total al costo");
    ASSERT_EQ(EReorden(prompts), ResultadoReporte::Hecho);
    pdfDe("en reorden");

    ejecuta("INSERT INTO EInventario (Numero, Fecha, Descripcion, Usuario, DescribeMovto, Docto) "
            "VALUES (1, ?, 'ENTRADA DE MERCANCIA', 1, 1, 'FAC 123')", {QDate::currentDate().toString(Qt::ISODate)});
    ejecuta("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario, OrdenCap) VALUES (1, 2, 12, 22, 1)");
    aceptaPrompt();
    ASSERT_EQ(ESInventario(prompts), ResultadoReporte::Hecho);
    const report::Request individual = UltimaSolicitud();
    pdfDe("INDIVIDUAL");
    // The summary window had the same rows and values.
    report::Request resumen = individual;
    resumen.templatePath = QDir(data).filePath("Reports/esinventario02.html");
    resumen.destination = report::Destination::Pdf;
    resumen.pdfPath = salida.isEmpty() ? pdf("resumen.pdf") : QDir(salida).filePath("resumen.pdf");
    ASSERT_TRUE(report::run(resumen));
    EXPECT_TRUE(reporttest::squeezed(reporttest::pdfText(resumen.pdfPath)).contains("1 documentos, 12 piezas"));
}

// A day of sales: tickets 1 and 2 (2 cancelled), invoice 5 and electronic invoice 5, ticket 5,
// a quotation and a ticket of the day before.
class VentasTest : public ReportesTest {
protected:
    void SetUp() override {
        ReportesTest::SetUp();
        const QString hoy = QDate::currentDate().toString(Qt::ISODate);
        const QString ayer = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
        guardaDocumento(1, "T", "XAXX010101000", hoy + " 09:00:00", 0, {{"7501000000028", 1, 10.009, 0, true}});
        guardaDocumento(2, "T", "XAXX010101000", hoy + " 09:30:00", 0, {{"7501000000028", 3, 8, 0, true}});
        ejecuta("UPDATE Venta SET Status = 0 WHERE Numero = 2 AND Tipo = 'T'");
        guardaDocumento(5, "F", "XAXX010101000", hoy + " 10:00:00", 0, {{"7501000000028", 1, 10.004, 0, true}});
        guardaDocumento(5, "E", "XAXX010101000", hoy + " 11:00:00", 0, {{"7501000000011", 2, 38.5, 10, true}});
        guardaDocumento(5, "T", "XAXX010101000", hoy + " 12:00:00", 0, {{"7501000000011", 1, 38.5, 0, true}});
        guardaDocumento(9, "C", "XAXX010101000", hoy + " 12:30:00", 0, {{"7501000000028", 50, 8, 0, true}});
        guardaDocumento(3, "T", "XAXX010101000", ayer + " 12:00:00", 0, {{"7501000000028", 7, 8, 0, true}});
        ejecuta("INSERT INTO Vendedores (IdVendedor, NombreVendedor) VALUES (7, 'LUPITA')");
        ejecuta("UPDATE Venta SET Vendedor = 7 WHERE Tipo = 'T'");
        ejecuta("UPDATE Venta SET Vendedor = 99 WHERE Tipo IN ('F', 'E')");  // not in the catalogue
    }
    db::Rows lee(const QString& sql, const QVariantList& v) {
        db::Error e;
        auto filas = sucursal().select(sql, v, &e);
        EXPECT_TRUE(filas) << e.message.toStdString();
        return filas ? *filas : db::Rows{};
    }
};

TEST_F(VentasTest, DailyAndPeriodSelectionsCountEachSaleOnce) {
    const QDate hoy = QDate::currentDate();
    QVariantList v;
    const QVariantMap facturas = DatosVentas(lee(SeleccionVentaDiaria({"F", "E"}, hoy, &v), v));
    EXPECT_EQ(facturas.value("NumDocumentos").toInt(), 2);  // F 5 and E 5
    EXPECT_EQ(facturas.value("TotalVentas").toString(), "79.30");  // 10.00 + 69.30, each total once

    const QVariantMap tickets = DatosVentas(lee(SeleccionVentaDiaria({"T"}, hoy, &v), v));
    EXPECT_EQ(tickets.value("NumDocumentos").toInt(), 3);
    EXPECT_EQ(tickets.value("NumCancelados").toInt(), 1);
    EXPECT_EQ(tickets.value("TotalVentas").toString(), "48.51");  // ticket 2 cancelled, ticket 3 yesterday

    // Today's tickets include ticket 1.
    const db::Rows hoyT = lee(SeleccionTicketsHoy(hoy, &v), v);
    EXPECT_TRUE(std::any_of(hoyT.begin(), hoyT.end(), [](const db::Row& r) { return r.integer("Numero") == -1; }));

    // A period from after its end selects nothing; invoices by positive number, tickets by letter.
    EXPECT_TRUE(lee(SeleccionPeriodo(false, hoy, hoy.addDays(-1), &v), v).empty());
    EXPECT_EQ(DatosVentas(lee(SeleccionPeriodo(true, hoy.addDays(-1), hoy, &v), v)).value("NumDocumentos").toInt(), 4);
}

TEST_F(VentasTest, ProductsSoldValueEachLineAsTheDailyReportAndLeaveOutQuotationsAndCancelled) {
    const QDate hoy = QDate::currentDate();
    const auto filas = ProductosVendidos(sucursal(), hoy, hoy, false);
    ASSERT_TRUE(filas);
    ASSERT_EQ(filas->size(), 2u);
    // Cuaderno: 2 (E 5, 10 % off the line) + 1 (T 5) = 3 pieces, 69.30 + 38.50; pluma: 10.009 and
    // 10.004, each line to the cent as the daily report shows it -> 20.01 for 2.
    EXPECT_EQ(filas->front().text("Nombre"), "CUADERNO PROF");
    EXPECT_DOUBLE_EQ(filas->front().real("SumaCantidad"), 3);
    EXPECT_DOUBLE_EQ(filas->front().real("SumaImporte"), 107.8);
    EXPECT_EQ(filas->back().text("Nombre"), "PLUMA AZUL");
    EXPECT_DOUBLE_EQ(filas->back().real("SumaCantidad"), 2);
    EXPECT_DOUBLE_EQ(filas->back().real("SumaImporte"), 20.01);
    EXPECT_EQ(filas->back().text("Campo1"), "");

    // Each line counts its share of its document's stored total, so the total moves with it.
    ejecuta("UPDATE DetalleVenta SET Cantidad = 20 WHERE Numero = 1 AND TipoDocto = 'T'");
    ejecuta("UPDATE Venta SET Total = 200.18 WHERE Numero = 1 AND Tipo = 'T'");
    const auto porCantidad = ProductosVendidos(sucursal(), hoy, hoy, false);
    const auto porImporte = ProductosVendidos(sucursal(), hoy, hoy, true);
    EXPECT_EQ(porCantidad->front().text("Nombre"), "PLUMA AZUL");   // 21 pieces
    EXPECT_EQ(porImporte->front().text("Nombre"), "PLUMA AZUL");    // 200.18 + 10.00
    ejecuta("UPDATE DetalleVenta SET PrecioUnit = 1 WHERE Numero = 1 AND TipoDocto = 'T'");
    ejecuta("UPDATE Venta SET Total = 20 WHERE Numero = 1 AND Tipo = 'T'");
    EXPECT_EQ(ProductosVendidos(sucursal(), hoy, hoy, true)->front().text("Nombre"), "CUADERNO PROF");
}

TEST_F(VentasTest, SalesBySellerKeepAMissingSellerAndLeaveCancelledOutOfTheTotals) {
    const QDate hoy = QDate::currentDate();
    QVariantList v;
    const QVariantMap d = DatosVentasEmpleado(lee(SeleccionVentasEmpleado(hoy, hoy, &v), v));
    const QVariantList vendedores = d.value("vendedores").toList();
    ASSERT_EQ(vendedores.size(), 2);
    EXPECT_EQ(vendedores[0].toMap().value("NombreUsuario").toString(), "LUPITA");
    EXPECT_EQ(vendedores[0].toMap().value("documentos").toList().size(), 3);  // tickets 1, 2 (cancelled), 5
    EXPECT_EQ(vendedores[0].toMap().value("NumDocumentos").toInt(), 2);  // counted as the total is
    EXPECT_EQ(vendedores[0].toMap().value("Total").toString(), "48.51");
    EXPECT_EQ(vendedores[1].toMap().value("NombreUsuario").toString(), "SIN VENDEDOR");
    EXPECT_EQ(vendedores[1].toMap().value("Total").toString(), "79.30");
    EXPECT_EQ(d.value("TotalVentas").toString(), "127.81");
}

// A year of documents is made in parts at once: the lines, totals and order are those of the
// same documents made a half at a time.
TEST(DatosEnPartes, AYearMadeInPartsIsTheSameAsItsHalves) {
    const QStringList venta{"Numero", "TipoDocto", "Fecha", "Cliente", "Status", "Importe", "DescFact",
                            "Cantidad", "PrecioUnit", "Descuento", "Iva", "Cextra1"};
    const QStringList movimiento{"Numero", "Fecha", "Descripcion", "Docto", "NombreUsuario", "DescribeMovto",
                                 "Cantidad", "PUnitario", "Importe", "CodigodeBarras", "PDescripcion"};
    db::Rows ventas, movimientos;
    for (int d = 1; d <= 9000; ++d)
        for (int k = 0; k <= d % 3; ++k) {
            const double precio = 10 + d % 97 + k / 4.0;
            ventas.emplace_back(venta, QVariantList{-d, "T", "2026-03-01 10:00:00", "PUBLICO", d % 50 ? 1 : 0,
                                                    precio * (k + 1) * 0.9, d % 7 ? 0 : 10, k + 1, precio, 0, 1,
                                                    QString("ARTICULO %1").arg(k)});
            movimientos.emplace_back(movimiento, QVariantList{d, "2026-03-01", "ENTRADA", "E", "ANA", 1, k + 0.5,
                                                              precio, (k + 0.5) * precio, "750", "ARTICULO"});
        }
    using Datos = QVariantMap (*)(const db::Rows&);
    for (const auto& [nombre, datos, filas, total, cuenta] :
         std::vector<std::tuple<const char*, Datos, db::Rows, const char*, const char*>>{
             {"ventas", DatosVentas, ventas, "TotalVentas", "NumCancelados"},
             {"entradas y salidas", DatosESInventario, movimientos, "Importe", "Piezas"}}) {
        SCOPED_TRACE(nombre);
        size_t mitad = filas.size() / 2;
        while (mitad < filas.size() && filas[mitad].value(0) == filas[mitad - 1].value(0)) ++mitad;
        const QVariantMap entero = datos(filas);
        const QVariantMap a = datos(db::Rows(filas.begin(), filas.begin() + qsizetype(mitad)));
        const QVariantMap b = datos(db::Rows(filas.begin() + qsizetype(mitad), filas.end()));
        const QVariantList documentos = entero.value("documentos").toList();
        ASSERT_EQ(documentos.size(), 9000);
        EXPECT_EQ(documentos, a.value("documentos").toList() + b.value("documentos").toList());
        auto numero = [](const QVariantMap& m, const char* campo) {
            return report::formatAmount(QString(m.value(campo).toString()).remove(',').toDouble());
        };
        EXPECT_EQ(numero(entero, total), report::formatAmount(QString(numero(a, total)).remove(',').toDouble() +
                                                              QString(numero(b, total)).remove(',').toDouble()));
        EXPECT_DOUBLE_EQ(QString(entero.value(cuenta).toString()).remove(',').toDouble(),
                         QString(a.value(cuenta).toString()).remove(',').toDouble() +
                             QString(b.value(cuenta).toString()).remove(',').toDouble());
    }
}

// Each window of the movements sees the documents it would see were every line made: the summary,
// which shows no line, gets none made, the window of each document every line it shows.
TEST_F(VentasTest, EachMovementsWindowSeesWhatItShowsWhateverIsLeftUnmade) {
    const QStringList movimiento{"Numero", "Fecha", "Descripcion", "Docto", "NombreUsuario", "DescribeMovto",
                                 "Cantidad", "PUnitario", "Importe", "CodigodeBarras", "PDescripcion"};
    db::Rows filas;
    for (int d = 1; d <= 5000; ++d)
        for (int k = 0; k <= d % 4; ++k)
            filas.emplace_back(movimiento, QVariantList{d, "2026-03-01", "ENTRADA", "E", "ANA", d % 2, k + 0.25,
                                                        1.5 + d % 9, (k + 0.25) * (1.5 + d % 9), "750", "ARTICULO"});
    const QVariantMap todo = DatosESInventario(filas);
    for (const auto& [plantilla, conLineas] : {std::pair{"esinventario02.html", false}, {"esinventarioind.html", true}}) {
        SCOPED_TRACE(plantilla);
        const report::OnlyFields solo(report::fieldsRead(RutaPlantilla(QString::fromLatin1(plantilla))));
        QVariantMap visto = DatosESInventario(filas);
        report::Records::compact(visto);
        QVariantMap esperado = todo;
        esperado.insert("documentos", report::Records::compact(todo.value("documentos").toList(), "documentos"));
        const QVariantList documentos = visto.value("documentos").toList();
        ASSERT_EQ(documentos.size(), 5000);
        EXPECT_EQ(documentos.front().toMap().contains("lineas"), conLineas);
        EXPECT_EQ(documentos, esperado.value("documentos").toList());
        for (const char* total : {"NumDocumentos", "Piezas", "Importe"})
            EXPECT_EQ(visto.value(total), todo.value(total)) << total;
    }
}

// A year of tickets and of movements read in parts at once gives the rows of one reading, in its
// order, with a few documents saved apart from the rest (different days, a ticket outside the
// period, numbers not in a row).
TEST_F(VentasTest, AYearReadInPartsIsTheRowsOfOneReading) {
    const QString hoy = QDate::currentDate().toString(Qt::ISODate);
    ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 17000) "
            "INSERT INTO Venta (Numero, Tipo, Empleado, Sucursal, Terminal, Cliente, Fecha, Total, Status, IdCorte) "
            "SELECT 100 + i * 3, 'T', 1, 1, 1, 'XAXX010101000', date(?, '-' || (i % 40) || ' days') || ' 10:00:00', "
            "10, 1, 0 FROM n", {hoy});
    ejecuta("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Descuento, Iva, Moneda, "
            "Terminal) SELECT Numero, 'T', 2 + Numero % 2, 1 + Numero % 3, 5, 0, 1, 1, '1' FROM Venta WHERE Numero > 100");
    ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 9000) "
            "INSERT INTO EInventario (Numero, Fecha, Descripcion, Usuario, DescribeMovto, Docto) "
            "SELECT 10 + i * 2, date(?, '-' || (i % 30) || ' days') || ' 09:00:00', 'ENTRADA ' || i, 1, 1, 'E' FROM n", {hoy});
    ejecuta("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario, OrdenCap) "
            "SELECT Numero, 2, 1, 1, 1 FROM EInventario UNION ALL SELECT Numero, 3, 2, 1, 2 FROM EInventario");
    const QDate desde = QDate::currentDate().addDays(-35), hasta = QDate::currentDate();
    QVariantList v;
    QString es, numeros;
    const QVariantList ve = SeleccionESInventario(desde, hasta, &es, &numeros).params;
    QString esEntera;
    SeleccionESInventario(desde, hasta, &esEntera);
    struct Caso {
        const char* nombre;
        QString enPartes, entera, numeros;
        QVariantList valores;
    };
    for (const Caso& c : {Caso{"tickets", SeleccionPeriodo(true, desde, hasta, &v, true), SeleccionPeriodo(true, desde, hasta, &v),
                               NumerosPeriodo(true, desde, hasta), v},
                          Caso{"movimientos", es, esEntera, numeros, ve}}) {
        SCOPED_TRACE(c.nombre);
        const db::Rows una = lee(c.entera, c.valores);
        ASSERT_GT(una.size(), 8000u);
        db::Error e;
        const auto partes = LeeEnPartes(sucursal(), shell::LectorBDSucursal(), c.enPartes, c.valores,
                                        QStringLiteral("Numero"), c.numeros, &e);
        ASSERT_TRUE(partes) << e.message.toStdString();
        ASSERT_EQ(partes->size(), una.size());
        for (size_t i = 0; i < una.size(); ++i)
            for (int k = 0; k < una[i].count(); ++k)
                ASSERT_EQ((*partes)[i].value(k), una[i].value(k)) << i << " " << una[i].name(k).toStdString();
    }
}

// A shop's own copy of a template that shows more of its view than the program's copy gets those
// columns read; the program's copy reads only what it shows.
TEST_F(VentasTest, AShopsTemplateShowingMoreOfTheViewGetsItRead) {
    const QDate desde = QDate::currentDate().addDays(-1), hasta = QDate::currentDate();
    ejecuta("INSERT INTO EInventario (Numero, Fecha, Descripcion, Usuario, DescribeMovto, Docto) "
            "VALUES (40, ?, 'ENTRADA', 1, 1, 'E')", {hasta.toString(Qt::ISODate) + " 09:00:00"});
    ejecuta("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario, OrdenCap) VALUES (40, 2, 1, 1, 1)");
    struct Caso {
        const char* plantilla;
        const char* columna;
        std::function<QString(QVariantList*)> seleccion;
        QByteArray seccion = "{{#lineas}}";
    };
    const std::vector<Caso> casos{
        {"Venta Mensual.html", "Nombre", [&](QVariantList* v) { return SeleccionPeriodo(true, desde, hasta, v, false); }},
        {"Venta Mensual.html", "ClaveProducto", [&](QVariantList* v) { return SeleccionPeriodo(false, desde, hasta, v); }},
        {"esinventarioind.html", "ClaveProducto",
         [&](QVariantList* v) {
             QString sql;
             *v = SeleccionESInventario(desde, hasta, &sql).params;
             return sql;
         }},
        {"esinventario02.html", "Comentario",
         [&](QVariantList* v) {
             QString sql;
             *v = SeleccionESInventario(desde, hasta, &sql).params;
             return sql;
         },
         "{{#documentos}}"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.plantilla) + " " + c.columna);
        QVariantList v;
        db::Rows filas = lee(c.seleccion(&v), v);
        ASSERT_FALSE(filas.empty());
        EXPECT_EQ(filas.front().indexOf(QString::fromLatin1(c.columna)), -1);

        QFile f(QDir(data).filePath(QStringLiteral("Reports/") + QString::fromLatin1(c.plantilla)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray suya = f.readAll();
        f.close();
        QByteArray mas = suya;
        mas.replace(c.seccion, c.seccion + "<td>{{" + QByteArray(c.columna) + "}}</td>");
        ASSERT_NE(mas, suya);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(mas);
        f.close();
        filas = lee(c.seleccion(&v), v);
        ASSERT_FALSE(filas.empty());
        const int k = filas.front().indexOf(QString::fromLatin1(c.columna));
        ASSERT_GE(k, 0);
        if (QByteArray(c.columna) != "Comentario") EXPECT_FALSE(filas.front().value(k).toString().isEmpty());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(suya);
        f.close();
    }
}

TEST(SerieVenta, AnswerIsALetterAndAWholeNumber) {
    auto lee = [](const char* t) { return LeeDocumentoSerie(QString::fromLatin1(t)); };
    ASSERT_TRUE(lee("T456"));
    EXPECT_EQ(lee("t456")->letra, "T");
    EXPECT_EQ(lee("E12")->numero, 12);
    for (const char* malo : {"", "T", "T45x", "456", "X12", "T-4", "T 1.5"}) EXPECT_FALSE(lee(malo)) << malo;
}

TEST_F(VentasTest, DailyReportOpensOneWindowOrTwoWithTickets) {
    aceptaPrompt();
    EXPECT_EQ(ventadiaria(prompts), ResultadoReporte::Hecho);
    ASSERT_EQ(report::openPreviews().size(), 1);
    EXPECT_EQ(UltimaSolicitud().title, "FACTURAS -Ventas x Dia-");
    EXPECT_EQ(UltimaSolicitud().formulas.value("TipoDocto").toString(), "Facturas");
    EXPECT_EQ(UltimaSolicitud().formulas.value("Fecha").toString(), QDate::currentDate().toString("dd/MM/yyyy"));
    cierraVistas();

    G().ParTickets = 1;
    aceptaPrompt();
    EXPECT_EQ(ventadiaria(prompts), ResultadoReporte::Hecho);
    EXPECT_EQ(report::openPreviews().size(), 2);
    EXPECT_EQ(UltimaSolicitud().title, "TICKETS -Ventas x Dia-");
    cierraVistas();

    // "Impresora" with the listing switched on goes to the ticket printer, no window.
    G().VentasaTicket = 1;
    aceptaPrompt(1);
    EXPECT_EQ(ventadiaria(prompts), ResultadoReporte::Hecho);
    EXPECT_TRUE(report::openPreviews().isEmpty());
    EXPECT_TRUE(puerto().contains("REPORTE DE VENTAS DIARIAS."));
}

TEST_F(VentasTest, StartFormKeysOpenTodaysTickets) {
    shell::MIDI midi;
    ConectaMenusReportes(&midi);
    shell::frmPrincipal principal(&midi);
    principal.show();
    QTest::keyPress(&principal, Qt::Key_Control);
    QTest::keyPress(&principal, Qt::Key_Alt, Qt::ControlModifier);
    QTest::keyPress(&principal, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(report::openPreviews().size(), 1);
    EXPECT_TRUE(UltimaSolicitud().templatePath.endsWith("venta diaria01.html"));
    EXPECT_EQ(DatosVentas(UltimaSolicitud().rows).value("NumDocumentos").toInt(), 3);
    shell::OlvidaAbridores();
    shell::MIDI::AsignaVentadiaria(nullptr);
}

TEST_F(VentasTest, EverySalesTemplateRendersToPdf) {
    const QString salida = qEnvironmentVariable("QUORVEL_PDF_DIR");
    // Each window by its own title, never a "Reporte" of none or another report's.
    auto pdfDe = [&](const QString& nombre, const char* frase, const char* titulo = nullptr) {
        report::Request r = UltimaSolicitud();
        EXPECT_EQ(listaDeMapas(r.data), QString()) << nombre.toStdString();
        if (titulo) EXPECT_EQ(r.title, QString::fromUtf8(titulo)) << nombre.toStdString();
        r.destination = report::Destination::Pdf;
        r.pdfPath = salida.isEmpty() ? pdf(nombre + ".pdf") : QDir(salida).filePath(nombre + ".pdf");
        QString error;
        ASSERT_TRUE(report::run(r, &error)) << error.toStdString();
        const QString texto = reporttest::squeezed(reporttest::pdfText(r.pdfPath));
        EXPECT_TRUE(texto.contains(QString::fromUtf8(frase))) << nombre.toStdString() << ": " << texto.toStdString();
        cierraVistas();
    };
    aceptaPrompt();
    ASSERT_EQ(ventadiaria(prompts), ResultadoReporte::Hecho);
    pdfDe("diaria", "Total de ventas: $ 79.30");
    ASSERT_EQ(Ventadiaria2(prompts), ResultadoReporte::Hecho);
    pdfDe("diaria01", "Total de ventas: $ 48.51", "TICKETS -Ventas x Dia-");
    aceptaPrompt();
    ASSERT_EQ(VentaMensual(prompts), ResultadoReporte::Hecho);
    pdfDe("mensual", "Total de ventas: $ 48.51", "Ventas por Periodo TICKETS");
    aceptaPrompt();
    ASSERT_EQ(rMasVendidos(prompts), ResultadoReporte::Hecho);
    pdfDe("masvendidos", "Importe total: $ 127.81", "Productos +Vendidos");
    aceptaPrompt();
    ASSERT_EQ(vProdImporte(prompts), ResultadoReporte::Hecho);
    pdfDe("importe", "CUADERNO PROF", "Venta x Producto Importe");
    aceptaPrompt();
    ASSERT_EQ(rVEmpleado(prompts), ResultadoReporte::Hecho);
    pdfDe("empleado", "SIN VENDEDOR");
    prompts.pushInput("e5");
    ASSERT_EQ(ReporteSeriesVenta(prompts), ResultadoReporte::Hecho);
    pdfDe("series", "No. E5", "Imprimir Series-Venta");  // numbered by its document
    prompts.pushInput("T45x");
    EXPECT_EQ(ReporteSeriesVenta(prompts), ResultadoReporte::Cancelado);
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("Numero de documento no válido."));
}

}  // namespace
