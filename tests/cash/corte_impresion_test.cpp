// The cash cut printout, byte for byte for code sets 0, 1 and 3 (the expected bytes are kept in
// data/; CASH_REGENERA=1 rewrites them: check them before keeping), its rules read off the text,
// the sending failures, and the job on a real raw queue of a cupsd of the test's own.

#include "movimientos_datos.h"

#include "capture_control/ccaptura.h"
#include "cash/cancelacion.h"
#include "cash/corte.h"
#include "cash/corte_impresion.h"
#include "catalogs/productos.h"
#include "cash/forms/frmcortescaja.h"
#include "cupsd.h"
#include "platform/print/codepage850.h"
#include "printing/impresoraticket.h"
#include "printing/textoticket.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cups/cups.h>

using namespace caja;

namespace {

const QDateTime kImpreso(QDate(2026, 12, 9), QTime(21, 5, 30));

class CortePapel : public DatosCaja {
protected:
    void SetUp() override
    {
        DatosCaja::SetUp();
        EstadoGlobal& g = G();
        g.NombreEmp = QStringLiteral("ABARROTES LA ESPAÑOLA");
        g.RFCEmpresa = QStringLiteral("CPE010203AB4");
        g.DescripcionSuc[1] = QStringLiteral("SUCURSAL CENTRO");
        g.DireccionSuc[1] = QStringLiteral("Av. Juárez 12[ENTER]Col. Centro");
        g.TelefonoSuc[1] = QStringLiteral("555-0101");
        EstableceImpresoraActual(QString());
        Productos();
    }
    void Productos()
    {
        for (const auto& [clave, codigo, nombre, descripcion] :
             {std::tuple{9001, "A100", "CAFE", "CAFE SOLUBLE 200G EN FRASCO"}, std::tuple{9002, "B200", "TORTILLA", ""},
              std::tuple{9003, "C300", "JABON", "JABON DE TOCADOR"}})
            ASSERT_TRUE(bd()->exec("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, Descripcion) VALUES (?,?,?,?)",
                                   {clave, codigo, nombre, descripcion}));
    }
    void Documento(qint64 numero, const QString& tipo, double total, int status, qint64 corte, double descFact = 0)
    {
        ASSERT_TRUE(bd()->exec("INSERT INTO Venta (Numero, Tipo, Fecha, Total, Status, IdCorte, Descuento) VALUES (?,?,?,?,?,?,?)",
                               {numero, tipo, "2026-12-09 10:00:00", total, status, corte, descFact}));
    }
    void Linea(qint64 numero, const QString& tipo, int clave, double cantidad, double precio, double desc, int iva)
    {
        ASSERT_TRUE(bd()->exec("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Descuento, Iva) "
                               "VALUES (?,?,?,?,?,?,?)",
                               {numero, tipo, clave, cantidad, precio, desc, iva}));
    }
    void Corte(qint64 id, const QString& obs, double importe)
    {
        ASSERT_TRUE(bd()->exec("INSERT INTO CortesCaja VALUES (?, ?, '2026-12-09 21:00:00', 1, ?)", {id, obs, importe}));
    }
    // Cut 1: a ticket with a discounted line and 2.5 pieces, a ticket cancelled after the cut, an
    // electronic invoice of the ticket's number with a general discount, two movements and a
    // cancelled one.
    void CorteCompleto()
    {
        Documento(1, "T", 43.75, 1, 1);
        Linea(1, "T", 9001, 3, 12.5, 10, 16);
        Linea(1, "T", 9002, 2.5, 4, 0, 0);
        Documento(3, "T", 20, 0, 1);
        Linea(3, "T", 9002, 1, 20, 0, 0);
        Documento(1, "E", 95, 1, 1, 5);
        Linea(1, "E", 9003, 2, 50, 0, 16);
        Movimiento(1, MovEntrada, 100, 1, 1, 1, "FONDO DE CAJA");
        Movimiento(2, MovSalida, 30, 1, 1, 1, "PAGO DE GARRAFONES DE AGUA");
        Movimiento(3, MovEntrada, 999, 0, 1, 1, "CANCELADO");
        Corte(1, "TURNO 1", 228.75);
    }
    CorteImpreso Guardado(qint64 id)
    {
        auto c = FigurasCorteGuardado(*bd(), id);
        EXPECT_TRUE(c);
        CorteImpreso r = c.value_or(CorteImpreso{});
        r.impreso = kImpreso;
        return r;
    }
    QByteArray Construye(const CorteImpreso& c, int juego)
    {
        G().CodigosPTicket = juego;
        db::Error e;
        EXPECT_TRUE(ConstruyeCorte(*bd(), c, &e)) << e.message.toStdString();
        return print::aCp850(TextoTicket());
    }
};

QString RutaDatos(const QString& nombre) { return QDir(QStringLiteral(CASH_TEST_DATA)).filePath(nombre); }

void ComparaConArchivo(const QByteArray& bytes, const QString& nombre)
{
    QFile f(RutaDatos(nombre));
    if (qEnvironmentVariableIsSet("CASH_REGENERA")) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return;
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << nombre.toStdString();
    const QByteArray esperado = f.readAll();
    EXPECT_EQ(bytes, esperado) << nombre.toStdString() << " got:\n" << bytes.toStdString();
}

QStringList Lineas() { return TextoTicket().split(u'\n'); }

}  // namespace

TEST_F(CortePapel, WholeCutsByteForByte)
{
    CorteCompleto();
    for (int juego : {0, 1, 3})
        ComparaConArchivo(Construye(Guardado(1), juego), QStringLiteral("corte_juego%1.bin").arg(juego));

    Documento(9, "T", 15, 1, 2);
    Linea(9, "T", 9003, 1, 15, 0, 16);
    Corte(2, "TARDE", 15);
    ComparaConArchivo(Construye(Guardado(2), 0), QStringLiteral("corte_sin_facturas_juego0.bin"));

    // The pending cut prints cut 00000 with the figures on screen.
    Documento(11, "T", 14.5, 1, 0);
    Linea(11, "T", 9001, 2, 7.25, 0, 16);
    Movimiento(4, MovEntrada, 50);
    const auto p = CargaCorte(*bd(), 0, false);
    ASSERT_TRUE(p);
    ComparaConArchivo(Construye({0, p->ventasCentavos, p->movimientosCentavos, p->finalCentavos(), kImpreso}, 3),
                      QStringLiteral("corte_pendiente_juego3.bin"));
}

TEST_F(CortePapel, DocumentsPiecesExemptAmountAndMovementsReadAsTheScreenCounts)
{
    CorteCompleto();
    Construye(Guardado(1), 0);
    const QStringList l = Lineas();
    auto tiene = [&l](const QString& s) { return l.contains(s); };
    // Fractions kept; the discounted line and its discount; a ticket cancelled after the cut prints
    // as the cut took it.
    EXPECT_TRUE(tiene("(3)00001      37.50 CAFE SOLUBLE 200G")) << TextoTicket().toStdString();
    EXPECT_TRUE(tiene("-Desc. al prod. 10% = 33.75"));
    EXPECT_TRUE(tiene("(2.5)00001      10.00 TORTILLA"));
    EXPECT_TRUE(tiene("TOTAL Venta: 00001 $43.75 "));
    EXPECT_TRUE(tiene("(1)00003      20.00 TORTILLA"));
    EXPECT_TRUE(tiene("TOTAL Venta: 00003 $20.00 "));
    EXPECT_TRUE(tiene("Total 6.5 Pzas."));
    EXPECT_TRUE(tiene("Total CORTE    = 63.75"));
    EXPECT_EQ(l.count("Importe Exento = 30.00"), 1);
    // The electronic invoice is on the paper, apart from the ticket of its number.
    EXPECT_TRUE(tiene("FACTURAS. IdCorte: 00001 TURNO 1 "));
    EXPECT_TRUE(tiene("-Desc: 00001= 5% 5.00"));  // 5 % of the 100.00 of its lines, not of what was paid
    EXPECT_TRUE(tiene("TOTAL Venta: 00001 $95.00 "));
    EXPECT_TRUE(tiene("Total CORTE    = 95.00"));
    // Active movements only, out of the drawer negative.
    EXPECT_TRUE(tiene("0001     100.00 ADMIN FONDO DE CAJA"));
    // Whole descriptions: "Cancelacion V:T90" must not print as "Cancelacion V:T".
    EXPECT_TRUE(tiene("0002     -30.00 ADMIN PAGO DE GARRAFONES DE AGUA"));
    EXPECT_FALSE(TextoTicket().contains("CANCELADO"));
    EXPECT_TRUE(tiene("Saldo Movimientos: $ 70.00"));
    // The summary of a stored cut is its own: sales 158.75, movements 70, stored 228.75.
    EXPECT_TRUE(tiene("Saldo de movimientos=       70.00"));
    EXPECT_TRUE(TextoTicket().contains("Saldo Final del corte=      228.75\n\n\n\n\n\n"));
    EXPECT_TRUE(TextoTicket().contains("Suma de ventas=      158.75"));
}

TEST_F(CortePapel, TheExemptAmountIsWhatWasChargedForTheExemptLines)
{
    // 2 x 10.00 less 10 % on the line and 10 % on the ticket: 16.20 charged.
    Documento(20, "T", 16.20 + 9, 1, 5, 10);
    Linea(20, "T", 9002, 2, 10, 10, 0);
    Linea(20, "T", 9001, 1, 10, 0, 16);
    Corte(5, "X", 25.20);
    Construye(Guardado(5), 0);
    EXPECT_TRUE(Lineas().contains("Importe Exento = 16.20")) << TextoTicket().toStdString();
}

TEST_F(CortePapel, AClosedCutReprintsUnchangedAfterOneOfItsTicketsIsCancelled)
{
    Documento(7, "T", 25, 1, 0);
    Linea(7, "T", 9002, 2.5, 10, 0, 0);
    Documento(8, "T", 10, 1, 0);
    Linea(8, "T", 9001, 1, 10, 0, 16);
    Movimiento(1, MovEntrada, 100);
    const auto pendiente = CargaCorte(*bd(), 0, false);
    ASSERT_TRUE(pendiente);
    db::LockWait espera;
    espera.serveEvents = false;
    const ResultadoCorte corte = CreaCorte(*bd(), *pendiente, "TURNO", 1, espera);
    ASSERT_EQ(corte.estado, ResultadoCorte::Creado);
    const QByteArray antes = Construye(Guardado(corte.idCorte), 0);
    ASSERT_EQ(CancelaDocumento(*bd(), 7, "T", espera), Baja::Hecha);
    EXPECT_EQ(Construye(Guardado(corte.idCorte), 0), antes);
    // Nor when a product it sold leaves the catalogue.
    ASSERT_TRUE(catalogos::BorraProducto(*bd(), 9002));
    EXPECT_EQ(Construye(Guardado(corte.idCorte), 0), antes);
    EXPECT_TRUE(antes.contains("Saldo Final del corte=      135.00"));
    // The 25.00 handed back leaves the drawer in the pending cut.
    EXPECT_EQ(CargaCorte(*bd(), 0, false)->finalCentavos(), -2500);
}

TEST_F(CortePapel, APaperAndAnElectronicInvoiceOfOneNumberNeverMerge)
{
    Documento(5, "F", 10, 1, 3);
    Linea(5, "F", 9001, 1, 10, 0, 16);
    Documento(5, "E", 30, 1, 3);
    Linea(5, "E", 9001, 1, 30, 0, 16);
    Corte(3, "X", 40);
    Construye(Guardado(3), 0);
    EXPECT_EQ(Lineas().count("TOTAL Venta: 00005 $10.00 ") + Lineas().count("TOTAL Venta: 00005 $30.00 "), 2)
        << TextoTicket().toStdString();
    EXPECT_TRUE(Lineas().contains("Total CORTE    = 40.00"));
}

TEST_F(CortePapel, AnUnknownQueueSendsNothingAndPrintingWritesNothing)
{
    CorteCompleto();
    const QString antes = Valor("SELECT group_concat(Numero || Tipo || Status || IdCorte) FROM Venta").toString() +
                          Valor("SELECT group_concat(IdMovimiento || EstatusMov || IdCorte) FROM MovimientosCaja").toString() +
                          Valor("SELECT group_concat(IdCorte || ImporteCorte) FROM CortesCaja").toString();
    G().Printer3 = QStringLiteral("NoInstalada");
    G().MetodoImpresion = 1;
    EXPECT_FALSE(ImprimeCorte(*bd(), Guardado(1), prompts));
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.lastMessage().contains("NoInstalada"));
    EXPECT_TRUE(TextoTicket().isEmpty());
    const QString despues = Valor("SELECT group_concat(Numero || Tipo || Status || IdCorte) FROM Venta").toString() +
                            Valor("SELECT group_concat(IdMovimiento || EstatusMov || IdCorte) FROM MovimientosCaja").toString() +
                            Valor("SELECT group_concat(IdCorte || ImporteCorte) FROM CortesCaja").toString();
    EXPECT_EQ(antes, despues);
}

namespace {

class CorteCups : public CortePapel {
protected:
    static void SetUpTestSuite()
    {
        cupsd = new CupsdPrueba;
        oyente = new OyenteSocket;
        QString razon;
        if (!cupsd->inicia(&razon)) {
            if (razon.startsWith(QStringLiteral("cupsd is not installed"))) omision = razon;
            else errorInicio = razon;
            return;
        }
        listo = cupsd->agregaColaCruda(QStringLiteral("TicketsCorte"),
                                       QStringLiteral("socket://127.0.0.1:%1").arg(oyente->puerto()), &errorInicio);
    }
    static void TearDownTestSuite()
    {
        delete oyente;
        delete cupsd;
    }
    void SetUp() override
    {
        if (!omision.isEmpty()) GTEST_SKIP() << omision.toStdString();
        ASSERT_TRUE(listo) << errorInicio.toStdString();
        CortePapel::SetUp();
        G().Printer3 = QStringLiteral("TicketsCorte");
        G().MetodoImpresion = 1;
        G().CodigosPTicket = 1;
    }
    // Titles of the jobs the queue took.
    static QStringList Trabajos()
    {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "TicketsCorte", 0, CUPS_WHICHJOBS_ALL);
        QStringList t;
        for (int i = 0; i < n; ++i) t << QString::fromUtf8(jobs[i].title);
        cupsFreeJobs(n, jobs);
        return t;
    }

    static inline CupsdPrueba* cupsd = nullptr;
    static inline OyenteSocket* oyente = nullptr;
    static inline bool listo = false;
    static inline QString omision, errorInicio;
};

}  // namespace

TEST_F(CorteCups, TheQueueReceivesTheJobCorteByteForByte)
{
    CorteCompleto();
    const size_t antes = oyente->espera(0, 0).size();
    ASSERT_TRUE(ImprimeCorte(*bd(), Guardado(1), prompts)) << prompts.messages().join("|").toStdString();
    EXPECT_TRUE(TextoTicket().isEmpty());
    const auto recibidos = oyente->espera(antes + 1);
    ASSERT_EQ(recibidos.size(), antes + 1) << cupsd->bitacora().toStdString();
    QFile f(RutaDatos(QStringLiteral("corte_juego1.bin")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(recibidos.back(), f.readAll());
    EXPECT_TRUE(Trabajos().contains("Corte")) << Trabajos().join("|").toStdString();
}

TEST_F(CorteCups, CreatingACutAndAnsweringYesPrintsIt)
{
    GuardaVenta(*bd(), 21, "T", QDate::currentDate().toString(Qt::ISODate) + " 09:00:00", 75);
    Movimiento(1, MovEntrada, 20);
    Movimiento(2, MovEntrada, 5, 1, 0, 1, "NO EN EL CORTE", QDate::currentDate().toString(Qt::ISODate) + " 08:00:00");
    G().OpenCDrawer = 0;
    const size_t antes = oyente->espera(0, 0).size();
    frmCortesCaja forma(nullptr, &prompts);
    forma.show();
    QLineEdit* obs = forma.capObservacion->findChild<QLineEdit*>();
    QTest::keyClicks(obs, "NOCHE");
    prompts.pushAnswer(ui::Answer::Yes);  // create
    prompts.pushAnswer(ui::Answer::Yes);  // print
    QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
    const auto recibidos = oyente->espera(antes + 1);
    ASSERT_EQ(recibidos.size(), antes + 1) << prompts.messages().join("|").toStdString();
    const QByteArray job = recibidos.back();
    EXPECT_TRUE(job.contains("TICKETS. IdCorte: 00001 NOCHE \n")) << job.toStdString();
    EXPECT_TRUE(job.contains("Saldo Final del corte=      100.00"));
    EXPECT_TRUE(job.contains("Saldo Movimientos: $ 25.00"));
    EXPECT_EQ(prompts.messages(), QStringList{"pulso cajon desact"});

    // Printing the cut again from the past list sends the same figures.
    forma.IdCorteActual = 1;
    QTest::mouseClick(forma.cmdImprimir, Qt::LeftButton);
    const auto otra = oyente->espera(antes + 2);
    ASSERT_EQ(otra.size(), antes + 2);
    EXPECT_TRUE(otra.back().contains("Saldo Final del corte=      100.00"));
}

TEST_F(CorteCups, WithoutATicketPrinterNothingIsSent)
{
    CorteCompleto();
    G().Printer3.clear();
    const size_t antes = oyente->espera(0, 0).size();
    EXPECT_FALSE(ImprimeCorte(*bd(), Guardado(1), prompts));
    EXPECT_EQ(prompts.messages(),
              QStringList{"El corte 1 quedó grabado, pero no se imprimió: no hay impresora de tickets ni impresora "
                          "predeterminada. Reimprímalo desde Cortes anteriores: doble clic en el corte 1 y luego Imprimir."});
    EXPECT_TRUE(TextoTicket().isEmpty());
    QTest::qWait(500);
    EXPECT_EQ(oyente->espera(0, 0).size(), antes);
}
