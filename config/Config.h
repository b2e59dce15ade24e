// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_CONFIG_H
#define QUILMO_CONFIG_H

#include <QString>

enum WordLibDirPathLocation {
    WordLibDirPathUser = 0,
    WordLibDirPathSystem = 1,
};

/**
 * @brief Where the tool's files live.
 *
 * Every per-user path is derived from homePath() on each call; nothing is
 * cached, so a changed HOME is seen at once. Directory paths end in "/".
 * Without a home directory every per-user path is empty: callers must
 * then neither read nor write anything, rather than fall back to "/".
 */
class Config
{
public:
    Config() = delete;

    /// HOME when it is an absolute path, else the password database's entry
    /// for the user; empty when neither names an absolute directory in the
    /// locale's encoding.
    static QString homePath();
    static QString dataDirPath();
    static QString configDirPath();
    static QString configFilePath();
    /// Empty for a location that is neither user nor system.
    static QString wordLibDirPath(WordLibDirPathLocation location);
    static QString fcitxConfigFilePath();

    // Kept on purpose although nothing in the tool calls them: dataDirPath()
    // and the fcitx helpers below are part of this class's interface.

    /// An integer from the fcitx configuration file ("Section/Entry");
    /// defaultValue when the file, the key or a number is missing.
    static int fcitxConfigValue_Int(const QString &key, int defaultValue);
    /// The fcitx candidate count, capped at 9 (no lower bound).
    static int fcitxCandidateCount();
};

#endif
