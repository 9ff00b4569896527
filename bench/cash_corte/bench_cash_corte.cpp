// The cash cut of a busy branch: loading the pending cut (its sales, movements and totals) and
// creating the cut that stamps them, with 100,000 pending tickets and 200 movements.
#include "apps/setup/datasetup.h"
#include "cash/corte.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

constexpr int kTickets = 100000;

void BM_CargaYCreaCorte(benchmark::State& state) {
    QTemporaryDir dir;
    datasetup::Options o;
    o.dataFolder = dir.path();
    QString error;
    if (!datasetup::createDataFolder(o, &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    auto central = db::Database::open(datasetup::rutaBDCodigos(o.dataFolder), datasetup::claveArchivos());
    const QString corto = central->scalar(QStringLiteral("SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))->toString();
    central.reset();
    db::OpenOptions op;
    op.password = datasetup::claveArchivos();
    op.centralPath = datasetup::rutaBDCodigos(o.dataFolder);
    auto bd = db::Database::open(datasetup::rutaSucursal(o.dataFolder, corto), op);
    if (!bd ||
        !bd->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                 "INSERT INTO Venta (Numero, Tipo, Fecha, Total, Cliente, Status, IdCorte) "
                                 "SELECT i, 'T', printf('2026-12-09 %02d:%02d:%02d', (i / 3600) % 24, (i / 60) % 60, i % 60), "
                                 "(i % 500) + 0.25, 'XAXX010101000', 1, 0 FROM n").arg(kTickets)) ||
        !bd->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200) "
                                 "INSERT INTO MovimientosCaja (IdMovimiento, FechaMov, ImporteMov, TipoMov, DescripcionMov, "
                                 "EstatusMov, IdCorte, IdUsuario) SELECT i, '2026-12-09 10:00:00', 10, 1 + i % 2, 'MOV', 1, 0, 1 "
                                 "FROM n"))) {
        state.SkipWithError("no se pudo preparar la sucursal");
        return;
    }
    std::vector<double> tiempos;
    double carga = 0;
    for (auto _ : state) {
        const auto inicio = std::chrono::steady_clock::now();
        auto corte = caja::CargaCorte(*bd, 0, false);
        const auto cargado = std::chrono::steady_clock::now();
        const caja::ResultadoCorte r = corte ? caja::CreaCorte(*bd, *corte, QStringLiteral("BENCH"), 1, {})
                                             : caja::ResultadoCorte{};
        const std::chrono::duration<double> t = std::chrono::steady_clock::now() - inicio;
        if (r.estado != caja::ResultadoCorte::Creado || corte->ventas.size() != size_t(kTickets)) {
            state.SkipWithError(qPrintable(QStringLiteral("el corte no se creó: ") + r.mensaje));
            return;
        }
        state.SetIterationTime(t.count());
        tiempos.push_back(t.count() * 1e3);
        carga += std::chrono::duration<double>(cargado - inicio).count() * 1e3;
        // Back to pending for the next round (not timed).
        bd->exec(QStringLiteral("UPDATE Venta SET IdCorte = 0"));
        bd->exec(QStringLiteral("UPDATE MovimientosCaja SET IdCorte = 0"));
        bd->exec(QStringLiteral("DELETE FROM CortesCaja"));
    }
    std::sort(tiempos.begin(), tiempos.end());
    state.counters["mediana_ms"] = tiempos[tiempos.size() / 2];
    state.counters["max_ms"] = tiempos.back();
    state.counters["carga_media_ms"] = carga / double(tiempos.size());
    state.counters["objetivo_ms"] = 1000;
}
BENCHMARK(BM_CargaYCreaCorte)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
