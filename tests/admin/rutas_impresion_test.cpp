// Every print path against every kind of queue (raw, a page driver that passes PDF on, the
// spooler's generic PostScript and PDF drivers, a raw queue reached by its device, a stopped queue,
// a missing one) by every sending method and code set, through a cupsd of the test's own: each
// queue gets only the kind of job it takes (receipt bytes or a raster on a raw queue, pages in the
// driver's language on a driver queue, whatever the method says); the drawer pulse leaves as raw
// bytes of its own and is never drawn on a page; a stopped or missing queue gets nothing (no job
// held for later, also when it stops while a report is printed) and the person reads one short
// Spanish message that names the document, without control codes, the printout's text or a hole
// where a name is empty.

#include "fixture.h"

#include "cash/corte_impresion.h"
#include "cash/devolucion_comprobante.h"
#include "cupsd.h"
#include "pdftext.h"
#include "platform/print/impresoras.h"
#include "platform/report/report.h"
#include "printing/cajon.h"
#include "printing/impresoraticket.h"
#include "printing/pruebaimpresion.h"
#include "printing/reportes_existencias.h"
#include "printing/ticketventa.h"
#include "printing/ventasdiaticket.h"
#include "sale/documentos.h"
#include "sale/recuperacion.h"
#include "sale/impresion_factura.h"
#include "sale/impresion_factura_mp.h"
#include "shell/estado.h"
#include "shell/utilidades_menu.h"

#include <cups/cups.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>

namespace {

enum class Ruta { Ticket, Reimpresion, Prueba, Comprobante, CajonMenu, Corte, FacturaMP, Reporte, Factura, Listado,
                  Existencias };
// A raw queue, a queue whose PPD passes PDF pages on, the spooler's generic PostScript and PDF
// drivers, a raw queue reached by its device (the port path), and a queue that does not exist.
enum class Cola { Cruda, Driver, PostScript, Pdf, Puerto, Falta };

QString nombreCola(Cola c)
{
    static const char* n[] = {"Cruda", "Paginas", "PostScript", "Pdf", "Puerto", "NoExiste"};
    return QString::fromLatin1(n[int(c)]);
}

const char* nombre(Ruta r)
{
    static const char* n[] = {"ticket", "reimpresion", "prueba", "comprobante", "cajon", "corte", "facturaMP", "reporte",
                              "factura", "listado", "existencias"};
    return n[int(r)];
}

// Paths that print pages: a report printer is a queue, and a raw one refuses them.
bool dePaginas(Ruta r) { return r == Ruta::Reporte || r == Ruta::Factura; }

// How the failure message of each path begins: the document it names.
QString documento(Ruta r)
{
    switch (r) {
    case Ruta::Ticket: return "El ticket 5 quedó grabado, pero no se imprimió: ";
    case Ruta::Reimpresion: return "El ticket 5 no se imprimió: ";
    case Ruta::Prueba: return "La prueba de impresión no se imprimió: ";
    case Ruta::Comprobante: return "El comprobante de la devolución 900 no se imprimió: ";
    case Ruta::CajonMenu: return "No se abrió el cajón: ";
    case Ruta::Corte: return "El corte pendiente no se imprimió: ";
    case Ruta::FacturaMP:
    case Ruta::Factura: return "La factura F5 quedó grabada, pero no se imprimió: ";
    case Ruta::Reporte: return "";  // a report stores nothing: the queue's reason says it all
    case Ruta::Listado: return "El reporte de ventas diarias no se imprimió: ";
    case Ruta::Existencias: return "El listado de existencias no se imprimió: ";
    }
    return {};
}

// Jobs a path sends on a running queue, and whether one of them is the drawer pulse.
struct Esperado {
    int trabajos;
    bool pulso;
};
Esperado esperado(Ruta r)
{
    switch (r) {
    case Ruta::CajonMenu: return {1, true};
    case Ruta::Corte:
    case Ruta::Reporte:
    case Ruta::Factura:
    case Ruta::Listado:
    case Ruta::Existencias: return {1, false};
    default: return {2, true};
    }
}

const QByteArray kPulso("\x1bp0\x19\xfa");

// A job that is the drawer pulse alone: the pulse, with at most the initialise code and the port
// path's frame around it.
bool esPulso(QByteArray t)
{
    if (t.count(kPulso) != 1) return false;
    t.replace(kPulso, "");
    t.replace("\x1b@", "");
    for (char c : t)
        if (static_cast<unsigned char>(c) >= 0x20) return false;
    return true;
}

QByteArray lee(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int retenidos(const QString& cola)
{
    cups_job_t* trabajos = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &trabajos, cola.toUtf8().constData(), 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(n, trabajos);
    return n;
}

class RutasImpresionTest : public AdminTest {
protected:
    static void SetUpTestSuite()
    {
        suite = new CupsdSuite({{"Cruda", "socket://127.0.0.1:{oyente}"},
                                {"CrudaAlto", "socket://127.0.0.1:{oyente}"},
                                {"Puerto", "file:{carpeta}/puerto.prn"},
                                {"PuertoAlto", "file:{carpeta}/puerto_alto.prn"}});
        QString& e = suite->error;
        const QString disp = QStringLiteral("socket://127.0.0.1:%1").arg(suite->oyente.puerto());
        if (suite->listo) {
            // The spooler's own drivers, where this machine has them.
            QString sinDriver;
            hayPostScript = suite->cupsd.agregaColaDeDriver("PostScript", disp, "drv:///sample.drv/generic.ppd", &sinDriver);
            hayPdf = suite->cupsd.agregaColaDeDriver("Pdf", disp, "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd",
                                                     &sinDriver);
            if (!hayPostScript || !hayPdf)
                std::fprintf(stderr, "Sin cola PostScript o PDF del sistema: %s\n", qPrintable(sinDriver));
        }
        if (suite->listo)
            suite->listo = suite->cupsd.agregaColaConDriver("Paginas", disp, &e) &&
                           suite->cupsd.agregaColaConDriver("PaginasAlto", disp, &e) &&
                           suite->cupsd.agregaColaConDriver("PaginasPausa", disp, &e) &&
                           suite->cupsd.detenCola("CrudaAlto", true, &e) &&
                           suite->cupsd.detenCola("PaginasAlto", true, &e) &&
                           suite->cupsd.detenCola("PuertoAlto", true, &e);
    }
    static void TearDownTestSuite() { delete suite; }
    void SetUp() override
    {
        if (!suite->omision.isEmpty())
            GTEST_SKIP() << suite->omision.toStdString();
        ASSERT_TRUE(suite->listo) << suite->error.toStdString();
        AdminTest::SetUp();
        auto clave = suc->scalar("SELECT ClaveProducto FROM Producto WHERE Nombre <> 'VARIOS' LIMIT 1");
        ASSERT_TRUE(clave);
        ASSERT_TRUE(suc->exec("INSERT INTO Venta (Numero, Tipo, Cliente, Fecha, Total, IVAP) VALUES "
                              "(5, 'F', 'XAXX010101000', '2026-12-09 10:00:00', 58, 16), "
                              "(5, 'T', 'XAXX010101000', '2026-12-09 10:05:00', 58, 16)"));
        ASSERT_TRUE(suc->exec("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Iva) "
                              "VALUES (5, 'F', ?, 1, 58, 1), (5, 'T', ?, 1, 58, 1)",
                              {*clave, *clave}));
        ASSERT_TRUE(suc->exec("INSERT INTO EInventario (Numero, Fecha, Usuario, Descripcion, Docto) "
                              "VALUES (900, '2026-12-09 11:00:00', 1, 'Devolucion:DEFECTO', 'T 5')"));
        ASSERT_TRUE(suc->exec("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario) VALUES (900, ?, 1, 58)",
                              {*clave}));
        QFile plantilla(dir.filePath("prueba.html"));
        ASSERT_TRUE(plantilla.open(QIODevice::WriteOnly));
        plantilla.write("<html><body><p>REPORTE DE PRUEBA</p></body></html>");
        plantilla.close();
        venta::InstalaReimpresion({});
    }

    // Runs one path with the branch's ticket printer (and report printer) on `cola`.
    bool imprime(Ruta r, const QString& cola)
    {
        switch (r) {
        case Ruta::Ticket: return ImprimeTicketAvisando(5, prompts, true);
        case Ruta::Reimpresion: return shell::AccionesReimpresionActuales().ticket(5);
        case Ruta::Prueba: return ImprimePruebaTicket({cola, G().CodigosPTicket, 0, true}, prompts);
        case Ruta::Comprobante: return caja::ImprimeDevolucion(*Sucursal(), 900, prompts);
        case Ruta::CajonMenu: return AbreCajonAvisando(prompts);
        case Ruta::Corte: return caja::ImprimeCorte(*Sucursal(), caja::CorteImpreso{0, 5800, 0, 5800, {}}, prompts);
        case Ruta::FacturaMP:
            G().FacturaaTicket = 1;
            return venta::ImprimeFacturaGrabada(5, "F", {}, prompts);
        case Ruta::Factura:
            G().FacturaaTicket = 0;
            return venta::ImprimeFacturaGrabada(5, "F", {report::Destination::Printer, cola, {}}, prompts);
        case Ruta::Listado: return printing::ReporteVentasDiaTicket(false, QDate(2026, 12, 9), prompts);
        case Ruta::Reporte: return reporte(cola);
        case Ruta::Existencias: {
            const auto filas = suc->select("SELECT Nombre AS Descripcion, 4 AS Existencia FROM Producto LIMIT 3");
            return filas && printing::ImprimeExistenciasTicket(*filas, prompts);
        }
        }
        return false;
    }

    // A report of the test's template on `cola`, its failure told as the report windows tell it.
    bool reporte(const QString& cola)
    {
        report::Request q;
        q.templatePath = dir.filePath("prueba.html");
        q.title = "Prueba";
        q.destination = report::Destination::Printer;
        q.printer = cola;
        QString error;
        const bool ok = report::run(q, &error);
        if (!ok) static_cast<ui::Prompts&>(prompts).message(error, ui::Icon::Warning);
        return ok;
    }

    // Every path of `rutas` against every kind of queue.
    void recorre(std::initializer_list<Ruta> rutas);

    static inline CupsdSuite* suite = nullptr;
    static inline bool hayPostScript = false, hayPdf = false;
};


// What a job is, by its first bytes: a PDF page, a PostScript page, an ESC/POS raster image, or
// receipt text (the drawer pulse apart).
enum class Formato { Pdf, PostScript, Raster, Texto };
// A driver may put a printer job language header (PJL) before the page description.
QByteArray sinPjl(const QByteArray& t)
{
    if (!t.startsWith("\x1b%-12345X")) return t;
    for (const char* inicio : {"%PDF", "%!PS"})
        if (const qsizetype i = t.indexOf(inicio); i >= 0) return t.mid(i);
    return t;
}
Formato formatoDe(QByteArray t)
{
    t = sinPjl(t);
    if (t.startsWith("%PDF")) return Formato::Pdf;
    if (t.startsWith("%!PS")) return Formato::PostScript;
    if (t.contains("\x1dv0")) return Formato::Raster;
    return Formato::Texto;
}
const char* nombre(Formato f)
{
    static const char* n[] = {"PDF", "PostScript", "raster", "texto"};
    return n[int(f)];
}

// The sending method of the branch: MetodoImpresion and CodigosPTicket.
struct Metodo {
    int metodo, codigos;
};

}  // namespace

void RutasImpresionTest::recorre(std::initializer_list<Ruta> rutas)
{
    const QString puertoArchivo = suite->ruta("puerto.prn");
    const auto colas = {Cola::Cruda, Cola::Driver, Cola::PostScript, Cola::Pdf, Cola::Puerto, Cola::Falta};
    for (Ruta ruta : rutas) {
        for (Cola tipo : colas) {
            // Report printers are queues and the mini-printer's raster needs a queue.
            if (tipo == Cola::Puerto && (dePaginas(ruta) || ruta == Ruta::FacturaMP))
                continue;
            if ((tipo == Cola::PostScript && !hayPostScript) || (tipo == Cola::Pdf && !hayPdf))
                continue;
            // The method and code set choose the path of receipt text only: the printer object,
            // the port path to the queue's device and the spooler path, each on a driver's queue,
            // for the sale's ticket, the set-up test and the cut (which sends by the ticket's way
            // without a job of its own: the others start theirs as the ticket does).
            std::vector<Metodo> metodos = {{0, tipo == Cola::Puerto ? 1 : 0}};
            if (ruta == Ruta::Ticket || ruta == Ruta::Prueba || ruta == Ruta::Corte) {
                if (tipo == Cola::Cruda) metodos = {{0, 0}, {1, 0}};
                if (tipo == Cola::PostScript) metodos = {{0, 0}, {0, 1}, {1, 0}};
                if (tipo == Cola::Pdf) metodos = {{0, 1}, {1, 0}};
            }
            for (const Metodo& m : metodos) {
                for (bool detenida : {false, true}) {
                    if (detenida && (&m != &metodos.front() || tipo == Cola::Falta || tipo == Cola::PostScript ||
                                     tipo == Cola::Pdf))
                        continue;
                    const QString cola = nombreCola(tipo) + (detenida ? "Alto" : "");
                    SCOPED_TRACE(std::string(nombre(ruta)) + " en " + cola.toStdString() + " método "
                                 + std::to_string(m.metodo) + " códigos " + std::to_string(m.codigos));
                    auto& g = G();
                    g.Printer3 = cola;
                    g.Printer1 = cola;
                    g.MetodoImpresion = m.metodo;
                    g.CodigosPTicket = m.codigos;  // the port path takes the queue's device
                    g.OpenCDrawer = 1;
                    g.NTimesCajon = 1;
                    g.EspT = 0;
                    EstableceImpresoraActual(QString());
                    prompts.clear();
                    QFile::remove(puertoArchivo);
                    QFile::remove(suite->ruta("puerto_alto.prn"));
                    const size_t antes = suite->oyente.espera(0, 0).size();

                    const bool ok = imprime(ruta, cola);
                    const QStringList mensajes = prompts.messages();
                    for (const QString& m : mensajes) {
                        for (QChar c : m)
                            EXPECT_TRUE(c.unicode() >= 0x20 || c == '\n') << m.toStdString();
                        for (const char* codigo : {"p0", "a0", "M1", "@"})
                            EXPECT_FALSE(m.contains(codigo)) << m.toStdString();
                        // A name left empty is left out, never a hole.
                        for (const char* hueco : {" en.", " en ,", "\"\"", "  "})
                            EXPECT_FALSE(m.contains(hueco)) << m.toStdString();
                    }
                    // Said once, short, naming the document; a page for a raw queue is refused before
                    // anything is sent.
                    const bool rechazada = detenida || tipo == Cola::Falta || (tipo == Cola::Cruda && dePaginas(ruta));
                    if (rechazada) {
                        EXPECT_FALSE(ok);
                        ASSERT_EQ(mensajes.size(), 1) << mensajes.join("|").toStdString();
                        EXPECT_TRUE(mensajes[0].startsWith(documento(ruta))) << mensajes[0].toStdString();
                        const char* porque = detenida               ? "está detenida"
                                             : tipo == Cola::Falta ? "NoExiste"
                                                                   : "es de tickets y no imprime páginas";
                        EXPECT_TRUE(mensajes[0].contains(QString::fromUtf8(porque))) << mensajes[0].toStdString();
                        EXPECT_LT(mensajes[0].size(), 240) << mensajes[0].toStdString();
                        EXPECT_FALSE(mensajes[0].contains('\n')) << mensajes[0].toStdString();
                        for (const char* ajeno : {"Error al imprimir", "AV. JUAREZ", "TOTAL", "REPORTE DE PRUEBA", "Detalle"})
                            EXPECT_FALSE(mensajes[0].contains(ajeno)) << mensajes[0].toStdString();
                        if (ruta == Ruta::Ticket && detenida) {
                            EXPECT_EQ(mensajes[0], "El ticket 5 quedó grabado, pero no se imprimió: la cola de impresión "
                                                   + cola + " está detenida. Reimprímalo con Reimprimir factura (T5).");
                        }
                        if (ruta == Ruta::FacturaMP || ruta == Ruta::Factura) {
                            EXPECT_TRUE(mensajes[0].endsWith(". Reimprímala con Reimprimir factura (F5)."))
                                << mensajes[0].toStdString();
                        }
                        if (tipo != Cola::Falta) {
                            EXPECT_EQ(retenidos(cola), 0);
                        }
                        EXPECT_EQ(suite->oyente.espera(0, 0).size(), antes);
                        EXPECT_TRUE(lee(suite->ruta("puerto_alto.prn")).isEmpty());
                        continue;
                    }
                    ASSERT_TRUE(ok) << mensajes.join("|").toStdString();
                    EXPECT_TRUE(mensajes.isEmpty()) << mensajes.join("|").toStdString();
                    const Esperado e = esperado(ruta);
                    if (tipo == Cola::Puerto) {
                        // One write per job on the device, each in the port path's condensed frame.
                        const QByteArray bytes = lee(puertoArchivo);
                        const QByteArray marco = "\x0f\x1b@" + kPulso + "\r\n\x12";
                        EXPECT_EQ(bytes.count(kPulso), e.pulso ? 1 : 0);
                        if (e.pulso) {
                            EXPECT_TRUE(bytes.contains(marco));
                        }
                        EXPECT_EQ(bytes.count("\x0f"), e.trabajos);
                        continue;
                    }
                    const auto trabajos = suite->oyente.espera(antes + size_t(e.trabajos));
                    ASSERT_EQ(trabajos.size(), antes + size_t(e.trabajos)) << suite->cupsd.bitacora().toStdString();
                    // What a queue of this kind takes: pages in its driver's language, or bytes.
                    const Formato debido = tipo == Cola::PostScript              ? Formato::PostScript
                                           : tipo == Cola::Driver || tipo == Cola::Pdf ? Formato::Pdf
                                           : ruta == Ruta::FacturaMP               ? Formato::Raster
                                                                                   : Formato::Texto;
                    int pulsos = 0;
                    for (size_t i = antes; i < trabajos.size(); ++i) {
                        const QByteArray& t = trabajos[i];
                        if (esPulso(t)) {
                            ++pulsos;
                            continue;
                        }
                        EXPECT_FALSE(t.contains(kPulso));
                        EXPECT_EQ(nombre(formatoDe(t)), std::string(nombre(debido))) << t.left(80).toStdString();
                        if (formatoDe(t) == Formato::Pdf) {
                            const QString pdf = dir.filePath("pagina.pdf");
                            QFile f(pdf);
                            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                            f.write(sinPjl(t));
                            f.close();
                            const QString texto = reporttest::pdfText(pdf);
                            EXPECT_FALSE(texto.isEmpty());
                            for (const char* codigo : {"p0", "·", "a0", "M1"})
                                EXPECT_FALSE(texto.contains(QString::fromUtf8(codigo))) << texto.toStdString();
                        }
                        if (formatoDe(t) == Formato::PostScript) {
                            for (const char* codigo : {"\x1b", "\x1d"})
                                EXPECT_FALSE(sinPjl(t).contains(codigo));
                        }
                    }
                    EXPECT_EQ(pulsos, e.pulso ? 1 : 0);
                }
            }
        }
    }
}

// The table in two halves, each a test of its own: the receipts, then the drawer, the invoices,
// the reports and the listings.
TEST_F(RutasImpresionTest, EveryReceiptGetsEveryQueueOnlyTheKindOfJobItTakes)
{
    recorre({Ruta::Ticket, Ruta::Reimpresion, Ruta::Prueba, Ruta::Comprobante, Ruta::Corte});
}

TEST_F(RutasImpresionTest, EveryOtherPathGetsEveryQueueOnlyTheKindOfJobItTakes)
{
    recorre({Ruta::CajonMenu, Ruta::FacturaMP, Ruta::Reporte, Ruta::Factura, Ruta::Listado, Ruta::Existencias});
}

// A queue stopped while a report is laid out and painted: the job is not left waiting on it, and
// the person is told.
TEST_F(RutasImpresionTest, AQueueStoppedWhileAReportPrintsHoldsNothing)
{
    const size_t antes = suite->oyente.espera(0, 0).size();
    QString e;
    // The first step of the progress serves the timer: the queue stops after it was asked.
    QTimer::singleShot(0, [&] { suite->cupsd.detenCola("PaginasPausa", true, &e); });
    prompts.clear();
    EXPECT_FALSE(reporte("PaginasPausa"));
    ASSERT_TRUE(e.isEmpty()) << e.toStdString();
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0], "La cola de impresión PaginasPausa se detuvo antes de imprimir el trabajo. "
                                     "No se imprimió nada.");
    EXPECT_EQ(retenidos("PaginasPausa"), 0);
    // Started again, the queue prints nothing of it.
    ASSERT_TRUE(suite->cupsd.detenCola("PaginasPausa", false, &e)) << e.toStdString();
    EXPECT_EQ(suite->oyente.espera(antes + 1, 1500).size(), antes);
}

// No ticket printer set and no default queue: each path that sends receipt text says one whole
// message naming its document, with no hole where the printer's name would go.
TEST_F(RutasImpresionTest, WithNoTicketPrinterEachFailureIsOneWholeMessage)
{
    ASSERT_TRUE(print::ImpresoraPredeterminada().isEmpty());
    for (Ruta ruta : {Ruta::Ticket, Ruta::Reimpresion, Ruta::Comprobante, Ruta::Corte, Ruta::Prueba}) {
        SCOPED_TRACE(nombre(ruta));
        auto& g = G();
        g.Printer3.clear();
        g.Printer1.clear();
        g.MetodoImpresion = 0;
        g.CodigosPTicket = 0;
        g.OpenCDrawer = 0;
        EstableceImpresoraActual(QString());
        prompts.clear();
        const size_t antes = suite->oyente.espera(0, 0).size();
        EXPECT_FALSE(imprime(ruta, QString()));
        const QStringList mensajes = prompts.messages().filter(QRegularExpression("^(?!pulso cajon desact$)"));
        ASSERT_EQ(mensajes.size(), 1) << prompts.messages().join("|").toStdString();
        EXPECT_TRUE(mensajes[0].startsWith(documento(ruta))) << mensajes[0].toStdString();
        EXPECT_TRUE(mensajes[0].contains("No hay impresora de tickets ni impresora predeterminada", Qt::CaseInsensitive))
            << mensajes[0].toStdString();
        for (const char* hueco : {" en.", " en ,", "\"\"", "  "})
            EXPECT_FALSE(mensajes[0].contains(hueco)) << mensajes[0].toStdString();
        EXPECT_EQ(suite->oyente.espera(0, 0).size(), antes);
    }
}
