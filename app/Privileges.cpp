// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Privileges.h"

#include "app/Translations.h"
#include "config/Config.h"

#include <QCoreApplication>
#include <QFile>

#include <grp.h>
#include <iostream>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
/// Whether the process may raise capabilities (so set its ids back to 0):
/// kept across setuid by securebits (keep_caps, no_setuid_fixup).
bool hasCapabilities()
{
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct sets[_LINUX_CAPABILITY_U32S_3] = {};
    return syscall(SYS_capget, &header, sets) != 0 || sets[0].permitted != 0 ||
           sets[1].permitted != 0;
}

/// Whether every id is @p user's and @p group's and root is out of reach.
bool isOnly(uid_t user, gid_t group)
{
    uid_t real, effective, saved;
    gid_t realGroup, effectiveGroup, savedGroup;
    return getresuid(&real, &effective, &saved) == 0 && real == user &&
           effective == user && saved == user &&
           getresgid(&realGroup, &effectiveGroup, &savedGroup) == 0 &&
           realGroup == group && effectiveGroup == group &&
           savedGroup == group && !hasCapabilities();
}

/// Whether @p home is root's, but others may write to it (HOME=/tmp, say):
/// root would follow the links they plant there.
bool isSharedRootHome(const struct stat &home)
{
    return home.st_uid == 0 && (home.st_mode & 022) != 0;
}

bool homeStatus(struct stat *home)
{
    return geteuid() == 0 &&
           stat(QFile::encodeName(Config::homePath()).constData(), home) == 0;
}
} // namespace

bool becomeHomeOwner()
{
    struct stat home;
    if (!homeStatus(&home))
        return true;
    if (home.st_uid == 0)
        return !isSharedRootHome(home);
    // The groups as a login gives them; an owner without an account keeps
    // only the home's group.
    const passwd *entry = getpwuid(home.st_uid);
    const gid_t group = entry ? entry->pw_gid : home.st_gid;
    const bool grouped = entry ? initgroups(entry->pw_name, group) == 0
                               : setgroups(1, &group) == 0;
    // The user id last: it ends the right to change the others.
    return grouped && setresgid(group, group, group) == 0 &&
           setresuid(home.st_uid, home.st_uid, home.st_uid) == 0 &&
           isOnly(home.st_uid, group);
}

int refuseForeignHome(int argc, char **argv)
{
    // Only to find the message in the user's language: no window, no file.
    QCoreApplication application(argc, argv);
    installTranslations();
    struct stat home;
    std::cerr << qPrintable(homeStatus(&home) && isSharedRootHome(home)
                                ? QCoreApplication::translate(
                                      "Privileges", "其他用户可以写入主目录，"
                                                    "以 root 身份运行不安全，"
                                                    "未做任何更改。")
                                : QCoreApplication::translate(
                                      "Privileges",
                                      "无法切换为主目录所有者的身份运行，"
                                      "未做任何更改。"))
              << std::endl;
    return -1;
}
