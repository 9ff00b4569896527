#include "sale/ajustes.h"

namespace venta {

Ajuste DescuentoLinea(const QString& respuesta, double lDesc, int maxDescuentoFact, bool permiso41)
{
    Ajuste a;
    if (respuesta.isEmpty())
        return a;
    const auto v = LeeNumero(respuesta);
    if (!v) {
        a.mensaje = QStringLiteral("Descuento no válido.");
        return a;
    }
    double d = *v;
    if (lDesc != 0 && d > lDesc)
        d = lDesc;  // silently cut to the product's limit
    if (d > maxDescuentoFact && !permiso41) {
        a.mensaje = QStringLiteral("Descuento no permitido: el máximo autorizado es %1%.")
                        .arg(maxDescuentoFact);
        return a;
    }
    if (d < 0 || d > 100)
        return a;  // a percent outside 0..100 is never stored
    a.escribe = true;
    a.valor = d;
    return a;
}

Ajuste CantidadLinea(const QString& respuesta, bool modoE, bool permiso48, bool permiso49)
{
    Ajuste a;
    QString t = respuesta.trimmed();
    if (t.startsWith(QLatin1Char('.')))
        t.prepend(QLatin1Char('0'));
    const auto v = LeeNumero(t);
    if (!v) {
        a.mensaje = QStringLiteral("Cantidad no válida.");
        return a;
    }
    if (modoE) {
        if (*v < 0 && !permiso49) {
            a.mensaje = QStringLiteral("Cantidad no válida para el usuario(S).");
            return a;
        }
        if (*v > 0 && !permiso48) {
            a.mensaje = QStringLiteral("Cantidad no válida para el usuario(E).");
            return a;
        }
    }
    if (*v > 0 || (*v < 0 && modoE)) {
        a.escribe = true;
        a.valor = *v;
    }
    return a;
}

Ajuste PrecioUnitLinea(const QString& respuesta, bool modoE)
{
    Ajuste a;
    const auto v = LeeNumero(respuesta);
    if (!v) {
        a.mensaje = QStringLiteral("Precio unitario no válido.");
        return a;
    }
    if (*v > 0 || modoE) {
        a.escribe = true;
        a.valor = *v;
    }
    return a;
}

namespace {

Ajuste Limitado(const QString& respuesta, int limite, const QString& mensaje)
{
    Ajuste a;
    a.escribe = true;
    a.texto = respuesta;
    if (respuesta.size() > limite) {
        a.mensaje = mensaje;
        a.texto = respuesta.left(limite);
    }
    return a;
}

}  // namespace

Ajuste ObservacionLinea(const QString& respuesta)
{
    Ajuste a = Limitado(respuesta, 120,
                        QStringLiteral("La observación que escribió tiene mas de 120 caracteres, "
                                       "se guardarán solo los primeros 120."));
    if (a.texto.isEmpty())
        a.texto = QStringLiteral(" ");
    return a;
}

Ajuste PrecioVentaES(const QString& respuesta)
{
    Ajuste a;
    if (respuesta.isEmpty())
        return a;
    if (respuesta.size() > 60) {
        a.mensaje = QStringLiteral("El texto que escribio no es válido.");
        return a;
    }
    a.escribe = true;
    a.texto = respuesta;
    return a;
}

Ajuste DescripcionGenerico(const QString& respuesta)
{
    return Limitado(respuesta.size() < 2 ? QStringLiteral("Descripcion") : respuesta, 60,
                    QStringLiteral("La Descripción que escribió tiene mas de 60 caracteres, se "
                                   "guardarán solo los primeros 60."));
}

Ajuste ModeloGenerico(const QString& respuesta)
{
    return Limitado(respuesta.size() < 2 ? QStringLiteral("Modelo") : respuesta, 44,
                    QStringLiteral("El modelo que escribió tiene mas de 44 caracteres, se "
                                   "guardarán solo los primeros 44."));
}

std::optional<double> ActualizaTipoCambio(db::Database& codigos, const QString& respuesta,
                                          db::Error* error)
{
    const auto v = LeeNumero(respuesta, false);
    if (!v || *v <= 0 || *v >= 100)
        return std::nullopt;
    int filas = 0;
    if (!codigos.exec(QStringLiteral("UPDATE Monedas SET TipoCambio = ? WHERE Moneda = 2"),
                      QVariantList{*v}, error, &filas))
        return std::nullopt;
    if (filas != 1) {
        db::fail(error, db::ErrorKind::NotFound,
                 QStringLiteral("No existe la moneda 2 (dólar) en el catálogo."));
        return std::nullopt;
    }
    return *v;
}

}  // namespace venta
