#include "cash/corte.h"

#include "cash/movimientos.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

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

// The rows of a load that tell whether it still holds what is pending: each sale with its total and
// each movement with its amount.
QStringList Huella(const CortePantalla& c) {
    QStringList h;
    for (const db::Row& f : c.ventas)
        h << f.text(QStringLiteral("Tipo")) + QString::number(f.integer(QStringLiteral("Numero"))) + u'=' +
                 QString::number(shell::Centavos(f.real(QStringLiteral("Total"))));
    if (c.movimientosEnCorte())
        for (const db::Row& f : c.movimientos)
            h << QStringLiteral("M") + QString::number(f.integer(QStringLiteral("IdMovimiento"))) + u'=' +
                     QString::number(shell::Centavos(f.real(QStringLiteral("Importe"))));
    h.sort();
    return h;
}

ResultadoCorte Falla(ResultadoCorte::Estado estado, const QString& mensaje) {
    ResultadoCorte r;
    r.estado = estado;
    r.mensaje = mensaje;
    return r;
}

}  // namespace

bool CortePantalla::MismosPendientes(const CortePantalla& otro) const {
    return soloAnteriores == otro.soloAnteriores && Huella(*this) == Huella(otro);
}

std::optional<db::Rows> CargaVentas(db::Database& bd, qint64 idCorte, bool soloAnteriores, const QDate& hoy,
                                    db::Error* error) {
    // A cut stamps only active sales, so every sale a closed cut holds was active when it was made;
    // one cancelled afterwards stays in it (its money back belongs to a later cut).
    QString sql = QStringLiteral(
        "SELECT abs(Numero) AS IdNumero, Numero, Tipo, Fecha, Total, Cliente, Status, IdCorte FROM Venta "
        "WHERE Tipo IN ('T','F','E') AND IdCorte = ?");
    if (idCorte == 0) sql += QStringLiteral(" AND Status = 1");
    QVariantList p{idCorte};
    // Only the pending cut can leave today's sales for later; a closed cut holds what it took.
    if (soloAnteriores && idCorte == 0) {
        sql += QStringLiteral(" AND Fecha < ?");
        p << shell::FechaISO(hoy);
    }
    sql += QStringLiteral(" ORDER BY Fecha DESC");
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
    const auto ahora = CargaCorte(bd, 0, mostrado.soloAnteriores, QDate::currentDate(), &e);
    if (!ahora) return error();
    if (!ahora->MismosPendientes(mostrado)) {
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
