#include "fixture.h"

#include "apps/setup/datasetup.h"
#include "folio_server/monitor.h"
#include "platform/system/system.h"

#include <QFile>
#include <QLockFile>

#include <map>

using namespace tarvex;
using Cola = std::vector<std::pair<int, qint64>>;

namespace {

// Records the invoices asked for; answers Impresa unless told otherwise for a number.
struct ImpresorFalso {
    std::vector<qint64> impresas;
    std::map<qint64, ResultadoFactura> respuestas;
    Monitor::Impresor funcion() {
        return [this](Sucursal&, qint64 n) {
            impresas.push_back(n);
            auto it = respuestas.find(n);
            Impresion r;
            r.resultado = it == respuestas.end() ? ResultadoFactura::Impresa : it->second;
            if (r.resultado == ResultadoFactura::Falla) r.mensaje = "La impresora no responde.";
            return r;
        };
    }
};

}  // namespace

class MonitorTest : public ServidorTest {
protected:
    void SetUp() override {
        ServidorTest::SetUp();
        if (HasFatalFailure()) return;
        monitor = std::make_unique<Monitor>(rutaDireccion(), prompts);
        monitor->setImpresor(impresor.funcion());
    }
    void inicia() {
        ASSERT_EQ(monitor->IniciaMonitor(), Arranque::Listo) << prompts.lastMessage().toStdString();
    }
    std::vector<Paso> ticks(int n) {
        std::vector<Paso> v;
        for (int i = 0; i < n; ++i) v.push_back(monitor->Tick());
        return v;
    }
    Direccion direccion() {
        Direccion d;
        QString error;
        EXPECT_TRUE(LeeDireccion(rutaDireccion(), &d, &error)) << error.toStdString();
        return d;
    }

    ImpresorFalso impresor;
    std::unique_ptr<Monitor> monitor;
};

// --- start-up ---

TEST_F(MonitorTest, StartsOnTheBranchOfItsOwnAddressFile) {
    ASSERT_TRUE(bd->exec("UPDATE Parametros SET PrefijoFact = 'A'"));
    inicia();
    EXPECT_EQ(monitor->estado().CarpetaBase, data);
    EXPECT_EQ(monitor->estado().NumSucursal, 1);
    EXPECT_EQ(monitor->estado().CarpetaSucursal, "Matriz");
    EXPECT_EQ(monitor->estado().PrefijoFact, "A");
    EXPECT_TRUE(monitor->ServicioActivo());
    EXPECT_EQ(monitor->Folios().size(), 9u);
    EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST_F(MonitorTest, BadConfigurationIsToldAndServingStaysStopped) {
    // A branch without a row in Sucursales.
    ASSERT_TRUE(EscribeDireccion(rutaDireccion(), {data, 7}, nullptr));
    EXPECT_EQ(monitor->IniciaMonitor(), Arranque::Falla);
    EXPECT_EQ(prompts.lastMessage(), "No existe la sucursal 7");
    EXPECT_FALSE(monitor->ServicioActivo());
    EXPECT_EQ(monitor->Tick(), Paso::Detenido);
    // The operator can still see what was configured, to fix it.
    EXPECT_EQ(monitor->estado().NumSucursal, 7);

    // A data folder that is not there.
    ASSERT_TRUE(EscribeDireccion(rutaDireccion(), {tmp.filePath("no hay"), 1}, nullptr));
    EXPECT_EQ(monitor->IniciaMonitor(), Arranque::Falla);
    EXPECT_TRUE(prompts.lastMessage().startsWith("No existe la carpeta de datos"));

    // A branch file that is not a database.
    ASSERT_TRUE(EscribeDireccion(rutaDireccion(), {data, 1}, nullptr));
    const QString rama = datasetup::rutaSucursal(data, "Matriz");
    bd.reset();
    db::Database::closeAll(rama);
    QFile f(rama);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(4096, 'x'));
    f.close();
    EXPECT_EQ(monitor->IniciaMonitor(), Arranque::Falla);
    EXPECT_FALSE(monitor->ServicioActivo());

    // Its own address file without its row.
    auto dir = db::Database::open(rutaDireccion());
    ASSERT_TRUE(dir);
    ASSERT_TRUE(dir->exec("DELETE FROM Direccion"));
    dir.reset();
    EXPECT_EQ(monitor->IniciaMonitor(), Arranque::Falla);
    EXPECT_TRUE(prompts.lastMessage().contains("no tiene renglón")) << prompts.lastMessage().toStdString();
    EXPECT_FALSE(EscribeDireccion(rutaDireccion(), {data, 1}, nullptr));
}

TEST_F(MonitorTest, AServerStartedOnABadBranchServesOnceTheOperatorPointsItRight) {
    ASSERT_TRUE(EscribeDireccion(rutaDireccion(), {data, 7}, nullptr));
    ASSERT_EQ(monitor->IniciaMonitor(), Arranque::Falla);
    encola(4, 1);
    EXPECT_EQ(monitor->Tick(), Paso::Detenido);
    ASSERT_TRUE(monitor->CambiaRuta(data, 1));
    EXPECT_TRUE(monitor->ServicioActivo());
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    EXPECT_EQ(direccion().NumSucursal, 1);
}

TEST_F(MonitorTest, OneServerPerDataFolderAndBranch) {
    inicia();
    EXPECT_TRUE(monitor->TieneBloqueo());
    EXPECT_TRUE(sys::isLockHeld(sys::printServerLockPath(data, 1)));

    Monitor segundo(rutaDireccion(), prompts);
    EXPECT_EQ(segundo.IniciaMonitor(), Arranque::YaAtendida);
    EXPECT_FALSE(segundo.ServicioActivo());
    EXPECT_TRUE(prompts.messages().isEmpty());  // quietly

    // Another branch of the same folder is free.
    agregaSucursal2();
    ASSERT_TRUE(EscribeDireccion(rutaDireccion(), {data, 2}, nullptr));
    EXPECT_EQ(segundo.IniciaMonitor(), Arranque::Listo);

    // The first server cannot move onto the branch the second one serves; it keeps its own.
    EXPECT_FALSE(monitor->CambiaRuta(data, 2));
    EXPECT_TRUE(prompts.lastMessage().startsWith("Otro servidor de impresión ya atiende la sucursal 2"));
    EXPECT_EQ(monitor->estado().NumSucursal, 1);
    EXPECT_TRUE(monitor->ServicioActivo());
    EXPECT_EQ(direccion().NumSucursal, 2);  // as the second server wrote it

    // Once the first server is gone its branch can be taken.
    monitor.reset();
    Monitor tercero(rutaDireccion(), prompts);
    ASSERT_TRUE(EscribeDireccion(rutaDireccion(), {data, 1}, nullptr));
    EXPECT_EQ(tercero.IniciaMonitor(), Arranque::Listo);
}

// --- change of branch ---

TEST_F(MonitorTest, ConfirmedChangeServesTheNewBranchFromItsLowestRequest) {
    inicia();
    encola(4, 10);
    encola(4, 11);
    monitor->Tick();
    ASSERT_EQ(monitor->estado().UltimoAtendido, 10);

    agregaSucursal2();
    ASSERT_TRUE(monitor->CambiaRuta(data + "/", 2));
    EXPECT_EQ(direccion().CarpetaBase, data);
    EXPECT_EQ(direccion().NumSucursal, 2);
    EXPECT_EQ(monitor->estado().CarpetaSucursal, "Norte");
    EXPECT_EQ(monitor->estado().UltimoAtendido, 0);
    EXPECT_TRUE(sys::isLockHeld(sys::printServerLockPath(data, 2)));
    EXPECT_FALSE(sys::isLockHeld(sys::printServerLockPath(data, 1)));

    db::OpenOptions oo;
    oo.password = datasetup::claveArchivos();
    auto norte = db::Database::open(datasetup::rutaSucursal(data, "Norte"), oo);
    ASSERT_TRUE(norte);
    ASSERT_TRUE(norte->exec("INSERT INTO Solicitafolios (FolioSolicita, valordev) VALUES (4, 500)"));
    monitor->Tick();
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{10, 500}));
    EXPECT_EQ(cola(), (Cola{{4, 11}}));  // branch 1's request waits for its own server
}

TEST_F(MonitorTest, FailedChangeWritesNothingAndKeepsServing) {
    inicia();
    encola(4, 3);
    monitor->Tick();
    const QString otra = otraCarpetaDatos();

    // 19 is in range but has no branch: refused before anything is written.
    EXPECT_FALSE(monitor->CambiaRuta(otra, 19));
    EXPECT_EQ(prompts.lastMessage(), "No existe la sucursal 19");
    EXPECT_FALSE(monitor->CambiaRuta(tmp.filePath("no hay"), 1));
    EXPECT_EQ(direccion().CarpetaBase, data);
    EXPECT_EQ(direccion().NumSucursal, 1);
    EXPECT_EQ(monitor->estado().CarpetaBase, data);
    EXPECT_EQ(monitor->estado().UltimoAtendido, 3);
    EXPECT_TRUE(monitor->ServicioActivo());
    encola(4, 4);
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);

    // The same branch in another data folder is another lock.
    EXPECT_TRUE(monitor->CambiaRuta(otra, 1));
    EXPECT_EQ(direccion().CarpetaBase, otra);
    EXPECT_EQ(monitor->estado().UltimoAtendido, 0);
}

// --- serving order ---

TEST_F(MonitorTest, InvoicesAreServedInConsecutiveOrderAndOtherRequestsStay) {
    encola(4, 13);
    encola(6, 11);
    encola(4, 11);
    encola(4, 10);
    inicia();

    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{10, 11}));
    EXPECT_EQ(cola(), (Cola{{4, 13}, {6, 11}}));
    EXPECT_EQ(monitor->log(), (QStringList{"Atendida la solicitud para folio 4 valor= 10",
                                           "Atendida la solicitud para folio 4 valor= 11"}));

    EXPECT_EQ(ticks(3), (std::vector<Paso>(3, Paso::Esperando)));
    EXPECT_EQ(monitor->aviso(), "Esperando folio 12");
    EXPECT_EQ(monitor->Pendientes(), 1);

    // A ticket request carrying 12 is not the invoice awaited: the wait goes on and says so.
    encola(6, 12);
    EXPECT_EQ(monitor->Tick(), Paso::Esperando);
    EXPECT_EQ(monitor->aviso(), "Esperando folio 12");
    encola(4, 12);
    EXPECT_EQ(ticks(3), (std::vector<Paso>{Paso::Atendida, Paso::Atendida, Paso::Esperando}));
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{10, 11, 12, 13}));
    EXPECT_EQ(cola(), (Cola{{6, 11}, {6, 12}}));
    EXPECT_EQ(monitor->aviso(), "Esperando folio 14");
}

TEST_F(MonitorTest, EmptyRequestsAreDeletedAtTheirTurn) {
    encola(7, 0);
    encola(4, 0);
    encola(4, 5);
    inicia();
    EXPECT_EQ(monitor->Tick(), Paso::BorradaCero);  // (4,0) sorts first
    EXPECT_EQ(monitor->log().last(), "Solicitud para folio 0 borrada ");
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    EXPECT_EQ(cola(), (Cola{{7, 0}}));
    // Waiting for 6, the empty request is not the current row: it stays until a restart.
    EXPECT_EQ(monitor->Tick(), Paso::Esperando);
    inicia();
    EXPECT_EQ(monitor->Tick(), Paso::BorradaCero);
    EXPECT_TRUE(cola().empty());
    EXPECT_EQ(monitor->Tick(), Paso::SinSolicitudes);
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{5}));
}

TEST_F(MonitorTest, OnlyOtherRequestKindsAreNeverServedNorDeleted) {
    encola(6, 1);
    encola(7, 2);
    encola(9, 3);
    inicia();
    EXPECT_EQ(ticks(5), (std::vector<Paso>(5, Paso::SinAtender)));
    EXPECT_EQ(cola(), (Cola{{6, 1}, {7, 2}, {9, 3}}));
    EXPECT_TRUE(impresor.impresas.empty());
    EXPECT_EQ(monitor->Pendientes(), 0);
}

TEST_F(MonitorTest, AfterACounterResetServingRestartsFromTheLowestNumber) {
    encola(4, 40);
    encola(4, 41);
    inicia();
    ticks(2);
    // The invoice counter was set back: every waiting number is below the last one served.
    encola(4, 2);
    encola(4, 1);
    encola(6, 3);
    EXPECT_EQ(ticks(3), (std::vector<Paso>{Paso::Atendida, Paso::Atendida, Paso::Esperando}));
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{40, 41, 1, 2}));
    EXPECT_EQ(monitor->estado().UltimoAtendido, 2);
    EXPECT_EQ(monitor->aviso(), "Esperando folio 3");
}

TEST_F(MonitorTest, AReprintDoesNotBreakTheRunOfNewInvoices) {
    encola(4, 20);
    inicia();
    monitor->Tick();
    encola(4, 7);  // reprint of an old invoice
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    encola(4, 22);
    encola(4, 21);
    ticks(3);
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{20, 7, 21, 22}));
    EXPECT_TRUE(cola().empty());
}

// Requests of codes 7 and 9 carry numbers of other counters: holding the awaited number, after a
// gap or after a reprint, they never stop the paper invoices.
TEST_F(MonitorTest, OtherCodesHoldingTheAwaitedNumberNeverStopTheInvoices) {
    for (qint64 n : {8, 10, 11, 12}) guardaFactura(n);
    encola(4, 10);
    inicia();
    ASSERT_EQ(monitor->Tick(), Paso::Atendida);
    encola(7, 11);
    encola(9, 11);
    EXPECT_EQ(monitor->Tick(), Paso::Esperando);
    EXPECT_EQ(monitor->aviso(), "Esperando folio 11");
    // 11 was printed at its terminal: 12 goes on past the other codes' rows.
    encola(4, 12);
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{10, 12}));

    // A reprint of 7; a credit note numbered 8 then waits beside the next invoice.
    encola(4, 7);
    ASSERT_EQ(monitor->Tick(), Paso::Atendida);
    encola(9, 8);
    EXPECT_EQ(monitor->Tick(), Paso::Esperando);
    EXPECT_EQ(monitor->aviso(), "Esperando folio 13");  // 8 was printed in its time
    encola(4, 13);
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{10, 12, 7, 13}));
    EXPECT_EQ(cola(), (Cola{{7, 11}, {9, 8}, {9, 11}}));
}

// A request that will never come (its invoice is stored without one) must not stop the serving;
// a number that is not stored yet is still waited for.
TEST_F(MonitorTest, AStoredInvoiceWithoutRequestIsPassedOver) {
    guardaFactura(10);
    encola(4, 10);
    inicia();
    ASSERT_EQ(monitor->Tick(), Paso::Atendida);

    // 12 queued but neither 11 nor 12 stored: strict order, wait for 11.
    encola(4, 12);
    EXPECT_EQ(ticks(2), (std::vector<Paso>(2, Paso::Esperando)));
    EXPECT_EQ(monitor->aviso(), "Esperando folio 11");

    // A terminal without the print server printed 11 itself: 12 goes next, even after a failed
    // print of it is retried.
    guardaFactura(11);
    guardaFactura(12);
    impresor.respuestas[12] = ResultadoFactura::Falla;
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_EQ(monitor->Tick(), Paso::FallaImpresion);
    impresor.respuestas.clear();
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    EXPECT_EQ(monitor->log().count("Sin solicitud para folio 11; se sigue con el folio 12"), 1);
    EXPECT_EQ(monitor->log().last(), "Atendida la solicitud para folio 4 valor= 12");
    EXPECT_EQ(monitor->estado().UltimoAtendido, 12);

    // 13 stored without a request and nothing else queued: nothing to serve, nothing lost.
    guardaFactura(13);
    encola(6, 14);
    EXPECT_EQ(monitor->Tick(), Paso::Esperando);
    EXPECT_EQ(monitor->Tick(), Paso::Esperando);
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{10, 12, 12}));

    // Its request arriving late is still served in its turn, before a higher one.
    encola(4, 14);
    guardaFactura(14);
    encola(4, 13);
    EXPECT_EQ(ticks(2), (std::vector<Paso>(2, Paso::Atendida)));
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{10, 12, 12, 13, 14}));
    EXPECT_EQ(cola(), (Cola{{6, 14}}));
}

TEST_F(MonitorTest, ACounterMovedForwardDoesNotStopTheServing) {
    guardaFactura(30);
    encola(4, 30);
    inicia();
    monitor->Tick();
    // The counter was set to 100: the next invoice is 101 and 31..100 never exist.
    guardaFactura(101);
    encola(4, 101);
    guardaFactura(102);
    encola(4, 102);
    EXPECT_EQ(ticks(3), (std::vector<Paso>{Paso::Atendida, Paso::Atendida, Paso::SinSolicitudes}));
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{30, 101, 102}));

    // Other kinds of documents with the awaited number do not count: 103 is waited for.
    ASSERT_TRUE(bd->exec("INSERT INTO Venta (Numero, Tipo, Total) VALUES (103, 'T', 1), (104, 'E', 1)"));
    encola(4, 105);
    EXPECT_EQ(monitor->Tick(), Paso::Esperando);
    EXPECT_EQ(monitor->aviso(), "Esperando folio 103");
}

TEST_F(MonitorTest, TickCounterRunsFrom1To600) {
    inicia();
    ticks(600);
    EXPECT_EQ(monitor->estado().ContadorTicks, 600);
    monitor->Tick();
    EXPECT_EQ(monitor->estado().ContadorTicks, 1);
}

// --- failures while serving ---

TEST_F(MonitorTest, MissingInvoiceCountsAsServedAndNoStopsTheServer) {
    encola(4, 8);
    encola(4, 9);
    encola(4, 10);
    impresor.respuestas[8] = ResultadoFactura::NoEncontrada;
    impresor.respuestas[9] = ResultadoFactura::NoEncontrada;
    inicia();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_EQ(monitor->Tick(), Paso::NoEncontrada);
    EXPECT_EQ(prompts.asked().back().text,
              "No se encontro la factura 8 solicitada, desea continuar o detener el servidor.");
    EXPECT_TRUE(monitor->ServicioActivo());
    prompts.pushAnswer(ui::Answer::No);
    EXPECT_EQ(monitor->Tick(), Paso::NoEncontrada);
    EXPECT_FALSE(monitor->ServicioActivo());
    EXPECT_EQ(monitor->Tick(), Paso::Detenido);
    EXPECT_EQ(cola(), (Cola{{4, 10}}));
    EXPECT_EQ(monitor->estado().UltimoAtendido, 9);
}

TEST_F(MonitorTest, FailedPrintKeepsTheRequestUntilRetriedOrSkipped) {
    encola(4, 1);
    encola(4, 2);
    impresor.respuestas[1] = ResultadoFactura::Falla;
    inicia();

    prompts.pushAnswer(ui::Answer::Yes);  // retry
    EXPECT_EQ(monitor->Tick(), Paso::FallaImpresion);
    EXPECT_TRUE(prompts.asked().back().text.startsWith(
        "Error I01. No se pudo imprimir la factura. La impresora no responde."));
    EXPECT_EQ(cola(), (Cola{{4, 1}, {4, 2}}));
    EXPECT_EQ(monitor->estado().UltimoAtendido, 0);
    EXPECT_TRUE(monitor->log().isEmpty());

    prompts.pushAnswer(ui::Answer::Cancel);  // stop the server
    EXPECT_EQ(monitor->Tick(), Paso::FallaImpresion);
    EXPECT_FALSE(monitor->ServicioActivo());
    EXPECT_EQ(cola().size(), 2u);

    // The printer is back: the kept request prints first.
    impresor.respuestas.clear();
    monitor->Reanuda();
    ticks(2);
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{1, 1, 1, 2}));
    EXPECT_TRUE(cola().empty());

    // Skipping deletes it and the run goes on.
    encola(4, 3);
    encola(4, 4);
    impresor.respuestas[3] = ResultadoFactura::Falla;
    prompts.pushAnswer(ui::Answer::No);
    EXPECT_EQ(monitor->Tick(), Paso::Omitida);
    EXPECT_EQ(monitor->log().last(), "Omitida la solicitud para folio 4 valor= 3");
    EXPECT_EQ(monitor->Tick(), Paso::Atendida);
    EXPECT_TRUE(cola().empty());
}

TEST_F(MonitorTest, NoTickServesWhileAQuestionIsOpen) {
    encola(4, 1);
    encola(4, 2);
    impresor.respuestas[1] = ResultadoFactura::NoEncontrada;
    // The question box runs the event loop; a timer firing inside it must not serve again.
    struct Reentrante : ui::ScriptedPrompts {
        Monitor* m = nullptr;
        std::vector<Paso> dentro;
        ui::Answer question(const QString& t, const QString& ti, bool c, bool d) override {
            dentro.push_back(m->Tick());
            dentro.push_back(m->Checasolicitudes());
            ScriptedPrompts::question(t, ti, c, d);
            return ui::Answer::Yes;
        }
    } p;
    Monitor m(rutaDireccion(), p);
    monitor.reset();
    p.m = &m;
    m.setImpresor(impresor.funcion());
    ASSERT_EQ(m.IniciaMonitor(), Arranque::Listo);
    EXPECT_EQ(m.Tick(), Paso::NoEncontrada);
    EXPECT_EQ(p.dentro, (std::vector<Paso>{Paso::Detenido, Paso::Detenido}));
    EXPECT_EQ(impresor.impresas, (std::vector<qint64>{1}));
    EXPECT_EQ(cola(), (Cola{{4, 2}}));
}
