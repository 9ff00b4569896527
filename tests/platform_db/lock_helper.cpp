// Test helper: takes numbers from a counter row, or holds a file's write lock until told to let go.
//   db_lock_helper take <file> <count>   prints each number taken, one per line
//   db_lock_helper hold <file>           prints "held", waits for a line on stdin, rolls back
//   db_lock_helper read <file> <ms>      keeps a read open for <ms> after printing "reading"
#include "platform/db/database.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QThread>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) return 2;
    db::Error e;
    auto d = db::Database::open(args[2], QString(), &e);
    if (!d) {
        std::fprintf(stderr, "open: %s\n", qPrintable(e.message));
        return 3;
    }
    if (args[1] == QLatin1String("take")) {
        const int count = args.value(3).toInt();
        // Durability is not what this run checks: without the disk flushes the commits come
        // closer together and the processes meet on the lock more often.
        d->exec(QStringLiteral("PRAGMA main.synchronous=OFF"));
        db::LockWait wait;
        wait.timeoutMs = 60000;
        std::string out;
        for (int i = 0; i < count; ++i) {
            db::WriteTransaction t(*d);
            if (!t.begin(wait, &e)) {
                std::fprintf(stderr, "begin: %s\n", qPrintable(e.message));
                return 4;
            }
            auto n = d->scalar(QStringLiteral("UPDATE Contador SET Numero = Numero + 1 WHERE Id = 1 RETURNING Numero"),
                               {}, &e);
            if (!n || n->isNull()) {
                std::fprintf(stderr, "take: %s\n", qPrintable(e.message));
                return 5;
            }
            if (!t.commit(&e)) {
                std::fprintf(stderr, "commit: %s\n", qPrintable(e.message));
                return 6;
            }
            out += std::to_string(n->toLongLong()) + "\n";
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        return 0;
    }
    if (args[1] == QLatin1String("hold")) {
        if (!d->beginWrite({}, &e)) return 4;
        std::printf("held\n");
        std::fflush(stdout);
        std::string line;
        std::getline(std::cin, line);
        d->rollback();
        return 0;
    }
    if (args[1] == QLatin1String("read")) {
        QSqlQuery q(d->connection());
        q.exec(QStringLiteral("BEGIN"));
        q.exec(QStringLiteral("SELECT Numero FROM Contador"));
        if (!q.next()) return 5;
        std::printf("reading\n");
        std::fflush(stdout);
        QThread::msleep(args.value(3).toULong());
        q.finish();
        q.exec(QStringLiteral("COMMIT"));
        return 0;
    }
    return 2;
}
