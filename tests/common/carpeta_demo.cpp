#include "carpeta_demo.h"

#include "apps/setup/datasetup.h"
#include "shell/conexion.h"
#include "shell/estado.h"

namespace testutil {

QString CreaCarpetaDemo(const QString& carpeta) {
    datasetup::Options o;
    o.dataFolder = carpeta;
    o.demo = true;
    o.schemaDir = QStringLiteral(QUORVEL_TEST_SCHEMA_DIR);
    o.templatesDir = QStringLiteral(QUORVEL_TEST_TEMPLATES_DIR);
    const datasetup::Result r = datasetup::run(o);
    if (!r.ok) return r.message.isEmpty() ? QStringLiteral("No se creó la carpeta de datos.") : r.message;
    UsaCarpetaDemo(carpeta);
    return {};
}

void UsaCarpetaDemo(const QString& carpeta) {
    shell::CierraConexiones();
    ReiniciaEstado();
    EstadoGlobal& g = G();
    g.CarpetaDatos = carpeta;
    g.SucursalActual = 1;
    g.DescripcionC[1] = QStringLiteral("Matriz");
}

}  // namespace testutil
