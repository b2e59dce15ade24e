// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TESTS_RESTRICTIONS_H
#define QUILMO_TESTS_RESTRICTIONS_H

#include <QStringList>

#include <functional>
#include <sys/resource.h>

// File-system limits that hold for root as well, which CI runs as: root
// ignores permissions, but not a read-only mount, a full tmpfs or another
// user id. Mounts are made in a private mount namespace of the test
// process, so nothing outside it sees them.

/// Lowers RLIMIT_FSIZE (SIGXFSZ ignored, so writes fail with EFBIG).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();

private:
    rlimit m_old;
};

/// Makes a file or directory unwritable while it lives: read-only
/// permissions for a user, a read-only bind mount for root.
class ReadOnlyPath
{
public:
    explicit ReadOnlyPath(const QString &path);
    ~ReadOnlyPath();
    /// Why the directory could not be made read-only; empty on success.
    QString whyNot() const { return m_whyNot; }

private:
    QString m_path;
    QString m_whyNot;
    bool m_mounted = false;
    unsigned m_oldMode = 0700;
};

/// A tmpfs of a given size mounted on an empty directory (root only).
class SmallFileSystem
{
public:
    SmallFileSystem(const QString &path, int kibibytes);
    ~SmallFileSystem();
    QString whyNot() const { return m_whyNot; }
    /// Takes all free space but @p bytes with a file of its own.
    bool fillLeaving(qint64 bytes);

private:
    QString m_path;
    QString m_whyNot;
};

/// Runs @p function in a child process as the user @p uid (root only; a
/// user runs it as itself) and returns its result, or -1.
int runAsUser(unsigned uid, const std::function<int()> &function);
/// The same as the user "nobody".
int runAsNobody(const std::function<int()> &function);

/// Gives @p path and everything below it (links themselves, not their
/// targets) to @p uid and @p gid.
bool chownTree(const QString &path, uid_t uid, gid_t gid);
/// @p dir and the paths below it that root owns.
QStringList ownedByRoot(const QString &dir);

#endif
