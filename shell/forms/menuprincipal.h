#pragma once
// Wires the main window's menu and toolbar: every item runs its check (shell/menu) and then its
// action; the login dialog at start-up and at log-out. An item whose form is not in the program yet
// has no action and stays disabled; whoever builds the form gives its opener with AsignaAbridor (or
// sets the window's action directly).

#include <QString>

#include <functional>

namespace shell {

class MIDI;

// The opener of an item's form (shown modeless or modal as the item requires). The item's check
// runs before it. May be given before or after ConectaMenu.
void AsignaAbridor(const QString& item, std::function<void()> abre);

// Forgets every opener given (tests, and a main window that goes away).
void OlvidaAbridores();

// Installs the handlers of the items the shell serves, the login (start-up and log-out) and the
// rule that an item without an action is never enabled.
void ConectaMenu(MIDI* midi);

// Switches off every item that has no action (menus themselves excepted).
void QuitaNoConstruidos(MIDI* midi);

// The items other forms call, with the same checks as their clicks: the customer catalogue (the
// sale screen picks a customer with it), the sale screen in invoice mode, the exit question and
// the branch catalogue. They act on the main window given to ConectaMenu; without one, nothing.
void Clientes_Click();
// The customer catalogue opened by the sale screen to pick the sale's customer or guarantor. It asks
// for no grant of its own: whoever may use the sale screen may choose its customer (editing the
// catalogue keeps its own grants). False when no catalogue is given to the main window.
bool EligeCliente();
void Facturar_Click();
void Salir_Click();
void Sucursales_Click();

// The end of a session: every document window of the main window closes, each through its own
// close checks (typing not saved, a sale's pending lines), then the user and his permissions are
// forgotten and the governed items switched off. False, with the session going on, when a window
// stays open because the person chose to keep it.
bool TerminaSesion(MIDI* midi);
// Log-out: TerminaSesion, then the login again; closing it without a login ends the program.
void TSesion(MIDI* midi);

}  // namespace shell
