#include "sale/folios.h"
#include "sucursal_prueba.h"

#include <QTemporaryDir>

#include <set>
#include <gtest/gtest.h>

namespace {

class DocsFolios : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        bd_ = prueba::CreaSucursal(dir_.filePath(QStringLiteral("BDSucursal.db")));
        ASSERT_TRUE(bd_);
    }
    qint64 Toma(int fila, int k = 1, db::Error* e = nullptr) {
        EXPECT_TRUE(bd_->beginWrite());
        const qint64 n = sale::TomaFolios(*bd_, fila, k, e);
        if (n >= 0)
            EXPECT_TRUE(bd_->commit());
        else
            bd_->rollback();
        return n;
    }
    qint64 Valor(int fila) { return sale::ValorFolio(*bd_, fila).value_or(-99); }

    QTemporaryDir dir_;
    std::unique_ptr<db::Database> bd_;
};

TEST_F(DocsFolios, NumbersFollowTheCounterAndSplitSalesTakeConsecutiveBlocks) {
    // Counter 6 starts at 0 after a history reset: the first ticket is 1.
    EXPECT_EQ(Toma(sale::FolioTicket), 1);
    EXPECT_EQ(Toma(sale::FolioTicket), 2);
    // Counter 1 starts at 1: the first invoice is 2.
    EXPECT_EQ(Toma(sale::FolioFactura), 2);
    // Three invoices at once get 3, 4 and 5; the counter keeps the last.
    EXPECT_EQ(Toma(sale::FolioFactura, 3), 3);
    EXPECT_EQ(Valor(sale::FolioFactura), 5);
    EXPECT_EQ(Toma(sale::FolioFactura), 6);
    // Counters are independent.
    EXPECT_EQ(Valor(sale::FolioTicket), 2);
    EXPECT_EQ(Valor(sale::FolioFacturaE), 0);
}

TEST_F(DocsFolios, NumbersAlreadyStoredAreNeverGivenAgain) {
    // A counter set back by hand below documents already stored.
    ASSERT_TRUE(bd_->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo) VALUES (40, 'F'), (90, 'T')")));
    ASSERT_TRUE(bd_->exec(QStringLiteral("INSERT INTO NotaCredito (Numero) VALUES (7)")));
    ASSERT_TRUE(bd_->exec(QStringLiteral("UPDATE Folios SET ValorFolio = 3 WHERE Numerofolio = 1")));
    EXPECT_EQ(Toma(sale::FolioFactura), 41);
    EXPECT_EQ(Toma(sale::FolioTicket), 91);
    EXPECT_EQ(Toma(sale::FolioNotaCredito), 8);
    // Another letter's numbers do not count: electronic invoices still start at 1.
    EXPECT_EQ(Toma(sale::FolioFacturaE), 1);
    // A counter ahead of the stored numbers stays ahead.
    ASSERT_TRUE(bd_->exec(QStringLiteral("UPDATE Folios SET ValorFolio = 500 WHERE Numerofolio = 4")));
    EXPECT_EQ(Toma(sale::FolioCotizacion), 501);
    // A Null counter (where the table allows one) reads as 0.
    if (bd_->exec(QStringLiteral("UPDATE Folios SET ValorFolio = NULL WHERE Numerofolio = 2")))
        EXPECT_EQ(Toma(sale::FolioInventario), 1);
}

TEST_F(DocsFolios, MissingRowOrOverflowIsAnErrorThatWritesNothing) {
    db::Error e;
    ASSERT_TRUE(bd_->exec(QStringLiteral("DELETE FROM Folios WHERE Numerofolio = 8")));
    EXPECT_EQ(Toma(sale::FolioFacturaE, 1, &e), -1);
    EXPECT_EQ(e.kind, db::ErrorKind::NotFound);
    EXPECT_FALSE(e.message.isEmpty());
    EXPECT_FALSE(sale::ValorFolio(*bd_, sale::FolioFacturaE).has_value());

    ASSERT_TRUE(bd_->exec(QStringLiteral("UPDATE Folios SET ValorFolio = ? WHERE Numerofolio = 6"),
                          {sale::MaximoFolio - 2}));
    e = {};
    EXPECT_EQ(Toma(sale::FolioTicket, 3, &e), -1);
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(Valor(sale::FolioTicket), sale::MaximoFolio - 2);
    // The last two numbers can still be taken.
    EXPECT_EQ(Toma(sale::FolioTicket, 2), sale::MaximoFolio - 1);
    EXPECT_EQ(Toma(sale::FolioTicket, 1), -1);
    EXPECT_EQ(Valor(sale::FolioTicket), sale::MaximoFolio);

    e = {};
    EXPECT_EQ(Toma(sale::FolioFactura, 0, &e), -1);
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(Valor(sale::FolioFactura), 1);
}

TEST_F(DocsFolios, TwoConnectionsTakingInTurnNeverShareANumber) {
    auto otra = db::Database::open(bd_->path());
    ASSERT_TRUE(otra);
    std::set<qint64> vistos;
    for (int i = 0; i < 20; ++i) {
        db::Database& bd = (i % 2) ? *otra : *bd_;
        const qint64 n = sale::ObtenerFolio(bd, sale::FolioTicket, {});
        ASSERT_GT(n, 0);
        EXPECT_TRUE(vistos.insert(n).second) << n;
    }
    EXPECT_EQ(*vistos.rbegin(), 20);
}

}  // namespace
