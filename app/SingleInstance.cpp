// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/SingleInstance.h"

#include "app/Launch.h"
#include "config/HomeOwnerAccess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// How long a start waits for the running copy; a hung or stopped copy
// holds it up no longer.
const int raiseTimeoutMs = 1000;
// How long a start waits for another start's check of the lock, which
// takes microseconds; a start stopped in the middle holds it up no longer.
const int startLockTimeoutMs = 2000;

/// flock(LOCK_EX), given up after @p timeoutMs.
bool lockWithin(int fd, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || deadline.hasExpired())
            return false;
        usleep(10000);
    }
    return true;
}

QString privateDirectoryPath()
{
    // A relative XDG_RUNTIME_DIR is invalid and to be ignored.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime))
        return runtime + QStringLiteral("/quilmo-config");
    return QDir::tempPath() + QStringLiteral("/quilmo-config-%1").arg(getuid());
}

/**
 * @brief The private directory, held open and locked for one start.
 *
 * Anyone else who could write in it could answer our raise requests or
 * hold up our starts, so it is used only when this user owns it and nobody
 * else may enter. The lock (flock) goes with the process however it ends.
 */
class StartLock
{
public:
    explicit StartLock(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        {
            // As root on a user's session (sudo -E), the user's own, or
            // their later starts could never use it.
            const HomeOwnerAccess asOwner;
            mkdir(name.constData(), 0700);
        }
        m_fd = open(name.constData(),
                    O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat status = {};
        if (m_fd != -1 &&
            (fstat(m_fd, &status) != 0 || status.st_uid != getuid() ||
             (status.st_mode & 077) != 0 ||
             !lockWithin(m_fd, startLockTimeoutMs))) {
            close(m_fd);
            m_fd = -1;
        }
    }
    ~StartLock()
    {
        if (m_fd != -1)
            close(m_fd);
    }
    StartLock(const StartLock &) = delete;
    StartLock &operator=(const StartLock &) = delete;

    bool isPrivate() const { return m_fd != -1; }

private:
    int m_fd = -1;
};

// Qt keeps the segment under ftok() of its key file with the id 'Q'.
// @return false when there is none (or it cannot be looked at).
bool segmentStatus(const QSharedMemory &lock, shmid_ds *status)
{
    const key_t key =
        ftok(QFile::encodeName(lock.nativeKey()).constData(), 'Q');
    const int id = key == -1 ? -1 : shmget(key, 0, 0);
    return id != -1 && shmctl(id, IPC_STAT, status) == 0;
}

int attachmentCount(const QSharedMemory &lock)
{
    shmid_ds status = {};
    return segmentStatus(lock, &status) ? int(status.shm_nattch) : 0;
}

/// A segment under our key that another user made (in a shared temporary
/// directory): it says nothing about a copy of ours.
bool heldByAnotherUser(const QSharedMemory &lock)
{
    shmid_ds status = {};
    return segmentStatus(lock, &status) && status.shm_perm.cuid != getuid();
}

// Also out of the task bar and from behind other windows.
void bringToFront(QWidget *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}
} // namespace

SingleInstance::SingleInstance() : m_lock(singleInstanceKey()) {}

bool SingleInstance::acquire()
{
    const QString directory = privateDirectoryPath();
    const StartLock startLock(directory);
    if (startLock.isPrivate())
        m_socketPath = directory + QStringLiteral("/socket");
    if (m_lock.attach(QSharedMemory::ReadWrite))
        return isAttachedAlone();
    if (m_lock.create(1, QSharedMemory::ReadWrite))
        return true;
    // Failing for another reason leaves this copy running without the lock.
    if (m_lock.error() != QSharedMemory::AlreadyExists)
        return true;
    // create() may have made the key file just now, and its key (from the
    // file's inode) name a segment that a killed copy left: look again.
    return m_lock.attach(QSharedMemory::ReadWrite) ? isAttachedAlone()
                                                   : heldByAnotherUser(m_lock);
}

bool SingleInstance::isAttachedAlone() const
{
    // Nobody else attached: what a crashed copy left, ours now. Another
    // user's segment says nothing about a copy of ours.
    return attachmentCount(m_lock) == 1 || heldByAnotherUser(m_lock);
}

void SingleInstance::raiseRunningCopy() const
{
    if (m_socketPath.isEmpty())
        return;
    const QDeadlineTimer deadline(raiseTimeoutMs);
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (socket.waitForConnected(int(deadline.remainingTime())))
        socket.waitForReadyRead(int(deadline.remainingTime()));
}

void SingleInstance::raiseOnRequest(QWidget *window)
{
    if (m_socketPath.isEmpty())
        return;
    // We hold the lock: a socket file there is a crashed holder's.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server.listen(m_socketPath))
        return;
    QObject::connect(
        &m_server, &QLocalServer::newConnection, window, [this, window] {
            while (QLocalSocket *request = m_server.nextPendingConnection()) {
                bringToFront(window);
                QObject::connect(request, &QLocalSocket::disconnected, request,
                                 &QObject::deleteLater);
                // The answer: the window is in front.
                request->write("\n");
                request->disconnectFromServer();
            }
        });
}

int SingleInstance::holderCount()
{
    return attachmentCount(QSharedMemory(singleInstanceKey()));
}
