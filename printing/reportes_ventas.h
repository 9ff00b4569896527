#pragma once
// The sales reports of the report menu: what each one selects on the branch file (values bound)
// and the groups and totals its template shows. Nothing here writes data.

#include "platform/db/database.h"
#include "shell/rutinas_bd.h"

#include <QDate>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace printing {

// Lines of the day's documents of the given letters ("F" and "E", or "T"), from the document-line
// query; the dates go in `valores`.
QString SeleccionVentaDiaria(const QStringList& letras, const QDate& dia, QVariantList* valores);
// Today's tickets (every ticket number, the first one too).
QString SeleccionTicketsHoy(const QDate& hoy, QVariantList* valores);
// A period's invoices (positive numbers) or tickets.
QString SeleccionPeriodo(bool tickets, const QDate& inicio, const QDate& fin, QVariantList* valores);

// Documents of the rows as the sales templates show them: "documentos" (Numero shown without
// sign, TipoDocto, Fecha, Cliente, Cancelado, Total and "lineas" with each line's "Importe" =
// quantity x price less the line discount), "NumDocumentos", "TotalVentas" (the valid documents'
// totals, each counted once, in cents) and "NumCancelados". A ticket and an invoice of one number
// are two documents.
QVariantMap DatosVentas(const db::Rows& filas);

// Products sold in the period on tickets and invoices (active documents only; quotations, day
// invoices, whose goods their tickets sold, and lines not yet in a document left out): one row per product with ClaveProducto, Nombre,
// Descripcion, SumaCantidad and SumaImporte (each line's amount to the cent before adding, as the
// daily report shows it), Campo1 to Campo4 empty. `porImporte`: largest amount first, else most-sold first.
std::optional<db::Rows> ProductosVendidos(db::Database& bd, const QDate& inicio, const QDate& fin, bool porImporte,
                                          db::Error* error = nullptr);

// Ticket and invoice headers of the period with their seller's name ("SIN VENDEDOR" when the
// seller is not in the catalogue); day invoices are left out, their tickets count.
QString SeleccionVentasEmpleado(const QDate& inicio, const QDate& fin, QVariantList* valores);
// Sellers with their documents, cancelled ones marked and left out of the totals: "vendedores"
// (NombreUsuario, documentos, Total, NumDocumentos), "TotalVentas".
QVariantMap DatosVentasEmpleado(const db::Rows& filas);

// The answer to the series prompt ("T456", "e12"): the letter upper-cased (T, F, E or C) and the
// number; nullopt for anything else.
struct DocumentoSerie {
    QString letra;
    qint64 numero = 0;
};
std::optional<DocumentoSerie> LeeDocumentoSerie(const QString& respuesta);

}  // namespace printing
