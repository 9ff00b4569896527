#include "cash/devolucion_comprobante.h"

#include "printing/cajon.h"
#include "printing/encabezado.h"
#include "printing/envio.h"
#include "printing/textoticket.h"
#include "shell/estado.h"
#include "shell/texto.h"

namespace caja {

namespace {

const QString LF = QStringLiteral("\n");

QString RellenaIzquierda(QString texto, int largo) { return RellenaTexto(texto, largo, QStringLiteral(" "), false); }

// Branch arrays hold the numbers 0 to 10; any other number prints blank.
QString DeSucursal(const std::array<QString, 11>& valores, qint64 sucursal) {
    return sucursal >= 0 && sucursal < static_cast<qint64>(valores.size()) ? valores[size_t(sucursal)] : QString();
}

void EncabezadoDevolucion(qint64 entrada, const QDateTime& impreso) {
    const EstadoGlobal& g = G();
    AgregaTextoTicket(CentraTexto(g.NombreEmp + LF));
    AgregaTextoTicket(CentraTexto(QStringLiteral("RFC:") + g.RFCEmpresa + LF));
    AgregaTextoTicket(CentraTexto(DeSucursal(g.DescripcionSuc, g.SucursalActual) + LF));
    AgregaTextoTicket(CentraTexto(shell::ReemplazaEnter(DeSucursal(g.DireccionSuc, g.SucursalActual)) + LF));
    AgregaTextoTicket(CentraTexto(QStringLiteral("Tels:") + DeSucursal(g.TelefonoSuc, g.SucursalActual) + LF));
    AgregaTextoTicket(QStringLiteral(" F-") + QString::number(entrada) + LF);
    AgregaTextoTicket(QStringLiteral("NOTA DE CREDITO. ") + LF);
    AgregaTextoTicket(QStringLiteral(" ") + LF);
    AgregaTextoTicket(QStringLiteral("Fecha Imp  : ") + shell::FormatoFecha(impreso.date()) + QStringLiteral(" ") +
                      HoraLarga(impreso.time()) + LF);
    AgregaTextoTicket(QStringLiteral(" ") + LF);
}

}  // namespace

void ConstruyeComprobanteDevolucion(qint64 entrada, const db::Rows& filas, const QDateTime& impreso) {
    const EstadoGlobal& g = G();
    LimpiaTextoTicket();
    EstableceCodigosPTicket(g.CodigosPTicket);
    AgregaTextoTicket(CodigosActuales().CodInicio);
    EncabezadoDevolucion(entrada, impreso);
    const db::Row primera = filas.empty() ? db::Row() : filas.front();
    AgregaTextoTicket(QStringLiteral("Fecha: ") + FechaGeneral(primera.text(QStringLiteral("Fecha"))) + LF);
    AgregaTextoTicket(QStringLiteral("Concepto:") + primera.text(QStringLiteral("Descripcion")) + LF);
    AgregaTextoTicket(QStringLiteral("Atendio: ") + primera.text(QStringLiteral("NombreUsuario")) + LF);
    AgregaTextoTicket(QStringLiteral("Sucursal: ") +
                      DeSucursal(g.DescripcionC, primera.integer(QStringLiteral("sucOrigen"))) + LF);
    AgregaTextoTicket(QStringLiteral("Referencia: ") + primera.text(QStringLiteral("Docto")) + LF);
    AgregaTextoTicket(QString(21, QLatin1Char('-')) + LF);
    qint64 total = 0;
    for (const db::Row& f : filas) {
        const double precio = f.real(QStringLiteral("PUnitario"));
        total += shell::Centavos(precio * f.real(QStringLiteral("Cantidad")));
        AgregaTextoTicket(shell::Formato(static_cast<double>(f.integer(QStringLiteral("ClaveProducto"))),
                                         QStringLiteral("00000")) +
                          f.text(QStringLiteral("PDescripcion")).left(15) + LF);
        AgregaTextoTicket(AlineaDerecha(f.text(QStringLiteral("Nombre")).left(15) +
                                        RellenaIzquierda(shell::Formato(precio, QStringLiteral("##,##0.00")), 10)) +
                          LF);
    }
    AgregaTextoTicket(QStringLiteral("TOTAL: ") +
                      RellenaIzquierda(shell::Formato(total / 100.0, QStringLiteral("###,##0.00")), 10) + LF);
    AgregaTextoTicket(QStringLiteral(" ") + LF);
    AgregaTextoTicket(QStringLiteral(" ") + LF);
    if (g.EspT != 0) AgregaTextoTicket(CodigosActuales().CodCorte);
}

bool ImprimeDevolucion(db::Database& bd, qint64 entrada, ui::Prompts& prompts, bool recienGrabada) {
    db::Error e;
    auto filas = bd.select(QStringLiteral("SELECT * FROM cESInventarioDev WHERE Numero = ?"), {entrada}, &e);
    if (!filas) {
        prompts.message(e.message, ui::Icon::Critical);
        return false;
    }
    if (filas->empty()) {
        prompts.message(QStringLiteral("No se encontraron registros."));
        return false;
    }
    DocumentoImpreso d;
    if (recienGrabada) {
        d.documento = QStringLiteral("La devolución %1").arg(entrada);
        d.grabado = QStringLiteral("quedó grabada");
        d.falla = QStringLiteral("su comprobante no se imprimió");
        d.reimpresion = QStringLiteral("Reimprímalo con Buscar, folio %1.").arg(entrada);
    } else {
        d.documento = QStringLiteral("El comprobante de la devolución %1").arg(entrada);
    }
    return ImprimeAvisando(prompts, d, [&](ui::Prompts& p) {
        // Looks up the ticket printer and its port; the voucher itself starts the buffer anew.
        IniciaPrint();
        ConstruyeComprobanteDevolucion(entrada, *filas, QDateTime::currentDateTime());
        if (!TerminaPrint(p)) return false;
        // The drawer opens after the voucher, by the pulse's own raw job (the voucher may be a page).
        return G().OpenCDrawer != 1 || PulsoCajon(p);
    });
}

bool ReimprimeDevolucion(db::Database& bd, ui::Prompts& prompts) {
    const auto entrada = shell::EnteroTecleado(prompts.input(
        QStringLiteral("Teclea el folio de la devolucion a reimprimir:"), QStringLiteral("Reimpresion."),
        QStringLiteral("0")));
    if (!entrada) return false;
    return ImprimeDevolucion(bd, *entrada, prompts);
}

}  // namespace caja
