#include "carpeta_prueba.h"

#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/menuprincipal.h"

namespace catalogtest {

CarpetaPrueba::CarpetaPrueba(bool demo)
{
    datasetup::Options o;
    o.dataFolder = dir.path();
    o.demo = demo;
    QString error;
    if (!datasetup::createDataFolder(o, &error))
        return;
    central = db::Database::open(datasetup::rutaBDCodigos(dir.path()), datasetup::claveArchivos());
    if (!central)
        return;
    corto = central->scalar(QStringLiteral("SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))
                ->toString();
    sucursal = db::Database::open(datasetup::rutaSucursal(dir.path(), corto), datasetup::claveArchivos());
    ReiniciaEstado();
    EstadoGlobal& g = G();
    g.CarpetaDatos = dir.path();
    g.SucursalActual = 1;
    g.DescripcionC[1] = corto;
    g.NumSucursales = QStringLiteral("1");
    g.TerminalActual = 1;
    g.NombreEquipo = QStringLiteral("CAJA1").leftJustified(40);
    g.ClaveUsuario = 1;
    g.UsuarioActual = QStringLiteral("ANA");
    g.PorcentajeIVA = 16;
    g.BDefault = 1;
    ui::setDefaultPrompts(&prompts);
    ok = sucursal != nullptr;
}

CarpetaPrueba::~CarpetaPrueba()
{
    shell::OlvidaAbridores();
    ui::setDefaultPrompts(nullptr);
    sucursal.reset();
    central.reset();
    shell::CierraConexiones();
}

bool CarpetaPrueba::AgregaSucursal(int numero, const QString& nombre)
{
    QString error;
    if (!datasetup::createBranch(dir.path(), nombre, numero, &error))
        return false;
    G().DescripcionC[size_t(numero)] = nombre;
    return true;
}

}  // namespace catalogtest
