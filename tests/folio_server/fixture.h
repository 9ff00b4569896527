#pragma once
// An application folder (with the print server's Direccion.db) and a demo data folder made by the
// setup library, the branch file open, and helpers to queue requests and store invoices.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

class ServidorTest : public ::testing::Test {
protected:
    void SetUp() override;

    QString rutaDireccion() const { return app + "/Plovix/Direccion.db"; }
    // A second branch "Norte" (number 2) in the same data folder.
    void agregaSucursal2();
    // Another data folder beside the first one, with its own branch 1.
    QString otraCarpetaDatos();

    void encola(int codigo, qint64 numero);
    std::vector<std::pair<int, qint64>> cola();  // the queue in serving order
    // A stored paper invoice with one line of a demo product.
    void guardaFactura(qint64 numero, const QString& cliente = "XAXX010101000");

    QTemporaryDir tmp;
    QString app, data;
    std::unique_ptr<db::Database> bd;  // branch 1
    ui::ScriptedPrompts prompts;
};

#include <ostream>
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
