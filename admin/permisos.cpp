#include "admin/permisos.h"

#include "shell/rutinas_bd.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace admin {

namespace {

const QString kSelect = QStringLiteral(
    "SELECT IdPermiso, NombrePermiso, DescripcionPermiso, PermisoPadre FROM Permisos ORDER BY IdPermiso ASC");

Permiso deFila(const db::Row& f)
{
    Permiso p;
    p.IdPermiso = f.integer(QStringLiteral("IdPermiso"));
    p.NombrePermiso = f.text(QStringLiteral("NombrePermiso"));
    p.DescripcionPermiso = f.text(QStringLiteral("DescripcionPermiso"));
    p.PermisoPadre = f.text(QStringLiteral("PermisoPadre"));
    return p;
}

ResultadoPermiso rechazo(const QString& mensaje)
{
    ResultadoPermiso r;
    r.mensaje = mensaje;
    return r;
}

ResultadoPermiso falloBD(const QString& que, const db::Error& e)
{
    return rechazo(que + e.message);
}

// Names of every row below `nombre` (children by PermisoPadre, their children, ...). The visited
// set keeps a cycle already stored from looping.
QSet<QString> descendientes(const std::vector<Permiso>& filas, const QString& nombre)
{
    QSet<QString> vistos;
    QStringList pendientes{nombre};
    while (!pendientes.isEmpty()) {
        const QString actual = pendientes.takeFirst();
        for (const Permiso& p : filas)
            if (p.PermisoPadre == actual && !vistos.contains(p.NombrePermiso)) {
                vistos.insert(p.NombrePermiso);
                pendientes << p.NombrePermiso;
            }
    }
    return vistos;
}

}  // namespace

std::optional<std::vector<Permiso>> LeePermisos(db::Database& bd, db::Error* error)
{
    auto filas = bd.select(kSelect, {}, error);
    if (!filas)
        return std::nullopt;
    std::vector<Permiso> v;
    v.reserve(filas->size());
    for (const db::Row& f : *filas)
        v.push_back(deFila(f));
    return v;
}

ArbolPermisos ArmaArbol(std::vector<Permiso> filas)
{
    std::stable_sort(filas.begin(), filas.end(),
                     [](const Permiso& a, const Permiso& b) { return a.IdPermiso < b.IdPermiso; });
    ArbolPermisos arbol;
    const int n = int(filas.size());
    QHash<QString, int> porNombre;  // the later row of a shared name wins
    for (int i = 0; i < n; ++i) {
        const Permiso& p = filas[size_t(i)];
        arbol.nodos.push_back({QStringLiteral("c") + QString::number(p.IdPermiso), p.NombrePermiso, p.IdPermiso, -1, {}});
        porNombre.insert(p.NombrePermiso, i);
    }
    std::vector<int> padre(size_t(n), -1);
    std::vector<bool> perdido(size_t(n), false);
    for (int i = 0; i < n; ++i) {
        const QString& nombre = filas[size_t(i)].PermisoPadre;
        if (nombre.isEmpty())
            continue;
        auto it = porNombre.constFind(nombre);
        if (it == porNombre.constEnd() || it.value() == i)
            perdido[size_t(i)] = true;
        else
            padre[size_t(i)] = it.value();
    }
    // A row on a cycle of parents would hang under itself: it goes to the roots like an orphan.
    for (int i = 0; i < n; ++i) {
        int p = padre[size_t(i)];
        for (int pasos = 0; p >= 0 && pasos < n; ++pasos) {
            if (p == i) {
                perdido[size_t(i)] = true;
                break;
            }
            p = padre[size_t(p)];
        }
    }
    for (int i = 0; i < n; ++i) {
        if (perdido[size_t(i)]) {
            padre[size_t(i)] = -1;
            arbol.avisos << QStringLiteral("No se encontro el nodo ") + filas[size_t(i)].PermisoPadre;
        }
        arbol.nodos[size_t(i)].padre = padre[size_t(i)];
        if (padre[size_t(i)] < 0)
            arbol.raices.push_back(i);
        else
            arbol.nodos[size_t(padre[size_t(i)])].hijos.push_back(i);
    }
    return arbol;
}

namespace {

bool otorgado(const std::vector<qint64>& otorgados, qint64 id)
{
    return std::find(otorgados.begin(), otorgados.end(), id) != otorgados.end();
}

// The node and every node under it.
std::vector<int> Rama(const ArbolPermisos& arbol, int nodo)
{
    std::vector<int> rama{nodo};
    for (size_t i = 0; i < rama.size(); ++i)
        for (int h : arbol.nodos[size_t(rama[i])].hijos)
            rama.push_back(h);
    return rama;
}

}  // namespace

Marca MarcaNodo(const ArbolPermisos& arbol, const std::vector<qint64>& otorgados, int nodo)
{
    if (nodo < 0 || size_t(nodo) >= arbol.nodos.size() || !otorgado(otorgados, arbol.nodos[size_t(nodo)].id))
        return Marca::Ninguna;
    for (int i : Rama(arbol, nodo))
        if (!otorgado(otorgados, arbol.nodos[size_t(i)].id))
            return Marca::Parcial;
    return Marca::Completa;
}

std::vector<qint64> CambiaMarca(const ArbolPermisos& arbol, std::vector<qint64> otorgados, int nodo)
{
    if (nodo < 0 || size_t(nodo) >= arbol.nodos.size())
        return otorgados;
    const bool quita = MarcaNodo(arbol, otorgados, nodo) == Marca::Completa;
    for (int i : Rama(arbol, nodo)) {
        const qint64 id = arbol.nodos[size_t(i)].id;
        std::erase(otorgados, id);
        if (!quita)
            otorgados.push_back(id);
    }
    for (int a = arbol.nodos[size_t(nodo)].padre; a >= 0; a = arbol.nodos[size_t(a)].padre) {
        const qint64 id = arbol.nodos[size_t(a)].id;
        if (!quita) {
            if (!otorgado(otorgados, id))
                otorgados.push_back(id);
            continue;
        }
        const std::vector<int> rama = Rama(arbol, a);
        const bool queda = std::any_of(rama.begin() + 1, rama.end(), [&](int i) {
            return otorgado(otorgados, arbol.nodos[size_t(i)].id);
        });
        if (!queda)
            std::erase(otorgados, id);
    }
    std::sort(otorgados.begin(), otorgados.end());
    return otorgados;
}

QString BuscaLlaveNodo(const ArbolPermisos& arbol, const QString& nombre)
{
    QString llave;
    for (const NodoPermiso& n : arbol.nodos)
        if (n.texto == nombre)
            llave = n.llave;
    return llave;
}

QString BuscaPermiso(const std::vector<Permiso>& filas, const QString& nombre, bool modoId)
{
    const Permiso* primero = nullptr;
    for (const Permiso& p : filas)
        if (p.NombrePermiso == nombre && (!primero || p.IdPermiso < primero->IdPermiso))
            primero = &p;
    if (!primero)
        return {};
    return modoId ? QString::number(primero->IdPermiso) : primero->DescripcionPermiso;
}

bool EsClavePermisos(const QString& tecleado) { return tecleado == QLatin1String("rul48"); }

ResultadoPermiso GuardaPermiso(db::Database& bd, std::optional<qint64> id, const Permiso& datos,
                               const db::LockWait& espera)
{
    const QString errGuardar = QStringLiteral("No se pudo guardar el permiso: ");
    if (datos.NombrePermiso.trimmed().isEmpty())
        return rechazo(QStringLiteral("Teclee el nombre del permiso."));
    db::WriteTransaction t(bd);
    db::Error e;
    if (!t.begin(espera, &e))
        return falloBD(errGuardar, e);
    auto filas = LeePermisos(bd, &e);
    if (!filas)
        return falloBD(errGuardar, e);

    qint64 numero = 0;
    QString nombreAnterior;
    if (id) {
        auto it = std::find_if(filas->begin(), filas->end(), [&](const Permiso& p) { return p.IdPermiso == *id; });
        if (it == filas->end())
            return rechazo(QString::fromLatin1(kNodoNoEncontrado));
        numero = *id;
        nombreAnterior = it->NombrePermiso;
    } else {
        auto siguiente = shell::ObtenerSiguienteId(bd, QStringLiteral("IdPermiso"), QStringLiteral("Permisos"), {}, &e);
        if (!siguiente)
            return falloBD(errGuardar, e);
        numero = *siguiente;
        if (numero > kMaximoPermiso)
            return rechazo(QStringLiteral("Ya no hay números de permiso disponibles: el último posible es el 255."));
    }

    for (const Permiso& p : *filas)
        if (p.IdPermiso != numero && p.NombrePermiso == datos.NombrePermiso)
            return rechazo(QStringLiteral("Ya existe un permiso con el nombre ") + datos.NombrePermiso + QLatin1Char('.'));

    if (!datos.PermisoPadre.isEmpty()) {
        auto padre = std::find_if(filas->begin(), filas->end(), [&](const Permiso& p) {
            return p.NombrePermiso == datos.PermisoPadre && p.IdPermiso != numero;
        });
        const bool propio = datos.PermisoPadre == datos.NombrePermiso || datos.PermisoPadre == nombreAnterior;
        if (!propio && padre == filas->end())
            return rechazo(QStringLiteral("No existe el permiso padre ") + datos.PermisoPadre + QLatin1Char('.'));
        if (propio || (id && descendientes(*filas, nombreAnterior).contains(datos.PermisoPadre)))
            return rechazo(QStringLiteral("Un permiso no puede quedar debajo de sí mismo ni de uno de los "
                                          "permisos que dependen de él."));
    }

    const QVariantList valores{datos.NombrePermiso, datos.DescripcionPermiso, datos.PermisoPadre, numero};
    bool ok = id ? bd.exec(QStringLiteral("UPDATE Permisos SET NombrePermiso = ?, DescripcionPermiso = ?, "
                                          "PermisoPadre = ? WHERE IdPermiso = ?"),
                           valores, &e)
                 : bd.exec(QStringLiteral("INSERT INTO Permisos (NombrePermiso, DescripcionPermiso, PermisoPadre, "
                                          "IdPermiso) VALUES (?, ?, ?, ?)"),
                           valores, &e);
    // The children hang on the name: they follow a rename.
    if (ok && id && nombreAnterior != datos.NombrePermiso)
        ok = bd.exec(QStringLiteral("UPDATE Permisos SET PermisoPadre = ? WHERE PermisoPadre = ? AND IdPermiso <> ?"),
                     {datos.NombrePermiso, nombreAnterior, numero}, &e);
    if (!ok || !t.commit(&e))
        return falloBD(errGuardar, e);
    ResultadoPermiso r;
    r.ok = true;
    r.id = numero;
    return r;
}

namespace {

QString revisa(db::Database& bd, qint64 id, db::Error* e, bool* fallo)
{
    *fallo = false;
    auto fila = bd.selectOne(QStringLiteral("SELECT NombrePermiso FROM Permisos WHERE IdPermiso = ?"), {id}, e);
    if (!fila) {
        *fallo = true;
        return {};
    }
    if (fila->empty())
        return QString::fromLatin1(kNodoNoEncontrado);
    if (id >= 1 && id <= kUltimoPermisoFijo)
        return QStringLiteral("Este permiso lo revisa el sistema en sus menús y comandos; no se puede borrar.");
    auto hijos = bd.scalar(QStringLiteral("SELECT COUNT(*) FROM Permisos WHERE PermisoPadre = ? AND IdPermiso <> ?"),
                           {fila->text(QStringLiteral("NombrePermiso")), id}, e);
    if (!hijos) {
        *fallo = true;
        return {};
    }
    if (hijos->toLongLong() > 0)
        return QStringLiteral("El permiso tiene permisos que dependen de él; bórrelos o cámbielos de padre primero.");
    return {};
}

}  // namespace

QString RevisaBorrado(db::Database& bd, qint64 id)
{
    db::Error e;
    bool fallo = false;
    const QString m = revisa(bd, id, &e, &fallo);
    return fallo ? QStringLiteral("No se pudo leer el catálogo de permisos: ") + e.message : m;
}

ResultadoPermiso BorraPermiso(db::Database& bd, qint64 id, const db::LockWait& espera)
{
    const QString errBorrar = QStringLiteral("No se pudo borrar el permiso: ");
    db::WriteTransaction t(bd);
    db::Error e;
    if (!t.begin(espera, &e))
        return falloBD(errBorrar, e);
    bool fallo = false;
    const QString m = revisa(bd, id, &e, &fallo);
    if (fallo)
        return falloBD(errBorrar, e);
    if (!m.isEmpty())
        return rechazo(m);
    if (!bd.exec(QStringLiteral("DELETE FROM UsuarioPermiso WHERE IdPermiso = ?"), {id}, &e) ||
        !bd.exec(QStringLiteral("DELETE FROM Permisos WHERE IdPermiso = ?"), {id}, &e) || !t.commit(&e))
        return falloBD(errBorrar, e);
    ResultadoPermiso r;
    r.ok = true;
    r.id = id;
    return r;
}

}  // namespace admin
