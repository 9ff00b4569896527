#include "fixture.h"
#include "carpeta_demo.h"

#include "apps/setup/datasetup.h"
#include "shell/conexion.h"
#include "shell/estado.h"

void Docs2Test::SetUp() {
    ASSERT_TRUE(tmp.isValid());
    data = tmp.filePath(QStringLiteral("datos"));
    const QString error = testutil::CreaCarpetaDemo(data);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EstadoGlobal& g = G();
    g.DescripcionSuc[1] = QStringLiteral("MATRIZ");
    g.DireccionSuc[1] = QStringLiteral("AV. JUÁREZ 12");
    g.NombreEmp = QStringLiteral("MI NEGOCIO");
    g.RFCEmpresa = QStringLiteral("XAXX010101000");
    g.PorcentajeIVA = 16;
    g.TerminalActual = 2;
    g.ClaveUsuario = 1;
    ui::setDefaultPrompts(&prompts);
    espera.serveEvents = false;
    espera.timeoutMs = 2000;

    db::Error e;
    ASSERT_NE(shell::BDSucursal(&e), nullptr) << e.message.toStdString();
    ASSERT_NE(shell::BDCodigos(&e), nullptr) << e.message.toStdString();
    auto filas = bd().select(QStringLiteral("SELECT ClaveProducto FROM Producto ORDER BY ClaveProducto LIMIT 4"));
    ASSERT_TRUE(filas && filas->size() == 4);
    for (const auto& f : *filas) claves_.push_back(f.integer(QStringLiteral("ClaveProducto")));
    for (qint64 c : claves_)
        ASSERT_TRUE(bd().exec(QStringLiteral("INSERT OR REPLACE INTO Existencia (ClaveProducto, Existencia) VALUES (?, 100)"), {c}));
}

void Docs2Test::TearDown() {
    ui::setDefaultPrompts(nullptr);
    shell::CierraConexiones();
    ReiniciaEstado();
}

qint64 Docs2Test::quedan(const std::vector<qint64>& ids) {
    qint64 n = 0;
    for (qint64 id : ids) n += cuenta(QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE IdLinea = ?"), {id});
    return n;
}

db::Database& Docs2Test::bd() { return *shell::BDSucursal(); }
db::Database& Docs2Test::central() { return *shell::BDCodigos(); }

qint64 Docs2Test::linea(qint64 clave, double cantidad, double precio, const QString& observacion) {
    db::Error e;
    EXPECT_TRUE(bd().exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                                         "PrecioUnit, Iva, Terminal, Observacion) VALUES (0, 'T', ?, ?, ?, 1, 'PRUEBA', ?)"),
                          {clave, cantidad, precio, observacion}, &e))
        << e.message.toStdString();
    return bd().lastInsertId();
}

double Docs2Test::existencia(qint64 clave) {
    return valor(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = ?"), {clave}).toDouble();
}

qint64 Docs2Test::cuenta(const QString& sql, const QVariantList& params) {
    return valor(sql, params).toLongLong();
}

QVariant Docs2Test::valor(const QString& sql, const QVariantList& params) {
    db::Error e;
    auto v = bd().scalar(sql, params, &e);
    EXPECT_TRUE(v.has_value()) << e.message.toStdString();
    return v ? *v : QVariant();
}

void Docs2Test::fallaAlInsertar(const QString& tabla) {
    db::Error e;
    ASSERT_TRUE(bd().exec(QStringLiteral("CREATE TRIGGER falla_%1 BEFORE INSERT ON %1 BEGIN "
                                         "SELECT RAISE(ABORT, 'disco lleno'); END").arg(tabla),
                          {}, &e))
        << e.message.toStdString();
}
