// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/ConfigBusIBus.h"

#include "config/IBusLibrary.h"
#include "config/Logging.h"

#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace
{
const char *const configSection = "engine/quilmo";

void reportFailure()
{
    qCDebug(quilmoLog) << "ibus set value failed!";
}

void traceInt(const QString &name, int value)
{
    // Both traces are kept word for word on purpose: logs are read by them.
    qCDebug(quilmoLog) << "name: " << name << ", value: " << value;
    qCDebug(quilmoLog) << name.toLatin1().constData();
}

/// GIO and libibus attach the callbacks of what they start to the thread's
/// default main context: while this lives, that is ours.
class ThreadDefaultContext
{
public:
    explicit ThreadDefaultContext(GMainContext *context) : m_context(context)
    {
        g_main_context_push_thread_default(m_context);
    }
    ~ThreadDefaultContext() { g_main_context_pop_thread_default(m_context); }
    ThreadDefaultContext(const ThreadDefaultContext &) = delete;
    ThreadDefaultContext &operator=(const ThreadDefaultContext &) = delete;

private:
    GMainContext *m_context;
};

/// Whether a daemon may be listening at the D-Bus address @p address.
/// Only a Unix socket that refuses the connection (or is not there) is
/// known to be dead; a stopped daemon still takes connections.
bool mayListen(const char *address)
{
    const QByteArray unix("unix:");
    for (const QByteArray &entry : QByteArray(address).split(';')) {
        if (!entry.startsWith(unix))
            return true;
        for (const QByteArray &pair : entry.mid(unix.size()).split(',')) {
            sockaddr_un socketAddress{};
            socketAddress.sun_family = AF_UNIX;
            const bool abstract = pair.startsWith("abstract=");
            const QByteArray path = pair.mid(pair.indexOf('=') + 1);
            if ((!abstract && !pair.startsWith("path=")) ||
                path.size() + 1 >= int(sizeof socketAddress.sun_path))
                continue;
            memcpy(socketAddress.sun_path + abstract, path.constData(),
                   size_t(path.size()));
            const int fd =
                socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            const int result =
                ::connect(fd, reinterpret_cast<sockaddr *>(&socketAddress),
                          socklen_t(offsetof(sockaddr_un, sun_path) + abstract +
                                    size_t(path.size())));
            const int error = result == 0 ? 0 : errno;
            close(fd);
            if (error != ECONNREFUSED && error != ENOENT)
                return true;
        }
    }
    return false;
}

/// Only once the bus has loaded it: whatever calls this has a bus.
const IBusLibrary &ibus()
{
    return *IBusLibrary::load();
}

gboolean raiseFlag(gpointer flag)
{
    *static_cast<bool *>(flag) = true;
    return G_SOURCE_REMOVE;
}
} // namespace

const int ConfigBusIBus::callTimeoutMs = 400;
const int ConfigBusIBus::commitBudgetMs = 1000;

void ConfigBusIBus::GObjectUnref::operator()(void *object) const
{
    ibus().g_object_unref(object);
}

void ConfigBusIBus::MainContextUnref::operator()(GMainContext *context) const
{
    g_main_context_unref(context);
}

ConfigBusIBus::ConfigBusIBus() : m_context(g_main_context_new()) {}

ConfigBusIBus::~ConfigBusIBus()
{
    ConfigBusIBus::uninit();
}

bool ConfigBusIBus::init()
{
    // libibus's own calls while it makes the proxy (a match rule) wait this
    // long too. Not the session's value: for one it cannot read libibus
    // waits 15 s, for -1 for ever.
    qputenv("IBUS_TIMEOUT", QByteArray::number(callTimeoutMs));
    return true;
}

bool ConfigBusIBus::startConnecting()
{
    if (m_bus)
        return true;
    if (!IBusLibrary::load())
        return false;
    ibus().ibus_init();
    m_cancellable.reset(ibus().g_cancellable_new());
    m_writesCancellable.reset(ibus().g_cancellable_new());
    const ThreadDefaultContext scope(m_context.get());
    m_bus.reset(ibus().ibus_bus_new_async());
    return true;
}

void ConfigBusIBus::uninit()
{
    // Their callbacks point into this object, and their failures are no
    // later connection's.
    settle();
    if (!m_bus)
        return;
    const ThreadDefaultContext scope(m_context.get());
    ibus().g_cancellable_cancel(m_cancellable.get());
    // The callback needs this object: let it run while we still exist.
    runUntil(callTimeoutMs, [this] { return !m_configPending; });
    m_config.reset();
    m_bus.reset();
    m_writesCancellable.reset();
    m_cancellable.reset();
}

bool ConfigBusIBus::isReachable()
{
    startBudget();
    return connected();
}

void ConfigBusIBus::beginCommit()
{
    startBudget();
    m_delivered = true;
    m_commitOpen = true;
    // Our waits never run Qt's event loop, so this fires only once the
    // click that began the commit has been handled.
    QTimer::singleShot(0, &m_commitEnd, [this] { m_commitOpen = false; });
}

void ConfigBusIBus::settle()
{
    const ThreadDefaultContext scope(m_context.get());
    if (!waitFor([this] { return allAnswered(); }))
        cancelWrites();
    for (const Write &write : std::exchange(m_writes, {}))
        report(write);
}

bool ConfigBusIBus::commitDelivered() const
{
    return m_delivered;
}

void ConfigBusIBus::startBudget()
{
    m_deadline.setRemainingTime(commitBudgetMs);
    m_stalled = false;
}

int ConfigBusIBus::allowanceMs() const
{
    return int(
        std::clamp<qint64>(m_deadline.remainingTime(), 0, callTimeoutMs));
}

bool ConfigBusIBus::waitFor(const std::function<bool()> &done)
{
    if (runUntil(allowanceMs(), done))
        return true;
    m_stalled = true;
    return false;
}

bool ConfigBusIBus::runUntil(int timeoutMs, const std::function<bool()> &done)
{
    if (done() || timeoutMs <= 0)
        return done();
    bool expired = false;
    GSource *timeout = g_timeout_source_new(guint(timeoutMs));
    g_source_set_callback(timeout, raiseFlag, &expired, nullptr);
    g_source_attach(timeout, m_context.get());
    while (!done() && !expired)
        g_main_context_iteration(m_context.get(), TRUE);
    g_source_destroy(timeout);
    g_source_unref(timeout);
    return done();
}

void ConfigBusIBus::runPending()
{
    while (g_main_context_iteration(m_context.get(), FALSE)) {
    }
}

IBusConfig *ConfigBusIBus::config()
{
    runPending(); // notices a closed connection or a restarted daemon
    dropClosedConfig();
    if (!m_config && connected()) {
        if (!m_configPending)
            makeConfig();
        waitFor([this] { return !m_configPending; });
    }
    return m_config.get();
}

bool ConfigBusIBus::connected()
{
    if (!startConnecting())
        return false;
    // Without an address, or with one where nothing listens, libibus has no
    // connection under way to wait for.
    const char *address = ibus().ibus_get_address();
    if (!ibus().ibus_bus_is_connected(m_bus.get()) &&
        (!address || !mayListen(address)))
        return false;
    return waitFor(
        [this] { return ibus().ibus_bus_is_connected(m_bus.get()); });
}

void ConfigBusIBus::dropClosedConfig()
{
    if (m_config &&
        ibus().g_dbus_connection_is_closed(ibus().g_dbus_proxy_get_connection(
            reinterpret_cast<GDBusProxy *>(m_config.get()))))
        m_config.reset();
}

void ConfigBusIBus::makeConfig()
{
    m_configPending = true;
    ibus().ibus_config_new_async(ibus().ibus_bus_get_connection(m_bus.get()),
                                 m_cancellable.get(),
                                 &ConfigBusIBus::onConfigMade, this);
}

void ConfigBusIBus::onConfigMade(GObject *, GAsyncResult *result, void *self)
{
    auto *bus = static_cast<ConfigBusIBus *>(self);
    GError *error = nullptr;
    bus->m_config.reset(ibus().ibus_config_new_async_finish(result, &error));
    bus->m_configPending = false;
    if (error) {
        qCWarning(quilmoLog) << "ibus config unavailable:" << error->message;
        g_error_free(error);
    }
}

void ConfigBusIBus::send(const QString &name, GVariant *value,
                         std::optional<int> tracedValue)
{
    if (!m_commitOpen)
        startBudget();
    // Ours until here; the call takes a reference of its own.
    std::unique_ptr<GVariant, void (*)(GVariant *)> held(
        g_variant_ref_sink(value), g_variant_unref);
    {
        const ThreadDefaultContext scope(m_context.get());
        // Anything logged while sending the first (the proxy's failure)
        // follows its traces, as when every write waited.
        if (tracedValue && m_writes.empty())
            traceInt(name, *std::exchange(tracedValue, std::nullopt));
        m_writes.push_back({name, tracedValue});
        post(m_writes.back(), held.get());
    }
    if (!m_commitOpen)
        settle();
}

void ConfigBusIBus::post(Write &write, GVariant *value)
{
    IBusConfig *proxy = m_stalled ? nullptr : config();
    if (!proxy || allowanceMs() == 0) {
        write.answered = true; // and not stored
        return;
    }
    // No timeout of its own: settle() bounds the wait and cancels.
    ibus().ibus_config_set_value_async(proxy, configSection,
                                       write.name.toLatin1().constData(), value,
                                       G_MAXINT, m_writesCancellable.get(),
                                       &ConfigBusIBus::onValueSet, &write);
}

void ConfigBusIBus::onValueSet(GObject *config, GAsyncResult *result,
                               void *write)
{
    auto *entry = static_cast<Write *>(write);
    entry->stored = ibus().ibus_config_set_value_async_finish(
        reinterpret_cast<IBusConfig *>(config), result, nullptr);
    entry->answered = true;
}

bool ConfigBusIBus::allAnswered() const
{
    return std::all_of(m_writes.cbegin(), m_writes.cend(),
                       [](const Write &write) { return write.answered; });
}

void ConfigBusIBus::cancelWrites()
{
    ibus().g_cancellable_cancel(m_writesCancellable.get());
    // Each callback points at its entry: all of them come back before the
    // entries go. Cancelled, they do so at once.
    while (!allAnswered())
        g_main_context_iteration(m_context.get(), TRUE);
    m_writesCancellable.reset(ibus().g_cancellable_new());
}

void ConfigBusIBus::report(const Write &write)
{
    if (write.tracedValue)
        traceInt(write.name, *write.tracedValue);
    if (!write.stored)
        reportFailure();
    m_delivered = m_delivered && write.stored;
}

void ConfigBusIBus::setValue_Int(const QString &name, int value)
{
    send(name, g_variant_new_int32(value), value);
}

void ConfigBusIBus::setValue_String(const QString &name, const QString &value)
{
    // GLib needs UTF-8: file names of word libraries may be Chinese.
    send(name, g_variant_new_string(value.toUtf8().constData()), std::nullopt);
}
