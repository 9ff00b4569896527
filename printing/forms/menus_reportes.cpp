#include "printing/forms/menus_reportes.h"
#include "shell/rutinas_bd.h"

#include "platform/report/progress.h"
#include "platform/report/records.h"
#include "platform/report/totals.h"
#include "printing/forms/frmSolicParametros.h"
#include "printing/reporte_parametros.h"
#include "printing/envio.h"
#include "printing/formato.h"
#include "printing/reportes_existencias.h"
#include "printing/reportes_ventas.h"
#include "printing/ventasdiaticket.h"
#include "shell/menu.h"
#include "shell/permisos.h"
#include "shell/texto.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

#include <QDate>

namespace printing {
namespace {

const char kDescImprimira[] = "Indica hacia donde se mostrara la informacion del reporte.";

// The two stock reports that may go to the receipt printer instead of the window.
ResultadoReporte ExistenciasConEleccion(ReporteExistencias tipo, const QString& archivo, ui::Prompts& prompts,
                                        QWidget* parent) {
    bool listado = false;
    SolicitudReporte s;
    s.archivo = archivo;
    s.titulo = QStringLiteral("Existencias de productos.");
    s.permiso = 24;
    s.sql = SeleccionExistencias(tipo);
    s.datos = [tipo](const db::Rows& filas, QVariantMap& d) {
        d.insert(tipo == ReporteExistencias::UbicacionCategoria ? DatosExistenciasUbicacion(filas)
                                                                 : DatosExistencias(filas));
    };
    s.parametros = [&] {
        LimpiaParametrosReporte();
        AgregaParametroReporte(QStringLiteral("Imprimira"), QStringLiteral("1"), QString::fromUtf8(kDescImprimira),
                               QStringLiteral("Combo"));
        if (!SolicitaParametros({QStringLiteral("Pantalla"), QStringLiteral("Impresora Ticket")}, parent))
            return false;
        // The listing leaves the protocol here: it needs the rows, not the window.
        listado = ObtenerParametroReporte(QStringLiteral("Imprimira")) == QLatin1String("Impresora Ticket");
        return !listado;
    };
    const ResultadoReporte r = CorreReporte(s, prompts, parent);
    if (!listado) return r;
    // Without a receipt printer nothing is read at all.
    if (!HayImpresoraListados(prompts)) return ResultadoReporte::ErrorReporte;
    // The rows are read off the window's thread, as a report's are.
    std::optional<db::Rows> filas;
    db::Error e;
    const auto lector = shell::LectorBDSucursal();
    LecturaEnCurso lectura;
    if (!report::runAside(
            QStringLiteral("Leyendo las existencias..."),
            [&](const std::atomic<bool>& parar) {
                const auto bd = lector(&e);
                if (!bd || !lectura.empieza(bd.get(), parar)) return;
                filas = bd->select(s.sql, {}, &e);
                lectura.termina();
            },
            parent, [&] { lectura.interrumpe(); }))
        return ResultadoReporte::Cancelado;
    if (!filas) {
        prompts.message(QStringLiteral("No se pudieron leer las existencias: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
        return ResultadoReporte::ErrorDatos;
    }
    bool detenido = false;
    if (ImprimeExistenciasTicket(*filas, prompts, &detenido, parent)) return ResultadoReporte::Hecho;
    return detenido ? ResultadoReporte::Cancelado : ResultadoReporte::ErrorReporte;
}

// "FechaIni" and "FechaFin", both today, through the prompt.
bool PidePeriodo(QWidget* parent) {
    LimpiaParametrosReporte();
    const QString hoy = TextoFecha(QDate::currentDate());
    AgregaParametroReporte(QStringLiteral("FechaIni"), hoy, QStringLiteral("Fecha Inicial del Rango."),
                           QStringLiteral("Fecha"));
    AgregaParametroReporte(QStringLiteral("FechaFin"), hoy, QStringLiteral("Fecha Final del Rango."),
                           QStringLiteral("Fecha"));
    return SolicitaParametros({}, parent);
}

QDate fechaParametro(const char* nombre) { return FechaDeTexto(ObtenerParametroReporte(QString::fromLatin1(nombre))); }

QString textoFecha(const QDate& d) { return shell::FormatoFecha(d, QStringLiteral("dd/mm/yyyy")); }

// The branch file must be there; else the critical message.
bool haySucursal(ui::Prompts& prompts) {
    if (shell::ExisteBDSucursal()) return true;
    prompts.message(QStringLiteral("No se encontraron los archivos de datos para la sucursal."), ui::Icon::Critical);
    return false;
}

bool hayPlantilla(const QString& archivo, ui::Prompts& prompts) { return ExisteArchivo(RutaPlantilla(archivo), prompts); }

// "Imprimira" shows "Pantalla" first, so accepting the prompt at once opens the window.
void agregaImprimira() {
    AgregaParametroReporte(QStringLiteral("Imprimira"), QStringLiteral("0"), QString::fromUtf8(kDescImprimira),
                           QStringLiteral("Combo"));
}
const QStringList kPantallaImpresora{QStringLiteral("Pantalla"), QStringLiteral("Impresora")};

bool eligioImpresora() { return ObtenerParametroReporte(QStringLiteral("Imprimira")) == QLatin1String("Impresora"); }

// The report printer of the branch instead of the window.
void alImpresorDeReportes(SolicitudReporte& s) {
    s.destino = report::Destination::Printer;
    s.impresora = G().Printer2;
}

void formulasPeriodo(report::Formulas& f, const QDate& ini, const QDate& fin, int desde) {
    f.set(desde, QStringLiteral("FechaIni"), textoFecha(ini));
    f.set(desde + 1, QStringLiteral("FechaFin"), textoFecha(fin));
}

ResultadoReporte productos(bool porImporte, ui::Prompts& prompts, QWidget* parent) {
    SolicitudReporte s;
    s.archivo = porImporte ? QStringLiteral("VentaxperiodoImporte.html") : QStringLiteral("Ventaxperiodoxproducto.html");
    // Both cover tickets and invoices: each goes by its menu item's name.
    s.titulo = porImporte ? QStringLiteral("Venta x Producto Importe") : QStringLiteral("Productos +Vendidos");
    s.permiso = 23;
    QDate ini, fin;
    s.parametros = [&] {
        if (!PidePeriodo(parent)) return false;
        ini = fechaParametro("FechaIni");
        fin = fechaParametro("FechaFin");
        return true;
    };
    s.lectura = [&](db::Database& bd, db::Error* e) { return ProductosVendidos(bd, ini, fin, porImporte, e); };
    s.formulas = [&](const db::Rows&, report::Formulas& f) { formulasPeriodo(f, ini, fin, 2); };
    s.datos = [](const db::Rows& filas, QVariantMap& d) {
        report::Records l(QStringLiteral("productos"));
        qint64 centavos = 0;
        for (const db::Row& f : filas) {
            QVariantMap m = report::toVariant(f, QStringLiteral("productos"));
            m.insert(QStringLiteral("SumaCantidad"), NumeroPlano(f.real(QStringLiteral("SumaCantidad"))));
            centavos += shell::Centavos(f.real(QStringLiteral("SumaImporte")));
            l.append(m);
        }
        l.squeeze();
        d.insert(QStringLiteral("productos"), QVariant::fromValue(l));
        d.insert(QStringLiteral("TotalImporte"), report::formatAmount(double(centavos) / 100));
    };
    return CorreReporte(s, prompts, parent);
}

}  // namespace

ResultadoReporte ventadiaria(ui::Prompts& prompts, QWidget* parent) {
    if (!shell::TienePermiso(22, true)) return ResultadoReporte::SinPermiso;
    if (!haySucursal(prompts)) return ResultadoReporte::SinSucursal;
    LimpiaParametrosReporte();
    AgregaParametroReporte(QStringLiteral("Fecha"), TextoFecha(QDate::currentDate()),
                           QStringLiteral("Fecha Inicial del Rango."), QStringLiteral("Fecha"));
    agregaImprimira();
    if (!SolicitaParametros(kPantallaImpresora, parent)) return ResultadoReporte::Cancelado;
    const bool impresora = eligioImpresora();
    if (impresora && G().VentasaTicket.toInt() == 1)
        return rptVentasTicket(prompts) ? ResultadoReporte::Hecho : ResultadoReporte::ErrorReporte;
    const QDate fecha = fechaParametro("Fecha");

    auto corrida = [&](bool tickets) {
        SolicitudReporte s;
        s.archivo = QStringLiteral("venta diaria.html");
        s.titulo = tickets ? QStringLiteral("TICKETS -Ventas x Dia-") : QStringLiteral("FACTURAS -Ventas x Dia-");
        // Both invoice letters: with electronic invoicing on a day may hold paper and electronic ones.
        s.sql = SeleccionVentaDiaria(tickets ? QStringList{QStringLiteral("T")}
                                             : QStringList{QStringLiteral("F"), QStringLiteral("E")},
                                     fecha, &s.valores);
        s.formulas = [&](const db::Rows&, report::Formulas& f) {
            f.set(2, QStringLiteral("Fecha"), textoFecha(fecha));
            f.set(3, QStringLiteral("TipoDocto"), tickets ? QStringLiteral("Notas/Tickets") : QStringLiteral("Facturas"));
        };
        s.datos = [](const db::Rows& filas, QVariantMap& d) { d.insert(DatosVentas(filas)); };
        if (impresora) alImpresorDeReportes(s);
        return CorreReporte(s, prompts, parent);
    };
    const ResultadoReporte r = corrida(false);
    if (r != ResultadoReporte::Hecho || G().ParTickets == 0) return r;
    return corrida(true);
}

ResultadoReporte Ventadiaria2(ui::Prompts& prompts, QWidget* parent) {
    if (!haySucursal(prompts)) return ResultadoReporte::SinSucursal;
    if (!shell::TienePermiso(22, true)) return ResultadoReporte::SinPermiso;
    SolicitudReporte s;
    s.archivo = QStringLiteral("venta diaria01.html");
    s.titulo = QStringLiteral("TICKETS -Ventas x Dia-");
    s.sql = SeleccionTicketsHoy(QDate::currentDate(), &s.valores);
    s.datos = [](const db::Rows& filas, QVariantMap& d) { d.insert(DatosVentas(filas)); };
    return CorreReporte(s, prompts, parent);
}

ResultadoReporte VentaMensual(ui::Prompts& prompts, QWidget* parent) {
    QDate ini, fin;
    auto solicitud = [&](bool tickets) {
        SolicitudReporte s;
        s.archivo = QStringLiteral("Venta Mensual.html");
        s.titulo = tickets ? QStringLiteral("Ventas por Periodo TICKETS") : QStringLiteral("Ventas por Periodo FACTURAS");
        s.permiso = 23;
        s.formulas = [&](const db::Rows&, report::Formulas& f) { formulasPeriodo(f, ini, fin, 2); };
        s.datos = [](const db::Rows& filas, QVariantMap& d) { d.insert(DatosVentas(filas)); };
        return s;
    };
    // The tickets' query starts with the invoices' one, not once the invoices' window is up.
    std::shared_ptr<LecturaAdelantada> tickets;
    SolicitudReporte facturas = solicitud(false);
    facturas.parametros = [&] {
        if (!PidePeriodo(parent)) return false;
        ini = fechaParametro("FechaIni");
        fin = fechaParametro("FechaFin");
        facturas.sql = SeleccionPeriodo(false, ini, fin, &facturas.valores);
        SolicitudReporte t = solicitud(true);
        // A year of tickets is read in parts at once.
        QVariantList valores;
        const QString sql = SeleccionPeriodo(true, ini, fin, &valores, true);
        t.lectura = [lector = shell::LectorBDSucursal(), sql, valores, numeros = NumerosPeriodo(true, ini, fin)](
                        db::Database& bd, db::Error* e) {
            return LeeEnPartes(bd, lector, sql, valores, QStringLiteral("Numero"), numeros, e);
        };
        tickets = std::make_shared<LecturaAdelantada>();
        tickets->empieza(t);
        return true;
    };
    const ResultadoReporte r = CorreReporte(facturas, prompts, parent);
    if (r != ResultadoReporte::Hecho) return r;
    SolicitudReporte s = solicitud(true);
    s.adelanto = tickets;
    return CorreReporte(s, prompts, parent);
}

ResultadoReporte rMasVendidos(ui::Prompts& prompts, QWidget* parent) { return productos(false, prompts, parent); }
ResultadoReporte vProdImporte(ui::Prompts& prompts, QWidget* parent) { return productos(true, prompts, parent); }

ResultadoReporte rVEmpleado(ui::Prompts& prompts, QWidget* parent) {
    const QString archivo = QStringLiteral("Ventaxempleado.html");
    if (!hayPlantilla(archivo, prompts)) return ResultadoReporte::SinPlantilla;
    if (!haySucursal(prompts)) return ResultadoReporte::SinSucursal;
    if (!shell::TienePermiso(28, true)) return ResultadoReporte::SinPermiso;
    LimpiaParametrosReporte();
    const QString hoy = TextoFecha(QDate::currentDate());
    AgregaParametroReporte(QStringLiteral("FechaIni"), hoy, QStringLiteral("Fecha Inicial del Rango."), QStringLiteral("Fecha"));
    AgregaParametroReporte(QStringLiteral("FechaFin"), hoy, QStringLiteral("Fecha Final del Rango."), QStringLiteral("Fecha"));
    agregaImprimira();
    if (!SolicitaParametros(kPantallaImpresora, parent)) return ResultadoReporte::Cancelado;
    const QDate ini = fechaParametro("FechaIni"), fin = fechaParametro("FechaFin");
    SolicitudReporte s;
    s.archivo = archivo;
    s.titulo = QStringLiteral("FACTURAS -Ventas x Empleado-");
    s.sql = SeleccionVentasEmpleado(ini, fin, &s.valores);
    s.formulas = [&](const db::Rows&, report::Formulas& f) {
        f.set(2, QStringLiteral("Fecha"), textoFecha(ini));
        formulasPeriodo(f, ini, fin, 3);
    };
    s.datos = [](const db::Rows& filas, QVariantMap& d) { d.insert(DatosVentasEmpleado(filas)); };
    if (eligioImpresora()) alImpresorDeReportes(s);
    return CorreReporte(s, prompts, parent);
}

ResultadoReporte ReporteSeriesVenta(ui::Prompts& prompts, QWidget* parent) {
    SolicitudReporte s;
    s.archivo = QStringLiteral("VentaSeries.html");
    s.titulo = QStringLiteral("Imprimir Series-Venta");
    if (!hayPlantilla(s.archivo, prompts)) return ResultadoReporte::SinPlantilla;
    if (!haySucursal(prompts)) return ResultadoReporte::SinSucursal;
    const QString respuesta = prompts.input(QStringLiteral("Teclee TipoDocumento+Folio, ej. T456, E456: "),
                                            QStringLiteral("TipoDocto+Folio"), QString());
    if (respuesta.trimmed().isEmpty()) return ResultadoReporte::Cancelado;
    const auto doc = LeeDocumentoSerie(respuesta);
    if (!doc) {
        prompts.message(QStringLiteral("Numero de documento no válido."), ui::Icon::None);
        return ResultadoReporte::Cancelado;
    }
    s.formulasEmpresa = false;
    s.sql = SeleccionSeriesVenta();
    s.valores = {doc->letra, doc->numero};
    const QString documento = doc->letra + QString::number(doc->numero);
    s.formulas = [documento](const db::Rows&, report::Formulas& f) {
        // The listing is numbered by its document, never by a constant.
        f.set(0, QStringLiteral("NumFactura"), documento);
        f.set(1, QStringLiteral("FechaFactura"), textoFecha(QDate::currentDate()));
        f.set(2, QStringLiteral("NombreCliente"), QStringLiteral("VENTA GLOBAL"));
        f.set(3, QStringLiteral("DirCliente"), QString());
        f.set(4, QStringLiteral("ColCiudadCliente"), QString());
        f.set(5, QStringLiteral("RFCCliente"), QString());
        f.set(6, QStringLiteral("DesglosaIVA"), 0);
        f.set(7, QStringLiteral("Descuento"), 0);
    };
    s.datos = [documento](const db::Rows& filas, QVariantMap& d) {
        d.insert(DatosSeriesVenta(filas));
        d.insert(QStringLiteral("Documento"), documento);
    };
    s.destino = report::Destination::Preview;
    return CorreReporte(s, prompts, parent);
}

ResultadoReporte RExistencias(ui::Prompts& prompts, QWidget* parent) {
    return ExistenciasConEleccion(ReporteExistencias::Existencias, QStringLiteral("existencias.html"), prompts, parent);
}

ResultadoReporte ExistenciasUbicacionCat(ui::Prompts& prompts, QWidget* parent) {
    return ExistenciasConEleccion(ReporteExistencias::UbicacionCategoria,
                                  QStringLiteral("existenciasubicacioncategoria.html"), prompts, parent);
}

ResultadoReporte ExistCosto(ui::Prompts& prompts, QWidget* parent) {
    SolicitudReporte s;
    s.archivo = QStringLiteral("existencias al costo.html");
    s.titulo = QStringLiteral("Valor al costo.");
    s.permiso = 26;
    s.sql = SeleccionExistencias(ReporteExistencias::Costo);
    s.datos = [](const db::Rows& filas, QVariantMap& d) {
        d.insert(DatosExistencias(filas));
        d.insert(QStringLiteral("TotalCosto"), report::formatAmount(TotalCosto(filas)));
    };
    return CorreReporte(s, prompts, parent);
}

ResultadoReporte EReorden(ui::Prompts& prompts, QWidget* parent) {
    SolicitudReporte s;
    s.archivo = QStringLiteral("existPedidos.html");
    s.titulo = QStringLiteral("Productos con existencias Bajas.");
    s.sql = SeleccionExistencias(ReporteExistencias::Reorden);
    s.datos = [](const db::Rows& filas, QVariantMap& d) { d.insert(DatosExistencias(filas)); };
    return CorreReporte(s, prompts, parent);
}

ResultadoReporte ESInventario(ui::Prompts& prompts, QWidget* parent) {
    // Both windows read the same rows; the second template is looked for before anything runs.
    const QString individual = QStringLiteral("esinventarioind.html");
    if (!report::findFile(RutaPlantilla(QStringLiteral("esinventario02.html"))).isEmpty() &&
        !ExisteArchivo(RutaPlantilla(individual), prompts))
        return ResultadoReporte::SinPlantilla;
    SolicitudReporte s;
    s.archivo = QStringLiteral("esinventario02.html");
    s.titulo = QStringLiteral("Entradas y Salidas de Inventario.");
    s.parametros = [parent, &s] {
        if (!PidePeriodo(parent)) return false;
        const QDate ini = FechaDeTexto(ObtenerParametroReporte(QStringLiteral("FechaIni")));
        const QDate fin = FechaDeTexto(ObtenerParametroReporte(QStringLiteral("FechaFin")));
        // The selection is known only once the prompt answered; a year of movements is read in
        // parts at once.
        QString sql, numeros;
        const QVariantList valores = SeleccionESInventario(ini, fin, &sql, &numeros).params;
        s.lectura = [lector = shell::LectorBDSucursal(), sql, numeros, valores](db::Database& bd, db::Error* e) {
            return LeeEnPartes(bd, lector, sql, valores, QStringLiteral("Numero"), numeros, e);
        };
        return true;
    };
    auto datos = [](const db::Rows& filas, QVariantMap& d) {
        d.insert(DatosESInventario(filas));
        d.insert(QStringLiteral("FechaIni"), ObtenerParametroReporte(QStringLiteral("FechaIni")));
        d.insert(QStringLiteral("FechaFin"), ObtenerParametroReporte(QStringLiteral("FechaFin")));
    };
    // The window of each document takes the summary's rows (shared, not read again) and makes its
    // lines while the summary makes its own and opens.
    SolicitudReporte s2;
    s2.archivo = individual;
    s2.titulo = QStringLiteral("Entradas y Salidas de Inventario. INDIVIDUAL.");
    s2.revisaSucursal = false;
    s2.filas = std::make_shared<db::Rows>();
    s2.datos = datos;
    const auto cadaDocumento = std::make_shared<LecturaAdelantada>();
    cadaDocumento->prepara(s2);
    s.datos = [datos, filas = s2.filas, cadaDocumento](const db::Rows& leidas, QVariantMap& d) {
        *filas = leidas;
        cadaDocumento->arranca();
        datos(leidas, d);
    };
    const ResultadoReporte r = CorreReporte(s, prompts, parent);
    if (r != ResultadoReporte::Hecho) return r;
    s2.adelanto = cadaDocumento;
    return CorreReporte(s2, prompts, parent);
}

void ConectaMenusReportes(shell::MIDI* midi) {
    shell::AsignaAbridor(QStringLiteral("ventadiaria"), [midi] { ventadiaria(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("ventadiarias2"), [midi] { Ventadiaria2(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("VentaMensual"), [midi] { VentaMensual(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("rMasVendidos"), [midi] { rMasVendidos(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("vProdImporte"), [midi] { vProdImporte(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("rVEmpleado"), [midi] { rVEmpleado(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("impSeriesVenta"), [midi] { ReporteSeriesVenta(ui::defaultPrompts(), midi); });
    // The start form's Ctrl+Alt+T runs today's tickets.
    shell::MIDI::AsignaVentadiaria([midi] { Ventadiaria2(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("RExistencias"), [midi] { RExistencias(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("ExistenciasUbicacionCat"),
                         [midi] { ExistenciasUbicacionCat(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("ExistCosto"), [midi] { ExistCosto(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("EReorden"), [midi] { EReorden(ui::defaultPrompts(), midi); });
    shell::AsignaAbridor(QStringLiteral("ESInventario"), [midi] { ESInventario(ui::defaultPrompts(), midi); });
}

}  // namespace printing
