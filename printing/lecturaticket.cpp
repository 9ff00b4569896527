#include "platform/db/database.h"
#include "printing/ticketventa.h"
#include "shell/estado.h"

namespace {
std::function<QDateTime()>& reloj() {
    static std::function<QDateTime()> r;
    return r;
}
}  // namespace

void EstableceRelojTicket(std::function<QDateTime()> r) { reloj() = std::move(r); }
QDateTime HoraTicket() { return reloj() ? reloj()() : QDateTime::currentDateTime(); }

std::optional<DatosTicketVenta> LeeTicketVenta(db::Database& bd, qint64 numero, QString* error) {
    db::Error e;
    const auto filas = bd.select(QStringLiteral("SELECT * FROM CDetalleVentaFac WHERE Numero = ? AND Tipo = 'T'"),
                                 {numero}, &e);
    if (!filas) {
        if (error) *error = e.message;
        return std::nullopt;
    }
    DatosTicketVenta d;
    d.numero = numero;
    d.impreso = HoraTicket();
    if (filas->empty()) return d;

    const db::Row& primera = filas->front();
    d.Fecha = primera.text(QStringLiteral("Fecha"));
    d.NombreC = primera.text(QStringLiteral("NombreC"));
    d.Cliente = primera.text(QStringLiteral("Cliente"));
    d.DescFact = primera.real(QStringLiteral("DescFact"));
    if (primera.has(QStringLiteral("Total")) && !primera.value(QStringLiteral("Total")).isNull())
        d.Total = primera.real(QStringLiteral("Total"));
    for (const db::Row& r : *filas) {
        LineaTicketVenta l;
        l.CodigodeBarras = r.text(QStringLiteral("CodigodeBarras"));
        l.CExtra1 = r.text(QStringLiteral("CExtra1"));
        l.CExtra4 = r.text(QStringLiteral("CExtra4"));
        l.Nombre = r.text(QStringLiteral("Nombre"));
        l.CExtra3 = r.real(QStringLiteral("CExtra3"));
        l.PrecioUnit = r.real(QStringLiteral("PrecioUnit"));
        l.Importe = r.real(QStringLiteral("Importe"));
        l.Descuento = r.real(QStringLiteral("Descuento"));
        d.lineas.push_back(l);
    }

    const auto venta = bd.selectOne(
        QStringLiteral("SELECT formapago, Pagacon, formapago2, Pagacon2, formapago3, Pagacon3 "
                       "FROM Venta WHERE Numero = ? AND Tipo = 'T'"),
        {numero}, &e);
    if (!venta) {
        if (error) *error = e.message;
        return std::nullopt;
    }
    static const char* const codigos[] = {"formapago", "formapago2", "formapago3"};
    static const char* const importes[] = {"Pagacon", "Pagacon2", "Pagacon3"};
    for (int i = 0; i < 3; ++i) {
        PagoTicketVenta& p = d.pagos[size_t(i)];
        p.codigo = int(venta->integer(QLatin1String(codigos[i])));
        p.importe = venta->real(QLatin1String(importes[i]));
        if (p.codigo == 0) continue;
        if (p.codigo > 0 && p.codigo < int(G().NombresFormaPago.size()))
            p.nombre = G().NombresFormaPago[size_t(p.codigo)];
        if (p.nombre.isEmpty()) {
            const auto nombre = bd.scalar(
                QStringLiteral("SELECT Descripcion FROM Formasdepago WHERE TPago = ?"), {p.codigo}, &e);
            if (nombre && nombre->isValid() && !nombre->isNull()) p.nombre = nombre->toString();
        }
    }
    return d;
}
