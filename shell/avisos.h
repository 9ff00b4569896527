#pragma once
// Where the headless routines tell the windows what to show: the status bar panels, the start form's
// caption and company name, the enabled state of a menu item, and how the program ends. The main
// window installs its handlers; with none installed (tests, tools) the calls only record the text.

#include <QString>

#include <functional>

namespace shell {

struct Avisos {
    std::function<void(int panel, const QString& texto)> estado;           // panels 1-3
    std::function<void(const QString& texto)> tooltipDatos;                // tooltip of panel 3
    std::function<void(const QString& nombre, bool habilitado)> menu;     // QAction by objectName
    std::function<void(const QString& titulo)> tituloPrincipal;           // start form caption
    std::function<void(const QString& nombre)> nombreEmpresa;             // start form's company label
    std::function<void()> termina;                                         // ends the program
};

Avisos& avisos();

// Status panel text; the last text of each panel is kept (UltimoEstado) for whoever asks later.
void PonEstado(int panel, const QString& texto);
QString UltimoEstado(int panel);
void HabilitaMenu(const QString& nombre, bool habilitado);
// Ends the program through the installed handler (the main window quits the event loop). Callers
// return right after it.
void TerminaPrograma();
bool ProgramaTerminado();  // true once TerminaPrograma ran (until ReiniciaAvisos)
// Back to no handlers and no recorded texts.
void ReiniciaAvisos();

}  // namespace shell
