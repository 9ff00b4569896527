#pragma once
// A real application and data folder made by the setup tool (seeded ADMIN / KORVADIM, the full
// permission catalogue), the start-up reads done on it, scripted prompts and the menu states the
// shell asks for recorded by item name.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QHash>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class Entorno : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<db::Database> central();
    // A user with his own permission ids; the password is stored hashed as the program does.
    void agregaUsuario(int id, const QString& nombre, const QString& clave, const QList<int>& permisos,
                       const QString& permisosIguala = {});
    // Records HabilitaMenu calls (installed by SetUp; a main window replaces it).
    void grabaMenus();

    QTemporaryDir tmp;
    QString app, datos;
    ui::ScriptedPrompts p;
    QHash<QString, bool> menus;
};
