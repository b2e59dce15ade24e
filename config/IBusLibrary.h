// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_IBUSLIBRARY_H
#define QUILMO_IBUSLIBRARY_H

#include <ibus.h>

// What the bus calls of libibus and of the GIO and GObject it brings.
#define QUILMO_IBUS_FUNCTIONS(X)                                               \
    X(g_object_unref)                                                          \
    X(g_cancellable_new)                                                       \
    X(g_cancellable_cancel)                                                    \
    X(g_dbus_connection_is_closed)                                             \
    X(g_dbus_proxy_get_connection)                                             \
    X(ibus_init)                                                               \
    X(ibus_get_address)                                                        \
    X(ibus_bus_new_async)                                                      \
    X(ibus_bus_is_connected)                                                   \
    X(ibus_bus_get_connection)                                                 \
    X(ibus_config_new_async)                                                   \
    X(ibus_config_new_async_finish)                                            \
    X(ibus_config_set_value_async)                                             \
    X(ibus_config_set_value_async_finish)

/**
 * @brief libibus, loaded when the bus is first used rather than with the
 * program.
 *
 * It brings GIO, GObject, libmount, libblkid and SELinux: mapping and
 * binding them cost the start a few milliseconds before the window, for a
 * service that the first frame does not need. Each member is the function
 * of its name.
 */
struct IBusLibrary {
#define QUILMO_IBUS_MEMBER(name) decltype(&::name) name = nullptr;
    QUILMO_IBUS_FUNCTIONS(QUILMO_IBUS_MEMBER)
#undef QUILMO_IBUS_MEMBER

    /// Loaded once and kept; null, with a warning, when libibus is missing
    /// or lacks one of the functions.
    static const IBusLibrary *load();
};

#endif
