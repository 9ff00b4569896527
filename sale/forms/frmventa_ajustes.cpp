// Line adjustments of the sale screen: the discount, quantity and unit-price prompts, the line
// details and the generic products.

#include "sale/forms/frmventa.h"

namespace venta {

void frmVenta::DescuentoProducto() {}
void frmVenta::AplicaCantidad() {}
void frmVenta::AplicaPUnit() {}
QString frmVenta::TextoDetalles(int) const { return {}; }
void frmVenta::ProductoGenericoCapturado() {}

}  // namespace venta
