#pragma once
// Pending lines of one sale screen. Every captured product is a DetalleVenta row at once (Numero 0,
// or the quotation number), but a screen reads, changes and deletes only the rows it added itself:
// it keeps their IdLinea, so the lines other terminals are capturing never show up here.

#include "platform/db/database.h"
#include "sale/busqueda.h"
#include "sale/totales.h"

#include <QSet>
#include <QString>
#include <QVariant>

#include <vector>

namespace venta {

struct Linea {
    qint64 idLinea = 0;
    qint64 numero = 0;
    QString tipoDocto;
    qint64 clave = 0;
    double cantidad = 0;
    double precioUnit = 0;
    double descuento = 0;
    bool iva = false;
    QString terminal;
    QString observacion;
    QString descripcion2;
    // Product and stock columns of the line source.
    QString codigo, nombre, descripcion, ubicacion;
    double lDesc = 0;
    QVariant existencia;  // Null when the branch has no stock row
    // Computed by the line query (CdetalleVenta) at the branch's tax percent.
    double importe = 0;
    double pPrecioUnitD = 0;
    db::Row fila;  // the whole row of the line source (detail columns)
};

// Settings of the screen and the branch that shape a new line.
struct ParametrosLinea {
    QString tipoDocumento;      // "" or " " becomes "T"
    qint64 numero = 0;          // 0, or the quotation number in mode "C"
    QString terminal;           // NombreEquipo (cut to 15 characters)
    int listaPrecioDef = 0;     // 1-3 takes Precio1-3
    double tipoCambioDolar = 0; // TiposCambio(2)
    bool incrementoAP = false;  // repeated product adds 1 to its line
    // How the insert or the increase waits while another terminal holds the branch file.
    db::LockWait espera;
    // Inventory entry/exit: the line's unit value is the entry's unit cost, which its save writes
    // back as the product's cost; it starts at the cost the product has.
    bool entradaInventario = false;
};

// Unit price of a new line: price list, dollar conversion, product discount folded in.
double PrecioLinea(const ProductoVenta& producto, int listaPrecioDef, double tipoCambioDolar);
// "T" when the screen's type is empty or a blank.
QString TipoLinea(const QString& tipoDocumento);

class LineasVenta {
public:
    explicit LineasVenta(db::Database* base = nullptr) : db_(base) {}
    void setDatabase(db::Database* base) { db_ = base; }
    db::Database* database() const { return db_; }

    const std::vector<Linea>& lineas() const { return lineas_; }
    int count() const { return static_cast<int>(lineas_.size()); }
    int indexOfClave(qint64 clave) const;
    int indexOfId(qint64 idLinea) const;
    std::vector<LineaTotal> paraTotales() const;

    // A new empty document: forgets the lines (the rows stay in the table).
    void nuevo();
    // Re-reads this screen's rows.
    bool recarga(db::Error* error = nullptr);

    // Adds the product or, with incrementoAP and a line of that product, adds 1 to it. Returns the
    // index of the line, -1 on a database error.
    int agrega(const ProductoVenta& producto, const ParametrosLinea& par, db::Error* error = nullptr);
    // Deletes one line of this screen. A line of a recalled stored document is refused.
    bool borra(int index, db::Error* error = nullptr);
    // Deletes every line of this screen that is still pending (its Numero is `numeroPendiente`: 0,
    // or the quotation number); lines a save has numbered and lines of a recalled stored document
    // are only forgotten.
    bool borraTodas(qint64 numeroPendiente = 0, db::Error* error = nullptr);
    // Writes one column of a line (Cantidad, PrecioUnit, Descuento, Observacion, Descripcion2). A
    // line of a recalled stored document is refused: the document keeps what it stored. A
    // quantity, price or discount that takes the line's amount or the sum of the screen's lines
    // to shell::kNumeroMaximo or past it is refused with MensajeImporteMaximo() in `error`.
    bool escribe(int index, const QString& columna, const QVariant& valor, db::Error* error = nullptr);
    // Takes rows already in DetalleVenta into this screen's set (a recalled document, or the
    // pending lines the cleanup found and the operator kept).
    void adopta(const QList<qint64>& ids);
    // Takes the lines of a recalled stored document (a quotation, a ticket, an invoice): they are
    // shown and may be sold, but this screen never deletes them.
    void adoptaGuardadas(const QList<qint64>& ids);
    // The line at `index` belongs to a recalled stored document.
    bool guardada(int index) const;
    // Some line of this screen is its own, not one of a recalled stored document.
    bool hayPropias() const { return ids_.size() > guardadas_.size(); }

    // Pending rows (Numero 0) captured at this terminal, this screen's included.
    std::optional<QList<qint64>> pendientesTerminal(const QString& terminal,
                                                     db::Error* error = nullptr);
    // Deletes them in one transaction and empties this screen's set.
    bool limpiaPendientes(const QString& terminal, db::Error* error = nullptr);

private:
    db::Database* db_ = nullptr;
    QList<qint64> ids_;  // in the order they were added
    QSet<qint64> guardadas_;  // ids_ of a recalled stored document: never deleted here
    std::vector<Linea> lineas_;
};

// A quantity or percent as a grid shows it: plain digits with the decimals it has (up to six),
// never in exponent form: 1e12 shows 1000000000000, 0.25 shows 0.25.
QString TextoNumeroLinea(double valor);
// What a quantity, price or discount is refused with when it would take the line's amount or the
// document's total past the bound where cents are exact (shell::kNumeroMaximo).
QString MensajeImporteMaximo();

// First 15 characters of the computer name, as the Terminal column holds it.
QString TerminalLinea(const QString& nombreEquipo);

}  // namespace venta
