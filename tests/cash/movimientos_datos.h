#pragma once
// A data folder made by the setup tool (demo catalogue, branch 1) as the program's current branch,
// with the logged-in administrator, scripted prompts and helpers that store sales and movements.

#include "apps/setup/datasetup.h"
#include "cash/movimientos.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DatosCaja : public ::testing::Test {
protected:
    void SetUp() override
    {
        datasetup::Options o;
        o.dataFolder = dir.path();
        o.demo = true;
        QString error;
        ASSERT_TRUE(datasetup::createDataFolder(o, &error)) << error.toStdString();
        auto central = db::Database::open(datasetup::rutaBDCodigos(o.dataFolder), datasetup::claveArchivos());
        ASSERT_TRUE(central);
        corto = central->scalar(QStringLiteral("SELECT DescripcionC FROM Sucursales WHERE IdSucursal = 1"))->toString();
        central.reset();

        ReiniciaEstado();
        EstadoGlobal& g = G();
        g.CarpetaDatos = dir.path();
        g.SucursalActual = 1;
        g.DescripcionC[1] = corto;
        g.TerminalActual = 1;
        g.NombreEquipo = QStringLiteral("CAJA1").leftJustified(40);
        g.ClaveUsuario = 1;
        for (int p : {19, 20, 45}) g.PermisosUsuario[size_t(p)] = true;
        ui::setDefaultPrompts(&prompts);
        ASSERT_NE(bd(), nullptr);
    }
    void TearDown() override
    {
        ui::setDefaultPrompts(nullptr);
        shell::CierraConexiones();
    }

    db::Database* bd() { return shell::BDSucursal(); }
    // Another terminal's handle on the same branch file.
    std::unique_ptr<db::Database> OtraTerminal()
    {
        db::OpenOptions op;
        op.password = datasetup::claveArchivos();
        op.centralPath = datasetup::rutaBDCodigos(dir.path());
        return db::Database::open(datasetup::rutaSucursal(dir.path(), corto), op);
    }
    QVariant Valor(const QString& sql, const QVariantList& p = {})
    {
        return bd()->scalar(sql, p).value_or(QVariant());
    }
    void Movimiento(int id, int tipo, double importe, int estatus = 1, int corte = 0, int usuario = 1,
                    const QString& descripcion = QStringLiteral("MOV"), const QString& fecha = QStringLiteral("2026-12-09 10:00:00"))
    {
        ASSERT_TRUE(bd()->exec(QStringLiteral("INSERT INTO MovimientosCaja (IdMovimiento, FechaMov, ImporteMov, TipoMov, "
                                              "DescripcionMov, EstatusMov, IdCorte, IdUsuario) VALUES (?,?,?,?,?,?,?,?)"),
                               {id, fecha, importe, tipo, descripcion, estatus, corte, usuario}));
    }

    QTemporaryDir dir;
    QString corto;
    ui::ScriptedPrompts prompts;
};

}  // namespace

namespace {

// A stored sale with one line of the demo's first product (unless `lineas` is 0).
inline void GuardaVenta(db::Database& bd, qint64 numero, const QString& tipo, const QString& fecha, double total,
                        int status = 1, qint64 corte = 0, int lineas = 1)
{
    ASSERT_TRUE(bd.exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Fecha, Total, Status, IdCorte, Cliente) "
                                       "VALUES (?,?,?,?,?,?, 'XAXX010101000')"),
                        {numero, tipo, fecha, total, status, corte}));
    for (int i = 0; i < lineas; ++i)
        ASSERT_TRUE(bd.exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit) "
                                           "SELECT ?, ?, MIN(ClaveProducto), 1, ? FROM Producto"),
                            {numero, tipo, total / lineas}));
}

}  // namespace
