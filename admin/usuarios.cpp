#include "shell/texto.h"
#include "admin/usuarios.h"

#include "shell/login.h"
#include "shell/password.h"
#include "shell/rutinas_bd.h"

#include <algorithm>

namespace admin {

namespace {

ResultadoUsuario rechazo(const QString& m)
{
    ResultadoUsuario r;
    r.mensaje = m;
    return r;
}

QString sinBlancosFinales(const QString& s)
{
    int n = int(s.size());
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n);
}

}  // namespace

QString RellenaDerechos(const QString& derechos)
{
    return derechos.size() >= kLargoDerechos ? derechos : derechos.leftJustified(kLargoDerechos, QLatin1Char(' '));
}

QString DerechosNuevo()
{
    QString d(kLargoDerechos, QLatin1Char(' '));
    d[40] = d[41] = QLatin1Char('1');
    return d;
}

QString AsignaDerecho(const QString& derechos, int p)
{
    QString d = RellenaDerechos(derechos);
    if (p >= 1 && p <= kLargoDerechos)
        d[p - 1] = QLatin1Char('1');
    return d;
}

QString QuitaDerecho(const QString& derechos, int p)
{
    QString d = RellenaDerechos(derechos);
    if (p >= 1 && p <= kLargoDerechos)
        d[p - 1] = QLatin1Char(' ');
    return d;
}

QString DerechosParaGuardar(const QString& derechos)
{
    // Right 49 is never stored as granted: the program has always written a blank there.
    QString d = RellenaDerechos(derechos).left(kLargoDerechos);
    d[48] = QLatin1Char(' ');
    return d;
}

QStringList ItemsDerechos(const QString& derechos, const std::map<int, QString>& catalogo)
{
    const QString d = RellenaDerechos(derechos);
    QStringList items;
    for (int p = 1; p <= kLargoDerechos; ++p) {
        if (d.at(p - 1) == QLatin1Char(' '))
            continue;
        auto it = catalogo.find(p);
        if (it != catalogo.end())
            items << QStringLiteral("%1 %2").arg(p, 2, 10, QLatin1Char('0')).arg(it->second);
    }
    return items;
}

int PosicionDeItem(const QString& item)
{
    bool ok = false;
    const int p = item.left(2).toInt(&ok);
    return ok ? p : 0;
}

std::optional<std::map<int, QString>> LeeCatalogoDerechos(db::Database& bd, db::Error* error)
{
    auto filas = bd.select(QStringLiteral("SELECT PosDerecho, Descripcion FROM CatalogoDerechos ORDER BY PosDerecho"),
                           {}, error);
    if (!filas)
        return std::nullopt;
    std::map<int, QString> m;
    for (const db::Row& f : *filas)
        m[int(f.integer(QStringLiteral("PosDerecho")))] = f.text(QStringLiteral("Descripcion"));
    return m;
}

std::optional<std::vector<Usuario>> LeeUsuarios(db::Database& bd, db::Error* error)
{
    auto filas = bd.select(QStringLiteral("SELECT ClavePersonal, PApellidoPat, PApellidoMat, PNombres, Domicilio, "
                                          "NombreUsuario, PermisosIguala, Derechos, Niveles FROM Personal "
                                          "ORDER BY ClavePersonal"),
                           {}, error);
    if (!filas)
        return std::nullopt;
    std::vector<Usuario> v;
    for (const db::Row& f : *filas) {
        Usuario u;
        u.ClavePersonal = f.integer(QStringLiteral("ClavePersonal"));
        u.PApellidoPat = f.text(QStringLiteral("PApellidoPat"));
        u.PApellidoMat = f.text(QStringLiteral("PApellidoMat"));
        u.PNombres = f.text(QStringLiteral("PNombres"));
        u.Domicilio = f.text(QStringLiteral("Domicilio"));
        u.NombreUsuario = f.text(QStringLiteral("NombreUsuario"));
        u.PermisosIguala = f.text(QStringLiteral("PermisosIguala"));
        u.Derechos = f.text(QStringLiteral("Derechos"));
        u.Niveles = f.text(QStringLiteral("Niveles"));
        v.push_back(u);
    }
    return v;
}

std::optional<std::vector<qint64>> LeeGrants(db::Database& bd, qint64 usuario, db::Error* error)
{
    auto filas = bd.select(QStringLiteral("SELECT IdPermiso FROM consUsuarioPermiso WHERE IdUsuario = ? "
                                          "ORDER BY IdPermiso ASC"),
                           {usuario}, error);
    if (!filas)
        return std::nullopt;
    std::vector<qint64> v;
    for (const db::Row& f : *filas)
        v.push_back(f.integer(QStringLiteral("IdPermiso")));
    return v;
}

QString CampoFaltante(const DatosUsuario& d, bool nuevo)
{
    const std::pair<const QString*, const char*> campos[] = {
        {&d.PApellidoPat, "Apellido Paterno"}, {&d.PApellidoMat, "Apellido Materno"}, {&d.PNombres, "Nombre(s)"},
        {&d.Domicilio, "Domicilio"},           {&d.NombreUsuario, "Nombre de Usuario"}};
    for (const auto& [texto, titulo] : campos)
        if (texto->trimmed().isEmpty())
            return QString::fromUtf8(titulo);
    return nuevo && d.Clave.isEmpty() ? QStringLiteral("Clave de acceso") : QString();
}

bool ChecaCampos(const DatosUsuario& d, bool nuevo) { return CampoFaltante(d, nuevo).isEmpty(); }

ResultadoUsuario GuardaUsuario(db::Database& bd, std::optional<qint64> id, const DatosUsuario& d,
                               qint64 usuarioActual, const db::LockWait& espera)
{
    if (id && *id == kAdministrador && usuarioActual != kAdministrador)
        return rechazo(QStringLiteral("Solo el administrador puede cambiar sus propios datos."));
    if (const QString falta = CampoFaltante(d, !id); !falta.isEmpty())
        return rechazo(QString::fromLatin1(kCamposIncorrectos) + u' ' + shell::MensajeRequerido(falta));
    QString hash;
    if (!d.Clave.isEmpty()) {
        hash = shell::HashClave(d.Clave);
        if (hash.isEmpty())
            return rechazo(QStringLiteral("No se pudo cifrar la clave de acceso; no se grabó el usuario."));
    }

    const QString errGuardar = QStringLiteral("No se pudo guardar el usuario: ");
    db::WriteTransaction t(bd);
    db::Error e;
    auto falla = [&] { return rechazo(errGuardar + e.message); };
    if (!t.begin(espera, &e))
        return falla();
    // Names compare as the login compares them (capitals, accented letters and Ñ included), so no
    // two users answer to one typed name.
    const auto otrosConNombre = [&](const QString& nombre) -> std::optional<qint64> {
        auto filas = shell::UsuariosConNombre(bd, nombre, &e);
        if (!filas)
            return std::nullopt;
        return qint64(std::count_if(filas->begin(), filas->end(), [&](const db::Row& f) {
            return f.integer(QStringLiteral("ClavePersonal")) != id.value_or(-1);
        }));
    };
    auto repetido = otrosConNombre(d.NombreUsuario);
    if (!repetido)
        return falla();
    if (*repetido > 0)
        return rechazo(QString::fromLatin1(kUsuarioRepetido));
    if (!d.PermisosIguala.isEmpty()) {
        if (d.PermisosIguala.toUpper() == d.NombreUsuario.toUpper())
            return rechazo(QStringLiteral("Un usuario no puede recibir los permisos de sí mismo (+Permisos Usuario)."));
        auto otro = otrosConNombre(d.PermisosIguala);
        if (!otro)
            return falla();
        if (*otro == 0)
            return rechazo(QStringLiteral("No existe el usuario ") + d.PermisosIguala +
                           QStringLiteral(" que se indicó en +Permisos Usuario."));
    }

    if (id && *id == kAdministrador) {
        const auto tiene = [&](qint64 p) { return std::find(d.Permisos.begin(), d.Permisos.end(), p) != d.Permisos.end(); };
        if (!tiene(1) || !tiene(9))
            return rechazo(QStringLiteral("El administrador conserva siempre los permisos Catalogos (1) y Usuarios (9); "
                                          "no se le pueden quitar."));
    }
    qint64 clave = 0;
    bool ok = true;
    const QString derechos = DerechosParaGuardar(d.Derechos);
    if (!id) {
        auto siguiente = shell::ObtenerSiguienteId(bd, QStringLiteral("ClavePersonal"), QStringLiteral("Personal"), {}, &e);
        if (!siguiente)
            return falla();
        clave = *siguiente;
        ok = bd.exec(QStringLiteral("INSERT INTO Personal (ClavePersonal, Niveles, PApellidoPat, PApellidoMat, PNombres, "
                                    "Domicilio, NombreUsuario, ClaveAcceso, PermisosIguala, Derechos) "
                                    "VALUES (?, '1', ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {clave, d.PApellidoPat, d.PApellidoMat, d.PNombres, d.Domicilio, d.NombreUsuario, hash,
                      d.PermisosIguala, derechos},
                     &e);
    } else {
        clave = *id;
        int filas = 0;
        // No password typed: the stored hash stays.
        ok = bd.exec(QStringLiteral("UPDATE Personal SET Niveles = '1', PApellidoPat = ?, PApellidoMat = ?, PNombres = ?, "
                                    "Domicilio = ?, NombreUsuario = ?, PermisosIguala = ?, Derechos = ?, "
                                    "ClaveAcceso = COALESCE(?, ClaveAcceso) WHERE ClavePersonal = ?"),
                     {d.PApellidoPat, d.PApellidoMat, d.PNombres, d.Domicilio, d.NombreUsuario, d.PermisosIguala,
                      derechos, hash.isEmpty() ? QVariant() : QVariant(hash), clave},
                     &e, &filas);
        if (ok && filas == 0)
            return rechazo(QStringLiteral("El usuario ya no existe (se borró en otra terminal); no se grabó."));
    }
    ok = ok && bd.exec(QStringLiteral("DELETE FROM UsuarioPermiso WHERE IdUsuario = ?"), {clave}, &e);
    for (qint64 p : d.Permisos) {
        if (!ok)
            break;
        // A permission deleted since the screen read the tree is not granted.
        ok = bd.exec(QStringLiteral("INSERT OR IGNORE INTO UsuarioPermiso (IdUsuario, IdPermiso) "
                                    "SELECT ?, IdPermiso FROM Permisos WHERE IdPermiso = ?"),
                     {clave, p}, &e);
    }
    if (!ok || !t.commit(&e))
        return falla();
    ResultadoUsuario r;
    r.ok = true;
    r.id = clave;
    return r;
}

QString RevisaBorradoUsuario(qint64 id, qint64 usuarioActual)
{
    if (id == kAdministrador)
        return QStringLiteral("El administrador (usuario 1) no se puede borrar.");
    if (id == usuarioActual)
        return QStringLiteral("No puede borrar al usuario con el que entró al sistema.");
    return {};
}

ResultadoUsuario BorraUsuario(db::Database& bd, qint64 id, qint64 usuarioActual, const db::LockWait& espera)
{
    const QString motivo = RevisaBorradoUsuario(id, usuarioActual);
    if (!motivo.isEmpty())
        return rechazo(motivo);
    db::WriteTransaction t(bd);
    db::Error e;
    int filas = 0;
    if (!t.begin(espera, &e) || !bd.exec(QStringLiteral("DELETE FROM UsuarioPermiso WHERE IdUsuario = ?"), {id}, &e) ||
        !bd.exec(QStringLiteral("DELETE FROM Personal WHERE ClavePersonal = ?"), {id}, &e, &filas))
        return rechazo(QStringLiteral("No se pudo borrar el usuario: ") + e.message);
    if (filas == 0)
        return rechazo(QStringLiteral("El usuario ya no existe (se borró en otra terminal)."));
    if (!t.commit(&e))
        return rechazo(QStringLiteral("No se pudo borrar el usuario: ") + e.message);
    ResultadoUsuario r;
    r.ok = true;
    r.id = id;
    return r;
}

namespace {

std::optional<qint64> busca(db::Database& bd, const QString& expresion, const QString& texto)
{
    auto v = bd.scalar(QStringLiteral("SELECT ClavePersonal FROM Personal WHERE LETRAS(%1) LIKE LETRAS(?) "
                                      "ESCAPE '\\' ORDER BY ClavePersonal LIMIT 1")
                           .arg(expresion),
                       {db::escapeLike(sinBlancosFinales(texto)) + QLatin1Char('%')});
    if (!v || v->isNull())
        return std::nullopt;
    return v->toLongLong();
}

}  // namespace

std::optional<qint64> BuscaPorNombreUsuario(db::Database& bd, const QString& texto)
{
    return busca(bd, QStringLiteral("NombreUsuario"), texto);
}

std::optional<qint64> BuscaPorNombreCompleto(db::Database& bd, const QString& texto)
{
    return busca(bd,
                 QStringLiteral("(COALESCE(PApellidoPat, '') || ' ' || COALESCE(PApellidoMat, '') || ' ' || "
                                "COALESCE(PNombres, ''))"),
                 texto);
}

CambioClave CambiaClave(db::Database& bd, qint64 usuario, const QString& actual, const QString& nueva,
                        const QString& confirma, QString* error)
{
    db::Error e;
    auto fila = bd.selectOne(QStringLiteral("SELECT ClaveAcceso FROM Personal WHERE ClavePersonal = ?"), {usuario}, &e);
    if (!fila) {
        if (error)
            *error = e.message;
        return CambioClave::Fallo;
    }
    if (fila->empty() || !shell::VerificaClave(actual, fila->text(QStringLiteral("ClaveAcceso"))))
        return CambioClave::NoPermitido;
    if (nueva.isEmpty() || nueva != confirma)
        return CambioClave::NoCoincide;
    const QString hash = shell::HashClave(nueva);
    int filas = 0;
    if (hash.isEmpty() ||
        !bd.exec(QStringLiteral("UPDATE Personal SET ClaveAcceso = ? WHERE ClavePersonal = ?"), {hash, usuario}, &e,
                 &filas)) {
        if (error)
            *error = hash.isEmpty() ? QStringLiteral("No se pudo cifrar la clave.") : e.message;
        return CambioClave::Fallo;
    }
    return filas == 1 ? CambioClave::Cambiado : CambioClave::NoPermitido;
}

}  // namespace admin
