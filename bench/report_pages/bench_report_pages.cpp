// Reports of a shop's year: a demo data folder grown to 100,000 products with stock, a year of
// 50,000 tickets and invoices (200,000 lines) and of 20,000 inventory entries and exits (200,000
// lines), made under the temporary folder at start. `Programa/...` runs a report's menu item as a
// person does (its prompt answered, every window it opens) and tells the time until its last
// window shows its first page, the time to print every window whole to a PDF while they stay
// open (the longest one), the peak memory with the windows open and while they print, and the
// machine's load. Each of these runs in a process of its own (this program starts itself again
// for each), so its peak is its own.
//
// Then every template the program ships, over values of the shape its callers hand it, with the
// shapes a shop really has beside the ordinary ones: one group or one seller holding every line,
// one very long document. `Plantilla/<file>/<shape>` lays it out in pages line by line as the
// program does; `.../entero` lays the same report out as one body by the text layout, the simple
// way the line-by-line layout must never be slower than. QUORVEL_BENCH_LINEAS sets the lines of
// every template run (default: each one's own, 100,000 for the listings); --benchmark_filter
// picks a subset, e.g. --benchmark_filter='Plantilla/.*un grupo$' or 'Programa/Venta Mensual'.
// --primera_pagina: the menu items' first pages and memory only (no PDF, no templates);
// --corridas=N runs each menu item N times, each run in a process of its own, e.g.
//   bench_report_pages --primera_pagina --corridas=3 --benchmark_filter='Programa/(Entradas|Venta)'
#include "carpeta_demo.h"

#include "platform/report/pages.h"
#include "platform/report/preview.h"
#include "printing/forms/frmSolicParametros.h"
#include "printing/forms/menus_reportes.h"
#include "printing/reporte.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <string>

namespace {

constexpr int kProductos = 100000, kDocumentos = 50000, kLineasPorDocumento = 4;
constexpr int kDocsInventario = 20000, kLineasPorMovimiento = 10;

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

// The machine's load over the last minute: five other people build on it.
double carga() {
    double uno = 0;
    std::ifstream("/proc/loadavg") >> uno;
    return uno;
}

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
           ex(bd, serie.arg(kDocsInventario) +
                   QStringLiteral("INSERT INTO EInventario (Numero, Fecha, Aplicado, Usuario, Descripcion, DescribeMovto, "
                                  "Docto) SELECT i, date('now', '-' || (i % 364) || ' days') || ' 09:00:00', 1, 1, "
                                  "'ENTRADA DE MERCANCIA ' || i, i % 2, 'E' || i FROM n")) &&
           ex(bd, serie.arg(kDocsInventario * kLineasPorMovimiento) +
                   QStringLiteral("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, OrdenCap, PUnitario) "
                                  "SELECT (i - 1) / %1 + 1, %2 + (i * 7919) % %3 + 1, 1 + i % 5, (i - 1) % %1 + 1, 12.5 "
                                  "FROM n")
                       .arg(kLineasPorMovimiento)
                       .arg(base)
                       .arg(kProductos)) &&
           ex(bd, QStringLiteral("COMMIT"));
}

// The shop's data folder: under QUORVEL_BENCH_CARPETA when set (kept, made only when missing),
// else under the temporary folder.
QString datos() {
    const QString hecha = qEnvironmentVariable("QUORVEL_BENCH_CARPETA");
    return (hecha.isEmpty() ? carpeta->path() : hecha) + QStringLiteral("/datos");
}

// The shared state of a shop whose receipt printer is a file.
void ponEstado() {
    G().NombreEmp = QStringLiteral("PAPELERIA LA UTIL");
    G().PermisosUsuario.fill(true);
    G().CodigosPTicket = 1;
    G().MetodoImpresion = 0;
    G().Printer3.clear();
    G().PuertoTicket = carpeta->filePath(QStringLiteral("lp0"));
}

// The data folder made and filled (once, by the first process).
bool prepara() {
    if (QFileInfo::exists(datos()))
        return true;
    falla = testutil::CreaCarpetaDemo(datos());
    if (!falla.isEmpty())
        return false;
    ponEstado();
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    if (!bd || !llena(*bd)) {
        falla = QStringLiteral("no se pudo llenar la carpeta de datos: ") + e.message;
        return false;
    }
    shell::CierraConexiones();
    return true;
}

double segundos(std::chrono::steady_clock::time_point desde) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - desde).count();
}

// Answers the parameter prompt as soon as it shows: the period from `desde` (a year by default)
// and the entry `imprimira` of its list (-1: as it comes).
void respondePrompt(int imprimira = -1, const QDate& desde = QDate::currentDate().addDays(-364)) {
    QTimer::singleShot(0, [=] {
        auto* frm = qobject_cast<frmSolicParametros*>(QApplication::activeModalWidget());
        if (!frm)
            return;
        for (int i = 0; i < frm->lstParametros->count(); ++i) {
            frm->lstParametros->setCurrentRow(i);
            const QString nombre = frm->lstParametros->item(i)->text();
            if (nombre == QLatin1String("FechaIni"))
                frm->dtControl->setDate(desde);
            else if (nombre == QLatin1String("Imprimira") && imprimira >= 0)
                frm->cmbParam->setCurrentIndex(imprimira);
        }
        frm->cmdAceptar->click();
    });
}

void sirveEventos() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// One menu item as a person runs it: the prompt answered, then every window it opened shows its
// first page and is printed whole to a PDF while they all stay open, then closed.
struct Paso {
    std::function<printing::ResultadoReporte(ui::Prompts&)> corre;
    std::function<void()> prompt;
    int ventanas = 1;
    QString entrada;  // what is typed where the report asks for a text
};

void correPrograma(benchmark::State& state, const std::vector<Paso>& pasos, const std::function<void()>& antes = {},
                   const std::function<void()>& despues = {}) {
    if (!falla.isEmpty()) {
        state.SkipWithError(qPrintable(falla));
        return;
    }
    if (antes)
        antes();
    for (auto _ : state) {
        reiniciaPico();
        double primera = 0, trabajo = 0, picoVentanas = 0;
        for (const Paso& paso : pasos) {
            ui::ScriptedPrompts prompts;
            prompts.pushAnswer(ui::Answer::Yes);  // a long listing on the roll: print it
            if (!paso.entrada.isEmpty())
                prompts.pushInput(paso.entrada);
            if (paso.prompt)
                paso.prompt();
            const auto inicio = std::chrono::steady_clock::now();
            if (paso.corre(prompts) != printing::ResultadoReporte::Hecho ||
                report::openPreviews().size() != size_t(paso.ventanas)) {
                state.SkipWithError(qPrintable(QStringLiteral("el reporte no se abrió: ") + prompts.lastMessage()));
                return;
            }
            QList<QPointer<report::Preview>> vistas;
            for (QDialog* d : report::openPreviews())
                vistas << static_cast<report::Preview*>(d);
            for (const auto& v : vistas)
                v->pages().image(0, 96);
            primera = std::max(primera, segundos(inicio));
            if (paso.ventanas == 0)
                trabajo = std::max(trabajo, segundos(inicio));
            picoVentanas = std::max(picoVentanas, picoMB());
            // QUORVEL_BENCH_SIN_IMPRIMIR: the windows only (a run under heaptrack).
            for (const auto& v : qEnvironmentVariableIsSet("QUORVEL_BENCH_SIN_IMPRIMIR") ? decltype(vistas)() : vistas) {
                const auto desde = std::chrono::steady_clock::now();
                QPrinter pdf(QPrinter::HighResolution);
                pdf.setOutputFormat(QPrinter::PdfFormat);
                pdf.setOutputFileName(carpeta->filePath(QStringLiteral("programa.pdf")));
                bool parar = false;
                QString error;
                if (!report::print(v->pages(), &pdf, &error, v, &parar)) {
                    state.SkipWithError(qPrintable(QStringLiteral("el PDF no se hizo: ") + error));
                    return;
                }
                trabajo = std::max(trabajo, segundos(desde));
                QFile::remove(pdf.outputFileName());
            }
            for (const auto& v : vistas)
                if (v)
                    v->close();
            sirveEventos();
        }
        state.SetIterationTime(trabajo);
        state.counters["primera_pagina_s"] = primera;
        state.counters["trabajo_s"] = trabajo;
        state.counters["pico_ventanas_MB"] = picoVentanas;
        state.counters["pico_MB"] = picoMB();
        state.counters["carga"] = carga();
    }
    if (despues)
        despues();
}

using printing::ResultadoReporte;

// Every product in one location and one category, and back.
void unaUbicacion() {
    db::Database* bd = shell::BDSucursal(nullptr);
    if (!bd || !ex(*bd, QStringLiteral("CREATE TABLE UbicacionesAntes AS SELECT ClaveProducto, Ubicacion, Categoria FROM Producto")) ||
        !ex(*bd, QStringLiteral("UPDATE Producto SET Ubicacion = 'P1', Categoria = 1")))
        falla = QStringLiteral("no se pudo poner todo en una ubicación");
}
void ubicacionesDeVuelta() {
    db::Database* bd = shell::BDSucursal(nullptr);
    if (bd) {
        ex(*bd, QStringLiteral("UPDATE Producto SET Ubicacion = u.Ubicacion, Categoria = u.Categoria FROM UbicacionesAntes u "
                               "WHERE u.ClaveProducto = Producto.ClaveProducto"));
        ex(*bd, QStringLiteral("DROP TABLE UbicacionesAntes"));
    }
}

struct Programa {
    const char* nombre;
    std::vector<Paso> pasos;
    std::function<void()> antes, despues;
};

std::vector<Programa> programas() {
    using Menu = ResultadoReporte (*)(ui::Prompts&, QWidget*);
    auto paso = [](Menu m, std::function<void()> prompt, int ventanas = 1, const QString& entrada = {}) {
        return Paso{[m](ui::Prompts& p) { return m(p, nullptr); }, std::move(prompt), ventanas, entrada};
    };
    auto enPantalla = [] { respondePrompt(0); };
    auto aLaImpresora = [] { respondePrompt(1); };
    auto comoViene = [] { respondePrompt(); };
    // The day's sales in two windows (invoices, then tickets), or listed on the ticket printer.
    auto conTickets = [] { G().ParTickets = 1; };
    auto listadoDelDia = [] { G().VentasaTicket = 1; };
    return {
        {"Existencias", {paso(printing::RExistencias, enPantalla)}, {}, {}},
        {"Existencias al costo", {paso(printing::ExistCosto, {})}, {}, {}},
        {"Existencias y luego al costo", {paso(printing::RExistencias, enPantalla), paso(printing::ExistCosto, {})}, {}, {}},
        {"Venta Mensual", {paso(printing::VentaMensual, comoViene, 2)}, {}, {}},
        {"Entradas y salidas", {paso(printing::ESInventario, comoViene, 2)}, {}, {}},
        {"Productos mas vendidos", {paso(printing::rMasVendidos, comoViene)}, {}, {}},
        {"Venta por producto importe", {paso(printing::vProdImporte, comoViene)}, {}, {}},
        {"Existencias por ubicacion", {paso(printing::ExistenciasUbicacionCat, enPantalla)}, {}, {}},
        {"Existencias por ubicacion/una ubicacion", {paso(printing::ExistenciasUbicacionCat, enPantalla)}, unaUbicacion,
         ubicacionesDeVuelta},
        {"Existencias en la impresora de tickets", {paso(printing::RExistencias, comoViene, 0)}, {}, {}},
        {"Existencias para pedido", {paso(printing::EReorden, {})}, {}, {}},
        {"Venta diaria", {paso(printing::ventadiaria, enPantalla, 2)}, conTickets, {}},
        {"Venta diaria en la impresora de tickets", {paso(printing::ventadiaria, aLaImpresora, 0)}, listadoDelDia, {}},
        {"Tickets de hoy", {paso(printing::Ventadiaria2, {})}, {}, {}},
        {"Venta por empleado", {paso(printing::rVEmpleado, enPantalla)}, {}, {}},
        {"Series de un documento", {paso(printing::ReporteSeriesVenta, {}, 1, QStringLiteral("T1"))}, {}, {}},
    };
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
    sirveEventos();
    return p;
}

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

// The --benchmark_filter given, as a regular expression ("" when none).
std::string filtro(int argc, char** argv) {
    const std::string opcion = "--benchmark_filter=";
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind(opcion, 0) == 0)
            return std::string(argv[i]).substr(opcion.size());
    return {};
}

}  // namespace

// Without QUORVEL_BENCH_CASO: makes the data folder, runs each `Programa/...` the filter picks in
// a process of its own over it, then the templates here. With it: that one case, over the data
// folder under QUORVEL_BENCH_CARPETA (e.g. under heaptrack).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The first pages only: the windows are not printed (here nor in the processes started for
    // each case, which see the same setting) and no template runs.
    bool primeras = false;
    int corridas = 1;
    for (int i = 1; i < argc;) {
        const std::string a = argv[i];
        if (a == "--primera_pagina")
            primeras = true;
        else if (a.rfind("--corridas=", 0) == 0)
            corridas = std::max(1, std::atoi(a.c_str() + 11));
        else {
            ++i;
            continue;
        }
        std::copy(argv + i + 1, argv + argc + 1, argv + i);
        --argc;
    }
    if (primeras)
        qputenv("QUORVEL_BENCH_SIN_IMPRIMIR", "1");
    QApplication app(argc, argv);
    const QString caso = qEnvironmentVariable("QUORVEL_BENCH_CASO");
    carpeta = new QTemporaryDir;
    if (!caso.isEmpty()) {
        testutil::UsaCarpetaDemo(datos());
        ponEstado();
        for (const Programa& p : programas())
            if (caso == QString::fromUtf8(p.nombre))
                benchmark::RegisterBenchmark((std::string("Programa/") + p.nombre).c_str(),
                                             [p](benchmark::State& st) { correPrograma(st, p.pasos, p.antes, p.despues); })
                    ->UseManualTime()
                    ->Unit(benchmark::kSecond)
                    ->Iterations(1);
    } else {
        const std::regex elige(filtro(argc, argv));
        std::vector<std::string> elegidos;
        for (const Programa& p : programas())
            if (std::regex_search(std::string("Programa/") + p.nombre, elige))
                elegidos.push_back(p.nombre);
        if (!elegidos.empty() && prepara()) {
            for (int corrida = 0; corrida < corridas; ++corrida) {
                for (const std::string& nombre : elegidos) {
                    QProcess hijo;
                    hijo.setProcessChannelMode(QProcess::ForwardedChannels);
                    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                    env.insert(QStringLiteral("QUORVEL_BENCH_CASO"), QString::fromStdString(nombre));
                    env.insert(QStringLiteral("QUORVEL_BENCH_CARPETA"), QFileInfo(datos()).path());
                    hijo.setProcessEnvironment(env);
                    QStringList args;
                    for (int i = 1; i < argc; ++i)
                        if (std::string(argv[i]).rfind("--benchmark_filter=", 0) != 0)
                            args << QString::fromLocal8Bit(argv[i]);
                    hijo.start(QCoreApplication::applicationFilePath(), args);
                    hijo.waitForFinished(-1);
                }
            }
        } else if (!elegidos.empty()) {
            fprintf(stderr, "%s\n", qPrintable(falla));
        }
        if (!primeras)
            registraPlantillas();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    shell::CierraConexiones();
    delete carpeta;
    return 0;
}
