// Several terminal processes closing tickets on one branch file.
#include "sucursal_prueba.h"
#include "testutil.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<QProcess> Terminal(const QString& ruta, int terminal, int tickets) {
    auto p = std::make_unique<QProcess>();
    p->setProgram(testutil::helperPath(QStringLiteral("sale_docs_terminal")));
    p->setArguments({ruta, QString::number(terminal), QString::number(tickets), QStringLiteral("3")});
    p->start();
    return p;
}

TEST(DocsTerminales, FourTerminalsClosingTicketsAtOnceShareNumbersAndStockExactly) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("BDSucursal.db"));
    ASSERT_TRUE(prueba::CreaSucursal(ruta));
    ASSERT_TRUE(QFileInfo::exists(testutil::helperPath(QStringLiteral("sale_docs_terminal"))));

    constexpr int Procesos = 4, Tickets = 200;
    std::vector<std::unique_ptr<QProcess>> procesos;
    for (int t = 1; t <= Procesos; ++t) procesos.push_back(Terminal(ruta, t, Tickets));
    for (auto& p : procesos) {
        ASSERT_TRUE(p->waitForFinished(240000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }

    auto bd = db::Database::open(ruta);
    ASSERT_TRUE(bd);
    qint64 tickets = 0;
    EXPECT_EQ(prueba::RevisaTickets(*bd, 3, &tickets), QString());
    EXPECT_EQ(tickets, Procesos * Tickets);
    // Each terminal's tickets carry its own lines only.
    EXPECT_EQ(prueba::Contar(*bd, QStringLiteral(
                                      "SELECT count(*) FROM Venta v JOIN DetalleVenta d ON d.Numero = v.Numero "
                                      "AND d.TipoDocto = 'T' WHERE d.Terminal <> CAST(v.Terminal AS TEXT)")),
              0);
    EXPECT_EQ(prueba::Contar(*bd, QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = 0")), 0);
}

TEST(DocsTerminales, ATerminalKilledWhileSavingLeavesOnlyWholeDocuments) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("BDSucursal.db"));
    ASSERT_TRUE(prueba::CreaSucursal(ruta));

    // Two terminals; one is killed after a number of its tickets went in, at whatever step it is.
    auto sigue = Terminal(ruta, 1, 150);
    for (int ronda = 0; ronda < 6; ++ronda) {
        auto victima = Terminal(ruta, 2, 100000);
        ASSERT_TRUE(victima->waitForStarted());
        int listos = 0;
        QElapsedTimer reloj;
        reloj.start();
        while (listos < 20 && reloj.elapsed() < 60000) {
            victima->waitForReadyRead(100);
            while (victima->canReadLine()) {
                victima->readLine();
                ++listos;
            }
        }
        ASSERT_GE(listos, 20);
        // A ticket has just been reported; let the next one get under way by a varying amount.
        QThread::usleep(QRandomGenerator::global()->bounded(500, 8000));
        victima->kill();  // SIGKILL: no rollback, no cleanup in the process
        victima->waitForFinished();
    }
    ASSERT_TRUE(sigue->waitForFinished(120000));
    EXPECT_EQ(sigue->exitCode(), 0) << sigue->readAllStandardError().toStdString();

    // Reopening rolls back whatever transaction the killed process left in its journal.
    auto bd = db::Database::open(ruta);
    ASSERT_TRUE(bd);
    EXPECT_EQ(prueba::RevisaTickets(*bd, 3), QString());
    auto integridad = bd->scalar(QStringLiteral("PRAGMA integrity_check"));
    ASSERT_TRUE(integridad);
    EXPECT_EQ(integridad->toString(), QStringLiteral("ok"));
    // Every line of the survivor was stored.
    EXPECT_EQ(prueba::Contar(*bd, QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Terminal = '1' "
                                                 "AND Numero = 0")),
              0);
}

}  // namespace
