#include "sale/recuperacion.h"

#include "shell/texto.h"

namespace venta {

PeticionRecuperar InterpretaRecuperar(const QString& folio, const QString& tipo, int parTickets) {
    PeticionRecuperar p;
    const auto numero = shell::EnteroTecleado(folio);
    if (!numero) return p;
    p.numero = *numero;
    p.tipo = tipo.trimmed().toUpper();
    static const QStringList letras{QStringLiteral("T"), QStringLiteral("F"), QStringLiteral("E"),
                                    QStringLiteral("C")};
    if (!letras.contains(p.tipo)) {
        p.accion = AccionRecuperar::TipoNoValido;
    } else if (p.tipo == QLatin1String("T") && parTickets == 0) {
        p.accion = AccionRecuperar::TicketsBloqueados;
    } else if (p.tipo == QLatin1String("C")) {
        p.accion = AccionRecuperar::Cotizacion;
    } else {
        p.accion = AccionRecuperar::Documento;
    }
    return p;
}

PeticionRecuperar PideRecuperar(ui::Prompts& prompts, int parTickets) {
    const QString folio =
        prompts.input(QStringLiteral("Teclee el Folio: "), QString::fromUtf8("Búsqueda de Folio."));
    if (!shell::EnteroTecleado(folio)) return {};
    const QString tipo = prompts.input(QStringLiteral("Teclee el Tipo: "),
                                       QStringLiteral("Tipo Documento."), QStringLiteral("F"));
    PeticionRecuperar p = InterpretaRecuperar(folio, tipo, parTickets);
    if (p.accion == AccionRecuperar::TipoNoValido)
        prompts.message(QString::fromUtf8("El tipo de documento no es válido: teclee T, F, E o C."),
                        ui::Icon::Warning);
    return p;
}

std::optional<DocumentoRecuperado> leerfactura(db::Database& bd, qint64 numero, const QString& tipo,
                                               db::Error* error) {
    DocumentoRecuperado d;
    auto encabezado = bd.selectOne(
        QStringLiteral("SELECT * FROM CVentacCliente WHERE Numero = ? AND Tipo = ?"), {numero, tipo},
        error);
    if (!encabezado) return std::nullopt;
    auto lineas = bd.select(QStringLiteral("SELECT IdLinea FROM DetalleVenta WHERE Numero = ? AND "
                                           "TipoDocto = ? ORDER BY IdLinea"),
                            {numero, tipo}, error);
    if (!lineas) return std::nullopt;
    d.encontrado = !encabezado->empty();
    d.encabezado = *encabezado;
    for (const db::Row& r : *lineas) d.lineas << r.integer(QStringLiteral("IdLinea"));
    d.vendible = tipo == QLatin1String("C");
    return d;
}

QString TextoDocumentoSoloLectura() {
    return QString::fromUtf8(
        "El documento recuperado ya está guardado y no se puede vender otra vez. "
        "Presione Nuevo para capturar otro.");
}

}  // namespace venta

#include "printing/ticketventa.h"
#include "sale/documentos.h"
#include "shell/sucursal.h"
#include "shell/utilidades_menu.h"

namespace venta {

void InstalaReimpresion(const DestinoImpresion& destino) {
    shell::AccionesReimpresion a;
    a.factura = [destino](qint64 numero) {
        return ImprimeTicket(numero, numero, destino, ui::defaultPrompts());
    };
    a.ticket = [](qint64 numero) { return ImprimeTicketAvisando(numero, ui::defaultPrompts(), false); };
    a.solicitud = [](int codigo, qint64 numero) {
        db::Error e;
        if (sale::InsertaRegServImp(codigo, numero, &e)) {
            if (const QString aviso = shell::AvisoServidorImpresion(); !aviso.isEmpty())
                ui::defaultPrompts().message(aviso, ui::Icon::Warning);
            return true;
        }
        ui::defaultPrompts().message(e.message, ui::Icon::Warning);
        return false;
    };
    shell::EstableceReimpresion(std::move(a));
}

}  // namespace venta
