#include "platform/system/system.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QUrl>

namespace sys {

namespace {
DisplayMode g_mode;
}

QString computerName() { return QSysInfo::machineHostName(); }

void changeDisplayMode(int width, int height, int bitsPerPixel) {
    g_mode.width = width;
    g_mode.height = height;
    g_mode.bitsPerPixel = bitsPerPixel;
    ++g_mode.changes;
}

DisplayMode recordedDisplayMode() { return g_mode; }
void resetDisplayMode() { g_mode = {}; }

bool openDocument(const QString& pathOrUrl) {
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
    if (!url.isValid()) return false;
    return QDesktopServices::openUrl(url);
}

bool startDetached(const QString& program, const QStringList& args,
                   const QProcessEnvironment& extraEnv, const QString& workingDir, qint64* pid) {
    const QFileInfo fi(program);
    if (!fi.isFile() || !fi.isExecutable()) return false;
    QProcess p;
    p.setProgram(fi.absoluteFilePath());
    p.setArguments(args);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& k : extraEnv.keys()) env.insert(k, extraEnv.value(k));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workingDir.isEmpty() ? fi.absolutePath() : workingDir);
    p.setStandardInputFile(QProcess::nullDevice());
    return p.startDetached(pid);
}

QString printServerLockPath(const QString& dataFolder, int branch) {
    QString d = dataFolder;
    while (d.size() > 1 && (d.endsWith(u'/') || d.endsWith(u'\\'))) d.chop(1);
    return d + QStringLiteral("/Base de datos/Sucursales/tarvex-%1.lock").arg(branch);
}

bool isLockHeld(const QString& lockPath) {
    if (!QFileInfo::exists(lockPath)) return false;
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0);  // only a dead owner makes it stale
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    return lock.error() == QLockFile::LockFailedError;
}

}  // namespace sys
