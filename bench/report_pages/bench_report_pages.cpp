// Reports of a shop's size: a demo data folder grown to 100,000 products with stock and a year of
// 50,000 tickets and invoices (200,000 lines), made under the temporary folder at start. For
// Existencias, Existencias al costo and Venta Mensual (a year of invoices): the time until the
// window shows its first page, the time to the whole PDF, and the peak memory of each.
//
// Then every template the program ships, over values of the shape its callers hand it, with the
// shapes a shop really has beside the ordinary ones: one group or one seller holding every line,
// one very long document. `Plantilla/<file>/<shape>` lays it out in pages line by line as the
// program does; `.../entero` lays the same report out as one body by the text layout, the simple
// way the line-by-line layout must never be slower than. QUORVEL_BENCH_LINEAS sets the lines of
// every template run (default: each one's own, 100,000 for the listings); --benchmark_filter
// picks a subset, e.g. --benchmark_filter='Plantilla/.*un grupo$'.
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
#include <climits>
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

// The window just opened: its first page painted, then closed as a person closes it, with the
// events served so what it leaves is handed back.
struct PrimeraPagina {
    QImage imagen;
    double segundos = 0, picoMB = 0;
};
PrimeraPagina primeraYCierra(std::chrono::steady_clock::time_point inicio) {
    auto* vista = static_cast<report::Preview*>(report::openPreviews().front());
    PrimeraPagina p;
    p.imagen = vista->pages().image(0, 96);
    p.segundos = segundos(inicio);
    p.picoMB = picoMB();
    vista->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return p;
}

void corre(benchmark::State& state, const Arma& arma) {
    static const bool lista = prepara();
    if (!lista || !falla.isEmpty()) {
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
        const PrimeraPagina vista = primeraYCierra(inicio);

        // The whole report to a PDF file.
        reiniciaPico();
        inicio = std::chrono::steady_clock::now();
        s = arma();
        s.destino = report::Destination::Pdf;
        s.archivoPdf = carpeta->filePath(QStringLiteral("reporte.pdf"));
        if (printing::CorreReporte(s) != printing::ResultadoReporte::Hecho || vista.imagen.isNull()) {
            state.SkipWithError("el PDF no se hizo");
            return;
        }
        const double pdf = segundos(inicio);
        state.SetIterationTime(pdf);
        state.counters["primera_pagina_s"] = vista.segundos;
        state.counters["pdf_s"] = pdf;
        state.counters["pico_MB"] = std::max(vista.picoMB, picoMB());
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

// ---- Every template over values made here, at a shop's scale.

QString dinero(int i) { return QString::number(((i * 7919) % 90000) / 100.0 + 3, 'f', 2); }

// A line with the fields its template prints, as a caller fills them.
QVariantMap linea(int i, const QStringList& campos) {
    static const QString largo = QStringLiteral(" PASTA DURA CON ESPIRAL DOBLE Y SEPARADORES DE COLORES PARA CINCO MATERIAS");
    QVariantMap m;
    for (const QString& c : campos) {
        QVariant v;
        if (c == QLatin1String("CodigodeBarras") || c == QLatin1String("Codigo"))
            v = QStringLiteral("7509") + QString::number(100000000 + i);
        else if (c.contains(QLatin1String("Descripcion")) || c == QLatin1String("Cextra1") || c == QLatin1String("Nombre") ||
                 c == QLatin1String("Producto"))
            v = QStringLiteral("CUADERNO PROFESIONAL MODELO ") + QString::number(i) + (i % 9 == 0 ? largo : QString());
        else if (c.contains(QLatin1String("Cantidad")) || c.endsWith(QLatin1String("Txt")))
            v = QString::number(1 + i % 40);
        else if (c == QLatin1String("Fecha") || c == QLatin1String("Vence"))
            v = QDate(2026, 1 + i % 12, 1 + i % 28);
        else if (c == QLatin1String("Numero") || c == QLatin1String("ClaveProducto") || c == QLatin1String("NumeroVenta") ||
                 c == QLatin1String("Docto") || c == QLatin1String("Terminal"))
            v = i;
        else if (c == QLatin1String("Tipo") || c == QLatin1String("TipoDocto"))
            v = i % 7 == 0 ? QStringLiteral("F") : QStringLiteral("T");
        else if (c.contains(QLatin1String("Precio")) || c.contains(QLatin1String("Importe")) || c == QLatin1String("Total") ||
                 c == QLatin1String("Descuento") || c == QLatin1String("Pagado") || c == QLatin1String("PUnitario") ||
                 c == QLatin1String("Piezas"))
            v = ((i * 7919) % 90000) / 100.0 + 3;
        else
            v = QStringLiteral("PUBLICO EN GENERAL");
        m.insert(c, v);
    }
    return m;
}

QStringList campos(const char* lista) { return QString::fromLatin1(lista).split(QLatin1Char(' ')); }

// The lines in groups of the sizes given (repeated): each group with its own fields and list.
QVariantMap grupos(int lineas, const std::vector<int>& tamanos, const char* lista, const char* dentro,
                   const QStringList& deGrupo, const QStringList& deLinea) {
    QVariantList gs;
    int l = 0;
    for (size_t g = 0; l < lineas; ++g) {
        QVariantMap grupo = linea(int(g), deGrupo);
        grupo.insert(QStringLiteral("Ubicacion"), QStringLiteral("P") + QString::number(g % 50));
        grupo.insert(QStringLiteral("dCategoria"), QStringLiteral("CATEGORIA ") + QString::number(g % 7));
        QVariantList items;
        const int n = std::min(tamanos[g % tamanos.size()], lineas - l);
        for (int k = 0; k < n; ++k, ++l)
            items << linea(l, deLinea);
        grupo.insert(QString::fromLatin1(dentro), items);
        grupo.insert(QStringLiteral("NumProductos"), n);
        grupo.insert(QStringLiteral("NumDocumentos"), n);
        gs << grupo;
    }
    QVariantMap d;
    d.insert(QString::fromLatin1(lista), gs);
    d.insert(QStringLiteral("NumDocumentos"), int(gs.size()));
    d.insert(QStringLiteral("NumProductos"), lineas);
    return d;
}

QVariantMap lista(int lineas, const char* nombre, const QStringList& deLinea) {
    QVariantList l;
    for (int i = 0; i < lineas; ++i)
        l << linea(i, deLinea);
    QVariantMap d;
    d.insert(QString::fromLatin1(nombre), l);
    d.insert(QStringLiteral("NumProductos"), lineas);
    d.insert(QStringLiteral("NumDocumentos"), lineas);
    d.insert(QStringLiteral("NumDoctos"), lineas);
    return d;
}

struct Plantilla {
    const char* archivo;
    const char* forma;
    int lineas;
    std::function<QVariantMap(int)> datos;
};

const std::vector<int> kUno{INT_MAX};
// Tickets and invoices of a year: mostly a few lines, now and then a long one.
const std::vector<int> kTickets{1, 3, 2, 5, 4, 1, 2, 8, 3, 1, 12, 2, 4, 6, 1, 30, 3, 2};
// Entries and exits: a few big documents among small ones.
const std::vector<int> kMovimientos{4, 10, 2, 60, 7, 1, 25, 3};

std::vector<Plantilla> plantillas() {
    auto g = [](const char* l, const char* d, std::vector<int> t, const char* deGrupo, const char* deLinea) {
        return [=](int n) { return grupos(n, t, l, d, campos(deGrupo), campos(deLinea)); };
    };
    auto f = [](const char* l, const char* deLinea) { return [=](int n) { return lista(n, l, campos(deLinea)); }; };
    const char* existencia = "CodigodeBarras Descripcion Unidad Cantidad";
    const char* documento = "TipoDocto Numero Fecha Cliente Total";
    const char* renglon = "Cantidad Cextra1 PrecioUnit Descuento Importe";
    const char* factura = "Cantidad Codigo Descripcion PrecioUnit Importe";
    const char* movimiento = "Numero Fecha Descripcion Docto NombreUsuario Piezas Importe";
    const char* porProducto = "ClaveProducto Nombre Descripcion SumaCantidad SumaImporte";
    constexpr int k = 100000;
    return {
        {"existencias.html", "lista", k, f("lineas", existencia)},
        {"existencias al costo.html", "lista", k,
         f("lineas", "CodigodeBarras Descripcion Unidad PrecioCosto Cantidad ImporteCosto")},
        {"existPedidos.html", "lista", k, f("lineas", "CodigodeBarras Descripcion Unidad ReordenTxt StockMaxTxt Cantidad")},
        // 50 locations by 7 categories.
        {"existenciasubicacioncategoria.html", "grupos", k, g("grupos", "lineas", {286}, "", existencia)},
        {"existenciasubicacioncategoria.html", "un grupo", k, g("grupos", "lineas", kUno, "", existencia)},
        {"Ventaxempleado.html", "vendedores", k,
         g("vendedores", "documentos", {12500}, "NombreUsuario Total", "Tipo Numero Fecha Terminal Total")},
        {"Ventaxempleado.html", "un vendedor", k,
         g("vendedores", "documentos", kUno, "NombreUsuario Total", "Tipo Numero Fecha Terminal Total")},
        {"Venta Mensual.html", "documentos", k, g("documentos", "lineas", kTickets, documento, renglon)},
        {"Venta Mensual.html", "un documento", k, g("documentos", "lineas", kUno, documento, renglon)},
        {"venta diaria.html", "documentos", 20000, g("documentos", "lineas", kTickets, documento, renglon)},
        {"venta diaria01.html", "documentos", 20000, g("documentos", "lineas", kTickets, documento, renglon)},
        {"esinventarioind.html", "documentos", k,
         g("documentos", "lineas", kMovimientos, movimiento, "CodigodeBarras PDescripcion Cantidad PUnitario Importe")},
        {"esinventarioind.html", "un documento", k,
         g("documentos", "lineas", kUno, movimiento, "CodigodeBarras PDescripcion Cantidad PUnitario Importe")},
        {"esinventario02.html", "lista", k, f("documentos", movimiento)},
        {"VentaxperiodoImporte.html", "lista", k, f("productos", porProducto)},
        {"Ventaxperiodoxproducto.html", "lista", k, f("productos", porProducto)},
        {"ESxProducto.html", "lista", k,
         f("lineas", "Fecha Numero Movimiento Docto Descripcion Cantidad PrecioUnit Importe")},
        {"ventaxProducto.html", "lista", k, f("lineas", "Fecha Numero Cliente Cantidad PrecioUnit Descuento Importe")},
        {"VentaSeries.html", "documento largo", 5000, f("lineas", "Cantidad CodigodeBarras Descripcion PrecioUnit Importe")},
        {"Factura.html", "documento largo", 5000, f("lineas", factura)},
        {"Cotizacion.html", "documento largo", 5000, f("lineas", factura)},
        {"FacturaMP.html", "documento largo", 500, f("lineas", factura)},
        {"imprimedoctos.html", "lista", 10000, f("doctos", "Numero Tipo Producto Vence Importe Pagado")},
        {"imprimerecibo.html", "recibos", 2000,
         f("recibos", "Parte NumeroVenta Numero Tipo NombreCliente RFCCliente Importe ImporteLetra Producto Vence")},
    };
}

void correPlantilla(benchmark::State& state, const Plantilla& p, bool entero) {
    const int lineas = qEnvironmentVariableIsSet("QUORVEL_BENCH_LINEAS")
                           ? qEnvironmentVariableIntValue("QUORVEL_BENCH_LINEAS")
                           : p.lineas;
    report::Pages::setWholeUpTo(entero ? INT_MAX : 1500);
    for (auto _ : state) {
        report::Request r;
        r.templatePath = QStringLiteral(QUORVEL_BENCH_TEMPLATES "/") + QString::fromUtf8(p.archivo);
        r.title = QString::fromUtf8(p.forma);
        r.formulas.set(0, QStringLiteral("NombreEmpresa"), QStringLiteral("PAPELERIA LA UTIL"));
        r.formulas.set(1, QStringLiteral("Sucursal"), QStringLiteral("MATRIZ"));

        // The window: the values handed over, the first page painted.
        r.data = p.datos(lineas);
        reiniciaPico();
        auto inicio = std::chrono::steady_clock::now();
        r.destination = report::Destination::Preview;
        QString error;
        if (!report::run(r, &error) || report::openPreviews().size() != 1) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        const PrimeraPagina vista = primeraYCierra(inicio);

        // The whole report to a PDF file.
        reiniciaPico();
        inicio = std::chrono::steady_clock::now();
        r.destination = report::Destination::Pdf;
        r.pdfPath = carpeta->filePath(QStringLiteral("plantilla.pdf"));
        const qint64 trabajo = report::Pages::layoutWork();
        if (!report::run(r, &error) || vista.imagen.isNull()) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        const double pdf = segundos(inicio);
        state.SetIterationTime(pdf);
        state.counters["lineas"] = lineas;
        state.counters["primera_pagina_s"] = vista.segundos;
        state.counters["pdf_s"] = pdf;
        state.counters["pico_MB"] = std::max(vista.picoMB, picoMB());
        state.counters["trazado_Mcar"] = (report::Pages::layoutWork() - trabajo) / 1e6;
        QFile::remove(r.pdfPath);
    }
    report::Pages::setWholeUpTo(1500);
}

void registraPlantillas() {
    for (const Plantilla& p : plantillas())
        for (const bool entero : {false, true}) {
            const std::string nombre = std::string("Plantilla/") + p.archivo + "/" + p.forma + (entero ? "/entero" : "");
            benchmark::RegisterBenchmark(nombre.c_str(), [p, entero](benchmark::State& st) {
                correPlantilla(st, p, entero);
            })->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
        }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    carpeta = new QTemporaryDir;
    registraPlantillas();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    shell::CierraConexiones();
    delete carpeta;
    return 0;
}
