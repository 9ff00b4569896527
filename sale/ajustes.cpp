#include "sale/ajustes.h"

#include "sale/totales.h"

namespace venta {

namespace {

// The answer of a number prompt read by the one reader and held to `rango`; a refusal leaves its
// message in `a`. An empty answer (Cancel) reads nothing and says nothing.
std::optional<double> LeeRespuesta(const QString& respuesta, const QString& campo, const shell::RangoNumero& rango,
                                   Ajuste& a)
{
    if (respuesta.trimmed().isEmpty())
        return std::nullopt;
    return shell::LeeNumeroEn(respuesta, campo, rango, &a.mensaje);
}

}  // namespace

Ajuste DescuentoLinea(const QString& respuesta, double lDesc, int maxDescuentoFact, bool permiso41)
{
    Ajuste a;
    const auto v = LeeRespuesta(respuesta, QStringLiteral("Descuento %"), {false, true, 100}, a);
    if (!v)
        return a;
    double d = *v;
    if (lDesc != 0 && d > lDesc)
        d = lDesc;  // silently cut to the product's limit
    if (d > maxDescuentoFact && !permiso41) {
        a.mensaje = MensajeDescuentoMaximo(maxDescuentoFact);
        return a;
    }
    a.escribe = true;
    a.valor = d;
    return a;
}

Ajuste CantidadLinea(const QString& respuesta, bool modoE, bool permiso48, bool permiso49)
{
    Ajuste a;
    // In mode "E" the sign says entry or exit; a sale sells more than nothing.
    const auto v = LeeRespuesta(respuesta, QStringLiteral("Cantidad"), {modoE, false, shell::kNumeroMaximo}, a);
    if (!v)
        return a;
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
    a.escribe = true;
    a.valor = *v;
    return a;
}

Ajuste PrecioUnitLinea(const QString& respuesta, bool modoE)
{
    Ajuste a;
    const auto v = LeeRespuesta(respuesta, QStringLiteral("Precio Unitario"), {modoE, modoE, shell::kNumeroMaximo}, a);
    if (!v)
        return a;
    a.escribe = true;
    a.valor = *v;
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
    // Kept in the line's observation until the save sets it as the product's price: kept as the
    // number read, so the save reads back exactly what the person was shown to have typed.
    Ajuste a;
    QString t = respuesta.trimmed();
    if (t.startsWith(QLatin1Char('$')))
        t.remove(0, 1);
    const auto v = LeeRespuesta(t, QStringLiteral("Precio de venta"), {false, true, shell::kNumeroMaximo}, a);
    if (!v)
        return a;
    a.escribe = true;
    a.valor = *v;
    a.texto = QString::number(*v, 'g', 15);
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
                                          db::Error* error, QString* mensaje)
{
    Ajuste a;
    const auto v = LeeRespuesta(respuesta, QStringLiteral("Tipo de cambio"), {false, false, 99.99}, a);
    if (mensaje)
        *mensaje = a.mensaje;
    if (!v)
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
