#pragma once
// Esc anywhere in the program gives up a wait for the branch file. While an EsperaConEsc lives it
// watches every key press of the application; the db::LockWait it hands out asks it between tries.
//
//   EsperaConEsc esc;
//   auto r = sale::GuardaDocumento(bd, guardar, esc.espera(mostrarEnBarra));
//
// The object must outlive every wait that uses its espera().

#include "platform/db/database.h"

#include <QObject>

#include <functional>

namespace sale {

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
    bool cancelado_ = false;
};

}  // namespace sale
