#pragma once
// The sale screen's closing commands: the sell command (invoices), the electronic-invoice command
// and the ticket close (the ticket button and the ticket key sequence). Each one reads the sale off
// the screen, runs the headless close (venta_factura.h, cierre_ticket.h) with the screen's payment
// dialog, status bar and Esc wait, and starts a new document when the sale was stored. While one
// runs (the screen's Procesando) a second one does nothing.

namespace venta {

class frmVenta;
class frmFacturar;
struct VentaEnPantalla;

// The screen's payment dialog, made on first use (one per screen).
frmFacturar* DialogoPago(frmVenta& forma);
// The screen's sale as the closes read it.
VentaEnPantalla VentaDePantalla(frmVenta& forma);

// The screen's print entry: the stored invoice NumeroDocumento on the invoice template. Nothing
// when the screen holds no stored document.
void Imprimir(frmVenta& forma);

// cmdFacturar (tipo 4) and cmdFacturaE (tipo 7).
void VenderPantalla(frmVenta& forma, int tipo);
// cmdTicket and the ticket key sequence: prepare the payment dialog, no payments yet, Facturar.
void TicketPantalla(frmVenta& forma);

}  // namespace venta
