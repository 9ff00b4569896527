#include "entorno.h"

#include "apps/setup/datasetup.h"
#include "tests/sale/fixture.h"
#include "printing/impresoraticket.h"
#include "sale/forms/frmventa.h"
#include "sale/lineas.h"
#include "shell/conexion.h"
#include "shell/estado.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace vendetest {

void Escanea(venta::frmVenta& forma, const QString& codigo)
{
    QTest::keyClicks(forma.cajaCodigo, codigo);
    QTest::keyClick(forma.cajaCodigo, Qt::Key_Return);
}

void EligeCliente(venta::frmVenta& forma)
{
    forma.TipoSeleccion = 2;
    G().SeleccionCatalogo = QStringLiteral("XAXX010101000;PUBLICO EN GENERAL");
    forma.Activacion();
}

Entorno& Entorno::Comun()
{
    static Entorno* e = new Entorno;
    return *e;
}

Entorno::Entorno()
{
    const auto corto = saletest::CreaCarpetaDatos(dir_.path(), &error_);
    if (!corto)
        return;
    corto_ = *corto;
    if (!datasetup::addDemoCatalogue(dir_.path(), corto_, &error_))
        return;
    ruta_ = datasetup::rutaSucursal(dir_.path(), corto_);
    ok_ = true;
    Reinicia();
    db::Error e;
    auto filas = bd().select(QStringLiteral("SELECT ClaveProducto, Existencia FROM Existencia"), {}, &e);
    if (!filas) {
        ok_ = false;
        error_ = e.message;
        return;
    }
    for (const db::Row& f : *filas)
        existencias_[f.integer(QStringLiteral("ClaveProducto"))] = f.real(QStringLiteral("Existencia"));
}

db::Database& Entorno::bd()
{
    db::Error e;
    db::Database* b = shell::BDSucursal(&e);
    if (!b)
        throw std::runtime_error(("sin archivo de sucursal: " + e.message).toStdString());
    return *b;
}

void Entorno::Reinicia()
{
    ReiniciaEstado();
    EstadoGlobal& g = G();
    g.CarpetaDatos = dir_.path();
    g.SucursalActual = 1;
    g.DescripcionC[1] = corto_;
    g.TerminalActual = 1;
    g.NombreEquipo = QStringLiteral("CAJA1").leftJustified(40);
    g.ClaveUsuario = 1;
    g.UsuarioActual = QStringLiteral("ADMIN");
    g.PermisosUsuario[52] = true;
    g.ModoVenta = QStringLiteral("F");
    g.PorcentajeIVA = 16;
    g.PrefijoFact = QStringLiteral("A");
    g.NombresFormaPago[0] = QStringLiteral("NINGUNA");
    g.NombresFormaPago[1] = QStringLiteral("EFECTIVO");
    g.NombresFormaPago[2] = QStringLiteral("TARJETA DE DEBITO");
    g.NombresFormaPago[3] = QStringLiteral("TARJETA DE CREDITO");
    g.NombresFormaPago[4] = QStringLiteral("NOTA DE CREDITO");
    if (!ok_)
        return;
    for (const char* tabla : {"Venta", "DetalleVenta", "NotaCredito", "MovimientosCaja", "Solicitafolios"})
        Ejecuta(QStringLiteral("DELETE FROM ") + QLatin1String(tabla));
    Ejecuta(QStringLiteral("UPDATE Folios SET ValorFolio = 0"));
    QStringList conocidas;
    for (const auto& [clave, existencia] : existencias_) {
        Ejecuta(QStringLiteral("UPDATE Existencia SET Existencia = ? WHERE ClaveProducto = ?"),
                {existencia, clave});
        conocidas << QString::number(clave);
    }
    if (!conocidas.isEmpty())  // rows a sale created for products that had none
        Ejecuta(QStringLiteral("DELETE FROM Existencia WHERE ClaveProducto NOT IN (%1)").arg(conocidas.join(',')));
}

void Entorno::PreparaPantalla(const QString& puerto)
{
    Reinicia();
    EstadoGlobal& g = G();
    g.BDefault = 1;
    g.TFuente = 9;
    g.PuertoTicket = dir_.path() + QLatin1Char('/') + puerto;
    g.CodigosPTicket = 1;
    QFile::remove(g.PuertoTicket);
    EstableceImpresoraActual(QString());
}

std::vector<qint64> Entorno::Claves()
{
    std::vector<qint64> claves;
    db::Error e;
    auto filas = bd().select(QStringLiteral("SELECT ClaveProducto FROM Producto WHERE Nombre <> 'VARIOS' ORDER BY ClaveProducto"), {}, &e);
    if (filas)
        for (const db::Row& f : *filas)
            claves.push_back(f.integer(QStringLiteral("ClaveProducto")));
    return claves;
}

qint64 Entorno::Linea(qint64 clave, double cantidad, double precio)
{
    if (precio == 0)
        precio = Valor(QStringLiteral("SELECT PrecioUnit FROM Producto WHERE ClaveProducto = ?"), {clave}).toDouble();
    const int iva = Valor(QStringLiteral("SELECT IVA FROM Producto WHERE ClaveProducto = ?"), {clave}).toInt();
    Ejecuta(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit, "
                           "Descuento, Iva, Terminal) VALUES (0, 'T', ?, ?, ?, 0, ?, 'CAJA1')"),
            {clave, cantidad, precio, iva != 0 ? 1 : 0});
    return bd().lastInsertId();
}

venta::VentaEnPantalla Entorno::Venta(const std::vector<qint64>& ids, const QString& cliente)
{
    venta::LineasVenta lineas(&bd());
    lineas.adopta(QList<qint64>(ids.begin(), ids.end()));
    db::Error e;
    EXPECT_TRUE(lineas.recarga(&e)) << e.message.toStdString();
    venta::VentaEnPantalla v;
    v.modo = QStringLiteral("F");
    v.clienteVenta = QStringLiteral("PUBLICO EN GENERAL");
    v.clienteDocumento = cliente;
    for (const venta::Linea& l : lineas.lineas()) {
        v.ids.push_back(l.idLinea);
        v.nombres.push_back(l.nombre);
    }
    v.totales = lineas.paraTotales();
    v.totalVenta = venta::CalculaTotal(v.totales, 0, 0, 0).total;
    return v;
}

void Entorno::NotaCredito(qint64 numero, double total, int status)
{
    Ejecuta(QStringLiteral("INSERT INTO NotaCredito (Numero, Total, Status, Cliente) VALUES (?, ?, ?, 'XAXX010101000')"),
            {numero, total, status});
}

double Entorno::Existencia(qint64 clave)
{
    return Valor(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = ?"), {clave}).toDouble();
}

double Entorno::ExistenciaInicial(qint64 clave) const
{
    auto it = existencias_.find(clave);
    return it == existencias_.end() ? 0 : it->second;
}

QVariant Entorno::Valor(const QString& sql, const QVariantList& params)
{
    db::Error e;
    auto v = bd().scalar(sql, params, &e);
    EXPECT_TRUE(e.ok()) << sql.toStdString() << ": " << e.message.toStdString();
    return v.value_or(QVariant());
}

qint64 Entorno::Cuenta(const QString& sql, const QVariantList& params)
{
    return Valor(sql, params).toLongLong();
}

void Entorno::Ejecuta(const QString& sql, const QVariantList& params)
{
    db::Error e;
    EXPECT_TRUE(bd().exec(sql, params, &e)) << sql.toStdString() << ": " << e.message.toStdString();
}

}  // namespace vendetest
