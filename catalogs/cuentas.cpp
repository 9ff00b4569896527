#include "catalogs/cuentas.h"

#include "catalogs/escritura.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

namespace catalogos {

namespace {

Grabado Rechazo(const QString& mensaje) { return Grabado{false, 0, mensaje}; }

Grabado FalloBD(const db::Error& e)
{
    return Rechazo(QStringLiteral("No se pudo guardar: ") + shell::TextoErrorBD(e));
}

double Efecto(int tipo, double importe) { return tipo == MovCargo ? importe : -importe; }

bool CuentaExiste(db::Database& bd, qint64 cuenta, bool* existe, db::Error* error)
{
    auto n = bd.scalar(QStringLiteral("SELECT COUNT(*) FROM Cuentas WHERE IdCuenta = ?"), {cuenta}, error);
    if (!n)
        return false;
    *existe = n->toLongLong() > 0;
    return true;
}

}  // namespace

const QStringList& EstatusCuentaLista()
{
    static const QStringList l{QStringLiteral("Seleccionar..."), QStringLiteral("Activa"),
                               QStringLiteral("No Activa")};
    return l;
}

const QStringList& TiposMovimientoLista()
{
    static const QStringList l{QStringLiteral("Seleccionar..."), QStringLiteral("Cargo"), QStringLiteral("Abono")};
    return l;
}

const QStringList& EstatusMovimientoLista()
{
    static const QStringList l{QStringLiteral("Seleccionar..."), QStringLiteral("Activo"),
                               QStringLiteral("No Activo")};
    return l;
}

std::optional<double> ImporteTecleado(const QString& texto)
{
    return shell::LeeNumero(texto);
}

std::optional<db::Rows> LeeCuentas(db::Database& bd, db::Error* error)
{
    return bd.select(QStringLiteral("Select * from Cuentas ORDER BY IdCuenta"), QVariantList{}, error);
}

std::optional<qint64> SiguienteCuenta(db::Database& bd, db::Error* error)
{
    return shell::ObtenerSiguienteId(bd, QStringLiteral("IdCuenta"), QStringLiteral("Cuentas"), {}, error);
}

Grabado GrabarCuenta(db::Database& bd, const DatosCuenta& d, bool nueva, qint64 actual, const QDate& hoy)
{
    if (!nueva && shell::EnteroTecleado(d.IdCuenta) != actual)
        return Rechazo(QStringLiteral("Seleccione la cuenta."));
    if (d.NomCuenta.trimmed().isEmpty())
        return Rechazo(shell::MensajeRequerido(QStringLiteral("Nombre")));
    if (d.EstatusCuenta != EstatusActivo && d.EstatusCuenta != EstatusCancelado)
        return Rechazo(QStringLiteral("Seleccione el estatus de la cuenta."));
    double saldo = 0;
    if (nueva && !d.Saldo.trimmed().isEmpty()) {
        const auto s = ImporteTecleado(d.Saldo);
        if (!s)
            return Rechazo(shell::MensajeNumero(QStringLiteral("Saldo")));
        saldo = shell::Centavos(*s) / 100.0;
    }

    db::Error e;
    db::WriteTransaction t(bd);
    if (!t.begin({}, &e))
        return FalloBD(e);
    Grabado g;
    if (nueva) {
        // Taken again under the lock: another terminal may have added an account since the add.
        const auto numero = SiguienteCuenta(bd, &e);
        if (!numero)
            return FalloBD(e);
        g.numero = *numero;
        const QString fecha = shell::FechaISO(hoy);
        if (!bd.exec(QStringLiteral("INSERT INTO Cuentas (IdCuenta, NomCuenta, FechaGen, FechaMod, EstatusCuenta, "
                                    "SaldoCuenta) VALUES (?, ?, ?, ?, ?, ?)"),
                     {g.numero, d.NomCuenta, fecha, fecha, d.EstatusCuenta, saldo}, &e))
            return FalloBD(e);
    } else {
        g.numero = actual;
        int cambiadas = 0;
        if (!bd.exec(QStringLiteral("UPDATE Cuentas SET NomCuenta = ?, EstatusCuenta = ? WHERE IdCuenta = ?"),
                     {d.NomCuenta, d.EstatusCuenta, actual}, &e, &cambiadas))
            return FalloBD(e);
        if (cambiadas == 0)
            return Rechazo(QStringLiteral("La cuenta ya no existe."));
    }
    if (!t.commit(&e))
        return FalloBD(e);
    g.ok = true;
    return g;
}

bool CancelaCuenta(db::Database& bd, qint64 cuenta, db::Error* error)
{
    return EnTransaccion(bd, error, [&](db::Error* e) {
        int cambiadas = 0;
        if (!bd.exec(QStringLiteral("UPDATE Cuentas SET EstatusCuenta = ? WHERE IdCuenta = ?"),
                     {EstatusCancelado, cuenta}, e, &cambiadas))
            return false;
        return cambiadas > 0 || db::fail(e, db::ErrorKind::NotFound, QStringLiteral("La cuenta ya no existe."));
    });
}

std::optional<qint64> CuentaSeleccionada(const QString& cuentaSel)
{
    const auto n = shell::EnteroTecleado(cuentaSel);
    if (!n || *n == 0)
        return std::nullopt;
    return n;
}

std::optional<db::Rows> LeeMovimientos(db::Database& bd, const QString& cuentaSel, db::Error* error)
{
    if (const auto cuenta = CuentaSeleccionada(cuentaSel))
        return bd.select(QStringLiteral("Select * from CuentasMovto Where IdCuenta = ? ORDER BY IdCuenta, IdMovto"),
                         {*cuenta}, error);
    return bd.select(QStringLiteral("Select * from CuentasMovto ORDER BY IdCuenta, IdMovto"), QVariantList{}, error);
}

std::optional<qint64> SiguienteMovimiento(db::Database& bd, db::Error* error)
{
    return shell::ObtenerSiguienteId(bd, QStringLiteral("IdMovto"), QStringLiteral("CuentasMovto"), {}, error);
}

bool ActCuenta(db::Database& bd, qint64 cuenta, double importe, db::Error* error)
{
    int cambiadas = 0;
    // Taken back to the cent at each change: binary sums of amounts like 0.10 drift off it.
    if (!bd.exec(QStringLiteral("UPDATE Cuentas SET SaldoCuenta = ROUND(SaldoCuenta + ?, 2) WHERE IdCuenta = ?"),
                 {importe, cuenta}, error, &cambiadas))
        return false;
    if (cambiadas == 0)
        return db::fail(error, db::ErrorKind::NotFound, QStringLiteral("La cuenta no existe."));
    return true;
}

Grabado GrabarMovimiento(db::Database& bd, const DatosMovimiento& d, bool nuevo, qint64 actual)
{
    db::Error e;
    if (!nuevo) {
        int cambiadas = 0;
        if (!EnTransaccion(bd, &e, [&](db::Error* err) {
                return bd.exec(QStringLiteral("UPDATE CuentasMovto SET Referencia01 = ?, Referencia02 = ?, "
                                              "Comentarios = ? WHERE IdMovto = ?"),
                               {d.Referencia01, d.Referencia02, d.Comentarios, actual}, err, &cambiadas);
            }))
            return FalloBD(e);
        if (cambiadas == 0)
            return Rechazo(QStringLiteral("El movimiento ya no existe."));
        return Grabado{true, actual, {}};
    }

    const auto cuenta = CuentaSeleccionada(d.IdCuenta);
    if (!cuenta)
        return Rechazo(QStringLiteral("Seleccione la cuenta del movimiento."));
    QString mal;
    auto importe = shell::LeeNumeroEn(d.Importe, QStringLiteral("Importe"), shell::RangoNumero{}, &mal);
    if (!importe)
        return Rechazo(mal);
    if (shell::Centavos(*importe) <= 0)
        return Rechazo(QString::fromUtf8("Teclee un importe válido, mayor que cero."));
    *importe = shell::Centavos(*importe) / 100.0;
    if (d.TipoMovimiento != MovCargo && d.TipoMovimiento != MovAbono)
        return Rechazo(QStringLiteral("Seleccione el tipo de movimiento."));
    if (d.EstatusMovto != EstatusActivo && d.EstatusMovto != EstatusCancelado)
        return Rechazo(QStringLiteral("Seleccione el estatus del movimiento."));
    if (!d.FechaMovto.isValid())
        return Rechazo(QString::fromUtf8("La fecha del movimiento no es válida."));

    db::WriteTransaction t(bd);
    if (!t.begin({}, &e))
        return FalloBD(e);
    bool existe = false;
    if (!CuentaExiste(bd, *cuenta, &existe, &e))
        return FalloBD(e);
    if (!existe)
        return Rechazo(QStringLiteral("La cuenta no existe."));
    const auto numero = SiguienteMovimiento(bd, &e);
    if (!numero)
        return FalloBD(e);
    if (!bd.exec(QStringLiteral("INSERT INTO CuentasMovto (IdCuenta, IdMovto, FechaMovto, TipoMovimiento, "
                                "ImporteMovto, Referencia01, Referencia02, Comentarios, EstatusMovto) "
                                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 {*cuenta, *numero, shell::FechaISO(d.FechaMovto), d.TipoMovimiento, *importe, d.Referencia01,
                  d.Referencia02, d.Comentarios, d.EstatusMovto},
                 &e))
        return FalloBD(e);
    // A movement stored as already cancelled never counted.
    if (d.EstatusMovto == EstatusActivo && !ActCuenta(bd, *cuenta, Efecto(d.TipoMovimiento, *importe), &e))
        return FalloBD(e);
    if (!t.commit(&e))
        return FalloBD(e);
    return Grabado{true, *numero, {}};
}

Cancelacion CancelaMovimiento(db::Database& bd, qint64 movimiento, ui::Prompts& prompts)
{
    db::Error e;
    auto fila = bd.selectOne(QStringLiteral("SELECT * FROM CuentasMovto WHERE IdMovto = ?"), {movimiento}, &e);
    if (!fila) {
        shell::MuestraErrorBD(e);
        return Cancelacion::Fallo;
    }
    if (fila->empty() || fila->integer(QStringLiteral("EstatusMovto")) != EstatusActivo) {
        prompts.message(QStringLiteral("El movimiento no esta activo."), ui::Icon::Information);
        return Cancelacion::NoActivo;
    }
    if (prompts.question(QStringLiteral("Se procede a cancelar el movimiento. ?")) != ui::Answer::Yes)
        return Cancelacion::Nada;

    db::WriteTransaction t(bd);
    bool ok = t.begin({}, &e);
    int cambiadas = 0;
    // Only a movement still active is reversed: another terminal may have cancelled it meanwhile.
    if (ok)
        ok = bd.exec(QStringLiteral("UPDATE CuentasMovto SET EstatusMovto = ? WHERE IdMovto = ? AND EstatusMovto = ?"),
                     {EstatusCancelado, movimiento, EstatusActivo}, &e, &cambiadas);
    if (ok && cambiadas == 0) {
        t.rollback();
        prompts.message(QStringLiteral("El movimiento no esta activo."), ui::Icon::Information);
        return Cancelacion::NoActivo;
    }
    if (ok) {
        auto stored = bd.selectOne(QStringLiteral("SELECT * FROM CuentasMovto WHERE IdMovto = ?"), {movimiento}, &e);
        ok = stored.has_value();
        if (ok)
            ok = ActCuenta(bd, stored->integer(QStringLiteral("IdCuenta")),
                           -Efecto(int(stored->integer(QStringLiteral("TipoMovimiento"))),
                                   stored->real(QStringLiteral("ImporteMovto"))),
                           &e);
    }
    if (ok)
        ok = t.commit(&e);
    if (!ok) {
        t.rollback();
        prompts.message(QStringLiteral("No se pudo cancelar el movimiento: ") + shell::TextoErrorBD(e), ui::Icon::Critical);
        return Cancelacion::Fallo;
    }
    return Cancelacion::Cancelado;
}

}  // namespace catalogos
