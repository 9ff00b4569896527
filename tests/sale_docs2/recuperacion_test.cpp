#include "fixture.h"

#include "sale/lineas.h"
#include "sale/recuperacion.h"

namespace {

using venta::AccionRecuperar;
using venta::InterpretaRecuperar;

TEST(Recuperar, FolioDigitsOnlyAndTypeLetterChecked) {
    struct Caso {
        const char* folio;
        const char* tipo;
        int parTickets;
        AccionRecuperar accion;
        qint64 numero;
    };
    const Caso casos[] = {
        {"15", "F", 1, AccionRecuperar::Documento, 15},
        {" 15 ", "e", 1, AccionRecuperar::Documento, 15},
        {"3", "c", 0, AccionRecuperar::Cotizacion, 3},
        {"7", "T", 1, AccionRecuperar::Documento, 7},
        {"7", "T", 0, AccionRecuperar::TicketsBloqueados, 7},
        {"15", "X", 1, AccionRecuperar::TipoNoValido, 15},
        {"15", "F' OR '1'='1", 1, AccionRecuperar::TipoNoValido, 15},
        {"15", "", 1, AccionRecuperar::TipoNoValido, 15},
        {"15 OR 1=1", "F", 1, AccionRecuperar::Nada, 0},
        {"1.5", "F", 1, AccionRecuperar::Nada, 0},
        {"-3", "F", 1, AccionRecuperar::Nada, 0},
        {"1e3", "F", 1, AccionRecuperar::Nada, 0},
        {"", "F", 1, AccionRecuperar::Nada, 0},
        {"99999999999", "F", 1, AccionRecuperar::Nada, 0},
    };
    for (const Caso& c : casos) {
        const auto p = InterpretaRecuperar(QString::fromUtf8(c.folio), QString::fromUtf8(c.tipo), c.parTickets);
        EXPECT_EQ(p.accion, c.accion) << c.folio << " / " << c.tipo;
        if (c.accion != AccionRecuperar::Nada) {
            EXPECT_EQ(p.numero, c.numero) << c.folio;
        }
    }
}

TEST(Recuperar, NonNumericFolioAsksNoType) {
    ui::ScriptedPrompts p;
    p.pushInput(QStringLiteral("abc"));
    EXPECT_EQ(venta::PideRecuperar(p, 1).accion, AccionRecuperar::Nada);
    EXPECT_EQ(p.asked().size(), 1u);

    p.clear();
    p.pushInput(QStringLiteral("4"));
    p.pushInput(QStringLiteral("Z"));
    EXPECT_EQ(venta::PideRecuperar(p, 1).accion, AccionRecuperar::TipoNoValido);
    EXPECT_EQ(p.messages().size(), 1);
}

// The lines of a recalled document are only ever let go of: deleting one, or the screen's lines
// under the document's own number, leaves them stored; the screen's own pending lines still go.
TEST_F(Docs2Test, RecalledStoredLinesAreNeverDeleted) {
    ASSERT_TRUE(bd().exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                                         "PrecioUnit) VALUES (3, 'C', ?, 1, 10), (3, 'C', ?, 2, 5)"),
                          {clave(0), clave(1)}));
    const auto guardadas = bd().select(QStringLiteral("SELECT IdLinea FROM DetalleVenta WHERE Numero = 3"));
    ASSERT_TRUE(guardadas && guardadas->size() == 2);
    const std::vector<qint64> ids{guardadas->at(0).integer(QStringLiteral("IdLinea")),
                                  guardadas->at(1).integer(QStringLiteral("IdLinea"))};
    const qint64 pendiente = linea(clave(2), 1, 7);

    venta::LineasVenta lineas(&bd());
    lineas.adoptaGuardadas({ids[0], ids[1]});
    lineas.adopta({pendiente});
    ASSERT_TRUE(lineas.recarga());
    ASSERT_EQ(lineas.count(), 3);
    EXPECT_TRUE(lineas.guardada(0));
    EXPECT_FALSE(lineas.guardada(2));
    db::Error e;
    EXPECT_FALSE(lineas.borra(0, &e));
    EXPECT_FALSE(e.message.isEmpty());
    EXPECT_EQ(lineas.count(), 3);
    // Pending under the quotation's number (a quotation screen that recalled its own number).
    ASSERT_TRUE(lineas.borraTodas(3));
    EXPECT_EQ(quedan(ids), 2);
    EXPECT_EQ(lineas.count(), 0);

    lineas.adoptaGuardadas({ids[0]});
    lineas.adopta({pendiente});
    ASSERT_TRUE(lineas.recarga());
    ASSERT_TRUE(lineas.borraTodas(0));
    EXPECT_EQ(quedan(ids), 2);
    EXPECT_EQ(quedan({pendiente}), 0);
    // A new set starts with no stored lines: a line added later is the screen's own again.
    lineas.adopta({ids[1]});
    ASSERT_TRUE(lineas.recarga());
    EXPECT_FALSE(lineas.guardada(0));
}

}  // namespace
