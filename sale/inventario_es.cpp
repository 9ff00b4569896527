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
    return bd.exec(QStringLiteral("INSERT INTO EInventario (Numero, Fecha, Aplicado, Usuario, Descripcion, "
                                  "Traspaso, sucDestino, sucOrigen) VALUES (?, ?, 1, ?, ?, ?, ?, ?)"),
                   {numero, shell::FechaHoraISO(fecha), d.Usuario, d.TextoES.left(150),
                    d.SucursalTraspaso, d.SucursalTraspaso, d.SucursalActual},
                   error);
}

}  // namespace

double PrecioObservacion(const QString& observacion) {
    return shell::Val(shell::ExtraeNumero(observacion));
}

qint64 GuardatodoESInv(db::Database& bd, const DatosESInv& datos, ui::Prompts& prompts,
                       const db::LockWait& espera) {
    const QDateTime fecha = datos.Fecha.isValid() ? datos.Fecha : QDateTime::currentDateTime();
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
    g.SumarInventario = datos.SumarInventario;
    g.Extra = [&](db::Database& b, const sale::Guardado& hecho, db::Error* err) {
        return EscribeDocumento(b, hecho.Numeros.front(), datos, lineas, fecha, err) &&
               QuitaLineasGuardadas(b, datos.lineas, err);
    };
    const sale::Guardado hecho = sale::GuardaDocumento(bd, g, espera);
    if (!hecho.ok) {
        prompts.message(QString::fromUtf8("Ocurrió un error al obtener folio para la E/S de inventario, "
                                          "intentelo de nuevo."),
                        ui::Icon::Warning);
        if (!hecho.error.ok()) shell::MuestraErrorBD(hecho.error);  // a busy file says so too
        return -1;
    }
    const qint64 numero = hecho.NumeroDocumento();

    bool imprime = true;
    if (G().PreguntaCompES == 1)
        imprime = prompts.question(QStringLiteral("Desea imprimir el comprobante ?")) == ui::Answer::Yes;
    if (imprime && datos.imprimir) {
        std::vector<LineaComprobante> comprobante;
        for (const LineaES& l : lineas) comprobante.push_back(l.comprobante);
        ImprimeCompESInvTicket(numero, QDateTime::currentDateTime(), datos.TextoES, comprobante,
                               prompts);
    }
    prompts.message(QString::fromUtf8("La Entrada/Salida a inventario se realizó con éxito."));
    return numero;
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
