// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/Config.h"

#include "config/SettingsFile.h"

#include "BuildConfig.h"

#include <QFile>

#include <pwd.h>
#include <unistd.h>

namespace
{
/// @p relative below the home directory; empty without one.
QString underHome(const char *relative)
{
    const QString home = Config::homePath();
    return home.isEmpty() ? QString() : home + QLatin1String(relative);
}

/// @p path as a string, if it names a directory by an absolute path that
/// survives the trip back to bytes: a name that is not valid in the
/// locale's encoding would come back as the name of another directory.
QString usableHome(const QByteArray &path)
{
    const QString home = QFile::decodeName(path);
    return home.startsWith(QLatin1Char('/')) && QFile::encodeName(home) == path
               ? home
               : QString();
}
} // namespace

QString Config::homePath()
{
    // An empty or relative HOME would put the settings at the root of the
    // file system or below the current directory.
    const QString home = usableHome(qgetenv("HOME"));
    if (!home.isEmpty())
        return home;
    const passwd *entry = getpwuid(getuid());
    return entry && entry->pw_dir ? usableHome(entry->pw_dir) : QString();
}

QString Config::dataDirPath()
{
    return QStringLiteral(QUILMO_DATA_DIR);
}

QString Config::configDirPath()
{
    return underHome("/.config/quilmo/");
}

QString Config::configFilePath()
{
    return underHome("/.config/quilmo/config_ibus.ini");
}

QString Config::wordLibDirPath(WordLibDirPathLocation location)
{
    switch (location) {
    case WordLibDirPathUser:
        return underHome("/.config/quilmo/wordlib/");
    case WordLibDirPathSystem:
        return dataDirPath() + QLatin1String("wordlib/");
    }
    return QString();
}

QString Config::fcitxConfigFilePath()
{
    return underHome("/.config/fcitx/config");
}

int Config::fcitxConfigValue_Int(const QString &key, int defaultValue)
{
    const IniSnapshot fcitx(fcitxConfigFilePath());
    bool ok = false;
    const int value = fcitx.value(key, defaultValue).toInt(&ok);
    return ok ? value : defaultValue;
}

int Config::fcitxCandidateCount()
{
    const int count =
        fcitxConfigValue_Int(QStringLiteral("Output/CandidateWordNumber"), 8);
    return qMin(count, 9);
}
