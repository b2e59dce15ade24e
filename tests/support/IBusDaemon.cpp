// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/IBusDaemon.h"

#include <QDeadlineTimer>
#include <QThread>

#include <ibus.h>

#include <csignal>

namespace
{
const char *const memconf = "/usr/libexec/ibus-memconf";

using ConnectionPtr = std::unique_ptr<GDBusConnection, void (*)(gpointer)>;

ConnectionPtr connectTo(const QString &address)
{
    auto flags =
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    GDBusConnection *connection = g_dbus_connection_new_for_address_sync(
        address.toUtf8().constData(), flags, nullptr, nullptr, nullptr);
    return ConnectionPtr(connection, g_object_unref);
}

/// The reply, or null. Plain D-Bus on a connection of our own: an IBusConfig
/// would go through libibus's process-wide bus, which the code under test
/// owns and drives from its own main context.
GVariant *call(const QString &address, const char *service, const char *path,
               const char *interface, const char *method, GVariant *arguments)
{
    g_variant_ref_sink(arguments);
    ConnectionPtr connection = connectTo(address);
    GVariant *reply =
        connection
            ? g_dbus_connection_call_sync(connection.get(), service, path,
                                          interface, method, arguments, nullptr,
                                          G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000,
                                          nullptr, nullptr)
            : nullptr;
    g_variant_unref(arguments);
    return reply;
}
} // namespace

IBusDaemon::IBusDaemon() = default;

IBusDaemon::~IBusDaemon()
{
    resume();
    for (QProcess *process : {&m_ibus, &m_dbus}) {
        process->terminate();
        if (!process->waitForFinished(3000))
            process->kill();
        process->waitForFinished(3000);
    }
}

QString IBusDaemon::start()
{
    const QString notInstalled = whyNotInstalled(QStringLiteral("ibus-daemon"));
    if (!notInstalled.isEmpty())
        return notInstalled;
    if (!QFile::exists(QLatin1String(memconf)))
        return QStringLiteral("ibus-memconf is not installed");
    m_dbus.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1")});
    if (!m_dbus.waitForReadyRead(5000))
        return QStringLiteral("dbus-daemon did not start");
    m_dbusAddress = QString::fromUtf8(m_dbus.readLine()).trimmed();
    qputenv("IBUS_ADDRESS", address().toUtf8());
    // Fixed now, so that a restart keeps HOME: clients find a restarted
    // daemon through the address file it writes there.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_dbusAddress);
    m_ibus.setProcessEnvironment(env);
    m_ibus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    return startIBus();
}

QString IBusDaemon::address() const
{
    return QStringLiteral("unix:path=") +
           m_dir.filePath(QStringLiteral("ibus"));
}

QString IBusDaemon::startIBus()
{
    QFile::remove(m_dir.filePath(QStringLiteral("ibus"))); // a killed one's
    m_ibus.start(QStringLiteral("ibus-daemon"),
                 {QStringLiteral("--panel=disable"),
                  QStringLiteral("--emoji-extension=disable"),
                  QStringLiteral("--cache=none"),
                  QStringLiteral("--config=") + QLatin1String(memconf),
                  QStringLiteral("--address=") + address()});
    if (!m_ibus.waitForStarted(5000))
        return QStringLiteral("ibus-daemon did not start");
    if (!waitForConfigService())
        return QStringLiteral("the IBus configuration service did not come up");
    return QString();
}

bool IBusDaemon::waitForConfigService() const
{
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        GVariant *owner =
            call(address(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                 "org.freedesktop.DBus", "GetNameOwner",
                 g_variant_new("(s)", IBUS_SERVICE_CONFIG));
        if (owner) {
            g_variant_unref(owner);
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

void IBusDaemon::kill()
{
    m_ibus.kill();
    m_ibus.waitForFinished(3000);
}

QString IBusDaemon::restart()
{
    return startIBus();
}

void IBusDaemon::pause()
{
    if (m_ibus.state() == QProcess::Running)
        ::kill(pid_t(m_ibus.processId()), SIGSTOP);
}

void IBusDaemon::resume()
{
    if (m_ibus.state() == QProcess::Running)
        ::kill(pid_t(m_ibus.processId()), SIGCONT);
}

BusValue IBusDaemon::value(const QString &name) const
{
    GVariant *reply =
        call(address(), IBUS_SERVICE_CONFIG, IBUS_PATH_CONFIG,
             IBUS_INTERFACE_CONFIG, "GetValue",
             g_variant_new("(ss)", "engine/quilmo", name.toUtf8().constData()));
    if (!reply)
        return BusValue();
    GVariant *value = nullptr;
    g_variant_get(reply, "(v)", &value);
    g_variant_unref(reply);
    BusValue result;
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_INT32))
        result = int(g_variant_get_int32(value));
    else if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
        result = QString::fromUtf8(g_variant_get_string(value, nullptr));
    g_variant_unref(value);
    return result;
}
