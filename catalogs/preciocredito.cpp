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
        r.mensaje = e.message;
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
        r.mensaje = e.message;
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

CambioPlan CambiaPlan(db::Database& codigos, qint64 producto, const QString& campo, const QString& texto)
{
    CambioPlan c;
    const int i = CamposEditablesPlan().indexOf(campo);
    if (i < 0) {
        c.mensaje = QStringLiteral("Este campo no se puede modificar.");
        return c;
    }
    // The column name comes from the fixed list above, never from the person.
    const QString columna = CamposEditablesPlan().at(i);
    if (columna == QLatin1String("Periododepago")) {
        const auto dias = shell::EnteroTecleado(texto);
        if (!dias || *dias > 32767) {
            c.mensaje = QStringLiteral("El periodo de pago debe ser un número entero de días.");
            return c;
        }
        c.valor = *dias;
    } else {
        const auto importe = shell::LeeNumero(texto, false);
        if (!importe) {
            c.mensaje = QString::fromUtf8("Teclee un importe válido, sin comas ni letras.");
            return c;
        }
        c.valor = shell::Centavos(*importe) / 100.0;
    }

    db::Error e;
    db::WriteTransaction t(codigos);
    if (!t.begin({}, &e)) {
        c.mensaje = e.message;
        return c;
    }
    auto plan = codigos.selectOne(QStringLiteral("SELECT * FROM PreciosCredito WHERE Producto = ?"), {producto}, &e);
    if (!plan || plan->empty()) {
        c.mensaje = plan ? QStringLiteral("El precio a crédito ya no existe.") : e.message;
        return c;
    }
    auto centavos = [&](const char* campoPlan) {
        return QLatin1String(campoPlan) == columna ? shell::Centavos(c.valor.toDouble())
                                    : shell::Centavos(plan->real(QString::fromLatin1(campoPlan)));
    };
    if (centavos("PrecioCredito") > centavos("Anticipo") && centavos("ImportePago") <= 0) {
        c.mensaje = QString::fromUtf8("El importe de pago debe ser mayor que cero cuando el precio a crédito es "
                                      "mayor que el anticipo.");
        return c;
    }
    if (!codigos.exec(QStringLiteral("UPDATE PreciosCredito SET %1 = ? WHERE Producto = ?").arg(columna),
                      {c.valor, producto}, &e)
        || !t.commit(&e)) {
        c.mensaje = e.message;
        return c;
    }
    c.ok = true;
    return c;
}

}  // namespace catalogos
