// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_SINGLEINSTANCE_H
#define QUILMO_SINGLEINSTANCE_H

#include <QSharedMemory>

/**
 * @brief One copy of the tool per user.
 *
 * The lock is the shared-memory segment under singleInstanceKey(). The
 * kernel drops the attachment of a process however it ends, so a segment
 * that nobody holds is what a crashed copy left, and the next start takes
 * it over.
 *
 * Starts lock a directory only the user can enter while they check the
 * segment, so that of two simultaneous starts only one runs:
 * $XDG_RUNTIME_DIR/quilmo-config, or without that variable
 * quilmo-config-<uid> in the temporary directory. Where it cannot be made
 * private (another owner, group or other access), the segment guards alone.
 */
class SingleInstance
{
public:
    SingleInstance();

    /// Takes the lock; false when a live copy of this user holds it.
    bool acquire();

    /// How many processes hold the lock; 0 when there is no segment.
    static int holderCount();

private:
    QSharedMemory m_lock;
};

#endif
