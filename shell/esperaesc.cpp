#include "shell/esperaesc.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace shell {

EsperaConEsc::EsperaConEsc() = default;

EsperaConEsc::~EsperaConEsc() { vigila(false); }

void EsperaConEsc::vigila(bool si) {
    if (si == vigilando_) return;
    auto* app = QCoreApplication::instance();
    if (!app) return;
    if (si)
        app->installEventFilter(this);
    else
        app->removeEventFilter(this);
    vigilando_ = si;
}

db::LockWait EsperaConEsc::espera(std::function<void(const QString&)> estado) {
    cancelado_ = false;
    db::LockWait w;
    w.cancelled = [this] { return cancelado_; };
    // The layer shows the wait text when the file turns out busy and clears it when the wait ends.
    w.status = [this, estado = std::move(estado)](const QString& texto) {
        vigila(!texto.isEmpty());
        if (estado) estado(texto);
    };
    w.timeoutMs = -1;
    w.serveEvents = true;
    return w;
}

bool EsperaConEsc::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Escape) {
        // The Esc ends the wait and goes no further: it must not also close a dialog or clear a field.
        cancelado_ = true;
        return true;
    }
    return QObject::eventFilter(objeto, evento);
}

}  // namespace shell
