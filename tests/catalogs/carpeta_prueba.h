#pragma once
// A data folder made by the setup tool (demo catalogue; branch 1 and, on request, more branches)
// with the program's state pointed at branch 1, for the product and supplier tests.

#include "apps/setup/datasetup.h"
#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QTemporaryDir>

#include <memory>

namespace catalogtest {

struct CarpetaPrueba {
    explicit CarpetaPrueba(bool demo = true);
    ~CarpetaPrueba();
    bool ok = false;
    QTemporaryDir dir;
    QString corto;  // folder name of branch 1
    std::unique_ptr<db::Database> central, sucursal;
    ui::ScriptedPrompts prompts;
    // Adds a branch with that number and folder name (and points G().DescripcionC at it).
    bool AgregaSucursal(int numero, const QString& corto);
};

}  // namespace catalogtest
