// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/FontPreload.h"

#include <fontconfig/fontconfig.h>

#include <clocale>

FontPreload::FontPreload()
{
    std::setlocale(LC_ALL, "");
    m_loading = std::thread(FcInit);
}

FontPreload::~FontPreload()
{
    wait();
}

void FontPreload::wait()
{
    if (m_loading.joinable())
        m_loading.join();
}
