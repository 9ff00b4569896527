#include "fixture.h"

#include "sale/nota_credito.h"

#include <QFileInfo>

namespace {

using ui::Answer;

class NotaCredito : public Docs2Test {
protected:
    venta::DatosNotaCredito datos(std::vector<qint64> lineas) {
        venta::DatosNotaCredito d;
        d.ClienteVenta = QStringLiteral("JUAN PEREZ");
        d.ClienteDocumento = QStringLiteral("PEJJ800101AB1");
        d.lineas = std::move(lineas);
        d.Descuento = QStringLiteral("5");
        d.Total = 57;
        d.Empleado = 1;
        d.Terminal = 2;
        d.IVAP = 16;
        return d;
    }
    // Stock question, observation, reference.
    void responde(Answer inventario, const QString& obs, const QString& ref) {
        prompts.pushAnswer(inventario);
        prompts.pushInput(obs);
        prompts.pushInput(ref);
    }
};

TEST_F(NotaCredito, SavedWithLinesHeaderAndStockBack) {
    const qint64 a = linea(clave(0), 2, 10), b = linea(clave(1), 3, 12.5);
    const qint64 otra = linea(clave(2), 1, 1);  // another screen's line, not in the note
    responde(Answer::Yes, QStringLiteral("Devolución por defecto"), QStringLiteral(" 42 "));
    const auto r = venta::GuardaNotaCredito(bd(), datos({a, b}), prompts, espera);

    ASSERT_EQ(r.NumeroDocumento, 1);
    EXPECT_EQ(folio(3), 1);
    EXPECT_EQ(existencia(clave(0)), 102);
    EXPECT_EQ(existencia(clave(1)), 103);
    EXPECT_EQ(valor(QStringLiteral("SELECT sum(Cantidad * PrecioUnit) FROM DNotaCredito WHERE Numero = 1")).toDouble(), 57.5);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM NotaCredito WHERE Numero = 1 AND FactRef = 42 AND Status = 1 "
                                    "AND Cliente = 'PEJJ800101AB1'")), 1);
    // The note's lines went with the save itself: nothing is left for the screen to bring back.
    EXPECT_EQ(quedan({a, b}), 0);
    EXPECT_EQ(quedan({otra}), 1);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().join('|').toStdString();
}

TEST_F(NotaCredito, RefusalsWriteNothing) {
    const qint64 a = linea(clave(0), 2, 10);
    const QString errorRef = QString::fromUtf8("Error en el numero de referencia. El registro de la nota de credito se canceló.");
    for (const QString& ref : {QStringLiteral("12.5"), QStringLiteral("12A"), QString(), QStringLiteral("-3"),
                               QStringLiteral("1 OR 1=1"), QStringLiteral("2147483648")}) {
        prompts.clear();
        responde(Answer::Yes, QStringLiteral("x"), ref);
        const auto r = venta::GuardaNotaCredito(bd(), datos({a}), prompts, espera);
        EXPECT_EQ(r.NumeroDocumento, -1) << ref.toStdString();
        EXPECT_EQ(r.falla, venta::FallaNota::ReferenciaNoValida);
        EXPECT_EQ(prompts.lastMessage(), errorRef);
    }
    prompts.clear();
    prompts.pushAnswer(Answer::Cancel);
    EXPECT_EQ(venta::GuardaNotaCredito(bd(), datos({a}), prompts, espera).falla, venta::FallaNota::Cancelada);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("El registro de la nota de credito se cancelo."));

    EXPECT_EQ(folio(3), 0);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM NotaCredito")), 0);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DNotaCredito")), 0);
    EXPECT_EQ(existencia(clave(0)), 100);
    EXPECT_EQ(quedan({a}), 1);
}

TEST_F(NotaCredito, HeaderFailureUndoesFolioLinesAndStock) {
    const qint64 a = linea(clave(0), 2, 10);
    fallaAlInsertar(QStringLiteral("NotaCredito"));
    responde(Answer::Yes, QStringLiteral("x"), QStringLiteral("7"));
    auto d = datos({a});
    d.Solicitud = 9;
    const auto r = venta::GuardaNotaCredito(bd(), d, prompts, espera);
    EXPECT_EQ(r.NumeroDocumento, -1);
    EXPECT_EQ(r.falla, venta::FallaNota::NoGuardada);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM Solicitafolios")), 0);
    EXPECT_EQ(folio(3), 0);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM DNotaCredito")), 0);
    EXPECT_EQ(existencia(clave(0)), 100);
    EXPECT_EQ(quedan({a}), 1);  // the person can try again
    EXPECT_TRUE(prompts.messages().join('|').contains(QStringLiteral("intentelo de nuevo")));
}

TEST_F(NotaCredito, NoStockChangeEmptyObservationAndPrint) {
    const qint64 a = linea(clave(0), 2, 10);
    responde(Answer::No, QString(), QStringLiteral("0"));
    auto d = datos({a});
    d.Solicitud = 9;  // electronic invoicing on
    const auto r = venta::GuardaNotaCredito(bd(), d, prompts, espera);
    ASSERT_EQ(r.NumeroDocumento, 1);
    EXPECT_EQ(existencia(clave(0)), 100);
    EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8("La nota de credito se guardará sin observaciones."));
    EXPECT_EQ(valor(QStringLiteral("SELECT Observaciones FROM NotaCredito WHERE Numero = 1")).toString(), QString());
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM Solicitafolios WHERE FolioSolicita = 9 AND valordev = 1 "
                                    "AND Terminal = 2")), 1);
    venta::DestinoImpresion destino;
    destino.destino = report::Destination::Pdf;
    destino.archivoPdf = tmp.filePath(QStringLiteral("nc.pdf"));
    ASSERT_TRUE(venta::ImprimeNCredito(1, destino, prompts)) << prompts.messages().join('|').toStdString();
    EXPECT_GT(QFileInfo(destino.archivoPdf).size(), 0);
    EXPECT_FALSE(venta::ImprimeNCredito(99, destino, prompts));
}

}  // namespace
