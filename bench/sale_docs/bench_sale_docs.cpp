// Saving tickets: one ticket of 5 lines end to end on a branch file (folio, header, line stamps,
// stock), and tickets per second with 8 terminal processes saving at once on one file.
#include "sale/documentos.h"
#include "sucursal_prueba.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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

void BM_TicketCincoLineas(benchmark::State& state) {
    QTemporaryDir dir;
    auto bd = prueba::CreaSucursal(dir.filePath(QStringLiteral("BDSucursal.db")));
    if (!bd) {
        state.SkipWithError("no se pudo crear el archivo");
        return;
    }
    std::vector<double> tiempos;
    sale::PorGuardar g;
    g.Clase = sale::ClaseDocumento::Ticket;
    g.Encabezado.Cliente = QStringLiteral("XAXX010101000");
    g.Encabezado.FormaPagoSel[1] = 1;
    for (auto _ : state) {
        // The lines are captured before the save, as on the screen.
        sale::DocumentoPorGuardar doc;
        for (int j = 0; j < 5; ++j) {
            doc.Lineas.push_back(prueba::AgregaLinea(*bd, j + 1, 1, 12.5));
            doc.Total += 12.5;
        }
        g.Documentos.assign(1, doc);
        const auto inicio = std::chrono::steady_clock::now();
        const sale::Guardado r = sale::GuardaDocumento(*bd, g, {});
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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
