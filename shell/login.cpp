#include "shell/login.h"

#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/password.h"
#include "shell/permisos.h"

#include "platform/system/system.h"

namespace shell {

QString TextoUsuario(int clave, const QString& nombreCompleto) {
    return QStringLiteral("%1:%2").arg(clave, 2, 10, QLatin1Char('0')).arg(nombreCompleto);
}

void IniciaLogin() {
    auto& g = G();
    g.UsuarioActual.clear();
    g.ModoVenta = QStringLiteral("Pantalla Login.");
    g.NombreEquipo = NombreEquipo40(sys::computerName());
    AbreMonitor();
    DeshabilitaMenus();
}

std::optional<db::Rows> UsuariosConNombre(db::Database& bd, const QString& nombre, db::Error* error) {
    auto filas = bd.select(QStringLiteral("SELECT * FROM Personal ORDER BY ClavePersonal"), {}, error);
    if (!filas) return std::nullopt;
    const QString buscado = nombre.toUpper();
    db::Rows iguales;
    for (db::Row& f : *filas)
        if (f.text(QStringLiteral("NombreUsuario")).toUpper() == buscado) iguales.push_back(std::move(f));
    return iguales;
}

ResultadoLogin Acepta(const QString& nombre, const QString& clave) {
    auto& g = G();
    ui::Prompts& p = ui::defaultPrompts();
    g.ClaveBD = ClaveArchivos();
    db::Error e;
    db::Database* bd = BDCodigos(&e);
    std::optional<db::Rows> filas;
    if (bd)
        filas = UsuariosConNombre(*bd, nombre, &e);
    if (!filas) {
        p.message(QStringLiteral("No se encontro el servidor."), ui::Icon::None);
        return ResultadoLogin::SinServidor;
    }
    const db::Row* usuario = nullptr;
    for (const db::Row& f : *filas)
        if (VerificaClave(clave, f.text(QStringLiteral("ClaveAcceso")))) {
            usuario = &f;
            break;
        }
    if (!usuario) {
        p.message(QStringLiteral("No tiene acceso al sistema, por favor cheque su Nombre de usuario y clave."),
                  ui::Icon::Information);
        return ResultadoLogin::Rechazado;
    }
    if (usuario->isNull(QStringLiteral("ClavePersonal")) || usuario->text(QStringLiteral("NombreUsuario")).isEmpty()) {
        p.message(QStringLiteral("Los datos de este usuario están incompletos (clave o nombre de usuario); pida al "
                                 "administrador que los corrija."),
                  ui::Icon::Warning);
        return ResultadoLogin::Rechazado;
    }
    p.message(QStringLiteral("Bienvenido al sistema."), ui::Icon::Information);
    if (clave.toUpper() == nombre.toUpper())
        p.message(QStringLiteral("Por favor se le recomienda cambiar su clave de acceso a una que no sea la que se le "
                                 "dejo al darle de alta a usted.") +
                      QLatin1Char('\r') +
                      QStringLiteral("lo puede hacer en el menu 'usuarios' del sistema y despues seleccionando la "
                                     "opcion 'cambiar mi clave de acceso', ") +
                      QStringLiteral(" Gracias."),
                  ui::Icon::None);

    g.Derechos = usuario->text(QStringLiteral("Derechos"));
    g.UsuarioActual = usuario->text(QStringLiteral("NombreUsuario"));
    g.ClaveUsuario = int(usuario->integer(QStringLiteral("ClavePersonal")));
    g.NombreCompleto = usuario->text(QStringLiteral("PApellidoPat")) + QLatin1Char(' ') +
                       usuario->text(QStringLiteral("PApellidoMat")) + QLatin1Char(' ') +
                       usuario->text(QStringLiteral("PNombres"));
    PonEstado(1, TextoUsuario(g.ClaveUsuario, g.NombreCompleto));
    LimpiaPermisos();
    LeerPermisosUsr(g.ClaveUsuario, usuario->text(QStringLiteral("PermisosIguala")));
    AplicaPermisosMenu();
    if (g.SinPermisos == 3) HabilitaMenusInicio();
    return ResultadoLogin::Aceptado;
}

void CierraSesion() {
    auto& g = G();
    g.UsuarioActual.clear();
    g.ClaveUsuario = 0;
    g.Derechos.clear();
    g.NombreCompleto.clear();
    g.ClaveIguala = 0;
    g.SinPermisos = 0;
    LimpiaPermisos();
    DeshabilitaMenus();
    // The other governed items follow the (now empty) flags too.
    AplicaPermisosMenu();
    PonEstado(1, QString());
}

}  // namespace shell
