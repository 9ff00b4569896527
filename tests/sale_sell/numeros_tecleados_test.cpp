// Every field where a person types an amount, a quantity or a percentage, on the sale screen, in the
// payment dialog and in the returns, driven as a person drives it with the same answers: each is
// read by the one number reader and either taken as the number it is or refused with a message.

#include "branches/catalogo.h"
#include "capture_control/ccaptura.h"
#include "cash/forms/frmdevoluciones.h"
#include "cash/movimientos.h"
#include "catalogs/clientes.h"
#include "catalogs/cuentas.h"
#include "catalogs/productos.h"
#include "entorno.h"
#include "sale/forms/frmfacturar.h"
#include "sale/forms/frmventa.h"
#include "sale/lineas.h"
#include "sale/pago.h"
#include "sale/totales.h"
#include "shell/estado.h"
#include "shell/texto.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace venta;
using vendetest::Entorno;

namespace {

const QString kFolder = QStringLiteral("7501000000127");  // FOLDER CARTA, 3.00

QString NoNumero(const char* campo) { return shell::MensajeNumero(QString::fromUtf8(campo)); }
QString Pasa(const char* campo)
{
    return QStringLiteral("El dato de \"%1\" no puede pasar de 9,999,999,999,999.99.").arg(QString::fromUtf8(campo));
}
QString Entero(const char* campo) { return shell::MensajeEntero(QString::fromUtf8(campo)); }
QString Negativo(const char* campo)
{
    return QStringLiteral("El dato de \"%1\" no puede ser negativo.").arg(QString::fromUtf8(campo));
}

TEST(NumerosTecleados, EveryTypedNumberFieldReadsOneWay)
{
    Entorno& e = Entorno::Comun();
    ASSERT_TRUE(e.ok()) << e.error().toStdString();
    e.PreparaPantalla(QStringLiteral("lp-numeros"));
    EstadoGlobal& g = G();
    g.VerDesctoVenta = 1;
    g.MaxDescuentoFact = 20;
    g.PermisosUsuario[39] = true;  // the unit-price key
    g.PermisosUsuario[41] = false;
    g.ModoVenta = QStringLiteral("F");
    ui::ScriptedPrompts prompts;
    frmVenta forma(nullptr, &e.bd(), &prompts);
    forma.show();
    vendetest::Escanea(forma, kFolder);
    ASSERT_EQ(forma.lineas().count(), 1) << prompts.messages().join('|').toStdString();

    // What a field did with an answer: the number it now holds, or the message it gave.
    auto resultado = [&](const std::function<void()>& teclea, const std::function<double()>& valor) {
        const size_t antes = prompts.messages().size();
        teclea();
        const QStringList m = prompts.messages();
        return size_t(m.size()) > antes ? m.back() : QString::number(valor(), 'g', 15);
    };
    auto linea = [&] { return forma.lineas().lineas().front(); };
    // A hot key's prompt answered; the line is put back first so that each answer starts afresh.
    auto tecla = [&](Qt::Key k, const QString& respuesta) {
        forma.lineas().escribe(0, QStringLiteral("Cantidad"), 1.0);
        forma.lineas().escribe(0, QStringLiteral("Descuento"), 0.0);
        forma.lineas().escribe(0, QStringLiteral("PrecioUnit"), 3.0);
        prompts.pushInput(respuesta);
        QTest::keyClick(forma.cajaCodigo, k);
    };

    using Campo = std::function<QString(const QString&)>;
    const Campo descuento = [&](const QString& t) {
        forma.PonDescuento(0);
        forma.capDescuento->setFocus();
        forma.capDescuento->selectAll();
        const QString codigo = forma.capCodigoBarras->Text();
        return resultado(
            [&] {
                QTest::keyClicks(forma.capDescuento, t);
                QTest::keyClick(forma.capDescuento, Qt::Key_Return);
                // Nothing typed after the discount's first characters ends in the code field.
                EXPECT_EQ(forma.capCodigoBarras->Text(), codigo) << t.toStdString();
            },
            [&] { return forma.PorcentajeDescuento(); });
    };
    const Campo cantidad = [&](const QString& t) {
        return resultado([&] { tecla(Qt::Key_F7, t); }, [&] { return linea().cantidad; });
    };
    const Campo descuentoLinea = [&](const QString& t) {
        return resultado([&] { tecla(Qt::Key_F8, t); }, [&] { return linea().descuento; });
    };
    const Campo precio = [&](const QString& t) {
        return resultado([&] { tecla(Qt::Key_F10, t); }, [&] { return linea().precioUnit; });
    };

    struct Fila {
        const char* texto;
        QString descuento, cantidad, descuentoLinea, precio, importe, devolucion;
    };
    const QString maximo = MensajeDescuentoMaximo(20);
    const Fila filas[] = {
        {"5,00", NoNumero("Descuento %"), NoNumero("Cantidad"), NoNumero("Descuento %"), NoNumero("Precio Unitario"),
         NoNumero("Importe"), NoNumero("Cantidad")},
        {"0,500", "0.5", "0.5", "0.5", "0.5", "0.5", "0.5"},
        {"1e3", NoNumero("Descuento %"), NoNumero("Cantidad"), NoNumero("Descuento %"), NoNumero("Precio Unitario"),
         NoNumero("Importe"), NoNumero("Cantidad")},
        {"12abc", NoNumero("Descuento %"), NoNumero("Cantidad"), NoNumero("Descuento %"), NoNumero("Precio Unitario"),
         NoNumero("Importe"), NoNumero("Cantidad")},
        {"-100", Negativo("Descuento %"), Negativo("Cantidad"), Negativo("Descuento %"), Negativo("Precio Unitario"),
         Negativo("Importe"), Negativo("Cantidad")},
        {"150", maximo, "150", QStringLiteral("El dato de \"Descuento %\" no puede pasar de 100."), "150", "150",
         QStringLiteral("Cantidad excede a la de la compra.")},
        {"  12 ", "12", "12", "12", "12", "12", "12"},
        // The largest value the reader keeps to the cent, and the first past it. On the line of
        // one folder (3.00) the largest quantity would take the line past the bound: refused.
        {"9999999999999.99", maximo, MensajeImporteMaximo(),
         QStringLiteral("El dato de \"Descuento %\" no puede pasar de 100."), "9999999999999.99", "9999999999999.99",
         QStringLiteral("Cantidad excede a la de la compra.")},
        {"10000000000000", Pasa("Descuento %"), Pasa("Cantidad"),
         QStringLiteral("El dato de \"Descuento %\" no puede pasar de 100."), Pasa("Precio Unitario"), Pasa("Importe"),
         Pasa("Cantidad")},
    };
    for (const Fila& f : filas) {
        const QString t = QString::fromUtf8(f.texto);
        EXPECT_EQ(descuento(t), f.descuento) << f.texto;
        EXPECT_EQ(cantidad(t), f.cantidad) << f.texto;
        EXPECT_EQ(descuentoLinea(t), f.descuentoLinea) << f.texto;
        EXPECT_EQ(precio(t), f.precio) << f.texto;
    }

    // The payment dialog: each amount typed and added as a payment with the mouse.
    forma.PonDescuento(0);
    forma.lineas().escribe(0, QStringLiteral("Cantidad"), 20.0);
    forma.lineas().escribe(0, QStringLiteral("PrecioUnit"), 3.0);
    g.PagosMultiples = 1;
    g.UsarServidorImp = 1;  // queued: nothing opens a report window
    vendetest::EligeCliente(forma);
    bool visto = false;
    QTimer::singleShot(0, [&] {
        auto* d = forma.findChild<frmFacturar*>();
        ASSERT_NE(d, nullptr);
        visto = true;
        for (const Fila& f : filas) {
            // The bound's rows are the payment's own test below.
            if (QString::fromUtf8(f.texto).size() > 10) continue;
            // The cash payment chosen in the list, then the amount typed into its field.
            d->Combo1->setFocus();
            d->Combo1->setCurrentIndex(0);
            QTest::keyClick(d->Combo1, Qt::Key_Down);
            d->txtcantidadp->setFocus();
            d->txtcantidadp->selectAll();  // typed over what was refused before
            if (d->NumPagos() > 0)
                prompts.pushAnswer(ui::Answer::Yes);  // "Ya existe un pago las mismas propiedades. Continuar ?"
            const QString r = resultado(
                [&] {
                    QTest::keyClicks(d->txtcantidadp, QString::fromUtf8(f.texto));
                    QTest::mouseClick(d->cmdAdd, Qt::LeftButton);
                },
                [&] { return d->modelo().pagos().ImportesPago[size_t(d->NumPagos())]; });
            EXPECT_EQ(r, f.importe) << f.texto;
        }
        EXPECT_EQ(d->NumPagos(), 3);
        prompts.clear();  // the answers the refused amounts never asked for
        QTest::mouseClick(d->cmdCerrar, Qt::LeftButton);
    });
    QTest::mouseClick(forma.cmdFacturar, Qt::LeftButton);
    EXPECT_TRUE(visto);
    EXPECT_EQ(e.Cuenta("SELECT count(*) FROM Venta"), 0);  // the dialog was closed: nothing sold

    // The returns: a ticket of 20 folders, each answer typed at the quantity prompt of Marcar.
    g.PagosMultiples = 0;
    QTest::mouseClick(forma.cmdTicket, Qt::LeftButton);
    const qint64 ticket = e.Valor("SELECT max(Numero) FROM Venta WHERE Tipo = 'T'").toLongLong();
    ASSERT_GT(ticket, 0) << prompts.messages().join('|').toStdString();
    caja::frmDevoluciones devoluciones(nullptr, &e.bd(), &prompts);
    devoluciones.show();
    QTest::keyClicks(devoluciones.capNumero->findChild<QLineEdit*>(), QString::number(ticket));
    QTest::mouseClick(devoluciones.cmdConsultar, Qt::LeftButton);
    ASSERT_EQ(devoluciones.gridDetVentas->model()->rowCount(), 1) << prompts.lastMessage().toStdString();
    for (const Fila& f : filas) {
        const QString r = resultado(
            [&] {
                prompts.pushInput(QString::fromUtf8(f.texto));
                QTest::mouseClick(devoluciones.Command1, Qt::LeftButton);
            },
            [&] {
                const auto& p = devoluciones.devolucion().pendientes();
                return p.empty() ? 0.0 : p.front().Cantidad;
            });
        EXPECT_EQ(r, f.devolucion) << f.texto;
        // Taken back off the list for the next answer.
        if (devoluciones.gridDetDevolucion->model()->rowCount() > 0) {
            devoluciones.gridDetDevolucion->selectRow(0);
            QTest::mouseClick(devoluciones.Command3, Qt::LeftButton);
        }
    }
}

// The bound where cents are exact holds for a line's amount and the document's total, whichever
// field takes them there: the largest quantity, price and discount that fit are taken and shown
// as numbers a person reads, the first that does not is refused with its message, and the stored
// line and the total stay as they were.
TEST(NumerosTecleados, LineAndDocumentTotalsStayWithinTheBound)
{
    Entorno& e = Entorno::Comun();
    ASSERT_TRUE(e.ok()) << e.error().toStdString();
    e.PreparaPantalla(QStringLiteral("lp-limite"));
    EstadoGlobal& g = G();
    g.IncrementoAP = 0;
    g.PermisosUsuario[39] = true;
    g.PermisosUsuario[41] = true;
    g.ModoVenta = QStringLiteral("F");
    ui::ScriptedPrompts prompts;
    frmVenta forma(nullptr, &e.bd(), &prompts);
    forma.show();
    vendetest::Escanea(forma, kFolder);
    vendetest::Escanea(forma, kFolder);
    ASSERT_EQ(forma.lineas().count(), 2) << prompts.messages().join('|').toStdString();
    // The keys act on the current line, the last one scanned.
    const qint64 id = forma.lineas().lineas().back().idLinea;
    auto pon = [&](double cantidad, double precio, double descuento) {
        ASSERT_TRUE(forma.lineas().escribe(1, QStringLiteral("Cantidad"), cantidad));
        ASSERT_TRUE(forma.lineas().escribe(1, QStringLiteral("PrecioUnit"), precio));
        ASSERT_TRUE(forma.lineas().escribe(1, QStringLiteral("Descuento"), descuento));
        forma.cajaCodigo->setFocus();
    };
    struct Fila {
        Qt::Key tecla;
        double cantidad, precio, descuento;  // line 2 before the key; line 1 is one folder, 3.00
        const char* respuesta;
        QString mensaje;    // "" when taken
        const char* celda;  // the quantity cell after the answer
        const char* total;  // the total box after the answer
        double guardado;    // the stored value of the field the key changes
    };
    const QString pasa = MensajeImporteMaximo();
    const Fila filas[] = {
        // F7 on one folder: the largest quantity whose line and total fit, and one more.
        {Qt::Key_F7, 1, 3, 0, "3333333333332", "", "3333333333332", "$ 9,999,999,999,999.00", 3333333333332},
        // The line fits alone, the document does not.
        {Qt::Key_F7, 1, 3, 0, "3333333333333", pasa, "1", "$ 6.00", 1},
        // The line itself passes the bound.
        {Qt::Key_F7, 1, 3, 0, "3333333333334", pasa, "1", "$ 6.00", 1},
        // F10: the largest price with the other line, and a cent more.
        {Qt::Key_F10, 1, 3, 0, "9999999999996.99", "", "1", "$ 9,999,999,999,999.99", 9999999999996.99},
        {Qt::Key_F10, 1, 3, 0, "9999999999997", pasa, "1", "$ 6.00", 3},
        // F8 only lowers an amount: at the largest line the whole range is taken.
        {Qt::Key_F8, 1, 9999999999996.99, 0, "100", "", "1", "$ 3.00", 100},
        {Qt::Key_F8, 1, 9999999999996.99, 50, "0", "", "1", "$ 9,999,999,999,999.99", 0},
    };
    for (const Fila& f : filas) {
        SCOPED_TRACE(f.respuesta);
        pon(f.cantidad, f.precio, f.descuento);
        prompts.clear();
        prompts.pushInput(QString::fromUtf8(f.respuesta));
        QTest::keyClick(forma.cajaCodigo, f.tecla);
        EXPECT_EQ(prompts.messages().isEmpty() ? QString() : prompts.messages().back(), f.mensaje);
        const QAbstractItemModel* m = forma.DBGrid1->model();
        EXPECT_EQ(m->data(m->index(1, ModeloLineas::Cantidad)).toString(), QString::fromUtf8(f.celda));
        EXPECT_EQ(forma.txtTotal->text(), QString::fromUtf8(f.total));
        const char* columna = f.tecla == Qt::Key_F7 ? "Cantidad" : f.tecla == Qt::Key_F10 ? "PrecioUnit" : "Descuento";
        EXPECT_EQ(e.Valor(QStringLiteral("SELECT %1 FROM DetalleVenta WHERE IdLinea = ?").arg(QString::fromLatin1(columna)),
                          {id})
                      .toDouble(),
                  f.guardado);
    }
    // The payment amount: the largest the reader keeps is taken, the first past it refused.
    ModeloPago pago(prompts, [](qint64) { return std::optional<double>(0.0); });
    pago.inicia(ListaFormasPago(G().NombresFormaPago), 9999999999999.99);
    for (const auto& [texto, mensaje] :
         {std::pair{"10000000000000", Pasa("Importe")}, std::pair{"9999999999999.99", QString()}}) {
        prompts.clear();
        pago.escribeImporte(QString::fromUtf8(texto));
        EXPECT_EQ(pago.agrega(), mensaje.isEmpty()) << texto;
        EXPECT_EQ(prompts.messages().isEmpty() ? QString() : prompts.messages().back(), mensaje) << texto;
    }
    EXPECT_EQ(pago.NumPagos(), 1);
    EXPECT_EQ(pago.pagos().ImportesPago[1], 9999999999999.99);
    // The grid never shows a quantity in exponent form.
    EXPECT_EQ(TextoNumeroLinea(1e12), QStringLiteral("1000000000000"));
    EXPECT_EQ(TextoNumeroLinea(0.25), QStringLiteral("0.25"));
    EXPECT_EQ(TextoNumeroLinea(3), QStringLiteral("3"));
}

// The other fields that take a typed number, each through the check its form runs on saving: the
// same mistake gets the same message everywhere, naming the field, and a field that takes whole
// numbers only says so. A cell is the message about the field, "" when the field took the text.
TEST(NumerosTecleados, EveryOtherTypedNumberFieldTellsTheSameMistakeTheSameWay)
{
    Entorno& e = Entorno::Comun();
    ASSERT_TRUE(e.ok()) << e.error().toStdString();
    e.Reinicia();
    // Only what the check says of the field itself: a later check (another field) means it took it.
    auto delCampo = [](const QString& mensaje, const char* campo) {
        return mensaje.contains(QLatin1Char('"') + QString::fromUtf8(campo) + QLatin1Char('"')) ? mensaje : QString();
    };
    using Campo = std::function<QString(const QString&)>;
    const Campo movimiento = [&](const QString& t) {
        caja::NuevoMovimiento m;
        m.importe = t;
        m.descripcion = QStringLiteral("Entrada por Efectivo.");
        m.usuario = 1;
        return delCampo(caja::GuardaMovimiento(e.bd(), m, {}).mensaje, "Importe");
    };
    const Campo terminales = [&](const QString& t) {
        sucursales::Sucursal s{QStringLiteral("SUCURSAL NUEVA"), QStringLiteral("9"), QStringLiteral("Nueva"),
                               QString(), QString(), t, QString()};
        return delCampo(sucursales::ValidaSucursal(e.bd(), s, std::nullopt), "Número terminales");
    };
    const Campo limite = [&](const QString& t) {
        catalogos::Cliente c;
        c.RFC = QStringLiteral("XAXX010101000");
        c.Nombre = QStringLiteral("CLIENTE");
        return delCampo(catalogos::RequeridosCliente(c, t), "MaxCredito");
    };
    const Campo cuenta = [&](const QString& t) {
        catalogos::DatosMovimiento d;
        d.IdCuenta = QStringLiteral("1");
        d.Importe = t;  // the type is left unchosen: nothing is written once the amount is read
        return delCampo(catalogos::GrabarMovimiento(e.bd(), d, true, 0).mensaje, "Importe");
    };
    auto producto = [&](QString catalogos::CamposProducto::*campo, const char* nombre) -> Campo {
        return [&, campo, nombre](const QString& t) {
            catalogos::CamposProducto c;
            c.CodigodeBarras = QStringLiteral("X1");
            c.Existencia = c.PrecioUnit = c.Reorden = QStringLiteral("1");
            c.IVA = QStringLiteral("16");
            c.*campo = t;
            return delCampo(catalogos::ValidaProducto(c, 16).mensaje, nombre);
        };
    };
    const Campo precio = producto(&catalogos::CamposProducto::PrecioUnit, "Precio Unitario");
    const Campo iva = producto(&catalogos::CamposProducto::IVA, "IVA");
    const Campo descuento = producto(&catalogos::CamposProducto::Descuento, "Descuento");

    struct Fila {
        const char* texto;
        QString movimiento, terminales, limite, cuenta, precio, iva, descuento;
    };
    const QString cien = QStringLiteral("El dato de \"%1\" no puede pasar de 100.");
    const Fila filas[] = {
        {"12abc", NoNumero("Importe"), Entero("Número terminales"), NoNumero("MaxCredito"), NoNumero("Importe"),
         NoNumero("Precio Unitario"), Entero("IVA"), NoNumero("Descuento")},
        {"-5", Negativo("Importe"), Negativo("Número terminales"), Negativo("MaxCredito"), Negativo("Importe"),
         Negativo("Precio Unitario"), Negativo("IVA"), Negativo("Descuento")},
        {"2.5", "", Entero("Número terminales"), "", "", "", Entero("IVA"), ""},
        {"1e3", NoNumero("Importe"), Entero("Número terminales"), NoNumero("MaxCredito"), NoNumero("Importe"),
         NoNumero("Precio Unitario"), Entero("IVA"), NoNumero("Descuento")},
        {"5,000", "", "", "", "", "", cien.arg("IVA"), cien.arg("Descuento")},
        {" 16 ", "", "", "", "", "", "", ""},
    };
    for (const Fila& f : filas) {
        const QString t = QString::fromUtf8(f.texto);
        EXPECT_EQ(movimiento(t), f.movimiento) << f.texto;
        EXPECT_EQ(terminales(t), f.terminales) << f.texto;
        EXPECT_EQ(limite(t), f.limite) << f.texto;
        EXPECT_EQ(cuenta(t), f.cuenta) << f.texto;
        EXPECT_EQ(precio(t), f.precio) << f.texto;
        EXPECT_EQ(iva(t), f.iva) << f.texto;
        EXPECT_EQ(descuento(t), f.descuento) << f.texto;
    }
    e.Ejecuta(QStringLiteral("DELETE FROM MovimientosCaja"));
}

}  // namespace
