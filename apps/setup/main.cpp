// quorvel-setup: makes an application folder and/or a data folder for Quorvel and Tarvex.

#include "apps/setup/datasetup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvel-setup"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Crea la carpeta de la aplicación (Direccion.db y Plovix/Direccion.db) y la carpeta de datos "
        "(base central, Datos, plantillas, sucursal 1 y Reports). Con una carpeta de datos que ya existe "
        "crea solo la carpeta de la aplicación de otra terminal, sin tocar los datos. Nunca sobrescribe un archivo."));
    parser.addHelpOption();
    const QCommandLineOption aplicacion({QStringLiteral("a"), QStringLiteral("aplicacion")},
                                        QStringLiteral("Carpeta de la aplicación."), QStringLiteral("carpeta"));
    const QCommandLineOption datos({QStringLiteral("d"), QStringLiteral("datos")},
                                   QStringLiteral("Carpeta de datos."), QStringLiteral("carpeta"));
    const QCommandLineOption terminal({QStringLiteral("t"), QStringLiteral("terminal")},
                                      QStringLiteral("Número de esta terminal (1 si se omite)."),
                                      QStringLiteral("numero"), QStringLiteral("1"));
    const QCommandLineOption sucursal({QStringLiteral("s"), QStringLiteral("sucursal")},
                                      QStringLiteral("Sucursal con la que arranca (1 si se omite)."),
                                      QStringLiteral("numero"), QStringLiteral("1"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Agrega un catálogo de prueba a la carpeta de datos nueva."));
    const QCommandLineOption plantillas(
        QStringLiteral("plantillas"),
        QStringLiteral("Agrega a la carpeta de datos existente (--datos) las plantillas de reporte que le faltan; "
                       "nunca reemplaza una."));
    parser.addOptions({aplicacion, datos, terminal, sucursal, demo, plantillas});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    bool okT = false, okS = false;
    datasetup::Options o;
    o.appFolder = parser.value(aplicacion);
    o.dataFolder = parser.value(datos);
    o.terminal = parser.value(terminal).toInt(&okT);
    o.sucursal = parser.value(sucursal).toInt(&okS);
    o.demo = parser.isSet(demo);
    if (!okT || !okS) {
        err << "La terminal y la sucursal deben ser números.\n";
        return 2;
    }
    if (parser.isSet(plantillas)) {
        if (o.dataFolder.isEmpty() || !o.appFolder.isEmpty() || o.demo) {
            err << "--plantillas va solo con --datos de una carpeta existente.\n";
            return 2;
        }
        QStringList agregadas;
        QString error;
        if (!datasetup::addMissingTemplates(o.dataFolder, datasetup::defaultTemplatesDir(), &agregadas, &error)) {
            err << error << "\n";
            return 1;
        }
        if (!agregadas.isEmpty()) out << "Plantillas agregadas: " << agregadas.join(QStringLiteral(", ")) << "\n";
        return 0;
    }
    if (o.demo && o.dataFolder.isEmpty()) {
        err << "El catálogo de prueba necesita una carpeta de datos nueva (--datos).\n";
        return 2;
    }
    if (o.appFolder.isEmpty() && o.dataFolder.isEmpty()) {
        err << parser.helpText();
        return 2;
    }
    const datasetup::Result r = datasetup::run(o);
    (r.ok ? out : err) << r.message << "\n";
    return r.ok ? 0 : 1;
}
