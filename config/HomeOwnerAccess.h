// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_HOMEOWNERACCESS_H
#define QUILMO_HOMEOWNERACCESS_H

#include <sys/types.h>

#include <vector>

/**
 * @brief While it lives, the process touches files as the owner of the
 * home directory, when it runs as root on another user's home (sudo -E).
 *
 * Root would otherwise follow links the user planted to files the user
 * may not write, and leave root-owned files and directories in the
 * user's home that the user's own next start cannot replace. As the
 * owner, what is created is theirs and what they may not touch stays out
 * of reach. Nothing changes for anyone else, nor for root's own home.
 */
class HomeOwnerAccess
{
public:
    HomeOwnerAccess();
    ~HomeOwnerAccess();
    HomeOwnerAccess(const HomeOwnerAccess &) = delete;
    HomeOwnerAccess &operator=(const HomeOwnerAccess &) = delete;

    /// The switch was needed but could not be made: touch nothing.
    bool failed() const { return m_failed; }

private:
    bool m_switched = false;
    bool m_failed = false;
    gid_t m_group = 0;
    std::vector<gid_t> m_groups;
};

#endif
