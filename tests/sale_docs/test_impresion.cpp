// The totals a printed invoice shows: they add up, and they are what was charged.
#include "sale/impresion_factura.h"

#include <gtest/gtest.h>

namespace {

db::Row linea(double cantidad, double precio, bool iva = true, double descuento = 0) {
    return db::Row({"Cantidad", "PrecioUnit", "Descuento", "Iva", "CodigodeBarras", "Nombre", "IVAP"},
                   {cantidad, precio, descuento, iva ? 1 : 0, "7501", "Jabón", 16});
}

qint64 cents(const QVariantMap& m, const char* campo) { return qRound64(m.value(campo).toDouble() * 100); }

// Subtotal - discount + tax must give the total printed, to the cent.
void cuadra(const QVariantMap& m) {
    EXPECT_EQ(cents(m, "Subtotal") - cents(m, "ImporteDescuento") + cents(m, "IVA"), cents(m, "Total"))
        << m.value("Subtotal").toDouble() << " - " << m.value("ImporteDescuento").toDouble() << " + "
        << m.value("IVA").toDouble() << " != " << m.value("Total").toDouble();
}

TEST(ImpresionFactura, TaxApartAddsUpToTheStoredTotal) {
    // 1000 x $1.00: a net unit price of 0.8621 times 1000 would print 862.10 + 137.94.
    const db::Rows filas{linea(1000, 1.0)};
    QVariantMap m = venta::DatosDocumento(filas, 0, true, 16, 1000.0);
    EXPECT_EQ(cents(m, "Total"), 100000);
    EXPECT_EQ(cents(m, "Subtotal"), 86207);
    EXPECT_EQ(cents(m, "IVA"), 13793);
    EXPECT_FALSE(m.value("HayDescuento").toBool());
    EXPECT_EQ(m.value("ImporteLetra").toString(), QStringLiteral("MIL PESOS 00/100 M.N."));
    cuadra(m);
    // the line prints the subtotal it makes, not 1000 x 0.8621
    EXPECT_DOUBLE_EQ(m.value("lineas").toList().front().toMap().value("Importe").toDouble(), 862.07);

    // without a stored total the lines' sum is the total, split the same way
    m = venta::DatosDocumento(filas, 0, true, 16, std::nullopt);
    EXPECT_EQ(cents(m, "Total"), 100000);
    EXPECT_EQ(cents(m, "IVA"), 13793);

    // a sub-cent stored total prints rounded, and the words say the same
    m = venta::DatosDocumento(filas, 0, true, 16, 1000.005);
    EXPECT_EQ(cents(m, "Total"), 100001);
    EXPECT_EQ(m.value("ImporteLetra").toString(), QStringLiteral("MIL PESOS 01/100 M.N."));
    cuadra(m);
}

TEST(ImpresionFactura, SplitsAddUpOverManyTotals) {
    // Every total from 0.01 to 50.00 at 16% and 8%, with and without a discount.
    for (int tasa : {16, 8})
        for (qint64 c = 1; c <= 5000; ++c) {
            const double total = c / 100.0;
            for (double desc : {0.0, 7.5}) {
                const venta::DesgloseTotal d = venta::DesglosaTotal(total, total / (1 - desc / 100), 0, desc, tasa);
                ASSERT_EQ(d.total, c);
                ASSERT_EQ(d.subtotal - d.descuento + d.iva, d.total) << total << " " << tasa << " " << desc;
                ASSERT_GE(d.iva, 0);
            }
        }
}

}  // namespace
