// Product look-up of the sale screen over 100,000 products kept in the central file and reached
// from the branch file through its links: the search step run per keystroke in each mode (p95 in
// the counters), the exact barcode look-up of a scan, and adding the scanned line. Then the screen
// itself (offscreen): a new document after a stored ticket, beside the full reload of the list it
// no longer does, and the whole keystroke step (key, timer, list, grid model and its repaint).

#include "capture_control/ccaptura.h"
#include "fixture.h"
#include "platform/ui/prompts.h"
#include "sale/busqueda.h"
#include "sale/documentos.h"
#include "sale/forms/frmventa.h"
#include "sale/lineas.h"
#include "shell/estado.h"

#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableView>
#include <QTest>
#include <QTimer>

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

void Percentiles(benchmark::State& state, std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    if (t.empty())
        return;
    state.counters["p50_ms"] = t[t.size() / 2];
    state.counters["p95_ms"] = t[size_t(double(t.size() - 1) * 0.95)];
    state.counters["max_ms"] = t.back();
}

// The sale screen on the benchmark's branch, default search `modo`.
std::unique_ptr<venta::frmVenta> Pantalla(Datos& d, ui::ScriptedPrompts& prompts, int modo)
{
    ReiniciaEstado();
    EstadoGlobal& g = G();
    g.ModoVenta = QStringLiteral("F");
    g.BDefault = modo;
    g.NombreEquipo = QStringLiteral("BENCH");
    g.TFuente = 9;
    auto f = std::make_unique<venta::frmVenta>(nullptr, &d.base.db(), &prompts);
    f->resize(1024, 700);
    f->show();
    QCoreApplication::processEvents();
    return f;
}

// A ticket of 3 lines stored at this terminal, as the screen's close does before its new document.
void GuardaTicket(db::Database& bd, QRandomGenerator& azar)
{
    sale::PorGuardar g;
    g.Clase = sale::ClaseDocumento::Ticket;
    g.Encabezado.Cliente = QStringLiteral("XAXX010101000");
    sale::DocumentoPorGuardar doc;
    for (int j = 0; j < 3; ++j) {
        bd.exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                               "PrecioUnit, Terminal) VALUES (0, 'T', ?, 1, 10, 'BENCH')"),
                {1 + int(azar.bounded(kProductos))});
        doc.Lineas.push_back(bd.lastInsertId());
        doc.Total += 10;
    }
    g.Documentos.push_back(doc);
    sale::GuardaDocumento(bd, g, {});
}

// New document after a sale: the screen ready for the next scan.
void BM_NuevoDocumento(benchmark::State& state)
{
    Datos& d = datos();
    ui::ScriptedPrompts prompts;
    auto f = Pantalla(d, prompts, int(state.range(0)));
    QRandomGenerator azar(11);
    std::vector<double> t;
    for (auto _ : state) {
        state.PauseTiming();
        GuardaTicket(d.base.db(), azar);
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        f->cmdNuevo_Click();
        QCoreApplication::processEvents();  // layout and paint of the emptied screen
        t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    Percentiles(state, t);
}

// The anchor: the full reload of the default mode's list every new document used to do.
void BM_RecargaCompleta(benchmark::State& state)
{
    Datos& d = datos();
    venta::FuenteProductos fuente(&d.base.db());
    std::vector<double> t;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(fuente.abre(int(state.range(0)), {}, true));
        t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    Percentiles(state, t);
}

// One keystroke on the screen, whole: the key reaches the code field, the search timer fires, the
// list is searched (filtered in mode 4), the grid model is refreshed and the grid repainted.
void BM_PasoTeclaPantalla(benchmark::State& state)
{
    Datos& d = datos();
    ui::ScriptedPrompts prompts;
    const int modo = int(state.range(0));
    auto f = Pantalla(d, prompts, modo);
    QRandomGenerator azar(5);
    std::vector<double> t;
    for (auto _ : state) {
        const int i = 1 + int(azar.bounded(kProductos));
        const QString objetivo = modo == venta::BusquedaCodigo ? Codigo(i) : Nombre(i);
        state.PauseTiming();
        f->cajaCodigo->clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        for (int n = 0; n < 8 && n < objetivo.size(); ++n) {
            const auto t0 = std::chrono::steady_clock::now();
            QTest::keyClick(f->cajaCodigo, objetivo.at(n).toLatin1());
            QMetaObject::invokeMethod(f->Timer1, "timeout", Qt::DirectConnection);
            f->DBGrid2->viewport()->repaint();
            t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
    }
    Percentiles(state, t);
    state.counters["filas_al_final"] = f->productos().count();  // mode 4 shows the filtered rows
}

}  // namespace

BENCHMARK(BM_NuevoDocumento)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_RecargaCompleta)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PasoTeclaPantalla)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_TecleaCodigo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TecleaNombre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TecleaNombreSinEspacios)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TecleaDescripcion)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_AbreBusqueda)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BuscaPorCodigo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AgregaLineaEscaneada)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
