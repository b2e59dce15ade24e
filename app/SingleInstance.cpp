// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/SingleInstance.h"

#include "app/Launch.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
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
 * Anyone else who could write in it could hold up our starts, so it is used
 * only when this user owns it and nobody else may enter. The lock (flock) goes
 * with the process however it ends.
 */
class StartLock
{
public:
    explicit StartLock(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        mkdir(name.constData(), 0700);
        m_fd = open(name.constData(),
                    O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat status = {};
        if (m_fd != -1 &&
            (fstat(m_fd, &status) != 0 || status.st_uid != getuid() ||
             (status.st_mode & 077) != 0 || flock(m_fd, LOCK_EX) != 0)) {
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

private:
    int m_fd = -1;
};

// Qt keeps the segment under ftok() of its key file with the id 'Q'.
int attachmentCount(const QSharedMemory &lock)
{
    const key_t key =
        ftok(QFile::encodeName(lock.nativeKey()).constData(), 'Q');
    const int id = key == -1 ? -1 : shmget(key, 0, 0);
    struct shmid_ds status = {};
    if (id == -1 || shmctl(id, IPC_STAT, &status) != 0)
        return 0;
    return int(status.shm_nattch);
}

} // namespace

SingleInstance::SingleInstance() : m_lock(singleInstanceKey()) {}

bool SingleInstance::acquire()
{
    const StartLock startLock(privateDirectoryPath());
    if (m_lock.attach(QSharedMemory::ReadWrite))
        return attachmentCount(m_lock) == 1;
    // Failing for another reason leaves this copy running without the lock.
    const bool created = m_lock.create(1, QSharedMemory::ReadWrite);
    return created || m_lock.error() != QSharedMemory::AlreadyExists;
}

int SingleInstance::holderCount()
{
    return attachmentCount(QSharedMemory(singleInstanceKey()));
}
