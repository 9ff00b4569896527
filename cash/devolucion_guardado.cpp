#include "cash/devolucion_guardado.h"

#include "cash/devolucion_comprobante.h"
#include "cash/facturadia.h"
#include "sale/documentos.h"
#include "sale/folios.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QDateTime>

#include <cmath>

namespace caja {

namespace {

constexpr int MovSalida = 2;  // money out of the drawer

// Half a millionth of slack, in reals: a quantity near the reader's bound has no millionths in 64 bits.
bool Excede(double devuelto, double cantidad, double vendido) { return devuelto + cantidad - vendido > 5e-7; }

}  // namespace

TipoDevolucion TipoDevolucionDe(const QString& item) {
    return item == QString::fromUtf8("Devolución a Nota crédito") ? TipoDevolucion::NotaCredito
                                                                   : TipoDevolucion::Efectivo;
}

DevolucionGuardada GuardaDevolucion(db::Database& bd, const Devolucion& dev, TipoDevolucion tipo,
                                    const QString& causa, const db::LockWait& espera) {
    DevolucionGuardada r;
    const VentaConsultada& v = dev.venta();
    db::WriteTransaction tr(bd);
    if (!tr.begin(espera, &r.error)) {
        r.cancelado = r.error.kind == db::ErrorKind::Cancelled;
        return r;
    }

    // Read again under the write lock: the document may have been cancelled or returned from
    // another terminal since it was looked up.
    auto status = bd.scalar(QStringLiteral("SELECT Status FROM Venta WHERE Numero = ? AND Tipo = ?"),
                            {v.Numero, v.Tipo}, &r.error);
    if (!status) return r;
    if (status->isNull() || status->toInt() != 1) {
        db::fail(&r.error, db::ErrorKind::Other, QString::fromUtf8("El estatus de la venta no es válido."));
        return r;
    }
    if (v.Tipo == QLatin1String("T")) {
        const auto enFactura = TicketEnFacturaDiaActiva(bd, v.Numero, &r.error);
        if (!enFactura) return r;
        if (*enFactura) {
            db::fail(&r.error, db::ErrorKind::Other, MensajeEnFacturaDia());
            return r;
        }
    }
    // What came back of each line by now, read from the same lines the lookup showed.
    std::vector<LineaDocumento> vendidas;
    for (const LineaVendida& l : dev.lineas()) vendidas.push_back({l.ClaveProducto, l.Cantidad});
    const auto devuelto = DevueltoPorLinea(bd, v.Tipo, v.Numero, vendidas, &r.error);
    if (!devuelto) return r;
    for (const LineaDevolucion& p : dev.pendientes()) {
        const size_t i = size_t(p.Linea);
        if (i >= vendidas.size() || Excede((*devuelto)[i], p.Cantidad, vendidas[i].Cantidad)) {
            r.excede = true;
            db::fail(&r.error, db::ErrorKind::Other, QStringLiteral("Cantidad excede a la de la compra."));
            return r;
        }
    }

    // Valued against what is back and paid by now, so two returns of one document never pay the
    // same units.
    const auto pagado = CentavosDevueltos(bd, v.Tipo, v.Numero, &r.error);
    if (!pagado) return r;
    const std::vector<LineaDevolucion> lineas = dev.PendientesValoradas(*devuelto, *pagado);
    qint64 centavos = 0;
    for (const LineaDevolucion& p : lineas) centavos += p.Centavos;

    const EstadoGlobal& g = G();
    const QDateTime ahora = QDateTime::currentDateTime();
    const qint64 entrada = sale::TomaFolios(bd, sale::FolioInventario, 1, &r.error);
    if (entrada < 0) return r;
    if (!shell::InsertaEInventario(bd, entrada, ahora, QStringLiteral("Devolucion:") + causa, 0, g.ClaveUsuario, 0,
                                   g.SucursalActual, 0, MovtoDevolucion, DoctoDevolucion(v.Tipo, v.Numero),
                                   &r.error))
        return r;
    // Each return line names the sold line it came from by its position.
    for (const LineaDevolucion& p : lineas) {
        auto existe = bd.scalar(QStringLiteral("SELECT count(*) FROM Producto WHERE ClaveProducto = ?"),
                                {p.ClaveProducto}, &r.error);
        if (!existe) return r;
        if (existe->toInt() == 0) {
            db::fail(&r.error, db::ErrorKind::NotFound,
                     QString::fromUtf8("El producto %1 ya no existe en el catálogo.").arg(p.ClaveProducto));
            return r;
        }
        if (!bd.exec(QStringLiteral("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario, OrdenCap, "
                                    "Comentario) VALUES (?, ?, ?, ?, ?, '')"),
                     {entrada, p.ClaveProducto, p.Cantidad, p.PUnitario, p.Linea + 1}, &r.error))
            return r;
        if (!sale::CambiaExistencia(bd, p.ClaveProducto, p.Cantidad, true, nullptr, &r.error)) return r;
    }

    const double total = double(centavos) / 100.0;
    if (tipo == TipoDevolucion::NotaCredito) {
        const qint64 nota = sale::TomaFolios(bd, sale::FolioNotaCredito, 1, &r.error);
        if (nota < 0) return r;
        // The note carries the sold document's tax rate, so it prints the tax that was charged, and
        // its customer's key, as the counter's notes do: the printout finds the address by it.
        if (!shell::InsertaNotaCredito(bd, nota, 0, ahora, total, g.ClaveUsuario, g.TerminalActual, v.Cliente, v.IVAP,
                                       1, v.Numero, QString(), &r.error))
            return r;
        for (const LineaDevolucion& p : lineas)
            if (!shell::InsertaDetalleNotaCredito(bd, nota, p.ClaveProducto, p.Cantidad, p.PUnitario, 1, 0, &r.error))
                return r;
        if (!shell::InsertaMovCaja(bd, 0, MovSalida,
                                   QStringLiteral("Dev. NOTA CREDITO V:") + v.Tipo + QString::number(v.Numero),
                                   g.ClaveUsuario, &r.error))
            return r;
        r.NumeroNota = nota;
    } else if (!shell::InsertaMovCaja(bd, total, MovSalida, QStringLiteral("Dev. EFECTIVO V:") + QString::number(v.Numero),
                                      g.ClaveUsuario, &r.error)) {
        return r;
    }
    if (!tr.commit(&r.error)) return r;
    r.NumeroEntrada = entrada;
    r.ok = true;
    return r;
}

bool cmdGuardar(db::Database& bd, Devolucion& dev, TipoDevolucion tipo, const QString& causa,
                ui::Prompts& prompts, const db::LockWait& espera) {
    if (!dev.HayVenta() || dev.lineas().empty()) {
        prompts.message(QStringLiteral("No ha consultado productos de una venta."));
        return false;
    }
    if (dev.pendientes().empty()) {
        prompts.message(QStringLiteral("No a seleccionado productos a devolver."));
        return false;
    }
    const DevolucionGuardada r = GuardaDevolucion(bd, dev, tipo, causa, espera);
    if (!r.ok) {
        if (r.excede)
            prompts.message(QStringLiteral("Cantidad excede a la de la compra."));
        else if (r.cancelado)
            prompts.message(QString::fromUtf8("No se grabó la devolución."));
        else
            prompts.message(QString::fromUtf8("No se grabó la devolución.\n") + r.error.message, ui::Icon::Critical);
        return false;
    }
    dev.NumeroEntrada = r.NumeroEntrada;
    dev.NumeroNota = r.NumeroNota;
    // The return is stored whatever the printer does; a failed voucher is told once, with the way
    // to print it again by its number.
    ImprimeDevolucion(bd, r.NumeroEntrada, prompts, true);
    if (tipo == TipoDevolucion::NotaCredito)
        prompts.message(QString::fromUtf8("Se ha grabado su devolución. Se generó una nota de credito con el Num: ") +
                        shell::Formato(static_cast<double>(r.NumeroNota), QStringLiteral("00000")));
    else
        prompts.message(QString::fromUtf8("Se ha grabado su devolución. Se generó devolucion a EFECTIVO  "));
    const qint64 entrada = r.NumeroEntrada, nota = r.NumeroNota;
    dev.NuevaDevolucion();
    dev.NumeroEntrada = entrada;
    dev.NumeroNota = nota;
    return true;
}

}  // namespace caja
