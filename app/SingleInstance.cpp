// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/SingleInstance.h"

#include "app/Launch.h"
#include "config/Config.h"

#include <KStartupInfo>
#include <KWindowSystem>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
// How long a start waits for the running copy; a hung or stopped copy
// holds it up no longer.
const int raiseTimeoutMs = 1000;
// Activation tokens are far shorter; a longer request is nobody's.
const int maxRequestSize = 4096;

/// The address of the socket at @p socketPath; false when the path is too
/// long for one.
bool socketAddress(const QString &socketPath, sockaddr_un *address)
{
    const QByteArray path = QFile::encodeName(socketPath);
    *address = {};
    address->sun_family = AF_UNIX;
    if (path.size() >= int(sizeof address->sun_path))
        return false;
    memcpy(address->sun_path, path.constData(), size_t(path.size()));
    return true;
}

int newSocket()
{
    return socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

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

/// Reads the raise request of a later start on @p client, raises @p window
/// with its token and answers once the window is in front.
void answerRaiseRequest(int client, QWidget *window)
{
    auto *reading = new QSocketNotifier(client, QSocketNotifier::Read, window);
    QObject::connect(reading, &QObject::destroyed, [client] { close(client); });
    const auto finish = [reading] {
        reading->setEnabled(false);
        reading->deleteLater();
    };
    // The later start waits no longer. Requests left open would hold a
    // descriptor each, until none is left to accept with or to save.
    QTimer::singleShot(raiseTimeoutMs, reading, finish);
    QObject::connect(
        reading, &QSocketNotifier::activated, window,
        [client, window, finish, request = QByteArray()]() mutable {
            char buffer[256];
            const ssize_t got = read(client, buffer, sizeof buffer);
            if (got == -1 && errno == EAGAIN)
                return;
            request.append(buffer, int(std::max<ssize_t>(got, 0)));
            const int end = request.indexOf('\n');
            // Only the user can connect: a request without its line end is
            // one still on its way.
            if (end == -1 && got > 0 && request.size() < maxRequestSize)
                return;
            if (end != -1) {
                bringToFront(window, request.left(end).trimmed());
                send(client, "\n", 1, MSG_NOSIGNAL);
            }
            finish();
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

QString SingleInstance::socketPath() const
{
    return m_directory + QStringLiteral("/socket");
}

SingleInstance::~SingleInstance()
{
    if (!m_requests)
        return;
    const int listener = int(m_requests->socket());
    m_requests.reset();
    close(listener);
    unlink(QFile::encodeName(socketPath()).constData());
}

void SingleInstance::raiseRunningCopy(const QByteArray &startupId) const
{
    const QByteArray line =
        (isWayland() ? qgetenv("XDG_ACTIVATION_TOKEN") : startupId) + '\n';
    sockaddr_un address;
    const int fd = newSocket();
    // Not blocking: a running copy that is stopped may fill its backlog.
    if (socketAddress(socketPath(), &address) &&
        connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) ==
            0 &&
        send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL) ==
            line.size()) {
        pollfd answer = {fd, POLLIN, 0};
        poll(&answer, 1, raiseTimeoutMs);
    }
    close(fd);
}

void SingleInstance::raiseOnRequest(QWidget *window)
{
    sockaddr_un address;
    if (!m_lock || !socketAddress(socketPath(), &address))
        return;
    // We hold the lock: whatever is there is a crashed holder's socket file,
    // or in the way.
    removeStale(socketPath(), false);
    const int fd = newSocket();
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        listen(fd, SOMAXCONN) != 0) {
        close(fd);
        return;
    }
    m_requests = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(
        m_requests.get(), &QSocketNotifier::activated, window, [fd, window] {
            const int client =
                accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (client != -1)
                answerRaiseRequest(client, window);
        });
}
