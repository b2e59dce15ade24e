// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_SINGLEINSTANCE_H
#define QUILMO_SINGLEINSTANCE_H

#include <QLocalServer>
#include <QSharedMemory>
#include <QString>

class QWidget;

/**
 * @brief One copy of the tool per user, and a later start bringing that
 * copy's window to the front.
 *
 * The lock is the shared-memory segment under singleInstanceKey(). The
 * kernel drops the attachment of a process however it ends, so a segment
 * that nobody holds is what a crashed copy left, and the next start takes
 * it over.
 *
 * Raise requests go over a local socket in a directory only the user can
 * enter: $XDG_RUNTIME_DIR/quilmo-config, or without that variable
 * quilmo-config-<uid> in the temporary directory. Starts lock that
 * directory while they check the segment, so that of two simultaneous
 * starts only one runs. Where it cannot be made private (another owner,
 * group or other access), the segment guards alone and a later start
 * raises nothing.
 */
class SingleInstance
{
public:
    SingleInstance();

    /// Takes the lock; false when a live copy of this user holds it.
    bool acquire();
    /// Asks the copy that holds the lock to raise its window, waiting at
    /// most a second for it to answer.
    void raiseRunningCopy() const;
    /// Raises @p window whenever a later start asks, for as long as the
    /// window lives. Only for the copy that acquired the lock.
    void raiseOnRequest(QWidget *window);

    /// How many processes hold the lock; 0 when there is no segment.
    static int holderCount();

private:
    /// Attached to the segment: whether no live copy of ours holds it.
    bool isAttachedAlone() const;

    QSharedMemory m_lock;
    /// Empty when the directory is not private.
    QString m_socketPath;
    /// Declared after the lock, so that it closes, removing its socket
    /// file, before the lock goes and a successor may listen there.
    QLocalServer m_server;
};

#endif
