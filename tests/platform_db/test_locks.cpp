// Several processes on one file: the served lock wait, its cancel, and a shared counter.
#include "platform/db/database.h"
#include "testutil.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTimer>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace db;

namespace {

struct LockTest : ::testing::Test {
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<Database> d;
    void SetUp() override {
        path = dir.filePath("BDSucursal.db");
        d = Database::create(path);
        ASSERT_TRUE(d);
        ASSERT_TRUE(d->execScript("CREATE TABLE Contador(Id INTEGER PRIMARY KEY, Numero INTEGER NOT NULL);"
                                  "INSERT INTO Contador VALUES(1, 0);"));
    }
    // Starts a helper that holds the file's write lock until it reads a line.
    std::unique_ptr<QProcess> holder() {
        auto p = std::make_unique<QProcess>();
        p->start(testutil::helperPath("db_lock_helper"), {"hold", path});
        EXPECT_TRUE(p->waitForStarted(10000));
        EXPECT_TRUE(p->waitForReadyRead(10000));
        EXPECT_EQ(p->readLine().trimmed(), QByteArray("held"));
        return p;
    }
    static void release(QProcess& p) {
        p.write("go\n");
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0);
    }
};

TEST_F(LockTest, CancelledWaitLeavesTheRowUnchangedAndSaysSo) {
    auto p = holder();
    int polls = 0;
    QStringList statuses;
    LockWait wait;
    wait.cancelled = [&] { return ++polls >= 5; };
    wait.status = [&](const QString& s) { statuses << s; };
    Error e;
    EXPECT_FALSE(d->beginWrite(wait, &e));
    EXPECT_EQ(e.kind, ErrorKind::Cancelled);
    EXPECT_FALSE(d->inTransaction());
    EXPECT_EQ(polls, 5);
    ASSERT_FALSE(statuses.isEmpty());
    EXPECT_EQ(statuses.front(), wait.statusText);
    EXPECT_EQ(statuses.back(), QString());  // the status is cleared when the wait ends

    polls = 0;
    EXPECT_FALSE(d->execWait("UPDATE Contador SET Numero = 99", {}, wait, &e));
    EXPECT_EQ(e.kind, ErrorKind::Cancelled);

    LockWait brief;
    brief.timeoutMs = 50;
    EXPECT_FALSE(d->beginWrite(brief, &e));
    EXPECT_EQ(e.kind, ErrorKind::Busy);
    release(*p);
    EXPECT_EQ(d->scalar("SELECT Numero FROM Contador")->toInt(), 0);
}

TEST_F(LockTest, WaitGoesOnOnceTheOtherProcessLetsGo) {
    auto p = holder();
    int polls = 0;
    LockWait wait;
    wait.cancelled = [&] {
        if (++polls == 3) release(*p);  // the other terminal finishes while we wait
        return false;
    };
    Error e;
    ASSERT_TRUE(d->beginWrite(wait, &e)) << e.message.toStdString();
    EXPECT_GE(polls, 3);
    ASSERT_TRUE(d->exec("UPDATE Contador SET Numero = 7"));
    ASSERT_TRUE(d->commit(&e));
    EXPECT_EQ(Database::open(path)->scalar("SELECT Numero FROM Contador")->toInt(), 7);
}

TEST_F(LockTest, CommitWaitsForAReaderToFinish) {
    QProcess reader;
    reader.start(testutil::helperPath("db_lock_helper"), {"read", path, "300"});
    ASSERT_TRUE(reader.waitForReadyRead(10000));
    ASSERT_EQ(reader.readLine().trimmed(), QByteArray("reading"));
    WriteTransaction t(*d);
    ASSERT_TRUE(t.begin());  // a reader does not keep a writer from starting
    ASSERT_TRUE(d->exec("UPDATE Contador SET Numero = 5"));
    Error e;
    ASSERT_TRUE(t.commit(&e)) << e.message.toStdString();  // but its COMMIT has to wait for the read
    EXPECT_TRUE(reader.waitForFinished(10000));
    EXPECT_EQ(reader.exitCode(), 0);
    EXPECT_EQ(Database::open(path)->scalar("SELECT Numero FROM Contador")->toInt(), 5);
}

// A COMMIT held up by another connection's open read waits the way its transaction began: the
// wait shows, the window is served meanwhile, Esc leaves it, and leaving rolls the change back.
TEST_F(LockTest, CommitBehindAnOpenReadShowsServesAndCanBeLeft) {
    auto lector = Database::open(path);
    ASSERT_TRUE(lector);
    QSqlQuery lectura(lector->connection());
    lectura.setForwardOnly(true);
    ASSERT_TRUE(lectura.exec("SELECT Numero FROM Contador UNION ALL SELECT 1"));
    ASSERT_TRUE(lectura.next());  // the read stays open

    bool atendido = false;
    QTimer::singleShot(20, [&] { atendido = true; });
    QStringList estados;
    LockWait wait;
    wait.status = [&](const QString& s) { estados << s; };
    wait.cancelled = [&] { return atendido; };  // the Esc comes once the window was served
    Error e;
    {
        WriteTransaction t(*d);
        ASSERT_TRUE(t.begin(wait, &e)) << e.message.toStdString();
        ASSERT_TRUE(d->exec("UPDATE Contador SET Numero = 5"));
        EXPECT_FALSE(t.commit(&e));
        EXPECT_EQ(e.kind, ErrorKind::Cancelled);
        EXPECT_TRUE(e.message.contains(QStringLiteral("ocupada por otro usuario"))) << e.message.toStdString();
        EXPECT_TRUE(d->inTransaction());  // still open: leaving the block rolls it back
    }
    EXPECT_TRUE(atendido);
    EXPECT_EQ(estados, (QStringList{wait.statusText, QString()}));
    EXPECT_FALSE(d->inTransaction());

    // A wait that gives up says the file is busy, in Spanish.
    LockWait breve;
    breve.timeoutMs = 50;
    breve.status = [](const QString&) {};
    {
        WriteTransaction t(*d);
        ASSERT_TRUE(t.begin(breve, &e));
        ASSERT_TRUE(d->exec("UPDATE Contador SET Numero = 6"));
        EXPECT_FALSE(t.commit(&e));
        EXPECT_EQ(e.kind, ErrorKind::Busy);
        EXPECT_EQ(e.message, QStringLiteral("La base de datos está ocupada por otro usuario; intente de nuevo."));
    }
    lectura.finish();
    EXPECT_EQ(lector->scalar("SELECT Numero FROM Contador")->toInt(), 0);
}

TEST_F(LockTest, ProcessesTakingFromOneCounterGetUniqueConsecutiveNumbers) {
    constexpr int kProcs = 3;
    constexpr int kTakes = 1000;
    d.reset();  // this process only reads the outcome
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < kProcs; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(testutil::helperPath("db_lock_helper"), {"take", path, QString::number(kTakes)});
        procs.push_back(std::move(p));
    }
    QSet<qint64> seen;
    for (auto& p : procs) {
        ASSERT_TRUE(p->waitForFinished(180000));
        ASSERT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        const QList<QByteArray> lines = p->readAllStandardOutput().split('\n');
        qint64 prev = 0;
        int count = 0;
        for (const QByteArray& l : lines) {
            if (l.isEmpty()) continue;
            const qint64 n = l.toLongLong();
            EXPECT_GT(n, prev);  // each process sees its numbers rise
            prev = n;
            EXPECT_FALSE(seen.contains(n)) << n;
            seen.insert(n);
            ++count;
        }
        EXPECT_EQ(count, kTakes);
    }
    ASSERT_EQ(seen.size(), kProcs * kTakes);
    for (qint64 n = 1; n <= kProcs * kTakes; ++n) ASSERT_TRUE(seen.contains(n)) << n;
    EXPECT_EQ(Database::open(path)->scalar("SELECT Numero FROM Contador")->toInt(), kProcs * kTakes);
}

}  // namespace
