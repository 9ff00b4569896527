#pragma once
// Statements a person may type into the SQL console or a synchronisation script against the central
// file, in order (later lines build on earlier ones), with what each must give: run, or be refused
// with the words given. Both forms are driven with the same table.

#include <QRegularExpression>
#include <QString>

namespace ataques {

struct Linea {
    const char* sql;
    bool consola;     // runs in the console
    bool script;      // runs in a synchronisation script
    const char* por;  // words the refusal says ("" when only refused)
};

inline const Linea kLineas[] = {
    // Straight at the layer's tables, however written.
    {"delete from '_links'", false, false, "tabla interna del archivo _links"},
    {"DELETE FROM \"_Queries\"", false, false, "tabla interna"},
    {"update [_dbpassword] set Password = ''", false, false, "tabla interna del archivo _dbpassword"},
    {"update '_dbpassword' set Password='otra'", false, false, "tabla interna"},
    {"insert into '_queries' (Name, Kind, Sql) values ('planta', 'action', 'delete from Producto')", false, false,
     "tabla interna"},
    {"delete from main.\"_links\"", false, false, "tabla interna"},
    {"update Producto set Nombre = (select Password from [_dbpassword])", false, false, "tabla interna"},
    {"with x as (select Password from _dbpassword) update Cliente set Nombre = (select Password from x)", false, false,
     "tabla interna"},
    {"drop table `_queries`", false, false, "tabla interna"},
    {"create table _nueva (a)", false, false, "tabla interna"},
    {"alter table _links rename to libre", false, false, "tabla interna"},
    {"create index ix on _links(Source)", false, false, "tabla interna"},
    {"PRAGMA writable_schema = 1", false, false, "PRAGMA"},
    {"create trigger t after update on Producto begin delete from '_links'; end", false, false, "tabla interna"},
    // Stored objects that would reach them later, on behalf of the program's own statements.
    {"create table Gen (a integer, b integer generated always as (a + 1))", true, true, ""},
    {"create trigger tg after update on Gen begin delete from _links; end", false, false, "el disparador tg no se permite: lee o cambia la tabla interna del archivo _links; se quitó"},
    {"create trigger tf after update on Monedas begin insert into NoExiste values (1); update _dbpassword set "
     "Password = 'x'; end",
     false, false, "no se pudo probar"},
    {"create view vpw as select Password from _dbpassword", false, false,
     "la vista vpw no se permite: lee o cambia la tabla interna del archivo _dbpassword; se quitó"},
    {"create temp view vpt as select * from _queries", false, false, "vista vpt"},
    {"alter table Monedas rename to _x", false, false, "empiece con _"},
    // What a person may do, and the engine's failures in Spanish.
    {"create view vok as select Moneda from Monedas", true, true, ""},
    {"create view vok as select Moneda from Monedas", false, false, "ya existe la vista vok"},
    {"create trigger tok after update on Monedas begin update Monedas set Descripcion = Descripcion where 0; end", true,
     true, ""},
    {"update Monedas set TipoCambio = TipoCambio", true, true, ""},
    {"alter table Gen rename to Gen2", true, true, ""},
    {"update sqlite_master set sql = ''", false, false, "la tabla sqlite_master no se puede modificar"},
    {"update Cliente sett Nombre = 1", false, false, "error de sintaxis"},
    {"update Cliente set Nombre = '_links' where 0", true, true, ""},
    {"VACUUM", false, true, ""},
    {"ANALYZE", false, true, ""},
};

// The layer's tables in one text, to compare before and after.
inline const char kCapa[] = "SELECT coalesce((SELECT group_concat(Name || Source) FROM _links), '') || '|' || "
                            "(SELECT group_concat(Sql) FROM _queries) || '|' || (SELECT group_concat(Password) FROM "
                            "_dbpassword)";
// What the files must hold after the whole table ran.
inline const char kObjetos[] = "SELECT group_concat(type || ' ' || name, ', ') FROM (SELECT type, name FROM sqlite_master "
                               "WHERE type IN ('trigger', 'view') OR name IN ('Monedas', '_x', 'Gen2') ORDER BY name)";
inline const char kObjetosEsperados[] = "table Gen2, table Monedas, trigger tok, view vok";

// The engine's own English never reaches the person.
inline bool HablaIngles(const QString& texto) {
    static const QRegularExpression ingles(
        QStringLiteral("no such|already exists|may not|syntax error|not authorized|constraint failed|error in|cannot "));
    return texto.contains(ingles);
}

}  // namespace ataques
