#include "sucursal_prueba.h"

#include <QStringList>

#include <cmath>

namespace prueba {

namespace {
const char* const Esquema = R"(
CREATE TABLE Folios (Numerofolio INTEGER PRIMARY KEY, ValorFolio INTEGER);
CREATE TABLE Venta (
  IdVenta INTEGER PRIMARY KEY, Numero INTEGER, Tipo TEXT(1), Empleado INTEGER, Sucursal INTEGER,
  Terminal INTEGER, Cliente TEXT(20), Fecha TEXT, Total REAL, Vendedor INTEGER, CondicionPago INTEGER,
  Descuento REAL, IVAP INTEGER, Pagacon REAL, FormaPago REAL, PagaObs1 TEXT(50),
  Pagacon2 REAL, FormaPago2 REAL, PagaObs2 TEXT(50), Pagacon3 REAL, FormaPago3 REAL, PagaObs3 TEXT(50),
  ObsVenta TEXT(255), Status INTEGER DEFAULT 1, IdCorte INTEGER DEFAULT 0, FE INTEGER DEFAULT 0);
CREATE UNIQUE INDEX VentaNumeroTipo ON Venta (Numero, Tipo);
CREATE TABLE DetalleVenta (
  IdLinea INTEGER PRIMARY KEY, Numero INTEGER DEFAULT 0, TipoDocto TEXT(1), ClaveProducto INTEGER,
  Cantidad REAL, PrecioUnit REAL, Descuento REAL DEFAULT 0, Iva INTEGER DEFAULT 0, Terminal TEXT(15),
  Observacion TEXT(120), Descripcion2 TEXT(44));
CREATE INDEX DetalleVentaNumero ON DetalleVenta (Numero, TipoDocto);
CREATE TABLE Existencia (ClaveProducto INTEGER PRIMARY KEY, Existencia REAL);
CREATE TABLE Solicitafolios (FolioSolicita INTEGER, valordev INTEGER, Terminal INTEGER);
CREATE TABLE NotaCredito (Numero INTEGER, Total REAL, Status INTEGER DEFAULT 1);
CREATE UNIQUE INDEX NotaCreditoNumero ON NotaCredito (Numero);
CREATE TABLE EInventario (Numero INTEGER, Descripcion TEXT(150));
CREATE UNIQUE INDEX EInventarioNumero ON EInventario (Numero);
CREATE TABLE VentaCredito (Numero INTEGER, Total REAL);
INSERT INTO Folios VALUES (0, 1), (1, 1), (2, 1), (3, 1), (4, 0), (5, 0), (6, 0), (7, 0), (8, 0);
)";
}  // namespace

std::unique_ptr<db::Database> CreaSucursal(const QString& ruta) {
    db::Error e;
    auto bd = db::Database::create(ruta, {}, &e);
    if (!bd) return nullptr;
    if (!bd->execScript(QString::fromUtf8(Esquema), &e)) return nullptr;
    for (int clave = 1; clave <= Productos; ++clave)
        if (!bd->exec(QStringLiteral("INSERT INTO Existencia VALUES (?, ?)"), {clave, ExistenciaInicial}))
            return nullptr;
    return bd;
}

qint64 AgregaLinea(db::Database& bd, qint64 clave, double cantidad, double precio,
                   const QString& letra) {
    if (!bd.exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, "
                                "Cantidad, PrecioUnit, Terminal) VALUES (0, ?, ?, ?, ?, 'PRUEBA')"),
                 {letra, clave, cantidad, precio}))
        return -1;
    return bd.lastInsertId();
}

double Existencia(db::Database& bd, qint64 clave) {
    auto v = bd.scalar(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = ?"),
                       {clave});
    return v ? v->toDouble() : std::nan("");
}

qint64 Contar(db::Database& bd, const QString& sql, const QVariantList& params) {
    auto v = bd.scalar(sql, params);
    return v ? v->toLongLong() : -1;
}

QString RevisaTickets(db::Database& bd, int lineasPorTicket, qint64* tickets) {
    QStringList fallas;
    auto ventas = bd.select(QStringLiteral("SELECT Numero, Total FROM Venta WHERE Tipo = 'T' "
                                           "ORDER BY Numero"));
    if (!ventas) return QStringLiteral("no se pudo leer Venta");
    const qint64 n = static_cast<qint64>(ventas->size());
    if (tickets) *tickets = n;
    for (qint64 i = 0; i < n; ++i) {
        const db::Row& v = (*ventas)[static_cast<size_t>(i)];
        const qint64 numero = v.integer(QStringLiteral("Numero"));
        if (numero != i + 1) {
            fallas << QStringLiteral("ticket en la posición %1 tiene el número %2").arg(i + 1).arg(numero);
            break;
        }
        auto lineas = bd.selectOne(QStringLiteral("SELECT count(*) AS n, sum(Cantidad * PrecioUnit) AS t "
                                                  "FROM DetalleVenta WHERE Numero = ? AND TipoDocto = 'T'"),
                                   {numero});
        if (!lineas) return QStringLiteral("no se pudo leer DetalleVenta");
        if (lineas->integer(QStringLiteral("n")) != lineasPorTicket)
            fallas << QStringLiteral("ticket %1 con %2 líneas").arg(numero).arg(lineas->integer(QStringLiteral("n")));
        if (std::abs(lineas->real(QStringLiteral("t")) - v.real(QStringLiteral("Total"))) > 0.005)
            fallas << QStringLiteral("ticket %1: total %2, líneas %3")
                          .arg(numero)
                          .arg(v.real(QStringLiteral("Total")))
                          .arg(lineas->real(QStringLiteral("t")));
    }
    const qint64 huerfanas = Contar(bd, QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero <> 0 "
                                                       "AND Numero NOT IN (SELECT Numero FROM Venta WHERE Tipo = 'T')"));
    if (huerfanas != 0) fallas << QStringLiteral("%1 líneas numeradas sin encabezado").arg(huerfanas);
    const qint64 folio = Contar(bd, QStringLiteral("SELECT ValorFolio FROM Folios WHERE Numerofolio = 6"));
    if (folio != n) fallas << QStringLiteral("folio 6 en %1 con %2 tickets").arg(folio).arg(n);
    for (int clave = 1; clave <= Productos; ++clave) {
        auto vendido = bd.scalar(QStringLiteral("SELECT ifnull(sum(Cantidad), 0) FROM DetalleVenta "
                                                "WHERE ClaveProducto = ? AND Numero <> 0"),
                                 {clave});
        const double esperado = ExistenciaInicial - (vendido ? vendido->toDouble() : 0);
        const double real = Existencia(bd, clave);
        if (std::abs(esperado - real) > 1e-6)
            fallas << QStringLiteral("producto %1: existencia %2, esperada %3").arg(clave).arg(real).arg(esperado);
    }
    return fallas.join(QStringLiteral("; "));
}

}  // namespace prueba
