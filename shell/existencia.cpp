#include "shell/existencia.h"

namespace shell {

bool CambiaExistencia(db::Database& bd, const QVariant& claveProducto, double delta, bool sumar,
                      double* nuevo, db::Error* error) {
    // A caller that needs no figure back updates without RETURNING: the engine then keeps no
    // table of the returned rows.
    const QString cambio = sumar ? QStringLiteral("UPDATE Existencia SET Existencia = ifnull(Existencia, 0) + ? "
                                                  "WHERE ClaveProducto = ?")
                                 : QStringLiteral("UPDATE Existencia SET Existencia = ? WHERE ClaveProducto = ?");
    int cambiadas = 0;
    std::optional<db::Rows> filas;
    if (nuevo) {
        filas = bd.select(cambio + QStringLiteral(" RETURNING Existencia"), {delta, claveProducto}, error);
        if (!filas) return false;
        cambiadas = int(filas->size());
    } else if (!bd.exec(cambio, {delta, claveProducto}, error, &cambiadas)) {
        return false;
    }
    if (cambiadas == 0) {
        // First movement of this product in the branch.
        if (!bd.exec(QStringLiteral("INSERT INTO Existencia (ClaveProducto, Existencia) VALUES (?, ?)"),
                     {claveProducto, delta}, error))
            return false;
        if (nuevo) *nuevo = delta;
        return true;
    }
    if (nuevo) *nuevo = filas->front().real(QStringLiteral("Existencia"));
    return true;
}

}  // namespace shell
