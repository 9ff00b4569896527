#pragma once
// Inventory entry and exit documents (sale screen mode "E", and the transfer form): folio (counter
// 2), the stock of every line, the DEInventario lines, the product's cost and sale price, the
// EInventario header and the removal of the screen's pending lines in one write transaction; the
// raw voucher on the ticket printer after it.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QDateTime>
#include <QString>

#include <functional>

#include <optional>
#include <utility>
#include <vector>

namespace venta {

struct DatosESInv {
    std::vector<qint64> lineas;   // IdLinea of the screen's lines, in order
    int signo = 1;                // +1 entry, -1 exit (applied to the stock only)
    bool imprimir = true;         // the voucher may be printed
    QString TextoES;              // the document's description
    int SucursalTraspaso = 0;     // the other branch of a transfer, else 0
    int SucursalActual = 0;
    qint64 Usuario = 0;
    bool SumarInventario = true;  // false: the stock is set to the quantity instead
    QDateTime Fecha;              // invalid: now
    // A transfer between branches: the header names both branches, its kind (3 exit, 4 entry) and
    // the transfer's document ("TR <origin>-<exit number>"; "" on the exit: made from its folio).
    // The stock is always added to, the shared catalogue's prices stay as they are and no voucher
    // question is asked.
    struct DatosTraspaso {
        int origen = 0;
        int destino = 0;
        int describeMovto = 0;
        QString docto;
        // The entry of a transfer (booked from pairs): inside the save's write transaction, before
        // the stock moves, the caller's check that the transfer has not entered yet and its record
        // that it now does, given the entry's number. False stops the save; an error of kind
        // DuplicateKey from it means it had entered already: nothing is shown and the save
        // answers kYaRegistrado.
        std::function<bool(db::Database&, qint64 numero, db::Error*)> registra;
    };
    std::optional<DatosTraspaso> traspaso;
};

// A line as the voucher prints it.
struct LineaComprobante {
    double Cantidad = 0;
    QString Nombre;
    QString Descripcion;
};

// Sale price typed into a line's observation, read by the one number reader ("$1,250.50" ->
// 1250.5); 0 when the observation is not a price ("SN", "LOTE 12", a negative figure).
double PrecioObservacion(const QString& observacion);

// GuardatodoESInv: saves the document, then asks "Desea imprimir el comprobante ?" when the branch
// wants the question (PreguntaCompES 1), prints the voucher when allowed, and says "La
// Entrada/Salida a inventario se realizó con éxito.". Returns NumeroDocumento: the folio, or -1
// when nothing was written (the person has been told why).
qint64 GuardatodoESInv(db::Database& bd, const DatosESInv& datos, ui::Prompts& prompts,
                       const db::LockWait& espera);

// What the pairs' save answers when the transfer's `registra` found it booked already.
inline constexpr qint64 kYaRegistrado = -2;

// The same document booked from (ClaveProducto, Cantidad) pairs instead of screen lines (`lineas`
// is not read): the entry of a transfer at the destination. Every product must be in the
// catalogue. The transfer's `registra` keeps one transfer from entering twice.
qint64 GuardatodoESInv(db::Database& bd, const std::vector<std::pair<qint64, double>>& pares,
                       const DatosESInv& datos, ui::Prompts& prompts, const db::LockWait& espera);

// The voucher of document `numero` into the ticket buffer (cleared first), with the code set of
// the branch (CodigosPTicket).
void ConstruyeCompESInv(qint64 numero, const QDateTime& momento, const QString& textoES,
                        const std::vector<LineaComprobante>& lineas);
// ImprimeCompESInvTicket: builds the voucher and sends it by the branch's path (spooler job
// "Entrada/Salida", the ticket printer's port, or the printer object). False when not sent.
bool ImprimeCompESInvTicket(qint64 numero, const QDateTime& momento, const QString& textoES,
                            const std::vector<LineaComprobante>& lineas, ui::Prompts& prompts);

}  // namespace venta
