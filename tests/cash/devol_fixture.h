#pragma once
// A demo data folder (setup library) on branch 1 with the shared state set as after a login,
// scripted prompts as the program's, and helpers that store sold documents and read the branch file.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

struct LineaPrueba {
    int producto = 0;  // index of a demo product
    double cantidad = 1;
    double precio = 10;
    double descuento = 0;
};

class PosventaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    db::Database& bd();
    qint64 clave(int indice) const { return claves_.at(size_t(indice)); }
    // A stored sale document with its lines and stock taken; its total is the lines' amounts.
    void vende(qint64 numero, const QString& tipo, const std::vector<LineaPrueba>& lineas,
               double descuento = 0, int status = 1, const QString& cliente = QStringLiteral("GOMA800101AB1"));
    // An earlier return of the document: one inventory entry of kind 12 with one line, naming the
    // sold line it came from by its position (1 for the first, as files kept before lines were named).
    void devolucionAnterior(const QString& docto, int producto, double cantidad, int linea = 1);
    double existencia(int producto);
    qint64 cuenta(const QString& sql, const QVariantList& params = {});
    QVariant valor(const QString& sql, const QVariantList& params = {});
    void fallaAlInsertar(const QString& tabla);

    QTemporaryDir tmp;
    QString data;
    ui::ScriptedPrompts prompts;
    db::LockWait espera;

private:
    std::vector<qint64> claves_;
};
