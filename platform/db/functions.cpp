// The program's own SQL functions, added to every connection the layer opens.

#include "platform/db/internal.h"

#include <QSqlDriver>

#include <sqlite3.h>

namespace db::detail {

namespace {

void mayusculas(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* texto = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray arriba = QString::fromUtf8(texto, sqlite3_value_bytes(argv[0])).toUpper().toUtf8();
    sqlite3_result_text(ctx, arriba.constData(), int(arriba.size()), SQLITE_TRANSIENT);
}

}  // namespace

void addFunctions(const QSqlDatabase& c) {
    if (sqlite3* h = sqliteHandle(c))
        sqlite3_create_function_v2(h, "MAYUSCULAS", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &mayusculas,
                                   nullptr, nullptr, nullptr);
}

}  // namespace db::detail
