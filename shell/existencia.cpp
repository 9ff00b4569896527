#include "shell/existencia.h"

namespace shell {

bool CambiaExistencia(db::Database& bd, const QVariant& claveProducto, double delta, bool sumar,
                      double* nuevo, db::Error* error) {
    const QString sql = sumar ? QStringLiteral("UPDATE Existencia SET Existencia = "
                                               "ifnull(Existencia, 0) + ? WHERE ClaveProducto = ? "
                                               "RETURNING Existencia")
                              : QStringLiteral("UPDATE Existencia SET Existencia = ? "
                                               "WHERE ClaveProducto = ? RETURNING Existencia");
    auto filas = bd.select(sql, {delta, claveProducto}, error);
    if (!filas) return false;
    if (filas->empty()) {
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
