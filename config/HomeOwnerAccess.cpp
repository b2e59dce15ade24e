// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/HomeOwnerAccess.h"

#include "config/Config.h"

#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

HomeOwnerAccess::HomeOwnerAccess()
{
    struct stat home;
    if (geteuid() != 0 ||
        stat(QFile::encodeName(Config::homePath()).constData(), &home) != 0 ||
        home.st_uid == 0)
        return;
    m_group = getegid();
    m_groups.resize(size_t(std::max(getgroups(0, nullptr), 0)));
    if (getgroups(int(m_groups.size()), m_groups.data()) < 0)
        m_groups.clear();
    m_switched = true;
    // The groups first: once the user id is no longer 0, they are fixed.
    m_failed = setgroups(1, &home.st_gid) != 0 || setegid(home.st_gid) != 0 ||
               seteuid(home.st_uid) != 0;
}

HomeOwnerAccess::~HomeOwnerAccess()
{
    if (!m_switched)
        return;
    // Root again, or nothing else may run: a failure here leaves the
    // process with an identity that nobody chose.
    if (seteuid(0) != 0 || setegid(m_group) != 0 ||
        setgroups(m_groups.size(), m_groups.data()) != 0)
        std::abort();
}
