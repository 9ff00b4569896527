#include "catalogs/credito.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using catalogos::GenerarDoctos;

const QDate Hoy(2026, 12, 9);

qint64 SumaCentavos(const std::vector<catalogos::DoctoCredito>& d) {
    qint64 s = 0;
    for (const auto& x : d) s += std::llround(x.Importe * 100);
    return s;
}

TEST(CreditSchedule, InstalmentsEveryPeriodAndTheLastTakesTheRest) {
    const auto d = GenerarDoctos(1000, 100, 400, 15, Hoy);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[0].TipoDocto, catalogos::TipoAnticipo);
    EXPECT_EQ(d[0].Importe, 100);
    EXPECT_EQ(d[0].FechaVencimiento, Hoy);
    const double importes[] = {400, 400, 100};
    for (int k = 1; k < 4; ++k) {
        EXPECT_EQ(d[k].Numerodocto, k + 1);
        EXPECT_EQ(d[k].TipoDocto, catalogos::TipoAbono);
        EXPECT_EQ(d[k].Importe, importes[k - 1]);
        EXPECT_EQ(d[k].FechaVencimiento, Hoy.addDays(15 * k));
    }
    EXPECT_EQ(GenerarDoctos(1000, 1200, 300, 15, Hoy).size(), 1u);  // down payment covers it all
    for (int periodo : {0, -7})
        for (const auto& x : GenerarDoctos(1000, 100, 300, periodo, Hoy)) EXPECT_EQ(x.FechaVencimiento, Hoy);
}

TEST(CreditSchedule, ZeroOrNegativeInstalmentEndsWithOneDocumentForTheRest) {
    for (double abono : {0.0, -50.0, 0.004}) {
        const auto d = GenerarDoctos(1000, 100, abono, 15, Hoy);
        ASSERT_EQ(d.size(), 2u) << abono;
        EXPECT_DOUBLE_EQ(d[1].Importe, 900);
    }
    // A plan of one-cent instalments stops at the last number a document can carry.
    const auto d = GenerarDoctos(1000000, 0, 0.01, 1, Hoy);
    ASSERT_EQ(d.size(), static_cast<size_t>(catalogos::MaximoDoctos));
    EXPECT_EQ(SumaCentavos(d), 100000000);
}

TEST(CreditSchedule, NoInstalmentForLessThanACent) {
    // 100.3 - 0.1 - 3 x 33.4 leaves a binary crumb above 0 in doubles.
    const auto d = GenerarDoctos(100.3, 0.1, 33.4, 7, Hoy);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(SumaCentavos(d), 10030);
    EXPECT_EQ(GenerarDoctos(1000.004, 100, 300, 15, Hoy).size(), 4u);
    const auto c = GenerarDoctos(1000.01, 100, 300, 15, Hoy);
    ASSERT_EQ(c.size(), 5u);
    EXPECT_DOUBLE_EQ(c[4].Importe, 0.01);
}

}  // namespace
