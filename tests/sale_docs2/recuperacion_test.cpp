#include "fixture.h"

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

}  // namespace
