#include "platform/ui/filechooser.h"

#include <QApplication>
#include <QFileDialog>

namespace ui {

QString QtFileChooser::openFile(const QString& title, const QString& start, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, start, filter);
}

QString QtFileChooser::saveFile(const QString& title, const QString& start, const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, start, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtFileChooser::folder(const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent_, title, start);
}

QString ScriptedFileChooser::answer(Kind kind, const QString& title, const QString& start,
                                    const QString& filter) {
    asked_.push_back({kind, title, start, filter});
    if (answers_.empty()) return {};
    QString s = answers_.front();
    answers_.pop_front();
    return s;
}

QString ScriptedFileChooser::openFile(const QString& title, const QString& start, const QString& filter) {
    return answer(Open, title, start, filter);
}

QString ScriptedFileChooser::saveFile(const QString& title, const QString& start, const QString& filter) {
    return answer(Save, title, start, filter);
}

QString ScriptedFileChooser::folder(const QString& title, const QString& start) {
    return answer(Folder, title, start, {});
}

namespace {
FileChooser* g_chooser = nullptr;
}

FileChooser& defaultFileChooser() {
    static QtFileChooser qt;
    if (g_chooser) return *g_chooser;
    qt.setParent(QApplication::activeWindow());
    return qt;
}

void setDefaultFileChooser(FileChooser* chooser) { g_chooser = chooser; }

}  // namespace ui
