// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/Restrictions.h"

#include <QFile>
#include <QProcess>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
const uid_t nobody = 65534;

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(
        QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
}

/// Moves the process into a mount namespace of its own, once.
QString privateMountNamespace()
{
    static const QString whyNot = [] {
        if (geteuid() != 0)
            return QStringLiteral("mounting needs root");
        if (unshare(CLONE_NEWNS) != 0)
            return systemError("unshare(CLONE_NEWNS)");
        if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return systemError("making / private");
        return QString();
    }();
    return whyNot;
}
} // namespace

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_old);
    rlimit lowered = m_old;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, SIG_DFL);
}

ReadOnlyPath::ReadOnlyPath(const QString &path) : m_path(path)
{
    const QByteArray name = QFile::encodeName(path);
    if (geteuid() != 0) {
        struct stat status = {};
        stat(name.constData(), &status);
        m_oldMode = status.st_mode & 07777;
        if (chmod(name.constData(), m_oldMode & 0555) != 0)
            m_whyNot = systemError("chmod");
        return;
    }
    m_whyNot = privateMountNamespace();
    if (!m_whyNot.isEmpty())
        return;
    if (mount(name.constData(), name.constData(), nullptr, MS_BIND, nullptr) !=
        0) {
        m_whyNot = systemError("bind mount");
        return;
    }
    m_mounted = true;
    if (mount(nullptr, name.constData(), nullptr,
              MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        m_whyNot = systemError("read-only remount");
}

ReadOnlyPath::~ReadOnlyPath()
{
    const QByteArray name = QFile::encodeName(m_path);
    if (m_mounted)
        umount2(name.constData(), MNT_DETACH);
    else
        chmod(name.constData(), m_oldMode);
}

SmallFileSystem::SmallFileSystem(const QString &path, int kibibytes)
    : m_path(path)
{
    m_whyNot = privateMountNamespace();
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k";
    if (m_whyNot.isEmpty() &&
        mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0,
              options.constData()) != 0)
        m_whyNot = systemError("mounting a tmpfs");
}

SmallFileSystem::~SmallFileSystem()
{
    if (m_whyNot.isEmpty())
        umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
}

bool SmallFileSystem::fillLeaving(qint64 bytes)
{
    const QByteArray filler =
        QFile::encodeName(m_path + QStringLiteral("/.filler"));
    unlink(filler.constData());
    struct statvfs status;
    if (statvfs(QFile::encodeName(m_path).constData(), &status) != 0)
        return false;
    const qint64 available = qint64(status.f_bavail) * qint64(status.f_frsize);
    if (available <= bytes)
        return true;
    const int fd =
        open(filler.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // tmpfs has no holes to fill: really allocate the pages.
    const bool filled = posix_fallocate(fd, 0, available - bytes) == 0;
    close(fd);
    return filled;
}

int runAsUser(unsigned uid, const std::function<int()> &function)
{
    if (geteuid() != 0)
        return function();
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0)
            _exit(255);
        _exit(function());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

int runAsNobody(const std::function<int()> &function)
{
    return runAsUser(nobody, function);
}

QStringList ownedByRoot(const QString &dir)
{
    QProcess find;
    find.start(QStringLiteral("find"), {dir, "-user", "0"});
    find.waitForFinished();
    return QString::fromLocal8Bit(find.readAll())
        .split('\n', Qt::SkipEmptyParts);
}

bool chownTree(const QString &path, uid_t uid, gid_t gid)
{
    return QProcess::execute(
               QStringLiteral("chown"),
               {"-hR", QStringLiteral("%1:%2").arg(uid).arg(gid), path}) == 0;
}
