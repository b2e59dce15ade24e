// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/TestSupport.h"

#include "config/Config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace
{
QStringList s_debugLines;
QtMessageHandler s_previousHandler = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext &context,
                    const QString &message)
{
    if (type == QtDebugMsg)
        s_debugLines.append(message);
    else if (s_previousHandler)
        s_previousHandler(type, context, message);
}
} // namespace

QString whyNotInstalled(const QString &program)
{
    return QStandardPaths::findExecutable(program).isEmpty()
               ? program + QStringLiteral(" is not installed")
               : QString();
}

TemporaryHome::TemporaryHome() : m_oldHome(qgetenv("HOME"))
{
    qputenv("HOME", m_dir.path().toUtf8());
}

TemporaryHome::~TemporaryHome()
{
    qputenv("HOME", m_oldHome);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(content) == content.size();
}

bool writeSettings(const QByteArray &content)
{
    return writeFile(Config::configFilePath(), content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Settings storedGroup(const QString &group)
{
    QSettings file(Config::configFilePath(), QSettings::IniFormat);
    file.beginGroup(group);
    Settings values;
    for (const QString &key : file.childKeys())
        values.insert(key, file.value(key).toString());
    return values;
}

DebugCapture::DebugCapture()
{
    s_debugLines.clear();
    s_previousHandler = qInstallMessageHandler(captureMessage);
}

DebugCapture::~DebugCapture()
{
    qInstallMessageHandler(s_previousHandler);
}

QStringList DebugCapture::lines() const
{
    return s_debugLines;
}

void DebugCapture::clear()
{
    s_debugLines.clear();
}

namespace
{
QString describe(const BusValue &value)
{
    if (value.isInt())
        return QStringLiteral("int %1").arg(value.toInt());
    return value.isValid() ? '"' + value.toString() + '"'
                           : QStringLiteral("nothing");
}
} // namespace

char *toString(const BusValue &value)
{
    return qstrdup(describe(value).toUtf8().constData());
}

char *toString(const BusCalls &calls)
{
    QStringList text;
    for (const auto &call : calls)
        text << call.first + QStringLiteral(" = ") + describe(call.second);
    return qstrdup(('[' + text.join(QStringLiteral(", ")) + ']').toUtf8());
}

RecordingConfigBus::RecordingConfigBus()
    : m_replaced(ConfigBus::setInstance(this))
{
}

RecordingConfigBus::~RecordingConfigBus()
{
    ConfigBus::setInstance(m_replaced);
}

void RecordingConfigBus::setValue_Int(const QString &name, int value)
{
    calls.append({name, value});
}

void RecordingConfigBus::setValue_String(const QString &name,
                                         const QString &value)
{
    calls.append({name, value});
}
