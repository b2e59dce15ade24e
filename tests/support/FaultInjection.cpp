// SPDX-License-Identifier: GPL-2.0-or-later
// Linked into a test executable, these definitions take the place of the C
// library's for the whole process (Qt included), so that a test can make
// one call fail where no real fault can be made. Inert until a test makes
// a FaultInjection.
#include "support/FaultInjection.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Plain data: writes may still come after static destructors have run.
struct Fault {
    char call[16];
    int code;
    char pathPattern[1024];
};
Fault activeFault;

/// The fault's code when @p call on @p path is the one to fail, else 0.
int faultFor(const char *call, const char *path)
{
    return activeFault.code && std::strcmp(activeFault.call, call) == 0 &&
                   fnmatch(activeFault.pathPattern, path, 0) == 0
               ? activeFault.code
               : 0;
}

int faultForFd(const char *call, int fd)
{
    if (!activeFault.code)
        return 0;
    char path[4096] = {};
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    if (readlink(link.constData(), path, sizeof path - 1) < 0)
        return 0;
    return faultFor(call, path);
}

template <typename Function> Function *next(const char *name)
{
    return reinterpret_cast<Function *>(dlsym(RTLD_NEXT, name));
}

/// -1 with errno set to @p code, for a positive @p code.
int fail(int code)
{
    errno = code;
    return -1;
}
} // namespace

FaultInjection::FaultInjection(const char *call, int code,
                               const char *pathPattern)
{
    qstrncpy(activeFault.call, call, sizeof activeFault.call);
    qstrncpy(activeFault.pathPattern, pathPattern,
             sizeof activeFault.pathPattern);
    activeFault.code = code;
}

FaultInjection::~FaultInjection()
{
    activeFault.code = 0;
}

extern "C" {
ssize_t write(int fd, const void *buffer, size_t size)
{
    static auto *real = next<ssize_t(int, const void *, size_t)>("write");
    const int code = size > 1 ? faultForFd("write", fd) : 0;
    if (code > 0)
        return fail(code);
    if (code == ShortWrite)
        return real(fd, buffer, size - 1) < 0 ? -1 : ssize_t(size);
    if (code == AlteredWrite) {
        QByteArray altered(static_cast<const char *>(buffer), int(size));
        altered[int(size) - 2] = char(altered[int(size) - 2] ^ 1);
        return real(fd, altered.constData(), size);
    }
    return real(fd, buffer, size);
}

int fsync(int fd)
{
    static auto *real = next<int(int)>("fsync");
    const int code = faultForFd("fsync", fd);
    return code > 0 ? fail(code) : real(fd);
}

int fchmod(int fd, mode_t mode) noexcept
{
    static auto *real = next<int(int, mode_t)>("fchmod");
    const int code = faultForFd("fchmod", fd);
    return code > 0 ? fail(code) : real(fd, mode);
}

int rename(const char *from, const char *to) noexcept
{
    static auto *real = next<int(const char *, const char *)>("rename");
    const int code = faultFor("rename", from);
    return code > 0 ? fail(code) : real(from, to);
}
}
