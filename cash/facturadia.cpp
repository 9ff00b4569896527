#include "cash/facturadia.h"

#include "sale/documentos.h"
#include "sale/folios.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QDateTime>

#include <algorithm>

namespace caja {

namespace {

constexpr int FormaPagoFacturaDia = 8;

std::optional<db::Rows> Tickets(db::Database& bd, const QDate& dia, const QString& condicion, db::Error* error) {
    const shell::CriterioFechas c = shell::ArmaCriterioFechas(dia, dia, QStringLiteral("Fecha"), 1);
    return bd.select(QStringLiteral("SELECT abs(Numero) AS IdNumero, Venta.* FROM Venta WHERE ") + c.sql +
                         QStringLiteral(" AND Status = 1 AND Tipo = 'T' AND ") + condicion +
                         QStringLiteral(" ORDER BY Fecha DESC, Numero DESC"),
                     c.params, error);
}

}  // namespace

QString RFCPublicoGeneral() { return QStringLiteral("XAXX010101000"); }

std::optional<db::Rows> CargaTicketsLibres(db::Database& bd, const QDate& dia, db::Error* error) {
    return Tickets(bd, dia, QStringLiteral("(FE = 0 OR FE IS NULL)"), error);
}

std::optional<db::Rows> CargaTicketsSeleccionados(db::Database& bd, const QDate& dia, db::Error* error) {
    return Tickets(bd, dia, QStringLiteral("FE = 1"), error);
}

QString ObservacionDia(const QDate& dia) {
    return QStringLiteral("Corresponde a tickets del dia ") + dia.toString(QStringLiteral("yyyy-MM-dd"));
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
    if (!bd.exec(QStringLiteral("UPDATE Venta SET IdCorte = -1 WHERE Numero = ? AND Tipo = ?"), {numero, r.Letra},
                 &r.error))
        return r;

    for (qint64 n : numeros) {
        if (!bd.exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Iva, "
                                    "Descuento, Observacion, Estatus, Devolucion, Descripcion2, Moneda, Terminal) "
                                    "SELECT ?, ?, ClaveProducto, Cantidad, PrecioUnit, Iva, Descuento, Observacion, "
                                    "Estatus, Devolucion, Descripcion2, Moneda, Terminal FROM DetalleVenta "
                                    "WHERE Numero = ? AND TipoDocto = 'T' ORDER BY IdLinea"),
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
        return true;
    }
    if (!g.FacturaE)
        prompts.message(QStringLiteral("Se genero para el RFC: ") + RFCPublicoGeneral() + QStringLiteral(" el folio: ") +
                        QString::number(r.Numero));
    if (g.UsarServidorImp == 0) venta::ImprimeTicket(r.Numero, r.Numero, destino, prompts);
    return true;
}

}  // namespace caja
