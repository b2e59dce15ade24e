// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/ConfigBusIBus.h"

#include <QDebug>

#include <ibus.h>

namespace
{
const char *const configSection = "engine/quilmo";

void reportFailure()
{
    qDebug() << "ibus set value failed!";
}
} // namespace

const int ConfigBusIBus::callTimeoutMs = 400;

void ConfigBusIBus::GObjectUnref::operator()(void *object) const
{
    g_object_unref(object);
}

ConfigBusIBus::ConfigBusIBus() = default;
ConfigBusIBus::~ConfigBusIBus() = default;

bool ConfigBusIBus::init()
{
    ibus_init();
    m_bus.reset(ibus_bus_new());
    config();
    return true;
}

void ConfigBusIBus::uninit() {}

IBusConfig *ConfigBusIBus::config()
{
    if (m_config) {
        GDBusConnection *connection =
            g_dbus_proxy_get_connection(G_DBUS_PROXY(m_config.get()));
        if (!g_dbus_connection_is_closed(connection))
            return m_config.get();
        m_config.reset();
    }
    if (!m_bus || !ibus_bus_is_connected(m_bus.get()))
        return nullptr;
    GDBusConnection *connection = ibus_bus_get_connection(m_bus.get());
    if (!connection)
        return nullptr;
    GError *error = nullptr;
    m_config.reset(ibus_config_new(connection, nullptr, &error));
    if (error) {
        qDebug() << "ibus config unavailable:" << error->message;
        g_error_free(error);
    }
    if (m_config)
        g_dbus_proxy_set_default_timeout(G_DBUS_PROXY(m_config.get()),
                                         callTimeoutMs);
    return m_config.get();
}

bool ConfigBusIBus::setValue(const QString &name, GVariant *value)
{
    IBusConfig *proxy = config();
    if (!proxy) {
        g_variant_unref(g_variant_ref_sink(value)); // nobody took it
        return false;
    }
    // The call consumes the floating reference.
    return ibus_config_set_value(proxy, configSection,
                                 name.toLatin1().constData(), value);
}

void ConfigBusIBus::setValue_Int(const QString &name, int value)
{
    qDebug() << "name: " << name << ", value: " << value;
    qDebug() << name.toLatin1().constData();
    if (!setValue(name, g_variant_new_int32(value)))
        reportFailure();
}

void ConfigBusIBus::setValue_String(const QString &name, const QString &value)
{
    // GLib needs UTF-8: file names of word libraries may be Chinese.
    if (!setValue(name, g_variant_new_string(value.toUtf8().constData())))
        reportFailure();
}
