#include "sale/lineas.h"

#include "shell/texto.h"

#include <cmath>

namespace venta {

namespace {

QString Marcas(int n)
{
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral("?");
    return m.join(QLatin1Char(','));
}

QVariantList Valores(const QList<qint64>& ids)
{
    QVariantList v;
    v.reserve(ids.size());
    for (qint64 id : ids)
        v << id;
    return v;
}

}  // namespace

QString TerminalLinea(const QString& nombreEquipo)
{
    return nombreEquipo.left(15);
}

QString TipoLinea(const QString& tipoDocumento)
{
    return (tipoDocumento.isEmpty() || tipoDocumento == QLatin1String(" ")) ? QStringLiteral("T")
                                                                             : tipoDocumento;
}

double PrecioLinea(const ProductoVenta& producto, int listaPrecioDef, double tipoCambioDolar)
{
    const double d = shell::Val(producto.p.descuento);
    double precio = producto.p.precio;
    switch (listaPrecioDef) {
    case 1: precio = producto.precio1.toDouble(); break;
    case 2: precio = producto.precio2.toDouble(); break;
    case 3: precio = producto.precio3.toDouble(); break;
    default: break;  // no such list: the product's own price
    }
    if (producto.p.moneda == 2)
        precio *= tipoCambioDolar;
    if (d > 0)
        return precio - precio * d / 100;
    return precio;
}

int LineasVenta::indexOfClave(qint64 clave) const
{
    for (int i = 0; i < count(); ++i)
        if (lineas_[static_cast<size_t>(i)].clave == clave)
            return i;
    return -1;
}

int LineasVenta::indexOfId(qint64 idLinea) const
{
    for (int i = 0; i < count(); ++i)
        if (lineas_[static_cast<size_t>(i)].idLinea == idLinea)
            return i;
    return -1;
}

std::vector<LineaTotal> LineasVenta::paraTotales() const
{
    std::vector<LineaTotal> t;
    t.reserve(lineas_.size());
    for (const Linea& l : lineas_)
        t.push_back({l.importe, l.cantidad, l.iva, l.pPrecioUnitD});
    return t;
}

void LineasVenta::nuevo()
{
    ids_.clear();
    guardadas_.clear();
    lineas_.clear();
}

void LineasVenta::adoptaGuardadas(const QList<qint64>& ids)
{
    adopta(ids);
    for (qint64 id : ids)
        guardadas_.insert(id);
}

bool LineasVenta::guardada(int index) const
{
    return index >= 0 && index < count()
        && guardadas_.contains(lineas_[static_cast<size_t>(index)].idLinea);
}

void LineasVenta::adopta(const QList<qint64>& ids)
{
    for (qint64 id : ids)
        if (!ids_.contains(id))
            ids_ << id;
}

bool LineasVenta::recarga(db::Error* error)
{
    lineas_.clear();
    if (ids_.isEmpty())
        return true;
    if (!db_) {
        if (error)
            *error = db::Error{db::ErrorKind::Closed, 0, QStringLiteral("Base de datos cerrada.")};
        return false;
    }
    const auto rows = db_->select(QStringLiteral("SELECT * FROM CdetalleVenta WHERE IdLinea IN (%1) "
                                                 "ORDER BY IdLinea")
                                      .arg(Marcas(int(ids_.size()))),
        Valores(ids_), error);
    if (!rows)
        return false;
    QList<qint64> vivos;
    for (const db::Row& r : *rows) {
        Linea l;
        l.idLinea = r.integer(QStringLiteral("IdLinea"));
        l.numero = r.integer(QStringLiteral("Numero"));
        l.tipoDocto = r.text(QStringLiteral("TipoDocto"));
        l.clave = r.integer(QStringLiteral("ClaveProducto"));
        l.cantidad = r.real(QStringLiteral("Cantidad"));
        l.precioUnit = r.real(QStringLiteral("PrecioUnit"));
        l.descuento = r.real(QStringLiteral("Descuento"));
        l.iva = r.real(QStringLiteral("Iva")) != 0;
        l.terminal = r.text(QStringLiteral("Terminal"));
        l.observacion = r.text(QStringLiteral("Observacion"));
        l.descripcion2 = r.text(QStringLiteral("Descripcion2"));
        l.codigo = r.text(QStringLiteral("CodigodeBarras"));
        l.nombre = r.text(QStringLiteral("Nombre"));
        l.descripcion = r.text(QStringLiteral("Descripcion"));
        l.ubicacion = r.text(QStringLiteral("Ubicacion"));
        l.lDesc = r.real(QStringLiteral("LDesc"));
        l.existencia = r.value(QStringLiteral("Existencia"));
        l.importe = r.real(QStringLiteral("Importe"));
        l.pPrecioUnitD = r.real(QStringLiteral("PPrecioUnitD"));
        l.fila = r;
        vivos << l.idLinea;
        lineas_.push_back(std::move(l));
    }
    // Rows deleted meanwhile (a cleanup) leave the set.
    ids_ = vivos;
    for (auto it = guardadas_.begin(); it != guardadas_.end();)
        it = vivos.contains(*it) ? std::next(it) : guardadas_.erase(it);
    return true;
}

int LineasVenta::agrega(const ProductoVenta& producto, const ParametrosLinea& par, db::Error* error)
{
    if (!db_)
        return -1;
    const int existente = par.incrementoAP ? indexOfClave(producto.p.clave) : -1;
    if (existente >= 0) {
        const qint64 id = lineas_[static_cast<size_t>(existente)].idLinea;
        if (!db_->execWait(QStringLiteral("UPDATE DetalleVenta SET Cantidad = Cantidad + 1 "
                                          "WHERE IdLinea = ?"),
                           {id}, par.espera, error))
            return -1;
        if (!recarga(error))
            return -1;
        return indexOfId(id);
    }
    const double precio = par.entradaInventario
                              ? producto.precioCosto
                              : PrecioLinea(producto, par.listaPrecioDef, par.tipoCambioDolar);
    if (!db_->execWait(QStringLiteral("INSERT INTO DetalleVenta (TipoDocto, Terminal, Descuento, Numero, "
                                      "ClaveProducto, Cantidad, Iva, PrecioUnit) "
                                      "VALUES (?, ?, 0, ?, ?, 1, ?, ?)"),
                       {TipoLinea(par.tipoDocumento), TerminalLinea(par.terminal), par.numero,
                        producto.p.clave, producto.p.iva != 0 ? 1 : 0, precio},
                       par.espera, error))
        return -1;
    const qint64 id = db_->lastInsertId();
    ids_ << id;
    if (!recarga(error))
        return -1;
    return indexOfId(id);
}

bool LineasVenta::borra(int index, db::Error* error)
{
    if (!db_ || index < 0 || index >= count())
        return false;
    const qint64 id = lineas_[static_cast<size_t>(index)].idLinea;
    if (guardadas_.contains(id)) {
        if (error)
            *error = db::Error{db::ErrorKind::Other, 0,
                               QStringLiteral("La línea pertenece a un documento guardado y no se "
                                              "puede borrar.")};
        return false;
    }
    if (!db_->exec(QStringLiteral("DELETE FROM DetalleVenta WHERE IdLinea = ?"), {id}, error))
        return false;
    ids_.removeAll(id);
    return recarga(error);
}

bool LineasVenta::borraTodas(qint64 numeroPendiente, db::Error* error)
{
    // A recalled document's lines are stored ones: the screen lets go of them, nothing more.
    QList<qint64> propias;
    for (qint64 id : ids_)
        if (!guardadas_.contains(id))
            propias << id;
    if (propias.isEmpty()) {
        nuevo();
        return true;
    }
    if (!db_)
        return false;
    QVariantList params = Valores(propias);
    params << numeroPendiente;
    if (!db_->exec(QStringLiteral("DELETE FROM DetalleVenta WHERE IdLinea IN (%1) AND Numero = ?")
                       .arg(Marcas(int(propias.size()))),
                   params, error))
        return false;
    nuevo();
    return true;
}

bool LineasVenta::escribe(int index, const QString& columna, const QVariant& valor,
                          db::Error* error)
{
    static const QStringList permitidas = {QStringLiteral("Cantidad"), QStringLiteral("PrecioUnit"),
                                           QStringLiteral("Descuento"),
                                           QStringLiteral("Observacion"),
                                           QStringLiteral("Descripcion2")};
    if (!db_ || index < 0 || index >= count() || !permitidas.contains(columna))
        return false;
    const qint64 id = lineas_[static_cast<size_t>(index)].idLinea;
    if (guardadas_.contains(id)) {
        if (error)
            *error = db::Error{db::ErrorKind::Other, 0,
                               QStringLiteral("La línea pertenece a un documento guardado y no se "
                                              "puede cambiar.")};
        return false;
    }
    const bool importe = columna == QLatin1String("Cantidad") || columna == QLatin1String("PrecioUnit")
                         || columna == QLatin1String("Descuento");
    if (importe) {
        const Linea& l = lineas_[static_cast<size_t>(index)];
        const double v = valor.toDouble();
        const double propia = std::abs(ImporteLinea(columna == QLatin1String("Cantidad") ? v : l.cantidad,
                                                    columna == QLatin1String("PrecioUnit") ? v : l.precioUnit,
                                                    columna == QLatin1String("Descuento") ? v : l.descuento));
        double suma = propia;
        for (int i = 0; i < count(); ++i)
            if (i != index)
                suma += std::abs(lineas_[static_cast<size_t>(i)].importe);
        if (!std::isfinite(suma) || propia >= shell::kNumeroMaximo || suma >= shell::kNumeroMaximo) {
            if (error)
                *error = db::Error{db::ErrorKind::Other, 0, MensajeImporteMaximo()};
            return false;
        }
    }
    if (!db_->exec(QStringLiteral("UPDATE DetalleVenta SET %1 = ? WHERE IdLinea = ?").arg(columna),
                   {valor, id}, error))
        return false;
    return recarga(error);
}

std::optional<QList<qint64>> LineasVenta::pendientesTerminal(const QString& terminal,
                                                              db::Error* error)
{
    if (!db_)
        return std::nullopt;
    const auto rows = db_->select(QStringLiteral("SELECT IdLinea FROM DetalleVenta "
                                                 "WHERE Numero = 0 AND Terminal = ? ORDER BY IdLinea"),
                                  {TerminalLinea(terminal)}, error);
    if (!rows)
        return std::nullopt;
    QList<qint64> ids;
    for (const db::Row& r : *rows)
        ids << r.integer(QStringLiteral("IdLinea"));
    return ids;
}

bool LineasVenta::limpiaPendientes(const QString& terminal, db::Error* error)
{
    if (!db_)
        return false;
    db::WriteTransaction t(*db_);
    if (!t.begin({}, error))
        return false;
    if (!db_->exec(QStringLiteral("DELETE FROM DetalleVenta WHERE Numero = 0 AND Terminal = ?"),
                   {TerminalLinea(terminal)}, error))
        return false;
    if (!t.commit(error))
        return false;
    nuevo();
    return true;
}

QString TextoNumeroLinea(double valor)
{
    QString t = QString::number(valor, 'f', 6);
    while (t.contains(QLatin1Char('.')) && (t.endsWith(QLatin1Char('0')) || t.endsWith(QLatin1Char('.'))))
        t.chop(1);
    return t == QLatin1String("-0") ? QStringLiteral("0") : t;
}

QString MensajeImporteMaximo()
{
    return QString::fromUtf8("El importe de la línea o el total del documento pasaría de $ 9,999,999,999,999.99: "
                             "no se aplicó el cambio.");
}

}  // namespace venta
