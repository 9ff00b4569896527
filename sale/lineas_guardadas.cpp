#include "sale/lineas_guardadas.h"

namespace venta {

bool QuitaLineasGuardadas(db::Database& bd, const std::vector<qint64>& lineas, db::Error* error) {
    for (qint64 id : lineas)
        if (!bd.exec(QStringLiteral("DELETE FROM DetalleVenta WHERE IdLinea = ?"), {id}, error))
            return false;
    return true;
}

}  // namespace venta
