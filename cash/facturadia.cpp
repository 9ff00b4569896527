#include "cash/facturadia.h"

#include "cash/devolucion.h"
#include "sale/documentos.h"
#include "sale/folios.h"
#include "sale/totales.h"
#include "shell/estado.h"
#include "shell/sucursal.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace caja {

namespace {

constexpr int FormaPagoFacturaDia = 8;

const QString PrefijoObservacion = QStringLiteral("Corresponde a tickets del dia ");

// Which tickets each day invoice gathered, written with the invoice: cancelling it must give back
// exactly those. Files made before the table existed get it at their first send.
const QString TablaEnlaces = QStringLiteral("FacturaDiaTicket");

bool AseguraEnlaces(db::Database& bd, db::Error* error) {
    return bd.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS FacturaDiaTicket (Numero INTEGER NOT NULL, "
                                  "Tipo TEXT(1) NOT NULL, Ticket INTEGER NOT NULL)"),
                   {}, error) &&
           bd.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS FacturaDiaTicketTicket ON FacturaDiaTicket (Ticket)"), {},
                   error);
}

// Day invoice `v` holds ticket `t` (Venta rows by those names): by its link, or, for an invoice
// sent before links were kept, by the day its observation names, while no link claims the ticket
// and the invoice has none. One bound parameter: the observation's prefix.
QString Retiene(bool conEnlaces) {
    const QString porDia = QStringLiteral("v.ObsVenta = ? || substr(t.Fecha, 1, 10)");
    if (!conEnlaces) return QStringLiteral("(") + porDia + QStringLiteral(")");
    return QStringLiteral("(EXISTS (SELECT 1 FROM FacturaDiaTicket l WHERE l.Numero = v.Numero AND l.Tipo = v.Tipo "
                          "AND l.Ticket = t.Numero) OR (") +
           porDia +
           QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM FacturaDiaTicket l WHERE l.Ticket = t.Numero) AND NOT EXISTS "
                          "(SELECT 1 FROM FacturaDiaTicket l WHERE l.Numero = v.Numero AND l.Tipo = v.Tipo)))");
}

const QString FacturaDiaActiva = QStringLiteral("v.Tipo IN ('F','E') AND v.IdCorte = -1 AND v.Status = 1");

// The copied lines keep their own price and discount; the tickets' general discounts become one
// percentage of the header, the one that takes the lines' sum to the total: the invoice prints the
// lines, their subtotal, the discount as subtotal less total, and the total. 0 when no ticket had
// a general discount.
std::optional<double> DescuentoFacturaDia(db::Database& bd, qint64 numero, const QString& letra,
                                          const db::Rows& tickets, double total, db::Error* error) {
    if (std::none_of(tickets.begin(), tickets.end(), [](const db::Row& t) {
            return t.real(QStringLiteral("Descuento")) != 0 || t.real(QStringLiteral("Devuelto")) != 0;
        }))
        return 0.0;
    auto lineas = bd.select(QStringLiteral("SELECT Cantidad, PrecioUnit, Descuento FROM DetalleVenta WHERE Numero = ? "
                                           "AND TipoDocto = ?"),
                            {numero, letra}, error);
    if (!lineas) return std::nullopt;
    double suma = 0;
    for (const db::Row& l : *lineas)
        suma += venta::ImporteLinea(l.real(QStringLiteral("Cantidad")), l.real(QStringLiteral("PrecioUnit")),
                                    l.real(QStringLiteral("Descuento")));
    const qint64 lineasC = shell::Centavos(suma), totalC = shell::Centavos(total);
    if (lineasC == 0 || lineasC == totalC) return 0.0;
    return double(lineasC - totalC) * 100.0 / double(lineasC);
}

// What the returns of ticket `Venta` stored as paid back, each line to the cent as CentavosDevueltos
// adds it.
QString DevueltoSQL() {
    return QStringLiteral("(SELECT COALESCE(SUM(round(d.Cantidad * d.PUnitario, 2)), 0) FROM EInventario e JOIN "
                          "DEInventario d ON d.Numero = e.Numero WHERE e.DescribeMovto = %1 AND e.Docto = 'T' || "
                          "CASE WHEN Venta.Numero >= 0 THEN ' ' ELSE '' END || Venta.Numero)")
        .arg(MovtoDevolucion);
}

// A ticket is billed for what the customer kept: its total less what its returns paid back. One
// refunded in full has nothing left to bill and is not listed. `Total` is that kept amount, and
// `TotalTicket` the ticket's own.
std::optional<db::Rows> Tickets(db::Database& bd, const QDate& dia, const QString& condicion, db::Error* error) {
    const shell::CriterioFechas c = shell::ArmaCriterioFechas(dia, dia, QStringLiteral("Fecha"), 1);
    return bd.select(QStringLiteral("SELECT * FROM (SELECT abs(Numero) AS IdNumero, Numero, Tipo, Fecha, "
                                    "round(Total - %1, 2) AS Total, Total AS TotalTicket, %1 AS Devuelto, Descuento, "
                                    "Cliente, Status, FE, IdCorte FROM Venta WHERE ").arg(DevueltoSQL()) +
                         c.sql + QStringLiteral(" AND Status = 1 AND Tipo = 'T' AND ") + condicion +
                         QStringLiteral(") WHERE Total >= 0.005 ORDER BY Fecha DESC, Numero DESC"),
                     c.params, error);
}

// Copies the lines of ticket `ticket` into the invoice, less the units its returns took back from
// each line, as the return valued them.
bool CopiaLineasTicket(db::Database& bd, qint64 numero, const QString& letra, qint64 ticket, db::Error* error) {
    auto lineas = bd.select(QStringLiteral("SELECT IdLinea, ClaveProducto, Cantidad FROM DetalleVenta "
                                           "WHERE Numero = ? AND TipoDocto = 'T' ORDER BY IdLinea"),
                            {ticket}, error);
    if (!lineas) return false;
    std::vector<LineaDocumento> vendidas;
    for (const db::Row& l : *lineas)
        vendidas.push_back({l.integer(QStringLiteral("ClaveProducto")), l.real(QStringLiteral("Cantidad"))});
    const auto devuelto = DevueltoPorLinea(bd, QStringLiteral("T"), ticket, vendidas, error);
    if (!devuelto) return false;
    for (size_t i = 0; i < lineas->size(); ++i) {
        const qint64 id = (*lineas)[i].integer(QStringLiteral("IdLinea"));
        const qint64 resto = std::llround(vendidas[i].Cantidad * 1e6) - std::llround((*devuelto)[i] * 1e6);
        if (resto <= 0) continue;
        if (!bd.exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Iva, "
                                    "Descuento, Observacion, Estatus, Devolucion, Descripcion2, Moneda, Terminal) "
                                    "SELECT ?, ?, ClaveProducto, ?, PrecioUnit, Iva, Descuento, Observacion, "
                                    "Estatus, Devolucion, Descripcion2, Moneda, Terminal FROM DetalleVenta "
                                    "WHERE IdLinea = ?"),
                     {numero, letra, double(resto) / 1e6, id}, error))
            return false;
    }
    return true;
}

}  // namespace

QString RFCPublicoGeneral() { return QStringLiteral("XAXX010101000"); }

std::optional<db::Rows> CargaTicketsLibres(db::Database& bd, const QDate& dia, db::Error* error) {
    return Tickets(bd, dia, QStringLiteral("(FE = 0 OR FE IS NULL)"), error);
}

std::optional<db::Rows> CargaTicketsSeleccionados(db::Database& bd, const QDate& dia, db::Error* error) {
    return Tickets(bd, dia, QStringLiteral("FE = 1"), error);
}

QString ObservacionDia(const QDate& dia) { return PrefijoObservacion + dia.toString(QStringLiteral("yyyy-MM-dd")); }

std::optional<bool> TicketEnFacturaDiaActiva(db::Database& bd, qint64 numero, db::Error* error) {
    auto n = bd.scalar(QStringLiteral("SELECT count(*) FROM Venta t, Venta v WHERE t.Numero = ? AND t.Tipo = 'T' AND "
                                      "t.FE = 2 AND ") +
                           FacturaDiaActiva + QStringLiteral(" AND ") + Retiene(bd.tableExists(TablaEnlaces)),
                       {numero, PrefijoObservacion}, error);
    if (!n) return std::nullopt;
    return n->toLongLong() > 0;
}

QString MensajeEnFacturaDia() {
    return QString::fromUtf8("El ticket forma parte de una factura del día ya emitida; no se puede cancelar, "
                             "borrar ni devolver.");
}

bool LiberaTicketsFacturaDia(db::Database& bd, qint64 numero, const QString& letra, bool olvida, db::Error* error) {
    const bool enlaces = bd.tableExists(TablaEnlaces);
    const QString retiene = Retiene(enlaces);
    if (!bd.exec(QStringLiteral("UPDATE Venta SET FE = 0 WHERE Tipo = 'T' AND FE = 2 AND Numero IN (SELECT t.Numero "
                                "FROM Venta t, Venta v WHERE t.Tipo = 'T' AND t.FE = 2 AND v.Numero = ? AND v.Tipo = ? "
                                "AND ") +
                     retiene + QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM Venta v WHERE ") + FacturaDiaActiva +
                     QStringLiteral(" AND NOT (v.Numero = ? AND v.Tipo = ?) AND ") + retiene + QStringLiteral("))"),
                 {numero, letra, PrefijoObservacion, numero, letra, PrefijoObservacion}, error))
        return false;
    return !olvida || !enlaces ||
           bd.exec(QStringLiteral("DELETE FROM FacturaDiaTicket WHERE Numero = ? AND Tipo = ?"), {numero, letra}, error);
}

qint64 TotalCentavos(const db::Rows& tickets) {
    qint64 s = 0;
    for (const db::Row& t : tickets) s += shell::Centavos(t.real(QStringLiteral("Total")));
    return s;
}

bool SeleccionaTicket(db::Database& bd, qint64 numero, db::Error* error) {
    int n = 0;
    return bd.exec(QStringLiteral("UPDATE Venta SET FE = 1 WHERE Numero = ? AND Tipo = 'T' AND Status = 1 AND "
                                  "(FE = 0 OR FE IS NULL)"),
                   {numero}, error, &n) &&
           n == 1;
}

bool QuitaTicket(db::Database& bd, qint64 numero, db::Error* error) {
    int n = 0;
    return bd.exec(QStringLiteral("UPDATE Venta SET FE = 0 WHERE Numero = ? AND Tipo = 'T' AND FE = 1"), {numero},
                   error, &n) &&
           n == 1;
}

FacturaDiaEnviada GeneraFacturaDia(db::Database& bd, const QDate& dia, const std::vector<qint64>& numeros,
                                   const db::LockWait& espera) {
    FacturaDiaEnviada r;
    const EstadoGlobal& g = G();
    const sale::ClaseDocumento clase = g.FacturaE ? sale::ClaseDocumento::FacturaE : sale::ClaseDocumento::Factura;
    r.Letra = sale::LetraDocumento(clase);
    db::WriteTransaction tr(bd);
    if (!tr.begin(espera, &r.error)) {
        r.sinFolio = true;
        return r;
    }

    // What is gathered is what was listed: each ticket still chosen, active and of that day.
    auto elegidos = CargaTicketsSeleccionados(bd, dia, &r.error);
    if (!elegidos) return r;
    db::Rows gathered;
    for (qint64 n : numeros) {
        auto it = std::find_if(elegidos->begin(), elegidos->end(),
                               [n](const db::Row& f) { return f.integer(QStringLiteral("Numero")) == n; });
        if (it == elegidos->end()) {
            r.cambiaron = true;
            return r;
        }
        gathered.push_back(*it);
    }

    const qint64 numero = sale::TomaFolios(bd, sale::FilaFolioDe(clase), 1, &r.error);
    if (numero < 0) {
        r.sinFolio = true;
        return r;
    }
    sale::DatosEncabezado d;
    d.Empleado = g.ClaveUsuario;
    d.Sucursal = g.SucursalActual;
    d.Terminal = g.TerminalActual;
    d.Cliente = RFCPublicoGeneral();
    d.Fecha = QDateTime::currentDateTime();
    d.Total = static_cast<double>(TotalCentavos(gathered)) / 100.0;
    d.Descuento = 0;
    d.IVAP = g.PorcentajeIVA;
    d.ImportesPago[1] = d.Total;
    d.FormaPagoSel[1] = FormaPagoFacturaDia;
    d.ReferenciasPago[1] = QString();
    d.Observacion = ObservacionDia(dia);
    if (!sale::EscribeEncabezado(bd, clase, numero, d, &r.error)) return r;
    // Rows of this number left by a cleared branch file are not this invoice's.
    if (!AseguraEnlaces(bd, &r.error) ||
        !bd.exec(QStringLiteral("DELETE FROM FacturaDiaTicket WHERE Numero = ? AND Tipo = ?"), {numero, r.Letra},
                 &r.error))
        return r;

    for (qint64 n : numeros) {
        if (!CopiaLineasTicket(bd, numero, r.Letra, n, &r.error) ||
            !bd.exec(QStringLiteral("INSERT INTO FacturaDiaTicket (Numero, Tipo, Ticket) VALUES (?, ?, ?)"),
                     {numero, r.Letra, n}, &r.error))
            return r;
        int marcados = 0;
        if (!bd.exec(QStringLiteral("UPDATE Venta SET FE = 2 WHERE Numero = ? AND Tipo = 'T' AND Status = 1 AND FE = 1"),
                     {n}, &r.error, &marcados))
            return r;
        if (marcados != 1) {
            r.cambiaron = true;
            return r;
        }
    }
    auto descuento = DescuentoFacturaDia(bd, numero, r.Letra, gathered, d.Total, &r.error);
    if (!descuento ||
        !bd.exec(QStringLiteral("UPDATE Venta SET IdCorte = -1, Descuento = ? WHERE Numero = ? AND Tipo = ?"),
                 {*descuento, numero, r.Letra}, &r.error))
        return r;
    if (g.UsarServidorImp != 0 &&
        !sale::InsertaRegServImp(bd, g.FacturaE ? sale::SolFacturaE : sale::SolImprimeFactura, numero,
                                 g.TerminalActual, &r.error))
        return r;
    if (!tr.commit(&r.error)) return r;
    r.ok = true;
    r.Numero = numero;
    return r;
}

bool cmdEnviarfactura(db::Database& bd, const QDate& dia, const std::vector<qint64>& numeros, ui::Prompts& prompts,
                      const db::LockWait& espera, const venta::DestinoImpresion& destino) {
    if (numeros.empty()) return false;
    const FacturaDiaEnviada r = GeneraFacturaDia(bd, dia, numeros, espera);
    if (!r.ok) {
        if (r.cambiaron)
            prompts.message(QString::fromUtf8("Los tickets elegidos cambiaron en otra terminal (facturados, quitados o "
                                              "cancelados). Revise la lista y envíe de nuevo."));
        else if (r.sinFolio)
            prompts.message(QString::fromUtf8("Ocurrió un problema al obtener el numero de factura, reintentelo de nuevo."));
        else
            prompts.message(QString::fromUtf8("Ocurrió un problema al obtener el numero de factura, reintentelo de nuevo.\n") +
                                r.error.message,
                            ui::Icon::Critical);
        return false;
    }
    const EstadoGlobal& g = G();
    if (g.FacturaE && g.UsarServidorImp != 0) {
        prompts.message(QStringLiteral("El Docto ") + QString::number(r.Numero) +
                        QString::fromUtf8(" se imprimira en el servidor de impresión."));
        if (const QString aviso = shell::AvisoServidorImpresion(); !aviso.isEmpty())
            prompts.message(aviso, ui::Icon::Warning);
        return true;
    }
    if (!g.FacturaE)
        prompts.message(QStringLiteral("Se genero para el RFC: ") + RFCPublicoGeneral() + QStringLiteral(" el folio: ") +
                        QString::number(r.Numero));
    // The invoice just made, under its own letter: a paper invoice of the same number is another
    // customer's document.
    if (g.UsarServidorImp == 0) venta::ImprimeFacturaGrabada(r.Numero, r.Letra, destino, prompts);
    return true;
}

}  // namespace caja
