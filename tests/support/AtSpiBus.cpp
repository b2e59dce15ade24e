// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/AtSpiBus.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace
{
const char launcherPath[] = "/usr/libexec/at-spi-bus-launcher";
const char registry[] = "org.a11y.atspi.Registry";
const char accessible[] = "org.a11y.atspi.Accessible";
const char rootPath[] = "/org/a11y/atspi/accessible/root";
const guint32 labelledBy = 2; // ATSPI_RELATION_LABELLED_BY
const int callTimeoutMs = 5000;

GDBusConnection *connectTo(const QByteArray &address)
{
    auto flags =
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    return g_dbus_connection_new_for_address_sync(address.constData(), flags,
                                                  nullptr, nullptr, nullptr);
}

/// The accessibility bus's address from org.a11y.Bus on the session bus,
/// once the launcher has claimed the name.
QByteArray accessibilityBusAddress(const QString &sessionBusAddress)
{
    GDBusConnection *session = connectTo(sessionBusAddress.toUtf8());
    if (!session)
        return QByteArray();
    QByteArray address;
    const QDeadlineTimer deadline(10000);
    while (address.isEmpty() && !deadline.hasExpired()) {
        // No auto-start: D-Bus would start a launcher of its own.
        GVariant *reply = g_dbus_connection_call_sync(
            session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
            "GetAddress", nullptr, G_VARIANT_TYPE("(s)"),
            G_DBUS_CALL_FLAGS_NO_AUTO_START, callTimeoutMs, nullptr, nullptr);
        if (reply) {
            const gchar *text = nullptr;
            g_variant_get(reply, "(&s)", &text);
            address = text;
            g_variant_unref(reply);
        } else {
            QThread::msleep(50);
        }
    }
    g_object_unref(session);
    return address;
}
} // namespace

AtSpiBus::~AtSpiBus()
{
    for (guint subscription : {m_subscription, m_nameSubscription})
        if (subscription)
            g_dbus_connection_signal_unsubscribe(m_bus, subscription);
    if (m_bus)
        g_object_unref(m_bus);
    m_launcher.terminate();
    if (!m_launcher.waitForFinished(3000))
        m_launcher.kill();
    m_launcher.waitForFinished(3000);
}

QString AtSpiBus::start(const QString &sessionBusAddress)
{
    if (!QFile::exists(QLatin1String(launcherPath)))
        return QStringLiteral("at-spi2-core is not installed");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), sessionBusAddress);
    // Its sockets, and any settings it reads, in a directory of its own.
    env.insert(QStringLiteral("HOME"), m_runtimeDir.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir.path());
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_launcher.setProcessEnvironment(env);
    m_launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_launcher.start(QLatin1String(launcherPath), QStringList());
    const QByteArray address = accessibilityBusAddress(sessionBusAddress);
    m_bus = address.isEmpty() ? nullptr : connectTo(address);
    if (!m_bus)
        return QStringLiteral("no accessibility bus on the session bus");

    m_subscription = g_dbus_connection_signal_subscribe(
        m_bus, nullptr, "org.a11y.atspi.Event.Object", "StateChanged", nullptr,
        "checked", G_DBUS_SIGNAL_FLAGS_NONE, &AtSpiBus::onStateChanged, this,
        nullptr);
    m_nameSubscription = g_dbus_connection_signal_subscribe(
        m_bus, nullptr, "org.a11y.atspi.Event.Object", "PropertyChange",
        nullptr, "accessible-name", G_DBUS_SIGNAL_FLAGS_NONE,
        &AtSpiBus::onPropertyChange, this, nullptr);
    return QString();
}

QVector<AccessibleObject> AtSpiBus::waitForApplication(int timeoutMs)
{
    QVector<QPair<QString, QString>> applications;
    const QDeadlineTimer deadline(timeoutMs);
    while (applications.isEmpty() && !deadline.hasExpired()) {
        applications =
            references(call(QLatin1String(registry), QLatin1String(rootPath),
                            accessible, "GetChildren"));
        if (applications.isEmpty())
            QThread::msleep(50);
    }
    QVector<AccessibleObject> tree;
    if (applications.isEmpty() ||
        !registerListener("object:state-changed:checked") ||
        !registerListener("object:property-change:accessible-name"))
        return tree;
    walk(applications.first().first, applications.first().second, &tree);
    return tree;
}

bool AtSpiBus::registerListener(const char *event) const
{
    Reply reply = call(
        QLatin1String(registry), QStringLiteral("/org/a11y/atspi/registry"),
        registry, "RegisterEvent",
        g_variant_new("(s@ass)", event,
                      g_variant_new_array(G_VARIANT_TYPE_STRING, nullptr, 0),
                      ""));
    return bool(reply);
}

void AtSpiBus::walk(const QString &bus, const QString &path,
                    QVector<AccessibleObject> *tree) const
{
    QString role;
    if (Reply reply = call(bus, path, accessible, "GetRoleName")) {
        const gchar *text = nullptr;
        g_variant_get(reply.get(), "(&s)", &text);
        role = QString::fromUtf8(text);
    }
    tree->append({path, role, name(bus, path), labels(bus, path)});
    for (const auto &child :
         references(call(bus, path, accessible, "GetChildren")))
        walk(child.first, child.second, tree);
}

QString AtSpiBus::name(const QString &bus, const QString &path) const
{
    Reply reply = call(bus, path, "org.freedesktop.DBus.Properties", "Get",
                       g_variant_new("(ss)", accessible, "Name"));
    if (!reply)
        return QString();
    GVariant *value = nullptr;
    g_variant_get(reply.get(), "(v)", &value);
    const QString text =
        QString::fromUtf8(g_variant_get_string(value, nullptr));
    g_variant_unref(value);
    return text;
}

QStringList AtSpiBus::labels(const QString &bus, const QString &path) const
{
    QStringList names;
    Reply reply = call(bus, path, accessible, "GetRelationSet");
    if (!reply)
        return names;
    GVariantIter *relations = nullptr;
    g_variant_get(reply.get(), "(a(ua(so)))", &relations);
    guint32 type = 0;
    GVariantIter *targets = nullptr;
    while (g_variant_iter_next(relations, "(ua(so))", &type, &targets)) {
        const gchar *targetBus = nullptr;
        const gchar *targetPath = nullptr;
        while (g_variant_iter_next(targets, "(&s&o)", &targetBus, &targetPath))
            if (type == labelledBy)
                names.append(name(QString::fromUtf8(targetBus),
                                  QString::fromUtf8(targetPath)));
        g_variant_iter_free(targets);
    }
    g_variant_iter_free(relations);
    return names;
}

QStringList AtSpiBus::renamedObjects() const
{
    QStringList names;
    for (const auto &object : m_renamed)
        names.append(name(object.first, object.second));
    return names;
}

QVector<QPair<QString, QString>> AtSpiBus::references(const Reply &reply) const
{
    QVector<QPair<QString, QString>> found;
    if (!reply)
        return found;
    GVariantIter *iter = nullptr;
    g_variant_get(reply.get(), "(a(so))", &iter);
    const gchar *bus = nullptr;
    const gchar *path = nullptr;
    while (g_variant_iter_next(iter, "(&s&o)", &bus, &path))
        found.append({QString::fromUtf8(bus), QString::fromUtf8(path)});
    g_variant_iter_free(iter);
    return found;
}

AtSpiBus::Reply AtSpiBus::call(const QString &bus, const QString &path,
                               const char *interface, const char *method,
                               GVariant *arguments) const
{
    return Reply(g_dbus_connection_call_sync(
                     m_bus, bus.toUtf8().constData(), path.toUtf8().constData(),
                     interface, method, arguments, nullptr,
                     G_DBUS_CALL_FLAGS_NONE, callTimeoutMs, nullptr, nullptr),
                 &g_variant_unref);
}

void AtSpiBus::onStateChanged(GDBusConnection *, const gchar *,
                              const gchar *path, const gchar *, const gchar *,
                              GVariant *parameters, gpointer self)
{
    gint32 checked = 0;
    g_variant_get_child(parameters, 1, "i", &checked);
    if (checked)
        static_cast<AtSpiBus *>(self)->m_checked.append(
            QString::fromUtf8(path));
}

void AtSpiBus::onPropertyChange(GDBusConnection *, const gchar *sender,
                                const gchar *path, const gchar *, const gchar *,
                                GVariant *, gpointer self)
{
    static_cast<AtSpiBus *>(self)->m_renamed.append(
        {QString::fromUtf8(sender), QString::fromUtf8(path)});
}
