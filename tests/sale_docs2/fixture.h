#pragma once
// A demo data folder (setup library) with the shared state on its branch 1, scripted prompts as the
// program's prompts, and helpers to capture lines and read the branch file.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class Docs2Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    db::Database& bd();
    db::Database& central();
    // Product key of a demo barcode.
    qint64 clave(int indice) const { return claves_.at(indice); }
    // A pending line as the sale screen captures it; its IdLinea.
    qint64 linea(qint64 clave, double cantidad, double precio, const QString& observacion = {});
    double existencia(qint64 clave);
    // DetalleVenta rows still there among `ids`.
    qint64 quedan(const std::vector<qint64>& ids);
    qint64 cuenta(const QString& sql, const QVariantList& params = {});
    QVariant valor(const QString& sql, const QVariantList& params = {});
    qint64 folio(int fila) { return cuenta(QStringLiteral("SELECT ValorFolio FROM Folios WHERE Numerofolio = ?"), {fila}); }
    // Makes every insert into `tabla` fail, as a full disk or a constraint would.
    void fallaAlInsertar(const QString& tabla);

    QTemporaryDir tmp;
    QString data;
    ui::ScriptedPrompts prompts;
    db::LockWait espera;

private:
    std::vector<qint64> claves_;
};
