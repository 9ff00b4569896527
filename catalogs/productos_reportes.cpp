#include "shell/rutinas_bd.h"
#include "catalogs/productos_reportes.h"

#include "catalogs/productos.h"
#include "platform/report/totals.h"
#include "printing/reporte.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/permisos.h"

#include <QDate>
#include <QDir>

#include <cmath>

namespace catalogos {

namespace {

QVariant Fecha(const db::Row& f, const char* campo)
{
    const QDate d = QDate::fromString(f.text(QString::fromLatin1(campo)).left(10), Qt::ISODate);
    return d.isValid() ? QVariant(d) : QVariant(QString());
}

bool Cancelado(const db::Row& f)
{
    return !f.isNull(QStringLiteral("Status")) && f.integer(QStringLiteral("Status")) == 0;
}

double ImporteLinea(const db::Row& f)
{
    return f.real(QStringLiteral("Cantidad")) * f.real(QStringLiteral("PrecioUnit"))
           * (1.0 - f.real(QStringLiteral("Descuento")) / 100.0);
}

printing::SolicitudReporte Base(const QString& archivo, const QString& titulo, const QString& pdf,
                                const DestinoReportes& d)
{
    printing::SolicitudReporte s;
    s.archivo = archivo;
    s.titulo = titulo;
    s.destino = d.destino;
    if (d.destino == report::Destination::Pdf)
        s.archivoPdf = QDir(d.carpetaPdf).filePath(pdf);
    return s;
}

}  // namespace

void DatosESProducto(const db::Rows& filas, QVariantMap& datos)
{
    QVariantList lineas;
    for (const db::Row& f : filas) {
        QVariantMap l;
        l.insert(QStringLiteral("Fecha"), Fecha(f, "Fecha"));
        l.insert(QStringLiteral("Numero"), f.integer(QStringLiteral("Numero")));
        l.insert(QStringLiteral("Movimiento"), f.text(QStringLiteral("DescribeMov")));
        l.insert(QStringLiteral("Docto"), f.text(QStringLiteral("Docto")));
        l.insert(QStringLiteral("Descripcion"), f.text(QStringLiteral("Descripcion")));
        l.insert(QStringLiteral("Cantidad"), TextoNumero(f.real(QStringLiteral("Cantidad"))));
        l.insert(QStringLiteral("PrecioUnit"), f.real(QStringLiteral("PUnitario")));
        l.insert(QStringLiteral("Importe"), f.real(QStringLiteral("Importe")));
        lineas << l;
    }
    datos.insert(QStringLiteral("lineas"), lineas);
    datos.insert(QStringLiteral("TotalCantidad"), TextoNumero(report::sum(filas, QStringLiteral("Cantidad"), 3)));
}

void DatosVentasProducto(const db::Rows& filas, QVariantMap& datos)
{
    QVariantList lineas;
    qint64 milesimas = 0, centavos = 0;  // exact totals
    for (const db::Row& f : filas) {
        const bool canc = Cancelado(f);
        const double importe = ImporteLinea(f);
        QVariantMap l;
        l.insert(QStringLiteral("Fecha"), Fecha(f, "Fecha"));
        l.insert(QStringLiteral("Numero"), std::llabs(f.integer(QStringLiteral("Numero"))));
        l.insert(QStringLiteral("Cliente"), f.text(QStringLiteral("Cliente")));
        l.insert(QStringLiteral("Cantidad"), TextoNumero(f.real(QStringLiteral("Cantidad"))));
        l.insert(QStringLiteral("PrecioUnit"), f.real(QStringLiteral("PrecioUnit")));
        l.insert(QStringLiteral("Descuento"), TextoNumero(f.real(QStringLiteral("Descuento"))));
        l.insert(QStringLiteral("Importe"), importe);
        l.insert(QStringLiteral("Cancelado"), canc);
        lineas << l;
        if (!canc) {
            milesimas += std::llround(f.real(QStringLiteral("Cantidad")) * 1000.0);
            centavos += std::llround(importe * 100.0);
        }
    }
    datos.insert(QStringLiteral("lineas"), lineas);
    if (!filas.empty())
        datos.insert(QStringLiteral("Producto"), filas.front().text(QStringLiteral("Cextra1")));
    datos.insert(QStringLiteral("TotalCantidad"), TextoNumero(double(milesimas) / 1000.0));
    datos.insert(QStringLiteral("TotalImporte"), double(centavos) / 100.0);
}

std::vector<report::Request> ReportesProducto(const QString& claveSel, const QString& descripcion,
                                              ui::Prompts& prompts, const DestinoReportes& destino)
{
    std::vector<report::Request> hechos;
    bool numero = false;
    const qint64 clave = claveSel.trimmed().toLongLong(&numero);
    if (claveSel.isEmpty() || !numero) {
        prompts.message(QString::fromUtf8("Producto no válido."), ui::Icon::Information);
        return hechos;
    }
    auto corre = [&](const printing::SolicitudReporte& s) {
        const printing::ResultadoReporte r = printing::CorreReporte(s, prompts);
        if (r == printing::ResultadoReporte::Hecho)
            hechos.push_back(printing::UltimaSolicitud());
        return r;
    };

    printing::SolicitudReporte es = Base(QStringLiteral("ESxProducto.html"),
                                         QStringLiteral("Entradas y salidas de producto"),
                                         QStringLiteral("ESxProducto.pdf"), destino);
    es.sql = QStringLiteral("Select * from cESProducto Where ClaveProducto=?");
    es.valores = {clave};
    es.formulas = [descripcion](const db::Rows&, report::Formulas& f) {
        f.set(2, QStringLiteral("NombreProducto"), descripcion);
    };
    es.datos = DatosESProducto;
    const printing::ResultadoReporte r1 = corre(es);
    if (r1 == printing::ResultadoReporte::SinPlantilla || r1 == printing::ResultadoReporte::SinSucursal)
        return hechos;

    // The sales.
    if (!shell::TienePermiso(22, true))
        return hechos;
    const QString rutaSucursal = shell::RutaBDSucursal(G().SucursalActual);
    if (report::findFile(rutaSucursal).isEmpty()) {
        prompts.message(QStringLiteral("No se encontraron los archivos de datos para la sucursal."),
                        ui::Icon::Critical);
        return hechos;
    }
    db::Database* bd = shell::BDSucursal();
    auto ventas = [&](const QString& letra, const QString& titulo, const QString& tipoDocto,
                      const QString& pdf) {
        db::Error e;
        auto filas = bd ? bd->select(QStringLiteral("Select * from CdetalleVentaFacRD Where TipoDocto=? "
                                                    "and ClaveProducto=? ORDER BY Fecha, abs(Numero)"),
                                     {letra, clave}, &e)
                        : std::nullopt;
        if (!filas) {
            prompts.message(QStringLiteral("No se pudieron leer los datos del reporte: ") + shell::TextoErrorBD(e),
                            ui::Icon::Critical);
            return printing::ResultadoReporte::ErrorDatos;
        }
        if (filas->empty())
            return printing::ResultadoReporte::SinDatos;  // skipped without a word
        printing::SolicitudReporte s = Base(QStringLiteral("ventaxProducto.html"), titulo, pdf, destino);
        s.revisaSucursal = false;
        s.filas = std::make_shared<db::Rows>(std::move(*filas));
        if (!tipoDocto.isEmpty())
            s.formulas = [tipoDocto](const db::Rows&, report::Formulas& f) {
                f.set(3, QStringLiteral("TipoDocto"), tipoDocto);
            };
        s.datos = DatosVentasProducto;
        return corre(s);
    };
    const QString letra = G().FacturaE ? QStringLiteral("E") : QStringLiteral("F");
    if (ventas(letra, QStringLiteral("FACTURAS -Ventas -"), QString(), QStringLiteral("ventaxProducto-facturas.pdf"))
        == printing::ResultadoReporte::SinPlantilla)
        return hechos;
    if (G().ParTickets != 0)
        ventas(QStringLiteral("T"), QStringLiteral("TICKETS -Ventas x Dia-"), QStringLiteral("Notas/Tickets"),
               QStringLiteral("ventaxProducto-tickets.pdf"));
    return hechos;
}

}  // namespace catalogos
