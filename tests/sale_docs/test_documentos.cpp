#include "sale/documentos.h"
#include "sale/esperaesc.h"
#include "sale/folios.h"
#include "sucursal_prueba.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

using sale::ClaseDocumento;

QStringList Nombres(const std::vector<std::pair<QString, QVariant>>& columnas) {
    QStringList n;
    for (const auto& c : columnas) n << c.first;
    return n;
}

TEST(DocsEncabezado, ColumnsWrittenForEachKind) {
    sale::DatosEncabezado d;
    d.FormaPagoSel[1] = 1;
    const QString comunes = QStringLiteral("Tipo Empleado Sucursal Terminal Cliente Fecha");
    EXPECT_EQ(Nombres(sale::ColumnasEncabezado(ClaseDocumento::Factura, 1, d)).join(' '),
              comunes + QStringLiteral(" Total Vendedor CondicionPago Descuento Numero IVAP Pagacon "
                                       "FormaPago ObsVenta PagaObs1"));
    EXPECT_EQ(Nombres(sale::ColumnasEncabezado(ClaseDocumento::Ticket, 1, d)).join(' '),
              comunes + QStringLiteral(" Vendedor Total Descuento Numero IVAP Pagacon FormaPago PagaObs1"));
    EXPECT_EQ(Nombres(sale::ColumnasEncabezado(ClaseDocumento::Cotizacion, 1, d)).join(' '),
              comunes + QStringLiteral(" Total CondicionPago Descuento Numero IVAP Pagacon FormaPago "
                                       "ObsVenta PagaObs1"));
    // Slot 3 chosen without slot 2: only slot 3 is added.
    d.FormaPagoSel[3] = 2;
    EXPECT_EQ(Nombres(sale::ColumnasEncabezado(ClaseDocumento::FacturaE, 1, d)).mid(16).join(' '),
              QStringLiteral("Pagacon3 FormaPago3 PagaObs3"));
}

// The stored total is whole cents, whatever the lines added up to.
TEST(DocsEncabezado, TotalIsStoredInWholeCents) {
    sale::DatosEncabezado d;
    auto total = [&d](ClaseDocumento clase, double valor) {
        d.Total = valor;
        for (const auto& [nombre, v] : sale::ColumnasEncabezado(clase, 1, d))
            if (nombre == QLatin1String("Total")) return v.toDouble();
        return -1.0;
    };
    EXPECT_EQ(total(ClaseDocumento::Ticket, 84.9915), 84.99);
    EXPECT_EQ(total(ClaseDocumento::Factura, 1.005), 1.01);
    EXPECT_EQ(total(ClaseDocumento::Cotizacion, 2.675), 2.68);
    EXPECT_EQ(total(ClaseDocumento::FacturaE, -19.995), -20.0);
    EXPECT_EQ(total(ClaseDocumento::Ticket, 70), 70.0);
    EXPECT_FALSE(std::signbit(total(ClaseDocumento::Ticket, -0.004)));  // no negative zero
}

TEST(DocsEncabezado, LinesFallIntoInvoicesOfAtMostTheLimit) {
    std::vector<qint64> lineas;
    for (qint64 i = 1; i <= 25; ++i) lineas.push_back(i);
    auto f = sale::DivideEnFacturas(lineas, 10);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].size(), 10u);
    EXPECT_EQ(f[2], (std::vector<qint64>{21, 22, 23, 24, 25}));
    EXPECT_EQ(sale::DivideEnFacturas(lineas, 0).size(), 1u);
    EXPECT_EQ(sale::DivideEnFacturas(lineas, 25).size(), 1u);
    EXPECT_EQ(sale::DivideEnFacturas({7, 8, 9}, 1), (std::vector<std::vector<qint64>>{{7}, {8}, {9}}));
}

// A split sale stores each payment once across its parts, split by what each part costs: the notes
// first, then the other payments, each over the parts in order and none beyond a part's total.
TEST(DocsEncabezado, SplitSaleStoresEachPaymentOnce) {
    struct Caso {
        std::vector<double> totales;
        std::vector<std::tuple<int, double, QString>> pagos;  // form, amount, reference
        std::vector<std::vector<std::tuple<int, double, QString>>> partes;
    };
    const QString nota = QStringLiteral("1");
    const std::vector<Caso> casos{
        // The sale: two parts of 80.00, note 38.50 and cash 121.50.
        {{80, 80}, {{1, 121.5, {}}, {4, 38.5, nota}}, {{{1, 41.5, {}}, {4, 38.5, nota}}, {{1, 80, {}}}}},
        // A note worth more than the sale pays each part up to its total; what it brought beyond
        // the sale was change and no part carries it, nor the cash nothing was left for.
        {{30, 50}, {{4, 100, nota}, {1, 30, {}}}, {{{4, 30, nota}}, {{4, 50, nota}}}},
        // A note of the whole sale over two parts: each carries its own total of it.
        {{447.63, 66}, {{4, 513.63, nota}}, {{{4, 447.63, nota}}, {{4, 66, nota}}}},
        // A note larger than the first part, the rest by card.
        {{20, 30.5}, {{4, 25, nota}, {2, 25.5, QStringLiteral("9876")}},
         {{{4, 20, nota}}, {{4, 5, nota}, {2, 25.5, QStringLiteral("9876")}}}},
        // Cash tendered beyond the total was change: no part carries it.
        {{10, 20}, {{1, 50, {}}}, {{{1, 10, {}}}, {{1, 20, {}}}}},
        // Two cards over three parts, in slot order.
        {{10, 10, 10}, {{2, 15, QStringLiteral("1234")}, {3, 15, {}}},
         {{{2, 10, QStringLiteral("1234")}}, {{2, 5, QStringLiteral("1234")}, {3, 5, {}}}, {{3, 10, {}}}}},
    };
    for (size_t c = 0; c < casos.size(); ++c) {
        SCOPED_TRACE(c);
        sale::DatosEncabezado venta;
        for (size_t i = 0; i < casos[c].pagos.size(); ++i) {
            const auto& [forma, importe, ref] = casos[c].pagos[i];
            venta.FormaPagoSel[i + 1] = forma;
            venta.ImportesPago[i + 1] = importe;
            venta.ReferenciasPago[i + 1] = ref;
        }
        const auto partes = sale::RepartePagos(venta, casos[c].totales);
        ASSERT_EQ(partes.size(), casos[c].partes.size());
        for (size_t k = 0; k < partes.size(); ++k) {
            EXPECT_EQ(partes[k].Total, casos[c].totales[k]);
            std::vector<std::tuple<int, double, QString>> pagos;
            for (size_t i = 1; i <= 3; ++i)
                if (partes[k].FormaPagoSel[i] != 0)
                    pagos.emplace_back(int(partes[k].FormaPagoSel[i]), partes[k].ImportesPago[i],
                                       partes[k].ReferenciasPago[i]);
            EXPECT_EQ(pagos, casos[c].partes[k]) << k;
        }
    }
    // The parts add up to the sale to the cent, the last taking the rounding: two halves of 487.50
    // that end in half a cent are not both rounded up.
    EXPECT_EQ(sale::TotalesPartes({346.625, 140.875}, 487.50), (std::vector<double>{346.63, 140.87}));
    EXPECT_EQ(sale::TotalesPartes({10.004, 20.004, 30.004}, 60.01), (std::vector<double>{10.0, 20.0, 30.01}));
    EXPECT_EQ(sale::TotalesPartes({12.345}, 12.345), (std::vector<double>{12.35}));
    // One document keeps the payment as it was given.
    sale::DatosEncabezado una;
    una.FormaPagoSel[1] = 1;
    una.ImportesPago[1] = 500;
    EXPECT_EQ(sale::RepartePagos(una, {8.0}).front().ImportesPago[1], 500.0);
}

TEST(DocsEncabezado, FolioLabels) {
    EXPECT_EQ(sale::TextoRem(ClaseDocumento::Factura, QStringLiteral("A"), 42), QStringLiteral("Factura: A 000042"));
    EXPECT_EQ(sale::TextoRem(ClaseDocumento::FacturaE, QStringLiteral("A"), 42), QStringLiteral("Factura: A 000042"));
    EXPECT_EQ(sale::TextoRem(ClaseDocumento::Ticket, QString(), 7), QStringLiteral("Ticket:  000007"));
    EXPECT_EQ(sale::TextoRem(ClaseDocumento::Cotizacion, QStringLiteral("B"), 1234567),
              QStringLiteral("COTIZ: B 1234567"));
    EXPECT_EQ(sale::TextoRemInicial(15), QStringLiteral("F:15"));
}

class DocsGuardado : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        bd_ = prueba::CreaSucursal(dir_.filePath(QStringLiteral("BDSucursal.db")));
        ASSERT_TRUE(bd_);
        datos_.Empleado = 3;
        datos_.Sucursal = 1;
        datos_.Terminal = 2;
        datos_.Cliente = QStringLiteral("XAXX010101000");
        datos_.Vendedor = 5;
        datos_.CondicionPago = 1;
        datos_.IVAP = 16;
        datos_.Descuento = 2.5;
        datos_.FormaPagoSel[1] = 1;
        datos_.ImportesPago[1] = 100;
    }
    db::Row Venta(qint64 numero, const QString& tipo) {
        auto r = bd_->selectOne(QStringLiteral("SELECT * FROM Venta WHERE Numero = ? AND Tipo = ?"),
                                {numero, tipo});
        return r ? *r : db::Row();
    }
    // Everything a failed save must leave as it was.
    QString Estado() {
        QStringList s;
        for (const char* sql : {"SELECT group_concat(Numerofolio || ':' || ValorFolio) FROM Folios",
                                "SELECT count(*) FROM Venta", "SELECT count(*) FROM Solicitafolios",
                                "SELECT group_concat(IdLinea || ':' || Numero || TipoDocto) FROM DetalleVenta",
                                "SELECT group_concat(ClaveProducto || ':' || Existencia) FROM Existencia"}) {
            auto v = bd_->scalar(QString::fromLatin1(sql));
            s << (v ? v->toString() : QStringLiteral("?"));
        }
        return s.join('|');
    }

    QTemporaryDir dir_;
    std::unique_ptr<db::Database> bd_;
    sale::DatosEncabezado datos_;
};

TEST_F(DocsGuardado, HeadersKeepTableDefaultsForColumnsTheyDoNotWrite) {
    ASSERT_TRUE(bd_->beginWrite());
    sale::Documento t, f, c;
    ASSERT_TRUE(sale::ObtenerRemT(*bd_, datos_, t));
    datos_.FormaPagoSel[2] = 3;
    datos_.ImportesPago[2] = 20;
    ASSERT_TRUE(sale::ObtenerRem(*bd_, sale::TipoFacturaE, datos_, f));
    ASSERT_TRUE(sale::ObtenerFCot(*bd_, 1, datos_, c));
    ASSERT_TRUE(bd_->commit());
    EXPECT_EQ(t.NumeroDocumento, 1);
    EXPECT_EQ(t.TipoDocumento, QStringLiteral("T"));
    EXPECT_EQ(f.TipoDocumento, QStringLiteral("E"));
    EXPECT_EQ(c.TipoDocumento, QStringLiteral("C"));

    // What the table gives a column nobody writes.
    ASSERT_TRUE(bd_->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo) VALUES (999, 'X')")));
    const db::Row def = Venta(999, QStringLiteral("X"));
    auto porDefecto = [&def](const db::Row& r, const char* columna) {
        const QString c = QString::fromLatin1(columna);
        return r.value(c) == def.value(c) && r.isNull(c) == def.isNull(c);
    };

    const db::Row ticket = Venta(1, QStringLiteral("T"));
    EXPECT_EQ(ticket.integer(QStringLiteral("Vendedor")), 5);
    EXPECT_TRUE(porDefecto(ticket, "CondicionPago"));
    EXPECT_TRUE(porDefecto(ticket, "ObsVenta"));
    EXPECT_TRUE(porDefecto(ticket, "FormaPago2"));
    EXPECT_TRUE(porDefecto(ticket, "Pagacon3"));
    EXPECT_EQ(ticket.integer(QStringLiteral("Status")), 1);
    EXPECT_EQ(ticket.integer(QStringLiteral("IdCorte")), 0);
    EXPECT_EQ(ticket.integer(QStringLiteral("FE")), 0);
    EXPECT_EQ(ticket.real(QStringLiteral("Pagacon")), 100);
    // A payment without reference is an empty text, not Null.
    EXPECT_FALSE(ticket.isNull(QStringLiteral("PagaObs1")));
    EXPECT_EQ(ticket.text(QStringLiteral("PagaObs1")), QString());

    const db::Row factura = Venta(1, QStringLiteral("E"));
    EXPECT_EQ(factura.text(QStringLiteral("ObsVenta")), QStringLiteral(" "));
    EXPECT_EQ(factura.integer(QStringLiteral("CondicionPago")), 1);
    EXPECT_EQ(factura.integer(QStringLiteral("Vendedor")), 5);
    EXPECT_EQ(factura.real(QStringLiteral("Pagacon2")), 20);
    EXPECT_EQ(factura.real(QStringLiteral("FormaPago2")), 3);
    EXPECT_TRUE(porDefecto(factura, "FormaPago3"));
    EXPECT_DOUBLE_EQ(factura.real(QStringLiteral("Descuento")), 2.5);
    EXPECT_EQ(factura.integer(QStringLiteral("IVAP")), 16);
    EXPECT_EQ(factura.text(QStringLiteral("Fecha")).size(), 19);  // yyyy-MM-dd HH:mm:ss

    const db::Row cot = Venta(1, QStringLiteral("C"));
    EXPECT_TRUE(porDefecto(cot, "Vendedor"));
    EXPECT_EQ(cot.integer(QStringLiteral("CondicionPago")), 1);
    EXPECT_EQ(cot.text(QStringLiteral("Cliente")), QStringLiteral("XAXX010101000"));
}

TEST_F(DocsGuardado, StockChangesAddReplaceAndCreate) {
    ASSERT_TRUE(bd_->exec(QStringLiteral("UPDATE Existencia SET Existencia = 2 WHERE ClaveProducto = 1")));
    // An empty stock counts as 0 (where the table lets a stock be empty at all).
    const bool vacia =
        bd_->exec(QStringLiteral("UPDATE Existencia SET Existencia = NULL WHERE ClaveProducto = 2"));
    const qint64 a = prueba::AgregaLinea(*bd_, 1, 3);
    const qint64 b = prueba::AgregaLinea(*bd_, 2, 4);
    const qint64 c = prueba::AgregaLinea(*bd_, 77, 1.5);  // a product with no stock row yet
    const qint64 d = prueba::AgregaLinea(*bd_, 3, 10);
    const sale::Documento doc{9, QStringLiteral("T")};
    double nuevo = 0;
    ASSERT_TRUE(sale::ActualizaExis(*bd_, a, sale::MovimientoExis::Salida, true, doc, {}, &nuevo));
    EXPECT_EQ(nuevo, -1);  // selling more than there is leaves negative stock
    ASSERT_TRUE(sale::ActualizaExis(*bd_, b, sale::MovimientoExis::Salida, true, doc, {}, &nuevo));
    EXPECT_EQ(nuevo, vacia ? -4 : prueba::ExistenciaInicial - 4);
    ASSERT_TRUE(sale::ActualizaExis(*bd_, c, sale::MovimientoExis::Entrada, true, doc, {}, &nuevo));
    EXPECT_EQ(prueba::Existencia(*bd_, 77), 1.5);
    ASSERT_TRUE(sale::ActualizaExis(*bd_, d, sale::MovimientoExis::Entrada, false, doc, {}, &nuevo));
    EXPECT_EQ(prueba::Existencia(*bd_, 3), 10);  // replaced, not added
    EXPECT_EQ(prueba::Contar(*bd_, QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = 9 "
                                                  "AND TipoDocto = 'T'")),
              4);
    // A line that is gone is an error and changes no stock.
    db::Error e;
    EXPECT_FALSE(sale::ActualizaExis(*bd_, 999, sale::MovimientoExis::Salida, true, doc, {}, nullptr, &e));
    EXPECT_EQ(e.kind, db::ErrorKind::NotFound);

    // A whole save moves stock the same way, by each line's own product and quantity: a product
    // sold on two lines, a product with no stock row yet, a set (not added) stock.
    auto guarda = [&](sale::ClaseDocumento clase, bool sumar, std::vector<qint64> lineas) {
        sale::PorGuardar g;
        g.Clase = clase;
        g.Encabezado = datos_;
        g.SumarInventario = sumar;
        g.Documentos.push_back({10, std::move(lineas)});
        const sale::Guardado r = sale::GuardaDocumento(*bd_, g, {});
        EXPECT_TRUE(r.ok) << r.error.message.toStdString();
    };
    guarda(ClaseDocumento::Ticket, true,
           {prueba::AgregaLinea(*bd_, 1, 2), prueba::AgregaLinea(*bd_, 78, 0.5), prueba::AgregaLinea(*bd_, 1, 1.25)});
    EXPECT_EQ(prueba::Existencia(*bd_, 1), -1 - 3.25);
    EXPECT_EQ(prueba::Existencia(*bd_, 78), -0.5);
    guarda(ClaseDocumento::Ticket, false, {prueba::AgregaLinea(*bd_, 3, 4)});
    EXPECT_EQ(prueba::Existencia(*bd_, 3), -4);  // set to the movement, as ActualizaExis sets it
}

TEST_F(DocsGuardado, TicketSaveStoresHeaderLinesStockAndOnlyItsOwnLines) {
    const qint64 l1 = prueba::AgregaLinea(*bd_, 1, 2, 15);
    const qint64 l2 = prueba::AgregaLinea(*bd_, 2, 1, 40);
    const qint64 otra = prueba::AgregaLinea(*bd_, 1, 5);  // another terminal's pending line
    sale::PorGuardar g;
    g.Clase = ClaseDocumento::Ticket;
    g.Encabezado = datos_;
    g.Documentos.push_back({70, {l1, l2}});
    const sale::Guardado r = sale::GuardaDocumento(*bd_, g, {});
    ASSERT_TRUE(r.ok) << r.error.message.toStdString();
    EXPECT_EQ(r.NumeroDocumento(), 1);
    EXPECT_EQ(Venta(1, QStringLiteral("T")).real(QStringLiteral("Total")), 70);
    EXPECT_EQ(prueba::Existencia(*bd_, 1), prueba::ExistenciaInicial - 2);
    EXPECT_EQ(prueba::Existencia(*bd_, 2), prueba::ExistenciaInicial - 1);
    EXPECT_EQ(prueba::Contar(*bd_, QStringLiteral("SELECT Numero FROM DetalleVenta WHERE IdLinea = ?"), {otra}), 0);
    EXPECT_EQ(prueba::RevisaTickets(*bd_, 2), QString());
    EXPECT_EQ(prueba::Contar(*bd_, QStringLiteral("SELECT count(*) FROM Solicitafolios")), 0);
}

TEST_F(DocsGuardado, SplitInvoiceTakesConsecutiveNumbersAndQueuesEachOne) {
    sale::PorGuardar g;
    g.Clase = ClaseDocumento::Factura;
    g.Encabezado = datos_;
    g.Solicitud = sale::SolImprimeFactura;
    // 5 lines, 2 per invoice: 2 + 2 + 1.
    for (int i = 0; i < 3; ++i) {
        sale::DocumentoPorGuardar d;
        for (int j = 0; j < (i < 2 ? 2 : 1); ++j) {
            d.Lineas.push_back(prueba::AgregaLinea(*bd_, 1, 1, 10));
            d.Total += 10;
        }
        g.Documentos.push_back(d);
    }
    const sale::Guardado r = sale::GuardaDocumento(*bd_, g, {});
    ASSERT_TRUE(r.ok) << r.error.message.toStdString();
    EXPECT_EQ(r.Numeros, (std::vector<qint64>{2, 3, 4}));
    EXPECT_EQ(r.NumeroDocumento(), 4);
    EXPECT_EQ(Venta(4, QStringLiteral("F")).real(QStringLiteral("Total")), 10);
    EXPECT_EQ(Venta(2, QStringLiteral("F")).real(QStringLiteral("Total")), 20);
    EXPECT_EQ(prueba::Contar(*bd_, QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = 3 "
                                                  "AND TipoDocto = 'F'")),
              2);
    auto cola = bd_->select(QStringLiteral("SELECT FolioSolicita, valordev, Terminal FROM Solicitafolios "
                                           "ORDER BY valordev"));
    ASSERT_TRUE(cola);
    ASSERT_EQ(cola->size(), 3u);
    EXPECT_EQ((*cola)[0].integer(QStringLiteral("FolioSolicita")), 4);
    EXPECT_EQ((*cola)[2].integer(QStringLiteral("valordev")), 4);
    EXPECT_EQ((*cola)[2].integer(QStringLiteral("Terminal")), 2);
    EXPECT_EQ(prueba::Existencia(*bd_, 1), prueba::ExistenciaInicial - 5);
}

TEST_F(DocsGuardado, AnyFailureInsideTheSaveLeavesEverythingAsItWas) {
    const qint64 l1 = prueba::AgregaLinea(*bd_, 1, 2);
    const qint64 l2 = prueba::AgregaLinea(*bd_, 2, 3);
    const QString antes = Estado();

    sale::PorGuardar g;
    g.Clase = ClaseDocumento::Ticket;
    g.Encabezado = datos_;
    g.Documentos.push_back({50, {l1, l2}});
    g.Solicitud = sale::SolImprimeTicket;
    bool extraCorrio = false;
    g.Extra = [&](db::Database& bd, const sale::Guardado& hecho, db::Error* e) {
        extraCorrio = true;
        EXPECT_EQ(hecho.Numeros, std::vector<qint64>{1});
        // The caller's write fails after its first statement went in.
        bd.exec(QStringLiteral("UPDATE NotaCredito SET Status = 2"));
        return bd.exec(QStringLiteral("INSERT INTO TablaQueNoExiste VALUES (1)"), QVariantList(), e);
    };
    sale::Guardado r = sale::GuardaDocumento(*bd_, g, {});
    EXPECT_TRUE(extraCorrio);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.cancelado);
    EXPECT_EQ(r.NumeroDocumento(), -1);
    EXPECT_FALSE(r.error.message.isEmpty());
    EXPECT_EQ(Estado(), antes);

    // A line deleted meanwhile (e.g. by the pending-line cleanup) fails the save the same way.
    g.Extra = nullptr;
    g.Documentos[0].Lineas.push_back(12345);
    r = sale::GuardaDocumento(*bd_, g, {});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(Estado(), antes);

    // With the lines back in order the same save goes through with the number the failures left.
    g.Documentos[0].Lineas.pop_back();
    r = sale::GuardaDocumento(*bd_, g, {});
    ASSERT_TRUE(r.ok) << r.error.message.toStdString();
    EXPECT_EQ(r.NumeroDocumento(), 1);
}

TEST_F(DocsGuardado, DocumentWithoutPendingLinesStoresNothingAndTakesNoNumber) {
    // A line already stored in ticket 7, and a quotation 3 that exists with one of its lines.
    const qint64 vendida = prueba::AgregaLinea(*bd_, 1, 1, 10);
    ASSERT_TRUE(bd_->exec(QStringLiteral("UPDATE DetalleVenta SET Numero = 7, TipoDocto = 'T' "
                                         "WHERE IdLinea = ?"),
                          {vendida}));
    sale::DatosEncabezado cot = datos_;
    cot.Total = 8;
    ASSERT_TRUE(sale::EscribeEncabezado(*bd_, ClaseDocumento::Cotizacion, 3, cot));
    const qint64 deCotizacion = prueba::AgregaLinea(*bd_, 2, 1, 8, QStringLiteral("C"));
    const qint64 huerfana = prueba::AgregaLinea(*bd_, 2, 1, 8, QStringLiteral("C"));
    ASSERT_TRUE(bd_->exec(QStringLiteral("UPDATE DetalleVenta SET Numero = 3 WHERE IdLinea = ?"),
                          {deCotizacion}));
    ASSERT_TRUE(bd_->exec(QStringLiteral("UPDATE DetalleVenta SET Numero = 9 WHERE IdLinea = ?"),
                          {huerfana}));
    const qint64 pendiente = prueba::AgregaLinea(*bd_, 1, 2, 10);
    const QString antes = Estado();

    const std::vector<std::pair<const char*, std::vector<qint64>>> malos = {
        {"sin lineas", {}},
        {"linea de otro documento", {pendiente, vendida}},
        {"linea repetida", {pendiente, pendiente}},
        {"cotizacion que no existe", {huerfana}},
    };
    for (const ClaseDocumento clase : {ClaseDocumento::FacturaE, ClaseDocumento::Ticket}) {
        for (const auto& [caso, lineas] : malos) {
            sale::PorGuardar g;
            g.Clase = clase;
            g.Encabezado = datos_;
            g.Solicitud = sale::SolFacturaE;
            g.Documentos.push_back({8, lineas});
            const sale::Guardado r = sale::GuardaDocumento(*bd_, g, {});
            EXPECT_FALSE(r.ok) << caso;
            EXPECT_EQ(r.NumeroDocumento(), -1) << caso;
            EXPECT_FALSE(r.error.message.isEmpty()) << caso;
            EXPECT_EQ(Estado(), antes) << caso;
        }
    }
    // One bad invoice of a split sale undoes the good one before it.
    sale::PorGuardar partida;
    partida.Clase = ClaseDocumento::Factura;
    partida.Encabezado = datos_;
    partida.Documentos = {{20, {pendiente}}, {8, {}}};
    EXPECT_FALSE(sale::GuardaDocumento(*bd_, partida, {}).ok);
    EXPECT_EQ(Estado(), antes);

    // The lines of a stored quotation are sold with the pending ones, and take the invoice's stamp.
    sale::PorGuardar g;
    g.Clase = ClaseDocumento::FacturaE;
    g.Encabezado = datos_;
    g.Documentos.push_back({28, {pendiente, deCotizacion}});
    const sale::Guardado r = sale::GuardaDocumento(*bd_, g, {});
    ASSERT_TRUE(r.ok) << r.error.message.toStdString();
    EXPECT_EQ(prueba::Contar(*bd_, QStringLiteral("SELECT count(*) FROM DetalleVenta WHERE Numero = ? "
                                                  "AND TipoDocto = 'E'"),
                             {r.NumeroDocumento()}),
              2);
    // Sold once: the same lines cannot go into a second document.
    const QString despues = Estado();
    EXPECT_FALSE(sale::GuardaDocumento(*bd_, g, {}).ok);
    EXPECT_EQ(Estado(), despues);
}

// Counts the Esc presses that reach the screen.
class Pantalla : public QLineEdit {
public:
    int escs = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) ++escs;
        QLineEdit::keyPressEvent(e);
    }
};

TEST_F(DocsGuardado, EscOnAnyWidgetCancelsTheWaitAndNothingChanges) {
    const qint64 l1 = prueba::AgregaLinea(*bd_, 1, 2);
    const QString antes = Estado();

    // Another terminal holds the write lock for as long as the test needs.
    auto otra = db::Database::open(bd_->path());
    ASSERT_TRUE(otra);
    ASSERT_TRUE(otra->beginWrite());

    Pantalla campo;
    campo.show();
    sale::EsperaConEsc esc;
    QTest::keyClick(&campo, Qt::Key_Escape);  // no wait running: the screen gets its Esc
    EXPECT_EQ(campo.escs, 1);
    QStringList textos;
    sale::PorGuardar g;
    g.Clase = ClaseDocumento::Ticket;
    g.Encabezado = datos_;
    g.Documentos.push_back({20, {l1}});
    sale::Guardado r;
    QTimer::singleShot(150, &campo, [&campo] { QTest::keyClick(&campo, Qt::Key_A); });
    QTimer::singleShot(250, &campo, [&campo] { QTest::keyClick(&campo, Qt::Key_Escape); });
    r = sale::GuardaDocumento(*bd_, g, esc.espera([&](const QString& t) { textos << t; }));
    EXPECT_TRUE(esc.cancelado());
    EXPECT_EQ(campo.escs, 1);  // the Esc that ended the wait went no further
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.cancelado);
    EXPECT_EQ(r.NumeroDocumento(), -1);
    EXPECT_EQ(campo.text(), QStringLiteral("a"));  // other keys still reach the screen
    ASSERT_EQ(textos.size(), 2);  // the wait was shown, then cleared
    EXPECT_FALSE(textos.first().isEmpty());
    EXPECT_TRUE(textos.last().isEmpty());
    otra->rollback();
    EXPECT_EQ(Estado(), antes);
    QTest::keyClick(&campo, Qt::Key_Escape);  // the wait is over: Esc reaches the screen again
    EXPECT_EQ(campo.escs, 2);

    // An open read of another terminal holds the COMMIT back: the same wait shows, Esc leaves it
    // and the whole save rolls back (no number taken, the lines still pending).
    QSqlQuery lectura(otra->connection());
    lectura.setForwardOnly(true);
    ASSERT_TRUE(lectura.exec(QStringLiteral("SELECT Numerofolio FROM Folios UNION ALL SELECT 0")));
    ASSERT_TRUE(lectura.next());
    textos.clear();
    QTimer::singleShot(150, &campo, [&campo] { QTest::keyClick(&campo, Qt::Key_Escape); });
    r = sale::GuardaDocumento(*bd_, g, esc.espera([&](const QString& t) { textos << t; }));
    lectura.finish();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.kind, db::ErrorKind::Cancelled);
    EXPECT_EQ(textos, (QStringList{db::LockWait().statusText, QString()}));
    EXPECT_EQ(Estado(), antes);
    EXPECT_FALSE(bd_->inTransaction());

    // The lines were left pending: the next save stores them.
    r = sale::GuardaDocumento(*bd_, g, esc.espera());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.NumeroDocumento(), 1);
}

}  // namespace
