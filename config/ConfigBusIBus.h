// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_CONFIGBUSIBUS_H
#define QUILMO_CONFIGBUSIBUS_H

#include "config/ConfigBus.h"

#include <memory>

typedef struct _IBusBus IBusBus;
typedef struct _IBusConfig IBusConfig;
typedef struct _GVariant GVariant;

/**
 * @brief ConfigBus over the IBus configuration service, section
 * "engine/quilmo".
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

    /// Always true: without a daemon the window still opens and each write
    /// reports its failure.
    bool init() override;
    void uninit() override;
    void setValue_Int(const QString &name, int value) override;
    void setValue_String(const QString &name, const QString &value) override;

    /// How long one write may wait for the daemon, in milliseconds. Bounds
    /// the freeze a hung daemon causes to a few seconds per Apply.
    static const int callTimeoutMs;

private:
    struct GObjectUnref {
        void operator()(void *object) const;
    };

    IBusConfig *config();
    /// Hands the floating variant to the service; false when not stored.
    bool setValue(const QString &name, GVariant *value);

    std::unique_ptr<IBusBus, GObjectUnref> m_bus;
    std::unique_ptr<IBusConfig, GObjectUnref> m_config;
};

#endif
