// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TESTS_VIRTUALSCREEN_H
#define QUILMO_TESTS_VIRTUALSCREEN_H

#include <QByteArray>
#include <QProcess>
#include <QString>

/// An X server of its own (Xvfb, 1280 x 1024), ended with the object.
class VirtualScreen
{
public:
    ~VirtualScreen();

    /// @return an empty string, or why there is no X server.
    QString start();
    /// Its DISPLAY, ":<number>".
    QByteArray display() const { return m_display; }

private:
    QProcess m_xvfb;
    QByteArray m_display;
};

#endif
