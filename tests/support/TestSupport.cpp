// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/TestSupport.h"

#include "config/Config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

TemporaryHome::TemporaryHome() : m_oldHome(qgetenv("HOME"))
{
    qputenv("HOME", m_dir.path().toUtf8());
}

TemporaryHome::~TemporaryHome()
{
    qputenv("HOME", m_oldHome);
}

void TemporaryHome::writeFile(const QString &relativePath,
                              const QByteArray &content)
{
    const QString path = m_dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

void TemporaryHome::writeSettings(const QByteArray &content)
{
    writeFile(QDir(m_dir.path()).relativeFilePath(Config::configFilePath()),
              content);
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
