// Saved queries of a new data folder: they all open, carry the columns their callers read, and
// compute what those callers rely on.

#include "schema_fixture.h"

#include <QFile>
#include <QMap>
#include <QTextStream>

namespace {

// query_columns.txt: "[central]" / "[sucursal]" sections of "Query: col, col".
QMap<QString, QMap<QString, QStringList>> readColumnLists() {
    QMap<QString, QMap<QString, QStringList>> out;
    QFile f(QStringLiteral(SCHEMA_TEST_DIR "/query_columns.txt"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return out;
    QString section;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const int colon = line.indexOf(u':');
        QStringList cols;
        for (const QString& c : line.mid(colon + 1).split(u',')) cols << c.trimmed();
        out[section][line.left(colon).trimmed()] = cols;
    }
    return out;
}

class QueriesTest : public DataFolderTest {};

TEST_F(QueriesTest, EverySavedQueryOpensAndHasItsCallersColumns) {
    const auto lists = readColumnLists();
    ASSERT_EQ(lists.size(), 2);
    auto c = central();
    auto s = branch();
    ASSERT_TRUE(c && s);
    const std::pair<const char*, db::Database*> files[] = {{"central", c.get()}, {"sucursal", s.get()}};
    for (const auto& [section, d] : files) {
        EXPECT_TRUE(d->brokenQueries().isEmpty()) << section << ": " << d->brokenQueries().join(u'\n').toStdString();
        const auto& wanted = lists[QString::fromLatin1(section)];
        QStringList saved;
        for (const auto& q : d->savedQueries()) {
            saved << q.name;
            if (q.kind != QStringLiteral("select")) continue;
            // Every select query runs on an empty folder and is listed with its callers' columns.
            db::Error e;
            EXPECT_TRUE(d->select(QStringLiteral("SELECT * FROM %1").arg(q.name), {}, &e))
                << section << " " << q.name.toStdString() << ": " << e.message.toStdString();
            EXPECT_TRUE(wanted.contains(q.name)) << section << ": no column list for " << q.name.toStdString();
        }
        for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
            EXPECT_TRUE(saved.contains(it.key())) << section << ": missing query " << it.key().toStdString();
            const QStringList have = columnsOf(*d, it.key());
            for (const QString& col : it.value())
                EXPECT_TRUE(have.contains(col, Qt::CaseInsensitive))
                    << section << " " << it.key().toStdString() << " lacks " << col.toStdString();
        }
    }
    for (const char* action : {"ValidaExistencia", "AsignaE0", "AjusteEx", "consPasaTemp", "dDetalleVenta", "DVenta"}) {
        const auto q = s->savedQuery(QString::fromLatin1(action));
        ASSERT_TRUE(q) << action;
        EXPECT_EQ(q->kind, QStringLiteral("action")) << action;
    }
}

// Documents of one number and different letters must never mix their lines.
TEST_F(QueriesTest, LineQueriesJoinHeadersByNumberAndLetter) {
    auto s = branch();
    ASSERT_TRUE(s);
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, Descripcion, PrecioUnit, IVA) VALUES (10, '10', 'A', 'ARTICULO A', 100, 16)")));
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO Cliente (RFC, Nombre, Ciudad) VALUES ('BBB010101BB1', 'CLIENTE B', 'LEON')")));
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente, Total, Descuento) VALUES (7, 'T', 'XAXX010101000', 116, 0)")));
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente, Total, Descuento) VALUES (7, 'F', 'BBB010101BB1', 180, 10)")));
    const QString linea = QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Descuento, Iva) VALUES (?, ?, 10, ?, 100, ?, 1)");
    ASSERT_TRUE(s->exec(linea, {7, QStringLiteral("T"), 1, 0}));
    ASSERT_TRUE(s->exec(linea, {7, QStringLiteral("F"), 2, 10}));
    ASSERT_TRUE(s->exec(linea, {0, QStringLiteral("T"), 5, 0}));  // pending line of some terminal

    const auto fac = s->select(QStringLiteral("SELECT * FROM CDetalleVentaFac WHERE Numero = 7 AND Tipo = 'F'"));
    ASSERT_TRUE(fac);
    ASSERT_EQ(fac->size(), 1u);
    EXPECT_EQ(fac->front().text(QStringLiteral("NombreC")), QStringLiteral("CLIENTE B"));
    EXPECT_EQ(fac->front().text(QStringLiteral("Ciudad")), QStringLiteral("LEON"));
    EXPECT_DOUBLE_EQ(fac->front().real(QStringLiteral("Importe")), 200.0);  // before the line discount
    EXPECT_EQ(fac->front().integer(QStringLiteral("DescFact")), 10);
    EXPECT_EQ(fac->front().real(QStringLiteral("CExtra3")), 2.0);
    // The ticket prints the code before the name: the description must not stand in for it.
    EXPECT_EQ(fac->front().text(QStringLiteral("CExtra1")), QStringLiteral("10"));

    // Sales reports: tickets negative, invoices positive, Importe the document total; pending lines out.
    const auto rd = s->select(QStringLiteral("SELECT Numero, Importe, TipoDocto FROM CdetalleVentaFacRD ORDER BY Numero"));
    ASSERT_TRUE(rd);
    ASSERT_EQ(rd->size(), 2u);
    EXPECT_EQ((*rd)[0].integer(QStringLiteral("Numero")), -7);
    EXPECT_DOUBLE_EQ((*rd)[0].real(QStringLiteral("Importe")), 116.0);
    EXPECT_EQ((*rd)[1].integer(QStringLiteral("Numero")), 7);
    EXPECT_DOUBLE_EQ((*rd)[1].real(QStringLiteral("Importe")), 180.0);

    // Captured lines: Importe after the line discount; the pre-tax price at the branch rate.
    const auto cap = s->selectOne(QStringLiteral("SELECT * FROM CdetalleVenta WHERE Numero = 7 AND TipoDocto = 'F'"));
    ASSERT_TRUE(cap && !cap->empty());
    EXPECT_DOUBLE_EQ(cap->real(QStringLiteral("Importe")), 180.0);
    EXPECT_DOUBLE_EQ(cap->real(QStringLiteral("PPrecioUnit")), 90.0);
    EXPECT_NEAR(cap->real(QStringLiteral("PPrecioUnitD")), 90.0 / 1.16, 1e-9);
    ASSERT_TRUE(s->exec(QStringLiteral("UPDATE Parametros SET IVA = 8")));
    EXPECT_NEAR(s->selectOne(QStringLiteral("SELECT PPrecioUnitD FROM CdetalleVenta WHERE Numero = 7 AND TipoDocto = 'F'"))
                    ->real(QStringLiteral("PPrecioUnitD")), 90.0 / 1.08, 1e-9);

    // The cut's line query takes the cut of the line's own document.
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO CortesCaja (IdCorte, ObsCorte) VALUES (1, 'TURNO 1')")));
    ASSERT_TRUE(s->exec(QStringLiteral("UPDATE Venta SET IdCorte = 1 WHERE Numero = 7 AND Tipo = 'T'")));
    const auto corte = s->select(QStringLiteral("SELECT * FROM cDetalleVentaFacCorte WHERE IdCorte = 1"));
    ASSERT_TRUE(corte);
    ASSERT_EQ(corte->size(), 1u);
    EXPECT_EQ(corte->front().text(QStringLiteral("TipoDocto")), QStringLiteral("T"));
    EXPECT_EQ(corte->front().text(QStringLiteral("ObsCorte")), QStringLiteral("TURNO 1"));
}

TEST_F(QueriesTest, CashBalanceAddsEntriesAndSubtractsExits) {
    auto s = branch();
    ASSERT_TRUE(s);
    auto saldo = [&] { return s->selectOne(QStringLiteral("SELECT Importe FROM cSaldoMovCaja"))->real(QStringLiteral("Importe")); };
    EXPECT_EQ(saldo(), 0.0);
    EXPECT_TRUE(s->selectOne(QStringLiteral("SELECT MaxId FROM cMaxIdMovcaja"))->isNull(QStringLiteral("MaxId")));
    const QString mov = QStringLiteral("INSERT INTO MovimientosCaja (IdMovimiento, ImporteMov, TipoMov, EstatusMov, IdCorte) VALUES (?, ?, ?, ?, ?)");
    ASSERT_TRUE(s->exec(mov, {1, 500.0, 1, 1, 0}));
    ASSERT_TRUE(s->exec(mov, {2, 120.0, 2, 1, 0}));
    ASSERT_TRUE(s->exec(mov, {3, 999.0, 1, 0, 0}));  // cancelled
    ASSERT_TRUE(s->exec(mov, {4, 50.0, 1, 1, 3}));   // already in a cut
    ASSERT_TRUE(s->exec(mov, {5, 7.0, 0, 1, 0}));    // undefined kind
    EXPECT_DOUBLE_EQ(saldo(), 380.0);
    EXPECT_EQ(s->selectOne(QStringLiteral("SELECT MaxId FROM cMaxIdMovcaja"))->integer(QStringLiteral("MaxId")), 5);
}

TEST_F(QueriesTest, StockChecksAndCleanUpActions) {
    auto s = branch();
    ASSERT_TRUE(s);
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO Producto (ClaveProducto, CodigodeBarras) VALUES (20, '20')")));
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (999, 3)")));  // gone product
    ASSERT_TRUE(s->runAction(QStringLiteral("ValidaExistencia")));
    ASSERT_TRUE(s->runAction(QStringLiteral("AsignaE0")));
    ASSERT_TRUE(s->runAction(QStringLiteral("AjusteEx")));
    EXPECT_EQ(count(*s, QStringLiteral("SELECT COUNT(*) FROM Existencia WHERE ClaveProducto IN (1, 20) AND Existencia = 0")), 2);
    EXPECT_EQ(count(*s, QStringLiteral("SELECT COUNT(*) FROM Existencia WHERE ClaveProducto = 999")), 0);
    // Running them again changes nothing.
    ASSERT_TRUE(s->runAction(QStringLiteral("ValidaExistencia")));
    EXPECT_EQ(count(*s, QStringLiteral("SELECT COUNT(*) FROM Existencia")), 2);

    // Parked import values: a numeric Descripcion2 becomes the stock, a positive Precio1 the price.
    ASSERT_TRUE(s->exec(QStringLiteral("UPDATE Producto SET Descripcion2 = ' 12.5 ', Precio1 = 40 WHERE ClaveProducto = 20")));
    ASSERT_TRUE(s->exec(QStringLiteral("UPDATE Producto SET Descripcion2 = 'ROJO', Precio1 = 0 WHERE ClaveProducto = 1")));
    ASSERT_TRUE(s->runAction(QStringLiteral("consPasaTemp")));
    EXPECT_DOUBLE_EQ(s->scalar(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = 20"))->toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(s->scalar(QStringLiteral("SELECT PrecioUnit FROM Producto WHERE ClaveProducto = 20"))->toDouble(), 40.0);
    EXPECT_DOUBLE_EQ(s->scalar(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = 1"))->toDouble(), 0.0);

    // The clean-up removes only abandoned capture, never saved documents.
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Total) VALUES (3, 'T', 1)")));
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto) VALUES (3, 'T', 20), (0, 'T', 20)")));
    ASSERT_TRUE(s->runAction(QStringLiteral("dDetalleVenta")));
    ASSERT_TRUE(s->runAction(QStringLiteral("DVenta")));
    EXPECT_EQ(count(*s, QStringLiteral("SELECT COUNT(*) FROM DetalleVenta")), 1);
    EXPECT_EQ(count(*s, QStringLiteral("SELECT COUNT(*) FROM Venta")), 1);
}

TEST_F(QueriesTest, CreditNoteOfAReturnShowsTheCustomerName) {
    auto s = branch();
    ASSERT_TRUE(s);
    // A return stores the customer's name where a sale-screen note stores the RFC.
    ASSERT_TRUE(s->exec(QStringLiteral("INSERT INTO NotaCredito (Numero, Cliente, Total) VALUES (1, 'JUAN PEREZ', 10), (2, 'XAXX010101000', 20)")));
    EXPECT_EQ(s->selectOne(QStringLiteral("SELECT NombreC FROM CDetalleNCredito WHERE Numero = 1"))->text(QStringLiteral("NombreC")),
              QStringLiteral("JUAN PEREZ"));
    EXPECT_EQ(s->selectOne(QStringLiteral("SELECT NombreC FROM CDetalleNCredito WHERE Numero = 2"))->text(QStringLiteral("NombreC")),
              QStringLiteral("PUBLICO EN GENERAL"));
}

}  // namespace
