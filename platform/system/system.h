#pragma once
// The operating-system services the programs use: the computer's name, the display mode (recorded
// only: the screen is never changed), opening a document with its program, starting a program
// detached, and the lock file that tells whether a print server already serves a data folder and
// branch.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace sys {

// The computer's host name as the system gives it.
QString computerName();

// --- display mode ---
struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int changes = 0;  // how many times a mode was recorded
};
// Records the mode asked for; the screen stays as it is.
void changeDisplayMode(int width, int height, int bitsPerPixel);
DisplayMode recordedDisplayMode();
void resetDisplayMode();

// Opens a file or a URL with the program the desktop associates with it. False when none could.
bool openDocument(const QString& pathOrUrl);

// Starts a program without waiting for it, in its own session; `extraEnv` is added to this
// program's environment. False (and nothing started) when the file is missing or not executable.
bool startDetached(const QString& program, const QStringList& args = {},
                   const QProcessEnvironment& extraEnv = {}, const QString& workingDir = {},
                   qint64* pid = nullptr);

// --- print server lock ---
// The lock file a print server holds while it serves branch `branch` of `dataFolder`:
// <dataFolder>/Base de datos/Sucursales/tarvex-<branch>.lock (a QLockFile).
QString printServerLockPath(const QString& dataFolder, int branch);
// True while a live process holds the lock file (a stale lock of a dead process does not count).
bool isLockHeld(const QString& lockPath);

}  // namespace sys
