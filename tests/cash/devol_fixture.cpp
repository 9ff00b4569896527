#include "devol_fixture.h"
#include "carpeta_demo.h"

#include "apps/setup/datasetup.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/texto.h"

void PosventaTest::SetUp() {
    ASSERT_TRUE(tmp.isValid());
    data = tmp.filePath(QStringLiteral("datos"));
    const QString error = testutil::CreaCarpetaDemo(data);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EstadoGlobal& g = G();
    g.DescripcionSuc[1] = QStringLiteral("MATRIZ");
    g.DireccionSuc[1] = QStringLiteral("AV. JUAREZ 12[ENTER]CENTRO");
    g.TelefonoSuc[1] = QStringLiteral("555-1234");
    g.NombreEmp = QStringLiteral("MI NEGOCIO");
    g.RFCEmpresa = QStringLiteral("XAXX010101000");
    g.PorcentajeIVA = 16;
    g.TerminalActual = 2;
    g.ClaveUsuario = 1;
    g.NombreEquipo = QStringLiteral("CAJA1").leftJustified(40);
    ui::setDefaultPrompts(&prompts);
    espera.serveEvents = false;
    espera.timeoutMs = 2000;

    db::Error e;
    ASSERT_NE(shell::BDSucursal(&e), nullptr) << e.message.toStdString();
    auto filas = bd().select(QStringLiteral(
        "SELECT ClaveProducto FROM Producto WHERE Nombre <> 'VARIOS' ORDER BY ClaveProducto LIMIT 4"));
    ASSERT_TRUE(filas && filas->size() == 4);
    for (const auto& f : *filas) claves_.push_back(f.integer(QStringLiteral("ClaveProducto")));
    for (qint64 c : claves_)
        ASSERT_TRUE(bd().exec(QStringLiteral("INSERT OR REPLACE INTO Existencia (ClaveProducto, Existencia) VALUES (?, 100)"), {c}));
}

void PosventaTest::TearDown() {
    ui::setDefaultPrompts(nullptr);
    shell::CierraConexiones();
    ReiniciaEstado();
}

db::Database& PosventaTest::bd() { return *shell::BDSucursal(); }

void PosventaTest::vende(qint64 numero, const QString& tipo, const std::vector<LineaPrueba>& lineas,
                         double descuento, int status, const QString& cliente) {
    double total = 0;
    for (const LineaPrueba& l : lineas) {
        ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                                             "PrecioUnit, Descuento, Iva) VALUES (?, ?, ?, ?, ?, ?, 1)"),
                              {numero, tipo, clave(l.producto), l.cantidad, l.precio, l.descuento}));
        ASSERT_TRUE(bd().exec(QStringLiteral("UPDATE Existencia SET Existencia = Existencia - ? WHERE ClaveProducto = ?"),
                              {l.cantidad, clave(l.producto)}));
        total += l.cantidad * l.precio * (1 - l.descuento / 100.0);
    }
    ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente, Fecha, Total, Descuento, IVAP, Status) "
                                         "VALUES (?, ?, ?, '2026-12-09 10:30:00', ?, ?, 16, ?)"),
                          {numero, tipo, cliente, shell::Redondea(total * (1 - descuento / 100.0), 2), descuento, status}));
}

void PosventaTest::devolucionAnterior(const QString& docto, int producto, double cantidad, int linea) {
    const qint64 n = cuenta(QStringLiteral("SELECT COALESCE(MAX(Numero), 0) + 1 FROM EInventario"));
    ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO EInventario (Numero, Fecha, Descripcion, Usuario, DescribeMovto, Docto) "
                                         "VALUES (?, '2026-12-09 11:00:00', 'Devolucion:ANTES', 1, 12, ?)"),
                          {n, docto}));
    ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO DEInventario (Numero, ClaveProducto, Cantidad, PUnitario, OrdenCap) "
                                         "VALUES (?, ?, ?, 10, ?)"),
                          {n, clave(producto), cantidad, linea}));
}

double PosventaTest::existencia(int producto) {
    return valor(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = ?"), {clave(producto)}).toDouble();
}

qint64 PosventaTest::cuenta(const QString& sql, const QVariantList& params) { return valor(sql, params).toLongLong(); }

QVariant PosventaTest::valor(const QString& sql, const QVariantList& params) {
    db::Error e;
    auto v = bd().scalar(sql, params, &e);
    EXPECT_TRUE(v.has_value()) << e.message.toStdString();
    return v ? *v : QVariant();
}

void PosventaTest::fallaAlInsertar(const QString& tabla) {
    db::Error e;
    ASSERT_TRUE(bd().exec(QStringLiteral("CREATE TRIGGER falla_%1 BEFORE INSERT ON %1 BEGIN "
                                         "SELECT RAISE(ABORT, 'disco lleno'); END").arg(tabla), {}, &e))
        << e.message.toStdString();
}
