#pragma once
// The links of a branch file to the central file: the twelve shared tables every branch reaches
// there, and renewing them on a given branch file (after the data folder moved, when a branch file
// is made, or from the branch catalogue). Headless and free of the shared state, so the setup tool
// links it without the rest of the shell.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace shell {

// In the order the links are made.
const QStringList& TablasLigadas();

struct FallaLiga {
    QString tabla;  // "" when the branch file itself could not be opened
    QString razon;
};

// Links the twelve tables of the branch file to the central file (an older link is replaced). A
// table that cannot be linked (a local table of that name is kept, a table missing in the central
// file) is reported and the others still get theirs. `avance` hears each table before it is linked.
std::vector<FallaLiga> LigaTablasCentrales(const QString& rutaSucursal, const QString& rutaCentral,
                                           const QString& clave,
                                           const std::function<void(const QString&)>& avance = {});

}  // namespace shell
