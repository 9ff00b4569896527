#include "sale/venta_credito.h"

#include "sale/documentos.h"
#include "sale/lineas_guardadas.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

namespace venta {

namespace {

struct LineaCredito {
    db::Row fila;  // DetalleVenta columns of the line
    PlanCredito plan;
};

ResultadoVC Falla(FallaVC f) {
    ResultadoVC r;
    r.falla = f;
    return r;
}

}  // namespace

bool LeePlanCredito(db::Database& central, qint64 producto, std::optional<PlanCredito>* plan,
                    db::Error* error) {
    auto fila = central.selectOne(QStringLiteral("SELECT PrecioCredito, Anticipo, ImportePago, "
                                                 "Periododepago FROM CPreciosCredito WHERE Producto = ?"),
                                  {producto}, error);
    if (!fila) return false;
    if (fila->empty()) {
        plan->reset();
        return true;
    }
    PlanCredito p;
    p.PrecioCredito = fila->real(QStringLiteral("PrecioCredito"));
    p.Anticipo = fila->real(QStringLiteral("Anticipo"));
    p.ImportePago = fila->real(QStringLiteral("ImportePago"));
    p.Periododepago = static_cast<int>(fila->integer(QStringLiteral("Periododepago")));
    *plan = p;
    return true;
}

ResultadoVC GuardaVCredito(db::Database& bd, db::Database& central, const DatosVentaCredito& datos,
                           ui::Prompts& prompts, const db::LockWait& espera) {
    if (datos.lineas.empty()) {
        prompts.message(QString::fromUtf8("No hay ningún producto en la lista."), ui::Icon::Critical);
        return Falla(FallaVC::SinLineas);
    }
    if (datos.FormaPago == 0) {
        prompts.message(QStringLiteral("No ha definido Forma de pago."));
        return Falla(FallaVC::SinFormaPago);
    }
    if (datos.AvalDocumento.isEmpty()) {
        prompts.message(QStringLiteral("No ha definido el AVAL."));
        return Falla(FallaVC::SinAval);
    }
    if (datos.ClienteVenta.isEmpty()) {
        prompts.message(QStringLiteral("No ha definido cliente."));
        return Falla(FallaVC::SinCliente);
    }

    // Every line and its plan before the folio: a product without a plan stops the sale whole
    // instead of leaving a sale with some lines unpaid for.
    std::vector<LineaCredito> lineas;
    db::Error e;
    for (qint64 id : datos.lineas) {
        auto fila = bd.selectOne(QStringLiteral("SELECT Observacion, ClaveProducto, Cantidad, PrecioUnit, "
                                                "Iva, Descuento FROM DetalleVenta WHERE IdLinea = ?"),
                                 {id}, &e);
        if (!fila || fila->empty()) {
            if (!fila) shell::MuestraErrorBD(e);
            else prompts.message(QString::fromUtf8("La línea %1 de la venta ya no existe.").arg(id),
                                 ui::Icon::Warning);
            return Falla(FallaVC::NoGuardada);
        }
        const qint64 clave = fila->integer(QStringLiteral("ClaveProducto"));
        std::optional<PlanCredito> plan;
        if (!LeePlanCredito(central, clave, &plan, &e)) {
            shell::MuestraErrorBD(e);
            return Falla(FallaVC::NoGuardada);
        }
        if (!plan) {
            prompts.message(QStringLiteral("No se encontro registro para el producto ") +
                                QString::number(clave) +
                                QString::fromUtf8(". La venta a crédito no se guardó."),
                            ui::Icon::Warning);
            return Falla(FallaVC::SinPlan);
        }
        lineas.push_back({*fila, *plan});
    }

    const QDate fecha = datos.Fecha.isValid() ? datos.Fecha : QDate::currentDate();
    ResultadoVC r;
    sale::PorGuardar g;
    g.Clase = sale::ClaseDocumento::VentaCredito;
    g.Documentos.push_back({datos.Total, {}});
    g.Exis = sale::MovimientoExis::Ninguno;
    g.EstampaLineas = false;
    g.Extra = [&](db::Database& b, const sale::Guardado& hecho, db::Error* err) {
        const qint64 numero = hecho.Numeros.front();
        for (const LineaCredito& l : lineas) {
            const db::Row& f = l.fila;
            if (!b.exec(QStringLiteral("INSERT INTO DVentaCredito (Numero, Observacion, ClaveProducto, "
                                       "Cantidad, PrecioUnit, IVA, Descuento) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                        {numero, f.value(QStringLiteral("Observacion")),
                         f.value(QStringLiteral("ClaveProducto")), f.value(QStringLiteral("Cantidad")),
                         f.value(QStringLiteral("PrecioUnit")), f.value(QStringLiteral("Iva")),
                         f.value(QStringLiteral("Descuento"))},
                        err))
                return false;
        }
        if (!b.exec(QStringLiteral("INSERT INTO VentaCredito (Numero, Fecha, Cliente, Aval, Empleado, "
                                   "Terminal, Total, Descuento, IVAP, FormaPago, Status) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)"),
                    {numero, shell::FechaISO(fecha), datos.ClienteDocumento, datos.AvalDocumento,
                     datos.Empleado, datos.Terminal, datos.Total, shell::LeeNumero(datos.Descuento).value_or(0.0),
                     datos.IVAP, static_cast<qint64>(datos.FormaPago)},
                    err))
            return false;
        r.documentos.clear();
        for (const LineaCredito& l : lineas) {
            // The plan prices one unit; the line owes it for every unit sold, on the plan's dates.
            const double cantidad = l.fila.real(QStringLiteral("Cantidad"));
            const auto porCantidad = [cantidad](double importe) { return shell::Redondea(importe * cantidad, 2); };
            const auto doctos = catalogos::GenerarDoctos(porCantidad(l.plan.PrecioCredito), porCantidad(l.plan.Anticipo),
                                                         porCantidad(l.plan.ImportePago), l.plan.Periododepago, fecha);
            if (!catalogos::InsertaDoctos(b, doctos, numero,
                                          l.fila.integer(QStringLiteral("ClaveProducto")), err))
                return false;
            r.documentos.push_back(static_cast<int>(doctos.size()));
        }
        // The lines now live in DVentaCredito: none is left pending to be sold again.
        return QuitaLineasGuardadas(b, datos.lineas, err);
    };
    const sale::Guardado hecho = sale::GuardaDocumento(bd, g, espera);
    if (!hecho.ok) {
        prompts.message(QString::fromUtf8("No se obtuvo folio para la venta a crédito; no se guardó nada. "
                                          "Intentelo de nuevo."),
                        ui::Icon::Warning);
        if (!hecho.error.ok()) shell::MuestraErrorBD(hecho.error);  // a busy file says so too
        r.documentos.clear();
        r.falla = FallaVC::NoGuardada;
        return r;
    }
    r.NumeroDocumento = hecho.NumeroDocumento();
    for (int n : r.documentos) prompts.message(catalogos::TextoDoctosGenerados(n));
    return r;
}

}  // namespace venta
