#include "sale/documentos.h"

#include "platform/money/money.h"
#include "sale/folios.h"
#include "sale/pago.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace sale {

namespace {

QString Fecha(const QDateTime& fecha) {
    const QDateTime f = fecha.isValid() ? fecha : QDateTime::currentDateTime();
    return f.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString SeisDigitos(qint64 numero) {
    const QString cifras = QStringLiteral("%1").arg(numero < 0 ? -numero : numero, 6, 10, QChar('0'));
    return numero < 0 ? QStringLiteral("-") + cifras : cifras;
}

}  // namespace

ClaseDocumento ClaseFactura(int tipo) {
    return tipo == TipoFactura ? ClaseDocumento::Factura : ClaseDocumento::FacturaE;
}

QString LetraDocumento(ClaseDocumento clase) {
    switch (clase) {
    case ClaseDocumento::Ticket: return QStringLiteral("T");
    case ClaseDocumento::Factura: return QStringLiteral("F");
    case ClaseDocumento::FacturaE: return QStringLiteral("E");
    case ClaseDocumento::Cotizacion: return QStringLiteral("C");
    default: return {};
    }
}

int FilaFolioDe(ClaseDocumento clase) {
    switch (clase) {
    case ClaseDocumento::Ticket: return FolioTicket;
    case ClaseDocumento::Factura: return FolioFactura;
    case ClaseDocumento::FacturaE: return FolioFacturaE;
    case ClaseDocumento::Cotizacion: return FolioCotizacion;
    case ClaseDocumento::NotaCredito: return FolioNotaCredito;
    case ClaseDocumento::Inventario: return FolioInventario;
    case ClaseDocumento::VentaCredito: return FolioVentaCredito;
    }
    return -1;
}

bool EnVenta(ClaseDocumento clase) { return !LetraDocumento(clase).isEmpty(); }

DatosEncabezado EncabezadoDesdeEstado() {
    const EstadoGlobal& g = G();
    DatosEncabezado d;
    d.Empleado = g.ClaveUsuario;
    d.Sucursal = g.SucursalActual;
    d.Terminal = g.TerminalActual;
    d.Vendedor = g.VendedorVenta;
    d.CondicionPago = g.CondicionPagoSel;
    d.IVAP = g.PorcentajeIVA;
    d.ImportesPago = g.ImportesPago;
    d.FormaPagoSel = g.FormaPagoSel;
    d.ReferenciasPago = g.ReferenciasPago;
    return d;
}

std::vector<DatosEncabezado> RepartePagos(const DatosEncabezado& venta, const std::vector<double>& totales) {
    const size_t k = totales.size();
    std::vector<DatosEncabezado> partes(k, venta);
    for (size_t i = 0; i < k; ++i) partes[i].Total = totales[i];
    if (k <= 1) return partes;

    std::vector<qint64> falta(k);
    for (size_t i = 0; i < k; ++i) falta[i] = std::max<qint64>(0, money::centavos(totales[i]));
    // share[i][slot]: cents of payment `slot` that document i carries.
    std::vector<std::array<qint64, 5>> parte(k, std::array<qint64, 5>{});
    auto esNota = [&](size_t slot) { return int(venta.FormaPagoSel[slot]) == venta::PagoNotaCredito; };
    // Notes first, then the other payments in slot order; each covers the parts in order, no part
    // beyond its own total. What a payment brought beyond the sale's total (a note worth more, the
    // cash tendered) was change, and no part carries it.
    auto reparte = [&](size_t slot) {
        qint64 resto = money::centavos(venta.ImportesPago[slot]);
        for (size_t i = 0; i < k && resto > 0; ++i) {
            const qint64 toma = std::min(resto, falta[i]);
            parte[i][slot] += toma;
            falta[i] -= toma;
            resto -= toma;
        }
    };
    for (int notas = 1; notas >= 0; --notas)
        for (size_t slot = 1; slot <= 3; ++slot)
            if (venta.FormaPagoSel[slot] != 0 && esNota(slot) == (notas == 1)) reparte(slot);
    for (size_t i = 0; i < k; ++i) {
        DatosEncabezado& d = partes[i];
        d.ImportesPago = {};
        d.FormaPagoSel = {};
        d.ReferenciasPago = {};
        size_t n = 1;
        for (size_t slot = 1; slot <= 3; ++slot) {
            if (venta.FormaPagoSel[slot] == 0 || parte[i][slot] <= 0) continue;
            d.ImportesPago[n] = double(parte[i][slot]) / 100.0;
            d.FormaPagoSel[n] = venta.FormaPagoSel[slot];
            d.ReferenciasPago[n] = venta.ReferenciasPago[slot];
            ++n;
        }
    }
    return partes;
}

std::vector<double> TotalesPartes(const std::vector<double>& totales, double totalVenta) {
    std::vector<double> r;
    qint64 suma = 0;
    for (size_t i = 0; i + 1 < totales.size(); ++i) {
        const qint64 c = money::centavos(totales[i]);
        suma += c;
        r.push_back(double(c) / 100.0);
    }
    if (!totales.empty()) r.push_back(double(money::centavos(totalVenta) - suma) / 100.0);
    return r;
}

std::vector<std::pair<QString, QVariant>> ColumnasEncabezado(ClaseDocumento clase, qint64 numero,
                                                             const DatosEncabezado& d) {
    std::vector<std::pair<QString, QVariant>> c;
    const bool ticket = clase == ClaseDocumento::Ticket;
    const bool cotizacion = clase == ClaseDocumento::Cotizacion;
    const QString obs = d.Observacion.isEmpty() ? QStringLiteral(" ") : d.Observacion;
    // What is stored is what was charged: whole cents, never the sub-cent sum of the lines.
    const double total = money::redondea(d.Total, 2);

    c.emplace_back(QStringLiteral("Tipo"), LetraDocumento(clase));
    c.emplace_back(QStringLiteral("Empleado"), d.Empleado);
    c.emplace_back(QStringLiteral("Sucursal"), d.Sucursal);
    c.emplace_back(QStringLiteral("Terminal"), d.Terminal);
    c.emplace_back(QStringLiteral("Cliente"), d.Cliente);
    c.emplace_back(QStringLiteral("Fecha"), Fecha(d.Fecha));
    if (ticket) {
        c.emplace_back(QStringLiteral("Vendedor"), d.Vendedor);
        c.emplace_back(QStringLiteral("Total"), total);
    } else {
        c.emplace_back(QStringLiteral("Total"), total);
        if (!cotizacion) c.emplace_back(QStringLiteral("Vendedor"), d.Vendedor);
        c.emplace_back(QStringLiteral("CondicionPago"), d.CondicionPago);
    }
    c.emplace_back(QStringLiteral("Descuento"), d.Descuento);
    c.emplace_back(QStringLiteral("Numero"), numero);
    c.emplace_back(QStringLiteral("IVAP"), d.IVAP);
    c.emplace_back(QStringLiteral("Pagacon"), d.ImportesPago[1]);
    c.emplace_back(QStringLiteral("FormaPago"), d.FormaPagoSel[1]);
    if (!ticket) c.emplace_back(QStringLiteral("ObsVenta"), obs);
    c.emplace_back(QStringLiteral("PagaObs1"), d.ReferenciasPago[1]);
    for (int i = 2; i <= 3; ++i) {
        if (d.FormaPagoSel[i] == 0) continue;
        const QString n = QString::number(i);
        c.emplace_back(QStringLiteral("Pagacon") + n, d.ImportesPago[i]);
        c.emplace_back(QStringLiteral("FormaPago") + n, d.FormaPagoSel[i]);
        c.emplace_back(QStringLiteral("PagaObs") + n, d.ReferenciasPago[i]);
    }
    // An empty reference is stored as a zero-length text, not as Null.
    for (auto& [nombre, valor] : c)
        if (valor.typeId() == QMetaType::QString && valor.toString().isNull())
            valor = QString(QLatin1String(""));
    return c;
}

bool EscribeEncabezado(db::Database& bd, ClaseDocumento clase, qint64 numero,
                       const DatosEncabezado& datos, db::Error* error) {
    if (!EnVenta(clase))
        return db::fail(error, db::ErrorKind::Other,
                     QStringLiteral("Este documento no se guarda en la tabla Venta."));
    const auto columnas = ColumnasEncabezado(clase, numero, datos);
    QStringList nombres, marcas;
    QVariantList valores;
    for (const auto& [nombre, valor] : columnas) {
        nombres << nombre;
        marcas << QStringLiteral("?");
        valores << valor;
    }
    return bd.exec(QStringLiteral("INSERT INTO Venta (%1) VALUES (%2)")
                       .arg(nombres.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", "))),
                   valores, error);
}

namespace {

bool ObtenerEncabezado(db::Database& bd, ClaseDocumento clase, const DatosEncabezado& datos,
                       Documento& doc, db::Error* error) {
    doc.NumeroDocumento = -1;
    const qint64 numero = TomaFolios(bd, FilaFolioDe(clase), 1, error);
    if (numero < 0) return false;
    if (!EscribeEncabezado(bd, clase, numero, datos, error)) return false;
    doc.NumeroDocumento = numero;
    doc.TipoDocumento = LetraDocumento(clase);
    return true;
}

}  // namespace

bool ObtenerRem(db::Database& bd, int tipo, const DatosEncabezado& datos, Documento& doc,
                db::Error* error) {
    return ObtenerEncabezado(bd, ClaseFactura(tipo), datos, doc, error);
}

bool ObtenerRemT(db::Database& bd, const DatosEncabezado& datos, Documento& doc, db::Error* error) {
    return ObtenerEncabezado(bd, ClaseDocumento::Ticket, datos, doc, error);
}

bool ObtenerFCot(db::Database& bd, int /*tipo*/, const DatosEncabezado& datos, Documento& doc,
                 db::Error* error) {
    return ObtenerEncabezado(bd, ClaseDocumento::Cotizacion, datos, doc, error);
}

bool GuardaCotizacion(db::Database& bd, qint64 numero, const DatosEncabezado& datos, const db::LockWait& espera,
                      db::Error* error) {
    db::WriteTransaction tr(bd);
    if (!tr.begin(espera, error, db::WriteScope::MainFile)) return false;
    int filas = 0;
    if (!bd.exec(QStringLiteral("UPDATE Venta SET Cliente = ?, Descuento = ?, Total = ?, ObsVenta = ? WHERE Numero = ? "
                                "AND Tipo = 'C'"),
                 {datos.Cliente, datos.Descuento, money::redondea(datos.Total, 2),
                  datos.Observacion.isEmpty() ? QStringLiteral(" ") : datos.Observacion, numero},
                 error, &filas))
        return false;
    if (filas != 1)
        return db::fail(error, db::ErrorKind::NotFound,
                        QString::fromUtf8("La cotización %1 no está guardada.").arg(numero));
    return tr.commit(error);
}

QString TextoRem(ClaseDocumento clase, const QString& prefijo, qint64 numero) {
    QString titulo;
    switch (clase) {
    case ClaseDocumento::Ticket: titulo = QStringLiteral("Ticket: "); break;
    case ClaseDocumento::Cotizacion: titulo = QStringLiteral("COTIZ: "); break;
    default: titulo = QStringLiteral("Factura: "); break;
    }
    return titulo + prefijo + QStringLiteral(" ") + SeisDigitos(numero);
}

QString TextoRemInicial(qint64 valorFolioFactura) {
    return QStringLiteral("F:") + QString::number(valorFolioFactura);
}

// --- stock ---

bool EscribeExis(db::Database& bd, qint64 idLinea, MovimientoExis mov, bool sumar,
                 const Documento& doc, double* nuevo, db::Error* error) {
    auto filas = bd.select(QStringLiteral("UPDATE DetalleVenta SET TipoDocto = ?, Numero = ? "
                                          "WHERE IdLinea = ? RETURNING ClaveProducto, Cantidad"),
                           {doc.TipoDocumento, doc.NumeroDocumento, idLinea}, error);
    if (!filas) return false;
    if (filas->empty())
        return db::fail(error, db::ErrorKind::NotFound,
                     QStringLiteral("La línea %1 del documento ya no existe.").arg(idLinea));
    if (mov == MovimientoExis::Ninguno) return true;
    const db::Row& linea = filas->front();
    const double cantidad = linea.real(QStringLiteral("Cantidad"));
    const double delta = mov == MovimientoExis::Salida ? -cantidad : cantidad;
    return CambiaExistencia(bd, linea.value(QStringLiteral("ClaveProducto")), delta, sumar, nuevo,
                            error);
}

bool ActualizaExis(db::Database& bd, qint64 idLinea, MovimientoExis mov, bool sumar,
                   const Documento& doc, const db::LockWait& espera, double* nuevo,
                   db::Error* error) {
    db::WriteTransaction tr(bd);
    // Stock and lines live in the branch file alone.
    if (!tr.begin(espera, error, db::WriteScope::MainFile)) return false;
    if (!EscribeExis(bd, idLinea, mov, sumar, doc, nuevo, error)) return false;
    return tr.commit(error);
}

// --- print server ---

bool InsertaRegServImp(db::Database& bd, int tipo, qint64 numero, int terminal, db::Error* error) {
    return bd.exec(QStringLiteral("INSERT INTO Solicitafolios (FolioSolicita, valordev, Terminal) "
                                  "VALUES (?, ?, ?)"),
                   {tipo, numero, terminal}, error);
}

bool InsertaRegServImp(int tipo, qint64 numero, db::Error* error) {
    const int sucursal = G().SucursalActual;
    if (sucursal < 0 || sucursal > 10)
        return db::fail(error, db::ErrorKind::Other,
                     QStringLiteral("La sucursal %1 no es válida.").arg(sucursal));
    db::Database* bd = shell::BDSucursal(error);
    if (!bd) return false;
    return InsertaRegServImp(*bd, tipo, numero, G().TerminalActual, error);
}

// --- the save ---

namespace {

// A line can go into a document only while it is still pending: Numero 0, or a line of a stored
// quotation being sold (letter C and the number of a quotation header). A line already stamped for
// another document, or handed in twice, is never sold again. All the lines are looked at in one
// read, which also gives each line's product and quantity for the stock (the write transaction
// holds the branch file, so they stay as read).
struct LineaLeida {
    QVariant clave;
    double cantidad = 0;
};
bool LineasPendientes(db::Database& bd, const std::vector<qint64>& ids, QHash<qint64, LineaLeida>* leidas,
                      db::Error* error) {
    if (ids.empty()) return true;
    QStringList marcas;
    QVariantList valores;
    for (qint64 id : ids) {
        marcas << QStringLiteral("?");
        valores << id;
    }
    auto filas = bd.select(
        QStringLiteral("SELECT d.IdLinea, d.Numero, d.TipoDocto, d.ClaveProducto, d.Cantidad, EXISTS (SELECT 1 "
                       "FROM Venta v WHERE v.Tipo = 'C' AND v.Numero = d.Numero) AS DeCotizacion FROM "
                       "DetalleVenta d WHERE d.IdLinea IN (%1)")
            .arg(marcas.join(QLatin1Char(','))),
        valores, error);
    if (!filas) return false;
    QHash<qint64, const db::Row*> porId;
    for (const db::Row& f : *filas) porId.insert(f.integer(QStringLiteral("IdLinea")), &f);
    QSet<qint64> vistas;
    for (qint64 id : ids) {
        const db::Row* linea = porId.value(id);
        if (!linea)
            return db::fail(error, db::ErrorKind::NotFound,
                            QStringLiteral("La línea %1 del documento ya no existe.").arg(id));
        const qint64 numero = linea->integer(QStringLiteral("Numero"));
        const bool pendiente =
            numero == 0 || (linea->text(QStringLiteral("TipoDocto")) == QLatin1String("C") &&
                            linea->integer(QStringLiteral("DeCotizacion")) != 0);
        if (!pendiente || vistas.contains(id))
            return db::fail(error, db::ErrorKind::Other,
                            QStringLiteral("La línea %1 ya pertenece a otro documento; lea de nuevo los "
                                           "registros.")
                                .arg(id));
        vistas.insert(id);
        leidas->insert(id, {linea->value(QStringLiteral("ClaveProducto")), linea->real(QStringLiteral("Cantidad"))});
    }
    return true;
}

// Moves stock and stamps the lines that were never stamped by the movement.
bool EscribeLineas(db::Database& bd, const PorGuardar& g, const Documento& doc,
                   const std::vector<qint64>& lineas, db::Error* error) {
    // A ticket, invoice or quotation without lines would be a header with nothing sold.
    if (g.EstampaLineas && lineas.empty())
        return db::fail(error, db::ErrorKind::Other,
                        QStringLiteral("No hay ningún producto en la lista."));
    QHash<qint64, LineaLeida> leidas;
    if (!LineasPendientes(bd, lineas, &leidas, error)) return false;
    for (qint64 id : lineas) {
        if (g.EstampaLineas) {
            int n = 0;
            if (!bd.exec(QStringLiteral("UPDATE DetalleVenta SET TipoDocto = ?, Numero = ? WHERE IdLinea = ?"),
                         {doc.TipoDocumento, doc.NumeroDocumento, id}, error, &n))
                return false;
            if (n == 0)
                return db::fail(error, db::ErrorKind::NotFound,
                                QStringLiteral("La línea %1 del documento ya no existe.").arg(id));
        }
        if (g.Exis == MovimientoExis::Ninguno) continue;
        const LineaLeida& linea = leidas[id];
        const double delta = g.Exis == MovimientoExis::Salida ? -linea.cantidad : linea.cantidad;
        if (!CambiaExistencia(bd, linea.clave, delta, g.SumarInventario, nullptr, error)) return false;
    }
    return true;
}

}  // namespace

std::vector<std::vector<qint64>> DivideEnFacturas(const std::vector<qint64>& lineas,
                                                  int regxFactura) {
    if (regxFactura <= 0 || lineas.empty()) return {lineas};
    std::vector<std::vector<qint64>> facturas;
    const size_t tam = static_cast<size_t>(regxFactura);
    for (size_t i = 0; i < lineas.size(); i += tam)
        facturas.emplace_back(lineas.begin() + static_cast<std::ptrdiff_t>(i),
                              lineas.begin() + static_cast<std::ptrdiff_t>(std::min(i + tam, lineas.size())));
    return facturas;
}

namespace {

// One try; `empezada` tells whether the transaction began (a refused begin already waited).
Guardado GuardaUnaVez(db::Database& bd, const PorGuardar& g, const db::LockWait& espera,
                      db::WriteScope alcance, bool* empezada) {
    Guardado r;
    r.Letra = LetraDocumento(g.Clase);
    const int k = static_cast<int>(g.Documentos.size());
    db::WriteTransaction tr(bd);
    *empezada = tr.begin(espera, &r.error, alcance);
    if (!*empezada) {
        r.cancelado = r.error.kind == db::ErrorKind::Cancelled;
        return r;
    }

    // Whatever fails below, the transaction rolls back on leaving and no number counts as taken.
    auto falla = [&r]() {
        r.Numeros.clear();
        return r;
    };
    const qint64 primero = TomaFolios(bd, FilaFolioDe(g.Clase), k, &r.error);
    if (primero < 0) return falla();

    const QString letraLineas = g.LetraLineas.isEmpty() ? r.Letra : g.LetraLineas;
    std::vector<double> totales;
    for (const DocumentoPorGuardar& d : g.Documentos) totales.push_back(d.Total);
    const std::vector<DatosEncabezado> encabezados = RepartePagos(g.Encabezado, totales);
    for (int i = 0; i < k; ++i) {
        const qint64 numero = primero + i;
        const DocumentoPorGuardar& d = g.Documentos[static_cast<size_t>(i)];
        if (EnVenta(g.Clase) &&
            !EscribeEncabezado(bd, g.Clase, numero, encabezados[static_cast<size_t>(i)], &r.error))
            return falla();
        if (!EscribeLineas(bd, g, Documento{numero, letraLineas}, d.Lineas, &r.error))
            return falla();
        if (g.Solicitud != 0 &&
            !InsertaRegServImp(bd, g.Solicitud, numero, g.Encabezado.Terminal, &r.error))
            return falla();
        r.Numeros.push_back(numero);
    }

    if (g.Extra && !g.Extra(bd, r, &r.error)) {
        if (r.error.ok())
            db::fail(&r.error, db::ErrorKind::Other, QStringLiteral("No se pudo guardar el documento."));
        return falla();
    }
    if (!tr.commit(&r.error)) return falla();
    r.ok = true;
    return r;
}

}  // namespace

Guardado GuardaDocumento(db::Database& bd, const PorGuardar& g, const db::LockWait& espera) {
    if (g.Documentos.empty()) {
        Guardado r;
        r.Letra = LetraDocumento(g.Clase);
        db::fail(&r.error, db::ErrorKind::Other, QStringLiteral("No hay ningún documento que guardar."));
        return r;
    }
    // Most saves write the branch file alone and commit it alone. One that also writes the central
    // file (a generic product becoming a catalogue row, a cost) while another branch holds it is
    // refused at that write: everything is rolled back and done again with both files reserved
    // from the start, waiting for them without holding any lock.
    bool empezada = false;
    Guardado r = GuardaUnaVez(bd, g, espera, db::WriteScope::MainFile, &empezada);
    if (!r.ok && empezada && r.error.kind == db::ErrorKind::Busy)
        r = GuardaUnaVez(bd, g, espera, db::WriteScope::AllFiles, &empezada);
    return r;
}

}  // namespace sale
