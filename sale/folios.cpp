#include "sale/folios.h"

namespace sale {

namespace {

// Where the numbers of each counter are stored, so a take can step over numbers already used.
struct Fuente {
    QString tabla;
    QString letra;  // Venta.Tipo; "" when the table holds one kind only
};

std::optional<Fuente> FuenteDe(int fila) {
    switch (fila) {
    case FolioFactura: return Fuente{QStringLiteral("Venta"), QStringLiteral("F")};
    case FolioFacturaE: return Fuente{QStringLiteral("Venta"), QStringLiteral("E")};
    case FolioTicket: return Fuente{QStringLiteral("Venta"), QStringLiteral("T")};
    case FolioCotizacion: return Fuente{QStringLiteral("Venta"), QStringLiteral("C")};
    case FolioNotaCredito: return Fuente{QStringLiteral("NotaCredito"), {}};
    case FolioInventario: return Fuente{QStringLiteral("EInventario"), {}};
    case FolioVentaCredito: return Fuente{QStringLiteral("VentaCredito"), {}};
    default: return std::nullopt;
    }
}

}  // namespace

qint64 TomaFolios(db::Database& bd, int fila, int cuantos, db::Error* error) {
    if (cuantos < 1 || cuantos > MaximoFolio) {
        db::fail(error, db::ErrorKind::Other,
              QStringLiteral("Cantidad de folios no válida: %1.").arg(cuantos));
        return -1;
    }

    // Base = the larger of the counter and the highest stored number of its documents.
    QString base = QStringLiteral("ifnull(ValorFolio, 0)");
    QVariantList paramsBase;
    if (auto fuente = FuenteDe(fila)) {
        QString sub = QStringLiteral("(SELECT ifnull(max(Numero), 0) FROM %1").arg(fuente->tabla);
        if (!fuente->letra.isEmpty()) {
            sub += QStringLiteral(" WHERE Tipo = ?");
            paramsBase << fuente->letra;
        }
        sub += QStringLiteral(")");
        base = QStringLiteral("max(ifnull(ValorFolio, 0), %1)").arg(sub);
    }

    // No RETURNING: the engine would keep a table of the returned row; the counter is read back
    // inside the same write transaction instead.
    const QString sql = QStringLiteral(
                            "UPDATE Folios SET ValorFolio = %1 + ? "
                            "WHERE Numerofolio = ? AND %1 + ? <= ?")
                            .arg(base);
    QVariantList params;
    params << paramsBase << cuantos << fila << paramsBase << cuantos << MaximoFolio;

    int cambiadas = 0;
    if (!bd.exec(sql, params, error, &cambiadas)) return -1;
    if (cambiadas == 1) {
        auto valor = bd.scalar(QStringLiteral("SELECT ValorFolio FROM Folios WHERE Numerofolio = ?"), {fila}, error);
        if (!valor) return -1;
        return valor->toLongLong() - cuantos + 1;
    }
    if (cambiadas > 1) {
        // A counter given twice would hand out one number to two documents; the caller rolls back.
        db::fail(error, db::ErrorKind::Constraint,
              QStringLiteral("El folio %1 aparece más de una vez en la tabla Folios.").arg(fila));
        return -1;
    }

    auto existe = bd.scalar(QStringLiteral("SELECT count(*) FROM Folios WHERE Numerofolio = ?"),
                            {fila}, error);
    if (!existe) return -1;
    if (existe->toLongLong() == 0) {
        db::fail(error, db::ErrorKind::NotFound,
              QStringLiteral("No existe el folio %1 en la tabla Folios.").arg(fila));
    } else {
        db::fail(error, db::ErrorKind::Other,
              QStringLiteral("El folio %1 llegó a su número máximo (%2); no se puede tomar otro.")
                  .arg(fila)
                  .arg(MaximoFolio));
    }
    return -1;
}

qint64 ObtenerFolio(db::Database& bd, int fila, const db::LockWait& espera, db::Error* error) {
    db::WriteTransaction tr(bd);
    // Folios live in the branch file alone.
    if (!tr.begin(espera, error, db::WriteScope::MainFile)) return -1;
    const qint64 numero = TomaFolios(bd, fila, 1, error);
    if (numero < 0) return -1;  // the transaction rolls back on leaving
    if (!tr.commit(error)) return -1;
    return numero;
}

std::optional<qint64> ValorFolio(db::Database& bd, int fila, db::Error* error) {
    auto fila_ = bd.selectOne(QStringLiteral("SELECT ValorFolio FROM Folios WHERE Numerofolio = ?"),
                              {fila}, error);
    if (!fila_ || fila_->empty()) {
        if (fila_ && fila_->empty())
            db::fail(error, db::ErrorKind::NotFound,
                  QStringLiteral("No existe el folio %1 en la tabla Folios.").arg(fila));
        return std::nullopt;
    }
    return fila_->integer(QStringLiteral("ValorFolio"));
}

}  // namespace sale
