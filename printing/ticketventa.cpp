#include "printing/ticketventa.h"

#include "platform/money/money.h"
#include "printing/encabezado.h"
#include "printing/formato.h"
#include "printing/importes.h"
#include "printing/textoticket.h"
#include "shell/estado.h"
#include "shell/texto.h"


namespace {

const QString LF = QStringLiteral("\n");

QString izquierda(QString texto) { return AlineaIzquierda(texto); }

double comoNumero(QString texto) {
    texto.remove(QLatin1Char(','));
    return texto.trimmed().toDouble();
}

QString relleno(QString texto, int largo, const QString& con) {
    return RellenaTexto(texto, largo, con, false);
}

printing::ImportesDocumento importes(const DatosTicketVenta& d) {
    std::vector<printing::LineaVendida> v;
    for (const LineaTicketVenta& l : d.lineas) v.push_back({l.CExtra3, l.PrecioUnit, l.Descuento, false});
    return printing::ImportesDe(v, d.DescFact, d.Total);
}

void lineasDeProducto(const DatosTicketVenta& d, const printing::ImportesDocumento& m, double& piezas) {
    const bool compacto = G().Formatoticket == 1;
    for (size_t i = 0; i < d.lineas.size(); ++i) {
        const LineaTicketVenta& l = d.lineas[i];
        const bool generico = l.CodigodeBarras == QLatin1String("VARIOS");
        QString codigo;
        if (generico) codigo = l.CExtra4.mid(8);
        else codigo = compacto ? QStringLiteral("-") + AjustaTexto(25, l.CExtra1) : l.CExtra1;

        if (!compacto)
            AgregaTextoTicket(AlineaDerecha(codigo + QLatin1Char(' ') +
                                            (generico ? QStringLiteral("(GEN)") : l.Nombre) + LF));

        // The amount the line adds to the sum over TOTAL, as every printout of the sale shows it.
        const double importe = m.neto[i] / 100.0;
        piezas += l.CExtra3;
        QString texto;
        if (l.Descuento == 0) {
            if (!compacto)
                texto = NumeroPlano(l.CExtra3) + QStringLiteral(" x ") + FormatoMonto(l.PrecioUnit) +
                        QStringLiteral(" = ") + FormatoMonto(importe);
            else
                texto = relleno(NumeroPlano(l.CExtra3), 2, QStringLiteral("0")) + codigo +
                        relleno(FormatoMonto(importe, false), 7, QStringLiteral(" "));
        } else {
            texto = QStringLiteral("(") + NumeroPlano(l.CExtra3) + QStringLiteral(" x ") +
                    FormatoMonto(l.PrecioUnit) + QStringLiteral(") -") + NumeroPlano(l.Descuento) +
                    QStringLiteral("% = ") + FormatoMonto(importe);
        }
        AgregaTextoTicket(AlineaDerecha(texto) + LF);
    }
}

void pagos(const DatosTicketVenta& d, double total) {
    EstadoGlobal& g = G();
    double recibido = 0;
    if (g.PagosMultiples == 1) {
        for (size_t i = 0; i < d.pagos.size(); ++i) {
            const PagoTicketVenta& p = d.pagos[i];
            if (p.codigo == 0) continue;
            recibido += p.importe;
            const QString linea = p.nombre + QStringLiteral("= ") + FormatoMonto(p.importe);
            if (i == 0) AgregaTextoTicket(AplicaFuenteB(izquierda(linea)) + LF);
            else AgregaTextoTicket(izquierda(linea) + LF);
        }
        g.ImporteRecibido = NumeroPlano(recibido);
    } else {
        recibido = comoNumero(g.ImporteRecibido);
        AgregaTextoTicket(AplicaFuenteB(izquierda(QStringLiteral("PAGO CON= ") +
                                                  FormatoMonto(recibido, true, false) +
                                                  QStringLiteral(" M.N."))) +
                          LF);
    }
    // Change is owed only when what was received covers the total; a short payment shows none.
    const qint64 cambio = money::centavos(recibido) - money::centavos(total);
    if (g.PagosMultiples != 0)
        AgregaTextoTicket(izquierda(QStringLiteral("CAMBIO  = ") +
                                    FormatoMonto(cambio > 0 ? cambio / 100.0 : 0.0) +
                                    QStringLiteral(" M.N.") + LF));
}

}  // namespace

void ConstruyeTicketVenta(const DatosTicketVenta& d) {
    const EstadoGlobal& g = G();
    AgregaTextoTicket(CodigosActuales().CodInicio);
    EncabezadoTicket(d.Fecha, d.numero, d.impreso);
    AgregaTextoTicket(CentraTexto(QString(23, QLatin1Char('-'))) + LF);

    const printing::ImportesDocumento m = importes(d);
    double piezas = 0;
    lineasDeProducto(d, m, piezas);

    AgregaTextoTicket(CentraTexto(AplicaFuenteB(LF + QString(24, QLatin1Char('-')))));
    AgregaTextoTicket(izquierda(AplicaFuenteA(QStringLiteral("(") + NumeroPlano(piezas) +
                                              QStringLiteral(")PIEZAS"))));
    if (d.DescFact != 0)
        AgregaTextoTicket(izquierda(QStringLiteral("-Desc ") + NumeroPlano(d.DescFact) +
                                    QStringLiteral("%=") + FormatoMonto(m.descuento / 100.0)) +
                          LF);
    else
        AgregaTextoTicket(izquierda(QStringLiteral(" ") + LF));
    const double total = m.total / 100.0;
    AgregaTextoTicket(izquierda(AplicaFuenteA(QStringLiteral("TOTAL   =  ") + FormatoMonto(total) +
                                              QStringLiteral(" M.N.") + LF)));

    pagos(d, total);

    AgregaTextoTicket(izquierda(QStringLiteral("CLIENTE:") + d.NombreC + LF));
    AgregaTextoTicket(izquierda(QStringLiteral("ATENDIO:") + g.UsuarioActual + LF));
    AgregaTextoTicket(izquierda(shell::ReemplazaEnter(g.PieTicket) + LF));
    AgregaTextoTicket(QString(5, QLatin1Char('\n')));
    if (g.EspT != 0) AgregaTextoTicket(CodigosActuales().CodCorte);
}
