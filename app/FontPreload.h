// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_FONTPRELOAD_H
#define QUILMO_FONTPRELOAD_H

#include <thread>

/**
 * Loads the system's font configuration on a second thread while Qt
 * connects to the display. The first page cannot be measured without it,
 * and on the main thread it takes about a sixth of the time to the window.
 *
 * Fontconfig reads the locale and the environment as it loads: neither may
 * change until wait() returns. The locale is set before the thread starts,
 * as QCoreApplication sets it again. Qt's construction changes the
 * environment only to take DESKTOP_STARTUP_ID out of it: take that out
 * first (takeStartupId()).
 */
class FontPreload
{
public:
    FontPreload();
    ~FontPreload();
    FontPreload(const FontPreload &) = delete;
    FontPreload &operator=(const FontPreload &) = delete;

    /// Returns once the configuration is loaded, or failed to load.
    void wait();

private:
    std::thread m_loading;
};

#endif
