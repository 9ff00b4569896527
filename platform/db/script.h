#pragma once
// The schema scripts (schema/*.sql): what runs as it stands, the links ("-- @link <name> <file>")
// and the saved queries (between "-- @query <name> <select|action>" and "-- @end"). The setup tool
// makes the files from them; the program keeps the scripts built in, so that its own saved
// actions run the program's text and never one a file brought.

#include "platform/db/database.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace db {

struct Script {
    QStringList statements;             // without comments, one statement each
    std::vector<Link> links;            // in the order written
    std::vector<SavedQuery> queries;
};
Script parseScript(const QString& text);

// The program's own action query of that name (any letter case), as the built-in schema scripts
// write it; nullopt when the program has none of that name.
std::optional<SavedQuery> ownAction(const QString& name);

// The program's own tables of a file kind with their columns, as the built-in schema script makes
// them (names as written there).
enum class ProgramFile { Central, Branch };
struct ProgramTable {
    QString name;
    QStringList columns;
};
const std::vector<ProgramTable>& programTables(ProgramFile kind);

}  // namespace db
