// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/SettingsFile.h"

#include "config/Config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// QSettings waits for this lock without end; a dialog should not.
const int lockTimeoutMs = 500;
// The tool's own file holds a few hundred bytes. Reading a file of many
// MiB whole would stall the window or exhaust memory for nothing.
const qint64 maxFileSize = qint64(16) << 20;
// Temporary files beside the settings file: this and six random letters.
const char temporaryPrefix[] = ".config_ibus.ini.";
const int maxLinkHops = 40;

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

/// What lies at a path, links followed.
struct FileState {
    int error = 0; ///< 0, or why it cannot be used
    bool exists = false;
    struct stat status = {};
};

FileState inspect(const QString &path)
{
    FileState state;
    if (stat(nativePath(path).constData(), &state.status) != 0) {
        state.error = errno == ENOENT ? 0 : errno;
        return state;
    }
    state.exists = true;
    if (S_ISDIR(state.status.st_mode))
        state.error = EISDIR;
    else if (!S_ISREG(state.status.st_mode))
        state.error = SaveResult::NotRegularFile;
    else if (state.status.st_size > maxFileSize)
        state.error = SaveResult::TooLarge;
    return state;
}

bool isUsableOrAbsent(const QString &path)
{
    return inspect(path).error == 0;
}

int writeAll(int fd, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EINTR)
            return errno;
        done += n > 0 ? n : 0;
    }
    return 0;
}

/// The bytes of the regular file at @p path; opened without blocking, so
/// a file swapped for a FIFO since it was inspected cannot hang us.
int readAll(const QString &path, QByteArray *bytes)
{
    const int fd =
        open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat status;
    int error = fstat(fd, &status) != 0 ? errno : 0;
    if (!error && !S_ISREG(status.st_mode))
        error = SaveResult::NotRegularFile;
    char buffer[65536];
    ssize_t n = 0;
    while (!error && (n = read(fd, buffer, sizeof buffer)) != 0) {
        if (n > 0)
            bytes->append(buffer, int(n));
        else if (errno != EINTR)
            error = errno;
        if (bytes->size() > maxFileSize)
            error = SaveResult::TooLarge;
    }
    close(fd);
    return error;
}

bool sameBytes(int fd, const QByteArray &expected)
{
    QByteArray actual(expected.size() + 1, '\0');
    qint64 done = 0;
    ssize_t n = 0;
    while ((n = pread(fd, actual.data() + done, size_t(actual.size() - done),
                      done)) != 0) {
        if (n < 0 && errno != EINTR)
            return false;
        done += n > 0 ? n : 0;
        if (done == actual.size())
            break;
    }
    return done == expected.size() && actual.startsWith(expected);
}

/// The file a path names, at the end of its chain of links: the links are
/// kept and the file they lead to replaced (or created).
QString resolvedTarget(const QString &path)
{
    QString target = path;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            return target;
        target = info.symLinkTarget();
    }
    return path; // a loop: stat() then tells ELOOP
}

/// Creates @p dir and its missing parents.
int makeDirectories(const QString &dir)
{
    QString prefix;
    for (const QString &part :
         dir.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        prefix += QLatin1Char('/') + part;
        const QByteArray name = nativePath(prefix);
        struct stat status;
        if (mkdir(name.constData(), 0777) == 0)
            continue;
        if (errno != EEXIST)
            return errno;
        if (stat(name.constData(), &status) != 0)
            return errno;
        if (!S_ISDIR(status.st_mode))
            return ENOTDIR;
    }
    return 0;
}

mode_t currentUmask()
{
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

/// Gives the new file at @p fd the owner, group and mode of the file it
/// replaces; a new file gets what QSettings would give it.
int takeOverOwnership(int fd, const FileState &replaced)
{
    if (!replaced.exists)
        return fchmod(fd, 0666 & ~currentUmask()) == 0 ? 0 : errno;
    if (fchmod(fd, replaced.status.st_mode & 07777) != 0)
        return errno;
    // Only root can always keep another owner or group; a user replaces a
    // file that is writable to them, and it becomes theirs, as with
    // QSettings.
    if (fchown(fd, replaced.status.st_uid, replaced.status.st_gid) != 0 &&
        geteuid() == 0)
        return errno;
    return 0;
}

void syncDirectory(const QString &directory)
{
    const int fd = open(nativePath(directory).constData(),
                        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

/// Temporary files that a writer killed half-way left: whoever holds the
/// lock is the only writer, so any of them is a leftover.
void removeLeftovers(const QString &directory)
{
    const QStringList names =
        QDir(directory).entryList({QLatin1String(temporaryPrefix) + "??????"},
                                  QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QByteArray path = nativePath(directory + QLatin1Char('/') + name);
        struct stat status;
        if (lstat(path.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
            status.st_uid == geteuid())
            unlink(path.constData());
    }
}

/// Puts @p content in place of @p target through a synced, read-back
/// temporary file in the same directory and one rename.
int replace(const QString &target, const QByteArray &content,
            const FileState &replaced)
{
    const QString directory = QFileInfo(target).absolutePath();
    removeLeftovers(directory);
    QByteArray temporary =
        nativePath(directory + QLatin1Char('/') +
                   QLatin1String(temporaryPrefix) + QLatin1String("XXXXXX"));
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, content);
    if (!error && fsync(fd) != 0)
        error = errno;
    if (!error)
        error = takeOverOwnership(fd, replaced);
    if (!error && !sameBytes(fd, content))
        error = SaveResult::NotVerified;
    if (close(fd) != 0 && !error)
        error = errno;
    if (!error &&
        rename(temporary.constData(), nativePath(target).constData()) != 0)
        error = errno;
    if (error) {
        unlink(temporary.constData());
        return error;
    }
    syncDirectory(directory);
    return 0;
}

/// A directory of the user's alone: not one another user could have put
/// in the way (a runtime directory kept across sudo, for one).
bool isPrivateDirectory(const QString &path)
{
    struct stat status;
    return QFileInfo(path).isAbsolute() &&
           lstat(nativePath(path).constData(), &status) == 0 &&
           S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
           (status.st_mode & 077) == 0;
}

/// Where the new content may be made, best first: memory-backed and
/// private, the temporary directory, and last the settings file's own
/// directory, which a full disk there affects as well.
QStringList scratchBases(const QString &targetDirectory)
{
    QStringList bases;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateDirectory(runtime))
        bases << runtime;
    if (QFileInfo(QDir::tempPath()).isAbsolute())
        bases << QDir::tempPath();
    return bases << targetDirectory;
}

QVariantMap allValues(const QSettings &settings)
{
    QVariantMap values;
    for (const QString &key : settings.allKeys())
        values.insert(key, settings.value(key));
    return values;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size() && file.flush();
}

/**
 * @p old with @p values merged into @p group, written by QSettings itself
 * so the engine reads exactly the format it always has. Made in a private
 * scratch directory below @p base, and checked by parsing it again under a
 * new name: QSettings reports success for a write that a full disk cut
 * short, and its cache would answer for a file it has just written.
 */
std::optional<QByteArray> mergedContent(const QString &base,
                                        const QByteArray &old,
                                        const QString &group,
                                        const QMap<QString, QString> &values)
{
    const QTemporaryDir scratch(base + QStringLiteral("/quilmo-XXXXXX"));
    const QString mergePath = scratch.filePath(QStringLiteral("merge.ini"));
    if (!scratch.isValid() || !writeFile(mergePath, old))
        return std::nullopt;
    QVariantMap expected;
    {
        QSettings settings(mergePath, QSettings::IniFormat);
        expected = allValues(settings);
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            const QString key = group + QLatin1Char('/') + it.key();
            settings.setValue(key, it.value());
            expected.insert(key, it.value());
        }
        settings.sync();
        if (settings.status() == QSettings::AccessError)
            return std::nullopt;
    }
    QFile merged(mergePath);
    if (!merged.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray content = merged.readAll();
    const QString checkPath = scratch.filePath(QStringLiteral("check.ini"));
    if (!writeFile(checkPath, content) ||
        allValues(QSettings(checkPath, QSettings::IniFormat)) != expected)
        return std::nullopt;
    return content;
}

int lockFailure(QLockFile::LockError error)
{
    switch (error) {
    case QLockFile::PermissionError:
        return EACCES;
    case QLockFile::LockFailedError:
        return SaveResult::Locked;
    case QLockFile::NoError:
    case QLockFile::UnknownError:
        break;
    }
    return errno ? errno : int(SaveResult::NotVerified);
}

int writeLocked(const QString &path, const QString &group,
                const QMap<QString, QString> &values)
{
    const QString target = resolvedTarget(path);
    const FileState replaced = inspect(target);
    if (replaced.error)
        return replaced.error;
    QByteArray old;
    if (replaced.exists) {
        // QSettings refuses a file its user may not write; so do we.
        if (access(nativePath(target).constData(), W_OK) != 0)
            return errno;
        if (const int error = readAll(target, &old))
            return error;
    }
    const QString directory = QFileInfo(target).absolutePath();
    for (const QString &base : scratchBases(directory)) {
        if (const auto content = mergedContent(base, old, group, values))
            return replace(target, *content, replaced);
    }
    return SaveResult::NotVerified;
}

/// Whether QLockFile may look at @p path: it reads a lock file it finds,
/// which a FIFO would block, and can never take over a link's.
bool isUsableLockFile(const QString &path)
{
    struct stat status;
    if (lstat(nativePath(path).constData(), &status) != 0)
        return errno == ENOENT;
    return S_ISREG(status.st_mode);
}
} // namespace

IniSnapshot::IniSnapshot(const QString &path)
{
    // QSettings reads the file in its constructor.
    if (!path.isEmpty() && isUsableOrAbsent(path))
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

IniSnapshot::IniSnapshot(IniSnapshot &&other) noexcept = default;
IniSnapshot::~IniSnapshot() = default;

QVariant IniSnapshot::value(const QString &key,
                            const QVariant &defaultValue) const
{
    return m_settings ? m_settings->value(key, defaultValue) : defaultValue;
}

QString SaveResult::reason() const
{
    switch (cause) {
    case Saved:
        return QString();
    case NoHome:
        return QCoreApplication::translate("SaveResult",
                                           "找不到用户的主目录。");
    case NotRegularFile:
        return QCoreApplication::translate("SaveResult",
                                           "该位置上不是普通文件。");
    case Locked:
        return QCoreApplication::translate("SaveResult",
                                           "设置文件正被其他程序锁定。");
    case NotVerified:
        return QCoreApplication::translate("SaveResult",
                                           "写入的内容无法完整读回。");
    case TooLarge:
        return QCoreApplication::translate("SaveResult",
                                           "设置文件过大（超过 16 MiB）。");
    case ENOSPC:
    case EDQUOT:
        return QCoreApplication::translate("SaveResult", "磁盘空间不足。");
    case EFBIG:
        return QCoreApplication::translate("SaveResult",
                                           "文件大小超出了系统限制。");
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("SaveResult", "没有写入权限。");
    case EROFS:
        return QCoreApplication::translate("SaveResult", "文件系统是只读的。");
    case EISDIR:
        return QCoreApplication::translate("SaveResult",
                                           "该位置上是一个目录。");
    case ENOTDIR:
        return QCoreApplication::translate("SaveResult",
                                           "路径中有一部分不是目录。");
    }
    return QString::fromLocal8Bit(std::strerror(cause));
}

namespace SettingsFile
{
IniSnapshot read()
{
    return IniSnapshot(Config::configFilePath());
}

SaveResult write(const QString &group, const QMap<QString, QString> &values)
{
    const QString path = Config::configFilePath();
    if (path.isEmpty())
        return {SaveResult::NoHome};
    const QString directory = QFileInfo(path).absolutePath();
    if (const int error = makeDirectories(directory))
        return {error};
    // Tells a read-only file system from a lack of permission, which
    // QLockFile does not.
    if (access(nativePath(directory).constData(), W_OK) != 0)
        return {errno};
    const QString lockPath = path + QStringLiteral(".lock");
    if (!isUsableLockFile(lockPath))
        return {SaveResult::NotRegularFile};
    QLockFile lock(lockPath);
    errno = 0;
    if (!lock.tryLock(lockTimeoutMs))
        return {lockFailure(lock.error())};
    return {writeLocked(path, group, values)};
}
} // namespace SettingsFile
