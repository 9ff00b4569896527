#include "sale/impresion_factura.h"

#include "platform/report/totals.h"
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
    int tasa = IVAPantalla(G().PorcentajeIVA);
    if (!filas.empty() && filas.front().has(QStringLiteral("IVAP")) &&
        filas.front().integer(QStringLiteral("IVAP")) > 0)
        tasa = static_cast<int>(filas.front().integer(QStringLiteral("IVAP")));

    std::vector<LineaTotal> totales;
    QVariantList lineas;
    for (const db::Row& r : filas) {
        LineaTotal t;
        t.cantidad = r.real(QStringLiteral("Cantidad"));
        const double precio = r.real(QStringLiteral("PrecioUnit"));
        const double desc = r.real(QStringLiteral("Descuento"));
        t.importe = ImporteLinea(t.cantidad, precio, desc);
        t.iva = r.flag(QStringLiteral("Iva"));
        t.pPrecioUnitD = PrecioSinIVA(precio, desc, tasa);
        totales.push_back(t);

        QVariantMap l;
        l.insert(QStringLiteral("Cantidad"), textoCantidad(t.cantidad));
        l.insert(QStringLiteral("Codigo"), r.text(QStringLiteral("CodigodeBarras")));
        l.insert(QStringLiteral("Descripcion"), nombreLinea(r));
        l.insert(QStringLiteral("Observacion"), r.text(QStringLiteral("Observacion")));
        if (desglosaIVA && t.iva) {
            l.insert(QStringLiteral("PrecioUnit"), t.pPrecioUnitD);
            l.insert(QStringLiteral("Importe"), shell::Redondea(t.pPrecioUnitD * t.cantidad, 2));
        } else {
            l.insert(QStringLiteral("PrecioUnit"), shell::Redondea(precio * (1 - desc / 100), 4));
            l.insert(QStringLiteral("Importe"), t.importe);
        }
        lineas.append(l);
    }

    const Totales plano = CalculaTotal(totales, 0, 0, descuento);
    QVariantMap m;
    m.insert(QStringLiteral("lineas"), lineas);
    m.insert(QStringLiteral("TasaIVA"), tasa);
    // The printed amounts add up to the cent: each part is taken to cents first and the one
    // that closes the sum (the discount, or the total when the tax is shown) comes from the others.
    qint64 subtotal = 0, descuentoC = 0, ivaC = 0, totalC = 0;
    if (desglosaIVA) {
        const Totales sinDescuento = CalculaTotalDES(totales, 0, 0, 0, tasa);
        const Totales des = CalculaTotalDES(totales, 0, 0, descuento, tasa);
        subtotal = shell::Centavos(sinDescuento.base + sinDescuento.exento);
        descuentoC = subtotal - shell::Centavos(des.base + des.exento);
        ivaC = shell::Centavos(des.iva);
        totalC = subtotal - descuentoC + ivaC;
    } else {
        subtotal = shell::Centavos(plano.total + plano.descuentoGeneral);
        totalC = shell::Centavos(plano.total);
        descuentoC = subtotal - totalC;
    }
    const double total = totalC / 100.0;
    m.insert(QStringLiteral("IVA"), ivaC / 100.0);
    m.insert(QStringLiteral("Subtotal"), subtotal / 100.0);
    m.insert(QStringLiteral("ImporteDescuento"), descuentoC / 100.0);
    m.insert(QStringLiteral("HayDescuento"), descuentoC != 0);
    m.insert(QStringLiteral("MuestraSubtotal"), desglosaIVA || descuentoC != 0);
    m.insert(QStringLiteral("Total"), total);
    m.insert(QStringLiteral("ImporteLetra"), report::amountInWords(total));
    return m;
}

bool ImprimeTicket(qint64 numero, qint64 numeroDocumento, const DestinoImpresion& destino,
                   ui::Prompts& prompts, QWidget* parent) {
    printing::SolicitudReporte s = solicitudBase(destino);
    s.archivo = QStringLiteral("Factura.html");
    s.titulo = QStringLiteral("FA ") + QString::number(numeroDocumento).rightJustified(4, QLatin1Char('0'));
    s.sql = QStringLiteral("SELECT * FROM CDetalleVentaFac WHERE Numero = ? AND Tipo = 'F'");
    s.valores = {numeroDocumento};
    s.avisoSinDatos = QStringLiteral("No se encontro datos de la factura.");
    s.impresora = destino.impresora.isEmpty() ? G().Printer1 : destino.impresora;
    s.formulas = [numero](const db::Rows& filas, report::Formulas& f) {
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
        f.set(8, QStringLiteral("CodPCliente"), r.text(QStringLiteral("CP")));
    };
    s.datos = [](const db::Rows& filas, QVariantMap& datos) {
        const db::Row& r = filas.front();
        const QVariantMap m = DatosDocumento(filas, r.real(QStringLiteral("DescFact")),
                                             DesglosaIVA(r.text(QStringLiteral("Cliente"))));
        for (auto it = m.begin(); it != m.end(); ++it)
            datos.insert(it.key(), it.value());
    };
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

}  // namespace venta
