// Reports of a shop's size: a demo data folder grown to 100,000 products with stock and a year of
// 50,000 tickets and invoices (200,000 lines), made under the temporary folder at start. For
// Existencias, Existencias al costo and Venta Mensual (a year of invoices): the time until the
// window shows its first page, the time to the whole PDF, and the peak memory of each.
#include "carpeta_demo.h"

#include "platform/report/pages.h"
#include "platform/report/preview.h"
#include "printing/reporte.h"
#include "printing/reportes_existencias.h"
#include "printing/reportes_ventas.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>

namespace {

constexpr int kProductos = 100000, kDocumentos = 50000, kLineasPorDocumento = 4;

QTemporaryDir* carpeta = nullptr;
QString falla;

double picoMB() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void reiniciaPico() { std::ofstream("/proc/self/clear_refs") << "5"; }

bool ex(db::Database& bd, const QString& sql) {
    db::Error e;
    if (bd.exec(sql, QVariantList{}, &e))
        return true;
    fprintf(stderr, "%s\n", qPrintable(e.message));
    return false;
}

bool llena(db::Database& bd) {
    const auto maximo = bd.scalar(QStringLiteral("SELECT coalesce(max(ClaveProducto), 0) FROM Producto"));
    if (!maximo)
        return false;
    const qint64 base = maximo->toLongLong();
    const QString serie = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ");
    return ex(bd, QStringLiteral("BEGIN")) &&
           ex(bd, serie.arg(kProductos) +
                   QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, Descripcion, Ubicacion, "
                                  "Marca, PrecioUnit, Precio1, Precio2, Precio3, PrecioCosto, Reorden, Categoria) "
                                  "SELECT %1 + i, '7509' || (100000000 + i), 'CUADERNO ' || i, "
                                  "'CUADERNO MODELO ' || i || ' BIC', 'P' || (i % 50), 'BIC', "
                                  "round((i % 400) * 1.4 + 2.8, 2), round((i % 400) * 1.4 + 2.8, 2), 0, 0, "
                                  "(i % 400) + 2.0, i % 21, i % 7 FROM n")
                       .arg(base)) &&
           ex(bd, QStringLiteral("INSERT OR REPLACE INTO Existencia (ClaveProducto, Existencia) "
                                  "SELECT ClaveProducto, (ClaveProducto * 7) % 151 FROM Producto")) &&
           ex(bd, serie.arg(kDocumentos) +
                   QStringLiteral("INSERT INTO Venta (Numero, Tipo, Empleado, Sucursal, Terminal, Cliente, Fecha, "
                                  "Total, Vendedor, CondicionPago, Descuento, IVAP, Pagacon, FormaPago, Status, IdCorte) "
                                  "SELECT i, CASE WHEN i % 100 < 85 THEN 'T' ELSE 'F' END, 1, 1, 1, 'XAXX010101000', "
                                  "date('now', '-' || (i % 364) || ' days') || ' 10:00:00', 250.0, 1, 0, 0, 16, "
                                  "250.0, 1, 1, 1 FROM n")) &&
           ex(bd, serie.arg(kDocumentos * kLineasPorDocumento) +
                   QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, "
                                  "Descuento, Iva, Moneda, Terminal) "
                                  "SELECT (i - 1) / %1 + 1, CASE WHEN ((i - 1) / %1 + 1) % 100 < 85 THEN 'T' ELSE 'F' END, "
                                  "%2 + (i * 7919) % %3 + 1, 1 + i % 4, 62.5, 0, 16, 1, '1' FROM n")
                       .arg(kLineasPorDocumento)
                       .arg(base)
                       .arg(kProductos)) &&
           ex(bd, QStringLiteral("COMMIT"));
}

bool prepara() {
    carpeta = new QTemporaryDir;
    const QString datos = carpeta->filePath(QStringLiteral("datos"));
    falla = testutil::CreaCarpetaDemo(datos);
    if (!falla.isEmpty())
        return false;
    G().NombreEmp = QStringLiteral("PAPELERIA LA UTIL");
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    if (!bd || !llena(*bd)) {
        falla = QStringLiteral("no se pudo llenar la carpeta de datos: ") + e.message;
        return false;
    }
    G().PermisosUsuario.fill(true);
    return true;
}

using Arma = std::function<printing::SolicitudReporte()>;

printing::SolicitudReporte existencias(printing::ReporteExistencias tipo, const char* archivo) {
    printing::SolicitudReporte s;
    s.archivo = QString::fromUtf8(archivo);
    s.titulo = QStringLiteral("Existencias");
    s.sql = printing::SeleccionExistencias(tipo);
    s.datos = [tipo](const db::Rows& filas, QVariantMap& d) {
        d.insert(printing::DatosExistencias(filas));
        if (tipo == printing::ReporteExistencias::Costo)
            d.insert(QStringLiteral("TotalCosto"), printing::TotalCosto(filas));
    };
    return s;
}

printing::SolicitudReporte ventaMensual() {
    printing::SolicitudReporte s;
    s.archivo = QStringLiteral("Venta Mensual.html");
    s.titulo = QStringLiteral("Ventas por Periodo FACTURAS");
    const QDate fin = QDate::currentDate(), ini = fin.addDays(-364);
    s.sql = printing::SeleccionPeriodo(false, ini, fin, &s.valores);
    s.formulas = [ini, fin](const db::Rows&, report::Formulas& f) {
        f.set(2, QStringLiteral("FechaIni"), ini.toString(QStringLiteral("dd/MM/yyyy")));
        f.set(3, QStringLiteral("FechaFin"), fin.toString(QStringLiteral("dd/MM/yyyy")));
    };
    s.datos = [](const db::Rows& filas, QVariantMap& d) { d.insert(printing::DatosVentas(filas)); };
    return s;
}

double segundos(std::chrono::steady_clock::time_point desde) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - desde).count();
}

void corre(benchmark::State& state, const Arma& arma) {
    if (!falla.isEmpty()) {
        state.SkipWithError(qPrintable(falla));
        return;
    }
    for (auto _ : state) {
        // The window: the query, the values and the first page painted.
        reiniciaPico();
        auto inicio = std::chrono::steady_clock::now();
        printing::SolicitudReporte s = arma();
        if (printing::CorreReporte(s) != printing::ResultadoReporte::Hecho || report::openPreviews().size() != 1) {
            state.SkipWithError("el reporte no se abrió");
            return;
        }
        auto* vista = static_cast<report::Preview*>(report::openPreviews().front());
        const QImage primera = vista->pages().image(0, 96);
        const double primeraPagina = segundos(inicio);
        const double picoVista = picoMB();
        vista->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // The whole report to a PDF file.
        reiniciaPico();
        inicio = std::chrono::steady_clock::now();
        s = arma();
        s.destino = report::Destination::Pdf;
        s.archivoPdf = carpeta->filePath(QStringLiteral("reporte.pdf"));
        if (printing::CorreReporte(s) != printing::ResultadoReporte::Hecho || primera.isNull()) {
            state.SkipWithError("el PDF no se hizo");
            return;
        }
        const double pdf = segundos(inicio);
        state.SetIterationTime(pdf);
        state.counters["primera_pagina_s"] = primeraPagina;
        state.counters["pdf_s"] = pdf;
        state.counters["pico_MB"] = std::max(picoVista, picoMB());
        state.counters["pdf_MB"] = QFileInfo(s.archivoPdf).size() / 1048576.0;
        state.counters["filas"] = double(printing::UltimaSolicitud().rows.size());
        QFile::remove(s.archivoPdf);
    }
}

void BM_Existencias(benchmark::State& st) {
    corre(st, [] { return existencias(printing::ReporteExistencias::Existencias, "existencias.html"); });
}
void BM_ExistenciasAlCosto(benchmark::State& st) {
    corre(st, [] { return existencias(printing::ReporteExistencias::Costo, "existencias al costo.html"); });
}
void BM_VentaMensual(benchmark::State& st) { corre(st, ventaMensual); }

BENCHMARK(BM_Existencias)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_ExistenciasAlCosto)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_VentaMensual)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepara();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    shell::CierraConexiones();
    delete carpeta;
    return 0;
}
