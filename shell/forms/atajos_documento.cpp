#include "shell/forms/atajos_documento.h"

#include "shell/forms/midi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace shell {

namespace {

class FiltroAtajos : public QObject {
public:
    explicit FiltroAtajos(MIDI* midi) : QObject(midi), midi_(midi) {}

    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::ShortcutOverride || !o->isWidgetType()) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->modifiers() != Qt::AltModifier || k->key() < Qt::Key_0 || k->key() > Qt::Key_Z) return false;
        QAbstractButton* boton = botonDe(static_cast<QWidget*>(o), QKeySequence(Qt::ALT | Qt::Key(k->key())));
        if (!boton) return false;
        e->accept();
        boton->click();
        return true;
    }

private:
    // The one button in sight of the document window around `w` whose letter is `tecla`.
    QAbstractButton* botonDe(QWidget* w, const QKeySequence& tecla) const {
        if (!midi_) return nullptr;
        QMdiSubWindow* sub = nullptr;
        for (QWidget* p = w; p && !sub; p = p->parentWidget())
            if (auto* s = qobject_cast<QMdiSubWindow*>(p); s && s->mdiArea() == midi_->areaMDI()) sub = s;
        if (!sub || !sub->widget()) return nullptr;
        QAbstractButton* hallado = nullptr;
        for (QAbstractButton* b : sub->widget()->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || !b->isEnabled() || QKeySequence::mnemonic(b->text()) != tecla) continue;
            if (hallado) return nullptr;  // two of the same letter: the window's own rule decides
            hallado = b;
        }
        return hallado;
    }

    QPointer<MIDI> midi_;
};

}  // namespace

void AtajosDelDocumento(MIDI* midi) {
    if (midi && qApp) qApp->installEventFilter(new FiltroAtajos(midi));
}

}  // namespace shell
