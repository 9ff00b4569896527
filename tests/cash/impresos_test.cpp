// Every printout of a sale shows what the customer paid and the lines it prints add up to the total
// it prints, read back from what each one prints for a small day of sales.

#include "devol_fixture.h"
#include "pdftext.h"

#include "apps/setup/datasetup.h"
#include "cash/corte_impresion.h"
#include "cash/devolucion.h"
#include "cash/devolucion_comprobante.h"
#include "cash/devolucion_guardado.h"
#include "cash/facturadia.h"
#include "catalogs/productos.h"
#include "printing/reportes_ventas.h"
#include "printing/textoticket.h"
#include "printing/ticketventa.h"
#include "printing/ventasdiaticket.h"
#include "sale/impresion_factura.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <functional>
#include <map>
#include <numeric>
#include <utility>

namespace {

// What one printout shows of one document, in cents.
struct Impreso {
    std::vector<qint64> lineas;
    std::optional<qint64> subtotal;  // when the printout shows one
    qint64 descuento = 0, iva = 0, total = 0;
};
using Impresos = std::map<QString, Impreso>;  // by letter and number: "T1"

qint64 Cents(const QVariant& v) { return qRound64(v.toString().remove(u',').toDouble() * 100); }

// A receipt-printer text: the ticket ("2 x 106.00 = 212.00", "(1 x 3.33) -5% = 3.17", "-Desc 10%=21.20",
// "TOTAL   =  190.80") or the blocks of the cut and the daily listing ("(2)00001     212.00 ...",
// "-Desc. al prod. 5% = 3.17", "-Desc: 00001= 10% 21.20", "TOTAL Venta: 00001 $190.80"; the daily
// listing puts the document's letter before its number, "T00001").
Impresos LeeTexto(const QString& texto, const QString& letra) {
    static const QRegularExpression linea(
        R"(^(?:[(*][\d.]+[)*][A-Z]?\d{5} +([\d,.-]+) | *\(?[\d.]+ x [\d,.]+\)?(?: -[\d.]+%)? = ([\d,.]+)$))");
    static const QRegularExpression propio(R"(^-Desc\. al prod\. .*= ([\d,.-]+)$)");
    static const QRegularExpression general(R"(-Desc(?:: [A-Z]?\d{5}=)? [\d.]+%[ =]([\d,.-]+)$)");
    static const QRegularExpression total(R"(^TOTAL (?:Venta: ([A-Z]?)(\d{5}) \$|  =  )([\d,.-]+))");
    Impresos r;
    Impreso doc;
    for (const QString& l : texto.split(u'\n')) {
        QRegularExpressionMatch m;
        if ((m = linea.match(l)).hasMatch()) doc.lineas.push_back(Cents(m.captured(1) + m.captured(2)));
        else if ((m = propio.match(l)).hasMatch()) doc.lineas.back() = Cents(m.captured(1));
        else if ((m = general.match(l)).hasMatch()) doc.descuento = Cents(m.captured(1));
        else if ((m = total.match(l)).hasMatch()) {
            doc.total = Cents(m.captured(3));
            const QString impresa = m.captured(1);
            r[(impresa.isEmpty() ? letra : impresa) + QString::number(m.captured(2).toLongLong())] = std::exchange(doc, {});
        }
    }
    return r;
}

// What a template is handed: the invoice's lines and totals, or a sales report's document.
Impreso LeeDatos(const QVariantMap& d) {
    Impreso r;
    for (const QVariant& l : d.value("lineas").toList()) r.lineas.push_back(Cents(l.toMap().value("Importe")));
    if (!d.contains("lineas")) r.lineas = {Cents(d.value("Total"))};  // a listing of totals
    if (d.contains("Subtotal")) r.subtotal = Cents(d.value("Subtotal"));
    if (d.value("HayDescuento").toBool()) r.descuento = Cents(d.value("ImporteDescuento"));
    r.iva = Cents(d.value("IVA"));
    r.total = Cents(d.value("Total"));
    return r;
}

class ImpresosTest : public PosventaTest {
protected:
    db::Rows filas(const QString& sql, const QVariantList& p = {}) { return bd().select(sql, p).value_or(db::Rows{}); }
    QString ticketImpreso(qint64 numero) {
        LimpiaTextoTicket();
        ConstruyeTicketVenta(LeeTicketVenta(bd(), numero, nullptr).value_or(DatosTicketVenta{}));
        return TextoTicket();
    }
    // The values the letter and the mini-printer invoice templates both get.
    QVariantMap factura(const QString& doc) {
        QVariantMap m;
        venta::DatosFactura(filas("SELECT c.*, v.IVAP AS TasaDocumento FROM CDetalleVentaFac c LEFT JOIN Venta v ON "
                                  "v.Numero = c.Numero AND v.Tipo = c.Tipo WHERE c.Numero = ? AND c.Tipo = ?",
                                  {doc.mid(1).toLongLong(), doc.left(1)}),
                            m);
        return m;
    }
    // Both sections (tickets, invoices) of a receipt-printer listing.
    Impresos bloques(const std::function<void(bool tickets)>& imprime) {
        Impresos r;
        for (bool t : {true, false}) {
            LimpiaTextoTicket();
            imprime(t);
            r.merge(LeeTexto(TextoTicket(), t ? "T" : "F"));
        }
        return r;
    }
};

const QDate kDia(2026, 12, 9);

TEST_F(ImpresosTest, EveryPrintoutShowsWhatWasPaidAndItsLinesAddUp) {
    // (number, letter, lines (product, quantity, price, own discount), general discount, paid in cents)
    const std::vector<std::tuple<qint64, QString, std::vector<LineaPrueba>, double, qint64>> ventas{
        {1, "T", {{0, 2, 106}}, 10, 19080},                                  // 212.00 less 10 %
        {2, "T", {{0, 1, 3.33, 5}, {1, 1, 3.33, 5}, {2, 1, 3.33, 5}}, 0, 949},  // 3 x 3.1635
        {3, "T", {{1, 0.75, 13.33}, {2, 1.5, 3.33}}, 3, 1454},               // by weight, less 3 %
        {4, "F", {{0, 3, 12.5, 10}, {1, 2, 25}}, 5, 7956},                   // tax apart
        {5, "T", {{0, 2, 25}, {3, 1, 10, 10}}, 10, 5310},                    // partly returned below
    };
    std::map<QString, qint64> pagado;
    for (const auto& [numero, tipo, lineas, descuento, centavos] : ventas) {
        // Tickets to the counter customer; the invoice to one with a taxpayer id (tax shown apart).
        vende(numero, tipo, lineas, descuento, 1, tipo == "T" ? "XAXX010101000" : "GOMA800101AB1");
        pagado[tipo + QString::number(numero)] = centavos;
        ASSERT_EQ(qRound64(valor("SELECT Total FROM Venta WHERE Numero = ? AND Tipo = ?", {numero, tipo}).toDouble() * 100),
                  centavos);
    }
    // A tax-exempt line on a ticket and on the invoice.
    ASSERT_TRUE(bd().exec("UPDATE DetalleVenta SET Iva = 0 WHERE PrecioUnit IN (13.33, 25) AND Numero IN (3, 4)"));

    // A return of one of ticket 5's units at 25.00: the drawer hands back its share of what was paid.
    caja::Devolucion dev;
    ASSERT_EQ(dev.ConsultaVenta(bd(), "T", "5", prompts), caja::ResultadoConsulta::Encontrada);
    ASSERT_TRUE(dev.AgregaLineaDevolucion(0, 1, prompts));
    const caja::DevolucionGuardada devuelta = caja::GuardaDevolucion(bd(), dev, caja::TipoDevolucion::Efectivo, "X", espera);
    ASSERT_TRUE(devuelta.ok) << devuelta.error.message.toStdString();

    // The day invoice of tickets 1 to 3 bills what they took.
    for (qint64 n : {1, 2, 3}) ASSERT_TRUE(caja::SeleccionaTicket(bd(), n));
    const caja::FacturaDiaEnviada dia = caja::GeneraFacturaDia(bd(), kDia, {1, 2, 3}, espera);
    ASSERT_TRUE(dia.ok) << dia.error.message.toStdString();
    const QString facturaDia = dia.Letra + QString::number(dia.Numero);
    const qint64 pagadoDia = pagado["T1"] + pagado["T2"] + pagado["T3"];

    const QStringList tickets{"T1", "T2", "T3", "T5"}, delDia{"T1", "T2", "T3", "F4", "T5"};
    const QStringList conFacturaDia = delDia + QStringList{facturaDia};
    const QDateTime hora(kDia, QTime(21, 0));
    auto cadaUno = [](const QStringList& docs, const std::function<Impreso(const QString&)>& lee) {
        Impresos r;
        for (const QString& d : docs) r[d] = lee(d);
        return r;
    };
    auto reporte = [](const QVariantMap& d) {
        Impresos r;
        for (const QVariant& v : d.value("documentos").toList())
            r[v.toMap().value("TipoDocto").toString() + v.toMap().value("Numero").toString()] = LeeDatos(v.toMap());
        return r;
    };
    QVariantList v;
    const std::vector<std::tuple<const char*, QStringList, std::function<Impresos()>>> rutas{
        {"ticket", tickets, [&] { return cadaUno(tickets, [&](const QString& d) { return LeeTexto(ticketImpreso(d.mid(1).toLongLong()), "T")["T0"]; }); }},
        {"factura", conFacturaDia, [&] { return cadaUno(conFacturaDia, [&](const QString& d) { return LeeDatos(factura(d)); }); }},
        {"corte de caja", delDia, [&] { return bloques([&](bool t) { caja::ReporteVentasCorte(bd(), 0, t, hora); }); }},
        {"listado diario", conFacturaDia,
         [&] {
             return bloques([&](bool t) {
                 printing::ArmaReporteVentasDia(filas(QString("SELECT * FROM CdetalleVentaFacRD WHERE TipoDocto = '%1' "
                                                              "ORDER BY Numero").arg(t ? "T" : "F")),
                                                t, kDia, hora);
             });
         }},
        {"ventas del dia y del periodo", conFacturaDia,
         [&] {
             Impresos r = reporte(printing::DatosVentas(filas(printing::SeleccionVentaDiaria({"T"}, kDia, &v), v)));
             // The day invoice is dated the day it is made, not its tickets' day.
             r.merge(reporte(printing::DatosVentas(filas(printing::SeleccionPeriodo(false, kDia, QDate::currentDate(), &v), v))));
             return r;
         }},
        {"series de venta", conFacturaDia,
         [&] {
             return cadaUno(conFacturaDia, [&](const QString& d) {
                 return LeeDatos(printing::DatosSeriesVenta(filas(printing::SeleccionSeriesVenta(), {d.left(1), d.mid(1).toLongLong()})));
             });
         }},
        {"ventas por vendedor", delDia,
         [&] {
             Impresos r;
             for (const QVariant& vendedor : printing::DatosVentasEmpleado(filas(printing::SeleccionVentasEmpleado(kDia, kDia, &v), v))
                                                 .value("vendedores").toList())
                 for (const QVariant& d : vendedor.toMap().value("documentos").toList())
                     r[d.toMap().value("Tipo").toString() + d.toMap().value("Numero").toString()] = LeeDatos(d.toMap());
             return r;
         }},
    };
    for (const auto& [nombre, documentos, lee] : rutas) {
        SCOPED_TRACE(nombre);
        const Impresos impresos = lee();
        for (const QString& doc : documentos) {
            SCOPED_TRACE(doc.toStdString());
            ASSERT_TRUE(impresos.count(doc));
            const Impreso& i = impresos.at(doc);
            EXPECT_EQ(i.total, doc == facturaDia ? pagadoDia : pagado.at(doc));
            const qint64 lineas = std::accumulate(i.lineas.begin(), i.lineas.end(), qint64(0));
            EXPECT_EQ(lineas, i.subtotal.value_or(lineas));
            EXPECT_EQ(lineas - i.descuento + i.iva, i.total);
        }
    }

    // The products sold add up to the money taken (the day invoice re-lists its tickets' goods).
    const qint64 tomado = std::accumulate(delDia.begin(), delDia.end(), qint64(0),
                                          [&](qint64 s, const QString& d) { return s + pagado.at(d); });
    for (bool porImporte : {false, true}) {
        qint64 suma = 0;
        for (const db::Row& p : printing::ProductosVendidos(bd(), kDia, kDia, porImporte).value_or(db::Rows{}))
            suma += Cents(p.value("SumaImporte"));
        EXPECT_EQ(suma, tomado) << porImporte;
    }

    // The return's voucher and the drawer agree on what was handed back: one unit's share of 53.10.
    caja::ConstruyeComprobanteDevolucion(devuelta.NumeroEntrada,
                                         filas("SELECT * FROM cESInventarioDev WHERE Numero = ?", {devuelta.NumeroEntrada}), hora);
    EXPECT_TRUE(TextoTicket().contains(QRegularExpression("TOTAL: +22.50\\n"))) << TextoTicket().toStdString();
    EXPECT_DOUBLE_EQ(valor("SELECT ImporteMov FROM MovimientosCaja WHERE TipoMov = 2").toDouble(), 22.5);

    // Laid out by its template, ticket 2 as an invoice prints (unit price, amount) with the cent its
    // lines lost to rounding on the last one.
    const QString salida = qEnvironmentVariable("QUORVEL_PDF_DIR");
    const QString pdf = QDir(salida.isEmpty() ? tmp.path() : salida).filePath("factura_t2.pdf");
    ASSERT_TRUE(venta::ImprimeTicket(2, 2, {report::Destination::Pdf, {}, pdf}, prompts, nullptr, "T"));
    const QString texto = reporttest::squeezed(reporttest::pdfText(pdf));
    EXPECT_EQ(texto.count("3.16 3.16"), 2) << texto.toStdString();
    EXPECT_TRUE(texto.contains("3.16 3.17") && texto.contains("$ 9.49")) << texto.toStdString();
}

}  // namespace

namespace {

// Every query that prints or lists a stored line names a deleted product as it was, in the branch
// that deleted it and in any other branch of the folder.
TEST_F(ImpresosTest, ADeletedProductIsNamedOnEveryLineQueryOfEveryBranch) {
    const qint64 producto = clave(2);
    const auto antes = bd().selectOne("SELECT CodigodeBarras, Nombre, Descripcion FROM Producto WHERE ClaveProducto = ?",
                                      {producto});
    ASSERT_TRUE(antes && !antes->empty());
    const QString codigo = antes->text("CodigodeBarras"), nombre = antes->text("Nombre");
    const QString descripcion = antes->text("Descripcion");
    vende(1, "T", {{2, 10, 7}});
    vende(2, "F", {{2, 1, 7}});
    vende(3, "C", {{2, 1, 7}});
    devolucionAnterior("T 1", 2, 1);
    ASSERT_TRUE(bd().exec("INSERT INTO NotaCredito (Numero, Total, Fecha, Status) VALUES (1, 7, '2026-12-09', 1)"));
    ASSERT_TRUE(bd().exec("INSERT INTO DNotaCredito (Numero, ClaveProducto, Cantidad, PrecioUnit) VALUES (1, ?, 1, 7)",
                          {producto}));
    ASSERT_TRUE(bd().exec("INSERT INTO doctoscredito (Numeroventa, ClaveProducto, Numerodocto, Importe) VALUES "
                          "(1, ?, 1, 7)",
                          {producto}));
    ASSERT_TRUE(catalogos::BorraProducto(bd(), producto));

    struct Consulta {
        const char* sql;
        std::vector<std::pair<const char*, QString>> columnas;
    };
    const std::vector<Consulta> consultas{
        {"SELECT * FROM CdetalleVenta WHERE Numero = 1 AND TipoDocto = 'T'",
         {{"CodigodeBarras", codigo}, {"Nombre", nombre}, {"Descripcion", descripcion}}},
        {"SELECT * FROM CDetalleVentaFac WHERE Numero = 2 AND Tipo = 'F'",
         {{"CodigodeBarras", codigo}, {"Nombre", nombre}, {"Descripcion", descripcion}, {"CExtra1", codigo},
          {"CExtra2", nombre}}},
        {"SELECT * FROM CDetalleVentaCot WHERE Numero = 3", {{"Nombre", nombre}, {"Descripcion", descripcion}}},
        {"SELECT * FROM CdetalleVentaFacRD WHERE Numero = -1", {{"Nombre", nombre}, {"Descripcion", descripcion}}},
        {"SELECT * FROM cDetalleVentaFacCorte WHERE Numero = -1",
         {{"Cextra1", descripcion.isEmpty() ? nombre : descripcion}}},
        {"SELECT * FROM CDetalleNCredito WHERE Numero = 1", {{"Nombre", nombre}, {"CodigodeBarras", codigo}}},
        {"SELECT * FROM DEInventarioCNombre", {{"Nombre", nombre}}},
        {"SELECT * FROM cESInventarioDev", {{"Nombre", nombre}, {"PDescripcion", descripcion}}},
        {"SELECT * FROM cESProducto", {{"Nombre", nombre}, {"CodigodeBarras", codigo}}},
        {"SELECT * FROM CESInventario", {{"Nombre", nombre}, {"CodigodeBarras", codigo}}},
        {"SELECT * FROM CDoctosCredito", {{"Descripcion", descripcion}, {"CodigodeBarras", codigo}}},
    };
    for (const Consulta& c : consultas) {
        const db::Rows r = filas(c.sql);
        ASSERT_FALSE(r.empty()) << c.sql;
        for (const auto& [columna, esperado] : c.columnas)
            EXPECT_EQ(r.front().text(columna), esperado) << c.sql << " " << columna;
    }
    // Productos más vendidos lists it by its name.
    auto vendidos = printing::ProductosVendidos(bd(), QDate(2026, 12, 9), QDate(2026, 12, 9), false);
    ASSERT_TRUE(vendidos && !vendidos->empty());
    EXPECT_EQ(vendidos->front().text("Nombre"), nombre);

    // Another branch of the folder reads the same name for a line of its own.
    const QString otra = tmp.filePath("otra.db");
    ASSERT_TRUE(QFile::copy(datasetup::rutaPlantillaSucursal(data), otra));
    db::OpenOptions op;
    op.password = datasetup::claveArchivos();
    op.centralPath = datasetup::rutaBDCodigos(data);
    auto sucursal = db::Database::open(otra, op);
    ASSERT_TRUE(sucursal);
    ASSERT_TRUE(sucursal->exec("INSERT INTO Venta (Numero, Tipo, Fecha, Total, Status) VALUES (5, 'T', "
                               "'2026-12-09 10:00:00', 7, 1)"));
    ASSERT_TRUE(sucursal->exec("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, PrecioUnit) "
                               "VALUES (5, 'T', ?, 1, 7)",
                               {producto}));
    auto fila = sucursal->selectOne("SELECT * FROM CDetalleVentaFac WHERE Numero = 5 AND Tipo = 'T'");
    ASSERT_TRUE(fila && !fila->empty());
    EXPECT_EQ(fila->text("Nombre"), nombre);
    EXPECT_EQ(fila->text("CExtra1"), codigo);
}

}  // namespace
