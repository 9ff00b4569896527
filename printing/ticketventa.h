#pragma once
// The sale ticket: its data as read from the branch file, and the layout that turns it into the
// ticket buffer (two lines per item, or one when Formatoticket is 1).

#include "platform/ui/prompts.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace db { class Database; }

struct LineaTicketVenta {
    QString CodigodeBarras;  // "VARIOS" marks a generic line
    QString CExtra1;         // what identifies the product on the ticket
    QString CExtra4;         // a generic line's text, from the ninth character on
    QString Nombre;
    double CExtra3 = 0;      // units
    double PrecioUnit = 0;
    double Importe = 0;      // before the line's discount
    double Descuento = 0;    // percent
};

struct PagoTicketVenta {
    int codigo = 0;  // Formasdepago.TPago; 0 = slot unused
    double importe = 0;
    QString nombre;
};

struct DatosTicketVenta {
    qint64 numero = 0;
    QString Fecha;  // as stored
    QString NombreC;
    QString Cliente;
    double DescFact = 0;  // general discount, percent
    // Venta.Total as stored: what was charged, and what TOTAL prints. Without it the ticket
    // prints the sum of its lines less the general discount.
    std::optional<double> Total;
    std::vector<LineaTicketVenta> lineas;
    std::array<PagoTicketVenta, 3> pagos;
    QDateTime impreso;  // when the ticket is printed
};

// Appends the whole ticket (initialise code, header, lines, totals, payments, footer, cut) to the
// buffer, which the caller has cleared, with the code set loaded. With several payments in use
// ImporteRecibido becomes the sum of the payments.
void ConstruyeTicketVenta(const DatosTicketVenta& datos);

// The clock whose time of day the ticket header prints (the system clock unless set; nullptr
// restores it).
void EstableceRelojTicket(std::function<QDateTime()> reloj);
// The time that clock gives now; receipt-printer listings print it too.
QDateTime HoraTicket();

// Reads ticket `numero` (type "T") from the branch file: its lines from CDetalleVentaFac, its
// payments from Venta and the payment names (NombresFormaPago, else Formasdepago). nullopt with
// `error` set on a database failure; a ticket with no lines comes back with no lines.
std::optional<DatosTicketVenta> LeeTicketVenta(db::Database& bd, qint64 numero, QString* error);

// Builds the whole ticket, pulses the drawer (NTimesCajon jobs of their own), then sends the
// ticket by the branch's path. False when the ticket was not sent.
bool ImprimeTicketVenta(const DatosTicketVenta& datos, ui::Prompts& avisos);

// Prints sale ticket `numero`: reads it, builds it whole, pulses the drawer, then sends it by the
// branch's path. `clienteIdentificado` (when given) tells whether the client key has 12 or more
// characters. False when nothing was printed (no such ticket, a database or printer failure);
// the person has been told why.
bool ImprimeTicketMan(qint64 numero, ui::Prompts& avisos, bool* clienteIdentificado = nullptr);

// The one message of a ticket that did not print, from the reason (ImprimeConUnAviso's clause):
// a ticket just saved says so and how to reprint it.
QString MensajeTicketSinImprimir(qint64 numero, const QString& motivo, bool recienGuardado);
// Prints ticket `numero` by `imprime` (ImprimeTicketMan when empty) and says a failure once, with
// MensajeTicketSinImprimir. The ticket close and the reprint both print this way.
bool ImprimeTicketAvisando(qint64 numero, ui::Prompts& avisos, bool recienGuardado,
                           const std::function<bool(ui::Prompts&)>& imprime = {});
