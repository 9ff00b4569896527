#pragma once
// What the main menu's items check before they act, the toolbar's dispatch by tooltip, the cash
// drawer item and the branch-file test. Headless: the wiring into the main window is in
// forms/menuprincipal.

#include <QString>
#include <QStringList>

#include <functional>

namespace ui {
class Prompts;
}

namespace shell {

// Every item of the menu bar that acts (the menus themselves excluded), in menu order.
const QStringList& OpcionesMenu();

// The item a toolbar button stands for, by its tooltip; "" for a button with no action of its own.
QString OpcionDeToolbar(const QString& tooltip);

// The current branch's file exists (and the branch has a folder name).
bool ExisteBDSucursal();

// The check a click on the item makes before it acts: permissions (with or without the "no access"
// message), the branch's folder name or file. True when the action may go on. Items without a check
// always pass.
bool RevisaOpcion(const QString& item);

// What an action that writes asks at the moment it acts, whatever grants held when its window
// opened (a window may outlive the session that opened it): the grant of the item the window
// belongs to (PermisoDeOpcion; the first run passes for Usuarios and Sucursales, as their clicks
// do). Refused with the "no access" message through `p`.
bool PuedeEscribir(const QString& item, ui::Prompts& p);
// The same for a window governed by the grant `permiso` itself (a negative id: none).
bool PuedeEscribir(int permiso, ui::Prompts& p);

// One cash-drawer pulse outside a ticket job; the printing side installs it. Returns false when the
// pulse failed (it has told the person why).
void AsignaPulsoCajon(std::function<bool()> pulso);
bool HayPulsoCajon();
// The drawer item: NTimesCajon separate pulses; stops at the first that fails. The number sent.
int CajonDinero();

}  // namespace shell
