#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <gmock/gmock.h>

// The spooler address every test process starts with; tests/CMakeLists.txt gives ctest the same.
constexpr char kSinSpooler[] = "/dev/null/quorvel-pruebas-sin-cups.sock";

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Tests never reach this machine's print system: its spooler is a socket nobody listens on
    // (a test that prints starts a cupsd of its own and points the process at it), no default
    // printer is named, and so Qt's print dialogs offer a file. Set before Qt loads its print
    // plugin and before any spooler call.
    qputenv("CUPS_SERVER", kSinSpooler);
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    // A branch with the print server on starts <application>/Plovix/tarvex. Tests that do not
    // choose an application folder get one whose server ends at once, never the real one built
    // beside the test programs.
    QTemporaryDir aplicacion;
    if (qEnvironmentVariableIsEmpty("QUORVEL_HOME") && aplicacion.isValid()) {
        QDir(aplicacion.path()).mkpath(QStringLiteral("Plovix"));
        QFile servidor(aplicacion.filePath(QStringLiteral("Plovix/tarvex")));
        if (servidor.open(QIODevice::WriteOnly)) {
            servidor.write("#!/bin/sh\nexit 0\n");
            servidor.close();
            servidor.setPermissions(servidor.permissions() | QFile::ExeOwner | QFile::ExeUser);
        }
        qputenv("QUORVEL_HOME", QFile::encodeName(aplicacion.path()));
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
