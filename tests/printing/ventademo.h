#pragma once
// The demo branch and sale the ticket tests print.

#include "printing/ticketventa.h"
#include "shell/estado.h"

namespace {

inline void sucursalDemo() {
    ReiniciaEstado();
    EstadoGlobal& g = G();
    g.NombreEmp = QStringLiteral("ABARROTES LA ESPAÑOLA");
    g.RazonSocial = QStringLiteral("Comercializadora Peña SA de CV");
    g.RFCEmpresa = QStringLiteral("CPE010203AB4");
    g.SucursalActual = 1;
    g.DescripcionSuc[1] = QStringLiteral("SUCURSAL CENTRO");
    g.DireccionSuc[1] = QStringLiteral("Av. Juárez 12[ENTER]Col. Centro");
    g.TelefonoSuc[1] = QStringLiteral("555-0101");
    g.EncTicket = QStringLiteral("GRACIAS POR SU COMPRA");
    g.PieTicket = QStringLiteral("VUELVA PRONTO");
    g.UsuarioActual = QStringLiteral("MARÍA");
    g.NombresFormaPago[1] = QStringLiteral("EFECTIVO");
    g.NombresFormaPago[2] = QStringLiteral("TARJETA");
    g.NombresFormaPago[4] = QStringLiteral("NOTA DE CRÉDITO");
    g.ImporteRecibido = QStringLiteral("500");
    g.EspT = 1;
}

inline LineaTicketVenta linea(const QString& cod, const QString& nombre, double cant, double precio,
                       double desc = 0) {
    LineaTicketVenta l;
    l.CodigodeBarras = cod;
    l.CExtra1 = cod;
    l.Nombre = nombre;
    l.CExtra3 = cant;
    l.PrecioUnit = precio;
    l.Importe = cant * precio;
    l.Descuento = desc;
    return l;
}

inline DatosTicketVenta ventaDemo() {
    DatosTicketVenta d;
    d.numero = 57;
    d.Fecha = QStringLiteral("2026-12-09 14:05:00");
    d.NombreC = QStringLiteral("PÚBLICO EN GENERAL");
    d.Cliente = QStringLiteral("XAXX010101000");
    d.impreso = QDateTime(QDate(2026, 12, 9), QTime(14, 7, 30));
    d.lineas.push_back(linea("7501000111", QStringLiteral("Café soluble 200g"), 2, 20));
    d.lineas.push_back(linea("7501000222", QStringLiteral("Galletas"), 1, 11.11, 1));
    d.lineas.push_back(linea("7501000333333333333333333333333",
                             QStringLiteral("Detergente líquido multiusos aroma lavanda 3 litros"), 3, 2.5));
    LineaTicketVenta gen = linea("VARIOS", QString(), 1, 15.5);
    gen.CExtra4 = QStringLiteral("GENERICOPAPELERIA");
    d.lineas.push_back(gen);
    d.pagos[0] = {1, 100, QStringLiteral("EFECTIVO")};
    return d;
}

// Three payment slots (the second unused) and a 10 percent general discount; sets PagosMultiples.
inline DatosTicketVenta ventaDemoTresPagos() {
    G().PagosMultiples = 1;
    DatosTicketVenta d = ventaDemo();
    d.DescFact = 10;
    d.pagos[0] = {1, 50, QStringLiteral("EFECTIVO")};
    d.pagos[1] = {0, 0, QString()};
    d.pagos[2] = {4, 60, QStringLiteral("NOTA DE CRÉDITO")};
    return d;
}

}  // namespace
