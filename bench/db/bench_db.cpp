// Opening a branch file with its links and saved queries; taking a number from a counter row;
// preparing statements that read through saved queries' views and fire triggers (every access
// passes the connection's authorizer).
#include "platform/db/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kPw = QStringLiteral("pastizal");

struct Folder {
    QTemporaryDir dir;
    QString branch;
    Folder() {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("Base de datos/Sucursales/Centro"));
        branch = root.filePath(QStringLiteral("Base de datos/Sucursales/Centro/BDSucursal.db"));
        auto c = db::Database::create(root.filePath(QStringLiteral("Base de datos/BDcodigos.db")), kPw);
        for (int i = 0; i < 12; ++i)
            c->exec(QStringLiteral("CREATE TABLE Central%1(Clave INTEGER PRIMARY KEY, Descripcion TEXT, Precio REAL)").arg(i));
        auto b = db::Database::create(branch, kPw);
        b->execScript(QStringLiteral("CREATE TABLE Existencia(Clave INTEGER PRIMARY KEY, Cantidad REAL);"
                                     "CREATE TABLE Folios(Id INTEGER PRIMARY KEY, Numero INTEGER NOT NULL);"
                                     "INSERT INTO Folios VALUES(1, 0);"));
        for (int i = 0; i < 12; ++i) b->createLink(QStringLiteral("Central%1").arg(i), QStringLiteral("BDcodigos.db"));
        for (int i = 0; i < 30; ++i)
            b->createQuery(QStringLiteral("Consulta%1").arg(i), QStringLiteral("select"),
                           QStringLiteral("SELECT c.Clave, c.Descripcion, e.Cantidad FROM Central%1 c "
                                          "LEFT JOIN Existencia e ON e.Clave = c.Clave").arg(i % 12));
    }
};

void BM_OpenBranchWithLinksAndQueries(benchmark::State& state) {
    Folder f;
    for (auto _ : state) {
        auto d = db::Database::open(f.branch, kPw);
        if (!d || !d->brokenQueries().isEmpty()) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(d.get());
    }
}
BENCHMARK(BM_OpenBranchWithLinksAndQueries)->Unit(benchmark::kMillisecond);

void BM_CounterTake(benchmark::State& state) {
    Folder f;
    auto d = db::Database::open(f.branch, kPw);
    for (auto _ : state) {
        db::WriteTransaction t(*d);
        t.begin();
        auto n = d->scalar(QStringLiteral("UPDATE Folios SET Numero = Numero + 1 WHERE Id = 1 RETURNING Numero"));
        if (!n || !t.commit()) state.SkipWithError("take failed");
    }
}
BENCHMARK(BM_CounterTake)->Unit(benchmark::kMillisecond);

// Each text is new to the statement cache, so every run prepares and the authorizer sees each
// table and column access, those made on behalf of the views and the trigger too.
void BM_PrepareThroughViewsAndTriggers(benchmark::State& state) {
    Folder f;
    auto d = db::Database::open(f.branch, kPw);
    d->exec(QStringLiteral("CREATE TABLE Bitacora(Id INTEGER PRIMARY KEY, Numero INTEGER)"));
    d->exec(QStringLiteral("CREATE TRIGGER anota AFTER UPDATE ON Folios BEGIN INSERT INTO Bitacora(Numero) "
                           "SELECT NEW.Numero; UPDATE Existencia SET Cantidad = Cantidad WHERE 0; END"));
    qint64 i = 0;
    for (auto _ : state) {
        ++i;
        auto r = d->select(QStringLiteral("SELECT * FROM Consulta%1 WHERE Clave = %2").arg(i % 30).arg(i));
        const bool ok = d->exec(QStringLiteral("UPDATE Folios SET Numero = Numero + 0 WHERE Id = %1").arg(i));
        if (!r || !ok) state.SkipWithError("prepare failed");
    }
}
BENCHMARK(BM_PrepareThroughViewsAndTriggers)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
