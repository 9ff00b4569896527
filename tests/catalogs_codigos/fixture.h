#pragma once
// A data folder and an application folder made by the setup tool, with the program's globals
// pointing at them and scripted answers for every question.

#include "apps/setup/datasetup.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// Types into a cell of a grid as a person does: a click on it, F2, the text, Enter.
inline void EscribeCelda(QTableView* grid, const QModelIndex& celda, const QString& texto)
{
    grid->scrollTo(celda);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(celda).center());
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(editor);
    editor->selectAll();
    if (texto.isEmpty())
        QTest::keyClick(editor, Qt::Key_Backspace);  // a cell emptied
    else
        QTest::keyClicks(editor, texto);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the grid commits the cell when its event loop turns
}

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
        // The person at these catalogues holds their grants (every save asks them when it acts).
        g.PermisosUsuario.fill(true);
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
