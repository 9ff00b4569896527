#include "sucursal_prueba.h"

#include <QFile>
#include <QRegularExpression>
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
// The tables a save touches, as the branch schema script defines them (with their indexes), so the
// tests write the same columns, defaults and unique keys as a real branch file. The built-in script
// above stands in when the schema script is not at hand.
QString EsquemaDeSucursal() {
#ifdef QUORVEL_SCHEMA_SUCURSAL
    QFile f(QStringLiteral(QUORVEL_SCHEMA_SUCURSAL));
    if (!f.open(QIODevice::ReadOnly)) return QString::fromUtf8(Esquema);
    QString texto;
    for (const QString& linea : QString::fromUtf8(f.readAll()).split('\n')) {
        const int comentario = linea.indexOf(QStringLiteral("--"));
        texto += (comentario >= 0 ? linea.left(comentario) : linea) + '\n';
    }
    const QStringList tablas = {"Folios", "Venta", "DetalleVenta", "Existencia", "Solicitafolios",
                                "NotaCredito", "EInventario", "VentaCredito"};
    QStringList partes;
    const QRegularExpression crea(
        QStringLiteral(R"(CREATE\s+(?:TABLE\s+(\w+)\s*\(.*?\)\s*;|(?:UNIQUE\s+)?INDEX\s+\w+\s+ON\s+(\w+)[^;]*;))"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    for (auto it = crea.globalMatch(texto); it.hasNext();) {
        const auto m = it.next();
        const QString tabla = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
        if (tablas.contains(tabla, Qt::CaseInsensitive)) partes << m.captured(0);
    }
    if (partes.size() < tablas.size()) {
        qWarning("el esquema de sucursal no trae todas las tablas; se usa el de prueba");
        return QString::fromUtf8(Esquema);
    }
    // Counters as a branch history reset leaves them.
    partes << QStringLiteral(
        "INSERT INTO Folios (Numerofolio, ValorFolio) VALUES (0, 1), (1, 1), (2, 1), (3, 1), (4, 0), "
        "(5, 0), (6, 0), (7, 0), (8, 0);");
    return partes.join('\n');
#else
    return QString::fromUtf8(Esquema);
#endif
}

}  // namespace

std::unique_ptr<db::Database> CreaSucursal(const QString& ruta) {
    db::Error e;
    auto bd = db::Database::create(ruta, {}, &e);
    if (!bd) return nullptr;
    if (!bd->execScript(EsquemaDeSucursal(), &e)) {
        qWarning("esquema de prueba: %s", qPrintable(e.message));
        return nullptr;
    }
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
