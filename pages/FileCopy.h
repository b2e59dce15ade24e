// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_FILECOPY_H
#define QUILMO_FILECOPY_H

#include <QByteArray>

#include <functional>

/// Told the bytes copied so far and the size of the source after each
/// chunk; false cancels the copy.
using CopyProgress = std::function<bool(qint64 copied, qint64 total)>;

/**
 * Copies the file @p source to the new file @p target (both native
 * paths) in chunks of 1 MiB, through a hidden file beside the target that
 * becomes the target only when complete. A cancelled or failed copy leaves
 * nothing behind, and an existing target is never replaced.
 * @return 0, ECANCELED when @p progress cancelled it, or the errno of the
 * failure (EEXIST: the target appeared meanwhile).
 */
int copyToNewFile(const QByteArray &source, const QByteArray &target,
                  const CopyProgress &progress);

#endif
