#include "shell/forms/atajos_documento.h"

#include "shell/forms/midi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
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
        const QList<QAbstractButton*> botones = botonesDe(static_cast<QWidget*>(o), QKeySequence(Qt::ALT | Qt::Key(k->key())));
        if (botones.isEmpty()) return false;
        e->accept();
        if (botones.size() == 1) {
            botones.front()->click();
        } else {
            // Several of the same letter: each press moves to the next of them, as the window's own
            // letters do; Space or Enter then presses it.
            const qsizetype i = botones.indexOf(qobject_cast<QAbstractButton*>(QApplication::focusWidget()));
            botones.at((i + 1) % botones.size())->setFocus(Qt::ShortcutFocusReason);
        }
        return true;
    }

private:
    // The buttons in sight of the document window the person works in (the one around `w`, or the
    // active one when the focus sits on the main window itself) whose letter is `tecla`.
    QList<QAbstractButton*> botonesDe(QWidget* w, const QKeySequence& tecla) const {
        if (!midi_) return {};
        QMdiSubWindow* sub = nullptr;
        for (QWidget* p = w; p && !sub; p = p->parentWidget())
            if (auto* s = qobject_cast<QMdiSubWindow*>(p); s && s->mdiArea() == midi_->areaMDI()) sub = s;
        if (!sub && w->window() == midi_ && !qobject_cast<QMenuBar*>(w) && !qobject_cast<QMenu*>(w))
            sub = midi_->areaMDI()->activeSubWindow();
        if (!sub || !sub->widget() || !sub->isVisible()) return {};
        QList<QAbstractButton*> botones;
        for (QAbstractButton* b : sub->widget()->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->isEnabled() && QKeySequence::mnemonic(b->text()) == tecla) botones << b;
        return botones;
    }

    QPointer<MIDI> midi_;
};

}  // namespace

void AtajosDelDocumento(MIDI* midi) {
    if (midi && qApp) qApp->installEventFilter(new FiltroAtajos(midi));
}

}  // namespace shell
