#pragma once
// Closing a counter sale as a ticket (Facturar: the ticket command and the ticket key sequence):
// the checks, the optional payment dialog, the ticket number, header, line stamps and stock, the
// generic products, the credit notes used as payment, all in one transaction; then the ticket on
// the receipt printer with the drawer. Tickets always print at this terminal, print server or not.

#include "platform/db/database.h"
#include "sale/venta_factura.h"

namespace venta {

// The ticket close. Nothing happens outside mode "F". The ticket's total is the screen's total.
ResultadoCierre Facturar(db::Database& bd, const VentaEnPantalla& venta, AccionesCierre& acciones);

}  // namespace venta
