#include "catalogs/clientes.h"

#include "catalogs/texto_catalogo.h"

#include "shell/rutinas_bd.h"
#include "shell/texto.h"

namespace catalogos {

namespace {

std::optional<QStringList> Columna(db::Database& bd, const QString& sql, const QString& campo,
                                   db::Error* error)
{
    auto filas = bd.select(sql, {}, error);
    if (!filas)
        return std::nullopt;
    QStringList lista;
    for (const db::Row& f : *filas)
        lista << f.text(campo);
    return lista;
}

}  // namespace

Cliente ClienteDeFila(const db::Row& f)
{
    Cliente c;
    c.RFC = f.text(QStringLiteral("RFC"));
    c.CURP = f.text(QStringLiteral("CURP"));
    c.Nombre = f.text(QStringLiteral("Nombre"));
    c.Direccion = f.text(QStringLiteral("Direccion"));
    c.NumExterior = f.text(QStringLiteral("NumExterior"));
    c.NumInterior = f.text(QStringLiteral("NumInterior"));
    c.Colonia = f.text(QStringLiteral("Colonia"));
    c.Localidad = f.text(QStringLiteral("Localidad"));
    c.Municipio = f.text(QStringLiteral("Municipio"));
    c.Ciudad = f.text(QStringLiteral("Ciudad"));
    c.Estado = f.text(QStringLiteral("Estado"));
    c.Pais = f.integer(QStringLiteral("Pais"));
    c.CP = f.text(QStringLiteral("CP"));
    c.Telefono = f.text(QStringLiteral("Telefono"));
    c.TipoCompra = f.integer(QStringLiteral("TipoCompra"));
    c.RutaZona = f.text(QStringLiteral("RutaZona"));
    c.LimiteCredito = f.real(QStringLiteral("LimiteCredito"));
    c.Emails = f.text(QStringLiteral("Emails"));
    c.cltereferencia = f.text(QStringLiteral("cltereferencia"));
    return c;
}

QString TextoSeleccion(const Cliente& c) { return c.RFC + QLatin1Char(';') + c.Nombre; }

QString CurpSegunRFC(const QString& rfc, const QString& curpActual)
{
    return rfc.size() < 11 ? rfc : curpActual;
}

const QStringList& CamposBusqueda()
{
    static const QStringList campos{QStringLiteral("RFC"),       QStringLiteral("NOMBRE"),
                                    QStringLiteral("DIRECCION"), QStringLiteral("COLONIA"),
                                    QStringLiteral("CIUDAD"),    QStringLiteral("ESTADO"),
                                    QStringLiteral("TELEFONO")};
    return campos;
}

bool BuscaClientes(db::Database& bd, const QString& campo, const QString& texto, db::Rows* filas)
{
    // Only a field of the list goes into the statement's text; the search text is bound.
    const QString c = CamposBusqueda().contains(campo, Qt::CaseInsensitive) ? campo
                                                                           : CamposBusqueda().first();
    return shell::BuscaRegistros(bd, QStringLiteral("Select * From Cliente"), c, texto, filas) == 1;
}

std::optional<ListasCliente> LeeListasCliente(db::Database& bd, db::Error* error)
{
    ListasCliente l;
    auto codigos = Columna(bd, QStringLiteral("Select * from Tiposcompracliente ORDER BY TCompra"),
                           QStringLiteral("TCompra"), error);
    auto tipos = codigos ? Columna(bd, QStringLiteral("Select * from Tiposcompracliente ORDER BY TCompra"),
                                   QStringLiteral("Descripcion"), error)
                         : std::nullopt;
    // The tables' own order is the order their rows were written in.
    auto estados = tipos ? Columna(bd, QStringLiteral("Select * from Estados ORDER BY rowid"),
                                   QStringLiteral("Nombre"), error)
                         : std::nullopt;
    auto paises = estados ? Columna(bd, QStringLiteral("Select * from Paises ORDER BY rowid"),
                                    QStringLiteral("NombrePais"), error)
                          : std::nullopt;
    if (!paises)
        return std::nullopt;
    l.tiposCompra = *tipos;
    for (const QString& c : *codigos)
        l.codigosCompra << c.toLongLong();
    l.estados = *estados;
    l.paises = *paises;
    return l;
}

int PosicionPaisNuevo(const QStringList& paises)
{
    for (int i = 0; i < paises.size(); ++i)
        if (paises.at(i).trimmed().compare(QLatin1String("MEXICO"), Qt::CaseInsensitive) == 0)
            return i;
    return paises.size() > 1 ? 1 : int(paises.size()) - 1;
}

int PosicionEstado(const QStringList& estados, const QString& estado)
{
    for (int i = 0; i < estados.size(); ++i)
        if (estados.at(i).compare(estado, Qt::CaseInsensitive) == 0)
            return i;
    return 0;
}

Validacion ValidaCliente(const DatosValidacion& d)
{
    auto falla = [](const char* m) { return Validacion{QString::fromUtf8(m), false}; };
    if (!shell::ValidaCaracteresRFC(d.RFC))
        return falla("El RFC contiene caracteres no válidos.");
    if (d.NumExterior.isEmpty())
        return falla("Verifique el NumExterior o utilize 'SN'");
    if (d.RFC.size() < 12)
        return falla("El RFC debe de tener minimo 12 Caracteres.");
    if (d.Colonia.size() < 2)
        return falla("Verifique la colonia.");
    if (d.Municipio.isEmpty())
        return falla("Verifique el Municipio");
    if (d.estado <= 0)
        return falla("Seleccione un estado.");
    if (d.tipoCompra < 0)
        return {QStringLiteral("Seleccione un Tipo de Pago para el Cliente."), true};
    return {};
}

QString RequeridosCliente(const Cliente& c, const QString& limiteTecleado)
{
    if (c.RFC.trimmed().isEmpty())
        return shell::MensajeRequerido(QStringLiteral("R.F.C."));
    if (c.Nombre.trimmed().isEmpty())
        return shell::MensajeRequerido(QStringLiteral("Nombre cliente"));
    QString mal;
    if (!limiteTecleado.trimmed().isEmpty()
        && !shell::LeeNumeroEn(limiteTecleado, QStringLiteral("MaxCredito"), shell::RangoNumero{}, &mal))
        return mal;
    return {};
}

Cliente ClienteParaGuardar(const Cliente& c)
{
    Cliente g = c;
    g.CURP = ConUnBlanco(c.CURP);
    g.RutaZona = ConUnBlanco(c.RutaZona);
    g.Nombre = c.Nombre.trimmed();
    return g;
}

Guardado GrabaCliente(db::Database& bd, const Cliente& cliente, bool nuevo, const QString& rfcAnterior,
                      const db::LockWait& espera)
{
    Guardado r;
    auto falla = [&r](FallaGuardado f, const QString& m) {
        r.falla = f;
        r.mensaje = m;
        return r;
    };
    if (cliente.RFC.trimmed().isEmpty())
        return falla(FallaGuardado::Otra, QStringLiteral("Teclee el RFC del cliente."));
    const bool cambiaRFC = !nuevo && cliente.RFC != rfcAnterior;
    if (cambiaRFC && !bd.tableExists(QStringLiteral("Venta")))
        return falla(FallaGuardado::Otra,
                     QStringLiteral("No se encontraron los archivos de datos para la sucursal."));

    const Cliente c = ClienteParaGuardar(cliente);
    const QVariantList valores{c.RFC,       c.CURP,      c.Nombre,     c.Direccion,   c.Colonia,
                               c.Telefono,  c.Ciudad,    c.TipoCompra, c.CP,          c.RutaZona,
                               c.Emails,    c.LimiteCredito, c.Localidad, c.Municipio, c.NumExterior,
                               c.NumInterior, c.Pais,    c.Estado,     c.cltereferencia};
    const QString columnas = QStringLiteral(
        "RFC,CURP,Nombre,Direccion,Colonia,Telefono,Ciudad,TipoCompra,CP,RutaZona,Emails,"
        "LimiteCredito,Localidad,Municipio,NumExterior,NumInterior,Pais,Estado,cltereferencia");

    db::Error e;
    db::WriteTransaction t(bd);
    bool ok = t.begin(espera, &e);
    if (ok && nuevo) {
        ok = bd.exec(QStringLiteral("INSERT INTO Cliente (%1) VALUES (?%2)")
                         .arg(columnas, QStringLiteral(",?").repeated(valores.size() - 1)),
                     valores, &e);
    } else if (ok) {
        QStringList asigna;
        for (const QString& col : columnas.split(QLatin1Char(',')))
            asigna << col + QStringLiteral("=?");
        QVariantList params = valores;
        params << rfcAnterior;
        int cambiadas = 0;
        ok = bd.exec(QStringLiteral("UPDATE Cliente SET %1 WHERE RFC=?").arg(asigna.join(QLatin1Char(','))),
                     params, &e, &cambiadas);
        if (ok && cambiadas == 0) {
            // Another terminal deleted it meanwhile: nothing was written.
            return falla(FallaGuardado::SinRegistro,
                         QStringLiteral("El cliente ya no existe en el catálogo, no se grabo el cambio."));
        }
        if (ok && cambiaRFC)
            ok = bd.exec(QStringLiteral("UPDATE Venta SET Cliente=? WHERE Cliente=?"),
                         {c.RFC, rfcAnterior}, &e, &r.ventasMovidas);
        // His credit sales follow him too, as buyer and as guarantor.
        if (ok && cambiaRFC && bd.tableExists(QStringLiteral("VentaCredito")))
            ok = bd.exec(QStringLiteral("UPDATE VentaCredito SET Cliente=? WHERE Cliente=?"), {c.RFC, rfcAnterior}, &e)
                 && bd.exec(QStringLiteral("UPDATE VentaCredito SET Aval=? WHERE Aval=?"), {c.RFC, rfcAnterior}, &e);
    }
    if (ok)
        ok = t.commit(&e);
    if (!ok) {
        r.ventasMovidas = 0;
        if (e.kind == db::ErrorKind::DuplicateKey)
            return falla(FallaGuardado::RFCDuplicado,
                         QStringLiteral("El valor que tecleo para el campo RFC ya existe."));
        return falla(FallaGuardado::Otra, shell::TextoErrorBD(e));
    }
    return r;
}

bool BorraCliente(db::Database& bd, const QString& rfc, QString* mensaje)
{
    db::Error e;
    if (bd.exec(QStringLiteral("DELETE FROM Cliente WHERE RFC=?"), {rfc}, &e))
        return true;
    if (mensaje)
        *mensaje = shell::TextoErrorBD(e);
    return false;
}

}  // namespace catalogos
