#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <gmock/gmock.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
