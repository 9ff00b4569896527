#pragma once
// Application and data folders for the shell's tests, made from small SQL of their own: Direccion.db,
// a central file with branches, sellers, company and currencies, and one branch file with its
// Parametros row and the tables the shared inserts write.

#include "platform/db/database.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

struct Carpetas {
    QTemporaryDir tmp;
    QString app;    // application folder (QUORVEL_HOME)
    QString datos;  // data folder

    // Application folder with Direccion.db (Dir row as given) and a data folder with branch 0
    // "Centro" (terminal 3 by default).
    explicit Carpetas(int terminal = 3, int sucursal = 0, bool conDatos = true);

    void escribeDir(const QVariant& direccion, const QVariant& terminal, const QVariant& sucursal);
    QString dirDireccion();  // Dir.Direccion as stored
    std::unique_ptr<db::Database> central();
    std::unique_ptr<db::Database> sucursal(const QString& corto = QStringLiteral("Centro"));
    // Replaces fields of the branch's Parametros row.
    void parametros(const QVariantMap& valores, const QString& corto = QStringLiteral("Centro"));
    void creaSucursal(int id, const QString& corto);
    // A fake print server in <app>/Plovix/tarvex that appends one line to <app>/arranques.txt.
    // A stand-in print server: notes each start, then runs while <app>/corre exists.
    void servidorFalso();
    int arranquesServidor();
};

// Points the program at the folders: QUORVEL_HOME, fresh shared state, scripted prompts.
void usaCarpetas(const Carpetas& c);
