#include "fixture.h"

#include "apps/setup/datasetup.h"
#include "branches/catalogo.h"
#include "catalogs/forms/frmclientes.h"
#include "shell/arranque.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/sucursal.h"
#include "testutil.h"

#include <QFile>

namespace suctest {

void SucursalesTest::SetUp()
{
    ReiniciaEstado();
    shell::ReiniciaAvisos();
    datasetup::Options o;
    o.dataFolder = dir_.path();
    QString error;
    ASSERT_TRUE(datasetup::createDataFolder(o, &error)) << error.toStdString();
    G().CarpetaDatos = dir_.path();
    G().SucursalActual = 1;
    G().PermisosUsuario[6] = true;  // the person at the branch catalogue holds its grant
    ui::setDefaultPrompts(&prompts);
    ui::setDefaultFileChooser(&chooser);
    ASSERT_TRUE(shell::LeerSucursales());
    ASSERT_TRUE(shell::EstableceSucursal()) << prompts.lastMessage().toStdString();
    prompts.clear();
}

void SucursalesTest::TearDown()
{
    shell::CierraConexiones();
    ui::setDefaultPrompts(nullptr);
    ui::setDefaultFileChooser(nullptr);
}

std::unique_ptr<db::Database> SucursalesTest::Central()
{
    return db::Database::open(datasetup::rutaBDCodigos(dir_.path()), datasetup::claveArchivos());
}

std::unique_ptr<db::Database> SucursalesTest::Abre(const QString& ruta)
{
    return db::Database::open(ruta, datasetup::claveArchivos());
}

QVariant SucursalesTest::Valor(db::Database& bd, const QString& sql, const QVariantList& p)
{
    return bd.scalar(sql, p).value_or(QVariant());
}

void SucursalesTest::AgregaSucursal(int id, const QString& corto)
{
    auto central = Central();
    ASSERT_TRUE(central);
    sucursales::Sucursal s;
    s.IdSucursal = QString::number(id);
    s.DescripcionC = corto;
    s.DescripcionSuc = QStringLiteral("SUCURSAL ") + corto;
    s.NumTerminales = QStringLiteral("1");
    ASSERT_TRUE(sucursales::AltaSucursal(*central, s, prompts)) << prompts.lastMessage().toStdString();
    ASSERT_TRUE(shell::LeerSucursales());
}

QString SucursalesTest::Ruta(const QString& corto) const { return datasetup::rutaSucursal(dir_.path(), corto); }

QByteArray SucursalesTest::Contenido(const QString& ruta) const
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QPointer<QWidget> SucursalesTest::AbreClientes()
{
    QPointer<QWidget> w = shell::Forma<catalogos::frmClientes>();
    w->show();
    prompts.clear();
    return w;
}

void SucursalesTest::CierraVentana(QPointer<QWidget>& w)
{
    delete w.data();
    EXPECT_TRUE(w.isNull());
}

QString SucursalesTest::ConClientesAbierto()
{
    return QStringLiteral("Cierre las ventanas abiertas antes de continuar: CATALOGO DE CLIENTES.");
}

std::unique_ptr<QProcess> SucursalesTest::Retiene(const QString& ruta)
{
    auto p = std::make_unique<QProcess>();
    p->start(testutil::helperPath(QStringLiteral("branches_holder")), {ruta, datasetup::claveArchivos()});
    EXPECT_TRUE(p->waitForStarted(10000));
    EXPECT_TRUE(p->waitForReadyRead(10000));
    EXPECT_EQ(p->readLine().trimmed(), QByteArray("held"));
    return p;
}

void SucursalesTest::Suelta(QProcess& p)
{
    p.write("\n");
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(10000));
}

}  // namespace suctest
