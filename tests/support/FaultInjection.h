// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TESTS_FAULTINJECTION_H
#define QUILMO_TESTS_FAULTINJECTION_H

/// Codes besides errno values: a write that stores one byte less, or one
/// byte changed (the last but one), and reports success.
enum { ShortWrite = -1, AlteredWrite = -2 };

/**
 * For its lifetime, makes every @p call ("write", "fsync", "fchmod" or
 * "rename") on a path matching @p pathPattern (fnmatch) fail with the errno
 * @p code, or come out as ShortWrite or AlteredWrite say. Only in
 * executables that link FaultInjection.cpp.
 */
class FaultInjection
{
public:
    FaultInjection(const char *call, int code, const char *pathPattern);
    ~FaultInjection();
};

#endif
