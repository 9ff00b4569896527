// Test helper: another terminal on a database file. Opens it with its password, takes the write
// lock, prints "held" and keeps it until a line arrives on stdin.
//   branches_holder <file> <password>
#include "platform/db/database.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) return 2;
    db::OpenOptions op;
    op.password = args[2];
    op.attachLinks = false;
    op.createViews = false;
    db::Error e;
    auto d = db::Database::open(args[1], op, &e);
    if (!d || !d->beginWrite({}, &e)) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message));
        return 3;
    }
    std::printf("held\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    d->rollback();
    return 0;
}
