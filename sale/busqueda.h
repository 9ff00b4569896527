#pragma once
// Product look-up of the sale screen: the four search modes, the record set each one shows, the
// step that moves it to the first product matching what was typed, and the exact barcode look-up
// that adds a line.
//
// Typed text is always matched literally: every mode compares prefixes inside the loaded set without
// regard to letter case (what "like 'text*'" gives, with no character of the text taken as a
// wildcard); the exact look-up binds the code.

#include "platform/db/database.h"

#include <QHash>

#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

namespace venta {

struct ProductoBusqueda {
    qint64 clave = 0;
    QString codigo;  // CodigodeBarras
    QString nombre;
    QString descripcion;
    QString psef;    // name without blanks (mode 3)
    double precio = 0;     // PrecioUnit (0 when Null)
    int moneda = 1;        // 1 when Null
    QString descuento;     // product discount as stored (read with Val)
    int iva = 0;           // tax percent; the line bears tax when not 0
    QVariant exis;         // stock of the branch (mode 4), Null when unknown
};

enum ModoBusqueda { BusquedaCodigo = 1, BusquedaNombre = 2, BusquedaNombreSE = 3,
                    BusquedaDescripcion = 4 };

// Caption of the mode label: "1:Código de barras", ...; "" for a mode outside 1-4.
QString CaptionModo(int modo);
// 1 -> 2 -> 3 -> 4 -> 1 (anything else -> 1).
int SiguienteModo(int modo);
// The mode that, advanced once, gives the default search mode (a BDefault of 0 means 2).
int ModoAntesDeDefault(int bDefault);
// Pause before a search: base - 30 per character, 0 from base/30 characters on; base when empty.
int IntervaloBusqueda(int base, int longitud);
// True when the text holds a character the code field refuses (apostrophe, vertical bar).
bool CaracterRechazado(const QString& texto);

// True when the product is one the search of the mode finds with the text (its searched column
// starts with it, letter case ignored).
bool CoincideBusqueda(int modo, const ProductoBusqueda& p, const QString& texto);

// The product grid's record set (Data2). The set of a mode is read once (F2, a new document) and
// searched in memory: each keystroke is a binary search over the folded texts of the searched
// column, so it stays fast over a large catalogue. Mode 4 shows only the products whose description
// starts with the text; the other modes show every product and move to the first match.
class FuenteProductos {
public:
    explicit FuenteProductos(db::Database* base = nullptr) : db_(base) {}
    void setDatabase(db::Database* base)
    {
        if (base != db_)
            loaded_ = 0;
        db_ = base;
    }

    int modo() const { return modo_; }
    // Opens the set of the mode (mode 4 filtered by the text). A set already read for that mode is
    // kept unless `recargar`.
    bool abre(int modo, const QString& texto = {}, bool recargar = true, db::Error* error = nullptr);
    // The set read is still what the catalogue holds: no product was added, changed or removed
    // since, by this connection or any other. (The stock is read apart, see existencia().)
    bool vigente();
    // The branch's stock of the product at `i` as the file holds it now (mode 4; Null in the other
    // modes). Read on first use for a window of rows and kept until olvidaExistencias(), so a
    // screen shows the current stock without reading the whole catalogue again.
    QVariant existencia(int i);
    void olvidaExistencias() { existencias_.clear(); }

    // One search step with the field's text. Modes 1-3: when the text is not below the previous one
    // (a character was added) the search starts at the first product, else at the current one; the
    // first product matching from there (that one included) becomes current; no match leaves it.
    // Mode 4 filters the set by the text. Returns false on a database error.
    bool busca(const QString& texto, const QString& textoAnterior, db::Error* error = nullptr);

    int count() const;
    int position() const { return pos_; }
    bool move(int i);
    bool first() { return move(0); }
    const ProductoBusqueda* current() const;
    const ProductoBusqueda& at(int i) const;

private:
    bool carga(const QString& sql, db::Error* error);
    void filtra(const QString& texto);
    // Rows whose searched text starts with `texto`, as a range of orden_.
    std::pair<size_t, size_t> rango(const QString& texto) const;

    db::Database* db_ = nullptr;
    int modo_ = 0;
    int loaded_ = 0;  // mode whose set is in rows_ (0: none)
    std::optional<db::TableVersion> version_;  // of Producto when rows_ was read
    QHash<qint64, QVariant> existencias_;      // stock read since olvidaExistencias()
    std::vector<ProductoBusqueda> rows_;
    std::vector<QString> claves_;  // folded text of the searched column, per row
    std::vector<int> orden_;       // rows by claves_
    bool filtrado_ = false;        // mode 4: only visibles_ are shown
    std::vector<int> visibles_;
    int pos_ = -1;
};

// The product whose barcode is exactly `codigo` (bound), with its price lists; nullopt when none.
// `error` tells a database error apart from "no product".
struct ProductoVenta {
    ProductoBusqueda p;
    QVariant precio1, precio2, precio3;
    double precioCosto = 0;  // PrecioCosto (0 when Null)
};
std::optional<ProductoVenta> BuscaPorCodigo(db::Database& base, const QString& codigo,
                                            db::Error* error = nullptr);

}  // namespace venta
