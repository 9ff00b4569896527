#include "sale/totales.h"
#include "shell/texto.h"

#include <gtest/gtest.h>

using namespace venta;

namespace {

LineaTotal Exenta(double importe, double cantidad = 1)
{
    return {importe, cantidad, false, 0};
}

LineaTotal Gravada(double pSinIva, double cantidad, double importe)
{
    return {importe, cantidad, true, pSinIva};
}

}  // namespace

TEST(VentaTotales, PlainTotalWithGeneralDiscountAndEmptyDocument)
{
    const Totales vacio = CalculaTotal({}, 0, 0, 10);
    EXPECT_EQ(vacio.total, 0);
    EXPECT_EQ(FormatoTotal(vacio.total), "$ 0.00");
    EXPECT_EQ(TextoCantidadProductos(vacio), "0 Productos. 0");

    const Totales t = CalculaTotal({Exenta(100), Exenta(50, 2)}, 0, 0, 10);
    EXPECT_DOUBLE_EQ(t.total, 135);
    EXPECT_DOUBLE_EQ(t.descuentoGeneral, 15);
    EXPECT_EQ(FormatoTotal(t.total), "$ 135.00");
    EXPECT_EQ(TextoCantidadProductos(t), "3 Productos. 2");
    EXPECT_EQ(FormatoTotal(1234567.891), "$ 1,234,567.89");
}

TEST(VentaTotales, BreakdownGivesTheWorkedFigures)
{
    // A price of 100 with 16% tax: 86.2069 before tax, 13.7931 tax, exactly 100 again.
    const double sinIva = PrecioSinIVA(100, 0, 16);
    EXPECT_DOUBLE_EQ(sinIva, 86.2069);
    const Totales t = CalculaTotalDES({Gravada(sinIva, 1, 100)}, 0, 0, 0, 16);
    EXPECT_DOUBLE_EQ(t.base, 86.2069);
    EXPECT_DOUBLE_EQ(t.iva, 13.7931);
    EXPECT_DOUBLE_EQ(t.total, 100);
    EXPECT_EQ(FormatoTotal(t.total), "$ 100.00");

    // The discount on the taxable base is cut to cents, not rounded: 123.45 - 12.34.
    const Totales d = CalculaTotalDES({Gravada(123.45, 1, 143.20)}, 0, 0, 10, 16);
    EXPECT_DOUBLE_EQ(d.base, 111.11);
    EXPECT_DOUBLE_EQ(d.iva, 17.7776);
    EXPECT_DOUBLE_EQ(d.total, 128.8876);

    // Exempt part: its discount rounded to cents; a round discount on a round base stays whole.
    const Totales m = CalculaTotalDES({Gravada(100, 1, 116), Exenta(33.33)}, 0, 0, 10, 16);
    EXPECT_DOUBLE_EQ(m.base, 90);
    EXPECT_DOUBLE_EQ(m.exento, 30);
    EXPECT_DOUBLE_EQ(m.total, 90 + 14.4 + 30);
}

TEST(VentaTotales, WindowOfLinesAndQuantityCap)
{
    std::vector<LineaTotal> diez;
    for (int i = 0; i < 10; ++i)
        diez.push_back(Exenta(1 << i));
    EXPECT_DOUBLE_EQ(CalculaTotal(diez, 3, 5, 0).total, 8 + 16 + 32);
    EXPECT_DOUBLE_EQ(CalculaTotal(diez, 0, 0, 0).total, 1023);
    EXPECT_DOUBLE_EQ(CalculaTotal(diez, 8, 20, 0).total, 256 + 512);  // last past the end
    EXPECT_DOUBLE_EQ(CalculaTotal(diez, 12, 0, 0).total, 0);          // first past the end
    EXPECT_EQ(CalculaTotal(diez, 3, 5, 0).lineas, 10);

    const Totales tope = CalculaTotal({Exenta(1, 9000), Exenta(1, 1500), Exenta(1, 2)}, 0, 0, 0);
    EXPECT_EQ(tope.cantidadProductos, 9999);
    EXPECT_EQ(CalculaTotalDES({Exenta(1, 9000), Exenta(1, 1500)}, 0, 0, 0, 16).cantidadProductos,
              9999);
    EXPECT_EQ(CalculaTotal({Exenta(1, 0.5), Exenta(1, 2.4)}, 0, 0, 0).cantidadProductos, 2);
}

TEST(VentaTotales, GeneralDiscountCaps)
{
    // Read by the one number reader; a value above the cap is taken as the cap and said; what is
    // no number, or negative, is refused and said.
    const QString noNumero = shell::MensajeNumero(QStringLiteral("Descuento %"));
    struct Caso {
        const char* texto;
        bool permiso41;
        int max;
        std::optional<double> valor;
        QString mensaje;
    } casos[] = {
        {"60", false, 20, 20, MensajeDescuentoMaximo(20)}, {"60", true, 20, 50, MensajeDescuentoMaximo(50)},
        {"15", false, 20, 15, ""}, {"45", true, 20, 45, ""}, {"", false, 20, 0, ""}, {" 12 ", false, 20, 12, ""},
        {"0,500", false, 20, 0.5, ""}, {"-5", true, 20, {}, "El dato de \"Descuento %\" no puede ser negativo."},
        {"abc", false, 20, {}, noNumero}, {"12abc", true, 20, {}, noNumero}, {"1e3", true, 20, {}, noNumero},
        {"5,00", true, 20, {}, noNumero}, {"100", true, 0, 50, MensajeDescuentoMaximo(50)},
        {"1", false, 0, 0, MensajeDescuentoMaximo(0)},
    };
    for (const Caso& c : casos) {
        const DescuentoTecleado d = ValidaDescuento(QString::fromUtf8(c.texto), c.permiso41, c.max);
        EXPECT_EQ(d.valor, c.valor) << c.texto << " permiso41=" << c.permiso41;
        EXPECT_EQ(d.mensaje, c.mensaje) << c.texto;
    }
    EXPECT_EQ(IVAPantalla(0), 16);
    EXPECT_EQ(IVAPantalla(8), 8);
}
