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
QString SeleccionPeriodo(bool tickets, const QDate& inicio, const QDate& fin, QVariantList* valores,
                         bool enPartes = false);
// The numbers of the period's documents, as its lines number them, in order (the values are the
// period's own): with SeleccionPeriodo(..., true) a year is read in parts (LeeEnPartes).
QString NumerosPeriodo(bool tickets, const QDate& inicio, const QDate& fin);

// Documents of the rows as the sales templates show them: "documentos" (Numero shown without
// sign, TipoDocto, Fecha, Cliente, Cancelado, Total (the stored one), HayDescuento, DescFact and
// ImporteDescuento of the general discount, and "lineas" with each line's "Importe" after its own
// discount: the lines less the discount give Total), "NumDocumentos", "TotalVentas" (the valid
// documents' totals, each counted once) and "NumCancelados". A ticket and an invoice of one number
// are two documents.
QVariantMap DatosVentas(const db::Rows& filas);

// Products sold in the period on tickets and invoices (active documents only; quotations, day
// invoices, whose goods their tickets sold, and lines not yet in a document left out): one row per
// product with ClaveProducto, Nombre, Descripcion, SumaCantidad and SumaImporte (each line's share
// of what its document took, general discount included, so the products add up to the money
// taken), Campo1 to Campo4 empty. `porImporte`: largest amount first, else most-sold first.
std::optional<db::Rows> ProductosVendidos(db::Database& bd, const QDate& inicio, const QDate& fin, bool porImporte,
                                          db::Error* error = nullptr);

// Ticket and invoice headers of the period with their seller's name ("SIN VENDEDOR" when the
// seller is not in the catalogue); day invoices are left out, their tickets count.
QString SeleccionVentasEmpleado(const QDate& inicio, const QDate& fin, QVariantList* valores);
// Sellers with their documents, cancelled ones marked and left out of the totals and the counts:
// "vendedores" (NombreUsuario, documentos, Total, NumDocumentos), "TotalVentas".
QVariantMap DatosVentasEmpleado(const db::Rows& filas);

// The lines of one document (letter and number bound in that order) with its general discount and
// stored total, for the series listing; and what its template shows of them: "lineas" (Importe
// after the line's own discount), HayDescuento, DescFact, ImporteDescuento and Total (the stored
// one, which the lines less the discount give).
QString SeleccionSeriesVenta();
QVariantMap DatosSeriesVenta(const db::Rows& filas);

// The answer to the series prompt ("T456", "e12"): the letter upper-cased (T, F, E or C) and the
// number; nullopt for anything else.
struct DocumentoSerie {
    QString letra;
    qint64 numero = 0;
};
std::optional<DocumentoSerie> LeeDocumentoSerie(const QString& respuesta);

}  // namespace printing
