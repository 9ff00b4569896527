#include "entorno.h"

#include "apps/setup/datasetup.h"
#include "shell/arranque.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/password.h"
#include "shell/permisos.h"
#include "shell/sucursal.h"

#include <QCoreApplication>
#include <QTimer>

void Entorno::SetUp() {
    ASSERT_TRUE(tmp.isValid());
    app = tmp.filePath(QStringLiteral("app"));
    datos = tmp.filePath(QStringLiteral("datos"));
    datasetup::Options o;
    o.appFolder = app;
    o.dataFolder = datos;
    const auto r = datasetup::run(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();

    qputenv("QUORVEL_HOME", app.toUtf8());
    shell::CierraConexiones();
    shell::CierraMonitor();
    ReiniciaEstado();
    shell::ReiniciaAvisos();
    shell::OlvidaServidoresIniciados();
    ui::setDefaultPrompts(&p);
    ASSERT_TRUE(shell::LeeDireccion(app));
    ASSERT_TRUE(shell::LecturasArranque()) << p.lastMessage().toStdString();
    p.clear();
    grabaMenus();
}

void Entorno::TearDown() {
    if (shell::ProgramaTerminado()) {
        // The end of the program asked every event loop to quit, and Qt keeps refusing new loops
        // (the next modal dialog) until the application loop has run once more.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    shell::CierraMonitor();
    shell::CierraConexiones();
    shell::AsignaPulsoCajon(nullptr);
    shell::MIDI::AsignaLogin(nullptr);
    shell::OlvidaAbridores();
    shell::ReiniciaAvisos();
    ui::setDefaultPrompts(nullptr);
}

void Entorno::grabaMenus() {
    shell::avisos().menu = [this](const QString& n, bool on) { menus[n] = on; };
}

std::unique_ptr<db::Database> Entorno::central() {
    return db::Database::open(datos + QStringLiteral("/Base de datos/BDcodigos.db"), QStringLiteral("pastizal"));
}

void Entorno::agregaUsuario(int id, const QString& nombre, const QString& clave, const QList<int>& permisos,
                            const QString& permisosIguala) {
    auto c = central();
    ASSERT_TRUE(c);
    db::Error e;
    ASSERT_TRUE(c->exec(QStringLiteral("INSERT INTO Personal (ClavePersonal, PApellidoPat, PApellidoMat, PNombres, "
                                       "NombreUsuario, ClaveAcceso, PermisosIguala, Derechos) "
                                       "VALUES (?, 'PEREZ', NULL, 'ANA', ?, ?, ?, '0000000000100')"),
                        {id, nombre, shell::HashClave(clave), permisosIguala}, &e))
        << e.message.toStdString();
    for (int n : permisos)
        ASSERT_TRUE(c->exec(QStringLiteral("INSERT INTO UsuarioPermiso (IdUsuario, IdPermiso) VALUES (?, ?)"), {id, n},
                            &e))
            << e.message.toStdString();
}
