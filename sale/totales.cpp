#include "sale/totales.h"

#include "shell/texto.h"

#include <cmath>

namespace venta {

namespace {

constexpr int kTopeCantidad = 9999;

// Quantity sum kept as a 16-bit whole number: capped at 9999 upwards, never below the type's floor.
int SumaCantidad(int acumulado, double cantidad)
{
    const double suma = acumulado + cantidad;
    if (suma > kTopeCantidad)
        return kTopeCantidad;
    if (suma < -32768)
        return -32768;
    return static_cast<int>(shell::EnteroPar(suma));
}

// Whole part towards minus infinity of a value that should be exact in a few decimals; the binary
// error of the double (99.99999999999999 for 100) must not take a unit off.
double Entero(double x)
{
    return std::floor(shell::Redondea(x, 6));
}

}  // namespace

void VentanaLineas(int numLineas, int first, int last, int* desde, int* hasta)
{
    *desde = first < 0 ? 0 : first;
    *hasta = (last > 0 && last < numLineas) ? last : numLineas - 1;
}

Totales CalculaTotal(const std::vector<LineaTotal>& lineas, int first, int last, double descuento)
{
    Totales t;
    t.lineas = static_cast<int>(lineas.size());
    int desde = 0, hasta = -1;
    VentanaLineas(t.lineas, first, last, &desde, &hasta);
    for (int i = desde; i <= hasta; ++i) {
        const LineaTotal& l = lineas[static_cast<size_t>(i)];
        t.total += l.importe;
        t.cantidadProductos = SumaCantidad(t.cantidadProductos, l.cantidad);
    }
    t.descuentoGeneral = descuento * t.total / 100;
    t.total -= t.descuentoGeneral;
    return t;
}

Totales CalculaTotalDES(const std::vector<LineaTotal>& lineas, int first, int last,
                        double descuento, int ivaPantalla)
{
    Totales t;
    t.lineas = static_cast<int>(lineas.size());
    int desde = 0, hasta = -1;
    VentanaLineas(t.lineas, first, last, &desde, &hasta);
    double base = 0, exento = 0;
    for (int i = desde; i <= hasta; ++i) {
        const LineaTotal& l = lineas[static_cast<size_t>(i)];
        if (l.iva)
            base += shell::Redondea(l.pPrecioUnitD * l.cantidad, 4);
        else
            exento += l.importe;
        t.cantidadProductos = SumaCantidad(t.cantidadProductos, l.cantidad);
    }
    // The discount on the taxable part is cut down to whole cents.
    base -= Entero(descuento * base) / 100;
    const double iva = shell::Redondea(ivaPantalla * base / 100, 4);
    const double exentoNeto = exento - shell::Redondea(descuento / 100 * exento, 2);
    // Cut to six decimals.
    t.total = std::floor(shell::Redondea((exentoNeto + base + iva) * 1000000, 3)) / 1000000;
    t.base = base;
    t.iva = iva;
    t.exento = exentoNeto;
    return t;
}

QString FormatoTotal(double total)
{
    const QString cifra = shell::Formato(std::fabs(total), QStringLiteral("###,###,##0.00"));
    if (total < 0 && cifra != QLatin1String("0.00"))
        return QStringLiteral("-$ ") + cifra;
    return QStringLiteral("$ ") + cifra;
}

QString TextoCantidadProductos(const Totales& t)
{
    return QString::number(t.cantidadProductos) + QStringLiteral(" Productos. ")
           + QString::number(t.lineas);
}

QString MensajeDescuentoMaximo(int maximo)
{
    return QStringLiteral("Descuento no permitido: el máximo autorizado es %1%.").arg(maximo);
}

DescuentoTecleado ValidaDescuento(const QString& texto, bool permiso41, int maxDescuentoFact)
{
    DescuentoTecleado r;
    if (texto.trimmed().isEmpty()) {
        r.valor = 0.0;
        return r;
    }
    const auto v = shell::LeeNumeroEn(texto, QStringLiteral("Descuento %"), shell::RangoNumero{}, &r.mensaje);
    if (!v)
        return r;
    const int tope = permiso41 ? 50 : maxDescuentoFact;
    r.valor = *v;
    if (*v > tope) {
        r.valor = tope;
        r.mensaje = MensajeDescuentoMaximo(tope);
    }
    return r;
}

double ImporteLinea(double cantidad, double precioUnit, double descuento)
{
    return shell::Redondea(cantidad * precioUnit * (1 - descuento / 100), 6);
}

double PrecioSinIVA(double precioUnit, double descuento, int ivaPantalla)
{
    return shell::Redondea(precioUnit * (1 - descuento / 100) / (1 + ivaPantalla / 100.0), 4);
}

}  // namespace venta
