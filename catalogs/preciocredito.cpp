#include "shell/rutinas_bd.h"
#include "catalogs/preciocredito.h"

#include "catalogs/escritura.h"
#include "shell/texto.h"

namespace catalogos {

std::optional<db::Rows> ConsultaPrecios(db::Database& codigos, std::optional<qint64> producto, db::Error* error)
{
    if (producto)
        return codigos.select(QStringLiteral("Select * from CPreciosCredito Where Producto = ? Order by Producto"),
                              {*producto}, error);
    return codigos.select(QStringLiteral("Select * from CPreciosCredito Order by Producto"), QVariantList{}, error);
}

ResultadoAlta InsertaPlan(db::Database& codigos, const QString& codigo)
{
    ResultadoAlta r;
    db::Error e;
    auto fila = codigos.selectOne(QStringLiteral("SELECT ClaveProducto FROM ProductoCB WHERE CodigodeBarras = ?"),
                                  {codigo}, &e);
    if (!fila) {
        r.mensaje = shell::TextoErrorBD(e);
        return r;
    }
    if (fila->empty()) {
        r.resultado = AltaPlan::SinCodigo;
        r.mensaje = QStringLiteral("No se encontro el código de producto.");
        return r;
    }
    r.producto = fila->integer(QStringLiteral("ClaveProducto"));
    int agregadas = 0;
    if (!EnTransaccion(codigos, &e, [&](db::Error* err) {
            return codigos.exec(QStringLiteral("INSERT OR IGNORE INTO PreciosCredito (Producto) VALUES (?)"),
                                {r.producto}, err, &agregadas);
        })) {
        r.mensaje = shell::TextoErrorBD(e);
        return r;
    }
    if (agregadas == 0) {
        r.resultado = AltaPlan::YaExiste;
        r.mensaje = QString::fromUtf8("El producto ya tiene un precio a crédito.");
        return r;
    }
    r.resultado = AltaPlan::Agregado;
    return r;
}

const QStringList& CamposEditablesPlan()
{
    static const QStringList c{QStringLiteral("PrecioCredito"), QStringLiteral("Anticipo"),
                               QStringLiteral("ImportePago"), QStringLiteral("Periododepago")};
    return c;
}

namespace {

// A typed cell as the column stores it; nullopt with the reason in *mensaje.
std::optional<QVariant> ValorTecleado(const QString& columna, const QString& texto, QString* mensaje)
{
    if (columna == QLatin1String("Periododepago")) {
        const auto dias = shell::EnteroTecleado(texto);
        if (!dias || *dias > 32767) {
            *mensaje = QStringLiteral("El periodo de pago debe ser un número entero de días.");
            return std::nullopt;
        }
        return QVariant(*dias);
    }
    const auto importe = shell::LeeNumeroEn(texto, columna, shell::RangoNumero{}, mensaje);
    if (!importe) return std::nullopt;
    return QVariant(shell::Centavos(*importe) / 100.0);
}

}  // namespace

CambioPlan GrabaPlan(db::Database& codigos, qint64 producto, const QMap<QString, QString>& tecleado)
{
    CambioPlan c;
    QVariantMap nuevos;
    for (auto it = tecleado.cbegin(); it != tecleado.cend(); ++it) {
        const int i = CamposEditablesPlan().indexOf(it.key());
        if (i < 0) {
            c.campo = it.key();
            c.mensaje = QStringLiteral("Este campo no se puede modificar.");
            return c;
        }
        // The column name comes from the fixed list, never from the person.
        const QString columna = CamposEditablesPlan().at(i);
        const auto valor = ValorTecleado(columna, it.value(), &c.mensaje);
        if (!valor) {
            c.campo = columna;
            return c;
        }
        nuevos.insert(columna, *valor);
    }

    db::Error e;
    db::WriteTransaction t(codigos);
    if (!t.begin({}, &e)) {
        c.mensaje = shell::TextoErrorBD(e);
        return c;
    }
    auto plan = codigos.selectOne(QStringLiteral("SELECT * FROM PreciosCredito WHERE Producto = ?"), {producto}, &e);
    if (!plan || plan->empty()) {
        c.mensaje = plan ? QStringLiteral("El precio a crédito ya no existe.") : shell::TextoErrorBD(e);
        return c;
    }
    for (const QString& campo : CamposEditablesPlan())
        c.valores.insert(campo, nuevos.value(campo, plan->value(campo)));
    auto centavos = [&](const char* campo) { return shell::Centavos(c.valores.value(QString::fromLatin1(campo)).toDouble()); };
    if (centavos("PrecioCredito") > centavos("Anticipo") && centavos("ImportePago") <= 0) {
        c.incompleto = true;
        c.campo = QStringLiteral("ImportePago");
        c.mensaje = QString::fromUtf8("Falta el importe de pago: debe ser mayor que cero cuando el precio a crédito es "
                                      "mayor que el anticipo.");
        return c;
    }
    QStringList asigna;
    QVariantList params;
    for (auto it = nuevos.cbegin(); it != nuevos.cend(); ++it) {
        asigna << it.key() + QStringLiteral(" = ?");
        params << it.value();
    }
    params << producto;
    if ((!asigna.isEmpty()
         && !codigos.exec(QStringLiteral("UPDATE PreciosCredito SET %1 WHERE Producto = ?").arg(asigna.join(u',')),
                          params, &e))
        || !t.commit(&e)) {
        c.mensaje = shell::TextoErrorBD(e);
        return c;
    }
    c.ok = true;
    return c;
}

CambioPlan CambiaPlan(db::Database& codigos, qint64 producto, const QString& campo, const QString& texto)
{
    CambioPlan c = GrabaPlan(codigos, producto, {{campo, texto}});
    if (c.ok)
        c.valor = c.valores.value(campo);
    return c;
}

}  // namespace catalogos
