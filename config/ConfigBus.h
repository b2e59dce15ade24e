// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_CONFIGBUS_H
#define QUILMO_CONFIGBUS_H

#include <QString>

/**
 * @brief Pushes committed values to the running input method.
 *
 * One process-wide instance, reached through instance() right before each
 * call. Writes are fire-and-forget: a failure is logged by the
 * implementation, never returned, so a page always goes on to the file;
 * the container asks commitDelivered() once the whole commit is done.
 */
class ConfigBus
{
public:
    virtual ~ConfigBus() = default;

    /// The process-wide instance; created (not initialised) on first use
    /// and never deleted.
    static ConfigBus *instance();

    /// Replaces the instance, for tests that record or fake the bus. The
    /// caller keeps ownership of both. @return the instance replaced.
    static ConfigBus *setInstance(ConfigBus *bus);

    /// Connects to the service. Returns false only if start-up must stop.
    virtual bool init() = 0;
    virtual void uninit() = 0;
    virtual void setValue_Int(const QString &name, int value) = 0;
    virtual void setValue_String(const QString &name, const QString &value) = 0;

    /// Whether the service answers now, after init(); true when this bus
    /// cannot tell.
    virtual bool isReachable();

    /// Starts one commit (one OK or Apply): within it a service that does not
    /// answer costs a bounded time in all, and commitDelivered() reports on it.
    virtual void beginCommit();
    /// Waits for the replies to every value sent so far and reports each
    /// failure. Within a commit, writes may be answered only here.
    virtual void settle();
    /// Whether every write since beginCommit() reached the service; true when
    /// there was none. Asked after settle().
    virtual bool commitDelivered() const;

private:
    static ConfigBus *s_instance;
};

#endif
