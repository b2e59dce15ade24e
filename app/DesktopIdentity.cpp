// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DesktopIdentity.h"

#include <QGuiApplication>
#include <QIcon>

void applyDesktopIdentity()
{
    const QString desktopId = QStringLiteral("quilmo-config");
    // Qt 5 names the X11 window class after the application, and the
    // Wayland app id after the desktop file.
    QGuiApplication::setApplicationName(desktopId);
    QGuiApplication::setDesktopFileName(desktopId);
}

void applyWindowIcon()
{
    QGuiApplication::setWindowIcon(
        QIcon(QStringLiteral(":/icons/quilmo-config.svg")));
}
