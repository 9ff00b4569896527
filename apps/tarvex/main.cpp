// Tarvex: prints the paper invoices the terminals of one branch queue, in number order.

#include "folio_server/configuracion.h"
#include "folio_server/forms/frmmonitor.h"
#include "platform/ui/al_frente.h"
#include "platform/ui/terminacion.h"
#include "platform/ui/traducciones.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Tarvex"));
    ui::CargaTraduccionesQt(&app);
    // The machine's shutdown ends it also while its retry question waits for the operator.
    ui::TerminaAPeticionDelSistema();
    ui::QtPrompts prompts;
    tarvex::frmMonitor frm(tarvex::RutaDireccion(tarvex::CarpetaPrograma()), prompts);
    prompts.setParent(&frm);
    // Its questions (a failed print: retry?) come in front of the counter's window.
    ui::PreguntasAlFrente(true);
    // Invoices as PDF files in a folder instead of the printer (checks without a printer).
    frm.setCarpetaPdf(qEnvironmentVariable("TARVEX_PDF"));

    // Another server already serves this data folder and branch: leave it alone, quietly.
    if (frm.monitor().IniciaMonitor() == tarvex::Arranque::YaAtendida) return 0;
    if (ui::TerminacionPedida()) return 0;
    frm.monitor().ArrancaTimer();
    if (qEnvironmentVariableIntValue("TARVEX_MINIMIZADO") == 1)
        frm.showMinimized();
    else
        frm.show();
    // A request to end that came while the window was being shown.
    if (ui::TerminacionPedida()) return 0;
    return app.exec();
}
