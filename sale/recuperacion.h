#pragma once
// Recall of a stored document into the sale screen (the Buscar button): what the person typed is
// checked here, then the document's header and its line ids are read with bound values. A
// recalled ticket or invoice is only shown; a recalled quotation can be sold as it stands.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "sale/impresion_factura.h"

#include <QList>
#include <QString>

#include <optional>

namespace venta {

enum class AccionRecuperar {
    Nada,               // the folio is not a number: nothing happens
    TicketsBloqueados,  // type T while tickets are hidden (ParTickets 0): selling is disabled
    TipoNoValido,       // a letter other than T, F, E or C (the person has been told)
    Cotizacion,         // load quotation `numero`; it can be sold
    Documento,          // load document `numero` of letter `tipo`, read-only
};

struct PeticionRecuperar {
    AccionRecuperar accion = AccionRecuperar::Nada;
    qint64 numero = 0;
    QString tipo;
};

// Folio: digits only (blanks around them allowed), at most a 32-bit number. Type: one letter, T, F,
// E or C, in either case.
PeticionRecuperar InterpretaRecuperar(const QString& folio, const QString& tipo, int parTickets);
// Asks "Teclee el Folio: " and "Teclee el Tipo: " (default "F") and interprets the answers; a bad
// letter is reported here.
PeticionRecuperar PideRecuperar(ui::Prompts& prompts, int parTickets);

struct DocumentoRecuperado {
    bool encontrado = false;  // the header exists
    db::Row encabezado;       // CVentacCliente: Venta columns and the client's Nombre
    QList<qint64> lineas;     // IdLinea of its DetalleVenta rows, in capture order
    bool vendible = false;    // a quotation: its lines may be sold
};

// leerfactura: the document `numero` of letter `tipo`. nullopt on a database error.
std::optional<DocumentoRecuperado> leerfactura(db::Database& bd, qint64 numero, const QString& tipo,
                                               db::Error* error = nullptr);

// What the sale screen says when a sell command is given on a recalled ticket or invoice.
QString TextoDocumentoSoloLectura();

}  // namespace venta

namespace venta {

// Installs the sale screen's prints as the reprint tool's actions of the main menu: the invoice
// through its template (to `destino`), the ticket at this terminal, the print-server request on the
// current branch file.
void InstalaReimpresion(const DestinoImpresion& destino = {});

}  // namespace venta
