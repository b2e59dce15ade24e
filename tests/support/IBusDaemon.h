// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TESTS_IBUSDAEMON_H
#define QUILMO_TESTS_IBUSDAEMON_H

#include "support/TestSupport.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

/**
 * @brief A private D-Bus session and ibus-daemon (with the in-memory
 * configuration service) for one test process.
 *
 * start() exports IBUS_ADDRESS so that the code under test connects to it;
 * value() reads what reached "engine/quilmo" over a connection of its own.
 */
class IBusDaemon
{
public:
    IBusDaemon();
    ~IBusDaemon();

    /// Starts both daemons and waits for the configuration service.
    /// @return an empty string, or why the daemon is not available.
    QString start();
    /// Kills ibus-daemon (SIGKILL): the bus drops its connections.
    void kill();
    /// Starts ibus-daemon again on the same address.
    QString restart();
    /// SIGSTOP / SIGCONT: a daemon that hangs without closing connections.
    void pause();
    void resume();

    /// The value stored under "engine/quilmo"/@p name: nothing when absent
    /// or not reachable.
    BusValue value(const QString &name) const;
    QString address() const;
    /// The private D-Bus session's address, for clients started by a test.
    QString sessionBusAddress() const { return m_dbusAddress; }

private:
    QString startIBus();
    bool waitForConfigService() const;

    QTemporaryDir m_dir;
    QProcess m_dbus;
    QProcess m_ibus;
    QString m_dbusAddress;
};

#endif
