// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_PRIVILEGES_H
#define QUILMO_PRIVILEGES_H

/**
 * Run as root on another user's home (sudo -E), becomes that user for
 * good: their groups, then their group, then their user id, real, effective
 * and saved alike. Root would otherwise follow links the user planted to
 * root's files, and leave files in the home that the user cannot replace;
 * the toolkit and the libraries write there too, so no narrower switch
 * covers them. Root on its own home stays root, but not where other users
 * may write (HOME=/tmp): they could plant links there to root's files.
 *
 * Call before any thread exists: the ids are per thread in the kernel.
 * @return false when the switch was needed but did not hold; then nothing
 * may be touched.
 */
bool becomeHomeOwner();

/// Says on standard error that the tool cannot run as the home's owner.
/// @return the exit status for it
int refuseForeignHome(int argc, char **argv);

#endif
