#pragma once
// The system's request to end a program (SIGTERM; SIGHUP and SIGINT alike): the program ends at
// once, also while a question or any other dialog is open. Every event loop ends, the open
// dialogs among them, so the program's main() returns and its own ending runs (the print
// server's lock is let go). What the open question would have done is not done: it answers as if
// nobody answered (Cancel, No where there is no Cancel), and what is asked after that is not shown.
// A program that inherited the request as ignored ends on it as well.

namespace ui {

// Installs the handlers; call it once the QApplication exists.
void TerminaAPeticionDelSistema();
// True once the request came: questions answer Cancel/No without showing.
bool TerminacionPedida();

}  // namespace ui
