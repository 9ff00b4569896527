#include "catalogs/estadocuenta.h"

#include "catalogs/credito.h"
#include "platform/report/totals.h"
#include "printing/reporte.h"
#include "shell/texto.h"

#include <QVariantList>

namespace catalogos {

namespace {

QString Fecha(const QString& iso)
{
    const QDate d = QDate::fromString(iso.left(10), Qt::ISODate);
    return d.isValid() ? shell::FormatoFecha(d) : QString();
}

QString Importe(qint64 centavos) { return shell::Formato(centavos / 100.0, QStringLiteral("###,##0.00")); }

}  // namespace

std::optional<db::Rows> VentasCreditoCliente(db::Database& bd, const QString& rfc, db::Error* error)
{
    return bd.select(QStringLiteral("Select * from CVentaCredito Where Cliente = ?"), {rfc}, error);
}

std::optional<db::Rows> DoctosVenta(db::Database& bd, qint64 numeroVenta, db::Error* error)
{
    return bd.select(QStringLiteral("Select * from CDoctosCredito Where NumeroVenta = ?"), {numeroVenta}, error);
}

Busqueda BuscaEstadoCuenta(db::Database& bd, ui::Prompts& prompts, QString& rfcBuscado,
                           const std::function<void()>& vaciaDoctos)
{
    Busqueda b;
    rfcBuscado = prompts.input(QStringLiteral("Teclee el RFC del cliente a consultar: "), QStringLiteral("Busqueda"),
                               rfcBuscado);
    if (rfcBuscado.isEmpty())
        return b;
    if (vaciaDoctos)
        vaciaDoctos();
    auto ventas = VentasCreditoCliente(bd, rfcBuscado);
    if (!ventas) {
        prompts.message(QStringLiteral("Error de búsqueda."), ui::Icon::Critical);
        b.estado = Busqueda::Error;
        return b;
    }
    if (ventas->empty()) {
        prompts.message(QString::fromUtf8("No se encontró coincidencias."), ui::Icon::Information);
        b.estado = Busqueda::SinCoincidencias;
        return b;
    }
    b.estado = Busqueda::Hallado;
    b.ventas = std::move(*ventas);
    return b;
}

QVariantMap DatosDoctos(const db::Row& venta, const db::Rows& doctos)
{
    QVariantMap m;
    m.insert(QStringLiteral("NombreCliente"), venta.text(QStringLiteral("Nombre")));
    m.insert(QStringLiteral("RFCCliente"), venta.text(QStringLiteral("Cliente")));
    m.insert(QStringLiteral("NumeroVenta"), venta.text(QStringLiteral("Numero")));
    m.insert(QStringLiteral("FechaVenta"), Fecha(venta.text(QStringLiteral("Fecha"))));
    qint64 total = 0, pendiente = 0;
    QVariantList lista, recibos;
    const int n = int(doctos.size());
    int k = 0;
    for (const db::Row& d : doctos) {
        ++k;
        const qint64 importe = shell::Centavos(d.real(QStringLiteral("Importe")));
        const bool pagado = !d.isNull(QStringLiteral("FechaPago")) && !d.text(QStringLiteral("FechaPago")).isEmpty();
        total += importe;
        if (!pagado)
            pendiente += importe;
        QVariantMap r;
        r.insert(QStringLiteral("Numero"), d.text(QStringLiteral("Numerodocto")));
        r.insert(QStringLiteral("Tipo"), d.integer(QStringLiteral("TipoDocto")) == TipoAnticipo
                                             ? QStringLiteral("ANTICIPO")
                                             : QStringLiteral("ABONO"));
        r.insert(QStringLiteral("Producto"), d.text(QStringLiteral("Descripcion")));
        r.insert(QStringLiteral("Vence"), Fecha(d.text(QStringLiteral("FechaVencimiento"))));
        r.insert(QStringLiteral("Importe"), Importe(importe));
        r.insert(QStringLiteral("Pagado"), pagado ? Fecha(d.text(QStringLiteral("FechaPago"))) : QString());
        lista << r;
        r.insert(QStringLiteral("ImporteLetra"), report::amountInWords(importe / 100.0));
        r.insert(QStringLiteral("Parte"), QStringLiteral("%1 de %2").arg(k).arg(n));
        r.insert(QStringLiteral("NombreCliente"), m.value(QStringLiteral("NombreCliente")));
        r.insert(QStringLiteral("RFCCliente"), m.value(QStringLiteral("RFCCliente")));
        r.insert(QStringLiteral("NumeroVenta"), m.value(QStringLiteral("NumeroVenta")));
        r.insert(QStringLiteral("UltimoRecibo"), k == n);
        recibos << r;
    }
    m.insert(QStringLiteral("doctos"), lista);
    m.insert(QStringLiteral("recibos"), recibos);
    m.insert(QStringLiteral("NumDoctos"), n);
    m.insert(QStringLiteral("Total"), Importe(total));
    m.insert(QStringLiteral("TotalPendiente"), Importe(pendiente));
    return m;
}

Impresion ImprimeDoctos(const db::Row* venta, const db::Rows& doctos, ui::Prompts& prompts,
                        const DestinoEstado& destino, QWidget* parent)
{
    if (!venta || venta->empty()) {
        prompts.message(QStringLiteral("Busque y seleccione la venta a crédito que desea imprimir."),
                        ui::Icon::Information);
        return Impresion::SinVenta;
    }
    if (doctos.empty()) {
        prompts.message(QString::fromUtf8("La venta no tiene documentos de crédito que imprimir."),
                        ui::Icon::Information);
        return Impresion::SinDoctos;
    }
    const QVariantMap datos = DatosDoctos(*venta, doctos);
    printing::BorraFormulas();
    const struct {
        const char* archivo;
        const char* titulo;
        QString pdf;
    } reportes[] = {{"imprimedoctos.html", "Impresion de documentos de crédito.", destino.pdfDoctos},
                    {"imprimerecibo.html", "Impresion de recibo.", destino.pdfRecibos}};
    for (const auto& r : reportes) {
        printing::SolicitudReporte s;
        s.archivo = QString::fromLatin1(r.archivo);
        s.titulo = QString::fromUtf8(r.titulo);
        s.filas = std::make_shared<db::Rows>(doctos);
        s.datos = [datos](const db::Rows&, QVariantMap& d) {
            for (auto it = datos.cbegin(); it != datos.cend(); ++it)
                d.insert(it.key(), it.value());
        };
        s.destino = destino.destino;
        s.archivoPdf = r.pdf;
        if (printing::CorreReporte(s, prompts, parent) != printing::ResultadoReporte::Hecho)
            return Impresion::Fallo;
    }
    return Impresion::Hecho;
}

}  // namespace catalogos
