#include "branches/sincronizar.h"

#include "branches/archivos.h"
#include "branches/catalogo.h"
#include "branches/mantenimiento.h"
#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutas.h"
#include "shell/rutinas_bd.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace sucursales {

namespace {

const QString CRLF = QStringLiteral("\r\n");

bool mismo(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString tipoNormal(QString t) {
    static const QRegularExpression blancos(QStringLiteral("\\s+"));
    return t.replace(blancos, QString()).toUpper();
}

// The parts between the outer parentheses of a CREATE TABLE, split at the commas of its top level.
QStringList partesDefinicion(const QString& sql, int* abre, int* cierra) {
    QStringList partes;
    int nivel = 0;
    QChar comilla;
    QString actual;
    *abre = *cierra = -1;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!comilla.isNull()) {
            if (c == comilla) comilla = QChar();
            if (nivel >= 1) actual += c;
            continue;
        }
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            comilla = c == u'[' ? QChar(u']') : c;
            if (nivel >= 1) actual += c;
            continue;
        }
        if (c == u'(') {
            if (++nivel == 1) {
                *abre = i;
                continue;
            }
        } else if (c == u')') {
            if (--nivel == 0) {
                *cierra = i;
                partes << actual.trimmed();
                break;
            }
        } else if (c == u',' && nivel == 1) {
            partes << actual.trimmed();
            actual.clear();
            continue;
        }
        if (nivel >= 1) actual += c;
    }
    return partes;
}

bool esRestriccion(const QString& parte) {
    static const QRegularExpression re(QStringLiteral("^(CONSTRAINT|PRIMARY\\s+KEY|UNIQUE|CHECK|FOREIGN\\s+KEY)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(parte).hasMatch();
}

QString nombreDeParte(const QString& parte) {
    static const QRegularExpression re(QStringLiteral("^\\s*(\"[^\"]+\"|`[^`]+`|\\[[^\\]]+\\]|\\S+)"));
    const auto m = re.match(parte);
    QString n = m.hasMatch() ? m.captured(1) : QString();
    if (n.size() >= 2 && (n.startsWith(u'"') || n.startsWith(u'`') || n.startsWith(u'['))) n = n.mid(1, n.size() - 2);
    return n;
}

// The origin's definition of the table with every column only the destination has added after the
// origin's columns, so a rebuild to it loses no column.
QString definicionUnida(const QString& sqlOrigen, const QString& sqlDestino, const std::vector<db::FieldInfo>& origen) {
    int a = 0, c = 0, ad = 0, cd = 0;
    const QStringList partes = partesDefinicion(sqlOrigen, &a, &c);
    const QStringList propias = partesDefinicion(sqlDestino, &ad, &cd);
    QStringList extra;
    for (const QString& p : propias) {
        if (esRestriccion(p)) continue;
        const QString n = nombreDeParte(p);
        bool esta = false;
        for (const db::FieldInfo& f : origen) esta = esta || mismo(f.name, n);
        if (!esta) extra << p;
    }
    if (extra.isEmpty() || a < 0 || c < 0) return sqlOrigen;
    QStringList columnas, restricciones;
    for (const QString& p : partes) (esRestriccion(p) ? restricciones : columnas) << p;
    return sqlOrigen.left(a + 1) + (columnas + extra + restricciones).join(QStringLiteral(", ")) + sqlOrigen.mid(c);
}

struct Indice {
    QString nombre, sql;
};

std::vector<Indice> indicesExplicitos(db::Database& bd, const QString& tabla) {
    std::vector<Indice> out;
    auto filas = bd.select(QStringLiteral("SELECT name, sql FROM main.sqlite_master WHERE type = 'index' AND "
                                          "tbl_name = ? COLLATE NOCASE AND sql IS NOT NULL"),
                           {tabla});
    if (filas)
        for (const db::Row& f : *filas) out.push_back({f.text(QStringLiteral("name")), f.text(QStringLiteral("sql"))});
    return out;
}

bool tieneIndice(db::Database& bd, const QString& nombre) {
    auto n = bd.scalar(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE type = 'index' AND name = ? "
                                      "COLLATE NOCASE"),
                       {nombre});
    return n && n->toInt() > 0;
}

const db::FieldInfo* campo(const std::vector<db::FieldInfo>& campos, const QString& nombre) {
    for (const db::FieldInfo& f : campos)
        if (mismo(f.name, nombre)) return &f;
    return nullptr;
}

struct Archivos {
    std::unique_ptr<db::Database> destino, origen;
};

// Both files open, sound and not the same, or the two messages and nothing.
bool abre(const QString& destino, const QString& origen, Archivos& a, ui::Prompts& p) {
    auto falla = [&](const QString& razon) {
        p.message(QStringLiteral("Error al abrir la base de datos. "), ui::Icon::Critical);
        p.message(razon, ui::Icon::Critical);
        a = {};
        return false;
    };
    if (origen.trimmed().isEmpty() || destino.trimmed().isEmpty())
        return falla(QStringLiteral("Falta el archivo de origen o el de destino."));
    const QFileInfo fo(origen), fd(destino);
    if (fo.exists() && fd.exists() && fo.canonicalFilePath() == fd.canonicalFilePath())
        return falla(QStringLiteral("El origen y el destino son el mismo archivo."));
    db::Error e;
    auto noAbre = [&](const QString& ruta) {
        return falla(QStringLiteral("No se pudo abrir el archivo %1: %2.").arg(QDir::toNativeSeparators(ruta), RazonApertura(e)));
    };
    a.origen = AbreArchivo(origen, &e, true);
    if (!a.origen) return noAbre(origen);
    db::OpenOptions od;
    od.password = shell::ClaveArchivos();
    od.centralPath = EsArchivoSucursal(destino) ? shell::RutaBDCodigos() : QString();
    od.attachLinks = EsArchivoSucursal(destino);
    od.createViews = false;
    a.destino = db::Database::open(destino, od, &e);
    if (!a.destino) return noAbre(destino);
    for (db::Database* bd : {a.origen.get(), a.destino.get()}) {
        auto r = bd->scalar(QStringLiteral("PRAGMA main.quick_check"), {}, &e);
        if (!r) return noAbre(bd->path());
        if (r->toString() != QLatin1String("ok"))
            return falla(QStringLiteral("El archivo %1 está dañado: %2").arg(bd->path(), r->toString()));
    }
    // What the origin brings (definitions, saved queries) is a person's input: it must compile
    // under the guard before anything of it reaches the destination.
    if (const QString mal = db::UserSqlGuard::faultsOf(*a.origen); !mal.isEmpty())
        return falla(QStringLiteral("El archivo de origen %1 no se puede usar: %2.").arg(QDir::toNativeSeparators(origen), mal));
    return true;
}

class Comparador {
public:
    Comparador(db::Database& destino, db::Database& origen, bool repara, ui::Prompts& p)
        : d_(destino), o_(origen), repara_(repara), p_(p) {}
    QString log;

    void ComparaBases() {
        const auto propias = d_.tables();
        for (const db::TableInfo& t : o_.tables()) {
            shell::PonEstado(2, QStringLiteral("Buscando tabla ") + t.name + QStringLiteral(".."));
            bool existe = false;
            for (const db::TableInfo& x : propias) existe = existe || mismo(x.name, t.name);
            if (!existe) {
                linea(QStringLiteral("Falta tabla ") + t.name);
                if (repara_) CreaTabla(t);
            } else if (!t.linked) {
                ComparaTabla(t.name);
            }
        }
        ProcesaConsultasGuardadas();
    }

private:
    void linea(const QString& texto) { log += texto + CRLF; }

    void CreaTabla(const db::TableInfo& t) {
        if (t.linked) {
            p_.message(QStringLiteral("Al parecer hace falta un link de la tabla: ") + t.name, ui::Icon::Warning);
            return;
        }
        db::Error e;
        db::WriteTransaction tr(d_);
        bool bien = tr.begin({}, &e) && db::Database::createTableLike(o_, d_, t.name, &e);
        if (bien && mismo(t.name, QStringLiteral("Monedas"))) {
            QStringList columnas;
            for (const db::FieldInfo& f : o_.fields(t.name)) columnas << f.name;
            bien = db::Database::copyRows(o_, d_, t.name, columnas, &e);
        }
        if (bien) bien = tr.commit(&e);
        if (!bien) {
            tr.rollback();
            linea(QStringLiteral("No se pudo crear la tabla ") + t.name + u'-' + e.message);
        }
    }

    void ComparaTabla(const QString& tabla) {
        const auto deOrigen = o_.fields(tabla);
        const auto propios = d_.fields(tabla);
        std::vector<const db::FieldInfo*> faltan;
        QStringList distintos;
        for (const db::FieldInfo& f : deOrigen) {
            const db::FieldInfo* aqui = campo(propios, f.name);
            if (!aqui) {
                linea(QStringLiteral("Falta registro ") + f.name + QStringLiteral(" en tabla ") + tabla);
                faltan.push_back(&f);
            } else if (tipoNormal(aqui->type) != tipoNormal(f.type)) {
                linea(QStringLiteral("Falta registro ") + f.name + QStringLiteral(" en tabla ") + tabla +
                      QStringLiteral(" Tipo: ") + f.type);
                distintos << f.name;
            }
        }
        std::vector<Indice> indices;
        for (const Indice& ix : indicesExplicitos(o_, tabla))
            if (!tieneIndice(d_, ix.nombre)) {
                linea(QStringLiteral("Falta indice ") + ix.nombre + QStringLiteral(" en tabla ") + tabla);
                indices.push_back(ix);
            }
        if (!repara_) return;
        db::Error e;
        if (!distintos.isEmpty()) {
            // One rebuild to the origin's definition, the destination's own columns kept: every row stays.
            const QString sql = definicionUnida(o_.tableSql(tabla), d_.tableSql(tabla), deOrigen);
            if (d_.rebuildTable(tabla, sql, &e)) {
                for (const QString& n : distintos) linea(QStringLiteral("registro CREADO ") + n);
                faltan.clear();  // the origin's definition brought them
            } else {
                for (const QString& n : distintos)
                    linea(QStringLiteral("No se pudo agregar registro ") + n + QStringLiteral(" en ") + tabla + u'-' + e.message);
                return;
            }
        }
        if (faltan.empty() && indices.empty()) return;
        db::WriteTransaction tr(d_);
        if (!tr.begin({}, &e)) {
            linea(QStringLiteral("No se pudo modificar la tabla ") + tabla + u'-' + e.message);
            return;
        }
        for (const db::FieldInfo* f : faltan)
            if (!d_.addField(tabla, *f, &e)) {
                tr.rollback();
                linea(QStringLiteral("No se pudo agregar registro ") + f->name + QStringLiteral(" en ") + tabla + u'-' + e.message);
                return;
            }
        for (const Indice& ix : indices)
            if (!d_.exec(ix.sql, QVariantList{}, &e)) {
                tr.rollback();
                linea(QStringLiteral("No se pudo agregar el indice ") + ix.nombre + QStringLiteral(" en ") + tabla + u'-' + e.message);
                return;
            }
        if (!tr.commit(&e)) {
            tr.rollback();
            linea(QStringLiteral("No se pudo modificar la tabla ") + tabla + u'-' + e.message);
        }
    }

    void ProcesaConsultasGuardadas() {
        for (const db::SavedQuery& q : o_.savedQueries()) {
            const auto aqui = d_.savedQuery(q.name);
            if (aqui && aqui->kind == q.kind && aqui->sql.trimmed() == q.sql.trimmed()) continue;
            linea(QStringLiteral("Falta consulta ") + q.name);
            if (!repara_) continue;
            // The origin's text is a person's input: its view is compiled under the same guard as a
            // script line, and an action is guarded when it runs.
            db::Error e;
            db::UserSqlGuard guarda(d_, db::UserSql::Script);
            if (!d_.createQuery(q.name, q.kind, q.sql, &e))
                linea(QStringLiteral("No se pudo crear la consulta ") + q.name + u'-' + e.message);
        }
    }

    db::Database& d_;
    db::Database& o_;
    bool repara_;
    ui::Prompts& p_;
};

}  // namespace

bool EsArchivoSucursal(const QString& ruta) {
    return QFileInfo(ruta).fileName().compare(QLatin1String("BDSucursal.db"), Qt::CaseInsensitive) == 0;
}

QString EstableceDestino(const QString& origen, const QString& sucursalSinc) {
    return EsArchivoSucursal(origen) ? RutaArchivoSucursal(sucursalSinc) : shell::RutaBDCodigos();
}

QStringList ListaCatalogosSinc(const QString& destino) {
    if (EsArchivoSucursal(destino))
        return {QStringLiteral("Existencia"), QStringLiteral("Venta"), QStringLiteral("DetalleVenta")};
    return {QStringLiteral("Producto"),     QStringLiteral("Cliente"),      QStringLiteral("Categoria"),
            QStringLiteral("FormasdePago"), QStringLiteral("Proveedores"),  QStringLiteral("TipoProducto"),
            QStringLiteral("Permisos"),     QStringLiteral("UsuarioPermiso")};
}

ResultadoSinc MigraYProcesa(const QString& destino, const QString& origen, bool repara, const QString& script,
                            ui::Prompts& p, const db::LockWait& espera) {
    ResultadoSinc r;
    CierraBD(destino);
    Archivos a;
    if (!abre(destino, origen, a, p)) return r;
    r.abierto = true;
    Comparador c(*a.destino, *a.origen, repara, p);
    c.ComparaBases();
    r.log = c.log;
    // What the script must leave: the program's tables and columns the destination (and the
    // central file it reaches) holds now.
    const QStringList requerido = db::UserSqlGuard::programSchema(*a.destino);
    // Every line of the script, the last one too, on its own: a failing one is told and the next runs.
    // A line may do anything to the data, but never reach the layer's own tables, without which
    // the program could not open the file again.
    for (const QString& linea : QString(script).replace(CRLF, QStringLiteral("\n")).split(u'\n')) {
        if (linea.trimmed().isEmpty()) continue;
        db::Error e;
        if (shell::ProcesaSQLPersona(*a.destino, linea.trimmed(), db::UserSql::Script, &e, espera, &requerido))
            r.consultas += QStringLiteral("Consulta ejecutada: ") + linea.trimmed() + CRLF;
        else
            r.consultas += e.message + CRLF;
    }
    if (!a.destino->autocommit()) {
        a.destino->exec(QStringLiteral("ROLLBACK"));
        r.consultas += QStringLiteral("El guion abrió una transacción y no la terminó: se deshizo.") + CRLF;
    }
    shell::PonEstado(2, QString());
    p.message(QStringLiteral("Proceso terminado."), ui::Icon::None);
    return r;
}

ResultadoSinc CopiaCatalogos(const QString& destino, const QString& origen, const QStringList& tablas, ui::Prompts& p) {
    ResultadoSinc r;
    CierraBD(destino);
    Archivos a;
    if (!abre(destino, origen, a, p)) return r;
    r.abierto = true;
    for (const QString& t : tablas) {
        shell::PonEstado(2, QStringLiteral("Procesando copia de ") + t + QStringLiteral(".."));
        if (!a.origen->tableExists(t)) {
            r.log += QStringLiteral("Falta tabla ") + t + QStringLiteral(" en el origen") + CRLF;
            continue;
        }
        QStringList comunes;
        const auto propios = a.destino->fields(t);
        for (const db::FieldInfo& f : a.origen->fields(t))
            if (campo(propios, f.name)) comunes << f.name;
        // The rows the destination keeps when emptied are not brought again.
        const Condicion quedan = FilasQueQuedan(t);
        db::Error e;
        db::WriteTransaction tr(*a.destino);
        bool bien = tr.begin({}, &e) && BorraCatalogo(*a.destino, t, &e) &&
                    db::Database::copyRows(*a.origen, *a.destino, t, comunes, &e,
                                           quedan.sql.isEmpty() ? QString() : QStringLiteral("Not (") + quedan.sql + u')',
                                           quedan.params) &&
                    tr.commit(&e);
        if (!bien) {
            tr.rollback();
            r.log += QStringLiteral("No se pudo copiar la tabla ") + t + u'-' + e.message + CRLF;
        } else {
            r.log += QStringLiteral("Catálogo copiado ") + t + CRLF;
        }
    }
    shell::PonEstado(2, QString());
    p.message(QStringLiteral("Proceso terminado."), ui::Icon::None);
    return r;
}

}  // namespace sucursales
