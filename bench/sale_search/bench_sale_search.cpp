// Product look-up of the sale screen over 100,000 products kept in the central file and reached
// from the branch file through its links: the search step run per keystroke in each mode (p95 in
// the counters), the exact barcode look-up of a scan, and adding the scanned line.

#include "fixture.h"
#include "sale/busqueda.h"
#include "sale/lineas.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

constexpr int kProductos = 100000;

const char* kPalabras[] = {"ACEITE", "ARROZ", "AZUCAR", "CAFE", "CERVEZA", "DETERGENTE", "FRIJOL",
                           "GALLETA", "HARINA", "JABON", "LECHE", "MANTEQUILLA", "PAPEL",
                           "REFRESCO", "SAL", "SOPA", "TORNILLO", "VELADORA", "YOGUR", "ZANAHORIA"};
const char* kMarcas[] = {"GEN", "NORTE", "SUR", "DORADA", "ESTRELLA", "PLUS", "MAX", "BIO"};

QString Codigo(int i)
{
    return QStringLiteral("75%1").arg(qint64(i) * 7919 % 10000000000LL, 10, 10, QLatin1Char('0'));
}

QString Nombre(int i)
{
    return QStringLiteral("%1 %2 %3")
        .arg(QString::fromLatin1(kPalabras[i % 20]), QString::fromLatin1(kMarcas[(i / 20) % 8]))
        .arg(i);
}

struct Datos {
    saletest::BaseSucursal base;
    Datos()
    {
        if (!base.ok())
            return;
        db::Database& bd = base.db();
        saletest::VaciaCatalogo(bd);
        bd.beginWrite();
        for (int i = 1; i <= kProductos; ++i) {
            bd.exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, "
                                   "Descripcion, PrecioUnit, IVA) VALUES (?,?,?,?,?,16)"),
                    QVariantList{i, Codigo(i), Nombre(i),
                                 QStringLiteral("%1 DE %2 PIEZAS").arg(Nombre(i)).arg(i % 50),
                                 double(i % 997) + 0.5});
            bd.exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (?,?)"),
                    QVariantList{i, double(i % 13)});
        }
        bd.commit();
    }
};

Datos& datos()
{
    static Datos d;
    return d;
}

// Types random texts one character at a time, timing each search step.
void Teclea(benchmark::State& state, int modo, bool nombres)
{
    Datos& d = datos();
    if (!d.base.ok()) {
        state.SkipWithError("no data folder");
        return;
    }
    venta::FuenteProductos fuente(&d.base.db());
    if (!fuente.abre(modo)) {
        state.SkipWithError("open failed");
        return;
    }
    QRandomGenerator azar(42);
    std::vector<double> tiempos;
    for (auto _ : state) {
        const int i = 1 + int(azar.bounded(kProductos));
        const QString objetivo = nombres ? Nombre(i) : Codigo(i);
        QString anterior;
        for (int n = 1; n <= 8 && n <= objetivo.size(); ++n) {
            const QString texto = objetivo.left(n);
            const auto t0 = std::chrono::steady_clock::now();
            fuente.busca(texto, anterior);
            const auto t1 = std::chrono::steady_clock::now();
            tiempos.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            anterior = texto;
        }
        benchmark::DoNotOptimize(fuente.current());
    }
    std::sort(tiempos.begin(), tiempos.end());
    if (!tiempos.empty()) {
        state.counters["p95_ms"] = tiempos[size_t(double(tiempos.size() - 1) * 0.95)];
        state.counters["p50_ms"] = tiempos[tiempos.size() / 2];
        state.counters["max_ms"] = tiempos.back();
    }
}

void BM_TecleaCodigo(benchmark::State& s) { Teclea(s, venta::BusquedaCodigo, false); }
void BM_TecleaNombre(benchmark::State& s) { Teclea(s, venta::BusquedaNombre, true); }
void BM_TecleaNombreSinEspacios(benchmark::State& s) { Teclea(s, venta::BusquedaNombreSE, true); }
void BM_TecleaDescripcion(benchmark::State& s) { Teclea(s, venta::BusquedaDescripcion, true); }

void BM_AbreBusqueda(benchmark::State& state)
{
    Datos& d = datos();
    venta::FuenteProductos fuente(&d.base.db());
    for (auto _ : state)
        benchmark::DoNotOptimize(fuente.abre(int(state.range(0))));
}

void BM_BuscaPorCodigo(benchmark::State& state)
{
    Datos& d = datos();
    QRandomGenerator azar(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            venta::BuscaPorCodigo(d.base.db(), Codigo(1 + int(azar.bounded(kProductos)))));
}

// A scan: exact look-up, then the line added (and the screen's lines read back).
void BM_AgregaLineaEscaneada(benchmark::State& state)
{
    Datos& d = datos();
    venta::LineasVenta lineas(&d.base.db());
    venta::ParametrosLinea par;
    par.terminal = QStringLiteral("BENCH");
    QRandomGenerator azar(9);
    for (auto _ : state) {
        auto p = venta::BuscaPorCodigo(d.base.db(), Codigo(1 + int(azar.bounded(kProductos))));
        benchmark::DoNotOptimize(lineas.agrega(*p, par));
        if (lineas.count() >= 30) {  // a long ticket, then a new one
            state.PauseTiming();
            lineas.borraTodas();
            state.ResumeTiming();
        }
    }
    lineas.borraTodas();
}

}  // namespace

BENCHMARK(BM_TecleaCodigo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TecleaNombre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TecleaNombreSinEspacios)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TecleaDescripcion)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_AbreBusqueda)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BuscaPorCodigo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AgregaLineaEscaneada)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
