// Quorvel: the counter program. No arguments; the data folder comes from Direccion.db beside it
// (or in $QUORVEL_HOME).

#include "platform/ui/terminacion.h"
#include "platform/ui/traducciones.h"
#include "shell/avisos.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#ifdef QUORVEL_CON_IMPRESION
#include "platform/ui/prompts.h"
#include "printing/cajon.h"
#include "printing/forms/menus_reportes.h"
#endif
#ifdef QUORVEL_CON_VENTA
#include "sale/forms/frmventa.h"
#endif
#ifdef QUORVEL_CON_CATALOGOS
#include "catalogs/forms/frmclientes.h"
#endif
#ifdef QUORVEL_CON_CAJA
#include "cash/forms/menus.h"
#endif
#ifdef QUORVEL_CON_ADMIN
#include "admin/forms/menus.h"
#endif
#ifdef QUORVEL_CON_SUCURSALES
#include "branches/forms/menus.h"
#endif

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    ui::CargaTraduccionesQt(&app);
    // The system's request to end ends it also while a question is open.
    ui::TerminaAPeticionDelSistema();
    shell::MIDI midi;
#ifdef QUORVEL_CON_IMPRESION
    shell::AsignaPulsoCajon([] { return AbreCajonAvisando(ui::defaultPrompts()); });
    printing::ConectaMenusReportes(&midi);
#endif
#ifdef QUORVEL_CON_VENTA
    venta::ConectaMenusVenta(&midi);
#endif
#ifdef QUORVEL_CON_CATALOGOS
    catalogos::ConectaMenusCatalogos(&midi);
#endif
#ifdef QUORVEL_CON_CAJA
    caja::ConectaMenusCaja(&midi);
#endif
#ifdef QUORVEL_CON_ADMIN
    admin::ConectaMenusAdmin(&midi);
#endif
#ifdef QUORVEL_CON_SUCURSALES
    sucursales::ConectaMenusSucursales(&midi);
#endif
    // Menu and toolbar actions, and the login the window's load shows.
    shell::ConectaMenu(&midi);
    // Without a window manager "maximised" means nothing: take the screen's work area first.
    if (QScreen* screen = QGuiApplication::primaryScreen()) midi.setGeometry(screen->availableGeometry());
    midi.showMaximized();
    if (!midi.Carga() || shell::ProgramaTerminado() || ui::TerminacionPedida()) return 0;
    return app.exec();
}
