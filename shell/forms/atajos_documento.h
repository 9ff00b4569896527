#pragma once
// Alt and a letter in a document window of the main window press that window's own button of the
// letter ("&Regresar", "&Cerrar") before the main window's menu of the same letter ("&Reportes",
// "&Catálogos") opens: the window the person works in comes first. Only a button in sight on the
// window takes the key; when several there share the letter, each press moves the focus to the
// next of them. Elsewhere, and for any other key, the menus keep their letters.

namespace shell {

class MIDI;

// Installs the rule for the document windows of `midi` while it lives.
void AtajosDelDocumento(MIDI* midi);

}  // namespace shell
