#include "printing/ventasdiaticket.h"

#include "printing/envio.h"
#include "printing/formato.h"
#include "printing/importes.h"
#include "printing/reporte_parametros.h"
#include "printing/textoticket.h"
#include "printing/ticketventa.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <cmath>
#include <cstdlib>

namespace printing {
namespace {

QString monto(double valor, const char* patron) { return shell::Formato(valor, QString::fromLatin1(patron)); }

// The document's letter and number: invoice F2 and electronic invoice E2 are two documents.
QString folio(const QString& letra, qint64 numero) {
    return letra + shell::Formato(double(numero), QStringLiteral("00000"));
}

// "dd-<month>-yyyy hh:mm:ss", the month by its Spanish name.
QString FechaHoraReporte(const QDateTime& t) {
    return QStringLiteral("%1-%2-%3 %4")
        .arg(t.date().day(), 2, 10, QLatin1Char('0'))
        .arg(shell::NombreMes(t.date().month()))
        .arg(t.date().year())
        .arg(t.time().toString(QStringLiteral("HH:mm:ss")));
}

}  // namespace

void ArmaReporteVentasDia(const db::Rows& filas, bool tickets, const QDate& dia, const QDateTime& impreso) {
    const QString lf = QStringLiteral("\n");
    auto izquierda = [&](QString t) { AgregaTextoTicket(AlineaIzquierda(t) + lf); };
    izquierda(QStringLiteral("REPORTE DE VENTAS DIARIAS."));
    AgregaTextoTicket((tickets ? QStringLiteral("TICKETS.") : QStringLiteral("FACTURAS.")) + lf);
    izquierda(FechaHoraReporte(impreso));
    izquierda(QStringLiteral("Ventas del dia: ") + shell::FormatoFecha(dia, QStringLiteral("dd/mm/yyyy")));
    AgregaTextoTicket(QStringLiteral("No.    Importe") + lf);
    AgregaTextoTicket(QString(23, QLatin1Char('-')) + lf);

    qint64 totalCentavos = 0;
    for (size_t i = 0; i < filas.size();) {
        const size_t fin = FinDocumento(filas, i);
        const db::Rows doc(filas.begin() + qsizetype(i), filas.begin() + qsizetype(fin));
        i = fin;
        // The printouts' shared money: the lines add up, less the general discount, to the total.
        const ImportesDocumento m = ImportesDeFilas(doc, QStringLiteral("Importe"));
        const db::Row& ultima = doc.back();
        const QString documento =
            folio(ultima.text(QStringLiteral("TipoDocto")), std::llabs(ultima.integer(QStringLiteral("Numero"))));
        const bool valida = ultima.integer(QStringLiteral("Status")) == 1;
        for (size_t k = 0; k < doc.size(); ++k) {
            const db::Row& f = doc[k];
            const double d = f.real(QStringLiteral("Descuento"));
            const QString cantidad = NumeroPlano(f.real(QStringLiteral("Cantidad")));
            QString base = monto(m.bruto[k] / 100.0, "###,##0.00");
            AgregaTextoTicket((valida ? QStringLiteral("(") + cantidad + QStringLiteral(")")
                                      : QStringLiteral("*") + cantidad + QStringLiteral("*")) +
                              documento + QLatin1Char(' ') + RellenaTexto(base, 10, QStringLiteral(" "), false) +
                              QLatin1Char(' ') + f.text(QStringLiteral("Cextra1")).left(17) + lf);
            if (d != 0)
                AgregaTextoTicket(QStringLiteral("-Desc. al prod. ") + NumeroPlano(d) + QStringLiteral("% = ") +
                                  monto(m.neto[k] / 100.0, "###,##0.00") + lf);
        }
        const double general = ultima.real(QStringLiteral("DescFact"));
        if (general != 0)
            AgregaTextoTicket(QStringLiteral("-Desc: ") + documento + QStringLiteral("= ") + NumeroPlano(general) +
                              QStringLiteral("% ") + monto(m.descuento / 100.0, "###,##0.00") + lf);
        AgregaTextoTicket(QStringLiteral("TOTAL Venta: ") + documento + QStringLiteral(" $") +
                          monto(m.total / 100.0, "#,###,##0.00") + lf);
        AgregaTextoTicket((valida ? QStringLiteral(" ") : QStringLiteral(" CANC.")) + lf);
        if (valida) totalCentavos += m.total;
    }
    AgregaTextoTicket(QStringLiteral("Total VENTAS = $") + monto(double(totalCentavos) / 100, "#,###,##0.00") +
                      QStringLiteral("\n\n"));
    AgregaTextoTicket(QString(6, QLatin1Char('\n')));
}

bool ReporteVentasDiaTicket(bool tickets, const QDate& dia, ui::Prompts& prompts) {
    db::Error e;
    db::Database* bd = shell::BDSucursal(&e);
    if (!bd) {
        prompts.message(QStringLiteral("No se pudo abrir la base de datos de la sucursal: ") + shell::TextoErrorBD(e),
                        ui::Icon::Critical);
        return false;
    }
    const shell::CriterioFechas c = shell::ArmaCriterioFechas(dia, dia, QStringLiteral("Fecha"), 1);
    const QString sql = QStringLiteral("SELECT * FROM CdetalleVentaFacRD WHERE Numero %1 0 AND %2 "
                                       "ORDER BY Numero, TipoDocto")
                            .arg(tickets ? QStringLiteral("<") : QStringLiteral(">"), c.sql);
    const auto filas = bd->select(sql, c.params, &e);
    if (!filas) {
        prompts.message(QStringLiteral("No se pudieron leer las ventas del día: ") + e.message, ui::Icon::Critical);
        return false;
    }
    DocumentoImpreso d;
    d.documento = tickets ? QStringLiteral("El reporte de ventas diarias de tickets")
                          : QStringLiteral("El reporte de ventas diarias");
    return ImprimeAvisando(prompts, d, [&](ui::Prompts& p) {
        // A printer that takes nothing now is told before the listing is laid out.
        if (!ImpresoraTicketDisponible(p)) return false;
        LimpiaTextoTicket();
        IniciaPrint();
        ArmaReporteVentasDia(*filas, tickets, dia, HoraTicket());
        return TerminaPrint(p);
    });
}

bool rptVentasTicket(ui::Prompts& prompts) {
    const QDate dia = FechaDeTexto(ObtenerParametroReporte(QStringLiteral("Fecha")));
    // A printer that failed the first listing is not tried, nor told about, a second time.
    if (G().ParTickets == 1 && !ReporteVentasDiaTicket(true, dia, prompts)) return false;
    return ReporteVentasDiaTicket(false, dia, prompts);
}

}  // namespace printing
