#include "fixture.h"

#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/sucursal.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const char* kCentral = R"(
CREATE TABLE Sucursales (IdSucursal INTEGER, DescripcionC TEXT, Direccion TEXT, DescripcionSuc TEXT, Telefono TEXT);
CREATE TABLE Vendedores (IdVendedor INTEGER, NombreVendedor TEXT);
CREATE TABLE Empresa (NumSucursales TEXT, Direccion TEXT, RFC TEXT, NombreEmp TEXT, RazonSocial TEXT, RegxFactura TEXT, Credito INTEGER);
CREATE TABLE Monedas (Moneda INTEGER, TipoCambio REAL);
CREATE TABLE Producto (ClaveProducto INTEGER PRIMARY KEY, CodigodeBarras TEXT, Nombre TEXT, PrecioUnit REAL);
INSERT INTO Sucursales VALUES (0, 'Centro', 'Av. Juárez 10[ENTER]Centro', 'Sucursal Centro', '555-0100');
INSERT INTO Sucursales VALUES (11, 'Once', '', 'Fuera de rango', '');
INSERT INTO Vendedores VALUES (0, 'Mostrador'), (3, 'Ana María Guadalupe Ortiz'), (7, 'Luis');
INSERT INTO Empresa VALUES ('1', 'Calle 5 de Mayo 3', 'ABC010101XY9', 'Abarrotes La Esperanza', 'La Esperanza SA de CV', '12 renglones', 1);
INSERT INTO Monedas VALUES (1, 1.0), (2, 17.25);
)";

const char* kSucursal = R"(
CREATE TABLE Parametros (MaxDescuentoFact INTEGER, EspT INTEGER, Driver TEXT, IVA INTEGER, MUbicacion INTEGER,
  Formatoticket INTEGER, PrefijoFact TEXT, UsarServidorImp INTEGER, BDefault INTEGER, TraspasosDir INTEGER,
  CodigosPTicket INTEGER, Printer1 TEXT, Printer2 TEXT, Printer3 TEXT, OpenCDrawer INTEGER, PagosMultiples INTEGER,
  GenAgregar INTEGER, ControlCaja INTEGER, VentasaTicket REAL, CotizacionaTicket REAL, TraspasosaTicket REAL,
  FacturaaTicket REAL, ParTickets INTEGER, ListaPrecioDef INTEGER, NTimesCajon INTEGER, FacturaE TEXT,
  nTimesTicket INTEGER, VerDesctoVenta INTEGER, MDescripcion INTEGER, MNombre INTEGER, EncTicket TEXT, PieTicket TEXT,
  tecla1ticket INTEGER, tecla2ticket INTEGER, tecla3ticket INTEGER, tecla4ticket INTEGER, tecla5ticket INTEGER,
  tecla6ticket INTEGER, MetodoImpresion INTEGER, PreguntaCompVenta INTEGER, PreguntaCompES INTEGER,
  CantidadAuto INTEGER, TFuente INTEGER, IncrementoAP INTEGER, Ajuste INTEGER);
INSERT INTO Parametros VALUES (10, 3, 'winspool', 16, 0, 1, 'A', 0, 2, 0, 1, 'Laser', 'Otra', 'Ticket', 1, 1, 0, 1,
  1, 0, 0, 0, 0, 1, 2, '0', 1, 1, 1, 1, 'ENCABEZADO', 'GRACIAS', 112, 113, 114, 115, 116, 117, 0, 1, 0, 0, 10, 1, 0);
CREATE TABLE MovimientosCaja (IdMovimiento INTEGER PRIMARY KEY, FechaMov TEXT, ImporteMov REAL, TipoMov INTEGER,
  DescripcionMov TEXT, EstatusMov INTEGER, IdCorte INTEGER DEFAULT 0, IdUsuario INTEGER);
CREATE TABLE EInventario (Numero INTEGER UNIQUE, Fecha TEXT, Descripcion TEXT, Aplicado INTEGER, Usuario INTEGER,
  Traspaso INTEGER, sucOrigen INTEGER, sucDestino INTEGER, DescribeMovto INTEGER, Docto TEXT);
CREATE TABLE NotaCredito (Numero INTEGER UNIQUE, Descuento REAL, Fecha TEXT, Total REAL, Empleado INTEGER,
  Terminal INTEGER, Cliente TEXT, IVAP INTEGER, Status INTEGER, FactRef INTEGER, Observaciones TEXT);
CREATE TABLE DNotaCredito (Numero INTEGER, ClaveProducto INTEGER, Cantidad REAL, PrecioUnit REAL, IVA INTEGER,
  Descuento REAL);
)";

void script(db::Database& bd, const char* sql) {
    db::Error e;
    ASSERT_TRUE(bd.execScript(QString::fromUtf8(sql), &e)) << e.message.toStdString();
}

}  // namespace

Carpetas::Carpetas(int terminal, int sucursal, bool conDatos) {
    app = tmp.filePath(QStringLiteral("app"));
    datos = tmp.filePath(QStringLiteral("Datos Tienda"));
    QDir().mkpath(app);
    db::Error e;
    {
        auto d = db::Database::create(app + QStringLiteral("/Direccion.db"), {}, &e);
        EXPECT_TRUE(d) << e.message.toStdString();
        if (d) d->exec(QStringLiteral("CREATE TABLE Dir (Direccion TEXT, Terminal INTEGER, Sucursal INTEGER)"));
    }
    escribeDir(datos, terminal, sucursal);
    if (!conDatos) return;
    QDir().mkpath(datos + QStringLiteral("/Base de datos"));
    {
        auto c = db::Database::create(datos + QStringLiteral("/Base de datos/BDcodigos.db"), QStringLiteral("pastizal"), &e);
        EXPECT_TRUE(c) << e.message.toStdString();
        if (c) script(*c, kCentral);
    }
    creaSucursal(0, QStringLiteral("Centro"));
}

void Carpetas::creaSucursal(int id, const QString& corto) {
    const QString carpeta = datos + QStringLiteral("/Base de datos/Sucursales/") + corto;
    QDir().mkpath(carpeta);
    db::Error e;
    auto s = db::Database::create(carpeta + QStringLiteral("/BDSucursal.db"), QStringLiteral("pastizal"), &e);
    EXPECT_TRUE(s) << e.message.toStdString();
    if (s) script(*s, kSucursal);
    if (id != 0) {
        auto c = central();
        c->exec(QStringLiteral("INSERT INTO Sucursales VALUES (?, ?, '', '', '')"), {id, corto});
    }
}

void Carpetas::escribeDir(const QVariant& direccion, const QVariant& terminal, const QVariant& sucursal) {
    db::Error e;
    auto d = db::Database::open(app + QStringLiteral("/Direccion.db"), QString(), &e);
    ASSERT_TRUE(d) << e.message.toStdString();
    d->exec(QStringLiteral("DELETE FROM Dir"));
    ASSERT_TRUE(d->exec(QStringLiteral("INSERT INTO Dir VALUES (?, ?, ?)"), {direccion, terminal, sucursal}, &e))
        << e.message.toStdString();
}

QString Carpetas::dirDireccion() {
    auto d = db::Database::open(app + QStringLiteral("/Direccion.db"));
    return d ? d->scalar(QStringLiteral("SELECT Direccion FROM Dir")).value_or(QVariant()).toString() : QString();
}

std::unique_ptr<db::Database> Carpetas::central() {
    return db::Database::open(datos + QStringLiteral("/Base de datos/BDcodigos.db"), QStringLiteral("pastizal"));
}

std::unique_ptr<db::Database> Carpetas::sucursal(const QString& corto) {
    db::OpenOptions op;
    op.password = QStringLiteral("pastizal");
    op.attachLinks = false;
    return db::Database::open(datos + QStringLiteral("/Base de datos/Sucursales/") + corto + QStringLiteral("/BDSucursal.db"), op);
}

void Carpetas::parametros(const QVariantMap& valores, const QString& corto) {
    auto s = sucursal(corto);
    ASSERT_TRUE(s);
    for (auto it = valores.begin(); it != valores.end(); ++it) {
        db::Error e;
        ASSERT_TRUE(s->exec(QStringLiteral("UPDATE Parametros SET %1 = ?").arg(it.key()), {it.value()}, &e))
            << e.message.toStdString();
    }
}

void Carpetas::servidorFalso() {
    QDir().mkpath(app + QStringLiteral("/Plovix"));
    QFile f(app + QStringLiteral("/Plovix/tarvex"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("#!/bin/sh\necho \"$TARVEX_HOME\" >> '%1/arranques.txt'\n"
                           "while [ -e '%1/corre' ]; do sleep 0.05; done\n"
                           "echo fin >> '%1/terminados.txt'\n")
                .arg(app)
                .toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
}

int Carpetas::arranquesServidor() {
    // The program runs detached: give it a moment to write.
    for (int i = 0; i < 50; ++i) {
        QFile f(app + QStringLiteral("/arranques.txt"));
        if (f.exists()) {
            QThread::msleep(100);
            f.open(QIODevice::ReadOnly);
            return int(f.readAll().count('\n'));
        }
        QThread::msleep(20);
    }
    return 0;
}

void usaCarpetas(const Carpetas& c) {
    qputenv("QUORVEL_HOME", c.app.toUtf8());
    shell::CierraConexiones();
    ReiniciaEstado();
    shell::ReiniciaAvisos();
    shell::OlvidaServidoresIniciados();
}
