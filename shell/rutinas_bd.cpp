#include "shell/rutinas_bd.h"

#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutas.h"
#include "shell/texto.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>
#include <utility>
#include <vector>

namespace shell {

namespace {

void muestra(const QString& texto) { ui::defaultPrompts().message(texto, ui::Icon::Critical, {}); }

// A failure on a handle inside a write transaction goes back to the caller only: a message box there
// would keep the file locked for every other terminal until someone closes it, and the caller
// reports the failure itself once it has rolled back.
bool falla(db::Database& bd, const QString& texto, const db::Error& e, db::Error* error) {
    if (error) {
        *error = e;
        error->message = texto;
    }
    if (!bd.inTransaction()) muestra(texto);
    return false;
}

// Date as the databases keep it: the day alone at midnight, else day and time.
QVariant fechaTexto(const QDateTime& f) {
    if (!f.isValid()) return QVariant();
    return f.time() == QTime(0, 0) ? FechaISO(f.date()) : FechaHoraISO(f);
}

QString claveDe(const QString& ruta) {
    const QString nombre = QFileInfo(ruta).fileName();
    if (nombre.compare(QLatin1String("Direccion.db"), Qt::CaseInsensitive) == 0 ||
        nombre.compare(QLatin1String("Datos.db"), Qt::CaseInsensitive) == 0)
        return {};
    return ClaveArchivos();
}

bool mismoArchivo(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// An open handle on `ruta`: the shared one when it is the central or branch file, else a new one
// kept in `propio`.
db::Database* abreRuta(const QString& ruta, std::unique_ptr<db::Database>& propio, db::Error* e) {
    if (mismoArchivo(ruta, RutaBDSucursal(G().SucursalActual)) && QFileInfo::exists(ruta))
        return BDSucursal(e);
    if (mismoArchivo(ruta, RutaBDCodigos()) && QFileInfo::exists(ruta)) return BDCodigos(e);
    db::OpenOptions op;
    op.password = claveDe(ruta);
    op.centralPath = RutaBDCodigos();
    propio = db::Database::open(ruta, op, e);
    return propio.get();
}

}  // namespace

bool ProcesaSQL(db::Database& bd, const QString& sql, const QVariantList& params, db::Error* error) {
    PonEstado(2, QStringLiteral("Procesando ") + sql + QStringLiteral(".."));
    db::Error e;
    bool ok;
    const QString nombre = sql.trimmed();
    if (!nombre.contains(u' ') && bd.hasQuery(nombre))
        ok = bd.runAction(nombre, {}, &e);
    else
        ok = bd.exec(sql, params, &e);
    if (!ok) return falla(bd, QStringLiteral("No se pudo ejecutar el comando: ") + sql + u' ' + e.message, e, error);
    if (error) *error = {};
    PonEstado(2, QStringLiteral("Ok "));
    return true;
}

bool ProcesaSQL(const QString& ruta, const QString& sql, const QVariantList& params) {
    std::unique_ptr<db::Database> propio;
    db::Error e;
    db::Database* bd = abreRuta(ruta, propio, &e);
    if (!bd) {
        PonEstado(2, QStringLiteral("Procesando ") + sql + QStringLiteral(".."));
        muestra(QStringLiteral("No se pudo ejecutar el comando: ") + sql + u' ' + e.message);
        return false;
    }
    return ProcesaSQL(*bd, sql, params);
}

namespace {
// A failure of the engine whose text the program does not know, told by its kind alone.
QString KindText(int codigo) {
    switch (codigo & 0xff) {
    case 1: return QStringLiteral("el motor de datos no aceptó la instrucción");
    case 5: case 6: return QStringLiteral("otra terminal está usando el archivo");
    case 7: return QStringLiteral("no hay memoria suficiente");
    case 8: return QStringLiteral("el archivo de datos es de solo lectura");
    case 9: return QStringLiteral("se interrumpió la instrucción");
    case 10: return QStringLiteral("falló la lectura o escritura del disco");
    case 11: case 26: return QStringLiteral("el archivo de datos está dañado");
    case 13: return QStringLiteral("el disco está lleno");
    case 14: return QStringLiteral("no se pudo abrir el archivo de datos");
    case 18: return QStringLiteral("un texto o un valor es demasiado grande");
    case 19: return QStringLiteral("un valor no cumple las reglas de la tabla");
    case 20: return QStringLiteral("el tipo del valor no corresponde al campo");
    case 23: return QStringLiteral("no está permitido");
    default: return QStringLiteral("el motor de datos no pudo ejecutar la instrucción");
    }
}
}  // namespace

QString TextoMotor(const QString& motor, int codigo) {
    struct Regla {
        const char* patron;
        const char* texto;  // %1, %2... are the pattern's captures
    };
    static const Regla reglas[] = {
        {R"re(^near "(.*)": syntax error$)re", "hay un error de sintaxis cerca de \"%1\""},
        {R"re(^incomplete input$)re", "la instrucción está incompleta"},
        {R"re(^no such table: (.*)$)re", "no existe la tabla %1"},
        {R"re(^no such column: (.*)$)re", "no existe el campo %1"},
        {R"re(^no such view: (.*)$)re", "no existe la vista %1"},
        {R"re(^no such index: (.*)$)re", "no existe el índice %1"},
        {R"re(^no such trigger: (.*)$)re", "no existe el disparador %1"},
        {R"re(^no such function: (.*)$)re", "no existe la función %1"},
        {R"re(^no such collation sequence: (.*)$)re", "no existe el orden %1"},
        {R"re(^table (.*) already exists$)re", "ya existe la tabla %1"},
        {R"re(^view (.*) already exists$)re", "ya existe la vista %1"},
        {R"re(^index (.*) already exists$)re", "ya existe el índice %1"},
        {R"re(^trigger (.*) already exists$)re", "ya existe el disparador %1"},
        {R"re(^there is already (?:another )?(?:table|index|view|trigger) (?:or index )?(?:with the name|named) (.*)$)re",
         "ya existe un objeto llamado %1"},
        {R"re(^duplicate column name: (.*)$)re", "el campo %1 ya existe"},
        {R"re(^table (.*) may not be modified$)re", "la tabla %1 no se puede modificar"},
        {R"re(^table (.*) may not be (?:dropped|altered|indexed)$)re", "la tabla %1 es del motor y no se puede cambiar"},
        {R"re(^object name reserved for internal use: (.*)$)re", "el nombre %1 es del motor de datos"},
        {R"re(^cannot modify (.*) because it is a view$)re", "%1 es una vista y no se puede cambiar"},
        {R"re(^UNIQUE constraint failed: (.*)$)re", "el valor ya existe en %1 y no se puede repetir"},
        {R"re(^NOT NULL constraint failed: (.*)$)re", "el campo %1 no puede quedar vacío"},
        {R"re(^CHECK constraint failed: (.*)$)re", "un valor no cumple la regla %1"},
        {R"re(^FOREIGN KEY constraint failed$)re", "falta el registro al que se hace referencia"},
        {R"re(^table (.*) has (\d+) columns but (\d+) values were supplied$)re",
         "la tabla %1 tiene %2 campos y se dieron %3 valores"},
        {R"re(^(\d+) values for (\d+) columns$)re", "se dieron %1 valores para %2 campos"},
        {R"re(^datatype mismatch$)re", "el tipo del valor no corresponde al campo"},
        {R"re(^cannot VACUUM from within a transaction$)re", "no se puede compactar el archivo dentro de una transacción"},
        {R"re(^not authorized$)re", "no está permitido"},
        {R"re(^no such module: (.*)$)re", "no se permite la tabla virtual del módulo %1: el programa no usa tablas virtuales"},
        {R"re(^unsafe use of (.*)\(\)$)re", "no se permite la función %1 en una vista o un disparador"},
        {R"re(^wrong number of arguments to function (.*)\(\)$)re", "la función %1 recibió otro número de valores"},
        {R"re(^misuse of (?:aggregate|window) function (.*)\(\)$)re", "la función %1 no se puede usar ahí"},
        {R"re(^string or blob too big$)re", "un texto o un valor es demasiado grande"},
        {R"re(^Expression tree is too large \(maximum depth (\d+)\)$)re", "la expresión es demasiado compleja (más de %1 niveles)"},
        {R"re(^too many terms in compound SELECT$)re", "la consulta une demasiadas partes"},
        {R"re(^too many (?:columns|arguments).*$)re", "la instrucción tiene demasiados campos o valores"},
        {R"re(^too many levels of trigger recursion$)re", "los disparadores se llaman demasiadas veces entre sí"},
        {R"re(^too many SQL variables$)re", "la instrucción tiene demasiados parámetros"},
        {R"re(^statement too long$)re", "la instrucción es demasiado larga"},
        {R"re(^unrecognized token: (.*)$)re", "no se reconoce %1"},
        {R"re(^interrupted$)re", "se interrumpió la instrucción"},
        {R"re(^out of memory$)re", "no hay memoria suficiente"},
        {R"re(^(.*) is not a function$)re", "%1 no es una función"},
        {R"re(^output file already exists$)re", "el archivo de destino ya existe"},
        {R"re(^database or disk is full$)re", "el disco está lleno"},
        {R"re(^disk I/O error$)re", "falló la lectura o escritura del disco"},
        {R"re(^attempt to write a readonly database$)re", "el archivo de datos es de solo lectura"},
        {R"re(^database is locked$)re", "otra terminal está usando el archivo"},
        {R"re(^unable to open database file$)re", "no se pudo abrir el archivo de datos"},
        {R"re(^file is not a database$)re", "el archivo no es una base de datos"},
    };
    static const std::vector<std::pair<QRegularExpression, QString>> compiladas = [] {
        std::vector<std::pair<QRegularExpression, QString>> v;
        for (const Regla& r : reglas)
            v.emplace_back(QRegularExpression(QString::fromUtf8(r.patron)), QString::fromUtf8(r.texto));
        return v;
    }();
    const QString texto = motor.trimmed();
    // A view's or trigger's own failure is one of the engine's texts too.
    static const QRegularExpression dentro(QStringLiteral(R"re(^error in (view|trigger) (.*?): (.*)$)re"));
    if (const QRegularExpressionMatch m = dentro.match(texto); m.hasMatch())
        return (m.captured(1) == QLatin1String("view") ? QStringLiteral("en la vista %1 %2")
                                                         : QStringLiteral("en el disparador %1 %2"))
            .arg(m.captured(2), TextoMotor(m.captured(3), codigo));
    for (const auto& [patron, espanol] : compiladas) {
        const QRegularExpressionMatch m = patron.match(texto);
        if (!m.hasMatch()) continue;
        QString out = espanol;
        for (int i = m.lastCapturedIndex(); i >= 1; --i) out.replace(u'%' + QString::number(i), m.captured(i));
        return out;
    }
    return KindText(codigo);
}

namespace {
// The kind of a script line, by its first word: SQLite's grammar makes it so. Used only to know
// where a person's transaction ends; the guard decides what the line may do.
QString primeraPalabra(const QString& sql) {
    static const QRegularExpression re(QStringLiteral(R"(^(?:\s+|--[^\n]*\n?|/\*.*?\*/)*([A-Za-z]+))"),
                                       QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(sql);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}
}  // namespace

bool ProcesaSQLPersona(db::Database& bd, const QString& sql, db::UserSql clase, db::Error* error,
                       const db::LockWait& espera, const QStringList* requerido) {
    const QString nombre = sql.trimmed();
    PonEstado(2, QStringLiteral("Procesando ") + sql + QStringLiteral(".."));
    db::Error e;
    bool ok;
    // A line of a script outside a transaction of the person's own runs in one of the program's,
    // so what it leaves behind is checked before it stays; a transaction the person opened is
    // checked as it commits.
    const QString palabra = clase == db::UserSql::Script ? primeraPalabra(sql) : QString();
    const bool control = palabra == u"begin" || palabra == u"commit" || palabra == u"end" || palabra == u"rollback" ||
                         palabra == u"savepoint" || palabra == u"release" || palabra == u"vacuum";
    const bool cierra = palabra == u"commit" || palabra == u"end" || palabra == u"release";
    const bool suelta = clase == db::UserSql::Script && !bd.inTransaction() && bd.autocommit();
    db::WriteTransaction propia(bd);
    {
        // A saved query's name alone runs that query under the same guard: its text came with the
        // file, as a person's statement does (the program's own actions run the program's text).
        db::UserSqlGuard guarda(bd, clase, espera);
        if (requerido) guarda.require(*requerido);
        if (suelta && !control) {
            ok = propia.begin({}, &e);
        } else if (cierra && !bd.autocommit()) {
            ok = guarda.check(&e);
            if (!ok) bd.exec(QStringLiteral("ROLLBACK"));
        } else {
            ok = true;
        }
        if (ok) {
            ok = !nombre.contains(u' ') && bd.hasQuery(nombre) ? bd.runAction(nombre, {}, &e) : bd.exec(sql, {}, &e);
            if (ok && !control) ok = (!suelta && clase == db::UserSql::Script) || guarda.check(&e);
            // A statement the guard stopped is undone, inside a transaction of the person's too.
            if (!ok && guarda.explain(&e) && clase == db::UserSql::Script && !propia.active() && !bd.autocommit()) bd.exec(QStringLiteral("ROLLBACK"));
        }
        if (ok && propia.active()) ok = propia.commit(&e);
        if (!ok) propia.rollback();
        // The guard's refusals are already the program's own words; the engine's are not.
        const bool propio = !guarda.refused().isEmpty() || e.kind == db::ErrorKind::Busy ||
                            e.kind == db::ErrorKind::Closed || e.kind == db::ErrorKind::Cancelled || e.code == 0;
        if (!ok && !propio) e.message = TextoMotor(e.message, e.code);
    }
    if (!ok) return falla(bd, QStringLiteral("No se pudo ejecutar el comando: ") + sql + u' ' + e.message, e, error);
    if (error) *error = {};
    PonEstado(2, QStringLiteral("Ok "));
    return true;
}

QStringList ColumnasDuplicadas(const db::Error& error) {
    QStringList columnas;
    if (error.kind != db::ErrorKind::DuplicateKey || error.code == 0) return columnas;
    static const QRegularExpression re(QStringLiteral("constraint failed: (.*)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(error.message.trimmed());
    if (!m.hasMatch()) return columnas;
    for (const QString& c : m.captured(1).split(u',', Qt::SkipEmptyParts))
        columnas << c.trimmed().section(u'.', -1);
    return columnas;
}

bool NombraDuplicado(db::Error& error, const QString& columna, const QString& texto) {
    if (!ColumnasDuplicadas(error).contains(columna, Qt::CaseInsensitive)) return false;
    // Code 0 marks the text as the program's own (db::fail does the same).
    error.code = 0;
    error.message = texto;
    return true;
}

QString TextoErrorBD(const db::Error& error) {
    if (error.code == 0 && !error.message.isEmpty()) return error.message;
    static const QRegularExpression nulo(QStringLiteral("NOT NULL constraint failed: ([^ ]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    switch (error.kind) {
    case db::ErrorKind::None:
        return {};
    case db::ErrorKind::DuplicateKey: {
        QString texto = QStringLiteral("Hay un valor que no se permite duplicar como el codigo de barras, compruebe sus "
                                       "campos.");
        const QStringList columnas = ColumnasDuplicadas(error);
        if (!columnas.isEmpty()) texto += QStringLiteral(" Se repite: ") + columnas.join(QStringLiteral(", ")) + u'.';
        return texto;
    }
    case db::ErrorKind::Constraint: {
        const QRegularExpressionMatch m = nulo.match(error.message);
        if (m.hasMatch()) return MensajeRequerido(m.captured(1).section(u'.', -1));
        return QString::fromUtf8("El valor que tecleo para el campo no es válido. No se grabo el cambio.");
    }
    case db::ErrorKind::Busy:
        return QString::fromUtf8("Otra terminal está usando el archivo; intente de nuevo en un momento.");
    case db::ErrorKind::Cancelled:
        return QString::fromUtf8("Se canceló la espera; no se grabó nada.");
    case db::ErrorKind::NotFound:
    case db::ErrorKind::NoSuchTable:
        return QString::fromUtf8("No se encontró el archivo o la tabla de datos que se necesita.");
    case db::ErrorKind::Corrupt:
        return QString::fromUtf8("El archivo de datos está dañado o no es una base de datos.");
    case db::ErrorKind::WrongPassword:
        return QString::fromUtf8("La contraseña del archivo de datos no es la correcta.");
    case db::ErrorKind::Closed:
        return QString::fromUtf8("El archivo de datos se cerró; vuelva a abrir la ventana.");
    case db::ErrorKind::Other:
        // What the engine said, in the program's words (TextoMotor never passes its English on).
        if (!error.message.isEmpty())
            return QString::fromUtf8("No se pudo leer o grabar en la base de datos: ") + TextoMotor(error.message, error.code) + u'.';
        break;
    }
    return QString::fromUtf8("No se pudo leer o grabar en la base de datos.");
}

void MuestraErrorBD(const db::Error& error) { muestra(TextoErrorBD(error)); }

std::optional<qint64> ObtenerSiguienteId(db::Database& bd, const QString& campo, const QString& tabla,
                                         const QVariantList& params, db::Error* error) {
    const QString sql = QStringLiteral("SELECT MAX(%1) FROM (%2)").arg(campo, tabla);
    auto v = bd.scalar(sql, params, error);
    if (!v) return std::nullopt;
    const double max = v->isNull() ? 0.0 : v->toDouble();
    return EnteroPar(max) + 1;
}

std::optional<qint64> ObtenerSiguienteId(const QString& campo, const QString& tabla,
                                         const QVariantList& params, db::Error* error) {
    if (tabla.startsWith(u'*')) {
        db::Database* bd = BDSucursal(error);
        if (!bd) return std::nullopt;
        auto fila = bd->selectOne(tabla.mid(1), params, error);
        if (!fila) return std::nullopt;
        if (fila->empty()) return 1;
        const QVariant v = fila->has(campo) ? fila->value(campo) : fila->value(0);
        return EnteroPar(v.isNull() ? 0.0 : v.toDouble()) + 1;
    }
    if (tabla.startsWith(u'\\')) {
        db::Database* bd = BDSucursal(error);
        if (!bd) return std::nullopt;
        return ObtenerSiguienteId(*bd, campo, tabla.mid(1), params, error);
    }
    db::Database* bd = BDCodigos(error);
    if (!bd) return std::nullopt;
    return ObtenerSiguienteId(*bd, campo, tabla, params, error);
}

QString LeerCampo(const db::Row& fila, const QString& nombre, bool* ok) {
    if (!fila.has(nombre)) {
        if (ok) *ok = false;
        muestra(QStringLiteral("Error. No se encontró campo ") + nombre +
                QStringLiteral(" el campo no existe en el registro."));
        return {};
    }
    if (ok) *ok = true;
    const QVariant v = fila.value(nombre);
    if (v.isNull()) return {};
    if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

int BuscaRegistros(db::Database& bd, const QString& base, const QString& campo,
                   const QString& valor, db::Rows* filas) {
    // Names in the Spanish order; the collation leaves numeric columns in their own.
    const QString orden = QStringLiteral("  ORDER BY ") + campo + QStringLiteral(" COLLATE ESPANOL ASC");
    db::Error e;
    std::optional<db::Rows> r;
    if (valor.isEmpty()) {
        r = bd.select(base + orden, {}, &e);
    } else {
        // The kind of the column decides: text begins with the value, anything else equals it.
        auto tipo = bd.scalar(QStringLiteral("SELECT typeof(%1) FROM (%2) WHERE %1 IS NOT NULL LIMIT 1")
                                  .arg(campo, base), {}, &e);
        if (tipo) {
            const QString t = tipo->toString();
            bool numero = false;
            valor.trimmed().toDouble(&numero);
            if (t == QLatin1String("text") || (t.isEmpty() && !numero)) {
                r = bd.select(QStringLiteral("SELECT * FROM (%1) WHERE LETRAS(%2) LIKE LETRAS(?) ESCAPE '\\'")
                                  .arg(base, campo) + orden,
                              {db::escapeLike(valor) + u'%'}, &e);
            } else if (numero) {
                r = bd.select(QStringLiteral("SELECT * FROM (%1) WHERE %2 = ?").arg(base, campo) + orden,
                              {valor.trimmed().toDouble()}, &e);
            } else {
                e = {db::ErrorKind::Other, 0, QStringLiteral("El valor no es un número.")};
            }
        }
    }
    if (r) {
        if (filas) *filas = std::move(*r);
        return 1;
    }
    muestra(QStringLiteral("No se pudo ejecutar la búsqueda: ") + campo + QStringLiteral(", ") + valor +
            QStringLiteral("\r\n") + e.message);
    if (filas) *filas = bd.select(base + orden).value_or(db::Rows{});
    return 0;
}

CriterioFechas ArmaCriterioFechas(const QDate& fecha1, const QDate& fecha2, const QString& campo, int modo) {
    QDate hasta;
    if (modo == 1) hasta = fecha1.addDays(1);
    else if (modo == 2) hasta = fecha2.addDays(1);
    else return {};
    return {QStringLiteral("(%1 >= ?) and (%1 < ?)").arg(campo), {FechaISO(fecha1), FechaISO(hasta)}};
}

std::optional<double> SumaCampo(const db::Rows& filas, const QString& campo) {
    double suma = 0.0;
    for (const db::Row& f : filas) {
        bool ok = f.has(campo);
        if (ok) {
            const QVariant v = f.value(campo);
            if (v.isNull()) continue;
            double x = 0;
            if (v.typeId() == QMetaType::QString) x = v.toString().trimmed().toDouble(&ok);
            else x = v.toDouble(&ok);
            suma += x;
        }
        if (!ok) {
            muestra(QStringLiteral("Error al sumar campo ") + campo);
            return std::nullopt;
        }
    }
    return suma;
}

bool CopiaTablaABase(const QString& origen, const QString& destino, const QString& tabla) {
    PonEstado(2, QStringLiteral("Procesando copia de ") + tabla + QStringLiteral(".."));
    db::Error e;
    std::unique_ptr<db::Database> propioO, propioD;
    db::Database* o = abreRuta(origen, propioO, &e);
    db::Database* d = o ? abreRuta(destino, propioD, &e) : nullptr;
    if (o && d) {
        QStringList columnas;
        for (const db::FieldInfo& f : o->fields(tabla)) columnas << f.name;
        if (columnas.isEmpty())
            e = {db::ErrorKind::NoSuchTable, 0, QStringLiteral("No existe la tabla ") + tabla};
        else if (db::Database::copyRows(*o, *d, tabla, columnas, &e)) {
            PonEstado(2, QStringLiteral("Ok "));
            return true;
        }
    }
    muestra(QStringLiteral("No se pudo copiar la tabla ") + tabla + QStringLiteral(" a ") + destino +
            u' ' + e.message);
    return false;
}

bool CompactaBaseDatos(const QString& carpeta, const QString& archivo) {
    const QString ruta = BuscaRuta(UnirRuta(carpeta, archivo));
    if (!QFileInfo(ruta).isFile()) {
        muestra(QStringLiteral("No se encontró el archivo: ") + ruta);
        return false;
    }
    // Our own handles go first; a lock still held after that is another program's.
    if (mismoArchivo(ruta, RutaBDSucursal(G().SucursalActual)) || mismoArchivo(ruta, RutaBDCodigos()))
        CierraConexiones();
    db::Database::closeAll(ruta);
    db::Error e;
    db::OpenOptions op;
    op.password = claveDe(ruta);
    op.attachLinks = false;
    op.createViews = false;
    auto bd = db::Database::open(ruta, op, &e);
    if (bd) {
        // An exclusive lock proves nobody else is reading or writing the file right now.
        if (bd->exec(QStringLiteral("BEGIN EXCLUSIVE"), {}, &e)) {
            bd->exec(QStringLiteral("COMMIT"));
            if (bd->vacuum(&e)) return true;
        }
    }
    if (e.kind == db::ErrorKind::Busy)
        muestra(QStringLiteral("El archivo ") + ruta +
                QStringLiteral(" está en uso en otra terminal; no se compactó. Intente cuando nadie lo use."));
    else
        muestra(QStringLiteral("No se pudo compactar ") + ruta + u' ' + e.message);
    return false;
}

namespace {
std::optional<qint64> SiguienteMovimiento(db::Database& bd, db::Error* error) {
    db::Error e;
    auto id = ObtenerSiguienteId(bd, QStringLiteral("IdMovimiento"), QStringLiteral("MovimientosCaja"), {}, &e);
    if (!id)
        falla(bd, QStringLiteral("No se pudo ejecutar el comando: Select Max(IdMovimiento) from MovimientosCaja ") +
                      e.message,
              e, error);
    return id;
}
}  // namespace

std::optional<qint64> InsertaMovCajaCorte(db::Database& bd, const QDateTime& fecha, double importe,
                                          int tipo, const QString& descripcion, int estatus,
                                          int idCorte, int usuario, db::Error* error) {
    auto id = SiguienteMovimiento(bd, error);
    if (!id) return std::nullopt;
    const bool ok = ProcesaSQL(bd,
        QStringLiteral("INSERT INTO MovimientosCaja(IdMovimiento,FechaMov,ImporteMov,TipoMov,DescripcionMov,"
                       "EstatusMov,IdCorte,IdUsuario) VALUES(?,?,?,?,?,?,?,?)"),
        {*id, fechaTexto(fecha), importe, tipo, descripcion, estatus, idCorte, usuario}, error);
    if (!ok) return std::nullopt;
    return id;
}

std::optional<qint64> InsertaMovCaja(db::Database& bd, double importe, int tipo,
                                     const QString& descripcion, int usuario, db::Error* error) {
    auto id = SiguienteMovimiento(bd, error);
    if (!id) return std::nullopt;
    const bool ok = ProcesaSQL(bd,
        QStringLiteral("INSERT INTO MovimientosCaja(IdMovimiento,FechaMov,ImporteMov,TipoMov,DescripcionMov,"
                       "EstatusMov,IdUsuario) VALUES(?,?,?,?,?,?,?)"),
        {*id, FechaHoraISO(QDateTime::currentDateTime()), importe, tipo, descripcion, 1, usuario}, error);
    if (!ok) return std::nullopt;
    return id;
}

bool InsertaEInventario(db::Database& bd, qint64 numero, const QDateTime& fecha,
                        const QString& descripcion, int aplicado, int usuario, int traspaso,
                        int sucOrigen, int sucDestino, int describeMovto, const QString& docto,
                        db::Error* error) {
    return ProcesaSQL(bd,
        QStringLiteral("INSERT INTO Einventario(Numero,Fecha,Descripcion,Aplicado,Usuario,Traspaso,sucOrigen,"
                       "sucDestino,DescribeMovto,Docto) VALUES(?,?,?,?,?,?,?,?,?,?)"),
        {numero, fechaTexto(fecha), descripcion, aplicado, usuario, traspaso, sucOrigen, sucDestino,
         describeMovto, docto},
        error);
}

bool InsertaNotaCredito(db::Database& bd, qint64 numero, double descuento, const QDateTime& fecha,
                        double total, int empleado, int terminal, const QString& cliente, int ivap,
                        int status, qint64 factRef, const QString& observaciones, db::Error* error) {
    return ProcesaSQL(bd,
        QStringLiteral("INSERT INTO NotaCredito(Numero,Descuento,Fecha,Total,Empleado,Terminal,Cliente,IVAP,"
                       "Status,FactRef,Observaciones) VALUES(?,?,?,?,?,?,?,?,?,?,?)"),
        {numero, descuento, fechaTexto(fecha), total, empleado, terminal, cliente, ivap, status, factRef,
         observaciones},
        error);
}

bool InsertaDetalleNotaCredito(db::Database& bd, qint64 numero, qint64 claveProducto,
                               double cantidad, double precioUnit, int iva, double descuento,
                               db::Error* error) {
    return ProcesaSQL(bd,
        QStringLiteral("INSERT INTO DNotaCredito(Numero,ClaveProducto,Cantidad,PrecioUnit,IVA,Descuento) "
                       "VALUES(?,?,?,?,?,?)"),
        {numero, claveProducto, cantidad, precioUnit, iva, descuento}, error);
}

}  // namespace shell
