// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_CONFIGBUSIBUS_H
#define QUILMO_CONFIGBUSIBUS_H

#include "config/ConfigBus.h"

#include <QDeadlineTimer>
#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

typedef struct _GAsyncResult GAsyncResult;
typedef struct _GCancellable GCancellable;
typedef struct _GMainContext GMainContext;
typedef struct _GObject GObject;
typedef struct _GVariant GVariant;
typedef struct _IBusBus IBusBus;
typedef struct _IBusConfig IBusConfig;

/**
 * @brief ConfigBus over the IBus configuration service, section
 * "engine/quilmo".
 *
 * A daemon that does not answer (stopped, swapped out) costs a bounded
 * time: the bus connects asynchronously, and GIO and libibus deliver what
 * they started to a main context of our own, which runs only while a write
 * waits for it, up to the write's allowance. Qt's event loop never runs
 * inside a write, so no click is handled in the middle of a commit. One
 * call stays synchronous inside libibus: finishing the proxy adds a match
 * rule with libibus's own timeout; it follows a reply of the daemon, so
 * only a daemon that stops right then makes it wait.
 *
 * Within a commit, values go out without waiting for their replies, in
 * order on one connection; settle() waits once for all of them. The debug
 * lines still come out as if each write had waited: a write's traces and
 * its failure line follow those of every write sent before it.
 *
 * The proxy is made lazily and only on a live connection: libibus asserts
 * on a null connection. A proxy whose connection has closed (the daemon
 * died) is dropped and made again on the next write, so a restarted daemon
 * gets later values.
 */
class ConfigBusIBus : public ConfigBus
{
public:
    ConfigBusIBus();
    ~ConfigBusIBus() override;

    /// Returns at once: libibus is loaded, and the bus connects, on first
    /// use. Always true: without a daemon, or without libibus, the window
    /// still opens and each write reports its failure.
    bool init() override;
    /// Drops the proxy and the bus; a later write connects again.
    void uninit() override;
    void setValue_Int(const QString &name, int value) override;
    void setValue_String(const QString &name, const QString &value) override;
    /// Waits for the connection as long as one write may.
    bool isReachable() override;
    /// The commit lasts until control returns to the event loop, where the
    /// next click begins another; a write outside any commit is bounded on
    /// its own.
    void beginCommit() override;
    /// A wait that runs out gives up the rest of the commit and the values
    /// still unanswered.
    void settle() override;
    bool commitDelivered() const override;

    /// How long one step (connecting, making the proxy, one write) may wait
    /// for the daemon, in milliseconds.
    static const int callTimeoutMs;
    /// How long all the steps of one commit may wait, in milliseconds.
    static const int commitBudgetMs;

private:
    struct GObjectUnref {
        void operator()(void *object) const;
    };
    struct MainContextUnref {
        void operator()(GMainContext *context) const;
    };

    /// A value sent and not yet reported.
    struct Write {
        QString name;
        /// The int whose trace lines still wait for the writes before it.
        std::optional<int> tracedValue;
        bool answered = false;
        bool stored = false;
    };

    /// Hands the floating variant to the service; outside a commit, waits
    /// for the reply.
    void send(const QString &name, GVariant *value,
              std::optional<int> tracedValue);
    void post(Write &write, GVariant *value);
    static void onValueSet(GObject *config, GAsyncResult *result, void *write);
    bool allAnswered() const;
    void cancelWrites();
    /// The lines still due for an answered write.
    void report(const Write &write);
    void startBudget();
    int allowanceMs() const;

    IBusConfig *config();
    /// Loads libibus and starts connecting, unless under way; false without
    /// libibus.
    bool startConnecting();
    bool connected();
    void dropClosedConfig();
    void makeConfig();
    static void onConfigMade(GObject *, GAsyncResult *result, void *self);

    /// Runs our context until @p done; a wait that the allowance cuts short
    /// gives up the rest of the commit.
    bool waitFor(const std::function<bool()> &done);
    bool runUntil(int timeoutMs, const std::function<bool()> &done);
    void runPending();

    // Declared first, gone last: the bus's sources are attached to it.
    std::unique_ptr<GMainContext, MainContextUnref> m_context;
    std::unique_ptr<GCancellable, GObjectUnref> m_cancellable;
    /// The writes' own: giving up on them leaves a proxy being made alone.
    std::unique_ptr<GCancellable, GObjectUnref> m_writesCancellable;
    std::unique_ptr<IBusBus, GObjectUnref> m_bus;
    std::unique_ptr<IBusConfig, GObjectUnref> m_config;
    bool m_configPending = false;
    /// In the order sent; a deque keeps each callback's entry in place.
    std::deque<Write> m_writes;

    QDeadlineTimer m_deadline; ///< of the commit, or of a lone write
    bool m_commitOpen = false;
    bool m_stalled = false; ///< a wait ran out: the rest fails at once
    bool m_delivered = true;
    QObject m_commitEnd; ///< context of the queued end of the commit
};

#endif
