#include "cash/movimientos.h"

#include "platform/ui/prompts.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QRegularExpression>
#include <QStringList>

namespace caja {

qint64 CentavosConSigno(int tipo, double importe) {
    if (tipo == MovEntrada) return shell::Centavos(importe);
    if (tipo == MovSalida) return -shell::Centavos(importe);
    return 0;
}

QString ImporteConSignoSQL() {
    return QStringLiteral("(CASE TipoMov WHEN 1 THEN ImporteMov WHEN 2 THEN -ImporteMov ELSE 0 END)");
}

QString DescripcionCancelacion(const QString& letra, qint64 numero) {
    return QStringLiteral("Cancelacion V:") + letra + QString::number(numero);
}

bool EsMovimientoDeDocumento(const QString& descripcion) {
    static const QStringList prefijos{QStringLiteral("Cancelacion V:"), QStringLiteral("Dev. EFECTIVO V:"),
                                      QStringLiteral("Dev. NOTA CREDITO V:"),
                                      QString::fromUtf8("Aplicacion de Nota de crédito:")};
    const QString d = descripcion.trimmed();
    for (const QString& p : prefijos)
        if (d.startsWith(p, Qt::CaseInsensitive)) return true;
    return false;
}

QString TextoTipoMovimiento(int tipo) {
    switch (tipo) {
    case MovEntrada: return QStringLiteral("Entrada de $$");
    case MovSalida: return QStringLiteral("Salida de $$");
    default: return QStringLiteral("No Definido");
    }
}

QString TextoEstatusMovimiento(int estatus) {
    return estatus == 1 ? QStringLiteral("Activo") : QStringLiteral("Inactivo");
}

QString DescripcionPorTipo(int tipo, const QString& actual) {
    if (tipo == MovEntrada) return QStringLiteral("Entrada por Efectivo.");
    if (tipo == MovSalida) return QStringLiteral("Salida de Efectivo.");
    return actual;
}

QString ObtResultadoCons(db::Database& bd, const QString& nombre, const QString& campo, ui::Prompts& avisos) {
    const QString sinFilas =
        QStringLiteral("No se encontraron registros en ") + nombre + QStringLiteral(" campo: ") + campo;
    // Only an object of the file may be named: the name goes into the statement's text.
    static const QRegularExpression identificador(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identificador.match(nombre).hasMatch() || !(bd.hasQuery(nombre) || bd.tableExists(nombre))) {
        avisos.message(sinFilas, ui::Icon::None);
        return {};
    }
    db::Error e;
    auto fila = bd.selectOne(QStringLiteral("SELECT * FROM \"%1\" LIMIT 1").arg(nombre), {}, &e);
    if (!fila) {
        avisos.message(QStringLiteral("No se pudo leer ") + nombre + QStringLiteral(": ") + e.message,
                       ui::Icon::Critical);
        return {};
    }
    if (fila->empty()) {
        avisos.message(sinFilas, ui::Icon::None);
        return {};
    }
    return shell::LeerCampo(*fila, campo);
}

std::optional<double> LeeImporteMovimiento(const QString& texto) {
    const auto v = shell::LeeNumero(texto, false);
    if (!v || shell::Centavos(*v) <= 0) return std::nullopt;
    return v;
}

MovimientoGuardado GuardaMovimiento(db::Database& bd, const NuevoMovimiento& mov, const db::LockWait& espera) {
    MovimientoGuardado r;
    if (mov.tipo != MovEntrada && mov.tipo != MovSalida) {
        r.mensaje = QStringLiteral("Seleccione el tipo de movimiento: Entrada de $$ o Salida de $$.");
        return r;
    }
    if (EsMovimientoDeDocumento(mov.descripcion)) {
        r.mensaje = QString::fromUtf8("Esa descripción es la de un movimiento de una venta (cancelación, devolución o "
                                      "nota de crédito); escriba otra.");
        return r;
    }
    const auto importe = LeeImporteMovimiento(mov.importe);
    if (!shell::LeeNumeroEn(mov.importe, QStringLiteral("Importe"), shell::RangoNumero{}, &r.mensaje)) return r;
    if (!importe) {
        r.mensaje = QStringLiteral("El importe del movimiento no es válido: escriba una cantidad mayor que cero.");
        return r;
    }
    db::WriteTransaction t(bd);
    db::Error e;
    if (!t.begin(espera, &e)) {
        r.cancelado = e.kind == db::ErrorKind::Cancelled;
        r.mensaje = r.cancelado ? QStringLiteral("Se canceló la espera; no se guardó el movimiento.")
                                : QStringLiteral("No se pudo guardar el movimiento: ") + e.message;
        return r;
    }
    const auto id = shell::InsertaMovCaja(bd, *importe, mov.tipo, mov.descripcion, mov.usuario, &e);
    if (!id || !t.commit(&e)) {
        t.rollback();
        r.mensaje = QStringLiteral("No se pudo guardar el movimiento: ") + e.message;
        return r;
    }
    r.ok = true;
    r.id = *id;
    return r;
}

std::optional<db::Rows> LeeMovimientos(db::Database& bd, db::Error* error) {
    return bd.select(QStringLiteral("SELECT * FROM MovimientosCaja ORDER BY IdMovimiento"), {}, error);
}

QString FechaHoraPantalla(const QDateTime& momento) {
    return momento.isValid() ? momento.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
}

QDateTime LeeFechaGuardada(const QString& guardada) {
    QDateTime m = QDateTime::fromString(guardada, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!m.isValid()) m = QDateTime(QDate::fromString(guardada.left(10), QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    return m;
}

QString FechaHoraPantalla(const QString& guardada) { return FechaHoraPantalla(LeeFechaGuardada(guardada)); }

}  // namespace caja
