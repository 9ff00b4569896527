#include "fixture.h"

#include "sale/venta_credito.h"

namespace {

class VentaCredito : public Docs2Test {
protected:
    void SetUp() override {
        Docs2Test::SetUp();
        // Plans for the first two products only.
        ASSERT_TRUE(central().exec(QStringLiteral("INSERT INTO PreciosCredito VALUES (?, 1000, 100, 300, 15), "
                                                  "(?, 500, 0, 250, 30)"),
                                   {clave(0), clave(1)}));
    }
    venta::DatosVentaCredito datos(std::vector<qint64> lineas) {
        venta::DatosVentaCredito d;
        d.lineas = std::move(lineas);
        d.FormaPago = 1;
        d.AvalDocumento = QStringLiteral("AVAL800101AA1");
        d.ClienteVenta = QStringLiteral("JUAN PEREZ");
        d.ClienteDocumento = QStringLiteral("PEJJ800101AB1");
        d.Total = 1500;
        d.Empleado = 1;
        d.Terminal = 2;
        d.IVAP = 16;
        d.Fecha = QDate(2026, 12, 9);
        return d;
    }
    void nadaEscrito() {
        EXPECT_EQ(folio(5), 0);
        EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM VentaCredito")), 0);
        EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DVentaCredito")), 0);
        EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM doctoscredito")), 0);
    }
};

TEST_F(VentaCredito, SaleLinesHeaderAndDocumentsOfEveryLine) {
    // Two lines of the same product generate its documents twice.
    const qint64 a = linea(clave(0), 1, 1000, QStringLiteral("COLOR ROJO")), b = linea(clave(1), 1, 500),
                 c = linea(clave(0), 1, 1000);
    const qint64 otra = linea(clave(1), 1, 500);  // another screen's line
    const auto r = venta::GuardaVCredito(bd(), central(), datos({a, b, c}), prompts, espera);
    ASSERT_EQ(r.NumeroDocumento, 1) << prompts.messages().join('|').toStdString();
    EXPECT_EQ(quedan({a, b, c}), 0);  // sold once: nothing left pending to sell again
    EXPECT_EQ(quedan({otra}), 1);
    EXPECT_EQ(r.documentos, (std::vector<int>{4, 3, 4}));
    EXPECT_EQ(prompts.messages(), (QStringList{QStringLiteral("Se generaron 4 documentos."),
                                               QStringLiteral("Se generaron 3 documentos."),
                                               QStringLiteral("Se generaron 4 documentos.")}));
    EXPECT_EQ(folio(5), 1);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DVentaCredito WHERE Numero = 1")), 3);
    EXPECT_EQ(valor(QStringLiteral("SELECT Observacion FROM DVentaCredito WHERE Numero = 1 AND rowid = "
                                   "(SELECT min(rowid) FROM DVentaCredito)")).toString(),
              QStringLiteral("COLOR ROJO"));
    auto h = bd().selectOne(QStringLiteral("SELECT * FROM VentaCredito WHERE Numero = 1"));
    ASSERT_TRUE(h && !h->empty());
    EXPECT_EQ(h->text(QStringLiteral("Aval")), QStringLiteral("AVAL800101AA1"));
    EXPECT_EQ(h->text(QStringLiteral("Cliente")), QStringLiteral("PEJJ800101AB1"));
    EXPECT_EQ(h->real(QStringLiteral("Descuento")), 0);  // empty discount field
    EXPECT_EQ(h->real(QStringLiteral("Total")), 1500);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM doctoscredito WHERE Numeroventa = 1 AND ClaveProducto = ?"),
                     {clave(0)}),
              8);
    EXPECT_EQ(valor(QStringLiteral("SELECT FechaVencimiento FROM doctoscredito WHERE ClaveProducto = ? AND "
                                   "Numerodocto = 3"), {clave(1)}).toString(),
              QStringLiteral("2027-02-07"));
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM doctoscredito WHERE FechaPago IS NOT NULL")), 0);
    // No stock moves.
    EXPECT_EQ(existencia(clave(0)), 100);
}

TEST_F(VentaCredito, DocumentsCoverTheQuantityOfTheLine) {
    ASSERT_TRUE(central().exec(QStringLiteral("INSERT INTO PreciosCredito VALUES (?, 300, 50, 100, 15)"), {clave(2)}));
    const qint64 tres = linea(clave(2), 3, 300), media = linea(clave(2), 0.5, 300);
    ASSERT_EQ(venta::GuardaVCredito(bd(), central(), datos({tres, media}), prompts, espera).NumeroDocumento, 1);
    auto importes = [&](int inicio, int fin) {
        return valor(QStringLiteral("SELECT group_concat(Importe || '@' || FechaVencimiento, ' ') FROM (SELECT * FROM "
                                    "doctoscredito WHERE rowid BETWEEN ? AND ? ORDER BY rowid)"),
                     {inicio, fin}).toString();
    };
    // 3 units: 900 on credit, 150 down, instalments of 300 every 15 days, the last the 150 left.
    EXPECT_EQ(importes(1, 4), QStringLiteral("150.0@2026-12-09 300.0@2026-12-24 300.0@2027-01-08 150.0@2027-01-23"));
    // Half a unit: 150 on credit, 25 down, then 50, 50 and 25.
    EXPECT_EQ(importes(5, 8), QStringLiteral("25.0@2026-12-09 50.0@2026-12-24 50.0@2027-01-08 25.0@2027-01-23"));
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM doctoscredito")), 8);
}

TEST_F(VentaCredito, ChecksInTheirOrder) {
    const qint64 a = linea(clave(0), 1, 1000);
    auto d = datos({a});
    d.AvalDocumento.clear();
    d.ClienteVenta.clear();
    EXPECT_EQ(venta::GuardaVCredito(bd(), central(), d, prompts, espera).falla, venta::FallaVC::SinAval);
    EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("No ha definido el AVAL.")});

    d.FormaPago = 0;
    EXPECT_EQ(venta::GuardaVCredito(bd(), central(), d, prompts, espera).falla, venta::FallaVC::SinFormaPago);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("No ha definido Forma de pago."));

    d = datos({a});
    d.ClienteVenta.clear();
    EXPECT_EQ(venta::GuardaVCredito(bd(), central(), d, prompts, espera).falla, venta::FallaVC::SinCliente);
    EXPECT_EQ(venta::GuardaVCredito(bd(), central(), datos({}), prompts, espera).falla, venta::FallaVC::SinLineas);
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("No hay ningún producto en la lista."));
    nadaEscrito();
}

TEST_F(VentaCredito, ProductWithoutPlanStopsBeforeTheFolio) {
    const qint64 a = linea(clave(0), 1, 1000), b = linea(clave(2), 1, 80);
    const auto r = venta::GuardaVCredito(bd(), central(), datos({a, b}), prompts, espera);
    EXPECT_EQ(r.NumeroDocumento, -1);
    EXPECT_EQ(r.falla, venta::FallaVC::SinPlan);
    EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("No se encontro registro para el producto ") +
                                                  QString::number(clave(2))));
    nadaEscrito();
}

TEST_F(VentaCredito, DocumentFailureUndoesTheWholeSale) {
    const qint64 a = linea(clave(0), 1, 1000);
    fallaAlInsertar(QStringLiteral("doctoscredito"));
    const auto r = venta::GuardaVCredito(bd(), central(), datos({a}), prompts, espera);
    EXPECT_EQ(r.NumeroDocumento, -1);
    EXPECT_TRUE(r.documentos.empty());
    nadaEscrito();
    EXPECT_EQ(quedan({a}), 1);
}

}  // namespace
