// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/IBusLibrary.h"

#include "config/Logging.h"

#include <dlfcn.h>

#include <optional>

namespace
{
// The ABI of the headers we build against.
const char *const libraryName = "libibus-1.0.so.5";

template <typename Function>
bool resolve(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function)
        qCWarning(quilmoLog) << "libibus lacks" << name;
    return function != nullptr;
}

std::optional<IBusLibrary> loadLibrary()
{
    // Never closed: GObject types cannot be unregistered.
    void *library = dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        qCWarning(quilmoLog) << "libibus unavailable:" << dlerror();
        return std::nullopt;
    }
    IBusLibrary functions;
    bool complete = true;
#define QUILMO_IBUS_RESOLVE(name)                                              \
    complete = resolve(library, #name, functions.name) && complete;
    QUILMO_IBUS_FUNCTIONS(QUILMO_IBUS_RESOLVE)
#undef QUILMO_IBUS_RESOLVE
    return complete ? std::optional(functions) : std::nullopt;
}
} // namespace

const IBusLibrary *IBusLibrary::load()
{
    static const std::optional<IBusLibrary> library = loadLibrary();
    return library ? &*library : nullptr;
}
