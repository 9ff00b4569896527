#pragma once
// Choosing a file or a folder: an existing file to read, a file name to write, or a folder. Forms
// get a FileChooser; tests give them a ScriptedFileChooser that answers from a script and records
// every request, so the flows that ask for a path run without a window.
//
// Every call returns the chosen path, or "" when the person cancels (the caller then keeps what it
// had). The save dialog does not ask before replacing a file: the callers ask in their own words.

#include <QString>

#include <deque>
#include <vector>

class QWidget;

namespace ui {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // `start` is the folder or file the dialog opens at; `filter` a Qt name filter such as
    // "Bases de datos (*.db)" ("" = every file).
    virtual QString openFile(const QString& title, const QString& start, const QString& filter = {}) = 0;
    virtual QString saveFile(const QString& title, const QString& start, const QString& filter = {}) = 0;
    virtual QString folder(const QString& title, const QString& start) = 0;
};

// Qt's file dialogs, parented to a window.
class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QString openFile(const QString& title, const QString& start, const QString& filter) override;
    QString saveFile(const QString& title, const QString& start, const QString& filter) override;
    QString folder(const QString& title, const QString& start) override;

private:
    QWidget* parent_;
};

// Answers from a script and records what was asked, for tests. With no answer left: "" (cancel).
class ScriptedFileChooser : public FileChooser {
public:
    enum Kind { Open, Save, Folder };
    struct Asked {
        Kind kind;
        QString title;
        QString start;
        QString filter;
    };
    void push(const QString& path) { answers_.push_back(path); }
    QString openFile(const QString& title, const QString& start, const QString& filter) override;
    QString saveFile(const QString& title, const QString& start, const QString& filter) override;
    QString folder(const QString& title, const QString& start) override;

    const std::vector<Asked>& asked() const { return asked_; }
    void clear() { answers_.clear(); asked_.clear(); }

private:
    QString answer(Kind kind, const QString& title, const QString& start, const QString& filter);
    std::deque<QString> answers_;
    std::vector<Asked> asked_;
};

// The chooser the program uses when a caller gives none: the Qt one; a test may install a scripted
// one (nullptr restores the Qt one).
FileChooser& defaultFileChooser();
void setDefaultFileChooser(FileChooser* chooser);

}  // namespace ui
