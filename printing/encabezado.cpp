#include "printing/encabezado.h"

#include "printing/textoticket.h"
#include "shell/estado.h"
#include "shell/texto.h"

#include <QLocale>

namespace {

const QString LF = QStringLiteral("\n");

QString izquierda(QString texto) { return AlineaIzquierda(texto); }

// A branch number outside the arrays prints empty lines rather than stopping the ticket.
QString deSucursal(const std::array<QString, 11>& valores) {
    const int s = G().SucursalActual;
    return (s >= 0 && s < int(valores.size())) ? valores[size_t(s)] : QString();
}

}  // namespace

QString HoraLarga(const QTime& hora) { return QLocale::c().toString(hora, QStringLiteral("hh:mm:ss AP")); }

QString FechaGeneral(const QString& fechaGuardada) {
    const QString t = fechaGuardada.trimmed();
    QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    if (!dt.isValid()) dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid()) dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(t.left(10), Qt::ISODate);
        return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : t;
    }
    QString s = dt.date().toString(QStringLiteral("dd/MM/yyyy"));
    if (dt.time() != QTime(0, 0)) s += QLatin1Char(' ') + HoraLarga(dt.time());
    return s;
}

void EncabezadoTicket(const QString& fechaVenta, qint64 numeroDocumento, const QDateTime& impreso) {
    const EstadoGlobal& g = G();
    AgregaTextoTicket(LF + izquierda(g.NombreEmp + LF));
    AgregaTextoTicket(izquierda(g.RazonSocial + LF));
    AgregaTextoTicket(izquierda(QStringLiteral("RFC:") + g.RFCEmpresa + LF));
    AgregaTextoTicket(izquierda(deSucursal(g.DescripcionSuc) + LF));
    const QString direccion = deSucursal(g.DireccionSuc);
    AgregaTextoTicket(izquierda(shell::ReemplazaEnter(direccion) + LF));
    // The stored line marker becomes a line break: it is never printed to the customer.
    AgregaTextoTicket(shell::ReemplazaEnter(g.EncTicket) + LF);
    AgregaTextoTicket(izquierda(QStringLiteral("TEL:") + deSucursal(g.TelefonoSuc) + LF));
    AgregaTextoTicket(QStringLiteral("F") + QString::number(numeroDocumento) + LF);
    const QString fecha = QStringLiteral("Fecha    : ") + FechaGeneral(fechaVenta) + QLatin1Char(' ') +
                          HoraLarga(impreso.time());
    AgregaTextoTicket(fecha.toUpper() + LF);
}
