// Text fitting, decoration by code set, amounts and the code page of the ticket text.

#include "avisos.h"
#include "platform/print/codepage850.h"
#include "platform/report/totals.h"
#include "printing/formato.h"
#include "printing/textoticket.h"
#include "shell/estado.h"
#include "shell/texto.h"

#include <gtest/gtest.h>

namespace {

QString esc(const char* s) { return QString::fromLatin1(s); }

class TextoTicketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReiniciaEstado();
        LimpiaTextoTicket();
    }
    void usaJuego(int n) {
        G().CodigosPTicket = n;
        EstableceCodigosPTicket(n);
    }
};

TEST_F(TextoTicketTest, CentraSobre33ColumnasConMitadesAlPar) {
    usaJuego(0);
    EXPECT_EQ(CentraTexto(QString(13, 'x')), QString(9, ' ') + QString(13, 'x'));   // d = 10
    EXPECT_EQ(CentraTexto(QString(10, 'x')), QString(11, ' ') + QString(10, 'x'));  // 11.5 -> 12
    EXPECT_EQ(CentraTexto(QString(20, 'x')), QString(5, ' ') + QString(20, 'x'));   // 6.5 -> 6
    EXPECT_EQ(CentraTexto(QString(31, 'x')), QString(31, 'x'));                     // k = 0
    EXPECT_EQ(CentraTexto(QString(40, 'x')), QString(40, 'x'));
}

TEST_F(TextoTicketTest, AlineaDerechaSinCodigosNuncaCorta) {
    usaJuego(0);
    EXPECT_EQ(AlineaDerecha(QStringLiteral("40.00")), QString(27, ' ') + "40.00");
    EXPECT_EQ(AlineaDerecha(QString(40, 'y')), QString(40, 'y'));
}

TEST_F(TextoTicketTest, AjustaYRellena) {
    const QString treinta = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234");
    EXPECT_EQ(AjustaTexto(25, treinta), treinta.left(23) + "..");
    EXPECT_EQ(AjustaTexto(25, treinta.left(24)), treinta.left(23));
    EXPECT_EQ(AjustaTexto(25, QStringLiteral("ABCDE")), QStringLiteral("ABCDE") + QString(18, ' '));

    QString t = QStringLiteral("7");
    EXPECT_EQ(RellenaTexto(t, 2, QStringLiteral("0"), false), QStringLiteral("07"));
    EXPECT_EQ(t, QStringLiteral("07"));
    t = QStringLiteral("7");
    EXPECT_EQ(RellenaTexto(t, 2, QStringLiteral("0"), true), QStringLiteral("70"));
    t = QStringLiteral("123");
    EXPECT_EQ(RellenaTexto(t, 2, QStringLiteral("0"), false), QStringLiteral("123"));
    // an empty pad would never grow the text
    t = QStringLiteral("7");
    EXPECT_EQ(RellenaTexto(t, 5, QString(), true), QStringLiteral("7"));
}

TEST_F(TextoTicketTest, DecoracionPorJuego) {
    usaJuego(1);
    QString izq = QStringLiteral("A");
    EXPECT_EQ(AlineaIzquierda(izq), esc("\x1b" "a0A"));
    EXPECT_EQ(izq, esc("\x1b" "a0A"));
    EXPECT_EQ(AlineaDerecha("A"), esc("\x1b" "a2A"));
    EXPECT_EQ(CentraTexto("A"), esc("\x1b" "a1A"));
    EXPECT_EQ(AplicaFuenteA("A"), esc("\x1bM0A"));
    EXPECT_EQ(AplicaFuenteB("A"), esc("\x1bM1A"));

    usaJuego(3);
    EXPECT_EQ(AplicaFuenteA("A"), esc("\x1b!0A"));
    EXPECT_EQ(AplicaFuenteB("A"), esc("\x1b!1A"));
    EXPECT_EQ(AlineaDerecha("A"), esc("\x1b" "a2A"));

    // set 2: print mode 0 and a line feed in front of aligned lines, which stay in the buffer
    usaJuego(2);
    const QString modo = QString(QChar(0x1b)) + '!' + QChar(0) + '\n';
    izq = QStringLiteral("B");
    EXPECT_EQ(AlineaIzquierda(izq), modo + "B");
    EXPECT_EQ(AlineaDerecha("B"), modo + "B");
    EXPECT_EQ(AplicaFuenteA("B"), QStringLiteral("B"));
    EXPECT_TRUE(TextoTicket().isEmpty());
}

TEST_F(TextoTicketTest, JuegoFueraDeRangoSeComportaComoElCero) {
    usaJuego(1);
    usaJuego(4);
    EXPECT_EQ(CentraTexto(QString(13, 'x')), QString(9, ' ') + QString(13, 'x'));
    EXPECT_EQ(AplicaFuenteA("T"), QStringLiteral("T"));
    EXPECT_TRUE(CodigosActuales().CodInicio.isEmpty());
}

TEST_F(TextoTicketTest, ElJuegoCeroNoHeredaCodigosDeOtro) {
    usaJuego(1);
    usaJuego(0);
    const JuegoCodigos& c = CodigosActuales();
    EXPECT_TRUE(c.CodInicio.isEmpty());
    EXPECT_TRUE(c.CodCorte.isEmpty());
    EXPECT_TRUE(c.CodAlinIzq.isEmpty());
    // the drawer code carries both timing bytes in every set
    EXPECT_EQ(print::aCp850(c.CodCajon), QByteArray("\x1bp0\x19\xfa"));
    usaJuego(3);
    EXPECT_EQ(print::aCp850(CodigosActuales().CodCajon), QByteArray("\x1bp0\x19\xfa"));
}

TEST(Formato, MontosAlCentavoSinErrorBinario) {
    EXPECT_DOUBLE_EQ(TruncaCentavos(11.11 - 11.11 * 1 / 100.0), 10.99);
    EXPECT_DOUBLE_EQ(TruncaCentavos(40 - 40 * 10 / 100.0), 36.0);
    EXPECT_DOUBLE_EQ(TruncaCentavos(0.1 + 0.2), 0.3);    // 0.30000000000000004
    EXPECT_DOUBLE_EQ(TruncaCentavos(1.15 * 100 / 100), 1.15);
    // toward zero, on the decimal value: -1.005 is -1.00499999... in binary
    EXPECT_EQ(TruncaCentavos(-1.005), -1.0);
    EXPECT_EQ(TruncaCentavos(-10.9989), -10.99);
    EXPECT_EQ(TruncaCentavos(-(0.1 + 0.2)), -0.3);
    EXPECT_EQ(TruncaCentavos(-0.004), 0.0);

    EXPECT_EQ(FormatoMonto(1234567.5), QStringLiteral("1,234,567.50"));
    EXPECT_EQ(FormatoMonto(1234567.5, false), QStringLiteral("1234567.50"));
    EXPECT_EQ(FormatoMonto(0.5, true, false), QStringLiteral(".50"));
    EXPECT_EQ(FormatoMonto(0), QStringLiteral("0.00"));
    EXPECT_EQ(FormatoMonto(2.675), QStringLiteral("2.68"));  // 2.67499999... in binary
    EXPECT_EQ(FormatoMonto(-3.5), QStringLiteral("-3.50"));
    EXPECT_EQ(FormatoMonto(-0.004), QStringLiteral("0.00"));
    EXPECT_EQ(FormatoMonto(-0.5, true, false), QStringLiteral("-.50"));

    EXPECT_EQ(NumeroPlano(10), QStringLiteral("10"));
    EXPECT_EQ(NumeroPlano(7.5), QStringLiteral("7.5"));
    EXPECT_EQ(NumeroPlano(100.0 / 3), QStringLiteral("33.3333333333333"));
    EXPECT_EQ(NumeroPlano(0.0000001), QStringLiteral("0.0000001"));
}

TEST(CodePage850, AcentosYCaracteresParecidos) {
    EXPECT_EQ(print::aCp850(QStringLiteral("Ñandú ÁÉÍÓÚ ¿?")),
              QByteArray("\xa5" "and\xa3 \xb5\x90\xd6\xe0\xe9 \xa8?"));
    // What the page lacks prints as the nearest it has; '?' only when nothing is near.
    EXPECT_EQ(print::aCp850(QString::fromUtf8("“Hola” — 5 € ‘x’ – …")), QByteArray("\"Hola\" - 5 EUR 'x' - ..."));
    EXPECT_EQ(print::aCp850(QString::fromUtf8("ŚŹŻąęńśźżčřšžůőűĞğşȘțŷ")), QByteArray("SZZaenszzcrszuouGgsSty"));
    EXPECT_EQ(print::aCp850(QString::fromUtf8("•")), QByteArray("\xfa"));
    EXPECT_EQ(print::aCp850(QString::fromUtf8("漢")), QByteArray("?"));
    EXPECT_EQ(print::aCp850(QString(QChar(0x1b)) + "@\n"), QByteArray("\x1b@\n"));
    const QString todo = print::desdeCp850([] {
        QByteArray b;
        for (int i = 0; i < 256; ++i) b.append(char(i));
        return b;
    }());
    QByteArray esperado;
    for (int i = 0; i < 256; ++i) esperado.append(char(i));
    EXPECT_EQ(print::aCp850(todo), esperado);
}

// The ticket, the reports and the screens show an amount the same way, halves included.
TEST(Formato, MontosIgualesEnTicketReporteYPantalla) {
    for (double v : {1.005, 2.675, -2.675, 0.125, 1234567.895, 999.995, -0.005, 0.0, 84.9915, 1e15 + 0.5}) {
        const QString ticket = FormatoMonto(v);
        EXPECT_EQ(report::formatAmount(v), ticket) << v;
        EXPECT_EQ(shell::Formato(v, QStringLiteral("###,##0.00")), ticket) << v;
        EXPECT_EQ(shell::Centavos(v) / 100.0, shell::Redondea(v, 2)) << v;
    }
}

}  // namespace
