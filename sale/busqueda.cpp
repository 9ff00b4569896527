#include "sale/busqueda.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

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

// Folding that matches the way the database compares "like" (letter case ignored).
inline QString Pliega(const QString& s)
{
    return s.toCaseFolded();
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

bool FuenteProductos::abre(int modo, const QString& texto, bool recargar, db::Error* error)
{
    if (modo < 1 || modo > 4) {
        modo_ = modo;
        return true;
    }
    if (!recargar && modo != BusquedaDescripcion && loaded_ == modo) {
        modo_ = modo;
        first();
        return true;
    }
    modo_ = modo;
    QString sql = SqlModo(modo);
    QVariantList params;
    if (modo == BusquedaDescripcion && !texto.isEmpty()) {
        sql += QStringLiteral(" Where Descripcion Like ? ESCAPE '\\'");
        params << db::escapeLike(texto) + QLatin1Char('%');
    }
    const bool ok = carga(sql, params, error);
    loaded_ = (ok && modo != BusquedaDescripcion) ? modo : 0;
    return ok;
}

bool FuenteProductos::carga(const QString& sql, const QVariantList& params, db::Error* error)
{
    rows_.clear();
    claves_.clear();
    pos_ = -1;
    if (!db_ || !db_->isOpen()) {
        if (error)
            *error = db::Error{db::ErrorKind::Closed, 0, QStringLiteral("Base de datos cerrada.")};
        return false;
    }
    QSqlQuery q(db_->connection());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        if (error)
            *error = db::toError(q.lastError());
        return false;
    }
    for (const QVariant& p : params)
        q.addBindValue(p);
    if (!q.exec()) {
        if (error)
            *error = db::toError(q.lastError());
        return false;
    }
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
        default: claves_.push_back(QString()); break;
        }
    }
    pos_ = rows_.empty() ? -1 : 0;
    return true;
}

int FuenteProductos::encuentra(const QString& texto, int desde) const
{
    const QString buscado = Pliega(texto);
    const int n = count();
    for (int i = desde < 0 ? 0 : desde; i < n; ++i) {
        if (claves_[static_cast<size_t>(i)].startsWith(buscado))
            return i;
    }
    return -1;
}

bool FuenteProductos::busca(const QString& texto, const QString& textoAnterior, db::Error* error)
{
    switch (modo_) {
    case BusquedaCodigo:
    case BusquedaNombre:
    case BusquedaNombreSE: {
        const int desde = (texto.compare(textoAnterior) >= 0) ? 0 : pos_;
        const int i = encuentra(texto, desde);
        if (i >= 0)
            pos_ = i;  // no match leaves the product shown
        return true;
    }
    case BusquedaDescripcion:
        return abre(BusquedaDescripcion, texto, true, error);
    default:
        return true;
    }
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
    return &rows_[static_cast<size_t>(pos_)];
}

std::optional<ProductoVenta> BuscaPorCodigo(db::Database& base, const QString& codigo,
                                            db::Error* error)
{
    db::Error e;
    const auto row = base.selectOne(
        QStringLiteral("SELECT ClaveProducto, CodigodeBarras, Nombre, Descripcion, PrecioUnit, "
                       "Moneda, Descuento, IVA, Precio1, Precio2, Precio3 FROM Producto "
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
    return v;
}

}  // namespace venta
