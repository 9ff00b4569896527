#include "sale/nota_credito.h"

#include "printing/reporte.h"
#include "sale/documentos.h"
#include "sale/folios.h"
#include "sale/lineas_guardadas.h"
#include "sale/totales.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

namespace venta {

namespace {

QDate FechaDe(const QVariant& v) {
    const QString t = v.toString();
    return QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
}

// DNotaCredito rows from the screen's lines, then the NotaCredito header.
bool EscribeNota(db::Database& bd, qint64 numero, const DatosNotaCredito& d,
                 const ResultadoNota& r, db::Error* error) {
    for (qint64 id : d.lineas) {
        auto linea = bd.selectOne(QStringLiteral("SELECT ClaveProducto, Cantidad, PrecioUnit, Iva, "
                                                 "Descuento FROM DetalleVenta WHERE IdLinea = ?"),
                                  {id}, error);
        if (!linea) return false;
        if (linea->empty()) {
            if (error) {
                error->kind = db::ErrorKind::NotFound;
                error->message = QString::fromUtf8("La línea %1 de la nota ya no existe.").arg(id);
            }
            return false;
        }
        if (!shell::InsertaDetalleNotaCredito(
                bd, numero, linea->integer(QStringLiteral("ClaveProducto")),
                linea->real(QStringLiteral("Cantidad")), linea->real(QStringLiteral("PrecioUnit")),
                static_cast<int>(linea->integer(QStringLiteral("Iva"))),
                linea->real(QStringLiteral("Descuento")), error))
            return false;
    }
    const QDate fecha = d.Fecha.isValid() ? d.Fecha : QDate::currentDate();
    return shell::InsertaNotaCredito(bd, numero, shell::LeeNumero(d.Descuento).value_or(0.0), QDateTime(fecha, QTime()),
                                     d.Total, d.Empleado, d.Terminal, d.ClienteDocumento, d.IVAP, 1,
                                     r.FactRef, r.Observaciones, error);
}

}  // namespace

ResultadoNota GuardaNotaCredito(db::Database& bd, const DatosNotaCredito& datos,
                                ui::Prompts& prompts, const db::LockWait& espera) {
    ResultadoNota r;
    if (datos.ClienteVenta.isEmpty()) {
        prompts.message(QStringLiteral("No ha definido cliente."), ui::Icon::None);
        r.falla = FallaNota::SinCliente;
        return r;
    }
    if (datos.lineas.empty()) {
        prompts.message(QStringLiteral("No hay ningun producto en la lista."), ui::Icon::Critical);
        r.falla = FallaNota::SinLineas;
        return r;
    }
    const ui::Answer inventario =
        prompts.question(QStringLiteral("Desea que los productos se apliquen al inventario ?"),
                         QStringLiteral("Actualizar inventario."), true);
    if (inventario == ui::Answer::Cancel) {
        prompts.message(QStringLiteral("El registro de la nota de credito se cancelo."));
        r.falla = FallaNota::Cancelada;
        return r;
    }
    r.alInventario = inventario == ui::Answer::Yes;

    r.Observaciones = prompts.input(QStringLiteral("Teclee las observaciones de la nota de credito."),
                                    QStringLiteral("Observaciones."),
                                    QString::fromUtf8("Nota de credito x devolución."));
    if (r.Observaciones.isEmpty())
        prompts.message(QString::fromUtf8("La nota de credito se guardará sin observaciones."));

    const auto referencia =
        shell::EnteroTecleado(prompts.input(QStringLiteral("Referencia de la factura a que se aplica la nota de credito ?"),
                                     QStringLiteral("Referencia"), QStringLiteral("0")));
    if (!referencia) {
        prompts.message(QString::fromUtf8(
            "Error en el numero de referencia. El registro de la nota de credito se canceló."));
        r.falla = FallaNota::ReferenciaNoValida;
        return r;
    }
    r.FactRef = *referencia;

    sale::PorGuardar g;
    g.Clase = sale::ClaseDocumento::NotaCredito;
    g.Documentos.push_back({datos.Total, datos.lineas});
    g.EstampaLineas = false;  // the lines are copied to DNotaCredito and removed
    g.Exis = r.alInventario ? sale::MovimientoExis::Entrada : sale::MovimientoExis::Ninguno;
    g.SumarInventario = true;
    g.Solicitud = datos.Solicitud;
    g.Encabezado.Terminal = datos.Terminal;
    g.Extra = [&datos, &r](db::Database& b, const sale::Guardado& hecho, db::Error* e) {
        return EscribeNota(b, hecho.Numeros.front(), datos, r, e) &&
               QuitaLineasGuardadas(b, datos.lineas, e);
    };
    const sale::Guardado hecho = sale::GuardaDocumento(bd, g, espera);
    if (!hecho.ok) {
        prompts.message(QStringLiteral("Ocurrio un error al obtener folio para la de nota de credito, "
                                       "intentelo de nuevo."),
                        ui::Icon::Warning);
        if (!hecho.error.ok()) shell::MuestraErrorBD(hecho.error);  // a busy file says so too
        r.falla = FallaNota::NoGuardada;
        return r;
    }
    r.NumeroDocumento = hecho.NumeroDocumento();
    return r;
}

bool ImprimeNCredito(qint64 numero, const DestinoImpresion& destino, ui::Prompts& prompts,
                     QWidget* parent) {
    printing::SolicitudReporte s;
    s.formulasEmpresa = false;
    s.archivo = QStringLiteral("Factura.html");
    s.titulo = QStringLiteral("NC ") + QString::number(numero).rightJustified(4, QLatin1Char('0'));
    s.sql = QStringLiteral("SELECT * FROM CDetalleNCredito WHERE Numero = ?");
    s.valores = {numero};
    s.avisoSinDatos = QString::fromUtf8("No se encontraron datos de la nota de crédito.");
    s.destino = destino.destino;
    s.impresora = destino.impresora;
    s.archivoPdf = destino.archivoPdf;
    s.formulas = [numero](const db::Rows& filas, report::Formulas& f) {
        const db::Row& r = filas.front();
        const bool desglosa = DesglosaIVA(r.text(QStringLiteral("Cliente")));
        f.set(0, QStringLiteral("NumFactura"),
              G().PrefijoFact + QString::number(numero).rightJustified(6, QLatin1Char('0')));
        f.set(1, QStringLiteral("FechaFactura"), FechaDe(r.value(QStringLiteral("Fecha"))));
        f.set(2, QStringLiteral("NombreCliente"),
              desglosa ? r.text(QStringLiteral("NombreC")) : QStringLiteral("VENTA GLOBAL"));
        f.set(3, QStringLiteral("DirCliente"), r.text(QStringLiteral("Direccion")));
        f.set(4, QStringLiteral("ColCiudadCliente"),
              r.text(QStringLiteral("Colonia")) + QStringLiteral(",") + r.text(QStringLiteral("Ciudad")) +
                  QStringLiteral(",") + r.text(QStringLiteral("Estado")));
        f.set(5, QStringLiteral("RFCCliente"), r.text(QStringLiteral("Cliente")));
        f.set(6, QStringLiteral("DesglosaIVA"), desglosa ? 1 : 0);
    };
    s.datos = [](const db::Rows& filas, QVariantMap& datos) {
        // A note without lines still has its header row (the join keeps it): show no lines then.
        db::Rows lineas;
        for (const db::Row& r : filas)
            if (!r.isNull(QStringLiteral("ClaveProducto"))) lineas.push_back(r);
        const db::Row& r = filas.front();
        // The note's stored total is what it is worth; its lines are spread over it.
        const QVariant total = r.value(QStringLiteral("Total"));
        const QVariantMap m = DatosDocumento(lineas, r.real(QStringLiteral("DescFact")),
                                             DesglosaIVA(r.text(QStringLiteral("Cliente"))), IVAPantalla(G().PorcentajeIVA),
                                             total.isNull() ? std::nullopt : std::optional<double>(total.toDouble()));
        for (auto it = m.begin(); it != m.end(); ++it) datos.insert(it.key(), it.value());
        // The invoice template heads a note as a credit note, with the invoice it refers to; a note
        // must never read as the invoice that carries the same number.
        datos.insert(QStringLiteral("NotaCredito"), true);
        const qint64 factura = r.integer(QStringLiteral("FactRef"));
        if (factura > 0)
            datos.insert(QStringLiteral("FacturaRef"),
                         G().PrefijoFact + QString::number(factura).rightJustified(6, QLatin1Char('0')));
    };
    return printing::CorreReporte(s, prompts, parent) == printing::ResultadoReporte::Hecho;
}

}  // namespace venta
