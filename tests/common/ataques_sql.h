#pragma once
// Statements a person may type into the SQL console or a synchronisation script against the central
// file, in order (later lines build on earlier ones), with what each must give: run, or be refused
// with the words given. Both forms are driven with the same table.

#include "platform/db/database.h"

#include <QRegularExpression>
#include <QString>

namespace ataques {

struct Linea {
    const char* sql;
    bool consola;     // runs in the console
    bool script;      // runs in a synchronisation script
    const char* por;  // words the refusal says ("" when only refused)
    // On a branch file (console BD2, a script against a branch file): nullptr as on the central
    // file, else refused there with these words.
    const char* rama = nullptr;
    // Left in a file given to Importar datos (written there by another tool): the file is taken
    // when the row runs in a script, refused otherwise.
    bool archivo = false;
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
    // The very texts the layer runs on its tables (prepared and kept before the person typed).
    {"SELECT Name, Kind, Sql FROM main._queries ORDER BY Name", false, false, ""},
    {"SELECT Name, Source FROM main._links ORDER BY Name", false, false, ""},
    {"create table _nueva (a)", false, false, "tabla interna"},
    {"alter table _links rename to libre", false, false, "tabla interna"},
    {"create index ix on _links(Source)", false, false, "tabla interna"},
    {"PRAGMA writable_schema = 1", false, false, "PRAGMA"},
    {"create trigger t after update on Producto begin delete from '_links'; end", false, false, "tabla interna"},
    // Stored objects that would reach them later, on behalf of the program's own statements.
    {"create table Gen (a integer, b integer generated always as (a + 1))", true, true, ""},
    {"create trigger tg after update on Gen begin delete from _links; end", false, false,
     "el disparador tg no se permite porque intenta borrar registros de la tabla interna del archivo _links; se quitó",
     nullptr, true},
    {"create trigger tf after update on Monedas begin insert into NoExiste values (1); update _dbpassword set "
     "Password = 'x'; end",
     false, false, "no se pudo probar"},
    {"create view vpw as select Password from _dbpassword", false, false,
     "la vista vpw no se permite porque intenta leer la tabla interna del archivo _dbpassword; se quitó", nullptr, true},
    {"create trigger tpw after update on Monedas begin update Monedas set Descripcion = (select Password from "
     "_dbpassword); end",
     false, false, "el disparador tpw no se permite porque intenta leer la tabla interna del archivo _dbpassword", nullptr,
     true},
    {"create temp view vpt as select * from _queries", false, false, "vista vpt"},
    {"alter table Monedas rename to _x", false, false, "empiece con _"},
    // Through the engine's own machinery: virtual tables over the layer's tables, the engine's and
    // the program's functions, the engine's metadata, triggers the trial would not fire.
    {"create table robo9 (x)", true, true, ""},
    {"create table f9 (Password)", true, true, ""},
    {"create trigger t9 after insert on Monedas begin insert into robo9 select 'c:' || Password from f9; end", true,
     true, ""},
    // What a statement leaves behind: the program's own writes keep working, its tables and
    // columns stay, the central file's definitions change only on the central file.
    {"drop table f9", false, false, "el disparador t9 dejaría de funcionar (se dispara al cambiar la tabla Monedas)"},
    {"drop trigger t9", true, true, ""},
    {"drop table f9", true, true, ""},
    {"drop table Vendedores", false, false, "necesita la tabla Vendedores del archivo BDcodigos.db",
     "Vendedores: es una tabla ligada del archivo central; ejecute la instrucción en BD1"},
    {"alter table Producto rename to p2", false, false, "necesita la tabla Producto del archivo BDcodigos.db",
     "ejecute la instrucción en BD1"},
    {"alter table Producto drop column Descripcion2", false, false, "necesita el campo Descripcion2 de la tabla Producto",
     "ejecute la instrucción en BD1"},
    {"alter table Vendedores add column Nota9 text", true, true, "", "ejecute la instrucción en BD1"},
    {"create index ixv9 on Vendedores(Nota9)", true, true, "", "no existe la tabla main.Vendedores"},
    {"update Vendedores set NombreVendedor = NombreVendedor", true, true, ""},
    {"create table dflt9 (a text default (sqlite_version()))", false, false,
     "la tabla dflt9 no se permite porque su definición (un valor por omisión, un campo calculado o una regla) intenta "
     "la función sqlite_version",
     nullptr, true},
    {"create temp trigger tt9 after insert on Vendedores begin select 1; end", true, true, ""},
    {"insert into robo9 select sql from sqlite_master", false, false, "el texto de las definiciones"},
    {"insert into robo9 select sql from sqlite_temp_master", false, false, "el texto de las definiciones"},
    {"insert into robo9 select sql from sqlite_schema where name like '\\_%' escape '\\'", false, false,
     "el texto de las definiciones"},
    {"insert into robo9 select name from sqlite_master", true, true, ""},
    {"ANALYZE main", false, true, ""},
    {"insert into robo9 select tbl from sqlite_stat1", false, false, "las estadísticas del motor (sqlite_stat1)"},
    {"insert into sqlite_stat1 values ('_links', null, '9')", false, false, "estadísticas del motor"},
    // A runaway: stopped by the bound on the engine's steps or on the file's growth, undone.
    {"create table tmpx (x)", true, true, ""},
    {"insert into tmpx with recursive c(x) as (select 1 union all select x + 1 from c) select x from c", false, false,
     "la instrucción se detuvo"},
    {"insert into tmpx with recursive c(x) as (select 1 union all select x + 1 from c where x < 2000000000) select "
     "count(*) from c",
     false, false, "la instrucción se detuvo: pasó de"},
    {"create virtual table f9 using fts4(Password, content='_dbpassword')", false, false,
     "no se permite crear la tabla virtual f9 (módulo fts4)"},
    {"create virtual table f5 using fts5(Password, content='_links')", false, false, "tabla virtual f5"},
    {"create virtual table a4 using fts4aux(_queries)", false, false, "tabla virtual a4"},
    {"insert into robo9 select fts3_tokenizer('simple', x'4141414141414141')", false, false,
     "no se permite la función fts3_tokenizer"},
    {"insert into robo9 select fts3_tokenizer('simple')", false, false, "la función fts3_tokenizer"},
    {"create virtual table crash using fts3(x)", false, false, "tabla virtual crash"},
    {"insert into robo9 select load_extension('/tmp/x.so')", false, false, "la función load_extension"},
    {"insert into robo9 select readfile('/etc/passwd')", false, false, "no existe la función readfile"},
    {"insert into robo9 select MAYUSCULAS(Nombre) from Cliente", false, false, "la función mayusculas"},
    {"insert into robo9 select name from pragma_table_info('_dbpassword')", false, false, "PRAGMA table_info"},
    {"insert into robo9 select pgsize from dbstat where name = '_dbpassword'", false, false, "no existe la tabla dbstat"},
    {"insert into robo9 select sql from sqlite_stmt", false, false, "no existe la tabla sqlite_stmt"},
    {"insert into robo9 select name from pragma_function_list", false, false, "function_list"},
    {"insert into robo9 select value from json_each('[1]')", false, false, "la tabla virtual json_each"},
    {"create trigger tr after update of rowid on Monedas begin delete from _links; end", false, false,
     "el disparador tr no se permite porque intenta borrar registros de la tabla interna del archivo _links; se quitó"},
    {"create trigger tn after update of NoExiste on Monedas begin update _dbpassword set Password = 'x'; end", false,
     false, "el disparador tn no se pudo probar"},
    {"create temp table Categoria (x)", true, true, ""},
    {"create temp trigger tt after delete on main.Categoria begin delete from _links; end", false, false,
     "el disparador tt no se permite porque intenta borrar registros de la tabla interna del archivo _links"},
    {"drop table if exists temp.Categoria", true, true, ""},
    {"attach '' as vacuum_db", false, false, "ATTACH"},
    {"vacuum into 'copia62.db'", false, false, "VACUUM"},
    // What a person may do, and the engine's failures in Spanish.
    {"create view vok as select Moneda from Monedas", true, true, "", nullptr, true},
    {"create view vok as select Moneda from Monedas", false, false, "ya existe la vista vok"},
    {"create trigger tok after update on Monedas begin update Monedas set Descripcion = Descripcion where 0; end", true,
     true, "", nullptr, true},
    {"update Monedas set TipoCambio = TipoCambio", true, true, ""},
    {"alter table Gen rename to Gen2", true, true, ""},
    {"update sqlite_master set sql = ''", false, false, "la tabla sqlite_master no se puede modificar"},
    {"update Cliente sett Nombre = 1", false, false, "error de sintaxis"},
    {"update Cliente set Nombre = '_links' where 0", true, true, ""},
    {"VACUUM", false, true, ""},
    {"ANALYZE", false, true, "", "escriba ANALYZE main"},
};

// Bounds low enough that the runaway rows stop in a moment, high enough for every other row.
inline constexpr long long kPasos = 20'000'000;
inline constexpr long long kCrecimiento = 4ll << 20;

// What the files must hold after the whole table ran.
inline const char kObjetos[] = "SELECT group_concat(type || ' ' || name, ', ') FROM (SELECT type, name FROM sqlite_master "
                               "WHERE type IN ('trigger', 'view') OR name IN ('Monedas', '_x', 'Gen2') ORDER BY name)";
inline const char kObjetosEsperados[] = "table Gen2, table Monedas, trigger tok, view vok";
// The tables of a file, for the outcome checks.
inline const char kTablasPrograma[] = "SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type = "
                                      "'table' AND substr(name, 1, 1) <> '_' AND name NOT LIKE 'sqlite%' ORDER BY name)";

// The low bounds while a test runs the table.
struct Cotas {
    Cotas() : antes(db::UserSqlGuard::bounds()) { db::UserSqlGuard::setBounds({kPasos, kCrecimiento}); }
    ~Cotas() { db::UserSqlGuard::setBounds(antes); }
    db::UserSqlBounds antes;
};

// The engine's own English never reaches the person.
inline bool HablaIngles(const QString& texto) {
    static const QRegularExpression ingles(
        QStringLiteral("no such|already exists|may not|syntax error|not authorized|constraint failed|error in|cannot |"
                       "unsafe use|wrong number|too big|too many|código"));
    return texto.contains(ingles);
}

}  // namespace ataques
