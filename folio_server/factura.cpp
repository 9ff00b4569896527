#include "folio_server/factura.h"

#include "sale/impresion_factura.h"
#include "sale/totales.h"

#include <QDate>
#include <QDir>

namespace tarvex {
namespace {

QDate fechaDe(const QVariant& v) {
    if (v.typeId() == QMetaType::QDate) return v.toDate();
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().date();
    return QDate::fromString(v.toString().left(10), QStringLiteral("yyyy-MM-dd"));
}

QString numeroFactura(const QString& prefijo, qint64 numero) {
    return prefijo + QString::number(numero).rightJustified(6, QLatin1Char('0'));
}

}  // namespace

report::Formulas FormulasFactura(const db::Row& r, const QString& prefijo, qint64 numero) {
    // The same rule as the lines and totals: a taxpayer id of 12 characters or more that is not the
    // counter-sale key. Another rule here would show the tax apart on an invoice whose totals hide it.
    const bool conRFC = venta::DesglosaIVA(r.text(QStringLiteral("Cliente")));
    report::Formulas f;
    f.set(0, QStringLiteral("NumFactura"), numeroFactura(prefijo, numero));
    f.set(1, QStringLiteral("FechaFactura"), fechaDe(r.value(QStringLiteral("Fecha"))));
    f.set(2, QStringLiteral("NombreCliente"),
          conRFC ? r.text(QStringLiteral("NombreC")) : QStringLiteral("VENTA DE MOSTRADOR"));
    f.set(3, QStringLiteral("DirCliente"), r.text(QStringLiteral("Direccion")));
    f.set(4, QStringLiteral("ColCiudadCliente"),
          r.text(QStringLiteral("Colonia")) + QLatin1Char(',') + r.text(QStringLiteral("Ciudad")) +
              QLatin1Char(',') + r.text(QStringLiteral("Estado")));
    f.set(5, QStringLiteral("RFCCliente"), r.text(QStringLiteral("Cliente")));
    f.set(6, QStringLiteral("DesglosaIVA"), conRFC ? 1 : 0);
    return f;
}

bool ArmaFactura(Sucursal& s, qint64 numero, const DestinoFactura& destino, report::Request* r,
                 Impresion* resultado) {
    // The document's own tax rate rides along so the totals never fall back on another program's
    // settings.
    db::Error e;
    const auto filas = s.bd->select(
        QStringLiteral("SELECT c.*, COALESCE(NULLIF(v.IVAP, 0), ?) AS IVAP FROM CDetalleVentaFac c "
                       "LEFT JOIN Venta v ON v.Numero = c.Numero AND v.Tipo = c.Tipo "
                       "WHERE c.Numero = ? AND c.Tipo = 'F'"),
        {s.IVA, numero}, &e);
    if (!filas) {
        resultado->resultado = ResultadoFactura::Falla;
        resultado->mensaje = e.message;
        return false;
    }
    if (filas->empty()) {
        resultado->resultado = ResultadoFactura::NoEncontrada;
        resultado->mensaje.clear();
        return false;
    }
    const db::Row& primera = filas->front();
    r->templatePath = s.CarpetaBase + QStringLiteral("/Reports/Factura.html");
    r->title = QStringLiteral("FA ") + numeroFactura(s.PrefijoFact, numero);
    r->formulas = FormulasFactura(primera, s.PrefijoFact, numero);
    r->rows = *filas;
    // The printed total is what was charged (Venta.Total); the branch's rate stands in only when
    // the document has none.
    const QVariant total = primera.value(QStringLiteral("Total"));
    r->data = venta::DatosDocumento(*filas, primera.real(QStringLiteral("DescFact")),
                                    venta::DesglosaIVA(primera.text(QStringLiteral("Cliente"))),
                                    venta::IVAPantalla(s.IVA),
                                    total.isNull() ? std::nullopt
                                                   : std::optional<double>(total.toDouble()));
    r->data.insert(QStringLiteral("NombreEmp"), s.NombreEmp);
    r->data.insert(QStringLiteral("RazonSocial"), s.RazonSocial);
    r->data.insert(QStringLiteral("RFCEmpresa"), s.RFCEmpresa);
    r->data.insert(QStringLiteral("DireccionEmp"), s.DireccionEmp);
    r->data.insert(QStringLiteral("CodPCliente"), primera.text(QStringLiteral("CP")));
    r->destination = destino.destino;
    r->printer = destino.impresora.isEmpty() ? s.Impresora : destino.impresora;
    if (destino.destino == report::Destination::Pdf)
        r->pdfPath = QDir(destino.carpetaPdf)
                         .filePath(QStringLiteral("Factura-%1.pdf").arg(numeroFactura(s.PrefijoFact, numero)));
    return true;
}

Impresion ImprimeFactura(Sucursal& s, qint64 numero, const DestinoFactura& destino, QWidget* parent) {
    Impresion resultado;
    report::Request r;
    if (!ArmaFactura(s, numero, destino, &r, &resultado)) return resultado;
    QString error;
    if (!report::run(r, &error, parent)) {
        resultado.resultado = ResultadoFactura::Falla;
        resultado.mensaje = error;
        return resultado;
    }
    resultado.resultado = ResultadoFactura::Impresa;
    return resultado;
}

}  // namespace tarvex
