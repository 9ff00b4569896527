#include "catalogs/productos.h"

#include "catalogs/existencias_sucursales.h"
#include "catalogs/texto_catalogo.h"

#include "shell/texto.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/existencia.h"
#include "shell/rutinas_bd.h"

#include <QDate>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace catalogos {

namespace {

constexpr int kPagina = 64;

QString Numero(const db::Row& f, const QString& campo)
{
    return TextoNumero(f.real(campo));
}

// Read only after ValidaProducto accepted the text.
double Valor(const QString& texto) { return shell::LeeNumero(texto).value_or(0.0); }

QString NombreCampo(CampoProducto campo)
{
    switch (campo) {
    case CampoProducto::Existencia: return QStringLiteral("Existencia");
    case CampoProducto::PrecioUnit: return QStringLiteral("Precio Unitario");
    case CampoProducto::Reorden: return QStringLiteral("Reorden");
    case CampoProducto::Empaque: return QStringLiteral("CantEmpaque");
    case CampoProducto::IVA: return QStringLiteral("IVA");
    case CampoProducto::Precio1: return QStringLiteral("Precio 1");
    case CampoProducto::Precio2: return QStringLiteral("Precio 2");
    case CampoProducto::Precio3: return QStringLiteral("Precio 3");
    case CampoProducto::PrecioCosto: return QStringLiteral("Precio costo");
    case CampoProducto::Descuento: return QStringLiteral("Descuento");
    case CampoProducto::DescuentoCosto: return QStringLiteral("Descuento Costo");
    case CampoProducto::StockMax: return QStringLiteral("StockMax");
    case CampoProducto::CodigodeBarras: return QString::fromUtf8("Código de barras");
    case CampoProducto::Ninguno: break;
    }
    return {};
}

// An empty optional field (a price list, the stock maximum) stays Null: no price is not price 0.
QVariant ValorONulo(const QString& texto)
{
    return texto.trimmed().isEmpty() ? QVariant() : QVariant(Valor(texto));
}

}  // namespace

QString TextoNumero(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("0");
    QString s = QString::number(v, 'f', 6);
    while (s.contains(QLatin1Char('.')) && (s.endsWith(QLatin1Char('0')) || s.endsWith(QLatin1Char('.'))))
        s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

CamposProducto CamposDeFila(const db::Row& f, int porcentajeIVA)
{
    CamposProducto c;
    c.Nombre = f.text(QStringLiteral("Nombre"));
    c.Descripcion = f.text(QStringLiteral("Descripcion"));
    c.Existencia = f.isNull(QStringLiteral("Existencia")) ? QStringLiteral("0")
                                                           : Numero(f, QStringLiteral("Existencia"));
    c.Ubicacion = f.text(QStringLiteral("Ubicacion"));
    c.Unidad = f.text(QStringLiteral("Unidad"));
    if (c.Unidad.isEmpty())
        c.Unidad = QStringLiteral("Pza");
    c.IVA = f.text(QStringLiteral("IVA"));
    if (c.IVA.isEmpty())
        c.IVA = QString::number(porcentajeIVA);
    c.Categoria = f.integer(QStringLiteral("Categoria"));
    c.TipoProducto = f.integer(QStringLiteral("TipoProducto"));
    c.CodigodeBarras = f.text(QStringLiteral("CodigodeBarras"));
    c.Reorden = Numero(f, QStringLiteral("Reorden"));
    c.Descuento = Numero(f, QStringLiteral("Descuento"));
    c.DescuentoCosto = Numero(f, QStringLiteral("DescuentoCosto"));
    c.PrecioUnit = Numero(f, QStringLiteral("PrecioUnit"));
    for (auto [campo, texto] : {std::pair{"Precio1", &c.Precio1}, std::pair{"Precio2", &c.Precio2},
                                std::pair{"Precio3", &c.Precio3}, std::pair{"StockMax", &c.StockMax},
                                std::pair{"Empaque", &c.Empaque}}) {
        const QString nombre = QString::fromLatin1(campo);
        *texto = f.isNull(nombre) ? QString() : Numero(f, nombre);
    }
    c.Suspendido = f.integer(QStringLiteral("Suspendido")) != 0;
    c.PrecioCosto = Numero(f, QStringLiteral("PrecioCosto"));
    c.Moneda = f.isNull(QStringLiteral("Moneda")) ? 1 : int(f.integer(QStringLiteral("Moneda")));
    if (c.Moneda < 0 || c.Moneda > 2)
        c.Moneda = 1;
    c.Descripcion2 = f.text(QStringLiteral("Descripcion2"));
    c.Marca = f.text(QStringLiteral("Marca"));
    const QDate fecha = QDate::fromString(f.text(QStringLiteral("Fechap")).left(10), Qt::ISODate);
    c.Fechap = fecha.isValid() ? fecha.toString(QStringLiteral("yyyy/MM/dd")) : QString();
    if (c.Empaque.isEmpty())
        c.Empaque = QStringLiteral("1");
    if (c.Marca.isEmpty())
        c.Marca = QStringLiteral("GEN");
    c.TipoSustituto = f.text(QStringLiteral("TipoSustituto"));
    if (c.TipoSustituto.trimmed().isEmpty())
        c.TipoSustituto = QStringLiteral("NO");
    return c;
}

bool EsNumero(const QString& texto) { return shell::LeeNumero(texto).has_value(); }

ValidacionProducto ValidaProducto(const CamposProducto& c, int ivaSucursal)
{
    // Required numbers left empty are named as missing, never read as 0: an emptied IVA would
    // turn a taxed product into an exempt one.
    for (const auto& [texto, campo] : {std::pair{&c.Existencia, CampoProducto::Existencia},
                                       std::pair{&c.PrecioUnit, CampoProducto::PrecioUnit},
                                       std::pair{&c.Reorden, CampoProducto::Reorden},
                                       std::pair{&c.IVA, CampoProducto::IVA}})
        if (texto->trimmed().isEmpty())
            return {campo, shell::MensajeRequerido(NombreCampo(campo))};
    // Every field read as every form reads a typed number; what it refuses is told in its name.
    const shell::RangoNumero conSigno{true, true, shell::kNumeroMaximo};
    const shell::RangoNumero sinSigno{false, true, shell::kNumeroMaximo};
    const shell::RangoNumero porcentaje{false, true, 100};
    struct Lectura {
        const QString* texto;
        CampoProducto campo;
        shell::RangoNumero rango;
        bool opcional;
        bool entero;
    };
    const Lectura lecturas[] = {
        {&c.Existencia, CampoProducto::Existencia, conSigno, false, false},
        {&c.PrecioUnit, CampoProducto::PrecioUnit, conSigno, false, false},
        {&c.Reorden, CampoProducto::Reorden, conSigno, false, false},
        {&c.Empaque, CampoProducto::Empaque, conSigno, true, false},
        {&c.IVA, CampoProducto::IVA, porcentaje, false, true},
        {&c.PrecioUnit, CampoProducto::PrecioUnit, sinSigno, false, false},
        {&c.Precio1, CampoProducto::Precio1, sinSigno, true, false},
        {&c.Precio2, CampoProducto::Precio2, sinSigno, true, false},
        {&c.Precio3, CampoProducto::Precio3, sinSigno, true, false},
        {&c.PrecioCosto, CampoProducto::PrecioCosto, sinSigno, true, false},
        {&c.Descuento, CampoProducto::Descuento, porcentaje, true, false},
        {&c.DescuentoCosto, CampoProducto::DescuentoCosto, porcentaje, true, false},
        {&c.StockMax, CampoProducto::StockMax, conSigno, true, false},
    };
    for (const Lectura& l : lecturas) {
        if (l.opcional && l.texto->trimmed().isEmpty())
            continue;
        QString mal;
        const bool leido = l.entero ? shell::LeeEnteroEn(*l.texto, NombreCampo(l.campo), l.rango, &mal).has_value()
                                    : shell::LeeNumeroEn(*l.texto, NombreCampo(l.campo), l.rango, &mal).has_value();
        if (!leido)
            return {l.campo, mal};
        if (l.campo == CampoProducto::IVA && Valor(c.IVA) != 0 && Valor(c.IVA) != ivaSucursal)
            return {CampoProducto::IVA, QString::fromUtf8("El I.V.A. del producto debe ser 0 (exento) o %1, el de la "
                                                          "sucursal.").arg(ivaSucursal)};
    }
    if (c.CodigodeBarras.trimmed().isEmpty())
        return {CampoProducto::CodigodeBarras, shell::MensajeRequerido(NombreCampo(CampoProducto::CodigodeBarras))};
    return {};
}

ResultadoProducto GrabaProducto(db::Database& bd, const CamposProducto& c, std::optional<qint64> clave,
                                const CambioExistencia& exis, const std::optional<QString>& imagen,
                                const db::LockWait& espera)
{
    ResultadoProducto r;
    // The branch's rate as the sale screen charges it; a branch file without its parameters
    // refuses the save rather than let any rate through.
    const auto iva = bd.scalar(QStringLiteral("SELECT COALESCE(NULLIF((SELECT IVA FROM Parametros LIMIT 1), 0), 16)"),
                               {}, &r.error);
    if (!iva)
        return r;
    const ValidacionProducto v = ValidaProducto(c, iva->toInt());
    if (!v.ok()) {
        r.error = {db::ErrorKind::Other, 0, v.mensaje};
        return r;
    }
    QStringList columnas{QStringLiteral("Nombre"),        QStringLiteral("Descripcion"),
                         QStringLiteral("Ubicacion"),     QStringLiteral("Unidad"),
                         QStringLiteral("IVA"),           QStringLiteral("Suspendido"),
                         QStringLiteral("CodigodeBarras"), QStringLiteral("PrecioUnit"),
                         QStringLiteral("Precio1"),       QStringLiteral("Precio2"),
                         QStringLiteral("Precio3"),       QStringLiteral("Reorden"),
                         QStringLiteral("Descuento"),     QStringLiteral("DescuentoCosto"),
                         QStringLiteral("Moneda"),        QStringLiteral("PrecioCosto"),
                         QStringLiteral("Descripcion2"),  QStringLiteral("Marca"),
                         QStringLiteral("Empaque"),       QStringLiteral("StockMax")};
    QVariantList valores{c.Nombre,
                         c.Descripcion,
                         c.Ubicacion,
                         c.Unidad,
                         qint64(Valor(c.IVA)),
                         c.Suspendido ? 1 : 0,
                         c.CodigodeBarras,
                         Valor(c.PrecioUnit),
                         ValorONulo(c.Precio1),
                         ValorONulo(c.Precio2),
                         ValorONulo(c.Precio3),
                         Valor(c.Reorden),
                         Valor(c.Descuento),
                         Valor(c.DescuentoCosto),
                         c.Moneda == 0 ? 1 : c.Moneda,
                         Valor(c.PrecioCosto),
                         ConUnBlanco(c.Descripcion2),
                         c.Marca,
                         std::max(1.0, Valor(c.Empaque)),
                         ValorONulo(c.StockMax)};
    r.sinCategoria = !c.Categoria;
    if (c.Categoria) {
        columnas << QStringLiteral("Categoria");
        valores << *c.Categoria;
    }
    if (c.TipoProducto) {
        columnas << QStringLiteral("TipoProducto");
        valores << *c.TipoProducto;
    }

    db::Error& e = r.error;
    db::WriteTransaction t(bd);
    bool ok = t.begin(espera, &e);
    if (ok && !clave) {
        // The new key is read under the write lock, so two terminals never take the same one.
        const auto siguiente = SiguienteClaveProducto(bd, &e);
        ok = siguiente.has_value();
        if (ok) {
            r.clave = *siguiente;
            QVariantList params = valores;
            params.prepend(r.clave);
            ok = bd.exec(QStringLiteral("INSERT INTO Producto (ClaveProducto,%1) VALUES (?%2)")
                             .arg(columnas.join(QLatin1Char(',')),
                                  QStringLiteral(",?").repeated(columnas.size())),
                         params, &e);
        }
    } else if (ok) {
        r.clave = *clave;
        QStringList asigna;
        for (const QString& col : columnas)
            asigna << col + QStringLiteral("=?");
        QVariantList params = valores;
        params << r.clave;
        int cambiadas = 0;
        ok = bd.exec(QStringLiteral("UPDATE Producto SET %1 WHERE ClaveProducto=?").arg(asigna.join(QLatin1Char(','))),
                     params, &e, &cambiadas);
        if (ok && cambiadas == 0)
            ok = db::fail(&e, db::ErrorKind::NotFound,
                          QStringLiteral("El producto ya no existe en el catálogo, no se grabo el cambio."));
    }
    if (ok && exis.desbloqueada) {
        // The stock before is the one stored now, not the one shown when the product was loaded.
        const auto antes = bd.scalar(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto=?"),
                                     {r.clave}, &e);
        ok = antes.has_value();
        if (ok) {
            r.existenciaAnterior = antes->toDouble();
            ok = shell::CambiaExistencia(bd, r.clave, Valor(c.Existencia), false, nullptr, &e);
        }
    }
    if (ok && imagen && !imagen->isEmpty() && *imagen != QLatin1String("C:\\")) {
        ok = bd.exec(QStringLiteral("DELETE FROM ImagenProducto WHERE ClaveProducto=?"), {r.clave}, &e)
             && bd.exec(QStringLiteral("INSERT INTO ImagenProducto (ClaveProducto, Imagen) VALUES (?, ?)"),
                        {r.clave, *imagen}, &e);
    }
    if (ok)
        ok = t.commit(&e);
    r.ok = ok;
    if (!ok) {
        r.existenciaAnterior = 0;
        shell::NombraDuplicado(e, QStringLiteral("CodigodeBarras"),
                               QString::fromUtf8("El código de barras %1 ya existe.").arg(c.CodigodeBarras));
    }
    return r;
}

namespace {

// The highest product key the branch tables of `bd` hold, as one select; "" when it has none of them.
QString ClavesGuardadas(db::Database& bd)
{
    QStringList partes;
    for (const char* tabla : {"DetalleVenta", "Existencia", "DEInventario", "DNotaCredito", "DVentaCredito",
                              "doctoscredito"})
        if (bd.tableExists(QLatin1String(tabla)))
            partes << QStringLiteral("SELECT max(ClaveProducto) AS ClaveProducto FROM ") + QLatin1String(tabla);
    return partes.join(QStringLiteral(" UNION ALL "));
}

}  // namespace

std::optional<qint64> SiguienteClaveProducto(db::Database& bd, db::Error* error)
{
    const QString propias = ClavesGuardadas(bd);
    auto siguiente = shell::ObtenerSiguienteId(
        bd, QStringLiteral("ClaveProducto"),
        QStringLiteral("SELECT ClaveProducto FROM Producto")
            + (propias.isEmpty() ? QString() : QStringLiteral(" UNION ALL ") + propias),
        {}, error);
    if (!siguiente)
        return std::nullopt;
    // Other branches keep their own lines and stock rows of the shared catalogue. A file that
    // cannot be read now is passed over rather than stopping the save.
    const QString esta = QFileInfo(bd.path()).canonicalFilePath();
    for (int n = 0; n <= 10; ++n) {
        if (G().DescripcionC[size_t(n)].isEmpty())
            continue;
        const QString ruta = shell::RutaBDSucursal(n);
        if (QFileInfo(ruta).canonicalFilePath() == esta)
            continue;
        auto otra = AbreSucursalLectura(ruta, shell::ClaveArchivos());
        const QString suyas = otra ? ClavesGuardadas(*otra) : QString();
        if (suyas.isEmpty())
            continue;
        if (const auto v = shell::ObtenerSiguienteId(*otra, QStringLiteral("ClaveProducto"), suyas, {}))
            siguiente = std::max(*siguiente, *v);
    }
    return siguiente;
}

namespace {

// The schema name under which `bd` reaches the central file ("" when it is not attached).
QString EsquemaCentral(db::Database& bd, db::Error* error)
{
    const QString central = QFileInfo(bd.centralPath()).canonicalFilePath();
    auto filas = bd.select(QStringLiteral("SELECT name, file FROM pragma_database_list"), {}, error);
    if (!filas || central.isEmpty())
        return {};
    for (const db::Row& f : *filas)
        if (QFileInfo(f.text(QStringLiteral("file"))).canonicalFilePath() == central)
            return f.text(QStringLiteral("name"));
    return {};
}

// The deleted product's code, name and description go to the central file, where every branch's
// line queries find them; a branch file made before they lived there keeps its own copy too, which
// its stored queries read.
bool GuardaNombreBorrado(db::Database& bd, const QVariantList& clave, db::Error* error)
{
    const QString esquema = EsquemaCentral(bd, error);
    if (esquema.isEmpty())
        return db::fail(error, db::ErrorKind::Other,
                        QStringLiteral("No se encontró el archivo central de productos."));
    const QString central = QStringLiteral("\"") + QString(esquema).replace(u'"', QStringLiteral("\"\"")) + u'"';
    if (!bd.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1.ProductoBorrado (ClaveProducto INTEGER PRIMARY KEY, "
                                "CodigodeBarras TEXT, Nombre TEXT, Descripcion TEXT)")
                     .arg(central),
                 {}, error)
        || !bd.exec(QStringLiteral("INSERT OR REPLACE INTO %1.ProductoBorrado (ClaveProducto, CodigodeBarras, Nombre, "
                                   "Descripcion) SELECT ClaveProducto, CodigodeBarras, Nombre, Descripcion FROM "
                                   "Producto WHERE ClaveProducto=?")
                        .arg(central),
                    clave, error))
        return false;
    auto local = bd.scalar(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE type='table' AND "
                                          "name='ProductoBorrado' COLLATE NOCASE"),
                           {}, error);
    if (!local)
        return false;
    return local->toLongLong() == 0
           || bd.exec(QStringLiteral("INSERT OR REPLACE INTO main.ProductoBorrado (ClaveProducto, Nombre, Descripcion) "
                                     "SELECT ClaveProducto, Nombre, Descripcion FROM Producto WHERE ClaveProducto=?"),
                      clave, error);
}

}  // namespace

bool BorraProducto(db::Database& bd, qint64 clave, db::Error* error)
{
    if (clave == 1)
        return db::fail(error, db::ErrorKind::Constraint, QString::fromUtf8(kNoSeBorra));
    db::WriteTransaction t(bd);
    const QVariantList k{clave};
    // Sold lines keep naming the product (closed cuts reprint as they were made). The central file
    // is written too, so the save reserves both files.
    return t.begin({}, error, db::WriteScope::AllFiles)
           && GuardaNombreBorrado(bd, k, error)
           && bd.exec(QStringLiteral("DELETE FROM Producto WHERE ClaveProducto=?"), k, error)
           && bd.exec(QStringLiteral("DELETE FROM Existencia WHERE ClaveProducto=?"), k, error)
           && bd.exec(QStringLiteral("DELETE FROM ProductoProveedor WHERE ClaveProducto=?"), k, error)
           && bd.exec(QStringLiteral("DELETE FROM ImagenProducto WHERE ClaveProducto=?"), k, error)
           && bd.exec(QStringLiteral("DELETE FROM PreciosCredito WHERE Producto=?"), k, error)
           && t.commit(error);
}

QString ProcesoModExistencia(double anterior, const QString& nueva, const QString& usuario)
{
    return QStringLiteral("Mod existencia VA=") + TextoNumero(anterior) + QStringLiteral(" VN=") + nueva
           + QStringLiteral("USR: ") + usuario;
}

QString ProcesoBorraProducto(const QString& existencia, const QString& usuario)
{
    return QStringLiteral("Del Producto  Exis=") + existencia + QStringLiteral("USR: ") + usuario;
}

QString MensajeProducto(const QString& descripcion) { return QStringLiteral("PROD: ") + descripcion; }

const QStringList& CamposBusquedaProductos()
{
    static const QStringList campos{QStringLiteral("CODIGODEBARRAS"), QStringLiteral("NOMBRE"),
                                    QStringLiteral("DESCRIPCION"),    QStringLiteral("TIPOSUSTITUTO"),
                                    QStringLiteral("dCATEGORIA"),     QStringLiteral("Marca")};
    return campos;
}

QString PatronBusqueda(const QString& texto, bool sinEspacios)
{
    if (texto.isEmpty())
        return {};
    if (!sinEspacios)
        return db::escapeLike(texto) + QLatin1Char('%');
    QString p = QStringLiteral("%");
    for (const QChar ch : texto)
        p += db::escapeLike(QString(ch)) + QLatin1Char('%');
    return p;
}

void FuenteCatalogo::limpia()
{
    claves_.clear();
    pagina_.clear();
}

bool FuenteCatalogo::busca(const QString& campo, const QString& patron, db::Error* error)
{
    limpia();
    db::Database* bd = base();
    if (!bd)
        return db::fail(error, db::ErrorKind::Closed, QStringLiteral("No hay base de datos de la sucursal."));
    // Only a field of the list reaches the statement's text; the pattern is bound.
    const QString c = CamposBusquedaProductos().contains(campo, Qt::CaseInsensitive)
                          ? campo
                          : QStringLiteral("NOMBRE");
    QString sql = QStringLiteral("SELECT ClaveProducto FROM ProductoCE");
    QVariantList params;
    if (!patron.isEmpty()) {
        sql += QStringLiteral(" WHERE LETRAS(%1) LIKE LETRAS(?) ESCAPE '\\'").arg(c);
        params << patron;
    }
    sql += QStringLiteral(" ORDER BY %1 COLLATE ESPANOL, ClaveProducto").arg(c);
    QSqlQuery q(bd->connection());
    q.setForwardOnly(true);
    // Another terminal committing holds the file for a moment: the keystroke waits for it, as the
    // layer's own reads do, instead of failing.
    if (!bd->execQuery(q, sql, params, error))
        return false;
    while (q.next())
        claves_.push_back(q.value(0).toLongLong());
    return true;
}

int FuenteCatalogo::indice(qint64 clave) const
{
    for (size_t i = 0; i < claves_.size(); ++i)
        if (claves_[i] == clave)
            return int(i);
    return -1;
}

const db::Row& FuenteCatalogo::fila(int i) const
{
    static const db::Row vacia;
    db::Database* bd = base();
    if (i < 0 || i >= count() || !bd)
        return vacia;
    const qint64 k = claves_[size_t(i)];
    auto it = pagina_.constFind(k);
    if (it != pagina_.constEnd())
        return *it;
    if (pagina_.size() > 16 * kPagina)
        pagina_.clear();
    const int desde = i - i % kPagina;
    const int hasta = std::min(count(), desde + kPagina);
    QVariantList params;
    for (int j = desde; j < hasta; ++j)
        params << claves_[size_t(j)];
    QString marcas = QStringLiteral("?");
    marcas += QStringLiteral(",?").repeated(params.size() - 1);
    if (auto filas = bd->select(QStringLiteral("SELECT * FROM ProductoCE WHERE ClaveProducto IN (%1)").arg(marcas),
                                 params)) {
        for (db::Row& f : *filas) {
            if (columnas_.isEmpty())
                for (int n = 0; n < f.count(); ++n)
                    columnas_ << f.name(n);
            pagina_.insert(f.integer(QStringLiteral("ClaveProducto")), std::move(f));
        }
    }
    it = pagina_.constFind(k);
    if (it == pagina_.constEnd()) {
        // Gone since the search (another terminal deleted it): an empty row until the next one.
        it = pagina_.insert(k, db::Row());
    }
    return *it;
}

std::optional<db::Row> FuenteCatalogo::leeFila(int i, db::Error* error) const
{
    db::Database* bd = base();
    if (i < 0 || i >= count() || !bd)
        return std::nullopt;
    auto f = bd->selectOne(QStringLiteral("SELECT * FROM ProductoCE WHERE ClaveProducto=?"),
                            {claves_[size_t(i)]}, error);
    if (!f || f->empty())
        return std::nullopt;
    pagina_.insert(claves_[size_t(i)], *f);
    return f;
}

QStringList FuenteCatalogo::columnas() const
{
    if (columnas_.isEmpty() && count() > 0)
        fila(0);
    return columnas_;
}

}  // namespace catalogos
