#include "sale/impresion_factura.h"

#include "sale/impresion_factura_mp.h"

#include "platform/report/totals.h"
#include "printing/envio.h"
#include "printing/reporte.h"
#include "sale/totales.h"
#include "shell/estado.h"
#include "shell/texto.h"

#include <QDate>
#include <QDateTime>
#include <QVariantList>

#include <cmath>

namespace venta {
namespace {

const QString kClaveMostrador = QStringLiteral("XAXX010101000");

QDate fechaDe(const QVariant& v) {
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString t = v.toString();
    QDate d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        d = QDate::fromString(t.left(10), QStringLiteral("dd/MM/yyyy"));
    return d;
}

QString textoCantidad(double c) {
    if (std::fabs(c - std::round(c)) < 1e-9)
        return QString::number(static_cast<qint64>(std::llround(c)));
    QString t = QString::number(c, 'f', 3);
    while (t.endsWith(QLatin1Char('0')))
        t.chop(1);
    return t;
}

// A generic line prints the text typed for it; a product its long description, else its name.
QString nombreLinea(const db::Row& r) {
    const QString extra = r.text(QStringLiteral("Descripcion2")).trimmed();
    if (r.text(QStringLiteral("CodigodeBarras")) == QLatin1String("VARIOS") && !extra.isEmpty())
        return extra;
    const QString larga = r.text(QStringLiteral("Descripcion")).trimmed();
    return larga.isEmpty() ? r.text(QStringLiteral("Nombre")).trimmed() : larga;
}

printing::SolicitudReporte solicitudBase(const DestinoImpresion& d) {
    printing::SolicitudReporte s;
    s.formulasEmpresa = false;  // the document uses every slot for its own values
    s.destino = d.destino;
    s.archivoPdf = d.archivoPdf;
    return s;
}

}  // namespace

bool DesglosaIVA(const QString& claveCliente) {
    const QString k = claveCliente.trimmed();
    return k.size() >= 12 && k.compare(kClaveMostrador, Qt::CaseInsensitive) != 0;
}

QVariantMap DatosDocumento(const db::Rows& filas, double descuento, bool desglosaIVA) {
    return DatosDocumento(filas, descuento, desglosaIVA, IVAPantalla(G().PorcentajeIVA), std::nullopt);
}

QVariantMap DatosDocumento(const db::Rows& filas, double descuento, bool desglosaIVA,
                           int tasaPredeterminada, std::optional<double> totalGuardado) {
    int tasa = tasaPredeterminada;
    if (!filas.empty() && filas.front().has(QStringLiteral("IVAP")) &&
        filas.front().integer(QStringLiteral("IVAP")) > 0)
        tasa = static_cast<int>(filas.front().integer(QStringLiteral("IVAP")));

    const std::vector<printing::LineaVendida> vendidas = printing::LineasVendidas(filas);
    const printing::ImportesDocumento d =
        printing::ImportesDe(vendidas, descuento, totalGuardado, desglosaIVA ? tasa : -1);
    QVariantList lineas;
    for (size_t i = 0; i < filas.size(); ++i) {
        const db::Row& r = filas[i];
        const printing::LineaVendida& v = vendidas[i];
        QVariantMap l;
        l.insert(QStringLiteral("Cantidad"), textoCantidad(v.cantidad));
        l.insert(QStringLiteral("Codigo"), r.text(QStringLiteral("CodigodeBarras")));
        l.insert(QStringLiteral("Descripcion"), nombreLinea(r));
        l.insert(QStringLiteral("Observacion"), r.text(QStringLiteral("Observacion")));
        l.insert(QStringLiteral("PrecioUnit"), desglosaIVA && v.iva ? PrecioSinIVA(v.precioUnit, v.descuento, tasa)
                                                                   : shell::Redondea(v.precioUnit * (1 - v.descuento / 100), 4));
        l.insert(QStringLiteral("Importe"), d.neto[i] / 100.0);
        lineas.append(l);
    }

    QVariantMap m;
    m.insert(QStringLiteral("lineas"), lineas);
    m.insert(QStringLiteral("TasaIVA"), tasa);
    m.insert(QStringLiteral("IVA"), d.iva / 100.0);
    m.insert(QStringLiteral("Subtotal"), d.subtotal / 100.0);
    m.insert(QStringLiteral("ImporteDescuento"), d.descuento / 100.0);
    m.insert(QStringLiteral("HayDescuento"), d.descuento != 0);
    m.insert(QStringLiteral("MuestraSubtotal"), desglosaIVA || d.descuento != 0);
    m.insert(QStringLiteral("Total"), d.total / 100.0);
    m.insert(QStringLiteral("ImporteLetra"), report::amountInWords(d.total / 100.0));
    return m;
}

void FormulasFactura(qint64 numero, const db::Rows& filas, report::Formulas& f) {
    const db::Row& r = filas.front();
    const bool desglosa = DesglosaIVA(r.text(QStringLiteral("Cliente")));
    f.set(0, QStringLiteral("NumFactura"),
          G().PrefijoFact + QString::number(numero).rightJustified(6, QLatin1Char('0')));
    f.set(1, QStringLiteral("FechaFactura"), fechaDe(r.value(QStringLiteral("Fecha"))));
    f.set(2, QStringLiteral("NombreCliente"),
          desglosa ? r.text(QStringLiteral("NombreC")) : QStringLiteral("VENTA DE MOSTRADOR"));
    f.set(3, QStringLiteral("DirCliente"),
          r.text(QStringLiteral("Direccion")) + QStringLiteral(", ") + r.text(QStringLiteral("Colonia")));
    f.set(4, QStringLiteral("ColCiudadCliente"),
          r.text(QStringLiteral("Ciudad")) + QStringLiteral(",") + r.text(QStringLiteral("Estado")));
    f.set(5, QStringLiteral("RFCCliente"), r.text(QStringLiteral("Cliente")));
    f.set(6, QStringLiteral("DesglosaIVA"), desglosa ? 1 : 0);
    f.set(7, QStringLiteral("Ajuste"), G().Ajuste);
}

void DatosFactura(const db::Rows& filas, QVariantMap& datos) {
    const db::Row& r = filas.front();
    const QVariant total = r.value(QStringLiteral("Total"));
    // The document's own rate when the rows carry it, so a reprint prints what was charged.
    const qint64 tasa = r.integer(QStringLiteral("TasaDocumento"));
    const QVariantMap m =
        DatosDocumento(filas, r.real(QStringLiteral("DescFact")),
                       DesglosaIVA(r.text(QStringLiteral("Cliente"))),
                       tasa > 0 ? int(tasa) : IVAPantalla(G().PorcentajeIVA),
                       total.isNull() ? std::nullopt : std::optional<double>(r.real(QStringLiteral("Total"))));
    for (auto it = m.begin(); it != m.end(); ++it)
        datos.insert(it.key(), it.value());
}

bool ImprimeTicket(qint64 numero, qint64 numeroDocumento, const DestinoImpresion& destino,
                   ui::Prompts& prompts, QWidget* parent, const QString& letra) {
    // A branch that asks for it gets its invoices on the receipt printer.
    if (G().FacturaaTicket.toInt() == 1)
        return ImprimeTicket2(numero, numeroDocumento, destino, prompts, parent, letra);
    printing::SolicitudReporte s = solicitudBase(destino);
    s.archivo = QStringLiteral("Factura.html");
    s.titulo = QStringLiteral("FA ") + QString::number(numeroDocumento).rightJustified(4, QLatin1Char('0'));
    // The rate the invoice was charged at comes from its header, so a reprint after a rate change
    // prints what was charged (also on a data folder whose saved query predates the column).
    s.sql = QStringLiteral("SELECT c.*, v.IVAP AS TasaDocumento FROM CDetalleVentaFac c "
                           "LEFT JOIN Venta v ON v.Numero = c.Numero AND v.Tipo = c.Tipo "
                           "WHERE c.Numero = ? AND c.Tipo = ?");
    s.valores = {numeroDocumento, letra};
    s.avisoSinDatos = QStringLiteral("No se encontro datos de la factura.");
    s.impresora = destino.impresora.isEmpty() ? G().Printer1 : destino.impresora;
    s.formulas = [numero](const db::Rows& filas, report::Formulas& f) {
        FormulasFactura(numero, filas, f);
        f.set(8, QStringLiteral("CodPCliente"), filas.front().text(QStringLiteral("CP")));
    };
    s.datos = DatosFactura;
    return printing::CorreReporte(s, prompts, parent) == printing::ResultadoReporte::Hecho;
}

bool ImprimeCotizacion(qint64 numeroDocumento, const QString& descuento,
                       const DestinoImpresion& destino, ui::Prompts& prompts, QWidget* parent) {
    printing::SolicitudReporte s = solicitudBase(destino);
    s.archivo = QStringLiteral("Cotizacion.html");
    s.titulo = QStringLiteral("CO ") + QString::number(numeroDocumento).rightJustified(4, QLatin1Char('0'));
    s.sql = QStringLiteral("SELECT * FROM CDetalleVentaCot WHERE Numero = ? AND Tipo = 'C'");
    s.valores = {numeroDocumento};
    s.impresora = destino.impresora;
    const double porcentaje = shell::Val(descuento);
    s.formulas = [numeroDocumento, porcentaje](const db::Rows& filas, report::Formulas& f) {
        const bool desglosa =
            !filas.empty() && DesglosaIVA(filas.front().text(QStringLiteral("Cliente")));
        f.set(0, QStringLiteral("NumFactura"),
              QString::number(numeroDocumento).rightJustified(6, QLatin1Char('0')));
        if (!desglosa)
            f.set(2, QStringLiteral("NombreCliente"), QStringLiteral("VENTA GLOBAL"));
        f.set(3, QStringLiteral("DirCliente"), QString());
        f.set(4, QStringLiteral("ColCiudadCliente"), QString());
        f.set(5, QStringLiteral("RFCCliente"), QString());
        f.set(6, QStringLiteral("DesglosaIVA"), desglosa ? 1 : 0);
        f.set(7, QStringLiteral("Descuento"), porcentaje / 100);
        if (!filas.empty())
            f.set(8, QStringLiteral("FechaCotizacion"),
                  fechaDe(filas.front().value(QStringLiteral("Fecha"))));
    };
    s.datos = [porcentaje](const db::Rows& filas, QVariantMap& datos) {
        const bool desglosa =
            !filas.empty() && DesglosaIVA(filas.front().text(QStringLiteral("Cliente")));
        const QVariantMap m = DatosDocumento(filas, porcentaje, desglosa);
        for (auto it = m.begin(); it != m.end(); ++it)
            datos.insert(it.key(), it.value());
    };
    return printing::CorreReporte(s, prompts, parent) == printing::ResultadoReporte::Hecho;
}

bool ImprimeFacturaGrabada(qint64 numero, const QString& letra, const DestinoImpresion& destino,
                           ui::Prompts& prompts, QWidget* parent) {
    DocumentoImpreso d;
    d.documento = QStringLiteral("La factura %1%2").arg(letra).arg(numero);
    d.grabado = QStringLiteral("quedó grabada");
    if (letra == QLatin1String("F"))
        d.reimpresion = QStringLiteral("Reimprímala con Reimprimir factura (F%1).").arg(numero);
    return ImprimeAvisando(prompts, d, [&](ui::Prompts& p) {
        return ImprimeTicket(numero, numero, destino, p, parent, letra);
    });
}

}  // namespace venta
