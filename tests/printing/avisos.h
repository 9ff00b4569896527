#pragma once
// Prompts that record the messages shown, for the printing tests.

#include "platform/ui/prompts.h"

#include <QStringList>

class AvisosRegistrados : public ui::Prompts {
public:
    void message(const QString& text, ui::Icon, const QString&) override { mensajes << text; }
    ui::Answer question(const QString& text, const QString&, bool, bool) override {
        mensajes << text;
        return ui::Answer::No;
    }
    QString input(const QString& text, const QString&, const QString&) override {
        mensajes << text;
        return {};
    }
    QStringList mensajes;
};

#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
