#pragma once
// Creates the files the programs need from the schema scripts: the application folder (Quorvel's
// and the print server's Direccion.db) and a data folder (central file, monitor log, clean
// templates, branch 1 and Reports/). Nothing that exists is ever overwritten.

#include "platform/db/database.h"
#include "platform/db/script.h"

#include <QString>
#include <QStringList>

namespace datasetup {

// The password of the central, branch, template and transfer files.
QString claveArchivos();

// A schema script split into what runs as it stands, the links and the saved queries.
using Script = db::Script;
using db::parseScript;
// Reads <schemaDir>/<name>; an empty script and the message in *error when it cannot.
std::optional<Script> loadScript(const QString& schemaDir, const QString& name, QString* error);
// Runs the statements in one transaction, then makes the links and stores the saved queries.
bool applyScript(db::Database& database, const Script& script, QString* error);

// Where the scripts and templates are: beside the executable when they are there, else the source.
QString defaultSchemaDir();
QString defaultTemplatesDir();
// The print server program built or installed beside this tool (Plovix/tarvex); "" when absent.
QString defaultPrintServer();

struct Options {
    QString appFolder;   // "" = no application folder
    QString dataFolder;  // "" = no data folder
    int terminal = 1;
    int sucursal = 1;    // branch this terminal starts in
    bool demo = false;   // add the demo catalogue to the new data folder
    QString schemaDir = defaultSchemaDir();
    QString templatesDir = defaultTemplatesDir();
    // The print server the application folder gets in Plovix/, where Quorvel starts it; "" = none.
    QString printServer = defaultPrintServer();
};

struct Result {
    bool ok = false;
    QString message;       // Spanish, for the person running the tool
    QStringList created;   // files made
    QString warning;       // something the person must still do (already part of `message`)
};

// Every file run() would write; run() refuses when one of them exists.
QStringList plannedFiles(const Options& options);
// Given both folders and a data folder that already holds its central file, run() adds a terminal:
// it makes the application folder alone (addTerminal) and only reads the data folder.
Result run(const Options& options);
// An application folder for another terminal of an existing data folder, whose branch
// options.sucursal must exist there with its file. Nothing in the data folder is written.
Result addTerminal(const Options& options);

// Steps of run(), each refusing an existing target. The application folder gets the print server in
// Plovix/ (a link to options.printServer, a copy where links cannot be made); without one, or when
// it cannot be placed, *warning says so (the folder is made all the same).
bool createAppFolder(const Options& options, QString* error, QStringList* created = nullptr,
                     QString* warning = nullptr);
bool createDataFolder(const Options& options, QString* error, QStringList* created = nullptr);
// A branch database made from the data folder's template, with its number in Parametros.Sucursal
// and its links to the central file (sucursales::CreaArchivoSucursal on the data folder's paths).
bool createBranch(const QString& dataFolder, const QString& shortName, int number, QString* error);
// About 20 products with barcodes and stock in branch `sucursal`, a seller and two customers.
bool addDemoCatalogue(const QString& dataFolder, const QString& branchShortName, QString* error);

// Copies into an existing data folder's Reports/ every template it lacks; a template already there
// is never replaced (a shop may have edited it). The names copied go to *added.
bool addMissingTemplates(const QString& dataFolder, const QString& templatesDir, QStringList* added,
                         QString* error);

// Paths inside a data folder.
QString rutaBDCodigos(const QString& dataFolder);
QString rutaDatos(const QString& dataFolder);
QString rutaPlantillaSucursal(const QString& dataFolder);
QString rutaPlantillaLimpia(const QString& dataFolder);
QString rutaSucursal(const QString& dataFolder, const QString& shortName);
QString rutaReportes(const QString& dataFolder);

}  // namespace datasetup
