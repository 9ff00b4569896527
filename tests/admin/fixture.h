#pragma once
// A data folder for the administration tests: made once per test program by the setup tool (demo
// catalogue, branch 1 and a second branch "OTRA") and copied fresh for every test, with the shared
// state pointed at the copy as the program sets it after start-up and login as ADMIN.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class AdminTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<db::Database> Central();
    std::unique_ptr<db::Database> Sucursal();
    // Every row of a statement, one text per row (for "nothing changed" checks).
    static QStringList Filas(db::Database& bd, const QString& sql);

    QTemporaryDir dir;
    std::unique_ptr<db::Database> central, suc;  // handles of the test's own on the two files
    QString datos;        // the data folder
    QString corto;        // short name of branch 1
    ui::ScriptedPrompts prompts;
};
