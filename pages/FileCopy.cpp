// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/FileCopy.h"

#include "config/FileWrite.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
const size_t chunkSize = 1024 * 1024;

int copyContent(int from, int to, qint64 total, const CopyProgress &progress)
{
    std::vector<char> buffer(chunkSize);
    qint64 copied = 0;
    for (;;) {
        const ssize_t n = read(from, buffer.data(), buffer.size());
        if (n == 0)
            return 0;
        if (n < 0 && errno != EINTR)
            return errno;
        if (n < 0)
            continue;
        if (const int error = writeAll(to, buffer.data(), size_t(n)))
            return error;
        copied += n;
        if (!progress(copied, total))
            return ECANCELED;
    }
}

/// Copies into the open @p to; synced, so the disk holds all of it before
/// it gets its name.
int copyOpenFiles(int from, int to, const CopyProgress &progress)
{
    struct stat status;
    if (fstat(from, &status) != 0)
        return errno;
    if (const int error = copyContent(from, to, status.st_size, progress))
        return error;
    return fsync(to) == 0 ? 0 : errno;
}

QByteArray partialPath(const QByteArray &target)
{
    const int slash = target.lastIndexOf('/');
    // Hidden and without the suffix: never listed as a library. One per
    // process: two copies of the tool (a user's, root's) never share it.
    // Not named after the target: a name of 255 bytes would leave no room.
    return target.left(slash + 1) + ".adding." + QByteArray::number(getpid()) +
           ".part";
}
} // namespace

int copyToNewFile(const QByteArray &source, const QByteArray &target,
                  const CopyProgress &progress)
{
    const int from =
        open(source.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (from < 0)
        return errno;
    const QByteArray partial = partialPath(target);
    const int to =
        open(partial.constData(),
             O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    int error = to < 0 ? errno : copyOpenFiles(from, to, progress);
    close(from);
    if (to >= 0 && close(to) != 0 && error == 0)
        error = errno;
    // link(), not rename(): a file that took the name meanwhile stays.
    if (error == 0 && link(partial.constData(), target.constData()) != 0)
        error = errno;
    if (to >= 0)
        unlink(partial.constData());
    return error;
}
