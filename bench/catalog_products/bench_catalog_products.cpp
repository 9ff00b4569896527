// The product catalogue over 100,000 products kept in the central file and reached from the branch
// file through its links: one keystroke in the search box of the form (the search, the grid's
// refresh and the product shown), typed one character at a time (p95 in the counters), in each
// search field; and the search step alone.

#include "apps/setup/datasetup.h"
#include "catalogs/forms/frmproductos.h"
#include "catalogs/productos.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

constexpr int kProductos = 100000;

// A stationery shop's catalogue grown large: article, colour and size, numbered.
const char* kArticulos[] = {"CUADERNO", "PLUMA", "LAPIZ", "GOMA", "REGLA", "TIJERAS", "FOLDER",
                            "CARPETA", "MARCADOR", "CRAYOLA", "PINCEL", "ACUARELA", "COMPAS",
                            "ESCUADRA", "BLOCK", "SOBRE", "ETIQUETA", "CLIP", "GRAPA", "CINTA"};
const char* kColores[] = {"AZUL", "ROJO", "NEGRO", "VERDE", "BLANCO", "AMARILLO", "MORADO", "GRIS"};
const char* kMarcas[] = {"GEN", "NORTE", "SUR", "DORADA", "ESTRELLA", "PLUS", "MAX", "BIO"};

QString Codigo(int i)
{
    return QStringLiteral("780%1").arg(qint64(i) * 104729 % 1000000000LL, 9, 10, QLatin1Char('0'));
}

QString Nombre(int i)
{
    return QStringLiteral("%1 %2 T%3 #%4")
        .arg(QString::fromLatin1(kArticulos[(i * 7) % 20]), QString::fromLatin1(kColores[(i / 3) % 8]))
        .arg(i % 12)
        .arg(i);
}

struct Datos {
    QTemporaryDir dir;
    bool ok = false;
    Datos()
    {
        datasetup::Options o;
        o.dataFolder = dir.path();
        QString error;
        if (!datasetup::createDataFolder(o, &error))
            return;
        auto central = db::Database::open(datasetup::rutaBDCodigos(dir.path()), datasetup::claveArchivos());
        const QString corto = central->scalar(QStringLiteral(
            "SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))->toString();
        central.reset();
        EstadoGlobal& g = G();
        g.CarpetaDatos = dir.path();
        g.SucursalActual = 1;
        g.DescripcionC[1] = corto;
        g.PorcentajeIVA = 16;
        g.PermisosUsuario[35] = g.PermisosUsuario[36] = true;
        db::Database* bd = shell::BDSucursal();
        if (!bd)
            return;
        bd->beginWrite();
        bd->exec(QStringLiteral("DELETE FROM Producto"));
        for (int i = 1; i <= kProductos; ++i) {
            bd->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, "
                                    "Descripcion, PrecioUnit, IVA, Marca, Categoria) VALUES (?,?,?,?,?,16,?,0)"),
                     QVariantList{i, Codigo(i), Nombre(i),
                                  QStringLiteral("%1 DE %2 PIEZAS").arg(Nombre(i)).arg(i % 50),
                                  double(i % 997) + 0.5, QString::fromLatin1(kMarcas[i % 8])});
            bd->exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (?,?)"),
                     QVariantList{i, double(i % 13)});
        }
        ok = bd->commit();
    }
};

Datos& datos()
{
    static Datos d;
    return d;
}

void Percentiles(benchmark::State& state, std::vector<double>& tiempos)
{
    std::sort(tiempos.begin(), tiempos.end());
    if (tiempos.empty())
        return;
    state.counters["p95_ms"] = tiempos[size_t(double(tiempos.size() - 1) * 0.95)];
    state.counters["p50_ms"] = tiempos[tiempos.size() / 2];
    state.counters["max_ms"] = tiempos.back();
}

// Types the start of random names (or codes) into the form's search box, one key at a time, and
// times each key from the press to the grid and fields refreshed; then clears the box (F12, also
// timed: the whole catalogue again).
void Teclea(benchmark::State& state, int campo, bool sinEspacios)
{
    Datos& d = datos();
    if (!d.ok) {
        state.SkipWithError("no data folder");
        return;
    }
    catalogos::frmProductos forma;
    if (!forma.Abierto()) {
        state.SkipWithError("open failed");
        return;
    }
    forma.resize(1000, 700);
    forma.show();
    forma.Combo1->setCurrentIndex(campo);
    forma.Check1->setChecked(sinEspacios);
    QRandomGenerator azar(42);
    std::vector<double> tiempos;
    auto tecla = [&](auto&& pulsa) {
        const auto t0 = std::chrono::steady_clock::now();
        pulsa();
        QCoreApplication::processEvents();  // the grid repaints
        const auto t1 = std::chrono::steady_clock::now();
        tiempos.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    };
    for (auto _ : state) {
        const int i = 1 + int(azar.bounded(kProductos));
        const QString objetivo = campo == 0 ? Codigo(i) : Nombre(i);
        for (int n = 0; n < 6 && n < objetivo.size(); ++n) {
            const QChar ch = objetivo.at(n);
            tecla([&] { QTest::keyClick(forma.Text1, ch.toLatin1()); });
        }
        tecla([&] { QTest::keyClick(forma.Text1, Qt::Key_F12); });
        benchmark::DoNotOptimize(forma.Registros());
    }
    Percentiles(state, tiempos);
}

void BM_TecleaCodigo(benchmark::State& s) { Teclea(s, 0, false); }
void BM_TecleaNombre(benchmark::State& s) { Teclea(s, 1, false); }
void BM_TecleaNombreSinEspacios(benchmark::State& s) { Teclea(s, 1, true); }
void BM_TecleaDescripcion(benchmark::State& s) { Teclea(s, 2, false); }
void BM_TecleaMarca(benchmark::State& s) { Teclea(s, 5, false); }

// The search step alone (keys found and the first page read), the whole catalogue by name.
void BM_BuscaTodo(benchmark::State& state)
{
    Datos& d = datos();
    catalogos::FuenteCatalogo f(shell::BDSucursal());
    for (auto _ : state) {
        f.busca(QStringLiteral("NOMBRE"), QString());
        benchmark::DoNotOptimize(f.fila(0));
    }
    state.counters["rows"] = f.count();
    (void)d;
}

}  // namespace

BENCHMARK(BM_TecleaCodigo)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TecleaNombre)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TecleaNombreSinEspacios)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TecleaDescripcion)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TecleaMarca)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_BuscaTodo)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shell::CierraConexiones();
    return 0;
}
