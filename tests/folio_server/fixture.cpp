#include "fixture.h"

#include "apps/setup/datasetup.h"

#include <QDir>

void ServidorTest::SetUp() {
    ASSERT_TRUE(tmp.isValid());
    app = tmp.filePath("app");
    data = tmp.filePath("datos");
    datasetup::Options o;
    o.appFolder = app;
    o.dataFolder = data;
    o.demo = true;
    const datasetup::Result r = datasetup::run(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    db::OpenOptions oo;
    oo.password = datasetup::claveArchivos();
    oo.centralPath = datasetup::rutaBDCodigos(data);
    db::Error e;
    bd = db::Database::open(datasetup::rutaSucursal(data, "Matriz"), oo, &e);
    ASSERT_TRUE(bd) << e.message.toStdString();
}

void ServidorTest::agregaSucursal2() {
    auto central = db::Database::open(datasetup::rutaBDCodigos(data), datasetup::claveArchivos());
    ASSERT_TRUE(central);
    ASSERT_TRUE(central->exec("INSERT INTO Sucursales (IdSucursal, DescripcionSuc, DescripcionC) "
                              "VALUES (2, 'SUCURSAL NORTE', 'Norte')"));
    central.reset();
    QString error;
    ASSERT_TRUE(datasetup::createBranch(data, "Norte", 2, &error)) << error.toStdString();
}

QString ServidorTest::otraCarpetaDatos() {
    datasetup::Options o;
    o.dataFolder = tmp.filePath("otros datos");
    const datasetup::Result r = datasetup::run(o);
    EXPECT_TRUE(r.ok) << r.message.toStdString();
    return o.dataFolder;
}

void ServidorTest::encola(int codigo, qint64 numero) {
    db::Error e;
    ASSERT_TRUE(bd->exec("INSERT INTO Solicitafolios (FolioSolicita, valordev, Terminal) VALUES (?, ?, 1)",
                         {codigo, numero}, &e))
        << e.message.toStdString();
}

std::vector<std::pair<int, qint64>> ServidorTest::cola() {
    std::vector<std::pair<int, qint64>> v;
    const auto filas = bd->select("SELECT FolioSolicita, valordev FROM Solicitafolios "
                                  "ORDER BY FolioSolicita, valordev");
    EXPECT_TRUE(filas.has_value());
    if (filas)
        for (const db::Row& r : *filas)
            v.emplace_back(static_cast<int>(r.integer("FolioSolicita")), r.integer("valordev"));
    return v;
}

void ServidorTest::guardaFactura(qint64 numero, const QString& cliente) {
    db::Error e;
    ASSERT_TRUE(bd->exec("INSERT INTO Venta (Numero, Tipo, Sucursal, Terminal, Cliente, Fecha, Total, IVAP) "
                         "VALUES (?, 'F', 1, 1, ?, '2026-12-09 10:30:00', 116, 16)",
                         {numero, cliente}, &e))
        << e.message.toStdString();
    ASSERT_TRUE(bd->exec("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, Iva) "
                         "VALUES (?, 'F', (SELECT MIN(ClaveProducto) FROM Producto), 2, 58, 16)",
                         {numero}, &e))
        << e.message.toStdString();
}
