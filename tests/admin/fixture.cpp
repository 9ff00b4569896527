#include "fixture.h"

#include "apps/setup/datasetup.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace {

// The data folder every test copies; made on first use.
const QString& plantilla()
{
    static QTemporaryDir dir;
    static QString ruta;
    if (ruta.isEmpty()) {
        ruta = dir.path() + QStringLiteral("/datos");
        datasetup::Options o;
        o.dataFolder = ruta;
        o.demo = true;
        QString error;
        if (!datasetup::createDataFolder(o, &error) ||
            !datasetup::createBranch(ruta, QStringLiteral("OTRA"), 2, &error))
            ADD_FAILURE() << error.toStdString();
    }
    return ruta;
}

void copia(const QString& de, const QString& a)
{
    QDirIterator it(de, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QDir().mkpath(a);
    while (it.hasNext()) {
        const QString origen = it.next();
        const QString destino = a + origen.mid(de.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(destino);
        else
            QFile::copy(origen, destino);
    }
}

}  // namespace

void AdminTest::SetUp()
{
    datos = dir.path() + QStringLiteral("/datos");
    copia(plantilla(), datos);
    shell::CierraConexiones();
    ReiniciaEstado();
    central = Central();
    ASSERT_TRUE(central);
    corto = central->scalar(QStringLiteral("SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))->toString();
    auto& g = G();
    g.CarpetaDatos = datos;
    g.SucursalActual = 1;
    g.DescripcionC[1] = corto;
    g.DescripcionC[2] = QStringLiteral("OTRA");
    g.TerminalActual = 1;
    g.ClaveUsuario = 1;
    g.UsuarioActual = QStringLiteral("ADMIN");
    g.ClaveBD = shell::ClaveArchivos();
    g.PermisosUsuario.fill(true);
    suc = Sucursal();
    ASSERT_TRUE(suc);
    ui::setDefaultPrompts(&prompts);
}

void AdminTest::TearDown()
{
    suc.reset();
    central.reset();
    ui::setDefaultPrompts(nullptr);
    shell::CierraConexiones();
}

std::unique_ptr<db::Database> AdminTest::Central()
{
    return db::Database::open(datasetup::rutaBDCodigos(datos), datasetup::claveArchivos());
}

std::unique_ptr<db::Database> AdminTest::Sucursal()
{
    return db::Database::open(datasetup::rutaSucursal(datos, corto), datasetup::claveArchivos());
}

QStringList AdminTest::Filas(db::Database& bd, const QString& sql)
{
    QStringList out;
    auto filas = bd.select(sql);
    if (!filas)
        return {QStringLiteral("<error>")};
    for (const db::Row& f : *filas) {
        QStringList campos;
        for (int i = 0; i < f.count(); ++i)
            campos << (f.value(i).isNull() ? QStringLiteral("<null>") : f.value(i).toString());
        out << campos.join(QLatin1Char('|'));
    }
    return out;
}
