// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/ConfigBus.h"

#include "config/ConfigBusIBus.h"

#include <utility>

ConfigBus *ConfigBus::s_instance = nullptr;

ConfigBus *ConfigBus::instance()
{
    if (!s_instance)
        s_instance = new ConfigBusIBus; // lives until the process exits
    return s_instance;
}

ConfigBus *ConfigBus::setInstance(ConfigBus *bus)
{
    return std::exchange(s_instance, bus);
}

bool ConfigBus::isReachable()
{
    return true;
}

void ConfigBus::beginCommit() {}

void ConfigBus::settle() {}

bool ConfigBus::commitDelivered() const
{
    return true; // a bus that cannot tell has nothing to report
}
