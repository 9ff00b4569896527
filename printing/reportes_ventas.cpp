#include "printing/reportes_ventas.h"

#include "platform/report/records.h"
#include "platform/report/totals.h"
#include "printing/formato.h"
#include "printing/importes.h"
#include "printing/reporte.h"
#include "shell/texto.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace printing {
namespace {

QString conCriterio(const QString& base, const shell::CriterioFechas& c, QVariantList* valores) {
    if (valores) *valores = c.params;
    return base + c.sql;
}

QString dinero(qint64 centavos) { return report::formatAmount(double(centavos) / 100); }

}  // namespace

QString SeleccionVentaDiaria(const QStringList& letras, const QDate& dia, QVariantList* valores) {
    QString marcas;
    for (int i = 0; i < letras.size(); ++i) marcas += i ? QStringLiteral(", ?") : QStringLiteral("?");
    const shell::CriterioFechas c = shell::ArmaCriterioFechas(dia, dia, QStringLiteral("Fecha"), 1);
    QVariantList v;
    for (const QString& l : letras) v << l;
    v << c.params;
    if (valores) *valores = v;
    return QStringLiteral("SELECT * FROM CdetalleVentaFacRD WHERE TipoDocto IN (%1) AND %2 ORDER BY TipoDocto, Numero")
        .arg(marcas, c.sql);
}

QString SeleccionTicketsHoy(const QDate& hoy, QVariantList* valores) {
    return conCriterio(QStringLiteral("SELECT * FROM CdetalleVentaFacRD WHERE Numero < 0 AND "),
                       shell::ArmaCriterioFechas(hoy, hoy, QStringLiteral("Fecha"), 1), valores) +
           QStringLiteral(" ORDER BY Numero DESC");
}

QString SeleccionPeriodo(bool tickets, const QDate& inicio, const QDate& fin, QVariantList* valores, bool enPartes) {
    // Only what DatosVentas and the period's template read: a year of lines is held while it lays out.
    static const QStringList necesarias{
        QStringLiteral("Numero"),     QStringLiteral("TipoDocto"), QStringLiteral("Fecha"),     QStringLiteral("Cliente"),
        QStringLiteral("Status"),     QStringLiteral("Importe"),   QStringLiteral("DescFact"),  QStringLiteral("Cantidad"),
        QStringLiteral("PrecioUnit"), QStringLiteral("Descuento"), QStringLiteral("Iva"),       QStringLiteral("Cextra1")};
    static const QStringList otras{QStringLiteral("ClaveProducto"), QStringLiteral("IdCorte"), QStringLiteral("Nombre"),
                                   QStringLiteral("Descripcion")};
    const QString campos = QStringLiteral("SELECT ") +
                           ColumnasLeidas(necesarias, otras, {QStringLiteral("Venta Mensual.html")}) +
                           QStringLiteral(" FROM CdetalleVentaFacRD WHERE ");
    return conCriterio(campos + (tickets ? QStringLiteral("TipoDocto = 'T' AND ") : QStringLiteral("Numero > 0 AND ")),
                       shell::ArmaCriterioFechas(inicio, fin, QStringLiteral("Fecha"), 2), valores) +
           (enPartes ? QStringLiteral(" AND (%1)") : QString()) + QStringLiteral(" ORDER BY TipoDocto, Numero");
}

QString NumerosPeriodo(bool tickets, const QDate& inicio, const QDate& fin) {
    // Numbered as the lines are: a ticket's number negative.
    return conCriterio(tickets ? QStringLiteral("SELECT -Numero AS n FROM Venta WHERE Tipo = 'T' AND ")
                               : QStringLiteral("SELECT Numero AS n FROM Venta WHERE Tipo IN ('F', 'E') AND "),
                       shell::ArmaCriterioFechas(inicio, fin, QStringLiteral("Fecha"), 2), nullptr) +
           QStringLiteral(" ORDER BY n");
}

namespace {

// Documents [desde, hasta) of the rows, their lines' first rows in `inicio`.
struct ParteVentas {
    report::Records documentos;
    qint64 total = 0;
    int cancelados = 0;
};

void ArmaVentas(const db::Rows& filas, const std::vector<size_t>& inicio, qsizetype desde, qsizetype hasta,
                ParteVentas& parte) {
    parte.documentos = report::Records(QStringLiteral("documentos"));
    for (qsizetype d = desde; d < hasta; ++d) {
        const db::Rows g(filas.begin() + qsizetype(inicio[size_t(d)]), filas.begin() + qsizetype(inicio[size_t(d) + 1]));
        const ImportesDocumento m = ImportesDeFilas(g, QStringLiteral("Importe"));
        const db::Row& h = g.back();  // the document's values are those of its last line
        const bool cancelado = h.integer(QStringLiteral("Status")) != 1;
        QVariantMap doc;
        doc.insert(QStringLiteral("Numero"), std::llabs(h.integer(QStringLiteral("Numero"))));
        doc.insert(QStringLiteral("TipoDocto"), h.text(QStringLiteral("TipoDocto")));
        doc.insert(QStringLiteral("Fecha"), h.value(QStringLiteral("Fecha")));
        doc.insert(QStringLiteral("Cliente"), h.text(QStringLiteral("Cliente")));
        doc.insert(QStringLiteral("Cancelado"), cancelado);
        doc.insert(QStringLiteral("Total"), dinero(m.total));
        doc.insert(QStringLiteral("HayDescuento"), m.descuento != 0);
        doc.insert(QStringLiteral("DescFact"), NumeroPlano(h.real(QStringLiteral("DescFact"))));
        doc.insert(QStringLiteral("ImporteDescuento"), dinero(m.descuento));
        QVariantList lineas;
        for (size_t k = 0; k < g.size(); ++k) {
            const db::Row& f = g[k];
            QVariantMap l = report::toVariant(f, QStringLiteral("lineas"));
            l.insert(QStringLiteral("Cantidad"), NumeroPlano(f.real(QStringLiteral("Cantidad"))));
            l.insert(QStringLiteral("Importe"), dinero(m.neto[k]));
            lineas << l;
        }
        doc.insert(QStringLiteral("lineas"), lineas);
        if (cancelado) ++parte.cancelados;
        else parte.total += m.total;
        parte.documentos.append(doc);
    }
}

}  // namespace

QVariantMap DatosVentas(const db::Rows& filas) {
    std::vector<size_t> inicio;
    for (size_t i = 0; i < filas.size(); i = FinDocumento(filas, i)) inicio.push_back(i);
    const qsizetype documentos = qsizetype(inicio.size());
    inicio.push_back(filas.size());
    // A year of documents is made in a few parts at once, joined in order.
    std::vector<ParteVentas> partes(size_t(report::partsFor(documentos, 4000)));
    report::inParts(documentos, int(partes.size()), [&](int k, qsizetype desde, qsizetype hasta) {
        ArmaVentas(filas, inicio, desde, hasta, partes[size_t(k)]);
    });
    report::Records todos = std::move(partes.front().documentos);
    qint64 total = 0;
    int cancelados = 0;
    for (size_t k = 0; k < partes.size(); ++k) {
        if (k > 0) {
            todos.append(partes[k].documentos);
            partes[k].documentos = report::Records();
        }
        total += partes[k].total;
        cancelados += partes[k].cancelados;
    }
    todos.squeeze();
    QVariantMap d;
    d.insert(QStringLiteral("documentos"), QVariant::fromValue(todos));
    d.insert(QStringLiteral("NumDocumentos"), int(todos.size()));
    d.insert(QStringLiteral("NumCancelados"), cancelados);
    d.insert(QStringLiteral("TotalVentas"), dinero(total));
    return d;
}

QString SeleccionSeriesVenta() {
    return QStringLiteral("SELECT c.*, v.Descuento AS DescFact, v.Total AS TotalDocumento FROM CdetalleVenta c "
                          "JOIN Venta v ON v.Numero = c.Numero AND v.Tipo = c.TipoDocto "
                          "WHERE c.TipoDocto = ? AND c.Numero = ? ORDER BY c.IdLinea");
}

QVariantMap DatosSeriesVenta(const db::Rows& filas) {
    const ImportesDocumento m = ImportesDeFilas(filas, QStringLiteral("TotalDocumento"));
    QVariantList l;
    for (size_t k = 0; k < filas.size(); ++k) {
        QVariantMap v = report::toVariant(filas[k], QStringLiteral("lineas"));
        v.insert(QStringLiteral("Cantidad"), NumeroPlano(filas[k].real(QStringLiteral("Cantidad"))));
        v.insert(QStringLiteral("Importe"), dinero(m.neto[k]));
        l << v;
    }
    QVariantMap d;
    d.insert(QStringLiteral("lineas"), l);
    d.insert(QStringLiteral("HayDescuento"), m.descuento != 0);
    d.insert(QStringLiteral("DescFact"),
             NumeroPlano(filas.empty() ? 0.0 : filas.front().real(QStringLiteral("DescFact"))));
    d.insert(QStringLiteral("ImporteDescuento"), dinero(m.descuento));
    d.insert(QStringLiteral("Total"), dinero(m.total));
    return d;
}

std::optional<db::Rows> ProductosVendidos(db::Database& bd, const QDate& inicio, const QDate& fin, bool porImporte,
                                          db::Error* error) {
    const shell::CriterioFechas c = shell::ArmaCriterioFechas(inicio, fin, QStringLiteral("Venta.Fecha"), 2);
    const QString deLasVentas = QStringLiteral(
        "FROM DetalleVenta JOIN Venta ON Venta.Numero = DetalleVenta.Numero AND Venta.Tipo = DetalleVenta.TipoDocto "
        // A day invoice (IdCorte -1) re-lists goods its tickets already sold.
        "WHERE DetalleVenta.Numero <> 0 AND Venta.Tipo IN ('T', 'F', 'E') AND Venta.Status = 1 AND "
        "COALESCE(Venta.IdCorte, 0) <> -1 AND ") + c.sql;
    // The lines carry figures only; each product's name is read once, not on each line it sold.
    const auto lineas = bd.select(
        QStringLiteral("SELECT DetalleVenta.ClaveProducto, DetalleVenta.Cantidad, DetalleVenta.PrecioUnit, "
                       "DetalleVenta.Descuento, DetalleVenta.Numero, DetalleVenta.TipoDocto, "
                       "Venta.Descuento AS DescFact, Venta.Total ") +
            deLasVentas + QStringLiteral(" ORDER BY DetalleVenta.TipoDocto, DetalleVenta.Numero, DetalleVenta.IdLinea"),
        c.params, error);
    if (!lineas) return std::nullopt;
    struct Suma {
        QString nombre, descripcion;
        qint64 milesimas = 0, centavos = 0;
    };
    std::map<qint64, Suma> porProducto;
    const int clave = lineas->empty() ? -1 : lineas->front().indexOf(QStringLiteral("ClaveProducto"));
    const int cantidad = lineas->empty() ? -1 : lineas->front().indexOf(QStringLiteral("Cantidad"));
    std::vector<size_t> primera;
    for (size_t i = 0; i < lineas->size(); i = FinDocumento(*lineas, i)) primera.push_back(i);
    const qsizetype documentos = qsizetype(primera.size());
    primera.push_back(lineas->size());
    // A year of documents is counted in a few parts at once, the parts' sums added after.
    std::vector<std::map<qint64, Suma>> partes(size_t(report::partsFor(documentos, 4000)));
    report::inParts(documentos, int(partes.size()), [&](int parte, qsizetype desde, qsizetype hasta) {
        std::map<qint64, Suma>& suyo = partes[size_t(parte)];
        for (qsizetype d = desde; d < hasta; ++d) {
            const db::Rows doc(lineas->begin() + qsizetype(primera[size_t(d)]),
                               lineas->begin() + qsizetype(primera[size_t(d) + 1]));
            // Each line counts its share of what the document took, its general discount included.
            const ImportesDocumento m = ImportesDeFilas(doc, QStringLiteral("Total"));
            for (size_t k = 0; k < doc.size(); ++k) {
                const db::Row& l = doc[k];
                Suma& s = suyo[l.value(clave).toLongLong()];
                s.milesimas += qRound64(l.value(cantidad).toDouble() * 1000);
                s.centavos += m.pagado[k];
            }
        }
    });
    for (const auto& parte : partes)
        for (const auto& [k, suma] : parte) {
            Suma& s = porProducto[k];
            s.milesimas += suma.milesimas;
            s.centavos += suma.centavos;
        }
    partes.clear();
    // The names of the products sold, by their keys (a deleted product's from where it was kept).
    QString claves = QStringLiteral("[");
    for (const auto& [k, s] : porProducto) {
        if (claves.size() > 1) claves += QLatin1Char(',');
        claves += QString::number(k);
    }
    claves += QLatin1Char(']');
    const auto nombres = bd.select(
        QStringLiteral("SELECT j.value AS ClaveProducto, COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre, "
                       "COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS Descripcion FROM json_each(?) j "
                       "LEFT JOIN Producto ON Producto.ClaveProducto = j.value "
                       "LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = j.value"),
        {claves}, error);
    if (!nombres) return std::nullopt;
    for (const db::Row& n : *nombres) {
        const auto it = porProducto.find(n.integer(QStringLiteral("ClaveProducto")));
        if (it == porProducto.end()) continue;
        it->second.nombre = n.text(QStringLiteral("Nombre"));
        it->second.descripcion = n.text(QStringLiteral("Descripcion"));
    }
    std::vector<std::pair<qint64, Suma>> orden(porProducto.begin(), porProducto.end());
    std::stable_sort(orden.begin(), orden.end(), [porImporte](const auto& a, const auto& b) {
        return porImporte ? a.second.centavos > b.second.centavos : a.second.milesimas > b.second.milesimas;
    });
    const QStringList campos{"ClaveProducto", "Nombre",  "Descripcion", "SumaCantidad", "SumaImporte",
                             "Campo1",        "Campo2",  "Campo3",      "Campo4"};
    db::Rows filas;
    for (const auto& [clave, s] : orden)
        filas.emplace_back(campos, QVariantList{clave, s.nombre, s.descripcion, double(s.milesimas) / 1000,
                                                double(s.centavos) / 100, QString(), QString(), QString(), QString()});
    return filas;
}

QString SeleccionVentasEmpleado(const QDate& inicio, const QDate& fin, QVariantList* valores) {
    return conCriterio(
               QStringLiteral("SELECT Venta.Tipo, Venta.Numero, Venta.Fecha, Venta.Total, Venta.Status, Venta.Empleado, "
                              "Venta.Terminal, Venta.Sucursal, Venta.Vendedor, "
                              "COALESCE(Vendedores.NombreVendedor, 'SIN VENDEDOR') AS NombreUsuario "
                              "FROM Venta LEFT JOIN Vendedores ON Venta.Vendedor = Vendedores.IdVendedor "
                              // A day invoice (IdCorte -1) repeats sales its tickets already count.
                              "WHERE Venta.Tipo IN ('T', 'F', 'E') AND COALESCE(Venta.IdCorte, 0) <> -1 AND "),
               shell::ArmaCriterioFechas(inicio, fin, QStringLiteral("Venta.Fecha"), 2), valores) +
           QStringLiteral(" ORDER BY NombreUsuario COLLATE ESPANOL, Venta.Fecha, Venta.Tipo, Venta.Numero");
}

QVariantMap DatosVentasEmpleado(const db::Rows& filas) {
    QVariantList vendedores;
    qint64 total = 0;
    for (const report::Group& g : report::groupBy(filas, {QStringLiteral("NombreUsuario")})) {
        qint64 suyo = 0;
        int validos = 0;
        QVariantList docs;
        for (const db::Row& f : g.rows) {
            QVariantMap m = report::toVariant(f, QStringLiteral("documentos"));
            const bool cancelado = f.integer(QStringLiteral("Status")) != 1;
            m.insert(QStringLiteral("Cancelado"), cancelado);
            if (!cancelado) {
                suyo += shell::Centavos(f.real(QStringLiteral("Total")));
                ++validos;
            }
            docs << m;
        }
        QVariantMap v;
        v.insert(QStringLiteral("NombreUsuario"), g.key.value(0).toString());
        v.insert(QStringLiteral("documentos"), docs);
        // Counted as the total is: the cancelled documents are listed, but in neither.
        v.insert(QStringLiteral("NumDocumentos"), validos);
        v.insert(QStringLiteral("Total"), dinero(suyo));
        vendedores << v;
        total += suyo;
    }
    QVariantMap d;
    d.insert(QStringLiteral("vendedores"), vendedores);
    d.insert(QStringLiteral("TotalVentas"), dinero(total));
    return d;
}

std::optional<DocumentoSerie> LeeDocumentoSerie(const QString& respuesta) {
    const QString r = respuesta.trimmed();
    if (r.size() < 2) return std::nullopt;
    const QString letra = r.left(1).toUpper();
    if (!QStringLiteral("TFEC").contains(letra)) return std::nullopt;
    const auto numero = shell::EnteroTecleado(r.mid(1));
    if (!numero) return std::nullopt;
    return DocumentoSerie{letra, *numero};
}

}  // namespace printing
