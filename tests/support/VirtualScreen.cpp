// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/VirtualScreen.h"

#include "support/TestSupport.h"

VirtualScreen::~VirtualScreen()
{
    m_xvfb.terminate();
    m_xvfb.waitForFinished(5000);
}

QString VirtualScreen::start()
{
    const QString notInstalled = whyNotInstalled(QStringLiteral("Xvfb"));
    if (!notInstalled.isEmpty())
        return notInstalled;
    // -displayfd: Xvfb takes a free display and prints it once it listens.
    // -terminate: it ends with its last client, even if the test dies.
    m_xvfb.start("Xvfb", QString("-displayfd 1 -screen 0 1280x1024x24 "
                                 "-nolisten tcp -terminate")
                             .split(' '));
    if (!m_xvfb.waitForReadyRead(20000))
        return QStringLiteral("Xvfb did not start");
    m_display = ':' + m_xvfb.readLine().trimmed();
    return QString();
}
