#include "fixture.h"
#include "carpeta_demo.h"

#include "apps/setup/datasetup.h"
#include "platform/db/database.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <cmath>

void DataFolderTest::SetUp() {
    ASSERT_TRUE(tmp.isValid());
    data = tmp.filePath("datos");
    const QString error = testutil::CreaCarpetaDemo(data);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    G().NombreEmp = QString::fromUtf8("PAPELERÍA LA ÚTIL");
    G().RazonSocial = QStringLiteral("PAPELERIA LA UTIL S.A. DE C.V.");
    G().RFCEmpresa = QStringLiteral("PUT010101AA1");
    G().DireccionEmp = QStringLiteral("AV. REFORMA 10, CENTRO");
    G().PorcentajeIVA = 16;
    ui::setDefaultPrompts(&prompts);
    db::Error e;
    ASSERT_NE(shell::BDSucursal(&e), nullptr) << e.message.toStdString();
}

void DataFolderTest::TearDown() {
    ui::setDefaultPrompts(nullptr);
    shell::CierraConexiones();
    ReiniciaEstado();
}

void DataFolderTest::guardaCliente(const QString& rfc, const QString& nombre) {
    db::Database* bd = shell::BDSucursal();
    ASSERT_NE(bd, nullptr);
    db::Error e;
    ASSERT_TRUE(bd->exec(QStringLiteral("INSERT INTO Cliente (RFC, CURP, Nombre, Direccion, Colonia, Ciudad, "
                                        "Estado, CP) VALUES (?, ' ', ?, ?, ?, ?, ?, ?)"),
                         {rfc, nombre, QString::fromUtf8("CALLE O'DONOJÚ 5"), QStringLiteral("LA PAZ"),
                          QStringLiteral("PUEBLA"), QStringLiteral("PUEBLA"), QStringLiteral("72000")},
                         &e))
        << e.message.toStdString();
}

void DataFolderTest::guardaDocumento(qint64 numero, const QString& tipo, const QString& cliente,
                                     const QString& fecha, double descuento,
                                     const std::vector<Linea>& lineas) {
    db::Database* bd = shell::BDSucursal();
    ASSERT_NE(bd, nullptr);
    db::Error e;
    // The total as the sale screen stores it: the lines less the general discount, in cents.
    double suma = 0;
    for (const Linea& l : lineas) suma += l.cantidad * l.precio * (1 - l.descuento / 100);
    const double total = std::round(suma * (1 - descuento / 100) * 100) / 100;
    ASSERT_TRUE(bd->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Cliente, Fecha, Total, Descuento, "
                                        "IVAP) VALUES (?, ?, ?, ?, ?, ?, 16)"),
                         {numero, tipo, cliente, fecha, total, descuento}, &e))
        << e.message.toStdString();
    for (const Linea& l : lineas) {
        const auto clave = bd->scalar(QStringLiteral("SELECT ClaveProducto FROM Producto WHERE CodigodeBarras = ?"),
                                      {l.codigo}, &e);
        ASSERT_TRUE(clave && !clave->isNull()) << l.codigo.toStdString();
        ASSERT_TRUE(bd->exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, "
                                            "Cantidad, PrecioUnit, Descuento, Iva) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                             {numero, tipo, *clave, l.cantidad, l.precio, l.descuento, l.iva ? 1 : 0}, &e))
            << e.message.toStdString();
    }
}
