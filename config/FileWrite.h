// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_FILEWRITE_H
#define QUILMO_FILEWRITE_H

#include <cstddef>

/// Writes all @p size bytes at @p data to @p fd, through short writes and
/// interruptions. @return 0, or the errno of the failure.
int writeAll(int fd, const char *data, std::size_t size);

#endif
