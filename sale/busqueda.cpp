#include "sale/busqueda.h"

#include "platform/db/database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace venta {

namespace {

const QString kColumnas = QStringLiteral(
    "Moneda,Descuento,Iva,ClaveProducto,CodigodeBarras,Nombre,Descripcion,PrecioUnit");

QString SqlModo(int modo)
{
    switch (modo) {
    case BusquedaCodigo:
        return QStringLiteral("Select %1 from ProductoCB ORDER BY CodigodeBarras").arg(kColumnas);
    case BusquedaNombre:
        return QStringLiteral("Select %1 from ProductoSE").arg(kColumnas);
    case BusquedaNombreSE:
        return QStringLiteral("Select %1,PSEF from ProductoSE").arg(kColumnas);
    case BusquedaDescripcion:
        return QStringLiteral("Select %1,Existencia as EXIS from ProductoCE").arg(kColumnas);
    default:
        return {};
    }
}

// A name's letters as the Spanish order reads them: accents and case never keep a product out
// ("a" finds ÁRBOL), and Ñ stays a letter of its own, as in every other search.
inline QString Pliega(const QString& s)
{
    return db::spanishLetters(s);
}

QString Texto(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

}  // namespace

QString CaptionModo(int modo)
{
    switch (modo) {
    case 1: return QStringLiteral("1:Código de barras");
    case 2: return QStringLiteral("2:Nombre");
    case 3: return QStringLiteral("3:Nombre sin spc");
    case 4: return QStringLiteral("4:Descripción");
    default: return {};
    }
}

int SiguienteModo(int modo)
{
    return (modo >= 1 && modo < 4) ? modo + 1 : 1;
}

int ModoAntesDeDefault(int bDefault)
{
    int m = bDefault == 0 ? 2 : bDefault;
    return m == 1 ? 4 : m - 1;
}

int IntervaloBusqueda(int base, int longitud)
{
    if (longitud == 0)
        return base;
    const int v = base - 30 * longitud;
    return v >= 1 ? v : 0;
}

bool CaracterRechazado(const QString& texto)
{
    return texto.contains(QLatin1Char('\'')) || texto.contains(QLatin1Char('|'));
}

bool CoincideBusqueda(int modo, const ProductoBusqueda& p, const QString& texto)
{
    const QString t = Pliega(texto);
    switch (modo) {
    case BusquedaCodigo: return Pliega(p.codigo).startsWith(t);
    case BusquedaNombre: return Pliega(p.nombre).startsWith(t);
    case BusquedaNombreSE: return Pliega(p.psef).startsWith(t);
    case BusquedaDescripcion: return Pliega(p.descripcion).startsWith(t);
    default: return false;
    }
}

bool FuenteProductos::abre(int modo, const QString& texto, bool recargar, db::Error* error)
{
    if (modo < 1 || modo > 4) {
        modo_ = modo;
        return true;
    }
    modo_ = modo;
    if (recargar || loaded_ != modo) {
        // Taken before the read: a change that lands while the rows are read makes the set stale.
        version_ = db_ && db_->isOpen() ? db_->tableVersion(QStringLiteral("Producto")) : std::nullopt;
        existencias_.clear();
        const bool ok = carga(SqlModo(modo), error);
        loaded_ = ok ? modo : 0;
        if (!ok)
            return false;
    }
    if (modo == BusquedaDescripcion)
        filtra(texto);
    else
        filtrado_ = false;
    pos_ = count() > 0 ? 0 : -1;
    return true;
}

bool FuenteProductos::carga(const QString& sql, db::Error* error)
{
    rows_.clear();
    claves_.clear();
    orden_.clear();
    visibles_.clear();
    filtrado_ = false;
    pos_ = -1;
    if (!db_ || !db_->isOpen()) {
        if (error)
            *error = db::Error{db::ErrorKind::Closed, 0, QStringLiteral("Base de datos cerrada.")};
        return false;
    }
    QSqlQuery q(db_->connection());
    q.setForwardOnly(true);
    // A keystroke while another terminal commits waits for the file for a moment instead of failing.
    if (!db_->execQuery(q, sql, {}, error))
        return false;
    const QSqlRecord rec = q.record();
    const int iMon = rec.indexOf(QStringLiteral("Moneda"));
    const int iDes = rec.indexOf(QStringLiteral("Descuento"));
    const int iIva = rec.indexOf(QStringLiteral("Iva"));
    const int iCla = rec.indexOf(QStringLiteral("ClaveProducto"));
    const int iCod = rec.indexOf(QStringLiteral("CodigodeBarras"));
    const int iNom = rec.indexOf(QStringLiteral("Nombre"));
    const int iDsc = rec.indexOf(QStringLiteral("Descripcion"));
    const int iPre = rec.indexOf(QStringLiteral("PrecioUnit"));
    const int iPse = rec.indexOf(QStringLiteral("PSEF"));
    const int iExi = rec.indexOf(QStringLiteral("EXIS"));
    while (q.next()) {
        ProductoBusqueda p;
        const QVariant mon = q.value(iMon);
        p.moneda = mon.isNull() ? 1 : mon.toInt();
        p.descuento = Texto(q.value(iDes));
        p.iva = q.value(iIva).toInt();
        p.clave = q.value(iCla).toLongLong();
        p.codigo = Texto(q.value(iCod));
        p.nombre = Texto(q.value(iNom));
        p.descripcion = Texto(q.value(iDsc));
        p.precio = q.value(iPre).toDouble();
        if (iPse >= 0)
            p.psef = Texto(q.value(iPse));
        if (iExi >= 0)
            p.exis = q.value(iExi);
        rows_.push_back(std::move(p));
    }
    if (q.lastError().isValid()) {
        if (error)
            *error = db::toError(q.lastError());
        rows_.clear();
        return false;
    }
    claves_.reserve(rows_.size());
    for (const ProductoBusqueda& p : rows_) {
        switch (modo_) {
        case BusquedaCodigo: claves_.push_back(Pliega(p.codigo)); break;
        case BusquedaNombre: claves_.push_back(Pliega(p.nombre)); break;
        case BusquedaNombreSE: claves_.push_back(Pliega(p.psef)); break;
        default: claves_.push_back(Pliega(p.descripcion)); break;
        }
    }
    orden_.resize(rows_.size());
    for (size_t i = 0; i < orden_.size(); ++i)
        orden_[i] = int(i);
    std::stable_sort(orden_.begin(), orden_.end(), [this](int a, int b) {
        return claves_[size_t(a)] < claves_[size_t(b)];
    });
    pos_ = rows_.empty() ? -1 : 0;
    return true;
}

std::pair<size_t, size_t> FuenteProductos::rango(const QString& texto) const
{
    const QString buscado = Pliega(texto);
    auto desde = std::lower_bound(orden_.begin(), orden_.end(), buscado,
                                  [this](int fila, const QString& t) {
                                      return claves_[size_t(fila)] < t;
                                  });
    auto hasta = std::partition_point(desde, orden_.end(), [this, &buscado](int fila) {
        return claves_[size_t(fila)].startsWith(buscado);
    });
    return {size_t(desde - orden_.begin()), size_t(hasta - orden_.begin())};
}

void FuenteProductos::filtra(const QString& texto)
{
    filtrado_ = true;
    visibles_.clear();
    if (texto.isEmpty()) {
        visibles_.resize(rows_.size());
        for (size_t i = 0; i < visibles_.size(); ++i)
            visibles_[i] = int(i);
        return;
    }
    const auto [desde, hasta] = rango(texto);
    visibles_.assign(orden_.begin() + long(desde), orden_.begin() + long(hasta));
    std::sort(visibles_.begin(), visibles_.end());  // in the order the set was read
}

bool FuenteProductos::busca(const QString& texto, const QString& textoAnterior, db::Error* error)
{
    Q_UNUSED(error);
    switch (modo_) {
    case BusquedaCodigo:
    case BusquedaNombre:
    case BusquedaNombreSE: {
        const int desde = (texto.compare(textoAnterior) >= 0) ? 0 : qMax(pos_, 0);
        // The first matching row at or after `desde`.
        const auto [a, b] = rango(texto);
        int mejor = -1;
        for (size_t i = a; i < b; ++i) {
            const int fila = orden_[i];
            if (fila >= desde && (mejor < 0 || fila < mejor))
                mejor = fila;
        }
        if (mejor >= 0)
            pos_ = mejor;  // no match leaves the product shown
        return true;
    }
    case BusquedaDescripcion:
        filtra(texto);
        pos_ = count() > 0 ? 0 : -1;
        return true;
    default:
        return true;
    }
}

bool FuenteProductos::vigente()
{
    if (loaded_ == 0 || !version_ || !db_ || !db_->isOpen())
        return false;
    const auto ahora = db_->tableVersion(QStringLiteral("Producto"));
    return ahora && *ahora == *version_;
}

QVariant FuenteProductos::existencia(int i)
{
    if (i < 0 || i >= count())
        return {};
    if (modo_ != BusquedaDescripcion)
        return at(i).exis;
    const qint64 clave = at(i).clave;
    if (const auto it = existencias_.constFind(clave); it != existencias_.constEnd())
        return *it;
    // The rows a grid shows next to this one come in the same read.
    constexpr int kVentana = 64;
    QVariantList claves;
    for (int j = i; j < count() && claves.size() < kVentana; ++j)
        if (!existencias_.contains(at(j).clave))
            claves << at(j).clave;
    QStringList marcas;
    for (qsizetype j = 0; j < claves.size(); ++j)
        marcas << QStringLiteral("?");
    for (const QVariant& c : claves)
        existencias_.insert(c.toLongLong(), 0.0);  // no stock row reads 0, as the set's query gives
    if (db_ && db_->isOpen()) {
        const auto filas = db_->select(QStringLiteral("SELECT ClaveProducto, Existencia FROM Existencia "
                                                      "WHERE ClaveProducto IN (%1)")
                                           .arg(marcas.join(QLatin1Char(','))),
                                       claves);
        if (filas) {
            for (const db::Row& f : *filas) {
                const QVariant v = f.value(QStringLiteral("Existencia"));
                existencias_.insert(f.integer(QStringLiteral("ClaveProducto")), v.isNull() ? QVariant(0.0) : v);
            }
        } else {
            for (const QVariant& c : claves)
                existencias_.remove(c.toLongLong());  // read again next time
            return at(i).exis;
        }
    }
    return existencias_.value(clave);
}

int FuenteProductos::count() const
{
    return static_cast<int>(filtrado_ ? visibles_.size() : rows_.size());
}

const ProductoBusqueda& FuenteProductos::at(int i) const
{
    const size_t fila = filtrado_ ? size_t(visibles_[size_t(i)]) : size_t(i);
    return rows_[fila];
}

bool FuenteProductos::move(int i)
{
    if (i < 0 || i >= count())
        return false;
    pos_ = i;
    return true;
}

const ProductoBusqueda* FuenteProductos::current() const
{
    if (pos_ < 0 || pos_ >= count())
        return nullptr;
    return &at(pos_);
}

std::optional<ProductoVenta> BuscaPorCodigo(db::Database& base, const QString& codigo,
                                            db::Error* error)
{
    db::Error e;
    const auto row = base.selectOne(
        QStringLiteral("SELECT ClaveProducto, CodigodeBarras, Nombre, Descripcion, PrecioUnit, "
                       "Moneda, Descuento, IVA, Precio1, Precio2, Precio3, PrecioCosto FROM Producto "
                       "WHERE CodigodeBarras = ? ORDER BY ClaveProducto LIMIT 1"),
        {codigo}, &e);
    if (error)
        *error = e;
    if (!row || row->empty())
        return std::nullopt;
    ProductoVenta v;
    v.p.clave = row->integer(QStringLiteral("ClaveProducto"));
    v.p.codigo = row->text(QStringLiteral("CodigodeBarras"));
    v.p.nombre = row->text(QStringLiteral("Nombre"));
    v.p.descripcion = row->text(QStringLiteral("Descripcion"));
    v.p.precio = row->real(QStringLiteral("PrecioUnit"));
    v.p.moneda = row->isNull(QStringLiteral("Moneda")) ? 1
                                                       : int(row->integer(QStringLiteral("Moneda")));
    v.p.descuento = row->text(QStringLiteral("Descuento"));
    v.p.iva = int(row->integer(QStringLiteral("IVA")));
    v.precio1 = row->value(QStringLiteral("Precio1"));
    v.precio2 = row->value(QStringLiteral("Precio2"));
    v.precio3 = row->value(QStringLiteral("Precio3"));
    v.precioCosto = row->real(QStringLiteral("PrecioCosto"));
    return v;
}

}  // namespace venta
