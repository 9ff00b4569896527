#include "platform/ui/prompts.h"
#include "platform/ui/al_frente.h"
#include "platform/ui/terminacion.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {
QString titleOr(const QString& title) {
    if (!title.isEmpty()) return title;
    const QString app = QApplication::applicationName();
    return app.isEmpty() ? QStringLiteral("Quorvel") : app;
}

bool& alFrente() {
    static bool si = false;
    return si;
}

// A box whose window is minimised would stay hidden with it.
QWidget* padre(QWidget* parent) { return alFrente() && parent && parent->window()->isMinimized() ? nullptr : parent; }

int ejecuta(QDialog& box) {
    if (alFrente()) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.show();
        box.raise();
        box.activateWindow();
    }
    return box.exec();
}

}  // namespace

void PreguntasAlFrente(bool si) { alFrente() = si; }

void QtPrompts::message(const QString& text, Icon icon, const QString& title) {
    if (TerminacionPedida()) return;
    QMessageBox box(padre(parent_));
    box.setWindowTitle(titleOr(title));
    box.setText(text);
    switch (icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    ejecuta(box);
}

Answer QtPrompts::question(const QString& text, const QString& title, bool withCancel, bool defaultNo) {
    if (TerminacionPedida()) return withCancel ? Answer::Cancel : Answer::No;
    QMessageBox box(padre(parent_));
    box.setWindowTitle(titleOr(title));
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    box.setStandardButtons(buttons);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sí"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    if (withCancel) box.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancelar"));
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    if (withCancel) box.setEscapeButton(QMessageBox::Cancel);
    const int r = ejecuta(box);
    // The program is ending: the box closed without an answer.
    if (TerminacionPedida()) return withCancel ? Answer::Cancel : Answer::No;
    switch (r) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return withCancel ? Answer::Cancel : Answer::No;
    }
}

QString QtPrompts::input(const QString& text, const QString& title, const QString& defaultValue) {
    if (TerminacionPedida()) return {};
    QInputDialog dlg(padre(parent_));
    dlg.setWindowTitle(titleOr(title));
    dlg.setLabelText(text);
    dlg.setTextValue(defaultValue);
    dlg.setOkButtonText(QStringLiteral("Aceptar"));
    dlg.setCancelButtonText(QStringLiteral("Cancelar"));
    if (ejecuta(dlg) != QDialog::Accepted || TerminacionPedida()) return {};
    return dlg.textValue();
}

void ScriptedPrompts::message(const QString& text, Icon icon, const QString& title) {
    asked_.push_back({Asked::Message, text, title, icon});
}

Answer ScriptedPrompts::question(const QString& text, const QString& title, bool withCancel, bool) {
    asked_.push_back({Asked::Question, text, title, Icon::Question});
    if (answers_.empty()) return withCancel ? Answer::Cancel : Answer::No;
    Answer a = answers_.front();
    answers_.pop_front();
    if (a == Answer::Cancel && !withCancel) a = Answer::No;
    return a;
}

QString ScriptedPrompts::input(const QString& text, const QString& title, const QString&) {
    asked_.push_back({Asked::Input, text, title, Icon::None});
    if (inputs_.empty()) return {};
    QString s = inputs_.front();
    inputs_.pop_front();
    return s;
}

QStringList ScriptedPrompts::messages() const {
    QStringList out;
    for (const Asked& a : asked_)
        if (a.kind == Asked::Message) out << a.text;
    return out;
}

QString ScriptedPrompts::lastMessage() const {
    const QStringList m = messages();
    return m.isEmpty() ? QString() : m.last();
}

namespace {
Prompts* g_override = nullptr;
}

Prompts& defaultPrompts() {
    static QtPrompts qt;
    if (g_override) return *g_override;
    qt.setParent(QApplication::activeWindow());
    return qt;
}

void setDefaultPrompts(Prompts* prompts) { g_override = prompts; }

}  // namespace ui
