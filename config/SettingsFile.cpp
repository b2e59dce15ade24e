// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/SettingsFile.h"

#include "config/Config.h"
#include "config/ErrorText.h"
#include "config/FileWrite.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// QSettings waits for this lock without end; a dialog should not.
const int lockTimeoutMs = 500;
// The tool's own file holds a few hundred bytes. Reading a file of many
// MiB whole would stall the window or exhaust memory for nothing.
const qint64 maxFileSize = qint64(16) << 20;
// More than any value we write adds to the file.
const int maxProbeSlack = 64 << 10;
// Temporary files beside the settings file: this and six random letters.
const char temporaryPrefix[] = ".config_ibus.ini.";
const int maxLinkHops = 40;
// Scratch directories below a base: this and six random letters.
const char scratchPrefix[] = "quilmo-settings-";
// A save holds one for milliseconds: an older one is a leftover.
const int leftoverScratchAgeSecs = 60;
// Some editors begin a file with it; QSettings then reads the file as
// UTF-8, but writes it back without the mark.
const char utf8Bom[] = "\xef\xbb\xbf";

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

int writeAll(int fd, const QByteArray &bytes)
{
    return ::writeAll(fd, bytes.constData(), std::size_t(bytes.size()));
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

/// Whether the file at @p fd holds @p expected and nothing more.
bool sameBytes(int fd, const QByteArray &expected)
{
    QFile file;
    return file.open(fd, QIODevice::ReadOnly) && file.seek(0) &&
           file.read(expected.size() + 1) == expected &&
           file.error() == QFileDevice::NoError;
}

/// The directory part of the absolute @p path, as the kernel reads it:
/// QFileInfo and QDir take "link/.." for "." lexically.
QString directoryOf(const QString &path)
{
    return path.left(qMax(1, path.lastIndexOf(QLatin1Char('/'))));
}

/// The file a path names, at the end of its chain of links: the links are
/// kept and the file they lead to replaced (or created).
QString resolvedTarget(const QString &path)
{
    QString target = path;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        char buffer[PATH_MAX];
        const ssize_t n =
            readlink(nativePath(target).constData(), buffer, sizeof buffer);
        if (n < 0)
            return target;
        const QString next = QFile::decodeName(QByteArray(buffer, int(n)));
        target = next.startsWith(QLatin1Char('/'))
                     ? next
                     : directoryOf(target) + QLatin1Char('/') + next;
    }
    return path; // a loop: stat() then tells ELOOP
}

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

/// Makes a rename in @p directory durable.
int syncDirectory(const QString &directory)
{
    const int fd = open(nativePath(directory).constData(),
                        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return error;
}

/// Temporary files that a writer killed half-way left: whoever holds the
/// lock is the only writer, so any of them is a leftover.
void removeLeftovers(const QString &directory)
{
    const QFileInfoList files = QDir(directory).entryInfoList(
        {QLatin1String(temporaryPrefix) + "??????"},
        QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &file : files) {
        if (file.ownerId() == geteuid())
            QFile::remove(file.filePath());
    }
}

QVariantMap allValues(const QSettings &settings)
{
    QVariantMap values;
    for (const QString &key : settings.allKeys())
        values.insert(key, settings.value(key));
    return values;
}

/// New content for the settings file, and the values it must read as.
struct Merged {
    QByteArray content;
    QVariantMap values;
};

/// Puts @p merged in place of @p target through a temporary file in the
/// same directory, synced and read back, and one rename.
int replace(const QString &target, const Merged &merged,
            const FileState &replaced)
{
    const QString directory = directoryOf(target);
    removeLeftovers(directory);
    QByteArray temporary =
        nativePath(directory + QLatin1Char('/') +
                   QLatin1String(temporaryPrefix) + QLatin1String("XXXXXX"));
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, merged.content);
    if (!error)
        error = takeOverOwnership(fd, replaced);
    if (!error && fsync(fd) != 0)
        error = errno;
    if (!error && !sameBytes(fd, merged.content))
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
    return syncDirectory(directory);
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

/// Where the new content may be made, best first: memory-backed, where
/// QSettings' sync of what it writes costs nothing (the session's private
/// directory, else the shared memory one, where the scratch directory is
/// private), the temporary directory, and last the settings file's own
/// directory, which a full disk there affects as well.
QStringList scratchBases(const QString &targetDirectory)
{
    QStringList bases;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateDirectory(runtime))
        bases << runtime;
    if (QFileInfo(QStringLiteral("/dev/shm")).isDir())
        bases << QStringLiteral("/dev/shm");
    if (QFileInfo(QDir::tempPath()).isAbsolute())
        bases << QDir::tempPath();
    return bases << targetDirectory;
}

/// Scratch directories that a writer killed half-way left in @p base; on
/// a memory file system they would hold memory until a reboot. Only ours:
/// nobody else's to write (QTemporaryDir makes it 0755 and then 0700),
/// old, and holding nothing but what mergeContent() makes.
void removeLeftoverScratch(const QString &base)
{
    const QStringList ours = {"merge.ini", "merge.ini.lock", "check.ini",
                              "probe"};
    const QDateTime recent =
        QDateTime::currentDateTimeUtc().addSecs(-leftoverScratchAgeSecs);
    const QFileInfoList dirs =
        QDir(base).entryInfoList({QLatin1String(scratchPrefix) + "??????"},
                                 QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &dir : dirs) {
        if (dir.ownerId() != geteuid() || dir.lastModified() > recent ||
            dir.permissions() & (QFile::WriteGroup | QFile::WriteOther))
            continue;
        QDir scratch(dir.filePath());
        const QStringList entries =
            scratch.entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                              QDir::NoDotAndDotDot);
        if (!std::all_of(
                entries.cbegin(), entries.cend(),
                [&](const QString &entry) { return ours.contains(entry); }))
            continue;
        for (const QString &entry : entries)
            scratch.remove(entry);
        QDir(base).rmdir(dir.fileName());
    }
}

int writeNewFile(const QString &path, const QByteArray &bytes)
{
    const int fd = open(nativePath(path).constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, bytes);
    if (close(fd) != 0 && !error)
        error = errno;
    return error;
}

/**
 * Whether @p content reads as @p values, parsed from a new file in
 * @p directory: QSettings' cache would answer for a file it has just
 * written.
 */
int verify(const QString &directory, const QByteArray &content,
           const QVariantMap &values)
{
    const QString path = directory + QStringLiteral("/check.ini");
    if (const int error = writeNewFile(path, content))
        return error;
    if (allValues(QSettings(path, QSettings::IniFormat)) == values)
        return 0;
    // QSettings tells only that a write failed, and misses a full disk or a
    // size limit at its last flush, leaving a short file: writing as much
    // again ourselves tells why.
    const QByteArray probe(content.size() + maxProbeSlack, '\n');
    const int error = writeNewFile(directory + QStringLiteral("/probe"), probe);
    return error ? error : int(SaveResult::NotVerified);
}

/**
 * @p old with @p groups merged in, written by QSettings itself so the
 * engine reads exactly the format it always has, and verified. QSettings
 * writes only to a file, so the content is made in a private scratch
 * directory below @p base; one on a memory file system costs no disk sync.
 */
int mergeContent(const QString &base, const QByteArray &old,
                 const SettingsGroups &groups, Merged *merged)
{
    removeLeftoverScratch(base);
    errno = 0;
    const QTemporaryDir scratch(base + QLatin1Char('/') +
                                QLatin1String(scratchPrefix) +
                                QStringLiteral("XXXXXX"));
    if (!scratch.isValid())
        return errno ? errno : int(SaveResult::NotVerified);
    const QString path = scratch.filePath(QStringLiteral("merge.ini"));
    if (const int error = writeNewFile(path, old))
        return error;
    {
        QSettings settings(path, QSettings::IniFormat);
        merged->values = allValues(settings);
        for (auto group = groups.cbegin(); group != groups.cend(); ++group) {
            for (auto it = group->cbegin(); it != group->cend(); ++it) {
                const QString key = group.key() + QLatin1Char('/') + it.key();
                settings.setValue(key, it.value());
                merged->values.insert(key, it.value());
            }
        }
        // A failure leaves content that the verification below refuses.
        settings.sync();
    }
    if (const int error = readAll(path, &merged->content))
        return error;
    if (old.startsWith(utf8Bom) && !merged->content.startsWith(utf8Bom))
        merged->content.prepend(utf8Bom);
    return verify(scratch.path(), merged->content, merged->values);
}

int lockFailure(QLockFile::LockError error)
{
    if (error == QLockFile::PermissionError)
        return EACCES;
    if (error == QLockFile::LockFailedError)
        return SaveResult::Locked;
    return errno ? errno : int(SaveResult::NotVerified);
}

/**
 * Removes the lock file at @p path of another user's copy that is gone (a
 * crash as root, say): QLockFile cannot open it to take it over, so every
 * save would fail as locked. The directory is ours, so we may.
 */
bool removeOthersStaleLock(const QLockFile &lock, const QString &path)
{
    qint64 pid = 0;
    QString host, application;
    struct stat status;
    return lstat(nativePath(path).constData(), &status) == 0 &&
           S_ISREG(status.st_mode) && status.st_uid != geteuid() &&
           lock.getLockInfo(&pid, &host, &application) && pid > 0 &&
           (host.isEmpty() || host == QSysInfo::machineHostName()) &&
           kill(pid_t(pid), 0) != 0 && errno == ESRCH &&
           unlink(nativePath(path).constData()) == 0;
}

/// Whether the effective user may write @p path (access() would ask for
/// the real one).
int writePermission(const QString &path)
{
    return faccessat(AT_FDCWD, nativePath(path).constData(), W_OK,
                     AT_EACCESS) == 0
               ? 0
               : errno;
}

int writeLocked(const QString &path, const SettingsGroups &groups)
{
    const QString target = resolvedTarget(path);
    const FileState replaced = inspect(target);
    if (replaced.error)
        return replaced.error;
    QByteArray old;
    if (replaced.exists) {
        // QSettings refuses a file its user may not write; so do we.
        if (const int error = writePermission(target))
            return error;
        if (const int error = readAll(target, &old))
            return error;
    }
    const QString directory = directoryOf(target);
    // The next base when one is full: the last one's error tells why none
    // would do.
    int error = SaveResult::NotVerified;
    for (const QString &base : scratchBases(directory)) {
        Merged merged;
        error = mergeContent(base, old, groups, &merged);
        if (!error)
            return replace(target, merged, replaced);
    }
    return error;
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
    if (!path.isEmpty() && inspect(path).error == 0) {
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        // Each section is decoded when first asked for, with the text codec
        // of the object that asks, and kept in a cache that the next reader
        // of the file shares. Only the reader of a file that begins with a
        // byte order mark decodes it as UTF-8, so this one decodes it all.
        m_settings->allKeys();
    }
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
    case EXDEV:
        return QCoreApplication::translate(
            "SaveResult", "设置文件是另一文件系统的挂载点，无法替换。");
    }
    return ErrorText::reason(cause);
}

namespace SettingsFile
{
IniSnapshot read()
{
    return IniSnapshot(Config::configFilePath());
}

SaveResult readProblem()
{
    const QString path = Config::configFilePath();
    return {path.isEmpty() ? int(SaveResult::Saved) : inspect(path).error};
}

SaveResult write(const SettingsGroups &groups)
{
    const QString path = Config::configFilePath();
    if (path.isEmpty())
        return {SaveResult::NoHome};
    const QString directory = QFileInfo(path).absolutePath();
    if (const int error = makeDirectories(directory))
        return {error};
    // Tells a read-only file system from a lack of permission, which
    // QLockFile does not.
    if (const int error = writePermission(directory))
        return {error};
    const QString lockPath = path + QStringLiteral(".lock");
    if (!isUsableLockFile(lockPath))
        return {SaveResult::NotRegularFile};
    QLockFile lock(lockPath);
    errno = 0;
    if (!lock.tryLock(lockTimeoutMs) &&
        !(lock.error() == QLockFile::LockFailedError &&
          removeOthersStaleLock(lock, lockPath) && lock.tryLock(0)))
        return {lockFailure(lock.error())};
    return {writeLocked(path, groups)};
}
} // namespace SettingsFile
