// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/FileWrite.h"

#include <cerrno>
#include <unistd.h>

int writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno != EINTR)
            return errno;
        if (n > 0) {
            data += n;
            size -= std::size_t(n);
        }
    }
    return 0;
}
