#pragma once
// Esc anywhere in the program gives up a wait for the branch file. While a wait handed out by
// espera() is running (the file is busy), the object watches every key press of the application;
// an Esc ends the wait and goes no further. Outside a wait every key reaches the screen as usual.
//
//   EsperaConEsc esc_;   // e.g. a member of the form
//   auto r = sale::GuardaDocumento(bd, guardar, esc_.espera(mostrarEnBarra));
//
// Every form that writes (the sale screen, the catalogues) waits through one of these, so a busy
// file shows itself, lets the window repaint and can be left with Esc.
//
// The object must outlive every wait that uses its espera().

#include "platform/db/database.h"

#include <QObject>

#include <functional>

namespace shell {

class EsperaConEsc : public QObject {
public:
    EsperaConEsc();
    ~EsperaConEsc() override;

    bool cancelado() const { return cancelado_; }
    void reinicia() { cancelado_ = false; }

    // A wait with no time limit that ends when Esc is pressed; `estado` shows the wait text (and ""
    // when it ends), e.g. in the main window's status bar.
    db::LockWait espera(std::function<void(const QString&)> estado = {});

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void vigila(bool si);

    bool cancelado_ = false;
    bool vigilando_ = false;
};

}  // namespace shell
