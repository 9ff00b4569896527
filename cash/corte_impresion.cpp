#include "cash/corte_impresion.h"

#include "cash/corte.h"
#include "cash/movimientos.h"
#include "printing/envio.h"
#include "printing/formato.h"
#include "printing/importes.h"
#include "printing/textoticket.h"
#include "shell/estado.h"
#include "shell/texto.h"

namespace caja {

namespace {

const QString LF = QStringLiteral("\n");

QString Monto(double v, const char* patron) { return shell::Formato(v, QString::fromLatin1(patron)); }
QString Monto(qint64 centavos, const char* patron) { return Monto(double(centavos) / 100.0, patron); }

// An amount with blanks in front up to `largo` characters; a longer one is not cut.
QString Relleno(const QString& texto, int largo) {
    QString t = texto;
    return RellenaTexto(t, largo, QStringLiteral(" "), false);
}

QString Impresion(const QDateTime& impreso) {
    QString t = QStringLiteral("Impresion: ") + impreso.toString(QStringLiteral("dd-MM-yyyy HH:mm:ss")) + LF;
    return AlineaIzquierda(t);
}

QString Folio(qint64 n) { return shell::Formato(double(n), QStringLiteral("00000")); }

// The ticket printer made current, its code set loaded and its initialise code appended: before each
// section after the header.
void PreparaImpresora() { IniciaPrint(); }

}  // namespace

std::optional<CorteImpreso> FigurasCorteGuardado(db::Database& bd, qint64 idCorte, db::Error* error) {
    auto fila = bd.selectOne(QStringLiteral("SELECT ImporteCorte FROM CortesCaja WHERE IdCorte = ?"), {idCorte}, error);
    if (!fila) return std::nullopt;
    if (fila->empty()) {
        db::fail(error, db::ErrorKind::NotFound, QStringLiteral("No existe el corte ") + Folio(idCorte));
        return std::nullopt;
    }
    auto c = CargaCorte(bd, idCorte, false, QDate::currentDate(), error);
    if (!c) return std::nullopt;
    CorteImpreso r;
    r.idCorte = idCorte;
    r.ventasCentavos = c->ventasCentavos;
    r.movimientosCentavos = c->movimientosCentavos;
    r.finalCentavos = shell::Centavos(fila->real(QStringLiteral("ImporteCorte")));
    r.impreso = QDateTime::currentDateTime();
    return r;
}

void EncabezadoCorte() {
    const EstadoGlobal& g = G();
    const int s = g.SucursalActual >= 0 && g.SucursalActual <= 10 ? g.SucursalActual : 0;
    AgregaTextoTicket(CentraTexto(g.NombreEmp + LF));
    AgregaTextoTicket(CentraTexto(QStringLiteral("RFC:") + g.RFCEmpresa + LF));
    AgregaTextoTicket(CentraTexto(g.DescripcionSuc[size_t(s)] + LF));
    AgregaTextoTicket(CentraTexto(shell::ReemplazaEnter(g.DireccionSuc[size_t(s)]) + LF));
    AgregaTextoTicket(CentraTexto(QStringLiteral("Tels:") + g.TelefonoSuc[size_t(s)] + LF));
    // The line that once carried a leftover report value stays blank.
    AgregaTextoTicket(QStringLiteral(" ") + LF);
    AgregaTextoTicket(QStringLiteral(" ") + LF);
    AgregaTextoTicket(QStringLiteral(" ") + LF);
}

bool ReporteVentasCorte(db::Database& bd, qint64 idCorte, bool tickets, const QDateTime& impreso, db::Error* error) {
    PreparaImpresora();
    // Invoices are F and E: the paper holds every document the cut counted. A ticket and an
    // invoice, or a paper and an electronic invoice, of one number are different documents.
    auto filas = bd.select(QStringLiteral("SELECT * FROM cDetalleVentaFacCorte WHERE TipoDocto IN (%1) AND IdCorte = ? "
                                          "ORDER BY Numero, TipoDocto")
                               .arg(tickets ? QStringLiteral("'T'") : QStringLiteral("'F','E'")),
                           {idCorte}, error);
    if (!filas) return false;
    const db::Rows& r = *filas;
    // The cut's observation heads both sections, whether or not the section has documents.
    auto observacion = bd.scalar(QStringLiteral("SELECT ObsCorte FROM CortesCaja WHERE IdCorte = ?"), {idCorte}, error);
    if (!observacion) return false;

    AgregaTextoTicket(QStringLiteral(" ") + LF);
    QString titulo = QStringLiteral("REPORTE DE VENTAS X CORTE.") + LF;
    AgregaTextoTicket(AlineaIzquierda(titulo));
    AgregaTextoTicket((tickets ? QStringLiteral("TICKETS.") : QStringLiteral("FACTURAS.")) + QStringLiteral(" IdCorte: ") +
                      Folio(idCorte) + QStringLiteral(" "));
    AgregaTextoTicket(observacion->toString());
    AgregaTextoTicket(QStringLiteral(" ") + LF);
    AgregaTextoTicket(Impresion(impreso));
    AgregaTextoTicket(QStringLiteral("Cant No.    Importe") + LF);
    AgregaTextoTicket(QString(23, u'-') + LF);

    double piezas = 0;
    qint64 totalCorte = 0, exento = 0;
    for (size_t i = 0; i < r.size();) {
        const size_t fin = printing::FinDocumento(r, i);
        const db::Rows doc(r.begin() + qsizetype(i), r.begin() + qsizetype(fin));
        i = fin;
        // The printouts' shared money: the lines add up, less the general discount, to the total.
        const printing::ImportesDocumento m = printing::ImportesDeFilas(doc, QStringLiteral("Importe"));
        const db::Row& ultima = doc.back();
        const qint64 numero = qAbs(ultima.integer(QStringLiteral("Numero")));
        // A closed cut prints as it was made: it took only active documents.
        const bool activo = idCorte > 0 || ultima.integer(QStringLiteral("Status")) == 1;
        for (size_t k = 0; k < doc.size(); ++k) {
            const db::Row& f = doc[k];
            const double cantidad = f.real(QStringLiteral("Cantidad"));
            const double d = f.real(QStringLiteral("Descuento"));
            // What was charged for the line, after its own discount and the document's. A cancelled
            // document takes nothing from the cut, its tax-exempt lines neither.
            if (f.integer(QStringLiteral("Iva")) == 0 && activo) exento += m.pagado[k];
            // Quantities keep their fraction: 2.5 pieces are 2.5, not 2.
            const QString q = NumeroPlano(cantidad);
            if (activo) {
                AgregaTextoTicket(QStringLiteral("(") + q + QStringLiteral(")"));
                piezas += cantidad;
            } else {
                AgregaTextoTicket(QStringLiteral("*") + q + QStringLiteral("*"));
            }
            AgregaTextoTicket(Folio(numero) + QStringLiteral(" ") + Relleno(Monto(m.bruto[k], "###,##0.00"), 10) +
                              QStringLiteral(" ") + f.text(QStringLiteral("Cextra1")).left(17) + LF);
            if (d != 0)
                AgregaTextoTicket(QStringLiteral("-Desc. al prod. ") + NumeroPlano(d) + QStringLiteral("% = ") +
                                  Monto(m.neto[k], "###,##0.00") + LF);
        }
        const double g = ultima.real(QStringLiteral("DescFact"));
        if (g != 0)
            AgregaTextoTicket(QStringLiteral("-Desc: ") + Folio(numero) + QStringLiteral("= ") + NumeroPlano(g) +
                              QStringLiteral("% ") + Monto(m.descuento, "###,##0.00") + LF);
        AgregaTextoTicket(QStringLiteral("TOTAL Venta: ") + Folio(numero) + QStringLiteral(" $") +
                          Monto(m.total, "#,###,##0.00") + (activo ? QStringLiteral(" ") : QStringLiteral(" CANC.")) + LF);
        if (activo) totalCorte += m.total;
    }
    AgregaTextoTicket(QStringLiteral("Total ") + NumeroPlano(piezas) + QStringLiteral(" Pzas.") + LF);
    AgregaTextoTicket(QStringLiteral("Total CORTE    = ") + Monto(totalCorte, "#,###,##0.00") + LF + LF);
    AgregaTextoTicket(QStringLiteral("Importe Exento = ") + Monto(exento, "#,###,##0.00") + LF + LF);
    AgregaTextoTicket(LF + LF);
    return true;
}

bool ReporteMovimientosCorte(db::Database& bd, qint64 idCorte, const QDateTime& impreso, db::Error* error) {
    PreparaImpresora();
    // The screen's set: the cut's active movements, signed by the screen's rule.
    auto filas = bd.select(QStringLiteral("SELECT * FROM cMovimientosCorte WHERE IdCorte = ? AND EstatusMov = 1"),
                           {idCorte}, error);
    if (!filas) return false;
    AgregaTextoTicket(QStringLiteral("-REPORTE DE MOVIMIENTOS-") + LF);
    AgregaTextoTicket(Impresion(impreso));
    AgregaTextoTicket(CentraTexto(QStringLiteral("IdCorte: ") + Folio(idCorte)) + LF + LF);
    QString titulos = QStringLiteral("IdMov Importe Usuario Descripcion");
    AgregaTextoTicket(AlineaIzquierda(titulos) + LF);
    qint64 saldo = 0;
    for (const db::Row& f : *filas) {
        const qint64 importe = CentavosConSigno(int(f.integer(QStringLiteral("TipoMov"))), f.real(QStringLiteral("ImporteMov")));
        AgregaTextoTicket(shell::Formato(double(f.integer(QStringLiteral("IdMovimiento"))), QStringLiteral("0000")) +
                          QStringLiteral(" ") + Relleno(Monto(importe, "###,##0.00"), 10) + QStringLiteral(" ") +
                          f.text(QStringLiteral("NombreUsuario")).left(10) + QStringLiteral(" ") +
                          f.text(QStringLiteral("DescripcionMov")) + LF);
        saldo += importe;
    }
    AgregaTextoTicket(QStringLiteral("Saldo Movimientos: $ ") + Monto(saldo, "###,##0.00") + LF);
    AgregaTextoTicket(LF + LF);
    return true;
}

void ResumenCorte(const CorteImpreso& c) {
    PreparaImpresora();
    AgregaTextoTicket(QStringLiteral(" ") + LF);
    AgregaTextoTicket(QStringLiteral("RESUMEN DEL CORTE.") + LF);
    AgregaTextoTicket(Impresion(c.impreso));
    AgregaTextoTicket(CentraTexto(QStringLiteral("IdCorte: ") + Folio(c.idCorte)) + LF);
    AgregaTextoTicket(AlineaDerecha(QStringLiteral("Suma de ventas= ") + Relleno(Monto(c.ventasCentavos, "#,###,##0.00"), 11)) + LF);
    // No alignment routine: on printers with alignment codes the right alignment above stays.
    AgregaTextoTicket(QStringLiteral("Saldo de movimientos= ") + Relleno(Monto(c.movimientosCentavos, "#,###,##0.00"), 11) + LF);
    AgregaTextoTicket(QStringLiteral("Saldo Final del corte= ") + Relleno(Monto(c.finalCentavos, "#,###,##0.00"), 11));
    AgregaTextoTicket(LF + LF + LF + LF + LF + LF);
}

bool ConstruyeCorte(db::Database& bd, const CorteImpreso& corte, db::Error* error) {
    LimpiaTextoTicket();
    // The header is centred with the branch's own codes, not with whatever the last job loaded.
    EstableceCodigosPTicket(G().CodigosPTicket);
    EncabezadoCorte();
    if (!ReporteVentasCorte(bd, corte.idCorte, true, corte.impreso, error)) return false;
    if (!ReporteVentasCorte(bd, corte.idCorte, false, corte.impreso, error)) return false;
    if (!ReporteMovimientosCorte(bd, corte.idCorte, corte.impreso, error)) return false;
    ResumenCorte(corte);
    return true;
}

bool ImprimeCorte(db::Database& bd, const CorteImpreso& corte, ui::Prompts& avisos) {
    db::Error e;
    if (!ConstruyeCorte(bd, corte, &e)) {
        LimpiaTextoTicket();
        avisos.message(QStringLiteral("No se pudo leer el corte para imprimirlo: ") + e.message, ui::Icon::Critical);
        return false;
    }
    // A failure is said once, naming the cut kept and how to print it again: once a cut is created
    // its window shows the next pending one, so a stored cut prints again from the list of past cuts.
    DocumentoImpreso d;
    if (corte.idCorte == 0) {
        d.documento = QStringLiteral("El corte pendiente");
    } else {
        d.documento = QStringLiteral("El corte %1").arg(corte.idCorte);
        d.grabado = QStringLiteral("quedó grabado");
        d.reimpresion = QStringLiteral("Reimprímalo desde Cortes anteriores: doble clic en el corte %1 y luego Imprimir.")
                            .arg(corte.idCorte);
    }
    const bool enviado = ImprimeAvisando(avisos, d, [](ui::Prompts& p) {
        return EnviaPorRutaTicket(TextoTicket(), p, QStringLiteral("Corte"));
    });
    LimpiaTextoTicket();
    return enviado;
}

}  // namespace caja
