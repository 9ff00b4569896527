#pragma once
// Totals of the lines being captured on the sale screen: the plain total (sum of line amounts less
// the general discount) and the total rebuilt from the tax breakdown, over a window of lines.

#include "shell/sucursal.h"

#include <QString>

#include <optional>

#include <vector>

namespace venta {

// What the totals read of a line.
struct LineaTotal {
    double importe = 0;       // line amount after its own discount
    double cantidad = 0;
    bool iva = false;         // the line bears tax
    double pPrecioUnitD = 0;  // unit price before tax (taxable lines)
};

struct Totales {
    double total = 0;             // TotalVenta
    double descuentoGeneral = 0;  // only CalculaTotal sets it
    int cantidadProductos = 0;    // sum of quantities, capped at 9999
    int lineas = 0;               // lines of the whole document (for the count label)
    // Breakdown (CalculaTotalDES only).
    double base = 0, iva = 0, exento = 0;
};

// Positions [first, last] of the lines that a window covers; (0, 0) covers all; an empty range
// (first > last) when nothing is visited.
void VentanaLineas(int numLineas, int first, int last, int* desde, int* hasta);

// Plain total; `descuento` is the general discount percent.
Totales CalculaTotal(const std::vector<LineaTotal>& lineas, int first, int last, double descuento);
// Total from the breakdown at the screen's tax percent.
Totales CalculaTotalDES(const std::vector<LineaTotal>& lineas, int first, int last,
                        double descuento, int ivaPantalla);

// "$ 1,234.50"
QString FormatoTotal(double total);
// "<quantity sum> Productos. <line count>"
QString TextoCantidadProductos(const Totales& t);

// Tax percent of the breakdown: the branch parameter when it is not 0, else 16.
using shell::IVAPantalla;

// The general discount as typed, read by the one number reader: with permission 41 the cap is 50,
// without it `maxDescuentoFact`; a value above the cap is taken as the cap and the message says so.
// A text that is no number, or a negative one, is refused (no value) with its message. An empty
// field is no discount.
struct DescuentoTecleado {
    std::optional<double> valor;
    QString mensaje;
};
DescuentoTecleado ValidaDescuento(const QString& texto, bool permiso41, int maxDescuentoFact);
// "Descuento no permitido: el máximo autorizado es 10%."
QString MensajeDescuentoMaximo(int maximo);

// Amount and pre-tax unit price of a line, as the line source shows them.
double ImporteLinea(double cantidad, double precioUnit, double descuento);
double PrecioSinIVA(double precioUnit, double descuento, int ivaPantalla);

}  // namespace venta
