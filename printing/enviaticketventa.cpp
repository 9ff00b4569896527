#include "printing/cajon.h"
#include "printing/envio.h"
#include "printing/textoticket.h"
#include "printing/ticketventa.h"
#include "shell/estado.h"

bool ImprimeTicketVenta(const DatosTicketVenta& datos, ui::Prompts& avisos) {
    // one message for a missing printer, not one per drawer pulse and another for the ticket
    if (!ImpresoraTicketDisponible(avisos)) return false;
    EstableceCodigosPTicket(G().CodigosPTicket);
    LimpiaTextoTicket();
    ConstruyeTicketVenta(datos);
    // The pulses are jobs of their own and leave the finished ticket in the buffer.
    EnviaPulsosdeCajon(avisos);
    return TerminaPrint(avisos);
}
