// The real print server serving while a terminal stores invoices in the same branch file.

#include "fixture.h"

#include "platform/system/system.h"
#include "sale/documentos.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace {

QString programa() { return testutil::binDir() + "/Plovix/tarvex"; }

}  // namespace

class ProcesosTest : public ServidorTest {
protected:
    void SetUp() override {
        ServidorTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(QFileInfo::exists(programa())) << programa().toStdString();
        pdfs = tmp.filePath("pdf");
        ASSERT_TRUE(QDir().mkpath(pdfs));
        ASSERT_TRUE(bd->exec("UPDATE Parametros SET PrefijoFact = 'B'"));
    }
    void inicia(QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TARVEX_HOME", app + "/Plovix");
        env.insert("TARVEX_PDF", pdfs);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(programa(), {});
        ASSERT_TRUE(p.waitForStarted(10000));
    }
    // An invoice stored as the sale screen does: lines captured, then the save with its request.
    qint64 vende(int i) {
        sale::DocumentoPorGuardar doc;
        db::Error e;
        EXPECT_TRUE(bd->exec("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                             "PrecioUnit, Iva, Terminal) VALUES (0, 'F', (SELECT MIN(ClaveProducto) "
                             "FROM Producto), ?, 10, 16, '1')",
                             {i + 1}, &e))
            << e.message.toStdString();
        doc.Lineas.push_back(bd->lastInsertId());
        doc.Total = (i + 1) * 10.0;
        sale::PorGuardar g;
        g.Clase = sale::ClaseDocumento::Factura;
        g.Encabezado.Sucursal = 1;
        g.Encabezado.Terminal = 1;
        g.Encabezado.Cliente = "XAXX010101000";
        g.Encabezado.IVAP = 16;
        g.Encabezado.FormaPagoSel[1] = 1;
        g.Encabezado.ImportesPago[1] = doc.Total;
        g.Documentos.push_back(doc);
        g.Solicitud = sale::SolImprimeFactura;
        db::LockWait espera;
        espera.timeoutMs = 20000;
        const sale::Guardado r = sale::GuardaDocumento(*bd, g, espera);
        EXPECT_TRUE(r.ok) << r.error.message.toStdString();
        return r.NumeroDocumento();
    }
    QString pdfs;
};

TEST_F(ProcesosTest, InvoicesSavedAtATerminalPrintInNumberOrderAndASecondServerLeaves) {
    QProcess servidor;
    inicia(servidor);
    QElapsedTimer arranque;
    arranque.start();
    while (arranque.elapsed() < 20000 && !sys::isLockHeld(sys::printServerLockPath(data, 1)))
        QThread::msleep(50);
    ASSERT_TRUE(sys::isLockHeld(sys::printServerLockPath(data, 1)));

    constexpr int kFacturas = 6;
    std::vector<qint64> numeros;
    for (int i = 0; i < kFacturas; ++i) {
        numeros.push_back(vende(i));
        QThread::msleep(60);
    }
    ASSERT_EQ(numeros, (std::vector<qint64>{1, 2, 3, 4, 5, 6}));

    // A second start on the same folder and branch ends at once and touches nothing.
    QProcess segundo;
    inicia(segundo);
    EXPECT_TRUE(segundo.waitForFinished(15000));
    EXPECT_EQ(segundo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(segundo.exitCode(), 0);

    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < 60000 && !cola().empty()) QThread::msleep(100);
    EXPECT_TRUE(cola().empty());

    std::vector<QDateTime> horas;
    for (qint64 n : numeros) {
        const QFileInfo f(pdfs + QString("/Factura-B%1.pdf").arg(n, 6, 10, QLatin1Char('0')));
        ASSERT_TRUE(f.exists()) << f.filePath().toStdString();
        horas.push_back(f.lastModified());
    }
    for (size_t i = 1; i < horas.size(); ++i) EXPECT_LE(horas[i - 1], horas[i]) << "factura " << i + 1;
    EXPECT_EQ(QDir(pdfs).entryList(QDir::Files).size(), static_cast<qsizetype>(kFacturas));
    EXPECT_EQ(servidor.state(), QProcess::Running);

    servidor.terminate();
    if (!servidor.waitForFinished(5000)) {
        servidor.kill();
        servidor.waitForFinished(5000);
    }
}

// The machine's shutdown while the server waits on its retry question (the invoice could not be
// printed): it ends at once and orderly, even when it was started with the request to end
// ignored, and the question's answers are not taken: the request stays queued and the lock is free.
TEST_F(ProcesosTest, TheRequestToEndEndsTheServerWithItsRetryQuestionOpen) {
    ASSERT_TRUE(QFile::remove(data + "/Reports/Factura.html"));
    guardaFactura(1);
    encola(4, 1);
    QProcess servidor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TARVEX_HOME", app + "/Plovix");
    env.insert("TARVEX_PDF", pdfs);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    servidor.setProcessEnvironment(env);
    servidor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // As a service manager may leave it: the request ignored from its parent.
    servidor.start("/bin/sh", {"-c", "trap '' TERM HUP INT; exec \"$0\"", programa()});
    ASSERT_TRUE(servidor.waitForStarted(10000));
    QElapsedTimer arranque;
    arranque.start();
    while (arranque.elapsed() < 20000 && !sys::isLockHeld(sys::printServerLockPath(data, 1)))
        QThread::msleep(50);
    ASSERT_TRUE(sys::isLockHeld(sys::printServerLockPath(data, 1)));
    // The first tick fails on the missing template and asks.
    QThread::msleep(1500);
    ASSERT_EQ(servidor.state(), QProcess::Running);

    servidor.terminate();
    const bool termino = servidor.waitForFinished(10000);
    if (!termino) {
        servidor.kill();
        servidor.waitForFinished(5000);
    }
    ASSERT_TRUE(termino);
    EXPECT_EQ(servidor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(servidor.exitCode(), 0);
    EXPECT_EQ(cola(), (std::vector<std::pair<int, qint64>>{{4, 1}}));
    EXPECT_FALSE(sys::isLockHeld(sys::printServerLockPath(data, 1)));
    EXPECT_TRUE(QDir(pdfs).entryList(QDir::Files).isEmpty());
}
