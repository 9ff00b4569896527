#include "sale/inventario_es.h"

#include "printing/envio.h"
#include "printing/formato.h"
#include "printing/impresoraticket.h"
#include "printing/textoticket.h"
#include "sale/documentos.h"
#include "sale/lineas_guardadas.h"
#include "shell/estado.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <cmath>

namespace venta {

namespace {

const QString LF = QStringLiteral("\n");
const QString Raya = QStringLiteral("-----------------------");

struct LineaES {
    qint64 clave = 0;
    double cantidad = 0;
    double costo = 0;
    QString observacion;
    LineaComprobante comprobante;
};

bool EscribeDocumento(db::Database& bd, qint64 numero, const DatosESInv& d,
                      const std::vector<LineaES>& lineas, const QDateTime& fecha, db::Error* error) {
    int orden = 0;
    for (const LineaES& l : lineas) {
        if (!bd.exec(QStringLiteral("INSERT INTO DEInventario (Numero, Comentario, ClaveProducto, "
                                    "Cantidad, OrdenCap, PUnitario) VALUES (?, ?, ?, ?, ?, ?)"),
                     {numero, l.observacion, l.clave, l.cantidad, ++orden, l.costo}, error))
            return false;
        // A transfer moves goods between branches of one catalogue: its prices are not the document's.
        if (d.traspaso) continue;
        const double precio = PrecioObservacion(l.observacion);
        const bool ok =
            precio == 0
                ? bd.exec(QStringLiteral("UPDATE Producto SET PrecioCosto = ? WHERE ClaveProducto = ?"),
                          {l.costo, l.clave}, error)
                : bd.exec(QStringLiteral("UPDATE Producto SET PrecioUnit = ?, PrecioCosto = ? "
                                         "WHERE ClaveProducto = ?"),
                          {precio, l.costo, l.clave}, error);
        if (!ok) return false;
    }
    if (const auto& t = d.traspaso) {
        const int otra = d.signo < 0 ? t->destino : t->origen;
        const QString docto = t->docto.isEmpty() ? QStringLiteral("TR %1-%2").arg(t->origen).arg(numero) : t->docto;
        return bd.exec(QStringLiteral("INSERT INTO EInventario (Numero, Fecha, Aplicado, Usuario, Descripcion, "
                                      "Traspaso, sucDestino, sucOrigen, DescribeMovto, Docto) "
                                      "VALUES (?, ?, 1, ?, ?, ?, ?, ?, ?, ?)"),
                       {numero, shell::FechaHoraISO(fecha), d.Usuario, d.TextoES.left(150), otra, t->destino,
                        t->origen, t->describeMovto, docto},
                       error);
    }
    return bd.exec(QStringLiteral("INSERT INTO EInventario (Numero, Fecha, Aplicado, Usuario, Descripcion, "
                                  "Traspaso, sucDestino, sucOrigen) VALUES (?, ?, 1, ?, ?, ?, ?, ?)"),
                   {numero, shell::FechaHoraISO(fecha), d.Usuario, d.TextoES.left(150),
                    d.SucursalTraspaso, d.SucursalTraspaso, d.SucursalActual},
                   error);
}

// The save after the lines are read: folio, document, stock and the caller's removal of screen
// lines in one transaction; then the voucher and the success message. NumeroDocumento or -1.
qint64 Guarda(db::Database& bd, const DatosESInv& datos, const std::vector<LineaES>& lineas,
              sale::PorGuardar g, ui::Prompts& prompts, const db::LockWait& espera,
              const bool* yaRegistrado = nullptr) {
    const QDateTime fecha = datos.Fecha.isValid() ? datos.Fecha : QDateTime::currentDateTime();
    const auto propio = g.Extra;
    // The caller's writes go first: a check of theirs must not see this document's own header.
    g.Extra = [&](db::Database& b, const sale::Guardado& hecho, db::Error* err) {
        return (!propio || propio(b, hecho, err)) &&
               EscribeDocumento(b, hecho.Numeros.front(), datos, lineas, fecha, err);
    };
    const sale::Guardado hecho = sale::GuardaDocumento(bd, g, espera);
    // Another terminal booked the same transfer first: not a failure of this save.
    if (!hecho.ok && yaRegistrado && *yaRegistrado) return kYaRegistrado;
    if (!hecho.ok) {
        prompts.message(QString::fromUtf8("Ocurrió un error al obtener folio para la E/S de inventario, "
                                          "intentelo de nuevo."),
                        ui::Icon::Warning);
        if (!hecho.error.ok()) shell::MuestraErrorBD(hecho.error);  // a busy or cancelled wait says so too
        return -1;
    }
    const qint64 numero = hecho.NumeroDocumento();

    bool imprime = true;
    if (G().PreguntaCompES == 1 && !datos.traspaso)
        imprime = prompts.question(QStringLiteral("Desea imprimir el comprobante ?")) == ui::Answer::Yes;
    if (imprime && datos.imprimir) {
        std::vector<LineaComprobante> comprobante;
        for (const LineaES& l : lineas) comprobante.push_back(l.comprobante);
        // Stored whatever the printer does: a failure is said once, naming the document.
        DocumentoImpreso d;
        d.documento = QStringLiteral("La entrada/salida de inventario %1").arg(numero);
        d.grabado = QStringLiteral("quedó grabada");
        d.falla = QStringLiteral("su comprobante no se imprimió");
        ImprimeAvisando(prompts, d, [&](ui::Prompts& p) {
            return ImprimeCompESInvTicket(numero, QDateTime::currentDateTime(), datos.TextoES, comprobante, p);
        });
    }
    prompts.message(QString::fromUtf8("La Entrada/Salida a inventario se realizó con éxito."));
    return numero;
}

}  // namespace

double PrecioObservacion(const QString& observacion) {
    QString t = observacion.trimmed();
    if (t.startsWith(QLatin1Char('$'))) t.remove(0, 1);
    const double v = shell::LeeNumero(t, false).value_or(0.0);
    return v;
}

qint64 GuardatodoESInv(db::Database& bd, const DatosESInv& datos, ui::Prompts& prompts,
                       const db::LockWait& espera) {
    std::vector<LineaES> lineas;
    db::Error e;
    for (qint64 id : datos.lineas) {
        auto f = bd.selectOne(QStringLiteral("SELECT ClaveProducto, Cantidad, PrecioUnit, Observacion, "
                                             "Nombre, Descripcion FROM CdetalleVenta WHERE IdLinea = ?"),
                              {id}, &e);
        if (!f || f->empty()) {
            if (!f) shell::MuestraErrorBD(e);
            else prompts.message(QString::fromUtf8("La línea %1 del documento ya no existe.").arg(id),
                                 ui::Icon::Warning);
            return -1;
        }
        LineaES l;
        l.clave = f->integer(QStringLiteral("ClaveProducto"));
        l.cantidad = f->real(QStringLiteral("Cantidad"));
        l.costo = f->real(QStringLiteral("PrecioUnit"));
        l.observacion = f->text(QStringLiteral("Observacion"));
        l.comprobante = {l.cantidad, f->text(QStringLiteral("Nombre")),
                         f->text(QStringLiteral("Descripcion"))};
        lineas.push_back(l);
    }

    sale::PorGuardar g;
    g.Clase = sale::ClaseDocumento::Inventario;
    g.Documentos.push_back({0, datos.lineas});
    g.EstampaLineas = false;  // the lines are copied to DEInventario and removed
    g.Exis = datos.signo < 0 ? sale::MovimientoExis::Salida : sale::MovimientoExis::Entrada;
    g.SumarInventario = datos.SumarInventario || datos.traspaso.has_value();
    g.Extra = [&](db::Database& b, const sale::Guardado&, db::Error* err) {
        return QuitaLineasGuardadas(b, datos.lineas, err);
    };
    return Guarda(bd, datos, lineas, std::move(g), prompts, espera);
}

qint64 GuardatodoESInv(db::Database& bd, const std::vector<std::pair<qint64, double>>& pares,
                       const DatosESInv& datos, ui::Prompts& prompts, const db::LockWait& espera) {
    std::vector<LineaES> lineas;
    db::Error e;
    for (const auto& [clave, cantidad] : pares) {
        auto f = bd.selectOne(QStringLiteral("SELECT PrecioCosto, Nombre, Descripcion FROM Producto WHERE ClaveProducto = ?"),
                              {clave}, &e);
        if (!f || f->empty()) {
            if (!f) shell::MuestraErrorBD(e);
            else prompts.message(QString::fromUtf8("El producto %1 no está en el catálogo de productos.").arg(clave),
                                 ui::Icon::Warning);
            return -1;
        }
        LineaES l;
        l.clave = clave;
        l.cantidad = cantidad;
        l.costo = f->real(QStringLiteral("PrecioCosto"));
        l.comprobante = {cantidad, f->text(QStringLiteral("Nombre")), f->text(QStringLiteral("Descripcion"))};
        lineas.push_back(l);
    }
    const bool sumar = datos.SumarInventario || datos.traspaso.has_value();
    const double signo = datos.signo < 0 ? -1.0 : 1.0;
    const auto registra = datos.traspaso ? datos.traspaso->registra : nullptr;
    bool ya = false;

    sale::PorGuardar g;
    g.Clase = sale::ClaseDocumento::Inventario;
    g.Documentos.push_back({0, {}});
    g.EstampaLineas = false;
    g.Exis = sale::MovimientoExis::Ninguno;  // the pairs move the stock below
    g.Extra = [&](db::Database& b, const sale::Guardado& hecho, db::Error* err) {
        // Under the save's lock: two terminals booking one transfer cannot both pass.
        if (registra && !registra(b, hecho.Numeros.front(), err)) {
            ya = err && err->kind == db::ErrorKind::DuplicateKey;
            return false;
        }
        for (const LineaES& l : lineas)
            if (!sale::CambiaExistencia(b, l.clave, signo * l.cantidad, sumar, nullptr, err)) return false;
        return true;
    };
    return Guarda(bd, datos, lineas, std::move(g), prompts, espera, &ya);
}

void ConstruyeCompESInv(qint64 numero, const QDateTime& momento, const QString& textoES,
                        const std::vector<LineaComprobante>& lineas) {
    const EstadoGlobal& g = G();
    LimpiaTextoTicket();
    EstableceCodigosPTicket(g.CodigosPTicket);
    AgregaTextoTicket(CodigosActuales().CodInicio);
    const int suc = g.SucursalActual >= 0 && g.SucursalActual <= 10 ? g.SucursalActual : 0;
    AgregaTextoTicket(CentraTexto(g.NombreEmp + LF));
    AgregaTextoTicket(CentraTexto(QStringLiteral("RFC:") + g.RFCEmpresa + LF));
    AgregaTextoTicket(CentraTexto(g.DescripcionSuc[suc] + LF));
    AgregaTextoTicket(CentraTexto(g.DireccionSuc[suc] + LF + LF));
    QString titulo = QStringLiteral("COMPROBANTE E/S DE INVENTARIO");
    AgregaTextoTicket(AlineaIzquierda(titulo) + LF);
    AgregaTextoTicket(QStringLiteral("Num: ") + QString::number(numero) + QStringLiteral(" ") +
                      momento.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) + LF);
    AgregaTextoTicket(Raya + LF);
    AgregaTextoTicket(textoES + LF);
    AgregaTextoTicket(Raya + LF);
    qint64 cuenta = 0;
    for (const LineaComprobante& l : lineas) {
        AgregaTextoTicket(QStringLiteral("(") + NumeroPlano(l.Cantidad) + QStringLiteral(")") + l.Nombre +
                          QStringLiteral(" ") + l.Descripcion + LF);
        cuenta += static_cast<qint64>(std::trunc(l.Cantidad));
    }
    AgregaTextoTicket(QStringLiteral(" ") + QString::number(cuenta) + QStringLiteral(" Productos.") + LF +
                      LF + LF);
    AgregaTextoTicket(Raya + LF);
    AgregaTextoTicket(QStringLiteral("FIRMA.") + LF + LF + LF);
    AgregaTextoTicket(LF);
}

bool ImprimeCompESInvTicket(qint64 numero, const QDateTime& momento, const QString& textoES,
                            const std::vector<LineaComprobante>& lineas, ui::Prompts& prompts) {
    const EstadoGlobal& g = G();
    // The voucher keeps the ticket printer's port in its own variables.
    QString puerto, driver;
    if (!g.Printer3.isEmpty()) {
        if (!ImpresoraTicketDisponible(prompts)) return false;
        ObtenerDatosImpresora(g.Printer3, puerto, driver);
        SeleccionaImpresora(g.Printer3);
    }
    ConstruyeCompESInv(numero, momento, textoES, lineas);
    const QString texto = TextoTicket();
    if (g.MetodoImpresion != 0) return ImprimeDirecto(QStringLiteral("Entrada/Salida"), texto, prompts);
    if (g.CodigosPTicket != 0) return ImprimeEnPuerto(texto, &puerto, true, prompts);
    return ImprimeEnPuerto(texto, nullptr, std::nullopt, prompts);
}

}  // namespace venta
