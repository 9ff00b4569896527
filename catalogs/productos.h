#pragma once
// The product catalogue: `Producto` (central file) seen from the current branch through the saved
// query `ProductoCE` (its stock in `Existencia`). The texts of the form and the columns they are
// stored in, the checks before a save, the save (one transaction: the product, the branch stock
// when it was unlocked, the picture path) and the delete, and the search the grid shows.
//
// The search keeps only the keys of the rows found, in order, and reads the rows a grid shows in
// pages, so a keystroke over a large catalogue reads little.

#include "platform/db/database.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace catalogos {

// The product as the form's fields show it (texts), and its lists.
struct CamposProducto {
    QString CodigodeBarras, Nombre, Descripcion, Descripcion2, Ubicacion, Unidad, Marca, Empaque,
        IVA, PrecioUnit, Precio1, Precio2, Precio3, PrecioCosto, Descuento, DescuentoCosto, Reorden,
        StockMax, Existencia, TipoSustituto, Fechap;
    int Moneda = 1;  // list position: 0 "0. Ninguna", 1 "1. Pesos", 2 "2. Dólares"
    bool Suspendido = false;
    std::optional<qint64> Categoria, TipoProducto;  // nullopt: none chosen
};

// A ProductoCE row as the form shows it; empty values take their shown defaults ("Pza", "GEN",
// "1", the branch tax percent, "1. Pesos", "NO", stock "0").
CamposProducto CamposDeFila(const db::Row& fila, int porcentajeIVA);

// The fields the checks name, in the order they are checked.
enum class CampoProducto {
    Ninguno, Existencia, PrecioUnit, Reorden, Empaque, IVA, Precio1, Precio2, Precio3,
    PrecioCosto, Descuento, DescuentoCosto, StockMax, CodigodeBarras
};
struct ValidacionProducto {
    CampoProducto campo = CampoProducto::Ninguno;
    QString mensaje;
    bool ok() const { return campo == CampoProducto::Ninguno; }
};
// Stock, unit price, reorder and tax must be typed numbers (an empty one is named as missing);
// every other numeric field is empty or a number; each is read by shell::LeeNumeroEn, which names
// the field in what it refuses: prices and cost not negative; discounts 0-100; the tax a whole
// percent, 0 (exempt) or `ivaSucursal`, the rate the branch charges on a taxed line
// (the sale screen reads the product's tax only as taxed or not, so any other figure would be
// stored without meaning); the barcode not empty.
ValidacionProducto ValidaProducto(const CamposProducto& c, int ivaSucursal);

// True for a number as shell::LeeNumero reads it ("12", "-3.5", ".5", "5,000").
bool EsNumero(const QString& texto);

// What the stock change of a save needs.
struct CambioExistencia {
    bool desbloqueada = false;  // the stock field was unlocked: Existencia := the typed number
};
struct ResultadoProducto {
    bool ok = false;
    qint64 clave = 0;  // the product's key (the new one for a new product)
    db::Error error;
    bool sinCategoria = false;  // saved without touching Categoria
    // With the stock unlocked: the stock stored when the save began (read inside it).
    double existenciaAnterior = 0;
};
// The key a new product gets: above every key of the catalogue and every key still carried by the
// sale lines, stock rows, inventory lines and credit documents of the branch file `bd` and of every
// other branch's file that can be read, so that a new product never inherits the records of a
// deleted one. Read inside the caller's write transaction.
std::optional<qint64> SiguienteClaveProducto(db::Database& bd, db::Error* error = nullptr);

// One write transaction on the branch file (its links reach Producto), after ValidaProducto with
// the branch's rate (its Parametros): a new product (clave nullopt) gets SiguienteClaveProducto read
// inside it. Nothing is written on any failure. The picture
// path, when given and not empty/"C:\", replaces the product's ImagenProducto rows. `espera`: how
// to wait while another terminal writes.
ResultadoProducto GrabaProducto(db::Database& bd, const CamposProducto& c, std::optional<qint64> clave,
                                const CambioExistencia& exis,
                                const std::optional<QString>& imagen = std::nullopt,
                                const db::LockWait& espera = {});

// Product 1 cannot be deleted.
inline constexpr char kNoSeBorra[] = "Este producto no se puede borrar.R001";
// One transaction: the product, its branch stock row, its supplier links, its pictures and its
// credit price plan (a key given again later must not inherit them).
bool BorraProducto(db::Database& bd, qint64 clave, db::Error* error = nullptr);

// The log texts of the stock lock (no separator added; numbers in shortest form).
QString TextoNumero(double v);
QString ProcesoModExistencia(double anterior, const QString& nueva, const QString& usuario);
QString ProcesoBorraProducto(const QString& existencia, const QString& usuario);
QString MensajeProducto(const QString& descripcion);

// --- search ---
const QStringList& CamposBusquedaProductos();
// The LIKE pattern of a search text: "text%" with every typed character literal; sinEspacios
// gives "%A%B%" for AB; "" for an empty text.
QString PatronBusqueda(const QString& texto, bool sinEspacios);

// The catalogue's rows: the keys found in order, the rows read in pages of the keys around the
// one asked for (kept until the next search).
class FuenteCatalogo {
public:
    explicit FuenteCatalogo(db::Database* bd = nullptr) : bd_(bd) {}
    void setDatabase(db::Database* bd) { bd_ = bd; limpia(); }
    // The file asked for at each read: the program closes and reopens its handles (another active
    // branch, an import, a compaction) while the catalogue stays open.
    void setDatabase(std::function<db::Database*()> base) { base_ = std::move(base); limpia(); }
    // campo: a field of the list (anything else: NOMBRE); patron as PatronBusqueda gives, matched
    // whatever the letter case (accented letters and Ñ included).
    bool busca(const QString& campo, const QString& patron, db::Error* error = nullptr);
    int count() const { return int(claves_.size()); }
    qint64 clave(int i) const { return claves_[size_t(i)]; }
    int indice(qint64 clave) const;  // -1 when not among the rows found
    // The row as the grid shows it (read with its page); an empty row outside.
    const db::Row& fila(int i) const;
    // The row read now (for the fields on screen); nullopt on error or when it is gone.
    std::optional<db::Row> leeFila(int i, db::Error* error = nullptr) const;
    QStringList columnas() const;

private:
    void limpia();
    db::Database* base() const { return base_ ? base_() : bd_; }
    db::Database* bd_;
    std::function<db::Database*()> base_;
    std::vector<qint64> claves_;
    mutable QHash<qint64, db::Row> pagina_;
    mutable QStringList columnas_;
};

}  // namespace catalogos
