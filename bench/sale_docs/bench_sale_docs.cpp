// Saving tickets: one ticket of 5 lines end to end on a branch file (folio, header, line stamps,
// stock), and tickets per second with 8 terminal processes saving at once on one file. Then the
// same on a data folder as the setup tool makes it (the branch file with the central file
// attached): the 5-line ticket beside a plain SQLite commit of the same rows in the same folder,
// and 8 terminals on one branch beside 4 + 4 on two branches of the folder.
#include "apps/setup/datasetup.h"
#include "fixture.h"
#include "sale/documentos.h"
#include "sucursal_prueba.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

double Percentil(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
    return v[i];
}

// Saves 5-line tickets on `bd`, timing each save alone (the lines are captured before, as on the
// screen).
void MideTickets(benchmark::State& state, db::Database& bd) {
    std::vector<double> tiempos;
    sale::PorGuardar g;
    g.Clase = sale::ClaseDocumento::Ticket;
    g.Encabezado.Cliente = QStringLiteral("XAXX010101000");
    g.Encabezado.FormaPagoSel[1] = 1;
    for (auto _ : state) {
        sale::DocumentoPorGuardar doc;
        for (int j = 0; j < 5; ++j) {
            doc.Lineas.push_back(prueba::AgregaLinea(bd, j + 1, 1, 12.5));
            doc.Total += 12.5;
        }
        g.Documentos.assign(1, doc);
        const auto inicio = std::chrono::steady_clock::now();
        const sale::Guardado r = sale::GuardaDocumento(bd, g, {});
        const std::chrono::duration<double> t = std::chrono::steady_clock::now() - inicio;
        if (!r.ok) {
            state.SkipWithError(qPrintable(r.error.message));
            return;
        }
        state.SetIterationTime(t.count());
        tiempos.push_back(t.count() * 1e3);
    }
    state.counters["mediana_ms"] = Percentil(tiempos, 0.5);
    state.counters["p95_ms"] = Percentil(tiempos, 0.95);
}

void BM_TicketCincoLineas(benchmark::State& state) {
    QTemporaryDir dir;
    auto bd = prueba::CreaSucursal(dir.filePath(QStringLiteral("BDSucursal.db")));
    if (!bd) {
        state.SkipWithError("no se pudo crear el archivo");
        return;
    }
    MideTickets(state, *bd);
}
BENCHMARK(BM_TicketCincoLineas)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_OchoTerminales(benchmark::State& state) {
    constexpr int Procesos = 8, Tickets = 100;
    const QString programa = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral("sale_docs_terminal"));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("BDSucursal.db"));
        if (!prueba::CreaSucursal(ruta)) {
            state.SkipWithError("no se pudo crear el archivo");
            return;
        }
        state.ResumeTiming();
        QElapsedTimer reloj;
        reloj.start();
        std::vector<std::unique_ptr<QProcess>> ps;
        for (int t = 1; t <= Procesos; ++t) {
            auto p = std::make_unique<QProcess>();
            p->start(programa, {ruta, QString::number(t), QString::number(Tickets), QStringLiteral("5")});
            ps.push_back(std::move(p));
        }
        for (auto& p : ps) {
            if (!p->waitForFinished(600000) || p->exitCode() != 0) {
                state.SkipWithError("una terminal falló");
                return;
            }
        }
        state.counters["tickets_por_s"] = Procesos * Tickets / (reloj.elapsed() / 1000.0);
    }
}
BENCHMARK(BM_OchoTerminales)->Unit(benchmark::kMillisecond)->Iterations(1);

// A data folder with branch 1 and branch 2 ("NORTE"); "" when it could not be made.
QString CreaCarpeta(const QTemporaryDir& dir, QString* corto) {
    QString error;
    const auto c = saletest::CreaCarpetaDatos(dir.path(), &error);
    if (!c || !datasetup::createBranch(dir.path(), QStringLiteral("NORTE"), 2, &error)) return {};
    *corto = *c;
    return dir.path();
}

void BM_TicketCincoLineasCarpeta(benchmark::State& state) {
    QTemporaryDir dir;
    QString corto;
    if (CreaCarpeta(dir, &corto).isEmpty()) {
        state.SkipWithError("no se pudo crear la carpeta de datos");
        return;
    }
    auto bd = db::Database::open(datasetup::rutaSucursal(dir.path(), corto), datasetup::claveArchivos());
    if (!bd || bd->centralPath().isEmpty()) {
        state.SkipWithError("no abre la sucursal con su archivo central");
        return;
    }
    MideTickets(state, *bd);
}
BENCHMARK(BM_TicketCincoLineasCarpeta)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

// The anchor: the same rows (counter, header, 5 line stamps, 5 stock rows) committed by SQLite
// alone on a copy of the branch file in the same folder, rollback journal, synchronous=FULL.
void BM_CommitSQLitePlano(benchmark::State& state) {
    QTemporaryDir dir;
    QString corto;
    if (CreaCarpeta(dir, &corto).isEmpty()) {
        state.SkipWithError("no se pudo crear la carpeta de datos");
        return;
    }
    const QString origen = datasetup::rutaSucursal(dir.path(), corto);
    const QString ruta = QFileInfo(origen).absolutePath() + QStringLiteral("/Plano.db");
    sqlite3* s = nullptr;
    if (!QFile::copy(origen, ruta) || sqlite3_open(ruta.toUtf8().constData(), &s) != SQLITE_OK) {
        state.SkipWithError("no abre la copia");
        sqlite3_close(s);
        return;
    }
    auto ejecuta = [s](const char* sql) { return sqlite3_exec(s, sql, nullptr, nullptr, nullptr) == SQLITE_OK; };
    ejecuta("PRAGMA journal_mode=DELETE");
    ejecuta("PRAGMA synchronous=FULL");
    ejecuta("INSERT OR IGNORE INTO Existencia (ClaveProducto, Existencia) VALUES (1,1e6),(2,1e6),(3,1e6),(4,1e6),(5,1e6)");
    sqlite3_stmt *folio = nullptr, *venta = nullptr, *linea = nullptr, *exis = nullptr, *nueva = nullptr;
    sqlite3_prepare_v2(s, "UPDATE Folios SET ValorFolio = ValorFolio + 1 WHERE NumeroFolio = 6", -1, &folio, nullptr);
    sqlite3_prepare_v2(s, "INSERT INTO Venta (Numero, Tipo, Cliente, Total) VALUES (?, 'T', 'XAXX010101000', 62.5)",
                       -1, &venta, nullptr);
    sqlite3_prepare_v2(s, "UPDATE DetalleVenta SET Numero = ?, TipoDocto = 'T' WHERE IdLinea = ?", -1, &linea, nullptr);
    sqlite3_prepare_v2(s, "UPDATE Existencia SET Existencia = Existencia - 1 WHERE ClaveProducto = ?", -1, &exis,
                       nullptr);
    sqlite3_prepare_v2(s, "INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit) "
                          "VALUES (0, 'T', ?, 1, 12.5)", -1, &nueva, nullptr);
    auto paso = [](sqlite3_stmt* st) {
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        return rc == SQLITE_DONE;
    };
    std::vector<double> tiempos;
    qint64 numero = 0;
    for (auto _ : state) {
        sqlite3_int64 ids[5];
        for (int j = 0; j < 5; ++j) {
            sqlite3_bind_int(nueva, 1, j + 1);
            paso(nueva);
            ids[j] = sqlite3_last_insert_rowid(s);
        }
        ++numero;
        const auto inicio = std::chrono::steady_clock::now();
        bool ok = ejecuta("BEGIN IMMEDIATE") && paso(folio);
        sqlite3_bind_int64(venta, 1, numero);
        ok = ok && paso(venta);
        for (int j = 0; j < 5 && ok; ++j) {
            sqlite3_bind_int64(linea, 1, numero);
            sqlite3_bind_int64(linea, 2, ids[j]);
            sqlite3_bind_int(exis, 1, j + 1);
            ok = paso(linea) && paso(exis);
        }
        ok = ok && ejecuta("COMMIT");
        const std::chrono::duration<double> t = std::chrono::steady_clock::now() - inicio;
        if (!ok) {
            state.SkipWithError(sqlite3_errmsg(s));
            break;
        }
        state.SetIterationTime(t.count());
        tiempos.push_back(t.count() * 1e3);
    }
    for (sqlite3_stmt* st : {folio, venta, linea, exis, nueva}) sqlite3_finalize(st);
    sqlite3_close(s);
    state.counters["mediana_ms"] = Percentil(tiempos, 0.5);
    state.counters["p95_ms"] = Percentil(tiempos, 0.95);
}
BENCHMARK(BM_CommitSQLitePlano)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

// Terminal processes saving 5-line tickets at once: range(0) per branch on range(1) branches of one
// data folder.
void BM_TerminalesCarpeta(benchmark::State& state) {
    const int porSucursal = int(state.range(0)), sucursales = int(state.range(1));
    constexpr int Tickets = 150;
    const QString programa = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral("sale_docs_terminal"));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        QString corto;
        if (CreaCarpeta(dir, &corto).isEmpty()) {
            state.SkipWithError("no se pudo crear la carpeta de datos");
            return;
        }
        const QStringList rutas{datasetup::rutaSucursal(dir.path(), corto),
                                datasetup::rutaSucursal(dir.path(), QStringLiteral("NORTE"))};
        state.ResumeTiming();
        QElapsedTimer reloj;
        reloj.start();
        std::vector<std::unique_ptr<QProcess>> ps;
        for (int s = 0; s < sucursales; ++s)
            for (int t = 1; t <= porSucursal; ++t) {
                auto p = std::make_unique<QProcess>();
                p->start(programa, {rutas[s], QString::number(t), QString::number(Tickets), QStringLiteral("5"),
                                    datasetup::claveArchivos()});
                ps.push_back(std::move(p));
            }
        for (auto& p : ps) {
            if (!p->waitForFinished(600000) || p->exitCode() != 0) {
                state.SkipWithError(qPrintable(QStringLiteral("una terminal falló: ") +
                                               QString::fromLocal8Bit(p->readAllStandardError())));
                return;
            }
        }
        state.counters["tickets_por_s"] = double(porSucursal * sucursales * Tickets) / (reloj.elapsed() / 1000.0);
    }
}
BENCHMARK(BM_TerminalesCarpeta)->Args({8, 1})->Args({4, 2})->Args({1, 1})->Args({1, 2})->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
