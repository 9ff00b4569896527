#include "shell/avisos.h"

#include <array>

namespace shell {

namespace {
std::array<QString, 4> g_estado;
bool g_terminado = false;
}  // namespace

Avisos& avisos() {
    static Avisos a;
    return a;
}

void PonEstado(int panel, const QString& texto) {
    if (panel >= 1 && panel <= 3) g_estado[panel] = texto;
    if (avisos().estado) avisos().estado(panel, texto);
}

QString UltimoEstado(int panel) { return panel >= 1 && panel <= 3 ? g_estado[panel] : QString(); }

void HabilitaMenu(const QString& nombre, bool habilitado) {
    if (avisos().menu) avisos().menu(nombre, habilitado);
}

void TerminaPrograma() {
    g_terminado = true;
    if (avisos().termina) avisos().termina();
}

bool ProgramaTerminado() { return g_terminado; }

void ReiniciaAvisos() {
    avisos() = Avisos{};
    g_estado = {};
    g_terminado = false;
}

}  // namespace shell
