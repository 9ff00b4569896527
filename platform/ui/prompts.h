#pragma once
// What a procedure asks of the person: a message, a Yes/No(/Cancel) question, a line of text.
// Forms get a Prompts; tests give them a ScriptedPrompts that answers from a script and records
// every question, so every flow that asks can run without a window.

#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <vector>

class QWidget;

namespace ui {

enum class Icon { None, Information, Warning, Critical, Question };
enum class Answer { Ok, Yes, No, Cancel };

class Prompts {
public:
    virtual ~Prompts() = default;
    // A message with an OK button.
    virtual void message(const QString& text, Icon icon = Icon::Information,
                         const QString& title = {}) = 0;
    // Yes / No (and Cancel when withCancel); defaultNo puts the focus on No.
    virtual Answer question(const QString& text, const QString& title = {}, bool withCancel = false,
                            bool defaultNo = false) = 0;
    // An input box; Cancel gives "".
    virtual QString input(const QString& text, const QString& title = {},
                          const QString& defaultValue = {}) = 0;
};

// Qt message boxes and input dialogs, parented to a window.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void message(const QString& text, Icon icon, const QString& title) override;
    Answer question(const QString& text, const QString& title, bool withCancel,
                    bool defaultNo) override;
    QString input(const QString& text, const QString& title, const QString& defaultValue) override;

private:
    QWidget* parent_;
};

// Answers from a script and records what was asked, for tests.
class ScriptedPrompts : public Prompts {
public:
    struct Asked {
        enum Kind { Message, Question, Input } kind;
        QString text;
        QString title;
        Icon icon = Icon::None;
    };
    void pushAnswer(Answer a) { answers_.push_back(a); }
    void pushInput(const QString& s) { inputs_.push_back(s); }
    // With no scripted answer left: questions answer No (Cancel when offered), inputs "".
    void message(const QString& text, Icon icon, const QString& title) override;
    Answer question(const QString& text, const QString& title, bool withCancel,
                    bool defaultNo) override;
    QString input(const QString& text, const QString& title, const QString& defaultValue) override;

    const std::vector<Asked>& asked() const { return asked_; }
    QStringList messages() const;  // texts of the messages shown, in order
    QString lastMessage() const;
    void clear() { asked_.clear(); answers_.clear(); inputs_.clear(); }

private:
    std::deque<Answer> answers_;
    std::deque<QString> inputs_;
    std::vector<Asked> asked_;
};

// The prompts the program uses when a caller gives none: QtPrompts in the programs; a test may
// install a ScriptedPrompts.
Prompts& defaultPrompts();
void setDefaultPrompts(Prompts* prompts);  // nullptr restores the Qt one

}  // namespace ui
