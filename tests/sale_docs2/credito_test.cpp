#include "catalogs/credito.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using catalogos::DoctoCredito;
using catalogos::GenerarDoctos;

const QDate Hoy(2026, 12, 9);

qint64 SumaCentavos(const std::vector<DoctoCredito>& d) {
    qint64 s = 0;
    for (const auto& x : d) s += std::llround(x.Importe * 100);
    return s;
}

TEST(CreditSchedule, InstalmentsEveryPeriodAndTheLastTakesTheRest) {
    const auto d = GenerarDoctos(1000, 100, 300, 15, Hoy);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[0].TipoDocto, catalogos::TipoAnticipo);
    EXPECT_EQ(d[0].Importe, 100);
    EXPECT_EQ(d[0].FechaVencimiento, Hoy);
    for (int k = 1; k < 4; ++k) {
        EXPECT_EQ(d[k].Numerodocto, k + 1);
        EXPECT_EQ(d[k].TipoDocto, catalogos::TipoAbono);
        EXPECT_EQ(d[k].Importe, 300);
        EXPECT_EQ(d[k].FechaVencimiento, Hoy.addDays(15 * k));
    }

    const auto e = GenerarDoctos(1000, 100, 400, 15, Hoy);
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[1].Importe, 400);
    EXPECT_EQ(e[2].Importe, 400);
    EXPECT_EQ(e[3].Importe, 100);
    EXPECT_EQ(catalogos::TextoDoctosGenerados(static_cast<int>(e.size())),
              QStringLiteral("Se generaron 4 documentos."));
}

TEST(CreditSchedule, DownPaymentCoveringThePriceGivesOneDocument) {
    EXPECT_EQ(GenerarDoctos(1000, 1000, 300, 15, Hoy).size(), 1u);
    EXPECT_EQ(GenerarDoctos(1000, 1200, 300, 15, Hoy).size(), 1u);
    // A down payment of 0 is still document 1.
    const auto d = GenerarDoctos(600, 0, 300, 30, Hoy);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].Importe, 0);
}

TEST(CreditSchedule, PeriodZeroOrNegativeIsDueToday) {
    for (int periodo : {0, -7}) {
        const auto d = GenerarDoctos(1000, 100, 300, periodo, Hoy);
        ASSERT_EQ(d.size(), 4u);
        for (const auto& x : d) EXPECT_EQ(x.FechaVencimiento, Hoy) << periodo;
    }
}

TEST(CreditSchedule, ZeroOrNegativeInstalmentEndsWithOneDocumentForTheRest) {
    for (double abono : {0.0, -50.0, 0.004}) {
        const auto d = GenerarDoctos(1000, 100, abono, 15, Hoy);
        ASSERT_EQ(d.size(), 2u) << abono;
        EXPECT_DOUBLE_EQ(d[1].Importe, 900);
        EXPECT_EQ(d[1].FechaVencimiento, Hoy.addDays(15));
    }
}

TEST(CreditSchedule, AmountsAddUpToTheCentAndNoCrumbInstalment) {
    // 0.1 steps that binary doubles cannot hold exactly.
    const auto d = GenerarDoctos(100.3, 0.1, 33.4, 7, Hoy);
    // 100.3 - 0.1 - 3 x 33.4 leaves a binary crumb above 0 in doubles: no fifth instalment for it.
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(SumaCentavos(d), 10030);
}

TEST(CreditSchedule, RestUnderHalfACentMakesNoInstalment) {
    const auto d = GenerarDoctos(1000.004, 100, 300, 15, Hoy);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(SumaCentavos(d), 100000);
    const auto c = GenerarDoctos(1000.01, 100, 300, 15, Hoy);
    ASSERT_EQ(c.size(), 5u);
    EXPECT_DOUBLE_EQ(c[4].Importe, 0.01);
    EXPECT_EQ(SumaCentavos(c), 100001);
}

TEST(CreditSchedule, NeverMoreDocumentsThanTheNumberCanHold) {
    const auto d = GenerarDoctos(1000000, 0, 0.01, 1, Hoy);
    ASSERT_EQ(d.size(), static_cast<size_t>(catalogos::MaximoDoctos));
    EXPECT_EQ(d.back().Numerodocto, catalogos::MaximoDoctos);
    EXPECT_EQ(SumaCentavos(d), 100000000);
}

}  // namespace
