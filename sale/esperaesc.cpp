#include "sale/esperaesc.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace sale {

EsperaConEsc::EsperaConEsc() {
    if (auto* app = QCoreApplication::instance()) app->installEventFilter(this);
}

EsperaConEsc::~EsperaConEsc() {
    if (auto* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

db::LockWait EsperaConEsc::espera(std::function<void(const QString&)> estado) {
    cancelado_ = false;
    db::LockWait w;
    w.cancelled = [this] { return cancelado_; };
    w.status = std::move(estado);
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

}  // namespace sale
