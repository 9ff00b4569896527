#include "shell/estado.h"
#include "shell/secuencia.h"
#include "shell/texto.h"

#include <gtest/gtest.h>

using namespace shell;

TEST(TextoVal, StopsAtTheFirstCharacterThatIsNotPartOfANumber) {
    EXPECT_DOUBLE_EQ(Val("12abc"), 12);
    EXPECT_DOUBLE_EQ(Val("$5"), 0);
    EXPECT_DOUBLE_EQ(Val("1-2"), 1);
    EXPECT_DOUBLE_EQ(Val(""), 0);
    EXPECT_DOUBLE_EQ(Val("  -3.5 kg"), -3.5);
    EXPECT_DOUBLE_EQ(Val("1 2 3"), 123);  // blanks inside are skipped
    EXPECT_DOUBLE_EQ(Val("1.5.3"), 1.5);
    EXPECT_DOUBLE_EQ(Val("2E3x"), 2000);
    EXPECT_DOUBLE_EQ(Val("2Ex"), 2);
    EXPECT_DOUBLE_EQ(Val("&HFF"), 255);
    EXPECT_DOUBLE_EQ(Val("1,234"), 1);
    EXPECT_EQ(ValEntero("12 renglones"), 12);
    EXPECT_EQ(ValEntero("2.5"), 2);  // halves to even
    EXPECT_EQ(ValEntero("3.5"), 4);
}

TEST(TextoTecleado, CommasSignsAndMarkers) {
    EXPECT_DOUBLE_EQ(QuitaComas("1,234.5"), 1234.5);
    EXPECT_DOUBLE_EQ(QuitaComas("$1,234"), 0);
    EXPECT_EQ(ExtraeNumero("$ -1,234.50 MN"), "-1234.50");
    EXPECT_EQ(ExtraeNumero("1-2"), "1-2");
    EXPECT_EQ(ExtraeNumero(""), "");
    EXPECT_EQ(ReemplazaEnter("A[ENTER]B[ENTER]"), "A\nB\n");
    EXPECT_EQ(ReemplazaEnter("[ENTER[ENTER]]"), "[ENTER\n]");
    EXPECT_TRUE(ValidaCaracteresRFC("xaxx010101000"));
    EXPECT_TRUE(ValidaCaracteresRFC(""));
    EXPECT_FALSE(ValidaCaracteresRFC("ABC 010101"));
    EXPECT_FALSE(ValidaCaracteresRFC("A&B010101"));
    EXPECT_FALSE(ValidaCaracteresRFC(QString::fromUtf8("MUÑO010101")));
    EXPECT_EQ(Ajusta("Ana María Guadalupe Ortiz", 20), QString::fromUtf8("Ana María Guadalupe "));
    EXPECT_EQ(Ajusta("Luis", 6), "Luis  ");
}

TEST(TextoTecleado, WholeNumbersUpToTheLargestFolio) {
    EXPECT_EQ(EnteroTecleado(" 42 "), 42);
    EXPECT_EQ(EnteroTecleado("0"), 0);
    EXPECT_EQ(EnteroTecleado("2147483647"), 2147483647);
    EXPECT_EQ(EnteroTecleado("0000000042"), 42);
    for (const char* malo : {"", "   ", "2147483648", "9999999999", "00000000042", "-3", "+3", "1.5", "1 2",
                             "12A", "1e3", "0x1F"})
        EXPECT_EQ(EnteroTecleado(QString::fromUtf8(malo)), std::nullopt) << malo;
    // Digits of other scripts are not read as a number (nor as 0).
    EXPECT_EQ(EnteroTecleado(QString::fromUtf8("٤٢")), std::nullopt);
    EXPECT_EQ(EnteroTecleado(QString::fromUtf8("４２")), std::nullopt);
}

TEST(TextoRedondea, HalvesAwayFromZeroOnTheDecimalValue) {
    EXPECT_DOUBLE_EQ(Redondea(0.125, 2), 0.13);
    EXPECT_DOUBLE_EQ(Redondea(-0.125, 2), -0.13);
    EXPECT_DOUBLE_EQ(Redondea(2.5, 0), 3);
    EXPECT_DOUBLE_EQ(Redondea(-2.5, 0), -3);
    // Binary doubles just below the half must still round up.
    EXPECT_DOUBLE_EQ(Redondea(1.005, 2), 1.01);
    EXPECT_DOUBLE_EQ(Redondea(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(Redondea(1.15 * 3, 1), 3.5);
    EXPECT_DOUBLE_EQ(Redondea(116.0 * 0.16, 2), 18.56);
    EXPECT_DOUBLE_EQ(Redondea(1234.5678, 2), 1234.57);
    EXPECT_DOUBLE_EQ(Redondea(0.0, 2), 0.0);
    EXPECT_EQ(Centavos(1.005), 101);
    EXPECT_EQ(Centavos(-19.995), -2000);
    EXPECT_EQ(Centavos(0.1 + 0.2), 30);
}

TEST(TextoFormato, PatternsOfAmountsFoliosAndDates) {
    EXPECT_EQ(Formato(1234.5, "###,##0.00"), "1,234.50");
    EXPECT_EQ(Formato(0, "###,##0.00"), "0.00");
    EXPECT_EQ(Formato(-1234567.891, "###,##0.00"), "-1,234,567.89");
    EXPECT_EQ(Formato(2.675, "###,##0.00"), "2.68");
    EXPECT_EQ(Formato(-0.001, "###,##0.00"), "0.00");
    EXPECT_EQ(Formato(42, "000000"), "000042");
    EXPECT_EQ(Formato(1234567, "000000"), "1234567");
    EXPECT_EQ(Formato(7, "00"), "07");
    EXPECT_EQ(Formato(950.5, "##,##0.00"), "950.50");
    EXPECT_EQ(Formato(0, "###,###.00"), ".00");
    EXPECT_EQ(Formato(1500, "###,###.00"), "1,500.00");
    EXPECT_EQ(Formato(12.5, "$###,##0.00"), "$12.50");
    EXPECT_EQ(Formato(3.14159, "0.##"), "3.14");
    EXPECT_EQ(Formato(3.1, "0.##"), "3.1");

    const QDate d(2026, 12, 9);
    EXPECT_EQ(FormatoFecha(d, "dd/mm/YYYY"), "09/12/2026");
    EXPECT_EQ(FormatoFecha(d, "MM/DD/YYYY"), "12/09/2026");
    EXPECT_EQ(FormatoFecha(QDate(), "dd/mm/yyyy"), "");
    EXPECT_EQ(FechaLarga(d), QString::fromUtf8("MIÉRCOLES, 9 DE DICIEMBRE DE 2026"));
    EXPECT_EQ(FechaLarga(QDate(2027, 1, 3)), QString::fromUtf8("DOMINGO, 3 DE ENERO DE 2027"));
    EXPECT_EQ(FechaHoraISO(QDateTime(d, QTime(14, 5))), "2026-12-09 14:05:00");
}

TEST(EstadoFormasDePago, ResetKeepsAmountsAndLookupTakesTheLastMatch) {
    ReiniciaEstado();
    auto& g = G();
    g.NombresFormaPago[2] = "Efectivo";
    g.NombresFormaPago[5] = "Efectivo";
    g.NombresFormaPago[15] = "Vales";
    EXPECT_EQ(devFormaPago("Efectivo"), "5");
    EXPECT_EQ(devFormaPago("efectivo"), "");
    g.ImportesPago[1] = 150.0;
    g.FormaPagoSel[1] = 3;
    g.ReferenciasPago[1] = "1234";
    InitFormasdePago();
    EXPECT_EQ(devFormaPago(""), "14");
    EXPECT_EQ(g.NombresFormaPago[15], "Vales");
    EXPECT_DOUBLE_EQ(g.ImportesPago[1], 150.0);
    EXPECT_DOUBLE_EQ(g.FormaPagoSel[1], 0);
    EXPECT_EQ(g.ReferenciasPago[1], "");
}

TEST(TeclasPrincipal, CtrlAltTOpensTheReportUntilAnotherKey) {
    SecuenciaTeclas s;
    EXPECT_FALSE(s.tecla(84));
    s.tecla(17);
    EXPECT_FALSE(s.tecla(84));  // Ctrl, T
    s.tecla(17);
    s.tecla(17);  // a repeated Ctrl does not break it
    s.tecla(18);
    s.tecla(18);
    EXPECT_TRUE(s.tecla(84));
    EXPECT_TRUE(s.tecla(84));
    s.tecla(88);
    EXPECT_FALSE(s.tecla(84));
    s.tecla(17);
    s.tecla(18);
    s.tecla(88);  // Ctrl, Alt, X, T
    EXPECT_FALSE(s.tecla(84));
    s.tecla(18);  // Alt without Ctrl first
    EXPECT_FALSE(s.tecla(84));
}
