// One whole day of a shop on a demo data folder, through the real save paths of the counter and the
// back office: the opening fund, tickets and invoices, a credit note spent at the counter, returns,
// a cancelled ticket, a deleted invoice, the day invoice, an inventory entry, a transfer to a second
// branch and the cash cut. Every expected figure below is worked out by hand from the day's events.

#include "admin/consola.h"
#include "apps/setup/datasetup.h"
#include "ataques_sql.h"
#include "carpeta_demo.h"
#include "branches/catalogo.h"
#include "branches/forms/frmtraspasos.h"
#include "capture_control/ccaptura.h"
#include "cash/cancelacion.h"
#include "cash/corte.h"
#include "cash/corte_impresion.h"
#include "cash/devolucion_guardado.h"
#include "cash/facturadia.h"
#include "cash/movimientos.h"
#include "branches/intercambio.h"
#include "cash/forms/frmdevoluciones.h"
#include "cash/forms/frmmovcaja.h"
#include "platform/db/script.h"
#include "platform/ui/filechooser.h"
#include "printing/envio.h"
#include "printing/reportes_ventas.h"
#include "printing/textoticket.h"
#include "printing/ventasdiaticket.h"
#include "sale/cierre_ticket.h"
#include "sale/forms/frmventa.h"
#include "sale/inventario_es.h"
#include "sale/lineas.h"
#include "sale/pago.h"
#include "sale/venta_factura.h"
#include "shell/arranque.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/sucursal.h"
#include "branches/sincronizar.h"
#include "testutil.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Demo articles of the day: barcode, price.
const QString PLUMA = QStringLiteral("7501000000028");    // 8.00, 120 in stock
const QString LAPIZ = QStringLiteral("7501000000042");    // 5.50, 200
const QString COLORES = QStringLiteral("7501000000103");  // 45.00, 30
const QString AGUA = QStringLiteral("7501000000172");     // 12.00, 48, tax exempt

const QString MARIA = QStringLiteral("MARIA GONZALEZ MARTINEZ");
const QString RFC_MARIA = QStringLiteral("GOMA800101AB1");
const QString PUBLICO = QStringLiteral("PUBLICO EN GENERAL");
const QString RFC_PUBLICO = QStringLiteral("XAXX010101000");

using Lineas = std::vector<std::pair<QString, double>>;  // (barcode, quantity)

qint64 Centavos(double pesos) { return qRound64(pesos * 100); }

class DiaTiendaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        datasetup::Options o;  // the folder's paths
        o.dataFolder = tmp_.filePath(QStringLiteral("datos"));
        const QString error = testutil::CreaCarpetaDemo(o.dataFolder);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        EstadoGlobal& g = G();
        ui::setDefaultPrompts(&prompts);
        ui::setDefaultFileChooser(&chooser);
        ASSERT_TRUE(shell::LeerSucursales());
        ASSERT_TRUE(shell::EstableceSucursal()) << prompts.lastMessage().toStdString();
        auto central = db::Database::open(datasetup::rutaBDCodigos(o.dataFolder), datasetup::claveArchivos());
        sucursales::Sucursal norte;
        norte.IdSucursal = QStringLiteral("2");
        norte.DescripcionC = QStringLiteral("Norte");
        norte.DescripcionSuc = QStringLiteral("SUCURSAL NORTE");
        norte.NumTerminales = QStringLiteral("1");
        ASSERT_TRUE(sucursales::AltaSucursal(*central, norte, prompts)) << prompts.lastMessage().toStdString();
        ASSERT_TRUE(shell::LeerSucursales());
        rutaNorte_ = datasetup::rutaSucursal(o.dataFolder, QStringLiteral("Norte"));

        g.TerminalActual = 1;
        g.NombreEquipo = QStringLiteral("CAJA1").leftJustified(40);
        g.ClaveUsuario = 1;
        g.UsuarioActual = QStringLiteral("ADMIN");
        g.PermisosUsuario[19] = true;
        g.PermisosUsuario[40] = true;  // returns
        g.PermisosUsuario[52] = true;
        g.ModoVenta = QStringLiteral("F");
        g.FacturaE = false;
        g.RegxFactura = 0;
        g.PagosMultiples = 0;
        g.PreguntaCompVenta = 0;
        g.PreguntaCompES = 0;
        g.UsarServidorImp = 0;
        g.TraspasosDir = 1;
        g.ControlCaja = 1;
        espera.serveEvents = false;
        espera.timeoutMs = 2000;
        // Vouchers go to a printer object that only keeps the text.
        EstableceSalidaImpresor([this](const QString& texto, int) {
            impreso << texto;
            return print::Resultado{true, {}};
        });
        prompts.clear();
    }
    void TearDown() override
    {
        EstableceSalidaImpresor(nullptr);
        ui::setDefaultPrompts(nullptr);
        ui::setDefaultFileChooser(nullptr);
        shell::CierraConexiones();
        db::Database::closeAll(rutaNorte_);
        ReiniciaEstado();
    }

    db::Database& bd() { return *shell::BDSucursal(); }
    QVariant Valor(db::Database& b, const QString& sql, const QVariantList& p = {})
    {
        db::Error e;
        auto v = b.scalar(sql, p, &e);
        EXPECT_TRUE(v.has_value()) << sql.toStdString() << ": " << e.message.toStdString();
        return v.value_or(QVariant());
    }
    QVariant Valor(const QString& sql, const QVariantList& p = {}) { return Valor(bd(), sql, p); }
    qint64 Clave(const QString& codigo)
    {
        return Valor(QStringLiteral("SELECT ClaveProducto FROM Producto WHERE CodigodeBarras = ?"), {codigo}).toLongLong();
    }
    double Existencia(db::Database& b, const QString& codigo)
    {
        return Valor(b, QStringLiteral("SELECT COALESCE(SUM(Existencia), 0) FROM Existencia WHERE ClaveProducto = ?"),
                     {Clave(codigo)}).toDouble();
    }

    // The lines captured on a sale screen, as the product field takes each barcode.
    std::vector<qint64> Captura(venta::LineasVenta& pantalla, const Lineas& lineas)
    {
        venta::ParametrosLinea par;
        par.tipoDocumento = QStringLiteral("T");
        par.terminal = G().NombreEquipo;
        par.espera = espera;
        std::vector<qint64> ids;
        for (const auto& [codigo, cantidad] : lineas) {
            auto producto = venta::BuscaPorCodigo(bd(), codigo);
            EXPECT_TRUE(producto.has_value()) << codigo.toStdString();
            if (!producto) continue;
            const int i = pantalla.agrega(*producto, par);
            EXPECT_GE(i, 0);
            EXPECT_TRUE(pantalla.escribe(i, QStringLiteral("Cantidad"), cantidad));
            ids.push_back(pantalla.lineas().at(size_t(i)).idLinea);
        }
        EXPECT_TRUE(pantalla.recarga());
        return ids;
    }
    venta::VentaEnPantalla Pantalla(const Lineas& lineas, const QString& cliente, const QString& rfc,
                                    const std::function<void(venta::LineasVenta&)>& ajusta = {})
    {
        venta::LineasVenta pantalla(&bd());
        Captura(pantalla, lineas);
        if (ajusta) ajusta(pantalla);
        venta::VentaEnPantalla v;
        v.modo = QStringLiteral("F");
        v.clienteVenta = cliente;
        v.clienteDocumento = rfc;
        for (const venta::Linea& l : pantalla.lineas()) {
            v.ids.push_back(l.idLinea);
            v.nombres.push_back(l.nombre);
        }
        v.totales = pantalla.paraTotales();
        v.totalVenta = venta::CalculaTotal(v.totales, 0, 0, 0).total;
        return v;
    }
    venta::AccionesCierre Acciones()
    {
        venta::AccionesCierre a;
        a.prompts = &prompts;
        a.espera = espera;
        a.imprimeTicket = [](qint64) { return true; };
        a.imprimeFactura = [](qint64) { return true; };
        return a;
    }
    // A ticket closed at the counter; `total` is what the screen must show for it.
    qint64 Ticket(const Lineas& lineas, double total, const QString& cliente = PUBLICO,
                  const QString& rfc = RFC_PUBLICO, std::function<bool()> dialogoPago = {})
    {
        const venta::VentaEnPantalla v = Pantalla(lineas, cliente, rfc);
        EXPECT_EQ(Centavos(v.totalVenta), Centavos(total));
        venta::AccionesCierre a = Acciones();
        a.dialogoPago = std::move(dialogoPago);
        G().PagosMultiples = a.dialogoPago ? 1 : 0;
        const venta::ResultadoCierre r = venta::Facturar(bd(), v, a);
        EXPECT_TRUE(r.guardado) << prompts.messages().join(u'|').toStdString();
        venta::LimpiaPagoVenta();
        return r.NumeroDocumento();
    }
    qint64 Factura(const Lineas& lineas, double total, const QString& cliente, const QString& rfc)
    {
        const venta::VentaEnPantalla v = Pantalla(lineas, cliente, rfc);
        EXPECT_EQ(Centavos(v.totalVenta), Centavos(total));
        venta::AccionesCierre a = Acciones();
        const venta::ResultadoCierre r = venta::VendeFactura(bd(), v, sale::TipoFactura, a);
        EXPECT_TRUE(r.guardado) << prompts.messages().join(u'|').toStdString();
        venta::LimpiaPagoVenta();
        return r.NumeroDocumento();
    }
    // A return of `cantidad` of one product of a sold document; the credit note's number (0 for cash).
    qint64 Devuelve(const QString& letra, qint64 numero, const QString& codigo, double cantidad,
                    caja::TipoDevolucion tipo)
    {
        caja::Devolucion dev;
        EXPECT_EQ(dev.ConsultaVenta(bd(), letra, QString::number(numero), prompts), caja::ResultadoConsulta::Encontrada);
        int indice = -1;
        for (size_t i = 0; i < dev.lineas().size(); ++i)
            if (dev.lineas()[i].ClaveProducto == Clave(codigo)) indice = int(i);
        EXPECT_TRUE(dev.AgregaLineaDevolucion(indice, cantidad, prompts));
        EXPECT_TRUE(caja::cmdGuardar(bd(), dev, tipo, QStringLiteral("CLIENTE"), prompts, espera))
            << prompts.messages().join(u'|').toStdString();
        return dev.NumeroNota;
    }

    // The lines captured on the inventory screen and sent to the Norte branch, booked straight
    // into its file.
    void TraspasaANorte(const Lineas& lineas)
    {
        QPointer<venta::frmVenta> inventario = venta::AbreVenta(nullptr, QStringLiteral("E"), &prompts);
        ASSERT_TRUE(inventario);
        Captura(inventario->lineas(), lineas);
        sucursales::frmTraspasos f(nullptr, &prompts, &chooser);
        prompts.clear();
        f.Combo1->setCurrentIndex(f.Combo1->findData(2));
        prompts.pushAnswer(ui::Answer::Yes);
        QTest::mouseClick(f.cmdGenerar, Qt::LeftButton);
        EXPECT_EQ(prompts.messages().count(QStringLiteral("La Entrada/Salida a inventario se realizó con éxito.")), 2)
            << prompts.messages().join(u'|').toStdString();
        if (inventario) inventario->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QStringList impreso;  // what went to the printer object
    QTemporaryDir tmp_;
    QString rutaNorte_;
    ui::ScriptedPrompts prompts;
    ui::ScriptedFileChooser chooser;
    db::LockWait espera;
};

TEST_F(DiaTiendaTest, EveryDocumentOfTheDayCountsOnceInCutReportsAndStock)
{
    // --- Opening fund: typed into the cash movements form ---------------------------------------
    {
        caja::frmMovCaja forma(nullptr, &prompts);
        forma.show();
        QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
        QLineEdit* importe = forma.capImporte->findChild<QLineEdit*>();
        importe->selectAll();
        QTest::keyClick(importe, Qt::Key_Delete);
        QTest::keyClicks(importe, QStringLiteral("500.00"));
        QTest::mouseClick(forma.cmdAgregar, Qt::LeftButton);
        EXPECT_EQ(forma.lblSaldo->text(), QStringLiteral("500.00")) << prompts.messages().join(u'|').toStdString();
    }

    // --- Sales ----------------------------------------------------------------------------------
    const qint64 t1 = Ticket({{PLUMA, 3}, {COLORES, 1}}, 69.00, MARIA, RFC_MARIA);  // 24 + 45
    const qint64 t2 = Ticket({{LAPIZ, 4}, {AGUA, 2}}, 46.00);                       // 22 + 24
    const qint64 t3 = Ticket({{COLORES, 2}}, 90.00);                                // cancelled later
    const qint64 f1 = Factura({{COLORES, 1}, {PLUMA, 5}}, 85.00, MARIA, RFC_MARIA); // 45 + 40
    const qint64 f2 = Factura({{LAPIZ, 2}}, 11.00, PUBLICO, RFC_PUBLICO);          // deleted later

    // --- Returns: one colour box of t1 as a credit note, one water of t2 in cash -----------------
    const qint64 n1 = Devuelve(QStringLiteral("T"), t1, COLORES, 1, caja::TipoDevolucion::NotaCredito);
    EXPECT_EQ(Centavos(Valor(QStringLiteral("SELECT Total FROM NotaCredito WHERE Numero = ?"), {n1}).toDouble()), 4500);
    EXPECT_EQ(Devuelve(QStringLiteral("T"), t2, AGUA, 1, caja::TipoDevolucion::Efectivo), 0);

    // --- The credit note pays 45.00 of a 53.00 ticket, the rest in cash (the payment model) -----
    auto pagaConNota = [&] {
        // The screen lists the catalogue's payment forms, as it does before every close.
        EXPECT_TRUE(venta::CargaNombresFormaPago(bd(), G().NombresFormaPago));
        venta::ModeloPago m(prompts, [&](qint64 n) { return venta::SaldoNotaCredito(bd(), n); });
        m.inicia(venta::ListaFormasPago(G().NombresFormaPago), 53.00);
        int nota = -1, efectivo = -1;
        for (size_t i = 0; i < m.formas().size(); ++i) {
            if (m.formas()[i].codigo == venta::PagoNotaCredito) nota = int(i);
            if (m.formas()[i].codigo == 1) efectivo = int(i);
        }
        prompts.pushInput(QString::number(n1));
        m.elige(nota);
        EXPECT_EQ(m.textoImporte(), QStringLiteral("45"));
        if (!m.agrega()) return false;
        m.elige(efectivo);
        m.escribeImporte(QStringLiteral("8"));
        if (!m.acepta()) return false;
        m.aplica(G());
        return true;
    };
    const qint64 t4 = Ticket({{COLORES, 1}, {PLUMA, 1}}, 53.00, MARIA, RFC_MARIA, pagaConNota);
    EXPECT_EQ(Valor(QStringLiteral("SELECT Status FROM NotaCredito WHERE Numero = ?"), {n1}).toInt(), 2);

    // Two pens of the invoice come back as a credit note the customer keeps for another day.
    const qint64 n2 = Devuelve(QStringLiteral("F"), f1, PLUMA, 2, caja::TipoDevolucion::NotaCredito);

    // --- Cancelled ticket, deleted invoice -----------------------------------------------------
    caja::Cancelacion baja;
    baja.bd = &bd();
    baja.prompts = &prompts;
    baja.espera = espera;
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(baja.Cancela(QStringLiteral("Ticket"), QString::number(t3), QString()))
        << prompts.messages().join(u'|').toStdString();
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_TRUE(baja.Borra(QStringLiteral("Factura"), QString::number(f2), QString()))
        << prompts.messages().join(u'|').toStdString();

    // --- Day invoice of t2 and t4 --------------------------------------------------------------
    const QDate hoy = QDate::currentDate();
    ASSERT_TRUE(caja::SeleccionaTicket(bd(), t2));
    ASSERT_TRUE(caja::SeleccionaTicket(bd(), t4));
    const caja::FacturaDiaEnviada fd = caja::GeneraFacturaDia(bd(), hoy, {t2, t4}, espera);
    ASSERT_TRUE(fd.ok) << fd.error.message.toStdString();
    EXPECT_EQ(fd.Letra, QStringLiteral("F"));
    EXPECT_EQ(Centavos(Valor(QStringLiteral("SELECT Total FROM Venta WHERE Tipo = 'F' AND Numero = ?"), {fd.Numero})
                           .toDouble()), 8700);  // 46 less its 12.00 water refunded, + 53

    // --- Inventory entry of ten pencils at their cost --------------------------------------------
    {
        venta::LineasVenta pantalla(&bd());
        const std::vector<qint64> ids = Captura(pantalla, {{LAPIZ, 10}});
        ASSERT_TRUE(pantalla.escribe(0, QStringLiteral("PrecioUnit"), 2.10));
        venta::DatosESInv d;
        d.lineas = ids;
        d.imprimir = false;
        d.TextoES = QStringLiteral("Compra al proveedor");
        d.SucursalActual = 1;
        d.Usuario = 1;
        EXPECT_GT(venta::GuardatodoESInv(bd(), d, prompts, espera), 0) << prompts.messages().join(u'|').toStdString();
    }

    // --- Six pens go to the Norte branch, booked straight into its file ---------------------------
    TraspasaANorte({{PLUMA, 6}});

    // --- What the drawer must hold ---------------------------------------------------------------
    // Sales: t1 69 + t2 46 + t4 53 + f1 85 (t3 cancelled, f2 deleted, the day invoice never).
    // Movements: fund +500, cash refund -12, note spent -45, note issued 0 (twice).
    const qint64 ventas = 6900 + 4600 + 5300 + 8500, movimientos = 50000 - 1200 - 4500, saldo = ventas + movimientos;
    {
        caja::frmMovCaja forma(nullptr, &prompts);
        forma.show();
        EXPECT_EQ(forma.lblSaldo->text(), QStringLiteral("443.00"));
    }
    auto pendiente = caja::CargaCorte(bd(), 0, false, hoy);
    ASSERT_TRUE(pendiente);
    EXPECT_EQ(pendiente->ventas.size(), 4u);
    EXPECT_EQ(pendiente->ventasCentavos, ventas);
    EXPECT_EQ(pendiente->movimientosCentavos, movimientos);
    EXPECT_EQ(pendiente->finalCentavos(), saldo);
    const caja::ResultadoCorte corte = caja::CreaCorte(bd(), *pendiente, QStringLiteral("Corte del dia"), 1, espera);
    ASSERT_EQ(corte.estado, caja::ResultadoCorte::Creado) << corte.mensaje.toStdString();
    EXPECT_EQ(corte.importeCentavos, saldo);
    auto vacio = caja::CargaCorte(bd(), 0, false, hoy);
    ASSERT_TRUE(vacio);
    EXPECT_EQ(vacio->finalCentavos(), 0);  // nothing of the day waits for another cut

    // --- The cut's printout ----------------------------------------------------------------------
    {
        auto figuras = caja::FigurasCorteGuardado(bd(), corte.idCorte);
        ASSERT_TRUE(figuras);
        EXPECT_EQ(figuras->ventasCentavos, ventas);
        EXPECT_EQ(figuras->movimientosCentavos, movimientos);
        EXPECT_EQ(figuras->finalCentavos, saldo);
        ASSERT_TRUE(caja::ConstruyeCorte(bd(), *figuras));
        const QString texto = TextoTicket();
        // Tickets t1, t2, t4: 4 + 6 + 2 pieces, 24.00 of untaxed water; the invoice f1: 6 pieces.
        EXPECT_TRUE(texto.contains(QStringLiteral("Total 12 Pzas.\nTotal CORTE    = 168.00"))) << texto.toStdString();
        EXPECT_TRUE(texto.contains(QStringLiteral("Importe Exento = 24.00")));
        EXPECT_TRUE(texto.contains(QStringLiteral("Total 6 Pzas.\nTotal CORTE    = 85.00")));
        EXPECT_TRUE(texto.contains(QStringLiteral("Saldo Movimientos: $ 443.00")));
        EXPECT_TRUE(texto.contains(QStringLiteral("Suma de ventas=      253.00")));
        EXPECT_TRUE(texto.contains(QStringLiteral("Saldo de movimientos=      443.00")));
        EXPECT_TRUE(texto.contains(QStringLiteral("Saldo Final del corte=      696.00")));
        LimpiaTextoTicket();
    }

    // --- Daily sales report and best sellers -----------------------------------------------------
    {
        QVariantList valores;
        auto facturas = bd().select(printing::SeleccionVentaDiaria({QStringLiteral("F")}, hoy, &valores), valores);
        ASSERT_TRUE(facturas);
        const QVariantMap f = printing::DatosVentas(*facturas);
        EXPECT_EQ(f.value(QStringLiteral("NumDocumentos")).toInt(), 2);  // f1 and the day invoice
        EXPECT_EQ(f.value(QStringLiteral("NumCancelados")).toInt(), 0);
        EXPECT_EQ(f.value(QStringLiteral("TotalVentas")).toString(), QStringLiteral("172.00"));
        auto tickets = bd().select(printing::SeleccionVentaDiaria({QStringLiteral("T")}, hoy, &valores), valores);
        ASSERT_TRUE(tickets);
        const QVariantMap t = printing::DatosVentas(*tickets);
        EXPECT_EQ(t.value(QStringLiteral("NumDocumentos")).toInt(), 4);
        EXPECT_EQ(t.value(QStringLiteral("NumCancelados")).toInt(), 1);
        EXPECT_EQ(t.value(QStringLiteral("TotalVentas")).toString(), QStringLiteral("168.00"));

        // The same listing on the ticket printer.
        G().CodigosPTicket = 0;
        impreso.clear();
        ASSERT_TRUE(printing::ReporteVentasDiaTicket(true, hoy, prompts)) << prompts.lastMessage().toStdString();
        ASSERT_TRUE(printing::ReporteVentasDiaTicket(false, hoy, prompts)) << prompts.lastMessage().toStdString();
        ASSERT_EQ(impreso.size(), 2);
        EXPECT_TRUE(impreso[0].contains(QStringLiteral("Total VENTAS = $168.00"))) << impreso[0].toStdString();
        EXPECT_EQ(impreso[0].count(QStringLiteral(" CANC.")), 1);
        EXPECT_TRUE(impreso[1].contains(QStringLiteral("Total VENTAS = $172.00"))) << impreso[1].toStdString();

        // By seller: every valid sale once, the day invoice not beside its tickets (69 + 46 + 53 + 85).
        auto porVendedor = bd().select(printing::SeleccionVentasEmpleado(hoy, hoy, &valores), valores);
        ASSERT_TRUE(porVendedor);
        EXPECT_EQ(printing::DatosVentasEmpleado(*porVendedor).value(QStringLiteral("TotalVentas")).toString(),
                  QStringLiteral("253.00"));

        // Goods sold once each: t1, t2, t4 and f1 (the day invoice re-lists t2 and t4).
        auto vendidos = printing::ProductosVendidos(bd(), hoy, hoy, false);
        ASSERT_TRUE(vendidos);
        std::map<qint64, std::pair<double, qint64>> porClave;
        for (const db::Row& r : *vendidos)
            porClave[r.integer(QStringLiteral("ClaveProducto"))] = {r.real(QStringLiteral("SumaCantidad")),
                                                                   Centavos(r.real(QStringLiteral("SumaImporte")))};
        using Fila = std::pair<double, qint64>;
        EXPECT_EQ(porClave.size(), 4u);
        EXPECT_EQ(porClave[Clave(PLUMA)], (Fila{9, 7200}));
        EXPECT_EQ(porClave[Clave(COLORES)], (Fila{3, 13500}));
        EXPECT_EQ(porClave[Clave(LAPIZ)], (Fila{4, 2200}));
        EXPECT_EQ(porClave[Clave(AGUA)], (Fila{2, 2400}));
        EXPECT_EQ(vendidos->front().integer(QStringLiteral("ClaveProducto")), Clave(PLUMA));
        auto porImporte = printing::ProductosVendidos(bd(), hoy, hoy, true);
        ASSERT_TRUE(porImporte && !porImporte->empty());
        EXPECT_EQ(porImporte->front().integer(QStringLiteral("ClaveProducto")), Clave(COLORES));
    }

    // --- Stock of both branches ------------------------------------------------------------------
    {
        // Pens: 120 - 3 (t1) - 5 (f1) - 1 (t4) + 2 (returned from f1) - 6 (to Norte).
        EXPECT_EQ(Existencia(bd(), PLUMA), 107);
        // Pencils: 200 - 4 (t2) - 2 (f2) + 2 (f2 deleted) + 10 (entry).
        EXPECT_EQ(Existencia(bd(), LAPIZ), 206);
        // Colours: 30 - 1 (t1) - 2 (t3) - 1 (f1) - 1 (t4) + 1 (returned from t1) + 2 (t3 cancelled).
        EXPECT_EQ(Existencia(bd(), COLORES), 28);
        // Water: 48 - 2 (t2) + 1 (refunded).
        EXPECT_EQ(Existencia(bd(), AGUA), 47);
        // The entry set the pencils' cost to what was typed; the transfer touched no price.
        auto precios = [&](const QString& codigo) {
            return Valor(QStringLiteral("SELECT PrecioCosto || '/' || PrecioUnit FROM Producto WHERE CodigodeBarras = ?"),
                         {codigo}).toString();
        };
        EXPECT_EQ(precios(LAPIZ), QStringLiteral("2.1/5.5"));
        EXPECT_EQ(precios(PLUMA), QStringLiteral("3.5/8.0"));
        auto norte = db::Database::open(rutaNorte_, datasetup::claveArchivos());
        ASSERT_TRUE(norte);
        EXPECT_EQ(Existencia(*norte, PLUMA), 6);
        EXPECT_EQ(Existencia(*norte, LAPIZ), 0);
        EXPECT_EQ(Existencia(*norte, COLORES), 0);
        EXPECT_EQ(Valor(*norte, QStringLiteral("SELECT group_concat(Numero) FROM EInventario")).toString(),
                  QStringLiteral("1"));
    }

    // --- The customer's credit notes: the first one spent, the second one open -------------------
    {
        // Notes are kept under the customer's key, as the sale screen's own notes and their printout
        // (which finds the customer's address by it) expect.
        EXPECT_EQ(Centavos(Valor(QStringLiteral("SELECT COALESCE(SUM(Total), 0) FROM NotaCredito "
                                                "WHERE Status = 1 AND Cliente = ?"),
                                 {RFC_MARIA}).toDouble()),
                  1600);  // two pens of 8.00
        EXPECT_EQ(Valor(QStringLiteral("SELECT count(*) FROM NotaCredito WHERE Cliente = ?"), {RFC_MARIA}).toInt(), 2);
        EXPECT_EQ(Valor(QStringLiteral("SELECT NombreC || '|' || Direccion FROM CDetalleNCredito WHERE Numero = ?"), {n2})
                      .toString(),
                  MARIA + QStringLiteral("|AV. JUAREZ"));  // what the note's printout shows
        EXPECT_EQ(Centavos(*venta::SaldoNotaCredito(bd(), n2)), 1600);
        EXPECT_EQ(Centavos(*venta::SaldoNotaCredito(bd(), n1)), 0);
    }

    // --- Folios: numbers of one kind never repeat, and none is given twice -----------------------
    {
        auto numeros = [&](const QString& sql) { return Valor(sql).toString(); };
        EXPECT_EQ(numeros(QStringLiteral("SELECT group_concat(Numero) FROM (SELECT Numero FROM Venta WHERE Tipo = 'T' "
                                         "ORDER BY Numero)")),
                  QStringLiteral("1,2,3,4"));
        // The deleted invoice's number is not given again.
        EXPECT_EQ(numeros(QStringLiteral("SELECT group_concat(Numero) FROM (SELECT Numero FROM Venta WHERE Tipo = 'F' "
                                         "ORDER BY Numero)")),
                  QStringLiteral("1,3"));
        EXPECT_EQ(numeros(QStringLiteral("SELECT group_concat(Numero) FROM (SELECT Numero FROM NotaCredito ORDER BY Numero)")),
                  QStringLiteral("1,2"));
        // Three returns, the entry and the transfer's exit share the inventory documents' numbers.
        EXPECT_EQ(numeros(QStringLiteral("SELECT group_concat(Numero) FROM (SELECT Numero FROM EInventario ORDER BY Numero)")),
                  QStringLiteral("1,2,3,4,5"));
        EXPECT_EQ(Valor(QStringLiteral("SELECT count(*) FROM (SELECT IdMovimiento FROM MovimientosCaja "
                                       "GROUP BY IdMovimiento HAVING count(*) > 1)")).toInt(), 0);
        EXPECT_EQ(Valor(QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = 0")).toInt(), 0);
    }

    // --- After the cut: a ticket of it cancelled, a refund then a cancellation, the day invoice redone
    {
        auto cortePapel = [&] {  // the closed cut as its reprint reads, at one fixed moment
            auto c = caja::FigurasCorteGuardado(bd(), corte.idCorte);
            EXPECT_TRUE(c && caja::ConstruyeCorte(bd(), {c->idCorte, c->ventasCentavos, c->movimientosCentavos,
                                                         c->finalCentavos, QDateTime(hoy, QTime(21, 0))}));
            const QString t = TextoTicket();
            LimpiaTextoTicket();
            return t;
        };
        auto da = [&](bool borrar, const QString& tipo, qint64 numero) {
            prompts.pushAnswer(ui::Answer::Yes);
            return borrar ? baja.Borra(tipo, QString::number(numero), {}) : baja.Cancela(tipo, QString::number(numero), {});
        };
        const QString papel = cortePapel();
        // t1 (69.00, its 45.00 colour box already a credit note) is cancelled: 24.00 handed back.
        EXPECT_TRUE(da(false, QStringLiteral("Ticket"), t1)) << prompts.lastMessage().toStdString();
        EXPECT_EQ(cortePapel(), papel);
        EXPECT_FALSE(da(true, QStringLiteral("Ticket"), t1));  // the closed cut keeps it
        // 31.00 sold, its water (12.00) refunded in cash, then cancelled: 19.00 handed back.
        const qint64 t5 = Ticket({{AGUA, 1}, {PLUMA, 1}, {LAPIZ, 2}}, 31.00);  // 12 + 8 + 11
        Devuelve(QStringLiteral("T"), t5, AGUA, 1, caja::TipoDevolucion::Efectivo);
        EXPECT_TRUE(da(false, QStringLiteral("Ticket"), t5));
        Factura({{COLORES, 1}}, 45.00, MARIA, RFC_MARIA);
        // The day invoice of t2 and t4 cancelled; the two tickets go on a new one.
        EXPECT_TRUE(da(false, QStringLiteral("Factura"), fd.Numero));
        EXPECT_EQ(Valor(QStringLiteral("SELECT group_concat(FE) FROM Venta WHERE Tipo = 'T' AND Numero IN (?, ?)"),
                        {t2, t4}).toString(), QStringLiteral("0,0"));
        ASSERT_TRUE(caja::SeleccionaTicket(bd(), t2) && caja::SeleccionaTicket(bd(), t4));
        const caja::FacturaDiaEnviada otra = caja::GeneraFacturaDia(bd(), hoy, {t2, t4}, espera);
        ASSERT_TRUE(otra.ok);
        EXPECT_EQ(Centavos(Valor(QStringLiteral("SELECT Total FROM Venta WHERE Tipo = 'F' AND Numero = ?"), {otra.Numero})
                               .toDouble()), 8700);
        // The next cut: in 31.00 (t5) and 45.00 (the invoice); out 24.00 (t1), 12.00 and 19.00 (t5).
        auto siguiente = caja::CargaCorte(bd(), 0, false, hoy);
        ASSERT_TRUE(siguiente);
        EXPECT_EQ(siguiente->ventasCentavos, 4500);
        EXPECT_EQ(siguiente->finalCentavos(), 3100 + 4500 - 2400 - 1200 - 1900);
        const caja::ResultadoCorte segundo = caja::CreaCorte(bd(), *siguiente, QStringLiteral("Tarde"), 1, espera);
        EXPECT_EQ(segundo.importeCentavos, 2100);
        EXPECT_EQ(cortePapel(), papel);
    }
}

// --- A product sold on two lines at two prices, then returned through the returns form ---------
TEST_F(DiaTiendaTest, AProductOnTwoLinesAtTwoPricesComesBackAtEachLinesPrice)
{
    // One colour box at 45.00, two more on a line of their own at 20 % off (72.00), a pen: 125.00.
    const venta::VentaEnPantalla v =
        Pantalla({{COLORES, 1}, {COLORES, 2}, {PLUMA, 1}}, PUBLICO, RFC_PUBLICO, [](venta::LineasVenta& p) {
            ASSERT_TRUE(p.escribe(1, QStringLiteral("Descuento"), 20.0));
            ASSERT_TRUE(p.recarga());
        });
    ASSERT_EQ(Centavos(v.totalVenta), 12500);
    venta::AccionesCierre acciones = Acciones();
    const venta::ResultadoCierre cierre = venta::Facturar(bd(), v, acciones);
    ASSERT_TRUE(cierre.guardado) << prompts.messages().join(u'|').toStdString();

    // The cashier marks the 45.00 line for its box and, on another return, the other line for its
    // two boxes: each line comes back at what it was paid.
    caja::frmDevoluciones f(nullptr, nullptr, &prompts);
    f.show();
    int fila = 0;
    for (const auto& [cantidad, esperado] : {std::pair{"1", "45.00"}, std::pair{"2", "72.00"}}) {
        QLineEdit* numero = f.capNumero->findChild<QLineEdit*>();
        numero->clear();
        QTest::keyClicks(numero, QString::number(cierre.NumeroDocumento()));
        QTest::mouseClick(f.cmdConsultar, Qt::LeftButton);
        ASSERT_EQ(f.gridDetVentas->model()->rowCount(), 3) << prompts.messages().join(u'|').toStdString();
        f.gridDetVentas->selectRow(fila++);
        prompts.pushInput(QString::fromLatin1(cantidad));
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        EXPECT_EQ(f.lblImporteDev->text(), QString::fromLatin1(esperado));
        QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    }
    EXPECT_EQ(Centavos(Valor(QStringLiteral("SELECT SUM(ImporteMov) FROM MovimientosCaja WHERE TipoMov = 2")).toDouble()),
              11700);
    EXPECT_EQ(Existencia(bd(), COLORES), 30);

    // The drawer took 125.00 and paid 117.00 back: 8.00, the pen.
    auto pendiente = caja::CargaCorte(bd(), 0, false, QDate::currentDate());
    ASSERT_TRUE(pendiente);
    EXPECT_EQ(pendiente->ventasCentavos, 12500);
    EXPECT_EQ(pendiente->movimientosCentavos, -11700);
    EXPECT_EQ(pendiente->finalCentavos(), 800);
    // Best sellers value the boxes as sold: 45.00 + 72.00.
    auto vendidos = printing::ProductosVendidos(bd(), QDate::currentDate(), QDate::currentDate(), true);
    ASSERT_TRUE(vendidos && !vendidos->empty());
    EXPECT_EQ(vendidos->front().integer(QStringLiteral("ClaveProducto")), Clave(COLORES));
    EXPECT_EQ(Centavos(vendidos->front().real(QStringLiteral("SumaImporte"))), 11700);
}

}  // namespace

TEST_F(DiaTiendaTest, ASecondTerminalAddedToTheDataFolderSellsBesideTheFirst)
{
    // The setup tool on the folder that already holds the shop's data: one application folder per
    // terminal, each pointing at the same data.
    const QString datos = tmp_.filePath(QStringLiteral("datos"));
    for (int terminal : {1, 2}) {
        datasetup::Options o;
        o.appFolder = tmp_.filePath(QStringLiteral("app%1").arg(terminal));
        o.dataFolder = datos;
        o.terminal = terminal;
        const datasetup::Result r = datasetup::run(o);
        ASSERT_TRUE(r.ok) << r.message.toStdString();
        EXPECT_FALSE(r.message.contains(QStringLiteral("Base de datos"))) << r.message.toStdString();
    }
    std::map<int, qint64> tickets;
    for (int terminal : {1, 2, 1}) {
        // Each terminal starts as the program does, from its own Direccion.db.
        shell::CierraConexiones();
        ASSERT_TRUE(shell::LeeDireccion(tmp_.filePath(QStringLiteral("app%1").arg(terminal))))
            << prompts.lastMessage().toStdString();
        ASSERT_TRUE(shell::LecturasArranque()) << prompts.lastMessage().toStdString();
        EXPECT_EQ(G().TerminalActual, terminal);
        EXPECT_EQ(G().CarpetaDatos, datos);
        G().UsarServidorImp = 0;
        G().PagosMultiples = 0;
        G().PreguntaCompVenta = 0;
        G().PermisosUsuario[52] = true;
        const qint64 n = Ticket({{PLUMA, 1}}, 8.00);
        EXPECT_GT(n, tickets.empty() ? 0 : std::max(tickets[1], tickets[2]));
        tickets[terminal] = n;
        EXPECT_EQ(Valor(QStringLiteral("SELECT Terminal FROM Venta WHERE Numero = ? AND Tipo = 'T'"), {n}).toInt(),
                  terminal);
    }
    EXPECT_EQ(Existencia(bd(), PLUMA), 117.0);
}

// Every row of the attack table on every route a person's SQL takes: the console on the central
// file (BD1) and on the branch file (BD2), a synchronisation script against the central file and
// against a branch file whose origin brings saved queries of its own, and a file given to Importar
// datos that carries what the row would leave. After each row the program does its day (a ticket
// with its lines and folio, a cash movement, a transfer, a cut) and it works; every layer table is
// byte for byte as it was and every program table of the three files is there with its rows.
TEST_F(DiaTiendaTest, EveryRowOfTheAttackTableOnEveryRouteLeavesTheProgramItsDay)
{
    const ataques::Cotas cotas;
    const QString central = datasetup::rutaBDCodigos(G().CarpetaDatos);
    const QString matriz = bd().path();
    const QStringList archivos = {central, matriz, rutaNorte_};
    const QString limpio = tmp_.filePath(QStringLiteral("limpio"));
    ASSERT_TRUE(QDir().mkpath(limpio));
    auto cierra = [&] {
        shell::CierraConexiones();
        for (const QString& a : archivos) db::Database::closeAll(a);
    };
    cierra();
    // The planner's statistics an earlier version left, the layer's tables among them.
    for (const QString& a : archivos) testutil::Crudo(a, QStringLiteral("ANALYZE"));
    for (int i = 0; i < archivos.size(); ++i) ASSERT_TRUE(QFile::copy(archivos[i], limpio + QStringLiteral("/%1.db").arg(i)));
    // Every route begins from the files as they are now.
    auto restaura = [&] {
        cierra();
        for (int i = 0; i < archivos.size(); ++i) {
            QFile::remove(archivos[i]);
            ASSERT_TRUE(QFile::copy(limpio + QStringLiteral("/%1.db").arg(i), archivos[i]));
            QFile::setPermissions(archivos[i], QFile::permissions(archivos[i]) | QFile::WriteOwner);
        }
    };
    const QString origen = tmp_.filePath(QStringLiteral("origen/BDSucursal.db"));
    const QString origenCentral = tmp_.filePath(QStringLiteral("origen/BDcodigos.db"));
    ASSERT_TRUE(QDir().mkpath(tmp_.filePath(QStringLiteral("origen"))));
    ASSERT_TRUE(QFile::copy(matriz, origen) && QFile::copy(central, origenCentral));
    QString error;
    testutil::Crudo(origen,
                    QStringList{QStringLiteral("INSERT INTO _queries VALUES ('limpia', 'action', 'DELETE FROM _links')"),
                                QStringLiteral("UPDATE _queries SET Sql = 'UPDATE _dbpassword SET Password = ''robada''' "
                                               "WHERE Name = 'AsignaE0'"),
                                QStringLiteral("UPDATE _queries SET Sql = 'DELETE FROM Existencia' WHERE Name = "
                                               "'ValidaExistencia'"),
                                QStringLiteral("INSERT INTO _queries VALUES ('cRobo', 'select', 'SELECT "
                                               "fts3_tokenizer(''simple'') AS x')")},
                    &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    auto capas = [&] {
        QStringList c;
        for (const QString& a : archivos) c << testutil::CapaCruda(a);
        return c;
    };
    // Each program table of each file with its rows.
    QSet<QString> propias;
    for (db::ProgramFile tipo : {db::ProgramFile::Central, db::ProgramFile::Branch})
        for (const db::ProgramTable& t : db::programTables(tipo)) propias << t.name.toLower();
    auto tablas = [&] {
        QStringList out;
        for (const QString& a : archivos)
            for (const QString& t : testutil::Crudo(a, QString::fromLatin1(ataques::kTablasPrograma)).value(0).split(u','))
                if (propias.contains(t.toLower()))
                    out << QStringLiteral("%1.%2:%3").arg(QFileInfo(a).fileName(), t,
                                                          testutil::Crudo(a, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(t)).value(0));
        return out;
    };
    const QStringList antes = capas();

    // The day, with the row that preceded it named on failure.
    auto dia = [&](const std::string& donde) {
        SCOPED_TRACE(donde);
        cierra();
        ASSERT_TRUE(shell::BDSucursal());
        const qint64 existencias = Valor(QStringLiteral("SELECT count(*) FROM Existencia")).toLongLong();
        EXPECT_GT(Ticket({{PLUMA, 1}, {LAPIZ, 2}}, 19.00), 0);
        EXPECT_EQ(Valor(QStringLiteral("SELECT count(*) FROM Existencia")).toLongLong(), existencias);
        caja::NuevoMovimiento mov;
        mov.importe = QStringLiteral("10");
        mov.descripcion = QStringLiteral("Fondo");
        mov.usuario = 1;
        const caja::MovimientoGuardado m = caja::GuardaMovimiento(bd(), mov, espera);
        EXPECT_TRUE(m.ok) << m.mensaje.toStdString();
        TraspasaANorte({{PLUMA, 1}});
        auto pendiente = caja::CargaCorte(bd(), 0, false, QDate::currentDate());
        ASSERT_TRUE(pendiente);
        const caja::ResultadoCorte corte = caja::CreaCorte(bd(), *pendiente, QStringLiteral("Corte"), 1, espera);
        EXPECT_EQ(corte.estado, caja::ResultadoCorte::Creado) << corte.mensaje.toStdString();
        cierra();
    };
    // One row's outcome on a route: `hecho` whether it ran, `mensaje` what the person read.
    auto revisa = [&](const ataques::Linea& l, const char* ruta, bool rama, bool corre, bool hecho, const QString& mensaje,
                      const QStringList& filas, const char* por = nullptr) {
        if (!por) por = l.por;
        const std::string donde = std::string(ruta) + ": " + l.sql;
        EXPECT_FALSE(ataques::HablaIngles(mensaje)) << donde << " -> " << mensaje.toStdString();
        if (rama && l.rama) {
            EXPECT_FALSE(hecho) << donde;
            // (the console refuses some statements of a script before any file: ANALYZE, VACUUM)
            if (corre || !l.script)
                EXPECT_TRUE(mensaje.contains(QString::fromUtf8(l.rama))) << donde << " -> " << mensaje.toStdString();
        } else if (!rama) {
            EXPECT_EQ(hecho, corre) << donde << " -> " << mensaje.toStdString();
            if (!hecho) EXPECT_TRUE(mensaje.contains(QString::fromUtf8(por))) << donde << " -> " << mensaje.toStdString();
        }
        EXPECT_EQ(capas(), antes) << donde;
        EXPECT_EQ(tablas(), filas) << donde;
        dia(donde);
    };

    for (const bool rama : {false, true}) {
        restaura();
        const QString ruta = rama ? matriz : central;
        for (const ataques::Linea& l : ataques::kLineas) {
            const QStringList filas = tablas();
            const admin::ResultadoConsola r = admin::EjecutaConsola(
                rama ? admin::BaseConsola::Sucursal : admin::BaseConsola::Central, ruta, central, QString::fromUtf8(l.sql));
            revisa(l, rama ? "consola BD2" : "consola BD1", rama, l.consola, r.ok, r.mensaje, filas);
        }
        restaura();
        for (const ataques::Linea& l : ataques::kLineas) {
            const QStringList filas = tablas();
            const QString sql = QString::fromUtf8(l.sql);
            const sucursales::ResultadoSinc r = sucursales::MigraYProcesa(ruta, rama ? origen : origenCentral, false, sql, prompts);
            ASSERT_TRUE(r.abierto) << prompts.messages().join(u'|').toStdString();
            revisa(l, rama ? "guion en la sucursal" : "guion en el central", rama, l.script,
                   r.consultas.startsWith(QStringLiteral("Consulta ejecutada: ")), r.consultas.trimmed(), filas);
        }
    }
    // A file given to Importar datos with what the row leaves in it, written there by another tool.
    for (const ataques::Linea& l : ataques::kLineas) {
        if (!l.archivo) continue;
        restaura();
        const QString traido = tmp_.filePath(QStringLiteral("traido.db"));
        QFile::remove(traido);
        ASSERT_TRUE(QFile::copy(central, traido));
        testutil::Crudo(traido, QStringList{QStringLiteral("CREATE TABLE IF NOT EXISTS Gen (a integer, b integer)"),
                                            QString::fromUtf8(l.sql)},
                        &error);
        ASSERT_TRUE(error.isEmpty()) << l.sql << ": " << error.toStdString();
        const QStringList filas = tablas();
        prompts.clear();
        const bool tomado = sucursales::ImportaBase(traido, central, sucursales::Datos::Generales, prompts);
        revisa(l, "importar datos", false, l.script, tomado, prompts.lastMessage(), filas, "no se puede usar: ");
    }

    // The origin's saved queries come in with the repair; the program still runs its own.
    restaura();
    const sucursales::ResultadoSinc r = sucursales::MigraYProcesa(
        matriz, origen, true, QStringLiteral("limpia\nAsignaE0\nValidaExistencia"), prompts);
    ASSERT_TRUE(r.abierto);
    EXPECT_TRUE(r.consultas.contains(QStringLiteral("No se pudo ejecutar el comando: limpia no se permite borrar registros "
                                                    "de la tabla interna del archivo _links")))
        << r.consultas.toStdString();
    EXPECT_TRUE(r.consultas.contains(QStringLiteral("Consulta ejecutada: AsignaE0"))) << r.consultas.toStdString();
    EXPECT_TRUE(r.log.contains(QStringLiteral("No se pudo crear la consulta cRobo-"))) << r.log.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("copia62.db")));
    auto sinConsultas = [](QString capa) {
        return capa.remove(QRegularExpression(QStringLiteral("(^|\\n)_queries:[^\\n]*")));
    };
    const QStringList despues = capas();
    for (int i = 0; i < archivos.size(); ++i) EXPECT_EQ(sinConsultas(despues[i]), sinConsultas(antes[i])) << i;
    EXPECT_EQ(despues[0], antes[0]);
    dia("reparación");
    EXPECT_EQ(capas(), despues);
}
