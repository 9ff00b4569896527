#pragma once
// A data folder made by the setup tool for each test, the shared state pointed at it with branch 1
// ("Matriz") active, and scripted prompts and file chooser installed.

#include "platform/db/database.h"
#include "platform/ui/filechooser.h"
#include "platform/ui/prompts.h"

#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace suctest {

class SucursalesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString Carpeta() const { return dir_.path(); }
    std::unique_ptr<db::Database> Central();
    std::unique_ptr<db::Database> Abre(const QString& ruta);
    QVariant Valor(db::Database& bd, const QString& sql, const QVariantList& p = {});
    // A new branch file and its row, as the catalogue makes them.
    void AgregaSucursal(int id, const QString& corto);
    QString Ruta(const QString& corto) const;
    QByteArray Contenido(const QString& ruta) const;

    // The customer catalogue loaded in the program (its caption "CATALOGO DE CLIENTES."), as a
    // person may leave it open behind the branch forms; CierraVentana unloads it.
    QPointer<QWidget> AbreClientes();
    static void CierraVentana(QPointer<QWidget>& w);
    // The message of a refusal while it is open.
    static QString ConClientesAbierto();

    // Another terminal holding the file's write lock until Suelta.
    std::unique_ptr<QProcess> Retiene(const QString& ruta);
    static void Suelta(QProcess& p);

    QTemporaryDir dir_;
    ui::ScriptedPrompts prompts;
    ui::ScriptedFileChooser chooser;
};

}  // namespace suctest
