#pragma once
// Alt and a letter in a document window of the main window press that window's own button of the
// letter ("&Regresar", "&Cerrar") before the main window's menu of the same letter ("&Reportes",
// "&Catálogos") opens: the window the person works in comes first. Only a button in sight on the
// window takes the key, and only when no other one there has the same letter; elsewhere, and
// for any other key, the menus keep their letters.

namespace shell {

class MIDI;

// Installs the rule for the document windows of `midi` while it lives.
void AtajosDelDocumento(MIDI* midi);

}  // namespace shell
