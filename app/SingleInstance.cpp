// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/SingleInstance.h"

#include "app/Launch.h"
#include "config/Config.h"

#include <KStartupInfo>
#include <KWindowSystem>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QWidget>
#include <QWindow>

#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// How long a start waits for the running copy; a hung or stopped copy
// holds it up no longer.
const int raiseTimeoutMs = 1000;

/// Whether @p path is a directory of this user that nobody else may enter;
/// made first if missing.
bool isPrivateDirectory(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    mkdir(name.constData(), 0700);
    const int fd =
        open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status = {};
    const bool isPrivate = fd != -1 && fstat(fd, &status) == 0 &&
                           status.st_uid == geteuid() &&
                           (status.st_mode & 077) == 0;
    if (fd != -1)
        close(fd);
    return isPrivate;
}

/// Removes what is at @p path in the private directory, where only the
/// user can have put it; with @p keepFile, a regular file stays.
void removeStale(const QString &path, bool keepFile)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (lstat(name.constData(), &status) == 0 &&
        !(keepFile && S_ISREG(status.st_mode)) && unlink(name.constData()) != 0)
        rmdir(name.constData());
}

bool isWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Also out of the task bar and from behind other windows. The token tells
// the desktop that the user asked for it, as a start from a launcher does.
void bringToFront(QWidget *window, const QByteArray &token)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    if (isWayland()) {
        KWindowSystem::setCurrentXdgActivationToken(QString::fromUtf8(token));
        KWindowSystem::activateWindow(window->windowHandle());
    } else if (KWindowSystem::isPlatformX11()) {
        KStartupInfo::setNewStartupId(window->windowHandle(), token);
    }
    window->activateWindow();
}

/// Reads the raise request of a later start, raises @p window with its
/// token and answers once the window is in front.
void answerRaiseRequest(QLocalSocket *request, QWidget *window)
{
    QObject::connect(request, &QLocalSocket::disconnected, request,
                     &QObject::deleteLater);
    QObject::connect(request, &QLocalSocket::readyRead, window,
                     [request, window] {
                         // Only the user can connect: a request without its
                         // line end is one still on its way.
                         if (!request->canReadLine())
                             return;
                         bringToFront(window, request->readLine().trimmed());
                         request->write("\n");
                         request->disconnectFromServer();
                     });
}
} // namespace

QString SingleInstance::privateDirectory()
{
    // A relative XDG_RUNTIME_DIR is invalid and to be ignored; one of
    // another user (root with sudo -E) would get a directory of root's.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) &&
        QFileInfo(runtime).ownerId() == geteuid() &&
        isPrivateDirectory(runtime + QStringLiteral("/quilmo-config")))
        return runtime + QStringLiteral("/quilmo-config");
    const QString home = Config::homePath();
    if (home.isEmpty() || !QDir().mkpath(home + QStringLiteral("/.cache")))
        return QString();
    const QString inHome = home + QStringLiteral("/.cache/quilmo-config");
    return isPrivateDirectory(inHome) ? inHome : QString();
}

bool SingleInstance::acquire()
{
    m_directory = privateDirectory();
    if (!m_directory.isEmpty()) {
        const QString path = m_directory + '/' + singleInstanceKey();
        // QLockFile would block reading a FIFO, and never take over
        // anything else but a regular file.
        removeStale(path, true);
        m_lock = std::make_unique<QLockFile>(path);
        if (m_lock->tryLock(0))
            return true;
        // Only a live holder means another copy; a full disk does not.
        if (m_lock->error() == QLockFile::LockFailedError)
            return false;
        m_lock.reset();
    }
    // The user asked for the window: better two than none. Without a
    // private directory the home is unusable, and saving fails anyway.
    std::cerr << qPrintable(QCoreApplication::translate(
                     "SingleInstance",
                     "没有可用的私有目录，无法阻止同时运行多个副本。"))
              << std::endl;
    return true;
}

void SingleInstance::raiseRunningCopy(const QByteArray &startupId) const
{
    const QByteArray token =
        isWayland() ? qgetenv("XDG_ACTIVATION_TOKEN") : startupId;
    const QDeadlineTimer deadline(raiseTimeoutMs);
    QLocalSocket socket;
    socket.connectToServer(m_directory + QStringLiteral("/socket"));
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return;
    socket.write(token + '\n');
    socket.waitForReadyRead(int(deadline.remainingTime()));
}

void SingleInstance::raiseOnRequest(QWidget *window)
{
    if (!m_lock)
        return;
    const QString socketPath = m_directory + QStringLiteral("/socket");
    // We hold the lock: whatever is there is a crashed holder's socket file,
    // or in the way.
    removeStale(socketPath, false);
    if (!m_server.listen(socketPath))
        return;
    QObject::connect(
        &m_server, &QLocalServer::newConnection, window, [this, window] {
            while (QLocalSocket *request = m_server.nextPendingConnection())
                answerRaiseRequest(request, window);
        });
}
