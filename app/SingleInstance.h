// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_SINGLEINSTANCE_H
#define QUILMO_SINGLEINSTANCE_H

#include <QLockFile>
#include <QSocketNotifier>
#include <QString>

#include <memory>

class QWidget;

/**
 * @brief One copy of the tool per user, and a later start bringing that
 * copy's window to the front.
 *
 * The lock is the file singleInstanceKey() in a directory that only the
 * user may enter: $XDG_RUNTIME_DIR/quilmo-config, else
 * ~/.cache/quilmo-config. Nobody else can plant or hold it, and no
 * temporary directory is involved. QLockFile keeps it with flock() and the
 * holder's pid, so a copy that crashed or was killed holds nothing.
 *
 * Raise requests go over the Unix socket "socket" next to the lock, one
 * line each, answered with a line end once the window is in front. Each
 * carries the later start's activation token, without which a desktop may
 * refuse to bring a window forward. Plain sockets: QtNetwork and what it
 * loads would lengthen every start by a few milliseconds.
 */
class SingleInstance
{
public:
    /// Removes the socket file, before the lock goes and a successor may
    /// listen there.
    ~SingleInstance();

    /// Takes the lock; false when a live copy of this user holds it. Where
    /// no private directory or no lock file in it can be made (a full
    /// disk), says so and runs unlocked.
    bool acquire();
    /// Asks the copy that holds the lock to raise its window, with this
    /// start's activation token: XDG_ACTIVATION_TOKEN on Wayland, else
    /// @p startupId, DESKTOP_STARTUP_ID as the process started with (Qt's
    /// X11 support takes it away). Waits at most a second for the answer.
    void raiseRunningCopy(const QByteArray &startupId) const;
    /// Raises @p window whenever a later start asks, for as long as the
    /// window lives. Only for the copy that acquired the lock.
    void raiseOnRequest(QWidget *window);

    /// The private directory, made if missing; empty when none is usable.
    static QString privateDirectory();

private:
    QString socketPath() const;

    QString m_directory;
    std::unique_ptr<QLockFile> m_lock;
    /// Watches the listening socket, which it holds, for raise requests.
    std::unique_ptr<QSocketNotifier> m_requests;
};

#endif
