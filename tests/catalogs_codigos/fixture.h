#pragma once
// A data folder and an application folder made by the setup tool, with the program's globals
// pointing at them and scripted answers for every question.

#include "apps/setup/datasetup.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class DatosTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        datasetup::Options o;
        o.dataFolder = dir.path() + QStringLiteral("/datos");
        o.appFolder = dir.path() + QStringLiteral("/app");
        o.demo = demo;
        QString error;
        ASSERT_TRUE(datasetup::run(o).ok);
        datos = o.dataFolder;
        app = o.appFolder;
        central = db::Database::open(datasetup::rutaBDCodigos(datos), datasetup::claveArchivos());
        ASSERT_TRUE(central);
        corto = central->scalar(QStringLiteral("SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))
                    ->toString();
        sucursal = db::Database::open(datasetup::rutaSucursal(datos, corto), datasetup::claveArchivos());
        ASSERT_TRUE(sucursal);

        ReiniciaEstado();
        EstadoGlobal& g = G();
        g.CarpetaDatos = datos;
        g.SucursalActual = 1;
        g.DescripcionC[1] = corto;
        g.TerminalActual = 1;
        g.ClaveUsuario = 1;
        ui::setDefaultPrompts(&prompts);
    }
    void TearDown() override
    {
        ui::setDefaultPrompts(nullptr);
        shell::CierraConexiones();
    }
    QVariant Valor(db::Database& bd, const QString& sql, const QVariantList& p = {})
    {
        return bd.scalar(sql, p).value_or(QVariant());
    }

    bool demo = false;
    QTemporaryDir dir;
    QString datos, app, corto;
    std::unique_ptr<db::Database> central, sucursal;
    ui::ScriptedPrompts prompts;
};
