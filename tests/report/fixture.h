#pragma once
// A data folder made by the setup library (demo catalogue, templates in Reports/) with the shared
// state pointing at its branch 1, and a saved demo invoice and quotation.

#include "platform/ui/prompts.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class DataFolderTest : public ::testing::Test {
public:
    struct Linea {
        QString codigo;  // barcode of a demo product
        double cantidad;
        double precio;
        double descuento;
        bool iva;
    };

protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a sale header and its lines straight into the branch file.
    void guardaDocumento(qint64 numero, const QString& tipo, const QString& cliente,
                         const QString& fecha, double descuento, const std::vector<Linea>& lineas);
    void guardaCliente(const QString& rfc, const QString& nombre);
    QString pdf(const QString& name) const { return tmp.filePath(name); }

    QTemporaryDir tmp;
    QString data;
    ui::ScriptedPrompts prompts;
};
