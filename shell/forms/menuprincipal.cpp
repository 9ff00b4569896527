#include "shell/forms/menuprincipal.h"

#include "shell/avisos.h"
#include "shell/forms/formas.h"
#include "shell/forms/frmlogin.h"
#include "shell/forms/frmprincipal.h"
#include "shell/forms/midi.h"
#include "shell/login.h"
#include "shell/menu.h"
#include "platform/ui/sesion.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QHash>
#include <QPointer>

namespace shell {

namespace {

QHash<QString, std::function<void()>>& abridores() {
    static QHash<QString, std::function<void()>> h;
    return h;
}

QPointer<MIDI>& ventana() {
    static QPointer<MIDI> m;
    return m;
}

void registra(MIDI* midi, const QString& item, std::function<void()> abre) {
    midi->AsignaAccion(item, [item, abre = std::move(abre)] {
        if (RevisaOpcion(item)) abre();
    });
}

bool disponible(MIDI* midi, const QString& nombre) {
    return !OpcionesMenu().contains(nombre) || midi->TieneAccion(nombre);
}

}  // namespace

void AsignaAbridor(const QString& item, std::function<void()> abre) {
    abridores().insert(item, abre);
    if (ventana()) registra(ventana(), item, std::move(abre));
}

void Clientes_Click() {
    if (ventana()) ventana()->Ejecuta(QStringLiteral("Clientes"));
}
bool EligeCliente() {
    const auto abre = abridores().value(QStringLiteral("Clientes"));
    if (!ventana() || !abre) return false;
    abre();
    return true;
}
void Facturar_Click() {
    if (ventana()) ventana()->Ejecuta(QStringLiteral("Facturar"));
}
void Salir_Click() {
    if (ventana()) ventana()->Salir_Click();
}
void Sucursales_Click() {
    if (ventana()) ventana()->Ejecuta(QStringLiteral("Sucursales"));
}

void OlvidaAbridores() { abridores().clear(); }

void QuitaNoConstruidos(MIDI* midi) {
    for (const QString& n : OpcionesMenu())
        if (!midi->TieneAccion(n))
            if (QAction* a = midi->accion(n)) a->setEnabled(false);
}

namespace {

// The dialog; after a login the start form takes the focus (its key sequence listens there).
void muestraLogin(MIDI* midi) {
    if (frmLogin::Muestra(midi, [midi] { midi->Salir_Click(); }) && midi->principal())
        midi->principal()->setFocus();
}

}  // namespace

bool TerminaSesion(MIDI* midi) {
    // The windows the program keeps (the loaded forms) and any other of the area (a report).
    if (!CierraDocumentos()) return false;
    if (midi)
        for (QMdiSubWindow* s : midi->areaMDI()->subWindowList()) {
            if (s->widget() == midi->principal()) continue;
            QPointer<QMdiSubWindow> p(s);
            if (!s->close()) return false;
            if (p) delete p.data();
        }
    // Every other window of the session, wherever it opened: report windows and previews, a
    // message box or the print dialog left open.
    if (!ui::CierraVentanasDeSesion(midi ? midi : ui::VentanaDeSesion())) return false;
    CierraSesion();
    return true;
}

void TSesion(MIDI* midi) {
    if (TerminaSesion(midi)) muestraLogin(midi);
}

void ConectaMenu(MIDI* midi) {
    ventana() = midi;
    ui::EstableceVentanaDeSesion(midi);
    for (auto it = abridores().cbegin(); it != abridores().cend(); ++it) registra(midi, it.key(), it.value());

    midi->AsignaAccion(QStringLiteral("Salir"), [midi] { midi->Salir_Click(); });
    midi->AsignaAccion(QStringLiteral("TSesion"), [midi] { TSesion(midi); });
    if (HayPulsoCajon()) midi->AsignaAccion(QStringLiteral("CajonDinero"), [] { CajonDinero(); });
    // Items with no action of their own.
    for (const char* n : {"Ptraspasos", "mPcmovil", "tomipc", "frommi"})
        midi->AsignaAccion(QString::fromLatin1(n), [] {});

    // An item without an action is never switched on, whatever the permissions say.
    auto previo = avisos().menu;
    avisos().menu = [midi, previo](const QString& nombre, bool on) {
        if (previo) previo(nombre, on && disponible(midi, nombre));
    };
    MIDI::AsignaLogin([midi] {
        QuitaNoConstruidos(midi);
        muestraLogin(midi);
    });
}

}  // namespace shell
