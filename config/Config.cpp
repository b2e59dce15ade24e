// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/Config.h"

#include "BuildConfig.h"

#include <QDir>
#include <QSettings>

QString Config::dataDirPath()
{
    return QStringLiteral(QUILMO_DATA_DIR);
}

QString Config::configDirPath()
{
    return QDir::homePath() + QLatin1String("/.config/quilmo/");
}

QString Config::configFilePath()
{
    return configDirPath() + QLatin1String("config_ibus.ini");
}

QString Config::wordLibDirPath(WordLibDirPathLocation location)
{
    switch (location) {
    case WordLibDirPathUser:
        return configDirPath() + QLatin1String("wordlib/");
    case WordLibDirPathSystem:
        return dataDirPath() + QLatin1String("wordlib/");
    }
    return QString();
}

QString Config::fcitxConfigFilePath()
{
    return QDir::homePath() + QLatin1String("/.config/fcitx/config");
}

int Config::fcitxConfigValue_Int(const QString &key, int defaultValue)
{
    const QSettings fcitx(fcitxConfigFilePath(), QSettings::IniFormat);
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
