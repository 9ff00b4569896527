#include "cash/corte.h"

#include "cash/movimientos.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace caja {

namespace {

qint64 CentavosDe(const db::Rows& filas, const QString& campo) {
    // SumaCampo tells the person when a value is not a number.
    const auto suma = shell::SumaCampo(filas, campo);
    return suma ? shell::Centavos(*suma) : 0;
}

// The numbers of the rows shown of one letter, as one JSON array bound to a single parameter: the
// stamp then runs as one statement per letter however many rows the cut holds.
QString Numeros(const db::Rows& filas, const QString& campo, const QString& tipo = {}) {
    QString s = QStringLiteral("[");
    bool primero = true;
    for (const db::Row& f : filas) {
        if (!tipo.isEmpty() && f.text(QStringLiteral("Tipo")) != tipo) continue;
        if (!primero) s += u',';
        primero = false;
        s += QString::number(f.integer(campo));
    }
    s += u']';
    return s;
}

// What tells whether a load still holds what is pending, in whole numbers the engine sums as well:
// how many sales and movements, the sum and the highest of their keys (a sale's number and letter),
// and their amounts. Another terminal's sale, return, cancellation, movement or cut changes one of
// them: documents and movements only get higher numbers, and a row leaving changes the count.
struct Huella {
    qint64 filas = 0, suma = 0, mayor = 0;
    double importe = 0;
    bool operator==(const Huella& o) const {
        // Amounts are compared to a tenth of a cent: the engine and this code add them in another order.
        return filas == o.filas && suma == o.suma && mayor == o.mayor && std::fabs(importe - o.importe) < 0.001;
    }
};

// A sale's key: its number and letter in one whole number.
const QString ClaveVentaSQL = QStringLiteral("(Numero * 4 + CASE Tipo WHEN 'T' THEN 1 WHEN 'F' THEN 2 ELSE 3 END)");
qint64 ClaveVenta(const db::Row& f) {
    const QString tipo = f.text(QStringLiteral("Tipo"));
    return f.integer(QStringLiteral("Numero")) * 4 +
           (tipo == QLatin1String("T") ? 1 : tipo == QLatin1String("F") ? 2 : 3);
}

Huella HuellaDe(const db::Rows& filas, const std::function<qint64(const db::Row&)>& clave, const QString& importe) {
    Huella h;
    for (const db::Row& f : filas) {
        const qint64 k = clave(f);
        h.filas += 1;
        h.suma += k;
        h.mayor = h.filas == 1 ? k : std::max(h.mayor, k);
        h.importe += f.real(importe);
    }
    return h;
}

Huella HuellaVentas(const CortePantalla& c) {
    return HuellaDe(c.ventas, ClaveVenta, QStringLiteral("Total"));
}

Huella HuellaMovimientos(const CortePantalla& c) {
    if (!c.movimientosEnCorte()) return {};
    return HuellaDe(c.movimientos, [](const db::Row& f) { return f.integer(QStringLiteral("IdMovimiento")); },
                    QStringLiteral("Importe"));
}

std::optional<Huella> HuellaSQL(db::Database& bd, const QString& sql, const QVariantList& p, db::Error* error) {
    auto f = bd.selectOne(sql, p, error);
    if (!f) return std::nullopt;
    Huella h;
    if (f->empty()) return h;
    h.filas = f->integer(QStringLiteral("Filas"));
    h.suma = f->integer(QStringLiteral("Suma"));
    h.mayor = f->integer(QStringLiteral("Mayor"));
    h.importe = f->real(QStringLiteral("Importe"));
    return h;
}

// The conditions of the sales of cut `idCorte` (see CargaVentas), their parameters into `p`.
QString CondicionVentas(qint64 idCorte, bool soloAnteriores, const QDate& hoy, QVariantList* p) {
    QString sql = QStringLiteral("Tipo IN ('T','F','E') AND IdCorte = ?");
    *p << idCorte;
    if (idCorte == 0) sql += QStringLiteral(" AND Status = 1");
    // Only the pending cut can leave today's sales for later; a closed cut holds what it took.
    if (soloAnteriores && idCorte == 0) {
        sql += QStringLiteral(" AND Fecha < ?");
        *p << shell::FechaISO(hoy);
    }
    return sql;
}

// What is pending now, as `mostrado` would count it, summed by the engine without reading the rows.
std::optional<std::pair<Huella, Huella>> HuellaPendiente(db::Database& bd, const CortePantalla& mostrado,
                                                         db::Error* error) {
    QVariantList p;
    const QString donde = CondicionVentas(0, mostrado.soloAnteriores, QDate::currentDate(), &p);
    const auto ventas = HuellaSQL(bd,
                                  QStringLiteral("SELECT count(*) AS Filas, COALESCE(SUM(%1), 0) AS Suma, "
                                                 "COALESCE(MAX(%1), 0) AS Mayor, COALESCE(SUM(Total), 0) AS Importe "
                                                 "FROM Venta WHERE ")
                                          .arg(ClaveVentaSQL) +
                                      donde,
                                  p, error);
    if (!ventas) return std::nullopt;
    if (!mostrado.movimientosEnCorte()) return std::make_pair(*ventas, Huella{});
    const auto movs = HuellaSQL(bd,
                                QStringLiteral("SELECT count(*) AS Filas, COALESCE(SUM(IdMovimiento), 0) AS Suma, "
                                               "COALESCE(MAX(IdMovimiento), 0) AS Mayor, COALESCE(SUM(%1), 0) AS "
                                               "Importe FROM cMovimientosCorte WHERE IdCorte = 0 AND EstatusMov = 1")
                                    .arg(ImporteConSignoSQL()),
                                {}, error);
    if (!movs) return std::nullopt;
    return std::make_pair(*ventas, *movs);
}

ResultadoCorte Falla(ResultadoCorte::Estado estado, const QString& mensaje) {
    ResultadoCorte r;
    r.estado = estado;
    r.mensaje = mensaje;
    return r;
}

}  // namespace

bool CortePantalla::MismosPendientes(const CortePantalla& otro) const {
    return soloAnteriores == otro.soloAnteriores && movimientosEnCorte() == otro.movimientosEnCorte() &&
           HuellaVentas(*this) == HuellaVentas(otro) && HuellaMovimientos(*this) == HuellaMovimientos(otro);
}

std::optional<db::Rows> CargaVentas(db::Database& bd, qint64 idCorte, bool soloAnteriores, const QDate& hoy,
                                    db::Error* error) {
    // A cut stamps only active sales, so every sale a closed cut holds was active when it was made;
    // one cancelled afterwards stays in it (its money back belongs to a later cut).
    QVariantList p;
    const QString sql = QStringLiteral("SELECT abs(Numero) AS IdNumero, Numero, Tipo, Fecha, Total, Cliente, Status, "
                                       "IdCorte FROM Venta WHERE ") +
                        CondicionVentas(idCorte, soloAnteriores, hoy, &p) + QStringLiteral(" ORDER BY Fecha DESC");
    return bd.select(sql, p, error);
}

std::optional<db::Rows> CargaMovimientos(db::Database& bd, qint64 idCorte, db::Error* error) {
    // The user's name comes through a left join: a movement whose user is gone still counts.
    const QString sql = QStringLiteral(
        "SELECT CASE TipoMov WHEN 1 THEN 'Entrada de $' WHEN 2 THEN 'Salida de $' ELSE 'No Definido' END AS TipoMov, "
        "%1 AS Importe, IdMovimiento, FechaMov, ImporteMov, DescripcionMov, NombreUsuario, IdCorte, "
        "TipoMov AS ClaveTipo FROM cMovimientosCorte WHERE IdCorte = ? AND EstatusMov = 1 "
        "ORDER BY FechaMov DESC, IdMovimiento DESC").arg(ImporteConSignoSQL());
    return bd.select(sql, {idCorte}, error);
}

std::optional<CortePantalla> CargaCorte(db::Database& bd, qint64 idCorte, bool soloAnteriores, const QDate& hoy,
                                        db::Error* error) {
    CortePantalla c;
    c.idCorte = idCorte;
    c.soloAnteriores = soloAnteriores && idCorte == 0;
    auto ventas = CargaVentas(bd, idCorte, soloAnteriores, hoy, error);
    if (!ventas) return std::nullopt;
    auto movs = CargaMovimientos(bd, idCorte, error);
    if (!movs) return std::nullopt;
    c.ventas = std::move(*ventas);
    c.movimientos = std::move(*movs);
    c.ventasCentavos = CentavosDe(c.ventas, QStringLiteral("Total"));
    c.movimientosCentavos = CentavosDe(c.movimientos, QStringLiteral("Importe"));
    c.fechaHasta = c.ventas.empty() ? QDateTime::currentDateTime()
                                    : LeeFechaGuardada(c.ventas.front().text(QStringLiteral("Fecha")));
    return c;
}

std::optional<db::Rows> CargaCortes(db::Database& bd, bool conPermiso, db::Error* error) {
    return bd.select(QStringLiteral("SELECT * FROM cCortesCaja%1 ORDER BY FechaCorte DESC, IdCorte DESC")
                         .arg(conPermiso ? QString() : QStringLiteral(" WHERE IdCorte = 0")),
                     {}, error);
}

std::optional<db::Rows> DetalleVentaCorte(db::Database& bd, qint64 numero, const QString& tipo, db::Error* error) {
    return bd.select(QStringLiteral("SELECT Nombre, Cantidad, Descripcion, PrecioUnit, Importe FROM CdetalleVenta "
                                    "WHERE Numero = ? AND TipoDocto = ? ORDER BY IdLinea"),
                     {numero, tipo}, error);
}

QString MensajeCambiado() {
    return QStringLiteral("Las ventas o movimientos pendientes cambiaron mientras se mostraban (otra terminal vendió, "
                          "devolvió, canceló o hizo un corte); no se creó el corte. Se volvieron a leer los pendientes: "
                          "revise y vuelva a crear el corte.");
}

QString FormatoVentasCorte(qint64 centavos) {
    return QStringLiteral("$ ") + shell::Formato(double(centavos) / 100.0, QStringLiteral("##,###,##0.00"));
}

QString FormatoMovimientosCorte(qint64 centavos) {
    return QStringLiteral("$ ") + shell::Formato(double(centavos) / 100.0, QStringLiteral("#,###,##0.00"));
}

ResultadoCorte CreaCorte(db::Database& bd, const CortePantalla& mostrado, const QString& observacion, int usuario,
                         const db::LockWait& espera) {
    if (!mostrado.HayPendientes()) return Falla(ResultadoCorte::SinVentas, {});
    if (observacion.trimmed().isEmpty())
        return Falla(ResultadoCorte::SinObservacion, QStringLiteral("La observación esta en blanco."));

    db::WriteTransaction t(bd);
    db::Error e;
    if (!t.begin(espera, &e)) {
        if (e.kind == db::ErrorKind::Cancelled)
            return Falla(ResultadoCorte::Cancelado, QStringLiteral("Se canceló la espera; no se creó el corte."));
        return Falla(ResultadoCorte::Error, QStringLiteral("No se pudo crear el corte: ") + e.message);
    }
    const qint64 importe = mostrado.finalCentavos();
    auto error = [&] {
        t.rollback();
        return Falla(ResultadoCorte::Error, QStringLiteral("No se pudo crear el corte: ") + e.message);
    };
    // The drawer is counted at this moment: a sale, a return or a movement written by another
    // terminal since the screen was loaded would leave the cut off the drawer, so what is pending
    // now, read under the write lock, must be exactly what is shown.
    const auto ahora = HuellaPendiente(bd, mostrado, &e);
    if (!ahora) return error();
    if (ahora->first != HuellaVentas(mostrado) || ahora->second != HuellaMovimientos(mostrado)) {
        t.rollback();
        return Falla(ResultadoCorte::Cambiado, MensajeCambiado());
    }
    auto id = shell::ObtenerSiguienteId(bd, QStringLiteral("IdCorte"), QStringLiteral("CortesCaja"), {}, &e);
    if (!id) return error();
    if (!bd.exec(QStringLiteral("INSERT INTO CortesCaja (IdCorte, ObsCorte, FechaCorte, IdUsuario, ImporteCorte) "
                                "VALUES (?,?,?,?,?)"),
                 {*id, observacion, shell::FechaHoraISO(QDateTime::currentDateTime()), usuario, double(importe) / 100.0},
                 &e))
        return error();

    int marcadas = 0, total = 0;
    for (const char* tipo : {"T", "F", "E"}) {
        if (!bd.exec(QStringLiteral("UPDATE Venta SET IdCorte = ? WHERE IdCorte = 0 AND Status = 1 AND Tipo = ? AND "
                                    "Numero IN (SELECT value FROM json_each(?))"),
                     {*id, QString::fromLatin1(tipo), Numeros(mostrado.ventas, QStringLiteral("Numero"), QString::fromLatin1(tipo))},
                     &e, &marcadas))
            return error();
        total += marcadas;
    }
    bool completo = total == int(mostrado.ventas.size());
    if (completo && mostrado.movimientosEnCorte() && !mostrado.movimientos.empty()) {
        if (!bd.exec(QStringLiteral("UPDATE MovimientosCaja SET IdCorte = ? WHERE IdCorte = 0 AND EstatusMov = 1 AND "
                                    "IdMovimiento IN (SELECT value FROM json_each(?))"),
                     {*id, Numeros(mostrado.movimientos, QStringLiteral("IdMovimiento"))}, &e, &marcadas))
            return error();
        completo = marcadas == int(mostrado.movimientos.size());
    }
    if (!completo) {
        t.rollback();
        return Falla(ResultadoCorte::Cambiado, MensajeCambiado());
    }
    if (!t.commit(&e)) return error();
    ResultadoCorte r;
    r.estado = ResultadoCorte::Creado;
    r.idCorte = *id;
    r.importeCentavos = importe;
    return r;
}

bool CancelaMovimiento(db::Database& bd, qint64 idMovimiento, const db::LockWait& espera, QString* mensaje) {
    db::WriteTransaction t(bd);
    db::Error e;
    int cambiados = 0;
    if (!t.begin(espera, &e)) {
        if (mensaje)
            *mensaje = e.kind == db::ErrorKind::Cancelled
                           ? QStringLiteral("Se canceló la espera; no se canceló el movimiento.")
                           : QStringLiteral("No se pudo cancelar el movimiento: ") + e.message;
        return false;
    }
    // Read inside the transaction: the description tells a movement a document wrote.
    auto descripcion = bd.scalar(QStringLiteral("SELECT DescripcionMov FROM MovimientosCaja WHERE IdMovimiento = ?"),
                                 {idMovimiento}, &e);
    if (descripcion && !MotivoNoCancelable(descripcion->toString()).isEmpty()) {
        t.rollback();
        if (mensaje) *mensaje = MotivoNoCancelable(descripcion->toString());
        return false;
    }
    if (!descripcion ||
        !bd.exec(QStringLiteral("UPDATE MovimientosCaja SET EstatusMov = 0 WHERE IdMovimiento = ? AND IdCorte = 0 "
                                "AND EstatusMov = 1"),
                 {idMovimiento}, &e, &cambiados)) {
        t.rollback();
        if (mensaje)
            *mensaje = e.kind == db::ErrorKind::Cancelled
                           ? QStringLiteral("Se canceló la espera; no se canceló el movimiento.")
                           : QStringLiteral("No se pudo cancelar el movimiento: ") + e.message;
        return false;
    }
    if (cambiados != 1) {
        t.rollback();
        if (mensaje) *mensaje = QStringLiteral("El movimiento ya no está pendiente (otro corte o cancelación lo tomó).");
        return false;
    }
    if (!t.commit(&e)) {
        if (mensaje) *mensaje = QStringLiteral("No se pudo cancelar el movimiento: ") + e.message;
        return false;
    }
    return true;
}

QString MotivoNoCancelable(const QString& descripcion) {
    if (!EsMovimientoDeDocumento(descripcion)) return {};
    return QString::fromUtf8("Este movimiento lo escribió una venta (cancelación, devolución o nota de "
                             "crédito) y no se puede cancelar: el corte dejaría de cuadrar con la caja.");
}

QString PreguntaCancelaMovimiento(const QString& descripcion, double importe) {
    return QStringLiteral("Desea cancelar ") + descripcion + QStringLiteral(" con Importe:") +
           FormatoMovimientosCorte(shell::Centavos(importe));
}

}  // namespace caja
